#pragma once
#include "positioning/matrix/RealArray.h"
#include "positioning/matrix/Vector.h"

#include <cstdint>
#include <initializer_list>

class CSquareMat;
class CDiagMat;
class CLowTriangMat;
class CUpTriangMat;
class CSymMat;

// The storage shape of a matrix object.
enum class MatShape : std::uint8_t { Rect, Square, Diag, LowTriang, UpTriang, Sym };

// A dense rows × cols matrix stored row by row: element (i, j) is Data()[i * cols + j].
// The shapes derived from it store only part of the elements; element access hands out
// a dummy cell (reading 0) for the structural zeros.
//
// Copying or converting any shape into a CRectMat (or a CSquareMat) gives its dense value.
class CRectMat : public CRealArray {
public:
    CRectMat() noexcept {}
    // rows × cols zeros (empty when either is <= 0 or the count exceeds 32767).
    CRectMat(int rows, int cols);
    CRectMat(int rows, int cols, double value);
    // rows × cols from the elements given row by row (missing ones 0).
    CRectMat(int rows, int cols, std::initializer_list<double> rowMajor);
    CRectMat(const CRectMat& other);
    CRectMat(CRectMat&& other) noexcept;
    CRectMat& operator=(const CRectMat& other);
    CRectMat& operator=(CRectMat&& other) noexcept;
    ~CRectMat() override;

    std::int16_t Rows() const { return rows_; }
    std::int16_t Cols() const { return cols_; }
    std::int16_t RowCapacity() const { return rowCapacity_; }
    std::int16_t ColCapacity() const { return colCapacity_; }
    virtual MatShape Shape() const { return MatShape::Rect; }
    // True for the shapes that store every element row by row (CRectMat, CSquareMat).
    bool IsDense() const { return Shape() == MatShape::Rect || Shape() == MatShape::Square; }

    // Element (i, j). Out of range prints "Stop! \nError in ()\n" and hands out the dummy
    // cell; a structural zero hands out the dummy cell (writes to it are lost).
    double& operator()(int i, int j);
    // Value of element (i, j): 0 for a structural zero; out of range prints
    // "Stop!\nError in ()\n" and gives 0.
    double operator()(int i, int j) const;

    // rows × cols zeros on an empty matrix. 302 on a non-empty matrix or bad sizes.
    virtual MatStatus InitSize(int rows, int cols);
    // Sets column j from a column vector of length rows. 300 otherwise.
    virtual MatStatus InitCol(int j, const CVector& v);
    // Sets row i from a row vector of length cols. 301 otherwise.
    virtual MatStatus InitRow(int i, const CVector& v);
    // Copy of column j as a column vector (out of range stops the program).
    virtual CVector Col(int j) const;
    // Copy of row i as a row vector (out of range stops the program).
    virtual CVector Row(int i) const;
    // Exchanges rows i and k. 306 if out of range.
    virtual MatStatus SwitchRow(int i, int k);
    // Exchanges columns j and k. 305 if out of range.
    virtual MatStatus SwitchCol(int j, int k);
    // Singular value decomposition this = u·diag(w)·vᵀ (Golub-Reinsch): u rows × cols,
    // w and v of order cols. 304 when a singular value needs more than 30 QR iterations
    // (u, w and v then hold the unfinished state).
    virtual MatStatus Svd(CRectMat& u, CDiagMat& w, CSquareMat& v) const;
    // Ratio of the largest to the smallest singular value (infinity when the smallest is 0).
    virtual double Cond() const;
    // Position of element (i, j) in Data(); stored is false for a structural zero.
    virtual int Index(int i, int j, bool& stored) const;

    // New size rows × cols. Without keep: fresh storage filled with value (0). With keep:
    // rows·cols must fit the capacity; elements (i, j) inside both sizes keep their values,
    // the others get value (0). 303 on failure (also for a non-dense shape, or a non-square
    // size on a square matrix).
    MatStatus Resize(int rows, int cols, bool keep = false);
    MatStatus Resize(int rows, int cols, double value, bool keep = false);

    // Transposed copy (cols × rows).
    CRectMat Transpose() const;
    // Dense copy of any shape.
    CRectMat ToRect() const { return CRectMat(*this); }

    // Sums and differences of equal sizes (else the program stops).
    CRectMat operator+(const CRectMat& other) const;
    CRectMat operator-(const CRectMat& other) const;
    CRectMat& operator+=(const CRectMat& other);
    CRectMat& operator-=(const CRectMat& other);
    // Matrix times column vector of length cols (else the program stops).
    CVector operator*(const CVector& v) const;
    // Matrix product (this.cols = other.rows, else the program stops).
    CRectMat operator*(const CRectMat& other) const;
    // Every element times factor.
    CRectMat operator*(double factor) const;
    friend CRectMat operator*(double factor, const CRectMat& m) { return m * factor; }

    // Upper triangle (with diagonal) of a square matrix.
    CUpTriangMat ToUpTriang() const;
    // Lower triangle (with diagonal) of a square matrix.
    CLowTriangMat ToLowTriang() const;
    // Symmetric matrix from the lower triangle (with diagonal) of a square matrix.
    CSymMat ToSym() const;

    // Moore-Penrose pseudo-inverse V·diag(1/w)·Uᵀ (cols × rows) from the singular value
    // decomposition; empty when the decomposition fails or a singular value is <= 1e-20.
    CRectMat PseudoInverse() const;

    // Same dimensions and identical stored elements.
    bool operator==(const CRectMat& other) const;

protected:
    struct RawCopy {};
    // Copies other's storage and dimensions as they are (for copies within one shape).
    CRectMat(const CRectMat& other, RawCopy) : CRealArray(other), rows_(other.rows_), cols_(other.cols_),
        rowCapacity_(other.rowCapacity_), colCapacity_(other.colCapacity_) {}
    // Takes other's storage and dimensions as they are.
    void RawAssign(const CRectMat& other);
    void RawMove(CRectMat& other) noexcept;
    // Fresh storage of count elements equal to value for a rows × cols matrix; false if the
    // count does not fit (matrix unchanged).
    bool ReallocateShape(int rows, int cols, int count, double value);
    // Sets the dimensions (storage untouched).
    void SetDims(int rows, int cols);
    // Writes this matrix's elements into the zeroed row-major buffer dense (rows × cols).
    void ExpandInto(double* dense) const;

private:
    void BecomeDenseCopy(const CRectMat& other);

    std::int16_t rows_ = 0;
    std::int16_t cols_ = 0;
    std::int16_t rowCapacity_ = 0;
    std::int16_t colCapacity_ = 0;
};
