#pragma once
#include <ctime>

// A calendar date and time of day (no time zone attached).
struct CivilTime {
    int year = 1970;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;  // 0..59 (a leap second is folded into 59)
};

// Now, in seconds since 1970-01-01 00:00:00 UTC.
std::time_t CurrentTime();
// t in the local time zone.
CivilTime LocalCivilTime(std::time_t t);
// t in UTC.
CivilTime UtcCivilTime(std::time_t t);
// The date a written file records as its creation date: the UTC time of the
// SOURCE_DATE_EPOCH environment variable (seconds since 1970, the reproducible-
// builds convention) when it holds a valid number, otherwise the local time now.
CivilTime CreationTime();
// The time zone of CreationTime() as RINEX 3 headers name it: "UTC" for the
// SOURCE_DATE_EPOCH time, "LCL" for the local time.
const char* CreationTimeZone();
// The same moment in seconds since 1970 (SOURCE_DATE_EPOCH's, or now).
std::time_t CreationSeconds();
