// The quality plots drawn without a window: every chart becomes a PNG of the asked
// size, whatever the series hold (nothing, unknown values, one satellite).
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

#include <QPlainTextEdit>
#include <QTabWidget>

#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QValueAxis>

#include "app/gui/QualityCharts.h"
#include "app/gui/QualityWindow.h"
#include "tests/app/gui/GuiTestSupport.h"

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
        QCOMPARE(pages->count(), 7);
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

    void anUnwritableFolderIsReported() {
        ChartQualityPlotter plotter;
        std::string error;
        QVERIFY(plotter.WritePlots(QualitySummary(), QualitySeries(), "/no/such/folder/x", error).empty());
        QVERIFY(error.find("/no/such/folder/x.sky.png") != std::string::npos);
    }
};

static const RegisterGuiTest registered([] { return std::make_unique<QualityChartsTest>(); });

#include "QualityChartsTest.moc"
