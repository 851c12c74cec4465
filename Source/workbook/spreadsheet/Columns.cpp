#include "workbook/spreadsheet/Columns.h"

#include <algorithm>
#include <vector>

#include "workbook/spreadsheet/AutoFit.h"
#include "workbook/spreadsheet/Worksheet.h"

namespace kestrane::spreadsheet {

void Columns::AutoFit()
{
    m_sheet->requireOpen();
    // The widest cell of each column; 0 marks a column without cells.
    std::vector<std::uint16_t> widest(std::size_t(m_last - m_first + 1), 0);
    m_sheet->forEachCell([&](CellAddress address, const Worksheet::Cell &) {
        if (address.column < m_first || address.column > m_last)
            return;
        auto &width = widest[std::size_t(address.column - m_first)];
        width = std::max(width, columnWidthForText(shownText(m_sheet->cellValue(address))));
    });
    for (int column = m_first; column <= m_last; ++column)
        if (const auto width = widest[std::size_t(column - m_first)])
            m_sheet->setColumnWidth(column, width);
}

} // namespace kestrane::spreadsheet
