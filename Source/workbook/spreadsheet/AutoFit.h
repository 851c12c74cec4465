#pragma once

#include <cstdint>
#include <string>

#include "workbook/spreadsheet/CellValue.h"

namespace kestrane::spreadsheet {

// The text a cell shows in the General format (dates in the workbook's
// date-time format), which is what a fitted column must hold.
std::u16string shownText(const CellValue &value);

// The column width, in 1/256 of the default font's digit width (a COLINFO
// width), that shows `text` in full in Arial 10 with the cell's margins.
std::uint16_t columnWidthForText(std::u16string_view text);

} // namespace kestrane::spreadsheet
