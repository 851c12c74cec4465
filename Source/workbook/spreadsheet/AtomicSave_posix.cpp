#include <algorithm>
#include <cerrno>
#include <climits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/FolderOf.h"
#include "workbook/spreadsheet/SaveSystem.h"

// The save's calls on POSIX systems: each the system call it names, and its errno.

namespace kestrane::spreadsheet {

namespace {

using Path = std::filesystem::path;

SystemError failed() { return lastSystemError(); }

// A link names its file relative to its own folder.
SystemError resolve(const Path &given, Path &file)
{
    file = given;
    for (int link = 0; link < 40; ++link) { // the kernel's own limit on links in a row
        struct stat entry {};
        if (::lstat(file.c_str(), &entry) != 0 || !S_ISLNK(entry.st_mode))
            return 0;
        char named[PATH_MAX];
        const ssize_t length = ::readlink(file.c_str(), named, sizeof named);
        if (length < 0)
            return failed();
        if (std::size_t(length) == sizeof named)
            return ENAMETOOLONG;
        const std::string next(named, std::size_t(length));
        file = !next.empty() && next.front() == '/' ? Path(next) : folderOf(file) / next;
    }
    return ELOOP;
}

SystemError kindOf(const Path &path, Entry &entry)
{
    struct stat info {};
    entry = Entry::Nothing;
    if (::stat(path.c_str(), &info) != 0)
        return errno == ENOENT ? 0 : failed();
    entry = S_ISDIR(info.st_mode) ? Entry::Folder : S_ISREG(info.st_mode) ? Entry::File : Entry::Other;
    if (entry == Entry::File && ::access(path.c_str(), W_OK) != 0) {
        if (errno != EACCES && errno != EROFS && errno != EPERM)
            return failed();
        entry = Entry::ReadOnlyFile;
    }
    return 0;
}

SystemError createNew(const Path &path, FileHandle &file)
{
    // Mode 0666 less the umask, as any new file gets.
    file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    return file < 0 ? failed() : 0;
}

// An existing workbook's permission bits carry over to its replacement.
SystemError copyMode(FileHandle file, const Path &original)
{
    struct stat info {};
    if (::stat(original.c_str(), &info) != 0 || ::fchmod(int(file), info.st_mode & 07777) != 0)
        return failed();
    return 0;
}

SystemError write(FileHandle file, std::span<const unsigned char> bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(int(file), bytes.data(), bytes.size());
        if (written < 0 && errno != EINTR)
            return failed();
        bytes = bytes.subspan(std::size_t(std::max<ssize_t>(written, 0)));
    }
    return 0;
}

SystemError flush(FileHandle file) { return ::fsync(int(file)) != 0 ? failed() : 0; }
SystemError close(FileHandle file) { return ::close(int(file)) != 0 ? failed() : 0; }
SystemError move(const Path &from, const Path &to) { return ::rename(from.c_str(), to.c_str()) != 0 ? failed() : 0; }
SystemError remove(const Path &path) { return ::unlink(path.c_str()) != 0 ? failed() : 0; }

// A rename is the replace: one step, and no backup on the way.
SystemError replace(const Path &target, const Path &replacement, const Path &) { return move(replacement, target); }

// A folder that cannot be opened (one that may be written but not listed)
// cannot be flushed either; the file is in place all the same.
SystemError flushFolder(const Path &folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    const SystemError error = ::fsync(fd) != 0 ? failed() : 0;
    ::close(fd);
    return error;
}

} // namespace

SaveSystem &saveSystem()
{
    // Nothing locks a file itself here: the lock files beside it are all there is.
    static SaveSystem system{resolve,  kindOf, [](const Path &) { return false; }, createNew, copyMode, write, flush,
                             close,    replace, move, remove, flushFolder, PATH_MAX - 1};
    return system;
}

} // namespace kestrane::spreadsheet
