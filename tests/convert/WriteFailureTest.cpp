// Outputs that cannot be written whole: every failure of an output asked for ends
// the conversion as a failure that names the file and the system's reason, and
// leaves the files of an earlier run as they were.
#include <gtest/gtest.h>

#include <cerrno>
#include <map>
#include <unistd.h>

#include "platform/TempFile.h"

#include "convert/StringTable.h"
#include "tests/convert/DriverTestSupport.h"
#include "tools/rawsim/Constellation.h"
#include "tools/rawsim/Simulation.h"

using namespace drivertest;

namespace {


// A receiver-dated recording at the nominal constellation's start with four
// ephemerides: dir/SRC.RAW.
std::string Recording(const ScratchDir& dir) {
    const GpsTime start = NominalStart();
    NominalConstellation constellation(start);
    RawFile raw(dir.File("SRC.RAW"));
    for (int k = 0; k < 4; ++k) raw.AddEphemeris(constellation.EphemerisAt(NominalConstellation::Prns()[k], start));
    for (int i = 0; i < 20; ++i) {
        SimEpoch e = Epoch('Q', 0.0);
        e.time = start.AddSeconds(30.0 * i);
        raw.Add(e);
    }
    raw.Close();
    return dir.File("SRC.RAW");
}

ConversionRequest RequestFor(const ScratchDir& dir) {
    ConversionRequest r = Request(dir, Recording(dir));
    r.recordingDate = NominalStart().ToDays();
    return r;
}

}  // namespace

// Every file of dir, by name, with its content.
std::map<std::string, std::string> Contents(const ScratchDir& dir) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(dir.File("")))
        files[entry.path().filename().string()] = ReadAll(entry.path().string());
    return files;
}

TEST(WriteFailure, AnyOutputThatCannotBeWrittenFailsTheRunAndKeepsTheEarlierFiles) {
    const struct {
        const char* where;
        const char* suffix;  // of the failing output's path: "O" observation, "N" navigation, ".log", ...
        long limit;          // bytes taken before the disk is full; -1 no limit
        bool failClose;
        bool compressed = false;  // Compact RINEX + gzip, written on their own thread
    } cases[] = {
        {"observation header", "O", 0, false},   {"observation epoch", "O", 2500, false},
        {"observation close", "O", -1, true},    {"navigation header", "N", 0, false},
        {"navigation record", "N", 900, false},  {"navigation close", "N", -1, true},
        {"log", ".log", 100, false},             {"positions", ".pos", -1, true},
        {"quality report", ".qc", 10, false},
        {"compressed observation header", "O", 0, false, true},
        {"compressed observation close", "O", -1, true, true},
        {"compressed navigation header", "N", 0, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.where);
        ScratchDir dir;
        ConversionRequest request = RequestFor(dir);
        request.logFile = true;
        request.quality = true;
        request.hatanaka = request.gzip = c.compressed;
        ConversionState first;
        ScriptedUi firstUi;
        ASSERT_TRUE(RunConversion(request, first, firstUi).success);
        const std::map<std::string, std::string> before = Contents(dir);
        ConversionHooks hooks;
        std::string failed;
        hooks.newOutputFile = [&](const std::string& path) -> std::unique_ptr<CFile> {
            const bool failing = path.ends_with(c.suffix);
            if (failing) failed = path;
            return std::make_unique<FullDiskFile>(failing ? c.limit : -1, failing && c.failClose);
        };
        ConversionState state;
        ScriptedUi ui;
        const ConversionResult r = RunConversion(request, state, ui, hooks);
        EXPECT_FALSE(r.success);
        EXPECT_EQ(r.outcome, ConversionOutcome::WriteFailed);
        EXPECT_EQ(r.failedPath, failed);
        EXPECT_EQ(r.failureReason, "No space left on device");
        EXPECT_FALSE(r.logWritten);
        ASSERT_EQ(ui.Messages().size(), 1u);
        EXPECT_EQ(ui.Messages()[0].text, "Unable to write file\n\n" + failed + "\n\nNo space left on device !");
        EXPECT_TRUE(Contents(dir) == before);  // byte-identical, and no temporary file left
    }
}

TEST(WriteFailure, LogFilesThatCannotBeWrittenFailTheRun) {
    ScratchDir dir;
    ConversionRequest request = RequestFor(dir);
    request.logFile = true;
    std::filesystem::create_directory(request.observationPath + ".pos");  // cannot be opened as a file
    ConversionState state;
    ScriptedUi ui;
    const ConversionResult r = RunConversion(request, state, ui);
    EXPECT_FALSE(r.success);
    EXPECT_FALSE(r.logWritten);
    EXPECT_EQ(r.failedPath, request.observationPath + ".pos");
    EXPECT_EQ(r.failureReason, "is a folder");
    EXPECT_FALSE(Exists(request.observationPath));
}

// Two runs never write one output: the second fails at once, naming the file and
// the process of the first.
TEST(WriteFailure, AnOutputAnotherRunWritesIsRefused) {
    ScratchDir dir;
    ConversionRequest request = RequestFor(dir);
    request.logFile = true;
    OutputLock other;
    int error = 0;
    long holder = 0;
    ASSERT_TRUE(LockOutput(request.observationPath + ".pos", other, error, holder));
    ConversionState state;
    ScriptedUi ui;
    const ConversionResult r = RunConversion(request, state, ui);
    UnlockOutput(other);
    EXPECT_EQ(r.failedPath, request.observationPath + ".pos");
    EXPECT_EQ(r.failureReason, "being written by another run (process " + std::to_string(getpid()) + ")");
    EXPECT_FALSE(Exists(request.observationPath));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.File("")), {}), 1);  // the source alone
}

// Outputs that would overwrite the source: refused before anything is opened for
// writing, whatever the caller checked before.
TEST(WriteFailure, OutputsNamingTheSourceAreRefusedBeforeWriting) {
    const struct {
        const char* obs;
        const char* nav;
    } cases[] = {{"SRC.RAW", "OUT.N"}, {"OUT.O", "SRC.RAW"}, {"SRC", "OUT.N"} /* SRC.pos */,
                 {"OUT.O", "OUT.O.log"}, {"sub/../OUT.O", "OUT.O.POS"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.obs) + " " + c.nav);
        ScratchDir dir;
        ConversionRequest request = RequestFor(dir);
        std::filesystem::rename(request.sourcePath, dir.File(std::string(c.obs) == "SRC" ? "SRC.pos" : "SRC.RAW"));
        request.sourcePath = dir.File(std::string(c.obs) == "SRC" ? "SRC.pos" : "SRC.RAW");
        request.observationPath = dir.File(c.obs);
        request.navigationPath = dir.File(c.nav);
        request.logFile = true;
        const std::string before = ReadAll(request.sourcePath);
        ConversionState state;
        ScriptedUi ui;
        const ConversionResult r = RunConversion(request, state, ui);
        EXPECT_EQ(r.outcome, ConversionOutcome::SameFile);
        EXPECT_EQ(ui.MessageIds(), (std::vector<int>{kStrFilesMustDiffer}));
        EXPECT_EQ(ReadAll(request.sourcePath), before);
    }
}
