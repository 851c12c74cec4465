#include "workbook/spreadsheet/Worksheet.h"

#include <algorithm>

#include "common/Failure.h"
#include "workbook/spreadsheet/Workbook.h"

namespace kestrane::spreadsheet {

namespace {

using Row = std::vector<Worksheet::StoredCell>;

// Room a row gets with its first cell: a data row of our workbooks holds
// eight cells, and growing one cell at a time would cost an allocation each.
constexpr std::size_t kCellsPerRowGuess = 8;

// Where a column's cell is, or would go, in a row kept sorted by column.
template <typename SortedRow>
auto placeInRow(SortedRow &row, int column)
{
    // Cells mostly arrive left to right, so the end is the usual place.
    if (row.empty() || row.back().column < column)
        return row.end();
    return std::lower_bound(row.begin(), row.end(), column,
                            [](const Worksheet::StoredCell &cell, int c) { return cell.column < c; });
}

} // namespace

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

const CellValue *Worksheet::findCell(CellAddress address) const
{
    if (std::size_t(address.row) >= m_rows.size())
        return nullptr;
    const Row &row = m_rows[std::size_t(address.row)];
    const auto place = placeInRow(row, address.column);
    return place != row.end() && place->column == address.column ? &place->value : nullptr;
}

void Worksheet::storeCell(CellAddress address, CellValue value)
{
    requireOpen();
    if (std::holds_alternative<std::monostate>(value)) {
        eraseCell(address);
        return;
    }
    if (std::size_t(address.row) >= m_rows.size())
        m_rows.resize(std::size_t(address.row) + 1);
    Row &row = m_rows[std::size_t(address.row)];
    if (row.capacity() == 0)
        row.reserve(kCellsPerRowGuess);
    const auto place = placeInRow(row, address.column);
    if (place != row.end() && place->column == address.column)
        place->value = std::move(value);
    else
        row.insert(place, StoredCell{std::uint16_t(address.column), std::move(value)});
}

void Worksheet::eraseCell(CellAddress address)
{
    requireOpen();
    if (std::size_t(address.row) >= m_rows.size())
        return;
    Row &row = m_rows[std::size_t(address.row)];
    const auto place = placeInRow(row, address.column);
    if (place != row.end() && place->column == address.column)
        row.erase(place);
}

void Worksheet::requireOpen() const
{
    if (!m_book->isOpen())
        throw Failure(ApplicationDefined, "The workbook has been closed");
}

void Worksheet::discardContents()
{
    std::vector<Row>().swap(m_rows);
    m_columnWidths.clear();
}

} // namespace kestrane::spreadsheet
