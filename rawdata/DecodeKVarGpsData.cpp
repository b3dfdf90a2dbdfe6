#include "rawdata/DecodeKVarGpsData.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <vector>

#include "rawdata/AsciiRecordText.h"
#include "rawdata/NavigationWords.h"
#include "rawdata/TextScan.h"

namespace {

// True when the record is in the fixed-column layout ("%" or "#" at index 3).
bool IsFixedColumn(const uint8_t* record, int length) {
    const std::string_view text = RecordText(record, length);
    return text.size() > 3 && (text[3] == '%' || text[3] == '#');
}

// Comma-separated layout: the lines of the text from the first "!" to the ETX,
// cut at runs of CR/LF.
std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = text.find('!');
    if (start == std::string_view::npos) return lines;
    size_t stop = text.find(kEtx, start);
    if (stop == std::string_view::npos) stop = text.size();
    size_t i = start;
    while (i < stop) {
        size_t j = i;
        while (j < stop && text[j] != '\r' && text[j] != '\n') ++j;
        lines.push_back(text.substr(i, j - i));
        while (j < stop && (text[j] == '\r' || text[j] == '\n')) ++j;
        i = j;
    }
    return lines;
}

// The comma-separated fields of a line, each without its leading spaces.
std::vector<std::string_view> SplitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    size_t i = 0;
    while (true) {
        size_t j = line.find(',', i);
        std::string_view f = line.substr(i, j == std::string_view::npos ? std::string_view::npos : j - i);
        while (!f.empty() && f.front() == ' ') f.remove_prefix(1);
        fields.push_back(f);
        if (j == std::string_view::npos) break;
        i = j + 1;
    }
    return fields;
}

// The lines of SplitLines one after another, without a container.
class LineCursor {
public:
    explicit LineCursor(std::string_view text) : text_(text) {
        i_ = text.find('!');
        if (i_ == std::string_view::npos) i_ = stop_ = 0;
        else stop_ = std::min(text.find(kEtx, i_), text.size());
    }
    // The next line; false after the last.
    bool Next(std::string_view& line) {
        if (i_ >= stop_) return false;
        size_t j = std::min(text_.find('\r', i_), stop_);
        j = std::min(text_.substr(0, j).find('\n', i_), j);
        line = text_.substr(i_, j - i_);
        while (j < stop_ && (text_[j] == '\r' || text_[j] == '\n')) ++j;
        i_ = j;
        return true;
    }

private:
    std::string_view text_;
    size_t i_ = 0;
    size_t stop_ = 0;
};

// The fields of SplitFields in place of a container: the first kMaxFields are held,
// size() counts them all.
class FieldList {
public:
    static constexpr size_t kMaxFields = 24;
    explicit FieldList(std::string_view line) {
        size_t i = 0;
        while (true) {
            const size_t j = line.find(',', i);
            std::string_view f = line.substr(i, j == std::string_view::npos ? std::string_view::npos : j - i);
            while (!f.empty() && f.front() == ' ') f.remove_prefix(1);
            if (count_ < kMaxFields) field_[count_] = {f.data(), f.size()};
            ++count_;
            if (j == std::string_view::npos) break;
            i = j + 1;
        }
    }
    size_t size() const { return count_; }
    // Field i, for i below both size() and kMaxFields.
    std::string_view operator[](size_t i) const { return {field_[i].data, field_[i].size}; }

private:
    struct Span {
        const char* data;
        size_t size;
    };
    Span field_[kMaxFields];
    size_t count_ = 0;
};

// Header line of the comma-separated layout: field 1 the week, field 2 the seconds.
template <class Fields>
bool ReadHeaderTime(const Fields& header, GpsTime& time) {
    if (header.size() < 3) return false;
    uint16_t week = 0;
    double seconds = 0;
    if (!ParseUnsigned16(header[1], week) || !ParseReal(header[2], seconds) || !IsTimeOfWeek(seconds))
        return false;
    time = GpsTime(week, seconds);
    return true;
}

// Hexadecimal field as a status byte (low 8 bits).
template <class Fields>
bool ParseStatus(const Fields& f, size_t i, uint8_t& status) {
    uint64_t v = 0;
    if (i >= f.size() || !ParseHex(f[i], v)) return false;
    status = static_cast<uint8_t>(v & 0xFF);
    return true;
}

// Real field i when it exists and parses.
template <class Fields>
bool ParseField(const Fields& f, size_t i, double& value) {
    return i < f.size() && ParseReal(f[i], value);
}

}  // namespace

uint16_t CDecodeKVarGpsData::DecodeObservation(uint8_t* record, int length, ObservationEpoch& out,
                                               uint16_t& referenceWeek) {
    if (IsFixedColumn(record, length))
        return CDecodeKolmarGpsData::DecodeObservation(record, length, out, referenceWeek);
    out.Clear();
    LineCursor lines(RecordText(record, length));
    std::string_view header, modeLine, line;
    if (!lines.Next(header) || !lines.Next(modeLine)) return 0;
    GpsTime time;
    if (!ReadHeaderTime(FieldList(header), time)) return 0;
    // The mode text is read without skipping spaces.
    const std::string_view mode = modeLine.substr(0, modeLine.find(','));
    if (mode.size() < 2) return 0;
    const bool shortMode = mode[0] == '#' || mode[0] == '%';
    const bool dual = !shortMode && mode[1] == 'P';
    out.time = time;
    referenceWeek = time.week;

    while (lines.Next(line)) {
        const FieldList f(line);
        int64_t prn = 0;
        if (f.size() < 2 || !ParseSigned(f[1], prn) || prn < 1 || prn > kSatelliteCount) return 0;
        if (f.size() < 7) continue;
        double c1 = 0;
        uint16_t cn = 0;
        uint64_t flags = 0;
        if (!ParseReal(f[2], c1) || !ParseUnsigned16(f[5], cn) || !ParseHex(f[6], flags)) continue;
        SatObservation& sat = out.Sat(static_cast<int>(prn - 1));
        double v = 0;
        uint8_t status = 0;
        SetFinite(sat, kC1, c1 * 1e-10);
        sat.SetCn0(static_cast<uint8_t>(shortMode ? cn + 3 : cn));
        if (ParseField(f, 3, v) && !(flags & 0x4)) SetFinite(sat, kL1, v * 0.001);
        if (ParseField(f, 4, v)) SetFinite(sat, kD1, v * 0.001);
        if (!shortMode) {
            if (ParseStatus(f, 7, status)) sat.SetStatus(0, status);
            if (ParseStatus(f, 8, status)) sat.SetStatus(3, status);
        }
        if (dual) {
            if (flags & 0x2) sat.SetAntiSpoofing(1);
            if (ParseField(f, 10, v)) SetFinite(sat, kP1, (v + c1) * 1e-10);
            if (ParseField(f, 11, v)) SetFinite(sat, kP2, (v + c1) * 1e-10);
            if (ParseField(f, 12, v) && !(flags & 0x8)) SetFinite(sat, kL2, v * 0.001);
            if (ParseField(f, 13, v)) SetFinite(sat, kD2, v * 0.001);
            if (ParseStatus(f, 14, status)) sat.SetStatus(1, status);
            if (ParseStatus(f, 15, status)) sat.SetStatus(2, status);
        }
        out.AddToMask(sat.Mask());
    }
    out.Normalise();
    return out.Mask();
}

int CDecodeKVarGpsData::DecodeEphemeris(uint8_t* record, int length, Ephemeris& out,
                                        uint16_t& referenceWeek) {
    if (IsFixedColumn(record, length))
        return CDecodeKolmarGpsData::DecodeEphemeris(record, length, out, referenceWeek);
    out.valid = 0;
    const std::vector<std::string_view> lines = SplitLines(RecordText(record, length));
    if (lines.size() < 5) return -1;
    uint16_t prn = 0;
    if (!ParseUnsigned16(SplitFields(lines[1])[0], prn)) return -1;
    uint32_t words[kEphemerisWords];
    for (int row = 0; row < 3; ++row) {
        const std::vector<std::string_view> f = SplitFields(lines[2 + row]);
        if (f.size() < 8) return -1;
        for (int i = 0; i < 8; ++i) {
            uint64_t v = 0;
            if (!ParseHex(f[i], v)) return -1;
            words[8 * row + i] = static_cast<uint32_t>(v & 0xFFFFFFu);
        }
    }
    GpsTime time;
    if (ReadHeaderTime(SplitFields(lines[0]), time)) {
        out.recordTime = time;
        referenceWeek = time.week;
    }
    return EphemerisOfWords(prn, words, referenceWeek, out);
}

int CDecodeKVarGpsData::DecodeIonoUtc(uint8_t* record, int length, IonoUtc& out,
                                      uint16_t& referenceWeek) {
    if (IsFixedColumn(record, length))
        return CDecodeKolmarGpsData::DecodeIonoUtc(record, length, out, referenceWeek);
    out.valid = 0;
    const std::vector<std::string_view> lines = SplitLines(RecordText(record, length));
    if (lines.empty()) return 0;
    GpsTime time;
    if (ReadHeaderTime(SplitFields(lines[0]), time)) referenceWeek = time.week;
    if (lines.size() < 2) return 0;
    const std::vector<std::string_view> f = SplitFields(lines[1]);
    if (f.size() < 8) return 0;
    uint32_t words[kIonoUtcWords];
    for (int i = 0; i < kIonoUtcWords; ++i) {
        uint64_t v = 0;
        if (!ParseHex(f[i], v)) return 0;
        words[i] = static_cast<uint32_t>(v & 0xFFFFFFu);
    }
    InterpretIonoUtcWords(words, referenceWeek, out);
    out.valid = 1;
    return 1;
}

int CDecodeKVarGpsData::DecodeSiteEvent(uint8_t* record, int length, SiteEvent& out,
                                        uint16_t& referenceWeek) {
    if (IsFixedColumn(record, length))
        return CDecodeKolmarGpsData::DecodeSiteEvent(record, length, out, referenceWeek);
    const std::vector<std::string_view> lines = SplitLines(RecordText(record, length));
    if (lines.empty()) return 0;
    GpsTime time;
    if (!ReadHeaderTime(SplitFields(lines[0]), time)) return 0;
    out.time = time;
    out.kind = kEventSiteOrTime;
    // The first later line with more than 2 fields and a field 0: "*1" carries the
    // event's seconds of week in field 2.
    for (size_t k = 1; k < lines.size(); ++k) {
        const std::vector<std::string_view> f = SplitFields(lines[k]);
        if (f.size() <= 2 || f[0].empty()) continue;
        double seconds = 0;
        if (f[0].size() >= 2 && f[0][0] == '*' && f[0][1] == '1' && ParseReal(f[2], seconds) &&
            IsTimeOfWeek(seconds))
            out.time.seconds = seconds;
        break;
    }
    referenceWeek = out.time.week;
    return 1;
}
