#include "workbook/spreadsheet/LockFile.h"

#include <windows.h>

namespace kestrane::spreadsheet {

namespace {

// The spreadsheet program holds an open workbook with read sharing only, so
// asking to write it is refused as a sharing violation while it is open.
// Nothing is written; a file that is not there is not held.
bool heldWithoutWriteSharing(const std::filesystem::path &path)
{
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        ::CloseHandle(file);
        return false;
    }
    const DWORD error = ::GetLastError();
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

} // namespace

bool openInASpreadsheetProgram(const std::filesystem::path &path)
{
    for (const auto &lock : lockFilesBeside(path))
        if (::GetFileAttributesW(lock.c_str()) != INVALID_FILE_ATTRIBUTES)
            return true;
    return heldWithoutWriteSharing(path);
}

} // namespace kestrane::spreadsheet
