#pragma once
#include <string>

#include "quality/QualitySummary.h"

// The text of the quality report written beside an observation file: a header with
// the definitions of every figure, then the summary, the gaps, one line per
// satellite, MP1 against elevation and the position scatter, in aligned columns.
// observationName names the file the report is about. Lines end in CR LF.
std::string QualityReportText(const QualitySummary& q, const std::string& observationName);
