#pragma once
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "quality/QualityEpoch.h"
#include "rawdata/Ephemeris.h"
#include "tools/rawsim/FromRinex.h"
#include "tools/rawsim/RinexReader.h"

inline std::string QualityTestData(const std::string& name) {
    return std::string(QERN_SOURCE_DIR) + "/testdata/" + name;
}

// The observation epochs (flag 0 or 1) of a RINEX 2 file as the quality statistics take
// them, densities from the signal strength digits; station: the APPROX POSITION.
inline std::vector<QualityEpoch> ReadQualityEpochs(const std::string& path, double station[3] = nullptr) {
    std::vector<QualityEpoch> out;
    RinexObsReader reader;
    std::string error;
    if (!reader.Open(path, error)) {
        ADD_FAILURE() << error;
        return out;
    }
    if (station)
        for (int k = 0; k < 3; ++k) station[k] = reader.Header().position[k];
    const char* names[kObservationKinds] = {"L1", "L2", "P2", "C1", "D1", "D2", "P1"};
    int column[kObservationKinds];
    for (int k = 0; k < kObservationKinds; ++k) column[k] = reader.TypeIndex(names[k]);
    RinexObsEpoch e;
    while (reader.Next(e)) {
        if (e.flag > 1 || !e.hasTime) continue;
        QualityEpoch q;
        q.time = e.time;
        for (const RinexSatObs& s : e.sats) {
            if (s.prn < 1 || s.prn > kSatelliteCount) continue;
            QualitySatellite& sat = q.sat[s.prn - 1];
            for (int k = 0; k < kObservationKinds; ++k) {
                if (column[k] < 0 || !s.values[column[k]].present) continue;
                const RinexValue& v = s.values[column[k]];
                sat.SetValue(k, v.value, v.lli);
                if (k == kL1) sat.cn0 = Cn0OfStrength(v.ssi, 0);
            }
        }
        out.push_back(q);
    }
    return out;
}

// The broadcast ephemerides of a RINEX 2 navigation file, ready for orbit computation.
inline std::vector<Ephemeris> ReadEphemerides(const std::string& path) {
    RinexNavData nav;
    std::string error;
    EXPECT_TRUE(ReadRinexNav(path, nav, error)) << error;
    for (Ephemeris& e : nav.ephemerides) {
        e.valid = 1;
        PrepareEphemeris(e);
    }
    return nav.ephemerides;
}

// For each satellite the ephemeris whose toe is nearest t (valid 0 when it has none).
inline void SelectNearest(const std::vector<Ephemeris>& list, const GpsTime& t, Ephemeris out[kSatelliteCount]) {
    double best[kSatelliteCount];
    for (int s = 0; s < kSatelliteCount; ++s) {
        out[s] = Ephemeris();
        best[s] = 1e99;
    }
    for (const Ephemeris& e : list) {
        const double d = std::fabs(e.toeTime.Difference(t));
        if (e.satellite < kSatelliteCount && d < best[e.satellite]) {
            best[e.satellite] = d;
            out[e.satellite] = e;
        }
    }
}
