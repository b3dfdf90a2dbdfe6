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

// One line when the data's GPS week lies more than 26 weeks from the Recorded On
// date's (the data's week was used); empty otherwise.
std::string WeekNote(const ConversionResult& result);

// The lines below the success message of the window: ConversionSummaryLines with
// the quality report ("Quality report: ...") when written and each of plots
// ("Plot: ...") before its summary line, then the WeekNote (its first letter in
// upper case) when there is one.
std::vector<std::string> SuccessMessageLines(const ConversionRequest& request, const ConversionResult& result,
                                             const std::vector<std::string>& plots = {});

// The JSON object of --json about one run (one line, no line break):
// {"source", "observation", "navigation", "log", "pos" (paths, null for a file not
// written), "status" ("ok" or "failed"), "message" (the failure's text, else null),
// "epochs", "first", "last" (FormatEpochTime or null), "satellites" (PRNs),
// "position" ({"x", "y", "z" in m, "latitude", "longitude" in degrees, "height"
// in m} of the first fix, or null)}. extra, when not empty, is inserted before the
// closing brace as further members ("\"key\": value, ...").
std::string ConversionJson(const ConversionRequest& request, const ConversionResult& result, bool ok,
                           const std::string& message, const std::string& extra = {});
