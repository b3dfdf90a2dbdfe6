#include <gtest/gtest.h>

#include <cmath>

#include "positioning/LeastSquare.h"

namespace {
CVector Row(double a0, double a1) { return CVector{a0, a1}; }
}  // namespace

TEST(CLeastSquare, ConstructionSizesTheAccumulator) {
    CLeastSquare empty;
    EXPECT_EQ(empty.N(), 0);
    EXPECT_EQ(empty.Redundancy(), 0);
    CLeastSquare negative(-3);
    EXPECT_EQ(negative.N(), 0);
    EXPECT_EQ(negative.Redundancy(), 0);
    CLeastSquare four(4);
    EXPECT_EQ(four.N(), 4);
    EXPECT_EQ(four.Redundancy(), -4);
    EXPECT_EQ(four.Normal().Order(), 5);
    EXPECT_EQ(four.Covariance().Order(), 4);
}

TEST(CLeastSquare, InitLsqOnlyOnAnEmptyAccumulator) {
    CLeastSquare lsq;
    EXPECT_EQ(lsq.InitLsq(3), 0);
    EXPECT_EQ(lsq.N(), 3);
    EXPECT_EQ(lsq.Redundancy(), -3);
    EXPECT_EQ(lsq.InitLsq(2), CLeastSquare::kAlreadySized);
    EXPECT_EQ(lsq.N(), 3);
}

TEST(CLeastSquare, RejectsBadRowsAndZeroVariance) {
    CLeastSquare lsq(4);
    EXPECT_EQ(lsq.AddObservation(CVector{1.0, 2.0, 3.0}, 1.0, 1.0), 800);
    EXPECT_EQ(lsq.AddObservation(CVector{1.0, 2.0, 3.0, 4.0}, 1.0, 0.0), 800);
    EXPECT_EQ(lsq.Redundancy(), -4);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(lsq.Normal().Data()[i], 0.0);
}

TEST(CLeastSquare, FewerObservationsThanParameters) {
    CLeastSquare lsq(4);
    for (int i = 0; i < 3; ++i) lsq.AddObservation(CVector{1.0, 0.0, 0.0, double(i)}, 1.0, 1.0);
    CVector x{7.0};
    CSymMat q;
    double s0 = 42.0;
    EXPECT_EQ(lsq.Solve(x, q, s0), 804);
    EXPECT_EQ(x.Size(), 1);
    EXPECT_EQ(x[0], 7.0);
    EXPECT_EQ(s0, 42.0);
}

TEST(CLeastSquare, AccumulatesTheAugmentedNormalMatrix) {
    // Line y = x0 + x1 t through (0, 1), (1, 3), (2, 4).
    CLeastSquare lsq(2);
    lsq.AddObservation(Row(1, 0), 1.0, 1.0);
    lsq.AddObservation(Row(1, 1), 3.0, 1.0);
    lsq.AddObservation(Row(1, 2), 4.0, 1.0);
    const CSymMat& n = lsq.Normal();
    EXPECT_EQ(n(0, 0), 3.0);
    EXPECT_EQ(n(1, 0), 3.0);
    EXPECT_EQ(n(1, 1), 5.0);
    EXPECT_EQ(n(2, 0), -8.0);
    EXPECT_EQ(n(2, 1), -11.0);
    EXPECT_EQ(n(0, 2), -8.0);
    EXPECT_EQ(n(2, 2), 26.0);
    EXPECT_EQ(lsq.Redundancy(), 1);
}

TEST(CLeastSquare, RedundantFitGivesResidualVarianceAndCovariance) {
    CLeastSquare lsq(2);
    lsq.AddObservation(Row(1, 0), 1.0, 1.0);
    lsq.AddObservation(Row(1, 1), 3.0, 1.0);
    lsq.AddObservation(Row(1, 2), 4.0, 1.0);
    CVector x;
    CSymMat q;
    double s0 = 0.0;
    ASSERT_EQ(lsq.Solve(x, q, s0), 0);
    EXPECT_NEAR(x[0], 7.0 / 6.0, 1e-14);
    EXPECT_NEAR(x[1], 1.5, 1e-14);
    EXPECT_NEAR(s0, 1.0 / 6.0, 1e-14);  // residuals -1/6, 1/3, -1/6
    EXPECT_NEAR(q(0, 0), 5.0 / 36.0, 1e-14);
    EXPECT_NEAR(q(1, 0), -1.0 / 12.0, 1e-14);
    EXPECT_NEAR(q(1, 1), 1.0 / 12.0, 1e-14);
    EXPECT_NEAR(lsq.Sigma0Squared(), 1.0 / 6.0, 1e-14);
    EXPECT_NEAR(lsq.Covariance()(1, 1), 1.0 / 12.0, 1e-14);
    const CSymMat r = lsq.Correlation();
    EXPECT_NEAR(r(0, 0), std::sqrt(5.0 / 36.0), 1e-14);
    EXPECT_NEAR(r(1, 1), std::sqrt(1.0 / 12.0), 1e-14);
    EXPECT_NEAR(r(1, 0), -0.7745966692414834, 1e-12);
}

TEST(CLeastSquare, ExactlyDeterminedUsesTheInverseAndUnitVariance) {
    CLeastSquare lsq(2);
    lsq.AddObservation(Row(1, 0), 1.0, 1.0);
    lsq.AddObservation(Row(1, 1), 3.0, 1.0);
    CVector x;
    CSymMat q;
    double s0 = 0.0;
    ASSERT_EQ(lsq.Solve(x, q, s0), 0);
    EXPECT_EQ(lsq.Redundancy(), 0);
    EXPECT_EQ(s0, 1.0);
    EXPECT_NEAR(x[0], 1.0, 1e-14);
    EXPECT_NEAR(x[1], 2.0, 1e-14);
    EXPECT_NEAR(q(0, 0), 1.0, 1e-14);
    EXPECT_NEAR(q(1, 0), -1.0, 1e-14);
    EXPECT_NEAR(q(1, 1), 2.0, 1e-14);
    // The normal matrix is whole afterwards: one more observation continues the sums.
    EXPECT_EQ(lsq.Normal().Order(), 3);
    EXPECT_EQ(lsq.Normal()(2, 2), 10.0);
}

TEST(CLeastSquare, VarianceWeightsTheObservation) {
    // One observation of variance 0.25 weighs as much as four of variance 1.
    CLeastSquare weighted(2), repeated(2);
    weighted.AddObservation(Row(1, 0), 1.0, 1.0);
    weighted.AddObservation(Row(1, 1), 3.0, 1.0);
    weighted.AddObservation(Row(1, 2), 4.0, 0.25);
    repeated.AddObservation(Row(1, 0), 1.0, 1.0);
    repeated.AddObservation(Row(1, 1), 3.0, 1.0);
    for (int i = 0; i < 4; ++i) repeated.AddObservation(Row(1, 2), 4.0, 1.0);
    for (int i = 0; i < 6; ++i)
        EXPECT_NEAR(weighted.Normal().Data()[i], repeated.Normal().Data()[i], 1e-12) << i;
    CVector x, y;
    CSymMat q;
    double s0;
    ASSERT_EQ(weighted.Solve(x, q, s0), 0);
    ASSERT_EQ(repeated.Solve(y, q, s0), 0);
    EXPECT_NEAR(x[0], y[0], 1e-12);
    EXPECT_NEAR(x[1], y[1], 1e-12);
    // The caller's row is not scaled.
    CVector row = Row(2, 4);
    weighted.AddObservation(row, 1.0, 9.0);
    EXPECT_EQ(row[0], 2.0);
    EXPECT_EQ(row[1], 4.0);
}

TEST(CLeastSquare, SingularNormalMatrixGivesNoSolution) {
    for (int count : {2, 3}) {  // exactly determined and redundant
        CLeastSquare lsq(2);
        for (int i = 0; i < count; ++i) lsq.AddObservation(Row(1, 1), 1.0 + i, 1.0);
        CVector x{5.0, 6.0};
        CSymMat q;
        double s0 = -1.0;
        EXPECT_EQ(lsq.Solve(x, q, s0), CLeastSquare::kSingular) << count;
        EXPECT_EQ(x[0], 5.0);
        EXPECT_EQ(x[1], 6.0);
        EXPECT_EQ(s0, -1.0);
        EXPECT_EQ(q.Order(), 0);
    }
    // Nearly parallel rows still solve.
    CLeastSquare lsq(2);
    lsq.AddObservation(Row(1, 1), 2.0, 1.0);
    lsq.AddObservation(Row(1, 1.001), 2.001, 1.0);
    CVector x;
    CSymMat q;
    double s0;
    ASSERT_EQ(lsq.Solve(x, q, s0), 0);
    EXPECT_NEAR(x[0], 1.0, 1e-6);
    EXPECT_NEAR(x[1], 1.0, 1e-6);
}

TEST(CLeastSquare, ScaledObservationIsDividedByTheDeviation) {
    // Variance 25: row and observation are divided by 5. 0.1 / 5 rounds to the double
    // nearest 0.02, whereas 0.1 times 0.2 (the reciprocal) rounds one unit higher.
    CLeastSquare lsq(1);
    ASSERT_EQ(lsq.AddObservation(CVector{0.1}, 0.1, 25.0), 0);
    const double scaled = 0.02;
    EXPECT_EQ(lsq.Normal()(0, 0), scaled * scaled);
    EXPECT_EQ(lsq.Normal()(1, 0), -(scaled * scaled));
    EXPECT_EQ(lsq.Normal()(1, 1), scaled * scaled);
}
