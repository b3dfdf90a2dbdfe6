#pragma once
#include <string>

// The RINEX 2 file name without its type letter, "ssssdddf.yy": the first four
// characters of markerName (fewer when it is shorter; a "/" among them becomes
// "_" so that the name stays in its directory), the day of year and the two-digit
// year of the date of recordedOn (days since the GPS origin, whole days; a value
// before the origin or not a number counts as the origin), and the
// file index limited to 0..9 (a negative index counts as 0).
std::string RinexBaseName(const std::string& markerName, double recordedOn, int fileIndex);

// Observation and navigation paths of the RINEX naming rule: directory + "/" +
// RinexBaseName(...) + "O" (observation) or "N" (navigation).
struct RinexPaths {
    std::string observation;
    std::string navigation;
};
RinexPaths RinexOutputPaths(const std::string& observationDirectory,
                            const std::string& navigationDirectory,
                            const std::string& markerName, double recordedOn, int fileIndex);

struct MainDialogValues;
// Sets the dialog's observation and navigation paths by the RINEX naming rule
// from its Recorded On, marker name, file index and output folders; for RINEX 3
// outputs the long names from the marker name, the country and the data span.
// Compact RINEX observation files end in "D" (RINEX 2) or ".crx" (RINEX 3),
// gzipped outputs in ".gz".
void DeriveRinexNames(MainDialogValues& values);

// A remembered extension for the recording of recordedOn (days since the GPS
// origin): one of the RINEX form, two digits and a letter ("05o"), gets the
// recording's two-digit year ("10o"); any other extension is returned as it is.
std::string ExtensionForRecording(const std::string& extension, double recordedOn);
