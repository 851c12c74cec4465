#include "workbook/spreadsheet/Worksheet.h"

#include <algorithm>
#include <bit>

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

CellValue Worksheet::StoredCell::value() const
{
    switch (kind) {
    case ValueKind::Text: return *text;
    case ValueKind::Integer: return std::int16_t(number);
    case ValueKind::Number: return number;
    case ValueKind::DateTime: break;
    }
    return DateTime{number};
}

CellValue Worksheet::cellValue(CellAddress address) const
{
    if (std::size_t(address.column) >= m_columns.size())
        return {};
    const ColumnCells &cells = m_columns[std::size_t(address.column)];
    const std::size_t row = std::size_t(address.row);
    if (row >= cells.kinds.size() || cells.kinds[row] == Stored::Empty)
        return {};
    return storedCell(cells, std::size_t(address.column), row).value();
}

Worksheet::ColumnCells &Worksheet::lengthen(std::size_t column, std::size_t rows)
{
    if (column >= m_columns.size())
        m_columns.resize(column + 1);
    ColumnCells &cells = m_columns[column];
    // A column is written down row by row, so it grows by doubling, not cell
    // by cell; and it mostly runs as far down as the longest column before
    // it, so it takes that length at once. The rows it gets ahead of its
    // cells are empty.
    const std::size_t length = std::max({rows, 2 * cells.kinds.size(), m_rowsUsed});
    cells.kinds.resize(length, Stored::Empty);
    cells.payloads.resize(length);
    return cells;
}

void Worksheet::giveUpSlot(ColumnCells &cells, std::size_t row)
{
    if (cells.kinds[row] == Stored::Text)
        m_texts.giveUp(cells.payloads[row]);
    else
        m_wides.giveUp(cells.payloads[row]);
}

void Worksheet::putWide(ColumnCells &cells, std::size_t row, double number)
{
    cells.kinds[row] = Stored::Wide;
    cells.payloads[row] = m_wides.keep(number);
}

void Worksheet::storeCell(CellAddress address, CellValue value)
{
    requireOpen();
    if (std::holds_alternative<std::monostate>(value)) {
        eraseCell(address);
        return;
    }
    ColumnCells &cells = cellsReaching(address);
    const std::size_t row = std::size_t(address.row);
    releaseSlot(cells, row);
    struct Encode {
        Worksheet &sheet;
        ColumnCells &cells;
        std::size_t row;
        void operator()(std::monostate) const {}
        void operator()(std::u16string &text) const
        {
            cells.kinds[row] = Stored::Text;
            cells.payloads[row] = sheet.m_texts.keep(std::move(text));
        }
        void operator()(std::int16_t number) const
        {
            cells.kinds[row] = Stored::Integer;
            cells.payloads[row] = std::uint16_t(number);
        }
        void operator()(double number) const { sheet.putNumber(cells, row, number); }
        void operator()(DateTime when) const
        {
            cells.kinds[row] = Stored::DateTime;
            cells.payloads[row] = sheet.m_wides.keep(when.serial);
        }
    };
    std::visit(Encode{*this, cells, row}, value);
}

void Worksheet::eraseCell(CellAddress address)
{
    requireOpen();
    if (std::size_t(address.column) >= m_columns.size())
        return;
    ColumnCells &cells = m_columns[std::size_t(address.column)];
    const std::size_t row = std::size_t(address.row);
    if (row >= cells.kinds.size())
        return;
    releaseSlot(cells, row);
    cells.kinds[row] = Stored::Empty;
}

void Worksheet::failClosed()
{
    throw Failure(ApplicationDefined, "The workbook has been closed");
}

void Worksheet::failOutsideSheet()
{
    throw Failure(ApplicationDefined); // "Application-defined or object-defined error", as Cells gives
}

void Worksheet::discardContents()
{
    std::vector<ColumnCells>().swap(m_columns);
    m_texts.clear();
    m_wides.clear();
    m_rowsUsed = 0;
    m_columnWidths.clear();
}

} // namespace kestrane::spreadsheet
