#pragma once
#include <optional>

// The receiver clock between fixes. Its offset is carried over epochs without a fix
// by its drift, but not beyond kMaxClockExtrapolation after the last fix: a receiver
// clock left alone that long (or reset in a break of the recording) is not known
// any more.

inline constexpr double kMaxClockExtrapolation = 300.0;  // s

// The drift (s/s) from two fixes span seconds apart with clock offsets before and
// after (s); 0 across a break longer than kMaxClockExtrapolation (the clock may have
// been reset there), and drift as it was when the fixes are of one time (span 0).
double DriftBetweenFixes(double before, double after, double span, double drift);

// The clock offset (s) sinceFix seconds after the last fix, whose offset was
// lastOffset (s), carried by drift (s/s); none beyond kMaxClockExtrapolation.
std::optional<double> CarriedClockOffset(double lastOffset, double drift, double sinceFix);
