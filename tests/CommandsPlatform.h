#pragma once

#include <functional>
#include <string>

// What the commands' table does differently on each platform, one source for
// each: CommandsPlatform_posix.cpp, CommandsPlatform_windows.cpp.
namespace kestrane::test {

// The platforms a row runs on; the other platform's rows are no tests there.
enum Platforms { Posix = 1, Windows = 2, Everywhere = Posix | Windows };
extern const Platforms ThisPlatform;

// Windows: another program has the chosen file open, shared with no one.
// POSIX: the process as the unprivileged "nobody", where root reads anything;
// or a limit on the size of the files it writes, met as on a full disk.
enum Condition { Plainly, HeldOpen, AsNobody, OnAFullDisk };

// Runs the command under the condition; false, and the command not run, when
// this platform cannot make the condition.
bool runUnder(Condition condition, const std::string &chosen, const std::function<void()> &command);

// A named pipe at path; false where a folder cannot hold one.
bool makePipe(const std::string &path);

} // namespace kestrane::test
