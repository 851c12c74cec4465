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

// ---- private: what the sheets hold ----

// Every text of every sheet, counted, in the order the sheets are written.
SharedStrings collectStrings(const std::vector<const Worksheet *> &sheets)
{
    SharedStrings strings;
    for (const Worksheet *sheet : sheets)
        sheet->forEachCell([&](int, const Worksheet::StoredCell &cell) {
            if (const auto *text = std::get_if<std::u16string>(&cell.value))
                strings.use(*text);
        });
    return strings;
}

// The rows and columns the cells of a sheet really occupy.
biff::UsedRange usedRange(const Worksheet &sheet)
{
    biff::UsedRange range;
    bool any = false;
    sheet.forEachCell([&](int row, const Worksheet::StoredCell &cell) {
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
    return range;
}

// ---- writing ----

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

// One cell record, by the kind of value the cell holds.
void writeCell(ByteBuffer &out, int row, const Worksheet::StoredCell &cell, const SharedStrings &strings)
{
    const int column = cell.column;
    struct Visitor {
        ByteBuffer &out;
        int row, column;
        const SharedStrings &strings;
        void operator()(std::monostate) const {} // never stored
        void operator()(const std::u16string &text) const { biff::labelSst(out, row, column, strings.indexOf(text)); }
        void operator()(std::int16_t number) const { writeNumberCell(out, row, column, kGeneralCellXf, number); }
        void operator()(double number) const { writeNumberCell(out, row, column, kGeneralCellXf, number); }
        void operator()(DateTime when) const { writeNumberCell(out, row, column, kDateTimeCellXf, when.serial); }
    };
    std::visit(Visitor{out, row, column, strings}, cell.value);
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

// One worksheet substream: column widths, used range, cells row by row, window.
// The widths come before DIMENSIONS, in the order the format's record grammar
// gives and the spreadsheet application itself writes.
void writeSheet(ByteBuffer &out, const Worksheet &sheet, bool firstSheet, const SharedStrings &strings)
{
    biff::bof(out, biff::Substream::Worksheet);
    biff::defColWidth(out);
    for (const auto &[column, width] : sheet.columnWidths())
        biff::colInfo(out, column, width);
    biff::dimensions(out, usedRange(sheet));
    sheet.forEachCell([&](int row, const Worksheet::StoredCell &cell) { writeCell(out, row, cell, strings); });
    biff::window2(out, firstSheet);
    biff::eof(out);
}

// The runs a sheet is written in: small enough to stay in the processor's
// cache, large enough that each costs little.
constexpr std::size_t kRunBytes = 64 * 1024;

} // namespace

// ---- public ----

WorkbookStream::WorkbookStream(std::vector<const Worksheet *> sheets)
    : m_sheets(std::move(sheets)), m_strings(collectStrings(m_sheets))
{
    const std::vector<std::size_t> offsetFields = writeGlobals(m_globals, m_sheets, m_strings);
    // Each sheet is measured by writing it once into a buffer that keeps
    // nothing; each sheet list entry then points exactly at its sheet's BOF.
    std::size_t position = m_globals.size();
    for (std::size_t i = 0; i < m_sheets.size(); ++i) {
        m_globals.patchU32(offsetFields[i], std::uint32_t(position));
        ByteBuffer measure(kRunBytes, [](std::span<const unsigned char>) {});
        writeSheet(measure, *m_sheets[i], i == 0, m_strings);
        position += measure.size();
    }
    m_size = position;
}

void WorkbookStream::writeTo(const ByteWriter &write) const
{
    write(m_globals.view());
    for (std::size_t i = 0; i < m_sheets.size(); ++i) {
        ByteBuffer out(kRunBytes, write);
        writeSheet(out, *m_sheets[i], i == 0, m_strings);
        out.flush();
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
