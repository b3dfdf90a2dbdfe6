// Raw data files compressed with gzip, through the built program: read as the
// plain files they hold, in every kind of run; damaged ones refused.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/Profile.h"
#include "tests/app/ProgramRun.h"

namespace {

using namespace programrun;

const std::vector<std::string> kReproducible = {"SOURCE_DATE_EPOCH=1700000000"};

class CompressedInput : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.Ok());
        ASSERT_TRUE(std::filesystem::exists(kProgram)) << kProgram;
        Profile(folder.File("config/qern2rinex.ini")).WriteInt("Defaults", "Auto", 1);
    }
    // Writes bytes as folder/plain/name and gzipped as folder/gz/name.gz (dated alike).
    void WriteBoth(const std::string& name, const std::string& bytes, int days = 0) {
        const std::string plain = WriteDated(folder.File("plain/" + name), bytes, days);
        std::filesystem::create_directories(folder.File("gz"));
        const std::string gz = folder.File("gz/" + name + ".gz");
        ASSERT_EQ(std::system(("gzip -n -c " + plain + " > " + gz).c_str()), 0);
        SetFileDate(gz, days);
    }
    // The files of folder/dir, name -> bytes.
    std::map<std::string, std::string> Outputs(const std::string& dir) {
        std::map<std::string, std::string> files;
        for (const std::string& name : FileNames(folder.File(dir))) files[name] = ReadAll(folder.File(dir + "/" + name));
        return files;
    }
    ScopedTempDir folder;
};

// Every run of a gzip source writes what the run of the plain file writes, under
// the same automatic names; --scan reports the same (the path aside).
TEST_F(CompressedInput, GivesTheOutputsOfThePlainFile) {
    const std::string whole = SimulatedRecording(RawLayout::Binary, GpsTime(2300, 259200.0), 20);
    WriteBoth("algo.bin", whole);
    WriteBoth("algo.csv", SimulatedRecording(RawLayout::AsciiCsv, GpsTime(2300, 259200.0), 5));
    WriteBoth("zulu.bin", SimulatedRecording(RawLayout::Binary, GpsTime(2300, 260400.0), 10), 1);
    struct Case {
        const char* name;
        std::vector<std::string> arguments;  // SRC/ stands for plain/ or gz/, .bin for .bin.gz
        bool scan;
    };
    const Case cases[] = {
        {"single binary", {"SRC/algo.bin", "OBS:out", "NAV:out", "S"}, false},
        {"single ASCII", {"SRC/algo.csv", "OBS:out", "NAV:out", "S"}, false},
        {"RINEX 4", {"--rinex", "4", "SRC/algo.bin", "OBS:out", "NAV:out", "S"}, false},
        {"scan", {"--scan", "SRC/algo.bin"}, true},
        {"batch", {"--batch", "--output-dir", "out", "SRC/algo.bin", "SRC/zulu.bin"}, false},
        {"splice", {"--splice", "OBS:out", "NAV:out", "S", "SRC/zulu.bin", "SRC/algo.bin"}, false},
    };
    for (const Case& c : cases) {
        RunResult runs[2];
        std::map<std::string, std::string> outputs[2];
        for (const bool gz : {false, true}) {
            std::filesystem::remove_all(folder.File("out"));
            std::filesystem::create_directory(folder.File("out"));
            std::vector<std::string> arguments;
            for (std::string a : c.arguments) {
                if (a.rfind("SRC/", 0) == 0) a = (gz ? "gz/" : "plain/") + a.substr(4) + (gz ? ".gz" : "");
                arguments.push_back(a);
            }
            runs[gz] = RunProgram(folder, arguments, kReproducible);
            EXPECT_EQ(runs[gz].status, 0) << c.name << (gz ? " gz: " : ": ") << runs[gz].err;
            outputs[gz] = Outputs("out");
        }
        if (c.scan) {
            const auto body = [](const std::string& s) { return s.substr(s.find('\n')); };  // after "File: ..."
            EXPECT_EQ(body(runs[1].out), body(runs[0].out)) << c.name;
            continue;
        }
        EXPECT_GE(outputs[0].size(), 2u) << c.name;
        EXPECT_TRUE(outputs[1] == outputs[0]) << c.name;
        if (std::string(c.name) == "RINEX 4") {  // the long names of RINEX 3
            EXPECT_EQ(outputs[1].count("ALGO00XXX_R_20240380000_01H_05S_GO.rnx"), 1u);
        }
    }
}

// A cut or corrupted gzip file stops the run with the reason, and nothing is written.
TEST_F(CompressedInput, DamagedFileIsRefusedWithoutOutputs) {
    WriteBoth("algo.bin", SimulatedRecording(RawLayout::Binary, GpsTime(2300, 259200.0), 10));
    const std::string gz = ReadAll(folder.File("gz/algo.bin.gz"));
    std::string flipped = gz;
    flipped[gz.size() / 2] = static_cast<char>(flipped[gz.size() / 2] ^ 0x55);
    const std::pair<const char*, std::string> damages[] = {
        {"cut", gz.substr(0, gz.size() - 100)},
        {"corrupted", flipped},
    };
    for (const auto& [name, bytes] : damages) {
        WriteDated(folder.File("bad/algo.bin.gz"), bytes);
        for (const std::vector<std::string>& arguments :
             {std::vector<std::string>{"bad/algo.bin.gz", "OBS:out", "NAV:out", "S"},
              std::vector<std::string>{"--scan", "bad/algo.bin.gz"}}) {
            std::filesystem::remove_all(folder.File("out"));
            std::filesystem::create_directory(folder.File("out"));
            const RunResult r = RunProgram(folder, arguments, kReproducible);
            EXPECT_NE(r.status, 0) << name << " " << arguments[0];
            EXPECT_NE((r.out + r.err).find("gzip data are damaged or cut short"), std::string::npos)
                << name << " " << arguments[0] << ": " << r.out << r.err;
            EXPECT_TRUE(FileNames(folder.File("out")).empty()) << name << " " << arguments[0];
        }
    }
}

}  // namespace
