#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

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

    // Whole columns: one column "A" or a span "B:H"; anything else is a failure.
    spreadsheet::Columns Columns(std::string_view spec);

    // ---- the cell store, for Range, Columns and the file writer ----

    // A cell as it is kept: its column and its (never empty) value.
    struct StoredCell {
        std::uint16_t column;
        CellValue value;
    };

    // The value at `address`, or nullptr for an empty cell.
    const CellValue *findCell(CellAddress address) const;
    // Stores a value; a failure if the workbook is closed.
    void storeCell(CellAddress address, CellValue value);
    // Makes the cell empty.
    void eraseCell(CellAddress address);

    // Every non-empty cell, rows top to bottom and columns left to right:
    // visit(int row, const StoredCell &cell).
    template <typename Visit>
    void forEachCell(Visit &&visit) const
    {
        for (std::size_t row = 0; row < m_rows.size(); ++row)
            for (const StoredCell &cell : m_rows[row])
                visit(int(row), cell);
    }

    // Column widths set by AutoFit, in 1/256 of the default font's digit width.
    const std::map<int, std::uint16_t> &columnWidths() const { return m_columnWidths; }
    void setColumnWidth(int column, std::uint16_t width) { m_columnWidths[column] = width; }

    // A failure unless the sheet's workbook is still open.
    void requireOpen() const;
    // Frees the cells when the workbook is closed.
    void discardContents();

private:
    const Workbook *m_book;
    std::string m_name;
    std::vector<std::vector<StoredCell>> m_rows; // [row], each sorted by column
    std::map<int, std::uint16_t> m_columnWidths;
};

} // namespace kestrane::spreadsheet
