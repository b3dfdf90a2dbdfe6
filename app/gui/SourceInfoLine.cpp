#include "app/gui/SourceInfoLine.h"

#include <QMetaObject>

#include "app/dialog/ControlIds.h"
#include "app/dialog/SourceSummary.h"

SourceInfoLine::SourceInfoLine(QWidget* parent) : QLabel(parent) {
    setObjectName(QString::number(ControlId::kSourceInfo));
    setWordWrap(true);
    setTextFormat(Qt::PlainText);
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    setAccessibleName(tr("What the raw data file holds"));
    pool_.setMaxThreadCount(1);  // a stopped scan ends before the next one starts
}

SourceInfoLine::~SourceInfoLine() {
    if (stop_) *stop_ = true;
    pool_.waitForDone();
}

void SourceInfoLine::Follow(const std::string& path, int format, double fileDay) {
    const QString key = QString::fromStdString(path) + u'\n' + QString::number(format) + u'\n' + QString::number(fileDay);
    if (key == key_) return;
    key_ = key;
    if (stop_) *stop_ = true;
    const unsigned scan = ++scan_;
    if (path.empty()) {
        scanning_ = false;
        clear();
        return;
    }
    stop_ = std::make_shared<std::atomic<bool>>(false);
    scanning_ = true;
    setText(tr("Reading the file..."));
    pool_.start([this, scan, path, format, fileDay, stop = stop_] {
        const std::string line = SummarizeSource(path, format, fileDay, stop.get());
        if (*stop) return;
        // Back on the window's thread; the line waits for this scan before it goes.
        QMetaObject::invokeMethod(this, [this, scan, line] {
            if (scan != scan_) return;
            scanning_ = false;
            setText(QString::fromStdString(line));
            emit scanned();
        }, Qt::QueuedConnection);
    });
}
