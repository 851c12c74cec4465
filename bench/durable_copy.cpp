// durable-copy IN OUT
//
// The floor of a durable save, for the comparison with Kestrane: copies IN
// to OUT the way a workbook is saved (a temporary file beside OUT, flushed
// to the disk, renamed over OUT, then the folder flushed), converting
// nothing. What Kestrane takes beyond this is the conversion's own.

#include <cerrno>
#include <cstdio>
#include <string>

#include <fcntl.h>
#include <unistd.h>

namespace {

int failed(const std::string &what)
{
    std::perror(what.c_str());
    return 1;
}

bool writeAll(int fd, const char *bytes, ssize_t count)
{
    while (count > 0) {
        const ssize_t done = ::write(fd, bytes, std::size_t(count));
        if (done < 0 && errno == EINTR)
            continue;
        if (done < 0)
            return false;
        bytes += done;
        count -= done;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: durable-copy IN OUT\n");
        return 2;
    }
    const std::string out = argv[2];
    const auto slash = out.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : out.substr(0, slash + 1);
    const std::string temporary = out + ".tmp";

    const int in = ::open(argv[1], O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return failed(argv[1]);
    const int copy = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (copy < 0)
        return failed(temporary);
    static char buffer[64 * 1024];
    ssize_t got;
    while ((got = ::read(in, buffer, sizeof buffer)) > 0)
        if (!writeAll(copy, buffer, got))
            return failed(temporary);
    if (got < 0)
        return failed(argv[1]);
    if (::fsync(copy) != 0 || ::close(copy) != 0)
        return failed(temporary);
    if (::rename(temporary.c_str(), out.c_str()) != 0)
        return failed(out);
    const int directory = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (directory < 0 || ::fsync(directory) != 0)
        return failed(folder);
    ::close(directory);
    ::close(in);
    return 0;
}
