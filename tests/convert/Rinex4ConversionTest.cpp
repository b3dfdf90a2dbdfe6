// RINEX 4.01 outputs read back by a reader of this file, written from the format
// description apart from the writers: every value equals the one of the RINEX 3
// files of the same conversion.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <map>
#include <optional>
#include <tuple>

#include "tests/convert/DriverTestSupport.h"
#include "tools/rawsim/RinexReader.h"
#include "tools/rawsim/Simulation.h"

using namespace drivertest;

namespace {

// Columns [first, first + count) of a line (1-based, as the format counts them), blanks trimmed.
std::string Col(const std::string& line, size_t first, size_t count) {
    const std::string s = line.size() < first ? "" : line.substr(first - 1, count);
    const size_t a = s.find_first_not_of(' '), b = s.find_last_not_of(" \r");
    return a == std::string::npos ? "" : s.substr(a, b - a + 1);
}
// A Fortran D or E number; none for a blank field.
std::optional<double> Num(std::string s) {
    for (char& c : s) c = c == 'D' ? 'E' : c;
    return s.empty() ? std::nullopt : std::optional<double>(std::strtod(s.c_str(), nullptr));
}

// A RINEX file: the header's columns 1-60 by label, and the records, each a list of
// lines. A record starts at '>' (or, in a RINEX 3 navigation file, at 'G').
struct RinexFile {
    std::vector<std::string> labels;
    std::map<std::string, std::vector<std::string>> header;
    std::vector<std::vector<std::string>> records;
};
RinexFile Read(const std::string& path) {
    RinexFile f;
    bool inHeader = true, gStarts = false;
    for (const std::string& line : Lines(ReadAll(path))) {
        if (inHeader) {
            f.labels.push_back(Col(line, 61, 20));
            f.header[f.labels.back()].push_back(line.substr(0, 60));
            gStarts = gStarts || (line.rfind("     3.", 0) == 0 && line[20] == 'N');
            inHeader = f.labels.back() != "END OF HEADER";
        } else if (line[0] == '>' || (gStarts && line[0] == 'G') || !f.records.empty()) {
            if (line[0] == '>' || (gStarts && line[0] == 'G')) f.records.emplace_back();
            f.records.back().push_back(line.substr(0, line.find_last_not_of(" \r") + 1));
        }
    }
    return f;
}

// Every observation field (F14.3, loss of lock, signal strength) with its epoch line
// and satellite; the lines of event records as they are.
using Field = std::tuple<std::string, std::optional<double>, std::string, std::string>;
std::vector<Field> ObservationFields(const RinexFile& f) {
    std::vector<Field> fields;
    for (const std::vector<std::string>& r : f.records)
        for (size_t s = 1; s < r.size(); ++s) {
            if (r[s][0] != 'G') fields.emplace_back(r[s], std::nullopt, "", "");
            for (size_t c = 4; r[s][0] == 'G' && c <= r[s].size(); c += 16)
                fields.emplace_back(Col(r[0], 1, 56) + r[s].substr(0, 3), Num(Col(r[s], c, 14)), Col(r[s], c + 14, 1),
                                    Col(r[s], c + 15, 1));
        }
    return fields;
}

// The values (D19.12) of lines from `from` on: after the satellite and date of an
// epoch line (23 columns), after 4 blanks on the others.
std::vector<std::optional<double>> Values(const std::vector<std::string>& lines, size_t from) {
    std::vector<std::optional<double>> v;
    for (size_t k = from; k < lines.size(); ++k)
        for (size_t c = lines[k][0] == 'G' || std::isdigit(static_cast<unsigned char>(lines[k][4])) ? 24 : 5;
             c + 18 <= lines[k].size(); c += 19)
            v.push_back(Num(Col(lines[k], c, 19)));
    return v;
}

// The GPS time of "yyyy mm dd hh mm ss" at column first.
GpsTime Epoch(const std::string& line, size_t first) {
    const auto n = [&](size_t at, size_t count) { return std::stoi(Col(line, first + at, count)); };
    return RinexEpochTime(n(0, 4), n(5, 2), n(8, 2), n(11, 2), n(14, 2), n(17, 2));
}

}  // namespace

TEST(Rinex4Conversion, FilesCarryTheValuesOfTheRinex3Files) {
    ScratchDir dir;
    SynthRequest make;
    make.synth = {.receiverDated = false,
                  .satelliteDated = true,
                  .start = NominalStart(),
                  .duration = 1200,
                  .interval = 10,
                  .dual = true,
                  .antiSpoofing = true,
                  .events = true,
                  .slipEvery = 7};
    SimulationOutput output;
    output.rawPath = dir.File("SRC.RAW");
    SynthSummary summary;
    std::string error;
    ASSERT_TRUE(RunSynth(make, output, summary, error)) << error;
    ConversionRequest request = Request(dir, output.rawPath);
    request.recordingDate = NominalStart().ToDays();
    RinexFile obs[2], nav[2];  // RINEX 3, RINEX 4
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
    // Observations: the header records of RINEX 3 but SYS / PHASE SHIFT, which
    // RINEX 4 drops, under version 4.01; every field and event line the same.
    EXPECT_EQ(Col(obs[1].header["RINEX VERSION / TYPE"][0], 1, 9), "4.01");
    std::vector<std::string> labels = obs[0].labels;
    std::erase(labels, "SYS / PHASE SHIFT");
    EXPECT_EQ(obs[1].labels, labels);
    EXPECT_EQ(obs[1].header["SYS / # / OBS TYPES"], obs[0].header["SYS / # / OBS TYPES"]);
    const std::vector<Field> fields = ObservationFields(obs[0]);
    EXPECT_GT(fields.size(), 5000u);
    EXPECT_TRUE(ObservationFields(obs[1]) == fields);

    // Navigation: each ephemeris of RINEX 3 an EPH record of the same satellite, toc
    // and values; ION and STO hold the header values of RINEX 3 (there with fewer
    // digits); the same leap seconds.
    EXPECT_EQ(nav[1].header["RINEX VERSION / TYPE"][0].substr(0, 46), "     4.01           N: GNSS NAV DATA    G: GPS");
    std::vector<std::pair<std::string, std::vector<std::optional<double>>>> eph3, eph4;
    for (const std::vector<std::string>& r : nav[0].records) eph3.emplace_back(Col(r[0], 1, 23), Values(r, 0));
    std::map<std::string, std::vector<std::string>> messages;
    for (const std::vector<std::string>& r : nav[1].records) {
        ASSERT_GE(r.size(), 3u);
        EXPECT_EQ(Col(r[0], 1, 1) + Col(r[0], 11, 4), ">LNAV");
        if (Col(r[0], 3, 3) == "EPH") {
            EXPECT_EQ(Col(r[0], 7, 3), Col(r[1], 1, 3));
            eph4.emplace_back(Col(r[1], 1, 23), Values(r, 1));
        } else {
            messages[Col(r[0], 3, 3)] = r;
        }
    }
    EXPECT_GT(eph3.size(), 8u);
    EXPECT_EQ(eph3[0].second.size(), 28u);  // clock, six orbit lines, transmission time
    EXPECT_TRUE(eph4 == eph3);

    const auto near = [](std::optional<double> rinex4, std::optional<double> rinex3, int digits) {
        return rinex4 && rinex3 && std::fabs(*rinex4 - *rinex3) <= std::fabs(*rinex3) * std::pow(10.0, -digits);
    };
    const std::vector<std::string>& ionosphere = nav[0].header["IONOSPHERIC CORR"];  // GPSA, GPSB
    const std::vector<std::optional<double>> ion = Values(messages["ION"], 1);
    ASSERT_EQ(ionosphere.size(), 2u);
    ASSERT_EQ(ion.size(), 8u);
    for (size_t k = 0; k < 8; ++k) EXPECT_TRUE(near(ion[k], Num(Col(ionosphere[k / 4], 6 + 12 * (k % 4), 12)), 4)) << k;
    const std::vector<std::string>& sto = messages["STO"];
    const std::string gput = nav[0].header["TIME SYSTEM CORR"].at(0);
    ASSERT_EQ(sto.size(), 3u);
    EXPECT_EQ(Col(sto[1], 25, 18) + "|" + Col(sto[1], 44, 18) + "|" + Col(sto[1], 63, 18), "GPUT||UTC(USNO)");
    const std::vector<std::optional<double>> utc = Values(sto, 2);  // transmission time, A0, A1, A2
    ASSERT_EQ(utc.size(), 4u);
    EXPECT_TRUE(near(utc[1], Num(Col(gput, 6, 17)), 10));
    EXPECT_TRUE(near(utc[2], Num(Col(gput, 23, 16)), 9));
    EXPECT_EQ(utc[3], 0.0);
    EXPECT_EQ(Epoch(sto[1], 5),
              GpsTime(static_cast<uint16_t>(std::stoi(Col(gput, 47, 4))), std::stod(Col(gput, 40, 6))));
    // Sent during the recording, at the transmission time of STO.
    const GpsTime sent = Epoch(messages["ION"][1], 5);
    EXPECT_TRUE(sent.Difference(NominalStart()) >= 0 && sent.Difference(NominalStart()) <= 1200);
    EXPECT_NEAR(utc[0].value_or(0), sent.seconds, 0.5);
    EXPECT_EQ(nav[1].header["LEAP SECONDS"], nav[0].header["LEAP SECONDS"]);
    EXPECT_EQ(nav[1].header.count("IONOSPHERIC CORR") + nav[1].header.count("TIME SYSTEM CORR"), 0u);
}
