#include "rawdata/EphemerisStore.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

// A plausible healthy ephemeris of one satellite at week/toe.
std::unique_ptr<Ephemeris> MakeEph(int sat, unsigned week, double toe, uint16_t health = 0) {
    auto e = std::make_unique<Ephemeris>();
    e->satellite = static_cast<uint16_t>(sat);
    e->week = static_cast<uint16_t>(week);
    e->toe = toe;
    e->toeTime = GpsTime(static_cast<uint16_t>(week), toe);
    e->toc = toe;
    e->sqrtA = 5153.6;
    e->e = 0.01;
    e->health = health;
    return e;
}

bool Add(EphemerisStore& store, int sat, unsigned week, double toe) {
    auto e = MakeEph(sat, week, toe);
    return store.Add(e);
}

std::vector<double> Toes(const EphemerisStore& store, int sat) {
    std::vector<double> v;
    for (const auto& p : store.List(sat)) v.push_back(p->toeTime.seconds);
    return v;
}

TEST(EphemerisStore, UnhealthyEphemerisIsNeverStored) {
    EphemerisStore store;
    const int before = store.LastSequence();
    auto e = MakeEph(3, 1316, 7200.0, 1);
    e->valid = 1;
    EXPECT_FALSE(store.Add(e));
    ASSERT_NE(e, nullptr);  // stays with the caller
    EXPECT_EQ(e->valid, 0);
    EXPECT_EQ(e->sequence, -1);
    EXPECT_EQ(store.Count(), 0);
    EXPECT_EQ(store.LastSequence(), before);
}

TEST(EphemerisStore, AcceptedEphemerisIsValidPreparedAndNumbered) {
    EphemerisStore store;
    const int before = store.LastSequence();
    auto e = MakeEph(7, 1316, 7200.0);
    Ephemeris* raw = e.get();
    EXPECT_TRUE(store.Add(e));
    EXPECT_EQ(e, nullptr);  // ownership moved to the store
    EXPECT_EQ(raw->valid, 1);
    EXPECT_EQ(raw->sequence, before + 1);
    EXPECT_NEAR(raw->A, 5153.6 * 5153.6, 1e-6);  // derived block filled
    EXPECT_NEAR(raw->Ae, 5153.6 * 5153.6 * 0.01, 1e-6);
    EXPECT_GT(raw->n, 1.4e-4);
    EXPECT_LT(raw->n, 1.5e-4);
    EXPECT_EQ(store.Count(), 1);
    ASSERT_EQ(store.List(7).size(), 1u);
    EXPECT_EQ(store.List(7)[0].get(), raw);
}

TEST(EphemerisStore, SequenceNumbersGrowAcrossClear) {
    EphemerisStore store;
    auto e1 = MakeEph(0, 1316, 0.0);
    auto e2 = MakeEph(0, 1316, 0.0);
    auto e3 = MakeEph(1, 1316, 0.0);
    Ephemeris* r2 = e2.get();
    Ephemeris* r3 = e3.get();
    ASSERT_TRUE(store.Add(e1));
    const int firstSequence = store.List(0)[0]->sequence;
    EXPECT_EQ(firstSequence, 1);
    store.Clear();  // the next conversion on the same store
    ASSERT_TRUE(store.Add(e2));
    ASSERT_TRUE(store.Add(e3));
    EXPECT_LT(firstSequence, r2->sequence);
    EXPECT_LT(r2->sequence, r3->sequence);
    EXPECT_EQ(store.LastSequence(), r3->sequence);
}

TEST(EphemerisStore, ToeWithinTenthOfASecondIsRejectedFirstCopyWins) {
    EphemerisStore store;
    auto first = MakeEph(4, 1316, 7200.0);
    first->IODE = 11;
    ASSERT_TRUE(store.Add(first));
    auto close = MakeEph(4, 1316, 7200.05);
    close->IODE = 22;
    EXPECT_FALSE(store.Add(close));
    ASSERT_NE(close, nullptr);  // rejected: stays with the caller
    auto closeBefore = MakeEph(4, 1316, 7199.95);
    EXPECT_FALSE(store.Add(closeBefore));
    ASSERT_EQ(store.List(4).size(), 1u);
    EXPECT_EQ(store.List(4)[0]->IODE, 11);
    // The same toe on another satellite is another ephemeris.
    EXPECT_TRUE(Add(store, 5, 1316, 7200.0));
    // 0.1 s and more apart: accepted.
    EXPECT_TRUE(Add(store, 4, 1316, 7200.1 + 1e-9));
    EXPECT_EQ(store.Count(), 3);
}

TEST(EphemerisStore, ListsStayInToeOrder) {
    EphemerisStore store;
    EXPECT_TRUE(Add(store, 9, 1316, 14400.0));
    EXPECT_TRUE(Add(store, 9, 1316, 14416.0));  // 16 s later: inserted after
    EXPECT_TRUE(Add(store, 9, 1316, 7200.0));   // earlier: inserted first
    EXPECT_TRUE(Add(store, 9, 1316, 10800.0));  // in between
    EXPECT_TRUE(Add(store, 9, 1317, 0.0));      // next week comes last
    EXPECT_TRUE(Add(store, 9, 1315, 604784.0)); // previous week comes first
    const std::vector<double> want = {604784.0, 7200.0, 10800.0, 14400.0, 14416.0, 0.0};
    EXPECT_EQ(Toes(store, 9), want);
    EXPECT_EQ(store.List(9).front()->toeTime.week, 1315);
    EXPECT_EQ(store.List(9).back()->toeTime.week, 1317);
}

TEST(EphemerisStore, PruneKeepsTwoHoursAroundTheData) {
    EphemerisStore store;
    for (double toe : {0.0, 2799.0, 2800.0, 20000.0, 27200.0, 27201.0, 40000.0})
        ASSERT_TRUE(Add(store, 2, 1316, toe));
    ASSERT_TRUE(Add(store, 30, 1315, 600000.0));
    ASSERT_TRUE(Add(store, 30, 1316, 14400.0));
    int count = store.Count();
    ASSERT_EQ(count, 9);
    store.Prune(GpsTime(1316, 10000.0), GpsTime(1316, 20000.0), count);
    EXPECT_EQ(count, 4);
    EXPECT_EQ(store.Count(), 4);
    EXPECT_EQ(Toes(store, 2), (std::vector<double>{2800.0, 20000.0, 27200.0}));
    EXPECT_EQ(Toes(store, 30), (std::vector<double>{14400.0}));
}

TEST(EphemerisStore, PruneAcrossTheWeekBoundary) {
    EphemerisStore store;
    ASSERT_TRUE(Add(store, 0, 1315, 600000.0));  // 4800 s before the first epoch
    ASSERT_TRUE(Add(store, 0, 1315, 590000.0));  // 14800 s before
    int count = 2;
    store.Prune(GpsTime(1316, 0.0), GpsTime(1316, 3600.0), count);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(Toes(store, 0), (std::vector<double>{600000.0}));
}

TEST(EphemerisStore, SelectPicksTheNearestToeAndTheReselectionTime) {
    EphemerisStore store;
    ASSERT_TRUE(Add(store, 0, 1316, 0.0));
    ASSERT_TRUE(Add(store, 0, 1316, 7200.0));
    ASSERT_TRUE(Add(store, 0, 1316, 14400.0));
    ASSERT_TRUE(Add(store, 5, 1316, 3600.0));
    Ephemeris selected[kSatelliteCount];
    selected[1].valid = 1;  // a satellite without ephemerides is made invalid

    store.Select(GpsTime(1316, 7000.0), selected);
    EXPECT_EQ(selected[0].valid, 1);
    EXPECT_EQ(selected[0].toe, 7200.0);
    EXPECT_EQ(selected[5].toe, 3600.0);
    EXPECT_EQ(selected[1].valid, 0);
    EXPECT_EQ(selected[2].valid, 0);
    // Midway between 7200 and 14400.
    EXPECT_EQ(store.validUntil.week, 1316);
    EXPECT_EQ(store.validUntil.seconds, 10800.0);

    // Before the reselection time nothing changes.
    selected[0].af0 = 1.5;
    store.Select(GpsTime(1316, 10799.0), selected);
    EXPECT_EQ(selected[0].toe, 7200.0);
    EXPECT_EQ(selected[0].af0, 1.5);

    // Exactly midway the earlier one stays (the distance does not strictly decrease);
    // the same entry is not copied again.
    store.Select(GpsTime(1316, 10800.0), selected);
    EXPECT_EQ(selected[0].toe, 7200.0);
    EXPECT_EQ(selected[0].af0, 1.5);
    EXPECT_EQ(store.validUntil.seconds, 10800.0);

    // Past the midpoint the last entry is chosen; only the ends of the fit
    // intervals limit the selection (satellite 6's toe 3600 comes first).
    store.Select(GpsTime(1316, 10801.0), selected);
    EXPECT_EQ(selected[0].toe, 14400.0);
    EXPECT_EQ(selected[0].af0, 0.0);
    EXPECT_EQ(store.validUntil.week, 1316);
    EXPECT_NEAR(store.validUntil.seconds, 3600.0 + 4 * 3600.0, 0.01);
}

// An ephemeris serves for four hours either side of its toe; beyond, the satellite
// has no usable orbit, and it has one again when the epochs come back in range.
TEST(EphemerisStore, SelectMarksAnEphemerisFarFromItsToeUnusable) {
    EphemerisStore store;
    ASSERT_TRUE(Add(store, 0, 1316, 100000.0));
    Ephemeris selected[kSatelliteCount];
    const struct {
        double seconds;  // of week 1316 (negative: the week before)
        int valid;
    } cases[] = {
        {100000.0 - 4 * 3600.0 - 1.0, 0}, {100000.0 - 4 * 3600.0, 1}, {100000.0, 1},
        {100000.0 + 4 * 3600.0, 1},       {100000.0 + 4 * 3600.0 + 1.0, 0}, {100000.0 + 7 * 86400.0, 0},
        {100000.0, 1},  // a recording that steps back in time
    };
    for (const auto& c : cases) {
        store.validUntil = GpsTime();  // as at the start of a pass
        store.Select(GpsTime(1316, 0.0).AddSeconds(c.seconds), selected);
        EXPECT_EQ(selected[0].valid, c.valid) << c.seconds;
    }
    // Moving forward through the interval without a restart: the reselection times
    // fall on its edges.
    store.validUntil = GpsTime();
    store.Select(GpsTime(1316, 80000.0), selected);
    EXPECT_EQ(selected[0].valid, 0);
    store.Select(GpsTime(1316, 85600.0), selected);
    EXPECT_EQ(selected[0].valid, 1);
    store.Select(GpsTime(1316, 114400.0), selected);
    EXPECT_EQ(selected[0].valid, 1);
    store.Select(GpsTime(1316, 114401.0), selected);
    EXPECT_EQ(selected[0].valid, 0);
}

TEST(EphemerisStore, SelectTakesTheEarliestReselectionOverAllSatellites) {
    EphemerisStore store;
    ASSERT_TRUE(Add(store, 3, 1316, 0.0));
    ASSERT_TRUE(Add(store, 3, 1316, 7200.0));
    ASSERT_TRUE(Add(store, 8, 1316, 0.0));
    ASSERT_TRUE(Add(store, 8, 1316, 3600.0));
    Ephemeris selected[kSatelliteCount];
    store.Select(GpsTime(1316, 100.0), selected);
    EXPECT_EQ(selected[3].toe, 0.0);
    EXPECT_EQ(selected[8].toe, 0.0);
    EXPECT_EQ(store.validUntil.seconds, 1800.0);
}

TEST(EphemerisStore, SelectBeforeTheFirstToeTakesTheFirst) {
    EphemerisStore store;
    ASSERT_TRUE(Add(store, 12, 1316, 7200.0));
    ASSERT_TRUE(Add(store, 12, 1316, 14400.0));
    Ephemeris selected[kSatelliteCount];
    store.Select(GpsTime(1315, 604000.0), selected);
    EXPECT_EQ(selected[12].toe, 7200.0);
    EXPECT_EQ(selected[12].satellite, 12);
    EXPECT_EQ(store.validUntil.week, 1316);
    EXPECT_EQ(store.validUntil.seconds, 10800.0);
}

TEST(EphemerisStore, FirstAndNextVisitEveryEphemerisInNavigationOrder) {
    EphemerisStore store;
    EXPECT_EQ(store.First(), nullptr);
    // Added in scrambled order; toes within 0.1 s count as the same toe.
    ASSERT_TRUE(Add(store, 17, 1316, 7200.0));
    ASSERT_TRUE(Add(store, 3, 1316, 7200.0));
    ASSERT_TRUE(Add(store, 9, 1317, 0.0));
    ASSERT_TRUE(Add(store, 3, 1316, 0.0));
    ASSERT_TRUE(Add(store, 31, 1316, 0.05));
    ASSERT_TRUE(Add(store, 0, 1316, 3600.0));
    ASSERT_TRUE(Add(store, 1, 1315, 604784.0));
    ASSERT_TRUE(Add(store, 9, 1316, 7200.0));
    ASSERT_TRUE(Add(store, 3, 1316, 14400.0));

    const std::vector<std::pair<int, double>> want = {
        {1, 604784.0}, {3, 0.0},    {31, 0.05},    {0, 3600.0}, {3, 7200.0},
        {9, 7200.0},   {17, 7200.0}, {3, 14400.0}, {9, 0.0}};
    std::vector<std::pair<int, double>> got;
    for (const Ephemeris* e = store.First(); e && got.size() < 20; e = store.Next(*e))
        got.emplace_back(e->satellite, e->toeTime.seconds);
    EXPECT_EQ(got, want);
    EXPECT_EQ(static_cast<int>(got.size()), store.Count());
}

TEST(EphemerisStore, FirstPrefersTheLowestSatelliteAmongEqualToes) {
    EphemerisStore store;
    ASSERT_TRUE(Add(store, 20, 1316, 7200.0));
    ASSERT_TRUE(Add(store, 6, 1316, 7200.08));
    ASSERT_TRUE(Add(store, 25, 1316, 7199.99));
    const Ephemeris* e = store.First();
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->satellite, 6);
}

TEST(EphemerisStore, ClearDeletesEverything) {
    EphemerisStore store;
    ASSERT_TRUE(Add(store, 0, 1316, 0.0));
    ASSERT_TRUE(Add(store, 31, 1316, 0.0));
    store.Clear();
    EXPECT_EQ(store.Count(), 0);
    EXPECT_EQ(store.First(), nullptr);
    Ephemeris selected[kSatelliteCount];
    selected[0].valid = 1;
    store.Select(GpsTime(1316, 0.0), selected);
    EXPECT_EQ(selected[0].valid, 0);
}

}  // namespace
