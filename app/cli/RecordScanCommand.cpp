#include "app/cli/RecordScanCommand.h"

#include "rawdata/RecordScan.h"

int RunRecordScan(const std::string& path, std::ostream& out, std::ostream& err) {
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
    out << FormatRecordScan(scan, path);
    return 0;
}
