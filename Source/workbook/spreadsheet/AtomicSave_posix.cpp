#include "workbook/spreadsheet/AtomicSave.h"

#include <atomic>
#include <cerrno>
#include <climits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/Failure.h"
#include "common/FolderOf.h"
#include "workbook/spreadsheet/LockFile.h"

namespace kestrane::spreadsheet {

namespace {

// The failure for what the system said while the file was being written.
Failure writeFailure(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR: return Failure(PathNotFound);
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY: return Failure(PermissionDenied);
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return Failure(DiskFull);
    case EIO: return Failure(DeviceIOError);
    case ENAMETOOLONG: return Failure(BadFileNameOrNumber);
    default: return Failure(PathFileAccessError);
    }
}

// The file a symbolic link names, followed link by link, so that saving
// replaces that file, or makes it when it is not there yet, and keeps the
// link; any other path as it is. A link names its file relative to its own
// folder.
std::filesystem::path resolvedTarget(std::filesystem::path path)
{
    for (int link = 0; link < 40; ++link) { // the kernel's own limit on links in a row
        struct stat entry {};
        if (::lstat(path.c_str(), &entry) != 0 || !S_ISLNK(entry.st_mode))
            return path;
        char named[PATH_MAX];
        const ssize_t length = ::readlink(path.c_str(), named, sizeof named);
        if (length < 0 || std::size_t(length) == sizeof named)
            throw writeFailure(length < 0 ? errno : ENAMETOOLONG);
        const std::string next(named, std::size_t(length));
        path = !next.empty() && next.front() == '/' ? std::filesystem::path(next) : folderOf(path) / next;
    }
    throw writeFailure(ELOOP);
}

// A temporary file in the target's folder, removed again unless it was
// renamed over the target. Its name is short and fixed in form, so a target
// name near the length limit still leaves room for it.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::filesystem::path &folder)
    {
        static std::atomic<unsigned> counter{0};
        for (int attempt = 0; attempt < 100; ++attempt) {
            m_path = folder / (".kestrane-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".tmp");
            // Mode 0666 less the umask, as any new file gets.
            m_fd = ::open(m_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (m_fd >= 0)
                return;
            if (errno != EEXIST)
                throw writeFailure(errno);
        }
        throw Failure(PathFileAccessError);
    }
    ~TemporaryFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        if (!m_renamed)
            ::unlink(m_path.c_str());
    }
    TemporaryFile(const TemporaryFile &) = delete;
    TemporaryFile &operator=(const TemporaryFile &) = delete;

    void write(std::span<const unsigned char> bytes)
    {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t written = ::write(m_fd, bytes.data() + done, bytes.size() - done);
            if (written < 0 && errno == EINTR)
                continue;
            if (written < 0)
                throw writeFailure(errno);
            done += std::size_t(written);
        }
    }

    // An existing target's permission bits carry over to its replacement.
    // Some file systems cannot hold them (FAT through FUSE, a Windows share
    // through the desktop's FUSE folder) and say so; the replacement then has
    // what that file system gives every file, as the old one had.
    void copyModeOf(const struct stat &target)
    {
        if (::fchmod(m_fd, target.st_mode & 07777) == 0)
            return;
        if (errno != EOPNOTSUPP && errno != ENOTSUP && errno != ENOSYS)
            throw writeFailure(errno);
    }

    // Flushes the content to the disk and closes the file; a disk that is
    // full or failing may say so only here.
    void flushAndClose()
    {
        // A file system that cannot flush at all (EINVAL) still holds the
        // bytes written; every other refusal is a failure of the save.
        if (::fsync(m_fd) != 0 && errno != EINVAL)
            throw writeFailure(errno);
        const int fd = m_fd;
        m_fd = -1;
        if (::close(fd) != 0)
            throw writeFailure(errno);
    }

    void renameTo(const std::filesystem::path &target)
    {
        if (::rename(m_path.c_str(), target.c_str()) != 0)
            throw writeFailure(errno);
        m_renamed = true;
    }

private:
    std::filesystem::path m_path;
    int m_fd = -1;
    bool m_renamed = false;
};

// Makes the rename itself durable. The file is already in place, so a folder
// that cannot be flushed is no failure of the save.
void flushFolder(const std::filesystem::path &folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

void saveAtomically(const std::filesystem::path &path, const std::function<void(const ByteWriter &)> &produce)
{
    if (path.empty())
        throw Failure(BadFileNameOrNumber);
    const std::filesystem::path target = resolvedTarget(path);
    // A workbook open in a spreadsheet program is not replaced under it: the
    // operator closes it there and saves again.
    if (openInASpreadsheetProgram(path) || openInASpreadsheetProgram(target))
        throw Failure(PermissionDenied);

    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    // Only a regular file is replaced: never a folder, and never a device or
    // pipe, which a rename would silently swap for a plain file.
    if (exists && !S_ISREG(existing.st_mode))
        throw Failure(PathFileAccessError);
    // A file that may not be written is not replaced behind its owner's back.
    if (exists && ::access(target.c_str(), W_OK) != 0)
        throw writeFailure(errno);

    const std::filesystem::path folder = folderOf(target);
    TemporaryFile temporary(folder);
    produce([&](std::span<const unsigned char> bytes) { temporary.write(bytes); });
    if (exists)
        temporary.copyModeOf(existing);
    temporary.flushAndClose();
    temporary.renameTo(target);
    flushFolder(folder);
}

} // namespace kestrane::spreadsheet
