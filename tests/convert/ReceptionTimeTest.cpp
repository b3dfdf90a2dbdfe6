#include <gtest/gtest.h>

#include "convert/ReceptionTime.h"

namespace {

constexpr double kC = 299792458.0;
constexpr double kLambda1 = 299792458.0 / 1575.42e6;  // m
constexpr double kLambda2 = 299792458.0 / 1227.6e6;   // m

ObservationEpoch EpochAt(double seconds) {
    ObservationEpoch e;
    e.time = GpsTime(1316, seconds);
    return e;
}

}  // namespace

TEST(SignalStrength, Cn0RuleWithoutStatusByte) {
    EXPECT_EQ(Cn0Digit(0), 1);
    EXPECT_EQ(Cn0Digit(29), 1);
    EXPECT_EQ(Cn0Digit(30), 2);
    EXPECT_EQ(Cn0Digit(33), 5);
    EXPECT_EQ(Cn0Digit(34), 5);   // (1 - e^(-1/11.5)) * 5 + 5 = 5.42
    EXPECT_EQ(Cn0Digit(40), 7);   // (1 - e^(-7/11.5)) * 5 + 5 = 7.28
    EXPECT_EQ(Cn0Digit(255), 9);
    SatObservation sat;
    sat.SetValue(kC1, 0.07);
    sat.SetCn0(45);  // (1 - e^(-12/11.5)) * 5 + 5 = 8.24
    EXPECT_EQ(SignalStrengthDigit(sat, kC1), 8);
    EXPECT_EQ(SignalStrengthDigit(sat, kL2), 8);
}

TEST(SignalStrength, QualityTablesOfWrittenStatusBytes) {
    SatObservation sat;
    sat.SetCn0(50);
    sat.SetStatus(3, 0xF0);  // C1 DQI 15
    sat.SetStatus(0, 0xE0);  // L1 DQI 7
    sat.SetStatus(2, 0x30);  // P DQI 3
    sat.SetStatus(1, 0x40);  // L2 DQI 2
    EXPECT_EQ(SignalStrengthDigit(sat, kC1), 1);
    EXPECT_EQ(SignalStrengthDigit(sat, kL1), 1);
    EXPECT_EQ(SignalStrengthDigit(sat, kD1), 1);
    EXPECT_EQ(SignalStrengthDigit(sat, kP1), 8);
    EXPECT_EQ(SignalStrengthDigit(sat, kP2), 8);
    EXPECT_EQ(SignalStrengthDigit(sat, kL2), 8);
    EXPECT_EQ(SignalStrengthDigit(sat, kD2), 8);
    sat.SetStatus(3, 0xC5);  // DQI 12, lock bits do not matter
    EXPECT_EQ(SignalStrengthDigit(sat, kC1), 6);
    sat.SetStatus(0, 0x1F);  // DQI 0
    EXPECT_EQ(SignalStrengthDigit(sat, kL1), 9);
}

TEST(LossOfLock, LockChangeAndAntiSpoofingDigits) {
    SatObservation prev, cur;
    prev.SetValue(kL1, 1.0);
    prev.SetValue(kL2, 1.0);
    prev.SetStatus(0, 3);
    prev.SetStatus(1, 3);
    cur.SetStatus(0, 4);  // L1 lock changed
    cur.SetStatus(1, 3);  // L2 kept
    cur.SetAntiSpoofing(1);
    EXPECT_EQ(LliDigit(cur, prev, kL1), 1);
    EXPECT_EQ(LliDigit(cur, prev, kL2), 4);
    EXPECT_EQ(LliDigit(cur, prev, kP1), 4);
    EXPECT_EQ(LliDigit(cur, prev, kP2), 4);
    EXPECT_EQ(LliDigit(cur, prev, kD2), 4);
    EXPECT_EQ(LliDigit(cur, prev, kC1), 0);
    EXPECT_EQ(LliDigit(cur, prev, kD1), 0);
    cur.SetStatus(1, 9);  // L2 lock change wins over anti-spoofing
    EXPECT_EQ(LliDigit(cur, prev, kL2), 1);
    SatObservation none;  // previous epoch without the phase: no lock change
    EXPECT_EQ(LliDigit(cur, none, kL1), 0);
}

TEST(TransitTime, FoldsIntoTheHundredMillisecondWindow) {
    EXPECT_NEAR(TransitTime(0.071, 0.0), 0.071, 1e-15);
    EXPECT_NEAR(TransitTime(0.091, -0.08), 0.071, 1e-15);  // 0.171 s folds to 0.071 s
    EXPECT_NEAR(TransitTime(0.020, 0.0), 0.120, 1e-15);
    EXPECT_NEAR(TransitTime(0.0, 0.0), 0.1, 1e-15);
}

TEST(SatelliteDated, ExtrapolatesToReceptionTime) {
    PhaseOffsetTables tables;
    ObservationEpoch prev = EpochAt(100.0), cur = EpochAt(101.0);
    SatObservation& s = cur.Sat(4);
    s.SetValue(kC1, 0.071);
    s.SetValue(kD1, 1000.0);
    s.SetValue(kL1, 1234.25);
    s.SetCn0(40);
    RinexEpoch prevOut;
    RinexEpoch out = BuildSatelliteDated(cur, prev, 0.0, 0.075, false, prevOut, tables);
    EXPECT_EQ(out.time.week, 1316);
    EXPECT_NEAR(out.time.seconds, 101.075, 1e-9);
    EXPECT_EQ(out.epochFlag, 0);
    EXPECT_EQ(out.clockOffset, 0.0);
    const RinexSatValues& o = out.Sat(4);
    // delta = 0.071 - 0.075 = -0.004 s: C1 = 0.071 c + 0.004 * 1000 * lambda1.
    EXPECT_NEAR(o.value[kC1], 21285264.518 + 0.7611746912, 1e-6);
    // L1 = 1234.25 + 4 cycles, started at its fraction.
    EXPECT_NEAR(o.value[kL1], 0.25, 1e-9);
    EXPECT_EQ(tables.satelliteDatedL1[4], -1238);
    EXPECT_EQ(o.value[kD1], -1000.0);  // RINEX sign
    EXPECT_EQ(o.strength[kC1], 7);
    EXPECT_EQ(o.Mask(), (1u << kC1) | (1u << kL1) | (1u << kD1));
    EXPECT_EQ(out.Sat(0).Mask(), 0u);
}

TEST(SatelliteDated, RemovesTheReceiverClockOffset) {
    PhaseOffsetTables tables;
    ObservationEpoch prev = EpochAt(100.0), cur = EpochAt(101.0);
    SatObservation& s = cur.Sat(0);
    s.SetValue(kC1, 0.0765);  // 0.0755 s after removing 1 ms
    s.SetValue(kD1, -2000.0);
    s.SetValue(kL1, 10.5);
    RinexEpoch out = BuildSatelliteDated(cur, prev, 0.001, 0.075, false, RinexEpoch(), tables);
    // delta = 0.0005 s: C1 = 0.0755 c - 0.0005 * (-2000) * lambda1.
    EXPECT_NEAR(out.Sat(0).value[kC1], 0.0755 * kC + 1.0 * kLambda1, 1e-6);
    // L1 = 10.5 - 0.001 * 1575.42e6 + 1 = -1575408.5 cycles, written from its fraction.
    EXPECT_NEAR(out.Sat(0).value[kL1], -0.5, 1e-6);
    EXPECT_EQ(tables.satelliteDatedL1[0], 1575408);
    EXPECT_EQ(out.Sat(0).value[kD1], 2000.0);
}

TEST(SatelliteDated, NeedsCodeAndDoppler) {
    PhaseOffsetTables tables;
    ObservationEpoch prev = EpochAt(0), cur = EpochAt(1);
    cur.Sat(1).SetValue(kC1, 0.07);
    cur.Sat(1).SetValue(kL1, 5.0);
    RinexEpoch out = BuildSatelliteDated(cur, prev, 0, 0.075, false, RinexEpoch(), tables);
    EXPECT_EQ(out.Sat(1).Mask(), 0u);
}

TEST(SatelliteDated, SmoothedDopplerFromThePhaseChange) {
    PhaseOffsetTables tables;
    ObservationEpoch prev = EpochAt(100.0), cur = EpochAt(102.0);
    // Satellite 3: phase grew 2100 cycles in 2 s (1050 Hz), raw Doppler 1000 Hz.
    prev.Sat(3).SetValue(kL1, 9000.0);
    prev.Sat(3).SetStatus(0, 5);
    cur.Sat(3).SetValue(kL1, 1100.0);  // rolled over by 10000 cycles
    cur.Sat(3).SetStatus(0, 5);
    cur.Sat(3).SetValue(kC1, 0.085);
    cur.Sat(3).SetValue(kD1, 1000.0);
    // Satellite 7: lock changed; satellite 8: no L1 in the previous epoch.
    prev.Sat(7).SetValue(kL1, 1.0);
    prev.Sat(7).SetStatus(0, 1);
    cur.Sat(7).SetValue(kL1, 2.0);
    cur.Sat(7).SetStatus(0, 2);
    cur.Sat(7).SetValue(kC1, 0.07);
    cur.Sat(7).SetValue(kD1, 10.0);
    cur.Sat(8).SetValue(kL1, 2.0);
    cur.Sat(8).SetValue(kC1, 0.07);
    cur.Sat(8).SetValue(kD1, 10.0);
    RinexEpoch out = BuildSatelliteDated(cur, prev, 0.0, 0.075, true, RinexEpoch(), tables);
    // delta = 0.01 s with D = 1050 Hz: C1 = 0.085 c - 0.01 * 1050 * lambda1.
    EXPECT_NEAR(out.Sat(3).value[kC1], 0.085 * kC - 10.5 * kLambda1, 1e-6);
    EXPECT_NEAR(out.Sat(3).value[kL1], 0.5, 1e-9);  // 1100 - 10.5 cycles
    EXPECT_EQ(out.Sat(3).value[kD1], -1000.0);      // the raw Doppler, not the smoothed one
    EXPECT_EQ(out.Sat(7).Mask(), 0u);
    EXPECT_EQ(out.Sat(8).Mask(), 0u);
}

TEST(SatelliteDated, SecondFrequencyWithAntiSpoofing) {
    PhaseOffsetTables tables;
    ObservationEpoch prev = EpochAt(100.0), cur = EpochAt(101.0);
    SatObservation& s = cur.Sat(9);
    s.SetValue(kC1, 0.075);
    s.SetValue(kD1, 100.0);
    s.SetValue(kL2, 20.75);
    s.SetValue(kD2, 80.0);
    s.SetValue(kP2, 0.0751);
    s.SetAntiSpoofing(1);
    RinexEpoch out = BuildSatelliteDated(cur, prev, 0.0, 0.075, false, RinexEpoch(), tables);
    const RinexSatValues& o = out.Sat(9);
    EXPECT_NEAR(o.value[kC1], 0.075 * kC, 1e-6);
    // delta_P = 0 from C1; P2 = 0.0751 c.
    EXPECT_NEAR(o.value[kP2], 0.0751 * kC, 1e-6);
    EXPECT_NEAR(o.value[kL2], 0.75, 1e-9);
    EXPECT_EQ(o.value[kD2], -80.0);
    EXPECT_EQ(o.lli[kL2], 4);
    EXPECT_EQ(o.lli[kP2], 4);
    EXPECT_EQ(o.lli[kD2], 4);
    EXPECT_EQ(o.lli[kC1], 0);
    EXPECT_EQ(o.lli[kD1], 0);
    // Smoothed without L2 in either epoch: L2, D2 and P2 are left out, L1 side kept.
    prev.Sat(9).SetValue(kL1, 1.0);
    s.SetValue(kL1, 101.0);
    out = BuildSatelliteDated(cur, prev, 0.0, 0.075, true, RinexEpoch(), tables);
    EXPECT_EQ(out.Sat(9).Mask(), (1u << kC1) | (1u << kL1) | (1u << kD1));
}

TEST(ReceiverDated, ScalesAndKeepsPhasesContinuousOverARollOver) {
    PhaseOffsetTables tables;
    ObservationEpoch e1 = EpochAt(0.0), e2 = EpochAt(1.0);
    e1.Sat(2).SetValue(kC1, 0.07);
    e1.Sat(2).SetValue(kL1, 9990.25);
    e1.Sat(2).SetStatus(0, 7);
    e1.Sat(2).SetValue(kD1, 10.0);
    e1.Sat(2).SetValue(kP2, 0.0700001);
    e1.Sat(2).SetValue(kL2, 3.5);
    e1.Sat(2).SetStatus(1, 1);
    RinexEpoch out1 = BuildReceiverDated(e1, ObservationEpoch(), RinexEpoch(), tables);
    EXPECT_NEAR(out1.Sat(2).value[kC1], 0.07 * kC, 1e-6);
    EXPECT_NEAR(out1.Sat(2).value[kP2], 0.0700001 * kC, 1e-6);
    EXPECT_NEAR(out1.Sat(2).value[kL1], 0.25, 1e-9);
    EXPECT_NEAR(out1.Sat(2).value[kL2], 0.5, 1e-9);
    EXPECT_EQ(out1.Sat(2).value[kD1], -10.0);
    EXPECT_EQ(tables.receiverDatedL1[2], -9990);
    EXPECT_EQ(tables.receiverDatedL2[2], -3);
    // Range grows by 10 L1 cycles; the raw phase wraps from 9990.25 to 0.25.
    e2.Sat(2).SetValue(kC1, 0.07 + 10.0 * kLambda1 / kC);
    e2.Sat(2).SetValue(kL1, 0.25);
    e2.Sat(2).SetStatus(0, 7);
    e2.Sat(2).SetValue(kL2, 3.5 + 10.0 * kLambda1 / kLambda2);
    e2.Sat(2).SetStatus(1, 1);
    RinexEpoch out2 = BuildReceiverDated(e2, e1, out1, tables);
    EXPECT_NEAR(out2.Sat(2).value[kL1], 10.25, 1e-6);
    EXPECT_NEAR(out2.Sat(2).value[kL2], 0.5 + 10.0 * 1227.6 / 1575.42, 1e-6);
    EXPECT_EQ(out2.Sat(2).lli[kL1], 0);
    // A lock change restarts the phase at its fraction with LLI 1.
    ObservationEpoch e3 = e2;
    e3.time = GpsTime(1316, 2.0);
    e3.Sat(2).SetValue(kL1, 4321.625);
    e3.Sat(2).SetStatus(0, 8);
    RinexEpoch out3 = BuildReceiverDated(e3, e2, out2, tables);
    EXPECT_NEAR(out3.Sat(2).value[kL1], 0.625, 1e-9);
    EXPECT_EQ(out3.Sat(2).lli[kL1], 1);
    EXPECT_EQ(tables.receiverDatedL1[2], -4321);
    EXPECT_EQ(tables.satelliteDatedL1[2], 0);  // the other kind's tables untouched
}

TEST(ExtrapolationComment, NamesTxAndDopplerKind) {
    EXPECT_EQ(ExtrapolationComment(0.1, true), "( Tr = Ts + 100 ms, using smoothed dopplers )");
    EXPECT_EQ(ExtrapolationComment(0.075, false), "( Tr = Ts + 75 ms, using instantaneous dopplers )");
    EXPECT_EQ(ExtrapolationComment(0.0, false), "( Tr = Ts + 0 ms, using instantaneous dopplers )");
}

TEST(ReceiverDated, PhaseAfterAGapStartsANewArcWithLossOfLock) {
    PhaseOffsetTables tables;
    ObservationEpoch e1 = EpochAt(0.0), e2 = EpochAt(30.0), e3 = EpochAt(60.0);
    e1.Sat(0).SetValue(kC1, 0.07);
    e1.Sat(0).SetValue(kL1, 100.25);
    e2.Sat(0).SetValue(kC1, 0.07);  // no phase in this epoch
    e3.Sat(0).SetValue(kC1, 0.07);
    e3.Sat(0).SetValue(kL1, 7777.75);
    e3.Sat(1).SetValue(kC1, 0.08);  // a satellite seen for the first time
    e3.Sat(1).SetValue(kL1, 5.5);
    const RinexEpoch out1 = BuildReceiverDated(e1, ObservationEpoch(), RinexEpoch(), tables);
    EXPECT_EQ(out1.Sat(0).lli[kL1], 0);  // first output epoch of a pass: no flag
    const RinexEpoch out2 = BuildReceiverDated(e2, e1, out1, tables);
    EXPECT_FALSE(out2.Sat(0).Has(kL1));
    const RinexEpoch out3 = BuildReceiverDated(e3, e2, out2, tables);
    EXPECT_NEAR(out3.Sat(0).value[kL1], 0.75, 1e-9);
    EXPECT_EQ(out3.Sat(0).lli[kL1], 1);
    EXPECT_EQ(out3.Sat(1).lli[kL1], 1);
}

TEST(SatelliteDated, PCodeOnL1AndNoSecondFrequencyWithoutD2) {
    PhaseOffsetTables tables;
    ObservationEpoch prev = EpochAt(100.0), cur = EpochAt(101.0);
    SatObservation& s = cur.Sat(11);
    s.SetValue(kC1, 0.071);
    s.SetValue(kD1, 1000.0);
    s.SetValue(kP1, 0.0710001);
    s.SetValue(kL2, 20.75);  // L2 and P2 without D2: left out
    s.SetValue(kP2, 0.0710002);
    s.SetAntiSpoofing(1);
    const RinexEpoch out = BuildSatelliteDated(cur, prev, 0.0, 0.075, false, RinexEpoch(), tables);
    const RinexSatValues& o = out.Sat(11);
    EXPECT_EQ(o.Mask(), (1u << kC1) | (1u << kD1) | (1u << kP1));
    // delta = 0.071 - 0.075 = -0.004 s from C1, moved with D1 on the L1 wavelength.
    EXPECT_NEAR(o.value[kP1], 0.0710001 * kC + 4.0 * kLambda1, 1e-6);
    EXPECT_EQ(o.lli[kP1], 4);
    EXPECT_EQ(o.lli[kC1], 0);
    EXPECT_EQ(tables.satelliteDatedL2[11], 0);
}

TEST(SatelliteDated, SmoothedSecondFrequencyFromTheL2PhaseChange) {
    PhaseOffsetTables tables;
    ObservationEpoch prev = EpochAt(100.0), cur = EpochAt(102.0);
    prev.Sat(6).SetValue(kL1, 0.0);
    prev.Sat(6).SetValue(kL2, 5000.0);
    SatObservation& s = cur.Sat(6);
    s.SetValue(kC1, 0.085);  // delta = 0.01 s
    s.SetValue(kD1, 1000.0);
    s.SetValue(kL1, 2000.0);
    s.SetValue(kL2, 6700.0);  // 1700 cycles in 2 s: 850 Hz against a raw 800 Hz
    s.SetValue(kD2, 800.0);
    s.SetValue(kP2, 0.0850002);
    const RinexEpoch out = BuildSatelliteDated(cur, prev, 0.0, 0.075, true, RinexEpoch(), tables);
    const RinexSatValues& o = out.Sat(6);
    EXPECT_NEAR(o.value[kL2], 0.5, 1e-9);  // 6700 - 0.01 * 850, from its fraction
    EXPECT_EQ(tables.satelliteDatedL2[6], -6691);
    EXPECT_NEAR(o.value[kP2], 0.0850002 * kC - 8.5 * kLambda2, 1e-6);
    EXPECT_EQ(o.value[kD2], -800.0);  // the raw D2 with the RINEX sign
    EXPECT_NEAR(o.value[kC1], 0.085 * kC - 10.0 * kLambda1, 1e-6);
}
