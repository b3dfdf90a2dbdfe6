#pragma once
#include "positioning/matrix/SquareMat.h"

#include <initializer_list>

// A diagonal matrix of order n storing only its n diagonal elements: element (i, i) is
// Data()[i]; the off-diagonal elements are structural zeros.
class CDiagMat : public CSquareMat {
public:
    CDiagMat() noexcept {}
    // n zeros on the diagonal (empty for n <= 0 or beyond 32767).
    explicit CDiagMat(int n);
    CDiagMat(int n, double value);
    // The given diagonal elements.
    CDiagMat(std::initializer_list<double> diagonal);
    CDiagMat(const CDiagMat& other) : CSquareMat(other, RawCopy{}) {}
    CDiagMat(CDiagMat&& other) noexcept { RawMove(other); }
    CDiagMat& operator=(const CDiagMat& other) { RawAssign(other); return *this; }
    CDiagMat& operator=(CDiagMat&& other) noexcept { RawMove(other); return *this; }
    ~CDiagMat() override;

    MatShape Shape() const override { return MatShape::Diag; }

    // n zeros on an empty matrix. 702 on a non-empty matrix, non-square or bad sizes.
    MatStatus InitSize(int rows, int cols) override;
    MatStatus InitSize(int n) override;
    // Always 700 / 701: a column or row cannot be set on a diagonal matrix.
    MatStatus InitCol(int j, const CVector& v) override;
    MatStatus InitRow(int i, const CVector& v) override;
    // Column j (row i) with its one diagonal element, zeros elsewhere.
    CVector Col(int j) const override;
    CVector Row(int i) const override;
    // Always 706 / 705.
    MatStatus SwitchRow(int i, int k) override;
    MatStatus SwitchCol(int j, int k) override;
    int Index(int i, int j, bool& stored) const override;
    // Sum and product of the diagonal elements.
    double Trace() const override;
    double Det() const override;

    // Fresh storage of order n filled with value.
    MatStatus Resize(int n, double value) override { return Resize(n, value, false); }
    MatStatus Resize(int n) override { return Resize(n, false); }
    // New order n. Without keep: fresh storage filled with value (0). With keep: n must fit
    // the capacity; the elements below the old order stay, those above get value (keep
    // what the storage held, for the form without value). 704 on failure.
    MatStatus Resize(int n, double value, bool keep);
    MatStatus Resize(int n, bool keep);

    // Element-by-element inverse; empty when an element has magnitude <= 1e-20.
    CDiagMat inv() const;
    // The same into result; 703 (result unchanged) when an element has magnitude <= 1e-20.
    MatStatus inv(CDiagMat& result) const;
    CDiagMat Transpose() const { return *this; }

    // Sums, differences and products of diagonal matrices of the same order.
    CDiagMat operator+(const CDiagMat& other) const;
    CDiagMat operator-(const CDiagMat& other) const;
    CDiagMat& operator+=(const CDiagMat& other);
    CDiagMat& operator-=(const CDiagMat& other);
    CDiagMat operator*(const CDiagMat& other) const;
    // Sums and differences with any square shape of the same order (a dense result).
    CSquareMat operator+(const CSquareMat& other) const;
    CSquareMat operator-(const CSquareMat& other) const;
    // Row i of m scaled by the i-th diagonal element (m.rows = order).
    CSquareMat operator*(const CSquareMat& m) const;
    CRectMat operator*(const CRectMat& m) const;
    // Element-by-element product with a column vector of length n.
    CVector operator*(const CVector& v) const;
    CDiagMat operator*(double factor) const;
    friend CDiagMat operator*(double factor, const CDiagMat& m) { return m * factor; }
};
