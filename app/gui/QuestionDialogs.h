#pragma once
#include <QDialog>

#include "convert/ConversionUi.h"

class FieldWidget;
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
// altitude (1014) fields, OK and Cancel. It opens with the focus in the latitude
// field; Tab goes latitude, longitude, altitude, OK, Cancel; Enter in a field is OK.
class PositionDialog : public QDialog {
    Q_OBJECT

public:
    PositionDialog(const ApproximatePosition& position, QWidget* parent);
    // The fields' values: latitude and longitude in radians, altitude in metres.
    ApproximatePosition Position() const;

private:
    FieldWidget* latitude_;
    FieldWidget* longitude_;
    FieldWidget* altitude_;
};
