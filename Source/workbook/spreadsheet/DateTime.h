#pragma once

namespace kestrane::spreadsheet {

// A date and time as the spreadsheet holds it: a serial number of days since
// 1899-12-30 whose fraction is the time of day (noon is .5). This is the 1900
// date system, the default of a new workbook.
struct DateTime {
    double serial = 0.0;

    // The serial of a local calendar date and clock time. Fields out of their
    // range carry over like the spreadsheet's own DATE and TIME functions
    // (month 13 is January of the next year, second 60 the next minute).
    static DateTime fromLocal(int year, int month, int day, int hour, int minute, int second);

    // The current local date and time, to the whole second.
    static DateTime now();

    friend bool operator==(const DateTime &, const DateTime &) = default;
};

} // namespace kestrane::spreadsheet
