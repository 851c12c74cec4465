#include "workbook/spreadsheet/AutoFit.h"

#include <cmath>
#include <cstdio>

#include "workbook/spreadsheet/ArialMetrics.h"
#include "workbook/spreadsheet/CellFormats.h"

namespace kestrane::spreadsheet {

namespace {

// Arial 10 at 96 dpi draws each digit 7 pixels wide: the width unit of the
// column. A cell keeps 5 pixels of margin and grid line beside its text.
constexpr double kDigitPixels = 7.0;
constexpr double kCellMarginPixels = 5.0;
// The widest column the format allows: 255 characters.
constexpr std::uint16_t kWidestColumn = 255 * 256;

std::u16string widen(const char *text)
{
    std::u16string wide;
    for (; *text; ++text)
        wide += char16_t(static_cast<unsigned char>(*text));
    return wide;
}

// A number as the General format shows it: up to ten significant digits,
// large and small magnitudes in scientific notation.
std::u16string generalNumber(double number)
{
    if (!std::isfinite(number))
        return u"#NUM!"; // written as that error value
    char text[32];
    std::snprintf(text, sizeof text, "%.10G", number);
    return widen(text);
}

} // namespace

std::u16string shownText(const CellValue &value)
{
    struct Visitor {
        std::u16string operator()(std::monostate) const { return {}; }
        std::u16string operator()(const std::u16string &text) const { return text; }
        std::u16string operator()(std::int16_t number) const { return widen(std::to_string(number).c_str()); }
        std::u16string operator()(double number) const { return generalNumber(number); }
        std::u16string operator()(DateTime) const { return std::u16string(kDateTimeShownAs); }
    };
    return std::visit(Visitor{}, value);
}

std::uint16_t columnWidthForText(std::u16string_view text)
{
    const double width = std::ceil((arial10Pixels(text) + kCellMarginPixels) / kDigitPixels * 256.0);
    return width >= kWidestColumn ? kWidestColumn : std::uint16_t(width);
}

} // namespace kestrane::spreadsheet
