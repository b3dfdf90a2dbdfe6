#pragma once
#include <string>
#include <vector>

#include "rawdata/Ephemeris.h"
#include "rawdata/IonoUtc.h"
#include "tools/rawsim/Faults.h"
#include "tools/rawsim/FromRinex.h"
#include "tools/rawsim/RecordEncoder.h"
#include "tools/rawsim/Synthesizer.h"
#include "tools/rawsim/Truth.h"

// The simulator's entry points: one call writes one raw file and its truth.

// Where a simulation writes and what truth it keeps.
struct SimulationOutput {
    std::string rawPath;          // raw file to create; empty: bytes go to memory
    std::string* memory = nullptr;  // receives the raw bytes when rawPath is empty
    std::string truthPath;        // JSON truth file; empty: none
    int truthEpochEvery = 1;      // keep one epoch in this many in the JSON file
    Truth* truth = nullptr;       // receives the whole truth in memory (every epoch); may be null
};

// A synthetic recording.
struct SynthRequest {
    RawLayout layout = RawLayout::Binary;
    CsvOptions csv;
    SynthOptions synth;
    FaultPlan faults;
    bool useNavigation = false;       // orbits from navigation (else the nominal constellation)
    std::vector<Ephemeris> navigation;
    bool hasIonoUtc = false;          // ionoUtc given (else the nominal parameters)
    IonoUtc ionoUtc;
};

// Writes a synthetic recording; false with a message on failure.
bool RunSynth(const SynthRequest& request, const SimulationOutput& output, SynthSummary& summary,
              std::string& error);

// A raw file from a RINEX recording.
struct FromRinexRequest {
    RawLayout layout = RawLayout::Binary;
    CsvOptions csv;
    FromRinexOptions rinex;
    FaultPlan faults;
};

// Writes the raw file of a RINEX recording; false with a message on failure.
bool RunFromRinex(const FromRinexRequest& request, const SimulationOutput& output, std::string& error);

// Start time of the nominal constellation's recordings: GPS week 2300, Wednesday 00:00.
GpsTime NominalStart();

// The request of the small sample recording: the nominal constellation, 10 minutes at
// 5 s, station of the sample at the given layout, satellite- and receiver-dated epochs,
// dual frequency, events, losses of lock.
SynthRequest SampleRequest(RawLayout layout);

// Writes the sample files into directory: sample.bin (binary, "R" and "Q"), sample.csv
// (comma-separated, "R" and "Q") and sample.fix (fixed-column, "Q"), each with its
// ".truth.json". False with a message on failure.
bool WriteSample(const std::string& directory, std::string& error);
