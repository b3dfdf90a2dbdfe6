#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "convert/ConversionRequest.h"
#include "convert/ConversionStage.h"
#include "convert/ConversionState.h"
#include "convert/ConversionUi.h"
#include "platform/File.h"
#include "quality/QualitySeries.h"
#include "rawdata/DataFile.h"
#include "quality/QualitySummary.h"
#include "rawdata/GpsTime.h"

// How a conversion ended.
enum class ConversionOutcome {
    Success,
    SourceUnreadable,         // 127
    ObservationNotCreated,    // 128
    NavigationNotCreated,     // 129
    InsufficientData,         // 130
    NoEpochWritten,           // 135
    WriteFailed,              // 138: an observation or navigation file could not be written
    SameFile,                 // 118: an output would overwrite the source or another output
    Cancelled,                // 122 (progress window's Cancel)
    QuestionCancelled,        // raw-data kind or position question cancelled; no message
};

struct ConversionResult {
    bool success = false;
    ConversionOutcome outcome = ConversionOutcome::Success;
    int messageId = 0;        // string id of the message that reports the outcome, 0 when none
    int epochsWritten = 0;    // observation records written
    int epochsPositioned = 0; // accepted epochs with a fix of their own
    int ephemeridesWritten = 0;
    // WriteFailed: the output that could not be written (nothing is published)
    // and the system's reason.
    std::string failedPath;
    std::string failureReason;
    // The GPS week of the first observation that carries a full one (-1 when none
    // did, or when it is the Recorded On week), and that of the Recorded On date.
    int dataWeek = -1;
    int recordedWeek = -1;
    bool logWritten = false;  // the ".log" and ".pos" files were written (and published)
    // Written epochs (when epochsWritten > 0): the first and last epoch time, and
    // the satellites with values in any of them (bit k: PRN k + 1).
    GpsTime firstEpoch;
    GpsTime lastEpoch;
    uint32_t satellites = 0;
    // The header's APPROX POSITION XYZ (m) when it holds a position: a fix, or one
    // a person typed; false when it holds only the default nobody answered.
    bool headerPositionKnown = false;
    double headerX = 0, headerY = 0, headerZ = 0;
    // The first position the solution computed (m), when there was one.
    bool fixKnown = false;
    double fixX = 0, fixY = 0, fixZ = 0;
    // With a quality request, after the observation pass: the statistics of the
    // written epochs, their plot series, and whether the ".qc" report was written.
    std::optional<QualitySummary> quality;
    std::optional<QualitySeries> qualitySeries;
    bool qualityWritten = false;
};

// Optional services of a conversion for tests and benchmarks; the defaults are
// those of a normal run.
struct ConversionHooks {
    StageObserver* stages = nullptr;  // told when each piece of work ends
    // Makes the file object of each output, given its final path (empty: a plain CFile).
    std::function<std::unique_ptr<CFile>(const std::string& path)> newOutputFile;
    // Makes the raw data file object of each pass over the source (empty: the format's own).
    std::function<std::unique_ptr<CDataFile>(int formatIndex)> newSourceFile;
};

// Converts the raw data file of a request into a RINEX observation and a RINEX
// navigation file in three passes (read, observation, navigation), reporting
// progress, messages and questions through ui. A silent request asks no question
// (the preselected answers are taken) and shows no success message; failures are
// always handed to ui, which a silent run gets as a HeadlessUi. Every output is
// written under a temporary name beside its final one and all are renamed into
// place together at the end of a successful run (the observation file last): a
// failure, a cancel or a stop signal (platform/StopSignal.h) leaves the files of
// before as they were. An output asked for that cannot be written fails the run.
ConversionResult RunConversion(const ConversionRequest& request, ConversionState& state, ConversionUi& ui,
                               const ConversionHooks& hooks = {});
