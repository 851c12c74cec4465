#pragma once

#include <cstddef>

#include "workbook/spreadsheet/ByteBuffer.h"

namespace kestrane::spreadsheet {

// A failure unless a workbook stream of `streamSize` bytes fits in the
// compound file: what the 109 FAT sectors listed in its header can address,
// less the directory and the FAT itself.
void requireStreamFits(std::size_t streamSize);

// Where the workbook stream lies in the compound file: right after the
// 512-byte header.
constexpr std::size_t kWorkbookStreamStart = 512;

// A compound file (version 3, 512-byte sectors) around one stream named
// "Workbook" of `streamSize` bytes, which the caller writes at
// kWorkbookStreamStart: writes the header before it, then, after it, zero
// bytes to at least 4096 bytes and to the end of its sector (so that it lives
// in ordinary sectors and no mini stream is needed), the directory and the
// FAT. A stream too large for the format is refused with a failure.
void writeCompoundFile(std::size_t streamSize, const FileWriter &write);

} // namespace kestrane::spreadsheet
