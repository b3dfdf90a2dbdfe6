#pragma once

#include "rawdata/Ephemeris.h"
#include "rawdata/GpsTime.h"

// Position and clock of one satellite at one instant.
struct SatelliteState {
    double x = 0, y = 0, z = 0;  // ECEF, m, in the earth-fixed frame of that instant
    double clock = 0;            // s, to be added to a travel time; includes -TGD and relativity
};

// Folds a difference of seconds of week across the week boundary:
// above 302400 s minus one week; at or below -302400 s plus one week.
double FoldWeekCrossover(double d);

// Position and clock of the satellite of eph at transmission time t (GPS time; only
// its seconds of week are used). Returns false and leaves state untouched when the
// ephemeris is not valid.
bool ComputeSatelliteState(const GpsTime& t, const Ephemeris& eph, SatelliteState& state);
