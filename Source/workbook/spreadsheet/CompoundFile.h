#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "workbook/spreadsheet/ByteBuffer.h"

namespace kestrane::spreadsheet {

// The most a workbook stream may hold: what the 109 FAT sectors listed in the
// compound file's header can address, less the directory and the FAT itself.
std::size_t largestWorkbookStream();

// A compound file (version 3, 512-byte sectors) holding one stream named
// "Workbook" with these bytes. The stream is padded with zero bytes to at
// least 4096, so it lives in ordinary sectors and no mini stream is needed.
// A stream larger than largestWorkbookStream() is refused with a failure.
std::vector<unsigned char> compoundFile(std::span<const unsigned char> workbookStream);

// The same compound file in three pieces, so the stream itself is never
// copied: `header`, then the stream, then `trailer` (the stream's padding,
// the directory and the FAT). A stream larger than largestWorkbookStream()
// is refused with a failure.
struct CompoundFrame {
    ByteBuffer header;
    ByteBuffer trailer;
};
CompoundFrame compoundFrame(std::size_t streamSize);

} // namespace kestrane::spreadsheet
