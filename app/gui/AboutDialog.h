#pragma once
#include <QDialog>

// About (100): the program's icon on a flat button (1008) at twice the size of a
// window icon, the name and version in bold (1001), OK.
class AboutDialog : public QDialog {
    Q_OBJECT

public:
    explicit AboutDialog(QWidget* parent);
};
