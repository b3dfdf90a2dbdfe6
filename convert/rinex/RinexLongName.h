#pragma once
#include <string>
#include <string_view>

#include "rawdata/GpsTime.h"

// RINEX 3 long file names of a GPS-only receiver conversion:
// SSSSMRCCC_R_YYYYDDDHHMM_PPP_FFF_GO.rnx (observation) and
// SSSSMRCCC_R_YYYYDDDHHMM_PPP_GN.rnx (navigation, which has no frequency field).

enum class RinexFileKind { Observation, Navigation };

// The period code of a span of data (s, last epoch minus first): the shortest of
// 15M, 01H, 01D and 01Y that holds the span; 00U (unspecified) beyond a year or
// for a span that is not a number.
std::string RinexPeriodCode(double spanSeconds);

// The data frequency code of an observation interval (s): whole days, hours or
// minutes as nnD, nnH, nnM, other intervals of a second or more as nnS (nnM, nnH,
// nnD rounded when 100 s or more), shorter ones as nnZ (Hz) or nnC (100 Hz);
// 00U for an interval that is 0 (not determined), negative or not a number.
std::string RinexFrequencyCode(double intervalSeconds);

// The long file name: the first four characters of markerName in upper case
// (letters and digits only; others, and missing ones, become 'X'), monument and
// receiver "00", countryCode in upper case (three letters, else "XXX"), data
// source R, the start YYYYDDDHHMM of firstEpoch (GPS time, seconds rounded as in
// the epoch lines), the period of spanSeconds, for an observation file the
// frequency of intervalSeconds, and "GO" or "GN" with the extension ".rnx".
std::string RinexLongName(std::string_view markerName, std::string_view countryCode, const GpsTime& firstEpoch,
                          double spanSeconds, double intervalSeconds, RinexFileKind kind);
