#include "CommandsPlatform.h"

#include <gtest/gtest.h>

#include <csignal>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrane::test {

const Platforms ThisPlatform = Posix;

void runUnder(Condition condition, const std::string &, const std::function<void()> &command)
{
    ASSERT_NE(condition, HeldOpen) << "no file is held open against others on POSIX";
    // A write past the limit fails for root too; the signal it raises would end the process.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const rlimit full{2048, saved.rlim_max};
    std::signal(SIGXFSZ, SIG_IGN);
    const bool asNobody = condition == AsNobody && ::getuid() == 0; // anyone else is refused anyway
    ASSERT_EQ(asNobody ? ::seteuid(65534) : condition == OnAFullDisk ? ::setrlimit(RLIMIT_FSIZE, &full) : 0, 0);
    command();
    EXPECT_EQ(asNobody ? ::seteuid(0) : ::setrlimit(RLIMIT_FSIZE, &saved), 0);
}

void makePipe(const std::string &path) { ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0); }

} // namespace kestrane::test
