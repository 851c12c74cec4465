#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>

#include "common/System.h"

namespace kestrane::spreadsheet {

// What lies at a path.
enum class Entry { Nothing, File, ReadOnlyFile, Folder, Other };

// An open file as the system knows it: a descriptor or a handle.
using FileHandle = std::intptr_t;

// The calls a save makes to the system, each as small as the system allows
// and each answering with the system's error, 0 when it did what was asked.
// The save's one policy (AtomicSave.cpp) runs over them; each platform gives
// its own (AtomicSave_posix.cpp, AtomicSave_windows.cpp), and a test may put
// others in their place to make any one of them fail. Paths are as the
// operator named them; each call makes of them what its system needs.
struct SaveSystem {
    using Path = std::filesystem::path;
    // The file the save writes for `path`: on POSIX systems the file a
    // symbolic link names, followed link by link; elsewhere `path` itself.
    std::function<SystemError(const Path &path, Path &file)> resolve;
    // What lies at `path`, following links; Nothing where nothing is.
    std::function<SystemError(const Path &path, Entry &entry)> kindOf;
    // Whether another program holds the file open without letting others
    // write it, as the Windows spreadsheet program holds an open workbook.
    std::function<bool(const Path &path)> heldWithoutWriteSharing;
    // Makes a new file, failing where one is there already, shared with no one.
    std::function<SystemError(const Path &path, FileHandle &file)> createNew;
    // Gives the new file the permission bits of `original`, where the
    // system keeps them apart from the file's place.
    std::function<SystemError(FileHandle file, const Path &original)> copyMode;
    std::function<SystemError(FileHandle file, std::span<const unsigned char> bytes)> write;
    // Sends the file's content to the disk.
    std::function<SystemError(FileHandle file)> flush;
    std::function<SystemError(FileHandle file)> close;
    // Puts `replacement` in the place of the existing `target`, in one step
    // where the system can. Windows moves the old file to `backup` on the
    // way and leaves it there.
    std::function<SystemError(const Path &target, const Path &replacement, const Path &backup)> replace;
    // Moves a file to a place, over any file there, the move on the disk
    // before it returns.
    std::function<SystemError(const Path &from, const Path &to)> move;
    std::function<SystemError(const Path &path)> remove;
    // Makes the folder's list of names durable, where the system asks for it.
    std::function<SystemError(const Path &folder)> flushFolder;
    // The longest path the system takes, in its own units.
    std::size_t longestPath;
};

// The calls the save makes: this system's, unless a test has put others in
// their place.
SaveSystem &saveSystem();

} // namespace kestrane::spreadsheet
