// The receiver clock between fixes: drift from two fixes, offset carried by it for
// at most five minutes after the last fix.
#include <gtest/gtest.h>

#include <cmath>

#include "convert/ReceiverClock.h"

TEST(ReceiverClock, DriftBetweenFixesStartsAgainAfterALongBreak) {
    struct Case {
        const char* what;
        double before, after, span, drift, expected;  // s, s, s, s/s, s/s
    };
    const Case cases[] = {
        {"one second apart", 1e-3, 1.002e-3, 1.0, 5e-9, 2e-6},
        {"five minutes apart, the limit", 0.0, 3e-6, 300.0, 5e-9, 1e-8},
        {"past the limit: a possible clock reset", 0.0, 3e-6, 300.5, 5e-9, 0.0},
        {"two fixes of one time keep the drift", 1e-3, 2e-3, 0.0, 5e-9, 5e-9},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(DriftBetweenFixes(c.before, c.after, c.span, c.drift), c.expected, 1e-18) << c.what;
}

TEST(ReceiverClock, OffsetIsCarriedForFiveMinutesAtMost) {
    EXPECT_DOUBLE_EQ(*CarriedClockOffset(2.5e-4, 2e-9, 30.0), 2.5e-4 + 6e-8);
    EXPECT_DOUBLE_EQ(*CarriedClockOffset(2.5e-4, 2e-9, 300.0), 2.5e-4 + 6e-7);
    EXPECT_FALSE(CarriedClockOffset(2.5e-4, 2e-9, 300.001));
    EXPECT_FALSE(CarriedClockOffset(2.5e-4, 2e-9, std::nan("")));  // a damaged time is no time
}
