#include "workbook/spreadsheet/Biff8Writer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "workbook/spreadsheet/BiffRecords.h"
#include "workbook/spreadsheet/CellFormats.h"
#include "workbook/spreadsheet/RkNumber.h"
#include "workbook/spreadsheet/SharedStrings.h"
#include "workbook/spreadsheet/Worksheet.h"

namespace kestrane::spreadsheet {

namespace {

// The runs a sheet is written in: large enough that each write costs little,
// small enough to stay in the processor's cache. Converting the largest log
// takes 400 minor page faults so, 435 in runs of 128 KiB and 801 with the
// stream built whole.
constexpr std::size_t kRunBytes = 16 * 1024;

// ---- writing ----

// The record a cell is written as, chosen here once, for writing the cell
// and for counting its bytes: a text by its place in the string table, a
// number as RK where that is exact and as NUMBER otherwise. A value that is
// not finite has no place in the format (readers refuse a NaN bit pattern),
// so it is written as the error value #NUM!, which is what it means.
enum class CellRecord { LabelSst, Rk, Number, NumError };

CellRecord recordFor(const Worksheet::Cell &cell)
{
    if (cell.kind == Worksheet::CellKind::Text)
        return CellRecord::LabelSst;
    if (!std::isfinite(cell.number))
        return CellRecord::NumError;
    return exactRk(cell.number) ? CellRecord::Rk : CellRecord::Number;
}

std::size_t recordBytes(CellRecord record)
{
    switch (record) {
    case CellRecord::LabelSst: return biff::kLabelSstBytes;
    case CellRecord::Rk: return biff::kRkBytes;
    case CellRecord::Number: return biff::kNumberBytes;
    case CellRecord::NumError: break;
    }
    return biff::kErrorCellBytes;
}

void writeCell(ByteBuffer &out, const Worksheet &sheet, CellAddress at, const Worksheet::Cell &cell,
               const SharedStrings &strings)
{
    const std::uint16_t xf = cell.kind == Worksheet::CellKind::DateTime ? kDateTimeCellXf : kGeneralCellXf;
    switch (recordFor(cell)) {
    case CellRecord::LabelSst: biff::labelSst(out, at.row, at.column, strings.indexOf(sheet.textAt(at))); break;
    case CellRecord::Rk: biff::rk(out, at.row, at.column, xf, *exactRk(cell.number)); break;
    case CellRecord::Number: biff::number(out, at.row, at.column, xf, cell.number); break;
    case CellRecord::NumError: biff::errorCell(out, at.row, at.column, kGeneralCellXf, biff::kErrorNum); break;
    }
}

// The rows and columns a sheet's cells occupy, for DIMENSIONS, and the bytes
// of their records. Its texts go into the string table meanwhile, in the
// order they are written, as that table comes first.
biff::UsedRange collectSheet(const Worksheet &sheet, SharedStrings &strings, std::size_t &cellBytes)
{
    biff::UsedRange range{UINT32_MAX, 0, UINT16_MAX, 0};
    sheet.forEachCell([&](CellAddress at, const Worksheet::Cell &cell) {
        if (cell.kind == Worksheet::CellKind::Text)
            strings.use(sheet.textAt(at));
        cellBytes += recordBytes(recordFor(cell));
        range.firstRow = std::min(range.firstRow, std::uint32_t(at.row));
        range.lastRowPlus1 = std::max(range.lastRowPlus1, std::uint32_t(at.row + 1));
        range.firstColumn = std::min(range.firstColumn, std::uint16_t(at.column));
        range.lastColumnPlus1 = std::max(range.lastColumnPlus1, std::uint16_t(at.column + 1));
    });
    return range.lastRowPlus1 == 0 ? biff::UsedRange{} : range; // an empty sheet's is all zero
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

// A sheet's records before its cells: column widths, then the used range,
// in the order the format's record grammar gives and the spreadsheet
// application itself writes.
void writeSheetStart(ByteBuffer &out, const Worksheet &sheet, const biff::UsedRange &range)
{
    biff::bof(out, biff::Substream::Worksheet);
    biff::defColWidth(out);
    for (const auto &[column, width] : sheet.columnWidths())
        biff::colInfo(out, column, width);
    biff::dimensions(out, range);
}

// A sheet's records after its cells: its window.
void writeSheetEnd(ByteBuffer &out, bool firstSheet)
{
    biff::window2(out, firstSheet);
    biff::eof(out);
}

} // namespace

// ---- public ----

WorkbookStream::WorkbookStream(std::vector<const Worksheet *> sheets) : m_sheets(std::move(sheets))
{
    m_plans.resize(m_sheets.size());
    for (std::size_t i = 0; i < m_sheets.size(); ++i) {
        SheetPlan &plan = m_plans[i];
        const biff::UsedRange range = collectSheet(*m_sheets[i], m_strings, plan.cellBytes);
        writeSheetStart(plan.start, *m_sheets[i], range);
        writeSheetEnd(plan.end, i == 0);
    }
    const std::vector<std::size_t> offsetFields = writeGlobals(m_globals, m_sheets, m_strings);
    m_size = m_globals.size();
    for (std::size_t i = 0; i < m_sheets.size(); ++i) {
        // Each sheet list entry points exactly at its sheet's BOF.
        m_globals.patchU32(offsetFields[i], std::uint32_t(m_size));
        m_size += m_plans[i].start.size() + m_plans[i].cellBytes + m_plans[i].end.size();
    }
}

void WorkbookStream::writeTo(const ByteWriter &write) const
{
    write(m_globals.view());
    ByteBuffer run;
    run.reserve(2 * kRunBytes); // a run is handed on once it holds kRunBytes, so it never needs more
    for (std::size_t i = 0; i < m_sheets.size(); ++i) {
        const Worksheet &sheet = *m_sheets[i];
        write(m_plans[i].start.view());
        sheet.forEachCell([&](CellAddress at, const Worksheet::Cell &cell) {
            writeCell(run, sheet, at, cell, m_strings);
            if (run.size() >= kRunBytes) {
                write(run.view());
                run.clear();
            }
        });
        write(run.view());
        run.clear();
        write(m_plans[i].end.view());
    }
}

} // namespace kestrane::spreadsheet
