#include "MatrixTestSupport.h"

using matrix_test::Elements;
using matrix_test::FillCounting;
using matrix_test::Values;

namespace {

CVector RowVector(std::initializer_list<double> values)
{
    CVector v(values);
    v.SetOrientation(CVector::kRow);
    return v;
}

}  // namespace

TEST(Vector, ColumnByDefaultAndOnlyOrientationOneIsARow)
{
    CVector v{1.0, 2.0};
    EXPECT_EQ(v.Orientation(), CVector::kColumn);
    EXPECT_FALSE(v.IsRow());
    v.SetOrientation(2);
    EXPECT_FALSE(v.IsRow());
    v.SetOrientation(1);
    EXPECT_TRUE(v.IsRow());
    const CVector copy(v);
    EXPECT_TRUE(copy.IsRow());
    EXPECT_FALSE(copy.Transpose().IsRow());
    EXPECT_EQ(Elements(CVector(3, 2.5)), (Values{2.5, 2.5, 2.5}));
}

TEST(Vector, InitSizeOnlyOnAnEmptyVector)
{
    CVector v;
    EXPECT_EQ(v.InitSize(3), 0);
    EXPECT_EQ(Elements(v), (Values{0.0, 0.0, 0.0}));
    v[1] = 4.0;
    EXPECT_EQ(v.InitSize(2), 200);
    EXPECT_EQ(Elements(v), (Values{0.0, 4.0, 0.0}));
    CVector empty;
    EXPECT_EQ(empty.InitSize(-1), 200);
    EXPECT_EQ(empty.Size(), 0);
}

TEST(Vector, ResizeWithoutKeepGivesFreshZeros)
{
    CVector v{1.0, 2.0, 3.0};
    EXPECT_EQ(v.Resize(5, false), 0);
    EXPECT_EQ(v.Capacity(), 5);
    EXPECT_EQ(Elements(v), (Values{0.0, 0.0, 0.0, 0.0, 0.0}));
    EXPECT_EQ(v.Resize(2, 7.0, false), 0);
    EXPECT_EQ(Elements(v), (Values{7.0, 7.0}));
    EXPECT_EQ(v.Resize(-1, false), 201);
    EXPECT_EQ(Elements(v), (Values{7.0, 7.0}));
}

TEST(Vector, ResizeWithKeepStaysInTheCapacityAndKeepsTheContents)
{
    CVector v{1.0, 2.0, 3.0, 4.0};
    EXPECT_EQ(v.Resize(2, true), 0);
    EXPECT_EQ(Elements(v), (Values{1.0, 2.0}));
    EXPECT_EQ(v.Capacity(), 4);
    EXPECT_EQ(v.Resize(4, true), 0);  // grown back: the stored elements reappear
    EXPECT_EQ(Elements(v), (Values{1.0, 2.0, 3.0, 4.0}));
    EXPECT_EQ(v.Resize(2, true), 0);
    EXPECT_EQ(v.Resize(3, 9.0, true), 0);  // with a value: the new element gets it
    EXPECT_EQ(Elements(v), (Values{1.0, 2.0, 9.0}));
    EXPECT_EQ(v.Resize(5, true), 201);
    EXPECT_EQ(v.Resize(5, 0.0, true), 201);
    EXPECT_EQ(Elements(v), (Values{1.0, 2.0, 9.0}));
}

TEST(Vector, SumsDifferencesAndScaling)
{
    const CVector a{1.0, 2.0, 3.0};
    const CVector b{0.5, -1.0, 2.0};
    EXPECT_EQ(Elements(a + b), (Values{1.5, 1.0, 5.0}));
    EXPECT_EQ(Elements(a - b), (Values{0.5, 3.0, 1.0}));
    EXPECT_EQ(Elements(a * 2.0), (Values{2.0, 4.0, 6.0}));
    EXPECT_EQ(Elements(-0.5 * a), (Values{-0.5, -1.0, -1.5}));
    CVector c(a);
    c += b;
    c -= a;
    EXPECT_EQ(Elements(c), (Values{0.5, -1.0, 2.0}));
}

TEST(Vector, DotProductOfARowAndAColumn)
{
    EXPECT_EQ(RowVector({1.0, 2.0, 3.0}) * CVector({4.0, 5.0, 6.0}), 32.0);
    CVector marked{4.0, 5.0, 6.0};
    marked.SetOrientation(2);  // not a row
    EXPECT_EQ(RowVector({1.0, 0.0, -1.0}) * marked, -2.0);
}

TEST(Vector, OuterProductIsAPackedSymmetricMatrix)
{
    CVector v{1.0, 2.0, 3.0};
    v.SetOrientation(2);
    const CSymMat s = v.OuterProduct();
    EXPECT_EQ(s.Order(), 3);
    EXPECT_EQ(Elements(s), (Values{1.0, 2.0, 4.0, 3.0, 6.0, 9.0}));
    EXPECT_EQ(s(0, 2), 3.0);
}

TEST(Vector, RowVectorTimesEachShape)
{
    const CVector v = RowVector({1.0, 2.0, 3.0});
    const CRectMat rect(3, 2, {1.0, 2.0, 3.0, 4.0, 5.0, 6.0});
    CDiagMat diag{2.0, 3.0, 4.0};
    CUpTriangMat up(3);    // [[1,2,4],[0,3,5],[0,0,6]]
    CLowTriangMat low(3);  // [[1,0,0],[2,3,0],[4,5,6]]
    CSymMat sym(3);        // [[1,2,4],[2,3,5],[4,5,6]]
    FillCounting(up);
    FillCounting(low);
    FillCounting(sym);
    const CSquareMat square(3, {1.0, 2.0, 4.0, 2.0, 3.0, 5.0, 4.0, 5.0, 6.0});

    const CVector r1 = v * rect;
    EXPECT_TRUE(r1.IsRow());
    EXPECT_EQ(Elements(r1), (Values{22.0, 28.0}));
    EXPECT_EQ(Elements(v * diag), (Values{2.0, 6.0, 12.0}));
    EXPECT_EQ(Elements(v * up), (Values{1.0, 8.0, 32.0}));
    EXPECT_EQ(Elements(v * low), (Values{17.0, 21.0, 18.0}));
    EXPECT_EQ(Elements(v * sym), (Values{17.0, 23.0, 32.0}));
    EXPECT_EQ(Elements(v * square), (Values{17.0, 23.0, 32.0}));
    EXPECT_TRUE((v * sym).IsRow());
}

TEST(VectorFailure, IndexOutOfRangeStops)
{
    CVector v(2);
    const CVector& constant = v;
    EXPECT_STOP(v[2] = 1.0, "Error in []");
    EXPECT_STOP((void)constant[-1], "Error in []");
}

TEST(VectorFailure, MismatchedOperandsStop)
{
    const CVector a(3);
    const CVector b(4);
    const CVector row = RowVector({1.0, 2.0, 3.0});
    EXPECT_STOP(a + b, "Error in operator +");
    EXPECT_STOP(a - row, "Error in operator -");
    EXPECT_STOP({ CVector c(a); c += b; }, "Error in operator +=");
    EXPECT_STOP({ CVector c(a); c -= b; }, "Error in operator -=");
    EXPECT_STOP((void)(a * a), "Error in v1*v2");
    EXPECT_STOP((void)(row * row), "Error in v1*v2");
    EXPECT_STOP((void)(row * b), "Error in v1*v2");
    EXPECT_STOP(row.OuterProduct(), "Error in v*vt");
}

TEST(VectorFailure, VectorTimesMatrixNeedsARowOfTheRowCount)
{
    const CVector column(3);
    const CVector row = RowVector({1.0, 2.0});
    EXPECT_STOP(column * CRectMat(3, 3), "Error in CVector::*(CRectMat)");
    EXPECT_STOP(row * CRectMat(3, 2), "Error in CVector::*(CRectMat)");
    EXPECT_STOP(row * CDiagMat(3), "Error in CVector::*(CDiagMat)");
    EXPECT_STOP(row * CUpTriangMat(3), "Error in CVector::*(CUpTriangMat)");
    EXPECT_STOP(row * CLowTriangMat(3), "Error in CVector::*(CLowTriangMat)");
    EXPECT_STOP(column * CSymMat(3), "Error in CVector::*(CSymMat)");
}
