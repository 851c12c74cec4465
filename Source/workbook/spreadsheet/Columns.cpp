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
    m_sheet->forEachCell([&](int, const Worksheet::StoredCell &cell) {
        if (cell.column < m_first || cell.column > m_last)
            return;
        auto &width = widest[std::size_t(cell.column - m_first)];
        width = std::max(width, columnWidthForText(shownText(cell.value())));
    });
    for (int column = m_first; column <= m_last; ++column)
        if (const auto width = widest[std::size_t(column - m_first)])
            m_sheet->setColumnWidth(column, width);
}

} // namespace kestrane::spreadsheet
