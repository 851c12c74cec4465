#include "workbook/spreadsheet/LocalTime.h"

#include <ctime>

namespace kestrane::spreadsheet {

LocalTime localTimeNow()
{
    const std::time_t clock = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&clock, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}

} // namespace kestrane::spreadsheet
