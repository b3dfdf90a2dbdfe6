#pragma once
#include <cstddef>
#include <vector>

// The points of a series sampled at every stride-th index (epoch or event number),
// at most about capacity points long: when it grows beyond, the points of every other
// sampled index are dropped and the stride doubles. Whatever the length of the
// recording, the points stay evenly spread over it.
template <class Point>
class DecimatedSeries {
public:
    struct Entry {
        long long index;
        Point point;
    };

    explicit DecimatedSeries(size_t capacity) : capacity_(capacity > 0 ? capacity : 1) {}

    // True when the points of index i are kept at the present stride.
    bool Samples(long long i) const { return i % stride_ == 0; }
    // Adds p of index i (indices never decrease) when Samples(i); true when the series was
    // thinned (points dropped).
    bool Add(long long i, const Point& p) {
        if (!Samples(i)) return false;
        entries_.push_back({i, p});
        bool thinned = false;
        // One index alone may hold more than capacity points: thin only while a larger
        // stride can still drop some.
        while (entries_.size() > capacity_ && stride_ <= i) {
            stride_ *= 2;
            size_t kept = 0;
            for (const Entry& e : entries_)
                if (e.index % stride_ == 0) entries_[kept++] = e;
            entries_.resize(kept);
            thinned = true;
        }
        return thinned;
    }
    const std::vector<Entry>& Entries() const { return entries_; }
    long long Stride() const { return stride_; }
    size_t Capacity() const { return capacity_; }

private:
    size_t capacity_;
    long long stride_ = 1;
    std::vector<Entry> entries_;
};
