#include "app/RecordScanCommand.h"

int RunRecordScan(const std::string& path, std::ostream& /*out*/, std::ostream& err) {
    err << "qern2rinex: cannot scan " << path << ": the record scan is not part of this build\n";
    return 1;
}
