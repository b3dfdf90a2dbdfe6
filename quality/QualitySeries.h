#pragma once
#include <vector>

#include "rawdata/GpsTime.h"

// The decimated series behind the quality plots. Times are seconds from the first
// written epoch; a value that is not known is a NaN.

// One satellite at one sampled epoch: its place in the sky, its density and multipath.
struct SatelliteSample {
    double time = 0;       // s
    int satellite = 0;     // index, PRN - 1
    double azimuth = 0;    // degrees clockwise from north
    double elevation = 0;  // degrees
    double cn0 = 0;        // dB-Hz
    double mp1 = 0;        // m, arc mean removed; NaN outside an arc that counts
    double mp2 = 0;
};

// A cycle slip (kept separately, so that no slip is lost to the sampling of epochs).
struct SlipSample {
    double time = 0;  // s
    int satellite = 0;
    double azimuth = 0;    // degrees
    double elevation = 0;  // degrees
    bool flagged = false;  // loss of lock flagged in the file
    bool found = false;    // jump found in the data
};

// One sampled epoch: satellites in view and the fix as north, east, up from the mean
// of all fixes (NaN when the epoch has no fix).
struct EpochSample {
    double time = 0;  // s
    int satellites = 0;
    double north = 0, east = 0, up = 0;  // m
};

struct QualitySeries {
    GpsTime origin;  // time of the first written epoch
    std::vector<SatelliteSample> satellites;
    std::vector<SlipSample> slips;
    std::vector<EpochSample> epochs;
};
