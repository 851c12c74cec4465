#pragma once

#include <cstdint>
#include <string>
#include <variant>

#include "workbook/spreadsheet/DateTime.h"

namespace kestrane::spreadsheet {

// What a cell holds: nothing, a text, a 16-bit integer, a double or a date-time.
// The kind is kept as it was set, so a workbook shows B3 as the integer it is
// and A2 as a date; to the sheet's formulas all three numbers are numbers.
using CellValue = std::variant<std::monostate, std::u16string, std::int16_t, double, DateTime>;

// The number a cell value stands for in arithmetic: an empty cell counts as
// 0, a date-time as its serial; a text is a "Type mismatch" failure.
double numberOf(const CellValue &value);

} // namespace kestrane::spreadsheet
