#pragma once

#include "positioning/GeoPosition.h"
#include "positioning/SatelliteState.h"

// Direction and distance from the station to one satellite.
struct LineOfSight {
    double elevation = 0;  // rad
    double azimuth = 0;    // rad in [0, 2 pi), clockwise from north
    double up = 0, north = 0, east = 0;  // unit vector station -> satellite, local frame
    double range = 0;      // geometric distance, m, with the earth's rotation during travel
};

// Line of sight from station to sat. The station is carried back by the earth's
// rotation during the signal's travel into the frame of the transmission instant
// (two passes from a 22500 km start).
LineOfSight ComputeLineOfSight(const GeoPosition& station, const SatelliteState& sat);

// The range of ComputeLineOfSight alone (the same passes), without the direction.
double GeometricRange(const GeoPosition& station, const SatelliteState& sat);
