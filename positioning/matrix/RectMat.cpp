#include "positioning/matrix/RectMat.h"

#include "positioning/matrix/DiagMat.h"
#include "positioning/matrix/MatrixKernels.h"
#include "positioning/matrix/SquareMat.h"
#include "positioning/matrix/SymMat.h"
#include "positioning/matrix/TriangMat.h"

#include <algorithm>
#include <utility>

using namespace matrix_kernels;

namespace {

// Element count of a rows × cols matrix, or -1 when a size is negative or the count
// exceeds 32767.
long DenseCount(int rows, int cols)
{
    if (rows < 0 || cols < 0)
        return -1;
    const long count = static_cast<long>(rows) * cols;
    return count > kMatMaxCount ? -1 : count;
}

}  // namespace

CRectMat::CRectMat(int rows, int cols) : CRectMat(rows, cols, 0.0) {}

CRectMat::CRectMat(int rows, int cols, double value)
{
    const long count = DenseCount(rows, cols);
    if (count > 0)
        ReallocateShape(rows, cols, static_cast<int>(count), value);
}

CRectMat::CRectMat(int rows, int cols, std::initializer_list<double> rowMajor) : CRectMat(rows, cols, 0.0)
{
    const int n = std::min<int>(Size(), static_cast<int>(rowMajor.size()));
    std::copy(rowMajor.begin(), rowMajor.begin() + n, Data());
}

void CRectMat::BecomeDenseCopy(const CRectMat& other)
{
    // other is a packed shape: its dense value, rows × cols.
    CRectMat dense(other.rows_, other.cols_);
    if (!dense.IsEmpty())
        ExpandDense(other, dense.Data());
    RawMove(dense);
}

// NOLINTNEXTLINE(bugprone-copy-constructor-init): the base is filled below, by shape
CRectMat::CRectMat(const CRectMat& other) : CRealArray()
{
    if (other.IsDense())
        RawAssign(other);
    else
        BecomeDenseCopy(other);
}

CRectMat::CRectMat(CRectMat&& other) noexcept : CRealArray()
{
    if (other.IsDense())
        RawMove(other);
    else
        BecomeDenseCopy(other);
}

CRectMat& CRectMat::operator=(const CRectMat& other)
{
    if (this == &other)
        return *this;
    if (!IsDense() || (Shape() == MatShape::Square && other.rows_ != other.cols_))
        MatrixStop("Error in CRectMat::operator=");
    if (other.IsDense())
        RawAssign(other);
    else
        BecomeDenseCopy(other);
    return *this;
}

CRectMat& CRectMat::operator=(CRectMat&& other) noexcept
{
    if (this == &other)
        return *this;
    if (!IsDense() || (Shape() == MatShape::Square && other.rows_ != other.cols_))
        MatrixStop("Error in CRectMat::operator=");
    if (other.IsDense())
        RawMove(other);
    else
        BecomeDenseCopy(other);
    return *this;
}

CRectMat::~CRectMat() = default;

void CRectMat::RawAssign(const CRectMat& other)
{
    CRealArray::operator=(other);
    rows_ = other.rows_;
    cols_ = other.cols_;
    rowCapacity_ = other.rowCapacity_;
    colCapacity_ = other.colCapacity_;
}

void CRectMat::RawMove(CRectMat& other) noexcept
{
    CRealArray::operator=(std::move(static_cast<CRealArray&>(other)));
    rows_ = other.rows_;
    cols_ = other.cols_;
    rowCapacity_ = other.rowCapacity_;
    colCapacity_ = other.colCapacity_;
    other.rows_ = other.cols_ = other.rowCapacity_ = other.colCapacity_ = 0;
}

bool CRectMat::ReallocateShape(int rows, int cols, int count, double value)
{
    if (Reallocate(count, value) != 0)
        return false;
    if (count == 0)
        rows = cols = 0;
    rows_ = rowCapacity_ = static_cast<std::int16_t>(rows);
    cols_ = colCapacity_ = static_cast<std::int16_t>(cols);
    return true;
}

void CRectMat::SetDims(int rows, int cols)
{
    rows_ = static_cast<std::int16_t>(rows);
    cols_ = static_cast<std::int16_t>(cols);
}

void CRectMat::ExpandInto(double* dense) const { ExpandDense(*this, dense); }

double& CRectMat::operator()(int i, int j)
{
    if (i < 0 || i >= rows_ || j < 0 || j >= cols_) {
        MatrixReportAccess("Error in ()");
        return MatrixDummyCell();
    }
    bool stored = false;
    const int k = Index(i, j, stored);
    return stored ? Data()[k] : MatrixDummyCell();
}

double CRectMat::operator()(int i, int j) const
{
    if (i < 0 || i >= rows_ || j < 0 || j >= cols_) {
        MatrixReport("Error in ()");
        return 0.0;
    }
    bool stored = false;
    const int k = Index(i, j, stored);
    return stored ? Data()[k] : 0.0;
}

MatStatus CRectMat::InitSize(int rows, int cols)
{
    const long count = DenseCount(rows, cols);
    if (!IsEmpty() || count < 0)
        return 302;  // "Error in InitSize"
    ReallocateShape(rows, cols, static_cast<int>(count), 0.0);
    return 0;
}

MatStatus CRectMat::InitCol(int j, const CVector& v)
{
    if (j < 0 || j >= cols_ || v.Size() != rows_ || v.IsRow())
        return 300;  // "Error in CRectMat::InitCol"
    for (int i = 0; i < rows_; ++i)
        Data()[i * cols_ + j] = v.Data()[i];
    return 0;
}

MatStatus CRectMat::InitRow(int i, const CVector& v)
{
    if (i < 0 || i >= rows_ || v.Size() != cols_ || !v.IsRow())
        return 301;  // "Error in CRectMat::InitRow"
    std::copy(v.Data(), v.Data() + cols_, Data() + i * cols_);
    return 0;
}

CVector CRectMat::Col(int j) const
{
    if (j < 0 || j >= cols_)
        MatrixStop("Error in CRectMat::Col");
    CVector col(rows_);
    for (int i = 0; i < rows_; ++i)
        col.Data()[i] = Data()[i * cols_ + j];
    return col;
}

CVector CRectMat::Row(int i) const
{
    if (i < 0 || i >= rows_)
        MatrixStop("Error in CRectMat::Row");
    CVector row(cols_);
    row.SetOrientation(CVector::kRow);
    std::copy(Data() + i * cols_, Data() + (i + 1) * cols_, row.Data());
    return row;
}

MatStatus CRectMat::SwitchRow(int i, int k)
{
    if (i < 0 || i >= rows_ || k < 0 || k >= rows_)
        return 306;  // "Error in CRectMat::SwitchRow"
    if (i != k)
        std::swap_ranges(Data() + i * cols_, Data() + (i + 1) * cols_, Data() + k * cols_);
    return 0;
}

MatStatus CRectMat::SwitchCol(int j, int k)
{
    if (j < 0 || j >= cols_ || k < 0 || k >= cols_)
        return 305;  // "Error in CRectMat::SwitchCol"
    for (int i = 0; i < rows_; ++i)
        std::swap(Data()[i * cols_ + j], Data()[i * cols_ + k]);
    return 0;
}

int CRectMat::Index(int i, int j, bool& stored) const
{
    stored = true;
    return i * cols_ + j;
}

MatStatus CRectMat::Resize(int rows, int cols, bool keep) { return Resize(rows, cols, 0.0, keep); }

MatStatus CRectMat::Resize(int rows, int cols, double value, bool keep)
{
    const long count = DenseCount(rows, cols);
    if (count < 0 || !IsDense() || (Shape() == MatShape::Square && rows != cols))
        return 303;  // "Error in Resize"
    if (!keep) {
        ReallocateShape(rows, cols, static_cast<int>(count), value);
        return 0;
    }
    if (count > Capacity())
        return 303;
    // Elements (i, j) inside both sizes move to their new row-major positions.
    const CRealArray old(*this);
    const int oldRows = rows_;
    const int oldCols = cols_;
    if (count == 0)
        rows = cols = 0;
    SetUsed(static_cast<int>(count));
    SetDims(rows, cols);
    double* d = Data();
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < cols; ++j)
            d[i * cols + j] = (i < oldRows && j < oldCols) ? old.Data()[i * oldCols + j] : value;
    return 0;
}

CRectMat CRectMat::Transpose() const
{
    CRectMat result(cols_, rows_);
    double* out = result.Data();
    const int rows = rows_;
    VisitStored(*this, [out, rows](int i, int j, double v) { out[j * rows + i] = v; });
    return result;
}

CRectMat CRectMat::operator+(const CRectMat& other) const
{
    if (rows_ != other.rows_ || cols_ != other.cols_)
        MatrixStop("Error in CRectMat::operator +");
    CRectMat result(*this);
    AddStoredInto(other, 1.0, result.Data());
    return result;
}

CRectMat CRectMat::operator-(const CRectMat& other) const
{
    if (rows_ != other.rows_ || cols_ != other.cols_)
        MatrixStop("Error in CRectMat::operator -");
    CRectMat result(*this);
    AddStoredInto(other, -1.0, result.Data());
    return result;
}

CRectMat& CRectMat::operator+=(const CRectMat& other)
{
    if (!IsDense() || rows_ != other.rows_ || cols_ != other.cols_)
        MatrixStop("Error in operator CRectMat::operator+=");
    AddStoredInto(other, 1.0, Data());
    return *this;
}

CRectMat& CRectMat::operator-=(const CRectMat& other)
{
    if (!IsDense() || rows_ != other.rows_ || cols_ != other.cols_)
        MatrixStop("Error in operator CRectMat::operator-=");
    AddStoredInto(other, -1.0, Data());
    return *this;
}

CVector CRectMat::operator*(const CVector& v) const
{
    if (v.Size() != cols_ || v.IsRow())
        MatrixStop("Error in CRectMat::operator* vecteur");
    CVector result(rows_);
    MatVecInto(*this, v.Data(), result.Data());
    return result;
}

CRectMat CRectMat::operator*(const CRectMat& other) const
{
    if (cols_ != other.rows_)
        MatrixStop("Error in CRectMat::operator* matrice rectangulaire");
    CRectMat result(rows_, other.cols_);
    if (!result.IsEmpty())
        MultiplyInto(*this, other, result.Data());
    return result;
}

CRectMat CRectMat::operator*(double factor) const
{
    CRectMat result(*this);
    result.ScaleInPlace(factor);
    return result;
}

CUpTriangMat CRectMat::ToUpTriang() const
{
    if (rows_ != cols_)
        MatrixStop("Error in ToUpTriang");
    CUpTriangMat result(rows_);
    double* out = result.Data();
    VisitStored(*this, [out](int i, int j, double v) {
        if (i <= j)
            out[PackedIndex(j, i)] = v;
    });
    return result;
}

CLowTriangMat CRectMat::ToLowTriang() const
{
    if (rows_ != cols_)
        MatrixStop("Error in ToLowTriang");
    CLowTriangMat result(rows_);
    double* out = result.Data();
    VisitStored(*this, [out](int i, int j, double v) {
        if (j <= i)
            out[PackedIndex(i, j)] = v;
    });
    return result;
}

CSymMat CRectMat::ToSym() const
{
    if (rows_ != cols_)
        MatrixStop("Error in ToSym");
    CSymMat result(rows_);
    double* out = result.Data();
    VisitStored(*this, [out](int i, int j, double v) {
        if (j <= i)
            out[PackedIndex(i, j)] = v;
    });
    return result;
}

bool CRectMat::operator==(const CRectMat& other) const
{
    return Shape() == other.Shape() && rows_ == other.rows_ && cols_ == other.cols_ &&
           CRealArray::operator==(other);
}
