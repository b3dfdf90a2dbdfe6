#pragma once

// The kinds of work a conversion's time is spent on.
enum class ConversionStage {
    Framing,        // reading the source and cutting it into records
    Decode,         // the decoders' Decode* operations
    Tally,          // read-pass statistics, ephemeris store, pruning
    Positioning,    // epoch window, ephemeris selection and the position solution
    Extrapolation,  // output epoch at reception time (satellite-dated) or scaled (receiver-dated)
    Formatting,     // RINEX and log text
    Writing,        // handing text to the output files, closing them
    Progress,       // progress position and cancel poll of every record
    Other,          // the rest
};
inline constexpr int kConversionStageCount = 9;

// Told by the conversion driver each time a piece of work ends: the time since
// the previous call belongs to stage. A run without an observer pays one test of
// a null pointer per call.
class StageObserver {
public:
    virtual ~StageObserver() = default;
    // The conversion starts: the clock of the first lap starts now.
    virtual void Start() = 0;
    // The work since the previous lap (or Start) was of stage.
    virtual void Lap(ConversionStage stage) = 0;
};
