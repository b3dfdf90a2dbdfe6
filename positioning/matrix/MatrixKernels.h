#pragma once
// Kernels shared by the matrix shapes: every operation walks the stored elements of its
// operands directly, whatever their shape. Internal to the matrix library.
#include "positioning/matrix/RectMat.h"

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

namespace matrix_kernels {

// Calls f(i, j, value) for every element of m that is not a structural zero (for a
// symmetric matrix both (i, j) and (j, i)). For each row the columns come in ascending
// order of the summation index, as a plain dense loop would take them.
template <class F>
inline void VisitStored(const CRectMat& m, F&& f)
{
    const double* d = m.Data();
    const int rows = m.Rows();
    const int cols = m.Cols();
    int k = 0;
    switch (m.Shape()) {
    case MatShape::Rect:
    case MatShape::Square:
        for (int i = 0; i < rows; ++i)
            for (int j = 0; j < cols; ++j)
                f(i, j, d[k++]);
        break;
    case MatShape::Diag:
        for (int i = 0; i < rows; ++i)
            f(i, i, d[i]);
        break;
    case MatShape::LowTriang:
        for (int i = 0; i < rows; ++i)
            for (int j = 0; j <= i; ++j)
                f(i, j, d[k++]);
        break;
    case MatShape::UpTriang:
        for (int j = 0; j < cols; ++j)
            for (int i = 0; i <= j; ++i)
                f(i, j, d[k++]);
        break;
    case MatShape::Sym:
        for (int i = 0; i < rows; ++i)
            for (int j = 0; j <= i; ++j) {
                const double v = d[k++];
                f(i, j, v);
                if (j != i)
                    f(j, i, v);
            }
        break;
    }
}

// Writes the elements of m into the row-major buffer out (rows × cols), zeros included.
inline void ExpandDense(const CRectMat& m, double* out)
{
    const int cols = m.Cols();
    if (m.IsDense()) {
        std::copy(m.Data(), m.Data() + m.Rows() * cols, out);
        return;
    }
    std::fill(out, out + m.Rows() * cols, 0.0);
    VisitStored(m, [out, cols](int i, int j, double v) { out[i * cols + j] = v; });
}

// out (a.rows × b.cols, zeroed) = a · b; a.cols = b.rows.
inline void MultiplyInto(const CRectMat& a, const CRectMat& b, double* out)
{
    const int n = a.Rows();
    const int inner = a.Cols();
    const int m = b.Cols();
    if (a.IsDense() && b.IsDense()) {
        const double* pa = a.Data();
        const double* pb = b.Data();
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < m; ++j) {
                double sum = 0.0;
                for (int k = 0; k < inner; ++k)
                    sum += pa[i * inner + k] * pb[k * m + j];
                out[i * m + j] = sum;
            }
    } else if (a.IsDense()) {
        const double* pa = a.Data();
        VisitStored(b, [&](int k, int j, double v) {
            for (int i = 0; i < n; ++i)
                out[i * m + j] += pa[i * inner + k] * v;
        });
    } else {
        const CRectMat denseB(b);  // dense value of b
        const double* pb = denseB.Data();
        VisitStored(a, [&](int i, int k, double v) {
            for (int j = 0; j < m; ++j)
                out[i * m + j] += v * pb[k * m + j];
        });
    }
}

// out (length m.rows, zeroed) = m · v; v has m.cols elements.
inline void MatVecInto(const CRectMat& m, const double* v, double* out)
{
    VisitStored(m, [&](int i, int j, double a) { out[i] += a * v[j]; });
}

// out (length m.cols, zeroed) = vᵀ · m; v has m.rows elements.
inline void VecMatInto(const double* v, const CRectMat& m, double* out)
{
    VisitStored(m, [&](int i, int j, double a) { out[j] += v[i] * a; });
}

// dense (row-major, m.cols columns) += sign · m.
inline void AddStoredInto(const CRectMat& m, double sign, double* dense)
{
    const int cols = m.Cols();
    if (sign > 0)
        VisitStored(m, [&](int i, int j, double v) { dense[i * cols + j] += v; });
    else
        VisitStored(m, [&](int i, int j, double v) { dense[i * cols + j] -= v; });
}

// Packed position of element (i, j), j <= i, of a row-packed lower triangle
// (also (j, i) of a column-packed upper triangle).
inline int PackedIndex(int i, int j) { return i * (i + 1) / 2 + j; }

// Element count of a packed triangle of order n.
inline long PackedCount(long n) { return n * (n + 1) / 2; }

// Small scratch storage: on the stack for the sizes in use, on the heap beyond.
template <class T, int Local = 32>
class Scratch {
public:
    explicit Scratch(int n)
    {
        if (n > Local) {
            heap_.resize(static_cast<std::size_t>(n));
            data_ = heap_.data();
        }
        size_ = n;
    }
    T* Data() { return data_; }
    std::span<T> Span() { return {data_, static_cast<std::size_t>(size_)}; }

private:
    T local_[Local] = {};
    std::vector<T> heap_;
    T* data_ = local_;
    int size_ = 0;
};

// Crout LU decomposition with implicit scaling and partial pivoting, in place on the
// row-major n × n matrix a: fills index with the pivot rows and d with the parity.
// False (a partly overwritten) when a row is all zero.
bool CroutInPlace(double* a, int n, std::span<std::int16_t> index, double& d);

// Solves (LU)·x = b in place for the row-major combined LU matrix a of order n.
void LuSolveInPlace(const double* a, int n, std::span<const std::int16_t> index, double* b);

// Product of the diagonal of the row-major n × n matrix a, times d.
double DiagonalProduct(const double* a, int n, double d);

}  // namespace matrix_kernels
