#include "datfile/LogFile.h"

#include <algorithm>
#include <cstdint>

#include <windows.h>

#include "common/FolderOf.h"
#include "common/NameLength.h"
#include "common/System.h"

namespace kestrane {

namespace {

HANDLE handleOf(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

bool isFolder(const std::filesystem::path &path)
{
    const std::filesystem::path name = systemPath(path);
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The failure for a file that cannot be opened: the system's table, and
// whether the folder is there tells a missing file from a missing path. A
// folder cannot be opened as a file at all, and says so as a refusal.
Failure openFailure(const std::filesystem::path &path, SystemError error)
{
    const FailureNumber number = failureNumberOf(error);
    if (number == PathNotFound && isFolder(folderOf(path)))
        return Failure(FileNotFound);
    return Failure(number == PermissionDenied && isFolder(path) ? PathFileAccessError : number);
}

// Shared for reading, writing and deleting: a logger's own software may have
// the log open for writing, and a log open here must not stop it.
HANDLE openForReading(const std::filesystem::path &path)
{
    const std::filesystem::path name = systemPath(path);
    const DWORD everyone = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    const HANDLE file = ::CreateFileW(name.c_str(), GENERIC_READ, everyone, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const SystemError error = lastSystemError();
        throw holdsANameTooLong(path) ? Failure(BadFileNameOrNumber) : openFailure(path, error);
    }
    return file;
}

} // namespace

LogFile::LogFile(const std::filesystem::path &path) : m_handle(reinterpret_cast<std::intptr_t>(openForReading(path))) {}

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
