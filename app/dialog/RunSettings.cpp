#include "app/dialog/RunSettings.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

bool ReadNumber(const std::string& text, double& value) {
    if (text.find_first_not_of("0123456789.") != std::string::npos ||
        text.find_first_of("0123456789") == std::string::npos || text.find('.') != text.rfind('.'))
        return false;
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return end && *end == '\0' && std::isfinite(value);
}

bool ReadSignedNumber(const std::string& text, double& value) {
    const bool sign = !text.empty() && (text[0] == '-' || text[0] == '+');
    if (!ReadNumber(sign ? text.substr(1) : text, value)) return false;
    if (text[0] == '-') value = -value;
    return true;
}

bool ReadAntennaMetres(const std::string& text, std::optional<double>& metres) {
    std::string plain = Trimmed(text);
    if (plain.empty()) {
        metres.reset();
        return true;
    }
    for (char& c : plain)
        if (c == ',') c = '.';
    double value = 0;
    if (!ReadSignedNumber(plain, value) || std::fabs(value) > kMaxAntennaMetres) return false;
    metres = value;
    return true;
}

std::string AntennaMetresText(const std::optional<double>& metres) {
    if (!metres) return {};
    char text[32];
    std::snprintf(text, sizeof text, "%.4f", *metres);
    return text;
}

std::optional<std::string> RinexAntennaType(const std::string& text) {
    constexpr size_t kTypeWidth = 16, kRadomeWidth = 4;
    const std::string plain = Trimmed(text);
    if (plain.empty()) return std::string();
    std::string type = plain, radome = "NONE";
    const size_t blank = plain.find_last_of(" \t");
    if (blank != std::string::npos && plain.size() - blank - 1 <= kRadomeWidth &&
        Trimmed(plain.substr(0, blank)).size() <= kTypeWidth) {
        type = Trimmed(plain.substr(0, blank));
        radome = plain.substr(blank + 1);
    }
    if (type.size() > kTypeWidth) return std::nullopt;
    return type + std::string(kTypeWidth - type.size(), ' ') + radome + std::string(kRadomeWidth - radome.size(), ' ');
}

bool ParseDateTime(const std::string& text, GpsTime& t) {
    int year, month, day, hour, minute, consumed = 0;
    double second;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%lf%n", &year, &month, &day, &hour, &minute, &second,
                    &consumed) != 6 ||
        consumed != static_cast<int>(text.size()))
        return false;
    static constexpr int kDaysInMonth[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1980 || year > 2099 || month < 1 || month > 12 || day < 1 || day > kDaysInMonth[month - 1] ||
        hour < 0 || hour > 23 || minute < 0 || minute > 59 || !(second >= 0.0 && second < 60.0))
        return false;
    const bool leap = year % 4 == 0;  // 2000 is one, 2100 lies outside
    if (month == 2 && day == 29 && !leap) return false;
    t.FromCalendar(CalendarTime{year, month, day, hour, minute, 0});
    t = t.AddSeconds(second);
    return true;
}

std::string DateTimeText(const GpsTime& t) {
    const long long tenths = std::llround(t.seconds * 10);  // 0.1 s, the finest step of the window
    // NOLINTNEXTLINE(bugprone-integer-division): whole seconds on purpose
    const CalendarTime c = GpsTime(t.week, 0.0).AddSeconds(static_cast<double>(tenths / 10)).ToCalendar();
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", c.year, c.month, c.day, c.hour, c.minute,
                  c.second);
    std::string out = text;
    if (tenths % 10 != 0) out += "." + std::to_string(tenths % 10);
    return out;
}

bool ParseInterval(const std::string& text, double& seconds) {
    double number = 0;
    if (!ReadNumber(text, number) || number <= 0 || number > 86400 ||
        std::fabs(number * 10 - std::round(number * 10)) > 1e-6)
        return false;
    seconds = std::round(number * 10) / 10;
    return true;
}

std::string IntervalText(double seconds) {
    if (!(seconds > 0)) return {};
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", seconds);
    std::string out = text;
    if (out.size() > 2 && out.compare(out.size() - 2, 2, ".0") == 0) out.resize(out.size() - 2);
    return out;
}

bool ParseCountry(const std::string& text, std::string& country) {
    if (text.size() != 3) return false;
    std::string upper = text;
    for (char& c : upper) {
        if (!std::isalpha(static_cast<unsigned char>(c)) || static_cast<unsigned char>(c) > 127) return false;
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    country = upper;
    return true;
}

RunSettingsText RunSettingsTextOf(const MainDialogValues& v) {
    return {v.from ? DateTimeText(*v.from) : std::string(), v.to ? DateTimeText(*v.to) : std::string(),
            IntervalText(v.interval), v.country};
}

std::optional<RunSettingRefusal> ReadRunSettings(const RunSettingsText& text, MainDialogValues& v) {
    std::optional<GpsTime> window[2];
    const std::string* texts[2] = {&text.from, &text.to};
    for (int k = 0; k < 2; ++k) {
        const std::string t = Trimmed(*texts[k]);
        if (t.empty()) continue;
        GpsTime time;
        if (!ParseDateTime(t, time))
            return RunSettingRefusal{k == 0 ? RunSetting::From : RunSetting::To,
                                     std::string(k == 0 ? "From" : "To") +
                                         " : please enter a GPS time \"YYYY-MM-DD hh:mm:ss\", or nothing."};
        window[k] = time;
    }
    if (window[0] && window[1] && *window[1] < *window[0])
        return RunSettingRefusal{RunSetting::To, "To : the end of the time window must not be before its start."};
    double interval = 0;
    if (const std::string t = Trimmed(text.interval); !t.empty() && !ParseInterval(t, interval))
        return RunSettingRefusal{RunSetting::Interval,
                                 "Interval : please enter a positive multiple of 0.1 s up to 86400, or nothing."};
    std::string country;
    if (!ParseCountry(Trimmed(text.country), country))
        return RunSettingRefusal{RunSetting::Country, "Country Code : please enter three letters."};
    v.from = window[0];
    v.to = window[1];
    v.interval = interval;
    v.country = country;
    return std::nullopt;
}

std::string RunSettingsSummary(const MainDialogValues& v) {
    std::string window;
    if (v.from) window += " from " + DateTimeText(*v.from);
    if (v.to) window += " to " + DateTimeText(*v.to);
    std::string parts = window.empty() ? std::string() : "epochs" + window;
    if (v.interval > 0) parts += (parts.empty() ? "" : ", ") + std::string("every ") + IntervalText(v.interval) + " s";
    return parts.empty() ? std::string() : "( " + parts + " )";
}
