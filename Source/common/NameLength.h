#pragma once

#include <filesystem>

namespace kestrane {

// No file system a desktop uses holds a file or folder name longer than 255
// characters (UTF-16 units on Windows, bytes on Linux).
constexpr std::size_t LongestName = 255;

// Whether a part of `path` is a name longer than that, so that no file can
// have it. Linux says so itself; Windows may answer "not found" instead.
bool holdsANameTooLong(const std::filesystem::path &path);

} // namespace kestrane
