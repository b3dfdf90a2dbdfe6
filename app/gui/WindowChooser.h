#pragma once
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <optional>

#include "app/dialog/FileChooser.h"

// The file and folder pickers of the main window: the desktop's file dialogs,
// owned by the window. A file dropped onto the window is handed to the next file
// pick (Preset), so that a drop does what choosing the file with "..." does.
class WindowChooser : public IFileChooser {
public:
    explicit WindowChooser(QWidget* owner) : owner_(owner) {}

    bool ChooseFile(FileDialogMode mode, std::string& path, const std::vector<FileFilter>& filters,
                    int selectedFilter) override;
    // "Choose Directory": a folder picker starting in directory (the current folder
    // when that does not exist); the choice without a trailing "/", the root as "".
    bool ChooseDirectory(std::string& directory) override;

    // The next ChooseFile answers path at once, without a dialog.
    void Preset(const std::string& path) { preset_ = path; }

private:
    QPointer<QWidget> owner_;
    std::optional<std::string> preset_;
};

// The name filters of a file dialog as Qt reads them: each label's pattern list
// in parentheses replaced by its patterns separated by blanks ("QERN ASCII Files
// (*.raw *.var *.txt)"), then "All Files (*)".
QStringList NameFilters(const std::vector<FileFilter>& filters);
