#pragma once
#include <QString>
#include <memory>
#include <vector>

#include "app/dialog/QualityPlotter.h"
#include "quality/QualitySeries.h"
#include "quality/QualitySummary.h"

#include <QColor>
#include <QtCharts/QScatterSeries>

class QChart;

// How one satellite is drawn in every chart: a colour and a marker shape, the pair
// different for each of the 32 PRNs (satellite 0..31 is G01..G32).
struct SatelliteStyle {
    QColor colour;
    QScatterSeries::MarkerShape shape;
};
SatelliteStyle StyleOf(int satellite);


// One plot of a quality report: its chart and the short name of its file.
struct QualityChart {
    QString name;  // "sky", "cn0", "multipath", "satellites", "position-time", "position-scatter"
    std::unique_ptr<QChart> chart;
    bool square = false;  // drawn with equal width and height (equal scales on both axes)
};

// The charts of a quality report: sky tracks with slips, carrier-to-noise density
// against elevation, MP1 and MP2 against time, satellites per epoch, and the fixes
// about their mean against time and north against east. Colours of the Okabe-Ito
// palette, which readers with colour-vision deficiencies can tell apart.
std::vector<QualityChart> MakeQualityCharts(const QualitySummary& summary, const QualitySeries& series);

// Draws the charts into PNG files (width x height pixels, height x height for a
// square one) without a window. Needs a QApplication; when there is none, one is
// made on the offscreen platform.
class ChartQualityPlotter : public IQualityPlotter {
public:
    std::vector<std::string> WritePlots(const QualitySummary& summary, const QualitySeries& series,
                                        const std::string& prefix, std::string& error) override;
    int width = 1000;
    int height = 700;
};
