#include <gtest/gtest.h>

#include <cmath>
#include <ctime>

#include "workbook/spreadsheet/DateTime.h"

using kestrane::spreadsheet::DateTime;

namespace {

struct KnownDate {
    int year, month, day, hour, minute, second;
    double serial;
};

} // namespace

class DateTimeSerial : public testing::TestWithParam<KnownDate> {};

TEST_P(DateTimeSerial, countsDaysFrom1899_12_30)
{
    const KnownDate &d = GetParam();
    EXPECT_EQ(DateTime::fromLocal(d.year, d.month, d.day, d.hour, d.minute, d.second).serial, d.serial);
}

// Serials the spreadsheet shows for these dates in its 1900 date system.
INSTANTIATE_TEST_SUITE_P(
    Calendar, DateTimeSerial,
    testing::Values(KnownDate{1899, 12, 30, 0, 0, 0, 0.0},                  // day 0
                    KnownDate{1899, 12, 31, 0, 0, 0, 1.0},
                    KnownDate{1900, 3, 1, 0, 0, 0, 61.0},                   // 1 + 31 + 28 + 1: 1900 has no Feb 29
                    KnownDate{1970, 1, 1, 0, 0, 0, 25569.0},                // the Unix epoch
                    KnownDate{2000, 1, 1, 0, 0, 0, 36526.0},
                    KnownDate{2024, 2, 29, 12, 0, 0, 45351.5},              // 2024-01-01 is 45292, + 59 days, noon
                    KnownDate{2024, 5, 17, 14, 3, 9, 45429.0 + 50589.0 / 86400.0},
                    KnownDate{9999, 12, 31, 23, 59, 59, 2958465.0 + 86399.0 / 86400.0})); // the last day it shows

TEST(DateTime, fieldsOutOfRangeCarryOverLikeTheSpreadsheetFunctions)
{
    EXPECT_EQ(DateTime::fromLocal(2023, 13, 1, 0, 0, 0), DateTime::fromLocal(2024, 1, 1, 0, 0, 0));
    EXPECT_EQ(DateTime::fromLocal(2024, 0, 1, 0, 0, 0), DateTime::fromLocal(2023, 12, 1, 0, 0, 0));
    EXPECT_EQ(DateTime::fromLocal(2024, 3, 0, 0, 0, 0), DateTime::fromLocal(2024, 2, 29, 0, 0, 0));
    EXPECT_EQ(DateTime::fromLocal(2024, 1, 1, 23, 59, 60), DateTime::fromLocal(2024, 1, 2, 0, 0, 0));
    EXPECT_EQ(DateTime::fromLocal(2024, 1, 2, 0, 0, -1), DateTime::fromLocal(2024, 1, 1, 23, 59, 59));
}

TEST(DateTime, nowIsTheLocalClockToTheWholeSecond)
{
    auto serialOf = [](std::time_t clock) {
        std::tm local{};
        ::localtime_r(&clock, &local);
        return DateTime::fromLocal(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                                   local.tm_sec)
            .serial;
    };
    const std::time_t before = std::time(nullptr);
    const double now = DateTime::now().serial;
    const std::time_t after = std::time(nullptr);
    EXPECT_GE(now, serialOf(before));
    EXPECT_LE(now, serialOf(after));
    const double seconds = (now - std::floor(now)) * 86400.0;
    EXPECT_NEAR(seconds, std::round(seconds), 1e-4);
}
