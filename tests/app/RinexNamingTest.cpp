#include "app/dialog/RinexNaming.h"

#include <gtest/gtest.h>

#include <cmath>

#include "app/dialog/DialogValues.h"

namespace {

// Days since 6 January 1980 of some dates.
constexpr double k3Feb2001 = 7699;
constexpr double k31Dec2000 = 7665;
constexpr double k15Mar2024 = 16140;

TEST(RinexNaming, SiteDayIndexAndYear) {
    EXPECT_EQ(RinexBaseName("ALGO-1", k3Feb2001, 0), "ALGO0340.01");
    const RinexPaths p = RinexOutputPaths("/data", "/nav", "ALGO-1", k3Feb2001, 0);
    EXPECT_EQ(p.observation, "/data/ALGO0340.01O");
    EXPECT_EQ(p.navigation, "/nav/ALGO0340.01N");
}

TEST(RinexNaming, ShortAndBlankMarkerNamesAreKept) {
    EXPECT_EQ(RinexBaseName("AB", k3Feb2001, 0), "AB0340.01");
    EXPECT_EQ(RinexBaseName("X Y Z", k3Feb2001, 0), "X Y 0340.01");
    EXPECT_EQ(RinexBaseName("", k3Feb2001, 0), "0340.01");
    EXPECT_EQ(RinexBaseName("site", k3Feb2001, 0), "site0340.01");  // no change of case
}

TEST(RinexNaming, LeapYearEndAndModernDates) {
    EXPECT_EQ(RinexBaseName("ALGO", k31Dec2000, 0), "ALGO3660.00");
    EXPECT_EQ(RinexBaseName("ALGO", k15Mar2024, 2), "ALGO0752.24");
}

TEST(RinexNaming, FileIndexIsLimitedToOneDigit) {
    EXPECT_EQ(RinexBaseName("ALGO", k3Feb2001, 9), "ALGO0349.01");
    EXPECT_EQ(RinexBaseName("ALGO", k3Feb2001, -1), "ALGO0340.01");
    EXPECT_EQ(RinexBaseName("ALGO", k3Feb2001, 12), "ALGO0349.01");
}

TEST(RinexNaming, ASlashInTheSiteCannotLeaveTheFolder) {
    EXPECT_EQ(RinexBaseName("../X", k3Feb2001, 0), ".._X0340.01");
    EXPECT_EQ(RinexOutputPaths("/out", "/out", "A/B", k3Feb2001, 0).observation, "/out/A_B0340.01O");
}

TEST(RinexNaming, ADateBeforeTheOriginOrNoNumberGivesTheOrigin) {
    EXPECT_EQ(RinexBaseName("A", -3, 0), "A0060.80");  // 6 January 1980
    EXPECT_EQ(RinexBaseName("A", std::nan(""), 0), "A0060.80");
}

TEST(RinexNaming, DeriveRinexNamesSetsBothPathsOfTheDialog) {
    MainDialogValues v;
    v.observationDirectory = "/obs";
    v.navigationDirectory = "/nav";
    v.header[kMarkerName] = "ALGO-1";
    v.recordedOn = k3Feb2001;
    v.fileIndex = 1;
    DeriveRinexNames(v);
    EXPECT_EQ(v.observationPath, "/obs/ALGO0341.01O");
    EXPECT_EQ(v.navigationPath, "/nav/ALGO0341.01N");
}

TEST(RinexNaming, CompressedOutputsNameTheirContent) {
    struct Case {
        int version;
        bool hatanaka, gzip;
        const char* observation;
        const char* navigation;
    };
    for (const Case& c : {Case{2, true, false, "/obs/ALGO0340.01D", "/nav/ALGO0340.01N"},
                          Case{2, false, true, "/obs/ALGO0340.01O.gz", "/nav/ALGO0340.01N.gz"},
                          Case{2, true, true, "/obs/ALGO0340.01D.gz", "/nav/ALGO0340.01N.gz"},
                          Case{3, true, false, "/obs/ALGO00XXX_R_20010340000_15M_00U_GO.crx",
                               "/nav/ALGO00XXX_R_20010340000_15M_GN.rnx"},
                          Case{3, true, true, "/obs/ALGO00XXX_R_20010340000_15M_00U_GO.crx.gz",
                               "/nav/ALGO00XXX_R_20010340000_15M_GN.rnx.gz"}}) {
        MainDialogValues v;
        v.observationDirectory = "/obs";
        v.navigationDirectory = "/nav";
        v.header[kMarkerName] = "ALGO";
        v.recordedOn = k3Feb2001;
        v.rinexVersion = c.version;
        v.hatanaka = c.hatanaka;
        v.gzip = c.gzip;
        DeriveRinexNames(v);
        EXPECT_EQ(v.observationPath, c.observation);
        EXPECT_EQ(v.navigationPath, c.navigation);
    }
}

}  // namespace

TEST(RinexNaming, RememberedExtensionsTakeTheRecordingsYear) {
    const struct {
        const char* remembered;
        const char* proposed;
    } cases[] = {{"05o", "24o"}, {"05N", "24N"}, {"obs", "obs"}, {"", ""}, {"05", "05"}, {"5o", "5o"}, {"o05", "o05"}};
    for (const auto& c : cases) EXPECT_EQ(ExtensionForRecording(c.remembered, k15Mar2024), c.proposed) << c.remembered;
}
