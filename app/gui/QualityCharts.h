#pragma once
#include <QString>
#include <memory>
#include <vector>

#include "app/dialog/QualityPlotter.h"
#include "quality/QualitySeries.h"
#include "quality/QualitySummary.h"

#include <QColor>
#include <QRectF>
#include <QtCharts/QChartView>
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
    // For a chart of equal scales on both axes (the horizontal scatter): the region
    // (axis units, left/top = lowest x/y) that must show; empty for the others.
    QRectF extent{};
};

// The charts of a quality report: sky tracks with slips, carrier-to-noise density
// against elevation, MP1 and MP2 against time, satellites per epoch, and the fixes
// about their mean against time and north against east. Colours of the Okabe-Ito
// palette, which readers with colour-vision deficiencies can tell apart.
std::vector<QualityChart> MakeQualityCharts(const QualitySummary& summary, const QualitySeries& series);

// Sets the ranges of chart's value axes so that extent, centred, fills its plot area
// as drawn now with as many pixels per unit on both axes (one range widened to the
// area's aspect ratio), ticks at one round step on both. False when the ranges
// already fit (so a caller can repeat it until the plot area stops changing).
bool FitEqualScales(QChart& chart, const QRectF& extent);

// Lays chart out at size (scene pixels) and, with an extent, settles its equal
// scales: new ranges can change the labels' room and with it the plot area, so a
// few rounds are made, never more.
void LayOutChart(QChart& chart, const QSizeF& size, const QRectF& extent = QRectF());

// A chart on screen: a rubber band zooms in (a right click zooms out), a double
// click shows all again; a chart of equal scales keeps them through resizing and
// zooming by changing its axes' ranges, never its own size.
class QualityChartView : public QChartView {
    Q_OBJECT
public:
    QualityChartView(QualityChart chart, QWidget* parent = nullptr);
    void ResetZoom();
    bool Zoomed() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void Settle();
    QRectF extent_;  // all of the data; empty without equal scales
    QRectF shown_;   // the part asked for (extent_, or the last zoom)
    bool settling_ = false;
};

// Writes what view shows as a PNG file of the view's size; false when it cannot.
bool SaveChartImage(QChartView& view, const QString& path);

// Draws the charts into PNG files (width x height pixels, height x height for one
// of equal scales) without a window. Needs a QApplication; when there is none, one is
// made on the offscreen platform.
class ChartQualityPlotter : public IQualityPlotter {
public:
    std::vector<std::string> WritePlots(const QualitySummary& summary, const QualitySeries& series,
                                        const std::string& prefix, std::string& error) override;
    int width = 1000;
    int height = 700;
};
