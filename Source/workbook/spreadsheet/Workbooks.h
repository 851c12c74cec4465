#pragma once

#include <memory>
#include <vector>

#include "workbook/spreadsheet/Workbook.h"

namespace kestrane::spreadsheet {

// The application's collection of workbooks.
class Workbooks {
public:
    // A new workbook with the default sheets Sheet1, Sheet2 and Sheet3.
    std::shared_ptr<Workbook> Add();

    // How many added workbooks are still open (and still held by someone).
    int Count() const;

private:
    std::vector<std::weak_ptr<Workbook>> m_added;
};

} // namespace kestrane::spreadsheet
