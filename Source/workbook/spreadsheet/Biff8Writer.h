#pragma once

#include <vector>

namespace kestrane::spreadsheet {

class Worksheet;

// The BIFF8 workbook stream of these sheets, in this order: the workbook
// globals (formats, sheet list, shared strings), then each sheet's cells.
std::vector<unsigned char> workbookStream(const std::vector<const Worksheet *> &sheets);

} // namespace kestrane::spreadsheet
