#include "quality/QualityJson.h"

#include <cmath>
#include <cstdio>

#include "quality/TimeText.h"

namespace {

// Decimals of the figures: a tenth of a millimetre for metres, a nanodegree (about
// 0.1 mm) for latitude and longitude.
constexpr int kMetres = 4;
constexpr int kDegrees = 9;
constexpr int kElevation = 2;
constexpr int kDensity = 2;
constexpr int kPercent = 3;
constexpr int kMean = 3;

// Appends "key": followed by value.
void Put(std::string& out, bool& first, const char* key, const std::string& value) {
    if (!first) out += ',';
    first = false;
    out += JsonString(key);
    out += ':';
    out += value;
}

std::string Integer(long long n) { return std::to_string(n); }

std::string Satellite(const SatelliteQuality& s) {
    std::string out = "{";
    bool first = true;
    Put(out, first, "epochs", Integer(s.epochs));
    Put(out, first, "epochs_l1", Integer(s.epochsL1));
    Put(out, first, "elevation_min", JsonNumber(s.elevationMin, kElevation));
    Put(out, first, "elevation_max", JsonNumber(s.elevationMax, kElevation));
    Put(out, first, "cn0_mean", JsonNumber(s.cn0Mean, kDensity));
    Put(out, first, "slips_flagged", Integer(s.slipsFlagged));
    Put(out, first, "slips_found", Integer(s.slipsFound));
    Put(out, first, "mp1_rms", JsonNumber(s.mp1Rms, kMetres));
    Put(out, first, "mp2_rms", JsonNumber(s.mp2Rms, kMetres));
    return out + "}";
}

std::string Position(const QualitySummary& q) {
    const PositionQuality& p = q.position;
    if (p.epochsFixed == 0) return "null";
    std::string out = "{";
    bool first = true;
    Put(out, first, "latitude", JsonNumber(p.latitude, kDegrees));
    Put(out, first, "longitude", JsonNumber(p.longitude, kDegrees));
    Put(out, first, "height", JsonNumber(p.height, kMetres));
    Put(out, first, "x", JsonNumber(p.x, kMetres));
    Put(out, first, "y", JsonNumber(p.y, kMetres));
    Put(out, first, "z", JsonNumber(p.z, kMetres));
    Put(out, first, "std_north", JsonNumber(p.stdNorth, kMetres));
    Put(out, first, "std_east", JsonNumber(p.stdEast, kMetres));
    Put(out, first, "std_up", JsonNumber(p.stdUp, kMetres));
    Put(out, first, "p95_horizontal", JsonNumber(p.p95Horizontal, kMetres));
    Put(out, first, "p95_vertical", JsonNumber(p.p95Vertical, kMetres));
    Put(out, first, "epochs_fixed", Integer(p.epochsFixed));
    Put(out, first, "epochs_unfixed", Integer(q.epochsUnfixed));
    return out + "}";
}

}  // namespace

std::string JsonString(std::string_view s) {
    std::string out = "\"";
    for (const char ch : s) {
        const unsigned char c = static_cast<unsigned char>(ch);
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (c < 0x20) {
                    char code[8];
                    std::snprintf(code, sizeof code, "\\u%04x", c);
                    out += code;
                } else {
                    out += ch;
                }
        }
    }
    return out + "\"";
}

std::string JsonNumber(double x, int decimals) {
    if (!std::isfinite(x)) return "null";
    char text[64];
    const int n = std::snprintf(text, sizeof text, "%.*f", decimals, x);
    if (n < 0 || n >= static_cast<int>(sizeof text)) {
        // Far beyond any figure of a report: the shortest exact form instead.
        std::snprintf(text, sizeof text, "%.17g", x);
    }
    // "-0.0000" is a valid number, but a reader sees a sign that means nothing.
    std::string out = text;
    if (out[0] == '-' && out.find_first_not_of("-0.") == std::string::npos) out.erase(0, 1);
    return out;
}

std::string QualityJson(const QualitySummary& q) {
    std::string out = "{";
    bool first = true;
    Put(out, first, "epochs_expected", Integer(q.epochsExpected));
    Put(out, first, "epochs_written", Integer(q.epochsWritten));
    Put(out, first, "completeness", JsonNumber(q.completeness, kPercent));
    std::string gaps = "[";
    for (size_t i = 0; i < q.gaps.size(); ++i) {
        if (i) gaps += ',';
        gaps += "[" + JsonString(CalendarText(q.gaps[i].firstMissing, 'T')) + "," +
                JsonString(CalendarText(q.gaps[i].lastMissing, 'T')) + "]";
    }
    Put(out, first, "gaps", gaps + "]");
    Put(out, first, "mp1_rms", JsonNumber(q.mp1Rms, kMetres));
    Put(out, first, "mp2_rms", JsonNumber(q.mp2Rms, kMetres));
    Put(out, first, "slips_flagged", Integer(q.slipsFlagged));
    Put(out, first, "slips_found", Integer(q.slipsFound));
    std::string satellites = "{";
    bool firstSatellite = true;
    for (int s = 0; s < kSatelliteCount; ++s) {
        const SatelliteQuality& sat = q.satellites[s];
        if (sat.epochs == 0 && sat.epochsL1 == 0) continue;
        char name[8];
        std::snprintf(name, sizeof name, "G%02d", s + 1);
        Put(satellites, firstSatellite, name, Satellite(sat));
    }
    Put(out, first, "satellites", satellites + "}");
    std::string perEpoch = "{";
    bool firstField = true;
    const bool any = q.epochsWritten > 0;
    Put(perEpoch, firstField, "min", any ? Integer(q.satellitesMin) : "null");
    Put(perEpoch, firstField, "mean", JsonNumber(q.satellitesMean, kMean));
    Put(perEpoch, firstField, "max", any ? Integer(q.satellitesMax) : "null");
    Put(out, first, "satellites_per_epoch", perEpoch + "}");
    Put(out, first, "epochs_under_4", Integer(q.epochsUnder4));
    Put(out, first, "position", Position(q));
    return out + "}";
}
