#pragma once

#include <filesystem>

#include "common/Failure.h"

namespace kestrane {

// An error as the system reports it: errno on POSIX systems, GetLastError()
// on Windows; 0 for none.
using SystemError = unsigned long;

// The calling thread's last error. Each call that fails reads it at once,
// before anything else runs: even building a Failure may call the system.
SystemError lastSystemError() noexcept;

// The one table from what the system says to the failure the operator sees,
// one per platform, the same number for the same event on both:
//   76 "Path not found"          no such file or folder on the way
//   70 "Permission denied"       may not be written, is held by another
//                                program, or a share refuses it
//   61 "Disk full"               no room, or the quota is used up
//   57 "Device I/O error"        the disk fails, or the device or share is gone
//   52 "Bad file name or number" a name or a path too long, or one the
//                                system cannot hold
//   75 "Path/File access error"  anything else
FailureNumber failureNumberOf(SystemError error) noexcept;

// Whether another program holds the file for a moment, as a virus scanner,
// the search indexer or a sync client does with a file just written: worth
// trying again after a wait.
bool heldForAMoment(SystemError error) noexcept;

// Whether the file system cannot do this at all (flush a device, hold
// permission bits): nothing is lost by going on without it.
bool notSupportedHere(SystemError error) noexcept;

// The path as the system's calls take it. On Windows it is made whole and
// given the form (\\?\, \\?\UNC\ for a share) in which no call stops at 260
// characters; elsewhere it is as it is.
std::filesystem::path systemPath(const std::filesystem::path &path);

} // namespace kestrane
