#pragma once
#include "positioning/matrix/RealArray.h"

#include <cstdint>
#include <initializer_list>

class CRectMat;
class CDiagMat;
class CLowTriangMat;
class CUpTriangMat;
class CSymMat;

// A vector of doubles with an orientation: 0 column vector (the default), 1 row vector;
// any other value counts as "not a row".
class CVector : public CRealArray {
public:
    static constexpr std::int32_t kColumn = 0;
    static constexpr std::int32_t kRow = 1;

    CVector() noexcept {}
    // n zeros (empty for n <= 0), a column vector.
    explicit CVector(int n) : CRealArray(n) {}
    // n copies of value, a column vector.
    CVector(int n, double value) : CRealArray(n, value) {}
    // The given elements, a column vector.
    CVector(std::initializer_list<double> values);
    CVector(const CVector&) = default;
    CVector(CVector&&) noexcept = default;
    CVector& operator=(const CVector&) = default;
    CVector& operator=(CVector&&) noexcept = default;
    ~CVector() override;

    std::int32_t Orientation() const { return orientation_; }
    void SetOrientation(std::int32_t orientation) { orientation_ = orientation; }
    bool IsRow() const { return orientation_ == kRow; }
    // The same elements with the orientation turned (row <-> column).
    CVector Transpose() const;

    // n zeros on an empty vector. 200 on a non-empty vector or a bad n.
    MatStatus InitSize(int n);
    // New size n. Without keep: fresh storage of n zeros. With keep: n must fit the capacity;
    // the elements below the old size stay, those above it keep what the storage held. 201 on failure.
    MatStatus Resize(int n, bool keep);
    // As Resize (n, keep), the elements newly in use (all of them without keep) set to value.
    MatStatus Resize(int n, double value, bool keep);

    // Element i; out of range stops the program with "Error in []".
    double& operator[](int i);
    double operator[](int i) const;

    // Element-by-element sums and differences of vectors of equal size and kind (row or not).
    CVector operator+(const CVector& other) const;
    CVector operator-(const CVector& other) const;
    CVector& operator+=(const CVector& other);
    CVector& operator-=(const CVector& other);
    // Every element times factor.
    CVector operator*(double factor) const;
    friend CVector operator*(double factor, const CVector& v) { return v * factor; }

    // Dot product this·b: this a row vector, b not a row vector, equal sizes (else the program stops).
    double operator*(const CVector& b) const;
    // Outer product v·vᵀ of a vector that is not a row vector (else the program stops).
    CSymMat OuterProduct() const;

    // Row vector times matrix (the size equal to the matrix's rows); a row vector of the
    // matrix's column count. Anything else stops the program.
    CVector operator*(const CRectMat& m) const;
    CVector operator*(const CDiagMat& m) const;
    CVector operator*(const CUpTriangMat& m) const;
    CVector operator*(const CLowTriangMat& m) const;
    CVector operator*(const CSymMat& m) const;

private:
    std::int32_t orientation_ = kColumn;
};
