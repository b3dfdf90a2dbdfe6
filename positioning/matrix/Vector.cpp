#include "positioning/matrix/Vector.h"

#include "positioning/matrix/DiagMat.h"
#include "positioning/matrix/MatrixKernels.h"
#include "positioning/matrix/SymMat.h"
#include "positioning/matrix/TriangMat.h"

#include <algorithm>

using namespace matrix_kernels;

CVector::CVector(std::initializer_list<double> values) : CRealArray(static_cast<int>(values.size()))
{
    if (!IsEmpty())
        std::copy(values.begin(), values.end(), Data());
}

CVector::~CVector() = default;

CVector CVector::Transpose() const
{
    CVector result(*this);
    result.orientation_ = IsRow() ? kColumn : kRow;
    return result;
}

MatStatus CVector::InitSize(int n)
{
    if (!IsEmpty() || n < 0 || Reallocate(n) != 0)
        return 200;  // "Error in InitSize"
    return 0;
}

MatStatus CVector::Resize(int n, bool keep)
{
    if (n < 0 || n > kMatMaxCount || (keep && n > Capacity()))
        return 201;  // "Error in Resize"
    if (keep)
        SetUsed(n);
    else
        Reallocate(n);
    return 0;
}

MatStatus CVector::Resize(int n, double value, bool keep)
{
    if (n < 0 || n > kMatMaxCount || (keep && n > Capacity()))
        return 201;
    if (keep)
        SetSize(n, value);
    else
        Reallocate(n, value);
    return 0;
}

double& CVector::operator[](int i)
{
    if (i < 0 || i >= Size())
        MatrixStop("Error in []");
    return Data()[i];
}

double CVector::operator[](int i) const
{
    if (i < 0 || i >= Size())
        MatrixStop("Error in []");
    return Data()[i];
}

CVector CVector::operator+(const CVector& other) const
{
    if (Size() != other.Size() || IsRow() != other.IsRow())
        MatrixStop("Error in operator +");
    CVector result(*this);
    result.AddInPlace(other, 1.0);
    return result;
}

CVector CVector::operator-(const CVector& other) const
{
    if (Size() != other.Size() || IsRow() != other.IsRow())
        MatrixStop("Error in operator -");
    CVector result(*this);
    result.AddInPlace(other, -1.0);
    return result;
}

CVector& CVector::operator+=(const CVector& other)
{
    if (Size() != other.Size() || IsRow() != other.IsRow())
        MatrixStop("Error in operator +=");
    AddInPlace(other, 1.0);
    return *this;
}

CVector& CVector::operator-=(const CVector& other)
{
    if (Size() != other.Size() || IsRow() != other.IsRow())
        MatrixStop("Error in operator -=");
    AddInPlace(other, -1.0);
    return *this;
}

CVector CVector::operator*(double factor) const
{
    CVector result(*this);
    result.ScaleInPlace(factor);
    return result;
}

double CVector::operator*(const CVector& b) const
{
    if (!IsRow() || b.IsRow() || Size() != b.Size())
        MatrixStop("Error in v1*v2");
    double sum = 0.0;
    for (int i = 0; i < Size(); ++i)
        sum += Data()[i] * b.Data()[i];
    return sum;
}

CSymMat CVector::OuterProduct() const
{
    if (IsRow())
        MatrixStop("Error in v*vt");
    const int n = Size();
    CSymMat result(n);
    double* out = result.Data();
    const double* v = Data();
    int k = 0;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j <= i; ++j)
            out[k++] = v[i] * v[j];
    return result;
}

namespace {

// Row vector v times matrix m (any shape); message when v is not a row of length m.rows.
CVector RowTimes(const CVector& v, const CRectMat& m, const char* message)
{
    if (!v.IsRow() || v.Size() != m.Rows())
        MatrixStop(message);
    CVector result(m.Cols());
    result.SetOrientation(CVector::kRow);
    VecMatInto(v.Data(), m, result.Data());
    return result;
}

}  // namespace

CVector CVector::operator*(const CRectMat& m) const { return RowTimes(*this, m, "Error in CVector::*(CRectMat)"); }
CVector CVector::operator*(const CDiagMat& m) const { return RowTimes(*this, m, "Error in CVector::*(CDiagMat)"); }
CVector CVector::operator*(const CUpTriangMat& m) const { return RowTimes(*this, m, "Error in CVector::*(CUpTriangMat)"); }
CVector CVector::operator*(const CLowTriangMat& m) const { return RowTimes(*this, m, "Error in CVector::*(CLowTriangMat)"); }
CVector CVector::operator*(const CSymMat& m) const { return RowTimes(*this, m, "Error in CVector::*(CSymMat)"); }
