#include "app/cli/RecordScanCommand.h"

#include "platform/FileSystem.h"
#include "rawdata/RecordScan.h"

int RunRecordScan(const std::string& path, std::ostream& out, std::ostream& err) {
    // A FIFO or a device would block or never end: raw data files are regular files.
    if (KindOfPath(path) == PathKind::Other) {
        err << "qern2rinex: " << path << " is not a regular file\n";
        return 1;
    }
    const int format = GuessFormatIndex(path);
    if (format < 0) {
        err << "qern2rinex: cannot open " << path << "\n";
        return 1;
    }
    const RecordScan scan = ScanRawFile(path, format);
    if (!scan.opened) {
        err << "qern2rinex: cannot read " << path << " as a raw data file\n";
        return 1;
    }
    if (scan.readError != 0) {
        err << "qern2rinex: cannot read " << path << ": " << ErrorText(scan.readError) << "\n";
        return 1;
    }
    out << FormatRecordScan(scan, path);
    return 0;
}
