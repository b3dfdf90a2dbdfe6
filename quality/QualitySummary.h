#pragma once
#include <vector>

#include "quality/PositionScatter.h"
#include "rawdata/GpsTime.h"
#include "rawdata/Observation.h"

// The figures of a quality report. A value that cannot be given (no epoch, no
// elevation, no dual-frequency arc, ...) is a NaN; the writers print it as missing.

// One satellite.
struct SatelliteQuality {
    long long epochs = 0;     // epochs with C1
    long long epochsL1 = 0;   // epochs with L1
    double elevationMin = 0;  // degrees, NaN without an elevation
    double elevationMax = 0;
    double cn0Mean = 0;       // dB-Hz, NaN without a density
    long long slipsFlagged = 0;
    long long slipsFound = 0;
    double mp1Rms = 0;        // m, NaN without an arc that counts
    double mp2Rms = 0;
    long long multipathEpochs = 0;  // epochs of the arcs that count
};

// A hole of more than kGapIntervals intervals between two written epochs.
struct QualityGap {
    GpsTime firstMissing;  // the written epoch before it plus one interval
    GpsTime lastMissing;   // the written epoch after it minus one interval
};

// MP1 of the epochs whose elevation lies in [from, to) degrees.
struct ElevationBin {
    double from = 0, to = 0;  // degrees
    long long epochs = 0;
    double mp1Rms = 0;        // m, NaN without an epoch
};

// An epoch more than this many intervals after the previous written one leaves at
// least one epoch missing between them (arcs end, no slip is looked for).
inline constexpr double kMissingEpochIntervals = 1.5;
inline constexpr double kGapIntervals = 10.0;
// Satellite directions are computed afresh at most this often, s (a satellite moves by
// less than 0.1 degree meanwhile), and at once for a satellite that appears or changes
// ephemeris.
inline constexpr double kDirectionRefresh = 10.0;
inline constexpr int kElevationBins = 18;  // 5 degrees each, 0 to 90
inline constexpr double kElevationBinWidth = 90.0 / kElevationBins;  // degrees
inline constexpr int kMinimumArcEpochs = 10;

struct QualitySummary {
    long long epochsWritten = 0;
    GpsTime firstEpoch, lastEpoch;  // GPS time; meaningful with epochsWritten > 0
    double span = 0;                // s
    double interval = 0;            // s; 0 when unknown (fewer than two epochs)
    long long epochsExpected = 0;   // span / interval + 1
    double completeness = 0;        // %, NaN without an expected epoch
    std::vector<QualityGap> gaps;   // in time order
    bool gapsTruncated = false;     // more gaps than could be kept: the longest are listed

    long long slipsFlagged = 0;
    long long slipsFound = 0;
    double mp1Rms = 0;  // m over all satellites, NaN without dual-frequency arcs
    double mp2Rms = 0;
    long long multipathEpochs = 0;
    ElevationBin mp1ByElevation[kElevationBins];

    SatelliteQuality satellites[kSatelliteCount];  // by satellite index (PRN - 1)

    int satellitesMin = 0;      // satellites per epoch
    double satellitesMean = 0;  // NaN without an epoch
    int satellitesMax = 0;
    long long epochsUnder4 = 0;

    long long epochsUnfixed = 0;
    PositionQuality position;   // position.epochsFixed == 0: no fix
};
