#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>

namespace kestrane {

// A .DAT log opened for reading only, closed again on every way out. Another
// program may still be writing it: it opens all the same. A path that does
// not exist is refused, never created. Every refusal is a Failure:
//   53 "File not found"          no such file in a folder that exists
//   76 "Path not found"          its folder is missing, or a part of the path is a file
//   70 "Permission denied"       it may not be read
//   57 "Device I/O error"        the disk fails, or the stick, card or share is gone
//   52 "Bad file name or number" a name too long, or one the system cannot hold
//   75 "Path/File access error"  a folder, or any other refusal
class LogFile {
public:
    explicit LogFile(const std::filesystem::path &path);
    ~LogFile();
    LogFile(const LogFile &) = delete;
    LogFile &operator=(const LogFile &) = delete;

    // The length in bytes as the signed 32-bit number the point count is
    // made from; a device or a pipe has none and reads as an empty file.
    // "Overflow" beyond 2 GiB.
    std::int32_t length() const;

    // Reads up to `size` bytes from where the last read ended; fewer only at
    // the end of the file, 0 there. "Device I/O error" when the disk fails.
    std::size_t read(char *into, std::size_t size);

private:
    std::intptr_t m_handle; // the system's own handle
};

} // namespace kestrane
