#include "positioning/matrix/RealArray.h"

#include <algorithm>
#include <cstring>
#include <utility>

void CRealArray::Allocate(int n)
{
    heap_.reset();
    capacity_ = static_cast<std::int16_t>(n);
    size_ = static_cast<std::int16_t>(n);
    if (n <= 0) {
        data_ = nullptr;
    } else if (n <= kInlineCount) {
        data_ = local_;
    } else {
        heap_ = std::make_unique<double[]>(static_cast<std::size_t>(n));
        data_ = heap_.get();
    }
}

CRealArray::CRealArray(int n) : CRealArray(n, 0.0) {}

CRealArray::CRealArray(int n, double value)
{
    if (n > 0 && n <= kMatMaxCount) {
        Allocate(n);
        std::fill(data_, data_ + n, value);
    }
}

CRealArray::CRealArray(const CRealArray& other)
{
    Allocate(other.capacity_);
    size_ = other.size_;
    if (capacity_ > 0) {
        std::copy(other.data_, other.data_ + other.size_, data_);
        std::fill(data_ + size_, data_ + capacity_, 0.0);
    }
}

void CRealArray::MoveFrom(CRealArray& other) noexcept
{
    capacity_ = other.capacity_;
    size_ = other.size_;
    if (other.heap_) {
        heap_ = std::move(other.heap_);
        data_ = heap_.get();
    } else if (other.data_ != nullptr) {
        heap_.reset();
        std::copy(other.local_, other.local_ + capacity_, local_);
        data_ = local_;
    } else {
        heap_.reset();
        data_ = nullptr;
    }
    other.capacity_ = 0;
    other.size_ = 0;
    other.data_ = nullptr;
}

CRealArray::CRealArray(CRealArray&& other) noexcept { MoveFrom(other); }

CRealArray& CRealArray::operator=(const CRealArray& other)
{
    if (this != &other) {
        if (capacity_ != other.capacity_)
            Allocate(other.capacity_);
        size_ = other.size_;
        if (capacity_ > 0) {
            std::copy(other.data_, other.data_ + other.size_, data_);
            std::fill(data_ + size_, data_ + capacity_, 0.0);
        }
    }
    return *this;
}

CRealArray& CRealArray::operator=(CRealArray&& other) noexcept
{
    if (this != &other)
        MoveFrom(other);
    return *this;
}

CRealArray::~CRealArray() = default;

MatStatus CRealArray::Reallocate(int n, double value)
{
    if (n < 0 || n > kMatMaxCount)
        return 103;
    if (n != capacity_)
        Allocate(n);
    size_ = static_cast<std::int16_t>(n);
    if (n > 0)
        std::fill(data_, data_ + n, value);
    return 0;
}

MatStatus CRealArray::SetSize(int n, double value)
{
    if (n < 0 || n > capacity_)
        return 102;  // "Error in SetSize"
    if (n > size_)
        std::fill(data_ + size_, data_ + n, value);
    size_ = static_cast<std::int16_t>(n);
    return 0;
}

MatStatus CRealArray::SetInRange(int offset, const CRealArray& source)
{
    if (offset < 0 || offset + source.size_ > size_)
        return 101;  // "Error in SetInRange : bad sizes"
    std::copy(source.data_, source.data_ + source.size_, data_ + offset);
    return 0;
}

MatStatus CRealArray::GetInRange(int offset, CRealArray& target) const
{
    if (offset < 0 || offset + target.size_ > size_)
        return 100;  // "Error in GetInRange : bad sizes"
    std::copy(data_ + offset, data_ + offset + target.size_, target.data_);
    return 0;
}

MatStatus CRealArray::SwitchElements(int i, int k)
{
    if (i < 0 || i >= size_ || k < 0 || k >= size_)
        return 104;  // "Error in SwitchElements : bad parameter"
    std::swap(data_[i], data_[k]);
    return 0;
}

double& CRealArray::Elt(int i)
{
    if (i < 0 || i >= size_)
        MatrixStop("Error in Elt");
    return data_[i];
}

double CRealArray::Elt(int i) const
{
    if (i < 0 || i >= size_)
        MatrixStop("Error in Elt");
    return data_[i];
}

void CRealArray::ScaleInPlace(double factor)
{
    for (int i = 0; i < size_; ++i)
        data_[i] *= factor;
}

void CRealArray::AddInPlace(const CRealArray& other, double sign)
{
    if (sign > 0) {
        for (int i = 0; i < size_; ++i)
            data_[i] += other.data_[i];
    } else {
        for (int i = 0; i < size_; ++i)
            data_[i] -= other.data_[i];
    }
}

CRealArray CRealArray::operator+(const CRealArray& other) const
{
    if (size_ != other.size_)
        MatrixStop("Error in + : sizes are different");
    CRealArray result(*this);
    result.AddInPlace(other, 1.0);
    return result;
}

CRealArray CRealArray::operator-(const CRealArray& other) const
{
    if (size_ != other.size_)
        MatrixStop("Error in - : sizes are different");
    CRealArray result(*this);
    result.AddInPlace(other, -1.0);
    return result;
}

CRealArray& CRealArray::operator+=(const CRealArray& other)
{
    if (size_ != other.size_)
        MatrixStop("Error in += : sizes are different");
    AddInPlace(other, 1.0);
    return *this;
}

CRealArray& CRealArray::operator-=(const CRealArray& other)
{
    if (size_ != other.size_)
        MatrixStop("Error in -= : sizes are different");
    AddInPlace(other, -1.0);
    return *this;
}

CRealArray CRealArray::operator*(double factor) const
{
    CRealArray result(*this);
    result.ScaleInPlace(factor);
    return result;
}

bool CRealArray::operator==(const CRealArray& other) const
{
    return size_ == other.size_ &&
           (size_ == 0 ||
            std::memcmp(data_, other.data_, static_cast<std::size_t>(size_) * sizeof(double)) == 0);
}
