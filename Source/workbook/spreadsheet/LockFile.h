#pragma once

#include <array>
#include <filesystem>

namespace kestrane::spreadsheet {

// The lock files a spreadsheet program leaves beside a workbook it has open:
// LibreOffice ".~lock.NAME#", the Windows spreadsheet program "~$NAME".
std::array<std::filesystem::path, 2> lockFilesBeside(const std::filesystem::path &workbook);

// Whether a spreadsheet program has the file at `path` open: either lock
// file lies beside it, whatever it holds, or (where the system can lock a
// file, as Windows can) another program holds it open without letting
// others write it.
bool openInASpreadsheetProgram(const std::filesystem::path &path);

} // namespace kestrane::spreadsheet
