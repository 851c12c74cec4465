#include "workbook/spreadsheet/LockFile.h"

#include "common/FolderOf.h"
#include "workbook/spreadsheet/SaveSystem.h"

namespace kestrane::spreadsheet {

std::array<std::filesystem::path, 2> lockFilesBeside(const std::filesystem::path &workbook)
{
    const std::filesystem::path folder = folderOf(workbook), name = workbook.filename();
    std::filesystem::path libreOffice = folder / ".~lock.", windows = folder / "~$";
    libreOffice += name;
    libreOffice += "#";
    windows += name;
    return {libreOffice, windows};
}

// Any lock file counts, whatever it holds; one that cannot be looked at does not.
bool openInASpreadsheetProgram(const std::filesystem::path &path)
{
    SaveSystem &system = saveSystem();
    for (const auto &lock : lockFilesBeside(path)) {
        Entry entry = Entry::Nothing;
        if (system.kindOf(lock, entry) == 0 && entry != Entry::Nothing)
            return true;
    }
    return system.heldWithoutWriteSharing(path);
}

} // namespace kestrane::spreadsheet
