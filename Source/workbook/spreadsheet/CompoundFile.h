#pragma once

#include <cstddef>

#include "workbook/spreadsheet/ByteBuffer.h"

namespace kestrane::spreadsheet {

// Writes a compound file (version 3, 512-byte sectors) holding one stream
// named "Workbook" of `streamSize` bytes: its header, then the stream, which
// `writeStream` hands to the writer it is given, then zero bytes to at least
// 4096 bytes and to the end of its sector (so that it lives in ordinary
// sectors and no mini stream is needed), the directory and the FAT, all to
// `write`. A failure, before anything is written, when the stream is too large
// for the format (what the 109 FAT sectors listed in the header can address,
// less the directory and the FAT itself); a failure, once it is written, when
// the stream was not `streamSize` bytes after all, as the header, the
// directory and the FAT would then be wrong.
void writeCompoundFile(std::size_t streamSize, const std::function<void(const ByteWriter &)> &writeStream,
                       const ByteWriter &write);

} // namespace kestrane::spreadsheet
