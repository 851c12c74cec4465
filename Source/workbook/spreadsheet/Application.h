#pragma once

#include "workbook/spreadsheet/Workbooks.h"

namespace kestrane::spreadsheet {

// The spreadsheet application's global object: created once per program run
// by the first conversion, it holds the workbooks collection.
class Application {
public:
    spreadsheet::Workbooks &Workbooks() { return m_workbooks; }

private:
    spreadsheet::Workbooks m_workbooks;
};

} // namespace kestrane::spreadsheet
