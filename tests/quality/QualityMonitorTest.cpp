// The rules of the quality statistics on small hand-made epoch sequences: completeness
// and gaps, flagged and found slips, multipath arcs, the position scatter and the
// bounds of the plot series.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "positioning/GeoPosition.h"
#include "quality/QualityMonitor.h"

namespace {

constexpr double kLambda1 = 299792458.0 / 1575.42e6;  // m
constexpr double kLambda2 = 299792458.0 / 1227.6e6;   // m
constexpr int kSat = 4;                               // G05

// Epoch k of a 30 s recording.
QualityEpoch At(double k) {
    QualityEpoch e;
    e.time = GpsTime(2300, 259200.0 + 30.0 * k);
    return e;
}

// Dual-frequency values of one satellite: codes near 20000 km, phases of 0 cycles plus
// the given offsets, so that MP1 = C1 and MP2 = P2.
void Dual(QualitySatellite& s, double c1 = 2e7, double p2 = 2e7, double l1 = 0, double l2 = 0, int lli1 = 0,
          int lli2 = 0) {
    s.SetValue(kC1, c1);
    s.SetValue(kP2, p2);
    s.SetValue(kL1, l1, lli1);
    s.SetValue(kL2, l2, lli2);
}

struct GapCase {
    const char* name;
    int epochs;                    // on the 30 s grid
    std::vector<int> missing;      // epoch numbers left out
    double interval;               // given, or 0 from the data
    long long written, expected;
    double completeness;
    std::vector<std::pair<int, int>> gaps;  // first and last missing epoch numbers
};

TEST(QualityMonitor, CompletenessAndGaps) {
    auto range = [](int a, int b) {
        std::vector<int> v;
        for (int k = a; k <= b; ++k) v.push_back(k);
        return v;
    };
    std::vector<int> twoHoles = range(40, 59);
    for (int k : range(70, 72)) twoHoles.push_back(k);
    const GapCase cases[] = {
        {"whole", 100, {}, 0, 100, 100, 100.0, {}},
        {"holes of 20 and 3", 100, twoHoles, 0, 77, 100, 77.0, {{40, 59}}},
        {"holes of 20 and 3, interval given", 100, twoHoles, 30, 77, 100, 77.0, {{40, 59}}},
        {"10 missing: 11 intervals", 50, range(20, 29), 0, 40, 50, 80.0, {{20, 29}}},
        {"9 missing: 10 intervals", 50, range(20, 28), 0, 41, 50, 82.0, {}},
        {"interval given twice the spacing", 11, {}, 60, 11, 6, 1100.0 / 6, {}},
    };
    for (const GapCase& c : cases) {
        QualityOptions options;
        options.interval = c.interval;
        QualityMonitor monitor(options);
        for (int k = 0; k < c.epochs; ++k) {
            if (std::find(c.missing.begin(), c.missing.end(), k) != c.missing.end()) continue;
            QualityEpoch e = At(k);
            Dual(e.sat[kSat]);
            monitor.AddEpoch(e, nullptr);
        }
        const QualitySummary q = monitor.Summary();
        EXPECT_EQ(q.epochsWritten, c.written) << c.name;
        EXPECT_EQ(q.epochsExpected, c.expected) << c.name;
        EXPECT_NEAR(q.completeness, c.completeness, 1e-9) << c.name;
        ASSERT_EQ(q.gaps.size(), c.gaps.size()) << c.name;
        for (size_t i = 0; i < c.gaps.size(); ++i) {
            EXPECT_EQ(q.gaps[i].firstMissing, At(c.gaps[i].first).time) << c.name;
            EXPECT_EQ(q.gaps[i].lastMissing, At(c.gaps[i].second).time) << c.name;
        }
    }
}

// One epoch of one satellite in a slip case.
struct Step {
    double at;  // epoch number (30 s grid)
    bool present = true;
    bool l1 = true, l2 = true;
    int lli1 = 0, lli2 = 0;
    double dl1 = 0, dl2 = 0;  // cycles added to L1, L2
    double dc1 = 0;           // m added to C1
};

struct SlipCase {
    const char* name;
    std::vector<Step> steps;
    long long flagged, found;
};

TEST(QualityMonitor, FlaggedAndFoundSlipsFollowTheRules) {
    const double l1For = 1.0 / kLambda1;  // cycles of L1 that move lambda1 L1 by 1 m
    const double l2For = 1.0 / kLambda2;
    const SlipCase cases[] = {
        // Flags.
        {"flag on L1 after L1", {{0}, {1, true, true, true, 1}}, 1, 0},
        {"flag in the first epoch", {{0, true, true, true, 1, 1}}, 0, 0},
        {"flag when the satellite returns", {{0}, {1, false}, {2, true, true, true, 1}}, 0, 0},
        {"flag on L2 starting again beside L1", {{0, true, true, false}, {1, true, true, true, 0, 1}}, 0, 0},
        {"flags on L1 and L2 count once", {{0}, {1, true, true, true, 1, 1}}, 1, 0},
        {"anti-spoofing 4 is no flag, 5 is", {{0}, {1, true, true, true, 0, 4}, {2, true, true, true, 0, 5}}, 1, 0},
        {"flag after missing epochs", {{0}, {5, true, true, true, 1}}, 1, 0},
        // Jumps of the ionospheric residual lambda1 L1 - lambda2 L2 (0.10 m).
        {"residual 0.09 m", {{0}, {1, true, true, true, 0, 0, 0.09 * l1For}}, 0, 0},
        {"residual 0.11 m", {{0}, {1, true, true, true, 0, 0, 0.11 * l1For}}, 0, 1},
        {"residual -0.11 m through L2", {{0}, {1, true, true, true, 0, 0, 0, 0.11 * l2For}}, 0, 1},
        {"1 cycle on both: 0.054 m", {{0}, {1, true, true, true, 0, 0, 1, 1}}, 0, 0},
        {"2 cycles on both: 0.108 m", {{0}, {1, true, true, true, 0, 0, 2, 2}}, 0, 1},
        {"a flagged jump is found too", {{0}, {1, true, true, true, 1, 0, 7, 0}}, 1, 1},
        {"no look across a missing epoch", {{0}, {1}, {3, true, true, true, 0, 0, 100, 0}}, 0, 0},
        // Single frequency: lambda1 L1 - C1 (10 m).
        {"code-carrier 9 m", {{0, true, true, false}, {1, true, true, false, 0, 0, 0, 0, 9}}, 0, 0},
        {"code-carrier 11 m", {{0, true, true, false}, {1, true, true, false, 0, 0, 0, 0, -11}}, 0, 1},
        {"code-carrier 11 m through L1", {{0, true, true, false}, {1, true, true, false, 0, 0, 11 * l1For}}, 0, 1},
    };
    for (const SlipCase& c : cases) {
        QualityMonitor monitor;
        double l1 = 0, l2 = 0, c1 = 2e7;
        for (const Step& s : c.steps) {
            QualityEpoch e = At(s.at);
            e.sat[0].SetValue(kC1, 2.1e7);  // another satellite, always there
            l1 += s.dl1;
            l2 += s.dl2;
            c1 += s.dc1;
            if (s.present) {
                QualitySatellite& v = e.sat[kSat];
                v.SetValue(kC1, c1);
                if (s.l1) v.SetValue(kL1, l1, s.lli1);
                if (s.l2) v.SetValue(kL2, l2, s.lli2);
            }
            monitor.AddEpoch(e, nullptr);
        }
        const QualitySummary q = monitor.Summary();
        EXPECT_EQ(q.satellites[kSat].slipsFlagged, c.flagged) << c.name;
        EXPECT_EQ(q.satellites[kSat].slipsFound, c.found) << c.name;
        EXPECT_EQ(q.slipsFlagged, c.flagged) << c.name;
        EXPECT_EQ(q.slipsFound, c.found) << c.name;
        EXPECT_EQ(static_cast<long long>(monitor.Series().slips.size()), c.flagged || c.found ? 1 : 0) << c.name;
    }
}

struct ArcCase {
    const char* name;
    int epochs;
    std::vector<int> cuts;    // epochs flagged on L1, after which C1 and P2 move by 100 m
    std::vector<int> missing;
    long long mpEpochs;
    double mp1, mp2;          // m, NaN: none
};

TEST(QualityMonitor, MultipathArcsRemoveTheirMeansAndShortOnesAreLeftOut) {
    const double none = NAN;
    const ArcCase cases[] = {
        {"9 epochs", 9, {}, {}, 0, none, none},
        {"10 epochs", 10, {}, {}, 10, 0.5, 0.3},
        {"10 and 10 epochs, cut by a flag", 20, {10}, {}, 20, 0.5, 0.3},
        {"10 and 9 epochs, cut by a flag", 19, {10}, {}, 10, 0.5, 0.3},
        {"10 and 10 epochs, cut by a missing epoch", 21, {11}, {10}, 20, 0.5, 0.3},
    };
    for (const ArcCase& c : cases) {
        QualityMonitor monitor;
        double offset = 0;
        for (int k = 0; k < c.epochs; ++k) {
            const bool cut = std::find(c.cuts.begin(), c.cuts.end(), k) != c.cuts.end();
            if (cut) offset += 100;
            if (std::find(c.missing.begin(), c.missing.end(), k) != c.missing.end()) continue;
            QualityEpoch e = At(k);
            const double sign = k % 2 ? 1 : -1;
            Dual(e.sat[kSat], 2e7 + offset + 0.5 * sign, 2e7 - offset + 0.3 * sign, 0, 0, cut ? 1 : 0);
            monitor.AddEpoch(e, nullptr);
        }
        const QualitySummary q = monitor.Summary();
        EXPECT_EQ(q.multipathEpochs, c.mpEpochs) << c.name;
        if (std::isnan(c.mp1)) {
            EXPECT_TRUE(std::isnan(q.mp1Rms) && std::isnan(q.satellites[kSat].mp1Rms)) << c.name;
            continue;
        }
        EXPECT_NEAR(q.mp1Rms, c.mp1, 1e-6) << c.name;
        EXPECT_NEAR(q.mp2Rms, c.mp2, 1e-6) << c.name;
        EXPECT_NEAR(q.satellites[kSat].mp1Rms, c.mp1, 1e-6) << c.name;
        for (const SatelliteSample& s : monitor.Series().satellites) {
            if (!std::isnan(s.mp1)) {
                EXPECT_NEAR(std::fabs(s.mp1), 0.5, 1e-6) << c.name;
            }
        }
    }
}

TEST(QualityMonitor, PositionMeanStandardDeviationsAndNinetyFivePercent) {
    GeoPosition station;
    station.SetCartesian(-3976219.5082, 3382372.5671, 3652512.9849);
    QualityMonitor monitor;
    // 38 fixes 1 m north or south, 2 fixes 10 m east or west; all 2 m up or down.
    for (int k = 0; k < 43; ++k) {
        QualityEpoch e = At(k);
        Dual(e.sat[kSat]);
        if (k < 40) {
            GeoPosition p = station;
            const double sign = k % 2 ? 1 : -1;
            p.OffsetLocal(k < 38 ? sign : 0, k < 38 ? 0 : 10 * sign, 2 * sign);
            e.fixed = true;
            e.x = p.X();
            e.y = p.Y();
            e.z = p.Z();
        }
        monitor.AddEpoch(e, nullptr);
    }
    const QualitySummary q = monitor.Summary();
    const PositionQuality& p = q.position;
    EXPECT_EQ(p.epochsFixed, 40);
    EXPECT_EQ(q.epochsUnfixed, 3);
    EXPECT_NEAR(p.x, station.X(), 1e-4);
    EXPECT_NEAR(p.y, station.Y(), 1e-4);
    EXPECT_NEAR(p.z, station.Z(), 1e-4);
    EXPECT_NEAR(p.latitude, station.Latitude() * 180 / M_PI, 1e-9);
    EXPECT_NEAR(p.longitude, station.Longitude() * 180 / M_PI, 1e-9);
    EXPECT_NEAR(p.height, station.Height(), 1e-4);
    EXPECT_NEAR(p.stdNorth, std::sqrt(0.95), 1e-5);
    EXPECT_NEAR(p.stdEast, std::sqrt(5.0), 1e-5);
    EXPECT_NEAR(p.stdUp, 2.0, 1e-5);
    EXPECT_NEAR(p.p95Horizontal, 1.0, 1e-4);  // the 38th of 40 radii
    EXPECT_NEAR(p.p95Vertical, 2.0, 1e-4);
    // The plot series holds the fixes about their mean.
    const QualitySeries s = monitor.Series();
    ASSERT_EQ(s.epochs.size(), 43u);
    EXPECT_NEAR(s.epochs[0].north, -1.0, 1e-4);
    EXPECT_NEAR(s.epochs[39].east, 10.0, 1e-4);
    EXPECT_TRUE(std::isnan(s.epochs[42].up));
}

TEST(QualityMonitor, SeriesStayBoundedOverALongRecording) {
    QualityOptions options;
    options.interval = 1;
    QualityMonitor monitor(options);
    const int kEpochs = 100000, kSatellites = 8;
    unsigned noise = 12345;
    auto next = [&] {
        noise = noise * 1103515245u + 12345u;
        return static_cast<double>((noise >> 8) & 0xFFFF) / 65536.0 - 0.5;
    };
    for (int k = 0; k < kEpochs; ++k) {
        QualityEpoch e;
        e.time = GpsTime(2300, 100.0 + k);
        for (int s = 0; s < kSatellites; ++s) {
            // A flagged loss of lock on each satellite every 500 epochs: many arcs.
            Dual(e.sat[s], 2e7 + next(), 2e7 + next(), 0, 0, (k + 37 * s) % 500 == 0 ? 1 : 0);
        }
        e.fixed = true;
        e.x = -3976219.5 + 3 * next();
        e.y = 3382372.6 + 3 * next();
        e.z = 3652513.0 + 3 * next();
        monitor.AddEpoch(e, nullptr);
    }
    const QualitySeries s = monitor.Series();
    EXPECT_LE(s.satellites.size(), options.satelliteSeriesPoints);
    EXPECT_GT(s.satellites.size(), options.satelliteSeriesPoints / 2);
    EXPECT_LE(s.epochs.size(), options.epochSeriesPoints);
    EXPECT_GT(s.epochs.size(), options.epochSeriesPoints / 2);
    EXPECT_LE(s.slips.size(), options.slipSeriesPoints);
    EXPECT_GT(s.slips.size(), options.slipSeriesPoints / 2);  // 1600 slips in all
    // Evenly spread over the whole recording, and every sampled multipath point resolved.
    EXPECT_GT(s.epochs.back().time, 0.99 * (kEpochs - 1) - 100);
    int resolved = 0;
    for (const SatelliteSample& p : s.satellites) resolved += !std::isnan(p.mp1);
    EXPECT_GT(resolved, static_cast<int>(s.satellites.size()) * 9 / 10);
    const QualitySummary q = monitor.Summary();
    EXPECT_EQ(q.slipsFlagged, kSatellites * (kEpochs / 500) - 1);  // not at epoch 0
    EXPECT_NEAR(q.mp1Rms, 1.0 / std::sqrt(12.0), 0.01);               // uniform noise of width 1 m
    EXPECT_NEAR(q.position.stdNorth, 3.0 / std::sqrt(12.0), 0.05);
}

}  // namespace
