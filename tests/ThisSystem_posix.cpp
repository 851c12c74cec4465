#include "ThisSystem.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrane::test {

const Platforms ThisPlatform = Posix;

std::vector<SystemError> errorsFor(Event event)
{
    switch (event) {
    case Event::NotFound: return {ENOENT, ENOTDIR};
    case Event::NotAllowed: return {EACCES, EPERM, EROFS};
    case Event::ShareRefuses: return {EACCES};
    case Event::Held: return {EBUSY};
    case Event::DiskFull: return {ENOSPC, EFBIG};
    case Event::QuotaExceeded: return {EDQUOT};
    case Event::DiskFailing: return {EIO};
    case Event::DeviceGone: return {ENODEV, ENXIO};
    case Event::DeviceNotReady: return {ENOMEDIUM};
    case Event::ShareGone: return {ENOTCONN, ECONNRESET, ECONNABORTED, EHOSTDOWN, EHOSTUNREACH, ENETDOWN, ENETUNREACH,
                                   ETIMEDOUT, ESTALE, EREMOTEIO};
    case Event::NameTooLong: return {ENAMETOOLONG};
    case Event::NotSupported: return {EINVAL, EOPNOTSUPP, ENOSYS};
    case Event::NotMoved: return {EXDEV};
    }
    return {};
}

std::shared_ptr<void> holdOpen(const std::filesystem::path &path, Sharing, bool writing)
{
    const int fd = ::open(path.c_str(), writing ? O_RDWR : O_RDONLY);
    if (fd < 0)
        return {};
    return std::shared_ptr<void>(reinterpret_cast<void *>(std::intptr_t(fd) + 1), [fd](void *) { ::close(fd); });
}

void hide(const std::filesystem::path &) {}

bool makePipe(const std::string &path) { return ::mkfifo(path.c_str(), 0644) == 0; }

long openFiles() { return long(std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {})); }

} // namespace kestrane::test
