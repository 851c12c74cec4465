#pragma once

#include <filesystem>
#include <functional>

#include "workbook/spreadsheet/ByteBuffer.h"

namespace kestrane::spreadsheet {

// Writes a file to `path` so that it appears whole or not at all: the
// bytes go to a new temporary file in the target's folder, are flushed to the
// disk, and the temporary file then takes the target's place in one step (a
// rename; on Windows ReplaceFileW over an existing target, which keeps its
// attributes and permissions, or a write-through move). Another program that
// holds the file for a moment (a virus scanner, the search indexer, a sync
// client) is waited for, about 1.4 s at most. A failure raises
// kestrane::Failure, leaves an existing target byte for byte as it was and
// leaves no temporary file behind; where a system stops half-way and a file
// cannot be put back or cleared away, the failure's description says which
// file is kept where, and neither workbook is ever lost:
//   76 "Path not found"          the folder does not exist, or a part of the
//                                 path is a file
//   75 "Path/File access error"  the target is a folder, device or pipe, or another refusal
//   70 "Permission denied"       the folder or the target may not be written,
//                                 (on Windows: it is read-only), a share refuses
//                                 it, a spreadsheet program has the target open
//                                 (its lock file lies beside it; on Windows also:
//                                 it holds the file without write sharing), or
//                                 another program holds it for longer
//   61 "Disk full"               no room for the file, the quota is used up (or
//                                 the file size limit)
//   57 "Device I/O error"        the disk failed, or the stick, card or share is gone
//   52 "Bad file name or number" an empty path, or a name or a path too long
void saveAtomically(const std::filesystem::path &path, const std::function<void(const ByteWriter &)> &produce);

} // namespace kestrane::spreadsheet
