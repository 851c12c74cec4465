#include "workbook/spreadsheet/LockFile.h"

namespace kestrane::spreadsheet {

std::array<std::filesystem::path, 2> lockFilesBeside(const std::filesystem::path &workbook)
{
    const std::filesystem::path folder = workbook.parent_path(), name = workbook.filename();
    std::filesystem::path libreOffice = folder / ".~lock.", windows = folder / "~$";
    libreOffice += name;
    libreOffice += "#";
    windows += name;
    return {libreOffice, windows};
}

} // namespace kestrane::spreadsheet
