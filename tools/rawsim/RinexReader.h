#pragma once
#include <cstdio>
#include <string>
#include <vector>

#include "rawdata/Ephemeris.h"
#include "rawdata/GpsTime.h"
#include "rawdata/IonoUtc.h"

// Minimal readers of RINEX 2 observation and navigation files (GPS only), for turning
// real recordings into raw files.

// The observation file's header fields the simulator uses.
struct RinexObsHeader2 {
    std::vector<std::string> types;  // observation types in file order ("L1", "C1", ...)
    double position[3] = {0, 0, 0};  // APPROX POSITION XYZ, m
    double antennaHeight = 0;        // ANTENNA: DELTA H, m
    std::string markerName;
    double interval = 0;             // s, 0 when not given
};

// One observed value with its loss-of-lock indicator and signal strength digit.
struct RinexValue {
    bool present = false;
    double value = 0;
    int lli = 0;
    int ssi = 0;
};

// One satellite of an epoch: values in the order of the header's types.
struct RinexSatObs {
    int prn = 0;
    std::vector<RinexValue> values;
};

// One epoch record.
struct RinexObsEpoch {
    GpsTime time;
    int flag = 0;  // 0 or 1 for observations; 2..5 event records
    bool hasTime = true;            // false for an event record without a time
    std::vector<RinexSatObs> sats;  // GPS satellites only
    std::vector<std::string> special;  // the special records of an event record
};

// Streams the epochs of a RINEX 2 observation file one at a time.
class RinexObsReader {
public:
    RinexObsReader() = default;
    ~RinexObsReader();
    RinexObsReader(const RinexObsReader&) = delete;
    RinexObsReader& operator=(const RinexObsReader&) = delete;

    // Opens path and reads the header; false with a message on failure.
    bool Open(const std::string& path, std::string& error);
    const RinexObsHeader2& Header() const { return header_; }
    // Index of an observation type in the header's list, -1 when absent.
    int TypeIndex(const std::string& type) const;
    // Reads the next epoch; false at the end of the file.
    bool Next(RinexObsEpoch& epoch);

private:
    bool ReadLine(std::string& line);

    std::FILE* fp_ = nullptr;
    RinexObsHeader2 header_;
};

// Contents of a RINEX 2 navigation file.
struct RinexNavData {
    IonoUtc ionoUtc;           // from ION ALPHA, ION BETA, DELTA-UTC and LEAP SECONDS
    bool hasIonoUtc = false;   // both ion lines were present
    std::vector<Ephemeris> ephemerides;    // broadcast fields, valid 0, in file order
    std::vector<GpsTime> transmissionTimes;  // per ephemeris
};

// Reads a RINEX 2 GPS navigation file; false with a message on failure.
bool ReadRinexNav(const std::string& path, RinexNavData& out, std::string& error);

// GPS time of a RINEX calendar epoch (two- or four-digit year).
GpsTime RinexEpochTime(int year, int month, int day, int hour, int minute, double second);
