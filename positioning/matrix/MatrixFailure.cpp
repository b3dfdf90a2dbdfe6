#include "positioning/matrix/MatrixFailure.h"

namespace {

// The faults this thread recorded since they were last taken.
std::string& FaultRecord()
{
    thread_local std::string record;
    return record;
}

}  // namespace

void MatrixStop(const char* message) { throw MatrixError(message); }

void MatrixReport(const char* message) { FaultRecord().append(message).append("\n"); }

void MatrixReportAccess(const char* message) { MatrixReport(message); }

std::string TakeMatrixFaults()
{
    std::string faults;
    faults.swap(FaultRecord());
    return faults;
}

double& MatrixDummyCell()
{
    thread_local double cell = 0.0;
    cell = 0.0;
    return cell;
}
