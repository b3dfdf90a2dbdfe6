#include "rawdata/DecodeKolmarGpsData.h"

#include <cmath>
#include <string_view>

#include "rawdata/AsciiRecordText.h"
#include "rawdata/NavigationWords.h"
#include "rawdata/TextScan.h"

namespace {

// Fixed-column time header at index 6: GPS week and time of week in 0.1 s.
bool ReadFixedTime(std::string_view text, GpsTime& time) {
    if (text.size() <= 6) return false;
    const char* p = text.data() + 6;
    const char* end = text.data() + text.size();
    uint64_t week = 0;
    int64_t tenths = 0;
    if (!ScanUnsigned(p, end, week) || !ScanSigned(p, end, tenths)) return false;
    const double seconds = static_cast<double>(tenths) / 10.0;
    if (week > 0xFFFF || !IsTimeOfWeek(seconds)) return false;
    time = GpsTime(static_cast<uint16_t>(week), seconds);
    return true;
}

}  // namespace

double FoldPhaseDifference(double delta) {
    // Far outside the fold range (only in corrupt data): reduce first, exactly.
    if (std::fabs(delta) > 1e12) delta = std::fmod(delta, 1e11);
    while (std::fabs(delta) > 5e10) delta += delta > 0 ? -1e11 : 1e11;
    return delta;
}

void CDecodeKolmarGpsData::Reset() {
    previousTime_ = GpsTime();
    for (int i = 0; i < kSatelliteCount; ++i) {
        previousL1_[i] = 0;
        hasPrevious_[i] = 0;
    }
}

uint16_t CDecodeKolmarGpsData::DecodeObservation(uint8_t* record, int length, ObservationEpoch& out,
                                                 uint16_t& referenceWeek) {
    out.Clear();
    const std::string_view text = RecordText(record, length);
    GpsTime time;
    if (!ReadFixedTime(text, time)) return 0;
    out.time = time;
    referenceWeek = time.week;
    const bool hasPreviousTime = previousTime_ > GpsTime();
    double dt = 0;
    if (hasPreviousTime) {
        dt = time.Difference(previousTime_);
        if (dt < 0.05) return 0;
    }

    // Satellite lines from index 20, each "*" + 38 characters + LF.
    size_t pos = 20;
    while (pos < text.size() && text[pos] == '*') {
        const size_t lf = text.find('\n', pos);
        if (lf == std::string_view::npos) break;
        if (lf - pos == 39) {
            const char* p = text.data() + pos + 2;
            const char* end = text.data() + lf;
            double c1 = 0, l1 = 0;
            int64_t prn = 0;
            uint64_t cn = 0, unused = 0, status = 1;
            const bool complete = ScanReal(p, end, c1) && ScanReal(p, end, l1) && ScanSigned(p, end, prn) &&
                                  ScanUnsigned(p, end, cn) && ScanUnsigned(p, end, unused) &&
                                  ScanUnsigned(p, end, status);
            if (complete && prn >= 1 && prn <= kSatelliteCount && (status & 0xFF) == 0) {
                const int i = static_cast<int>(prn - 1);
                SatObservation& sat = out.Sat(i);
                if (hasPreviousTime && hasPrevious_[i])
                    SetFinite(sat, kD1, FoldPhaseDifference(l1 - previousL1_[i]) / dt * 0.001);
                SetFinite(sat, kC1, c1 * 1e-10);
                SetFinite(sat, kL1, l1 * 0.001);
                sat.SetCn0(static_cast<uint8_t>(cn + 3));
                hasPrevious_[i] = 1;
                previousL1_[i] = l1;
                out.AddToMask(sat.Mask());
            }
        }
        pos = lf + 1;
    }

    previousTime_ = time;
    for (int i = 0; i < kSatelliteCount; ++i)
        if (!out.Sat(i).Present()) hasPrevious_[i] = 0;
    out.Normalise();
    return out.Mask();
}

int CDecodeKolmarGpsData::DecodeEphemeris(uint8_t* record, int length, Ephemeris& out,
                                          uint16_t& referenceWeek) {
    out.valid = 0;
    const std::string_view text = RecordText(record, length);
    if (text.size() <= 20) return -1;
    const char* p = text.data() + 20;
    uint64_t unused = 0, prn = 0;
    if (!ScanUnsigned(p, text.data() + text.size(), unused) || !ScanUnsigned(p, text.data() + text.size(), prn))
        return -1;
    uint32_t words[kEphemerisWords];
    if (!ReadHexWords(text, 26, words, 8) || !ReadHexWords(text, 83, words + 8, 8) ||
        !ReadHexWords(text, 140, words + 16, 8))
        return -1;
    GpsTime time;
    if (!ReadFixedTime(text, time)) return -1;
    out.recordTime = time;
    referenceWeek = time.week;
    return EphemerisOfWords(prn, words, referenceWeek, out);
}

int CDecodeKolmarGpsData::DecodeIonoUtc(uint8_t* record, int length, IonoUtc& out,
                                        uint16_t& referenceWeek) {
    out.valid = 0;
    const std::string_view text = RecordText(record, length);
    GpsTime time;
    if (!ReadFixedTime(text, time)) return 0;
    referenceWeek = time.week;
    uint32_t words[kIonoUtcWords];
    if (!ReadHexWords(text, 20, words, kIonoUtcWords)) return 0;
    InterpretIonoUtcWords(words, referenceWeek, out);
    out.valid = 1;
    return 1;
}

int CDecodeKolmarGpsData::DecodeSiteEvent(uint8_t* record, int length, SiteEvent& out,
                                          uint16_t& referenceWeek) {
    const std::string_view text = RecordText(record, length);
    GpsTime time;
    if (!ReadFixedTime(text, time) || text.size() <= 23) return 0;
    const char* p = text.data() + 23;
    double x = 0;
    if (!ScanReal(p, text.data() + text.size(), x)) return 0;
    const double seconds = std::floor(time.seconds / 10) * 10 + x * 1e-10;
    if (!IsTimeOfWeek(seconds)) return 0;
    out.time = GpsTime(time.week, seconds);
    out.kind = kEventSiteOrTime;
    if (text[4] == 'M') {
        std::string_view d = text.size() > 39 ? text.substr(39, 11) : std::string_view();
        const size_t etx = d.find(kEtx);
        if (etx != std::string_view::npos) d = d.substr(0, etx);
        out.description = std::string(d);
    }
    referenceWeek = out.time.week;
    return 1;
}

int CDecodeKolmarGpsData::DecodeAntennaHeight(uint8_t* record, int length, SiteEvent& out,
                                              uint16_t& referenceWeek) {
    const std::string_view text = RecordText(record, length);
    GpsTime time;
    if (!ReadFixedTime(text, time)) return 0;
    referenceWeek = time.week;
    size_t i = 22;
    while (i < text.size() && text[i] == ' ') ++i;
    // Millimetres; more than 15 digits cannot be a height and would lose digits.
    double millimetres = 0;
    int digits = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (++digits > 15) return 0;
        millimetres = millimetres * 10 + (text[i] - '0');
    }
    if (digits == 0) return 0;
    out.time = time;
    out.kind = kEventAntennaHeight;
    out.value = millimetres / 1000.0;
    return 1;
}

