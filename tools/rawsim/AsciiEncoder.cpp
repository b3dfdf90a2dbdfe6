#include <algorithm>
#include <cstdarg>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "tools/rawsim/RecordEncoder.h"

namespace {

constexpr char kStx = 0x02;
constexpr char kEtx = 0x03;

std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* fmt, ...) {
    char buf[512];
    va_list args;
    va_start(args, fmt);
    const int n = std::vsnprintf(buf, sizeof buf, fmt, args);
    va_end(args);
    return std::string(buf, static_cast<size_t>(std::clamp(n, 0, static_cast<int>(sizeof buf) - 1)));
}

// Time of week in tenths of a second, carried into the next week at its end.
void Tenths(const GpsTime& t, unsigned& week, long long& tenths) {
    week = t.week;
    tenths = std::llround(t.seconds * 10.0);
    if (tenths >= 6048000) {
        tenths -= 6048000;
        ++week;
    }
}

// Frame start of the fixed-column layout: STX, two characters, "%", letter, one
// character, then the time header "week tenths" padded to index 19 and a line feed.
std::string FixedStart(char letter, const GpsTime& t, GpsTime* decoded) {
    unsigned week;
    long long tenths;
    Tenths(t, week, tenths);
    std::string s;
    s.push_back(kStx);
    s += "00%";
    s.push_back(letter);
    s.push_back(' ');
    std::string header = Format("%u %lld", week, tenths);
    header.resize(13, ' ');
    s += header;
    s.push_back('\n');  // index 19
    if (decoded) *decoded = GpsTime(static_cast<uint16_t>(week), static_cast<double>(tenths) / 10.0);
    return s;
}

// Frame start of the comma-separated layout and its header line "!L,week,seconds".
std::string CsvStart(char letter, const GpsTime& t, const char* secondsFormat, GpsTime* decoded) {
    std::string s;
    s.push_back(kStx);
    s += "00$";
    s.push_back(letter);
    s.push_back(' ');
    const std::string seconds = Format(secondsFormat, t.seconds);
    s += Format("!%c,%u,", letter, static_cast<unsigned>(t.week)) + seconds + "\r\n";
    if (decoded) *decoded = GpsTime(t.week, std::strtod(seconds.c_str(), nullptr));
    return s;
}

std::string WordsLine(const uint32_t* w, int n, const char* separator) {
    std::string s;
    for (int k = 0; k < n; ++k) {
        if (k > 0) s += separator;
        s += Format("%06" PRIX32, w[k] & 0xFFFFFFu);
    }
    return s;
}

long long CodeRaw(double seconds) { return std::llround(WrittenTravelTime(seconds) * 1e10); }

// Phase in millicycles, reduced into [0, 1e8) cycles as an accumulating counter wraps.
long long PhaseMillicycles(double cycles) {
    long long raw = std::llround(PositiveRemainder(cycles, 1e8) * 1000.0);
    if (raw >= 100000000000LL) raw -= 100000000000LL;
    return raw;
}

// Splits an event time into the start of its 10-second interval and the offset
// within it in units of 1e-10 s.
void TenSecondSplit(const GpsTime& t, GpsTime& intervalStart, long long& offset) {
    double base = std::floor(t.seconds / 10.0) * 10.0;
    offset = std::llround((t.seconds - base) * 1e10);
    if (offset >= 100000000000LL) {
        offset -= 100000000000LL;
        base += 10.0;
    }
    intervalStart = GpsTime(t.week, base);
}

// The antenna-height record "V", fixed-column in both ASCII layouts: heights in whole
// millimetres, never negative.
std::string AntennaHeightRecord(const SimEvent& ev, SiteEvent* expected) {
    GpsTime header;
    std::string s = FixedStart('V', ev.time, &header);
    const long long mm = std::max<long long>(0, std::llround(ev.height * 1000.0));
    s += "  " + Format("%lld", mm);  // digits from index 22
    s.push_back(kEtx);
    if (expected) {
        *expected = SiteEvent();
        expected->time = header;
        expected->kind = kEventAntennaHeight;
        expected->value = static_cast<double>(mm) / 1000.0;
    }
    return s;
}

class CsvEncoder : public RecordEncoder {
public:
    explicit CsvEncoder(const CsvOptions& options) : options_(options) {}
    RawLayout Layout() const override { return RawLayout::AsciiCsv; }

    std::string Epoch(const SimEpoch& e, ObservationEpoch* expected, const RecordFault& fault) override {
        GpsTime time;
        std::string s = CsvStart(e.letter, e.time, "%.7f", &time);
        s.push_back(options_.shortMode ? '#' : 'C');
        s.push_back(e.dual ? 'P' : 'A');
        s += "\r\n";
        if (expected) {
            expected->Clear();
            expected->time = time;
        }
        bool first = true;
        for (const SimSatellite& sat : e.sats) {
            const int prn = (first && fault.badPrn >= 0) ? fault.badPrn : sat.prn;
            first = false;
            const long long c1 = CodeRaw(sat.c1);
            const long long l1 = sat.hasL1 ? PhaseMillicycles(sat.l1) : 0;
            const long long d1 = std::llround(sat.d1 * 1000.0);
            const int cnField = options_.shortMode ? std::max(0, sat.cn0 - 3) : sat.cn0;
            unsigned flags = 0;
            if (sat.antiSpoofing) flags |= 0x2;
            if (!sat.hasL1) flags |= 0x4;
            if (!(e.dual && sat.hasL2)) flags |= 0x8;
            const unsigned st0 = (sat.qualityL1 << 5) | (sat.lockL1 & 0x1F);
            const unsigned st3 = sat.qualityCode << 4;
            const unsigned st1 = (sat.qualityL2 << 5) | (sat.lockL2 & 0x1F);
            const unsigned st2 = sat.qualityCode << 4;
            s += Format("S%02d,%d,%lld,%lld,", sat.prn, prn, c1, l1);
            if (sat.hasD1) s += Format("%lld", d1);
            s += Format(",%d,%X,%X,%X,0", cnField, flags, st0, st3);
            long long p1 = 0, p2 = 0, l2 = 0, d2 = 0;
            if (e.dual) {
                const double base = WrittenTravelTime(sat.c1);
                p1 = std::llround((base + sat.p1 - sat.c1) * 1e10) - c1;
                p2 = std::llround((base + sat.p2 - sat.c1) * 1e10) - c1;
                l2 = sat.hasL2 ? PhaseMillicycles(sat.l2) : 0;
                d2 = std::llround(sat.d2 * 1000.0);
                s += ",";
                if (sat.hasP1) s += Format("%lld", p1);
                s += ",";
                if (sat.hasP2) s += Format("%lld", p2);
                s += Format(",%lld,", l2);
                if (sat.hasD2) s += Format("%lld", d2);
                s += Format(",%X,%X", st1, st2);
            }
            s += "\r\n";
            if (!expected || sat.prn < 1 || sat.prn > 32) continue;
            SatObservation& o = expected->sat[sat.prn - 1];
            o.SetValue(kC1, std::fmod(static_cast<double>(c1) * 1e-10, 0.1));
            o.SetCn0(static_cast<uint8_t>(options_.shortMode ? cnField + 3 : cnField));
            if (sat.hasL1) o.SetValue(kL1, std::fmod(static_cast<double>(l1) * 0.001, 10000.0));
            if (sat.hasD1) o.SetValue(kD1, static_cast<double>(d1) * 0.001);
            if (!options_.shortMode) {
                o.SetStatus(0, static_cast<uint8_t>(st0));
                o.SetStatus(3, static_cast<uint8_t>(st3));
                if (e.dual) {
                    if (sat.antiSpoofing) o.SetAntiSpoofing(1);
                    if (sat.hasP1) o.SetValue(kP1, std::fmod((static_cast<double>(p1 + c1)) * 1e-10, 0.1));
                    if (sat.hasP2) o.SetValue(kP2, std::fmod((static_cast<double>(p2 + c1)) * 1e-10, 0.1));
                    if (sat.hasL2) o.SetValue(kL2, std::fmod(static_cast<double>(l2) * 0.001, 10000.0));
                    if (sat.hasD2) o.SetValue(kD2, static_cast<double>(d2) * 0.001);
                    o.SetStatus(1, static_cast<uint8_t>(st1));
                    o.SetStatus(2, static_cast<uint8_t>(st2));
                }
            }
            expected->AddToMask(o.typeMask);
        }
        s.push_back(kEtx);
        return s;
    }

    std::string EphemerisRecord(int prn, const EphemerisWords& words, const GpsTime& recordTime,
                                const RecordFault& fault) override {
        std::string s = CsvStart('E', recordTime, "%.1f", nullptr);
        s += Format("%d\r\n", fault.badPrn >= 0 ? fault.badPrn : prn);
        for (int sf = 0; sf < 3; ++sf) s += WordsLine(words.words + 8 * sf, 8, ",") + "\r\n";
        s.push_back(kEtx);
        return s;
    }

    std::string IonoUtcRecord(const uint32_t words[8], const GpsTime& recordTime, const RecordFault&) override {
        std::string s = CsvStart('U', recordTime, "%.1f", nullptr);
        s += WordsLine(words, 8, ",") + "\r\n";
        s.push_back(kEtx);
        return s;
    }

    int EventRecordKind(const SimEvent& ev) const override {
        if (ev.type == SimEventType::AntennaHeight) return 11;
        return ev.type == SimEventType::TimeEvent ? 10 : 0;
    }

    std::string Event(const SimEvent& ev, SiteEvent* expected, const RecordFault&) override {
        if (ev.type == SimEventType::AntennaHeight) return AntennaHeightRecord(ev, expected);
        if (ev.type != SimEventType::TimeEvent) return std::string();
        // Header at the tenth of a second below the event; the "*1" line carries the
        // event's own seconds of week.
        const GpsTime coarse(ev.time.week, std::floor(ev.time.seconds * 10.0) / 10.0);
        const char letter = ev.asciiLetter == 'M' ? 'M' : 'T';
        std::string s = CsvStart(letter, coarse, "%.1f", nullptr);
        const std::string seconds = Format("%.7f", ev.time.seconds);
        s += "*1,0," + seconds + "\r\n";
        s.push_back(kEtx);
        if (expected) {
            *expected = SiteEvent();
            expected->time = GpsTime(ev.time.week, std::strtod(seconds.c_str(), nullptr));
            expected->kind = kEventSiteOrTime;
        }
        return s;
    }

private:
    CsvOptions options_;
};

class FixedEncoder : public RecordEncoder {
public:
    RawLayout Layout() const override { return RawLayout::AsciiFixed; }
    bool MixesKinds() const override { return false; }

    std::string Epoch(const SimEpoch& e, ObservationEpoch* expected, const RecordFault& fault) override {
        GpsTime time;
        std::string s = FixedStart(e.letter, e.time, &time);
        ObservationEpoch local;
        ObservationEpoch& out = expected ? *expected : local;
        out.Clear();
        out.time = time;
        const bool havePrevious = previousTime_.week != 0 || previousTime_.seconds > 0;
        const double dt = havePrevious ? time.Difference(previousTime_) : 0.0;
        if (fault.badPrn >= 0 && !e.sats.empty()) s += Line(e.sats.front(), fault.badPrn);
        for (const SimSatellite& sat : e.sats) {
            if (!sat.hasL1) continue;  // this layout has no way to leave the phase out
            s += Line(sat, sat.prn);
            if (sat.prn < 1 || sat.prn > 32) continue;
            const int k = sat.prn - 1;
            const double l1 = static_cast<double>(PhaseMillicycles(sat.l1));
            SatObservation& o = out.sat[k];
            if (havePrevious && hasPrevious_[k]) {
                double delta = l1 - previousL1_[k];
                while (std::fabs(delta) > 5e10) delta += delta > 0 ? -1e11 : 1e11;
                o.SetValue(kD1, delta / dt * 0.001);
            }
            o.SetValue(kC1, std::fmod(static_cast<double>(CodeRaw(sat.c1)) * 1e-10, 0.1));
            o.SetValue(kL1, std::fmod(l1 * 0.001, 10000.0));
            o.SetCn0(static_cast<uint8_t>(CnCode(sat) + 3));
            hasPrevious_[k] = true;
            previousL1_[k] = l1;
            out.AddToMask(o.typeMask);
        }
        previousTime_ = time;
        for (int k = 0; k < kSatelliteCount; ++k) {
            if (!out.sat[k].Present()) hasPrevious_[k] = false;
        }
        s.push_back(kEtx);
        return s;
    }

    std::string EphemerisRecord(int prn, const EphemerisWords& words, const GpsTime& recordTime,
                                const RecordFault& fault) override {
        std::string s = FixedStart('E', recordTime, nullptr);
        s += Format("%2u %2u", 1u, static_cast<unsigned>(fault.badPrn >= 0 ? fault.badPrn : prn));
        s.push_back('\n');  // index 25
        for (int sf = 0; sf < 3; ++sf) {
            s += WordsLine(words.words + 8 * sf, 8, " ") + " \n";  // rows at 26, 83, 140
        }
        s.push_back(kEtx);
        return s;
    }

    std::string IonoUtcRecord(const uint32_t words[8], const GpsTime& recordTime, const RecordFault&) override {
        std::string s = FixedStart('U', recordTime, nullptr);
        s += WordsLine(words, 8, " ") + "\n";
        s.push_back(kEtx);
        return s;
    }

    int EventRecordKind(const SimEvent& ev) const override {
        if (ev.type == SimEventType::AntennaHeight) return 11;
        return ev.type == SimEventType::TimeEvent ? 10 : 0;
    }

    std::string Event(const SimEvent& ev, SiteEvent* expected, const RecordFault&) override {
        if (ev.type == SimEventType::AntennaHeight) return AntennaHeightRecord(ev, expected);
        if (ev.type != SimEventType::TimeEvent) return std::string();
        const char letter = ev.asciiLetter == 'M' ? 'M' : 'T';
        GpsTime start;
        long long offset;
        TenSecondSplit(ev.time, start, offset);
        GpsTime header;
        std::string s = FixedStart(letter, start, &header);  // header inside the interval
        s += "   ";                                          // indices 20..22
        s += Format("%11lld", offset);                       // from 23
        s += "     ";                                        // indices 34..38
        std::string text;
        if (letter == 'M') {
            text = ev.asciiText.substr(0, 11);
            text.resize(11, ' ');
            s += text;  // indices 39..49
        }
        s.push_back(kEtx);
        if (expected) {
            *expected = SiteEvent();
            expected->time = GpsTime(header.week, std::floor(header.seconds / 10.0) * 10.0 +
                                                      static_cast<double>(offset) * 1e-10);
            expected->kind = kEventSiteOrTime;
            expected->description = text;
        }
        return s;
    }

private:
    static int CnCode(const SimSatellite& sat) { return std::clamp(static_cast<int>(sat.cn0) - 3, 0, 99); }

    // One satellite line: 39 characters and a line feed.
    static std::string Line(const SimSatellite& sat, int prn) {
        std::string line = Format("* %10lld %11lld %2d %2d %1d %3d", CodeRaw(sat.c1), PhaseMillicycles(sat.l1),
                                  prn, CnCode(sat), 0, 0);
        line.resize(39, ' ');
        line.push_back('\n');
        return line;
    }

    GpsTime previousTime_;
    double previousL1_[kSatelliteCount] = {};
    bool hasPrevious_[kSatelliteCount] = {};
};

}  // namespace

std::unique_ptr<RecordEncoder> CreateCsvEncoder(const CsvOptions& options) {
    return std::make_unique<CsvEncoder>(options);
}

std::unique_ptr<RecordEncoder> CreateFixedEncoder() { return std::make_unique<FixedEncoder>(); }
