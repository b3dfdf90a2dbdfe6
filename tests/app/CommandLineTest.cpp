#include "app/cli/CommandLine.h"

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

// The run options in both spellings, mixed anywhere among the described parameters,
// which keep their meaning.
TEST(SplitProgramOptions, RunOptionsAreTakenWithTheirValues) {
    const ProgramOptions p = SplitProgramOptions(
        {"--marker", "algo", "a.raw", "--observer=Jo Doe", "OBS:x.o", "--tx", "70", "--doppler=smoothed",
         "--no-smoothed-codes", "NAV:x.n", "--log", "--from", "2024-02-07 00:01:00", "--to=2024-02-07 01:00:00.5",
         "--interval", "30", "--date-from-data", "--json", "S", "--rinex", "3", "--country", "jpn"});
    EXPECT_TRUE(p.error.empty()) << p.error;
    EXPECT_EQ(p.parameters, (std::vector<std::string>{"a.raw", "OBS:x.o", "NAV:x.n", "S"}));
    const RunOptions& r = p.run;
    EXPECT_EQ(r.header[kMarkerName], "algo");
    EXPECT_EQ(r.header[kObserver], "Jo Doe");
    EXPECT_FALSE(r.header[kAgency]);
    EXPECT_DOUBLE_EQ(*r.tx, 0.070);
    EXPECT_TRUE(*r.smoothedDopplers);
    EXPECT_FALSE(*r.smoothedCodes);
    EXPECT_TRUE(*r.logFiles);
    EXPECT_EQ(*r.from, GpsTime(2300, 259260.0));  // Wednesday 7 February 2024, 00:01
    EXPECT_EQ(*r.to, GpsTime(2300, 262800.5));
    EXPECT_EQ(r.interval, 30.0);
    EXPECT_TRUE(r.dateFromData);
    EXPECT_TRUE(r.json);
    EXPECT_EQ(r.rinexVersion, 3);
    EXPECT_EQ(r.country, "JPN");
    const CCommandLineOptions o = ParseCommandLine(p.parameters);
    EXPECT_EQ(o.sourcePath, "a.raw");
    EXPECT_EQ(o.observationPath, "x.o");
    EXPECT_TRUE(o.silent);
}

TEST(SplitProgramOptions, BadValuesNameTheirOption) {
    const struct {
        std::vector<std::string> arguments;
        const char* error;
    } cases[] = {
        {{"--interval", "0"}, "--interval needs a positive multiple of 0.1 s, not \"0\""},
        {{"--interval=0.25"}, "--interval needs a positive multiple of 0.1 s, not \"0.25\""},
        {{"--interval", "-30"}, "--interval needs a positive multiple of 0.1 s, not \"-30\""},
        {{"--tx", "7.5"}, "--tx needs whole milliseconds from 0 to 1000, not \"7.5\""},
        {{"--doppler", "fast"}, "--doppler needs instantaneous or smoothed, not \"fast\""},
        {{"--from", "2024-02-07"}, "--from needs \"YYYY-MM-DD hh:mm:ss\", not \"2024-02-07\""},
        {{"--to", "2024-13-07 00:00:00"}, "--to needs \"YYYY-MM-DD hh:mm:ss\", not \"2024-13-07 00:00:00\""},
        {{"--from", "2024-02-08 00:00:00", "--to", "2024-02-07 00:00:00"}, "--from must not be after --to"},
        {{"a.raw", "--marker"}, "option --marker needs a value"},
        {{"--rinex", "5"}, "--rinex needs 2, 3 or 4, not \"5\""},
        {{"--json=yes"}, "unknown option --json=yes"},
    };
    for (const auto& c : cases) EXPECT_EQ(SplitProgramOptions(c.arguments).error, c.error);
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
    EXPECT_NE(u.find("Usage: qern2rinex [OPTIONS] SOURCE [OBS:path] [NAV:path] [S]"), std::string::npos);
    EXPECT_NE(u.find("Example:"), std::string::npos);
    EXPECT_NE(u.find("--scan FILE"), std::string::npos);
}

}  // namespace
