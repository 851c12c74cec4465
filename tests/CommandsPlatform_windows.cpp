#include "CommandsPlatform.h"

#include <gtest/gtest.h>

#include "HeldOpen.h"

namespace kestrane::test {

const Platforms ThisPlatform = Windows;

void runUnder(Condition condition, const std::string &chosen, const std::function<void()> &command)
{
    ASSERT_TRUE(condition == Plainly || condition == HeldOpen) << "a POSIX condition, which Windows has not";
    const auto holder = holdOpen(std::filesystem::path(condition == HeldOpen ? chosen : ""), GENERIC_READ, 0);
    ASSERT_EQ(holder != nullptr, condition == HeldOpen) << chosen;
    command();
}

void makePipe(const std::string &path) { FAIL() << "no named pipe in a folder on Windows: " << path; }

} // namespace kestrane::test
