#pragma once
#include <optional>
#include <string>

#include "convert/ConversionRequest.h"
#include "convert/ConversionUi.h"

// The observation header request writes, as written: request converted silently
// (no log files, no quality report) into a fresh temporary folder, the header
// read back from the observation file up to and with
// END OF HEADER (lines as in the file, CR LF), and the folder removed. Empty when
// that conversion failed (its message went to ui, which also sees its progress
// and may cancel it) or wrote no epoch.
std::optional<std::string> PreviewObservationHeader(const ConversionRequest& request, ConversionUi& ui);

// The header of the RINEX observation file at path: its bytes up to and with the
// END OF HEADER line; empty when the file cannot be read or has no such line.
std::string ObservationHeaderOf(const std::string& path);
