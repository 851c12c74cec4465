#include "workbook/spreadsheet/LockFile.h"

#include "common/FolderOf.h"

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

} // namespace kestrane::spreadsheet
