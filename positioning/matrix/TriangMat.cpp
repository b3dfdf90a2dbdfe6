#include "positioning/matrix/TriangMat.h"

#include "positioning/matrix/MatrixKernels.h"

#include <cmath>

using namespace matrix_kernels;

// ---- CTriangMat -------------------------------------------------------------------------

CTriangMat::CTriangMat(int n, double value)
{
    if (n > 0)
        ReallocateOrder(n, PackedCount(n), value);
}

CTriangMat::~CTriangMat() = default;

MatStatus CTriangMat::InitSize(int rows, int cols)
{
    if (rows != cols)
        return 502;
    return InitSize(rows);
}

MatStatus CTriangMat::InitSize(int n)
{
    if (!IsEmpty() || n < 0 || !ReallocateOrder(n, PackedCount(n), 0.0))
        return 502;  // "Error in InitSize"
    return 0;
}

MatStatus CTriangMat::InitCol(int, const CVector&) { return 500; }  // "Error in CTriangMat::InitCol"
MatStatus CTriangMat::InitRow(int, const CVector&) { return 501; }  // "Error in CTriangMat::InitRow"
MatStatus CTriangMat::SwitchRow(int, int) { return 505; }           // "Error in CTriangMat::SwitchRow"
MatStatus CTriangMat::SwitchCol(int, int) { return 504; }           // "Error in CTriangMat::SwitchCol"

double CTriangMat::Trace() const
{
    double sum = 0.0;
    for (int i = 0; i < Order(); ++i)
        sum += Data()[PackedIndex(i, i)];
    return sum;
}

double CTriangMat::Det() const
{
    double product = 1.0;
    for (int i = 0; i < Order(); ++i)
        product *= Data()[PackedIndex(i, i)];
    return product;
}

MatStatus CTriangMat::Resize(int n, bool keep)
{
    const long count = n < 0 ? -1 : PackedCount(n);
    if (count < 0 || count > kMatMaxCount || (keep && count > Capacity()))
        return 503;  // "Error in Resize"
    if (!keep) {
        ReallocateOrder(n, count, 0.0);
        return 0;
    }
    SetUsed(static_cast<int>(count));
    SetDims(n, n);
    return 0;
}

MatStatus CTriangMat::Resize(int n, double value, bool keep)
{
    const int old = Size();
    const long count = n < 0 ? -1 : PackedCount(n);
    if (count < 0 || count > kMatMaxCount || (keep && count > Capacity()))
        return 503;
    if (!keep) {
        ReallocateOrder(n, count, value);
        return 0;
    }
    Resize(n, true);
    for (int k = old; k < count; ++k)
        Data()[k] = value;
    return 0;
}

// ---- CLowTriangMat ----------------------------------------------------------------------

CLowTriangMat::~CLowTriangMat() = default;

CVector CLowTriangMat::Col(int j) const
{
    const int n = Order();
    if (j < 0 || j >= n)
        MatrixStop("Error in CRectMat::Col");
    CVector col(n);
    for (int i = j; i < n; ++i)
        col.Data()[i] = Data()[PackedIndex(i, j)];
    return col;
}

CVector CLowTriangMat::Row(int i) const
{
    const int n = Order();
    if (i < 0 || i >= n)
        MatrixStop("Error in CRectMat::Row");
    CVector row(n);
    row.SetOrientation(CVector::kRow);
    for (int j = 0; j < i; ++j)
        row.Data()[j] = Data()[PackedIndex(i, j)];
    return row;
}

int CLowTriangMat::Index(int i, int j, bool& stored) const
{
    stored = (j <= i);
    return stored ? PackedIndex(i, j) : 0;
}

CUpTriangMat CLowTriangMat::Transpose() const
{
    CUpTriangMat result(Order());
    std::copy(Data(), Data() + Size(), result.Data());
    return result;
}

CLowTriangMat CLowTriangMat::inv() const
{
    // L⁻¹ = ((Lᵀ)⁻¹)ᵀ, the transposes being the same packed elements.
    const CUpTriangMat upper = Transpose().inv();
    if (upper.Order() != Order())
        return CLowTriangMat();
    return upper.Transpose();
}

CLowTriangMat CLowTriangMat::operator+(const CLowTriangMat& other) const
{
    if (Size() != other.Size())
        MatrixStop("Error in CLowTriangMat::operator +");
    CLowTriangMat result(*this);
    result.AddInPlace(other, 1.0);
    return result;
}

CLowTriangMat CLowTriangMat::operator-(const CLowTriangMat& other) const
{
    if (Size() != other.Size())
        MatrixStop("Error in CLowTriangMat::operator -");
    CLowTriangMat result(*this);
    result.AddInPlace(other, -1.0);
    return result;
}

CLowTriangMat& CLowTriangMat::operator+=(const CLowTriangMat& other)
{
    if (Size() != other.Size())
        MatrixStop("Error in CLowTriangMat::operator +=");
    AddInPlace(other, 1.0);
    return *this;
}

CLowTriangMat& CLowTriangMat::operator-=(const CLowTriangMat& other)
{
    if (Size() != other.Size())
        MatrixStop("Error in CLowTriangMat::operator -=");
    AddInPlace(other, -1.0);
    return *this;
}

CSquareMat CLowTriangMat::operator+(const CSquareMat& other) const
{
    return Combined(other, 1.0, "Error in CLowTriangMat::operator +(Square)");
}

CSquareMat CLowTriangMat::operator-(const CSquareMat& other) const
{
    return Combined(other, -1.0, "Error in CLowTriangMat::operator -(Square)");
}

CLowTriangMat CLowTriangMat::operator*(const CLowTriangMat& other) const
{
    const int n = Order();
    if (other.Order() != n)
        MatrixStop("Error in CLowTriangMat::operator *");
    CLowTriangMat result(n);
    const double* a = Data();
    const double* b = other.Data();
    double* c = result.Data();
    for (int i = 0; i < n; ++i)
        for (int j = 0; j <= i; ++j) {
            double sum = 0.0;
            for (int k = j; k <= i; ++k)
                sum += a[PackedIndex(i, k)] * b[PackedIndex(k, j)];
            c[PackedIndex(i, j)] = sum;
        }
    return result;
}

CSquareMat CLowTriangMat::operator*(const CSquareMat& other) const
{
    if (other.Rows() != Order())
        MatrixStop("Error in CLowTriangMat::operator *");
    CSquareMat result(Order());
    if (!result.IsEmpty())
        MultiplyInto(*this, other, result.Data());
    return result;
}

CRectMat CLowTriangMat::operator*(const CRectMat& other) const
{
    if (other.Rows() != Order())
        MatrixStop("Error in CLowTriangMat::operator *");
    CRectMat result(Order(), other.Cols());
    if (!result.IsEmpty())
        MultiplyInto(*this, other, result.Data());
    return result;
}

CVector CLowTriangMat::operator*(const CVector& v) const
{
    if (v.Size() != Order() || v.IsRow())
        MatrixStop("Error in CLowTriangMat::operator* vecteur");
    CVector result(Order());
    MatVecInto(*this, v.Data(), result.Data());
    return result;
}

CLowTriangMat CLowTriangMat::operator*(double factor) const
{
    CLowTriangMat result(*this);
    result.ScaleInPlace(factor);
    return result;
}

// ---- CUpTriangMat -----------------------------------------------------------------------

CUpTriangMat::~CUpTriangMat() = default;

CVector CUpTriangMat::Col(int j) const
{
    const int n = Order();
    if (j < 0 || j >= n)
        MatrixStop("Error in CRectMat::Col");
    CVector col(n);
    for (int i = 0; i < j; ++i)
        col.Data()[i] = Data()[PackedIndex(j, i)];
    return col;
}

CVector CUpTriangMat::Row(int i) const
{
    const int n = Order();
    if (i < 0 || i >= n)
        MatrixStop("Error in CRectMat::Row");
    CVector row(n);
    row.SetOrientation(CVector::kRow);
    for (int j = i; j < n; ++j)
        row.Data()[j] = Data()[PackedIndex(j, i)];
    return row;
}

int CUpTriangMat::Index(int i, int j, bool& stored) const
{
    stored = (i <= j);
    return stored ? PackedIndex(j, i) : 0;
}

CLowTriangMat CUpTriangMat::Transpose() const
{
    CLowTriangMat result(Order());
    std::copy(Data(), Data() + Size(), result.Data());
    return result;
}

CUpTriangMat CUpTriangMat::inv() const
{
    const int n = Order();
    const double* r = Data();
    for (int i = 0; i < n; ++i)
        if (std::fabs(r[PackedIndex(i, i)]) < 1e-20)
            return CUpTriangMat();
    CUpTriangMat result(n);
    double* s = result.Data();
    for (int i = 0; i < n; ++i)
        s[PackedIndex(i, i)] = 1.0 / r[PackedIndex(i, i)];
    // Column j of the inverse from the last column on; within it from the diagonal up:
    // S(i, j) = -(Σ_{k=i+1..j} R(i, k)·S(k, j)) / R(i, i).
    for (int j = n - 1; j >= 0; --j)
        for (int i = j - 1; i >= 0; --i) {
            double sum = 0.0;
            for (int k = i + 1; k <= j; ++k)
                sum += r[PackedIndex(k, i)] * s[PackedIndex(j, k)];
            s[PackedIndex(j, i)] = -sum / r[PackedIndex(i, i)];
        }
    return result;
}

CVector CUpTriangMat::BackSubstitution(const CVector& f) const
{
    const int n = Order();
    if (f.Size() != n || f.IsRow())
        MatrixStop("Error in CUpTriangMat::BackSubstitution");
    const double* r = Data();
    CVector x(n);
    for (int i = n - 1; i >= 0; --i) {
        double sum = f.Data()[i];
        for (int k = i + 1; k < n; ++k)
            sum -= r[PackedIndex(k, i)] * x.Data()[k];
        x.Data()[i] = sum / r[PackedIndex(i, i)];
    }
    return x;
}

CUpTriangMat CUpTriangMat::operator+(const CUpTriangMat& other) const
{
    if (Size() != other.Size())
        MatrixStop("Error in CUpTriangMat::operator +");
    CUpTriangMat result(*this);
    result.AddInPlace(other, 1.0);
    return result;
}

CUpTriangMat CUpTriangMat::operator-(const CUpTriangMat& other) const
{
    if (Size() != other.Size())
        MatrixStop("Error in CUpTriangMat::operator -");
    CUpTriangMat result(*this);
    result.AddInPlace(other, -1.0);
    return result;
}

CUpTriangMat& CUpTriangMat::operator+=(const CUpTriangMat& other)
{
    if (Size() != other.Size())
        MatrixStop("Error in CUpTriangMat::operator +=");
    AddInPlace(other, 1.0);
    return *this;
}

CUpTriangMat& CUpTriangMat::operator-=(const CUpTriangMat& other)
{
    if (Size() != other.Size())
        MatrixStop("Error in CUpTriangMat::operator -=");
    AddInPlace(other, -1.0);
    return *this;
}

CSquareMat CUpTriangMat::operator+(const CSquareMat& other) const
{
    return Combined(other, 1.0, "Error in CUpTriangMat::operator +(Square)");
}

CSquareMat CUpTriangMat::operator-(const CSquareMat& other) const
{
    return Combined(other, -1.0, "Error in CUpTriangMat::operator -(Square)");
}

CUpTriangMat CUpTriangMat::operator*(const CUpTriangMat& other) const
{
    const int n = Order();
    if (other.Order() != n)
        MatrixStop("Error in CUpTriangMat::operator *");
    CUpTriangMat result(n);
    const double* a = Data();
    const double* b = other.Data();
    double* c = result.Data();
    for (int j = 0; j < n; ++j)
        for (int i = 0; i <= j; ++i) {
            double sum = 0.0;
            for (int k = i; k <= j; ++k)
                sum += a[PackedIndex(k, i)] * b[PackedIndex(j, k)];
            c[PackedIndex(j, i)] = sum;
        }
    return result;
}

CSquareMat CUpTriangMat::operator*(const CSquareMat& other) const
{
    if (other.Rows() != Order())
        MatrixStop("Error in CUpTriangMat::operator *");
    CSquareMat result(Order());
    if (!result.IsEmpty())
        MultiplyInto(*this, other, result.Data());
    return result;
}

CRectMat CUpTriangMat::operator*(const CRectMat& other) const
{
    if (other.Rows() != Order())
        MatrixStop("Error in CUpTriangMat::operator *");
    CRectMat result(Order(), other.Cols());
    if (!result.IsEmpty())
        MultiplyInto(*this, other, result.Data());
    return result;
}

CVector CUpTriangMat::operator*(const CVector& v) const
{
    if (v.Size() != Order() || v.IsRow())
        MatrixStop("Error in CUpTriangMat::operator* vecteur");
    CVector result(Order());
    MatVecInto(*this, v.Data(), result.Data());
    return result;
}

CUpTriangMat CUpTriangMat::operator*(double factor) const
{
    CUpTriangMat result(*this);
    result.ScaleInPlace(factor);
    return result;
}
