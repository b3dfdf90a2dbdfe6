#pragma once
#include <QDialog>

#include "convert/ConversionUi.h"

class FieldWidget;
class QLabel;
class QLineEdit;
class QRadioButton;

// The raw-data kind question (129): satellite-dated (1009, choice 0) or
// receiver-dated (1010, choice 1) raw data, OK and Cancel.
class RawKindDialog : public QDialog {
    Q_OBJECT

public:
    RawKindDialog(int choice, QWidget* parent);
    // 0 satellite-dated, 1 receiver-dated.
    int Choice() const;

private:
    QRadioButton* satellite_;
    QRadioButton* receiver_;
};

// The approximate position question (131): latitude (1012), longitude (1013) and
// altitude (1014) fields, the "or paste:" line, OK and Cancel. It opens with the
// focus in the latitude field; Tab goes latitude, longitude, altitude, paste, OK,
// Cancel; Enter in a field is OK. Text in the paste line that reads as a position
// fills the three fields as it is typed; text that does not shows why under the
// line, and OK then stays in the dialog.
class PositionDialog : public QDialog {
    Q_OBJECT

public:
    PositionDialog(const ApproximatePosition& position, QWidget* parent);
    // The fields' values: latitude and longitude in radians, altitude in metres.
    ApproximatePosition Position() const;

    void accept() override;

private:
    // Fills the fields from the paste line when it reads; shows why when not.
    void TakePasted();

    QLineEdit* paste_;
    QLabel* pasteProblem_;
    bool pasteUnreadable_ = false;
    FieldWidget* latitude_;
    FieldWidget* longitude_;
    FieldWidget* altitude_;
};
