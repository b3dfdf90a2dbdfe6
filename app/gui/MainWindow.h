#pragma once
#include <QDialog>

#include <memory>

#include "app/dialog/WindowFactory.h"
#include "app/gui/WidgetControls.h"
#include "app/gui/WindowChooser.h"
#include "app/gui/WindowUi.h"

class FieldWidget;
class SourceInfoLine;
class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QMenuBar;
class QMimeData;
class QPushButton;

// The main conversion window (102), "QERN to RINEX 3.30": the raw data file
// group, the nine header texts with their histories, the antenna group, the
// output files group and the buttons, each control with its number as object name. Its controls, the
// conversion side and the pickers are what the dialog logic (CMainDialog) works
// on; Attach binds the buttons, fields and menu to that logic.
//
// Beyond the dialog logic the window takes a raw file dropped onto it as if it had
// been chosen with "...", and remembers its place and size in the profile
// (section "Window", key "Geometry").
class MainWindow : public QDialog, public IMainWindow {
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    IDialogControls& Controls() override { return *controls_; }
    ConversionUi& Ui() override { return ui_; }
    IFileChooser& Chooser() override { return chooser_; }
    ConversionRunner Runner() override;
    void Attach(CMainDialog& dialog, Profile& profile) override;
    void TakeFilesRunner(FilesRunner runner) override;
    void Show() override;
    void RunUntilClosed() override;

    WindowUi& WindowSide() { return ui_; }
    // True while "Go..." runs (validation, conversion and its messages).
    bool Busy() const { return busy_; }

    // The path of a single local file dropped with the event's data, else empty.
    static QString DroppedFile(const QMimeData* data);

    // Profile section and key of the window's place and size.
    static constexpr const char* kWindowSection = "Window";
    static constexpr const char* kGeometryKey = "Geometry";

    void done(int result) override;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // The raw data file group: source path, recording date and file format.
    QGroupBox* BuildInputGroup();
    // The nine header texts, two a row.
    QGridLayout* BuildHeaderGrid();
    // The antenna group: height and east, north offsets of the antenna reference point.
    QGroupBox* BuildAntennaGroup();
    // The output files group: both paths, the folder button and automatic naming.
    QGroupBox* BuildOutputGroup();
    // The advanced summary and the Advanced, Go and Close buttons.
    QHBoxLayout* BuildButtonRow();
    // The Help menu with its About entry.
    QMenuBar* BuildMenuBar();
    // The tab order of all controls, top to bottom.
    void SetTabOrder();

    void Go();
    void OpenAdvanced();
    // "Header...": the header as it will be written, in its own window.
    void ShowHeader();
    void OpenAbout();
    void TakeDroppedFile(const QString& path);
    // The line under the source follows the source, its format and Recorded On.
    void AttachSourceInfo();
    void RefreshSourceInfo();
    // "Files...": many raw files converted with the window's settings.
    void OpenFiles();
    void StoreGeometry();

    QLineEdit* source_;
    FieldWidget* recordedOn_;
    QComboBox* format_;
    QComboBox* header_[9];
    QLineEdit* antenna_[3];  // height, east, north
    QLineEdit* observation_;
    QLineEdit* navigation_;
    QCheckBox* autoNaming_;
    QComboBox* fileIndex_;
    QLabel* summary_;
    QPushButton* browseSource_;
    QPushButton* files_;
    SourceInfoLine* sourceInfo_;
    QPushButton* browseObservation_;
    QPushButton* browseNavigation_;
    QPushButton* browseFolder_;
    QPushButton* advanced_;
    QPushButton* headerPreview_;
    QPushButton* go_;
    QPushButton* close_;

    std::unique_ptr<WidgetControls> controls_;
    WindowUi ui_;
    WindowChooser chooser_;
    CMainDialog* dialog_ = nullptr;
    FilesRunner filesRunner_;
    Profile* profile_ = nullptr;
    bool busy_ = false;
};
