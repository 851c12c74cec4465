#pragma once

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "common/ResidentMemory.h"
#include "workbook/spreadsheet/CellAddress.h"
#include "workbook/spreadsheet/CellValue.h"
#include "workbook/spreadsheet/Columns.h"
#include "workbook/spreadsheet/Range.h"
#include "workbook/spreadsheet/SlotPool.h"

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
    spreadsheet::Range Cells(int row, int column)
    {
        requireOpen();
        if (row < 1 || row > kRowCount || column < 1 || column > kColumnCount)
            failOutsideSheet();
        return spreadsheet::Range(*this, CellAddress{row - 1, column - 1});
    }

    // Whole columns: one column "A" or a span "B:H"; anything else is a failure.
    spreadsheet::Columns Columns(std::string_view spec);

    // ---- the cell store, for Range, Columns and the file writer ----

    // The kinds of value a cell can hold.
    enum class ValueKind : std::uint8_t { Text, Integer, Number, DateTime };

    // A cell as it is handed out: its column and what it holds, read in
    // place. The writer visits every cell through it, twice, so no text is
    // copied and no CellValue is built for each of thousands of numbers.
    struct StoredCell {
        std::uint16_t column;
        ValueKind kind;
        double number;              // the value, for every kind but Text
        const std::u16string *text; // the text, for Text only
        // The value as Range.Value gives it.
        CellValue value() const;
    };

    // The value at `address`; an empty cell gives std::monostate.
    CellValue cellValue(CellAddress address) const;
    // Stores a value; a failure if the workbook is closed.
    void storeCell(CellAddress address, CellValue value);
    // Stores a number: the same as storeCell with a double, without building
    // a CellValue, as the layout's grid of numbers is written.
    void storeNumber(CellAddress address, double number)
    {
        requireOpen();
        ColumnCells &cells = cellsReaching(address);
        const auto row = std::size_t(address.row);
        releaseSlot(cells, row);
        putNumber(cells, row, number);
    }
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
                if (row < cells.kinds.size() && cells.kinds[row] != Stored::Empty)
                    visit(int(row), storedCell(cells, column, row));
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
    // How a cell is stored, one byte per cell. A number that a single holds
    // exactly (every value a logger records, and every whole number below
    // 2^24) is kept in the cell's four bytes; any other double, and a
    // date-time, has a slot of its own in m_wides.
    enum class Stored : std::uint8_t { Empty, Integer, Single, Text, Wide, DateTime };
    // The kinds from here on hold a slot elsewhere, given up when the cell changes.
    static constexpr Stored kFirstWithSlot = Stored::Text;

    // One column's cells, indexed by row, kept by kind: a sheet is mostly a
    // dense grid of numbers, so a cell costs five bytes and no allocation of
    // its own. The payload is a single's bits, a 16-bit integer, or the index
    // of the cell's text in m_texts or of its double in m_wides.
    struct ColumnCells {
        std::vector<Stored, ResidentAllocator<Stored>> kinds; // [row]; rows past the end are empty
                                                              // (and it may run past m_rowsUsed)
        std::vector<std::uint32_t, ResidentAllocator<std::uint32_t>> payloads; // [row]
    };

    // Inline: the writer visits every cell through it, twice, and nearly
    // every cell is a number.
    StoredCell storedCell(const ColumnCells &cells, std::size_t column, std::size_t row) const
    {
        const std::uint32_t payload = cells.payloads[row];
        const auto at = std::uint16_t(column);
        switch (cells.kinds[row]) {
        case Stored::Text: return {at, ValueKind::Text, 0.0, &m_texts[payload]};
        case Stored::Integer: return {at, ValueKind::Integer, double(std::int16_t(payload)), nullptr};
        case Stored::Single: return {at, ValueKind::Number, double(std::bit_cast<float>(payload)), nullptr};
        case Stored::Wide: return {at, ValueKind::Number, m_wides[payload], nullptr};
        case Stored::Empty: // never handed out
        case Stored::DateTime: break;
        }
        return {at, ValueKind::DateTime, m_wides[payload], nullptr};
    }
    // The column's storage reaching down to `row`.
    ColumnCells &cellsReaching(CellAddress address)
    {
        const auto column = std::size_t(address.column);
        const std::size_t rows = std::size_t(address.row) + 1;
        m_rowsUsed = std::max(m_rowsUsed, rows);
        if (column < m_columns.size() && rows <= m_columns[column].kinds.size())
            return m_columns[column];
        return lengthen(column, rows);
    }
    [[noreturn]] static void failClosed();
    [[noreturn]] static void failOutsideSheet();
    // Makes room for `rows` rows in a column; kept out of the path taken for
    // nearly every cell, which only finds the room there.
    ColumnCells &lengthen(std::size_t column, std::size_t rows);
    // Stores a number in a cell whose old slot, if any, was given up. Kept as
    // a single only when that gives back the very same bits (so -0.0 stays
    // -0.0 and no NaN loses its payload); out of a single's range the
    // conversion is not even defined, so that is asked first.
    void putNumber(ColumnCells &cells, std::size_t row, double number)
    {
        if (std::fabs(number) <= std::numeric_limits<float>::max()) {
            const auto single = float(number);
            if (std::bit_cast<std::uint64_t>(double(single)) == std::bit_cast<std::uint64_t>(number)) {
                cells.kinds[row] = Stored::Single;
                cells.payloads[row] = std::bit_cast<std::uint32_t>(single);
                return;
            }
        }
        putWide(cells, row, number);
    }
    void putWide(ColumnCells &cells, std::size_t row, double number);
    // The slot a text or double cell holds is given up when the cell changes.
    void releaseSlot(ColumnCells &cells, std::size_t row)
    {
        if (cells.kinds[row] >= kFirstWithSlot)
            giveUpSlot(cells, row);
    }
    void giveUpSlot(ColumnCells &cells, std::size_t row);

    const bool *m_bookOpen;
    std::string m_name;
    std::vector<ColumnCells> m_columns;         // [column], up to the rightmost used
    SlotPool<std::u16string> m_texts;           // the texts cells hold
    SlotPool<double> m_wides;                   // the doubles and date-times cells hold
    std::size_t m_rowsUsed = 0;                 // rows down to the lowest cell ever stored
    std::map<int, std::uint16_t> m_columnWidths;
};

} // namespace kestrane::spreadsheet
