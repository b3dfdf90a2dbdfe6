#include "positioning/matrix/SquareMat.h"

#include "positioning/matrix/DiagMat.h"
#include "positioning/matrix/MatrixKernels.h"
#include "positioning/matrix/SymMat.h"
#include "positioning/matrix/TriangMat.h"

#include <cmath>
#include <vector>

using namespace matrix_kernels;

namespace matrix_kernels {

// Crout decomposition in place of the row-major n × n matrix a; false (a partly
// overwritten) when a row is all zero.
bool CroutInPlace(double* a, int n, std::span<std::int16_t> index, double& d)
{
    Scratch<double> scratch(n);
    double* scale = scratch.Data();
    d = 1.0;
    for (int i = 0; i < n; ++i) {
        double big = 0.0;
        for (int j = 0; j < n; ++j)
            big = std::max(big, std::fabs(a[i * n + j]));
        if (big == 0.0)
            return false;
        scale[i] = 1.0 / big;
    }
    for (int j = 0; j < n; ++j) {
        for (int i = 0; i < j; ++i) {
            double sum = a[i * n + j];
            for (int k = 0; k < i; ++k)
                sum -= a[i * n + k] * a[k * n + j];
            a[i * n + j] = sum;
        }
        double big = 0.0;
        int pivot = j;
        for (int i = j; i < n; ++i) {
            double sum = a[i * n + j];
            for (int k = 0; k < j; ++k)
                sum -= a[i * n + k] * a[k * n + j];
            a[i * n + j] = sum;
            const double weight = scale[i] * std::fabs(sum);
            if (weight >= big) {
                big = weight;
                pivot = i;
            }
        }
        if (pivot != j) {
            for (int k = 0; k < n; ++k)
                std::swap(a[pivot * n + k], a[j * n + k]);
            d = -d;
            scale[pivot] = scale[j];
        }
        index[j] = static_cast<std::int16_t>(pivot);
        if (a[j * n + j] == 0.0)
            a[j * n + j] = 1e-30;
        if (j != n - 1) {
            const double factor = 1.0 / a[j * n + j];
            for (int i = j + 1; i < n; ++i)
                a[i * n + j] *= factor;
        }
    }
    return true;
}

// Solves (LU)·x = b in place for the row-major combined LU matrix of order n.
void LuSolveInPlace(const double* a, int n, std::span<const std::int16_t> index, double* b)
{
    for (int i = 0; i < n; ++i) {
        const int p = index[i];
        double sum = b[p];
        b[p] = b[i];
        for (int j = 0; j < i; ++j)
            sum -= a[i * n + j] * b[j];
        b[i] = sum;
    }
    for (int i = n - 1; i >= 0; --i) {
        double sum = b[i];
        for (int j = i + 1; j < n; ++j)
            sum -= a[i * n + j] * b[j];
        b[i] = sum / a[i * n + i];
    }
}

// Product of the diagonal of the row-major n × n matrix a, times d.
double DiagonalProduct(const double* a, int n, double d)
{
    for (int i = 0; i < n; ++i)
        d *= a[i * n + i];
    return d;
}

}  // namespace matrix_kernels

CSquareMat::CSquareMat(const CRectMat& m) : CRectMat(m)
{
    if (Rows() != Cols())
        MatrixStop("Error in CSquareMat(CRectMat)");
}

CSquareMat::CSquareMat(const CSquareMat& other) : CRectMat(other) {}

CSquareMat::CSquareMat(CSquareMat&& other) noexcept : CRectMat(std::move(other)) {}

CSquareMat& CSquareMat::operator=(const CSquareMat& other)
{
    CRectMat::operator=(other);
    return *this;
}

CSquareMat& CSquareMat::operator=(CSquareMat&& other) noexcept
{
    CRectMat::operator=(std::move(other));
    return *this;
}

CSquareMat::~CSquareMat() = default;

bool CSquareMat::ReallocateOrder(int n, long count, double value)
{
    if (n < 0 || count < 0 || count > kMatMaxCount)
        return false;
    return ReallocateShape(n, n, static_cast<int>(count), value);
}

MatStatus CSquareMat::InitSize(int rows, int cols)
{
    if (rows != cols)
        return 400;
    return InitSize(rows);
}

MatStatus CSquareMat::InitSize(int n)
{
    if (!IsEmpty() || n < 0 || !ReallocateOrder(n, static_cast<long>(n) * n, 0.0))
        return 400;  // "Error in InitSize"
    return 0;
}

MatStatus CSquareMat::Resize(int n, double value)
{
    if (n < 0 || !ReallocateOrder(n, static_cast<long>(n) * n, value))
        return 401;
    return 0;
}

MatStatus CSquareMat::Resize(int n) { return Resize(n, 0.0); }

double CSquareMat::Trace() const
{
    const int n = Order();
    double sum = 0.0;
    for (int i = 0; i < n; ++i)
        sum += Data()[i * n + i];
    return sum;
}

CSquareMat CSquareMat::lu(std::span<std::int16_t> index, double& d) const
{
    const int n = Order();
    CSquareMat work(*this);  // dense value of any square shape
    if (static_cast<int>(index.size()) < n || !CroutInPlace(work.Data(), n, index, d)) {
        MatrixReport("Error in lu");
        return CSquareMat();
    }
    return work;
}

void CSquareMat::LuBackSubstitution(std::span<const std::int16_t> index, CVector& b) const
{
    const int n = Order();
    if (!IsDense() || b.Size() != n || static_cast<int>(index.size()) < n)
        MatrixStop("Error in CSquareMat::LuBackSubstitution");
    LuSolveInPlace(Data(), n, index, b.Data());
}

double CSquareMat::Det() const
{
    const int n = Order();
    Scratch<std::int16_t> index(n);
    double d = 1.0;
    const CSquareMat a = lu(index.Span(), d);
    if (a.Order() != n)
        return 0.0;  // a row of zeros
    return DiagonalProduct(a.Data(), n, d);
}

CSquareMat CSquareMat::inv() const
{
    const int n = Order();
    Scratch<std::int16_t> index(n);
    double d = 1.0;
    const CSquareMat a = lu(index.Span(), d);
    if (a.Order() != n)
        return CSquareMat();
    if (std::fabs(DiagonalProduct(a.Data(), n, d)) < 1e-20) {
        MatrixReport("Error in CSquareMat::inv");
        return CSquareMat();
    }
    CSquareMat result(n);
    CVector column(n);
    for (int j = 0; j < n; ++j) {
        std::fill(column.Data(), column.Data() + n, 0.0);
        column.Data()[j] = 1.0;
        LuSolveInPlace(a.Data(), n, index.Span(), column.Data());
        for (int i = 0; i < n; ++i)
            result.Data()[i * n + j] = column.Data()[i];
    }
    return result;
}

CRectMat CSquareMat::SolveAXEqualToB(const CRectMat& b) const
{
    const int n = Order();
    if (b.Rows() != n)
        MatrixStop("Error in CSquareMat::SolveAXEqualToB");
    Scratch<std::int16_t> index(n);
    double d = 1.0;
    const CSquareMat a = lu(index.Span(), d);
    if (a.Order() != n || std::fabs(DiagonalProduct(a.Data(), n, d)) < 1e-20)
        MatrixStop("Error in CSquareMat::inv");
    CRectMat x(b);  // dense value of b
    const int m = x.Cols();
    CVector column(n);
    for (int j = 0; j < m; ++j) {
        for (int i = 0; i < n; ++i)
            column.Data()[i] = x.Data()[i * m + j];
        LuSolveInPlace(a.Data(), n, index.Span(), column.Data());
        for (int i = 0; i < n; ++i)
            x.Data()[i * m + j] = column.Data()[i];
    }
    return x;
}

CVector CSquareMat::SolveAXEqualToB(const CVector& b) const
{
    const int n = Order();
    if (b.Size() != n || b.IsRow())
        MatrixStop("Error in CSquareMat::SolveAXEqualToB");
    Scratch<std::int16_t> index(n);
    double d = 1.0;
    const CSquareMat a = lu(index.Span(), d);
    if (a.Order() != n || std::fabs(DiagonalProduct(a.Data(), n, d)) < 1e-20)
        MatrixStop("Error in CSquareMat::inv");
    CVector x(b);
    LuSolveInPlace(a.Data(), n, index.Span(), x.Data());
    return x;
}

CSquareMat CSquareMat::Transpose() const
{
    CSquareMat result(Order());
    double* out = result.Data();
    const int n = Order();
    VisitStored(*this, [out, n](int i, int j, double v) { out[j * n + i] = v; });
    return result;
}

void CSquareMat::TransposeInto(CSquareMat& target) const
{
    const int n = Order();
    if (!target.IsDense() || target.Order() != n)
        MatrixStop("Error in CSquareMat::operator t(*p)");
    if (&target == this) {
        double* a = target.Data();
        for (int i = 0; i < n; ++i)
            for (int j = i + 1; j < n; ++j)
                std::swap(a[i * n + j], a[j * n + i]);
        return;
    }
    double* out = target.Data();
    std::fill(out, out + n * n, 0.0);
    VisitStored(*this, [out, n](int i, int j, double v) { out[j * n + i] = v; });
}

CSquareMat CSquareMat::Combined(const CRectMat& other, double sign, const char* message) const
{
    if (Order() != other.Rows() || other.Rows() != other.Cols())
        MatrixStop(message);
    CSquareMat result(*this);
    AddStoredInto(other, sign, result.Data());
    return result;
}

void CSquareMat::CombineInPlace(const CRectMat& other, double sign, const char* message)
{
    if (!IsDense() || Order() != other.Rows() || other.Rows() != other.Cols())
        MatrixStop(message);
    AddStoredInto(other, sign, Data());
}

CSquareMat CSquareMat::operator+(const CSquareMat& o) const { return Combined(o, 1.0, "Error in CRectMat::operator +"); }
CSquareMat CSquareMat::operator-(const CSquareMat& o) const { return Combined(o, -1.0, "Error in CRectMat::operator -"); }
CSquareMat& CSquareMat::operator+=(const CSquareMat& o) { CombineInPlace(o, 1.0, "Error in operator CRectMat::operator+="); return *this; }
CSquareMat& CSquareMat::operator-=(const CSquareMat& o) { CombineInPlace(o, -1.0, "Error in operator CRectMat::operator-="); return *this; }

CSquareMat CSquareMat::operator+(const CLowTriangMat& o) const { return Combined(o, 1.0, "Error in CSquareMat::operator +(Low)"); }
CSquareMat CSquareMat::operator-(const CLowTriangMat& o) const { return Combined(o, -1.0, "Error in CSquareMat::operator -(Low)"); }
CSquareMat& CSquareMat::operator+=(const CLowTriangMat& o) { CombineInPlace(o, 1.0, "Error in CSquareMat::operator +=(Low)"); return *this; }
CSquareMat& CSquareMat::operator-=(const CLowTriangMat& o) { CombineInPlace(o, -1.0, "Error in CSquareMat::operator -=(Low)"); return *this; }

CSquareMat CSquareMat::operator+(const CUpTriangMat& o) const { return Combined(o, 1.0, "Error in CSquareMat::operator +(Up)"); }
CSquareMat CSquareMat::operator-(const CUpTriangMat& o) const { return Combined(o, -1.0, "Error in CSquareMat::operator -(Up)"); }
CSquareMat& CSquareMat::operator+=(const CUpTriangMat& o) { CombineInPlace(o, 1.0, "Error in CSquareMat::operator +=(Up)"); return *this; }
CSquareMat& CSquareMat::operator-=(const CUpTriangMat& o) { CombineInPlace(o, -1.0, "Error in CSquareMat::operator -=(Up)"); return *this; }

CSquareMat CSquareMat::operator+(const CSymMat& o) const { return Combined(o, 1.0, "Error in CSquareMat::operator +(Sym)"); }
CSquareMat CSquareMat::operator-(const CSymMat& o) const { return Combined(o, -1.0, "Error in CSquareMat::operator -(Sym)"); }
CSquareMat& CSquareMat::operator+=(const CSymMat& o) { CombineInPlace(o, 1.0, "Error in CSquareMat::operator +=(Sym)"); return *this; }
CSquareMat& CSquareMat::operator-=(const CSymMat& o) { CombineInPlace(o, -1.0, "Error in CSquareMat::operator -=(Sym)"); return *this; }

CSquareMat CSquareMat::operator+(const CDiagMat& o) const { return Combined(o, 1.0, "Error in CSquareMat::operator +(Diag)"); }
CSquareMat CSquareMat::operator-(const CDiagMat& o) const { return Combined(o, -1.0, "Error in CSquareMat::operator -(Diag)"); }
CSquareMat& CSquareMat::operator+=(const CDiagMat& o) { CombineInPlace(o, 1.0, "Error in CSquareMat::operator +=(Diag)"); return *this; }
CSquareMat& CSquareMat::operator-=(const CDiagMat& o) { CombineInPlace(o, -1.0, "Error in CSquareMat::operator -=(Diag)"); return *this; }

CSquareMat CSquareMat::operator*(const CSquareMat& other) const
{
    if (Order() != other.Order())
        MatrixStop("Error in CRectMat::operator* matrice rectangulaire");
    CSquareMat result(Order());
    if (!result.IsEmpty())
        MultiplyInto(*this, other, result.Data());
    return result;
}

CSquareMat CSquareMat::operator*(const CDiagMat& diag) const
{
    const int n = Order();
    if (diag.Order() != n)
        MatrixStop("Error in CSquareMat::*(Diag)");
    CSquareMat result(*this);  // dense value of any square shape
    double* a = result.Data();
    const double* w = diag.Data();
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            a[i * n + j] *= w[j];
    return result;
}

CSquareMat CSquareMat::operator*(double factor) const
{
    CSquareMat result(*this);
    result.ScaleInPlace(factor);
    return result;
}
