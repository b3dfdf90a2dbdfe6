#pragma once
#include <QDialog>

class QPlainTextEdit;

// "Observation Header" ("headerPreview"): the observation header as it will be
// written, read-only, in a monospaced font, 80 columns wide, with a Close button.
class HeaderDialog : public QDialog {
public:
    // header: the header's text as in the file (CR LF line ends are shown as line ends).
    HeaderDialog(const QString& header, QWidget* parent);
    QString Text() const;

private:
    QPlainTextEdit* text_;
};
