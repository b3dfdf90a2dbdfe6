#pragma once
#include <QDialog>

#include "quality/QualitySeries.h"
#include "quality/QualitySummary.h"

// The "Quality" window shown after a conversion with the quality report: the
// report's table on its first page, then one page per chart (the charts of the
// --qc-plots files).
class QualityWindow : public QDialog {
    Q_OBJECT
public:
    QualityWindow(const QualitySummary& summary, const QualitySeries& series, const QString& reportText,
                  QWidget* parent = nullptr);

    // Its size when opened (pixels): with its frame it fits a 1024 x 768 screen.
    static constexpr int kWidth = 960;
    static constexpr int kHeight = 660;
};
