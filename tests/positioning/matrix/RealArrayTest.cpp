#include "MatrixTestSupport.h"

using matrix_test::Elements;
using matrix_test::Values;

TEST(RealArray, ConstructionAllocatesZerosOrCopiesOfTheValue)
{
    const CRealArray zeros(3);
    EXPECT_EQ(zeros.Capacity(), 3);
    EXPECT_EQ(zeros.Size(), 3);
    EXPECT_EQ(Elements(zeros), (Values{0.0, 0.0, 0.0}));

    const CRealArray filled(2, 1.5);
    EXPECT_EQ(Elements(filled), (Values{1.5, 1.5}));

    // Past the inline storage as well.
    const CRealArray large(40, -2.0);
    EXPECT_EQ(large.Size(), 40);
    EXPECT_EQ(large.Elt(39), -2.0);
}

TEST(RealArray, NonPositiveOrOversizedCountGivesAnEmptyArray)
{
    for (int n : {0, -4, 32768}) {
        const CRealArray a(n, 1.0);
        EXPECT_EQ(a.Capacity(), 0) << n;
        EXPECT_EQ(a.Size(), 0) << n;
        EXPECT_EQ(a.Data(), nullptr) << n;
    }
    EXPECT_EQ(CRealArray(32767).Size(), 32767);
}

TEST(RealArray, CopyTakesTheCapacityAndZeroFillsTheUnusedElements)
{
    CRealArray a(4, 2.0);
    ASSERT_EQ(a.SetSize(2), 0);
    const CRealArray copy(a);
    EXPECT_EQ(copy.Capacity(), 4);
    EXPECT_EQ(copy.Size(), 2);
    EXPECT_EQ(std::vector<double>(copy.Data(), copy.Data() + 4), (Values{2.0, 2.0, 0.0, 0.0}));

    CRealArray assigned(1, 9.0);
    assigned = a;
    EXPECT_EQ(assigned.Capacity(), 4);
    EXPECT_EQ(Elements(assigned), (Values{2.0, 2.0}));

    CRealArray big(20, 3.0);
    CRealArray moved(std::move(big));
    EXPECT_EQ(moved.Size(), 20);
    EXPECT_EQ(moved.Elt(19), 3.0);
    EXPECT_EQ(big.Size(), 0);
}

TEST(RealArray, SetSizeStaysWithinTheCapacity)
{
    CRealArray a(4, 1.0);
    EXPECT_EQ(a.SetSize(2), 0);
    EXPECT_EQ(a.Size(), 2);
    EXPECT_EQ(a.SetSize(4, 7.0), 0);
    EXPECT_EQ(Elements(a), (Values{1.0, 1.0, 7.0, 7.0}));

    EXPECT_EQ(a.SetSize(5), 102);
    EXPECT_EQ(a.SetSize(-1), 102);
    EXPECT_EQ(Elements(a), (Values{1.0, 1.0, 7.0, 7.0}));
}

TEST(RealArray, SetInRangeAndGetInRangeCopyBlocks)
{
    CRealArray a(5);
    CRealArray block(2);
    block.Elt(0) = 8.0;
    block.Elt(1) = 9.0;
    EXPECT_EQ(a.SetInRange(3, block), 0);
    EXPECT_EQ(Elements(a), (Values{0.0, 0.0, 0.0, 8.0, 9.0}));

    EXPECT_EQ(a.SetInRange(4, block), 101);
    EXPECT_EQ(a.SetInRange(-1, block), 101);
    EXPECT_EQ(Elements(a), (Values{0.0, 0.0, 0.0, 8.0, 9.0}));

    CRealArray target(2, -1.0);
    EXPECT_EQ(a.GetInRange(2, target), 0);
    EXPECT_EQ(Elements(target), (Values{0.0, 8.0}));
    CRealArray untouched(2, -1.0);
    EXPECT_EQ(a.GetInRange(4, untouched), 100);
    EXPECT_EQ(a.GetInRange(-1, untouched), 100);
    EXPECT_EQ(Elements(untouched), (Values{-1.0, -1.0}));
}

TEST(RealArray, SwitchElementsChecksBothIndices)
{
    CRealArray a(3);
    matrix_test::FillCounting(a);
    EXPECT_EQ(a.SwitchElements(0, 2), 0);
    EXPECT_EQ(Elements(a), (Values{3.0, 2.0, 1.0}));
    EXPECT_EQ(a.SwitchElements(0, 3), 104);
    EXPECT_EQ(a.SwitchElements(-1, 1), 104);
    EXPECT_EQ(Elements(a), (Values{3.0, 2.0, 1.0}));
}

TEST(RealArray, ElementwiseArithmeticAndScaling)
{
    CRealArray a(3);
    CRealArray b(3, 0.5);
    matrix_test::FillCounting(a);
    EXPECT_EQ(Elements(a + b), (Values{1.5, 2.5, 3.5}));
    EXPECT_EQ(Elements(a - b), (Values{0.5, 1.5, 2.5}));
    EXPECT_EQ(Elements(a * 2.0), (Values{2.0, 4.0, 6.0}));
    EXPECT_EQ(Elements(-1.0 * a), (Values{-1.0, -2.0, -3.0}));
    a += b;
    EXPECT_EQ(Elements(a), (Values{1.5, 2.5, 3.5}));
    a -= b;
    a -= b;
    EXPECT_EQ(Elements(a), (Values{0.5, 1.5, 2.5}));
}

TEST(RealArray, EqualityMeansSameSizeAndIdenticalBytes)
{
    CRealArray a(2, 1.0);
    CRealArray b(3, 1.0);
    EXPECT_FALSE(a == b);
    b.SetSize(2);
    EXPECT_TRUE(a == b);  // the capacity does not count
    CRealArray zero(1, 0.0);
    CRealArray negativeZero(1, -0.0);
    EXPECT_FALSE(zero == negativeZero);
}

TEST(RealArrayFailure, ArithmeticOnDifferentSizesStops)
{
    const CRealArray a(3);
    const CRealArray b(4);
    EXPECT_STOP(a + b, "Error in + : sizes are different");
    EXPECT_STOP(a - b, "Error in - : sizes are different");
    EXPECT_STOP({ CRealArray c(a); c += b; }, "Error in += : sizes are different");
    EXPECT_STOP({ CRealArray c(a); c -= b; }, "Error in -= : sizes are different");
}

TEST(RealArrayFailure, EltOutOfRangeStops)
{
    CRealArray a(3);
    const CRealArray& constant = a;
    EXPECT_STOP(a.Elt(3) = 1.0, "Error in Elt");
    EXPECT_STOP((void)constant.Elt(-1), "Error in Elt");
}

namespace {

// Opens the reallocation used by the derived classes.
struct ReallocatingArray : CRealArray {
    using CRealArray::CRealArray;
    using CRealArray::Reallocate;
};

}  // namespace

TEST(RealArray, ReallocationRefusesANegativeCount)
{
    ReallocatingArray a(2, 5.0);
    EXPECT_EQ(a.Reallocate(-1), 103);
    EXPECT_EQ(Elements(a), (Values{5.0, 5.0}));
    EXPECT_EQ(a.Reallocate(3, 1.0), 0);
    EXPECT_EQ(a.Capacity(), 3);
    EXPECT_EQ(Elements(a), (Values{1.0, 1.0, 1.0}));
}
