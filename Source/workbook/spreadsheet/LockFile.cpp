#include "workbook/spreadsheet/LockFile.h"

#include <sys/stat.h>

namespace kestrane::spreadsheet {

namespace {

bool exists(const std::string &path)
{
    struct stat entry {};
    return ::lstat(path.c_str(), &entry) == 0;
}

} // namespace

bool openInASpreadsheetProgram(const std::string &path)
{
    const auto slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return exists(folder + ".~lock." + name + "#") || exists(folder + "~$" + name);
}

} // namespace kestrane::spreadsheet
