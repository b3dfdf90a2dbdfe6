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

// The charts on screen and in files: equal scales for the scatter, zoom with the
// mouse, images saved.

namespace {

// 1, 2 or 5 times a power of ten, the smallest at least step.
double RoundStep(double step) {
    const double power = std::pow(10.0, std::floor(std::log10(step)));
    for (double m : {1.0, 2.0, 5.0})
        if (m * power >= step * (1 - 1e-9)) return m * power;
    return 10 * power;
}

}  // namespace

bool FitEqualScales(QChart& chart, const QRectF& extent) {
    auto* x = qobject_cast<QValueAxis*>(chart.axes(Qt::Horizontal).value(0));
    auto* y = qobject_cast<QValueAxis*>(chart.axes(Qt::Vertical).value(0));
    const QRectF area = chart.plotArea();
    if (!x || !y || !(area.width() >= 1 && area.height() >= 1) || !(extent.width() > 0 && extent.height() > 0) ||
        !std::isfinite(extent.width() + extent.height() + extent.x() + extent.y()))
        return false;
    const double perPixel = std::max(extent.width() / area.width(), extent.height() / area.height());
    const double halfX = 0.5 * perPixel * area.width(), halfY = 0.5 * perPixel * area.height();
    const QPointF centre = extent.center();
    const double tolerance = 1e-4 * std::min(halfX, halfY);
    if (std::fabs(x->min() - (centre.x() - halfX)) < tolerance && std::fabs(x->max() - (centre.x() + halfX)) < tolerance &&
        std::fabs(y->min() - (centre.y() - halfY)) < tolerance && std::fabs(y->max() - (centre.y() + halfY)) < tolerance)
        return false;
    // A labelled tick about every 80 pixels, at the same round step on both axes.
    const double step = RoundStep(80 * perPixel);
    for (QValueAxis* axis : {x, y}) {
        axis->setTickType(QValueAxis::TicksDynamic);
        axis->setTickAnchor(0);
        axis->setTickInterval(step);
        // As many decimals as the step has (no "1.7e-18" for a tick at zero).
        axis->setLabelFormat(QString("%.%1f").arg(std::max(0, int(-std::floor(std::log10(step) + 1e-9)))));
    }
    x->setRange(centre.x() - halfX, centre.x() + halfX);
    y->setRange(centre.y() - halfY, centre.y() + halfY);
    return true;
}

void LayOutChart(QChart& chart, const QSizeF& size, const QRectF& extent) {
    chart.resize(size);
    if (chart.layout()) chart.layout()->activate();
    for (int round = 0; round < 4 && !extent.isEmpty() && FitEqualScales(chart, extent); ++round)
        if (chart.layout()) chart.layout()->activate();
}

QualityChartView::QualityChartView(QualityChart chart, QWidget* parent)
    : QChartView(chart.chart.release(), parent), extent_(chart.extent), shown_(chart.extent) {
    setObjectName("chart-" + chart.name);
    setRenderHint(QPainter::Antialiasing);
    // The sky is shown whole (a polar chart has no rectangle to zoom to).
    if (this->chart()->chartType() != QChart::ChartTypePolar) setRubberBand(QChartView::RectangleRubberBand);
    // A plot area that changes for another reason than a resize (the first layout,
    // a font) is met the same way; a change made while settling is not.
    // Later, from the event loop: the charts' own range updates must not be
    // changed under them.
    connect(this->chart(), &QChart::plotAreaChanged, this, [this] {
        if (!settling_) QMetaObject::invokeMethod(this, [this] { Settle(); }, Qt::QueuedConnection);
    });
}

void QualityChartView::Settle() {
    if (extent_.isEmpty() || settling_) return;
    settling_ = true;
    LayOutChart(*chart(), chart()->size(), shown_);
    settling_ = false;
}

void QualityChartView::resizeEvent(QResizeEvent* event) {
    QChartView::resizeEvent(event);
    Settle();
}

void QualityChartView::mouseReleaseEvent(QMouseEvent* event) {
    auto* band = findChild<QRubberBand*>();
    const bool dragged = band && band->isVisible() && band->width() >= 4 && band->height() >= 4;
    // A click is no rubber band (an empty one would zoom to nothing).
    if (band && band->isVisible() && !dragged) band->hide();
    if (extent_.isEmpty() || event->button() != Qt::LeftButton || !dragged) {
        QChartView::mouseReleaseEvent(event);  // zooms to the rubber band, or out
        // Round numbers on the ticks of the part shown.
        if (dragged && extent_.isEmpty())
            for (QAbstractAxis* axis : chart()->axes())
                if (auto* value = qobject_cast<QValueAxis*>(axis)) value->applyNiceNumbers();
        return;
    }
    // Equal scales: the rectangle asked for is kept whole and one side widens.
    band->hide();
    const QPointF a = chart()->mapToValue(chart()->mapFromScene(mapToScene(band->geometry().topLeft())));
    const QPointF b = chart()->mapToValue(chart()->mapFromScene(mapToScene(band->geometry().bottomRight())));
    const QRectF asked = QRectF(a, b).normalized();
    if (asked.width() > 0 && asked.height() > 0) {
        shown_ = asked;
        Settle();
    }
    event->accept();
}

void QualityChartView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        ResetZoom();
        event->accept();
        return;
    }
    QChartView::mouseDoubleClickEvent(event);
}

void QualityChartView::ResetZoom() {
    chart()->zoomReset();
    shown_ = extent_;
    Settle();
}

bool QualityChartView::Zoomed() const { return extent_.isEmpty() ? chart()->isZoomed() : shown_ != extent_; }

bool SaveChartImage(QChartView& view, const QString& path) {
    const QPixmap image = view.grab();
    return !image.isNull() && image.save(path, "PNG");
}
