#include "convert/ReadTally.h"

#include <cmath>
#include <numeric>

#include "convert/ConversionRequest.h"

bool KindStatistics::Add(const GpsTime& t, uint16_t mask, bool isSelected, bool hasCn0) {
    if (count > 0 && t < last.AddSeconds(kMinEpochStep)) return false;
    cn0 = cn0 || hasCn0;
    if (isSelected) {
        if (selected == 0) firstSelected = t;
        lastSelected = t;
        ++selected;
    }
    if (count > 0) {
        const long long tenths = std::llround(t.Difference(last) * 10.0);
        if (tenths > 0) ++spacings[tenths];
    }
    if (count == 0) first = t;
    last = t;
    typeMask = static_cast<uint16_t>(typeMask | mask);
    ++count;
    return true;
}

double KindStatistics::Interval() const {
    long long best = 0;
    int bestCount = 0;
    for (const auto& [tenths, n] : spacings) {
        if (n > bestCount) {
            best = tenths;
            bestCount = n;
        }
    }
    return static_cast<double>(best) / 10.0;
}

RecordKind ReadTally::OnlyKind() const {
    if (receiverDated.count > 0) return kRecordReceiverDated;
    if (satelliteDated.count > 0) return kRecordSatelliteDated;
    return kRecordNone;
}

bool ReadTally::Sufficient(RecordKind kind, int ephemeridesKept) const {
    if (kind == kRecordReceiverDated) return true;
    return kind == kRecordSatelliteDated && ionoUtcRecords >= 1 && ephemeridesKept >= 4;
}

bool EpochSelected(const ConversionRequest& request, const GpsTime& t) {
    if (request.from && t < *request.from) return false;
    if (request.to && *request.to < t) return false;
    if (request.interval > 0) {
        const double rest = std::fmod(t.seconds, request.interval);
        if (rest > 1e-3 && rest < request.interval - 1e-3) return false;
    }
    return true;
}

double WrittenInterval(double asked, double data) {
    const long long a = std::llround(asked * 10.0), d = std::llround(data * 10.0);
    return d > 0 && a > 0 ? static_cast<double>(std::lcm(a, d)) / 10.0 : asked;
}
