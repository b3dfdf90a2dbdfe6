#pragma once
#include <string>
#include <vector>

#include "app/cli/CommandLine.h"
#include "app/dialog/FilesRun.h"
#include "convert/ConversionUi.h"
#include "platform/Profile.h"

// A splice as it will run: the conversion parameters and the files in the order
// they are read.
struct SplicePlan {
    CCommandLineOptions options;     // source: the file with the earliest first epoch; OBS:, NAV:, S
    std::vector<std::string> parts;  // every file in reading order
    std::string error;               // why the splice cannot run (empty: it can)
    bool usage = false;              // error is a misuse of the command line
};

// Plans a splice from the parameters of --splice ([OBS:path] [NAV:path] [S] and
// the files, in any order). Every file must be a readable file and all of one
// format (the binary test of the source probe); the files are ordered by the
// earliest epoch a scan of each finds, files without a valid epoch after the
// others, ties in the order given. dataDirectory: the default folder of the probe.
SplicePlan PlanSplice(const std::vector<std::string>& parameters, const std::string& dataDirectory);

// Converts files as one recording as --splice does in the window: planned by
// PlanSplice, the settings of profile (never written), the questions, messages,
// progress and Cancel on ui. Its row names the files in reading order.
FileRunRow SpliceRow(const std::vector<std::string>& files, const Profile& profile, const std::string& dataDirectory,
                     double today, ConversionUi& ui);
