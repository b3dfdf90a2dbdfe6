#include "MatrixTestSupport.h"

using matrix_test::Dense;
using matrix_test::Elements;
using matrix_test::FillCounting;
using matrix_test::Values;

TEST(ShapeStorage, RectangularMatrixIsStoredRowByRow)
{
    CRectMat m(2, 3);
    EXPECT_EQ(m.Size(), 6);
    EXPECT_EQ(m.RowCapacity(), 2);
    EXPECT_EQ(m.ColCapacity(), 3);
    m(1, 2) = 5.0;
    m(0, 1) = 7.0;
    EXPECT_EQ(Elements(m), (Values{0.0, 7.0, 0.0, 0.0, 0.0, 5.0}));
    EXPECT_EQ(m.Shape(), MatShape::Rect);
}

TEST(ShapeStorage, DiagonalMatrixStoresOnlyItsDiagonal)
{
    CDiagMat d(3);
    EXPECT_EQ(d.Size(), 3);
    d(2, 2) = 4.0;
    EXPECT_EQ(Elements(d), (Values{0.0, 0.0, 4.0}));
    d(0, 1) = 7.0;  // a structural zero: the write is lost
    EXPECT_EQ(Elements(d), (Values{0.0, 0.0, 4.0}));
    EXPECT_EQ(d(0, 1), 0.0);
}

TEST(ShapeStorage, LowerTriangleIsPackedRowByRow)
{
    CLowTriangMat low(4);
    EXPECT_EQ(low.Size(), 10);
    low(2, 1) = 1.0;
    low(3, 0) = 2.0;
    low(3, 3) = 3.0;
    EXPECT_EQ(Elements(low), (Values{0, 0, 0, 0, 1, 0, 2, 0, 0, 3}));
    const CLowTriangMat& constant = low;
    EXPECT_EQ(constant(0, 1), 0.0);
    low(0, 1) = 9.0;  // lost
    EXPECT_EQ(low(0, 1), 0.0);
    EXPECT_EQ(Elements(low), (Values{0, 0, 0, 0, 1, 0, 2, 0, 0, 3}));
}

TEST(ShapeStorage, UpperTriangleIsPackedColumnByColumn)
{
    CUpTriangMat up(4);
    up(1, 2) = 1.0;
    up(0, 3) = 2.0;
    up(2, 2) = 3.0;
    EXPECT_EQ(Elements(up), (Values{0, 0, 0, 0, 1, 3, 2, 0, 0, 0}));
    up(2, 1) = 9.0;  // lost
    EXPECT_EQ(up(2, 1), 0.0);
}

TEST(ShapeStorage, SymmetricMatrixSharesOneElementForBothHalves)
{
    CSymMat sym(3);
    EXPECT_EQ(sym.Size(), 6);
    sym(0, 2) = 5.0;
    EXPECT_EQ(sym(2, 0), 5.0);
    sym(2, 1) = 6.0;
    EXPECT_EQ(sym(1, 2), 6.0);
    EXPECT_EQ(Elements(sym), (Values{0, 0, 0, 5, 6, 0}));
}

TEST(ShapeStorage, AWriteToAStructuralZeroIsNeverReadBack)
{
    CLowTriangMat low(3);
    low(0, 2) = 42.0;
    CUpTriangMat up(3);
    CDiagMat diag(3);
    EXPECT_EQ(up(2, 0), 0.0);
    EXPECT_EQ(diag(1, 0), 0.0);
    double& cell = low(0, 1);
    EXPECT_EQ(cell, 0.0);
}

TEST(ShapeStorage, OutOfRangeAccessRecordsTheFaultAndHandsOutTheDummyCell)
{
    CRectMat m(2, 2, 1.0);
    TakeMatrixFaults();
    m(2, 0) = 5.0;
    EXPECT_EQ(TakeMatrixFaults(), "Error in ()\n");
    EXPECT_EQ(Elements(m), (Values{1.0, 1.0, 1.0, 1.0}));

    const CRectMat& constant = m;
    TakeMatrixFaults();
    const double value = constant(0, -1);
    EXPECT_EQ(TakeMatrixFaults(), "Error in ()\n");
    EXPECT_EQ(value, 0.0);
}

TEST(ShapeStorage, RowsAndColumnsOfTriangularMatrices)
{
    CLowTriangMat low(4);  // (2,0)=4 (2,1)=5 (2,2)=6 (3,2)=9
    FillCounting(low);
    const CVector lowRow = low.Row(2);
    EXPECT_TRUE(lowRow.IsRow());
    EXPECT_EQ(Elements(lowRow), (Values{4.0, 5.0, 0.0, 0.0}));
    const CVector lowCol = low.Col(2);
    EXPECT_FALSE(lowCol.IsRow());
    EXPECT_EQ(Elements(lowCol), (Values{0.0, 0.0, 6.0, 9.0}));

    CUpTriangMat up(4);  // (1,1)=3 (1,2)=5 (1,3)=8 (0,2)=4
    FillCounting(up);
    EXPECT_EQ(Elements(up.Row(1)), (Values{0.0, 3.0, 5.0, 8.0}));
    EXPECT_TRUE(up.Row(1).IsRow());
    EXPECT_EQ(Elements(up.Col(2)), (Values{4.0, 5.0, 0.0, 0.0}));
    EXPECT_EQ(Elements(up.Col(0)), (Values{0.0, 0.0, 0.0, 0.0}));
}

TEST(ShapeStorage, RowsAndColumnsOfTheOtherShapes)
{
    CSymMat sym(3);  // [[1,2,4],[2,3,5],[4,5,6]]
    FillCounting(sym);
    EXPECT_EQ(Elements(sym.Row(1)), (Values{2.0, 3.0, 5.0}));
    EXPECT_EQ(Elements(sym.Col(2)), (Values{4.0, 5.0, 6.0}));
    const CDiagMat diag{1.0, 2.0, 3.0};
    EXPECT_EQ(Elements(diag.Col(1)), (Values{0.0, 2.0, 0.0}));
    EXPECT_TRUE(diag.Row(2).IsRow());
    const CRectMat rect(2, 3, {1, 2, 3, 4, 5, 6});
    EXPECT_EQ(Elements(rect.Row(1)), (Values{4.0, 5.0, 6.0}));
    EXPECT_EQ(Elements(rect.Col(2)), (Values{3.0, 6.0}));
}

TEST(ShapeStorage, SymmetricMatrixShrinksByOneOrderAndGrowsBackWhole)
{
    CSymMat s(4);
    FillCounting(s);  // row 3 holds 7, 8, 9, 10
    ASSERT_EQ(s.Resize(3, true), 0);
    EXPECT_EQ(s.Order(), 3);
    EXPECT_EQ(s.Size(), 6);
    EXPECT_EQ(s.Capacity(), 10);
    EXPECT_EQ(s(2, 1), 5.0);
    s += CSymMat(3, 100.0);
    ASSERT_EQ(s.Resize(4, true), 0);
    EXPECT_EQ(Elements(s), (Values{101, 102, 103, 104, 105, 106, 7, 8, 9, 10}));

    EXPECT_EQ(s.Resize(5, true), 604);
    EXPECT_EQ(s.Order(), 4);
    ASSERT_EQ(s.Resize(2, true), 0);
    ASSERT_EQ(s.Resize(3, -1.0, true), 0);  // the new row gets the value
    EXPECT_EQ(Elements(s), (Values{101, 102, 103, -1, -1, -1}));
}

TEST(ShapeStorage, ResizeWithoutKeepReallocatesZeros)
{
    CSymMat s(4, 2.0);
    ASSERT_EQ(s.Resize(2, false), 0);
    EXPECT_EQ(s.Capacity(), 3);
    EXPECT_EQ(Elements(s), (Values{0, 0, 0}));
    ASSERT_EQ(s.Resize(3), 0);
    EXPECT_EQ(Elements(s), (Values{0, 0, 0, 0, 0, 0}));
    CUpTriangMat up(3, 1.0);
    ASSERT_EQ(up.Resize(2, 5.0), 0);
    EXPECT_EQ(Elements(up), (Values{5, 5, 5}));
    CDiagMat d{1.0, 2.0, 3.0};
    ASSERT_EQ(d.Resize(2, true), 0);
    ASSERT_EQ(d.Resize(3, true), 0);
    EXPECT_EQ(Elements(d), (Values{1, 2, 3}));
    ASSERT_EQ(d.Resize(1, false), 0);
    EXPECT_EQ(Elements(d), (Values{0}));
    CSquareMat sq(2, 1.0);
    ASSERT_EQ(sq.Resize(3, 4.0), 0);
    EXPECT_EQ(sq.Order(), 3);
    EXPECT_EQ(Elements(sq), (Values(9, 4.0)));
}

TEST(ShapeStorage, UpperTriangleShrinksToItsLeadingBlock)
{
    CUpTriangMat r(3);  // [[1,2,4],[0,3,5],[0,0,6]]
    FillCounting(r);
    ASSERT_EQ(r.Resize(2, true), 0);
    EXPECT_EQ(r(0, 1), 2.0);
    EXPECT_EQ(r(1, 1), 3.0);
    EXPECT_EQ(r.Det(), 3.0);
}

TEST(ShapeStorage, RectangularResizeWithKeepKeepsElementsInPlace)
{
    CRectMat m(2, 3, {1, 2, 3, 4, 5, 6});
    ASSERT_EQ(m.Resize(3, 2, true), 0);
    EXPECT_EQ(Elements(m), (Values{1, 2, 4, 5, 0, 0}));
    ASSERT_EQ(m.Resize(2, 2, 9.0, true), 0);
    EXPECT_EQ(Elements(m), (Values{1, 2, 4, 5}));
    ASSERT_EQ(m.Resize(2, 3, 9.0, true), 0);
    EXPECT_EQ(Elements(m), (Values{1, 2, 9, 4, 5, 9}));
    EXPECT_EQ(m.Resize(4, 2, true), 303);
    EXPECT_EQ(m.Resize(-1, 2), 303);
    EXPECT_EQ(Elements(m), (Values{1, 2, 9, 4, 5, 9}));
    ASSERT_EQ(m.Resize(1, 4), 0);
    EXPECT_EQ(m.Rows(), 1);
    EXPECT_EQ(Elements(m), (Values{0, 0, 0, 0}));
}

TEST(ShapeStorage, SixteenBitLimits)
{
    const CSymMat order255(255);
    EXPECT_EQ(order255.Order(), 255);
    EXPECT_EQ(order255.Size(), 32640);
    const CSymMat order256(256);  // 32896 packed elements do not fit 16 bits
    EXPECT_EQ(order256.Order(), 0);
    EXPECT_EQ(order256.Size(), 0);
    CSymMat s;
    EXPECT_EQ(s.InitSize(256), 602);
    EXPECT_EQ(s.Resize(256), 604);
    EXPECT_EQ(s.Order(), 0);
    EXPECT_EQ(CLowTriangMat(256).Order(), 0);
    EXPECT_EQ(CUpTriangMat(255).Size(), 32640);
    EXPECT_EQ(CSquareMat(181).Size(), 32761);
    EXPECT_EQ(CSquareMat(182).Size(), 0);
    EXPECT_EQ(CRectMat(1, 32768).Size(), 0);
    EXPECT_EQ(CRectMat(2, 3).InitSize(1, 1), 302);
    CRectMat r;
    EXPECT_EQ(r.InitSize(200, 200), 302);
}

TEST(ShapeStorage, InitSizeOnlyOnEmptyMatricesOfFittingShape)
{
    CRectMat r;
    EXPECT_EQ(r.InitSize(-1, 2), 302);
    EXPECT_EQ(r.InitSize(2, 3), 0);
    EXPECT_EQ(r.Rows(), 2);
    EXPECT_EQ(r.InitSize(2, 3), 302);

    CSquareMat q;
    EXPECT_EQ(q.InitSize(-2), 400);
    EXPECT_EQ(q.InitSize(2), 0);
    EXPECT_EQ(q.Size(), 4);

    CLowTriangMat low;
    EXPECT_EQ(low.InitSize(2, 3), 502);
    EXPECT_EQ(low.InitSize(3), 0);
    EXPECT_EQ(low.InitSize(3), 502);
    EXPECT_EQ(low.Size(), 6);

    CSymMat sym;
    EXPECT_EQ(sym.InitSize(3, 2), 602);
    EXPECT_EQ(sym.InitSize(-1), 602);
    EXPECT_EQ(sym.InitSize(4), 0);
    EXPECT_EQ(sym.Size(), 10);

    CDiagMat diag;
    EXPECT_EQ(diag.InitSize(1, 2), 702);
    EXPECT_EQ(diag.InitSize(4, 4), 0);
    EXPECT_EQ(diag.InitSize(4), 702);
    EXPECT_EQ(diag.Size(), 4);
}

TEST(ShapeStorage, ResizeFailuresLeaveTheMatrixUnchanged)
{
    CSquareMat q(2, 1.0);
    EXPECT_EQ(q.Resize(-1), 401);
    EXPECT_EQ(q.Resize(-1, 3.0), 401);
    EXPECT_EQ(q.Order(), 2);

    CLowTriangMat low(3, 1.0);
    EXPECT_EQ(low.Resize(-1), 503);
    EXPECT_EQ(low.Resize(4, true), 503);
    EXPECT_EQ(low.Resize(4, 2.0, true), 503);
    EXPECT_EQ(low.Order(), 3);

    CDiagMat diag(2, 1.0);
    EXPECT_EQ(diag.Resize(3, true), 704);
    EXPECT_EQ(diag.Resize(-3), 704);
    EXPECT_EQ(Elements(diag), (Values{1.0, 1.0}));

    CSymMat sym(2, 1.0);
    EXPECT_EQ(sym.Resize(-1, false), 604);
    EXPECT_EQ(Elements(sym), (Values{1.0, 1.0, 1.0}));
}

TEST(ShapeStorage, RowAndColumnEditsOfARectangularMatrix)
{
    CRectMat m(2, 3, {1, 2, 3, 4, 5, 6});
    CVector column{7.0, 8.0};
    EXPECT_EQ(m.InitCol(1, column), 0);
    EXPECT_EQ(Elements(m), (Values{1, 7, 3, 4, 8, 6}));
    CVector row{9.0, 9.5, 10.0};
    EXPECT_EQ(m.InitRow(0, row), 301);  // a column vector
    row.SetOrientation(CVector::kRow);
    EXPECT_EQ(m.InitRow(0, row), 0);
    EXPECT_EQ(Elements(m), (Values{9, 9.5, 10, 4, 8, 6}));
    EXPECT_EQ(m.InitRow(2, row), 301);
    EXPECT_EQ(m.InitCol(3, column), 300);
    EXPECT_EQ(m.InitCol(0, CVector(3)), 300);
    EXPECT_EQ(m.InitCol(0, row), 300);

    EXPECT_EQ(m.SwitchRow(0, 1), 0);
    EXPECT_EQ(Elements(m), (Values{4, 8, 6, 9, 9.5, 10}));
    EXPECT_EQ(m.SwitchCol(0, 2), 0);
    EXPECT_EQ(Elements(m), (Values{6, 8, 4, 10, 9.5, 9}));
    EXPECT_EQ(m.SwitchRow(0, 2), 306);
    EXPECT_EQ(m.SwitchCol(-1, 0), 305);
    EXPECT_EQ(Elements(m), (Values{6, 8, 4, 10, 9.5, 9}));
}

TEST(ShapeStorage, PackedShapesRefuseRowAndColumnEdits)
{
    const CVector column{1.0, 2.0, 3.0};
    CLowTriangMat low(3);
    CUpTriangMat up(3);
    CSymMat sym(3);
    CDiagMat diag(3);
    FillCounting(low);
    FillCounting(up);
    FillCounting(sym);
    FillCounting(diag);
    const CLowTriangMat low0(low);
    const CUpTriangMat up0(up);
    const CSymMat sym0(sym);
    const CDiagMat diag0(diag);

    EXPECT_EQ(low.InitCol(0, column), 500);
    EXPECT_EQ(up.InitRow(0, column), 501);
    EXPECT_EQ(low.SwitchCol(0, 1), 504);
    EXPECT_EQ(up.SwitchRow(0, 1), 505);
    EXPECT_EQ(sym.InitCol(0, column), 600);
    EXPECT_EQ(sym.InitRow(0, column), 601);
    EXPECT_EQ(sym.SwitchCol(0, 1), 605);
    EXPECT_EQ(sym.SwitchRow(0, 1), 606);
    EXPECT_EQ(diag.InitCol(0, column), 700);
    EXPECT_EQ(diag.InitRow(0, column), 701);
    EXPECT_EQ(diag.SwitchCol(0, 1), 705);
    EXPECT_EQ(diag.SwitchRow(0, 1), 706);
    // Also through the base class.
    CRectMat& base = sym;
    EXPECT_EQ(base.InitCol(1, column), 600);

    EXPECT_TRUE(low == low0);
    EXPECT_TRUE(up == up0);
    EXPECT_TRUE(sym == sym0);
    EXPECT_TRUE(diag == diag0);
}

TEST(ShapeStorage, CopyingAnyShapeIntoADenseMatrixGivesItsValue)
{
    CSymMat sym(3);
    FillCounting(sym);
    const CRectMat rect(sym);
    EXPECT_EQ(rect.Shape(), MatShape::Rect);
    EXPECT_EQ(Elements(rect), (Values{1, 2, 4, 2, 3, 5, 4, 5, 6}));
    CUpTriangMat up(2);
    FillCounting(up);
    CSquareMat square;
    square = CSquareMat(up);
    EXPECT_EQ(Elements(square), (Values{1, 2, 0, 3}));
    EXPECT_EQ(Elements(up.ToRect()), (Values{1, 2, 0, 3}));
    EXPECT_FALSE(CRectMat(sym) == CRectMat(3, 3));
}
