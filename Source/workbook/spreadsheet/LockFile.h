#pragma once

#include <string>

namespace kestrane::spreadsheet {

// Whether a spreadsheet program has the file at `path` open. Nothing on Linux
// locks the file itself; the programs leave a lock file beside it instead:
// LibreOffice ".~lock.NAME#", the Windows spreadsheet program on a shared
// folder "~$NAME". Either one counts, whatever it holds.
bool openInASpreadsheetProgram(const std::string &path);

} // namespace kestrane::spreadsheet
