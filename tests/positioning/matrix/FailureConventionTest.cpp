// Operations that cannot return a status print "<message>\n" and end the program
// with exit code -1 when their operands do not fit.
#include "MatrixTestSupport.h"

TEST(FailureConvention, RectangularMatrixOperands)
{
    const CRectMat a(2, 3);
    const CRectMat b(3, 2);
    EXPECT_STOP(a * CVector(2), "Error in CRectMat::operator* vecteur");
    CVector row(3);
    row.SetOrientation(CVector::kRow);
    EXPECT_STOP(a * row, "Error in CRectMat::operator* vecteur");
    EXPECT_STOP(a * a, "Error in CRectMat::operator* matrice rectangulaire");
    EXPECT_STOP(a + b, "Error in CRectMat::operator +");
    EXPECT_STOP(a - b, "Error in CRectMat::operator -");
    EXPECT_STOP({ CRectMat c(a); c += b; }, "Error in operator CRectMat::operator+=");
    EXPECT_STOP({ CRectMat c(a); c -= b; }, "Error in operator CRectMat::operator-=");
    EXPECT_STOP(a.Col(3), "Error in CRectMat::Col");
    EXPECT_STOP(a.Row(-1), "Error in CRectMat::Row");
    EXPECT_STOP(a.ToUpTriang(), "Error in ToUpTriang");
    EXPECT_STOP(a.ToLowTriang(), "Error in ToLowTriang");
    EXPECT_STOP(a.ToSym(), "Error in ToSym");
}

TEST(FailureConvention, SquareMatrixWithOtherShapesOfAnotherOrder)
{
    const CSquareMat q(3);
    const CLowTriangMat low(2);
    const CUpTriangMat up(2);
    const CSymMat sym(2);
    const CDiagMat diag(2);
    EXPECT_STOP(q * diag, "Error in CSquareMat::*(Diag)");
    EXPECT_STOP(q + low, "Error in CSquareMat::operator +(Low)");
    EXPECT_STOP(q - low, "Error in CSquareMat::operator -(Low)");
    EXPECT_STOP({ CSquareMat c(q); c += low; }, "Error in CSquareMat::operator +=(Low)");
    EXPECT_STOP({ CSquareMat c(q); c -= low; }, "Error in CSquareMat::operator -=(Low)");
    EXPECT_STOP(q + up, "Error in CSquareMat::operator +(Up)");
    EXPECT_STOP(q - up, "Error in CSquareMat::operator -(Up)");
    EXPECT_STOP({ CSquareMat c(q); c += up; }, "Error in CSquareMat::operator +=(Up)");
    EXPECT_STOP({ CSquareMat c(q); c -= up; }, "Error in CSquareMat::operator -=(Up)");
    EXPECT_STOP(q + sym, "Error in CSquareMat::operator +(Sym)");
    EXPECT_STOP(q - sym, "Error in CSquareMat::operator -(Sym)");
    EXPECT_STOP({ CSquareMat c(q); c += sym; }, "Error in CSquareMat::operator +=(Sym)");
    EXPECT_STOP({ CSquareMat c(q); c -= sym; }, "Error in CSquareMat::operator -=(Sym)");
    EXPECT_STOP(q + diag, "Error in CSquareMat::operator +(Diag)");
    EXPECT_STOP(q - diag, "Error in CSquareMat::operator -(Diag)");
    EXPECT_STOP({ CSquareMat c(q); c += diag; }, "Error in CSquareMat::operator +=(Diag)");
    EXPECT_STOP({ CSquareMat c(q); c -= diag; }, "Error in CSquareMat::operator -=(Diag)");
    EXPECT_STOP({ CSquareMat t(2); q.TransposeInto(t); }, "Error in CSquareMat::operator t(*p)");
}

TEST(FailureConvention, TriangleWithASquareMatrixOfAnotherOrder)
{
    const CSquareMat q(3);
    EXPECT_STOP(CLowTriangMat(2) + q, "Error in CLowTriangMat::operator +(Square)");
    EXPECT_STOP(CLowTriangMat(2) - q, "Error in CLowTriangMat::operator -(Square)");
    EXPECT_STOP(CUpTriangMat(2) + q, "Error in CUpTriangMat::operator +(Square)");
    EXPECT_STOP(CUpTriangMat(2) - q, "Error in CUpTriangMat::operator -(Square)");
}

TEST(FailureConvention, SolveAXEqualToBStopsOnMisfitOrSingularSystems)
{
    const CSquareMat a(2, {1, 2, 3, 4});
    EXPECT_STOP(a.SolveAXEqualToB(CRectMat(3, 1)), "Error in CSquareMat::SolveAXEqualToB");
    const CSquareMat singular(2, {1, 2, 2, 4});
    EXPECT_STOP(singular.SolveAXEqualToB(CRectMat(2, 1, 1.0)), "Error in CSquareMat::inv");
    EXPECT_STOP(singular.SolveAXEqualToB(CVector(2, 1.0)), "Error in CSquareMat::inv");
}

TEST(FailureConvention, LuAndInvRecordTheFaultAndTheProgramGoesOn)
{
    const CSquareMat singular(2, {1, 2, 2, 4});
    TakeMatrixFaults();
    const CSquareMat first = singular.inv();
    const CSquareMat second = CSquareMat(2, {0, 0, 1, 1}).inv();
    EXPECT_EQ(TakeMatrixFaults(), "Error in CSquareMat::inv\nError in lu\n");
    EXPECT_EQ(first.Size(), 0);
    EXPECT_EQ(second.Size(), 0);
}
