#include "app/gui/QualityCharts.h"

#include <QApplication>
#include <QFile>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QMouseEvent>
#include <QRubberBand>
#include <QImage>
#include <QPainter>
#include <QtCharts/QCategoryAxis>
#include <QtCharts/QChart>
#include <QtCharts/QLegend>
#include <QtCharts/QLegendMarker>
#include <QtCharts/QLineSeries>
#include <QtCharts/QPolarChart>
#include <QtCharts/QScatterSeries>
#include <QtCharts/QValueAxis>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <map>

namespace {

// Okabe-Ito colours.
const QColor kBlue(0x00, 0x72, 0xB2), kOrange(0xE6, 0x9F, 0x00), kGreen(0x00, 0x9E, 0x73),
    kPurple(0xCC, 0x79, 0xA7), kSky(0x56, 0xB4, 0xE9), kVermillion(0xD5, 0x5E, 0x00), kYellow(0xF0, 0xE4, 0x42),
    kBlack(0, 0, 0);
// Satellites: six colours (black is kept for the flagged slips, yellow for the found
// ones) times six marker shapes, 36 pairs for the 32 PRNs.
const QColor kPalette[] = {kBlue, kOrange, kGreen, kPurple, kSky, kVermillion};
constexpr int kPaletteSize = 6;
const QScatterSeries::MarkerShape kShapes[] = {
    QScatterSeries::MarkerShapeCircle,   QScatterSeries::MarkerShapeRectangle, QScatterSeries::MarkerShapeTriangle,
    QScatterSeries::MarkerShapeRotatedRectangle, QScatterSeries::MarkerShapeStar, QScatterSeries::MarkerShapePentagon};
constexpr int kShapeCount = 6;

std::unique_ptr<QChart> NewChart(const QString& title) {
    auto chart = std::make_unique<QChart>();
    chart->setTitle(title);
    QFont font = chart->titleFont();
    font.setPointSize(13);
    font.setBold(true);
    chart->setTitleFont(font);
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->legend()->setAlignment(Qt::AlignRight);
    return chart;
}

// A value axis over [low, high], widened to round numbers for its ticks.
QValueAxis* NewAxis(const QString& title, double low, double high, bool nice = true) {
    auto* axis = new QValueAxis;
    axis->setTitleText(title);
    axis->setRange(low, high);
    if (nice) axis->applyNiceNumbers();
    axis->setLabelFormat("%g");
    return axis;
}

QScatterSeries* NewScatter(const QString& name, const QColor& colour, double size,
                           QScatterSeries::MarkerShape shape = QScatterSeries::MarkerShapeCircle) {
    auto* s = new QScatterSeries;
    s->setName(name);
    s->setColor(colour);
    s->setBorderColor(colour);
    s->setMarkerSize(size);
    s->setMarkerShape(shape);
    return s;
}

// Adds x at the bottom and y on the left of chart.
void AddAxes(QChart& chart, QAbstractAxis* x, QAbstractAxis* y) {
    chart.addAxis(x, Qt::AlignBottom);
    chart.addAxis(y, Qt::AlignLeft);
}

// Attaches series to the chart and both axes.
void Attach(QChart& chart, QAbstractSeries* series, QAbstractAxis* x, QAbstractAxis* y) {
    chart.addSeries(series);
    series->attachAxis(x);
    series->attachAxis(y);
}

// Lowest and highest finite value of a member of samples, with a margin; fallback
// when there is none.
template <typename Sample, typename Member>
std::pair<double, double> RangeOf(const std::vector<Sample>& samples, Member member, double low, double high) {
    double a = INFINITY, b = -INFINITY;
    for (const Sample& s : samples) {
        const double v = s.*member;
        if (!std::isfinite(v)) continue;
        a = std::min(a, v);
        b = std::max(b, v);
    }
    if (!std::isfinite(a)) return {low, high};
    const double margin = std::max(1e-3, 0.05 * (b - a));
    return {a - margin, b + margin};
}

QString Prn(int satellite) { return QString("G%1").arg(satellite + 1, 2, 10, QChar('0')); }

}  // namespace

SatelliteStyle StyleOf(int satellite) {
    const int k = satellite < 0 ? 0 : satellite;
    return {kPalette[k % kPaletteSize], kShapes[(k / kPaletteSize) % kShapeCount]};
}

namespace {

std::unique_ptr<QChart> SkyChart(const QualitySeries& series) {
    auto chart = std::unique_ptr<QChart>(new QPolarChart);
    chart->setTitle("Sky tracks of the satellites, with cycle slips");
    QFont font = chart->titleFont();
    font.setPointSize(13);
    font.setBold(true);
    chart->setTitleFont(font);
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->legend()->setAlignment(Qt::AlignRight);
    chart->legend()->setMarkerShape(QLegend::MarkerShapeFromSeries);  // each PRN's own shape
    auto* polar = static_cast<QPolarChart*>(chart.get());
    // Azimuth clockwise from north; the radius is the zenith distance, labelled
    // with the elevation (90° at the centre, the horizon at the rim).
    auto* azimuth = new QCategoryAxis;
    azimuth->setRange(0, 360);
    azimuth->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    const char* const directions[] = {"N", "NE", "E", "SE", "S", "SW", "W", "NW"};
    for (int k = 1; k < 8; ++k) azimuth->append(QString(directions[k]), 45.0 * k);
    azimuth->append(QString("N "), 360.0);
    auto* zenith = new QCategoryAxis;
    zenith->setRange(0, 90);
    zenith->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    for (int e : {60, 30, 0}) zenith->append(QString::number(e) + QChar(0x00B0), 90.0 - e);
    polar->addAxis(azimuth, QPolarChart::PolarOrientationAngular);
    polar->addAxis(zenith, QPolarChart::PolarOrientationRadial);
    std::map<int, QScatterSeries*> tracks;
    for (const SatelliteSample& s : series.satellites) {
        if (!std::isfinite(s.elevation) || !std::isfinite(s.azimuth) || s.elevation < 0) continue;
        QScatterSeries*& track = tracks[s.satellite];
        if (!track) {
            const SatelliteStyle style = StyleOf(s.satellite);
            track = NewScatter(Prn(s.satellite), style.colour, 7, style.shape);
        }
        track->append(s.azimuth, 90.0 - s.elevation);
    }
    for (auto& [satellite, track] : tracks) Attach(*chart, track, azimuth, zenith);
    // A slip both flagged and found shows both markers: the found one inside the
    // flagged one's hollow square.
    auto* flagged = NewScatter("slip flagged", Qt::transparent, 15, QScatterSeries::MarkerShapeRectangle);
    QPen ring(kBlack);
    ring.setWidthF(2);
    flagged->setPen(ring);
    auto* found = NewScatter("slip found", kYellow, 10, QScatterSeries::MarkerShapeCircle);
    found->setBorderColor(kBlack);
    for (const SlipSample& s : series.slips) {
        if (!std::isfinite(s.elevation) || !std::isfinite(s.azimuth)) continue;
        if (s.flagged) flagged->append(s.azimuth, 90.0 - s.elevation);
        if (s.found) found->append(s.azimuth, 90.0 - s.elevation);
    }
    Attach(*chart, flagged, azimuth, zenith);
    Attach(*chart, found, azimuth, zenith);
    return chart;
}

std::unique_ptr<QChart> Cn0Chart(const QualitySeries& series) {
    auto chart = NewChart("Carrier-to-noise density against elevation");
    auto* x = NewAxis(QString("Elevation (") + QChar(0x00B0) + ")", 0, 90, false);
    x->setTickCount(10);  // every 10 degrees up to the zenith
    const auto [low, high] = RangeOf(series.satellites, &SatelliteSample::cn0, 20, 60);
    auto* y = NewAxis("C/N0 (dB-Hz)", std::floor(low), std::ceil(high));
    AddAxes(*chart, x, y);
    auto* points = NewScatter("L1 C/N0", kBlue, 4);
    for (const SatelliteSample& s : series.satellites)
        if (std::isfinite(s.elevation) && std::isfinite(s.cn0) && s.cn0 > 0) points->append(s.elevation, s.cn0);
    Attach(*chart, points, x, y);
    return chart;
}

// The unit of the time axes: hours for two hours of data or more, else minutes.
struct TimeUnit {
    double seconds = 60;
    const char* name = "min";
};

// The last sample time of the series, s since the first written epoch.
double SeriesEnd(const QualitySeries& series) {
    double end = 0;
    for (const EpochSample& e : series.epochs) end = std::max(end, e.time);
    for (const SatelliteSample& s : series.satellites) end = std::max(end, s.time);
    return end;
}

TimeUnit UnitOf(const QualitySeries& series) {
    return SeriesEnd(series) >= 7200 ? TimeUnit{3600, "h"} : TimeUnit{60, "min"};
}

// Time axis since the first written epoch, in unit.
QValueAxis* TimeAxis(const QualitySeries& series, const TimeUnit& unit) {
    return NewAxis(QString("Time since the first epoch (%1)").arg(unit.name), 0,
                   std::max(SeriesEnd(series) / unit.seconds, 1.0));
}

std::unique_ptr<QChart> MultipathChart(const QualitySeries& series) {
    auto chart = NewChart("Code multipath MP1 and MP2 (arc means removed)");
    const TimeUnit timeUnit = UnitOf(series);
    auto* x = TimeAxis(series, timeUnit);
    const double unit = timeUnit.seconds;
    const auto [a1, b1] = RangeOf(series.satellites, &SatelliteSample::mp1, -1, 1);
    const auto [a2, b2] = RangeOf(series.satellites, &SatelliteSample::mp2, -1, 1);
    const double bound = std::max({std::fabs(a1), std::fabs(b1), std::fabs(a2), std::fabs(b2)});
    auto* y = NewAxis("Multipath (m)", -bound, bound);
    AddAxes(*chart, x, y);
    auto* mp1 = NewScatter("MP1", kBlue, 4);
    auto* mp2 = NewScatter("MP2", kOrange, 4, QScatterSeries::MarkerShapeRectangle);
    for (const SatelliteSample& s : series.satellites) {
        if (std::isfinite(s.mp1)) mp1->append(s.time / unit, s.mp1);
        if (std::isfinite(s.mp2)) mp2->append(s.time / unit, s.mp2);
    }
    Attach(*chart, mp1, x, y);
    Attach(*chart, mp2, x, y);
    return chart;
}

std::unique_ptr<QChart> SatellitesChart(const QualitySeries& series) {
    auto chart = NewChart("Satellites per epoch");
    const TimeUnit timeUnit = UnitOf(series);
    auto* x = TimeAxis(series, timeUnit);
    const double unit = timeUnit.seconds;
    int most = 4;
    for (const EpochSample& e : series.epochs) most = std::max(most, e.satellites);
    auto* y = NewAxis("Satellites", 0, most + 1, false);
    y->setTickType(QValueAxis::TicksDynamic);
    y->setTickAnchor(0);
    y->setTickInterval(most > 12 ? 2 : 1);
    y->setLabelFormat("%d");
    AddAxes(*chart, x, y);
    auto* line = new QLineSeries;
    line->setName("satellites");
    line->setColor(kBlue);
    auto* minimum = new QLineSeries;
    minimum->setName("4 (needed for a fix)");
    QPen pen(kVermillion);
    pen.setStyle(Qt::DashLine);
    minimum->setPen(pen);
    for (const EpochSample& e : series.epochs) line->append(e.time / unit, e.satellites);
    minimum->append(x->min(), 4);
    minimum->append(x->max(), 4);
    Attach(*chart, line, x, y);
    Attach(*chart, minimum, x, y);
    return chart;
}

std::unique_ptr<QChart> PositionTimeChart(const QualitySeries& series) {
    auto chart = NewChart("Position about the mean of the fixes");
    const TimeUnit timeUnit = UnitOf(series);
    auto* x = TimeAxis(series, timeUnit);
    const double unit = timeUnit.seconds;
    double bound = 0.01;
    for (const EpochSample& e : series.epochs)
        for (double v : {e.north, e.east, e.up})
            if (std::isfinite(v)) bound = std::max(bound, std::fabs(v) * 1.05);
    auto* y = NewAxis("Offset (m)", -bound, bound);
    AddAxes(*chart, x, y);
    const struct {
        const char* name;
        double EpochSample::*member;
        QColor colour;
    } parts[] = {{"north", &EpochSample::north, kBlue},
                 {"east", &EpochSample::east, kOrange},
                 {"up", &EpochSample::up, kGreen}};
    for (const auto& part : parts) {
        auto* s = NewScatter(part.name, part.colour, 4);
        for (const EpochSample& e : series.epochs)
            if (std::isfinite(e.*part.member)) s->append(e.time / unit, e.*part.member);
        Attach(*chart, s, x, y);
    }
    return chart;
}

// The scatter with the square about the mean that holds every fix (the extent
// of its equal scales).
QualityChart PositionScatterChart(const QualitySummary& summary, const QualitySeries& series) {
    QString title = "Horizontal scatter of the fixes";
    if (summary.position.epochsFixed > 0 && std::isfinite(summary.position.p95Horizontal))
        title += QString(" (95 %: %1 m)").arg(summary.position.p95Horizontal, 0, 'f', 2);
    auto chart = NewChart(title);
    double bound = 0.01;
    for (const EpochSample& e : series.epochs)
        for (double v : {e.north, e.east})
            if (std::isfinite(v)) bound = std::max(bound, std::fabs(v) * 1.05);
    auto* x = NewAxis("East (m)", -bound, bound, false);
    auto* y = NewAxis("North (m)", -bound, bound, false);
    AddAxes(*chart, x, y);
    chart->legend()->hide();
    auto* s = NewScatter("fixes", kBlue, 4);
    for (const EpochSample& e : series.epochs)
        if (std::isfinite(e.north) && std::isfinite(e.east)) s->append(e.east, e.north);
    Attach(*chart, s, x, y);
    return {"position-scatter", std::move(chart), QRectF(-bound, -bound, 2 * bound, 2 * bound)};
}

}  // namespace

std::vector<QualityChart> MakeQualityCharts(const QualitySummary& summary, const QualitySeries& series) {
    std::vector<QualityChart> charts;
    charts.push_back({"sky", SkyChart(series)});
    charts.push_back({"cn0", Cn0Chart(series)});
    charts.push_back({"multipath", MultipathChart(series)});
    charts.push_back({"satellites", SatellitesChart(series)});
    charts.push_back({"position-time", PositionTimeChart(series)});
    charts.push_back(PositionScatterChart(summary, series));
    return charts;
}

std::vector<std::string> ChartQualityPlotter::WritePlots(const QualitySummary& summary, const QualitySeries& series,
                                                         const std::string& prefix, std::string& error) {
    std::unique_ptr<QApplication> own;
    if (!QApplication::instance()) {
        // No window is opened: the offscreen platform works with or without a display.
        static int argc = 1;
        static char name[] = "qern2rinex";
        static char* argv[] = {name, nullptr};
        if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
        own = std::make_unique<QApplication>(argc, argv);
        std::setlocale(LC_NUMERIC, "C");  // the conversion's texts use the C library's numbers
    }
    std::vector<std::string> written;
    for (QualityChart& c : MakeQualityCharts(summary, series)) {
        const int w = c.extent.isEmpty() ? width : height;
        QGraphicsScene scene;
        QChart* chart = c.chart.release();  // the scene owns it from here
        scene.addItem(chart);
        LayOutChart(*chart, QSizeF(w, height), c.extent);
        QImage image(w, height, QImage::Format_ARGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            scene.render(&painter, QRectF(0, 0, w, height), QRectF(0, 0, w, height));
        }
        const std::string path = prefix + "." + c.name.toStdString() + ".png";
        if (!image.save(QFile::decodeName(path.c_str()), "PNG")) {
            error = "cannot write " + path;
            return {};
        }
        written.push_back(path);
    }
    return written;
}
