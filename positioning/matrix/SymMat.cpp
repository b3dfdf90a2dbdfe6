#include "positioning/matrix/SymMat.h"

#include "positioning/matrix/MatrixKernels.h"

#include <cmath>

using namespace matrix_kernels;

namespace {

// Kinds of pivots met by the Cholesky factorisation.
enum class Pivots { Positive, ZeroOrNan, Negative };

// Cholesky factor r (column-packed upper, order n) of the row-packed symmetric a; each
// diagonal element is √|pivot|. Tells whether every pivot was positive, some zero (or
// not a number after a zero) or some negative.
Pivots CholeskyPacked(const double* a, int n, double* r)
{
    Pivots kind = Pivots::Positive;
    for (int i = 0; i < n; ++i) {
        // Row i of a and column i of r share the packed offset i(i + 1)/2.
        const int base = PackedIndex(i, 0);
        for (int j = 0; j < i; ++j) {
            const int baseJ = PackedIndex(j, 0);
            double sum = a[base + j];
            for (int k = 0; k < j; ++k)
                sum -= r[base + k] * r[baseJ + k];
            r[base + j] = sum / r[baseJ + j];
        }
        double pivot = a[base + i];
        for (int k = 0; k < i; ++k)
            pivot -= r[base + k] * r[base + k];
        if (pivot < 0.0)
            kind = Pivots::Negative;
        else if (!(pivot > 0.0) && kind == Pivots::Positive)
            kind = Pivots::ZeroOrNan;
        r[base + i] = std::sqrt(std::fabs(pivot));
    }
    return kind;
}

// Determinant of the row-major n × n matrix a (overwritten) by LU; 0 for a row of zeros.
double LuDeterminant(double* a, int n)
{
    Scratch<std::int16_t> index(n);
    double d = 1.0;
    if (!CroutInPlace(a, n, index.Span(), d))
        return 0.0;
    return DiagonalProduct(a, n, d);
}

}  // namespace

CSymMat::CSymMat(int n) : CSymMat(n, 0.0) {}

CSymMat::CSymMat(int n, double value)
{
    if (n > 0)
        ReallocateOrder(n, PackedCount(n), value);
}

CSymMat::~CSymMat() = default;

MatStatus CSymMat::InitSize(int rows, int cols)
{
    if (rows != cols)
        return 602;
    return InitSize(rows);
}

MatStatus CSymMat::InitSize(int n)
{
    if (!IsEmpty() || n < 0 || !ReallocateOrder(n, PackedCount(n), 0.0))
        return 602;  // "Error in InitSize"
    return 0;
}

MatStatus CSymMat::InitCol(int, const CVector&) { return 600; }  // "Error in CSymMat::InitCol"
MatStatus CSymMat::InitRow(int, const CVector&) { return 601; }  // "Error in CSymMat::InitRow"
MatStatus CSymMat::SwitchRow(int, int) { return 606; }           // "Error in CSymMat::SwitchRow"
MatStatus CSymMat::SwitchCol(int, int) { return 605; }           // "Error in CSymMat::SwitchCol"

CVector CSymMat::Col(int j) const
{
    const int n = Order();
    if (j < 0 || j >= n)
        MatrixStop("Error in CRectMat::Col");
    CVector col(n);
    for (int i = 0; i < n; ++i)
        col.Data()[i] = Data()[i >= j ? PackedIndex(i, j) : PackedIndex(j, i)];
    return col;
}

CVector CSymMat::Row(int i) const
{
    const int n = Order();
    if (i < 0 || i >= n)
        MatrixStop("Error in CRectMat::Row");
    CVector row(n);
    row.SetOrientation(CVector::kRow);
    for (int j = 0; j < n; ++j)
        row.Data()[j] = Data()[i >= j ? PackedIndex(i, j) : PackedIndex(j, i)];
    return row;
}

int CSymMat::Index(int i, int j, bool& stored) const
{
    stored = true;
    return i >= j ? PackedIndex(i, j) : PackedIndex(j, i);
}

double CSymMat::Trace() const
{
    double sum = 0.0;
    for (int i = 0; i < Order(); ++i)
        sum += Data()[PackedIndex(i, i)];
    return sum;
}

double CSymMat::Det() const
{
    const int n = Order();
    CUpTriangMat r(n);
    if (CholeskyPacked(Data(), n, r.Data()) != Pivots::Positive) {
        // Not positive definite: the LU determinant keeps the sign and gives 0 when singular.
        CSquareMat a(*this);
        return LuDeterminant(a.Data(), n);
    }
    double product = 1.0;
    for (int i = 0; i < n; ++i)
        product *= r.Data()[PackedIndex(i, i)];
    return product * product;
}

MatStatus CSymMat::Resize(int n, bool keep)
{
    const long count = n < 0 ? -1 : PackedCount(n);
    if (count < 0 || count > kMatMaxCount || (keep && count > Capacity()))
        return 604;  // "Error in Resize"
    if (!keep) {
        ReallocateOrder(n, count, 0.0);
        return 0;
    }
    SetUsed(static_cast<int>(count));
    SetDims(n, n);
    return 0;
}

MatStatus CSymMat::Resize(int n, double value, bool keep)
{
    const int old = Size();
    const long count = n < 0 ? -1 : PackedCount(n);
    if (count < 0 || count > kMatMaxCount || (keep && count > Capacity()))
        return 604;
    if (!keep) {
        ReallocateOrder(n, count, value);
        return 0;
    }
    Resize(n, true);
    for (int k = old; k < count; ++k)
        Data()[k] = value;
    return 0;
}

CUpTriangMat CSymMat::Cholesky() const
{
    CUpTriangMat r(Order());
    CholeskyPacked(Data(), Order(), r.Data());
    return r;
}

CSymMat CSymMat::inv() const
{
    const int n = Order();
    CUpTriangMat r(n);
    if (CholeskyPacked(Data(), n, r.Data()) == Pivots::Negative) {
        // Not positive definite: inverse by LU, without messages.
        CSquareMat a(*this);
        Scratch<std::int16_t> index(n);
        double d = 1.0;
        if (!CroutInPlace(a.Data(), n, index.Span(), d) || std::fabs(DiagonalProduct(a.Data(), n, d)) < 1e-20)
            return CSymMat();
        CSymMat result(n);
        CVector column(n);
        for (int j = 0; j < n; ++j) {
            std::fill(column.Data(), column.Data() + n, 0.0);
            column.Data()[j] = 1.0;
            LuSolveInPlace(a.Data(), n, index.Span(), column.Data());
            for (int i = j; i < n; ++i)
                result.Data()[PackedIndex(i, j)] = column.Data()[i];
        }
        return result;
    }
    const CUpTriangMat sInv = r.inv();
    if (sInv.Order() != n)
        return CSymMat();
    // (S·Sᵀ)(i, j) = Σ_{k >= i} S(i, k)·S(j, k) for j <= i.
    const double* s = sInv.Data();
    CSymMat result(n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j <= i; ++j) {
            double sum = 0.0;
            for (int k = i; k < n; ++k)
                sum += s[PackedIndex(k, i)] * s[PackedIndex(k, j)];
            result.Data()[PackedIndex(i, j)] = sum;
        }
    return result;
}

CSymMat CSymMat::operator+(const CSymMat& other) const
{
    if (Size() != other.Size())
        MatrixStop("Error in CSymMat::operator +");
    CSymMat result(*this);
    result.AddInPlace(other, 1.0);
    return result;
}

CSymMat CSymMat::operator-(const CSymMat& other) const
{
    if (Size() != other.Size())
        MatrixStop("Error in CSymMat::operator -");
    CSymMat result(*this);
    result.AddInPlace(other, -1.0);
    return result;
}

CSymMat& CSymMat::operator+=(const CSymMat& other)
{
    if (Size() != other.Size())
        MatrixStop("Error in CSymMat::operator +=");
    AddInPlace(other, 1.0);
    return *this;
}

CSymMat& CSymMat::operator-=(const CSymMat& other)
{
    if (Size() != other.Size())
        MatrixStop("Error in CSymMat::operator -=");
    AddInPlace(other, -1.0);
    return *this;
}

CSquareMat CSymMat::operator+(const CSquareMat& other) const
{
    return Combined(other, 1.0, "Error in CSymMat::operator +(Square)");
}

CSquareMat CSymMat::operator-(const CSquareMat& other) const
{
    return Combined(other, -1.0, "Error in CSymMat::operator -(Square)");
}

CSquareMat CSymMat::operator*(const CSquareMat& other) const
{
    if (other.Rows() != Order())
        MatrixStop("Error in CSymMat::operator *");
    CSquareMat result(Order());
    if (!result.IsEmpty())
        MultiplyInto(*this, other, result.Data());
    return result;
}

CRectMat CSymMat::operator*(const CRectMat& other) const
{
    if (other.Rows() != Order())
        MatrixStop("Error in CSymMat::operator *");
    CRectMat result(Order(), other.Cols());
    if (!result.IsEmpty())
        MultiplyInto(*this, other, result.Data());
    return result;
}

CVector CSymMat::operator*(const CVector& v) const
{
    if (v.Size() != Order() || v.IsRow())
        return CVector();
    CVector result(Order());
    MatVecInto(*this, v.Data(), result.Data());
    return result;
}

CSymMat CSymMat::operator*(double factor) const
{
    CSymMat result(*this);
    result.ScaleInPlace(factor);
    return result;
}
