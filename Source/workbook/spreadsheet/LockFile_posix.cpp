#include "workbook/spreadsheet/LockFile.h"

#include <sys/stat.h>

namespace kestrane::spreadsheet {

// Nothing on Linux locks the file itself: the lock files are all there is.
bool openInASpreadsheetProgram(const std::filesystem::path &path)
{
    for (const auto &lock : lockFilesBeside(path)) {
        struct stat entry {};
        if (::lstat(lock.c_str(), &entry) == 0)
            return true;
    }
    return false;
}

} // namespace kestrane::spreadsheet
