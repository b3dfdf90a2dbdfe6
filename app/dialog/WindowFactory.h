#pragma once
#include <memory>

#include "app/dialog/FilesRun.h"
#include "app/dialog/MainDialog.h"

// The main dialog's window on a desktop: it holds the controls the dialog logic
// works on, asks questions and shows messages in message boxes, picks files and
// folders with the desktop's pickers, and runs conversions under a progress window.
class IMainWindow {
public:
    virtual ~IMainWindow() = default;

    virtual IDialogControls& Controls() = 0;
    virtual ConversionUi& Ui() = 0;
    virtual IFileChooser& Chooser() = 0;
    // What "Go..." runs: the conversion under the progress window (the main window
    // cannot be used meanwhile, Cancel can), then the success message with the
    // summary of the outputs.
    virtual ConversionRunner Runner() = 0;

    // Binds the window's buttons, fields, menu and dropped files to the dialog's
    // actions; profile keeps the advanced options' defaults and the window's place.
    virtual void Attach(CMainDialog& dialog, Profile& profile) = 0;
    // What "Files..." runs (the window offers it only once given one).
    virtual void TakeFilesRunner(FilesRunner runner) { (void)runner; }
    // Shows the window and returns (command-line mode: the batch steps follow).
    virtual void Show() = 0;
    // Shows the window and handles the person's actions until it is closed
    // (interactive mode).
    virtual void RunUntilClosed() = 0;
};

// Makes the desktop windows. The application asks for them only when a person
// may see them (a run that is not silent).
class IWindowFactory {
public:
    virtual ~IWindowFactory() = default;
    // A new main window, or nullptr when no window can be shown (no display, or the
    // windowing system could not start): the run then goes on at the terminal.
    virtual std::unique_ptr<IMainWindow> CreateMainWindow() = 0;
};
