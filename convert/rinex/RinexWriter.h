#pragma once
#include <string>
#include <string_view>

#include "convert/rinex/RinexEpoch.h"
#include "convert/rinex/RinexNav.h"
#include "convert/rinex/RinexObsHeader.h"

// The text producers of one RINEX version. The driver picks one per conversion
// (RinexWriterFor) and writes every header and record through it, so that no
// version test is spread over the passes. Each returns text with CR LF line ends.
struct RinexWriter {
    int version;  // 2, 3 or 4
    // The observation header of h.
    std::string (*obsHeader)(const RinexObsHeader& h);
    // One observation record with the observation types of h (type mask and, in
    // RINEX 3, the carrier-to-noise mask).
    std::string (*epoch)(const RinexEpoch& epoch, const RinexObsHeader& h);
    // Event records: new antenna height (m), new site and start of kinematic data
    // (position in m), external event dated eventTime.
    std::string (*antennaHeight)(double height);
    std::string (*newSite)(std::string_view siteName, double x, double y, double z);
    std::string (*kinematic)(std::string_view markerName, double x, double y, double z);
    std::string (*event)(const GpsTime& eventTime);
    // The navigation header and the record of one ephemeris.
    std::string (*navHeader)(const RinexNavHeader& header);
    std::string (*navRecord)(const Ephemeris& eph);
    // The records written between the navigation header and the ephemerides
    // (RINEX 4: the ionosphere and UTC message; empty for RINEX 2 and 3).
    std::string (*navMessages)(const RinexNavHeader& header);
};

// The RINEX 3.04 writer for version 3, the RINEX 4.01 writer for version 4, the
// RINEX 2 writer for any other value.
const RinexWriter& RinexWriterFor(int version);
