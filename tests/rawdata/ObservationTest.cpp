#include "rawdata/Observation.h"

#include <gtest/gtest.h>

namespace {

TEST(SatObservation, SettingAValueSetsItsMaskBit) {
    SatObservation s;
    EXPECT_EQ(s.Mask(), 0);
    EXPECT_FALSE(s.Present());
    s.SetValue(kC1, 0.07);
    EXPECT_EQ(s.Mask(), 0x0008);
    s.SetValue(kL1, 1234.5);
    s.SetValue(kP1, 0.071);
    EXPECT_EQ(s.Mask(), 0x0049);
    EXPECT_TRUE(s.Has(kL1));
    EXPECT_TRUE(s.Has(kC1));
    EXPECT_TRUE(s.Has(kP1));
    EXPECT_FALSE(s.Has(kL2));
    EXPECT_FALSE(s.Has(kD1));
    EXPECT_TRUE(s.Present());
    // Setting a value of zero still marks the measurement present.
    s.SetValue(kD2, 0.0);
    EXPECT_EQ(s.Mask(), 0x0069);
}

TEST(SatObservation, SettingAStatusSetsBitSevenPlusIndex) {
    SatObservation s;
    s.SetStatus(0, 0x21);
    EXPECT_EQ(s.Mask(), 0x0080);
    s.SetStatus(3, 0x5F);
    EXPECT_EQ(s.Mask(), 0x0480);
    s.SetStatus(1, 0);
    s.SetStatus(2, 0);
    EXPECT_EQ(s.Mask(), 0x0780);
    EXPECT_EQ(s.status[0], 0x21);
    EXPECT_EQ(s.status[3], 0x5F);
    // A status index beyond 3 wraps onto 0..3.
    SatObservation w;
    w.SetStatus(5, 0x44);
    EXPECT_EQ(w.status[1], 0x44);
    EXPECT_EQ(w.Mask(), 0x0100);
}

TEST(SatObservation, Cn0AndAntiSpoofingLeaveTheMask) {
    SatObservation s;
    s.SetCn0(45);
    s.SetAntiSpoofing(1);
    EXPECT_EQ(s.cn0, 45);
    EXPECT_EQ(s.antiSpoofing, 1);
    EXPECT_EQ(s.Mask(), 0);
    EXPECT_FALSE(s.Present());
}

TEST(SatObservation, LockCounterAndQuality) {
    SatObservation s;
    s.SetStatus(0, 0xB7);  // 101 10111
    s.SetStatus(1, 0x3F);  // 001 11111
    s.SetStatus(2, 0xB7);  // 1011 0111
    s.SetStatus(3, 0x0A);
    EXPECT_EQ(s.LockCounter(0), 0x17);
    EXPECT_EQ(s.LockCounter(1), 0x1F);
    EXPECT_EQ(s.Quality(0), 5);
    EXPECT_EQ(s.Quality(1), 1);
    EXPECT_EQ(s.Quality(2), 11);
    EXPECT_EQ(s.Quality(3), 0);
}

TEST(ObservationEpoch, ClearZeroesEverything) {
    ObservationEpoch e;
    e.time = GpsTime(1316, 518400.0);
    e.Sat(31).SetValue(kL2, 5.0);
    e.Sat(31).SetStatus(1, 7);
    e.Sat(0).SetCn0(40);
    e.AddToMask(0x0002);
    e.Clear();
    EXPECT_EQ(e.time.week, 0);
    EXPECT_EQ(e.time.seconds, 0.0);
    EXPECT_EQ(e.Mask(), 0);
    for (int i = 0; i < kSatelliteCount; ++i) {
        const SatObservation& s = e.Sat(i);
        EXPECT_EQ(s.Mask(), 0);
        EXPECT_EQ(s.cn0, 0);
        EXPECT_EQ(s.antiSpoofing, 0);
        for (double v : s.value) EXPECT_EQ(v, 0.0);
        for (uint8_t b : s.status) EXPECT_EQ(b, 0);
    }
}

TEST(ObservationEpoch, AddToMaskAccumulates) {
    ObservationEpoch e;
    e.AddToMask(0x0009);
    e.AddToMask(0x0041);
    EXPECT_EQ(e.Mask(), 0x0049);
}

TEST(ObservationEpoch, NormaliseReducesCodesAndPhasesOnly) {
    ObservationEpoch e;
    SatObservation& s = e.Sat(4);
    s.SetValue(kC1, 0.1712345);
    s.SetValue(kP1, 0.0712345);
    s.SetValue(kP2, 0.3012345);
    s.SetValue(kL1, 123456.25);
    s.SetValue(kL2, -23456.5);
    s.SetValue(kD1, -1234.5);
    s.SetValue(kD2, 98765.25);
    e.Normalise();
    EXPECT_NEAR(s.value[kC1], 0.0712345, 1e-15);
    EXPECT_DOUBLE_EQ(s.value[kP1], 0.0712345);  // already reduced: unchanged
    EXPECT_NEAR(s.value[kP2], 0.0012345, 1e-15);
    EXPECT_DOUBLE_EQ(s.value[kL1], 3456.25);
    EXPECT_DOUBLE_EQ(s.value[kL2], -3456.5);  // remainder keeps the dividend's sign
    EXPECT_DOUBLE_EQ(s.value[kD1], -1234.5);
    EXPECT_DOUBLE_EQ(s.value[kD2], 98765.25);
}

TEST(ObservationEpoch, NormaliseSkipsAbsentMeasurementsAndSatellites) {
    ObservationEpoch e;
    // A value stored without its mask bit is not a measurement and is left alone.
    e.Sat(2).value[kC1] = 0.35;
    e.Sat(3).SetValue(kC1, 0.25);
    e.Sat(3).value[kL1] = 20000.5;
    e.Normalise();
    EXPECT_DOUBLE_EQ(e.Sat(2).value[kC1], 0.35);
    EXPECT_NEAR(e.Sat(3).value[kC1], 0.05, 1e-15);
    EXPECT_DOUBLE_EQ(e.Sat(3).value[kL1], 20000.5);
}

}  // namespace
