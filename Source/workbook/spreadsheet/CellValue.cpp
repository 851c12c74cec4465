#include "workbook/spreadsheet/CellValue.h"

#include "common/Failure.h"

namespace kestrane::spreadsheet {

double numberOf(const CellValue &value)
{
    struct Visitor {
        double operator()(std::monostate) const { return 0.0; }
        double operator()(const std::u16string &) const { throw Failure(TypeMismatch); }
        double operator()(std::int16_t number) const { return number; }
        double operator()(double number) const { return number; }
        double operator()(DateTime when) const { return when.serial; }
    };
    return std::visit(Visitor{}, value);
}

} // namespace kestrane::spreadsheet
