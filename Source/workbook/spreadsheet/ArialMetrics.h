#pragma once

#include <string_view>

namespace kestrane::spreadsheet {

// Advance widths of the workbook's default font, Arial (its widths are those
// of the standard Helvetica metrics), in 1/1000 of the font size.
int arialAdvance(char16_t character);

// The width of a text in Arial 10 on a 96 dpi screen, in pixels, unrounded.
double arial10Pixels(std::u16string_view text);

} // namespace kestrane::spreadsheet
