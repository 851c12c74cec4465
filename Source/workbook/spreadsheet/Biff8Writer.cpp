#include "workbook/spreadsheet/Biff8Writer.h"

#include <algorithm>
#include <cmath>

#include "workbook/spreadsheet/BiffRecords.h"
#include "workbook/spreadsheet/CellFormats.h"
#include "workbook/spreadsheet/RkNumber.h"
#include "workbook/spreadsheet/SharedStrings.h"
#include "workbook/spreadsheet/Worksheet.h"

namespace kestrane::spreadsheet {

namespace {

// The runs a sheet is written in: large enough that each write costs little.
constexpr std::size_t kRunBytes = 64 * 1024;

// ---- writing ----

// A number cell: RK where that is exact, NUMBER otherwise. A value that is
// not finite has no place in the format (readers refuse a NaN bit pattern),
// so it is written as the error value #NUM!, which is what it means.
void writeNumberCell(ByteBuffer &out, CellAddress at, std::uint16_t xf, double value)
{
    if (!std::isfinite(value))
        biff::errorCell(out, at.row, at.column, kGeneralCellXf, biff::kErrorNum);
    else if (const auto rk = exactRk(value))
        biff::rk(out, at.row, at.column, xf, *rk);
    else
        biff::number(out, at.row, at.column, xf, value);
}

// One cell record, by the kind of value the cell holds.
void writeCell(ByteBuffer &out, const Worksheet &sheet, CellAddress at, const Worksheet::Cell &cell,
               const SharedStrings &strings)
{
    using Kind = Worksheet::CellKind;
    if (cell.kind == Kind::Text)
        biff::labelSst(out, at.row, at.column, strings.indexOf(sheet.textAt(at)));
    else
        writeNumberCell(out, at, cell.kind == Kind::DateTime ? kDateTimeCellXf : kGeneralCellXf, cell.number);
}

// What a sheet's records need known before they are written: the rows and
// columns its cells occupy, for DIMENSIONS. Its texts go into the string
// table meanwhile, in the order they are written, as that table comes first.
biff::UsedRange collectSheet(const Worksheet &sheet, SharedStrings &strings)
{
    biff::UsedRange range;
    bool any = false;
    sheet.forEachCell([&](CellAddress at, const Worksheet::Cell &cell) {
        if (cell.kind == Worksheet::CellKind::Text)
            strings.use(sheet.textAt(at));
        const auto row = std::uint32_t(at.row);
        const auto column = std::uint16_t(at.column);
        if (!any)
            range = {row, row + 1, column, std::uint16_t(column + 1)};
        any = true;
        range.firstRow = std::min(range.firstRow, row);
        range.lastRowPlus1 = std::max(range.lastRowPlus1, row + 1);
        range.firstColumn = std::min(range.firstColumn, column);
        range.lastColumnPlus1 = std::max(range.lastColumnPlus1, std::uint16_t(column + 1));
    });
    return range;
}

// The workbook globals up to the sheet list; returns where each sheet's BOF
// offset is to be patched.
std::vector<std::size_t> writeGlobals(ByteBuffer &out, const std::vector<const Worksheet *> &sheets,
                                      const SharedStrings &strings)
{
    biff::bof(out, biff::Substream::Globals);
    biff::codepage(out);
    biff::window1(out);
    biff::dateMode(out); // stated, not left to the reader's default
    // Four copies of the default font, as a new workbook has. Font index 4
    // does not exist in the format, so a fifth font would be index 5.
    for (int i = 0; i < 4; ++i)
        biff::font(out);
    biff::format(out, kDateTimeFormatIndex, kDateTimeFormatCode);
    biff::styleXf(out, true);
    for (int i = 1; i < kStyleXfCount; ++i)
        biff::styleXf(out, false);
    biff::cellXf(out, 0);                     // kGeneralCellXf
    biff::cellXf(out, kDateTimeFormatIndex);  // kDateTimeCellXf
    biff::normalStyle(out);
    std::vector<std::size_t> offsetFields;
    for (const Worksheet *sheet : sheets)
        offsetFields.push_back(biff::boundSheet(out, sheet->Name()));
    strings.write(out); // SST and the EXTSST the format requires after it
    biff::eof(out);
    return offsetFields;
}

// One worksheet substream: column widths, then the used range (the order the
// format's record grammar gives and the spreadsheet application itself
// writes), the cells row by row, the sheet's window. `handOn` takes the
// bytes gathered in `out` whenever a run is full, and empties it.
template <typename HandOn>
void writeSheet(ByteBuffer &out, const Worksheet &sheet, const biff::UsedRange &range, bool firstSheet,
                const SharedStrings &strings, HandOn &&handOn)
{
    biff::bof(out, biff::Substream::Worksheet);
    biff::defColWidth(out);
    for (const auto &[column, width] : sheet.columnWidths())
        biff::colInfo(out, column, width);
    biff::dimensions(out, range);
    sheet.forEachCell([&](CellAddress at, const Worksheet::Cell &cell) {
        writeCell(out, sheet, at, cell, strings);
        if (out.size() >= kRunBytes)
            handOn();
    });
    biff::window2(out, firstSheet);
    biff::eof(out);
    handOn();
}

} // namespace

// ---- public ----

std::size_t writeWorkbookStream(const std::vector<const Worksheet *> &sheets, const FileWriter &write)
{
    SharedStrings strings;
    std::vector<biff::UsedRange> ranges;
    for (const Worksheet *sheet : sheets)
        ranges.push_back(collectSheet(*sheet, strings));
    ByteBuffer globals;
    const std::vector<std::size_t> offsetFields = writeGlobals(globals, sheets, strings);

    std::size_t position = globals.size(); // where the next bytes of the stream go
    ByteBuffer run;
    run.reserve(2 * kRunBytes); // a run is handed on once it holds kRunBytes, so it never needs more
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        // Each sheet list entry points exactly at its sheet's BOF.
        globals.patchU32(offsetFields[i], std::uint32_t(position));
        writeSheet(run, *sheets[i], ranges[i], i == 0, strings, [&] {
            write(position, run.view());
            position += run.size();
            run.clear();
        });
    }
    write(0, globals.view());
    return position;
}

} // namespace kestrane::spreadsheet
