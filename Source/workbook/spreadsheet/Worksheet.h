#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "workbook/spreadsheet/CellAddress.h"
#include "workbook/spreadsheet/CellValue.h"
#include "workbook/spreadsheet/Columns.h"
#include "workbook/spreadsheet/Range.h"

namespace kestrane::spreadsheet {

// One worksheet of a workbook: its name, its cells and its column widths.
// The sheet belongs to its workbook and lives exactly as long as it.
class Worksheet {
public:
    // `bookOpen` is the workbook's own flag: the sheet is usable while it is true.
    Worksheet(const bool &bookOpen, std::string name) : m_bookOpen(&bookOpen), m_name(std::move(name)) {}
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

    // One cell: its kind and, for every kind but Text, its number (a 16-bit
    // integer's value, a date-time's serial). A sheet is mostly a dense grid
    // of numbers, so a cell takes 16 bytes and no allocation of its own; the
    // few texts are kept beside the grid.
    enum class CellKind : std::uint8_t { Empty, Text, Integer, Number, DateTime };
    struct Cell {
        CellKind kind = CellKind::Empty;
        double number = 0.0;
    };

    // The value at `address`; an empty cell gives std::monostate.
    CellValue cellValue(CellAddress address) const;
    // The text of the text cell at `address`.
    const std::u16string &textAt(CellAddress address) const { return m_texts.at({address.row, address.column}); }

    // Stores a cell of any kind but Text; an Empty one empties the cell.
    // A failure if the workbook is closed.
    void storeCell(CellAddress address, Cell cell);
    // Stores a text cell; a failure if the workbook is closed.
    void storeText(CellAddress address, std::u16string text);

    // Every non-empty cell, rows top to bottom and columns left to right:
    // visit(CellAddress address, const Cell &cell).
    template <typename Visit>
    void forEachCell(Visit &&visit) const
    {
        for (int row = 0; row < m_rowsUsed; ++row)
            for (int column = 0; column < int(m_columns.size()); ++column) {
                const std::vector<Cell> &cells = m_columns[std::size_t(column)];
                if (std::size_t(row) < cells.size() && cells[std::size_t(row)].kind != CellKind::Empty)
                    visit(CellAddress{row, column}, cells[std::size_t(row)]);
            }
    }

    // Column widths set by AutoFit, in 1/256 of the default font's digit width.
    const std::map<int, std::uint16_t> &columnWidths() const { return m_columnWidths; }
    void setColumnWidth(int column, std::uint16_t width) { m_columnWidths[column] = width; }

    // A failure unless the sheet's workbook is still open.
    void requireOpen() const
    {
        if (!*m_bookOpen)
            failClosed();
    }
    // Frees the cells when the workbook is closed.
    void discardContents();

private:
    // The cell at `address`, its column made long enough to hold it.
    Cell &cellAt(CellAddress address);
    [[noreturn]] static void failClosed();

    const bool *m_bookOpen;
    std::string m_name;
    std::vector<std::vector<Cell>> m_columns;              // [column][row], up to the rightmost and lowest used
    std::map<std::pair<int, int>, std::u16string> m_texts; // (row, column) of each text cell
    int m_rowsUsed = 0;                                // rows down to the lowest cell ever stored
    std::map<int, std::uint16_t> m_columnWidths;
};

} // namespace kestrane::spreadsheet
