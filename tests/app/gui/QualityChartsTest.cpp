// The quality plots drawn without a window: every chart becomes a PNG of the asked
// size, whatever the series hold (nothing, unknown values, one satellite).
#include <QGraphicsScene>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

#include <QHeaderView>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTableWidget>

#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QValueAxis>

#include "app/gui/QualityCharts.h"
#include "app/gui/QualityWindow.h"
#include "tests/app/gui/GuiTestSupport.h"

namespace {

// Fixes spread 4 m east-west and 1 m north-south.
QualitySeries Scatter() {
    QualitySeries series;
    for (int i = 0; i < 40; ++i)
        series.epochs.push_back({10.0 * i, 8, 0.5 * std::sin(0.3 * i), 2.0 * std::cos(0.3 * i), 0.1});
    series.satellites.push_back({0.0, 4, 30.0, 20.0, 40.0, 0.1, 0.2});
    series.satellites.push_back({390.0, 4, 30.0, 20.0, 40.0, -0.1, 0.2});
    return series;
}

struct ResizeCounter : QObject {
    int count = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Resize) ++count;
        return false;
    }
};

}  // namespace

class QualityChartsTest : public QObject {
    Q_OBJECT
private slots:
    void everyChartIsWrittenAsAPng() {
        QualitySummary summary;
        QualitySeries filled;
        for (int i = 0; i < 50; ++i) {
            const double nan = std::nan("");
            filled.satellites.push_back({10.0 * i, 4, 30.0 + i, 20.0 + 0.5 * i, 40.0, i % 7 ? 0.1 : nan, 0.2});
            filled.epochs.push_back({10.0 * i, 6 + i % 3, 0.01 * i, -0.02, i % 5 ? 0.03 : nan});
        }
        filled.slips.push_back({100.0, 4, 35.0, 25.0, true, false});
        filled.slips.push_back({200.0, 4, 45.0, 30.0, false, true});
        summary.position.epochsFixed = 50;
        summary.position.p95Horizontal = 0.05;
        const QualitySeries empty;
        for (const QualitySeries* series : std::initializer_list<const QualitySeries*>{&filled, &empty}) {
            QTemporaryDir dir;
            QVERIFY(dir.isValid());
            ChartQualityPlotter plotter;
            plotter.width = 640;
            plotter.height = 480;
            std::string error;
            const std::string prefix = dir.filePath("x.obs.qc").toStdString();
            const std::vector<std::string> written = plotter.WritePlots(summary, *series, prefix, error);
            QCOMPARE(written.size(), size_t(6));
            QVERIFY2(error.empty(), error.c_str());
            for (const std::string& path : written) {
                const QImage image(QString::fromStdString(path));
                QVERIFY2(!image.isNull(), path.c_str());
                QCOMPARE(image.height(), 480);
                QCOMPARE(image.width(), path.find("position-scatter") != std::string::npos ? 480 : 640);
            }
        }
    }

    // The window after a conversion: the report's table first, then a page per chart.
    void theQualityWindowShowsTheTableAndEveryChart() {
        QualitySeries series;
        series.epochs.push_back({0.0, 8, 0.01, 0.02, 0.03});
        QualityWindow window(QualitySummary(), series, "QUALITY REPORT  x.obs\r\n");
        auto* pages = window.findChild<QTabWidget*>("qualityPages");
        QVERIFY(pages);
        QCOMPARE(pages->count(), 8);
        auto* table = window.findChild<QPlainTextEdit*>("qualityReport");
        QVERIFY(table && table->isReadOnly());
        QVERIFY(table->toPlainText().startsWith("QUALITY REPORT"));
        for (const char* name : {"chart-sky", "chart-cn0", "chart-multipath", "chart-satellites",
                                 "chart-position-time", "chart-position-scatter"})
            QVERIFY2(window.findChild<QWidget*>(name), name);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // Within 1024 x 768 with a frame (8 px a side, 32 px title bar) and a 32 px panel.
        QVERIFY(window.width() + 16 <= 1024 && window.height() + 40 + 32 <= 768);
        window.reject();
        QVERIFY(!window.isVisible());
    }

    // Each of the 32 satellites has a colour and shape of its own, none the black or
    // yellow of the slips; every found slip is marked, flagged or not; the
    // elevation axis ends at the zenith.
    void everySatelliteAndSlipCanBeToldApart() {
        QSet<QString> styles;
        for (int satellite = 0; satellite < 32; ++satellite) {
            const SatelliteStyle style = StyleOf(satellite);
            QVERIFY(style.colour != QColor(Qt::black) && style.colour != QColor(0xF0, 0xE4, 0x42));
            styles.insert(style.colour.name() + QString::number(int(style.shape)));
        }
        QCOMPARE(styles.size(), 32);

        QualitySeries series;
        series.satellites.push_back({0.0, 4, 30.0, 20.0, 40.0, 0.1, 0.2});
        series.slips.push_back({100.0, 4, 35.0, 25.0, true, true});
        series.slips.push_back({200.0, 4, 45.0, 30.0, false, true});
        series.slips.push_back({300.0, 4, 55.0, 35.0, true, false});
        std::vector<QualityChart> charts = MakeQualityCharts(QualitySummary(), series);
        int found = -1, flagged = -1;
        for (QAbstractSeries* s : charts[0].chart->series()) {
            if (s->name() == "slip found") found = static_cast<QScatterSeries*>(s)->count();
            if (s->name() == "slip flagged") flagged = static_cast<QScatterSeries*>(s)->count();
        }
        QCOMPARE(found, 2);
        QCOMPARE(flagged, 2);
        auto* elevation = static_cast<QValueAxis*>(charts[1].chart->axes(Qt::Horizontal).first());
        QCOMPARE(elevation->min(), 0.0);
        QCOMPARE(elevation->max(), 90.0);
    }

    // One metre is as long east as north (within 1 %), in the window at two sizes
    // and in the --qc-plots image, and the window settles: few resize events, no
    // range changes after them.
    void theScatterHasEqualScales() {
        QualitySeries series = Scatter();
        const auto pixelsPerMetre = [](QChart& chart) {
            const QPointF o = chart.mapToPosition(QPointF(0, 0)), e = chart.mapToPosition(QPointF(1, 0)),
                          n = chart.mapToPosition(QPointF(0, 1));
            return std::pair{std::hypot(e.x() - o.x(), e.y() - o.y()), std::hypot(n.x() - o.x(), n.y() - o.y())};
        };
        const auto checkEqual = [&](QChart& chart, const char* where) {
            const auto [east, north] = pixelsPerMetre(chart);
            QVERIFY2(east > 0 && std::fabs(east / north - 1) < 0.01,
                     qPrintable(QString("%1: %2 px/m east, %3 px/m north").arg(where).arg(east).arg(north)));
            // Every fix shows.
            auto* x = static_cast<QValueAxis*>(chart.axes(Qt::Horizontal).first());
            auto* y = static_cast<QValueAxis*>(chart.axes(Qt::Vertical).first());
            QVERIFY(x->min() <= -2 && x->max() >= 2 && y->min() <= -0.5 && y->max() >= 0.5);
        };
        for (const QSize size : {QSize(480, 480), QSize(1000, 700)}) {
            std::vector<QualityChart> charts = MakeQualityCharts(QualitySummary(), series);
            QGraphicsScene scene;
            QChart* chart = charts[5].chart.release();
            scene.addItem(chart);
            LayOutChart(*chart, size, charts[5].extent);
            checkEqual(*chart, "plot file");
        }
        QualityWindow window(QualitySummary(), series, "");
        auto* view = window.findChild<QualityChartView*>("chart-position-scatter");
        QVERIFY(view);
        window.findChild<QTabWidget*>("qualityPages")->setCurrentIndex(7);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        ResizeCounter resizes;
        view->installEventFilter(&resizes);
        for (const QSize size : {QSize(QualityWindow::kWidth, QualityWindow::kHeight), QSize(520, 740)}) {
            window.resize(size);
            QTest::qWait(100);
            checkEqual(*view->chart(), "window");
            const auto* x = static_cast<QValueAxis*>(view->chart()->axes(Qt::Horizontal).first());
            const double min = x->min();
            QTest::qWait(100);
            QCOMPARE(x->min(), min);
        }
        QVERIFY2(resizes.count <= 2, qPrintable(QString::number(resizes.count)));
    }

    // A rubber band zooms in (the scatter keeping equal scales), a double click
    // shows all again; the table sorts numbers as numbers; a chart saves as a PNG
    // of its view's size.
    void chartsZoomSaveAndTheTableSorts() {
        QualitySummary summary;
        summary.satellites[2] = {300, 300, 5, 60, 45, 0, 0, 0.3, 0.4, 300};
        summary.satellites[6] = {40, 40, 10, 70, 40, 2, 1, std::nan(""), std::nan(""), 0};
        summary.satellites[9] = {5, 5, 15, 20, 35, 1, 0, 0.5, 0.6, 5};
        QualityWindow window(summary, Scatter(), "");
        auto* pages = window.findChild<QTabWidget*>("qualityPages");
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        for (const char* name : {"multipath", "position-scatter"}) {
            auto* view = window.findChild<QualityChartView*>(QString("chart-") + name);
            QVERIFY(view);
            pages->setCurrentWidget(view->parentWidget());
            QTest::qWait(50);
            auto* x = static_cast<QValueAxis*>(view->chart()->axes(Qt::Horizontal).first());
            const double span = x->max() - x->min();
            const QRect area = view->chart()->plotArea().toRect();
            QTest::mousePress(view->viewport(), Qt::LeftButton, {}, area.center());
            QTest::mouseMove(view->viewport(), area.center() + QPoint(area.width() / 4, area.height() / 8));
            QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, area.center() + QPoint(area.width() / 4, area.height() / 8));
            QVERIFY2(view->Zoomed() && x->max() - x->min() < span / 2, name);
            const QPointF o = view->chart()->mapToPosition(QPointF(0, 0)), e = view->chart()->mapToPosition(QPointF(1, 1));
            if (QString(name) == "position-scatter") QVERIFY(std::fabs(std::fabs(e.x() - o.x()) / std::fabs(e.y() - o.y()) - 1) < 0.01);
            QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, area.center());
            QVERIFY2(!view->Zoomed() && std::fabs(x->max() - x->min() - span) < 1e-9 * span, name);

            QTemporaryDir dir;
            const QString path = dir.filePath("chart.png");
            QVERIFY(SaveChartImage(*view, path));
            const QImage image(path);
            QCOMPARE(image.size(), view->size());
        }

        auto* table = window.findChild<QTableWidget*>("satelliteTable");
        QVERIFY(table && table->isSortingEnabled());
        QCOMPARE(table->rowCount(), 3);
        const auto column = [table](int c) {
            QStringList texts;
            for (int row = 0; row < table->rowCount(); ++row) texts << table->item(row, c)->text();
            return texts.join(' ');
        };
        QCOMPARE(column(0), QString("G03 G07 G10"));
        table->sortByColumn(1, Qt::AscendingOrder);
        QCOMPARE(column(1), QString("5 40 300"));
        table->sortByColumn(8, Qt::DescendingOrder);
        QCOMPARE(column(8), QString("0.500 0.300 -"));
    }

    void anUnwritableFolderIsReported() {
        ChartQualityPlotter plotter;
        std::string error;
        QVERIFY(plotter.WritePlots(QualitySummary(), QualitySeries(), "/no/such/folder/x", error).empty());
        QVERIFY(error.find("/no/such/folder/x.sky.png") != std::string::npos);
    }
};

static const RegisterGuiTest registered([] { return std::make_unique<QualityChartsTest>(); });

#include "QualityChartsTest.moc"
