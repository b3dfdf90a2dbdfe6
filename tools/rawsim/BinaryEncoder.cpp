#include <algorithm>
#include <cmath>

#include "tools/rawsim/RecordEncoder.h"

namespace {

// Unsigned 24-bit phase in millicycles, phase reduced into [0, 10000) cycles.
uint32_t PhaseRaw(double cycles) {
    long long raw = std::llround(PositiveRemainder(cycles, 10000.0) * 1000.0);
    if (raw >= 10000000) raw -= 10000000;
    return static_cast<uint32_t>(raw);
}

// Signed 24-bit Doppler in units of 0.004 Hz, clamped off the absent marker.
int32_t DopplerRaw(double hz) {
    long long raw = std::llround(hz / 0.004);
    return static_cast<int32_t>(std::clamp<long long>(raw, -0x7FFFFF, 0x7FFFFF));
}

double DopplerValue(int32_t raw) { return raw * 4 * 0.001; }

// Time header: full week and time of week in tenths of a second.
void PutTimeHeader(std::string& body, const GpsTime& t, GpsTime* decoded) {
    long long tenths = std::llround(t.seconds * 10.0);
    uint16_t week = t.week;
    if (tenths >= 6048000) {
        tenths -= 6048000;
        ++week;
    }
    PutBigEndian(body, week, 2);
    PutBigEndian(body, static_cast<uint32_t>(tenths), 3);
    if (decoded) *decoded = GpsTime(week, static_cast<double>(tenths) / 10.0);
}

// Zero-padded text field of n bytes.
void PutText(std::string& body, const std::string& text, size_t n) {
    std::string field = text.substr(0, n);
    field.resize(n, '\0');
    body += field;
}

class BinaryEncoder : public RecordEncoder {
public:
    RawLayout Layout() const override { return RawLayout::Binary; }

    std::string Epoch(const SimEpoch& e, ObservationEpoch* expected, const RecordFault& fault) override {
        const bool q = e.letter == 'Q';
        std::string body;
        body.reserve(16 + e.sats.size() * 28);
        PutBigEndian(body, sequence_++, 2);  // bytes 2-3: not interpreted, a record counter
        GpsTime time;
        PutTimeHeader(body, e.time, &time);
        if (q) PutBigEndian(body, 0x51534D00u, 4);  // bytes 9-12: not interpreted
        body.push_back(static_cast<char>(e.dual ? 0x80 : 0x00));
        if (expected) {
            expected->Clear();
            expected->time = time;
        }
        bool first = true;
        for (const SimSatellite& s : e.sats) {
            const int prn = (first && fault.badPrn >= 0) ? fault.badPrn : s.prn;
            first = false;
            body.push_back(static_cast<char>(static_cast<int8_t>(prn)));
            if (q) body.push_back(static_cast<char>(s.prn));  // channel, not interpreted
            const uint32_t c1 = static_cast<uint32_t>(std::llround(WrittenTravelTime(s.c1) * 1e10));
            PutBigEndian(body, c1, 4);
            const int cnCode = std::clamp(static_cast<int>(s.cn0) - 26, 0, 31);
            uint8_t status = static_cast<uint8_t>(cnCode);
            if (s.antiSpoofing) status |= 0x20;
            if (!(e.dual && s.hasL2)) status |= 0x40;
            if (!s.hasL1) status |= 0x80;
            body.push_back(static_cast<char>(status));
            const uint32_t l1 = s.hasL1 ? PhaseRaw(s.l1) : 0;
            PutBigEndian(body, l1, 3);
            const int32_t d1 = s.hasD1 ? DopplerRaw(s.d1) : 0x800000;
            PutBigEndian(body, static_cast<uint32_t>(d1), 3);
            const uint8_t st0 = static_cast<uint8_t>((s.qualityL1 << 5) | (s.lockL1 & 0x1F));
            const uint8_t st3 = static_cast<uint8_t>(s.qualityCode << 4);
            body.push_back(static_cast<char>(st0));
            body.push_back(static_cast<char>(st3));
            int16_t p1 = 0, p2 = 0;
            uint32_t l2 = 0;
            int32_t d2 = 0x800000;
            uint8_t st1 = 0, st2 = 0;
            if (e.dual) {
                // Code offsets are taken between the written (possibly reduced) codes.
                const double base = WrittenTravelTime(s.c1);
                p1 = s.hasP1 ? OffsetRaw(base + (s.p1 - s.c1), c1) : static_cast<int16_t>(-32768);
                p2 = s.hasP2 ? OffsetRaw(base + (s.p2 - s.c1), c1) : static_cast<int16_t>(-32768);
                l2 = s.hasL2 ? PhaseRaw(s.l2) : 0;
                d2 = s.hasD2 ? DopplerRaw(s.d2) : 0x800000;
                st1 = static_cast<uint8_t>((s.qualityL2 << 5) | (s.lockL2 & 0x1F));
                st2 = static_cast<uint8_t>(s.qualityCode << 4);
                body.push_back(0);  // not interpreted
                PutBigEndian(body, static_cast<uint16_t>(p1), 2);
                PutBigEndian(body, static_cast<uint16_t>(p2), 2);
                PutBigEndian(body, l2, 3);
                PutBigEndian(body, static_cast<uint32_t>(d2), 3);
                body.push_back(static_cast<char>(st1));
                body.push_back(static_cast<char>(st2));
            }
            if (!expected || s.prn < 1 || s.prn > 32) continue;
            SatObservation& o = expected->sat[s.prn - 1];
            o.SetValue(kC1, std::fmod(c1 * 1e-10, 0.1));
            o.SetCn0(static_cast<uint8_t>(cnCode + 26));
            if (s.hasL1) o.SetValue(kL1, std::fmod(l1 * 0.001, 10000.0));
            if (s.hasD1) o.SetValue(kD1, DopplerValue(d1));
            o.SetStatus(0, st0);
            o.SetStatus(3, st3);
            if (e.dual) {
                if (s.antiSpoofing) o.SetAntiSpoofing(1);
                if (s.hasP1) o.SetValue(kP1, std::fmod((p1 + static_cast<double>(c1)) * 1e-10, 0.1));
                if (s.hasP2) o.SetValue(kP2, std::fmod((p2 + static_cast<double>(c1)) * 1e-10, 0.1));
                if (s.hasL2) o.SetValue(kL2, std::fmod(l2 * 0.001, 10000.0));
                if (s.hasD2) o.SetValue(kD2, DopplerValue(d2));
                o.SetStatus(1, st1);
                o.SetStatus(2, st2);
            }
            expected->AddToMask(o.typeMask);
        }
        return FrameBinaryRecord(e.letter, body, fault.frame);
    }

    std::string EphemerisRecord(int prn, const EphemerisWords& words, const GpsTime&,
                                const RecordFault& fault) override {
        std::string body;
        PutBigEndian(body, sequence_++, 2);
        body.push_back(static_cast<char>(fault.badPrn >= 0 ? fault.badPrn : prn));
        for (uint32_t w : words.words) PutBigEndian(body, w, 3);
        return FrameBinaryRecord('E', body, fault.frame);
    }

    std::string IonoUtcRecord(const uint32_t words[8], const GpsTime&, const RecordFault& fault) override {
        std::string body;
        PutBigEndian(body, sequence_++, 2);
        for (int k = 0; k < 8; ++k) PutBigEndian(body, words[k], 3);
        return FrameBinaryRecord('U', body, fault.frame);
    }

    int EventRecordKind(const SimEvent& ev) const override {
        return ev.type == SimEventType::AntennaHeight ? 11 : 10;
    }

    std::string Event(const SimEvent& ev, SiteEvent* expected, const RecordFault& fault) override {
        std::string body;
        PutBigEndian(body, sequence_++, 2);
        GpsTime header;
        SiteEvent out;
        char letter = 'M';
        if (ev.type == SimEventType::TimeEvent) {
            // Header at the tenth of a second below the event, offset in 1e-10 s.
            long long tenths = static_cast<long long>(std::floor(ev.time.seconds * 10.0));
            GpsTime base(ev.time.week, static_cast<double>(tenths) / 10.0);
            PutTimeHeader(body, base, &header);
            const long long offset = std::llround(ev.time.Difference(header) * 1e10);
            PutBigEndian(body, static_cast<uint32_t>(static_cast<int32_t>(offset)), 4);
            PutBigEndian(body, 0, 6);  // not interpreted
            out.time = header.AddSeconds(static_cast<double>(offset) * 1e-10);
            out.kind = kEventSiteOrTime;
        } else if (ev.type == SimEventType::AntennaHeight) {
            letter = 'H';
            PutTimeHeader(body, ev.time, &header);
            PutLittleEndianDouble(body, ev.height);
            out.time = header;
            out.kind = kEventAntennaHeight;
            out.value = ev.height;
        } else {
            letter = 'm';
            PutTimeHeader(body, ev.time, &header);
            body.push_back(static_cast<char>(ev.siteType));
            PutText(body, ev.markerName, 12);
            for (int k = 0; k < 5; ++k) {
                PutText(body, ev.text[k], 12);
                if (k < 4) PutBigEndian(body, 0x2020, 2);  // not interpreted
            }
            out = ExpectedSiteEvent(ev);
            out.time = header;
        }
        if (expected) *expected = out;
        return FrameBinaryRecord(letter, body, fault.frame);
    }

private:
    // Signed 16-bit offset of a code (s) from the C1 raw value (1e-10 s).
    static int16_t OffsetRaw(double code, uint32_t c1Raw) {
        long long raw = std::llround(code * 1e10) - static_cast<long long>(c1Raw);
        return static_cast<int16_t>(std::clamp<long long>(raw, -32767, 32767));
    }

    uint32_t sequence_ = 0;
};

}  // namespace

std::unique_ptr<RecordEncoder> CreateBinaryEncoder() { return std::make_unique<BinaryEncoder>(); }

double WrittenTravelTime(double seconds) {
    if (seconds >= 0.0 && seconds < 0.4) return seconds;
    return PositiveRemainder(seconds, 0.1);
}

double PositiveRemainder(double x, double m) {
    double r = std::fmod(x, m);
    if (r < 0) r += m;
    if (r >= m) r -= m;
    return r;
}

std::unique_ptr<RecordEncoder> CreateEncoder(RawLayout layout) {
    switch (layout) {
    case RawLayout::Binary: return CreateBinaryEncoder();
    case RawLayout::AsciiCsv: return CreateCsvEncoder();
    case RawLayout::AsciiFixed: return CreateFixedEncoder();
    }
    return nullptr;
}
