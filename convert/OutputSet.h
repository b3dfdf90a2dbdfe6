#pragma once
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "convert/ConversionRequest.h"

// Every file one conversion writes, and the one rule of which paths it may use.

// What an output holds.
enum class OutputKind { Observation, Navigation, Log, Positions, Quality, Plot };

struct PlannedOutput {
    OutputKind kind = OutputKind::Observation;
    std::string path;
};

// The files a conversion reads and writes.
struct OutputSet {
    std::vector<std::string> sources;    // every file read (each piece of a splice)
    std::vector<PlannedOutput> outputs;  // observation, navigation, then those beside the observation file
};

// The names of the quality plots, drawn as <observation path>.qc.<name>.png.
inline constexpr std::array<const char*, 6> kQualityPlotNames = {
    "sky", "cn0", "multipath", "satellites", "position-time", "position-scatter"};

// The files of request: its sources, and its outputs with the ".log", ".pos",
// ".qc" and plot files when they are asked for.
OutputSet OutputSetOf(const ConversionRequest& request);

// Why an output path of a set cannot be used.
struct OutputRefusal {
    PlannedOutput output;  // the output refused
    std::string reason;    // "the log file would be the source file", "is a symbolic link", ...
    bool clash = false;    // it names another file of the run (rather than an unusable path)
    bool withSource = false;  // the other file is a source
};

// The first output of set that names a source or an earlier output of the set, or
// whose path holds a symbolic link, a folder, a FIFO or a device; none when every
// output may be written.
std::optional<OutputRefusal> CheckOutputSet(const OutputSet& set);

// The name of a kind of output as messages use it ("log file", "quality plot", ...).
const char* OutputKindName(OutputKind kind);
