// --splice through the built program: pieces of one recording give the outputs
// of the whole recording.
#include <gtest/gtest.h>

#include "platform/Profile.h"
#include "rawdata/DataFile.h"
#include "tests/app/ProgramRun.h"

namespace {

using namespace programrun;

const std::vector<std::string> kReproducible = {"SOURCE_DATE_EPOCH=1700000000"};

// File offsets of the satellite-dated epoch records of a binary recording: each
// begins an epoch (its receiver-dated record follows it).
std::vector<size_t> EpochOffsets(const ScopedTempDir& folder, const std::string& bytes) {
    const std::string path = folder.Write("offsets.tmp", bytes);
    CKBinDataFile file;
    std::vector<size_t> offsets;
    if (!file.Open(path, CFile::modeRead)) return offsets;
    std::vector<uint8_t> record(kRecordBufferSize + 1);
    int length = 0;
    for (int64_t start = 0;; start = file.GetPosition()) {
        const int kind = file.ReadRecord(record.data(), length);
        if (kind == kRecordEnd) break;
        if (kind == kRecordSatelliteDated) offsets.push_back(static_cast<size_t>(start));
    }
    return offsets;
}

class Splice : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.Ok());
        ASSERT_TRUE(std::filesystem::exists(kProgram)) << kProgram;
        Profile(folder.File("config/qern2rinex.ini")).WriteInt("Defaults", "Auto", 1);
    }
    ScopedTempDir folder;
};

// A recording of 40 minutes at 5 s (480 epochs of both kinds) cut at epoch
// boundaries: its pieces, in any order and overlapping or not, give the outputs of
// the whole file. Names and Recorded On come from the piece with the earliest
// epochs (algo.bin, dated like the whole file; the others a day later).
TEST_F(Splice, PiecesGiveTheOutputsOfTheWholeRecording) {
    const std::string whole = SimulatedRecording(RawLayout::Binary, GpsTime(2300, 259200.0), 40);
    const std::vector<size_t> epoch = EpochOffsets(folder, whole);
    ASSERT_EQ(epoch.size(), 480u);
    WriteDated(folder.File("whole/algo.bin"), whole);
    std::filesystem::create_directory(folder.File("ref"));
    ASSERT_EQ(RunProgram(folder, {"whole/algo.bin", "OBS:ref", "NAV:ref", "S"}, kReproducible).status, 0);
    const std::vector<std::string> names = {"ALGO0380.24N", "ALGO0380.24O"};
    ASSERT_EQ(FileNames(folder.File("ref")), names);

    // Bytes [from epoch a, to epoch b) of the whole file; b = 0: to its end, a = 0:
    // from its start.
    const auto piece = [&](size_t a, size_t b) {
        const size_t begin = a == 0 ? 0 : epoch[a];
        return whole.substr(begin, (b == 0 ? whole.size() : epoch[b]) - begin);
    };
    struct Case {
        const char* name;
        std::vector<std::pair<size_t, size_t>> pieces;  // epoch ranges, the first one earliest
        std::vector<int> order;                         // of the pieces on the command line
    };
    const Case cases[] = {
        {"three pieces", {{0, 160}, {160, 320}, {320, 0}}, {0, 1, 2}},
        {"three pieces out of order", {{0, 160}, {160, 320}, {320, 0}}, {2, 0, 1}},
        {"ten minutes of overlap", {{0, 300}, {180, 0}}, {1, 0}},  // epochs 180 to 299: minutes 15 to 25
        {"a piece within another", {{0, 0}, {100, 200}}, {1, 0}},
    };
    for (const Case& c : cases) {
        std::filesystem::remove_all(folder.File("out"));
        std::filesystem::create_directory(folder.File("out"));
        std::vector<std::string> paths;
        for (size_t k = 0; k < c.pieces.size(); ++k)
            paths.push_back(WriteDated(folder.File(std::string(c.name) + "/" + (k == 0 ? "algo" : "zulu" + std::to_string(k)) + ".bin"),
                                       piece(c.pieces[k].first, c.pieces[k].second), k == 0 ? 0 : 1));
        std::vector<std::string> arguments = {"--splice", "OBS:out", "NAV:out", "S"};
        for (int k : c.order) arguments.push_back(paths[k]);
        const RunResult r = RunProgram(folder, arguments, kReproducible);
        EXPECT_EQ(r.status, 0) << c.name << r.err;
        EXPECT_EQ(FileNames(folder.File("out")), names) << c.name;
        for (const std::string& name : names)
            EXPECT_TRUE(ReadAll(folder.File("out/" + name)) == ReadAll(folder.File("ref/" + name))) << c.name << " " << name;
    }
}

// Files of two formats are refused before anything is written, and so is a file
// that cannot be read.
TEST_F(Splice, UnsuitableFilesAreRefusedBeforeAnythingIsWritten) {
    WriteDated(folder.File("a.bin"), SimulatedRecording(RawLayout::Binary, GpsTime(2300, 259200.0), 5));
    WriteDated(folder.File("b.csv"), SimulatedRecording(RawLayout::AsciiCsv, GpsTime(2300, 259500.0), 5));
    std::filesystem::create_directory(folder.File("out"));
    const std::string profile = ReadAll(folder.File("config/qern2rinex.ini"));
    struct Case {
        std::vector<std::string> arguments;
        int status;
        std::string err;
    };
    const Case cases[] = {
        {{"--splice", "OBS:out", "NAV:out", "S", "a.bin", "b.csv"},
         1,
         "qern2rinex: cannot splice files of two formats: a.bin is binary, b.csv is ASCII\n"},
        {{"--splice", "a.bin", "missing.bin", "S"}, 1, "qern2rinex: cannot splice missing.bin: no such file\n"},
        {{"--splice", "OBS:out", "S"}, 2, "qern2rinex: --splice needs the raw data files to join\n"},
    };
    for (const Case& c : cases) {
        const RunResult r = RunProgram(folder, c.arguments, kReproducible);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.err, c.err);
        EXPECT_TRUE(FileNames(folder.File("out")).empty());
        EXPECT_EQ(ReadAll(folder.File("config/qern2rinex.ini")), profile);
    }
}

}  // namespace
