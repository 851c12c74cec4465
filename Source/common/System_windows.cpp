#include "common/System.h"

#include <windows.h>

namespace kestrane {

namespace {

// Not in every SDK's headers.
constexpr DWORD DiskQuotaExceeded = 1295;

} // namespace

std::filesystem::path systemPath(const std::filesystem::path &path)
{
    const std::wstring &given = path.native();
    // Already in that form, or a device (\\.\COM1) that has no other.
    if (given.rfind(L"\\\\?\\", 0) == 0 || given.rfind(L"\\\\.\\", 0) == 0)
        return path;
    std::wstring whole(::GetFullPathNameW(given.c_str(), 0, nullptr, nullptr), L'\0');
    const DWORD length = ::GetFullPathNameW(given.c_str(), DWORD(whole.size()), whole.data(), nullptr);
    // A path the system cannot make whole goes on as it is, for the call
    // that takes it to say what is wrong with it.
    if (length == 0 || length >= whole.size())
        return path;
    whole.resize(length);
    if (whole.rfind(L"\\\\.\\", 0) == 0) // a reserved name such as NUL, in any folder
        return whole;
    if (whole.rfind(L"\\\\", 0) == 0)
        return L"\\\\?\\UNC\\" + whole.substr(2);
    return L"\\\\?\\" + whole;
}

SystemError lastSystemError() noexcept { return ::GetLastError(); }

FailureNumber failureNumberOf(SystemError error) noexcept
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_DIRECTORY: return PathNotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
    case ERROR_UNABLE_TO_REMOVE_REPLACED:
    case ERROR_NETWORK_ACCESS_DENIED: return PermissionDenied;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_FILE_TOO_LARGE:
    case DiskQuotaExceeded: return DiskFull;
    // A failing disk, a pulled stick, a reader without its card, a share
    // that has gone away.
    case ERROR_CRC:
    case ERROR_IO_DEVICE:
    case ERROR_GEN_FAILURE:
    case ERROR_NOT_READY:
    case ERROR_NO_MEDIA_IN_DRIVE:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_DEVICE_REMOVED:
    case ERROR_WRITE_FAULT:
    case ERROR_READ_FAULT:
    case ERROR_NETNAME_DELETED:
    case ERROR_UNEXP_NET_ERR:
    case ERROR_SEM_TIMEOUT: return DeviceIOError;
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_INVALID_NAME: return BadFileNameOrNumber;
    default: return PathFileAccessError;
    }
}

// Access is denied for a moment too, to a file that is being deleted or
// whose handle a scanner has not closed yet; the save has made sure before
// that the file is not read-only. ReplaceFileW says 1175 when the old file
// is held.
bool heldForAMoment(SystemError error) noexcept
{
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED ||
           error == ERROR_UNABLE_TO_REMOVE_REPLACED;
}

bool notSupportedHere(SystemError error) noexcept
{
    return error == ERROR_INVALID_FUNCTION || error == ERROR_NOT_SUPPORTED;
}

} // namespace kestrane
