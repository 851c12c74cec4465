#pragma once

// Windows only: a file held open the way another program holds it.
#include <filesystem>

#include <windows.h>

namespace kestrane::test {

// Opens the file with `access`, letting others share it only as `sharing`
// says (0: with no one, FILE_SHARE_READ: read only, as the spreadsheet
// program holds an open workbook); closed again when it goes.
class HeldOpen {
public:
    HeldOpen(const std::filesystem::path &path, DWORD access, DWORD sharing)
        : m_file(::CreateFileW(path.c_str(), access, sharing, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr))
    {
    }
    ~HeldOpen()
    {
        if (held())
            ::CloseHandle(m_file);
    }
    HeldOpen(const HeldOpen &) = delete;
    HeldOpen &operator=(const HeldOpen &) = delete;

    bool held() const { return m_file != INVALID_HANDLE_VALUE; }

private:
    HANDLE m_file;
};

} // namespace kestrane::test
