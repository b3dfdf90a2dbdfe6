#include "rawdata/GpsTime.h"

#include <cmath>

#include "rawdata/GpsConstants.h"

namespace {

// Beyond this many seconds from the week start a step carries its whole weeks at once
// (about 10000 weeks: only corrupt values get there).
constexpr double kBulkCarryLimit = 6.048e9;

// Carries the whole weeks of s into week at once (16-bit wrap) and returns the
// remainder of s, which has the sign of s and lies within one week.
double CarryWholeWeeks(double s, uint16_t& week) {
    const double rest = std::fmod(s, GpsTime::kSecondsPerWeek);
    const double weeks = std::fmod(std::trunc((s - rest) / GpsTime::kSecondsPerWeek), 65536.0);
    week = static_cast<uint16_t>(static_cast<int64_t>(week) + static_cast<int64_t>(weeks));
    return rest == 0 ? 0.0 : rest;
}

}  // namespace

GpsTime GpsTime::AddSeconds(double dt) const {
    GpsTime r = *this;
    double s = seconds + dt;
    // No whole weeks to carry in a value that is not a finite number.
    if (!std::isfinite(s)) {
        r.seconds = s;
        return r;
    }
    if ((dt >= 0 && s >= kBulkCarryLimit) || (dt < 0 && s < -kBulkCarryLimit))
        s = CarryWholeWeeks(s, r.week);
    if (dt >= 0) {
        while (s >= kSecondsPerWeek) {
            s -= kSecondsPerWeek;
            ++r.week;
        }
    } else {
        while (s < 0) {
            s += kSecondsPerWeek;
            --r.week;  // 16-bit wrap: week 0 becomes 65535
        }
    }
    r.seconds = s;
    return r;
}

void GpsTime::FromDays(double days) {
    week = static_cast<uint16_t>(static_cast<long long>(days / 7.0));
    seconds = (days - week * 7.0) * 86400.0;
}

void GpsTime::FromCalendar(const CalendarTime& c) {
    long y, m;
    if (c.month < 3) {
        y = c.year - 1901;
        m = c.month + 9;
    } else {
        y = c.year - 1900;
        m = c.month - 3;
    }
    const long d = c.day + static_cast<long>(std::trunc(y * 365.25)) +
                   static_cast<long>(std::trunc(m * 30.6 + 0.5)) - 29166;
    week = static_cast<uint16_t>(d / 7);
    seconds = c.second + c.hour * 3600.0 + static_cast<double>(d % 7) * 86400.0 + c.minute * 60.0;
}

CalendarTime GpsTime::ToCalendar() const {
    CalendarTime c;
    const long long s = static_cast<long long>(std::floor(seconds));
    c.second = static_cast<int>(s % 60);
    c.minute = static_cast<int>((s / 60) % 60);
    c.hour = static_cast<int>((s / 3600) % 24);
    const long long n = s / 86400 + static_cast<long long>(week) * 7 + 29165;
    long long y = static_cast<long long>((n + 0.8) / 365.25);
    const double r = static_cast<double>(n) - std::floor(y * 365.25);
    long long m = static_cast<long long>((r + 0.5) / 30.6);
    c.day = static_cast<int>(std::floor(r) - std::floor(m * 30.6 + 0.5)) + 1;
    if (m > 9) {
        y += 1;
        m -= 12;
    }
    c.month = static_cast<int>(m + 3);
    c.year = static_cast<int>(y + 1900);
    return c;
}

uint16_t ResolveWeek(unsigned truncatedWeek, unsigned referenceWeek) {
    const int diff = static_cast<int>(truncatedWeek) - static_cast<int>(referenceWeek);
    return static_cast<uint16_t>(static_cast<int>(referenceWeek) + SymmetricRemainder(diff, 1024));
}
