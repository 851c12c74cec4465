#include <algorithm>

#include <windows.h>

#include "workbook/spreadsheet/SaveSystem.h"

// The save's calls on Windows: each the Win32 call it names, on the path in
// its long form, and GetLastError's answer, read before anything else runs.

namespace kestrane::spreadsheet {

namespace {

using Path = std::filesystem::path;

SystemError answer(BOOL done) { return done ? 0 : lastSystemError(); }

SystemError resolve(const Path &path, Path &file)
{
    file = path;
    return 0;
}

SystemError kindOf(const Path &path, Entry &entry)
{
    const Path name = systemPath(path);
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    const SystemError error = attributes == INVALID_FILE_ATTRIBUTES ? lastSystemError() : 0;
    entry = error != 0                                   ? Entry::Nothing
            : (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? Entry::Folder
            : (attributes & FILE_ATTRIBUTE_READONLY) != 0  ? Entry::ReadOnlyFile
                                                           : Entry::File;
    return error == ERROR_FILE_NOT_FOUND ? 0 : error;
}

// The spreadsheet program holds an open workbook with read sharing only, so
// asking to write it is refused as a sharing violation while it is open.
// Nothing is written; a file that is not there is not held.
bool heldWithoutWriteSharing(const Path &path)
{
    const Path name = systemPath(path);
    const DWORD everyone = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    const HANDLE file =
        ::CreateFileW(name.c_str(), GENERIC_WRITE, everyone, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    const SystemError error = file == INVALID_HANDLE_VALUE ? lastSystemError() : 0;
    if (file != INVALID_HANDLE_VALUE)
        ::CloseHandle(file);
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

// Shared with no one while it is written: nothing else sees half a workbook.
SystemError createNew(const Path &path, FileHandle &file)
{
    const Path name = systemPath(path);
    const HANDLE handle =
        ::CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    const SystemError error = handle == INVALID_HANDLE_VALUE ? lastSystemError() : 0;
    file = reinterpret_cast<FileHandle>(handle);
    return error;
}

// ReplaceFileW itself keeps the old workbook's attributes and permissions.
SystemError copyMode(FileHandle, const Path &) { return 0; }

SystemError write(FileHandle file, std::span<const unsigned char> bytes)
{
    while (!bytes.empty()) {
        const DWORD want = DWORD(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(reinterpret_cast<HANDLE>(file), bytes.data(), want, &written, nullptr))
            return lastSystemError();
        bytes = bytes.subspan(written);
    }
    return 0;
}

SystemError flush(FileHandle file) { return answer(::FlushFileBuffers(reinterpret_cast<HANDLE>(file))); }
SystemError close(FileHandle file) { return answer(::CloseHandle(reinterpret_cast<HANDLE>(file))); }

// ReplaceFileW keeps the old workbook's attributes, permissions and creation
// time, as the operator set them; the backup name in the same folder leaves
// every half-way result with each file under a name the save knows.
SystemError replace(const Path &target, const Path &replacement, const Path &backup)
{
    const Path targetName = systemPath(target), replacementName = systemPath(replacement);
    const Path backupName = systemPath(backup);
    return answer(::ReplaceFileW(targetName.c_str(), replacementName.c_str(), backupName.c_str(),
                                 REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr));
}

SystemError move(const Path &from, const Path &to)
{
    const Path fromName = systemPath(from), toName = systemPath(to);
    return answer(::MoveFileExW(fromName.c_str(), toName.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
}

SystemError remove(const Path &path)
{
    const Path name = systemPath(path);
    return answer(::DeleteFileW(name.c_str()));
}

// A write-through move is on the disk, its folder's entry with it.
SystemError flushFolder(const Path &) { return 0; }

} // namespace

SaveSystem &saveSystem()
{
    // The longest path the long form takes, less its \\?\UNC\ prefix.
    static SaveSystem system{resolve, kindOf,  heldWithoutWriteSharing, createNew, copyMode,    write, flush,
                             close,   replace, move,                    remove,    flushFolder, 32767 - 8};
    return system;
}

} // namespace kestrane::spreadsheet
