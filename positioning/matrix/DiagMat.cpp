#include "positioning/matrix/DiagMat.h"

#include "positioning/matrix/MatrixKernels.h"

#include <cmath>

using namespace matrix_kernels;

CDiagMat::CDiagMat(int n) : CDiagMat(n, 0.0) {}

CDiagMat::CDiagMat(int n, double value)
{
    if (n > 0)
        ReallocateOrder(n, n, value);
}

CDiagMat::CDiagMat(std::initializer_list<double> diagonal) : CDiagMat(static_cast<int>(diagonal.size()))
{
    if (!IsEmpty())
        std::copy(diagonal.begin(), diagonal.end(), Data());
}

CDiagMat::~CDiagMat() = default;

MatStatus CDiagMat::InitSize(int rows, int cols)
{
    if (rows != cols)
        return 702;
    return InitSize(rows);
}

MatStatus CDiagMat::InitSize(int n)
{
    if (!IsEmpty() || n < 0 || !ReallocateOrder(n, n, 0.0))
        return 702;  // "Error in InitSize"
    return 0;
}

MatStatus CDiagMat::InitCol(int, const CVector&) { return 700; }  // "Error in CDiagMat::InitCol"
MatStatus CDiagMat::InitRow(int, const CVector&) { return 701; }  // "Error in CDiagMat::InitRow"
MatStatus CDiagMat::SwitchRow(int, int) { return 706; }           // "Error in CDiagMat::SwitchRow"
MatStatus CDiagMat::SwitchCol(int, int) { return 705; }           // "Error in CDiagMat::SwitchCol"

CVector CDiagMat::Col(int j) const
{
    if (j < 0 || j >= Order())
        MatrixStop("Error in CRectMat::Col");
    CVector col(Order());
    col.Data()[j] = Data()[j];
    return col;
}

CVector CDiagMat::Row(int i) const
{
    if (i < 0 || i >= Order())
        MatrixStop("Error in CRectMat::Row");
    CVector row(Order());
    row.SetOrientation(CVector::kRow);
    row.Data()[i] = Data()[i];
    return row;
}

int CDiagMat::Index(int i, int j, bool& stored) const
{
    stored = (i == j);
    return stored ? i : 0;
}

double CDiagMat::Trace() const
{
    double sum = 0.0;
    for (int i = 0; i < Size(); ++i)
        sum += Data()[i];
    return sum;
}

double CDiagMat::Det() const
{
    double product = 1.0;
    for (int i = 0; i < Size(); ++i)
        product *= Data()[i];
    return product;
}

MatStatus CDiagMat::Resize(int n, bool keep)
{
    if (n < 0 || n > kMatMaxCount || (keep && n > Capacity()))
        return 704;  // "Error in Resize"
    if (!keep) {
        ReallocateOrder(n, n, 0.0);
        return 0;
    }
    SetUsed(n);
    SetDims(n, n);
    return 0;
}

MatStatus CDiagMat::Resize(int n, double value, bool keep)
{
    const int old = Size();
    if (n < 0 || n > kMatMaxCount || (keep && n > Capacity()))
        return 704;
    if (!keep) {
        ReallocateOrder(n, n, value);
        return 0;
    }
    Resize(n, true);
    for (int i = old; i < n; ++i)
        Data()[i] = value;
    return 0;
}

MatStatus CDiagMat::inv(CDiagMat& result) const
{
    const int n = Size();
    for (int i = 0; i < n; ++i)
        if (std::fabs(Data()[i]) <= 1e-20)
            return 703;
    CDiagMat inverse(n);
    for (int i = 0; i < n; ++i)
        inverse.Data()[i] = 1.0 / Data()[i];
    result = std::move(inverse);
    return 0;
}

CDiagMat CDiagMat::inv() const
{
    CDiagMat result;
    inv(result);
    return result;
}

CDiagMat CDiagMat::operator+(const CDiagMat& other) const
{
    if (Size() != other.Size())
        MatrixStop("Error in CDiagMat::operator +");
    CDiagMat result(*this);
    result.AddInPlace(other, 1.0);
    return result;
}

CDiagMat CDiagMat::operator-(const CDiagMat& other) const
{
    if (Size() != other.Size())
        MatrixStop("Error in CDiagMat::operator -");
    CDiagMat result(*this);
    result.AddInPlace(other, -1.0);
    return result;
}

CDiagMat& CDiagMat::operator+=(const CDiagMat& other)
{
    if (Size() != other.Size())
        MatrixStop("Error in CDiagMat::operator +=");
    AddInPlace(other, 1.0);
    return *this;
}

CDiagMat& CDiagMat::operator-=(const CDiagMat& other)
{
    if (Size() != other.Size())
        MatrixStop("Error in CDiagMat::operator -=");
    AddInPlace(other, -1.0);
    return *this;
}

CDiagMat CDiagMat::operator*(const CDiagMat& other) const
{
    if (Size() != other.Size())
        MatrixStop("Error in CDiagMat::operator *");
    CDiagMat result(*this);
    for (int i = 0; i < Size(); ++i)
        result.Data()[i] *= other.Data()[i];
    return result;
}

CSquareMat CDiagMat::operator+(const CSquareMat& other) const
{
    if (Order() != other.Order())
        MatrixStop("Error in CDiagMat::operator +(Square)");
    CSquareMat result(other);
    for (int i = 0; i < Order(); ++i)
        result.Data()[i * Order() + i] += Data()[i];
    return result;
}

CSquareMat CDiagMat::operator-(const CSquareMat& other) const
{
    if (Order() != other.Order())
        MatrixStop("Error in CDiagMat::operator -(Square)");
    CSquareMat result(other * -1.0);
    for (int i = 0; i < Order(); ++i)
        result.Data()[i * Order() + i] += Data()[i];
    return result;
}

CRectMat CDiagMat::operator*(const CRectMat& m) const
{
    if (m.Rows() != Order())
        MatrixStop("Error in CDiagMat::operator *(Rect)");
    CRectMat result(m);  // dense value of m
    const int cols = result.Cols();
    for (int i = 0; i < Order(); ++i)
        for (int j = 0; j < cols; ++j)
            result.Data()[i * cols + j] *= Data()[i];
    return result;
}

CSquareMat CDiagMat::operator*(const CSquareMat& m) const
{
    if (m.Order() != Order())
        MatrixStop("Error in CDiagMat::operator *(Rect)");
    return CSquareMat(*this * static_cast<const CRectMat&>(m));
}

CVector CDiagMat::operator*(const CVector& v) const
{
    if (v.Size() != Order() || v.IsRow())
        MatrixStop("Error in CDiagMat::operator* vecteur");
    CVector result(v);
    for (int i = 0; i < Order(); ++i)
        result.Data()[i] *= Data()[i];
    return result;
}

CDiagMat CDiagMat::operator*(double factor) const
{
    CDiagMat result(*this);
    result.ScaleInPlace(factor);
    return result;
}
