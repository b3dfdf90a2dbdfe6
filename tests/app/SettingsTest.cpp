#include "app/dialog/Settings.h"

#include <gtest/gtest.h>

#include "app/dialog/ControlIds.h"
#include "tests/app/DialogTestSupport.h"

namespace {

using SettingsTest = DialogFixture;

TEST_F(SettingsTest, FirstRunWithoutAProfile) {
    CMainDialog& d = Open();
    const MainDialogValues& v = d.values;
    const std::string raw = folder.File("RAW");
    EXPECT_EQ(v.sourceDirectory, raw);
    EXPECT_EQ(v.observationDirectory, raw);
    EXPECT_EQ(v.navigationDirectory, raw);
    EXPECT_EQ(v.observationExtension, "RNX");
    EXPECT_EQ(v.navigationExtension, "EPH");
    EXPECT_EQ(v.sourcePath, raw + "/*.*");
    EXPECT_EQ(v.observationPath, raw + "/*.RNX");
    EXPECT_EQ(v.navigationPath, raw + "/*.EPH");
    EXPECT_EQ(v.format, 0);
    EXPECT_EQ(v.recordedOn, k3Feb2001);
    EXPECT_EQ(v.header[kMarkerName], "SITE");
    for (int i = kMarkerNumber; i < kHeaderTextCount; ++i) EXPECT_EQ(v.header[i], "") << i;
    EXPECT_FALSE(v.autoNaming);
    EXPECT_EQ(v.tx, 0.0);
    EXPECT_EQ(v.dopplerMode, 0);
    EXPECT_FALSE(v.smoothedPseudoranges);
    EXPECT_FALSE(v.logFile);
    for (int i = 0; i < kHeaderTextCount; ++i)
        EXPECT_TRUE(controls.Entries(HeaderTextTable(i).controlId).empty()) << i;
    // Loading writes nothing.
    EXPECT_FALSE(std::filesystem::exists(profile->Path()));
}

TEST_F(SettingsTest, StoredDefaultsAndAdvancedOptionsAreLoaded) {
    profile->WriteString("Defaults", "SrcDir", "/src");
    profile->WriteString("Defaults", "ObsDir", "/obs");
    profile->WriteString("Defaults", "NavDir", "/nav");
    profile->WriteString("Defaults", "ObsExt", "");
    profile->WriteString("Defaults", "NavExt", "n");
    profile->WriteInt("Defaults", "Format", 1);
    profile->WriteString("Defaults", "Observer", "jane");
    profile->WriteString("Defaults", "AntType", "CHOKE RING");
    profile->WriteInt("Advanced", "Tx", 75);
    profile->WriteInt("Advanced", "SmouthedDopplers", 1);
    profile->WriteInt("Advanced", "SmouthedPseudoranges", 1);
    profile->WriteInt("Advanced", "LogFile", 1);
    const MainDialogValues& v = Open().values;
    EXPECT_EQ(v.sourcePath, "/src/*.*");
    EXPECT_EQ(v.observationPath, "/obs/*");  // no extension: no "."
    EXPECT_EQ(v.navigationPath, "/nav/*.n");
    EXPECT_EQ(v.format, 1);
    EXPECT_EQ(v.header[kObserver], "JANE");
    EXPECT_EQ(v.header[kAntennaType], "CHOKE RING");
    EXPECT_DOUBLE_EQ(v.tx, 0.075);
    EXPECT_EQ(v.dopplerMode, 1);
    EXPECT_TRUE(v.smoothedPseudoranges);
    EXPECT_TRUE(v.logFile);
    EXPECT_EQ(controls.Text(ControlId::kAdvancedSummary), "( Tr = Ts + 75 ms, using smoothed dopplers )");
}

TEST_F(SettingsTest, AutomaticNamingDerivesThePathsAtLoad) {
    profile->WriteString("Defaults", "ObsDir", "/obs");
    profile->WriteString("Defaults", "NavDir", "/nav");
    profile->WriteInt("Defaults", "Auto", 1);
    const MainDialogValues& v = Open().values;
    EXPECT_TRUE(v.autoNaming);
    EXPECT_EQ(v.observationPath, "/obs/SITE0340.01O");
    EXPECT_EQ(v.navigationPath, "/nav/SITE0340.01N");
}

TEST_F(SettingsTest, AGapInAHistoryHidesWhatFollows) {
    for (int i = 0; i < 5; ++i)
        profile->WriteString("Observers", "History0" + std::to_string(i), "OBS" + std::to_string(i));
    profile->WriteString("Observers", "History03", "<Unused>");
    profile->WriteString("Agencies", "History00", "");
    profile->WriteString("Agencies", "History01", "LOST");
    profile->WriteString("MarkerNames", "History00", "algo");
    Open();
    EXPECT_EQ(controls.Entries(ControlId::kObserver), (std::vector<std::string>{"OBS0", "OBS1", "OBS2"}));
    EXPECT_TRUE(controls.Entries(ControlId::kAgency).empty());
    EXPECT_EQ(controls.Entries(ControlId::kMarkerName), (std::vector<std::string>{"ALGO"}));
}

TEST_F(SettingsTest, AddToHistoriesPutsTheValueOnTopOnce) {
    CMainDialog& d = Open();
    controls.SetEntries(ControlId::kMarkerName, {"ABC", "ab", "X"});
    d.values.header[kMarkerName] = "AB";
    AddToHistories(d.values, controls);
    EXPECT_EQ(controls.Entries(ControlId::kMarkerName), (std::vector<std::string>{"AB", "ABC", "X"}));
    EXPECT_EQ(controls.Selection(ControlId::kMarkerName), 0);
    // An empty header text becomes an empty entry on top.
    EXPECT_EQ(controls.Entries(ControlId::kMarkerNumber), (std::vector<std::string>{""}));
}

TEST_F(SettingsTest, ASixteenthValuePushesTheOldestOut) {
    CMainDialog& d = Open();
    for (int i = 1; i <= 16; ++i) {
        d.values.header[kAgency] = "AGENCY " + std::to_string(i);
        AddToHistories(d.values, controls);
    }
    const std::vector<std::string> list = controls.Entries(ControlId::kAgency);
    ASSERT_EQ(list.size(), 15u);
    EXPECT_EQ(list.front(), "AGENCY 16");
    EXPECT_EQ(list.back(), "AGENCY 2");
}

TEST_F(SettingsTest, StoreDefaultsWritesEveryKeyAndTheHistories) {
    CMainDialog& d = Open();
    MainDialogValues& v = d.values;
    v.sourceDirectory = "/Src";
    v.observationDirectory = "/Obs";
    v.navigationDirectory = "/Nav";
    v.observationExtension = "o";
    v.navigationExtension = "n";
    v.format = 1;
    v.autoNaming = true;
    v.header = {"ALGO", "40104M001", "OBSERVER", "AGENCY", "RN", "RT", "RV", "AN", "AT"};
    AddToHistories(v, controls);
    ASSERT_TRUE(StoreDefaults(v, controls, *profile));

    Profile stored(profile->Path());
    EXPECT_EQ(stored.GetString("Defaults", "SrcDir", ""), "/Src");
    EXPECT_EQ(stored.GetString("Defaults", "ObsDir", ""), "/Obs");
    EXPECT_EQ(stored.GetString("Defaults", "NavDir", ""), "/Nav");
    EXPECT_EQ(stored.GetString("Defaults", "ObsExt", ""), "o");
    EXPECT_EQ(stored.GetString("Defaults", "NavExt", ""), "n");
    EXPECT_EQ(stored.GetInt("Defaults", "Format", -1), 1);
    EXPECT_EQ(stored.GetString("Defaults", "Observer", ""), "OBSERVER");
    EXPECT_EQ(stored.GetString("Defaults", "Agency", ""), "AGENCY");
    EXPECT_EQ(stored.GetString("Defaults", "RecNum", ""), "RN");
    EXPECT_EQ(stored.GetString("Defaults", "RecType", ""), "RT");
    EXPECT_EQ(stored.GetString("Defaults", "RecVer", ""), "RV");
    EXPECT_EQ(stored.GetString("Defaults", "AntNum", ""), "AN");
    EXPECT_EQ(stored.GetString("Defaults", "AntType", ""), "AT");
    EXPECT_EQ(stored.GetInt("Defaults", "Auto", -1), 1);
    EXPECT_EQ(stored.GetString("Defaults", "MarkerName", "none"), "none");  // no such key
    EXPECT_EQ(stored.GetString("MarkerNames", "History00", ""), "ALGO");
    EXPECT_EQ(stored.GetString("MarkerNames", "History01", ""), "<Unused>");
    EXPECT_EQ(stored.GetString("MarkerNumbers", "History00", ""), "40104M001");
    EXPECT_EQ(stored.GetString("AntennaTypes", "History14", ""), "<Unused>");
    EXPECT_EQ(stored.GetString("AntennaTypes", "History15", "none"), "none");
}

TEST_F(SettingsTest, AnEmptyEntryOnTopHidesTheListAtTheNextLoad) {
    CMainDialog& d = Open();
    controls.SetEntries(ControlId::kMarkerNumber, {"OLD"});
    d.values.header[kMarkerNumber] = "";
    AddToHistories(d.values, controls);
    ASSERT_TRUE(StoreHistories(controls, *profile));
    Profile stored(profile->Path());
    EXPECT_EQ(stored.GetString("MarkerNumbers", "History00", "missing"), "");
    EXPECT_EQ(stored.GetString("MarkerNumbers", "History01", ""), "OLD");
    MemoryControls fresh;
    LoadHistories(fresh, stored);
    EXPECT_TRUE(fresh.Entries(ControlId::kMarkerNumber).empty());
}

TEST_F(SettingsTest, StoreAdvancedWritesTheFourKeys) {
    CMainDialog& d = Open();
    d.values.tx = 0.1;
    d.values.dopplerMode = 1;
    d.values.logFile = true;
    ASSERT_TRUE(StoreAdvanced(d.values, *profile));
    Profile stored(profile->Path());
    EXPECT_EQ(stored.GetInt("Advanced", "Tx", -1), 100);
    EXPECT_EQ(stored.GetInt("Advanced", "SmouthedDopplers", -1), 1);
    EXPECT_EQ(stored.GetInt("Advanced", "SmouthedPseudoranges", -1), 0);
    EXPECT_EQ(stored.GetInt("Advanced", "LogFile", -1), 1);
}

}  // namespace
