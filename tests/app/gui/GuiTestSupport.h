#pragma once
// Helpers of the window tests: the registry of test classes run by the main, a
// responder that answers modal windows as they open, and a main window with its
// dialog logic on a profile in a fresh folder.
#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/dialog/MainDialog.h"
#include "app/gui/MainWindow.h"
#include "platform/Profile.h"

// The Qt Test classes of test_gui, each registered by a static object of its file.
using GuiTestMaker = std::function<std::unique_ptr<QObject>()>;
std::vector<GuiTestMaker>& GuiTests();
struct RegisterGuiTest {
    explicit RegisterGuiTest(GuiTestMaker maker) { GuiTests().push_back(std::move(maker)); }
};

// Empty when the run has a decimal-comma locale (de_DE.UTF-8, made by the main),
// else why not.
extern std::string gNoDecimalCommaLocale;

// Hands every new active modal window once to handler, from the event loop (so
// the handler may open or wait for further windows). Polls every interval ms.
class ModalResponder {
public:
    explicit ModalResponder(std::function<void(QWidget*)> handler, int interval = 5) : handler_(std::move(handler)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
        timer_.start(interval);
    }
    // Object names of the modal windows seen, in order.
    QStringList seen;

private:
    void Poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) return;
        for (const QPointer<QWidget>& h : handled_)
            if (h == modal) return;
        handled_.emplace_back(modal);
        seen << modal->objectName();
        QTimer::singleShot(0, &timer_, [this, w = QPointer<QWidget>(modal)] {
            if (w) handler_(w);
        });
    }
    std::function<void(QWidget*)> handler_;
    QTimer timer_;
    std::vector<QPointer<QWidget>> handled_;
};

// Clicks the button named name (a number) in window.
inline void Click(QWidget* window, int name) {
    if (auto* b = window->findChild<QAbstractButton*>(QString::number(name))) b->click();
}
// Presses button of a message box.
inline void Press(QWidget* window, QMessageBox::StandardButton button) {
    if (auto* box = qobject_cast<QMessageBox*>(window))
        if (QAbstractButton* b = box->button(button)) b->click();
}

// Days since the GPS origin of 3 February 2001, "today" of the window tests.
constexpr double k3Feb2001 = 7699;

// A main window from the window factory and its dialog logic, on a profile in a
// fresh folder (with a RAW folder as the data folder). The window is attached to
// the dialog before the dialog initialises it, so that nothing the
// initialisation sets may pass for the person's doing.
struct WindowSetup {
    // profilePath empty: qern2rinex.ini in the folder.
    explicit WindowSetup(const std::function<void(Profile&)>& prepare = {}, ConversionRunner runner = {},
                         const std::string& profilePath = {});
    std::string File(const std::string& name) const {
        return folder.filePath(QString::fromStdString(name)).toStdString();
    }
    QWidget* Widget(int id) const;
    template <typename T>
    T* Control(int id) const { return qobject_cast<T*>(Widget(id)); }

    QTemporaryDir folder;
    std::unique_ptr<Profile> profile;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<CMainDialog> dialog;
    IDialogControls* controls = nullptr;
};

// Copies the 2-minute sample raw file into setup's folder as name; its path.
std::string CopySample(const WindowSetup& setup, const std::string& name);
