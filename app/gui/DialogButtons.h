#pragma once
#include <QPushButton>

class QBoxLayout;
class QDialog;
class QLabel;

// The OK (object name "1", the default button) and Cancel ("2") buttons of a
// dialog, wired to accept and reject, right-aligned in that order on a row at
// the end of layout; leading, when given, stands at the row's left end.
struct DialogButtons {
    QPushButton* ok;
    QPushButton* cancel;
};
DialogButtons AddOkCancel(QDialog* dialog, QBoxLayout* layout, QWidget* leading = nullptr);

// A label whose mnemonic moves the focus to buddy.
QLabel* BuddyLabel(const QString& text, QWidget* buddy);
