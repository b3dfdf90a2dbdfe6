#include "MatrixTestSupport.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>

using matrix_test::Dense;
using matrix_test::Elements;
using matrix_test::FillRandom;
using matrix_test::Identity;
using matrix_test::MaxDiff;
using matrix_test::Multiply;
using matrix_test::Plain;
using matrix_test::Transposed;

namespace {

// u·diag(w)·vᵀ computed plainly.
Plain Recompose(const CRectMat& u, const CDiagMat& w, const CSquareMat& v)
{
    return Multiply(Multiply(Dense(u), Dense(w)), Transposed(Dense(v)));
}

double MaxAbs(const Plain& p)
{
    double m = 0.0;
    for (double x : p.v)
        m = std::max(m, std::fabs(x));
    return m;
}

std::vector<double> Sorted(const CDiagMat& w)
{
    std::vector<double> values = Elements(w);
    std::sort(values.begin(), values.end());
    return values;
}

}  // namespace

TEST(Svd, ReproducesRandomMatricesWithOrthonormalFactors)
{
    const std::pair<int, int> sizes[] = {{1, 1}, {3, 1}, {4, 4}, {5, 4}, {6, 5}, {8, 4},
                                         {12, 4}, {5, 3}, {32, 4}, {32, 5}};
    unsigned seed = 100;
    for (const auto& [m, n] : sizes) {
        for (int trial = 0; trial < 5; ++trial) {
            CRectMat a(m, n);
            FillRandom(a, ++seed);
            CRectMat u;
            CDiagMat w;
            CSquareMat v;
            ASSERT_EQ(a.Svd(u, w, v), 0) << m << "x" << n;
            ASSERT_EQ(u.Rows(), m);
            ASSERT_EQ(u.Cols(), n);
            ASSERT_EQ(w.Order(), n);
            ASSERT_EQ(v.Order(), n);
            const Plain dense = Dense(a);
            EXPECT_LT(MaxDiff(Recompose(u, w, v), dense), 1e-12 * MaxAbs(dense)) << m << "x" << n;
            EXPECT_LT(MaxDiff(Multiply(Transposed(Dense(u)), Dense(u)), Identity(n)), 1e-12) << m << "x" << n;
            EXPECT_LT(MaxDiff(Multiply(Transposed(Dense(v)), Dense(v)), Identity(n)), 1e-12) << m << "x" << n;
            EXPECT_LT(MaxDiff(Multiply(Dense(v), Transposed(Dense(v))), Identity(n)), 1e-12) << m << "x" << n;
            for (int i = 0; i < n; ++i)
                EXPECT_GE(w(i, i), 0.0);
        }
    }
}

TEST(Svd, SingularValuesOfHandWorkedMatrices)
{
    const CRectMat a(3, 2, {3, 0, 0, -4, 0, 0});
    CRectMat u;
    CDiagMat w;
    CSquareMat v;
    ASSERT_EQ(a.Svd(u, w, v), 0);
    const std::vector<double> values = Sorted(w);
    EXPECT_NEAR(values[0], 3.0, 1e-15);
    EXPECT_NEAR(values[1], 4.0, 1e-15);

    // [[2,1],[1,2]] has singular values 1 and 3.
    ASSERT_EQ(CRectMat(2, 2, {2, 1, 1, 2}).Svd(u, w, v), 0);
    const std::vector<double> sym = Sorted(w);
    EXPECT_NEAR(sym[0], 1.0, 1e-15);
    EXPECT_NEAR(sym[1], 3.0, 1e-15);
}

TEST(Svd, WideMatrixIsDecomposedToo)
{
    CRectMat a(2, 3);
    FillRandom(a, 7);
    CRectMat u;
    CDiagMat w;
    CSquareMat v;
    ASSERT_EQ(a.Svd(u, w, v), 0);
    EXPECT_EQ(u.Rows(), 2);
    EXPECT_LT(MaxDiff(Recompose(u, w, v), Dense(a)), 1e-14);
}

TEST(Svd, NotANumberNeverConvergesAndReports304)
{
    CRectMat a(3, 2, {1, 2, 3, 4, 5, 6});
    a(1, 1) = std::numeric_limits<double>::quiet_NaN();
    const CRectMat before(a);
    CRectMat u;
    CDiagMat w;
    CSquareMat v;
    EXPECT_EQ(a.Svd(u, w, v), 304);
    EXPECT_EQ(std::memcmp(a.Data(), before.Data(), sizeof(double) * 6), 0);
    EXPECT_EQ(a.PseudoInverse().Size(), 0);
}

TEST(Svd, ConditionNumber)
{
    EXPECT_NEAR(CRectMat(3, 2, {3, 0, 0, -4, 0, 0}).Cond(), 4.0 / 3.0, 1e-15);
    EXPECT_NEAR(CSquareMat(2, {2, 1, 1, 2}).Cond(), 3.0, 1e-14);
    EXPECT_EQ(CRectMat(2, 2, {2, 0, 0, 0}).Cond(), std::numeric_limits<double>::infinity());
}

TEST(PseudoInverse, HandWorkedExample)
{
    const CRectMat a(3, 2, {1, 0, 0, 2, 0, 0});
    const CRectMat p = a.PseudoInverse();
    ASSERT_EQ(p.Rows(), 2);
    ASSERT_EQ(p.Cols(), 3);
    const std::vector<double> expected{1, 0, 0, 0, 0.5, 0};
    for (int k = 0; k < 6; ++k)
        EXPECT_NEAR(p.Data()[k], expected[static_cast<std::size_t>(k)], 1e-15);
}

TEST(PseudoInverse, MoorePenroseConditionsHold)
{
    for (int rows : {4, 7, 12, 32}) {
        CRectMat a(rows, 4);
        FillRandom(a, 40u + static_cast<unsigned>(rows));
        const CRectMat p = a.PseudoInverse();
        ASSERT_EQ(p.Rows(), 4);
        ASSERT_EQ(p.Cols(), rows);
        const Plain A = Dense(a);
        const Plain P = Dense(p);
        const Plain AP = Multiply(A, P);
        const Plain PA = Multiply(P, A);
        EXPECT_LT(MaxDiff(Multiply(AP, A), A), 1e-12) << rows;
        EXPECT_LT(MaxDiff(Multiply(PA, P), P), 1e-12) << rows;
        EXPECT_LT(MaxDiff(Transposed(AP), AP), 1e-12) << rows;
        EXPECT_LT(MaxDiff(Transposed(PA), PA), 1e-12) << rows;
    }
}

TEST(PseudoInverse, RankDeficientMatrixGivesAnEmptyResult)
{
    // A zero column: a singular value of 0, whose inverse does not exist.
    const CRectMat a(3, 2, {1, 0, 2, 0, 3, 0});
    EXPECT_EQ(a.PseudoInverse().Size(), 0);
}
