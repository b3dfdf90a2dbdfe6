#pragma once
#include <QDialog>

#include <functional>
#include <string>
#include <vector>

#include "app/dialog/FilesRun.h"

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTableWidget;

// "Files" ("files"): many raw data files at once. The person adds files
// ("addFiles") or the raw files of a folder ("addFolder") to the list
// ("fileList"), checks "one recording" ("oneRecording") to join them into one
// RINEX pair, and presses Convert ("convert"); the table of results ("results":
// file, status, epochs, outputs, reason; names without their folders, the full
// paths in the tips) then shows how each file went.
class FilesDialog : public QDialog {
    Q_OBJECT

public:
    // Converts the files (oneRecording: as one recording); empty when nothing ran.
    using Run = std::function<std::vector<FileRunRow>(const std::vector<std::string>& files, bool oneRecording)>;

    FilesDialog(Run run, const QString& startFolder, QWidget* parent);

    // Adds paths (files, or folders whose raw files are added) to the list.
    void AddPaths(const QStringList& paths);
    std::vector<std::string> Files() const;
    // Runs the files of the list and shows the results.
    void Convert();
    // Fills the table of results.
    void ShowResults(const std::vector<FileRunRow>& rows);

private:
    void PickFiles();
    void PickFolder();
    void Clear();
    void UpdateButtons();

    Run run_;
    QString folder_;  // where the pickers open
    QListWidget* list_;
    QCheckBox* oneRecording_;
    QTableWidget* results_;
    QLabel* total_;
    QPushButton* convert_;
};

// The raw data files of folder (by the name patterns of the raw file picker), by name.
QStringList RawFilesOf(const QString& folder);
