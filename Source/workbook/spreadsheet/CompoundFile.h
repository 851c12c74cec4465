#pragma once

#include <cstddef>

#include "workbook/spreadsheet/ByteBuffer.h"

namespace kestrane::spreadsheet {

// A failure unless a workbook stream of `streamSize` bytes fits in the
// compound file: what the 109 FAT sectors listed in its header can address,
// less the directory and the FAT itself.
void requireStreamFits(std::size_t streamSize);

// Writes a compound file (version 3, 512-byte sectors) holding one stream
// named "Workbook" of `streamSize` bytes: its header, then the stream, which
// `writeStream` hands to `write`, then zero bytes to at least 4096 bytes and
// to the end of its sector (so that it lives in ordinary sectors and no mini
// stream is needed), the directory and the FAT.
void writeCompoundFile(std::size_t streamSize, const std::function<void()> &writeStream, const ByteWriter &write);

} // namespace kestrane::spreadsheet
