#include "quality/TimeText.h"

#include <cmath>
#include <cstdio>

std::string CalendarText(const GpsTime& t, char separator) {
    if (!std::isfinite(t.seconds)) return "?";
    long long ms = std::llround(t.seconds * 1000.0);
    long long week = t.week;
    const long long msPerWeek = 604800000LL;
    while (ms >= msPerWeek) {
        ms -= msPerWeek;
        ++week;
    }
    while (ms < 0) {
        ms += msPerWeek;
        --week;
    }
    // NOLINTNEXTLINE(bugprone-integer-division): whole seconds on purpose
    const CalendarTime c = GpsTime(static_cast<uint16_t>(week), static_cast<double>(ms / 1000)).ToCalendar();
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d%c%02d:%02d:%02d", c.year, c.month, c.day, separator, c.hour,
                  c.minute, c.second);
    std::string out = text;
    if (ms % 1000 != 0) {
        std::snprintf(text, sizeof text, ".%03lld", ms % 1000);
        out += text;
    }
    return out;
}
