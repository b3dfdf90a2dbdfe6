#include "MatrixTestSupport.h"

#include <type_traits>

using matrix_test::Add;
using matrix_test::Dense;
using matrix_test::Elements;
using matrix_test::FillRandom;
using matrix_test::MaxDiff;
using matrix_test::Multiply;
using matrix_test::Plain;
using matrix_test::Transposed;
using matrix_test::Values;

namespace {

constexpr double kTol = 1e-13;

template <class T>
T Random(int n, unsigned seed)
{
    T m(n);
    FillRandom(m, seed);
    return m;
}

CRectMat RandomRect(int rows, int cols, unsigned seed)
{
    CRectMat m(rows, cols);
    FillRandom(m, seed);
    return m;
}

Plain PlainOf(const CVector& v)
{
    Plain p(v.Size(), 1);
    for (int i = 0; i < v.Size(); ++i)
        p.at(i, 0) = v[i];
    return p;
}

}  // namespace

TEST(ShapeArithmetic, HandWorkedProductAndSum)
{
    const CSquareMat a(2, {1, 2, 3, 4});
    const CSquareMat b(2, {5, 6, 7, 8});
    EXPECT_EQ(Elements(a * b), (Values{19, 22, 43, 50}));
    EXPECT_EQ(Elements(a + b), (Values{6, 8, 10, 12}));
    EXPECT_EQ(Elements(b - a), (Values{4, 4, 4, 4}));
    const CRectMat r(2, 3, {1, 0, 2, -1, 3, 1});
    const CRectMat c(3, 2, {3, 1, 2, 1, 1, 0});
    EXPECT_EQ(Elements(r * c), (Values{5, 1, 4, 2}));
    EXPECT_EQ(Elements(r * CVector({1.0, 2.0, 3.0})), (Values{7, 8}));
    EXPECT_EQ(Elements(r.Transpose()), (Values{1, -1, 0, 3, 2, 1}));
}

TEST(ShapeArithmetic, ProductsOfEachShapeWithItsOwnKind)
{
    const int n = 5;
    const auto low1 = Random<CLowTriangMat>(n, 1), low2 = Random<CLowTriangMat>(n, 2);
    const auto up1 = Random<CUpTriangMat>(n, 3), up2 = Random<CUpTriangMat>(n, 4);
    const auto sym1 = Random<CSymMat>(n, 5), sym2 = Random<CSymMat>(n, 6);
    const auto diag1 = Random<CDiagMat>(n, 7), diag2 = Random<CDiagMat>(n, 8);
    const auto sq1 = Random<CSquareMat>(n, 9), sq2 = Random<CSquareMat>(n, 10);

    static_assert(std::is_same_v<decltype(low1 * low2), CLowTriangMat>);
    static_assert(std::is_same_v<decltype(up1 * up2), CUpTriangMat>);
    static_assert(std::is_same_v<decltype(diag1 * diag2), CDiagMat>);
    static_assert(std::is_same_v<decltype(sym1 * sym2), CSquareMat>);
    static_assert(std::is_same_v<decltype(sq1 * sq2), CSquareMat>);

    EXPECT_LT(MaxDiff(Dense(low1 * low2), Multiply(Dense(low1), Dense(low2))), kTol);
    EXPECT_LT(MaxDiff(Dense(up1 * up2), Multiply(Dense(up1), Dense(up2))), kTol);
    EXPECT_LT(MaxDiff(Dense(diag1 * diag2), Multiply(Dense(diag1), Dense(diag2))), kTol);
    EXPECT_LT(MaxDiff(Dense(sym1 * sym2), Multiply(Dense(sym1), Dense(sym2))), kTol);
    EXPECT_LT(MaxDiff(Dense(sq1 * sq2), Multiply(Dense(sq1), Dense(sq2))), kTol);
}

TEST(ShapeArithmetic, ProductsAcrossShapes)
{
    const int n = 4;
    const auto low = Random<CLowTriangMat>(n, 11);
    const auto up = Random<CUpTriangMat>(n, 12);
    const auto sym = Random<CSymMat>(n, 13);
    const auto diag = Random<CDiagMat>(n, 14);
    const auto sq = Random<CSquareMat>(n, 15);
    const CRectMat rect = RandomRect(n, 3, 16);
    const CRectMat tall = RandomRect(6, n, 17);

    static_assert(std::is_same_v<decltype(up * low), CSquareMat>);
    static_assert(std::is_same_v<decltype(sq * diag), CSquareMat>);
    static_assert(std::is_same_v<decltype(sym * rect), CRectMat>);

    EXPECT_LT(MaxDiff(Dense(up * low), Multiply(Dense(up), Dense(low))), kTol);
    EXPECT_LT(MaxDiff(Dense(low * up), Multiply(Dense(low), Dense(up))), kTol);
    EXPECT_LT(MaxDiff(Dense(sym * up), Multiply(Dense(sym), Dense(up))), kTol);
    EXPECT_LT(MaxDiff(Dense(sq * diag), Multiply(Dense(sq), Dense(diag))), kTol);
    EXPECT_LT(MaxDiff(Dense(sq * sym), Multiply(Dense(sq), Dense(sym))), kTol);
    EXPECT_LT(MaxDiff(Dense(diag * sq), Multiply(Dense(diag), Dense(sq))), kTol);
    EXPECT_LT(MaxDiff(Dense(low * rect), Multiply(Dense(low), Dense(rect))), kTol);
    EXPECT_LT(MaxDiff(Dense(up * rect), Multiply(Dense(up), Dense(rect))), kTol);
    EXPECT_LT(MaxDiff(Dense(sym * rect), Multiply(Dense(sym), Dense(rect))), kTol);
    EXPECT_LT(MaxDiff(Dense(diag * rect), Multiply(Dense(diag), Dense(rect))), kTol);
    EXPECT_LT(MaxDiff(Dense(tall * sym), Multiply(Dense(tall), Dense(sym))), kTol);
    EXPECT_LT(MaxDiff(Dense(tall * up), Multiply(Dense(tall), Dense(up))), kTol);
    EXPECT_LT(MaxDiff(Dense(tall * diag), Multiply(Dense(tall), Dense(diag))), kTol);
    EXPECT_LT(MaxDiff(Dense(tall * rect), Multiply(Dense(tall), Dense(rect))), kTol);
}

TEST(ShapeArithmetic, SquareMatrixScaledByADiagonalScalesItsColumns)
{
    const CSquareMat a(2, {1, 2, 3, 4});
    const CDiagMat d{10.0, -1.0};
    EXPECT_EQ(Elements(a * d), (Values{10, -2, 30, -4}));
    EXPECT_EQ(Elements(d * a), (Values{10, 20, -3, -4}));
}

TEST(ShapeArithmetic, MatrixTimesVectorForEveryShape)
{
    const int n = 5;
    CVector v(n);
    FillRandom(v, 20);
    const Plain pv = PlainOf(v);
    const auto low = Random<CLowTriangMat>(n, 21);
    const auto up = Random<CUpTriangMat>(n, 22);
    const auto sym = Random<CSymMat>(n, 23);
    const auto diag = Random<CDiagMat>(n, 24);
    const auto sq = Random<CSquareMat>(n, 25);
    const CRectMat rect = RandomRect(7, n, 26);
    EXPECT_LT(MaxDiff(PlainOf(low * v), Multiply(Dense(low), pv)), kTol);
    EXPECT_LT(MaxDiff(PlainOf(up * v), Multiply(Dense(up), pv)), kTol);
    EXPECT_LT(MaxDiff(PlainOf(sym * v), Multiply(Dense(sym), pv)), kTol);
    EXPECT_LT(MaxDiff(PlainOf(diag * v), Multiply(Dense(diag), pv)), kTol);
    EXPECT_LT(MaxDiff(PlainOf(sq * v), Multiply(Dense(sq), pv)), kTol);
    EXPECT_LT(MaxDiff(PlainOf(rect * v), Multiply(Dense(rect), pv)), kTol);
}

TEST(ShapeArithmetic, SymmetricMatrixTimesAMisfitVectorIsEmpty)
{
    const CSymMat sym(3, 1.0);
    EXPECT_EQ((sym * CVector(4)).Size(), 0);
    CVector row(3);
    row.SetOrientation(CVector::kRow);
    EXPECT_EQ((sym * row).Size(), 0);
}

TEST(ShapeArithmetic, SumsAndDifferencesAcrossShapes)
{
    const int n = 4;
    const auto low = Random<CLowTriangMat>(n, 31), low2 = Random<CLowTriangMat>(n, 32);
    const auto up = Random<CUpTriangMat>(n, 33), up2 = Random<CUpTriangMat>(n, 34);
    const auto sym = Random<CSymMat>(n, 35), sym2 = Random<CSymMat>(n, 36);
    const auto diag = Random<CDiagMat>(n, 37), diag2 = Random<CDiagMat>(n, 38);
    const auto sq = Random<CSquareMat>(n, 39), sq2 = Random<CSquareMat>(n, 40);

    static_assert(std::is_same_v<decltype(low + low2), CLowTriangMat>);
    static_assert(std::is_same_v<decltype(sym - sym2), CSymMat>);
    static_assert(std::is_same_v<decltype(low + sq), CSquareMat>);
    static_assert(std::is_same_v<decltype(sq - up), CSquareMat>);

    for (double sign : {1.0, -1.0}) {
        auto sum = [sign](const auto& a, const auto& b) { return sign > 0 ? a + b : a - b; };
        EXPECT_LT(MaxDiff(Dense(sum(low, low2)), Add(Dense(low), Dense(low2), sign)), kTol);
        EXPECT_LT(MaxDiff(Dense(sum(up, up2)), Add(Dense(up), Dense(up2), sign)), kTol);
        EXPECT_LT(MaxDiff(Dense(sum(sym, sym2)), Add(Dense(sym), Dense(sym2), sign)), kTol);
        EXPECT_LT(MaxDiff(Dense(sum(diag, diag2)), Add(Dense(diag), Dense(diag2), sign)), kTol);
        EXPECT_LT(MaxDiff(Dense(sum(sq, sq2)), Add(Dense(sq), Dense(sq2), sign)), kTol);
        EXPECT_LT(MaxDiff(Dense(sum(sq, low)), Add(Dense(sq), Dense(low), sign)), kTol);
        EXPECT_LT(MaxDiff(Dense(sum(sq, up)), Add(Dense(sq), Dense(up), sign)), kTol);
        EXPECT_LT(MaxDiff(Dense(sum(sq, sym)), Add(Dense(sq), Dense(sym), sign)), kTol);
        EXPECT_LT(MaxDiff(Dense(sum(sq, diag)), Add(Dense(sq), Dense(diag), sign)), kTol);
        EXPECT_LT(MaxDiff(Dense(sum(low, sq)), Add(Dense(low), Dense(sq), sign)), kTol);
        EXPECT_LT(MaxDiff(Dense(sum(up, sq)), Add(Dense(up), Dense(sq), sign)), kTol);
        EXPECT_LT(MaxDiff(Dense(sum(sym, sq)), Add(Dense(sym), Dense(sq), sign)), kTol);
        EXPECT_LT(MaxDiff(Dense(sum(diag, sq)), Add(Dense(diag), Dense(sq), sign)), kTol);
        EXPECT_LT(MaxDiff(Dense(sum(low, up)), Add(Dense(low), Dense(up), sign)), kTol);
    }
}

TEST(ShapeArithmetic, CompoundAssignmentsModifyTheLeftOperand)
{
    const int n = 3;
    const auto low = Random<CLowTriangMat>(n, 41);
    const auto up = Random<CUpTriangMat>(n, 42);
    const auto sym = Random<CSymMat>(n, 43);
    const auto diag = Random<CDiagMat>(n, 44);
    const auto start = Random<CSquareMat>(n, 45);
    CSquareMat sq(start);
    sq += low;
    sq -= up;
    sq += sym;
    sq -= diag;
    sq += start;
    Plain expected = Add(Dense(start), Dense(low), 1.0);
    expected = Add(expected, Dense(up), -1.0);
    expected = Add(expected, Dense(sym), 1.0);
    expected = Add(expected, Dense(diag), -1.0);
    expected = Add(expected, Dense(start), 1.0);
    EXPECT_LT(MaxDiff(Dense(sq), expected), kTol);

    CSymMat s(sym);
    s += sym;
    s -= CSymMat(n, 1.0);
    EXPECT_LT(MaxDiff(Dense(s), Add(Add(Dense(sym), Dense(sym), 1.0), Dense(CSymMat(n, 1.0)), -1.0)), kTol);

    CRectMat r = RandomRect(2, 3, 46);
    const CRectMat r0(r);
    r += r0;
    r -= r0 * 3.0;
    EXPECT_LT(MaxDiff(Dense(r), Dense(r0 * -1.0)), kTol);
}

TEST(ShapeArithmetic, TransposesSwapTheTriangles)
{
    CLowTriangMat low(3);  // [[1,0,0],[2,3,0],[4,5,6]]
    matrix_test::FillCounting(low);
    const CUpTriangMat up = low.Transpose();
    EXPECT_EQ(Dense(up).v, (Values{1, 2, 4, 0, 3, 5, 0, 0, 6}));
    EXPECT_EQ(Dense(up.Transpose()).v, Dense(low).v);
    const auto sym = Random<CSymMat>(3, 50);
    EXPECT_TRUE(sym.Transpose() == sym);
    const auto sq = Random<CSquareMat>(4, 51);
    EXPECT_EQ(Dense(sq.Transpose()).v, Transposed(Dense(sq)).v);
    const CRectMat rect = RandomRect(2, 5, 52);
    EXPECT_EQ(Dense(rect.Transpose()).v, Transposed(Dense(rect)).v);
}

TEST(ShapeArithmetic, TransposeIntoAnotherMatrixOrInPlace)
{
    const CSquareMat a(3, {1, 2, 3, 4, 5, 6, 7, 8, 9});
    CSquareMat target(3, 9.0);
    a.TransposeInto(target);
    EXPECT_EQ(Elements(target), (Values{1, 4, 7, 2, 5, 8, 3, 6, 9}));
    CSquareMat self(a);
    self.TransposeInto(self);
    EXPECT_EQ(Elements(self), (Values{1, 4, 7, 2, 5, 8, 3, 6, 9}));
}

TEST(ShapeArithmetic, ConversionsKeepTheChosenTriangle)
{
    const CSquareMat a(3, {1, 2, 3, 4, 5, 6, 7, 8, 9});
    EXPECT_EQ(Dense(a.ToUpTriang()).v, (Values{1, 2, 3, 0, 5, 6, 0, 0, 9}));
    EXPECT_EQ(Dense(a.ToLowTriang()).v, (Values{1, 0, 0, 4, 5, 0, 7, 8, 9}));
    EXPECT_EQ(Dense(a.ToSym()).v, (Values{1, 4, 7, 4, 5, 8, 7, 8, 9}));
    const CRectMat r(2, 2, {1, 2, 3, 4});
    EXPECT_EQ(Elements(r.ToSym()), (Values{1, 3, 4}));
}

TEST(ShapeArithmetic, ScalarProductsKeepTheShape)
{
    CUpTriangMat up(2);
    matrix_test::FillCounting(up);
    static_assert(std::is_same_v<decltype(up * 2.0), CUpTriangMat>);
    static_assert(std::is_same_v<decltype(2.0 * CSymMat(2)), CSymMat>);
    static_assert(std::is_same_v<decltype(2.0 * CDiagMat(2)), CDiagMat>);
    static_assert(std::is_same_v<decltype(CLowTriangMat(2) * 2.0), CLowTriangMat>);
    EXPECT_EQ(Elements(up * 2.0), (Values{2, 4, 6}));
    EXPECT_EQ(Elements(-1.0 * CSymMat(2, 3.0)), (Values{-3, -3, -3}));
    EXPECT_EQ(Elements(CRectMat(1, 2, {1, 2}) * 0.5), (Values{0.5, 1.0}));
}
