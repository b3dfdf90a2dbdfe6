#include "rawdata/DecodeKBinGpsData.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "rawdata/DataFile.h"
#include "rawdata/NavigationWords.h"
#include "rawdata/TextScan.h"

namespace {

// Unescaped lengths of the fixed-size records.
constexpr int kEphemerisLength = 80;
constexpr int kIonoUtcLength = 31;
constexpr int kAntennaHeightLength = 20;
constexpr int kTimeEventLength = 22;
constexpr int kSiteLength = 93;
// Sync, letter, checksum and end byte: the smallest record.
constexpr int kMinimumLength = 5;
// Bytes after the last satellite block: checksum and end byte.
constexpr int kTrailerLength = 3;

// Frames, checks and unescapes a binary record in place. Returns the unescaped
// length, or 0 when the record is not framed, holds a bad escape pair or its
// checksum field (the two bytes before the end byte) differs from the sum of the
// escaped bytes.
int OpenRecord(uint8_t* record, int length) {
    if (record == nullptr || length < kMinimumLength) return 0;
    const int raw = FrameLength(record, length);
    if (raw < kMinimumLength) return 0;
    const uint16_t sum = Checksum(record, raw);
    const int n = Unescape(record, raw);
    if (n < kMinimumLength) return 0;
    if (BigEndian(record + n - kTrailerLength, 2) != sum) return 0;
    return n;
}

// Time header at byte 4: full week and time of week in units of 0.1 s.
GpsTime ReadTimeHeader(const uint8_t* record) {
    return GpsTime(static_cast<uint16_t>(BigEndian(record + 4, 2)), BigEndian(record + 6, 3) / 10.0);
}

// Two's complement value of a 24-bit big-endian field.
int32_t Signed24(const uint8_t* bytes) {
    const int32_t v = static_cast<int32_t>(BigEndian(bytes, 3));
    return v >= 0x800000 ? v - 0x1000000 : v;
}

// Two's complement value of a 16-bit big-endian field.
int32_t Signed16(const uint8_t* bytes) {
    const int32_t v = static_cast<int32_t>(BigEndian(bytes, 2));
    return v >= 0x8000 ? v - 0x10000 : v;
}

// Reads n 24-bit big-endian navigation words from bytes.
template <int N>
void ReadWords(const uint8_t* bytes, uint32_t (&words)[N]) {
    for (int i = 0; i < N; ++i) words[i] = BigEndian(bytes + 3 * i, 3);
}

// Zero-padded text field of at most width bytes, up to its first zero byte.
std::string TextField(const uint8_t* bytes, int width) {
    int n = 0;
    while (n < width && bytes[n] != 0) ++n;
    return std::string(reinterpret_cast<const char*>(bytes), static_cast<size_t>(n));
}

// SiteEvent kind of a site type code.
int SiteKind(uint8_t code) {
    switch (code) {
        case 1: return kEventNewSite;
        case 2: return kEventKinematic;
        case 4: return kEventSiteOrTime;
        case 5: return kEventNewSite5;
        case 6: return kEventKinematic6;
        default: return kEventIgnored;
    }
}

// Appends ", " to text unless it is empty.
void AppendSeparator(std::string& text) {
    if (!text.empty()) text += ", ";
}

// Description of a site record whose file name carries ".JRS": occupation
// geometry, satellite count and PDOP from T3 and T4, then the file name.
std::string JrsDescription(const std::string& t3, const std::string& t4, const std::string& t5) {
    std::string d;
    if (!t3.empty()) d = "Geo1 : " + t3;
    const std::string_view t4View(t4);
    int64_t count = 0;
    if (ParseSigned(t4View.substr(0, 2), count)) {
        AppendSeparator(d);
        d += std::to_string(count) + " SVs";
    }
    double pdop = 0;
    if (t4View.size() > 2 && ParseReal(t4View.substr(2), pdop)) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "PDOP : %g", pdop);
        AppendSeparator(d);
        d += buf;
    }
    AppendSeparator(d);
    d += "File : " + t5;
    return d;
}

// Description of any other site record: the non-empty text fields T1..T4 as
// "Geo<k> : <Tk>" and T5 as "File : <T5>", separated by ", ".
std::string PlainDescription(const std::string (&t)[5]) {
    std::string d;
    for (int k = 0; k < 4; ++k) {
        if (t[k].empty()) continue;
        AppendSeparator(d);
        d += "Geo" + std::to_string(k + 1) + " : " + t[k];
    }
    if (!t[4].empty()) {
        AppendSeparator(d);
        d += "File : " + t[4];
    }
    return d;
}

}  // namespace

std::string CompactMarkerName(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    std::string out;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ' ') {
            const bool keep = i + 1 < text.size() && text[i + 1] != ' ' && text[i + 1] != ',';
            if (!keep) continue;
        }
        out += c;
    }
    return out;
}

uint16_t CDecodeKBinGpsData::DecodeObservation(uint8_t* record, int length, ObservationEpoch& out,
                                               uint16_t& referenceWeek) {
    out.Clear();
    const int n = OpenRecord(record, length);
    if (n == 0) return 0;
    const uint8_t letter = record[1];
    if (letter != 'R' && letter != 'Q') return 0;
    const int d = letter == 'Q' ? 1 : 0;
    const int statusAt = d ? 13 : 9;
    if (n < statusAt + 1 + kTrailerLength) return 0;
    out.time = ReadTimeHeader(record);
    const bool dual = (record[statusAt] & 0x80) != 0;
    const int blockSize = (dual ? 27 : 14) + d;

    int pos = statusAt + 1;
    while (n - pos > 14) {
        // Every block must lie whole before the checksum.
        if (pos + blockSize > n - kTrailerLength) return 0;
        const uint8_t* b = record + pos;
        const int prn = static_cast<int8_t>(b[0]);
        if (prn < 1 || prn > kSatelliteCount) return 0;
        SatObservation& sat = out.Sat(prn - 1);
        const uint32_t r = BigEndian(b + 1 + d, 4);
        const uint8_t s = b[5 + d];
        sat.SetValue(kC1, r * 1e-10);
        sat.SetCn0(static_cast<uint8_t>((s & 0x1F) + 26));
        if (!(s & 0x80)) sat.SetValue(kL1, BigEndian(b + 6 + d, 3) * 0.001);
        const int32_t d1 = Signed24(b + 9 + d);
        if (d1 != -0x800000) sat.SetValue(kD1, d1 * 4 * 0.001);
        sat.SetStatus(0, b[12 + d]);
        sat.SetStatus(3, b[13 + d]);
        if (dual) {
            if (s & 0x20) sat.SetAntiSpoofing(1);
            const int32_t p1 = Signed16(b + 15 + d);
            if (p1 != -0x8000) sat.SetValue(kP1, (static_cast<double>(p1) + r) * 1e-10);
            const int32_t p2 = Signed16(b + 17 + d);
            if (p2 != -0x8000) sat.SetValue(kP2, (static_cast<double>(p2) + r) * 1e-10);
            if (!(s & 0x40)) sat.SetValue(kL2, BigEndian(b + 19 + d, 3) * 0.001);
            const int32_t d2 = Signed24(b + 22 + d);
            if (d2 != -0x800000) sat.SetValue(kD2, d2 * 4 * 0.001);
            sat.SetStatus(1, b[25 + d]);
            sat.SetStatus(2, b[26 + d]);
        }
        out.AddToMask(sat.Mask());
        pos += blockSize;
    }
    // The checksum must follow the last block directly.
    if (pos != n - kTrailerLength) return 0;
    referenceWeek = out.time.week;
    out.Normalise();
    return out.Mask();
}

int CDecodeKBinGpsData::DecodeEphemeris(uint8_t* record, int length, Ephemeris& out,
                                        uint16_t& referenceWeek) {
    out.valid = 0;
    const int n = OpenRecord(record, length);
    if (n != kEphemerisLength || record[1] != 'E') return -1;
    const int prn = record[4];
    uint32_t words[kEphemerisWords];
    ReadWords(record + 5, words);
    return EphemerisOfWords(prn, words, referenceWeek, out);
}

int CDecodeKBinGpsData::DecodeIonoUtc(uint8_t* record, int length, IonoUtc& out,
                                      uint16_t& referenceWeek) {
    out.valid = 0;
    const int n = OpenRecord(record, length);
    if (n != kIonoUtcLength || record[1] != 'U') return 0;
    uint32_t words[kIonoUtcWords];
    ReadWords(record + 4, words);
    InterpretIonoUtcWords(words, referenceWeek, out);
    out.valid = 1;
    return 1;
}

int CDecodeKBinGpsData::DecodeAntennaHeight(uint8_t* record, int length, SiteEvent& out,
                                            uint16_t& referenceWeek) {
    const int n = OpenRecord(record, length);
    if (n != kAntennaHeightLength || record[1] != 'H') return 0;
    uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) bits = (bits << 8) | record[9 + i];  // little-endian
    double height = 0;
    std::memcpy(&height, &bits, sizeof height);
    if (!std::isfinite(height)) return 0;
    out.time = ReadTimeHeader(record);
    out.kind = kEventAntennaHeight;
    out.value = height;
    referenceWeek = out.time.week;
    return 1;
}

int CDecodeKBinGpsData::DecodeSiteEvent(uint8_t* record, int length, SiteEvent& out,
                                        uint16_t& referenceWeek) {
    const int n = OpenRecord(record, length);
    if (n == 0) return 0;
    const uint8_t letter = record[1];
    if (letter == 'M') {
        if (n != kTimeEventLength) return 0;
        const int32_t offset = static_cast<int32_t>(BigEndian(record + 9, 4));
        out.time = ReadTimeHeader(record).AddSeconds(offset * 1e-10);
        out.kind = kEventSiteOrTime;
    } else if (letter == 'm') {
        if (n != kSiteLength) return 0;
        out.time = ReadTimeHeader(record);
        out.kind = SiteKind(record[9]);
        const std::string name = TextField(record + 10, 12);
        std::string t[5];
        for (int k = 0; k < 5; ++k) t[k] = TextField(record + 22 + 14 * k, 12);
        if (!t[4].empty() && t[4].find(".JRS") != std::string::npos) {
            out.markerName = CompactMarkerName(name + t[0] + t[1]);
            out.description = JrsDescription(t[2], t[3], t[4]);
        } else {
            out.markerName = name;
            out.description = PlainDescription(t);
        }
    } else {
        return 0;
    }
    referenceWeek = out.time.week;
    return 1;
}
