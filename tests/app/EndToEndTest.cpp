// Runs the built qern2rinex program the way a batch job does.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <algorithm>
#include <map>
#include <sys/stat.h>
#include <filesystem>

#include "platform/Profile.h"
#include "tests/app/ProgramRunner.h"
#include "tests/platform/TempDir.h"
#include "tests/support/CompactRinexReader.h"

namespace {

using namespace programtest;

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.Ok());
        ASSERT_TRUE(std::filesystem::exists(kProgram)) << kProgram;
    }
    ScopedTempDir folder;
};

TEST_F(EndToEnd, SilentRunWritesTheNamedFilesAndStoresTheSettings) {
    CopySample(folder, "site.bin");
    std::filesystem::create_directory(folder.File("Out"));
    const RunResult r = RunProgram(folder, {"site.bin", "OBS:Out/site.24o", "-nav:Out/site.24n", "S"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    // Where the outputs are and what they hold, on standard output.
    EXPECT_EQ(r.out,
              "Observation file: Out/site.24o\nNavigation file: Out/site.24n\n11 epochs, 10 satellites, "
              "2024-02-07 00:00:10.0000000 to 2024-02-07 00:01:50.0000000 GPS, position latitude 35.16087513, "
              "longitude 139.61383717, height 70.196 m\n");
    const std::string obs = ReadAll(folder.File("Out/site.24o"));
    EXPECT_EQ(obs.substr(0, 80),
              "     2              OBSERVATION DATA    G (GPS)             RINEX VERSION / TYPE");
    EXPECT_NE(obs.find("SITE                                                        MARKER NAME"),
              std::string::npos);
    EXPECT_NE(ReadAll(folder.File("Out/site.24n")).find("NAVIGATION DATA"), std::string::npos);

    Profile stored(ProfilePath(folder));
    EXPECT_EQ(stored.GetString("Defaults", "ObsDir", ""), folder.File("Out"));
    EXPECT_EQ(stored.GetString("Defaults", "ObsExt", ""), "24o");
    EXPECT_EQ(stored.GetString("Defaults", "SrcDir", ""), folder.Path());
    EXPECT_EQ(stored.GetInt("Defaults", "Format", -1), 1);
    EXPECT_EQ(stored.GetString("MarkerNames", "History00", ""), "SITE");
}

TEST_F(EndToEnd, SilentAutomaticNamingPutsRinexNamesIntoTheObsFolder) {
    {
        Profile p(ProfilePath(folder));
        p.WriteInt("Defaults", "Auto", 1);
        p.WriteString("Defaults", "Observer", "robot");
    }
    CopySample(folder, "algo.bin");
    std::filesystem::create_directory(folder.File("rinex"));
    const RunResult r = RunProgram(folder, {"algo.bin", "OBS:" + folder.File("rinex"), "NAV:" + folder.File("rinex"), "-S"});
    EXPECT_EQ(r.status, 0) << r.err;
    // 7 February 2024 is day 038.
    EXPECT_TRUE(std::filesystem::exists(folder.File("rinex/ALGO0380.24O")));
    EXPECT_TRUE(std::filesystem::exists(folder.File("rinex/ALGO0380.24N")));
    EXPECT_NE(ReadAll(folder.File("rinex/ALGO0380.24O")).find("ROBOT"), std::string::npos);
}

// --hatanaka --gzip with automatic names in a single run, a batch and a splice, in
// RINEX 2 and 3: the files get the names of their content, the run names them, and
// they restore to the files of the same run without the options.
TEST_F(EndToEnd, CompressedOutputsAreNamedAndRestoreToThePlainFiles) {
    {
        Profile p(ProfilePath(folder));
        p.WriteInt("Defaults", "Auto", 1);
    }
    CopySample(folder, "algo.bin");
    const std::vector<std::string> environment = {"SOURCE_DATE_EPOCH=1700000000"};
    const auto namesIn = [](const std::string& dir) {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir)) names.push_back(entry.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    };
    for (const std::string mode : {"single", "batch", "splice"})
        for (const std::string version : {"2", "3"}) {
            SCOPED_TRACE(mode + " RINEX " + version);
            std::map<bool, std::vector<std::string>> names;
            std::string output;
            for (const bool packed : {false, true}) {
                const std::string out = folder.File(std::string(packed ? "packed-" : "plain-") + mode + version);
                std::filesystem::create_directory(out);
                std::vector<std::string> arguments = {"--rinex", version};
                if (packed) arguments.insert(arguments.end(), {"--hatanaka", "--gzip"});
                if (mode == "batch") arguments.insert(arguments.end(), {"--batch", "--output-dir", out, "algo.bin"});
                if (mode == "splice") arguments.insert(arguments.end(), {"--splice", "OBS:" + out, "NAV:" + out, "S", "algo.bin"});
                if (mode == "single") arguments.insert(arguments.end(), {"algo.bin", "OBS:" + out, "NAV:" + out, "S"});
                const RunResult r = RunProgram(folder, arguments, environment);
                ASSERT_EQ(r.status, 0) << r.err;
                names[packed] = namesIn(out);
                ASSERT_EQ(names[packed].size(), 2u);
                for (std::string& name : names[packed]) name = out + "/" + name;
                if (packed) output = r.out;
            }
            // The observation file first.
            const auto isNavigation = [](std::string name) {
                if (name.size() > 3 && name.substr(name.size() - 3) == ".gz") name.resize(name.size() - 3);
                return name.back() == 'N' || name.find("_GN.") != std::string::npos;
            };
            for (auto& [packed, list] : names)
                if (isNavigation(list[0])) std::swap(list[0], list[1]);
            const std::string& obs = names[true][0];
            std::string plainName = names[false][0].substr(names[false][0].rfind('/'));
            if (version == "2") plainName.replace(plainName.size() - 1, 1, "D.gz");
            if (version == "3") plainName.replace(plainName.size() - 4, 4, ".crx.gz");
            EXPECT_EQ(obs.substr(obs.rfind('/')), plainName);
            EXPECT_EQ(names[true][1].substr(names[true][1].rfind('/')), names[false][1].substr(names[false][1].rfind('/')) + ".gz");
            if (mode != "batch") {
                EXPECT_NE(output.find(obs), std::string::npos) << output;
            }
            std::string crx, nav, restored, error;
            ASSERT_TRUE(crxread::Gunzip(ReadAll(obs), crx));
            ASSERT_TRUE(crxread::Gunzip(ReadAll(names[true][1]), nav));
            crxread::Reader reader;
            ASSERT_TRUE(reader.Restore(crx, restored, error)) << error;
            EXPECT_TRUE(restored == crxread::WithoutTrailingBlanks(ReadAll(names[false][0])));
            EXPECT_TRUE(nav == ReadAll(names[false][1]));
        }
}

TEST_F(EndToEnd, ExistingOutputsWithNobodyToAskAreKept) {
    CopySample(folder, "site.bin");
    folder.Write("site.o", "old observation");
    const RunResult r = RunProgram(folder, {"site.bin", "OBS:site.o", "NAV:site.n"});
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.err.find("already exist(s) !"), std::string::npos) << r.err;
    EXPECT_EQ(ReadAll(folder.File("site.o")), "old observation");
    EXPECT_FALSE(std::filesystem::exists(folder.File("site.n")));
    EXPECT_FALSE(std::filesystem::exists(ProfilePath(folder)));

    const RunResult silent = RunProgram(folder, {"site.bin", "OBS:site.o", "NAV:site.n", "s"});
    EXPECT_EQ(silent.status, 0) << silent.err;
    EXPECT_NE(ReadAll(folder.File("site.o")), "old observation");
}

TEST_F(EndToEnd, AMissingSourceFailsWithItsMessage) {
    const RunResult r = RunProgram(folder, {"missing.bin", "OBS:x.o", "NAV:x.n", "S"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              "Please enter a valid file name !\nqern2rinex: source path missing.bin: No such file or directory\n");
    EXPECT_FALSE(std::filesystem::exists(folder.File("x.o")));
    EXPECT_FALSE(std::filesystem::exists(ProfilePath(folder)));
}

TEST_F(EndToEnd, AnOverLengthHeaderTextEndsASilentRun) {
    {
        Profile p(ProfilePath(folder));
        p.WriteString("Defaults", "Observer", std::string(21, 'O'));
    }
    const std::string before = ReadAll(ProfilePath(folder));
    CopySample(folder, "site.bin");
    const RunResult r = RunProgram(folder, {"site.bin", "OBS:site.o", "NAV:site.n", "S"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Please enter no more than 20 characters.\n");
    EXPECT_FALSE(std::filesystem::exists(folder.File("site.o")));
    EXPECT_EQ(ReadAll(ProfilePath(folder)), before);
}

TEST_F(EndToEnd, AFileWithoutRecordsFailsTheConversion) {
    folder.Write("junk.raw", "no records in here\n");
    const RunResult r = RunProgram(folder, {"junk.raw", "OBS:junk.o", "NAV:junk.n", "S"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("are not sufficient to complete operation !"), std::string::npos) << r.err;
    // Validation passed: the settings are stored although the conversion failed.
    EXPECT_TRUE(std::filesystem::exists(ProfilePath(folder)));
}

TEST_F(EndToEnd, HelpVersionAndUsage) {
    RunResult r = RunProgram(folder, {"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("Example:"), std::string::npos);
    r = RunProgram(folder, {"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "QERN to RINEX 3.30 (qern2rinex)\n");
    r = RunProgram(folder, {});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("Usage:"), std::string::npos);
    r = RunProgram(folder, {"--scan", kSample});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("receiver-dated epoch (Q)"), std::string::npos);
}

// A display named but not reachable: the windowing system falls back, and the run
// goes on at the terminal instead of aborting.
TEST_F(EndToEnd, AnUnreachableDisplayLeavesTheRunAtTheTerminal) {
    CopySample(folder, "site.bin");
    for (const char* display : {"DISPLAY=:86", "WAYLAND_DISPLAY=qern-none-86"}) {
        RunResult r = RunProgram(folder, {}, {display});
        EXPECT_EQ(r.status, 2) << display << r.err;
        EXPECT_NE(r.err.find("no display to open the window on"), std::string::npos) << r.err;
        r = RunProgram(folder, {"site.bin", "OBS:site.obs", "NAV:site.nav"}, {display});
        EXPECT_EQ(r.status, 0) << display << r.err;
        EXPECT_NE(r.err.find("successfully converted to RINEX !"), std::string::npos) << r.err;
        std::filesystem::remove(folder.File("site.obs"));
        std::filesystem::remove(folder.File("site.nav"));
    }
}

// The outputs on a file system too small for them: the conversion fails with the
// file and the system's reason, and leaves no cut-short observation file.
TEST_F(EndToEnd, AFullDiskFailsTheConversionAndLeavesNoCutShortFile) {
    CopySample(folder, "site.bin");
    const std::string full = folder.File("full");
    std::filesystem::create_directory(full);
    if (std::system(("mount -t tmpfs -o size=8k tmpfs " + full + " 2>/dev/null").c_str()) != 0)
        GTEST_SKIP() << "mounting a small tmpfs is not allowed here (needs root)";
    const RunResult r = RunProgram(folder, {"site.bin", "OBS:full/x.obs", "NAV:full/x.nav", "S"});
    const bool obsLeft = std::filesystem::exists(folder.File("full/x.obs"));
    std::system(("umount " + full).c_str());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Unable to write file full/x.obs No space left on device !\n");
    EXPECT_EQ(r.out, "");
    EXPECT_FALSE(obsLeft);
}

// With log files on, an observation path whose ".log" or ".pos" names the source
// or the navigation file is refused before anything is written.
TEST_F(EndToEnd, LogFilesThatWouldOverwriteTheSourceOrTheNavigationFileAreRefused) {
    {
        Profile p(ProfilePath(folder));
        p.WriteInt("Advanced", "LogFile", 1);
    }
    CopySample(folder, "day1.pos");
    const std::string before = ReadAll(folder.File("day1.pos"));
    RunResult r = RunProgram(folder, {"day1.pos", "OBS:day1", "NAV:day1.nav", "S"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Input and output files must all be differents !\nqern2rinex: observation path day1: "
                     "the position log file would be the source file\n");
    EXPECT_EQ(ReadAll(folder.File("day1.pos")), before);
    EXPECT_FALSE(std::filesystem::exists(folder.File("day1")));

    CopySample(folder, "site.bin");
    r = RunProgram(folder, {"site.bin", "OBS:x.obs", "NAV:X.OBS.LOG", "S"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("the log file would be the navigation file"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(folder.File("x.obs")));
}

// SOURCE_DATE_EPOCH fixes the creation date of the headers: two runs give the same bytes.
TEST_F(EndToEnd, SourceDateEpochMakesRunsReproducible) {
    CopySample(folder, "site.bin");
    const std::vector<std::string> environment = {"SOURCE_DATE_EPOCH=1700000000"};
    ASSERT_EQ(RunProgram(folder, {"site.bin", "OBS:a.o", "NAV:a.n", "S"}, environment).status, 0);
    ASSERT_EQ(RunProgram(folder, {"site.bin", "OBS:b.o", "NAV:b.n", "S"}, environment).status, 0);
    const std::string a = ReadAll(folder.File("a.o"));
    EXPECT_EQ(a, ReadAll(folder.File("b.o")));
    EXPECT_EQ(ReadAll(folder.File("a.n")), ReadAll(folder.File("b.n")));
    EXPECT_NE(a.find("14-Nov-23 22:13"), std::string::npos);  // 1700000000 s is 2023-11-14 22:13:20 UTC
}

// Nothing is written through a link or into a FIFO, and a FIFO or a device is no
// raw data file: each is refused at once, before anything is written.
TEST_F(EndToEnd, LinksAndSpecialFilesAreRefused) {
    CopySample(folder, "site.bin");
    ASSERT_EQ(mkfifo(folder.File("pipe.bin").c_str(), 0600), 0);
    ASSERT_EQ(mkfifo(folder.File("f.o.log").c_str(), 0600), 0);
    std::filesystem::create_directory(folder.File("out"));
    std::ofstream(folder.File("victim.txt")) << "kept";
    std::filesystem::create_symlink("../victim.txt", folder.File("out/site.o"));
    std::filesystem::create_symlink("victim.txt", folder.File("l.n"));
    const struct {
        std::vector<std::string> arguments;
        const char* said;
    } cases[] = {
        {{"site.bin", "OBS:f.o", "NAV:f.n", "S", "--log"}, "f.o.log is not a regular file"},
        {{"site.bin", "OBS:l.o", "NAV:l.n", "S"}, "l.n is a symbolic link"},
        {{"site.bin", "OBS:out/site.o", "NAV:out/site.n", "S"}, "out/site.o is a symbolic link"},
        {{"pipe.bin", "OBS:p.o", "NAV:p.n", "S"}, "is not a regular file"},
        {{"--scan", "pipe.bin"}, "pipe.bin is not a regular file"},
        {{"--scan", "/dev/zero"}, "/dev/zero is not a regular file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments[0] + " " + c.arguments[1]);
        const RunResult r = RunProgram(folder, c.arguments);
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find(c.said), std::string::npos) << r.err;
    }
    EXPECT_EQ(ReadAll(folder.File("victim.txt")), "kept");
    EXPECT_FALSE(std::filesystem::exists(folder.File("f.o")));
}

// A signal at any moment leaves the earlier files as they were (a whole new run
// gives the same bytes here), never a cut-short one; SIGKILL may leave a temporary
// file, which the next run writing that folder removes.
TEST_F(EndToEnd, SignalsNeverLeaveACutShortFile) {
    CopySample(folder, "site.bin");
    CopySample(folder, "copy.bin");
    std::filesystem::create_directory(folder.File("out"));
    const std::vector<std::string> environment = {"SOURCE_DATE_EPOCH=1700000000"};
    // Every file of the run's folders by path (the program's own standard streams
    // and profile aside), with its content.
    const auto snapshot = [&] {
        std::map<std::string, std::string> files;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder.Path())) {
            const std::string path = entry.path().string();
            if (entry.is_regular_file() && path.find("/config/") == std::string::npos &&
                path.find("/.std") == std::string::npos)
                files[path] = ReadAll(path);
        }
        return files;
    };
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"site.bin", "OBS:s.o", "NAV:s.n", "S", "--log", "--qc"},
          std::vector<std::string>{"--batch", "--jobs", "2", "--log", "--qc", "--output-dir", "out", "site.bin",
                                   "copy.bin"},
          std::vector<std::string>{"--splice", "--log", "--qc", "OBS:p.o", "NAV:p.n", "S", "site.bin", "copy.bin"}}) {
        ASSERT_EQ(RunProgram(folder, arguments, environment).status, 0);
        const std::map<std::string, std::string> before = snapshot();
        for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGKILL})
            for (const int delayMs : {5, 20, 40}) {
                SCOPED_TRACE(arguments[0] + " signal " + std::to_string(signal) + " after " + std::to_string(delayMs) +
                             " ms");
                const RunResult r = RunProgram(folder, arguments, environment, signal, delayMs);
                // Ended by the signal, through the failure path, or done before it came.
                EXPECT_TRUE(r.status == -1 || r.status == 0 || (signal != SIGKILL && r.status == 128 + signal))
                    << r.status;
                if (signal == SIGKILL) {
                    ASSERT_EQ(RunProgram(folder, arguments, environment).status, 0);
                }
                EXPECT_TRUE(snapshot() == before);  // byte-identical, no temporary or lock file
            }
    }
}

// What goes to standard output counts: a full disk or a closed standard output
// behind it makes the run a failure, with one line on standard error.
TEST_F(EndToEnd, StandardOutputThatCannotBeWrittenFailsTheRun) {
    CopySample(folder, "site.bin");
    const struct {
        const char* arguments;
        const char* redirection;
    } cases[] = {
        {"--help", ">/dev/full"},
        {"--scan site.bin", ">/dev/full"},
        {"site.bin OBS:j.o NAV:j.n S --json", ">/dev/full"},
        {"site.bin OBS:j.o NAV:j.n S", ">&-"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        const std::string command = "cd " + folder.Path() + " && XDG_CONFIG_HOME=config " + kProgram + " " +
                                    c.arguments + " " + c.redirection + " 2>err.txt </dev/null";
        const int status = std::system(command.c_str());
        EXPECT_EQ(WEXITSTATUS(status), 1);
        EXPECT_NE(ReadAll(folder.File("err.txt")).find("qern2rinex: standard output: "), std::string::npos)
            << ReadAll(folder.File("err.txt"));
    }
}

// The command line takes only what it can honour: a second source, an impossible
// date or an interval that is no plain decimal number is a usage error.
TEST_F(EndToEnd, TheCommandLineRefusesWhatItCannotHonour) {
    CopySample(folder, "site.bin");
    CopySample(folder, "-dash.bin");
    const struct {
        std::vector<std::string> arguments;
        int status;
        const char* said;  // on standard error ("" anything)
    } cases[] = {
        {{"site.bin", "-dash.bin", "S"}, 2, "with --batch"},
        {{"--", "-dash.bin", "OBS:d.o", "NAV:d.n", "S"}, 0, ""},  // the file named with a dash, not dash.bin
        {{"--from", "2005-02-30 00:30:00", "site.bin", "S"}, 2, "--from needs"},
        {{"--to", "2023-02-29 00:00:00", "site.bin", "S"}, 2, "--to needs"},
        {{"--interval", "1e-10", "site.bin", "S"}, 2, "--interval needs"},
        {{"--interval", "0x1e", "site.bin", "S"}, 2, "--interval needs"},
        {{"--batch", "--qc-plots", "--output-dir", "out", "site.bin"}, 0, ""},
    };
    std::filesystem::create_directory(folder.File("out"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments[0] + " " + c.arguments[1]);
        const RunResult r = RunProgram(folder, c.arguments);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_NE(r.err.find(c.said), std::string::npos) << r.err;
    }
    EXPECT_TRUE(std::filesystem::exists(folder.File("d.o")));
    size_t plots = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder.File("out")))
        plots += entry.path().string().ends_with(".png");
    EXPECT_EQ(plots, 6u);  // --batch draws the plots of each file
}

// The GPS week comes from the data: the file's modification time (the Recorded On
// date) changes nothing in the outputs; a date far from the data's (2024) is said.
TEST_F(EndToEnd, TheSourcesModificationTimeChangesNothing) {
    CopySample(folder, "site.bin");
    const std::vector<std::string> environment = {"SOURCE_DATE_EPOCH=1700000000"};
    std::string obs, nav;
    for (const int year : {1985, 2005, 2015, 2026, 2040}) {
        SCOPED_TRACE(year);
        SetModifiedDay(folder.File("site.bin"), year, 6, 1);
        const RunResult r = RunProgram(folder, {"site.bin", "OBS:y.o", "NAV:y.n", "S"}, environment);
        ASSERT_EQ(r.status, 0);
        EXPECT_NE(r.err.find("weeks from the Recorded On date's week"), std::string::npos) << r.err;
        if (obs.empty()) {
            obs = ReadAll(folder.File("y.o"));
            nav = ReadAll(folder.File("y.n"));
        }
        EXPECT_EQ(ReadAll(folder.File("y.o")), obs);
        EXPECT_EQ(ReadAll(folder.File("y.n")), nav);
    }
}

// Without S and without a terminal nobody can answer: the run says which answer it
// took, and reports its outputs after the success message on standard error.
TEST_F(EndToEnd, AnUnattendedRunSaysWhatItTookAndWhatItWrote) {
    CopySample(folder, "site.bin");
    const RunResult r = RunProgram(folder, {"site.bin", "OBS:u.o", "NAV:u.n"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              "Nobody can answer here: raw-data kind taken as receiver-dated (the preselected answer)\n"
              "Source file site.bin successfully converted to RINEX !\n"
              "Observation file: u.o\nNavigation file: u.n\n11 epochs, 10 satellites, "
              "2024-02-07 00:00:10.0000000 to 2024-02-07 00:01:50.0000000 GPS, position latitude 35.16087513, "
              "longitude 139.61383717, height 70.196 m\n");
}

}  // namespace
