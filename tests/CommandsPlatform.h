#pragma once

#include <functional>
#include <string>

// What the commands' table does differently on each platform: the harder
// conditions a command runs under and the files only one platform has.
// Each platform has its own source, CommandsPlatform_posix.cpp or _windows.cpp.
namespace kestrane::test {

// The platforms a row runs on; a row for the others does not exist here.
enum Platforms { Posix = 1, Windows = 2, Everywhere = Posix | Windows };
extern const Platforms ThisPlatform;

// Windows: another program has the chosen file open, shared with no one.
// POSIX: the process as the unprivileged "nobody", which root reads for; or
// a limit on the size of the files it writes, reached as on a full disk.
enum Condition { Plainly, HeldOpen, AsNobody, OnAFullDisk };

// Runs the command under the condition; one this platform cannot make fails the test.
void runUnder(Condition condition, const std::string &chosen, const std::function<void()> &command);

// A named pipe at path; fails the test where a folder holds none.
void makePipe(const std::string &path);

} // namespace kestrane::test
