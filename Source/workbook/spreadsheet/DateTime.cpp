#include "workbook/spreadsheet/DateTime.h"

#include <cstdint>

#include "workbook/spreadsheet/LocalTime.h"

namespace kestrane::spreadsheet {

namespace {

// Floor division, so that negative carries go the right way.
std::int64_t floorDiv(std::int64_t a, std::int64_t b)
{
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

// Days from 1970-01-01 to a proleptic Gregorian date (month 1..12).
std::int64_t daysFromCivil(std::int64_t year, int month, int day)
{
    year -= month <= 2;
    const std::int64_t era = floorDiv(year, 400);
    const std::int64_t yearOfEra = year - era * 400;
    const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// 1899-12-30, day 0 of the spreadsheet's serials, counted from 1970-01-01.
constexpr std::int64_t kSerialEpoch = -25569;
constexpr std::int64_t kSecondsPerDay = 86400;

} // namespace

DateTime DateTime::fromLocal(int year, int month, int day, int hour, int minute, int second)
{
    // Months carry into years, then days and seconds are plain counts.
    const std::int64_t monthIndex = std::int64_t(year) * 12 + (month - 1);
    const std::int64_t y = floorDiv(monthIndex, 12);
    const int m = int(monthIndex - y * 12) + 1;
    const std::int64_t days = daysFromCivil(y, m, 1) + (day - 1) - kSerialEpoch;

    const std::int64_t seconds = std::int64_t(hour) * 3600 + std::int64_t(minute) * 60 + second;
    const std::int64_t carriedDays = floorDiv(seconds, kSecondsPerDay);
    const std::int64_t secondOfDay = seconds - carriedDays * kSecondsPerDay;

    return DateTime{double(days + carriedDays) + double(secondOfDay) / double(kSecondsPerDay)};
}

DateTime DateTime::now()
{
    const LocalTime local = localTimeNow();
    return fromLocal(local.year, local.month, local.day, local.hour, local.minute, local.second);
}

} // namespace kestrane::spreadsheet
