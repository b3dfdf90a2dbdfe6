#pragma once
#include <memory>
#include <string>

#include "app/dialog/WindowFactory.h"

class QApplication;

// The Qt platforms to try, in order, separated by ";", for a process whose
// environment holds these values (nullptr for an unset variable): QT_QPA_PLATFORM
// (the person's own choice, tried first), DISPLAY, WAYLAND_DISPLAY and
// XDG_SESSION_TYPE. "offscreen" ends every list, so that the windowing system
// always starts and a run can tell that no display could be reached. Empty when
// neither display variable is set: no window can be shown.
std::string PlatformCandidates(const char* requested, const char* x11Display, const char* waylandDisplay,
                               const char* sessionType);

// Starts Qt's application object on the platform QT_QPA_PLATFORM names (or Qt's
// default) and puts the C library's number formatting (LC_NUMERIC) back to "C",
// which Qt switches to the person's locale: the log files are written with
// printf and must keep their decimal points.
std::unique_ptr<QApplication> StartApplication(int& argc, char** argv);

// The Qt windows. Nothing of Qt starts until the first window is asked for; the
// application object then starts once, on the first platform of
// PlatformCandidates that can start, and lives as long as the factory. A run
// whose display cannot be reached gets no window (the platform fell back to
// "offscreen") and goes on at the terminal; a process that already runs an
// application object (the tests) gets its windows on that one.
class QtWindowFactory : public IWindowFactory {
public:
    explicit QtWindowFactory(std::string programName);
    ~QtWindowFactory() override;

    std::unique_ptr<IMainWindow> CreateMainWindow() override;

    // Starts the application object when that was not done; false when no window
    // can be shown.
    bool Start();

private:
    std::string programName_;
    int argc_ = 1;
    char* argv_[2] = {nullptr, nullptr};
    std::unique_ptr<QApplication> application_;
    bool failed_ = false;
};
