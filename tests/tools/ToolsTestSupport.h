#pragma once
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "rawdata/DataFile.h"
#include "rawdata/Decoder.h"
#include "rawdata/RecordKind.h"
#include "tools/rawsim/Simulation.h"

// A fresh directory, removed with its contents at the end of the test.
class SimTempDir {
public:
    SimTempDir() {
        std::string pattern = testing::TempDir();
        if (pattern.empty() || pattern.back() != '/') pattern += '/';
        pattern += "qern_rawsim_XXXXXX";
        std::vector<char> buf(pattern.begin(), pattern.end());
        buf.push_back('\0');
        if (mkdtemp(buf.data())) path_ = buf.data();
    }
    ~SimTempDir() {
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove_all(path_, ec);
    }
    SimTempDir(const SimTempDir&) = delete;
    SimTempDir& operator=(const SimTempDir&) = delete;
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Everything a reader and decoder obtain from a raw file, in file order per kind.
struct DecodedFile {
    std::vector<ObservationEpoch> epochs;
    std::vector<int> epochKinds;
    std::vector<Ephemeris> ephemerides;
    std::vector<IonoUtc> ionoUtc;
    std::vector<SiteEvent> events;
    std::vector<int> eventKinds;
    int records = 0;
    int invalid = 0;         // records of a decoded kind that the decoder refused
    int invalidEpochs = 0;
    int invalidEphemerides = 0;
    int unhealthy = 0;       // decoded ephemerides with non-zero health (left out of the list)
};

// Reads path with the reader and decoder of formatIndex; week: reference week to start with.
inline DecodedFile ReadRawFile(const std::string& path, int formatIndex, uint16_t week) {
    DecodedFile out;
    std::unique_ptr<CDataFile> file = CreateDataFile(formatIndex);
    std::unique_ptr<CDecodeGpsData> decoder = CreateDecoder(formatIndex);
    if (!file || !decoder || !file->Open(path, CFile::modeRead)) {
        ADD_FAILURE() << "cannot read " << path;
        return out;
    }
    decoder->Reset();
    std::vector<uint8_t> buffer(kRecordBufferSize + 1);
    int length = 0;
    uint16_t referenceWeek = week;
    for (int kind = file->ReadRecord(buffer.data(), length); kind != kRecordEnd;
         kind = file->ReadRecord(buffer.data(), length)) {
        ++out.records;
        if (kind == kRecordSatelliteDated || kind == kRecordReceiverDated) {
            ObservationEpoch e;
            if (decoder->DecodeObservation(buffer.data(), length, e, referenceWeek) != 0) {
                out.epochs.push_back(e);
                out.epochKinds.push_back(kind);
            } else {
                ++out.invalid;
                ++out.invalidEpochs;
            }
        } else if (kind == kRecordEphemeris) {
            Ephemeris e;
            if (decoder->DecodeEphemeris(buffer.data(), length, e, referenceWeek) >= 0) {
                if (e.health != 0) {
                    ++out.unhealthy;
                } else {
                    out.ephemerides.push_back(e);
                }
            } else {
                ++out.invalid;
                ++out.invalidEphemerides;
            }
        } else if (kind == kRecordIonoUtc) {
            IonoUtc i;
            if (decoder->DecodeIonoUtc(buffer.data(), length, i, referenceWeek) != 0) {
                out.ionoUtc.push_back(i);
            } else {
                ++out.invalid;
            }
        } else if (kind == kRecordSiteEvent || kind == kRecordAntennaHeight) {
            SiteEvent e;
            const int ok = kind == kRecordSiteEvent ? decoder->DecodeSiteEvent(buffer.data(), length, e, referenceWeek)
                                                    : decoder->DecodeAntennaHeight(buffer.data(), length, e, referenceWeek);
            if (ok) {
                out.events.push_back(e);
                out.eventKinds.push_back(kind);
            } else {
                ++out.invalid;
            }
        }
    }
    return out;
}

// Expects two decoded epochs to hold the same measurements (codes to 1e-13 s, phases
// to 1e-7 cycles, Dopplers to 1e-7 Hz), status bytes, cn0, flags and masks.
inline void ExpectSameEpoch(const ObservationEpoch& got, const ObservationEpoch& want, const std::string& where) {
    EXPECT_EQ(got.time.week, want.time.week) << where;
    EXPECT_NEAR(got.time.seconds, want.time.seconds, 1e-7) << where;
    EXPECT_EQ(got.typeMask, want.typeMask) << where;
    for (int s = 0; s < kSatelliteCount; ++s) {
        const SatObservation& g = got.sat[s];
        const SatObservation& w = want.sat[s];
        ASSERT_EQ(g.typeMask, w.typeMask) << where << " PRN " << s + 1;
        if (!w.Present()) continue;
        for (int k = 0; k < kObservationKinds; ++k) {
            if (!w.Has(k)) continue;
            const double tolerance = (k == kC1 || k == kP1 || k == kP2) ? 1e-13 : 1e-7;
            EXPECT_NEAR(g.value[k], w.value[k], tolerance) << where << " PRN " << s + 1 << " value " << k;
        }
        for (int k = 0; k < 4; ++k) EXPECT_EQ(g.status[k], w.status[k]) << where << " PRN " << s + 1;
        EXPECT_EQ(g.cn0, w.cn0) << where << " PRN " << s + 1;
        EXPECT_EQ(g.antiSpoofing, w.antiSpoofing) << where << " PRN " << s + 1;
    }
}

// Expects the broadcast fields of two ephemerides to agree to a part in 1e12.
inline void ExpectSameEphemeris(const Ephemeris& got, const Ephemeris& want, const std::string& where) {
    auto near = [&](double g, double w, const char* name) {
        EXPECT_NEAR(g, w, 1e-12 * std::max(1.0, std::fabs(w))) << where << " " << name;
    };
    EXPECT_EQ(got.satellite, want.satellite) << where;
    EXPECT_EQ(got.week, want.week) << where;
    EXPECT_EQ(got.toeTime.week, want.toeTime.week) << where;
    near(got.toe, want.toe, "toe");
    near(got.toc, want.toc, "toc");
    near(got.sqrtA, want.sqrtA, "sqrtA");
    near(got.e, want.e, "e");
    near(got.M0, want.M0, "M0");
    near(got.omega, want.omega, "omega");
    near(got.i0, want.i0, "i0");
    near(got.Omega0, want.Omega0, "Omega0");
    near(got.OmegaDot, want.OmegaDot, "OmegaDot");
    near(got.IDOT, want.IDOT, "IDOT");
    near(got.deltaN, want.deltaN, "deltaN");
    near(got.Crs, want.Crs, "Crs");
    near(got.Crc, want.Crc, "Crc");
    near(got.Cus, want.Cus, "Cus");
    near(got.Cuc, want.Cuc, "Cuc");
    near(got.Cis, want.Cis, "Cis");
    near(got.Cic, want.Cic, "Cic");
    near(got.af0, want.af0, "af0");
    near(got.af1, want.af1, "af1");
    near(got.af2, want.af2, "af2");
    near(got.TGD, want.TGD, "TGD");
    near(got.accuracy, want.accuracy, "accuracy");
    near(got.IODE, want.IODE, "IODE");
    near(got.IODC, want.IODC, "IODC");
    EXPECT_EQ(got.health, want.health) << where;
    EXPECT_EQ(got.codesOnL2, want.codesOnL2) << where;
    EXPECT_EQ(got.l2PDataFlag, want.l2PDataFlag) << where;
    EXPECT_EQ(got.fitInterval, want.fitInterval) << where;
    EXPECT_EQ(got.recordTime.week, want.recordTime.week) << where;
    EXPECT_NEAR(got.recordTime.seconds, want.recordTime.seconds, 1e-7) << where;
}

// Expects two decoded events to agree.
inline void ExpectSameEvent(const SiteEvent& got, const SiteEvent& want, const std::string& where) {
    EXPECT_EQ(got.kind, want.kind) << where;
    EXPECT_EQ(got.time.week, want.time.week) << where;
    EXPECT_NEAR(got.time.seconds, want.time.seconds, 1e-7) << where;
    EXPECT_NEAR(got.value, want.value, 1e-12) << where;
    EXPECT_EQ(got.markerName, want.markerName) << where;
    EXPECT_EQ(got.description, want.description) << where;
}

// Test data of the repository.
inline std::string TestData(const std::string& name) { return std::string(QERN_SOURCE_DIR) + "/testdata/" + name; }
