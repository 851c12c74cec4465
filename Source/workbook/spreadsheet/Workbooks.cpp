#include "workbook/spreadsheet/Workbooks.h"

#include <algorithm>

namespace kestrane::spreadsheet {

std::shared_ptr<Workbook> Workbooks::Add()
{
    // Forget workbooks nobody holds any more, so a long run does not grow the list.
    std::erase_if(m_added, [](const std::weak_ptr<Workbook> &book) { return book.expired(); });
    auto book = std::make_shared<Workbook>();
    m_added.push_back(book);
    return book;
}

int Workbooks::Count() const
{
    return int(std::count_if(m_added.begin(), m_added.end(), [](const std::weak_ptr<Workbook> &weak) {
        const auto book = weak.lock();
        return book && book->isOpen();
    }));
}

} // namespace kestrane::spreadsheet
