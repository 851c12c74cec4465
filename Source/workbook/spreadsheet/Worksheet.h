#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "common/ResidentMemory.h"
#include "workbook/spreadsheet/CellAddress.h"
#include "workbook/spreadsheet/CellValue.h"
#include "workbook/spreadsheet/Columns.h"
#include "workbook/spreadsheet/Range.h"

namespace kestrane::spreadsheet {

class Workbook;

// One worksheet of a workbook: its name, its cells and its column widths.
// The sheet belongs to its workbook and lives exactly as long as it.
class Worksheet {
public:
    Worksheet(const Workbook &book, std::string name) : m_book(&book), m_name(std::move(name)) {}
    Worksheet(const Worksheet &) = delete;
    Worksheet &operator=(const Worksheet &) = delete;

    const std::string &Name() const { return m_name; }

    // The cell at one A1-style address ("B7"); a bad address is a failure.
    spreadsheet::Range Range(std::string_view a1Address);

    // The cell at row and column counted from 1 (Cells(7, 2) is B7); a place
    // outside the sheet is a failure. No address text to parse, so a loop
    // down a column costs no parsing per cell.
    spreadsheet::Range Cells(int row, int column);

    // Whole columns: one column "A" or a span "B:H"; anything else is a failure.
    spreadsheet::Columns Columns(std::string_view spec);

    // ---- the cell store, for Range, Columns and the file writer ----

    // A cell as it is handed out: its column and its (never empty) value.
    struct StoredCell {
        std::uint16_t column;
        CellValue value;
    };

    // The value at `address`; an empty cell gives std::monostate.
    CellValue cellValue(CellAddress address) const;
    // Stores a value; a failure if the workbook is closed.
    void storeCell(CellAddress address, CellValue value);
    // Stores a number: the same as storeCell with a double, without building
    // a CellValue, as the layout's grid of numbers is written.
    void storeNumber(CellAddress address, double number);
    // Makes the cell empty.
    void eraseCell(CellAddress address);

    // Every non-empty cell, rows top to bottom and columns left to right:
    // visit(int row, const StoredCell &cell).
    template <typename Visit>
    void forEachCell(Visit &&visit) const
    {
        for (std::size_t row = 0; row < m_rowsUsed; ++row)
            for (std::size_t column = 0; column < m_columns.size(); ++column) {
                const ColumnCells &cells = m_columns[column];
                if (row < cells.kinds.size() && cells.kinds[row] != CellKind::Empty)
                    visit(int(row), StoredCell{std::uint16_t(column), valueAt(cells, row)});
            }
    }

    // Column widths set by AutoFit, in 1/256 of the default font's digit width.
    const std::map<int, std::uint16_t> &columnWidths() const { return m_columnWidths; }
    void setColumnWidth(int column, std::uint16_t width) { m_columnWidths[column] = width; }

    // A failure unless the sheet's workbook is still open.
    void requireOpen() const;
    // Frees the cells when the workbook is closed.
    void discardContents();

private:
    // What a cell holds, one byte per cell.
    enum class CellKind : std::uint8_t { Empty, Text, Integer, Number, DateTime };

    // One column's cells, indexed by row, kept by kind: a sheet is mostly a
    // dense grid of numbers, so a cell costs nine bytes and no allocation of
    // its own. The payload is a number's bits, a 16-bit integer, or the
    // index of the cell's text in m_texts.
    struct ColumnCells {
        std::vector<CellKind, ResidentAllocator<CellKind>> kinds; // [row]; rows past the end are empty
                                                                  // (and it may run past m_rowsUsed)
        std::vector<std::uint64_t, ResidentAllocator<std::uint64_t>> payloads; // [row]
    };

    // Inline, with the copy of a text out of line: the writer visits every
    // cell through it, twice, and nearly every cell is a number.
    CellValue valueAt(const ColumnCells &cells, std::size_t row) const
    {
        const std::uint64_t payload = cells.payloads[row];
        switch (cells.kinds[row]) {
        case CellKind::Empty: return {};
        case CellKind::Text: return textValue(payload);
        case CellKind::Integer: return std::int16_t(payload);
        case CellKind::Number: return std::bit_cast<double>(payload);
        case CellKind::DateTime: return DateTime{std::bit_cast<double>(payload)};
        }
        return {};
    }
    CellValue textValue(std::uint64_t slot) const;
    // The column's storage reaching down to `row`.
    ColumnCells &cellsReaching(CellAddress address);
    // Makes room for `rows` rows in a column; kept out of the path taken for
    // nearly every cell, which only finds the room there.
    ColumnCells &lengthen(std::size_t column, std::size_t rows);
    // The text slot of a text cell is given up when the cell changes.
    void releaseText(ColumnCells &cells, std::size_t row);
    std::uint64_t keepText(std::u16string text);

    const Workbook *m_book;
    std::string m_name;
    std::vector<ColumnCells> m_columns;         // [column], up to the rightmost used
    std::vector<std::u16string> m_texts;        // the texts cells hold
    std::vector<std::uint64_t> m_freeTexts;     // slots of m_texts no cell holds
    std::size_t m_rowsUsed = 0;                 // rows down to the lowest cell ever stored
    std::map<int, std::uint16_t> m_columnWidths;
};

} // namespace kestrane::spreadsheet
