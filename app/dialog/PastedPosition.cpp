#include "app/dialog/PastedPosition.h"

#include <cmath>
#include <cstdio>
#include <numbers>
#include <vector>

#include "positioning/GeoPosition.h"
#include "platform/NumberText.h"

namespace {

constexpr double kMinHeight = -999.999;  // m, the altitude field's range
constexpr double kMaxHeight = 9999.999;
// Earth-centred coordinates lie this far from the centre at least (m); numbers of
// a few hundred at most are degrees.
constexpr double kMinRadius = 6.0e6;

// The numbers of text, split at blanks, commas and semicolons; false at a word
// that is not a number.
// True for the characters between pasted numbers.
bool Separator(char c) { return c == ' ' || c == '\t' || c == ',' || c == ';' || c == '\n' || c == '\r'; }

bool SplitNumbers(std::string_view text, std::vector<double>& numbers, std::string& bad) {
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && Separator(text[i])) ++i;
        size_t end = i;
        while (end < text.size() && !Separator(text[end])) ++end;
        if (end == i) break;
        std::string_view word = text.substr(i, end - i);
        const bool negative = !word.empty() && word[0] == '-';
        if (!word.empty() && (word[0] == '+' || negative)) word.remove_prefix(1);
        double value = 0;
        const char* const number = ReadDecimal(word.data(), word.data() + word.size(), value);
        if (number != word.data() + word.size()) {
            bad.assign(text.substr(i, end - i));
            return false;
        }
        numbers.push_back(negative ? -value : value);
        i = end;
    }
    return true;
}

// m with one decimal.
std::string Metres(double m) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1f", m);
    return buf;
}

}  // namespace

bool ReadPastedPosition(std::string_view text, ApproximatePosition& position, std::string& reason) {
    std::vector<double> n;
    std::string bad;
    if (!SplitNumbers(text, n, bad)) {
        reason = "\"" + bad + "\" is not a number";
        return false;
    }
    if (n.size() != 3) {
        reason = "three numbers are needed: latitude, longitude (degrees) and height (m), or X, Y, Z (m)";
        return false;
    }
    ApproximatePosition p;
    const double radius = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (std::fabs(n[0]) <= 90.0 && std::fabs(n[1]) <= 360.0) {
        constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;
        p.latitude = n[0] * kRadiansPerDegree;
        p.longitude = std::remainder(n[1], 360.0) * kRadiansPerDegree;
        p.height = n[2];
    } else if (radius >= kMinRadius) {
        GeoPosition geo;
        geo.SetCartesian(n[0], n[1], n[2]);
        p.latitude = geo.Latitude();
        p.longitude = geo.Longitude();
        p.height = geo.Height();
    } else {
        reason = "neither degrees (latitude -90..90, longitude -360..360) nor X, Y, Z near the earth's surface";
        return false;
    }
    if (p.height < kMinHeight || p.height > kMaxHeight) {
        reason = "the height " + Metres(p.height) + " m is outside -999.999..9999.999 m";
        return false;
    }
    position = p;
    reason.clear();
    return true;
}
