#pragma once

namespace platform {

// The wall-clock date and time in the local time zone (GetLocalTime).
struct LocalTime {
    int year = 0;    // four digits, e.g. 2026
    int month = 0;   // 1..12
    int day = 0;     // 1..31
    int hour = 0;    // 0..23
    int minute = 0;  // 0..59
};

LocalTime GetLocalTime();

}  // namespace platform
