#pragma once
// Measurement epochs synthesised from broadcast ephemerides for a known station and
// receiver clock, in both raw-data kinds, with the propagation delays of the models.
#include "positioning/GeoPosition.h"
#include "rawdata/Ephemeris.h"
#include "rawdata/IonoUtc.h"
#include "rawdata/Observation.h"

namespace testsky {

struct Sky {
    GeoPosition station;
    const Ephemeris* ephemerides = nullptr;  // 32, prepared and valid where usable
    IonoUtc iono;
    double clockOffset = 0.0;   // receiver clock minus GPS time at clockEpoch, s
    double clockDrift = 0.0;    // s/s
    GpsTime clockEpoch;
    double minElevation = 0.0;  // rad; lower satellites are left out
    bool delays = true;         // add troposphere and ionosphere to the ranges
    uint8_t cn0 = 45;

    // Receiver clock offset (s) at GPS time t.
    double ReceiverClock(const GpsTime& t) const {
        return clockOffset + clockDrift * t.Difference(clockEpoch);
    }
};

// Epoch received at GPS time tGps, tagged with the receiver's clock: C1 the full travel
// time (s), L1 cycles, D1 the range rate in Hz.
ObservationEpoch ReceiverDated(const Sky& sky, const GpsTime& tGps);

// Epoch of signals all sent at satellite time T, tagged T: C1 the travel time from the
// satellite clock to the receiver clock modulo 0.1 s, L1 cycles, D1 Hz.
ObservationEpoch SatelliteDated(const Sky& sky, const GpsTime& T);

}  // namespace testsky
