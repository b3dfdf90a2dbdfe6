#include "app/gui/QualityWindow.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>

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

// A cell that shows a number with fixed decimals ("-" when missing) and sorts by
// its value, a missing value below every other.
class NumberItem : public QTableWidgetItem {
public:
    NumberItem(double value, int decimals)
        : QTableWidgetItem(std::isfinite(value) ? QString::number(value, 'f', decimals) : QString("-")), value_(value) {
        setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    bool operator<(const QTableWidgetItem& other) const override {
        const auto* number = dynamic_cast<const NumberItem*>(&other);
        if (!number) return QTableWidgetItem::operator<(other);
        if (std::isnan(value_)) return !std::isnan(number->value_);
        return !std::isnan(number->value_) && value_ < number->value_;
    }

private:
    double value_;
};

}  // namespace

QTableWidget* NewSatelliteTable(const QualitySummary& summary, QWidget* parent) {
    const QString degrees = QString("(") + QChar(0x00B0) + ")";
    const QStringList headers = {QualityWindow::tr("Sat"),           QualityWindow::tr("Epochs\n(C1)"),
                                 QualityWindow::tr("Epochs\n(L1)"), QualityWindow::tr("Elev min\n") + degrees,
                                 QualityWindow::tr("Elev max\n") + degrees, QualityWindow::tr("C/N0 mean\n(dB-Hz)"),
                                 QualityWindow::tr("Slips\nflagged"), QualityWindow::tr("Slips\nfound"),
                                 QualityWindow::tr("MP1 RMS\n(m)"), QualityWindow::tr("MP2 RMS\n(m)")};
    auto* table = new QTableWidget(0, int(headers.size()), parent);
    table->setObjectName("satelliteTable");
    table->setHorizontalHeaderLabels(headers);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->verticalHeader()->hide();
    for (int s = 0; s < kSatelliteCount; ++s) {
        const SatelliteQuality& sat = summary.satellites[s];
        if (sat.epochs == 0 && sat.epochsL1 == 0) continue;
        const int row = table->rowCount();
        table->insertRow(row);
        table->setItem(row, 0, new QTableWidgetItem(QString("G%1").arg(s + 1, 2, 10, QChar('0'))));
        const struct {
            double value;
            int decimals;
        } cells[] = {{double(sat.epochs), 0},       {double(sat.epochsL1), 0},     {sat.elevationMin, 1},
                     {sat.elevationMax, 1},         {sat.cn0Mean, 1},              {double(sat.slipsFlagged), 0},
                     {double(sat.slipsFound), 0},   {sat.mp1Rms, 3},               {sat.mp2Rms, 3}};
        for (int column = 1; column <= int(std::size(cells)); ++column)
            table->setItem(row, column, new NumberItem(cells[column - 1].value, cells[column - 1].decimals));
    }
    table->setSortingEnabled(true);  // after filling: rows stay where they were put
    table->sortByColumn(0, Qt::AscendingOrder);
    table->resizeColumnsToContents();
    return table;
}

QualityWindow::QualityWindow(const QualitySummary& summary, const QualitySeries& series, const QString& reportText,
                             QWidget* parent)
    : QDialog(parent) {
    setObjectName("quality");
    setWindowTitle(tr("Quality"));
    auto* tabs = new QTabWidget(this);
    tabs->setObjectName("qualityPages");
    auto* report = new QPlainTextEdit(reportText, tabs);
    report->setObjectName("qualityReport");
    report->setReadOnly(true);
    report->setLineWrapMode(QPlainTextEdit::NoWrap);
    report->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    tabs->addTab(report, tr("&Report"));
    tabs->addTab(NewSatelliteTable(summary, tabs), tr("Satellite ta&ble"));
    for (QualityChart& c : MakeQualityCharts(summary, series)) {
        const QString name = c.name;
        auto* page = new QWidget(tabs);
        page->setObjectName("page-" + name);
        auto* view = new QualityChartView(std::move(c), page);
        auto* hint = new QLabel(name == "sky" ? QString()
                                              : tr("Drag a rectangle to zoom in, right click to zoom out, double click to show all"),
                                page);
        auto* save = new QPushButton(tr("Save Image..."), page);
        save->setObjectName("save-" + name);
        connect(save, &QPushButton::clicked, this, [this, name] { SaveImage(name); });
        auto* row = new QHBoxLayout;
        row->addWidget(hint, 1);
        row->addWidget(save);
        auto* layout = new QVBoxLayout(page);
        layout->setContentsMargins(0, 0, 0, 4);
        layout->addWidget(view, 1);
        layout->addLayout(row);
        tabs->addTab(page, PageTitle(name));
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addWidget(buttons);
    // Within a 1024 x 768 screen with the window's frame and a panel.
    resize(kWidth, kHeight);
}

void QualityWindow::SaveImage(const QString& name) {
    auto* view = findChild<QualityChartView*>("chart-" + name);
    if (!view) return;
    const QString proposed =
        (imagePrefix_.isEmpty() ? QDir::home().filePath("qc") : imagePrefix_) + "." + name + ".png";
    QString path = QFileDialog::getSaveFileName(this, tr("Save Image"), proposed, tr("PNG images (*.png)"));
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += ".png";
    if (!SaveChartImage(*view, path))
        QMessageBox::warning(this, tr("Save Image"), tr("Cannot write %1.").arg(QDir::toNativeSeparators(path)));
}
