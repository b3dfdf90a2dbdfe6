#include "platform/Clock.h"

#include <cerrno>
#include <cstdlib>

namespace {

CivilTime FromTm(const std::tm& tm) {
    CivilTime c;
    c.year = tm.tm_year + 1900;
    c.month = tm.tm_mon + 1;
    c.day = tm.tm_mday;
    c.hour = tm.tm_hour;
    c.minute = tm.tm_min;
    c.second = tm.tm_sec > 59 ? 59 : tm.tm_sec;
    return c;
}

}  // namespace

std::time_t CurrentTime() { return std::time(nullptr); }

CivilTime LocalCivilTime(std::time_t t) {
    std::tm tm{};
    if (!localtime_r(&t, &tm)) return CivilTime();
    return FromTm(tm);
}

CivilTime UtcCivilTime(std::time_t t) {
    std::tm tm{};
    if (!gmtime_r(&t, &tm)) return CivilTime();
    return FromTm(tm);
}

namespace {

// The seconds of a valid SOURCE_DATE_EPOCH (years 1970 to 9999 only: a larger
// value is no date a header can carry); false when it is not set or not valid.
bool SourceDateEpoch(long long& seconds) {
    const char* text = std::getenv("SOURCE_DATE_EPOCH");
    if (!text || !*text) return false;
    char* end = nullptr;
    errno = 0;
    seconds = std::strtoll(text, &end, 10);
    return errno == 0 && end && *end == '\0' && seconds >= 0 && seconds < 253402300800LL;
}

}  // namespace

CivilTime CreationTime() {
    long long seconds = 0;
    if (SourceDateEpoch(seconds)) return UtcCivilTime(static_cast<std::time_t>(seconds));
    return LocalCivilTime(CurrentTime());
}

std::time_t CreationSeconds() {
    long long seconds = 0;
    return SourceDateEpoch(seconds) ? static_cast<std::time_t>(seconds) : CurrentTime();
}

const char* CreationTimeZone() {
    long long seconds = 0;
    return SourceDateEpoch(seconds) ? "UTC" : "LCL";
}
