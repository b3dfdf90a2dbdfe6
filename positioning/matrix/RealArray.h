#pragma once
#include "positioning/matrix/MatrixFailure.h"

#include <cstdint>
#include <memory>

// A counted array of doubles: capacity (elements allocated), size (elements in use) and
// the owned elements. Arrays of up to kInlineCount elements keep their elements inside
// the object, so the small vectors and matrices of a position fix never touch the heap.
class CRealArray {
public:
    static constexpr int kInlineCount = 16;

    CRealArray() noexcept {}
    // n zeros; n <= 0 (or beyond 32767) gives an empty array.
    explicit CRealArray(int n);
    // n copies of value; n <= 0 (or beyond 32767) gives an empty array.
    CRealArray(int n, double value);
    // Same capacity as other, its used elements copied, the rest zero.
    CRealArray(const CRealArray& other);
    CRealArray(CRealArray&& other) noexcept;
    CRealArray& operator=(const CRealArray& other);
    CRealArray& operator=(CRealArray&& other) noexcept;
    virtual ~CRealArray();

    std::int16_t Capacity() const { return capacity_; }
    std::int16_t Size() const { return size_; }
    bool IsEmpty() const { return size_ == 0; }
    // The elements (null when the capacity is 0).
    double* Data() { return data_; }
    const double* Data() const { return data_; }

    // Sets the size to n within the capacity; elements newly in use get value. 102 otherwise.
    MatStatus SetSize(int n, double value = 0.0);
    // Copies source into this array from offset on. 101 if it does not fit.
    MatStatus SetInRange(int offset, const CRealArray& source);
    // Copies target.Size() elements from offset on into target. 100 if they do not exist.
    MatStatus GetInRange(int offset, CRealArray& target) const;
    // Exchanges elements i and k. 104 if either is out of range.
    MatStatus SwitchElements(int i, int k);

    // Element i; out of range stops the program with "Error in Elt".
    double& Elt(int i);
    double Elt(int i) const;

    // Element-by-element sums and differences of arrays of equal size (else the program stops).
    CRealArray operator+(const CRealArray& other) const;
    CRealArray operator-(const CRealArray& other) const;
    CRealArray& operator+=(const CRealArray& other);
    CRealArray& operator-=(const CRealArray& other);
    // Every element times factor.
    CRealArray operator*(double factor) const;
    friend CRealArray operator*(double factor, const CRealArray& a) { return a * factor; }

    // Same size and identical bytes of the used elements.
    bool operator==(const CRealArray& other) const;

protected:
    // Replaces the storage by n copies of value (capacity and size n). 103 if n < 0 or
    // beyond 32767, with the array unchanged.
    MatStatus Reallocate(int n, double value = 0.0);
    // Sets the size within the capacity without touching the elements.
    void SetUsed(int n) { size_ = static_cast<std::int16_t>(n); }
    // Multiplies the used elements by factor in place.
    void ScaleInPlace(double factor);
    // Adds sign * other to the used elements in place (sizes already checked).
    void AddInPlace(const CRealArray& other, double sign);

private:
    void Allocate(int n);
    void MoveFrom(CRealArray& other) noexcept;

    std::int16_t capacity_ = 0;
    std::int16_t size_ = 0;
    double* data_ = nullptr;
    std::unique_ptr<double[]> heap_;
    double local_[kInlineCount];  // elements of a small array (only the first capacity_ are used)
};
