// A real RINEX recording (GEONET station 0759) turned into receiver-dated raw files and
// read back: codes as travel times, phases, Dopplers from the phase rate, lock counters
// at the flagged losses of lock, ephemerides and ionosphere/UTC parameters.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tests/tools/ToolsTestSupport.h"
#include "tools/rawsim/RinexReader.h"

namespace {

constexpr double kC = 299792458.0;

struct Converted {
    Truth truth;
    DecodedFile got;
};

Converted Convert(const std::string& obs, RawLayout layout, SimTempDir& dir) {
    Converted out;
    FromRinexRequest r;
    r.layout = layout;
    r.rinex.obsPath = obs;
    r.rinex.navPath = TestData("07590920.05n");
    SimulationOutput o;
    o.rawPath = dir.File("raw");
    o.truthPath = dir.File("raw.truth.json");
    o.truth = &out.truth;
    std::string error;
    EXPECT_TRUE(RunFromRinex(r, o, error)) << error;
    out.got = ReadRawFile(o.rawPath, FormatIndex(layout), 1316);
    return out;
}

// The header and the first n epochs of the 0759 file; lli replaces the loss-of-lock
// digit of the L1 value of PRN 7 in epoch slipEpoch (none when negative).
std::string ShortRecording(SimTempDir& dir, int epochs, int slipEpoch) {
    std::ifstream in(TestData("07590920.05o"));
    std::stringstream out;
    std::string line;
    int epoch = -1, satLine = 0;
    bool header = true;
    while (std::getline(in, line)) {
        if (header) {
            out << line << "\n";
            if (line.find("END OF HEADER") != std::string::npos) header = false;
            continue;
        }
        if (line.size() > 30 && line[28] == '0' && line.substr(0, 3) == " 05") {
            if (++epoch == epochs) break;
            satLine = 0;
            out << line << "\n";
            continue;
        }
        // Satellite order of these epochs: 3 7 8 11 19 20 24 28; L1 comes first.
        if (epoch == slipEpoch && satLine == 1) line[14] = '1';
        ++satLine;
        out << line << "\n";
    }
    const std::string path = dir.File("short.05o");
    std::ofstream(path) << out.str();
    return path;
}

TEST(FromRinex, CodesPhasesAndDopplersOfTheFirstEpochs) {
    SimTempDir dir;
    const Converted c = Convert(TestData("07590920.05o"), RawLayout::Binary, dir);
    ASSERT_EQ(c.got.invalid, 0);
    ASSERT_EQ(c.got.epochs.size(), 120u);
    const ObservationEpoch& first = c.got.epochs[0];
    EXPECT_EQ(first.time.week, 1316);
    EXPECT_DOUBLE_EQ(first.time.seconds, 518400.0);  // Saturday 2 April 2005 00:00
    const SatObservation& g3 = first.sat[2];
    // C1 24767686.375 m, L1 55923622.160, L2 43647388.242 (anti-spoofing), P2 24767684.822 m.
    EXPECT_NEAR(g3.value[kC1], 24767686.375 / kC, 0.5e-10);
    EXPECT_NEAR(g3.value[kL1], 3622.160, 1e-9);
    EXPECT_NEAR(g3.value[kL2], 7388.242, 1e-9);
    EXPECT_NEAR(g3.value[kP2], 24767684.822 / kC, 1e-10);
    EXPECT_EQ(g3.antiSpoofing, 1);
    EXPECT_FALSE(g3.Has(kP1));
    // L1 56072048.441 at 30 s: forward difference (56072048.441 - 55923622.160) / 30.
    EXPECT_NEAR(g3.value[kD1], 4947.5427, 0.002 + 1e-4);
    // Second epoch: centred, (56220567.922 - 55923622.160) / 60.
    EXPECT_NEAR(c.got.epochs[1].sat[2].value[kD1], 4949.0960, 0.002 + 1e-4);
    EXPECT_EQ(g3.cn0, 45);  // no signal strength in the file: the default
    // The whole navigation file (every record healthy) and one ionosphere/UTC record.
    RinexNavData nav;
    std::string error;
    ASSERT_TRUE(ReadRinexNav(TestData("07590920.05n"), nav, error));
    EXPECT_EQ(c.got.ephemerides.size(), nav.ephemerides.size());
    ASSERT_EQ(c.got.ionoUtc.size(), 1u);
    EXPECT_DOUBLE_EQ(c.got.ionoUtc[0].alpha0, 12 * 9.3132257461549e-10);
    ASSERT_FALSE(c.got.events.empty());
    EXPECT_EQ(c.got.events[0].kind, kEventAntennaHeight);
    EXPECT_DOUBLE_EQ(c.got.events[0].value, 0.0);
    // The truth's expected codes of a conversion are the travel times times c.
    EXPECT_NEAR(c.truth.epochs[0].sats[0].c1, 24767686.375, 0.03);
    EXPECT_NEAR(c.truth.station[0], -3976219.5082, 1e-9);
}

TEST(FromRinex, EveryLayoutDecodesToItsTruth) {
    for (RawLayout layout : {RawLayout::Binary, RawLayout::AsciiCsv, RawLayout::AsciiFixed}) {
        SimTempDir dir;
        const Converted c = Convert(TestData("07590920.05o"), layout, dir);
        const std::string name = LayoutName(layout);
        EXPECT_EQ(c.got.invalid, 0) << name;
        ASSERT_EQ(c.got.epochs.size(), c.truth.epochs.size()) << name;
        for (size_t k = 0; k < c.got.epochs.size(); ++k) {
            ExpectSameEpoch(c.got.epochs[k], c.truth.epochs[k].decoded, name + " epoch " + std::to_string(k));
        }
        // Codes to the layouts' 1e-10 s, whatever the layout.
        const SatObservation& g3 = c.got.epochs[5].sat[2];
        RinexObsReader reader;
        std::string error;
        ASSERT_TRUE(reader.Open(TestData("07590920.05o"), error));
        RinexObsEpoch e;
        for (int k = 0; k <= 5; ++k) ASSERT_TRUE(reader.Next(e));
        EXPECT_NEAR(g3.value[kC1] * kC, e.sats[0].values[reader.TypeIndex("C1")].value, 0.02) << name;
    }
}

TEST(FromRinex, FlaggedLossOfLockChangesTheLockCounterAndBoundsTheDoppler) {
    SimTempDir dir;
    const Converted c = Convert(ShortRecording(dir, 4, 2), RawLayout::Binary, dir);
    ASSERT_EQ(c.got.epochs.size(), 4u);
    const int g7 = 6;
    EXPECT_EQ(c.got.epochs[0].sat[g7].status[0] & 0x1F, 0);
    EXPECT_EQ(c.got.epochs[1].sat[g7].status[0] & 0x1F, 0);
    EXPECT_EQ(c.got.epochs[2].sat[g7].status[0] & 0x1F, 1);
    EXPECT_EQ(c.got.epochs[3].sat[g7].status[0] & 0x1F, 1);
    EXPECT_EQ(c.got.epochs[2].sat[2].status[0] & 0x1F, 0);  // PRN 3 keeps its lock
    EXPECT_TRUE(c.truth.epochs[2].sats[1].lossOfLockL1);
    EXPECT_FALSE(c.truth.epochs[1].sats[1].lossOfLockL1);
    // Epoch 1 of PRN 7 takes its Doppler from epochs 0 and 1 only:
    // L1 -691177.898 and -701908.445 over 30 s.
    EXPECT_NEAR(c.got.epochs[1].sat[g7].value[kD1], (-701908.445 + 691177.898) / 30.0, 0.002 + 1e-4);
}

TEST(FromRinex, SignalStrengthDigitsBecomeDensities) {
    EXPECT_EQ(Cn0OfStrength(1, 45), 29);
    EXPECT_EQ(Cn0OfStrength(5, 45), 33);
    EXPECT_EQ(Cn0OfStrength(6, 45), 36);
    EXPECT_EQ(Cn0OfStrength(9, 45), 52);
    EXPECT_EQ(Cn0OfStrength(0, 45), 45);
}

TEST(FromRinex, MissingInputIsReported) {
    SimTempDir dir;
    FromRinexRequest r;
    r.rinex.obsPath = dir.File("none.05o");
    r.rinex.navPath = TestData("07590920.05n");
    SimulationOutput o;
    o.rawPath = dir.File("raw");
    std::string error;
    EXPECT_FALSE(RunFromRinex(r, o, error));
    EXPECT_NE(error.find("none.05o"), std::string::npos);
}

}  // namespace
