#pragma once
#include <string>
#include <vector>

#include "quality/QualitySeries.h"
#include "quality/QualitySummary.h"

// Draws the plots of a quality report into image files. The desktop build brings
// one (charts drawn without a window); a build without it has none to offer.
class IQualityPlotter {
public:
    virtual ~IQualityPlotter() = default;
    // Writes the plots as PNG files whose names start with prefix (prefix +
    // ".sky.png", ...); returns the paths written, empty with error set on failure.
    virtual std::vector<std::string> WritePlots(const QualitySummary& summary, const QualitySeries& series,
                                                const std::string& prefix, std::string& error) = 0;
};

// Draws the plots of a conversion beside its observation file (observation path +
// ".qc.<name>.png"), whole or not at all: under temporary names first, renamed
// into place once all are drawn. Returns the paths written; empty with error set
// on failure, the plots of before kept.
std::vector<std::string> PublishPlots(IQualityPlotter& plotter, const QualitySummary& summary,
                                      const QualitySeries& series, const std::string& observationPath,
                                      std::string& error);
