#pragma once

#include <functional>

#include "datfile/Dataset.h"
#include "workbook/spreadsheet/DateTime.h"
#include "workbook/spreadsheet/Worksheet.h"

namespace kestrane {

// Where the convert command shows progress while the layout is written. Each
// hook may be empty; a failure thrown from a hook ends the layout.
struct LayoutHooks {
    std::function<void()> headerWritten;          // title block, header row and both fits done
    std::function<void(int column)> columnWritten; // channel column k = 1..7 written
};

// Writes the workbook layout of `dataset` into `sheet`, cell by cell in its
// fixed order: the title block A1, A2, A3, B3, A5; fit column A; the channel
// names B5..H5; fit columns B:H; the seven channel columns B..H top to bottom;
// then the time column from A7 down, each cell the one above plus the
// interval. dataset.pointIndex is the counter of every loop and is left at
// pointCount - 1 (0 for a dataset without points). Every failure of the
// object model ends the layout with that failure.
void writeLayout(Dataset &dataset, spreadsheet::Worksheet &sheet, const spreadsheet::DateTime &conversionTime,
                 const LayoutHooks &hooks = {});

} // namespace kestrane
