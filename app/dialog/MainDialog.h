#pragma once
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/dialog/DialogControls.h"
#include "app/dialog/DialogValues.h"
#include "app/dialog/FileChooser.h"
#include "app/dialog/PathProbe.h"
#include "convert/ConversionDriver.h"
#include "convert/ConversionRequest.h"
#include "convert/ConversionState.h"
#include "convert/ConversionUi.h"
#include "convert/OutputSet.h"
#include "platform/Profile.h"

// Settings of one run that take the place of the dialog's without being stored
// (the command line's run options); empty values leave the dialog's.
struct RequestOverrides {
    std::optional<double> tx;                    // s
    std::optional<bool> smoothedDopplers;
    std::optional<bool> smoothedPseudoranges;
    std::optional<bool> logFile;
    std::optional<GpsTime> from;                 // time window of the written epochs
    std::optional<GpsTime> to;
    double interval = 0.0;                       // s; 0: every epoch
    std::optional<bool> quality;                 // quality report
    bool qualityPlots = false;                   // its plots, drawn after the conversion
    // Only this run's time window and interval count, never the stored ones: a
    // run the command line starts is cut only by its own options.
    bool ownTimeWindow = false;
    // Several conversions run at once and share the cores: each on one thread.
    bool sharedCores = false;
    // A splice: the raw files read as one source, in order (the dialog's source
    // path is the first of them); empty: the source path alone.
    std::vector<std::string> sourceParts;
};

// What the main dialog is told about the run it belongs to.
struct DialogEnvironment {
    bool silent = false;            // no question is asked and no picker opened
    std::string dataDirectory;      // default folder of sources and outputs
    double today = 0.0;             // today's local date in days since the GPS origin
    RequestOverrides overrides;     // this run's settings beside the dialog's
    bool storeSettings = true;      // false: "Go..." reads the profile but never writes it
    bool overwrite = false;         // automatic names may replace files on disk (--overwrite)
};

// Why the last check of "Go..." refused a path, for a line beside the message.
struct PathCheckFailure {
    std::string which;   // "source", "observation" or "navigation"; empty: no path was refused
    std::string path;
    std::string reason;  // "is a folder", the system's text, ...
};

// Why an output of request may not be written under its name (another file of
// the same run wants it, ...); none when every name is free.
using OutputNameTest = std::function<std::optional<OutputRefusal>(const ConversionRequest&)>;

// Runs one conversion: RunConversion, or a stand-in of the same form.
using ConversionRunner =
    std::function<ConversionResult(const ConversionRequest&, ConversionState&, ConversionUi&)>;

// The main conversion dialog's logic: its values, the exchange with its
// controls, and the actions of its buttons. It works on any IDialogControls (a
// window or MemoryControls), shows messages and asks questions through the
// ConversionUi, picks files and folders through the IFileChooser, and keeps its
// settings in the Profile. It owns the conversion state for its whole life.
class CMainDialog {
public:
    // runner empty: conversions run with RunConversion.
    CMainDialog(DialogEnvironment environment, IDialogControls& controls, ConversionUi& ui,
                IFileChooser& chooser, Profile& profile, ConversionRunner runner = {});

    // The values the dialog edits (public: the command line and the conversion read them).
    MainDialogValues values;

    // Fills the fixed lists, loads the settings and history lists, writes every
    // value into the controls, applies the automatic naming state and shows the
    // advanced summary.
    void InitMainDialog();

    // Writes every value into the controls (toControls) or reads them back. When
    // reading stops at a header text over its length limit, the message "Please
    // enter no more than %1 characters." is shown, the focus goes to that combo
    // box, the header texts after it keep their values, and false is returned;
    // likewise for a text without an ASCII form, an antenna type that does not
    // fit the RINEX form, and an antenna height or offset that is no length.
    bool ExchangeValues(bool toControls);

    // Check box 1006: takes its state, refreshes the names, enables and shows the
    // controls that go with it.
    void ToggleAutoNaming();
    // With automatic naming on: takes Recorded On, the marker name and the file
    // index from the controls and puts the derived output paths into 1005 and 1007.
    void RefreshAutoNames();
    // Edits 1005 and 1007 enabled and 1000, 1013 hidden when automatic naming is
    // off; the other way round when it is on.
    void ApplyAutoNamingState();

    // The "..." buttons: 1003, 1004, 1010, 1020. Each returns true when the person
    // made a choice (and the values changed), false on Cancel or when nothing could
    // be done.
    bool BrowseSource();
    bool BrowseObservation();
    bool BrowseNavigation();
    bool BrowseOutputDirectory();

    // Takes the values that a successful probe of a new source gives: Recorded On
    // (whole days of its modification), format, marker name (its title in upper
    // case) and both output paths.
    void ApplySourceProbe(const PathProbe& probe);

    // The source path typed into 1001 (focus leaving it, Enter, or "Go..."): when
    // it differs from the source last probed or written by the dialog and names an
    // existing file, does what choosing it with "..." does, except for Recorded
    // On, the format, the marker name and (automatic naming off) the output paths
    // when the person changed them since the last choice. True when it did.
    bool SourceTyped();

    // Opens the folder picker on the observation (or navigation) folder; on OK the
    // choice becomes that folder and both output paths are derived again. Never
    // opens in a silent run (counts as Cancel). The controls are not touched.
    bool ChooseOutputFolder(bool observation);

    // Takes the advanced options chosen with OK in their dialog (Tx, doppler mode,
    // smoothed pseudoranges, log file, RINEX version, time window, interval,
    // country code) from chosen and shows the advanced summary. A new RINEX
    // version, or for RINEX 3 new run settings, with automatic naming on names the
    // outputs again (from the source in 1001 and the controls the names rest on).
    void TakeAdvanced(const MainDialogValues& chosen);

    // "Header...": the observation header as "Go..." would write it now (the
    // texts, the antenna, the position of the source's first fix when it has one),
    // from a conversion of the source into a temporary folder that asks nothing.
    // Empty when the controls could not be read, the source is no file, or that
    // conversion failed; the message has been shown (and the focus moved) then.
    std::optional<std::string> PreviewHeader();

    // Sets both output paths by the RINEX naming rule.
    void DeriveRinexNames();
    // Automatic names never replace a file: while the observation or navigation
    // output is already on disk (unless the environment allows overwriting) or
    // taken says its name is taken, automatic RINEX 2 names move to the next file
    // index (up to 9). None when the names are free, else why they are refused
    // (with no index left: " (no file index left)" after the reason).
    std::optional<OutputRefusal> SettleOutputNames(const OutputNameTest& taken = {});
    // For RINEX 3 outputs: scans the source (every file of a splice) for the first
    // epoch, span and interval of the data to be written (this run's time window
    // and interval applied).
    void ScanDataSpan();

    // The checks of "Go...": reads the controls, refuses identical paths, an
    // unusable source or output path, and existing outputs unless the person (or
    // a silent run) agrees to overwrite them. True when the conversion may start.
    bool ValidatePaths();
    // Why the last ValidatePaths refused a path (which is empty when it did not).
    const PathCheckFailure& PathFailure() const { return pathFailure_; }

    // "Go...": validates, adds the header texts to the histories, stores the
    // defaults and histories (unless the environment says not to), and runs the
    // conversion. True only when the
    // conversion ran and succeeded.
    bool GoPressed();

    // "Files...": reads the controls and stores the histories and defaults as
    // "Go..." does (unless the environment says not to), so that the files are
    // converted with the settings the window shows. False when the controls hold
    // a refused header text (its message shown).
    bool TakeSettingsForFiles();

    // The request a conversion is run with, from the current values.
    ConversionRequest MakeRequest() const;

    // False when the last store of the settings could not write the profile.
    bool SettingsStored() const { return settingsStored_; }

    bool IsSilent() const { return environment_.silent; }

    // How the last conversion ended (not run: success false, outcome Success).
    const ConversionResult& LastResult() const { return lastResult_; }
    // The conversion state kept between conversions.
    const ConversionState& State() const { return state_; }

private:
    // The automatic names of "Go..." settled on free file indexes and shown; false when none is free.
    bool SettleNamesShown();
    // Which output a shared action works on.
    enum class Output { Observation, Navigation };
    bool BrowseOutput(Output output);
    // Output paths proposed for a source of that title: the RINEX names with
    // automatic naming on, else folder + title + remembered extension; a path
    // the person chose (keepObservation, keepNavigation) stays.
    void ProposeOutputs(const std::string& title, bool keepObservation, bool keepNavigation);
    // Writes header text i into its combo box, selecting the equal list entry.
    void WriteHeaderText(int i);
    // The antenna group: its three edits written from the values, or read back
    // into them (false, with the message and the focus, for a text that is no
    // length in metres). ReadAntennaType puts the antenna type into its RINEX
    // form, or refuses it the same way.
    void WriteAntenna();
    bool ReadAntenna();
    bool ReadAntennaType();
    // The advanced summary in 1036, with the run settings' line below it when they leave epochs out.
    void ShowAdvancedSummary();
    // Remembers the values a choice of the source set, to tell the person's changes later.
    void RememberPicked();
    bool ChooseDirectory(std::string& directory);
    void Message(int id, MessageIcon icon, std::initializer_list<std::string> args = {});

    DialogEnvironment environment_;
    IDialogControls& controls_;
    ConversionUi& ui_;
    IFileChooser& chooser_;
    Profile& profile_;
    ConversionRunner runner_;
    bool settingsStored_ = true;
    PathCheckFailure pathFailure_;
    // The source last probed or written into 1001 by the dialog, and what its
    // choice set (Recorded On, format, marker name, output paths).
    std::string settledSource_;
    struct Picked {
        double recordedOn = 0;
        int format = -1;
        std::string marker, observationPath, navigationPath;
    } picked_;
    ConversionState state_;
    ConversionResult lastResult_;
};

// The advanced summary shown in 1036: "( Tr = Ts + %d ms, using %s dopplers )"
// with Tx in whole milliseconds and "instantaneous" for doppler mode 0, "smoothed"
// for any other.
std::string AdvancedSummary(double tx, int dopplerMode);

