#pragma once
#include "positioning/matrix/SquareMat.h"
#include "positioning/matrix/TriangMat.h"

// A symmetric matrix of order n (n <= 255) storing n(n + 1)/2 elements packed like
// CLowTriangMat: elements (i, j) and (j, i), j <= i, are both Data()[i(i + 1)/2 + j].
class CSymMat : public CSquareMat {
public:
    CSymMat() noexcept {}
    // Order n zeros (empty for n <= 0 or n > 255).
    explicit CSymMat(int n);
    CSymMat(int n, double value);
    CSymMat(const CSymMat& other) : CSquareMat(other, RawCopy{}) {}
    CSymMat(CSymMat&& other) noexcept { RawMove(other); }
    CSymMat& operator=(const CSymMat& other) { RawAssign(other); return *this; }
    CSymMat& operator=(CSymMat&& other) noexcept { RawMove(other); return *this; }
    ~CSymMat() override;

    MatShape Shape() const override { return MatShape::Sym; }

    // n(n + 1)/2 zeros on an empty matrix. 602 on a non-empty matrix, non-square or bad sizes.
    MatStatus InitSize(int rows, int cols) override;
    MatStatus InitSize(int n) override;
    // Always 600 / 601: a column or row alone cannot be set on a symmetric matrix.
    MatStatus InitCol(int j, const CVector& v) override;
    MatStatus InitRow(int i, const CVector& v) override;
    // Full column j / row i.
    CVector Col(int j) const override;
    CVector Row(int i) const override;
    // Always 606 / 605.
    MatStatus SwitchRow(int i, int k) override;
    MatStatus SwitchCol(int j, int k) override;
    int Index(int i, int j, bool& stored) const override;
    // Sum of the diagonal.
    double Trace() const override;
    // Square of the product of the Cholesky factor's diagonal for a positive definite
    // matrix; the LU determinant otherwise (a pivot <= 0), 0 for a row of zeros.
    double Det() const override;

    // Fresh storage of order n filled with value.
    MatStatus Resize(int n, double value) override { return Resize(n, value, false); }
    MatStatus Resize(int n) override { return Resize(n, false); }
    // New order n. Without keep: fresh storage filled with value (0). With keep: the packed
    // count must fit the capacity; the leading block of order min(old, n) stays, the
    // elements beyond get value (keep what the storage held, for the form without value,
    // so a matrix shrunk by one order and grown back is whole again). 604 on failure.
    MatStatus Resize(int n, double value, bool keep);
    MatStatus Resize(int n, bool keep);

    // Upper triangular R with Rᵀ·R = this; each diagonal element is the square root of the
    // absolute value of its pivot, so a negative pivot does not stop the factorisation.
    CUpTriangMat Cholesky() const;
    // Inverse S·Sᵀ with S the inverse of the Cholesky factor; empty when the factor has a
    // diagonal element of magnitude below 1e-20. A matrix with a negative pivot (not
    // positive definite) is inverted by LU instead (empty when |determinant| < 1e-20).
    CSymMat inv() const;
    CSymMat Transpose() const { return *this; }

    CSymMat operator+(const CSymMat& other) const;
    CSymMat operator-(const CSymMat& other) const;
    CSymMat& operator+=(const CSymMat& other);
    CSymMat& operator-=(const CSymMat& other);
    // Sums and differences with any square shape of the same order (a dense result).
    CSquareMat operator+(const CSquareMat& other) const;
    CSquareMat operator-(const CSquareMat& other) const;
    CSquareMat operator*(const CSquareMat& other) const;
    CRectMat operator*(const CRectMat& other) const;
    // Matrix times column vector; empty when the length differs from n or v is a row vector.
    CVector operator*(const CVector& v) const;
    CSymMat operator*(double factor) const;
    friend CSymMat operator*(double factor, const CSymMat& m) { return m * factor; }
};
