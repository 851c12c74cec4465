#pragma once

#include <memory>

#include "workbook/spreadsheet/Workbook.h"

namespace kestrane::spreadsheet {

// The application's collection of workbooks.
class Workbooks {
public:
    // A new workbook with the default sheets Sheet1, Sheet2 and Sheet3.
    std::unique_ptr<Workbook> Add() { return std::make_unique<Workbook>(); }
};

} // namespace kestrane::spreadsheet
