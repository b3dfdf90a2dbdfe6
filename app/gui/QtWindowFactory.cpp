#include "app/gui/QtWindowFactory.h"

#include <QApplication>

#include <clocale>
#include <cstdlib>
#include <cstring>

#include "app/gui/MainWindow.h"

namespace {

bool Set(const char* value) { return value && *value; }

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
    application_ = StartApplication(argc_, argv_);
    if (hadPrevious)
        qputenv("QT_QPA_PLATFORM", previous);
    else
        qunsetenv("QT_QPA_PLATFORM");
    // Only the fallback started: the display named could not be reached.
    if (QGuiApplication::platformName() == QLatin1String("offscreen") && first != "offscreen") {
        application_.reset();
        std::setlocale(LC_ALL, "C");  // as if Qt had never started
        failed_ = true;
        return false;
    }
    return true;
}

std::unique_ptr<IMainWindow> QtWindowFactory::CreateMainWindow() {
    if (!Start()) return nullptr;
    return std::make_unique<MainWindow>();
}
