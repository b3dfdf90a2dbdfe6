#include "app/gui/QualityWindow.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QtCharts/QChartView>

#include "app/gui/QualityCharts.h"

namespace {

// The page title of a chart of MakeQualityCharts.
QString PageTitle(const QString& name) {
    if (name == "sky") return QualityWindow::tr("&Sky");
    if (name == "cn0") return QualityWindow::tr("&C/N0");
    if (name == "multipath") return QualityWindow::tr("&Multipath");
    if (name == "satellites") return QualityWindow::tr("S&atellites");
    if (name == "position-time") return QualityWindow::tr("&Position");
    return QualityWindow::tr("Sca&tter");
}

}  // namespace

QualityWindow::QualityWindow(const QualitySummary& summary, const QualitySeries& series, const QString& reportText,
                             QWidget* parent)
    : QDialog(parent) {
    setObjectName("quality");
    setWindowTitle(tr("Quality"));
    auto* tabs = new QTabWidget(this);
    tabs->setObjectName("qualityPages");
    auto* table = new QPlainTextEdit(reportText, tabs);
    table->setObjectName("qualityReport");
    table->setReadOnly(true);
    table->setLineWrapMode(QPlainTextEdit::NoWrap);
    table->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    tabs->addTab(table, tr("&Report"));
    for (QualityChart& c : MakeQualityCharts(summary, series)) {
        auto* view = new QChartView(c.chart.release(), tabs);  // the view owns the chart
        view->setObjectName("chart-" + c.name);
        view->setRenderHint(QPainter::Antialiasing);
        tabs->addTab(view, PageTitle(c.name));
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addWidget(buttons);
    // Within a 1024 x 768 screen with the window's frame and a panel.
    resize(kWidth, kHeight);
}
