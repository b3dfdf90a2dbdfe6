#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>

// Status codes of the matrix library: 0 on success, otherwise a code grouped by class in
// hundreds (1xx CRealArray, 2xx CVector, 3xx CRectMat, 4xx CSquareMat, 5xx CTriangMat,
// 6xx CSymMat, 7xx CDiagMat).
using MatStatus = std::int16_t;

// Largest element count of any array or matrix (counts are 16-bit signed).
inline constexpr int kMatMaxCount = 32767;

// An operation that cannot give any result (mismatched shapes, an index out of range):
// what() is its message, e.g. "Error in []". The library never prints nor ends the
// process; the code that uses it decides what a failed computation means.
class MatrixError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Throws MatrixError(message).
[[noreturn]] void MatrixStop(const char* message);

// Records message in this thread's fault record; the caller goes on with an empty result.
void MatrixReport(const char* message);

// Records message (an out-of-range element access) in this thread's fault record.
void MatrixReportAccess(const char* message);

// This thread's recorded faults since the last call, each message followed by "\n",
// oldest first (empty when none); clears the record.
std::string TakeMatrixFaults();

// The cell handed out by element access for structural zeros and out-of-range indices.
// It is set to 0 at every hand-out, so a write through it is lost and never seen by a
// later read of another structural zero.
double& MatrixDummyCell();
