#pragma once
#include <string>
#include <vector>

// One entry of a file dialog's type list: its label and its ";"-separated patterns.
struct FileFilter {
    std::string label;
    std::string patterns;
};

enum class FileDialogMode {
    Open,    // the chosen file must exist
    SaveAs,  // its folder must exist; the person confirms replacing an existing file
};

// The pickers of the main dialog's "..." buttons. A window opens the platform's
// file and folder dialogs; a run without windows has none to offer.
class IFileChooser {
public:
    virtual ~IFileChooser() = default;
    // Lets the person pick a file; path holds the initial file name (or pattern)
    // and receives the choice. filters are followed by "All Files (*.*)";
    // selectedFilter is the index of the preselected one in that whole list.
    // True only on OK.
    virtual bool ChooseFile(FileDialogMode mode, std::string& path,
                            const std::vector<FileFilter>& filters, int selectedFilter) = 0;
    // Lets the person pick a folder, starting in directory, which receives the
    // choice without a trailing "/". True only on OK.
    virtual bool ChooseDirectory(std::string& directory) = 0;
};
