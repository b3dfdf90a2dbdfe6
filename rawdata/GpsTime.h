#pragma once
#include "platform/Clock.h"
#include <cstdint>

// Local calendar date-time with second resolution (no time zone shift).
struct CalendarTime {
    int year = 1980;
    int month = 1;   // 1..12
    int day = 6;     // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The calendar fields of a platform clock reading.
inline CalendarTime CalendarOf(const CivilTime& t) {
    return CalendarTime{t.year, t.month, t.day, t.hour, t.minute, t.second};
}

// GPS time: full (not 10-bit truncated) week since 6 January 1980 and seconds of week.
struct GpsTime {
    static constexpr double kSecondsPerWeek = 604800.0;

    uint16_t week = 0;
    double seconds = 0.0;

    constexpr GpsTime() = default;
    constexpr GpsTime(uint16_t w, double s) : week(w), seconds(s) {}

    // This time plus dt seconds, the seconds normalised into [0, 604800) with week carry
    // (towards the direction of dt only). Seconds that are not a finite number carry nothing.
    GpsTime AddSeconds(double dt) const;
    // This time minus dt seconds.
    GpsTime SubtractSeconds(double dt) const { return AddSeconds(-dt); }
    GpsTime& operator+=(double dt) { return *this = AddSeconds(dt); }
    GpsTime& operator-=(double dt) { return *this = AddSeconds(-dt); }

    // (week - other.week) * 604800 + seconds - other.seconds, in seconds.
    double Difference(const GpsTime& other) const {
        return (static_cast<double>(week) - static_cast<double>(other.week)) * kSecondsPerWeek +
               seconds - other.seconds;
    }

    bool operator==(const GpsTime& o) const { return week == o.week && seconds == o.seconds; }
    bool operator!=(const GpsTime& o) const { return !(*this == o); }
    bool operator>(const GpsTime& o) const { return Difference(o) > 0; }
    bool operator>=(const GpsTime& o) const { return Difference(o) >= 0; }
    bool operator<(const GpsTime& o) const { return !(Difference(o) >= 0); }
    bool operator<=(const GpsTime& o) const { return !(Difference(o) > 0); }

    // Days since the GPS time origin: week * 7 + seconds / 86400.
    double ToDays() const { return week * 7.0 + seconds / 86400.0; }
    // Sets week and seconds from a count of days since the GPS origin.
    void FromDays(double days);

    // Sets this time from a calendar date-time (second resolution).
    void FromCalendar(const CalendarTime& c);
    // The calendar date-time of this time; fractions of a second are dropped.
    CalendarTime ToCalendar() const;
};

// Full GPS week nearest to referenceWeek that equals truncatedWeek modulo 1024.
uint16_t ResolveWeek(unsigned truncatedWeek, unsigned referenceWeek);
