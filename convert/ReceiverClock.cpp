#include "convert/ReceiverClock.h"

double DriftBetweenFixes(double before, double after, double span, double drift) {
    if (span == 0.0) return drift;
    return span <= kMaxClockExtrapolation ? (after - before) / span : 0.0;
}

std::optional<double> CarriedClockOffset(double lastOffset, double drift, double sinceFix) {
    if (!(sinceFix <= kMaxClockExtrapolation)) return std::nullopt;
    return sinceFix * drift + lastOffset;
}
