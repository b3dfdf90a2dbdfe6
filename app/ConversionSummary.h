#pragma once
#include <string>
#include <vector>

#include "convert/ConversionDriver.h"
#include "convert/ConversionRequest.h"
#include "rawdata/GpsTime.h"

// t as "YYYY-MM-DD hh:mm:ss.sssssss" (GPS time, rounded to 0.1 microsecond).
std::string FormatEpochTime(const GpsTime& t);

// What a person reads after a successful conversion: the output paths, one a
// line ("Observation file: ...", "Navigation file: ...", and "Log files: ..." when
// written), then one summary line with the epochs written, the satellites seen,
// the first and last epoch and the header position (latitude and longitude in
// degrees, height in metres) or "no position".
std::vector<std::string> ConversionSummaryLines(const ConversionRequest& request, const ConversionResult& result);
