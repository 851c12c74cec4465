#include "CommandsPlatform.h"

#include "HeldOpen.h"

namespace kestrane::test {

const Platforms ThisPlatform = Windows;

bool runUnder(Condition condition, const std::string &chosen, const std::function<void()> &command)
{
    const auto holder = holdOpen(std::filesystem::path(condition == HeldOpen ? chosen : ""), GENERIC_READ, 0);
    if (condition == AsNobody || condition == OnAFullDisk || (holder != nullptr) != (condition == HeldOpen))
        return false; // a POSIX condition, or the file could not be held
    command();
    return true;
}

bool makePipe(const std::string &) { return false; } // a named pipe lives in no folder on Windows

} // namespace kestrane::test
