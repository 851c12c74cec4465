#include "ThisSystem.h"

#include <windows.h>

namespace kestrane::test {

const Platforms ThisPlatform = Windows;

std::vector<SystemError> errorsFor(Event event)
{
    switch (event) {
    case Event::NotFound: return {ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND, ERROR_INVALID_DRIVE, ERROR_BAD_NETPATH,
                                  ERROR_BAD_NET_NAME, ERROR_DIRECTORY};
    case Event::NotAllowed: return {ERROR_ACCESS_DENIED, ERROR_WRITE_PROTECT};
    case Event::ShareRefuses: return {ERROR_NETWORK_ACCESS_DENIED};
    case Event::Held: return {ERROR_SHARING_VIOLATION, ERROR_LOCK_VIOLATION, ERROR_UNABLE_TO_REMOVE_REPLACED};
    case Event::DiskFull: return {ERROR_DISK_FULL, ERROR_HANDLE_DISK_FULL, ERROR_FILE_TOO_LARGE};
    case Event::QuotaExceeded: return {1295}; // ERROR_DISK_QUOTA_EXCEEDED
    case Event::DiskFailing:
        return {ERROR_CRC, ERROR_IO_DEVICE, ERROR_GEN_FAILURE, ERROR_WRITE_FAULT, ERROR_READ_FAULT};
    case Event::DeviceGone: return {ERROR_DEV_NOT_EXIST, ERROR_DEVICE_NOT_CONNECTED, ERROR_DEVICE_REMOVED};
    case Event::DeviceNotReady: return {ERROR_NOT_READY, ERROR_NO_MEDIA_IN_DRIVE};
    case Event::ShareGone: return {ERROR_NETNAME_DELETED, ERROR_UNEXP_NET_ERR, ERROR_SEM_TIMEOUT};
    case Event::NameTooLong: return {ERROR_FILENAME_EXCED_RANGE, ERROR_INVALID_NAME};
    case Event::NotSupported: return {ERROR_INVALID_FUNCTION, ERROR_NOT_SUPPORTED};
    case Event::NotMoved: return {ERROR_UNABLE_TO_MOVE_REPLACEMENT, ERROR_UNABLE_TO_MOVE_REPLACEMENT_2};
    }
    return {};
}

std::shared_ptr<void> holdOpen(const std::filesystem::path &path, Sharing sharing, bool writing)
{
    const DWORD shared = sharing == Sharing::ReadAndWrite ? FILE_SHARE_READ | FILE_SHARE_WRITE : FILE_SHARE_READ;
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ | (writing ? GENERIC_WRITE : 0), shared, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    return std::shared_ptr<void>(file, &::CloseHandle);
}

void hide(const std::filesystem::path &path)
{
    ::SetFileAttributesW(path.c_str(), ::GetFileAttributesW(path.c_str()) | FILE_ATTRIBUTE_HIDDEN);
}

bool makePipe(const std::string &) { return false; } // a named pipe lives in no folder on Windows

long openFiles()
{
    DWORD handles = 0;
    return ::GetProcessHandleCount(::GetCurrentProcess(), &handles) ? long(handles) : -1;
}

} // namespace kestrane::test
