// The accumulation pattern of the least-squares solution: an augmented normal matrix
// grown observation by observation through shrinking and regrowing a CSymMat, solved
// through its Cholesky factor, all without heap allocation at the orders in use.
#include "MatrixTestSupport.h"

#include <cstdlib>
#include <new>

namespace {

// Heap allocations counted while counting is on.
int g_allocations = 0;
bool g_counting = false;

}  // namespace

// Replacements of the global allocation functions (kept out of line so that the compiler
// pairs them with each other).
[[gnu::noinline]] void* operator new(std::size_t size)
{
    if (g_counting)
        ++g_allocations;
    if (void* p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}

[[gnu::noinline]] void operator delete(void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept { std::free(p); }

using matrix_test::Dense;
using matrix_test::Elements;
using matrix_test::Identity;
using matrix_test::MaxDiff;
using matrix_test::Multiply;
using matrix_test::Plain;

namespace {

constexpr int kParameters = 4;

// Augmented normal matrix and redundancy of the accumulation.
struct Accumulator {
    CSymMat normal{kParameters + 1};
    int redundancy = -kParameters;

    // Adds design row a with observation y and variance v.
    void Add(CVector a, double y, double v)
    {
        if (v != 1.0) {
            const double s = std::sqrt(v);
            a = a * (1.0 / s);
            y /= s;
        }
        a.SetOrientation(2);
        normal.Resize(kParameters, true);
        normal += a.OuterProduct();
        normal.Resize(kParameters + 1, true);
        for (int i = 0; i < kParameters; ++i)
            normal(i, kParameters) -= y * a[i];
        normal(kParameters, kParameters) += y * y;
        ++redundancy;
    }

    // Solution, covariance and variance factor for a positive redundancy.
    void Solve(CVector& x, CSymMat& q, double& sigma0Squared) const
    {
        const CUpTriangMat r = normal.Cholesky();
        const double rho = r(kParameters, kParameters);
        sigma0Squared = rho * rho / redundancy;
        CVector column = r.Col(kParameters);
        column.Resize(kParameters, true);
        CUpTriangMat r1(r);
        r1.Resize(kParameters, true);
        const CUpTriangMat r1Inverse = r1.inv();
        q = (r1Inverse * r1Inverse.Transpose()).ToSym() * sigma0Squared;
        x = r1.BackSubstitution(column * -1.0);
    }
};

// Cubic in t: 1 + 2t - 0.5t² + 0.1t³, and its design row (1, t, t², t³).
double Cubic(double t) { return 1.0 + 2.0 * t - 0.5 * t * t + 0.1 * t * t * t; }
CVector DesignRow(double t) { return CVector{1.0, t, t * t, t * t * t}; }

void ExpectNear(const std::vector<double>& actual, const std::vector<double>& expected, double tol)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t k = 0; k < actual.size(); ++k)
        EXPECT_NEAR(actual[k], expected[k], tol) << "element " << k;
}

}  // namespace

TEST(LeastSquaresUsage, RedundantFitRecoversTheCubicAndTheResiduals)
{
    // Residuals 0.01·(1, -4, 6, -4, 1, 0) are orthogonal to every cubic on t = 0..5, so the
    // fit returns the cubic itself and the sum of squared residuals 0.007 over 2 degrees.
    const double residual[] = {1, -4, 6, -4, 1, 0};
    Accumulator acc;
    Plain design(6, kParameters);
    for (int t = 0; t < 6; ++t) {
        acc.Add(DesignRow(t), Cubic(t) + 0.01 * residual[t], 1.0);
        for (int j = 0; j < kParameters; ++j)
            design.at(t, j) = std::pow(t, j);
    }
    CVector x;
    CSymMat q;
    double sigma0Squared = 0.0;
    acc.Solve(x, q, sigma0Squared);
    ExpectNear(Elements(x), {1.0, 2.0, -0.5, 0.1}, 1e-9);
    EXPECT_NEAR(sigma0Squared, 0.0035, 1e-12);
    // Q·AᵀA = σ0²·I.
    const Plain normalMatrix = Multiply(matrix_test::Transposed(design), design);
    Plain scaledIdentity = Identity(kParameters);
    for (double& e : scaledIdentity.v)
        e *= sigma0Squared;
    EXPECT_LT(MaxDiff(Multiply(Dense(q), normalMatrix), scaledIdentity), 1e-9);
}

TEST(LeastSquaresUsage, WeightsDivideRowAndObservationByTheStandardDeviation)
{
    Accumulator weighted;
    Accumulator plain;
    for (int t = 0; t < 5; ++t) {
        weighted.Add(DesignRow(t), Cubic(t), 4.0);
        plain.Add(DesignRow(t) * 0.5, Cubic(t) * 0.5, 1.0);
    }
    EXPECT_LT(MaxDiff(Dense(weighted.normal), Dense(plain.normal)), 1e-12);
}

TEST(LeastSquaresUsage, ExactlyDeterminedSystemThroughTheSymmetricInverse)
{
    Accumulator acc;
    for (int t = 0; t < 4; ++t)
        acc.Add(DesignRow(t), Cubic(t), 1.0);
    EXPECT_EQ(acc.redundancy, 0);
    CVector h = acc.normal.Col(kParameters) * -1.0;
    h.Resize(kParameters, true);
    CSymMat n(acc.normal);
    n.Resize(kParameters, true);
    const CSymMat q = n.inv();
    ASSERT_EQ(q.Order(), kParameters);
    ExpectNear(Elements(q * h), {1.0, 2.0, -0.5, 0.1}, 1e-9);
    n.Resize(kParameters + 1, true);
    EXPECT_TRUE(n == acc.normal);
}

TEST(LeastSquaresUsage, AccumulationAndSolutionNeedNoHeapAllocation)
{
    Accumulator acc;
    CVector x;
    CSymMat q;
    double sigma0Squared = 0.0;
    g_allocations = 0;
    g_counting = true;
    for (int pass = 0; pass < 3; ++pass) {
        for (int t = 0; t < 12; ++t)
            acc.Add(DesignRow(t * 0.5), Cubic(t * 0.5), 1.0 + t);
        acc.Solve(x, q, sigma0Squared);
        CSymMat n(acc.normal);
        n.Resize(kParameters, true);
        const CSymMat inverse = n.inv();
        const CVector y = inverse * x;
        (void)y;
    }
    g_counting = false;
    EXPECT_EQ(g_allocations, 0);
    EXPECT_EQ(x.Size(), kParameters);
}
