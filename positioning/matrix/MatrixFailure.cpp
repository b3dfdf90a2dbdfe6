#include "positioning/matrix/MatrixFailure.h"

#include <cstdio>
#include <cstdlib>

void MatrixStop(const char* message)
{
    std::printf("Stop!\n%s\n", message);
    std::fflush(stdout);
    std::exit(-1);
}

void MatrixReport(const char* message)
{
    std::printf("Stop!\n%s\n", message);
    std::fflush(stdout);
}

void MatrixReportAccess(const char* message)
{
    std::printf("Stop! \n%s\n", message);
    std::fflush(stdout);
}

double& MatrixDummyCell()
{
    thread_local double cell = 0.0;
    cell = 0.0;
    return cell;
}
