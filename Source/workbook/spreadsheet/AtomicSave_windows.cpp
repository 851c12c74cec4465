#include "workbook/spreadsheet/AtomicSave.h"

#include <algorithm>
#include <atomic>
#include <string>

#include <windows.h>

#include "common/Failure.h"
#include "common/FolderOf.h"
#include "common/NameLength.h"
#include "workbook/spreadsheet/LockFile.h"

namespace kestrane::spreadsheet {

namespace {

// The failure for what the system said while the file was being written:
// the numbers the POSIX save gives for the error numbers of the same meaning.
Failure writeFailure(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_DIRECTORY: return Failure(PathNotFound);
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
    case ERROR_UNABLE_TO_REMOVE_REPLACED: return Failure(PermissionDenied);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_FILE_TOO_LARGE: return Failure(DiskFull);
    case ERROR_CRC:
    case ERROR_IO_DEVICE:
    case ERROR_GEN_FAILURE: return Failure(DeviceIOError);
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_INVALID_NAME: return Failure(BadFileNameOrNumber);
    default: return Failure(PathFileAccessError);
    }
}

// A temporary file in the target's folder, removed again unless it took the
// target's place. Its name is short and fixed in form, so a target name near
// the length limit still leaves room for it.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::filesystem::path &folder)
    {
        static std::atomic<unsigned> counter{0};
        for (int attempt = 0; attempt < 100; ++attempt) {
            m_path = folder / (".kestrane-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(counter++) + ".tmp");
            // Shared with no one while it is written: nothing else sees half a workbook.
            m_file = ::CreateFileW(m_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (m_file != INVALID_HANDLE_VALUE)
                return;
            if (::GetLastError() != ERROR_FILE_EXISTS)
                throw writeFailure(::GetLastError());
        }
        throw Failure(PathFileAccessError);
    }
    ~TemporaryFile()
    {
        if (m_file != INVALID_HANDLE_VALUE)
            ::CloseHandle(m_file);
        if (!m_moved)
            ::DeleteFileW(m_path.c_str());
    }
    TemporaryFile(const TemporaryFile &) = delete;
    TemporaryFile &operator=(const TemporaryFile &) = delete;

    void write(std::span<const unsigned char> bytes)
    {
        while (!bytes.empty()) {
            const DWORD want = DWORD(std::min<std::size_t>(bytes.size(), 1u << 30));
            DWORD written = 0;
            if (!::WriteFile(m_file, bytes.data(), want, &written, nullptr))
                throw writeFailure(::GetLastError());
            bytes = bytes.subspan(written);
        }
    }

    // Flushes the content to the disk and closes the file; a disk that is
    // full or failing may say so only here.
    void flushAndClose()
    {
        // A device that cannot flush at all still holds the bytes written;
        // every other refusal is a failure of the save.
        if (!::FlushFileBuffers(m_file) && ::GetLastError() != ERROR_INVALID_FUNCTION)
            throw writeFailure(::GetLastError());
        const HANDLE file = m_file;
        m_file = INVALID_HANDLE_VALUE;
        if (!::CloseHandle(file))
            throw writeFailure(::GetLastError());
    }

    // Over a workbook that exists: ReplaceFileW keeps its attributes, its
    // permissions and its creation time, as the operator set them.
    void replace(const std::filesystem::path &target)
    {
        if (::ReplaceFileW(target.c_str(), m_path.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
            m_moved = true;
            return;
        }
        const DWORD error = ::GetLastError();
        // The old file is gone already and the new one is whole under its
        // temporary name: moving it into place is all that is left to do.
        if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT) {
            moveTo(target);
            return;
        }
        throw writeFailure(error);
    }

    // Where there is no workbook yet; the move reaches the disk before it returns.
    void moveTo(const std::filesystem::path &target)
    {
        if (!::MoveFileExW(m_path.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            throw writeFailure(::GetLastError());
        m_moved = true;
    }

private:
    std::filesystem::path m_path;
    HANDLE m_file = INVALID_HANDLE_VALUE;
    bool m_moved = false;
};

} // namespace

void saveAtomically(const std::filesystem::path &path, const std::function<void(const ByteWriter &)> &produce)
{
    if (path.empty() || holdsANameTooLong(path))
        throw Failure(BadFileNameOrNumber);
    // A workbook open in a spreadsheet program is not replaced under it: the
    // operator closes it there and saves again.
    if (openInASpreadsheetProgram(path))
        throw Failure(PermissionDenied);

    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (!exists && ::GetLastError() != ERROR_FILE_NOT_FOUND)
        throw writeFailure(::GetLastError());
    // Only a file is replaced, never a folder; and a read-only one is not
    // replaced behind its owner's back.
    if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        throw Failure(PathFileAccessError);
    if (exists && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
        throw Failure(PermissionDenied);

    TemporaryFile temporary(folderOf(path));
    produce([&](std::span<const unsigned char> bytes) { temporary.write(bytes); });
    temporary.flushAndClose();
    if (exists)
        temporary.replace(path);
    else
        temporary.moveTo(path);
}

} // namespace kestrane::spreadsheet
