#include "workbook/spreadsheet/Worksheet.h"

#include <algorithm>

#include "common/Failure.h"

namespace kestrane::spreadsheet {

spreadsheet::Range Worksheet::Range(std::string_view a1Address)
{
    requireOpen();
    const auto address = parseA1(a1Address);
    if (!address)
        throw Failure(ApplicationDefined, "Method 'Range' of object '_Worksheet' failed");
    return spreadsheet::Range(*this, *address);
}

spreadsheet::Range Worksheet::Cells(int row, int column)
{
    requireOpen();
    if (row < 1 || row > kRowCount || column < 1 || column > kColumnCount)
        throw Failure(ApplicationDefined); // "Application-defined or object-defined error", as Cells gives
    return spreadsheet::Range(*this, CellAddress{row - 1, column - 1});
}

spreadsheet::Columns Worksheet::Columns(std::string_view spec)
{
    requireOpen();
    const auto colon = spec.find(':');
    const auto first = parseColumnLetters(spec.substr(0, colon));
    const auto last = colon == std::string_view::npos ? first : parseColumnLetters(spec.substr(colon + 1));
    if (!first || !last)
        throw Failure(ApplicationDefined, "Method 'Columns' of object '_Worksheet' failed");
    // "H:B" means the same columns as "B:H".
    return spreadsheet::Columns(*this, std::min(*first, *last), std::max(*first, *last));
}

CellValue Worksheet::cellValue(CellAddress address) const
{
    const auto column = std::size_t(address.column), row = std::size_t(address.row);
    if (column >= m_columns.size() || row >= m_columns[column].size())
        return {};
    const Cell &cell = m_columns[column][row];
    switch (cell.kind) {
    case CellKind::Empty: break;
    case CellKind::Text: return textAt(address);
    case CellKind::Integer: return std::int16_t(cell.number);
    case CellKind::Number: return cell.number;
    case CellKind::DateTime: return DateTime{cell.number};
    }
    return {};
}

Worksheet::Cell &Worksheet::cellAt(CellAddress address)
{
    const auto column = std::size_t(address.column), row = std::size_t(address.row);
    if (column >= m_columns.size())
        m_columns.resize(column + 1);
    std::vector<Cell> &cells = m_columns[column];
    m_rowsUsed = std::max(m_rowsUsed, address.row + 1);
    // A column is written down row by row, and mostly as far down as the
    // columns before it: it takes that length at once, and doubles beyond.
    // The cells it gets ahead of those written are empty. Converting the
    // largest log takes 18.5 M instructions so, 20.5 M a row at a time.
    if (row >= cells.size())
        cells.resize(std::max({row + 1, 2 * cells.size(), std::size_t(m_rowsUsed)}));
    return cells[row];
}

void Worksheet::storeCell(CellAddress address, Cell cell)
{
    requireOpen();
    // Emptying needs no room: a cell never stored is empty already.
    const bool stored = std::size_t(address.column) < m_columns.size()
                        && std::size_t(address.row) < m_columns[std::size_t(address.column)].size();
    if (cell.kind == CellKind::Empty && !stored)
        return;
    Cell &place = cellAt(address);
    if (place.kind == CellKind::Text)
        m_texts.erase({address.row, address.column});
    place = cell;
}

void Worksheet::storeText(CellAddress address, std::u16string text)
{
    requireOpen();
    cellAt(address).kind = CellKind::Text;
    m_texts[{address.row, address.column}] = std::move(text);
}

void Worksheet::failClosed()
{
    throw Failure(ApplicationDefined, "The workbook has been closed");
}

void Worksheet::discardContents()
{
    std::vector<std::vector<Cell>>().swap(m_columns);
    m_texts.clear();
    m_rowsUsed = 0;
    m_columnWidths.clear();
}

} // namespace kestrane::spreadsheet
