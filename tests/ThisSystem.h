#pragma once

// What the tests need of the system they run on, in its own words:
// ThisSystem_posix.cpp and ThisSystem_windows.cpp.
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "common/Failure.h"
#include "common/System.h"

namespace kestrane::test {

// The platforms a row of a table runs on.
enum Platforms { Posix = 1, Windows = 2, Everywhere = Posix | Windows };
extern const Platforms ThisPlatform;

// Events each system reports in its own words.
enum class Event {
    NotFound, NotAllowed, ShareRefuses, Held, DiskFull, QuotaExceeded, DiskFailing, DeviceGone, DeviceNotReady,
    ShareGone, NameTooLong, NotSupported,
    NotMoved, // Windows' ReplaceFileW half-way: 1176, 1177
};

// This system's errors for the event, the commonest first.
std::vector<SystemError> errorsFor(Event event);

// How another program lets others at a file it holds open.
enum class Sharing { ReadAndWrite, ReadOnly };

// Holds the file open as another program does (`writing` it, or reading
// it), letting others at it only as `sharing` says, until the holder goes.
// Empty where the file cannot be opened. Nothing but Windows keeps others
// from a file held this way.
std::shared_ptr<void> holdOpen(const std::filesystem::path &path, Sharing sharing, bool writing = false);

// Hides a file as the Windows spreadsheet program hides its owner file
// (~$NAME) beside a workbook it has open; elsewhere a name is what hides it.
void hide(const std::filesystem::path &path);

// What the process has open: its file descriptors, or its handles.
long openFiles();

// A named pipe at path; false where a folder cannot hold one.
bool makePipe(const std::string &path);

// The number of the Failure an action raises, or 0 when it raises none; where
// asked, its description too.
template <typename Action> int failureOf(Action action, std::string *description = nullptr)
{
    try {
        action();
    } catch (const Failure &failure) {
        if (description)
            *description = failure.description();
        return failure.number();
    }
    return 0;
}

} // namespace kestrane::test
