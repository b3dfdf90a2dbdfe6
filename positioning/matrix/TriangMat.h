#pragma once
#include "positioning/matrix/SquareMat.h"

// A triangular matrix of order n storing its n(n + 1)/2 elements packed (n <= 255).
// Element (i, i) of both kinds is Data()[i(i + 3)/2].
class CTriangMat : public CSquareMat {
public:
    CTriangMat() noexcept {}
    ~CTriangMat() override;

    // n(n + 1)/2 zeros on an empty matrix. 502 on a non-empty matrix, non-square or bad sizes.
    MatStatus InitSize(int rows, int cols) override;
    MatStatus InitSize(int n) override;
    // Always 500 / 501: a column or row cannot be set on a triangular matrix.
    MatStatus InitCol(int j, const CVector& v) override;
    MatStatus InitRow(int i, const CVector& v) override;
    // Always 505 / 504.
    MatStatus SwitchRow(int i, int k) override;
    MatStatus SwitchCol(int j, int k) override;
    // Sum and product of the diagonal.
    double Trace() const override;
    double Det() const override;

    // Fresh storage of order n filled with value.
    MatStatus Resize(int n, double value) override { return Resize(n, value, false); }
    MatStatus Resize(int n) override { return Resize(n, false); }
    // New order n. Without keep: fresh storage filled with value (0). With keep: the packed
    // count must fit the capacity; the leading block of order min(old, n) stays, the
    // elements beyond get value (keep what the storage held, for the form without value).
    // 503 on failure.
    MatStatus Resize(int n, double value, bool keep);
    MatStatus Resize(int n, bool keep);

protected:
    explicit CTriangMat(int n, double value = 0.0);
    CTriangMat(const CTriangMat& other, RawCopy tag) : CSquareMat(other, tag) {}
};

// Lower triangular matrix: element (i, j), j <= i, is Data()[i(i + 1)/2 + j] (row by row);
// the elements above the diagonal are structural zeros.
class CLowTriangMat : public CTriangMat {
public:
    CLowTriangMat() noexcept {}
    // Order n zeros (empty for n <= 0 or n > 255).
    explicit CLowTriangMat(int n) : CTriangMat(n) {}
    CLowTriangMat(int n, double value) : CTriangMat(n, value) {}
    CLowTriangMat(const CLowTriangMat& other) : CTriangMat(other, RawCopy{}) {}
    CLowTriangMat(CLowTriangMat&& other) noexcept { RawMove(other); }
    CLowTriangMat& operator=(const CLowTriangMat& other) { RawAssign(other); return *this; }
    CLowTriangMat& operator=(CLowTriangMat&& other) noexcept { RawMove(other); return *this; }
    ~CLowTriangMat() override;

    MatShape Shape() const override { return MatShape::LowTriang; }
    // Column j from the diagonal down (elements (j..n-1, j)), zeros elsewhere.
    CVector Col(int j) const override;
    // Row i strictly before the diagonal (elements (i, 0..i-1)), zeros elsewhere.
    CVector Row(int i) const override;
    int Index(int i, int j, bool& stored) const override;

    // Transposed copy: the same packed elements read as an upper triangle.
    CUpTriangMat Transpose() const;
    // Inverse (lower triangular); empty when a diagonal element has magnitude below 1e-20.
    CLowTriangMat inv() const;

    CLowTriangMat operator+(const CLowTriangMat& other) const;
    CLowTriangMat operator-(const CLowTriangMat& other) const;
    CLowTriangMat& operator+=(const CLowTriangMat& other);
    CLowTriangMat& operator-=(const CLowTriangMat& other);
    // Sums and differences with any square shape of the same order (a dense result).
    CSquareMat operator+(const CSquareMat& other) const;
    CSquareMat operator-(const CSquareMat& other) const;
    CLowTriangMat operator*(const CLowTriangMat& other) const;
    CSquareMat operator*(const CSquareMat& other) const;
    CRectMat operator*(const CRectMat& other) const;
    CVector operator*(const CVector& v) const;
    CLowTriangMat operator*(double factor) const;
    friend CLowTriangMat operator*(double factor, const CLowTriangMat& m) { return m * factor; }
};

// Upper triangular matrix: element (i, j), i <= j, is Data()[j(j + 1)/2 + i] (column by
// column); the elements below the diagonal are structural zeros.
class CUpTriangMat : public CTriangMat {
public:
    CUpTriangMat() noexcept {}
    // Order n zeros (empty for n <= 0 or n > 255).
    explicit CUpTriangMat(int n) : CTriangMat(n) {}
    CUpTriangMat(int n, double value) : CTriangMat(n, value) {}
    CUpTriangMat(const CUpTriangMat& other) : CTriangMat(other, RawCopy{}) {}
    CUpTriangMat(CUpTriangMat&& other) noexcept { RawMove(other); }
    CUpTriangMat& operator=(const CUpTriangMat& other) { RawAssign(other); return *this; }
    CUpTriangMat& operator=(CUpTriangMat&& other) noexcept { RawMove(other); return *this; }
    ~CUpTriangMat() override;

    MatShape Shape() const override { return MatShape::UpTriang; }
    // Column j strictly above the diagonal (elements (0..j-1, j)), zeros elsewhere.
    CVector Col(int j) const override;
    // Row i from the diagonal on (elements (i, i..n-1)), zeros elsewhere.
    CVector Row(int i) const override;
    int Index(int i, int j, bool& stored) const override;

    // Transposed copy: the same packed elements read as a lower triangle.
    CLowTriangMat Transpose() const;
    // Inverse (upper triangular), built column by column from the last; empty when a
    // diagonal element has magnitude below 1e-20.
    CUpTriangMat inv() const;
    // Solution x of this·x = f by back substitution from the last row up (f of length n,
    // not a row vector; else the program stops).
    CVector BackSubstitution(const CVector& f) const;

    CUpTriangMat operator+(const CUpTriangMat& other) const;
    CUpTriangMat operator-(const CUpTriangMat& other) const;
    CUpTriangMat& operator+=(const CUpTriangMat& other);
    CUpTriangMat& operator-=(const CUpTriangMat& other);
    // Sums and differences with any square shape of the same order (a dense result).
    CSquareMat operator+(const CSquareMat& other) const;
    CSquareMat operator-(const CSquareMat& other) const;
    CUpTriangMat operator*(const CUpTriangMat& other) const;
    CSquareMat operator*(const CSquareMat& other) const;
    CRectMat operator*(const CRectMat& other) const;
    CVector operator*(const CVector& v) const;
    CUpTriangMat operator*(double factor) const;
    friend CUpTriangMat operator*(double factor, const CUpTriangMat& m) { return m * factor; }
};
