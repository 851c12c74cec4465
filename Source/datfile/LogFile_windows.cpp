#include "datfile/LogFile.h"

#include <algorithm>
#include <cstdint>

#include <windows.h>

#include "common/Failure.h"
#include "common/FolderOf.h"
#include "common/NameLength.h"

namespace kestrane {

namespace {

HANDLE handleOf(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

bool isFolder(const std::filesystem::path &path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The failure for a file that cannot be opened, by what the system said: the
// same numbers as for the POSIX error numbers of the same meaning.
Failure openFailure(const std::filesystem::path &path, DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND: return Failure(isFolder(folderOf(path)) ? FileNotFound : PathNotFound);
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_DIRECTORY: return Failure(PathNotFound);
    // A folder cannot be opened as a file at all, and says so as a refusal.
    case ERROR_ACCESS_DENIED: return Failure(isFolder(path) ? PathFileAccessError : PermissionDenied);
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return Failure(PermissionDenied);
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_INVALID_NAME: return Failure(BadFileNameOrNumber);
    default: return Failure(PathFileAccessError);
    }
}

} // namespace

// Shared for reading, writing and deleting: a logger's own software may have
// the log open for writing, and a log open here must not stop it.
LogFile::LogFile(const std::filesystem::path &path)
    : m_handle(reinterpret_cast<std::intptr_t>(
          ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr)))
{
    if (handleOf(m_handle) == INVALID_HANDLE_VALUE)
        throw holdsANameTooLong(path) ? Failure(BadFileNameOrNumber) : openFailure(path, ::GetLastError());
}

LogFile::~LogFile() { ::CloseHandle(handleOf(m_handle)); }

std::int32_t LogFile::length() const
{
    if (::GetFileType(handleOf(m_handle)) != FILE_TYPE_DISK)
        return 0;
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(handleOf(m_handle), &size))
        throw Failure(DeviceIOError);
    if (size.QuadPart > std::int64_t(INT32_MAX))
        throw Failure(Overflow, "Overflow: the file is longer than 2 GiB");
    return std::int32_t(size.QuadPart);
}

std::size_t LogFile::read(char *into, std::size_t size)
{
    DWORD got = 0;
    if (::ReadFile(handleOf(m_handle), into, DWORD(std::min<std::size_t>(size, MAXDWORD)), &got, nullptr))
        return got;
    if (::GetLastError() == ERROR_BROKEN_PIPE) // the writing end of a pipe is closed: its end
        return 0;
    throw Failure(DeviceIOError);
}

} // namespace kestrane
