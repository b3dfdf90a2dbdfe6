#include "tools/rawsim/RawWriter.h"

#include <cmath>

RawWriter::RawWriter(std::unique_ptr<RecordEncoder> encoder, const FaultPlan& faults, TruthSink* sink)
    : encoder_(std::move(encoder)), faults_(faults), sink_(sink) {}

RawWriter::~RawWriter() {
    if (fp_) std::fclose(fp_);
}

bool RawWriter::Open(const std::string& path) {
    fp_ = std::fopen(path.c_str(), "wb");
    if (fp_) std::setvbuf(fp_, nullptr, _IOFBF, 1 << 16);
    return fp_ != nullptr;
}

void RawWriter::OpenMemory(std::string* out) { memory_ = out; }

void RawWriter::Put(const std::string& bytes) {
    counts_.bytes += static_cast<long long>(bytes.size());
    if (memory_) {
        *memory_ += bytes;
    } else if (fp_) {
        if (std::fwrite(bytes.data(), 1, bytes.size(), fp_) != bytes.size()) failed_ = true;
    }
}

bool RawWriter::NextFault(FaultType& type) {
    if (faults_.Empty()) return false;
    if (++faultCounter_ % (faults_.every < 1 ? 1 : faults_.every) != 0) return false;
    const bool binary = encoder_->Layout() == RawLayout::Binary;
    for (size_t tries = 0; tries < faults_.types.size(); ++tries) {
        const FaultType t = faults_.types[rotation_++ % faults_.types.size()];
        if (t == FaultType::Unhealthy || t == FaultType::Iode) continue;  // on every ephemeris instead
        if (!binary && (t == FaultType::Checksum || t == FaultType::Escape)) continue;
        type = t;
        return true;
    }
    return false;
}

void RawWriter::ReportFault(FaultType type, char letter, const GpsTime& time) {
    ++counts_.faults;
    if (!sink_) return;
    TruthFault f;
    f.type = FaultName(type);
    f.letter = letter;
    f.time = time;
    sink_->OnFault(f);
}

std::string RawWriter::Garbage() {
    // Bytes that never start a record: no 0xFE in the binary layout, printable text
    // without STX/ETX in the ASCII layouts.
    const bool binary = encoder_->Layout() == RawLayout::Binary;
    std::string g;
    const int n = 5 + static_cast<int>(garbageState_ % 40);
    for (int k = 0; k < n; ++k) {
        garbageState_ = garbageState_ * 1103515245u + 12345u;
        const uint8_t b = static_cast<uint8_t>(garbageState_ >> 16);
        if (binary) {
            g.push_back(static_cast<char>(b == 0xFE ? 0xFF : b));
        } else {
            g.push_back(static_cast<char>(' ' + b % 95));
        }
    }
    return g;
}

void RawWriter::WriteEpoch(const SimEpoch& epoch, TruthEpoch& truth) {
    FaultType fault;
    const bool faulty = NextFault(fault);
    const bool fixed = encoder_->Layout() == RawLayout::AsciiFixed;
    RecordFault genuineFault;
    if (faulty && fault == FaultType::Prn && fixed) genuineFault.badPrn = (badPrnToggle_++ % 2) ? 33 : 0;
    const std::string genuine = encoder_->Epoch(epoch, &truth.decoded, genuineFault);
    if (faulty) {
        if (fault == FaultType::Cut) {
            Put(genuine.substr(0, genuine.size() / 2));
        } else if (fault == FaultType::Garbage) {
            Put(Garbage());
        } else if (!(fault == FaultType::Prn && fixed)) {
            // A copy with altered values, so that accepting it would show.
            SimEpoch altered = epoch;
            for (SimSatellite& s : altered.sats) {
                s.c1 += 1e-6;
                s.l1 += 0.5;
            }
            RecordFault rf;
            if (fault == FaultType::Checksum) rf.frame.checksumError = 1;
            if (fault == FaultType::Escape) rf.frame.badEscapeAt = 3;
            if (fault == FaultType::Prn) rf.badPrn = (badPrnToggle_++ % 2) ? 33 : 0;
            Put(encoder_->Epoch(altered, nullptr, rf));
        }
        ReportFault(fault, epoch.letter, epoch.time);
    }
    Put(genuine);
    lastRecord_ = genuine;
    if (truth.kind == 7) {
        // Receiver-dated values pass through a conversion unchanged, codes times c,
        // Dopplers with the RINEX sign (positive for an approaching satellite).
        const double c = 299792458.0;
        for (TruthSatellite& s : truth.sats) {
            if (s.prn < 1 || s.prn > 32) continue;
            const SatObservation& o = truth.decoded.sat[s.prn - 1];
            s.c1 = o.value[kC1] * c;
            s.p1 = o.value[kP1] * c;
            s.p2 = o.value[kP2] * c;
            if (o.Has(kD1)) s.d1 = -o.value[kD1];
            if (o.Has(kD2)) s.d2 = -o.value[kD2];
        }
    }
    if (epoch.letter == 'R') {
        ++counts_.satelliteDated;
    } else {
        ++counts_.receiverDated;
    }
    if (sink_) sink_->OnEpoch(truth);
}

bool QuantiseEphemeris(const Ephemeris& eph, Ephemeris& quantised) {
    EphemerisWords words;
    return EncodeEphemeris(eph, words, quantised);
}

bool RawWriter::WriteEphemeris(const Ephemeris& eph, const GpsTime& recordTime) {
    EphemerisWords words;
    Ephemeris expected;
    const bool ok = EncodeEphemeris(eph, words, expected);
    const int prn = eph.satellite + 1;
    GpsTime recordTenths(recordTime.week, std::round(recordTime.seconds * 10.0) / 10.0);
    if (recordTenths.seconds >= GpsTime::kSecondsPerWeek) recordTenths = recordTenths.AddSeconds(0.0);
    if (encoder_->Layout() != RawLayout::Binary) expected.recordTime = recordTenths;

    if (faults_.Has(FaultType::Unhealthy)) {
        Ephemeris sick = eph;
        sick.health = 1;
        EphemerisWords w;
        Ephemeris q;
        EncodeEphemeris(sick, w, q);
        Put(encoder_->EphemerisRecord(prn, w, recordTime));
        ReportFault(FaultType::Unhealthy, 'E', expected.toeTime);
    }
    if (faults_.Has(FaultType::Iode)) {
        EphemerisWords w;
        Ephemeris q;
        EncodeEphemeris(eph, w, q, (static_cast<int>(expected.IODE) + 1) % 256);
        Put(encoder_->EphemerisRecord(prn, w, recordTime));
        ReportFault(FaultType::Iode, 'E', expected.toeTime);
    }
    FaultType fault;
    const std::string genuine = encoder_->EphemerisRecord(prn, words, recordTime);
    if (NextFault(fault)) {
        if (fault == FaultType::Cut) {
            Put(genuine.substr(0, genuine.size() / 2));
        } else if (fault == FaultType::Garbage) {
            Put(Garbage());
        } else {
            // A copy with another clock term, so that accepting it would show.
            Ephemeris altered = eph;
            altered.af0 += 1e-6;
            EphemerisWords w;
            Ephemeris q;
            EncodeEphemeris(altered, w, q);
            RecordFault rf;
            if (fault == FaultType::Checksum) rf.frame.checksumError = 1;
            if (fault == FaultType::Escape) rf.frame.badEscapeAt = 3;
            if (fault == FaultType::Prn) rf.badPrn = (badPrnToggle_++ % 2) ? 33 : 0;
            Put(encoder_->EphemerisRecord(prn, w, recordTime, rf));
        }
        ReportFault(fault, 'E', expected.toeTime);
    }
    Put(genuine);
    ++counts_.ephemerides;
    if (sink_) sink_->OnEphemeris(expected);
    return ok;
}

bool RawWriter::WriteIonoUtc(const IonoUtc& iono, uint16_t referenceWeek, const GpsTime& recordTime) {
    uint32_t words[8];
    IonoUtc expected;
    const bool ok = EncodeIonoUtc(iono, referenceWeek, words, expected);
    Put(encoder_->IonoUtcRecord(words, recordTime));
    ++counts_.ionoUtc;
    if (sink_) sink_->OnIonoUtc(expected);
    return ok;
}

bool RawWriter::WriteEvent(const SimEvent& event) {
    TruthEvent truth;
    const std::string bytes = encoder_->Event(event, &truth.expected);
    if (bytes.empty()) return false;
    Put(bytes);
    truth.recordKind = encoder_->EventRecordKind(event);
    truth.letter = bytes.size() > 4 ? bytes[encoder_->Layout() == RawLayout::Binary ? 1 : 4] : '?';
    if (event.type == SimEventType::AntennaHeight && !haveAntennaHeight_) {
        haveAntennaHeight_ = true;
        antennaHeight_ = truth.expected.value;
    }
    ++counts_.events;
    if (sink_) sink_->OnEvent(truth);
    return true;
}

bool RawWriter::Close() {
    if (faults_.Has(FaultType::Cut) && !lastRecord_.empty()) {
        // A record cut off by the end of the file.
        Put(lastRecord_.substr(0, lastRecord_.size() / 2));
        ReportFault(FaultType::Cut, lastRecord_.size() > 4 ? lastRecord_[encoder_->Layout() == RawLayout::Binary ? 1 : 4] : '?',
                    GpsTime());
    }
    bool ok = !failed_;
    if (fp_) {
        ok = std::fclose(fp_) == 0 && ok;
        fp_ = nullptr;
    }
    return ok;
}
