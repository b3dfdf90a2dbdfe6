#pragma once
#include <string>

#include "app/cli/CommandLine.h"
#include "app/dialog/MainDialog.h"

// The folder an "OBS:" or "NAV:" path names for automatic naming: the path
// itself when it is a folder, otherwise the folder that holds it; absolute,
// without a trailing "/".
std::string OutputFolderOf(const std::string& path);

// The batch steps of a command-line run, after the dialog was initialised: takes
// the source, probes it, applies the "OBS:" and "NAV:" values and writes every
// value into the controls. The "Go..." that follows is the caller's.
// The run options' header texts and --date-from-data come in after the source
// probe, as if typed into the dialog.
void RunBatchSteps(CMainDialog& dialog, const CCommandLineOptions& options, const std::string& dataDirectory,
                   const RunOptions& run = {});

// The settings of a run's options that take the place of the dialog's for this run.
RequestOverrides OverridesOf(const RunOptions& run);
