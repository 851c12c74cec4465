#include "CommandsPlatform.h"

#include <csignal>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrane::test {

const Platforms ThisPlatform = Posix;

bool runUnder(Condition condition, const std::string &, const std::function<void()> &command)
{
    // A write past the limit fails for root too; the signal it raises would end the process.
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved), std::signal(SIGXFSZ, SIG_IGN);
    const rlimit full{2048, saved.rlim_max};
    const bool asNobody = condition == AsNobody && ::getuid() == 0; // anyone else is refused anyway
    const int made = asNobody ? ::seteuid(65534) : condition == OnAFullDisk ? ::setrlimit(RLIMIT_FSIZE, &full) : 0;
    if (condition == HeldOpen || made != 0)
        return false; // POSIX holds no file open against others; or the condition was refused
    command();
    return (asNobody ? ::seteuid(0) : ::setrlimit(RLIMIT_FSIZE, &saved)) == 0;
}

bool makePipe(const std::string &path) { return ::mkfifo(path.c_str(), 0644) == 0; }

} // namespace kestrane::test
