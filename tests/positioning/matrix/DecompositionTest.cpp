#include "MatrixTestSupport.h"

#include <array>

using matrix_test::Dense;
using matrix_test::Elements;
using matrix_test::FillRandom;
using matrix_test::Identity;
using matrix_test::MaxDiff;
using matrix_test::Multiply;
using matrix_test::Values;

namespace {

void ExpectNear(const std::vector<double>& actual, const std::vector<double>& expected, double tol)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t k = 0; k < actual.size(); ++k)
        EXPECT_NEAR(actual[k], expected[k], tol) << "element " << k;
}

}  // namespace

TEST(LuDecomposition, CroutWithScaledPartialPivoting)
{
    const CSquareMat a(2, {1, 2, 3, 4});
    std::array<std::int16_t, 2> index{};
    double d = 0.0;
    const CSquareMat lu = a.lu(index, d);
    // Row 1 (scaled 3/4) beats row 0 (scaled 1/2): the rows are interchanged.
    ExpectNear(Elements(lu), {3.0, 4.0, 1.0 / 3.0, 2.0 / 3.0}, 1e-15);
    EXPECT_EQ(index[0], 1);
    EXPECT_EQ(index[1], 1);
    EXPECT_EQ(d, -1.0);
    EXPECT_EQ(Elements(a), (Values{1, 2, 3, 4}));  // works on a copy
}

TEST(LuDecomposition, EqualScaledPivotsChooseTheLaterRow)
{
    const CSquareMat a(2, {1, 1, 2, 1});  // both rows weigh 1 in column 0
    std::array<std::int16_t, 2> index{};
    double d = 0.0;
    const CSquareMat lu = a.lu(index, d);
    EXPECT_EQ(Elements(lu), (Values{2.0, 1.0, 0.5, 0.5}));
    EXPECT_EQ(index[0], 1);
    EXPECT_EQ(d, -1.0);
    EXPECT_EQ(a.Det(), -1.0);
}

TEST(LuDecomposition, BackSubstitutionSolvesOneRightHandSide)
{
    const CSquareMat a(3, {1, 2, 3, 0, 1, 4, 5, 6, 0});
    std::array<std::int16_t, 3> index{};
    double d = 0.0;
    const CSquareMat lu = a.lu(index, d);
    CVector b{14.0, 14.0, 17.0};  // a · (1, 2, 3)
    lu.LuBackSubstitution(index, b);
    ExpectNear(Elements(b), {1.0, 2.0, 3.0}, 1e-13);
}

TEST(LuDecomposition, RowOfZerosRecordsTheFaultAndGivesAnEmptyMatrix)
{
    const CSquareMat a(3, {1, 2, 3, 0, 0, 0, 4, 5, 6});
    std::array<std::int16_t, 3> index{};
    double d = 0.0;
    TakeMatrixFaults();
    const CSquareMat lu = a.lu(index, d);
    EXPECT_EQ(TakeMatrixFaults(), "Error in lu\n");
    EXPECT_EQ(lu.Order(), 0);
    TakeMatrixFaults();
    EXPECT_EQ(a.Det(), 0.0);
    EXPECT_EQ(TakeMatrixFaults(), "Error in lu\n");
}

TEST(Determinant, OfEachShape)
{
    EXPECT_NEAR(CSquareMat(2, {1, 2, 3, 4}).Det(), -2.0, 1e-15);
    EXPECT_NEAR(CSquareMat(3, {1, 2, 3, 0, 1, 4, 5, 6, 0}).Det(), 1.0, 1e-13);
    EXPECT_EQ(CDiagMat({2.0, -3.0, 0.5}).Det(), -3.0);
    CUpTriangMat up(3);  // diagonal 1, 3, 6
    matrix_test::FillCounting(up);
    EXPECT_EQ(up.Det(), 18.0);
    EXPECT_EQ(up.Trace(), 10.0);
    CLowTriangMat low(3);  // diagonal 1, 3, 6
    matrix_test::FillCounting(low);
    EXPECT_EQ(low.Det(), 18.0);
    EXPECT_EQ(CDiagMat({2.0, -3.0, 0.5}).Trace(), -0.5);
    EXPECT_EQ(CSquareMat(2, {1, 2, 3, 4}).Trace(), 5.0);
}

TEST(Determinant, SingularMatrixWithNonZeroRowsIsZeroUpToRounding)
{
    // The vanishing pivot is replaced by 1e-30.
    EXPECT_NEAR(CSquareMat(2, {1, 2, 2, 4}).Det(), 0.0, 1e-25);
    EXPECT_NEAR(CSquareMat(3, {1, 2, 3, 4, 5, 6, 7, 8, 9}).Det(), 0.0, 1e-12);
}

TEST(Determinant, SymmetricFromTheCholeskyFactor)
{
    CSymMat s(3);  // [[4,2,-2],[2,10,2],[-2,2,6]], factor diagonal 2, 3, 2
    s(0, 0) = 4;
    s(1, 0) = 2;
    s(1, 1) = 10;
    s(2, 0) = -2;
    s(2, 1) = 2;
    s(2, 2) = 6;
    EXPECT_NEAR(s.Det(), 144.0, 1e-12);
    EXPECT_EQ(s.Trace(), 20.0);
    // Not positive definite: the determinant keeps its sign.
    CSymMat indefinite(2, 2.0);
    indefinite(0, 0) = 1.0;
    indefinite(1, 1) = 1.0;
    EXPECT_NEAR(indefinite.Det(), -3.0, 1e-14);
    // Singular: 0 up to rounding, not the not-a-number of a zero pivot.
    EXPECT_NEAR(CSymMat(2, 1.0).Det(), 0.0, 1e-25);
}

TEST(Inverse, GeneralSquareMatrix)
{
    const CSquareMat a(3, {1, 2, 3, 0, 1, 4, 5, 6, 0});
    ExpectNear(Elements(a.inv()), {-24, 18, 5, 20, -15, -4, -5, 4, 1}, 1e-12);
    ExpectNear(Elements(CSquareMat(2, {4, 7, 2, 6}).inv()), {0.6, -0.7, -0.2, 0.4}, 1e-15);
    CSquareMat random(5);
    FillRandom(random, 7);
    EXPECT_LT(MaxDiff(Multiply(Dense(random), Dense(random.inv())), Identity(5)), 1e-12);
}

TEST(Inverse, NearlySingularPrintsAndGivesAnEmptyMatrix)
{
    const CSquareMat a(2, {1, 2, 2, 4});
    TakeMatrixFaults();
    const CSquareMat inverse = a.inv();
    EXPECT_EQ(TakeMatrixFaults(), "Error in CSquareMat::inv\n");
    EXPECT_EQ(inverse.Order(), 0);
}

TEST(Inverse, SolveAXEqualToB)
{
    const CSquareMat a(3, {1, 2, 3, 0, 1, 4, 5, 6, 0});
    const CRectMat b(3, 2, {14, -1, 14, -3, 17, 6});  // a · [[1,0],[2,1],[3,-1]]
    ExpectNear(Elements(a.SolveAXEqualToB(b)), {1, 0, 2, 1, 3, -1}, 1e-12);
    ExpectNear(Elements(a.SolveAXEqualToB(CVector({14.0, 14.0, 17.0}))), {1, 2, 3}, 1e-12);
}

TEST(Inverse, DiagonalElementByElement)
{
    const CDiagMat d{2.0, -4.0, 0.5};
    EXPECT_EQ(Elements(d.inv()), (Values{0.5, -0.25, 2.0}));
    CDiagMat result{9.0};
    EXPECT_EQ(d.inv(result), 0);
    EXPECT_EQ(Elements(result), (Values{0.5, -0.25, 2.0}));

    const CDiagMat singular{1.0, 1e-20};
    EXPECT_EQ(singular.inv().Order(), 0);
    CDiagMat untouched{9.0};
    EXPECT_EQ(singular.inv(untouched), 703);
    EXPECT_EQ(Elements(untouched), (Values{9.0}));
}

TEST(Cholesky, FactorOfAPositiveDefiniteMatrix)
{
    CSymMat s(3);
    s(0, 0) = 4;
    s(1, 0) = 2;
    s(1, 1) = 10;
    s(2, 0) = -2;
    s(2, 1) = 2;
    s(2, 2) = 6;
    const CUpTriangMat r = s.Cholesky();
    ExpectNear(Dense(r).v, {2, 1, -1, 0, 3, 1, 0, 0, 2}, 1e-15);
}

TEST(Cholesky, NegativePivotStillGivesAFactor)
{
    CSymMat s(2, 2.0);  // [[1,2],[2,1]]: second pivot 1 - 4 = -3
    s(0, 0) = 1.0;
    s(1, 1) = 1.0;
    const CUpTriangMat r = s.Cholesky();
    ExpectNear(Dense(r).v, {1, 2, 0, std::sqrt(3.0)}, 1e-15);
}

TEST(Cholesky, RandomPositiveDefiniteReproduced)
{
    CRectMat b(8, 5);
    FillRandom(b, 3);
    const CSymMat n = (b.Transpose() * b).ToSym();
    const CUpTriangMat r = n.Cholesky();
    EXPECT_LT(MaxDiff(Multiply(matrix_test::Transposed(Dense(r)), Dense(r)), Dense(n)), 1e-13);
}

TEST(TriangularInverse, UpperFilledColumnByColumn)
{
    CUpTriangMat r(3);  // [[2,1,-1],[0,3,1],[0,0,2]]
    r(0, 0) = 2;
    r(0, 1) = 1;
    r(1, 1) = 3;
    r(0, 2) = -1;
    r(1, 2) = 1;
    r(2, 2) = 2;
    ExpectNear(Dense(r.inv()).v, {0.5, -1.0 / 6, 1.0 / 3, 0, 1.0 / 3, -1.0 / 6, 0, 0, 0.5}, 1e-15);
    ExpectNear(Dense(r.Transpose().inv()).v, {0.5, 0, 0, -1.0 / 6, 1.0 / 3, 0, 1.0 / 3, -1.0 / 6, 0.5}, 1e-15);
}

TEST(TriangularInverse, TinyDiagonalGivesAnEmptyMatrix)
{
    CUpTriangMat r(2, 1.0);
    r(1, 1) = 9e-21;
    EXPECT_EQ(r.inv().Order(), 0);
    EXPECT_EQ(r.Transpose().inv().Order(), 0);
}

TEST(TriangularInverse, BackSubstitutionFromTheLastRowUp)
{
    CUpTriangMat r(3);
    r(0, 0) = 2;
    r(0, 1) = 1;
    r(1, 1) = 3;
    r(0, 2) = -1;
    r(1, 2) = 1;
    r(2, 2) = 2;
    const CVector f{1.0, 9.0, 6.0};  // r · (1, 2, 3)
    ExpectNear(Elements(r.BackSubstitution(f)), {1.0, 2.0, 3.0}, 1e-15);
}

TEST(SymmetricInverse, ThroughTheCholeskyFactor)
{
    CSymMat s(3);
    s(0, 0) = 4;
    s(1, 0) = 2;
    s(1, 1) = 10;
    s(2, 0) = -2;
    s(2, 1) = 2;
    s(2, 2) = 6;
    const CSymMat inverse = s.inv();
    const double f = 1.0 / 144.0;
    ExpectNear(Dense(inverse).v, {56 * f, -16 * f, 24 * f, -16 * f, 20 * f, -12 * f, 24 * f, -12 * f, 36 * f}, 1e-15);
}

TEST(SymmetricInverse, SingularFactorGivesAnEmptyMatrix)
{
    EXPECT_EQ(CSymMat(2, 1.0).inv().Order(), 0);
    EXPECT_EQ(CSymMat(3).inv().Order(), 0);
}

TEST(SymmetricInverse, MatrixWithANegativePivotIsInvertedByLu)
{
    CSymMat s(2, 2.0);  // [[1,2],[2,1]]
    s(0, 0) = 1.0;
    s(1, 1) = 1.0;
    TakeMatrixFaults();
    const CSymMat inverse = s.inv();
    EXPECT_EQ(TakeMatrixFaults(), "");
    ExpectNear(Dense(inverse).v, {-1.0 / 3, 2.0 / 3, 2.0 / 3, -1.0 / 3}, 1e-15);
}

TEST(GeneralAlgorithmsOnPackedShapes, WorkOnTheDenseValue)
{
    CSymMat s(3);
    s(0, 0) = 4;
    s(1, 0) = 2;
    s(1, 1) = 10;
    s(2, 0) = -2;
    s(2, 1) = 2;
    s(2, 2) = 6;
    const CSquareMat& asSquare = s;
    EXPECT_NEAR(asSquare.CSquareMat::Det(), 144.0, 1e-12);
    EXPECT_LT(MaxDiff(Dense(asSquare.CSquareMat::inv()), Dense(s.inv())), 1e-15);
    ExpectNear(Elements(asSquare.SolveAXEqualToB(CVector({4.0, 14.0, 6.0}))), {1.0, 1.0, 1.0}, 1e-14);
}
