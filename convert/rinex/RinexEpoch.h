#pragma once
#include <cstdint>
#include <cstring>

#include "rawdata/GpsTime.h"
#include "rawdata/Observation.h"

// The values of one satellite in one output epoch, indexed like the raw
// measurement kinds (kL1, kL2, kP2, kC1, kD1, kD2, kP1 of rawdata/Observation.h),
// in RINEX units: metres for C1, P1, P2; cycles for L1, L2; Hz for D1, D2.
struct RinexSatValues {
    double value[kObservationKinds] = {};
    uint8_t lli[kObservationKinds] = {};       // loss-of-lock indicator digit, 0 written blank
    uint8_t strength[kObservationKinds] = {};  // signal-strength digit 0..9, 0 written blank
    uint16_t mask = 0;                         // bit k: value[k] present
    // Carrier-to-noise density of the L1 (index 0) and L2 (index 1) signal, dB-Hz;
    // written by RINEX 3 only, as S1C and S2W.
    double cn0[2] = {};
    uint8_t cn0Mask = 0;  // bit f: cn0[f] present

    // Stores value v of kind k with its LLI and signal-strength digits; sets bit k.
    void SetValue(int k, double v, int lliDigit = 0, int strengthDigit = 0) {
        value[k] = v;
        lli[k] = static_cast<uint8_t>(lliDigit);
        strength[k] = static_cast<uint8_t>(strengthDigit);
        mask = static_cast<uint16_t>(mask | (1u << k));
    }
    void SetLli(int k, int digit) { lli[k] = static_cast<uint8_t>(digit); }
    void SetStrength(int k, int digit) { strength[k] = static_cast<uint8_t>(digit); }
    bool Has(int k) const { return (mask >> k) & 1u; }
    // Stores the carrier-to-noise density dbHz (dB-Hz) of frequency f (0: L1, 1: L2).
    void SetCn0(int f, double dbHz) {
        cn0[f & 1] = dbHz;
        cn0Mask = static_cast<uint8_t>(cn0Mask | (1u << (f & 1)));
    }
    bool HasCn0(int f) const { return (cn0Mask >> (f & 1)) & 1u; }
    uint16_t Mask() const { return mask; }
};

// One output epoch as written to the RINEX observation file.
struct RinexEpoch {
    GpsTime time;              // reception time of the epoch
    int epochFlag = 0;         // RINEX epoch flag
    double clockOffset = 0.0;  // receiver clock offset, s
    RinexSatValues sat[kSatelliteCount];

    // Sets time, flag, clock offset and every satellite's values back to zero.
    void Clear() { *this = RinexEpoch(); }
    RinexSatValues& Sat(int index) { return sat[index]; }
    const RinexSatValues& Sat(int index) const { return sat[index]; }
};
