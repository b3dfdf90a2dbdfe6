#include "convert/rinex/RinexObsRecord.h"

#include <cmath>

#include "convert/rinex/RinexFormat.h"
#include "convert/rinex/RinexObsHeader.h"

using namespace rinex;

namespace {

constexpr int kSatellitesPerLine = 12;
constexpr int kFieldsPerLine = 5;

// Calendar fields of an epoch or event line: year modulo 100, month, day, hour,
// minute with integer(3), seconds with fixed(11, 7).
// integer(3, n): a value of one or two digits as three characters at once.
void AppendInteger3(std::string& out, int n) {
    if (n < 0 || n > 99) {
        AppendInteger(out, 3, n);
        return;
    }
    const char field[3] = {' ', n < 10 ? ' ' : static_cast<char>('0' + n / 10), static_cast<char>('0' + n % 10)};
    out.append(field, 3);
}

void AppendEpochDate(std::string& out, const GpsTime& t) {
    const RinexDateTime d = SplitTime(t, 7);
    AppendInteger3(out, d.year % 100);
    AppendInteger3(out, d.month);
    AppendInteger3(out, d.day);
    AppendInteger3(out, d.hour);
    AppendInteger3(out, d.minute);
    AppendFixed(out, 11, 7, d.seconds);
}

// 'G' followed by integer(2, PRN) (a PRN of 1 to 32).
void AppendSatellite(std::string& out, int satelliteIndex) {
    const int prn = satelliteIndex + 1;
    const char field[3] = {'G', prn < 10 ? ' ' : static_cast<char>('0' + prn / 10), static_cast<char>('0' + prn % 10)};
    out.append(field, 3);
}

}  // namespace

void AppendEpochText(std::string& out, const RinexEpoch& epoch, uint16_t typeMask) {
    const uint16_t mask = static_cast<uint16_t>(typeMask & ((1u << kObservationKinds) - 1));
    int listed[kSatelliteCount];
    int n = 0;
    for (int s = 0; s < kSatelliteCount; ++s)
        if (epoch.sat[s].mask & mask) listed[n++] = s;

    // Epoch line with the first 12 satellites and the clock offset in columns 69-80.
    const size_t lineStart = out.size();
    AppendEpochDate(out, epoch.time);
    AppendInteger3(out, epoch.epochFlag);
    AppendInteger3(out, n);
    for (int i = 0; i < n && i < kSatellitesPerLine; ++i) AppendSatellite(out, listed[i]);
    AppendBlanks(out, 68 - static_cast<int>(out.size() - lineStart));
    AppendFixed(out, 12, 9, std::fabs(epoch.clockOffset) < 5e-10 ? 0.0 : epoch.clockOffset);  // no "-0.000000000"
    out.append(kLineEnd);

    // Continuation lines of 12 satellites each, blank-padded to 80 columns.
    for (int first = kSatellitesPerLine; first < n; first += kSatellitesPerLine) {
        AppendBlanks(out, 32);
        int i = first;
        for (; i < n && i < first + kSatellitesPerLine; ++i) AppendSatellite(out, listed[i]);
        AppendBlanks(out, 3 * (first + kSatellitesPerLine - i) + 12);
        out.append(kLineEnd);
    }

    // Observation lines, five fields per line.
    for (int i = 0; i < n; ++i) {
        const RinexSatValues& v = epoch.sat[listed[i]];
        int fields = 0;
        for (int t = 0; t < kRinexTypeCount; ++t) {
            const int k = kRinexTypeOrder[t];
            if (!((mask >> k) & 1)) continue;
            if (fields == kFieldsPerLine) {
                out.append(kLineEnd);
                fields = 0;
            }
            AppendObservation(out, v.Has(k), v.value[k], v.lli[k], v.strength[k]);
            ++fields;
        }
        AppendBlanks(out, 16 * (kFieldsPerLine - fields));
        out.append(kLineEnd);
    }
}

std::string EpochText(const RinexEpoch& epoch, uint16_t typeMask) {
    std::string out;
    out.reserve(82 * 24);
    AppendEpochText(out, epoch, typeMask);
    return out;
}

std::string UndatedEventLine(int flag, int count) {
    std::string out;
    AppendBlanks(out, 26);
    AppendInteger(out, 3, flag);
    AppendInteger(out, 3, count);
    AppendBlanks(out, 48);
    out.append(kLineEnd);
    return out;
}

std::string DatedEventLine(const GpsTime& t, int flag, int count) {
    std::string out;
    AppendEpochDate(out, t);
    AppendInteger(out, 3, flag);
    AppendInteger(out, 3, count);
    AppendBlanks(out, 48);
    out.append(kLineEnd);
    return out;
}

std::string AntennaHeightRecord(double height) {
    return UndatedEventLine(4, 2) + AntennaDeltaRecord(height, 0.0, 0.0) +
           comment("<< NEW ANTENNA HEIGHT >>");
}

std::string NewSiteRecord(std::string_view siteName, double x, double y, double z) {
    return UndatedEventLine(3, 3) + MarkerNameRecord(siteName) + ApproxPositionRecord(x, y, z) +
           comment("<< NEW SITE OCCUPATION >>");
}

std::string KinematicRecord(std::string_view markerName, double x, double y, double z) {
    return UndatedEventLine(2, 0) + UndatedEventLine(4, 3) + MarkerNameRecord(markerName) +
           ApproxPositionRecord(x, y, z) + comment("<< FROM NOW ON KINEMATIC DATA >>");
}

std::string EventRecord(const GpsTime& eventTime) {
    return DatedEventLine(eventTime, 5, 0) + UndatedEventLine(4, 1) +
           comment("<< AN EVENT FLAG WITH SIGNIFICANT EPOCH >>");
}
