// --batch through the built program: outputs, file indices, failures, exit
// statuses and the lines it prints.
#include <gtest/gtest.h>

#include "platform/Profile.h"
#include "tests/app/ProgramRun.h"

namespace {

using namespace programrun;

const std::vector<std::string> kReproducible = {"SOURCE_DATE_EPOCH=1700000000"};

class BatchRun : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.Ok());
        ASSERT_TRUE(std::filesystem::exists(kProgram)) << kProgram;
    }
    // A profile with automatic naming on or off.
    void WriteProfile(bool autoNaming) {
        Profile p(folder.File("config/qern2rinex.ini"));
        p.WriteInt("Defaults", "Auto", autoNaming ? 1 : 0);
        p.WriteString("Defaults", "Observer", "ROBOT");
    }
    std::string Read(const std::string& name) const { return ReadAll(folder.File(name)); }
    ScopedTempDir folder;
};

// Three recordings of one day that differ in start, length and content, at
// 7 February 2024 (GPS week 2300, day 3).
void WriteRecordings(const ScopedTempDir& folder) {
    WriteDated(folder.File("alfa.bin"), SimulatedRecording(RawLayout::Binary, GpsTime(2300, 259200.0), 10));
    WriteDated(folder.File("brvo.bin"), SimulatedRecording(RawLayout::Binary, GpsTime(2300, 266400.0), 15, false));
    WriteDated(folder.File("chrl.bin"), SimulatedRecording(RawLayout::Binary, GpsTime(2300, 273600.0), 5));
}

// Every file of a batch is converted as a silent run converts it alone, whatever
// the number of conversions at a time, and the profile is left as it was.
TEST_F(BatchRun, OutputsAreThoseOfSingleSilentRuns) {
    WriteProfile(true);
    WriteRecordings(folder);
    const std::string profileBefore = Read("config/qern2rinex.ini");
    const std::vector<std::string> files = {"alfa.bin", "brvo.bin", "chrl.bin"};
    for (const char* jobs : {"1", "2"}) {
        const std::string dir = std::string("jobs") + jobs;
        std::filesystem::create_directory(folder.File(dir));
        std::vector<std::string> arguments = {"--batch", "--jobs", jobs, "--output-dir", dir};
        arguments.insert(arguments.end(), files.begin(), files.end());
        const RunResult r = RunProgram(folder, arguments, kReproducible);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err, "");
        EXPECT_NE(r.out.find("brvo.bin  ok           179  " + folder.File(dir + "/BRVO0380.24O")), std::string::npos)
            << r.out;
        EXPECT_NE(r.out.find("3 of 3 files converted"), std::string::npos) << r.out;
        EXPECT_EQ(Read("config/qern2rinex.ini"), profileBefore) << "a batch never writes the profile";
    }
    std::filesystem::create_directory(folder.File("single"));
    for (const std::string& file : files)
        ASSERT_EQ(RunProgram(folder, {file, "OBS:single", "NAV:single", "S"}, kReproducible).status, 0) << file;
    const std::vector<std::string> names = FileNames(folder.File("single"));
    ASSERT_EQ(names, (std::vector<std::string>{"ALFA0380.24N", "ALFA0380.24O", "BRVO0380.24N", "BRVO0380.24O",
                                               "CHRL0380.24N", "CHRL0380.24O"}));
    for (const char* dir : {"jobs1", "jobs2"}) {
        EXPECT_EQ(FileNames(folder.File(dir)), names);
        for (const std::string& name : names)
            EXPECT_TRUE(Read(std::string(dir) + "/" + name) == Read("single/" + name)) << dir << "/" << name;
    }
}

// Files of one site and day take file indices 0 to 9 in the order given; a file
// with no name left, or without automatic naming any second file of one name, is
// refused with both sources named, and the others are still converted.
TEST_F(BatchRun, FilesOfOneSiteAndDayTakeTheNextFileIndex) {
    const std::string recording = SimulatedRecording(RawLayout::Binary, GpsTime(2300, 259200.0), 2);
    struct Case {
        bool autoNaming;
        int files;
        std::vector<std::string> outputs;  // in folder out, sorted
        std::string refusal;               // standard error
    };
    const Case cases[] = {
        {true, 11,
         {"ALGO0380.24N", "ALGO0380.24O", "ALGO0381.24N", "ALGO0381.24O", "ALGO0382.24N", "ALGO0382.24O",
          "ALGO0383.24N", "ALGO0383.24O", "ALGO0384.24N", "ALGO0384.24O", "ALGO0385.24N", "ALGO0385.24O",
          "ALGO0386.24N", "ALGO0386.24O", "ALGO0387.24N", "ALGO0387.24O", "ALGO0388.24N", "ALGO0388.24O",
          "ALGO0389.24N", "ALGO0389.24O"},
         "qern2rinex: d10/algo.bin: refused: OUT/ALGO0389.24O is already the output of d9/algo.bin (no file index "
         "left)\n"},
        {false, 2, {"algo.EPH", "algo.RNX"},
         "qern2rinex: d1/algo.bin: refused: OUT/algo.RNX is already the output of d0/algo.bin\n"},
    };
    for (const Case& c : cases) {
        std::filesystem::remove_all(folder.File("out"));
        std::filesystem::create_directory(folder.File("out"));
        WriteProfile(c.autoNaming);
        std::vector<std::string> arguments = {"--batch", "--output-dir", "out"};
        for (int i = 0; i < c.files; ++i) {
            const std::string name = "d" + std::to_string(i) + "/algo.bin";
            WriteDated(folder.File(name), recording);
            arguments.push_back(name);
        }
        const RunResult r = RunProgram(folder, arguments);
        EXPECT_EQ(r.status, 1);
        std::string err = r.err;
        const size_t out = err.find(folder.File("out"));
        if (out != std::string::npos) err.replace(out, folder.File("out").size(), "OUT");
        EXPECT_EQ(err, c.refusal);
        EXPECT_EQ(FileNames(folder.File("out")), c.outputs);
        EXPECT_NE(r.out.find("d" + std::to_string(c.files - 1) + "/algo.bin  refused        0  -"), std::string::npos)
            << r.out;
    }
}

// Automatic names never replace a file on disk: a later batch or single run of
// the same site and day takes the next file index, unless --overwrite.
TEST_F(BatchRun, AutomaticNamesKeepTheFilesOfEarlierRuns) {
    WriteProfile(true);
    WriteDated(folder.File("d0/algo.bin"), SimulatedRecording(RawLayout::Binary, GpsTime(2300, 259200.0), 2));
    WriteDated(folder.File("d1/algo.bin"), SimulatedRecording(RawLayout::Binary, GpsTime(2300, 266400.0), 3));
    std::filesystem::create_directory(folder.File("out"));
    const std::vector<std::string> runs[] = {
        {"--batch", "--output-dir", "out", "d0/algo.bin"},                  // index 0
        {"--batch", "--output-dir", "out", "d0/algo.bin"},                  // 1
        {"d1/algo.bin", "OBS:out", "NAV:out", "S"},                          // 2
        {"d0/algo.bin", "OBS:out", "NAV:out", "S"},                          // 3
        {"--batch", "--overwrite", "--output-dir", "out", "d0/algo.bin"},   // 0 again
        {"d1/algo.bin", "OBS:out", "NAV:out", "S", "--overwrite"},           // 0 again
    };
    for (const std::vector<std::string>& run : runs)
        ASSERT_EQ(RunProgram(folder, run, kReproducible).status, 0) << run[0];
    EXPECT_EQ(FileNames(folder.File("out")),
              (std::vector<std::string>{"ALGO0380.24N", "ALGO0380.24O", "ALGO0381.24N", "ALGO0381.24O",
                                        "ALGO0382.24N", "ALGO0382.24O", "ALGO0383.24N", "ALGO0383.24O"}));
    EXPECT_TRUE(Read("out/ALGO0380.24O") == Read("out/ALGO0382.24O"));  // both of d1
    EXPECT_TRUE(Read("out/ALGO0381.24O") == Read("out/ALGO0383.24O"));  // both of d0
    EXPECT_FALSE(Read("out/ALGO0381.24O") == Read("out/ALGO0382.24O"));
}

// A damaged or missing file fails alone; the exit status tells whether every
// file was converted, and a misused command line converts nothing.
TEST_F(BatchRun, FailuresAndExitStatuses) {
    WriteRecordings(folder);
    folder.Write("junk.bin", std::string("\xfe\x51 not a record \xff garbage", 24));
    struct Case {
        std::vector<std::string> arguments;
        int status;
        std::string errStart;  // the beginning of standard error
    };
    const Case cases[] = {
        {{"--batch", "alfa.bin", "brvo.bin", "S"}, 0, ""},
        {{"--batch", "--jobs", "2", "alfa.bin", "junk.bin", "missing.bin", "chrl.bin"},
         1,
         "qern2rinex: junk.bin: Data founds in source file : 0 Records, 0 Ephemeris, 0 Iono UTC data, are not "
         "sufficient to complete operation !\nqern2rinex: missing.bin: Please enter a valid file name ! (source path "
         "missing.bin: No such file or directory)\n"},
        {{"--batch"}, 2, "qern2rinex: --batch needs the raw data files to convert\n"},
        {{"--batch", "alfa.bin", "OBS:x.o"}, 2, "qern2rinex: a batch names its outputs itself"},
        {{"--batch", "--jobs", "0", "alfa.bin"}, 2, "qern2rinex: --jobs needs a whole number from 1 to 256"},
        {{"--jobs", "2", "alfa.bin", "S"}, 2, "qern2rinex: --jobs goes with --batch only"},
        {{"--batch", "--splice", "alfa.bin"}, 2, "qern2rinex: --batch and --splice do not go together"},
        {{"--batch", "--output-dir", "nowhere", "alfa.bin"}, 1, "qern2rinex: --output-dir nowhere: no such folder\n"},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(folder.File("config/qern2rinex.ini"));
        const RunResult r = RunProgram(folder, c.arguments);
        EXPECT_EQ(r.status, c.status) << c.arguments[1] << r.err;
        EXPECT_EQ(r.err.substr(0, c.errStart.size()), c.errStart) << r.err;
        EXPECT_FALSE(std::filesystem::exists(folder.File("config/qern2rinex.ini")));
        if (c.status == 1 && c.arguments.size() > 4) {
            EXPECT_NE(r.out.find("2 of 4 files converted"), std::string::npos) << r.out;
        }
    }
    // Outputs in the profile's folder (here the current one), named by the title.
    EXPECT_TRUE(std::filesystem::exists(folder.File("chrl.RNX")));
    EXPECT_TRUE(std::filesystem::exists(folder.File("chrl.EPH")));
}

// With --json each file gets the single run's JSON object, one a line, in the
// order given.
TEST_F(BatchRun, JsonLinesOnePerFile) {
    WriteRecordings(folder);
    folder.Write("junk.bin", "no records\n");
    const RunResult r = RunProgram(folder, {"--batch", "--json", "brvo.bin", "junk.bin"});
    EXPECT_EQ(r.status, 1);
    std::istringstream lines(r.out);
    std::string first, second, rest;
    std::getline(lines, first);
    std::getline(lines, second);
    EXPECT_FALSE(std::getline(lines, rest));
    EXPECT_EQ(first.rfind("{\"source\": \"brvo.bin\", \"observation\": \"", 0), 0u) << first;
    EXPECT_NE(first.find("\"status\": \"ok\", \"message\": null, \"epochs\": 179, \"first\": \"2024-02-07 02:00:05.0000000\""),
              std::string::npos)
        << first;
    EXPECT_EQ(second.rfind("{\"source\": \"junk.bin\", \"observation\": null, \"navigation\": null, \"log\": null, "
                           "\"pos\": null, \"status\": \"failed\", \"message\": \"Data founds in",
                           0),
              0u)
        << second;
}

}  // namespace

namespace {

// scripts/parallel-batch.sh with this computer as the only one: four files give
// the outputs of --batch.
TEST(ParallelBatch, OnThisComputerGivesTheOutputsOfBatch) {
    if (std::system("command -v parallel >/dev/null 2>&1") != 0) GTEST_SKIP() << "GNU Parallel is not installed";
    ScopedTempDir folder;
    ASSERT_TRUE(folder.Ok());
    Profile(folder.File("config/qern2rinex.ini")).WriteInt("Defaults", "Auto", 1);
    WriteRecordings(folder);
    WriteDated(folder.File("raw/dlta.bin"), SimulatedRecording(RawLayout::Binary, GpsTime(2300, 280800.0), 5));
    folder.Write("list.txt", "alfa.bin\nbrvo.bin\n\nchrl.bin\n" + folder.File("raw/dlta.bin") + "\n");
    std::filesystem::create_directory(folder.File("batch"));
    std::filesystem::create_directory(folder.File("spread"));
    ASSERT_EQ(RunProgram(folder, {"--batch", "--output-dir", "batch", "alfa.bin", "brvo.bin", "chrl.bin", "raw/dlta.bin"},
                         kReproducible)
                  .status,
              0);
    const std::string command = "cd " + folder.Path() + " && SOURCE_DATE_EPOCH=1700000000 XDG_CONFIG_HOME=" +
                                folder.File("config") + " bash " + QERN_SOURCE_DIR + "/scripts/parallel-batch.sh -o spread -p " +
                                kProgram + " list.txt >parallel.out 2>parallel.err";
    EXPECT_EQ(std::system(command.c_str()), 0) << ReadAll(folder.File("parallel.err"));
    const std::vector<std::string> names = FileNames(folder.File("batch"));
    EXPECT_EQ(names.size(), 8u);
    EXPECT_EQ(FileNames(folder.File("spread")), names);
    for (const std::string& name : names)
        EXPECT_TRUE(ReadAll(folder.File("spread/" + name)) == ReadAll(folder.File("batch/" + name))) << name;
}

}  // namespace
