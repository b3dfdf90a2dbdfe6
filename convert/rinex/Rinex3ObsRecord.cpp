#include "convert/rinex/Rinex3ObsRecord.h"

#include <cmath>

#include "convert/rinex/Rinex3ObsHeader.h"
#include "convert/rinex/RinexFormat.h"
#include "convert/rinex/RinexObsHeader.h"

using namespace rinex;

namespace rinex3 {

namespace {

// '>' and the calendar fields of t: 1 blank + integer(4, year), then 1 blank +
// two digits for month, day, hour and minute, then fixed(11, 7, seconds).
void AppendEpochDate(std::string& out, const GpsTime& t) {
    const RinexDateTime d = SplitTime(t, 7);
    out.push_back('>');
    out.push_back(' ');
    AppendInteger(out, 4, d.year);
    for (const int field : {d.month, d.day, d.hour, d.minute}) {
        out.push_back(' ');
        AppendTwoDigits(out, field);
    }
    AppendFixed(out, 11, 7, d.seconds);
}

// 2 blanks, the epoch flag (one digit) and integer(3, count).
void AppendFlagAndCount(std::string& out, int flag, int count) {
    AppendBlanks(out, 2);
    AppendInteger(out, 1, flag);
    AppendInteger(out, 3, count);
}

// True when a receiver clock offset (s) prints within F15.12; the field is optional,
// so an offset that does not (only a damaged solution gives one) is left blank.
bool FitsClockField(double s) { return s > -9.9999999999995 && s < 99.9999999999995; }

}  // namespace

void AppendEpochText(std::string& out, const RinexEpoch& epoch, uint16_t typeMask, uint8_t cn0Mask) {
    const uint16_t mask = static_cast<uint16_t>(typeMask & ((1u << kObservationKinds) - 1));
    const uint8_t cn0 = static_cast<uint8_t>(cn0Mask & 3u);
    ObsType written[kObsTypeCount];
    int types = 0;
    for (const ObsType& t : kObsTypes)
        if (TypeWritten(t, mask, cn0)) written[types++] = t;
    int listed[kSatelliteCount];
    int n = 0;
    for (int s = 0; s < kSatelliteCount; ++s)
        if ((epoch.sat[s].mask & mask) || (epoch.sat[s].cn0Mask & cn0)) listed[n++] = s;

    AppendEpochDate(out, epoch.time);
    AppendFlagAndCount(out, epoch.epochFlag, n);
    if (FitsClockField(epoch.clockOffset)) {
        AppendBlanks(out, 6);
        AppendFixed(out, 15, 12, std::fabs(epoch.clockOffset) < 5e-13 ? 0.0 : epoch.clockOffset);  // no "-0.000..."
    }
    out.append(kLineEnd);

    for (int i = 0; i < n; ++i) {
        const RinexSatValues& v = epoch.sat[listed[i]];
        out.push_back('G');
        AppendTwoDigits(out, listed[i] + 1);
        for (int t = 0; t < types; ++t) {
            const ObsType& type = written[t];
            if (type.kind >= 0)
                AppendObservation(out, v.Has(type.kind), v.value[type.kind], v.lli[type.kind], v.strength[type.kind]);
            else
                AppendObservation(out, v.HasCn0(type.cn0), v.cn0[type.cn0], 0, 0);
        }
        out.append(kLineEnd);
    }
}

std::string EpochText(const RinexEpoch& epoch, uint16_t typeMask, uint8_t cn0Mask) {
    std::string out;
    out.reserve(58 + 32 * (3 + 16 * kObsTypeCount + 2));
    AppendEpochText(out, epoch, typeMask, cn0Mask);
    return out;
}

std::string UndatedEventLine(int flag, int count) {
    std::string out(1, '>');
    AppendBlanks(out, 28);
    AppendFlagAndCount(out, flag, count);
    out.append(kLineEnd);
    return out;
}

std::string DatedEventLine(const GpsTime& t, int flag, int count) {
    std::string out;
    AppendEpochDate(out, t);
    AppendFlagAndCount(out, flag, count);
    out.append(kLineEnd);
    return out;
}

std::string AntennaHeightRecord(double height) {
    return UndatedEventLine(4, 2) + AntennaDeltaRecord(height, 0.0, 0.0) + comment("<< NEW ANTENNA HEIGHT >>");
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

}  // namespace rinex3
