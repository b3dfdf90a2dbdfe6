#pragma once
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>
#include <QWidget>

#include <functional>

#include "convert/ConversionUi.h"

class ProgressDialog;

// The person-facing side of conversions in the windows: message boxes with the
// icon of their kind, the raw-data kind and position questions as dialogs, and
// during a conversion the progress window, shown window-modal over the owner (the
// owner cannot be used meanwhile, Cancel can).
//
// The conversion reports its progress after every record; the window handles
// pending events (repaints, Cancel) at most every 50 ms, so a conversion through
// the window takes about the time of one on the command line.
class WindowUi : public ConversionUi {
public:
    // Milliseconds between two handlings of pending events during a conversion.
    static constexpr int kDispatchInterval = 50;
    // Characters a line of the success message's summary holds at most.
    static constexpr int kSummaryWidth = 74;

    explicit WindowUi(QWidget* owner) : owner_(owner) {}
    ~WindowUi() override;

    void SetStatus(const std::string& text) override;
    void SetPosition(unsigned percent) override;
    bool CheckCancel() override;
    // A message box over the progress window during a conversion, else over the
    // owner. The success message of a conversion is kept back (see ShowSuccess).
    bool ShowMessage(int id, MessageIcon icon, std::initializer_list<std::string> args = {}) override;
    Answer AskRawKind(RecordKind& kind) override;
    Answer AskPosition(ApproximatePosition& position) override;

    // The progress window comes with BeginConversion and goes with EndConversion.
    void BeginConversion();
    void EndConversion();
    ProgressDialog* Progress() const { return progress_; }

    // The success message (string 121 with the source path), with lines below it
    // and, when folder is not empty, the button "Open Folder", which opens it.
    void ShowSuccess(const std::string& sourcePath, const std::vector<std::string>& lines,
                     const QString& folder = {});

    // Lines shown below a message of string id (empty: none), asked when it is shown.
    std::function<std::string(int id)> details;
    // Opens a folder in the desktop's file manager (empty: QDesktopServices::openUrl).
    std::function<void(const QString& folder)> openFolder;

    // How many times pending events were handled during conversions.
    long Dispatches() const { return dispatches_; }

private:
    // Handles pending events when kDispatchInterval has passed since the last time
    // (or at once with force), after moving the bar.
    void Dispatch(bool force);
    QWidget* MessageOwner() const;
    // A message box; action, when not empty, names one more button, and *chosen
    // tells whether it closed the box.
    bool ShowBox(QMessageBox::Icon icon, const QString& text, const QString& details, bool question,
                 const QString& action = {}, bool* chosen = nullptr);

    QPointer<QWidget> owner_;
    ProgressDialog* progress_ = nullptr;
    bool converting_ = false;
    unsigned percent_ = 0;
    QElapsedTimer sinceDispatch_;
    long dispatches_ = 0;
};

// lines joined by line breaks, each line longer than width characters broken
// after its ", " (or, without any, after its first ": "); the lines it is broken
// into after the first are indented by two blanks.
QString WrapLines(const std::vector<std::string>& lines, int width);

// The message box icon of a message kind.
QMessageBox::Icon BoxIcon(MessageIcon icon);
