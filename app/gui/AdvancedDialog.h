#pragma once
#include <QDialog>

#include "app/dialog/DialogValues.h"
#include "platform/Profile.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QLineEdit;
class QHBoxLayout;
class QPushButton;
class QRadioButton;
struct DialogButtons;

// Advanced Options (130): the doppler mode (radio buttons 1030, 1032), Tx in
// whole milliseconds (editable combo box 1031), smoothed C/A code pseudoranges
// (1033), the log files (1028), the quality report, the RINEX version of the outputs, the
// compression of the outputs (Compact RINEX, gzip), the run settings (time window
// "from", "to", "interval", "country"), "Save As Defaults" (1035), OK and Cancel.
// It edits a copy of the main dialog's values;
// the caller takes them back after OK.
class AdvancedDialog : public QDialog {
    Q_OBJECT

public:
    AdvancedDialog(const MainDialogValues& values, Profile& profile, QWidget* parent);

    // The values as the controls left them (after OK: the person's choice).
    const MainDialogValues& Values() const { return values_; }

    // OK: closes only when the controls could be read.
    void accept() override;

private:
    // The Doppler mode radio buttons and the Tx combo box.
    void CreateExtrapolationControls();
    // The check boxes and the RINEX version combo box.
    void CreateOptionControls();
    // The extrapolation rows: both modes, the Tx equation and its combo box.
    QGridLayout* BuildExtrapolationGrid();
    // The RINEX version label and combo box.
    QHBoxLayout* BuildVersionRow();
    // The run settings of the command line: time window, interval, country code.
    QGroupBox* BuildRunSettingsGroup();
    // Reads the run settings into the values; a refused one shows its message,
    // puts the focus on its edit and gives false.
    bool ReadRunSettingsControls();
    QGroupBox* BuildCompressionGroup();
    // The tab order of all controls, top to bottom.
    void SetTabOrder(QPushButton* save, const DialogButtons& buttons);
    // Puts the values into the controls.
    void ShowValues();
    // Reads the controls into the values; a Tx text that is not an integer
    // shows "Please enter an integer.", puts the focus on 1031 and gives false.
    bool ReadControls();
    // "Save As Defaults": reads the controls and stores the "Advanced" keys.
    void SaveAsDefaults();

    MainDialogValues values_;
    Profile& profile_;
    QRadioButton* instantaneous_;
    QRadioButton* smoothed_;
    QComboBox* tx_;
    QCheckBox* smoothedCodes_;
    QCheckBox* logFile_;
    QCheckBox* quality_;
    QComboBox* rinexVersion_;
    QLineEdit* from_;
    QLineEdit* to_;
    QLineEdit* interval_;
    QLineEdit* country_;
    QCheckBox* hatanaka_;
    QCheckBox* gzip_;
};
