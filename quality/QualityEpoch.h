#pragma once
#include <cstdint>

#include "rawdata/GpsTime.h"
#include "rawdata/Observation.h"

// One satellite of a written observation epoch as the quality statistics take it:
// the values in RINEX units, indexed like the raw measurement kinds (kL1, kL2, kP2,
// kC1, kD1, kD2, kP1 of rawdata/Observation.h): metres for C1, P1, P2; cycles for L1,
// L2; Hz for D1, D2. The loss-of-lock digits are those written to the file.
struct QualitySatellite {
    double value[kObservationKinds] = {};
    uint8_t lli[kObservationKinds] = {};
    uint16_t mask = 0;  // bit k: value[k] present; 0: the satellite is not in the epoch
    double cn0 = 0;     // carrier-to-noise density, dB-Hz; 0 when unknown

    // Stores value v of kind k with its loss-of-lock digit; sets bit k.
    void SetValue(int k, double v, int lliDigit = 0) {
        value[k] = v;
        lli[k] = static_cast<uint8_t>(lliDigit);
        mask = static_cast<uint16_t>(mask | (1u << k));
    }
    bool Has(int k) const { return (mask >> k) & 1u; }
    bool Present() const { return mask != 0; }
    // True when value kind k is present and its loss-of-lock digit has bit 0 set.
    bool LossOfLock(int k) const { return Has(k) && (lli[k] & 1u); }
};

// One written observation epoch with the position fix of that epoch.
struct QualityEpoch {
    GpsTime time;  // epoch time as written (GPS time)
    QualitySatellite sat[kSatelliteCount];
    bool fixed = false;        // a position was fixed at this epoch
    double x = 0, y = 0, z = 0;  // the fix, earth-centred earth-fixed, m
};
