#include "workbook/spreadsheet/Biff8Writer.h"

#include <algorithm>
#include <cmath>

#include "common/Failure.h"
#include "workbook/spreadsheet/BiffRecords.h"
#include "workbook/spreadsheet/CellFormats.h"
#include "workbook/spreadsheet/RkNumber.h"
#include "workbook/spreadsheet/SharedStrings.h"
#include "workbook/spreadsheet/Worksheet.h"

namespace kestrane::spreadsheet {

namespace {

// ---- writing ----

// The runs a sheet is written in: small enough to stay in the processor's
// cache and to fit in memory the cells gave back as they grew (fresh pages
// are what a save pays for most), large enough that each costs little.
constexpr std::size_t kRunBytes = 16 * 1024;
// The records around a sheet's cells are measured in runs of this size.
constexpr std::size_t kFrameRunBytes = 4 * 1024;

// A number cell: RK where that is exact, NUMBER otherwise. A value that is
// not finite has no place in the format (readers refuse a NaN bit pattern),
// so it is written as the error value #NUM!, which is what it means.
void writeNumberCell(ByteBuffer &out, int row, int column, std::uint16_t xf, double value)
{
    if (!std::isfinite(value))
        biff::errorCell(out, row, column, kGeneralCellXf, biff::kErrorNum);
    else if (const auto rk = exactRk(value))
        biff::rk(out, row, column, xf, *rk);
    else
        biff::number(out, row, column, xf, value);
}

// The bytes writeNumberCell gives the value, by the same choice of record.
std::size_t numberCellBytes(double value)
{
    if (!std::isfinite(value))
        return biff::kErrorCellBytes;
    return exactRk(value) ? biff::kRkBytes : biff::kNumberBytes;
}

// One cell record, by the kind of value the cell holds.
void writeCell(ByteBuffer &out, int row, const Worksheet::StoredCell &cell, const SharedStrings &strings)
{
    using Kind = Worksheet::ValueKind;
    if (cell.kind == Kind::Text)
        biff::labelSst(out, row, cell.column, strings.indexOf(*cell.text));
    else
        writeNumberCell(out, row, cell.column, cell.kind == Kind::DateTime ? kDateTimeCellXf : kGeneralCellXf,
                        cell.number);
}

// The bytes writeCell gives the cell.
std::size_t cellBytes(const Worksheet::StoredCell &cell)
{
    return cell.kind == Worksheet::ValueKind::Text ? biff::kLabelSstBytes : numberCellBytes(cell.number);
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

// A sheet's substream before its cells: column widths, then the used range.
// The widths come before DIMENSIONS, in the order the format's record grammar
// gives and the spreadsheet application itself writes.
void writeSheetStart(ByteBuffer &out, const Worksheet &sheet, const biff::UsedRange &range)
{
    biff::bof(out, biff::Substream::Worksheet);
    biff::defColWidth(out);
    for (const auto &[column, width] : sheet.columnWidths())
        biff::colInfo(out, column, width);
    biff::dimensions(out, range);
}

// A sheet's substream after its cells: its window.
void writeSheetEnd(ByteBuffer &out, bool firstSheet)
{
    biff::window2(out, firstSheet);
    biff::eof(out);
}

// One worksheet substream: start, cells row by row, end.
void writeSheet(ByteBuffer &out, const Worksheet &sheet, const SheetPlan &plan, bool firstSheet,
                const SharedStrings &strings)
{
    writeSheetStart(out, sheet, plan.range);
    sheet.forEachCell([&](int row, const Worksheet::StoredCell &cell) { writeCell(out, row, cell, strings); });
    writeSheetEnd(out, firstSheet);
}

// What a sheet's substream needs known before it is written, from one pass
// over its cells: its texts go into the string table (in the order they are
// written), the rows and columns they occupy are noted, and the bytes of their
// records are counted, so the sheet need not be written twice to be measured.
SheetPlan planSheet(const Worksheet &sheet, bool firstSheet, SharedStrings &strings)
{
    SheetPlan plan;
    biff::UsedRange &range = plan.range;
    bool any = false;
    std::size_t cellBytesTotal = 0;
    sheet.forEachCell([&](int row, const Worksheet::StoredCell &cell) {
        if (cell.kind == Worksheet::ValueKind::Text)
            strings.use(*cell.text);
        cellBytesTotal += cellBytes(cell);
        const auto r = std::uint32_t(row);
        const auto c = std::uint16_t(cell.column);
        if (!any) {
            range = {r, r + 1, c, std::uint16_t(c + 1)};
            any = true;
            return;
        }
        range.firstRow = std::min(range.firstRow, r);
        range.lastRowPlus1 = std::max(range.lastRowPlus1, r + 1);
        range.firstColumn = std::min(range.firstColumn, c);
        range.lastColumnPlus1 = std::max(range.lastColumnPlus1, std::uint16_t(c + 1));
    });
    // The few records around the cells are measured by writing them.
    ByteBuffer frame(kFrameRunBytes, [](std::span<const unsigned char>) {});
    writeSheetStart(frame, sheet, range);
    writeSheetEnd(frame, firstSheet);
    plan.bytes = frame.size() + cellBytesTotal;
    return plan;
}


} // namespace

// ---- public ----

WorkbookStream::WorkbookStream(std::vector<const Worksheet *> sheets) : m_sheets(std::move(sheets))
{
    for (std::size_t i = 0; i < m_sheets.size(); ++i)
        m_plans.push_back(planSheet(*m_sheets[i], i == 0, m_strings));
    const std::vector<std::size_t> offsetFields = writeGlobals(m_globals, m_sheets, m_strings);
    // Each sheet list entry points exactly at its sheet's BOF.
    std::size_t position = m_globals.size();
    for (std::size_t i = 0; i < m_sheets.size(); ++i) {
        m_globals.patchU32(offsetFields[i], std::uint32_t(position));
        position += m_plans[i].bytes;
    }
    m_size = position;
}

void WorkbookStream::writeTo(const ByteWriter &write) const
{
    write(m_globals.view());
    for (std::size_t i = 0; i < m_sheets.size(); ++i) {
        // No larger than the sheet, so a small sheet takes no more memory than it fills.
        ByteBuffer out(std::min(kRunBytes, m_plans[i].bytes), write);
        writeSheet(out, *m_sheets[i], m_plans[i], i == 0, m_strings);
        out.flush();
        // The file around the stream was laid out for the counted size; a
        // sheet of any other size would leave it unreadable, so it is refused.
        if (out.size() != m_plans[i].bytes)
            throw Failure(ApplicationDefined, "The workbook could not be written: a sheet was miscounted");
    }
}

ByteBuffer workbookStream(const std::vector<const Worksheet *> &sheets)
{
    const WorkbookStream stream(sheets);
    ByteBuffer out;
    out.reserve(stream.size());
    stream.writeTo([&](std::span<const unsigned char> bytes) { out.bytes(bytes); });
    return out;
}

} // namespace kestrane::spreadsheet
