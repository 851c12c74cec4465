#include "workbook/spreadsheet/AtomicSave.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <thread>

#include "common/FolderOf.h"
#include "common/NameLength.h"
#include "workbook/spreadsheet/LockFile.h"
#include "workbook/spreadsheet/SaveSystem.h"

// The save's one policy, the same on every system: check the target, write
// a temporary file beside it, flush it, put it in place, make that durable,
// clean up. The calls to the system are SaveSystem's. The temporary file is
// removed only where the new workbook is in place or the old one is known to
// lie where it lay; where neither can be made so, both stay under names the
// failure's description gives.

namespace kestrane::spreadsheet {

namespace {

namespace fs = std::filesystem;

// Tries a call again while another program holds its file for a moment:
// virus scanners, the search indexer and sync clients open a file just
// written, and Windows refuses to move or remove it meanwhile. The waits grow
// 25 ms at a time to 250 ms, about 1.4 s in all, as SQLite waits them out;
// any other answer is final at once.
SystemError waitingOutHolds(const std::function<SystemError()> &call)
{
    SystemError error = call();
    for (int attempt = 1; attempt <= 10 && error != 0 && heldForAMoment(error); ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(25 * attempt));
        error = call();
    }
    return error;
}

std::string shown(const fs::path &path)
{
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

// A failure whose description goes on to say what the operator finds where.
Failure failureSaying(FailureNumber number, const std::string &more)
{
    return Failure(number, Failure::standardDescription(number) + ": " + more);
}

void check(SystemError error)
{
    if (error != 0)
        throw Failure(failureNumberOf(error));
}

// A name no other save picks: the process's own random part and a count.
// Short and of fixed form, so that a target name near the length limit
// still leaves room for it; hidden from listings on POSIX systems.
std::string temporaryStem()
{
    static const unsigned process = std::random_device{}();
    static std::atomic<unsigned> counter{0};
    char stem[32];
    std::snprintf(stem, sizeof stem, ".kestrane-%08x-%u", process, counter++);
    return stem;
}

class Save {
public:
    Save(SaveSystem &system, const fs::path &target, bool replacing)
        : m_system(system), m_target(target), m_folder(folderOf(target)), m_replacing(replacing)
    {
    }

    void createTemporary()
    {
        for (int attempt = 0;; ++attempt) {
            const std::string stem = temporaryStem();
            m_temporary = m_folder / (stem + ".tmp");
            m_backup = m_folder / (stem + ".bak");
            // The whole path of either, not only the target's, must fit.
            if (m_backup.native().size() > m_system.longestPath || holdsANameTooLong(m_backup))
                throw Failure(BadFileNameOrNumber);
            const SystemError error = m_system.createNew(m_temporary, m_file);
            Entry there = Entry::Nothing;
            if (error != 0 && attempt < 100 && m_system.kindOf(m_temporary, there) == 0 && there != Entry::Nothing)
                continue; // a file left by a save that never ended
            check(error);
            return;
        }
    }

    // Writes, then flushes: a disk that is full or failing may say so only
    // when flushed or closed. A failure on the way leaves no temporary file.
    void write(const std::function<void(const ByteWriter &)> &produce)
    {
        try {
            produce([&](std::span<const unsigned char> bytes) { check(m_system.write(m_file, bytes)); });
            if (m_replacing)
                checkUnlessNotSupported(m_system.copyMode(m_file, m_target));
            checkUnlessNotSupported(m_system.flush(m_file));
        } catch (const Failure &failure) {
            m_system.close(m_file);
            discardTemporary(FailureNumber(failure.number()));
            throw;
        } catch (...) {
            m_system.close(m_file);
            m_system.remove(m_temporary);
            throw;
        }
        if (const SystemError error = m_system.close(m_file))
            failDiscarding(error);
    }

    void putInPlace()
    {
        if (!m_replacing) {
            if (const SystemError error = waitingOutHolds([&] { return m_system.move(m_temporary, m_target); }))
                failDiscarding(error);
            return;
        }
        const SystemError error = waitingOutHolds([&] { return m_system.replace(m_target, m_temporary, m_backup); });
        if (error != 0)
            recoverFrom(error);
        removeBackup();
    }

    // A folder whose list of names cannot be flushed on a failing disk may
    // lose the new name with the power, so the operator hears of it; a
    // system that cannot flush folders at all has said so in other ways.
    void makeDurable()
    {
        const SystemError error = m_system.flushFolder(m_folder);
        if (error != 0 && failureNumberOf(error) == DeviceIOError)
            throw failureSaying(DeviceIOError, "the workbook is in its place, but the disk did not confirm it");
    }

private:
    void checkUnlessNotSupported(SystemError error)
    {
        if (!notSupportedHere(error))
            check(error);
    }

    // The old workbook is where it was (or there never was one): the
    // temporary file goes, and the failure is `error`'s.
    [[noreturn]] void failDiscarding(SystemError error)
    {
        discardTemporary(failureNumberOf(error));
        throw Failure(failureNumberOf(error));
    }

    void discardTemporary(FailureNumber number)
    {
        const SystemError error = waitingOutHolds([&] { return m_system.remove(m_temporary); });
        if (error != 0 && failureNumberOf(error) != PathNotFound)
            throw failureSaying(number, "its temporary file is left as " + shown(m_temporary));
    }

    // The replace failed: what is left where decides what comes next. Its
    // error numbers differ from system to system, the files do not.
    void recoverFrom(SystemError error)
    {
        Entry atTarget = Entry::Nothing, atBackup = Entry::Nothing;
        if (m_system.kindOf(m_target, atTarget) != 0 || m_system.kindOf(m_backup, atBackup) != 0)
            throw failureSaying(failureNumberOf(error), "the new workbook is kept as " + shown(m_temporary) +
                                                            "; the previous one, if not in its place, as " +
                                                            shown(m_backup));
        const bool oldInPlace = atTarget != Entry::Nothing, oldAtBackup = atBackup != Entry::Nothing;
        if (oldInPlace && oldAtBackup)
            throw failureSaying(failureNumberOf(error), "the new workbook is kept as " + shown(m_temporary) +
                                                            "; a copy of the previous one as " + shown(m_backup));
        if (oldInPlace) {
            // Nothing has moved (Windows' 1175 and 1176). Where no other
            // program holds a file, a plain move may still succeed, as on a
            // file system whose attributes cannot all be carried over.
            if (heldForAMoment(error) ||
                (error = waitingOutHolds([&] { return m_system.move(m_temporary, m_target); })) != 0)
                failDiscarding(error);
            return;
        }
        // The old workbook has left its place, for the backup name
        // (Windows' 1177) or for good: the new one goes there.
        error = waitingOutHolds([&] { return m_system.move(m_temporary, m_target); });
        if (error == 0)
            return;
        if (oldAtBackup && waitingOutHolds([&] { return m_system.move(m_backup, m_target); }) == 0)
            failDiscarding(error);
        throw failureSaying(failureNumberOf(error),
                            "the new workbook is kept as " + shown(m_temporary) +
                                (oldAtBackup ? "; the previous one as " + shown(m_backup) : std::string()));
    }

    // Windows leaves the old workbook under the backup name. The new one is
    // in place; should the old one stay, the operator hears where.
    void removeBackup()
    {
        const SystemError error = waitingOutHolds([&] { return m_system.remove(m_backup); });
        if (error != 0 && failureNumberOf(error) != PathNotFound)
            throw failureSaying(failureNumberOf(error),
                                "the workbook is saved, and its previous version is left as " + shown(m_backup));
    }

    SaveSystem &m_system;
    const fs::path m_target, m_folder;
    const bool m_replacing;
    fs::path m_temporary, m_backup;
    FileHandle m_file = 0;
};

} // namespace

void saveAtomically(const std::filesystem::path &path, const std::function<void(const ByteWriter &)> &produce)
{
    SaveSystem &system = saveSystem();
    if (path.empty() || holdsANameTooLong(path))
        throw Failure(BadFileNameOrNumber);
    fs::path target;
    check(system.resolve(path, target));
    // A workbook open in a spreadsheet program is not replaced under it: the
    // operator closes it there and saves again.
    if (openInASpreadsheetProgram(path) || openInASpreadsheetProgram(target))
        throw Failure(PermissionDenied);
    Entry entry = Entry::Nothing;
    check(system.kindOf(target, entry));
    // Only a file is replaced: never a folder, and never a device or pipe,
    // which a rename would silently swap for a plain file; and a read-only
    // one is not replaced behind its owner's back.
    if (entry == Entry::Folder || entry == Entry::Other)
        throw Failure(PathFileAccessError);
    if (entry == Entry::ReadOnlyFile)
        throw Failure(PermissionDenied);

    Save save(system, target, entry == Entry::File);
    save.createTemporary();
    save.write(produce);
    save.putInPlace();
    save.makeDurable();
}

} // namespace kestrane::spreadsheet
