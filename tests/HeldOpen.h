#pragma once

// Windows only: a file held open the way another program holds it.
#include <filesystem>
#include <memory>

#include <windows.h>

namespace kestrane::test {

// Opens the file with `access`, letting others share it only as `sharing`
// says (0: with no one); closed when it goes, empty when the open failed.
inline std::unique_ptr<void, decltype(&::CloseHandle)> holdOpen(const std::filesystem::path &path, DWORD access, DWORD sharing)
{
    const HANDLE file = ::CreateFileW(path.c_str(), access, sharing, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    return {file == INVALID_HANDLE_VALUE ? nullptr : file, &::CloseHandle};
}

} // namespace kestrane::test
