#pragma once

namespace kestrane::spreadsheet {

// A reading of the clock in the local time zone, to the whole second.
struct LocalTime {
    int year = 0;
    int month = 0; // 1 to 12
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The local date and time now.
LocalTime localTimeNow();

} // namespace kestrane::spreadsheet
