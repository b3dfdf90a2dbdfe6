#pragma once

#include "positioning/GeoPosition.h"
#include "positioning/LineOfSight.h"
#include "rawdata/GpsTime.h"
#include "rawdata/IonoUtc.h"

// Propagation delays of one satellite and the corrections derived from them, all
// in metres; the four corrections are to be added to a measured range.
struct PropagationCorrections {
    double ionoL1 = 0;   // L1 ionospheric delay, positive
    double tropo = 0;    // tropospheric delay, positive
    double codeL1 = 0;   // -(tropo + ionoL1)
    double phaseL1 = 0;  // ionoL1 - tropo
    double codeL2 = 0;   // -(tropo + 1.65 ionoL1)
    double phaseL2 = 0;  // 1.65 ionoL1 - tropo
};

// Tropospheric delay (m) at the station height (m) for a satellite at elevation (rad).
double TroposphereDelay(double height, double elevation);

// Broadcast single-frequency ionospheric delay on L1 (m) at time t (seconds of week
// used) for a satellite at elevation and azimuth (rad) seen from station.
double IonosphereDelay(const GpsTime& t, const GeoPosition& station, double elevation,
                       double azimuth, const IonoUtc& iono);

// Both delays and the four corrections for the satellite seen along los.
PropagationCorrections ComputeCorrections(const GpsTime& t, const GeoPosition& station,
                                          LineOfSight los, const IonoUtc& iono);
