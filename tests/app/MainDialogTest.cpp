#include "app/dialog/MainDialog.h"

#include <gtest/gtest.h>

#include <sys/time.h>

#include "app/dialog/ControlIds.h"
#include "app/dialog/RinexNaming.h"
#include "app/dialog/TxText.h"
#include "convert/StringTable.h"
#include "tests/app/DialogTestSupport.h"

namespace {

class MainDialogTest : public DialogFixture {
protected:
    // A source file and two output paths that do not exist yet, written into the controls.
    void PrepareConversion(CMainDialog& d) {
        source = folder.Write("algo.raw", "ASCII DATA\n");
        controls.SetText(ControlId::kSourcePath, source);
        d.SourceTyped();  // taken as the focus leaves the edit
        controls.SetText(ControlId::kObservationPath, folder.File("out.o"));
        controls.SetText(ControlId::kNavigationPath, folder.File("out.n"));
    }
    std::string source;
};

TEST_F(MainDialogTest, InitialisationFillsTheControls) {
    Open();
    EXPECT_EQ(controls.Entries(ControlId::kFormat), (std::vector<std::string>{"QERN ASCII", "QERN BINARY"}));
    const std::vector<std::string> index = controls.Entries(ControlId::kFileIndex);
    ASSERT_EQ(index.size(), 10u);
    EXPECT_EQ(index[0], "0 (1st session of day)");
    EXPECT_EQ(index[2], "2 (3rd session of day)");
    EXPECT_EQ(index[9], "9 (10th session of day)");
    EXPECT_EQ(controls.Text(ControlId::kSourcePath), folder.File("RAW") + "/*.*");
    EXPECT_EQ(controls.Selection(ControlId::kFormat), 0);
    EXPECT_EQ(controls.Selection(ControlId::kFileIndex), 0);
    EXPECT_EQ(controls.Value(ControlId::kRecordedOn), k3Feb2001);
    EXPECT_EQ(controls.Text(ControlId::kMarkerName), "SITE");
    EXPECT_FALSE(controls.Checked(ControlId::kAutoNaming));
    EXPECT_TRUE(controls.Enabled(ControlId::kObservationPath));
    EXPECT_TRUE(controls.Enabled(ControlId::kNavigationPath));
    EXPECT_FALSE(controls.Shown(ControlId::kFileIndexLabel));
    EXPECT_FALSE(controls.Shown(ControlId::kFileIndex));
    EXPECT_EQ(controls.Text(ControlId::kAdvancedSummary), "( Tr = Ts + 0 ms, using instantaneous dopplers )");
}

TEST_F(MainDialogTest, HeaderTextsAreUpperCaseAndPathsKeepTheirCase) {
    CMainDialog& d = Open();
    controls.SetText(ControlId::kObserver, "Jane Doe");
    controls.SetText(ControlId::kSourcePath, "/Data/Raw/algo.raw");
    ASSERT_TRUE(d.ExchangeValues(false));
    EXPECT_EQ(d.values.header[kObserver], "JANE DOE");
    EXPECT_EQ(d.values.sourcePath, "/Data/Raw/algo.raw");
    d.values.header[kAgency] = "nrcan";
    d.ExchangeValues(true);
    EXPECT_EQ(controls.Text(ControlId::kAgency), "NRCAN");
}

TEST_F(MainDialogTest, WritingAComboSelectsOnlyAnEqualEntry) {
    CMainDialog& d = Open();
    controls.SetEntries(ControlId::kMarkerName, {"ABC"});
    d.values.header[kMarkerName] = "AB";
    d.ExchangeValues(true);
    EXPECT_EQ(controls.Text(ControlId::kMarkerName), "AB");
    EXPECT_EQ(controls.Selection(ControlId::kMarkerName), -1);
    ASSERT_TRUE(d.ExchangeValues(false));
    EXPECT_EQ(d.values.header[kMarkerName], "AB");
    controls.SetEntries(ControlId::kMarkerName, {"ABC", "AB"});
    d.ExchangeValues(true);
    EXPECT_EQ(controls.Selection(ControlId::kMarkerName), 1);
}

TEST_F(MainDialogTest, OverLengthTextStopsTheReadingAtItsControl) {
    CMainDialog& d = Open();
    d.values.header[kReceiverType] = "OLD TYPE";
    d.values.header[kAntennaType] = "OLD ANTENNA";
    controls.SetText(ControlId::kAgency, std::string(40, 'A'));  // at the limit: fine
    controls.SetText(ControlId::kReceiverNumber, std::string(21, 'R'));
    controls.SetText(ControlId::kReceiverType, "NEW TYPE");
    EXPECT_FALSE(d.ExchangeValues(false));
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].text, "Please enter no more than 20 characters.");
    EXPECT_EQ(ui.Messages()[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(controls.FocusId(), ControlId::kReceiverNumber);
    EXPECT_EQ(d.values.header[kAgency], std::string(40, 'A'));
    EXPECT_EQ(d.values.header[kReceiverType], "OLD TYPE");
    EXPECT_EQ(d.values.header[kAntennaType], "OLD ANTENNA");
}

TEST_F(MainDialogTest, AMarkerNameOf61CharactersConvertsAndStoresNothing) {
    CMainDialog& d = Open();
    PrepareConversion(d);
    controls.SetText(ControlId::kMarkerName, std::string(61, 'M'));
    EXPECT_FALSE(d.GoPressed());
    EXPECT_EQ(ui.Messages().at(0).text, "Please enter no more than 60 characters.");
    EXPECT_EQ(controls.FocusId(), ControlId::kMarkerName);
    EXPECT_TRUE(requests.empty());
    EXPECT_FALSE(std::filesystem::exists(profile->Path()));
}

TEST_F(MainDialogTest, AutomaticNamingStateAndRefresh) {
    CMainDialog& d = Open();
    controls.SetChecked(ControlId::kAutoNaming, true);
    d.ToggleAutoNaming();
    const std::string raw = folder.File("RAW");
    EXPECT_FALSE(controls.Enabled(ControlId::kObservationPath));
    EXPECT_FALSE(controls.Enabled(ControlId::kNavigationPath));
    EXPECT_TRUE(controls.Shown(ControlId::kFileIndexLabel));
    EXPECT_TRUE(controls.Shown(ControlId::kFileIndex));
    EXPECT_EQ(controls.Text(ControlId::kObservationPath), raw + "/SITE0340.01O");

    // Typing in the marker name renames both outputs; typing elsewhere does not.
    controls.SetText(ControlId::kMarkerName, "algo-1");
    controls.SetText(ControlId::kObserver, "SOMEONE");
    controls.SetSelection(ControlId::kFileIndex, 9);
    d.RefreshAutoNames();
    EXPECT_EQ(controls.Text(ControlId::kObservationPath), raw + "/ALGO0349.01O");
    EXPECT_EQ(controls.Text(ControlId::kNavigationPath), raw + "/ALGO0349.01N");
    EXPECT_EQ(d.values.header[kObserver], "");

    // A selected history entry counts before the edit text.
    controls.SetEntries(ControlId::kMarkerName, {"PENT"});
    controls.SetSelection(ControlId::kMarkerName, 0);
    controls.SetSelection(ControlId::kFileIndex, -1);
    d.RefreshAutoNames();
    EXPECT_EQ(controls.Text(ControlId::kObservationPath), raw + "/PENT0340.01O");

    controls.SetChecked(ControlId::kAutoNaming, false);
    d.ToggleAutoNaming();
    EXPECT_TRUE(controls.Enabled(ControlId::kObservationPath));
    EXPECT_FALSE(controls.Shown(ControlId::kFileIndex));
    controls.SetText(ControlId::kMarkerName, "OTHER");
    d.RefreshAutoNames();  // off: nothing happens
    EXPECT_EQ(controls.Text(ControlId::kObservationPath), raw + "/PENT0340.01O");
}

TEST_F(MainDialogTest, BrowseSourceTakesTheValuesOfTheProbe) {
    CMainDialog& d = Open();
    std::vector<uint8_t> bytes(100, 'x');
    bytes[10] = 0xC8;
    const std::string picked = folder.Write("ab.raw", bytes);
    std::tm t {};
    t.tm_year = 101;
    t.tm_mon = 1;
    t.tm_mday = 3;
    t.tm_hour = 23;
    t.tm_min = 30;
    t.tm_isdst = -1;
    const std::time_t when = std::mktime(&t);
    struct timeval times[2] = {{when, 0}, {when, 0}};
    ASSERT_EQ(utimes(picked.c_str(), times), 0);

    chooser.fileAnswer = picked;
    ASSERT_TRUE(d.BrowseSource());
    EXPECT_EQ(chooser.lastMode, FileDialogMode::Open);
    EXPECT_EQ(chooser.lastInitialPath, folder.File("RAW") + "/*.*");
    EXPECT_EQ(chooser.lastSelectedFilter, 2);
    ASSERT_EQ(chooser.lastFilters.size(), 2u);
    EXPECT_EQ(chooser.lastFilters[0].patterns, "*.raw;*.var;*.txt");
    EXPECT_EQ(chooser.lastFilters[1].patterns, "*.bin;*.dat;*.d??");

    EXPECT_EQ(d.values.sourcePath, picked);
    EXPECT_EQ(d.values.recordedOn, k3Feb2001);  // the time of day is dropped
    EXPECT_EQ(d.values.format, 1);
    EXPECT_EQ(d.values.header[kMarkerName], "AB");
    EXPECT_EQ(d.values.observationPath, folder.File("RAW") + "/ab.RNX");
    EXPECT_EQ(d.values.navigationPath, folder.File("RAW") + "/ab.EPH");
    EXPECT_EQ(controls.Text(ControlId::kSourcePath), picked);
    EXPECT_EQ(controls.Selection(ControlId::kFormat), 1);
    EXPECT_EQ(controls.Text(ControlId::kMarkerName), "AB");
    EXPECT_EQ(controls.Value(ControlId::kRecordedOn), k3Feb2001);
}

TEST_F(MainDialogTest, BrowseSourceWithAutomaticNamingDerivesTheNames) {
    CMainDialog& d = Open();
    controls.SetChecked(ControlId::kAutoNaming, true);
    d.ToggleAutoNaming();
    chooser.fileAnswer = folder.Write("pent.raw", "text");
    ASSERT_TRUE(d.BrowseSource());
    EXPECT_EQ(d.values.format, 0);
    EXPECT_EQ(d.values.header[kMarkerName], "PENT");
    // The date is the file's own (today): only its form is checked.
    const std::string raw = folder.File("RAW");
    const std::string obs = controls.Text(ControlId::kObservationPath);
    EXPECT_EQ(obs.substr(0, raw.size() + 5), raw + "/PENT");
    EXPECT_EQ(obs.size(), raw.size() + 13);
    EXPECT_EQ(obs.back(), 'O');
    EXPECT_EQ(d.values.navigationPath, obs.substr(0, obs.size() - 1) + "N");
}

TEST_F(MainDialogTest, BrowseSourceCancelOrAnUnprobedChoice) {
    CMainDialog& d = Open();
    const MainDialogValues before = d.values;
    EXPECT_FALSE(d.BrowseSource());  // Cancel
    EXPECT_EQ(d.values.sourcePath, before.sourcePath);
    chooser.fileAnswer = folder.File("no/such/file.raw");
    EXPECT_TRUE(d.BrowseSource());
    EXPECT_EQ(d.values.sourcePath, folder.File("no/such/file.raw"));
    EXPECT_EQ(d.values.header[kMarkerName], "SITE");
    EXPECT_EQ(d.values.observationPath, before.observationPath);
    EXPECT_EQ(d.values.format, 0);
}

TEST_F(MainDialogTest, BrowseObservationByFileOrByFolder) {
    CMainDialog& d = Open();
    std::filesystem::create_directory(folder.File("out"));
    chooser.fileAnswer = folder.File("out/algo.o01");
    ASSERT_TRUE(d.BrowseObservation());
    EXPECT_EQ(chooser.lastMode, FileDialogMode::SaveAs);
    EXPECT_EQ(chooser.lastFilters.at(0).label, "RINEX Observation Files (*.RNX)");
    EXPECT_EQ(chooser.lastSelectedFilter, 1);
    EXPECT_EQ(d.values.observationPath, folder.File("out/algo.o01"));
    EXPECT_EQ(d.values.observationDirectory, folder.File("out"));
    EXPECT_EQ(d.values.observationExtension, "o01");
    EXPECT_FALSE(std::filesystem::exists(folder.File("out/algo.o01")));

    controls.SetChecked(ControlId::kAutoNaming, true);
    d.ToggleAutoNaming();
    chooser.folderAnswer = folder.File("out");
    ASSERT_TRUE(d.BrowseNavigation());
    EXPECT_EQ(chooser.lastInitialFolder, folder.File("RAW"));
    EXPECT_EQ(d.values.navigationDirectory, folder.File("out"));
    EXPECT_EQ(controls.Text(ControlId::kNavigationPath), folder.File("out") + "/SITE0340.01N");
}

TEST_F(MainDialogTest, BrowseOutputDirectoryKeepsTitlesAndPatterns) {
    CMainDialog& d = Open();
    std::filesystem::create_directory(folder.File("out"));
    chooser.folderAnswer = folder.File("out");
    // Both paths are still the patterns RAW/*.RNX and RAW/*.EPH.
    ASSERT_TRUE(d.BrowseOutputDirectory());
    EXPECT_EQ(chooser.lastInitialFolder, folder.File("RAW"));
    EXPECT_EQ(d.values.observationPath, folder.File("out") + "/*.RNX");
    EXPECT_EQ(d.values.navigationPath, folder.File("out") + "/*.EPH");
    EXPECT_EQ(d.values.observationDirectory, folder.File("out"));
    EXPECT_EQ(d.values.navigationDirectory, folder.File("out"));

    controls.SetText(ControlId::kObservationPath, folder.File("RAW") + "/algo.o");
    controls.SetText(ControlId::kNavigationPath, folder.File("RAW") + "/algo");
    ASSERT_TRUE(d.BrowseOutputDirectory());
    EXPECT_EQ(d.values.observationPath, folder.File("out") + "/algo.o");
    EXPECT_EQ(d.values.navigationPath, folder.File("out") + "/algo");

    const int dialogs = chooser.folderDialogs;
    controls.SetText(ControlId::kNavigationPath, "/no/such/folder/x.n");
    EXPECT_FALSE(d.BrowseOutputDirectory());  // neither a file nor a pattern
    controls.SetText(ControlId::kNavigationPath, folder.File("RAW") + "/*x");
    EXPECT_FALSE(d.BrowseOutputDirectory());  // "*" not followed by "."
    EXPECT_EQ(chooser.folderDialogs, dialogs);
}

TEST_F(MainDialogTest, IdenticalPathsAreRefusedBeforeAnyProbe) {
    CMainDialog& d = Open();
    controls.SetText(ControlId::kSourcePath, folder.File("x.raw"));  // does not exist
    controls.SetText(ControlId::kObservationPath, folder.File("X.RAW"));
    controls.SetText(ControlId::kNavigationPath, folder.File("x.n"));
    EXPECT_FALSE(d.ValidatePaths());
    EXPECT_EQ(ui.MessageIds(), (std::vector<int>{kStrFilesMustDiffer}));
    EXPECT_EQ(ui.Messages()[0].text, "Input and output files must all be differents !");
    EXPECT_EQ(controls.FocusId(), ControlId::kSourcePath);
    EXPECT_TRUE(controls.FocusSelectsText());
}

TEST_F(MainDialogTest, TheSameFileUnderAnotherSpellingIsRefused) {
    CMainDialog& d = Open();
    source = folder.Write("algo.raw", "data");
    std::filesystem::create_symlink(source, folder.File("link.o"));
    controls.SetText(ControlId::kSourcePath, source);
    controls.SetText(ControlId::kObservationPath, folder.File("link.o"));
    controls.SetText(ControlId::kNavigationPath, folder.File("sub/../out.n"));
    EXPECT_FALSE(d.ValidatePaths());
    EXPECT_EQ(ui.MessageIds(), (std::vector<int>{kStrFilesMustDiffer}));

    controls.SetText(ControlId::kObservationPath, folder.File("out.o"));
    controls.SetText(ControlId::kNavigationPath, folder.File("./out.o"));
    EXPECT_FALSE(d.ValidatePaths());
    EXPECT_EQ(ui.MessageIds().size(), 2u);
    EXPECT_TRUE(SameFile("/a/b/../c", "/A/C"));
    EXPECT_FALSE(SameFile(folder.File("p"), folder.File("q")));
}

TEST_F(MainDialogTest, AMissingSourceIsAnInvalidFileName) {
    CMainDialog& d = Open();
    controls.SetText(ControlId::kSourcePath, folder.File("missing.raw"));
    controls.SetText(ControlId::kObservationPath, folder.File("out.o"));
    controls.SetText(ControlId::kNavigationPath, folder.File("out.n"));
    EXPECT_FALSE(d.ValidatePaths());
    EXPECT_EQ(ui.MessageIds(), (std::vector<int>{kStrInvalidFileName}));
    EXPECT_EQ(controls.FocusId(), ControlId::kSourcePath);
    EXPECT_FALSE(std::filesystem::exists(folder.File("missing.raw")));
}

TEST_F(MainDialogTest, AnOutputInAMissingFolder) {
    CMainDialog& d = Open();
    PrepareConversion(d);
    controls.SetText(ControlId::kNavigationPath, folder.File("none/out.n"));
    EXPECT_FALSE(d.ValidatePaths());
    EXPECT_EQ(ui.MessageIds(), (std::vector<int>{kStrInvalidFileName}));
    EXPECT_EQ(controls.FocusId(), ControlId::kNavigationPath);
    // Steps before the failure keep what they set.
    EXPECT_EQ(d.values.sourceDirectory, folder.Path());
    EXPECT_EQ(d.values.observationDirectory, folder.Path());
    EXPECT_EQ(d.values.observationExtension, "o");
}

TEST_F(MainDialogTest, AutomaticNamingInAMissingFolderOpensTheFolderPicker) {
    profile->WriteInt("Defaults", "Auto", 1);
    profile->WriteString("Defaults", "ObsDir", folder.File("none"));
    CMainDialog& d = Open();
    controls.SetText(ControlId::kSourcePath, folder.Write("algo.raw", "data"));
    EXPECT_FALSE(d.ValidatePaths());
    EXPECT_EQ(ui.MessageIds(), (std::vector<int>{kStrInvalidPath}));
    EXPECT_EQ(chooser.folderDialogs, 1);
    EXPECT_EQ(chooser.lastInitialFolder, folder.File("none"));
}

TEST_F(MainDialogTest, ASilentRunNeverOpensAPicker) {
    profile->WriteInt("Defaults", "Auto", 1);
    profile->WriteString("Defaults", "ObsDir", folder.File("none"));
    CMainDialog& d = Open(true);
    controls.SetText(ControlId::kSourcePath, folder.Write("algo.raw", "data"));
    chooser.folderAnswer = folder.Path();
    chooser.fileAnswer = folder.File("algo.raw");
    EXPECT_FALSE(d.ValidatePaths());
    EXPECT_EQ(ui.MessageIds(), (std::vector<int>{kStrInvalidPath}));
    EXPECT_FALSE(d.BrowseSource());
    EXPECT_FALSE(d.BrowseObservation());
    EXPECT_FALSE(d.BrowseOutputDirectory());
    EXPECT_EQ(chooser.folderDialogs, 0);
    EXPECT_EQ(chooser.fileDialogs, 0);
}

TEST_F(MainDialogTest, ExistingOutputsAskOnceObservationFirst) {
    CMainDialog& d = Open();
    PrepareConversion(d);
    const std::string obs = folder.Write("out.o", "old observation");
    const std::string nav = folder.Write("out.n", "old navigation");
    ui.answerYes = false;
    EXPECT_FALSE(d.GoPressed());
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].icon, MessageIcon::Question);
    EXPECT_EQ(ui.Messages()[0].text,
              "Output file(s) :\n\n" + obs + "\n" + nav + "\n\nalready exist(s) !\n\nOverwrite existing file(s) ?");
    EXPECT_TRUE(requests.empty());
    EXPECT_FALSE(std::filesystem::exists(profile->Path()));

    ui.answerYes = true;
    EXPECT_TRUE(d.GoPressed());
    EXPECT_EQ(requests.size(), 1u);
}

TEST_F(MainDialogTest, ASilentRunOverwritesWithoutAsking) {
    CMainDialog& d = Open(true);
    PrepareConversion(d);
    folder.Write("out.n", "old navigation");
    ui.answerYes = false;
    EXPECT_TRUE(d.GoPressed());
    EXPECT_TRUE(ui.Messages().empty());
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_TRUE(requests[0].silent);
}

// Automatic names never replace a file on disk: "Go..." takes the next free file
// index and shows it; with none left it is refused and nothing runs.
TEST_F(MainDialogTest, AutomaticNamesTakenOnDiskMoveToTheNextFileIndex) {
    profile->WriteInt("Defaults", "Auto", 1);
    profile->WriteString("Defaults", "ObsDir", folder.Path());
    profile->WriteString("Defaults", "NavDir", folder.Path());
    for (const int taken : {1, 10}) {
        SCOPED_TRACE(taken);
        requests.clear();
        CMainDialog& d = Open();
        controls.SetText(ControlId::kSourcePath, folder.Write("algo.raw", "ASCII DATA\n"));
        d.SourceTyped();
        const auto name = [&](int index) {
            return RinexOutputPaths(folder.Path(), folder.Path(), "ALGO", d.values.recordedOn, index).observation;
        };
        for (int k = 0; k < taken; ++k) folder.Write(name(k).substr(folder.Path().size() + 1), "earlier");
        EXPECT_EQ(d.GoPressed(), taken < 10);
        ASSERT_EQ(requests.size(), taken < 10 ? 1u : 0u);
        if (taken < 10) {
            EXPECT_EQ(requests[0].observationPath, name(taken));
            EXPECT_EQ(controls.Text(ControlId::kObservationPath), name(taken));
            EXPECT_EQ(controls.Selection(ControlId::kFileIndex), taken);
        } else {
            EXPECT_EQ(ui.MessageIds().back(), kStrWriteFailed);
            EXPECT_EQ(d.PathFailure().path, name(9));
        }
    }
}

TEST_F(MainDialogTest, GoRunsTheConversionWithTheDialogValuesAndStoresThem) {
    profile->WriteInt("Advanced", "Tx", 75);
    profile->WriteInt("Advanced", "SmouthedDopplers", 1);
    CMainDialog& d = Open();
    PrepareConversion(d);
    controls.SetText(ControlId::kMarkerName, "algo");
    controls.SetText(ControlId::kObserver, "jane");
    controls.SetSelection(ControlId::kFormat, 1);
    controls.SetValue(ControlId::kRecordedOn, k3Feb2001);
    conversionSucceeds = false;
    EXPECT_FALSE(d.GoPressed());  // a failed conversion still stored the settings
    ASSERT_EQ(requests.size(), 1u);
    const ConversionRequest& r = requests[0];
    EXPECT_EQ(r.sourcePath, source);
    EXPECT_EQ(r.formatIndex, 1);
    EXPECT_EQ(r.recordingDate, k3Feb2001);
    EXPECT_EQ(r.markerName, "ALGO");
    EXPECT_EQ(r.observer, "JANE");
    EXPECT_EQ(r.markerNumber, "");
    EXPECT_EQ(r.observationPath, folder.File("out.o"));
    EXPECT_EQ(r.navigationPath, folder.File("out.n"));
    EXPECT_DOUBLE_EQ(r.tx, 0.075);
    EXPECT_TRUE(r.smoothedDopplers);
    EXPECT_FALSE(r.silent);
    EXPECT_EQ(controls.Entries(ControlId::kMarkerName), (std::vector<std::string>{"ALGO"}));

    Profile stored(profile->Path());
    EXPECT_EQ(stored.GetString("Defaults", "SrcDir", ""), folder.Path());
    EXPECT_EQ(stored.GetString("Defaults", "ObsDir", ""), folder.Path());
    EXPECT_EQ(stored.GetString("Defaults", "ObsExt", ""), "o");
    EXPECT_EQ(stored.GetString("Defaults", "NavExt", ""), "n");
    EXPECT_EQ(stored.GetString("Defaults", "Observer", ""), "JANE");
    EXPECT_EQ(stored.GetString("MarkerNames", "History00", ""), "ALGO");
    EXPECT_EQ(stored.GetInt("Defaults", "Format", -1), 1);
}

TEST_F(MainDialogTest, AFormatOutsideTheListIsSettledByTheSource) {
    profile->WriteInt("Defaults", "Format", 5);
    CMainDialog& d = Open();
    EXPECT_EQ(controls.Selection(ControlId::kFormat), -1);
    source = folder.Write("algo.bin", std::vector<uint8_t>{0x10, 0x80, 0x00});
    controls.SetText(ControlId::kSourcePath, source);
    controls.SetText(ControlId::kObservationPath, folder.File("out.o"));
    controls.SetText(ControlId::kNavigationPath, folder.File("out.n"));
    EXPECT_TRUE(d.GoPressed());
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].formatIndex, 1);
}

TEST_F(MainDialogTest, AdvancedOptionsTakenWithOkRenameForANewRinexVersion) {
    profile->WriteInt("Defaults", "Auto", 1);
    CMainDialog& d = Open();
    MainDialogValues chosen = d.values;
    chosen.tx = 0.075;
    chosen.dopplerMode = 1;
    d.TakeAdvanced(chosen);
    EXPECT_EQ(controls.Text(ControlId::kAdvancedSummary), "( Tr = Ts + 75 ms, using smoothed dopplers )");
    EXPECT_EQ(controls.Text(ControlId::kObservationPath), folder.File("RAW") + "/SITE0340.01O");
    chosen.rinexVersion = 3;
    d.TakeAdvanced(chosen);
    EXPECT_EQ(d.values.rinexVersion, 3);
    // No source scanned yet: the day at 00:00, the shortest period, frequency unspecified.
    EXPECT_EQ(controls.Text(ControlId::kObservationPath),
              folder.File("RAW") + "/SITE00XXX_R_20010340000_15M_00U_GO.rnx");
    EXPECT_EQ(controls.Text(ControlId::kNavigationPath), folder.File("RAW") + "/SITE00XXX_R_20010340000_15M_GN.rnx");
}

TEST(TxText, WholeMillisecondsReadTheWayPercentLdReadsThem) {
    struct Case {
        const char* text;
        bool ok;
        double tx;  // s
    };
    for (const Case& c : {Case{"75", true, 0.075}, Case{"75ms", true, 0.075}, Case{"  -5", true, -0.005},
                          Case{"+100", true, 0.1}, Case{"abc", false, 0}, Case{"", false, 0}, Case{"- 5", false, 0},
                          Case{"99999999999999999999", false, 0}}) {
        double tx = 0;
        EXPECT_EQ(ParseTxText(c.text, tx), c.ok) << c.text;
        if (c.ok) {
            EXPECT_DOUBLE_EQ(tx, c.tx) << c.text;
        }
    }
    EXPECT_EQ(TxText(0.075), "75");
    EXPECT_EQ(TxText(-0.005), "-5");
    EXPECT_EQ(TxText(0.0994), "99");
}

TEST(AdvancedSummary, ShowsTxInMillisecondsAndTheDopplerKind) {
    EXPECT_EQ(AdvancedSummary(0.1, 0), "( Tr = Ts + 100 ms, using instantaneous dopplers )");
    EXPECT_EQ(AdvancedSummary(-0.005, 2), "( Tr = Ts + -5 ms, using smoothed dopplers )");
}

}  // namespace

namespace {

TEST_F(MainDialogTest, OutputPatternsLeftAsTheyAreAreNoFileNames) {
    CMainDialog& d = Open();
    const std::string rnx = controls.Text(ControlId::kObservationPath);
    controls.SetText(ControlId::kSourcePath, folder.Write("algo.raw", "data"));
    // A typed source proposes file names, as "..." does; the patterns RAW/*.RNX and
    // RAW/*.EPH of the first run put back by hand are refused.
    EXPECT_TRUE(d.SourceTyped());
    EXPECT_EQ(controls.Text(ControlId::kObservationPath), folder.File("RAW/algo.RNX"));
    controls.SetText(ControlId::kObservationPath, rnx);
    EXPECT_FALSE(d.GoPressed());
    EXPECT_EQ(ui.MessageIds(), (std::vector<int>{kStrInvalidFileName}));
    EXPECT_EQ(controls.FocusId(), ControlId::kObservationPath);
    EXPECT_FALSE(std::filesystem::exists(folder.File("RAW/*.RNX")));
    EXPECT_TRUE(requests.empty());
}

}  // namespace
