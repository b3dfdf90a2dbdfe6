#pragma once
// Small readers of public GNSS files for the positioning tests: RINEX 2 navigation
// and observation files and SP3-c precise orbits.
#include <string>
#include <vector>

#include "rawdata/Ephemeris.h"
#include "rawdata/GpsTime.h"
#include "rawdata/IonoUtc.h"
#include "rawdata/Observation.h"

namespace testfiles {

std::string DataPath(const std::string& name);

// Broadcast ephemerides of a RINEX 2 navigation file (derived block not filled) and
// the ionosphere coefficients of its header. False when the file cannot be read.
bool ReadRinexNav(const std::string& path, std::vector<Ephemeris>& out, IonoUtc& iono);

// One epoch of a RINEX 2 observation file: per satellite slot, the C/A code in metres,
// the L1 phase in cycles and the L1 loss-of-lock flag.
struct RinexObsEpoch {
    GpsTime time;
    bool has[kSatelliteCount] = {};
    double c1[kSatelliteCount] = {};  // m
    double l1[kSatelliteCount] = {};  // cycles
    bool lossOfLock[kSatelliteCount] = {};
};
bool ReadRinexObs(const std::string& path, std::vector<RinexObsEpoch>& out,
                  double approx[3]);

// One epoch of an SP3-c file: positions in metres, clocks in seconds.
struct Sp3Epoch {
    GpsTime time;
    bool hasPosition[kSatelliteCount] = {};
    bool hasClock[kSatelliteCount] = {};
    double x[kSatelliteCount] = {}, y[kSatelliteCount] = {}, z[kSatelliteCount] = {};
    double clock[kSatelliteCount] = {};
};
bool ReadSp3(const std::string& path, std::vector<Sp3Epoch>& out);

}  // namespace testfiles
