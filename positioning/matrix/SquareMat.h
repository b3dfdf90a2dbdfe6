#pragma once
#include "positioning/matrix/RectMat.h"

#include <cstdint>
#include <initializer_list>
#include <span>

// A dense square matrix of order n (rows = cols = n), stored row by row.
class CSquareMat : public CRectMat {
public:
    CSquareMat() noexcept {}
    // n × n zeros (empty for n <= 0 or n > 181).
    explicit CSquareMat(int n) : CRectMat(n, n) {}
    CSquareMat(int n, double value) : CRectMat(n, n, value) {}
    // n × n from the elements given row by row.
    CSquareMat(int n, std::initializer_list<double> rowMajor) : CRectMat(n, n, rowMajor) {}
    // Dense value of a square matrix of any shape (a non-square one stops the program).
    explicit CSquareMat(const CRectMat& m);
    CSquareMat(const CSquareMat& other);
    CSquareMat(CSquareMat&& other) noexcept;
    CSquareMat& operator=(const CSquareMat& other);
    CSquareMat& operator=(CSquareMat&& other) noexcept;
    ~CSquareMat() override;

    MatShape Shape() const override { return MatShape::Square; }
    std::int16_t Order() const { return Rows(); }

    using CRectMat::InitSize;
    // rows × cols zeros on an empty matrix; 400 unless rows = cols.
    MatStatus InitSize(int rows, int cols) override;
    // n × n zeros on an empty matrix. 400 on a non-empty matrix or a bad n.
    virtual MatStatus InitSize(int n);
    // Sum of the diagonal.
    virtual double Trace() const;
    // Determinant from the LU decomposition (0 when a row is all zero, after lu's message).
    virtual double Det() const;
    // Solution X of this·X = b, one column of b at a time. A row count of b other than the
    // order stops the program ("Error in CSquareMat::SolveAXEqualToB"), and so does
    // |determinant| < 1e-20 ("Error in CSquareMat::inv").
    virtual CRectMat SolveAXEqualToB(const CRectMat& b) const;
    // The same for one right-hand side (b not a row vector).
    CVector SolveAXEqualToB(const CVector& b) const;
    // Fresh n × n storage filled with value. 401 for a bad n.
    virtual MatStatus Resize(int n, double value);
    virtual MatStatus Resize(int n);

    // Crout LU decomposition with implicit scaling and partial pivoting: returns the combined
    // LU matrix and fills index (at least n entries) with the pivot rows and d with the
    // parity (±1). A row of zeros prints "Stop!\nError in lu\n" and gives an empty matrix.
    CSquareMat lu(std::span<std::int16_t> index, double& d) const;
    // Solves (LU)·x = b in place for this LU matrix and its index.
    void LuBackSubstitution(std::span<const std::int16_t> index, CVector& b) const;
    // Inverse by LU; |determinant| < 1e-20 prints "Stop!\nError in CSquareMat::inv\n" and
    // gives an empty matrix.
    CSquareMat inv() const;

    // Transposed copy.
    CSquareMat Transpose() const;
    // Writes the transpose into target (of the same order; in place when target is this).
    // Anything else stops the program.
    void TransposeInto(CSquareMat& target) const;

    using CRectMat::operator+;
    using CRectMat::operator-;
    using CRectMat::operator+=;
    using CRectMat::operator-=;
    using CRectMat::operator*;
    // Sums and differences with the other square shapes of the same order (else the program stops).
    CSquareMat operator+(const CSquareMat& other) const;
    CSquareMat operator-(const CSquareMat& other) const;
    CSquareMat& operator+=(const CSquareMat& other);
    CSquareMat& operator-=(const CSquareMat& other);
    CSquareMat operator+(const CLowTriangMat& other) const;
    CSquareMat operator-(const CLowTriangMat& other) const;
    CSquareMat& operator+=(const CLowTriangMat& other);
    CSquareMat& operator-=(const CLowTriangMat& other);
    CSquareMat operator+(const CUpTriangMat& other) const;
    CSquareMat operator-(const CUpTriangMat& other) const;
    CSquareMat& operator+=(const CUpTriangMat& other);
    CSquareMat& operator-=(const CUpTriangMat& other);
    CSquareMat operator+(const CSymMat& other) const;
    CSquareMat operator-(const CSymMat& other) const;
    CSquareMat& operator+=(const CSymMat& other);
    CSquareMat& operator-=(const CSymMat& other);
    CSquareMat operator+(const CDiagMat& other) const;
    CSquareMat operator-(const CDiagMat& other) const;
    CSquareMat& operator+=(const CDiagMat& other);
    CSquareMat& operator-=(const CDiagMat& other);
    // Product of square matrices of the same order (else the program stops).
    CSquareMat operator*(const CSquareMat& other) const;
    // Column j scaled by the j-th diagonal element (same order, else the program stops).
    CSquareMat operator*(const CDiagMat& diag) const;
    CSquareMat operator*(double factor) const;
    friend CSquareMat operator*(double factor, const CSquareMat& m) { return m * factor; }

protected:
    CSquareMat(const CSquareMat& other, RawCopy tag) : CRectMat(other, tag) {}
    // this ± other for square operands of the same order, message on a mismatch.
    CSquareMat Combined(const CRectMat& other, double sign, const char* message) const;
    // this ±= other for square operands of the same order, message on a mismatch.
    void CombineInPlace(const CRectMat& other, double sign, const char* message);
    // Fresh storage for order n with count elements equal to value; false if it does not fit.
    bool ReallocateOrder(int n, long count, double value);
};
