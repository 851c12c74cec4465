#include "workbook/spreadsheet/LocalTime.h"

#include <windows.h>

namespace kestrane::spreadsheet {

LocalTime localTimeNow()
{
    SYSTEMTIME local{};
    ::GetLocalTime(&local);
    return {local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond};
}

} // namespace kestrane::spreadsheet
