// The table operations over real tables: the worked values with the FINA 2011 base times under
// every formula, the text of points, course factors and course conversion.
#include "table_fixtures.h"

#include <gtest/gtest.h>
#include <ostream>
#include <string>

using namespace marqor;
using namespace marqor::testing_tables;

namespace {

struct WorkedValue {
    const char* formula;
    const char* time; // men's 50 m freestyle, long course; B = 20.91
    int points;
};

void PrintTo(const WorkedValue& c, std::ostream* os) {
    *os << c.formula << ' ' << c.time << " = " << c.points;
}

class Fina2011PointsFromTime : public testing::TestWithParam<WorkedValue> {};

TEST_P(Fina2011PointsFromTime, ScoresTheWorkedValue) {
    const auto& c = GetParam();
    const auto table = Read(Fina2011With(c.formula), "FINA 2011");
    EXPECT_EQ(table->PointsFromTime(sco50m, *Event(50), sgeMen, 99, 0, T(c.time)), c.points);
}

INSTANTIATE_TEST_SUITE_P(
    WorkedValues, Fina2011PointsFromTime,
    testing::Values(WorkedValue{"CUBED_FINA", "20.91", 1000},
                    WorkedValue{"CUBED_FINA", "21.65", 900},
                    WorkedValue{"CUBED_FINA", "22.50", 802}, WorkedValue{"CUBED", "21.65", 901},
                    WorkedValue{"BRITISH", "21.65", 921}, WorkedValue{"CANADIAN", "21.65", 930},
                    // Twice the base: the points rule gives -387; -1000 is only its lower limit.
                    WorkedValue{"CANADIAN", "41.82", -387}, WorkedValue{"LIFESAVING", "41.82", 200},
                    WorkedValue{"LIFESAVING", "52.28", 80}, WorkedValue{"LIFESAVING", "1:02.73", 0},
                    // A third of the base: no upper limit below the failure rule.
                    WorkedValue{"CUBED_FINA", "6.97", 27000}, WorkedValue{"CUBED", "6.97", 27000},
                    WorkedValue{"CUBED_DSV", "6.97", 9999}, WorkedValue{"CANADIAN", "6.97", 1100},
                    WorkedValue{"BRITISH", "20.91", 1000}, WorkedValue{"BRITISH", "41.82", 100},
                    WorkedValue{"BRITISH", "1:02.73", 10}, WorkedValue{"BRITISH", "1:23.64", 1}));

class Fina2011TimeFromPoints : public testing::TestWithParam<WorkedValue> {};

TEST_P(Fina2011TimeFromPoints, NeedsTheWorkedTime) {
    const auto& c = GetParam();
    const auto table = Read(Fina2011With(c.formula), "FINA 2011");
    EXPECT_EQ(SwimTimeToText(table->TimeFromPoints(sco50m, *Event(50), sgeMen, 99, 0, c.points)),
              c.time);
}

INSTANTIATE_TEST_SUITE_P(
    WorkedValues, Fina2011TimeFromPoints,
    testing::Values(WorkedValue{"CUBED_FINA", "21.65", 900},
                    WorkedValue{"CUBED_FINA", "20.25", 1100}, WorkedValue{"CUBED", "21.66", 900},
                    WorkedValue{"BRITISH", "21.86", 900}, WorkedValue{"CANADIAN", "21.98", 900},
                    WorkedValue{"BRITISH", "20.91", 1000}, WorkedValue{"BRITISH", "41.82", 100},
                    WorkedValue{"BRITISH", "1:02.73", 10}, WorkedValue{"BRITISH", "1:23.64", 1},
                    WorkedValue{"LIFESAVING", "", 500}, WorkedValue{"CUBED_FINA", "", 0},
                    WorkedValue{"CUBED_FINA", "", -10}, WorkedValue{"CUBED", "", -1},
                    WorkedValue{"CUBED_DSV", "", -1}, WorkedValue{"BRITISH", "", -1},
                    WorkedValue{"CANADIAN", "", 0}));

// Exact where floating point misses by a last bit: women's 50 m freestyle (B = 23.73) and
// 200 m butterfly (B = 2:01.81).
TEST(Fina2011Points, AreExactWhereTheCubeIsAWholeNumber) {
    const auto table = Read(BuiltInText("BSSW_POINTS_FINA_2011"), "FINA 2011");
    EXPECT_EQ(table->PointsFromTime(sco50m, *Event(50), sgeWomen, 99, 0, T("33.90")), 343);
    EXPECT_EQ(table->PointsFromTime(sco50m, *Event(200, strFly), sgeWomen, 99, 0, T("1:33.70")),
              2197);
}

TEST(Fina2011Points, NoTimeOrNoBaseTimeScoresNothingInEveryFormula) {
    for (const char* f :
         {"CUBED_FINA", "CUBED", "CUBED_DSV", "BRITISH", "CANADIAN", "LIFESAVING", "RUDOLPH"}) {
        const auto table = Read(Fina2011With(f), f);
        for (SwimTime t : {0, NoSwimTime, -20})
            EXPECT_EQ(table->PointsFromTime(sco50m, *Event(50), sgeMen, 99, 0, t), 0) << f << t;
        // No 100 m medley in a 50 m pool, and no short course at all.
        EXPECT_EQ(table->PointsFromTime(sco50m, *Event(100, strMedley), sgeMen, 99, 0, T("55.00")),
                  0);
        EXPECT_EQ(table->PointsFromTime(sco25m, *Event(50), sgeMen, 99, 0, T("21.65")), 0) << f;
        EXPECT_EQ(table->TimeFromPoints(sco25m, *Event(50), sgeMen, 99, 0, 900), 0) << f;
    }
}

TEST(Fina2011Points, LimitTheSearchingFormulasToTheirRanges) {
    const auto dsv = Read(Fina2011With("CUBED_DSV"));
    const auto canadian = Read(Fina2011With("CANADIAN"));
    for (SwimTime t = 1; t < 400000; t = t * 3 / 2 + 1) {
        EXPECT_LE(dsv->PointsFromTime(sco50m, *Event(50), sgeMen, 99, 0, t), 9999) << t;
        const int c = canadian->PointsFromTime(sco50m, *Event(50), sgeMen, 99, 0, t);
        EXPECT_GE(c, -1000) << t;
        EXPECT_LE(c, 1100) << t;
    }
}

// RUDOLPH: girls up to 10, 50 m freestyle, B = 30.1 s, M = 39.00 s.
const char* const RudolphText =
    "Formula=RUDOLPH\nId=1108\nName=German Rudolph Table\nVersion=2010\n<BASETIMES>\n"
    "GENDER;AGEMIN;AGEMAX;DISTANCE;STROKE;MINTIME;MAXTIME\n"
    "F;-1;10;50;FREE;30.1;39.00\nF;11;11;50;FREE;29.5;\n";

TEST(RudolphTable, ScoresTenthsFromTwentyAtTheBaseToOneAtTheMaximumTime) {
    const auto table = Read(RudolphText);
    EXPECT_TRUE(table->HasDecimalPoints());
    struct Case {
        const char* time;
        int points;
        const char* text;
    };
    const Case cases[] = {{"29.00", 200, "20.0"},
                          {"30.10", 200, "20.0"},
                          {"32.00", 159, "15.9"},
                          {"39.00", 10, "1.0"},
                          {"39.01", 0, ""}};
    for (const Case& c : cases) {
        const int p = table->PointsFromTime(sco50m, *Event(50), sgeWomen, 9, 0, T(c.time));
        EXPECT_EQ(p, c.points) << c.time;
        EXPECT_EQ(table->PointsToText(p), c.text) << c.time;
    }
    // Without a maximum time nothing slower than the base scores.
    EXPECT_EQ(table->PointsFromTime(sco50m, *Event(50), sgeWomen, 11, 0, T("29.50")), 200);
    EXPECT_EQ(table->PointsFromTime(sco50m, *Event(50), sgeWomen, 11, 0, T("29.51")), 0);
}

TEST(RudolphTable, GivesTheSlowestTimeThatStillScoresTheTenths) {
    const auto table = Read(RudolphText);
    auto time = [&](int tenths) {
        return SwimTimeToText(table->TimeFromPoints(sco50m, *Event(50), sgeWomen, 9, 0, tenths));
    };
    EXPECT_EQ(time(200), "30.12"); // 0.49 tenths slower than the base still round to 20.0
    EXPECT_EQ(time(159), "32.04"); // 32.00 scores 15.9, and so does 32.04; 32.05 scores 15.8
    EXPECT_EQ(time(10), "39.00");
    EXPECT_EQ(time(1), "39.00");
    EXPECT_EQ(time(201), "");
    EXPECT_EQ(time(0), "");
    EXPECT_EQ(time(-5), "");
    for (int p = 1; p <= 200; ++p) {
        const SwimTime t = table->TimeFromPoints(sco50m, *Event(50), sgeWomen, 9, 0, p);
        ASSERT_GE(table->PointsFromTime(sco50m, *Event(50), sgeWomen, 9, 0, t), p) << p;
        ASSERT_LT(table->PointsFromTime(sco50m, *Event(50), sgeWomen, 9, 0, t + 10), p) << p;
    }
}

TEST(PointsText, IsEmptyForZeroAndBelowAndShowsWholePointsOtherwise) {
    const auto fina = Read(BuiltInText("BSSW_POINTS_FINA_2011"));
    EXPECT_FALSE(fina->HasDecimalPoints());
    EXPECT_EQ(fina->PointsToText(900), "900");
    EXPECT_EQ(fina->PointsToText(27000), "27000");
    EXPECT_EQ(fina->PointsToText(0), "");
    EXPECT_EQ(fina->PointsToText(-387), "");
    const auto rudolph = Read(RudolphText);
    EXPECT_EQ(rudolph->PointsToText(155), "15.5");
    EXPECT_EQ(rudolph->PointsToText(5), "0.5");
    EXPECT_EQ(rudolph->PointsToText(-5), "");
}

TEST(PointsForAnyGroup, ScoresAgainstTheFirstGroupOnly) {
    const auto table =
        Read("Formula=CUBED_FINA\n<BASETIMES>\nCOURSE;GENDER;DISTANCE;STROKE;MINTIME\n"
             "SCM;F;50;FREE;25.00\nLCM;M;50;FREE;20.00\nLCM;M;100;FREE;45.00\n");
    EXPECT_EQ(table->PointsForAnyGroup(*Event(50), T("25.00")), 1000);
    EXPECT_EQ(table->PointsForAnyGroup(*Event(100), T("45.00")), 0);
    EXPECT_EQ(table->PointsForAnyGroup(*Event(50), NoSwimTime), 0);
    EXPECT_EQ(NewEmptyPointTable()->PointsForAnyGroup(*Event(50), T("25.00")), 0);
    // The first group's maximum time is not used.
    EXPECT_EQ(Read(RudolphText)->PointsForAnyGroup(*Event(50), T("30.10")), 200);
    EXPECT_EQ(Read(RudolphText)->PointsForAnyGroup(*Event(50), T("32.00")), 0);
}

// Round base times in both pools; yard factors 1.116 (50 m), 0.875 (500) and 0.997 (1650).
const char* const TwoPoolText =
    "Formula=CUBED_FINA\nId=7\nCourses=LCM,SCM\n<BASETIMES>\nCOURSE;GENDER;DISTANCE;STROKE;"
    "MINTIME\n"
    "LCM;M;50;FREE;25.00\nSCM;M;50;FREE;24.00\nLCM;M;500;FREE;5:00.00\nSCM;M;500;FREE;4:40.00\n"
    "LCM;M;1650;FREE;17:00.00\nSCM;M;1650;FREE;16:30.00\nLCM;M;100;BACK;1:00.00\n";

TEST(CourseFactor, DividesThePointsOfTwoCoursesOrIsOne) {
    const auto table = Read(TwoPoolText);
    const int lcm = table->PointsFromTime(sco50m, *Event(50), sgeMen, 99, 0, T("25.50"));
    const int scm = table->PointsFromTime(sco25m, *Event(50), sgeMen, 99, 0, T("25.50"));
    ASSERT_EQ(lcm, 942);
    ASSERT_EQ(scm, 833);
    EXPECT_DOUBLE_EQ(table->CourseFactor(*Event(50), sgeMen, T("25.50"), sco50m, sco25m),
                     942.0 / 833.0);
    EXPECT_EQ(table->CourseFactor(*Event(100, strBackstroke), sgeMen, T("1:00.00"), sco50m, sco25m),
              1.0);
    EXPECT_EQ(table->CourseFactor(*Event(50), sgeMen, NoSwimTime, sco50m, sco25m), 1.0);
}

TEST(ConvertTime, GivesTheTimeOfEqualPointsInTheOtherCourse) {
    const auto table = Read(TwoPoolText);
    struct Case {
        int distance;
        const char* time;
        TBSSwCourse from, to;
        SwimTime expected;
    };
    const Case cases[] = {
        {50, "25.00", sco50m, sco25m, T("24.00")},
        {50, "24.00", sco25m, sco50m, T("25.00")},
        // 21.51 y * 1.116 = 24.005 m scores 999, and the slowest 999 in a 50 m pool is 25.00.
        {50, "21.51", sco25y, sco50m, T("25.00")},
        {50, "24.00", sco25m, sco25y, 21505}, // 24.00 / 1.116, to the millisecond
        {500, "5:20.00", sco25y, sco25m, T("4:40.00")},
        {1650, "16:32.97", sco25y, sco25m, T("16:30.00")},
        {1650, "16:30.00", sco25m, sco25y, 992979}, // 16:30.00 / 0.997
    };
    for (const Case& c : cases)
        EXPECT_EQ(table->ConvertTime(*Event(c.distance), sgeMen, T(c.time), c.from, c.to),
                  c.expected)
            << c.distance << " " << c.time << " " << int(c.from) << "->" << int(c.to);
}

TEST(ConvertTime, ReturnsTheTimeWhenItScoresNothing) {
    const auto table = Read(TwoPoolText);
    const auto back = Event(100, strBackstroke);
    // The same course needs no base time at all.
    EXPECT_EQ(Read(BuiltInText("BSSW_POINTS_FINA_2011"))
                  ->ConvertTime(*Event(50), sgeMen, T("23.00"), sco25m, sco25m),
              T("23.00"));
    // No base time in the course it came from: the time itself (yards already converted).
    EXPECT_EQ(table->ConvertTime(*back, sgeMen, T("1:01.00"), sco25m, sco50m), T("1:01.00"));
    EXPECT_EQ(table->ConvertTime(*back, sgeMen, T("1:00.00"), sco25y, sco50m), T("1:06.96"));
    // No base time in the course it goes to: no time.
    EXPECT_EQ(table->ConvertTime(*back, sgeMen, T("1:00.00"), sco50m, sco25m), 0);
    EXPECT_EQ(table->ConvertTime(*back, sgeMen, T("1:00.00"), sco50m, sco25y), 0);
    // No time stays no time, even from yards.
    EXPECT_EQ(table->ConvertTime(*Event(50), sgeMen, NoSwimTime, sco25y, sco50m), NoSwimTime);
    EXPECT_EQ(table->ConvertTime(*Event(50), sgeMen, 0, sco25y, sco50m), 0);
}

TEST(EmptyTable, AnswersZeroFalseOrNothingToEverything) {
    const auto table = NewEmptyPointTable();
    EXPECT_EQ(table->Id(), 0);
    EXPECT_EQ(table->Name(), "");
    EXPECT_EQ(table->Version(), "");
    EXPECT_EQ(table->ShortNameVersion(), "");
    EXPECT_TRUE(table->Courses().IsEmpty());
    EXPECT_TRUE(table->Options().IsEmpty());
    EXPECT_EQ(table->Formula(), pfCubedFina);
    EXPECT_FALSE(table->HasDecimalPoints());
    EXPECT_FALSE(table->HasAnyBaseTime());
    EXPECT_FALSE(table->HasBaseTime(sco50m, *Event(50), sgeMen, 99, 0));
    EXPECT_EQ(table->PointsFromTime(sco50m, *Event(50), sgeMen, 99, 0, T("21.65")), 0);
    EXPECT_EQ(table->TimeFromPoints(sco50m, *Event(50), sgeMen, 99, 0, 900), 0);
    EXPECT_EQ(table->PointsToText(900), "900");
    EXPECT_EQ(table->CourseFactor(*Event(50), sgeMen, T("21.65"), sco50m, sco25m), 1.0);
}

} // namespace
