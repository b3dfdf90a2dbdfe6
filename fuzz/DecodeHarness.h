#pragma once
// Feeds arbitrary bytes through the record framing and every decode operation of a
// raw format, and checks what a valid result promises. Used by the fuzz targets and
// by the regression tests of the inputs they found.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "rawdata/DataFile.h"
#include "rawdata/Decoder.h"

namespace decodeharness {

// A raw data file whose bytes come from memory instead of the disk.
template <class Base>
class MemoryDataFile : public Base {
public:
    MemoryDataFile(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    // Copies up to count of the remaining bytes; 0 at the end.
    size_t Read(void* buffer, size_t count) override {
        const size_t n = std::min(count, size_ - pos_);
        if (n > 0) std::memcpy(buffer, data_ + pos_, n);
        pos_ += n;
        return n;
    }
    int64_t GetLength() const override { return static_cast<int64_t>(size_); }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

// Stops the process with a message: a broken promise of a decode operation.
[[noreturn]] inline void Fail(const char* what) {
    std::fprintf(stderr, "decode harness: %s\n", what);
    std::abort();
}

inline void Check(bool ok, const char* what) {
    if (!ok) Fail(what);
}

inline bool Finite(const GpsTime& t) { return std::isfinite(t.seconds); }

// Checks an epoch against the mask its decode returned (after an invalid result,
// 0, the epoch may be partly filled and is not looked at).
inline void CheckEpoch(const ObservationEpoch& e, uint16_t mask) {
    if (mask == 0) return;
    uint16_t all = 0;
    for (const SatObservation& s : e.sat) {
        all |= s.Mask();
        for (int k = 0; k < kObservationKinds; ++k)
            if (s.Has(k)) Check(std::isfinite(s.value[k]), "observation value not finite");
    }
    Check(mask == e.Mask(), "returned mask differs from the epoch's mask");
    Check(all == e.Mask(), "epoch mask is not the OR of the satellites' masks");
    Check(Finite(e.time), "epoch time not finite");
}

inline void CheckEphemeris(const Ephemeris& eph, int result) {
    Check(result >= -1 && result < kSatelliteCount, "ephemeris result out of range");
    if (result < 0) return;
    Check(eph.valid == 1 && eph.satellite == result, "valid ephemeris not marked");
    const double values[] = {eph.toe,  eph.A,   eph.sqrtA, eph.omega, eph.M0,  eph.e,        eph.i0,
                             eph.IDOT, eph.Omega0, eph.OmegaDot, eph.deltaN, eph.Crs, eph.Crc, eph.Cis,
                             eph.Cic,  eph.Cus, eph.Cuc,   eph.toc,   eph.af0, eph.af1,      eph.af2,
                             eph.TGD,  eph.accuracy, eph.IODE, eph.IODC};
    for (double v : values) Check(std::isfinite(v), "ephemeris value not finite");
}

// Runs every decode operation on one record, each on its own copy of exactly length
// bytes (plus the terminating zero when terminated), so that a read outside the
// record is caught by the address sanitizer.
inline void DecodeAll(CDecodeGpsData& decoder, const uint8_t* record, int length, bool terminated,
                      uint16_t& week) {
    const size_t size = static_cast<size_t>(length) + (terminated ? 1 : 0);
    auto copy = [&]() {
        auto p = std::make_unique<uint8_t[]>(size == 0 ? 1 : size);
        if (size > 0) std::memcpy(p.get(), record, size);
        return p;
    };
    {
        auto b = copy();
        ObservationEpoch e;
        const uint16_t mask = decoder.DecodeObservation(size ? b.get() : nullptr, length, e, week);
        CheckEpoch(e, mask);
    }
    {
        auto b = copy();
        Ephemeris eph;
        CheckEphemeris(eph, decoder.DecodeEphemeris(size ? b.get() : nullptr, length, eph, week));
    }
    {
        auto b = copy();
        IonoUtc u;
        if (decoder.DecodeIonoUtc(size ? b.get() : nullptr, length, u, week)) {
            const double values[] = {u.tot, u.alpha0, u.alpha1, u.alpha2, u.alpha3, u.beta0,
                                     u.beta1, u.beta2, u.beta3, u.A0, u.A1};
            for (double v : values) Check(std::isfinite(v), "iono/UTC value not finite");
            Check(u.valid == 1, "valid iono/UTC not marked");
        }
    }
    {
        auto b = copy();
        SiteEvent ev;
        if (decoder.DecodeSiteEvent(size ? b.get() : nullptr, length, ev, week))
            Check(Finite(ev.time) && std::isfinite(ev.value), "site event time not finite");
    }
    {
        auto b = copy();
        SiteEvent ev;
        if (decoder.DecodeAntennaHeight(size ? b.get() : nullptr, length, ev, week))
            Check(Finite(ev.time) && std::isfinite(ev.value) && ev.kind == kEventAntennaHeight,
                  "antenna height not finite");
    }
}

// A copy of a binary record whose checksum field is made to match its bytes, when the
// checksum can be written without escapes; empty otherwise. Lets fuzzing reach the
// field decoding behind the checksum test.
inline std::vector<uint8_t> WithMatchingChecksum(const uint8_t* record, int length) {
    const int raw = length > 0 ? FrameLength(record, length) : 0;
    if (raw < 5 || record[raw - 3] == 0xFD || record[raw - 4] == 0xFD) return {};
    std::vector<uint8_t> copy(record, record + raw);
    const uint16_t sum = Checksum(copy.data(), raw);
    const uint8_t high = static_cast<uint8_t>(sum >> 8), low = static_cast<uint8_t>(sum & 0xFF);
    if (high >= 0xFD || low >= 0xFD) return {};
    copy[static_cast<size_t>(raw) - 3] = high;
    copy[static_cast<size_t>(raw) - 2] = low;
    return copy;
}

// Frames data as a raw file of format formatIndex (0 ASCII, 1 binary) and decodes every
// record with every operation; then decodes the whole input as one unterminated record.
inline void FeedRawData(int formatIndex, const uint8_t* data, size_t size) {
    std::unique_ptr<CDecodeGpsData> decoder = CreateDecoder(formatIndex);
    Check(decoder != nullptr, "no decoder");
    decoder->Reset();
    std::unique_ptr<CDataFile> file;
    if (formatIndex == 0)
        file = std::make_unique<MemoryDataFile<CKVarDataFile>>(data, size);
    else
        file = std::make_unique<MemoryDataFile<CKBinDataFile>>(data, size);
    std::vector<uint8_t> buffer(kRecordBufferSize);
    uint16_t week = 1590;
    int length = 0;
    for (int n = 0; n < 100000; ++n) {
        const int kind = file->ReadRecord(buffer.data(), length);
        if (kind == kRecordEnd) {
            Check(length == 0, "end of data with a length");
            break;
        }
        Check(length > 0 && length < kRecordBufferSize, "record length out of range");
        if (formatIndex == 0) Check(buffer[static_cast<size_t>(length)] == 0, "ASCII record not terminated");
        DecodeAll(*decoder, buffer.data(), length, formatIndex == 0, week);
        if (formatIndex == 1) {
            const std::vector<uint8_t> fixed = WithMatchingChecksum(buffer.data(), length);
            if (!fixed.empty()) DecodeAll(*decoder, fixed.data(), static_cast<int>(fixed.size()), false, week);
        }
    }
    if (size > 0 && size < static_cast<size_t>(kRecordBufferSize))
        DecodeAll(*decoder, data, static_cast<int>(size), false, week);
}

}  // namespace decodeharness
