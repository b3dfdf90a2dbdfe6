#pragma once

// Running sums of one quantity over an arc whose mean is only known at its end.
// Every value is taken as its difference from the arc's first value, so that a large
// common offset (the phase ambiguity of a multipath combination, tens of thousands
// of kilometres) does not cancel the small variations out of the sums.
class ArcSums {
public:
    // Adds value x (any unit; the results are in the same unit).
    void Add(double x) {
        if (count_ == 0) first_ = x;
        const double d = x - first_;
        ++count_;
        sum_ += d;
        sumSquares_ += d * d;
    }
    long long Count() const { return count_; }
    double First() const { return first_; }
    // Mean of the values minus the first value; 0 when empty.
    double MeanOffset() const { return count_ > 0 ? sum_ / static_cast<double>(count_) : 0.0; }
    // Sum of the squared deviations from the mean, sum (x - mean)^2 = sum d^2 - (sum d)^2 / n;
    // never negative.
    double SquaredDeviations() const {
        if (count_ == 0) return 0.0;
        const double s = sumSquares_ - sum_ * sum_ / static_cast<double>(count_);
        return s > 0.0 ? s : 0.0;
    }
    // Sum of the offsets (values minus the first value) and of their squares.
    double Sum() const { return sum_; }
    double SumSquares() const { return sumSquares_; }
    void Clear() { *this = ArcSums(); }

private:
    long long count_ = 0;
    double first_ = 0.0;
    double sum_ = 0.0;
    double sumSquares_ = 0.0;
};
