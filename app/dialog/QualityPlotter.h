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
