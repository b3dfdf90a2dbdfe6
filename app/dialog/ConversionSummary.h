#pragma once
#include <string>
#include <vector>

#include "app/dialog/MainDialog.h"
#include "app/dialog/QualityPlotter.h"
#include "convert/ConversionDriver.h"
#include "convert/ConversionRequest.h"
#include "convert/HeadlessUi.h"
#include "convert/OutputSet.h"
#include "rawdata/GpsTime.h"

// t as "YYYY-MM-DD hh:mm:ss.sssssss" (GPS time, rounded to 0.1 microsecond).
std::string FormatEpochTime(const GpsTime& t);

// How one conversion ended: the one account that a run's summary lines, its
// --json object and its row in a batch's table are all made from.
enum class RunStatus { Converted, Failed, Refused };

struct RunReport {
    ConversionRequest request;
    ConversionResult result;
    RunStatus status = RunStatus::Failed;
    std::string message;                 // why it was not converted; empty when it was
    std::vector<PlannedOutput> written;  // the files put in place, in the order of OutputSetOf
};

// The report of a run that converted (or not, with message saying why). Only a
// converted run has written files: a failed one leaves none (a file found at an
// output's path then is one of before).
RunReport MakeRunReport(const ConversionRequest& request, const ConversionResult& result, bool converted,
                        std::string message = {});

// The report of a file refused before its conversion started.
RunReport RefusedRunReport(const ConversionRequest& request, std::string reason);

// Draws the quality plots of a converted run with plotter (none: this build has no
// charts) and adds them to its written files; false with error set when none could
// be drawn.
bool PlotRun(RunReport& report, IQualityPlotter* plotter, std::string& error);

// The path of the written file of kind; empty when none was written.
std::string WrittenPath(const RunReport& report, OutputKind kind);

// Why a conversion failed, from the messages it showed: the last stop or warning
// (else the last message), one line, then the refused path with its reason when
// a path was refused; "not converted" when nothing tells.
std::string FailureText(const std::vector<HeadlessUi::Message>& messages, const PathCheckFailure& failure);

// What a person reads after a successful conversion: the output paths, one a
// line ("Observation file: ...", "Navigation file: ...", and "Log files: ..." when
// written), then one summary line with the epochs written, the satellites seen,
// the first and last epoch and the header position (latitude and longitude in
// degrees, height in metres) or "no position".
std::vector<std::string> ConversionSummaryLines(const RunReport& report);

// One line when the data's GPS week lies more than 26 weeks from the Recorded On
// date's (the data's week was used); empty otherwise.
std::string WeekNote(const ConversionResult& result);

// The lines below the success message of the window: ConversionSummaryLines with
// the quality report ("Quality report: ...") and the plots ("Plot: ...") written
// before its summary line, then the WeekNote (its first letter in upper case)
// when there is one.
std::vector<std::string> SuccessMessageLines(const RunReport& report);

// The JSON object of --json about one run (one line, no line break):
// {"source", "observation", "navigation", "log", "pos" (paths, null for a file not
// written), "status" ("ok" or "failed"), "message" (why it was not converted, else null),
// "epochs", "first", "last" (FormatEpochTime or null), "satellites" (PRNs),
// "position" ({"x", "y", "z" in m, "latitude", "longitude" in degrees, "height"
// in m} of the first fix, or null)}. extra, when not empty, is inserted before the
// closing brace as further members ("\"key\": value, ...").
std::string ConversionJson(const RunReport& report, const std::string& extra = {});
