#include "common/System.h"

#include <cerrno>

namespace kestrane {

SystemError lastSystemError() noexcept { return SystemError(errno); }

FailureNumber failureNumberOf(SystemError error) noexcept
{
    switch (int(error)) {
    case ENOENT:
    case ENOTDIR: return PathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
    case EBUSY: return PermissionDenied;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return DiskFull;
    // A failing disk, a pulled stick or card, a share that has gone away.
    case EIO:
    case ENXIO:
    case ENODEV:
    case ENOMEDIUM:
    case ENOTCONN:
    case ECONNRESET:
    case ECONNABORTED:
    case EHOSTDOWN:
    case EHOSTUNREACH:
    case ENETDOWN:
    case ENETUNREACH:
    case ETIMEDOUT:
    case ESTALE:
    case EREMOTEIO: return DeviceIOError;
    case ENAMETOOLONG: return BadFileNameOrNumber;
    default: return PathFileAccessError;
    }
}

// A Windows share reached from here says "busy" where Windows itself says
// "sharing violation".
bool heldForAMoment(SystemError error) noexcept { return error == EBUSY; }

bool notSupportedHere(SystemError error) noexcept
{
    return error == EINVAL || error == EOPNOTSUPP || error == ENOTSUP || error == ENOSYS;
}

std::filesystem::path systemPath(const std::filesystem::path &path) { return path; }

} // namespace kestrane
