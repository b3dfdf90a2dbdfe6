#pragma once
#include <ostream>
#include <string>

#include "app/cli/CommandLine.h"
#include "app/dialog/FilesRun.h"
#include "app/dialog/MainDialog.h"
#include "app/dialog/QualityPlotter.h"
#include "convert/ConversionUi.h"
#include "convert/HeadlessUi.h"
#include "platform/Profile.h"

// What a batch run takes from the program's start.
struct BatchEnvironment {
    std::string profilePath;    // the settings of every conversion: read, never written
    std::string dataDirectory;  // default folder of sources and outputs
    double today = 0.0;         // today's local date, days since the GPS origin
    bool progress = false;      // draw a progress line on standard error (a terminal)
    IQualityPlotter* plotter = nullptr;  // draws the plots of --qc-plots (none: those files fail)
};

// Converts every file of a batch (the parameters of program; "S" changes nothing,
// "OBS:" and "NAV:" are refused) as a silent run without "OBS:" and "NAV:" would,
// with the profile's settings and program's run options, each on its own, up to
// program.jobs at a time (0: one per core), the outputs in program.outputDir when
// given. The outputs are planned in the order of the files before any conversion
// starts: with automatic naming a file whose outputs are taken by an earlier one
// gets the next file index (up to 9); a file whose outputs stay taken, or would
// overwrite a file of the batch, is refused. At the end a table of the files
// goes to out (with --json one JSON object per file, one a line), the reason of
// every failure to err. Returns the exit status: 0 when every file was converted,
// 1 when any was not, 2 for a misuse of the command line.
int RunBatch(const ProgramOptions& program, const BatchEnvironment& environment, std::ostream& out,
             std::ostream& err);

// Converts files as RunBatch does without run options, with the settings of
// profile (never written), one per core; ui sees the progress on the calling
// thread, and its Cancel stops the running conversions and the ones not yet
// started ("cancelled"). One row a file, in the order given.
std::vector<FileRunRow> BatchRows(const std::vector<std::string>& files, const Profile& profile,
                                  const BatchEnvironment& environment, ConversionUi& ui);
