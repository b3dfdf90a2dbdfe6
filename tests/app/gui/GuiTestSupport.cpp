#include "tests/app/gui/GuiTestSupport.h"

#include <QDir>
#include <QFile>

#include "app/gui/QtWindowFactory.h"
#include "app/gui/WidgetControls.h"

std::vector<GuiTestMaker>& GuiTests() {
    static std::vector<GuiTestMaker> tests;
    return tests;
}

WindowSetup::WindowSetup(const std::function<void(Profile&)>& prepare, ConversionRunner runner,
                         const std::string& profilePath) {
    QDir(folder.path()).mkpath(QStringLiteral("RAW"));
    profile = std::make_unique<Profile>(profilePath.empty() ? File("qern2rinex.ini") : profilePath);
    if (prepare) {
        prepare(*profile);
        profile->Save();
    }
    QtWindowFactory factory("test_gui");
    std::unique_ptr<IMainWindow> made = factory.CreateMainWindow();
    window.reset(dynamic_cast<MainWindow*>(made.release()));
    controls = &window->Controls();
    DialogEnvironment environment;
    environment.dataDirectory = File("RAW");
    environment.today = k3Feb2001;
    dialog = std::make_unique<CMainDialog>(environment, window->Controls(), window->Ui(), window->Chooser(), *profile,
                                           runner ? runner : window->Runner());
    window->Attach(*dialog, *profile);
    dialog->InitMainDialog();
}

QWidget* WindowSetup::Widget(int id) const { return static_cast<WidgetControls*>(controls)->Widget(id); }

std::string CopySample(const WindowSetup& setup, const std::string& name) {
    const std::string path = setup.File(name);
    QFile::copy(QStringLiteral(QERN_SOURCE_DIR "/testdata/app/sim_both_2min.bin"), QString::fromStdString(path));
    return path;
}
