#pragma once
#include <string>

#include "convert/rinex/RinexEpoch.h"
#include "rawdata/GpsTime.h"
#include "rawdata/Observation.h"

// ".log" header line of the long (with L2) or short variant.
std::string LogHeaderLine(bool longVariant);
// The ".log" lines of one written epoch: the header line when first is set, then
// one line per satellite whose raw epoch holds C1, in satellite order, with the
// raw values (raw units) next to the written ones. clockOffset (s) is the receiver
// clock offset used for satellite-dated data, 0 for receiver-dated data.
std::string LogLines(const ObservationEpoch& raw, double clockOffset, const RinexEpoch& output,
                     bool longVariant, bool first);

// ".pos" header line.
std::string PositionHeaderLine();
// The ".pos" line of one written epoch (after its header line when first is set):
// seconds of week of the solution time, its X, Y, Z (m) and clock offset (s).
std::string PositionLine(const GpsTime& solutionTime, double x, double y, double z, double clock,
                         bool first);
