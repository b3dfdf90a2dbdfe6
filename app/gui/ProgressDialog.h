#pragma once
#include <QDialog>

class QLabel;
class QProgressBar;

// The progress window of a conversion (103): the current step (1005), a bar
// from 0 to 100 (1003) and Cancel. Cancel, Escape and the close box only ask
// for the conversion to stop (a flag the conversion polls); the window stays
// until the conversion is over and its owner deletes it.
class ProgressDialog : public QDialog {
    Q_OBJECT

public:
    explicit ProgressDialog(QWidget* parent);

    void SetStatus(const QString& text);
    void SetPosition(int percent);
    int Position() const;
    // True once after Cancel was asked for; the request is then cleared.
    bool TakeCancel();

    // Cancel, Escape, the close box: sets the flag, nothing more.
    void reject() override;

private:
    QLabel* status_;
    QProgressBar* bar_;
    bool cancel_ = false;
};
