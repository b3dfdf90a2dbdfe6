// The quality statistics of a real recording (GEONET station 0759, one hour at 30 s,
// L1 C1 L2 P2) against a separate batch computation over the whole file.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "quality/QualityMonitor.h"
#include "tests/quality/QualityTestSupport.h"

namespace {

// Multipath RMS and slip counts of one satellite, computed in one pass over all epochs
// with the arcs held whole, so that each arc's mean is known before its deviations.
struct BatchFigures {
    double mp1Rms = NAN, mp2Rms = NAN;
    long long mpEpochs = 0;
    long long flagged = 0, found = 0;
};

BatchFigures Batch(const std::vector<QualityEpoch>& epochs, int s) {
    const double c = 299792458.0, f1 = 1575.42e6, f2 = 1227.6e6;
    const double w1 = c / f1, w2 = c / f2, a = (f1 / f2) * (f1 / f2);
    BatchFigures out;
    std::vector<std::vector<double>> arcs1, arcs2;
    std::vector<double> arc1, arc2;
    auto endArc = [&] {
        if (arc1.size() >= 10) {
            arcs1.push_back(arc1);
            arcs2.push_back(arc2);
        }
        arc1.clear();
        arc2.clear();
    };
    bool hadL1 = false, hadL2 = false, hadIono = false, hadCmc = false;
    double iono = 0, cmc = 0;
    for (const QualityEpoch& e : epochs) {
        const QualitySatellite& v = e.sat[s];
        if (!v.Present()) {
            endArc();
            hadL1 = hadL2 = hadIono = hadCmc = false;
            continue;
        }
        const bool l1 = v.Has(kL1), l2 = v.Has(kL2), c1 = v.Has(kC1), p2 = v.Has(kP2);
        const bool flag = (l1 && (v.lli[kL1] & 1) && hadL1) || (l2 && (v.lli[kL2] & 1) && hadL2);
        bool jump = false;
        if (l1 && l2 && hadIono)
            jump = std::fabs(w1 * v.value[kL1] - w2 * v.value[kL2] - iono) > 0.10;
        else if (l1 && c1 && hadCmc)
            jump = std::fabs(w1 * v.value[kL1] - v.value[kC1] - cmc) > 10.0;
        out.flagged += flag;
        out.found += jump;
        const bool full = l1 && l2 && c1 && p2;
        if (flag || jump || !full) endArc();
        if (full) {
            const double L1 = w1 * v.value[kL1], L2 = w2 * v.value[kL2];
            arc1.push_back(v.value[kC1] - (1 + 2 / (a - 1)) * L1 + 2 / (a - 1) * L2);
            arc2.push_back(v.value[kP2] - 2 * a / (a - 1) * L1 + (2 * a / (a - 1) - 1) * L2);
        }
        hadL1 = l1;
        hadL2 = l2;
        hadIono = l1 && l2;
        hadCmc = l1 && c1;
        if (hadIono) iono = w1 * v.value[kL1] - w2 * v.value[kL2];
        if (hadCmc) cmc = w1 * v.value[kL1] - v.value[kC1];
    }
    endArc();
    auto rms = [&](const std::vector<std::vector<double>>& list) {
        double squares = 0;
        long long n = 0;
        for (const std::vector<double>& arc : list) {
            double mean = 0;
            for (double x : arc) mean += x;
            mean /= static_cast<double>(arc.size());
            for (double x : arc) squares += (x - mean) * (x - mean);
            n += static_cast<long long>(arc.size());
        }
        out.mpEpochs = n;
        return n > 0 ? std::sqrt(squares / static_cast<double>(n)) : NAN;
    };
    out.mp1Rms = rms(arcs1);
    out.mp2Rms = rms(arcs2);
    return out;
}

TEST(RealRecording, GeonetHourAgreesWithTheBatchComputation) {
    double station[3];
    const std::vector<QualityEpoch> epochs = ReadQualityEpochs(QualityTestData("07590920.05o"), station);
    const std::vector<Ephemeris> nav = ReadEphemerides(QualityTestData("07590920.05n"));
    ASSERT_EQ(epochs.size(), 120u);
    // The receiver steps its epochs by a few milliseconds now and then.
    for (size_t i = 1; i < epochs.size(); ++i) ASSERT_NEAR(epochs[i].time.Difference(epochs[i - 1].time), 30.0, 0.01);

    QualityMonitor monitor;  // interval from the data
    monitor.SetStation(station[0], station[1], station[2]);
    for (const QualityEpoch& e : epochs) {
        Ephemeris selected[kSatelliteCount];
        SelectNearest(nav, e.time, selected);
        monitor.AddEpoch(e, selected);
    }
    const QualitySummary q = monitor.Summary();
    EXPECT_EQ(q.epochsWritten, 120);
    EXPECT_EQ(q.epochsExpected, 120);
    EXPECT_DOUBLE_EQ(q.completeness, 100.0);
    EXPECT_DOUBLE_EQ(q.interval, 30.0);
    EXPECT_TRUE(q.gaps.empty());

    long long flagged = 0, found = 0, satellites = 0, mpEpochs = 0;
    for (int s = 0; s < kSatelliteCount; ++s) {
        const BatchFigures b = Batch(epochs, s);
        const SatelliteQuality& got = q.satellites[s];
        flagged += b.flagged;
        found += b.found;
        EXPECT_EQ(got.slipsFlagged, b.flagged) << "G" << s + 1;
        EXPECT_EQ(got.slipsFound, b.found) << "G" << s + 1;
        EXPECT_EQ(got.multipathEpochs, b.mpEpochs) << "G" << s + 1;
        if (b.mpEpochs == 0) {
            EXPECT_TRUE(std::isnan(got.mp1Rms)) << "G" << s + 1;
            continue;
        }
        ++satellites;
        mpEpochs += b.mpEpochs;
        EXPECT_NEAR(got.mp1Rms, b.mp1Rms, 0.01 * b.mp1Rms) << "G" << s + 1;
        EXPECT_NEAR(got.mp2Rms, b.mp2Rms, 0.01 * b.mp2Rms) << "G" << s + 1;
        // Every satellite of the file is above the horizon.
        EXPECT_GE(got.elevationMin, 0.0) << "G" << s + 1;
        EXPECT_LE(got.elevationMax, 90.0) << "G" << s + 1;
    }
    EXPECT_GE(satellites, 8);
    EXPECT_EQ(q.slipsFlagged, flagged);
    EXPECT_EQ(q.slipsFound, found);
    EXPECT_GT(flagged, 0);  // the file flags a few losses of lock on L1 and L2
    long long binned = 0;
    for (const ElevationBin& b : q.mp1ByElevation) binned += b.epochs;
    EXPECT_EQ(binned, mpEpochs);
    std::printf("GEONET 0759: MP1 %.3f m, MP2 %.3f m over %lld epochs; slips flagged %lld, found %lld\n", q.mp1Rms,
                q.mp2Rms, q.multipathEpochs, q.slipsFlagged, q.slipsFound);
}

}  // namespace
