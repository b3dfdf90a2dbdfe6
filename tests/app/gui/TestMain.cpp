// test_gui: the Qt Test classes of the windows, on the offscreen platform unless
// QT_QPA_PLATFORM says otherwise, under a decimal-comma locale when one can be
// made (de_DE.UTF-8 compiled into a temporary folder, the system left alone).
#include <QApplication>
#include <QtTest>

#include <clocale>
#include <cstdlib>
#include <filesystem>

#include "app/gui/QtWindowFactory.h"
#include "tests/app/gui/GuiTestSupport.h"

std::string gNoDecimalCommaLocale = "not prepared";

namespace {

// Compiles de_DE.UTF-8 into folder and points the C library and Qt at it.
void PrepareDecimalCommaLocale(const std::string& folder) {
    const std::string command =
        "localedef -i de_DE -f UTF-8 '" + folder + "/de_DE.UTF-8' >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    setenv("LOCPATH", folder.c_str(), 1);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) {
        unsetenv("LOCPATH");
        gNoDecimalCommaLocale = "de_DE.UTF-8 could not be made with localedef (status " + std::to_string(status) + ")";
        return;
    }
    std::setlocale(LC_ALL, "C");
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    gNoDecimalCommaLocale.clear();
}

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    char pattern[] = "/tmp/qern_locale_XXXXXX";
    const char* localeFolder = mkdtemp(pattern);
    if (localeFolder) PrepareDecimalCommaLocale(localeFolder);
    int status = 0;
    {
        std::unique_ptr<QApplication> application = StartApplication(argc, argv);
        for (const GuiTestMaker& make : GuiTests()) {
            std::unique_ptr<QObject> test = make();
            status |= QTest::qExec(test.get(), argc, argv);
        }
    }
    std::error_code ignored;
    if (localeFolder) std::filesystem::remove_all(localeFolder, ignored);
    return status;
}
