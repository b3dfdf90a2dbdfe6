// The observation pass in two stages (reading, decoding and positioning on one
// thread; formatting and writing on another) writes what one thread writes, in
// the same order, and ends cleanly with no output when either stage stops midway.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <stdexcept>
#include <stdlib.h>

#include "convert/ObservationStage.h"
#include "convert/OutputFile.h"
#include "tests/convert/DriverTestSupport.h"
#include "tools/rawsim/Simulation.h"

using namespace drivertest;

namespace {

// A 10-minute recording at 1 Hz, dual-frequency, with events and losses of lock:
// many chunks of records go from one stage to the other.
std::string Recording(const ScratchDir& dir, bool satelliteDated) {
    SynthRequest synth = SampleRequest(RawLayout::Binary);
    synth.synth.interval = 1;
    synth.synth.receiverDated = !satelliteDated;
    synth.synth.satelliteDated = satelliteDated;
    SimulationOutput out;
    out.rawPath = dir.File(satelliteDated ? "R.RAW" : "Q.RAW");
    SynthSummary summary;
    std::string error;
    EXPECT_TRUE(RunSynth(synth, out, summary, error)) << error;
    return out.rawPath;
}

// The request of source with its outputs in dir/folder (created).
ConversionRequest RequestIn(const ScratchDir& dir, const std::string& folder, const std::string& source) {
    std::filesystem::create_directories(dir.File(folder));
    ConversionRequest r = Request(dir, source);
    r.recordingDate = NominalStart().ToDays();
    r.observationPath = dir.File(folder + "/OUT.05O");
    r.navigationPath = dir.File(folder + "/OUT.05N");
    r.creationTime = CalendarTime{2026, 12, 7, 12, 0, 0};
    return r;
}

// Every file of a folder, by name, with its bytes.
std::map<std::string, std::string> Files(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        files[entry.path().filename().string()] = ReadAll(entry.path().string());
    return files;
}

}  // namespace

TEST(ObservationStage, TwoStagesWriteWhatOneThreadWrites) {
    const struct {
        const char* what;
        bool satelliteDated;
        RinexVersion version;
        bool compressed;  // Compact RINEX, gzipped
        bool logs;        // .log, .pos and the quality report
    } cases[] = {
        {"receiver-dated RINEX 2 with log files and quality report", false, kRinex2, false, true},
        {"satellite-dated RINEX 2 with log files", true, kRinex2, false, true},
        {"receiver-dated RINEX 3, Compact RINEX gzipped", false, kRinex3, true, false},
        {"satellite-dated RINEX 4", true, kRinex4, false, false},
    };
    ScratchDir dir;
    const std::string sources[] = {Recording(dir, false), Recording(dir, true)};
    setenv("SOURCE_DATE_EPOCH", "1796644800", 1);  // the gzip header's time too
    int index = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ++index;
        std::map<std::string, std::string> written[2];
        for (const bool thread : {false, true}) {
            const std::string folder = std::to_string(index) + (thread ? "-two" : "-one");
            ConversionRequest r = RequestIn(dir, folder, sources[c.satelliteDated]);
            r.rinexVersion = c.version;
            r.hatanaka = r.gzip = c.compressed;
            r.logFile = r.quality = c.logs;
            r.formattingThread = thread;
            ConversionState state;
            ScriptedUi ui;
            const ConversionResult result = RunConversion(r, state, ui);
            ASSERT_TRUE(result.success);
            EXPECT_GE(result.epochsWritten, 590);
            written[thread] = Files(dir.File(folder));
        }
        EXPECT_EQ(written[0].size(), c.logs ? 5u : 2u);
        EXPECT_TRUE(written[0] == written[1]);
    }
    unsetenv("SOURCE_DATE_EPOCH");
}

TEST(ObservationStage, EitherStageStoppingMidwayEndsTheRunWithNoOutput) {
    const struct {
        const char* what;
        int stop;  // 0 cancel, 1 the observation file full (writing stage), 2 a read error (reading stage)
        ConversionOutcome outcome;
    } cases[] = {
        {"cancel in the middle of the observation pass", 0, ConversionOutcome::Cancelled},
        {"observation file full after 100 kB", 1, ConversionOutcome::WriteFailed},
        {"source read error in the middle of the observation pass", 2, ConversionOutcome::SourceUnreadable},
    };
    ScratchDir dir;
    const std::string source = Recording(dir, false);
    const long size = static_cast<long>(std::filesystem::file_size(source));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ConversionRequest r = RequestIn(dir, c.what, source);
        r.logFile = true;
        ConversionHooks hooks;
        if (c.stop == 1)
            hooks.newOutputFile = [&](const std::string& path) -> std::unique_ptr<CFile> {
                if (path == r.observationPath) return std::make_unique<FullDiskFile>(100000, false);
                return std::make_unique<CFile>();
            };
        int opens = 0;  // the read pass opens the source first, the observation pass second
        if (c.stop == 2)
            hooks.newSourceFile = [&](int) -> std::unique_ptr<CDataFile> {
                if (++opens == 2) return std::make_unique<FailingSource>(size / 2);
                return std::make_unique<CKBinDataFile>();
            };
        ConversionState state;
        ScriptedUi ui;
        if (c.stop == 0) ui.cancelAtPoll = 600 + 300;  // about 610 records a pass
        const ConversionResult result = RunConversion(r, state, ui, hooks);
        EXPECT_FALSE(result.success);
        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_TRUE(Files(dir.File(c.what)).empty());
    }
}

TEST(ObservationStage, WhatFormattingThrowsOnItsThreadReachesTheFirstStage) {
    ScratchDir dir;
    OutputFile file;
    ASSERT_TRUE(file.Open(dir.File("OUT.05O"), nullptr));
    RinexWriter writer = RinexWriterFor(kRinex2);
    writer.epoch = [](const RinexEpoch&, const RinexObsHeader&) -> std::string { throw std::length_error("epoch"); };
    ObservationStage stage(file, writer, true);
    stage.Header("header\n", RinexObsHeader());
    for (int i = 0; i < 1000 && !stage.Failed(); ++i) stage.Epoch(RinexEpoch());
    EXPECT_TRUE(stage.Failed());
    EXPECT_THROW(stage.Finish(), std::length_error);
    file.Discard();
}
