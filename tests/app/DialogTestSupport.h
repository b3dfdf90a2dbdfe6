#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/dialog/FileChooser.h"
#include "app/dialog/MainDialog.h"
#include "app/dialog/MemoryControls.h"
#include "platform/Profile.h"
#include "tests/platform/TempDir.h"
#include "tests/support/ScriptedUi.h"

// A person at the file and folder pickers, who picks what is prepared.
class FakeChooser : public IFileChooser {
public:
    bool ChooseFile(FileDialogMode mode, std::string& path, const std::vector<FileFilter>& filters,
                    int selectedFilter) override {
        ++fileDialogs;
        lastMode = mode;
        lastInitialPath = path;
        lastFilters = filters;
        lastSelectedFilter = selectedFilter;
        if (fileAnswer.empty()) return false;
        path = fileAnswer;
        return true;
    }
    bool ChooseDirectory(std::string& directory) override {
        ++folderDialogs;
        lastInitialFolder = directory;
        if (folderAnswer.empty()) return false;
        directory = folderAnswer;
        return true;
    }
    std::string fileAnswer;    // empty: Cancel
    std::string folderAnswer;  // empty: Cancel
    int fileDialogs = 0;
    int folderDialogs = 0;
    FileDialogMode lastMode = FileDialogMode::Open;
    std::string lastInitialPath;
    std::string lastInitialFolder;
    std::vector<FileFilter> lastFilters;
    int lastSelectedFilter = -1;
};

// Days since 6 January 1980 of 3 February 2001.
constexpr double k3Feb2001 = 7699;

// A main dialog on memory controls with a profile in a fresh folder; conversions
// are recorded instead of run.
class DialogFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.Ok());
        std::filesystem::create_directory(folder.File("RAW"));
        profile = std::make_unique<Profile>(folder.File("config/qern2rinex.ini"));
    }

    // Creates the dialog (silent or not) and initialises it.
    CMainDialog& Open(bool silent = false, const RequestOverrides& overrides = {}) {
        DialogEnvironment env;
        env.silent = silent;
        env.overrides = overrides;
        env.dataDirectory = folder.File("RAW");
        env.today = k3Feb2001;
        dialog = std::make_unique<CMainDialog>(
            env, controls, ui, chooser, *profile,
            [this](const ConversionRequest& r, ConversionState&, ConversionUi&) {
                requests.push_back(r);
                ConversionResult result;
                result.success = conversionSucceeds;
                return result;
            });
        dialog->InitMainDialog();
        return *dialog;
    }

    ScopedTempDir folder;
    std::unique_ptr<Profile> profile;
    MemoryControls controls;
    ScriptedUi ui;
    FakeChooser chooser;
    std::unique_ptr<CMainDialog> dialog;
    std::vector<ConversionRequest> requests;
    bool conversionSucceeds = true;
};
