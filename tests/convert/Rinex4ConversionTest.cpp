// RINEX 4.01 outputs read back by a reader of this file, written from the format
// description apart from the writers: every value equals the one of the RINEX 3
// files of the same conversion.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <map>

#include "tests/convert/DriverTestSupport.h"
#include "tools/rawsim/RinexReader.h"
#include "tools/rawsim/Simulation.h"

using namespace drivertest;

namespace {

// Columns [first, first + count) of a line (1-based, as the format counts them), blanks trimmed.
std::string Col(const std::string& line, size_t first, size_t count) {
    if (line.size() < first) return "";
    std::string s = line.substr(first - 1, count);
    const size_t a = s.find_first_not_of(' '), b = s.find_last_not_of(" \r");
    return a == std::string::npos ? "" : s.substr(a, b - a + 1);
}
// A Fortran D or E number; NaN for a blank field.
double Num(const std::string& field) {
    std::string s = field;
    for (char& c : s)
        if (c == 'D') c = 'E';
    return s.empty() ? std::nan("") : std::strtod(s.c_str(), nullptr);
}

struct RinexFile {
    std::string version;
    std::vector<std::string> labels, obsTypes;
    std::map<std::string, std::vector<std::string>> header;  // label -> columns 1-60 of its lines
    std::vector<std::vector<std::string>> records;  // observation and navigation records, line by line
};

// Reads header and records: an observation record is its epoch line ('>') and the
// lines it counts; a RINEX 3 navigation record starts with 'G', a RINEX 4 one with '>'.
RinexFile Read(const std::string& path) {
    RinexFile f;
    std::vector<std::string> lines = Lines(ReadAll(path));
    size_t i = 0;
    for (; i < lines.size(); ++i) {
        const std::string label = Col(lines[i], 61, 20);
        f.labels.push_back(label);
        f.header[label].push_back(lines[i].substr(0, 60));
        if (label == "RINEX VERSION / TYPE") f.version = Col(lines[i], 1, 9);
        if (label == "SYS / # / OBS TYPES")
            for (size_t k = 0; k < 13 && !Col(lines[i], 8 + 4 * k, 3).empty(); ++k) f.obsTypes.push_back(Col(lines[i], 8 + 4 * k, 3));
        if (label == "END OF HEADER") break;
    }
    const bool observations = f.header["RINEX VERSION / TYPE"].at(0)[20] == 'O';
    while (++i < lines.size()) {
        if (lines[i].empty()) continue;
        if (lines[i][0] == '>' || (!observations && f.version[0] == '3' && lines[i][0] == 'G'))
            f.records.emplace_back();
        if (f.records.empty()) continue;  // nothing before the first record
        f.records.back().push_back(lines[i].substr(0, lines[i].find_last_not_of(" \r") + 1));
    }
    return f;
}

// The values (19 columns each) of a navigation record's lines from line `from` on:
// after the satellite and date (23 columns) of an epoch line, after 4 blanks on others.
std::vector<double> Values(const std::vector<std::string>& lines, size_t from) {
    std::vector<double> v;
    for (size_t k = from; k < lines.size(); ++k) {
        const size_t start = lines[k][0] == 'G' || std::isdigit(static_cast<unsigned char>(lines[k][4])) ? 24 : 5;
        for (size_t c = start; c + 18 <= lines[k].size(); c += 19) v.push_back(Num(Col(lines[k], c, 19)));
    }
    return v;
}

GpsTime Epoch(const std::string& line, size_t first) {
    return RinexEpochTime(std::atoi(Col(line, first, 4).c_str()), std::atoi(Col(line, first + 5, 2).c_str()),
                          std::atoi(Col(line, first + 8, 2).c_str()), std::atoi(Col(line, first + 11, 2).c_str()),
                          std::atoi(Col(line, first + 14, 2).c_str()), std::atof(Col(line, first + 17, 2).c_str()));
}

}  // namespace

TEST(Rinex4Conversion, FilesCarryTheValuesOfTheRinex3Files) {
    ScratchDir dir;
    SynthRequest make;
    make.synth.satelliteDated = true;
    make.synth.receiverDated = false;
    make.synth.start = NominalStart();
    make.synth.duration = 1200;
    make.synth.interval = 10;
    make.synth.dual = true;
    make.synth.antiSpoofing = true;
    make.synth.events = true;
    make.synth.slipEvery = 7;
    SimulationOutput output;
    output.rawPath = dir.File("SRC.RAW");
    SynthSummary summary;
    std::string error;
    ASSERT_TRUE(RunSynth(make, output, summary, error)) << error;
    ConversionRequest request = Request(dir, output.rawPath);
    request.recordingDate = NominalStart().ToDays();
    RinexFile obs[2], nav[2];
    for (const int version : {3, 4}) {
        request.rinexVersion = static_cast<RinexVersion>(version);
        request.observationPath = dir.File("O" + std::to_string(version));
        request.navigationPath = dir.File("N" + std::to_string(version));
        ConversionState state;
        ScriptedUi ui;
        ASSERT_TRUE(RunConversion(request, state, ui).success);
        obs[version - 3] = Read(request.observationPath);
        nav[version - 3] = Read(request.navigationPath);
    }
    EXPECT_EQ(obs[0].version, "3.04");
    EXPECT_EQ(obs[1].version, "4.01");
    EXPECT_EQ(nav[1].version, "4.01");
    EXPECT_EQ(nav[1].header["RINEX VERSION / TYPE"][0].substr(20, 40),
              nav[0].header["RINEX VERSION / TYPE"][0].substr(20, 40));

    // Observations: the header's records but SYS / PHASE SHIFT, which RINEX 4 drops,
    // the same types and every epoch, event and field of 16 columns the same.
    std::vector<std::string> labels3;
    for (const std::string& l : obs[0].labels)
        if (l != "SYS / PHASE SHIFT") labels3.push_back(l);
    EXPECT_EQ(obs[1].labels, labels3);
    EXPECT_EQ(obs[1].obsTypes, obs[0].obsTypes);
    ASSERT_EQ(obs[1].records.size(), obs[0].records.size());
    int fields = 0, events = 0;
    for (size_t r = 0; r < obs[0].records.size(); ++r) {
        const std::vector<std::string>& a = obs[0].records[r];
        const std::vector<std::string>& b = obs[1].records[r];
        ASSERT_EQ(b.size(), a.size()) << a[0];
        EXPECT_EQ(Col(b[0], 1, 56), Col(a[0], 1, 56));  // date, flag, count, clock offset
        events += std::atoi(Col(a[0], 32, 1).c_str()) > 1;
        for (size_t s = 1; s < a.size(); ++s) {
            if (a[s][0] != 'G') {
                EXPECT_EQ(b[s], a[s]);  // a header record of an event
                continue;
            }
            EXPECT_EQ(b[s].substr(0, 3), a[s].substr(0, 3));
            for (size_t c = 4; c <= std::max(a[s].size(), b[s].size()); c += 16, ++fields) {
                const double x = Num(Col(a[s], c, 14)), y = Num(Col(b[s], c, 14));
                EXPECT_TRUE(x == y || (std::isnan(x) && std::isnan(y))) << a[0] << " " << a[s].substr(0, 3);
                EXPECT_EQ(Col(b[s], c + 14, 1), Col(a[s], c + 14, 1));  // loss of lock
                EXPECT_EQ(Col(b[s], c + 15, 1), Col(a[s], c + 15, 1));  // signal strength
            }
        }
    }
    EXPECT_GT(fields, 5000);
    EXPECT_GT(events, 0);

    // Navigation: every ephemeris an EPH record of the same satellite, toc and values;
    // the ION and STO records the header values of RINEX 3; the same leap seconds.
    std::vector<std::vector<std::string>> eph4;
    std::map<std::string, std::vector<std::string>> messages;
    for (const std::vector<std::string>& rec : nav[1].records) {
        ASSERT_EQ(Col(rec[0], 1, 2), ">");
        ASSERT_GE(rec.size(), 3u);
        EXPECT_EQ(Col(rec[0], 11, 4), "LNAV");
        if (Col(rec[0], 3, 3) == "EPH") {
            EXPECT_EQ(Col(rec[0], 7, 3), Col(rec[1], 1, 3));
            eph4.emplace_back(rec.begin() + 1, rec.end());
        } else {
            messages[Col(rec[0], 3, 3)] = rec;
        }
    }
    ASSERT_EQ(eph4.size(), nav[0].records.size());
    ASSERT_GT(eph4.size(), 8u);
    for (size_t e = 0; e < eph4.size(); ++e) {
        EXPECT_EQ(Col(eph4[e][0], 1, 23), Col(nav[0].records[e][0], 1, 23));  // satellite and toc
        const std::vector<double> a = Values(nav[0].records[e], 0), b = Values(eph4[e], 0);
        EXPECT_EQ(a.size(), 28u);  // clock, six orbit lines, transmission time
        EXPECT_EQ(b, a);
    }
    std::vector<double> klobuchar;  // GPSA, then GPSB
    const std::vector<std::string>& ionosphere = nav[0].header["IONOSPHERIC CORR"];
    ASSERT_EQ(ionosphere.size(), 2u);
    for (const char* name : {"GPSA", "GPSB"})
        for (const std::string& line : ionosphere)
            for (size_t k = 0; k < 4 && Col(line, 1, 4) == name; ++k) klobuchar.push_back(Num(Col(line, 6 + 12 * k, 12)));
    ASSERT_EQ(messages.count("ION"), 1u);
    ASSERT_EQ(messages.count("STO"), 1u);
    const std::vector<std::string>& ion = messages["ION"];
    const std::vector<std::string>& sto = messages["STO"];
    // RINEX 3 writes the header values with fewer digits: equal to its precision.
    const auto near = [](double rinex4, double rinex3, int digits) {
        return std::fabs(rinex4 - rinex3) <= std::fabs(rinex3) * std::pow(10.0, -digits);
    };
    const std::vector<double> ionValues = Values(ion, 1);
    ASSERT_EQ(ionValues.size(), klobuchar.size());
    for (size_t k = 0; k < klobuchar.size(); ++k) EXPECT_TRUE(near(ionValues[k], klobuchar[k], 4)) << k;
    const std::string gput = nav[0].header["TIME SYSTEM CORR"].at(0);
    ASSERT_EQ(Col(gput, 1, 4), "GPUT");
    EXPECT_EQ(Col(sto[1], 25, 18), "GPUT");
    EXPECT_EQ(Col(sto[1], 44, 18), "");  // no SBAS identifier
    EXPECT_EQ(Col(sto[1], 63, 18), "UTC(USNO)");
    const std::vector<double> stoValues = Values(sto, 2);
    ASSERT_EQ(stoValues.size(), 4u);
    EXPECT_TRUE(near(stoValues[1], Num(Col(gput, 6, 17)), 10));  // A0
    EXPECT_TRUE(near(stoValues[2], Num(Col(gput, 23, 16)), 9));  // A1
    EXPECT_EQ(stoValues[3], 0.0);
    const GpsTime reference = Epoch(sto[1], 5);
    EXPECT_EQ(reference.week, std::atoi(Col(gput, 47, 4).c_str()));
    EXPECT_EQ(reference.seconds, std::atof(Col(gput, 40, 6).c_str()));
    const GpsTime sent = Epoch(ion[1], 5);  // within the recording, as is the transmission time
    EXPECT_GE(sent.Difference(NominalStart()), 0.0);
    EXPECT_LE(sent.Difference(NominalStart()), 1200.0);
    EXPECT_NEAR(stoValues[0], sent.seconds, 0.5);
    EXPECT_EQ(nav[1].header["LEAP SECONDS"], nav[0].header["LEAP SECONDS"]);
    EXPECT_FALSE(nav[1].header.count("IONOSPHERIC CORR") || nav[1].header.count("TIME SYSTEM CORR"));
}
