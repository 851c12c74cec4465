#include "workbook/spreadsheet/Range.h"

#include "common/Failure.h"
#include "workbook/spreadsheet/Worksheet.h"

namespace kestrane::spreadsheet {

namespace {

// The longest text a cell can hold in the .xls format.
constexpr std::size_t kMostCellCharacters = 32767;

} // namespace

Range Range::Offset(std::int16_t rows, std::int16_t columns) const
{
    m_sheet->requireOpen();
    const int row = m_address.row + rows;
    const int column = m_address.column + columns;
    if (row < 0 || row >= kRowCount || column < 0 || column >= kColumnCount)
        throw Failure(ApplicationDefined); // "Application-defined or object-defined error", as Offset gives
    return Range(*m_sheet, CellAddress{row, column});
}

CellValue Range::Value() const
{
    m_sheet->requireOpen();
    return m_sheet->cellValue(m_address);
}

void Range::setValue(std::u16string_view text)
{
    if (text.size() > kMostCellCharacters)
        throw Failure(ApplicationDefined, "Text longer than 32767 characters does not fit in a cell");
    // An empty text empties the cell, as in the spreadsheet application.
    if (text.empty())
        m_sheet->storeCell(m_address, {});
    else
        m_sheet->storeText(m_address, std::u16string(text));
}

void Range::setValue(std::int16_t number) { m_sheet->storeCell(m_address, {Worksheet::CellKind::Integer, double(number)}); }

void Range::setValue(double number) { m_sheet->storeCell(m_address, {Worksheet::CellKind::Number, number}); }

void Range::setValue(DateTime when) { m_sheet->storeCell(m_address, {Worksheet::CellKind::DateTime, when.serial}); }

void Range::ClearContents() { m_sheet->storeCell(m_address, {}); }

} // namespace kestrane::spreadsheet
