#include "rawdata/EpochTracker.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

ObservationEpoch Epoch(unsigned week, double seconds, double c1OfSat0) {
    ObservationEpoch e;
    e.time = GpsTime(static_cast<uint16_t>(week), seconds);
    e.Sat(0).SetValue(kC1, c1OfSat0);
    e.AddToMask(e.Sat(0).Mask());
    return e;
}

void AddEph(EphemerisStore& store, int sat, double toe) {
    auto e = std::make_unique<Ephemeris>();
    e->satellite = static_cast<uint16_t>(sat);
    e->toeTime = GpsTime(1316, toe);
    e->toe = toe;
    e->sqrtA = 5153.6;
    ASSERT_TRUE(store.Add(e));
}

TEST(EpochTracker, StartTakesTheEpochAndSelectsAfresh) {
    EpochTracker t;
    AddEph(t.store, 0, 0.0);
    AddEph(t.store, 0, 7200.0);
    AddEph(t.store, 4, 7200.0);
    // Left-overs of an earlier pass: a late reselection time and a stale selection.
    t.store.validUntil = GpsTime(2000, 0.0);
    t.selected[9].valid = 1;
    t.selected[9].toe = 99.0;
    t.selected[0].sequence = t.store.List(0)[1]->sequence;  // would suppress the copy
    t.selected[0].toe = -1.0;

    t.Start(Epoch(1316, 6000.0, 0.07));
    EXPECT_EQ(t.time, GpsTime(1316, 6000.0));
    EXPECT_EQ(t.current.time, GpsTime(1316, 6000.0));
    EXPECT_DOUBLE_EQ(t.current.Sat(0).value[kC1], 0.07);
    EXPECT_EQ(t.selected[0].valid, 1);
    EXPECT_EQ(t.selected[0].toe, 7200.0);
    EXPECT_EQ(t.selected[4].toe, 7200.0);
    EXPECT_EQ(t.selected[9].valid, 0);
    EXPECT_EQ(t.selected[9].toe, 0.0);
    EXPECT_EQ(t.selected[9].sequence, -1);
    EXPECT_NEAR(t.store.validUntil.Difference(GpsTime(1316, 7200.0 + 4 * 3600.0)), 0.0, 0.01);
}

TEST(EpochTracker, AdvanceMovesTheWindow) {
    EpochTracker t;
    AddEph(t.store, 2, 0.0);
    AddEph(t.store, 2, 7200.0);
    t.Start(Epoch(1316, 3000.0, 0.01));
    EXPECT_EQ(t.selected[2].toe, 0.0);
    EXPECT_EQ(t.store.validUntil, GpsTime(1316, 3600.0));

    ASSERT_TRUE(t.Advance(Epoch(1316, 3030.0, 0.02)));
    EXPECT_EQ(t.time, GpsTime(1316, 3030.0));
    EXPECT_EQ(t.previous.time, GpsTime(1316, 3000.0));
    EXPECT_DOUBLE_EQ(t.previous.Sat(0).value[kC1], 0.01);
    EXPECT_DOUBLE_EQ(t.current.Sat(0).value[kC1], 0.02);

    // Crossing the reselection time switches to the nearer ephemeris.
    ASSERT_TRUE(t.Advance(Epoch(1316, 3630.0, 0.03)));
    EXPECT_EQ(t.selected[2].toe, 7200.0);
    EXPECT_EQ(t.previous.time, GpsTime(1316, 3030.0));
}

TEST(EpochTracker, EpochTooCloseToTheCurrentIsRefused) {
    EpochTracker t;
    t.Start(Epoch(1316, 100.0, 0.01));
    ASSERT_TRUE(t.Advance(Epoch(1316, 130.0, 0.02)));

    EXPECT_FALSE(t.Advance(Epoch(1316, 130.04, 0.03)));
    EXPECT_FALSE(t.Advance(Epoch(1316, 130.0, 0.03)));
    EXPECT_FALSE(t.Advance(Epoch(1316, 100.0, 0.03)));
    EXPECT_FALSE(t.Advance(Epoch(1315, 604799.0, 0.03)));
    // Nothing changed.
    EXPECT_EQ(t.time, GpsTime(1316, 130.0));
    EXPECT_EQ(t.current.time, GpsTime(1316, 130.0));
    EXPECT_DOUBLE_EQ(t.current.Sat(0).value[kC1], 0.02);
    EXPECT_EQ(t.previous.time, GpsTime(1316, 100.0));

    EXPECT_TRUE(t.Advance(Epoch(1316, 130.06, 0.04)));
    EXPECT_EQ(t.previous.time, GpsTime(1316, 130.0));
}

TEST(EpochTracker, AdvanceAcrossTheWeekBoundary) {
    EpochTracker t;
    t.Start(Epoch(1316, 604790.0, 0.01));
    ASSERT_TRUE(t.Advance(Epoch(1317, 10.0, 0.02)));
    EXPECT_EQ(t.time, GpsTime(1317, 10.0));
    EXPECT_FALSE(t.Advance(Epoch(1316, 604799.0, 0.03)));
}

}  // namespace
