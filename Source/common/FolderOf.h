#pragma once

#include <filesystem>

namespace kestrane {

// The folder a file at `path` lies in: "." for a bare name, the root for a
// file at the root. The one rule the reader, the save and the lock-file test
// share.
std::filesystem::path folderOf(const std::filesystem::path &path);

} // namespace kestrane
