#pragma once
#include <cstdint>
#include <cstring>

#include "rawdata/GpsTime.h"

inline constexpr int kSatelliteCount = 32;

// Index of each measurement kind in SatObservation::value.
enum ObservationIndex : int {
    kL1 = 0,  // L1 carrier phase, cycles (modulo 10000)
    kL2 = 1,  // L2 carrier phase, cycles (modulo 10000)
    kP2 = 2,  // P code on L2, travel time s (modulo 0.1 s)
    kC1 = 3,  // C/A code on L1, travel time s (modulo 0.1 s)
    kD1 = 4,  // L1 Doppler, Hz
    kD2 = 5,  // L2 Doppler, Hz
    kP1 = 6,  // P code on L1, travel time s (modulo 0.1 s)
    kObservationKinds = 7
};

// The measurements of one satellite at one epoch.
struct SatObservation {
    double value[kObservationKinds] = {};
    uint8_t status[4] = {};  // 0: L1 phase, 1: L2 phase, 2: L2 code block, 3: L1 code block
    uint8_t cn0 = 0;         // dB-Hz
    uint8_t antiSpoofing = 0;
    uint16_t typeMask = 0;   // bit k: value[k] present; bit 7 + k: status[k] written

    void SetValue(int k, double v) {
        value[k] = v;
        typeMask |= static_cast<uint16_t>(1u << k);
    }
    void SetStatus(int k, uint8_t s) {
        status[k & 3] = s;
        typeMask |= static_cast<uint16_t>(1u << (7 + (k & 3)));
    }
    void SetCn0(uint8_t v) { cn0 = v; }
    void SetAntiSpoofing(uint8_t v) { antiSpoofing = v; }
    bool Has(int k) const { return (typeMask >> k) & 1u; }
    uint16_t Mask() const { return typeMask; }
    bool Present() const { return typeMask != 0; }
    // Lock counter of status[k]: the low 5 bits.
    int LockCounter(int k) const { return status[k] & 0x1F; }
    // Quality indicator: top 3 bits for the phase status bytes, top 4 for the code ones.
    int Quality(int k) const { return k < 2 ? status[k] >> 5 : status[k] >> 4; }
};

// One measurement epoch of all 32 satellite slots.
struct ObservationEpoch {
    GpsTime time;
    SatObservation sat[kSatelliteCount];
    uint16_t typeMask = 0;  // OR of all satellites' masks

    ObservationEpoch() { Clear(); }
    // Sets every byte to zero.
    void Clear() { std::memset(static_cast<void*>(this), 0, sizeof(*this)); }
    SatObservation& Sat(int index) { return sat[index]; }
    const SatObservation& Sat(int index) const { return sat[index]; }
    uint16_t Mask() const { return typeMask; }
    void AddToMask(uint16_t bits) { typeMask |= bits; }
    // Reduces codes modulo 0.1 s and phases modulo 10000 cycles (remainder with the
    // sign of the dividend) for every present satellite; Dopplers untouched.
    void Normalise();
};
