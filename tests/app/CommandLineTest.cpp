#include "app/CommandLine.h"

#include <gtest/gtest.h>

namespace {

TEST(ParseParameter, FirstParameterIsAlwaysTheSource) {
    EXPECT_EQ(ParseCommandLine({"S"}).sourcePath, "S");
    EXPECT_FALSE(ParseCommandLine({"S"}).silent);
    const CCommandLineOptions o = ParseCommandLine({"OBS:/tmp/x.rnx"});
    EXPECT_TRUE(o.hasSource);
    EXPECT_EQ(o.sourcePath, "OBS:/tmp/x.rnx");
    EXPECT_EQ(o.observationPath, "");
    EXPECT_FALSE(ParseCommandLine({}).hasSource);
}

TEST(ParseParameter, KeysMatchWithoutRegardToCaseAndKeepTheCaseOfTheirPath) {
    const CCommandLineOptions o = ParseCommandLine({"/data/Site.raw", "obs:/out/Algo.O", "Nav:/out/Algo.N"});
    EXPECT_EQ(o.sourcePath, "/data/Site.raw");
    EXPECT_EQ(o.observationPath, "/out/Algo.O");
    EXPECT_EQ(o.navigationPath, "/out/Algo.N");
    EXPECT_FALSE(o.silent);
}

TEST(ParseParameter, SilentOnlyForExactlyS) {
    EXPECT_TRUE(ParseCommandLine({"a.raw", "s"}).silent);
    EXPECT_TRUE(ParseCommandLine({"a.raw", "S"}).silent);
    EXPECT_TRUE(ParseCommandLine({"a.raw", "-S"}).silent);
    EXPECT_TRUE(ParseCommandLine({"a.raw", "/s"}).silent);
    EXPECT_FALSE(ParseCommandLine({"a.raw", "SILENT"}).silent);
    EXPECT_FALSE(ParseCommandLine({"a.raw", "--S"}).silent);  // "-S" after removing one '-'
}

TEST(ParseParameter, LastObsWinsAndAnEmptyOneCountsAsNotGiven) {
    EXPECT_EQ(ParseCommandLine({"a.raw", "OBS:/one", "OBS:/two"}).observationPath, "/two");
    EXPECT_EQ(ParseCommandLine({"a.raw", "OBS:/one", "OBS:"}).observationPath, "");
    EXPECT_EQ(ParseCommandLine({"a.raw", "-OBS:/out/x.o"}).observationPath, "/out/x.o");
    EXPECT_EQ(ParseCommandLine({"a.raw", "-nav:rel/x.n"}).navigationPath, "rel/x.n");
}

TEST(ParseParameter, UnknownWordsAreIgnored) {
    const CCommandLineOptions o = ParseCommandLine({"a.raw", "hello", "/abs/path", "OB:x", "-X"});
    EXPECT_EQ(o.sourcePath, "a.raw");
    EXPECT_EQ(o.observationPath, "");
    EXPECT_EQ(o.navigationPath, "");
    EXPECT_FALSE(o.silent);
}

TEST(SplitParameter, DashMarksAFlagAndSlashStartsAPath) {
    EXPECT_EQ(SplitParameter("-S").text, "S");
    EXPECT_TRUE(SplitParameter("-S").isFlag);
    EXPECT_EQ(SplitParameter("/S").text, "S");
    EXPECT_TRUE(SplitParameter("/S").isFlag);
    EXPECT_EQ(SplitParameter("/data/S").text, "/data/S");
    EXPECT_FALSE(SplitParameter("/data/S").isFlag);
    EXPECT_EQ(SplitParameter("-").text, "-");
    EXPECT_EQ(ParseCommandLine({"/home/u/raw/ALGO.BIN", "S"}).sourcePath, "/home/u/raw/ALGO.BIN");
}

TEST(SplitProgramOptions, OwnOptionsAreTakenOutFirst) {
    const ProgramOptions p = SplitProgramOptions({"--version", "a.raw", "--scan", "b.bin", "S"});
    EXPECT_TRUE(p.version);
    EXPECT_FALSE(p.help);
    EXPECT_EQ(p.scanPath, "b.bin");
    EXPECT_EQ(p.parameters, (std::vector<std::string>{"a.raw", "S"}));
    EXPECT_TRUE(p.error.empty());

    EXPECT_EQ(SplitProgramOptions({"--scan=c.raw"}).scanPath, "c.raw");
    EXPECT_TRUE(SplitProgramOptions({"--help"}).help);
    EXPECT_EQ(SplitProgramOptions({"--", "--help", "-S"}).parameters,
              (std::vector<std::string>{"--help", "-S"}));
    EXPECT_FALSE(SplitProgramOptions({"--", "--help"}).help);
}

TEST(SplitProgramOptions, MisusesAreReported) {
    EXPECT_EQ(SplitProgramOptions({"a.raw", "--frobnicate"}).error, "unknown option --frobnicate");
    EXPECT_EQ(SplitProgramOptions({"--scan"}).error, "option --scan needs a file name");
    // "--scan=" names no file and does not take the next argument for one.
    const ProgramOptions emptyScan = SplitProgramOptions({"--scan=", "a.raw", "S"});
    EXPECT_EQ(emptyScan.error, "option --scan needs a file name");
    EXPECT_EQ(emptyScan.parameters, (std::vector<std::string>{"a.raw", "S"}));
}

TEST(UsageText, NamesTheParametersAndGivesAnExample) {
    const std::string u = UsageText("qern2rinex");
    EXPECT_NE(u.find("Usage: qern2rinex SOURCE [OBS:path] [NAV:path] [S]"), std::string::npos);
    EXPECT_NE(u.find("Example:"), std::string::npos);
    EXPECT_NE(u.find("--scan FILE"), std::string::npos);
}

}  // namespace
