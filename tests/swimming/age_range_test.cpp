#include "swimming/age_range.h"

#include <gtest/gtest.h>

using namespace marqor;

namespace {

struct Construction {
    int lowest;
    int highest;
    int minAge;
    int maxAge;
    const char* code;
};

void PrintTo(const Construction& c, std::ostream* os) {
    *os << c.lowest << ";" << c.highest;
}

class AgeRangeConstruction : public testing::TestWithParam<Construction> {};

TEST_P(AgeRangeConstruction, NormalisesTheBounds) {
    const TBSSwAgeRange r(GetParam().lowest, GetParam().highest);
    EXPECT_EQ(r.MinAge(), GetParam().minAge);
    EXPECT_EQ(r.MaxAge(), GetParam().maxAge);
    EXPECT_EQ(r.Code(), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(Bounds, AgeRangeConstruction, testing::Values(
    Construction{-1, 24, -1, 24, "X_24"}, Construction{25, 29, 25, 29, "25_29"},
    Construction{95, -1, 95, -1, "95_X"}, Construction{-1, -1, -1, -1, "X_X"},
    Construction{0, 0, -1, -1, "X_X"}, Construction{-7, -3, -1, -1, "X_X"},
    Construction{25, 99, 25, -1, "25_X"}, Construction{72, 99, 72, 99, "72_99"},
    Construction{80, 99, 80, 99, "80_99"}, Construction{95, 99, 95, 99, "95_99"},
    Construction{-1, 99, -1, -1, "X_X"}, Construction{30, 109, 30, -1, "30_X"},
    Construction{30, 999, 30, -1, "30_X"}, Construction{10, 10, 10, 10, "10_10"},
    Construction{1, 120, 1, 120, "1_120"}));

struct Containment {
    int lowest;
    int highest;
    int age;
    bool contained;
};

void PrintTo(const Containment& c, std::ostream* os) {
    *os << c.lowest << ";" << c.highest << " age " << c.age;
}

class ContainsAge : public testing::TestWithParam<Containment> {};

TEST_P(ContainsAge, KeepsAgeMinusOneForRangesOpenOnBothSides) {
    EXPECT_EQ(TBSSwAgeRange(GetParam().lowest, GetParam().highest).ContainsAge(GetParam().age),
              GetParam().contained);
}

INSTANTIATE_TEST_SUITE_P(Ages, ContainsAge, testing::Values(
    Containment{-1, 24, 10, true}, Containment{-1, 24, 24, true},
    Containment{-1, 24, 25, false}, Containment{-1, 24, -1, false},
    Containment{95, -1, 95, true}, Containment{95, -1, 120, true},
    Containment{95, -1, 94, false}, Containment{95, -1, -1, false},
    Containment{-1, -1, -1, true}, Containment{-1, -1, 0, true},
    Containment{-1, -1, 200, true}, Containment{25, 29, 27, true},
    Containment{25, 29, 30, false}));

TEST(AgeRange, SortValueAndKeysOrderRanges) {
    EXPECT_EQ(TBSSwAgeRange(25, 29).SortValue(), 25029);
    EXPECT_EQ(TBSSwAgeRange(-1, 24).SortValue(), 24);
    EXPECT_EQ(TBSSwAgeRange(95, -1).SortValue(), 95000);
    EXPECT_EQ(TBSSwAgeRange::Empty().SortValue(), 2147483647000LL);
    EXPECT_EQ(TBSSwAgeRange(25, 29).SortKey(true), "00025_00029");
    EXPECT_EQ(TBSSwAgeRange(25, 29).SortKey(false), "00974_00970");
    EXPECT_EQ(TBSSwAgeRange(-1, 24).SortKey(true), "-00001_00024");
    EXPECT_EQ(TBSSwAgeRange::Empty().SortKey(true), "X");
}

TEST(AgeRange, SpanCountsOpenSidesAsTheWholeScale) {
    EXPECT_EQ(TBSSwAgeRange(25, 29).Span(), 4);
    EXPECT_EQ(TBSSwAgeRange(-1, 10).Span(), 10);
    EXPECT_EQ(TBSSwAgeRange(95, -1).Span(), 2147483647 - 95);
    EXPECT_EQ(TBSSwAgeRange(-1, -1).Span(), 2147483647);
    EXPECT_EQ(TBSSwAgeRange::Empty().Span(), 0);
}

TEST(AgeRange, OpenAndExtendedRangesAreRecognised) {
    EXPECT_TRUE(TBSSwAgeRange(-1, -1).IsOpen());
    EXPECT_FALSE(TBSSwAgeRange(-1, 10).IsOpen());
    EXPECT_TRUE(TBSSwAgeRange(120, -1).IsExtendedRange());
    EXPECT_TRUE(TBSSwAgeRange(1, 119).IsExtendedRange());
    EXPECT_FALSE(TBSSwAgeRange(1, 118).IsExtendedRange());
    EXPECT_TRUE(TBSSwAgeRange(72, 99).IsExtendedRange());
    EXPECT_TRUE(TBSSwAgeRange(80, 96).IsExtendedRange());
    EXPECT_FALSE(TBSSwAgeRange(80, 99).IsExtendedRange());
    EXPECT_TRUE(TBSSwAgeRange::Empty().IsEmpty());
}

TEST(AgeRange, ContainsRangeNeedsTheOtherInsideBothBounds) {
    const TBSSwAgeRange masters(25, 29);
    EXPECT_TRUE(masters.ContainsRange(TBSSwAgeRange(26, 28)));
    EXPECT_TRUE(masters.ContainsRange(TBSSwAgeRange(25, 29)));
    EXPECT_FALSE(masters.ContainsRange(TBSSwAgeRange(24, 28)));
    EXPECT_FALSE(masters.ContainsRange(TBSSwAgeRange(26, -1)));
    EXPECT_TRUE(TBSSwAgeRange(-1, -1).ContainsRange(masters));
    EXPECT_TRUE(TBSSwAgeRange(20, -1).ContainsRange(TBSSwAgeRange(30, -1)));
    EXPECT_FALSE(TBSSwAgeRange(-1, 10).ContainsRange(TBSSwAgeRange(-1, -1)));
}

TEST(AgeRange, OverlapsWhenEitherHoldsABoundOfTheOther) {
    EXPECT_TRUE(TBSSwAgeRange(25, 29).Overlaps(TBSSwAgeRange(29, 34)));
    EXPECT_FALSE(TBSSwAgeRange(25, 29).Overlaps(TBSSwAgeRange(30, 34)));
    EXPECT_TRUE(TBSSwAgeRange(25, 29).Overlaps(TBSSwAgeRange(20, 40)));
    EXPECT_TRUE(TBSSwAgeRange(-1, 10).Overlaps(TBSSwAgeRange(5, -1)));
}

TEST(AgeRange, EqualityComparesBothBounds) {
    const TBSSwAgeRange a(25, 29);
    EXPECT_TRUE(a.Equals(NewAgeRange(25, 29).get()));
    EXPECT_TRUE(a.Equals(NewAgeRange(25, 29).get()));
    EXPECT_FALSE(a.Equals(NewAgeRange(25, 30).get()));
    EXPECT_FALSE(a.Equals(nullptr));
    EXPECT_TRUE(TBSSwAgeRange(30, 109).Equals(NewAgeRange(30, -1).get()));
}

struct Extension {
    int lowest, highest;   // the range to extend; lowest 0 with highest 0 stands for empty
    int otherLowest, otherHighest;
    int minAge, maxAge;
};

void PrintTo(const Extension& e, std::ostream* os) {
    *os << e.lowest << ";" << e.highest << " by " << e.otherLowest << ";" << e.otherHighest;
}

class Extend : public testing::TestWithParam<Extension> {};

TEST_P(Extend, WidensTheRangeToCoverTheOther) {
    const auto& p = GetParam();
    auto range = p.lowest == 0 && p.highest == 0 ? NewEmptyAgeRange()
                                                 : NewAgeRange(p.lowest, p.highest);
    range->Extend(TBSSwAgeRange(p.otherLowest, p.otherHighest));
    EXPECT_EQ(range->MinAge(), p.minAge);
    EXPECT_EQ(range->MaxAge(), p.maxAge);
}

INSTANTIATE_TEST_SUITE_P(Ranges, Extend, testing::Values(
    Extension{25, 29, 30, 34, 25, 34}, Extension{30, 34, 25, 29, 25, 34},
    Extension{25, 29, -1, 24, -1, 29}, Extension{25, 29, 95, -1, 25, -1},
    Extension{0, 0, 25, 29, 25, 29}, Extension{0, 0, -1, -1, -1, -1}));

TEST(AgeRange, ExtendingByTheEmptyRangeChangesNothing) {
    auto range = NewAgeRange(25, 29);
    range->Extend(TBSSwAgeRange::Empty());
    EXPECT_EQ(range->Code(), "25_29");
    auto empty = NewEmptyAgeRange();
    empty->Extend(TBSSwAgeRange::Empty());
    EXPECT_TRUE(empty->IsEmpty());
}

} // namespace
