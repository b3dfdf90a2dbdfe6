#pragma once
#include <QLabel>
#include <QThreadPool>

#include <atomic>
#include <memory>
#include <string>

// The read-only line under the raw data file (object name 1050): what a scan of
// the file found (SourceSummaryLine), or why there is nothing to show. The scan
// runs on a thread of its own, so that a day of data never holds up the window;
// a newer file stops the scan of the one before, whose result is dropped.
class SourceInfoLine : public QLabel {
    Q_OBJECT

public:
    explicit SourceInfoLine(QWidget* parent = nullptr);
    // Stops a running scan and waits for it.
    ~SourceInfoLine() override;

    // Shows what is in the raw file at path (format 0 ASCII, 1 binary, else as
    // its bytes say; fileDay: the Recorded On date, for a file whose data carry
    // no full GPS week). Nothing happens when all three are those of the line
    // shown or being read; an empty path empties the line.
    void Follow(const std::string& path, int format, double fileDay);
    // True while a scan runs.
    bool Scanning() const { return scanning_; }

signals:
    // The line shows the scan's result.
    void scanned();

private:
    QThreadPool pool_;
    std::shared_ptr<std::atomic<bool>> stop_;
    QString key_;          // path, format and day last followed
    unsigned scan_ = 0;    // number of the latest scan; results of older ones are dropped
    bool scanning_ = false;
};
