#include "app/gui/QtWindowFactory.h"

#include <QApplication>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/gui/MainWindow.h"

namespace {

bool Set(const char* value) { return value && *value; }

// Qt's messages while the application object starts, held back until it is known
// whether the windows can be shown.
QStringList gStartMessages;
void HoldStartMessage(QtMsgType, const QMessageLogContext&, const QString& text) { gStartMessages << text; }

// The value of environment variable name, or nullptr when it is unset or empty.
const char* Environment(const char* name) {
    const char* value = std::getenv(name);
    return Set(value) ? value : nullptr;
}

}  // namespace

std::string PlatformCandidates(const char* requested, const char* x11Display, const char* waylandDisplay,
                               const char* sessionType) {
    if (!Set(x11Display) && !Set(waylandDisplay)) return {};
    std::string list;
    if (Set(requested)) {
        list = requested;
    } else {
        const bool waylandFirst =
            Set(waylandDisplay) && (!Set(x11Display) || (sessionType && std::strcmp(sessionType, "wayland") == 0));
        if (waylandFirst) list = "wayland";
        if (Set(x11Display)) list += list.empty() ? "xcb" : ";xcb";
        if (Set(waylandDisplay) && !waylandFirst) list += ";wayland";
    }
    if ((";" + list + ";").find(";offscreen;") == std::string::npos) list += ";offscreen";
    return list;
}

std::unique_ptr<QApplication> StartApplication(int& argc, char** argv) {
    auto application = std::make_unique<QApplication>(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    application->setQuitOnLastWindowClosed(false);
    return application;
}

QtWindowFactory::QtWindowFactory(std::string programName) : programName_(std::move(programName)) {
    argv_[0] = programName_.data();
}

QtWindowFactory::~QtWindowFactory() = default;

bool QtWindowFactory::Start() {
    if (QApplication::instance()) return true;
    if (failed_) return false;
    const char* requested = Environment("QT_QPA_PLATFORM");
    const std::string candidates = PlatformCandidates(requested, Environment("DISPLAY"),
                                                      Environment("WAYLAND_DISPLAY"), Environment("XDG_SESSION_TYPE"));
    if (candidates.empty()) {
        failed_ = true;
        return false;
    }
    const std::string first = candidates.substr(0, candidates.find(';'));
    const QByteArray previous = qgetenv("QT_QPA_PLATFORM");
    const bool hadPrevious = qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
    qputenv("QT_QPA_PLATFORM", QByteArray::fromStdString(candidates));
    gStartMessages.clear();
    const QtMessageHandler previousHandler = qInstallMessageHandler(HoldStartMessage);
    application_ = StartApplication(argc_, argv_);
    qInstallMessageHandler(previousHandler);
    if (hadPrevious)
        qputenv("QT_QPA_PLATFORM", previous);
    else
        qunsetenv("QT_QPA_PLATFORM");
    // Only the fallback started: the display named could not be reached. One line
    // says so instead of the windowing system's own messages.
    if (QGuiApplication::platformName() == QLatin1String("offscreen") && first != "offscreen") {
        application_.reset();
        std::setlocale(LC_ALL, "C");  // as if Qt had never started
        failed_ = true;
        std::fprintf(stderr, "%s: no window: the display cannot be reached (%s)\n", programName_.c_str(),
                     gStartMessages.isEmpty() ? "no platform started" : qPrintable(gStartMessages.first()));
        return false;
    }
    for (const QString& text : gStartMessages) qWarning("%s", qPrintable(text));
    return true;
}

std::unique_ptr<IMainWindow> QtWindowFactory::CreateMainWindow() {
    if (!Start()) return nullptr;
    return std::make_unique<MainWindow>();
}
