#pragma once
#include <QDialog>

#include "quality/QualitySeries.h"
#include "quality/QualitySummary.h"

class QTableWidget;

// The "Quality" window shown after a conversion with the quality report: the
// report's text on its first page, a table of the satellites sortable by each
// column, then one page per chart (the charts of the --qc-plots files), each
// zoomable with the mouse and with "Save Image...".
class QualityWindow : public QDialog {
    Q_OBJECT
public:
    QualityWindow(const QualitySummary& summary, const QualitySeries& series, const QString& reportText,
                  QWidget* parent = nullptr);

    // The start of the names "Save Image..." proposes (observation path + ".qc"
    // gives the names of the --qc-plots files); without it, the chart's name in the
    // home folder.
    void SetImagePrefix(const QString& prefix) { imagePrefix_ = prefix; }

    // Its size when opened (pixels): with its frame it fits a 1024 x 768 screen.
    static constexpr int kWidth = 960;
    static constexpr int kHeight = 660;

private:
    void SaveImage(const QString& name);
    QString imagePrefix_;
};

// The table of the satellites seen (those with a C1 or L1 epoch), one row each:
// PRN, epochs with C1 and with L1, lowest and highest elevation, mean C/N0, slips
// flagged and found, MP1 and MP2 RMS. Numbers sort as numbers, missing ones first.
QTableWidget* NewSatelliteTable(const QualitySummary& summary, QWidget* parent);
