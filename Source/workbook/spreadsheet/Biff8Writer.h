#pragma once

#include <vector>

#include "workbook/spreadsheet/ByteBuffer.h"

namespace kestrane::spreadsheet {

class Worksheet;

// Writes the BIFF8 workbook stream of these sheets through `write`, at offsets
// from the stream's start, and returns its size. In order: the workbook
// globals (formats, sheet list, shared strings), then each sheet's cells.
// A sheet goes out in runs as it is written, never whole; the globals go
// last, once they can say where each sheet starts.
std::size_t writeWorkbookStream(const std::vector<const Worksheet *> &sheets, const FileWriter &write);

} // namespace kestrane::spreadsheet
