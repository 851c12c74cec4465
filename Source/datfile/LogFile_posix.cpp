#include "datfile/LogFile.h"

#include <cerrno>
#include <cstdint>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/FolderOf.h"
#include "common/System.h"

namespace kestrane {

namespace {

bool folderExists(const std::filesystem::path &path)
{
    struct stat info {};
    return ::stat(folderOf(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The failure for a file that cannot be opened: the system's table, and
// whether the folder is there tells a missing file from a missing path.
Failure openFailure(const std::filesystem::path &path, SystemError error)
{
    const FailureNumber number = failureNumberOf(error);
    return Failure(number == PathNotFound && folderExists(path) ? FileNotFound : number);
}

} // namespace

// O_NONBLOCK keeps a named pipe from hanging the open.
LogFile::LogFile(const std::filesystem::path &path)
    : m_handle(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC))
{
    if (m_handle < 0)
        throw openFailure(path, lastSystemError());
}

LogFile::~LogFile() { ::close(int(m_handle)); }

std::int32_t LogFile::length() const
{
    struct stat info {};
    if (::fstat(int(m_handle), &info) != 0)
        throw Failure(DeviceIOError);
    if (S_ISDIR(info.st_mode))
        throw Failure(PathFileAccessError);
    if (!S_ISREG(info.st_mode))
        return 0;
    if (info.st_size > std::int64_t(INT32_MAX))
        throw Failure(Overflow, "Overflow: the file is longer than 2 GiB");
    return std::int32_t(info.st_size);
}

std::size_t LogFile::read(char *into, std::size_t size)
{
    for (;;) {
        const ssize_t got = ::read(int(m_handle), into, size);
        if (got >= 0)
            return std::size_t(got);
        if (errno != EINTR)
            throw Failure(errno == EISDIR ? PathFileAccessError : DeviceIOError);
    }
}

} // namespace kestrane
