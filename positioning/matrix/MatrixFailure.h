#pragma once
#include <cstdint>

// Status codes of the matrix library: 0 on success, otherwise a code grouped by class in
// hundreds (1xx CRealArray, 2xx CVector, 3xx CRectMat, 4xx CSquareMat, 5xx CTriangMat,
// 6xx CSymMat, 7xx CDiagMat).
using MatStatus = std::int16_t;

// Largest element count of any array or matrix (counts are 16-bit signed).
inline constexpr int kMatMaxCount = 32767;

// Prints "Stop!\n<message>\n" to standard output and ends the process with exit code -1.
[[noreturn]] void MatrixStop(const char* message);

// Prints "Stop!\n<message>\n" to standard output; the caller goes on with an empty result.
void MatrixReport(const char* message);

// Prints "Stop! \n<message>\n" (out-of-range element access) to standard output.
void MatrixReportAccess(const char* message);

// The cell handed out by element access for structural zeros and out-of-range indices.
// It is set to 0 at every hand-out, so a write through it is lost and never seen by a
// later read of another structural zero.
double& MatrixDummyCell();
