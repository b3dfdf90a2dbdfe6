// Raw data files compressed with gzip, through the built program: read as the
// plain files they hold, in every kind of run; damaged ones refused.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include "platform/Profile.h"
#include "tests/app/ProgramRun.h"

namespace {

using namespace programrun;

// Every run of a gzip source writes what the run of the plain file writes, under
// the same automatic names, and --scan reports the same (the path aside); a cut or
// corrupted one stops the run with the reason and writes nothing.
TEST(CompressedInput, GivesTheOutputsOfThePlainFileOrNoneWhenDamaged) {
    ScopedTempDir folder;
    ASSERT_TRUE(folder.Ok() && std::filesystem::exists(kProgram)) << kProgram;
    Profile(folder.File("config/qern2rinex.ini")).WriteInt("Defaults", "Auto", 1);
    const auto writeBoth = [&](const std::string& name, RawLayout layout, double start, double minutes, int days) {
        const std::string plain =
            WriteDated(folder.File("plain/" + name), SimulatedRecording(layout, GpsTime(2300, start), minutes), days);
        std::filesystem::create_directories(folder.File("gz"));
        EXPECT_EQ(std::system(("gzip -n -c " + plain + " > " + folder.File("gz/" + name + ".gz")).c_str()), 0);
        SetFileDate(folder.File("gz/" + name + ".gz"), days);
    };
    writeBoth("algo.bin", RawLayout::Binary, 259200.0, 20, 0);
    writeBoth("algo.csv", RawLayout::AsciiCsv, 259200.0, 5, 0);
    writeBoth("zulu.bin", RawLayout::Binary, 260400.0, 10, 1);
    // Runs arguments (SRC/x standing for plain/x or gz/x.gz) into a fresh folder out.
    const auto run = [&](const std::vector<std::string>& args, bool gz, std::map<std::string, std::string>& outputs) {
        std::filesystem::remove_all(folder.File("out"));
        std::filesystem::create_directory(folder.File("out"));
        std::vector<std::string> arguments;
        for (const std::string& a : args)
            arguments.push_back(a.rfind("SRC/", 0) ? a : (gz ? "gz/" : "plain/") + a.substr(4) + (gz ? ".gz" : ""));
        const RunResult r = RunProgram(folder, arguments, {"SOURCE_DATE_EPOCH=1700000000"});
        outputs.clear();
        for (const std::string& name : FileNames(folder.File("out")))
            outputs[name] = ReadAll(folder.File("out/" + name));
        return r;
    };
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"single binary", {"SRC/algo.bin", "OBS:out", "NAV:out", "S"}},
        {"single ASCII", {"SRC/algo.csv", "OBS:out", "NAV:out", "S"}},
        {"RINEX 4", {"--rinex", "4", "SRC/algo.bin", "OBS:out", "NAV:out", "S"}},
        {"scan", {"--scan", "SRC/algo.bin"}},
        {"batch", {"--batch", "--output-dir", "out", "SRC/algo.bin", "SRC/zulu.bin"}},
        {"splice", {"--splice", "OBS:out", "NAV:out", "S", "SRC/zulu.bin", "SRC/algo.bin"}},
    };
    for (const auto& [name, arguments] : cases) {
        std::map<std::string, std::string> plain, gz;
        const RunResult a = run(arguments, false, plain), b = run(arguments, true, gz);
        EXPECT_EQ(a.status, 0) << name << a.err;
        EXPECT_EQ(b.status, 0) << name << b.err;
        const bool scan = arguments[0] == "--scan";
        EXPECT_TRUE(!scan || b.out.substr(b.out.find('\n')) == a.out.substr(a.out.find('\n'))) << a.out << b.out;
        EXPECT_EQ(plain.size(), scan ? 0u : 2u + 2 * (std::string(name) == "batch")) << name;
        EXPECT_TRUE(gz == plain) << name;
    }
    std::map<std::string, std::string> outputs;
    EXPECT_EQ(run(cases[2].second, true, outputs).status, 0);
    EXPECT_EQ(outputs.count("ALGO00XXX_R_20240380000_01H_05S_GO.rnx"), 1u);  // the long names of RINEX 3

    const std::string gz = ReadAll(folder.File("gz/algo.bin.gz"));
    std::string flipped = gz;
    flipped[gz.size() / 2] = static_cast<char>(flipped[gz.size() / 2] ^ 0x55);
    for (const std::string& bytes : {gz.substr(0, gz.size() - 100), flipped}) {
        WriteDated(folder.File("gz/bad.bin.gz"), bytes);
        for (const std::vector<std::string>& arguments :
             {std::vector<std::string>{"SRC/bad.bin", "OBS:out", "NAV:out", "S"}, {"--scan", "SRC/bad.bin"}}) {
            const RunResult r = run(arguments, true, outputs);
            EXPECT_NE(r.status, 0) << arguments[0];
            EXPECT_NE((r.out + r.err).find("gzip data are damaged or cut short"), std::string::npos) << r.out << r.err;
            EXPECT_TRUE(outputs.empty()) << arguments[0];
        }
    }
}

}  // namespace
