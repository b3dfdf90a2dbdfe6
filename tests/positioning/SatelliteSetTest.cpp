#include <gtest/gtest.h>

#include "positioning/SatelliteSet.h"

TEST(SatelliteSet, EmptySetHasNoMembers) {
    SatelliteSet s;
    EXPECT_EQ(s.Count(), 0);
    EXPECT_EQ(s.First(), -1);
    EXPECT_EQ(s.Next(-1), -1);
    EXPECT_FALSE(s.Contains(0));
}

TEST(SatelliteSet, IteratesInAscendingSlotOrder) {
    SatelliteSet s;
    s.Add(31);
    s.Add(4);
    s.Add(0);
    s.Add(17);
    s.Add(4);
    EXPECT_EQ(s.Count(), 4);
    EXPECT_EQ(s.Mask(), 0x80020011u);
    EXPECT_EQ(s.First(), 0);
    EXPECT_EQ(s.Next(0), 4);
    EXPECT_EQ(s.Next(4), 17);
    EXPECT_EQ(s.Next(5), 17);
    EXPECT_EQ(s.Next(17), 31);
    EXPECT_EQ(s.Next(31), -1);
    EXPECT_TRUE(s.Contains(31));
    EXPECT_FALSE(s.Contains(30));
}

TEST(SatelliteSet, OutOfRangeSlotsAreNeitherAddedNorFound) {
    SatelliteSet s;
    s.Add(32);
    s.Add(-1);
    EXPECT_EQ(s.Count(), 0);
    EXPECT_FALSE(s.Contains(32));
    s.Add(3);
    s.Clear();
    EXPECT_EQ(s.First(), -1);
}
