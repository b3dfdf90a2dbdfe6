#include "app/program/ConverterApp.h"
#include "app/program/InstallPaths.h"
#include "app/cli/CommandLineRun.h"

#include <gtest/gtest.h>

#include <sstream>
#include <sys/time.h>

#include "app/dialog/ControlIds.h"
#include "app/dialog/WindowFactory.h"
#include "convert/StringTable.h"
#include "tests/app/DialogTestSupport.h"

namespace {

TEST(InstallRoot, IsTheFolderAboveTheProgramsBinFolder) {
    EXPECT_EQ(InstallRootOf("/opt/qern/bin/qern2rinex"), "/opt/qern");
    EXPECT_EQ(InstallRootOf("/opt/Qern/BIN/qern2rinex"), "/opt/Qern");
    EXPECT_EQ(InstallRootOf("/home/bin/tools/qern2rinex"), "");
    EXPECT_EQ(InstallRootOf("/work/build/app/main/qern2rinex"), "");
    EXPECT_EQ(InstallRootOf("qern2rinex"), "");
}

TEST(InstallRoot, DataFolderIsItsRawFolderWhenThereIsOne) {
    ScopedTempDir root;
    EXPECT_EQ(DefaultDataDirectory(root.Path(), "/current"), "/current");
    std::filesystem::create_directory(root.File("RAW"));
    EXPECT_EQ(DefaultDataDirectory(root.Path(), "/current"), root.File("RAW"));
    EXPECT_EQ(DefaultDataDirectory("", "/current"), "/current");

    AppStartup startup;
    startup.executablePath = root.File("bin/qern2rinex");
    startup.currentDirectory = "/current";
    CConverterApp app(startup);
    EXPECT_EQ(app.InstallRoot(), root.Path());
    EXPECT_EQ(app.DataDirectory(), root.File("RAW"));
}

TEST(InstallRoot, SystemPrefixesHoldNoDataFolder) {
    const struct {
        const char* root;
        bool shared;
    } roots[] = {{"/usr", true}, {"/usr/", true}, {"/usr/local", true}, {"", true},
                 {"/opt/qern", false}, {"/usr/lib", false}, {"/home/ann/.local", false}};
    for (const auto& r : roots) EXPECT_EQ(IsSharedInstallRoot(r.root), r.shared) << r.root;

    // An installed program never looks for /usr/RAW: the current folder, else home.
    EXPECT_EQ(DefaultDataDirectory("/usr", "/data/today", "/home/ann"), "/data/today");
    EXPECT_EQ(DefaultDataDirectory("/usr", "/", "/home/ann"), "/home/ann");
    EXPECT_EQ(DefaultDataDirectory("/usr/local", "", "/home/ann"), "/home/ann");
    EXPECT_EQ(DefaultDataDirectory("", "/", ""), "/");

    AppStartup startup;
    startup.executablePath = "/usr/bin/qern2rinex";
    startup.currentDirectory = "/";
    startup.homeDirectory = "/home/ann";
    CConverterApp app(startup);
    EXPECT_EQ(app.InstallRoot(), "/usr");
    EXPECT_EQ(app.DataDirectory(), "/home/ann");
}

TEST(OutputFolderOf, AFolderOrTheFolderOfAFile) {
    ScopedTempDir dir;
    EXPECT_EQ(OutputFolderOf(dir.Path()), dir.Path());
    EXPECT_EQ(OutputFolderOf(dir.Path() + "/"), dir.Path());
    EXPECT_EQ(OutputFolderOf(dir.File("algo.o")), dir.Path());
    EXPECT_EQ(OutputFolderOf("/"), "");
}

TEST(ConverterAppRun, OwnOptionsAndMissingParameters) {
    AppStartup startup;
    startup.executablePath = "/usr/bin/qern2rinex";
    CConverterApp app(startup);
    std::ostringstream out, err;
    EXPECT_EQ(app.Run({"--help"}, out, err), kExitSuccess);
    EXPECT_NE(out.str().find("Usage: qern2rinex [OPTIONS] SOURCE"), std::string::npos);
    out.str("");
    EXPECT_EQ(app.Run({"--version"}, out, err), kExitSuccess);
    EXPECT_EQ(out.str(), "QERN to RINEX 3.30 (qern2rinex)\n");
    EXPECT_EQ(app.Run({}, out, err), kExitUsage);  // no window to open
    EXPECT_NE(err.str().find("no display"), std::string::npos);
    EXPECT_EQ(app.Run({"a.raw", "--nonsense"}, out, err), kExitUsage);
    EXPECT_NE(err.str().find("unknown option --nonsense"), std::string::npos);
    EXPECT_EQ(app.Run({"--scan", "/no/such/file.raw"}, out, err), kExitFailure);
}

TEST(ConverterAppRun, ScanListsTheRecords) {
    AppStartup startup;
    CConverterApp app(startup);
    std::ostringstream out, err;
    EXPECT_EQ(app.Run({"--scan", std::string(QERN_SOURCE_DIR) + "/testdata/app/sim_both_2min.bin"}, out, err),
              kExitSuccess);
    EXPECT_NE(out.str().find("Format: binary, 4777 bytes"), std::string::npos);
    EXPECT_NE(out.str().find("Records: 35"), std::string::npos);
}

class BatchStepsTest : public DialogFixture {
protected:
    CCommandLineOptions Options(const std::vector<std::string>& parameters) {
        return ParseCommandLine(parameters);
    }
};

TEST_F(BatchStepsTest, SourceProbeAndOutputsByTitle) {
    CMainDialog& d = Open();
    const std::string source = folder.Write("Pent.raw", "ascii text");
    RunBatchSteps(d, Options({source}), folder.File("RAW"));
    EXPECT_EQ(d.values.sourcePath, source);
    EXPECT_EQ(d.values.format, 0);
    EXPECT_EQ(d.values.header[kMarkerName], "PENT");
    EXPECT_EQ(d.values.observationPath, folder.File("RAW") + "/Pent.RNX");
    EXPECT_EQ(d.values.navigationPath, folder.File("RAW") + "/Pent.EPH");
    EXPECT_EQ(controls.Text(ControlId::kObservationPath), folder.File("RAW") + "/Pent.RNX");
    EXPECT_EQ(controls.Text(ControlId::kMarkerName), "PENT");
}

TEST_F(BatchStepsTest, ObsAndNavPathsWithoutAutomaticNaming) {
    CMainDialog& d = Open();
    std::filesystem::create_directory(folder.File("out"));
    const std::string source = folder.Write("pent.raw", "ascii text");
    RunBatchSteps(d, Options({source, "OBS:" + folder.File("out/P.obs"), "NAV:" + folder.File("none/P.nav")}),
                  folder.File("RAW"));
    EXPECT_EQ(d.values.observationPath, folder.File("out/P.obs"));
    EXPECT_EQ(d.values.observationDirectory, folder.File("out"));
    EXPECT_EQ(d.values.observationExtension, "obs");
    // A path that does not probe is taken as it is; the folder stays.
    EXPECT_EQ(d.values.navigationPath, folder.File("none/P.nav"));
    EXPECT_EQ(d.values.navigationDirectory, folder.File("RAW"));
    EXPECT_EQ(d.values.navigationExtension, "EPH");
}

TEST_F(BatchStepsTest, SilentAutomaticNamingTakesTheFolderOfTheObsPath) {
    profile->WriteInt("Defaults", "Auto", 1);
    CMainDialog& d = Open(true);
    std::filesystem::create_directory(folder.File("out"));
    std::filesystem::create_directory(folder.File("nav"));
    const std::string source = folder.Write("algo.raw", "ascii text");
    chooser.folderAnswer = folder.Path();  // would be picked if a picker opened
    RunBatchSteps(d, Options({source, "OBS:" + folder.File("out"), "NAV:" + folder.File("nav/ignored.n"), "S"}),
                  folder.File("RAW"));
    EXPECT_EQ(chooser.folderDialogs, 0);
    EXPECT_EQ(d.values.observationDirectory, folder.File("out"));
    EXPECT_EQ(d.values.navigationDirectory, folder.File("nav"));
    const std::string obs = d.values.observationPath;
    EXPECT_EQ(obs.substr(0, folder.File("out").size() + 5), folder.File("out") + "/ALGO");
    EXPECT_EQ(obs.back(), 'O');
    EXPECT_EQ(d.values.navigationPath.substr(0, folder.File("nav").size() + 5), folder.File("nav") + "/ALGO");
}

TEST_F(BatchStepsTest, AutomaticNamingWithAPersonOpensTheFolderPicker) {
    profile->WriteInt("Defaults", "Auto", 1);
    CMainDialog& d = Open(false);
    std::filesystem::create_directory(folder.File("picked"));
    chooser.folderAnswer = folder.File("picked");
    RunBatchSteps(d, Options({folder.Write("algo.raw", "x"), "OBS:/somewhere/else"}), folder.File("RAW"));
    EXPECT_EQ(chooser.folderDialogs, 1);
    EXPECT_EQ(chooser.lastInitialFolder, folder.File("RAW"));
    EXPECT_EQ(d.values.observationDirectory, folder.File("picked"));
    EXPECT_EQ(d.values.navigationDirectory, folder.File("RAW"));
}

TEST_F(BatchStepsTest, WhereEachItemOfTheRequestComesFrom) {
    profile->WriteString("Defaults", "Observer", "JANE");
    profile->WriteString("Defaults", "Agency", "NRCAN");
    profile->WriteString("Defaults", "RecNum", "R1");
    profile->WriteString("Defaults", "RecType", "RT");
    profile->WriteString("Defaults", "RecVer", "RV");
    profile->WriteString("Defaults", "AntNum", "A1");
    profile->WriteString("Defaults", "AntType", "AT");
    profile->WriteString("MarkerNumbers", "History00", "40104M001");
    profile->WriteInt("Advanced", "Tx", 100);
    profile->WriteInt("Advanced", "SmouthedDopplers", 1);
    profile->WriteInt("Advanced", "SmouthedPseudoranges", 1);
    profile->WriteInt("Advanced", "LogFile", 1);
    CMainDialog& d = Open(true);
    std::filesystem::create_directory(folder.File("out"));
    const std::string source = folder.Write("Pent.bin", std::vector<uint8_t>{0x02, 0xE5, 0x03});
    std::tm t {};
    t.tm_year = 101;
    t.tm_mon = 1;
    t.tm_mday = 3;
    t.tm_hour = 6;
    t.tm_isdst = -1;
    const std::time_t when = std::mktime(&t);
    struct timeval times[2] = {{when, 0}, {when, 0}};
    ASSERT_EQ(utimes(source.c_str(), times), 0);

    RunBatchSteps(d, Options({source, "OBS:" + folder.File("out/p.o"), "S"}), folder.File("RAW"));
    ASSERT_TRUE(d.GoPressed());
    ASSERT_EQ(requests.size(), 1u);
    const ConversionRequest& r = requests[0];
    EXPECT_EQ(r.sourcePath, source);
    EXPECT_EQ(r.formatIndex, 1);
    EXPECT_EQ(r.recordingDate, k3Feb2001);
    EXPECT_EQ(r.markerName, "PENT");
    EXPECT_EQ(r.markerNumber, "");  // no key in "Defaults"; its history is only offered
    EXPECT_EQ(r.observer, "JANE");
    EXPECT_EQ(r.agency, "NRCAN");
    EXPECT_EQ(r.receiverNumber, "R1");
    EXPECT_EQ(r.receiverType, "RT");
    EXPECT_EQ(r.receiverVersion, "RV");
    EXPECT_EQ(r.antennaNumber, "A1");
    EXPECT_EQ(r.antennaType, "AT              NONE");  // in the RINEX form
    EXPECT_EQ(r.observationPath, folder.File("out/p.o"));
    EXPECT_EQ(r.navigationPath, folder.File("RAW") + "/Pent.EPH");
    EXPECT_DOUBLE_EQ(r.tx, 0.1);
    EXPECT_TRUE(r.smoothedDopplers);
    EXPECT_TRUE(r.smoothedPseudoranges);
    EXPECT_TRUE(r.logFile);
    EXPECT_TRUE(r.silent);
    EXPECT_EQ(d.values.fileIndex, 0);
    EXPECT_EQ(controls.Entries(ControlId::kMarkerNumber), (std::vector<std::string>{"", "40104M001"}));
}

TEST_F(BatchStepsTest, AnUnprobedSourceChangesNothingButThePath) {
    CMainDialog& d = Open();
    RunBatchSteps(d, Options({folder.File("none/missing.raw")}), folder.File("RAW"));
    EXPECT_EQ(d.values.sourcePath, folder.File("none/missing.raw"));
    EXPECT_EQ(d.values.header[kMarkerName], "SITE");
    EXPECT_EQ(d.values.observationPath, folder.File("RAW") + "/*.RNX");
    EXPECT_FALSE(d.GoPressed());
    EXPECT_EQ(ui.MessageIds(), (std::vector<int>{kStrInvalidFileName}));
}

// Windows that record what the application asks of them; the person behind them
// presses "Go..." once when the window runs until closed.
class FakeWindow : public IMainWindow {
public:
    FakeWindow(std::vector<std::string>& log, std::string source) : log_(log), source_(std::move(source)) {}
    IDialogControls& Controls() override { return controls_; }
    ConversionUi& Ui() override { return ui_; }
    IFileChooser& Chooser() override { return chooser_; }
    ConversionRunner Runner() override {
        return [this](const ConversionRequest&, ConversionState&, ConversionUi&) {
            log_.push_back("convert");
            ConversionResult result;
            result.success = true;
            return result;
        };
    }
    void Attach(CMainDialog& d, Profile&) override {
        dialog_ = &d;
        log_.push_back("attach");
    }
    void Show() override { log_.push_back("show"); }
    void RunUntilClosed() override {
        const size_t formats = controls_.Entries(ControlId::kFormat).size();
        log_.push_back("run until closed, " + std::to_string(formats) + " formats");
        controls_.SetText(ControlId::kSourcePath, source_);
        controls_.SetText(ControlId::kObservationPath, source_ + ".obs");
        controls_.SetText(ControlId::kNavigationPath, source_ + ".nav");
        dialog_->GoPressed();
    }

private:
    std::vector<std::string>& log_;
    std::string source_;
    MemoryControls controls_;
    ScriptedUi ui_;
    FakeChooser chooser_;
    CMainDialog* dialog_ = nullptr;
};

class FakeFactory : public IWindowFactory {
public:
    std::unique_ptr<IMainWindow> CreateMainWindow() override {
        log.push_back("window asked");
        return display ? std::make_unique<FakeWindow>(log, source) : nullptr;
    }
    bool display = true;
    std::string source;
    std::vector<std::string> log;
};

TEST(WindowModes, WhoAsksForTheWindowAndWhatItIsAskedToDo) {
    struct Case {
        std::vector<std::string> arguments;  // "SRC", "OBS:", "NAV:" completed below
        bool display;
        int status;
        std::vector<std::string> log;
        bool convertedAtTheTerminal;
    };
    const std::vector<Case> cases = {
        {{}, true, kExitSuccess, {"window asked", "attach", "run until closed, 2 formats", "convert"}, false},
        {{"--tx", "75"}, true, kExitUsage, {}, false},  // the window would not show them
        {{"SRC", "OBS:", "NAV:"}, true, kExitSuccess, {"window asked", "attach", "show", "convert"}, false},
        {{"SRC", "OBS:", "NAV:", "S"}, true, kExitSuccess, {}, true},
        {{"SRC", "OBS:", "NAV:"}, false, kExitSuccess, {"window asked"}, true},
        {{}, false, kExitUsage, {"window asked"}, false},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        ScopedTempDir folder;
        FakeFactory windows;
        windows.display = c.display;
        windows.source = folder.File("ab.bin");
        std::filesystem::copy_file(std::string(QERN_SOURCE_DIR) + "/testdata/app/sim_both_2min.bin", windows.source);
        std::vector<std::string> arguments;
        for (const std::string& a : c.arguments) {
            const bool output = a == "OBS:" || a == "NAV:";
            arguments.push_back(a == "SRC" ? windows.source : output ? a + folder.File("out." + a.substr(0, 3)) : a);
        }
        AppStartup startup;
        startup.profilePath = folder.File("qern2rinex.ini");
        startup.currentDirectory = folder.Path();
        startup.windows = &windows;
        CConverterApp app(startup);
        std::ostringstream out, err;
        EXPECT_EQ(app.Run(arguments, out, err), c.status) << i << err.str();
        EXPECT_EQ(windows.log, c.log) << i;
        EXPECT_EQ(std::filesystem::exists(folder.File("out.OBS")), c.convertedAtTheTerminal) << i;
    }
}

}  // namespace
