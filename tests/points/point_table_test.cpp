// Reading the point table text format and looking up base times.
#include "foundation/text.h"
#include "table_fixtures.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <ostream>
#include <random>
#include <string>
#include <vector>

using namespace marqor;
using namespace marqor::testing_tables;

namespace {

std::string WithHeader(std::string_view header, std::string_view rows = "") {
    return std::string(header) + "\n<BASETIMES>\n" + std::string(rows);
}

// ---- Header ---------------------------------------------------------------------------------

TEST(PointTableHeader, MissingKeysTakeTheirDefaults) {
    const auto table = Read(WithHeader(""));
    EXPECT_EQ(table->Id(), 0);
    EXPECT_EQ(table->Name(), "");
    EXPECT_EQ(table->ShortNameVersion(), "");
    EXPECT_EQ(table->Version(), "");
    EXPECT_EQ(table->Formula(), pfCubed);
    EXPECT_TRUE(table->Options().IsEmpty());
    EXPECT_EQ(table->Courses(), (TBSSwCourses{sco50m, sco25m}));
    EXPECT_FALSE(table->UseMenForMixed());
    EXPECT_TRUE(table->Groups().empty());
}

TEST(PointTableHeader, ReadsKeysWithoutRegardToCaseAndValuesAsWritten) {
    const auto table = Read(WithHeader("; a comment\nID=3004\nname=FINA Point Scoring\n"
                                       "SHORTNAMEVERSION=FINA 2011\nversion= 2011\n"
                                       "Name=second one\nNo equals sign here"));
    EXPECT_EQ(table->Id(), 3004);
    EXPECT_EQ(table->Name(), "FINA Point Scoring"); // the first line of a key counts
    EXPECT_EQ(table->ShortNameVersion(), "FINA 2011");
    EXPECT_EQ(table->Version(), " 2011");
}

struct HeaderCase {
    std::string line;
    TBSSwPointFormula formula;
    bool useMenForMixed;
    TBSSwPointTableOptions options;
    TBSSwCourses courses;
    int id;
};

void PrintTo(const HeaderCase& c, std::ostream* os) {
    *os << '"' << c.line << '"';
}

class PointTableHeaderValue : public testing::TestWithParam<HeaderCase> {};

TEST_P(PointTableHeaderValue, ReadsAsTheTablesHaveAlwaysBeenRead) {
    const HeaderCase& c = GetParam();
    const auto table = Read(WithHeader(c.line));
    EXPECT_EQ(table->Formula(), c.formula);
    EXPECT_EQ(table->UseMenForMixed(), c.useMenForMixed);
    EXPECT_EQ(table->Options(), c.options);
    EXPECT_EQ(table->Courses(), c.courses);
    EXPECT_EQ(table->Id(), c.id);
}

const TBSSwCourses Both{sco50m, sco25m};

INSTANTIATE_TEST_SUITE_P(
    Formulas, PointTableHeaderValue,
    testing::Values(HeaderCase{"Formula=CUBED_FINA", pfCubedFina, false, {}, Both, 0},
                    HeaderCase{"Formula=cubed", pfCubed, false, {}, Both, 0},
                    HeaderCase{"Formula=Cubed_Dsv", pfCubedDsv, false, {}, Both, 0},
                    HeaderCase{"Formula=CUBED_DSV_NEW", pfCubedFina, false, {}, Both, 0},
                    HeaderCase{"Formula=BRITISH", pfBritish, false, {}, Both, 0},
                    HeaderCase{"Formula=Canadian", pfCanadian, false, {}, Both, 0},
                    HeaderCase{"Formula=LIFESAVING", pfLifesaving, false, {}, Both, 0},
                    HeaderCase{"Formula=rudolph", pfRudolph, false, {}, Both, 0},
                    HeaderCase{"Formula=SQUARED", pfCubedFina, false, {}, Both, 0},
                    HeaderCase{"Formula=", pfCubed, false, {}, Both, 0}));

INSTANTIATE_TEST_SUITE_P(
    UseMenForMixed, PointTableHeaderValue,
    testing::Values(HeaderCase{"UseMenForMixed=True", pfCubed, true, {}, Both, 0},
                    HeaderCase{"UseMenForMixed=tRUE", pfCubed, true, {}, Both, 0},
                    HeaderCase{"UseMenForMixed=False", pfCubed, false, {}, Both, 0},
                    HeaderCase{"UseMenForMixed=1", pfCubed, true, {}, Both, 0},
                    HeaderCase{"UseMenForMixed=-3", pfCubed, true, {}, Both, 0},
                    HeaderCase{"UseMenForMixed=0", pfCubed, false, {}, Both, 0},
                    HeaderCase{"UseMenForMixed=yes", pfCubed, false, {}, Both, 0}));

INSTANTIATE_TEST_SUITE_P(
    Options, PointTableHeaderValue,
    testing::Values(
        HeaderCase{"Options=FINA", pfCubed, false, {ptoFina}, Both, 0},
        HeaderCase{"Options=MASTER,HANDICAP", pfCubed, false, {ptoMaster, ptoHandicap}, Both, 0},
        HeaderCase{"Options=FINA, MASTER", pfCubed, false, {ptoFina}, Both, 0},
        HeaderCase{"Options=fina,OTHER,,HANDICAP", pfCubed, false, {ptoHandicap}, Both, 0}));

INSTANTIATE_TEST_SUITE_P(
    Courses, PointTableHeaderValue,
    testing::Values(HeaderCase{"Courses=LCM", pfCubed, false, {}, {sco50m}, 0},
                    HeaderCase{"Courses=SCM", pfCubed, false, {}, {sco25m}, 0},
                    HeaderCase{
                        "Courses=SCY,25m,OW", pfCubed, false, {}, {sco25y, sco25m, scoOpen}, 0},
                    // A blank after the comma makes the word unknown, which stands for all pools.
                    HeaderCase{"Courses=LCM, SCM", pfCubed, false, {}, {sco50m, scoNone}, 0},
                    HeaderCase{"Courses=pool", pfCubed, false, {}, {scoNone}, 0}));

INSTANTIATE_TEST_SUITE_P(Ids, PointTableHeaderValue,
                         testing::Values(HeaderCase{"Id=-5", pfCubed, false, {}, Both, -5},
                                         HeaderCase{"Id=3004x", pfCubed, false, {}, Both, 0},
                                         HeaderCase{
                                             "Id=99999999999", pfCubed, false, {}, Both, 0}));

TEST(PointTableText, TakesTheHeaderBetweenTheLastTwoMarkersAndFindsTheMarkerInAnyCase) {
    const auto table = Read("Id=1\n<BASETIMES>\nId=2\nName=Second\n  <basetimes>  \r\n"
                            "; comment\nGENDER;DISTANCE;STROKE;MINTIME\n;M;50;FREE;1:00.00\n"
                            "M;50;FREE;30.00\n");
    EXPECT_EQ(table->Id(), 2);
    EXPECT_EQ(table->Name(), "Second");
    EXPECT_EQ(table->LookupBaseTime(sco50m, *Event(50), sgeMen, 99, 0, btkMinimum), T("30.00"));
}

TEST(PointTableText, WithoutTheMarkerIsRejectedNamingTheSource) {
    try {
        Read("Id=3004\nName=FINA\nCOURSE;GENDER\n", "/tmp/fina.txt");
        FAIL() << "no error";
    } catch (const EPointTableError& e) {
        const std::string what = e.what();
        EXPECT_NE(what.find("/tmp/fina.txt"), std::string::npos) << what;
        EXPECT_NE(what.find("<BASETIMES>"), std::string::npos) << what;
    }
    EXPECT_THROW(Read(""), EPointTableError);
}

TEST(PointTableText, OverSixteenMebibytesIsRejected) {
    std::string text = WithHeader("Id=1");
    text.resize(MaxPointTableTextSize + 1, ' ');
    try {
        Read(text, "huge.txt");
        FAIL() << "no error";
    } catch (const EPointTableError& e) {
        EXPECT_NE(std::string(e.what()).find("huge.txt"), std::string::npos);
        EXPECT_NE(std::string(e.what()).find("16 MiB"), std::string::npos);
    }
    text.resize(MaxPointTableTextSize);
    EXPECT_EQ(Read(text)->Id(), 1);
}

TEST(PointTableText, WithMoreThanTheMostGroupsIsRejected) {
    auto text = [](std::size_t groups) {
        std::string t = "Id=1\n<BASETIMES>\nAGEMIN;AGEMAX;DISTANCE;STROKE;MINTIME\n";
        for (std::size_t i = 1; i <= groups; ++i)
            t += std::to_string(i) + ";" + std::to_string(i) + ";50;FREE;30.00\n";
        return t;
    };
    EXPECT_EQ(Read(text(MaxPointTableGroups))->Groups().size(), MaxPointTableGroups);
    try {
        Read(text(MaxPointTableGroups + 1), "groups.txt");
        FAIL() << "no error";
    } catch (const EPointTableError& e) {
        EXPECT_NE(std::string(e.what()).find("groups.txt"), std::string::npos);
        EXPECT_NE(std::string(e.what()).find("groups"), std::string::npos);
    }
}

TEST(PointTableText, AFailedReadLeavesTheEmptyTable) {
    TBSSwBaseTimesPointTable table;
    table.ReadFromText(BuiltInText("BSSW_POINTS_FINA_2011"), "FINA 2011");
    ASSERT_EQ(table.Id(), 3004);
    EXPECT_THROW(table.ReadFromText("Id=5", "broken"), EPointTableError);
    EXPECT_EQ(table.Id(), 0);
    EXPECT_TRUE(table.Groups().empty());
    EXPECT_EQ(table.PointsFromTime(sco50m, *Event(50), sgeMen, 99, 0, T("21.65")), 0);
}

// ---- Rows, groups and events -----------------------------------------------------------------

TEST(PointTableRows, FormGroupsInTheOrderOfTheirFirstRows) {
    const auto table = Read(WithHeader("Id=1", "COURSE;GENDER;DISTANCE;STROKE;MINTIME\n"
                                               "SCM;F;50;FREE;25.00\nLCM;M;50;FREE;21.00\n"
                                               "SCM;F;100;FREE;55.00\nLCM;M;100;FREE;47.00\n"));
    ASSERT_EQ(table->Groups().size(), 2u);
    EXPECT_EQ(table->Groups()[0].Course(), sco25m);
    EXPECT_EQ(table->Groups()[0].Gender(), sgeWomen);
    EXPECT_EQ(table->Groups()[0].EventCount(), 2);
    EXPECT_EQ(table->Groups()[1].Course(), sco50m);
    EXPECT_EQ(table->Groups()[1].MinimumTime(*Event(100)), T("47.00"));
}

TEST(PointTableRows, ALaterRowReplacesOnlyTheTimesItHas) {
    const auto table = Read(WithHeader("Formula=RUDOLPH", "GENDER;DISTANCE;STROKE;MINTIME;MAXTIME\n"
                                                          "M;50;FREE;30.00;40.00\n"
                                                          "M;50;FREE;31.00;\n"
                                                          "M;50;FREE;no time;41.00\n"
                                                          "M;100;FREE;1:05.00;1:30.00\n"
                                                          "M;100;FREE;1:04.00;1:29.00\n"));
    const auto& g = table->Groups().at(0);
    EXPECT_EQ(g.MinimumTime(*Event(50)), T("31.00"));
    EXPECT_EQ(g.MaximumTime(*Event(50)), T("41.00"));
    EXPECT_EQ(g.MinimumTime(*Event(100)), T("1:04.00"));
    EXPECT_EQ(g.MaximumTime(*Event(100)), T("1:29.00"));
}

TEST(PointTableRows, ReadEventIdsAndSkipRowsWithoutAnEvent) {
    const auto table = Read(WithHeader("Id=1", "GENDER;STROKE;MINTIME\n"
                                               "F;ID_211;1:10.00\n"
                                               "F;id_212;1:20.00\n"
                                               "X;BUTTER;1:00.00\n" // neither stroke nor id
                                               "X;ID_-4;1:00.00\n"  // negative id
                                               "X;;1:00.00\n"
                                               "M;ID_211;1:05.00\n"));
    ASSERT_EQ(table->Groups().size(), 2u) << "skipped rows leave no group behind";
    EXPECT_EQ(table->LookupBaseTime(sco50m, *NewSwimStyleWithId(211), sgeWomen, 10, 0, btkMinimum),
              T("1:10.00"));
    EXPECT_EQ(table->LookupBaseTime(sco50m, *NewSwimStyleWithId(212), sgeWomen, 10, 0, btkMinimum),
              T("1:20.00"));
    // An ordinary stroke event never finds an id event.
    EXPECT_EQ(table->PointsFromTime(sco50m, *Event(50), sgeWomen, 10, 0, T("40.00")), 0);
    EXPECT_FALSE(table->HasBaseTime(sco25m, *Event(50), sgeMen, 10, 0));
    EXPECT_TRUE(table->HasBaseTime(sco25m, *NewSwimStyleWithId(211), sgeMen, 10, 0));
}

TEST(PointTableRows, ReadTheRowsOfEveryColumnSetOfTheBuiltInTables) {
    struct Case {
        const char* columns;
        const char* row;
        TBSSwCourse course;
        TBSSwGender gender;
        int age;
        int handicap;
        IBSSwSwimStylePtr style;
        SwimTime minimum;
        SwimTime maximum;
    };
    const Case cases[] = {
        {"COURSE;GENDER;RELAYCOUNT;DISTANCE;STROKE;MINTIME;ISDEFAULT",
         "LCM;F;4;100;MEDLEY;3:52.19;Y", sco50m, sgeWomen, 99, 0, Event(100, strMedley, 4),
         T("3:52.19"), 0},
        {"GENDER;RELAYCOUNT;DISTANCE;STROKE;MINTIME", "M;1;200;BACK;1:52.00", sco25y, sgeMen, -1, 0,
         Event(200, strBackstroke), T("1:52.00"), 0},
        {"GENDER;AGEMIN;AGEMAX;DISTANCE;STROKE;MINTIME", "F;-1;24;50;FLY;27.6", sco25m, sgeWomen,
         20, 0, Event(50, strFly), T("27.60"), 0},
        {"GENDER;AGEMIN;AGEMAX;DISTANCE;STROKE;MINTIME;MAXTIME", "F;-1;10;50;FREE;30.1;39.00",
         sco50m, sgeWomen, 9, 0, Event(50), T("30.10"), T("39.00")},
        {"COURSE;GENDER;RELAYCOUNT;DISTANCE;STROKE;HANDICAP;MINTIME",
         "LCM;M;1;50;FREE;S1;01.04.57;", sco50m, sgeMen, 99, 1, Event(50), T("1:04.57"), 0},
        {"HANDICAP;GENDER;RELAYCOUNT;DISTANCE;STROKE;MINTIME", "SB5;F;1;100;BREAST;1:30.00", sco25m,
         sgeWomen, 99, 5, Event(100, strBreaststroke), T("1:30.00"), 0},
        {"GENDER;STROKE;MINTIME", "F;ID_211;1:10.00", sco25m, sgeWomen, 8, 0,
         NewSwimStyleWithId(211), T("1:10.00"), 0},
        // Column names in any case; a relay count below 1 is an individual event.
        {"gender;agemin;AgeMax;distance;stroke;relaycount;mintime", "M;30;34;50;FREE;0;25.00",
         sco50m, sgeMen, 32, 0, Event(50), T("25.00"), 0},
    };
    for (const Case& c : cases) {
        const auto table = Read(WithHeader("Id=1", std::string(c.columns) + "\n" + c.row + "\n"));
        EXPECT_EQ(
            table->LookupBaseTime(c.course, *c.style, c.gender, c.age, c.handicap, btkMinimum),
            c.minimum)
            << c.columns << " / " << c.row;
        EXPECT_EQ(
            table->LookupBaseTime(c.course, *c.style, c.gender, c.age, c.handicap, btkMaximum),
            c.maximum)
            << c.columns << " / " << c.row;
    }
}

// ---- Base-time lookup --------------------------------------------------------------------------

TEST(BaseTimeLookup, WithoutACourseColumnServesEveryCourse) {
    const auto table =
        Read(WithHeader("Courses=LCM", "GENDER;DISTANCE;STROKE;MINTIME\nM;50;FREE;22.00\n"));
    for (TBSSwCourse c : {scoNone, sco50m, sco25m, sco25y, scoOpen})
        EXPECT_EQ(table->LookupBaseTime(c, *Event(50), sgeMen, 99, 0, btkMinimum), T("22.00")) << c;
    EXPECT_EQ(table->Courses(), TBSSwCourses{sco50m});
}

TEST(BaseTimeLookup, MixedRequestsUseTheMenOnlyWhenTheTableSaysSo) {
    const std::string rows = "GENDER;RELAYCOUNT;DISTANCE;STROKE;MINTIME\nM;4;100;FREE;3:10.00\n"
                             "F;4;100;FREE;3:30.00\n";
    const auto relay = Event(100, strFreestyle, 4);
    EXPECT_EQ(Read(WithHeader("UseMenForMixed=True", rows))
                  ->LookupBaseTime(sco50m, *relay, sgeMixed, 99, 0, btkMinimum),
              T("3:10.00"));
    EXPECT_EQ(
        Read(WithHeader("", rows))->LookupBaseTime(sco50m, *relay, sgeMixed, 99, 0, btkMinimum), 0);
    // Without the flag a mixed request finds the groups of gender X or of no gender. (A row
    // cannot start with an empty field: it would read as a comment.)
    const auto withMixed = Read(WithHeader("", "RELAYCOUNT;GENDER;DISTANCE;STROKE;MINTIME\n"
                                               "4;M;100;FREE;3:10.00\n4;X;100;FREE;3:20.00\n"));
    EXPECT_EQ(withMixed->LookupBaseTime(sco50m, *relay, sgeMixed, 99, 0, btkMinimum), T("3:20.00"));
    const auto anyGender = Read(WithHeader("", "RELAYCOUNT;GENDER;DISTANCE;STROKE;MINTIME\n"
                                               "4;;100;FREE;3:15.00\n"));
    EXPECT_EQ(anyGender->LookupBaseTime(sco50m, *relay, sgeMixed, 99, 0, btkMinimum), T("3:15.00"));
}

TEST(BaseTimeLookup, FindsMastersGroupsByAgeAndNoneWithoutAnAge) {
    const auto table =
        Read(WithHeader("Options=MASTER", "GENDER;AGEMIN;AGEMAX;DISTANCE;STROKE;MINTIME\n"
                                          "F;-1;24;50;FLY;27.60\n"
                                          "F;25;29;50;FLY;27.90\n"
                                          "F;90;94;50;FLY;59.00\n"
                                          "F;95;-1;50;FLY;1:10.00\n"
                                          "M;80;99;50;FLY;40.00\n"
                                          "M;20;99;50;FLY;25.00\n"));
    const auto fly = Event(50, strFly);
    struct Case {
        TBSSwGender gender;
        int age;
        const char* expected;
    };
    const Case cases[] = {
        {sgeWomen, 10, "27.60"}, {sgeWomen, 24, "27.60"},   {sgeWomen, 25, "27.90"},
        {sgeWomen, 30, ""},      {sgeWomen, 99, "1:10.00"}, {sgeWomen, 120, "1:10.00"},
        {sgeWomen, -1, ""},      {sgeMen, 99, "40.00"}, // 80 .. 99 keeps its end
        {sgeMen, 100, "25.00"},                         // 20 .. 99 means 20 and older
        {sgeMen, -1, ""}};
    for (const Case& c : cases) {
        const SwimTime expected = *c.expected ? T(c.expected) : 0;
        EXPECT_EQ(table->LookupBaseTime(sco50m, *fly, c.gender, c.age, 0, btkMinimum), expected)
            << c.gender << " age " << c.age;
    }
    EXPECT_EQ(table->PointsFromTime(sco50m, *fly, sgeWomen, -1, 0, T("30.00")), 0);
}

TEST(BaseTimeLookup, MatchesClassesExactlyAndClassZeroFindsOnlyGroupsWithoutOne) {
    const auto table =
        Read(WithHeader("Options=HANDICAP", "HANDICAP;GENDER;DISTANCE;STROKE;MINTIME\n"
                                            "S1;M;50;FREE;40.00\n"
                                            "S2;M;50;FREE;38.00\n"
                                            "AB;M;50;FREE;35.00\n"));
    EXPECT_EQ(table->LookupBaseTime(sco50m, *Event(50), sgeMen, 99, 2, btkMinimum), T("38.00"));
    EXPECT_EQ(table->LookupBaseTime(sco50m, *Event(50), sgeMen, 99, HandicapAB, btkMinimum),
              T("35.00"));
    EXPECT_EQ(table->LookupBaseTime(sco50m, *Event(50), sgeMen, 99, 0, btkMinimum), 0);
    EXPECT_EQ(table->LookupBaseTime(sco50m, *Event(50), sgeMen, 99, 3, btkMinimum), 0);
}

TEST(BaseTimeLookup, StopsAtTheFirstMatchingGroupEvenWhenItLacksTheEvent) {
    const auto table = Read(WithHeader("", "GENDER;COURSE;DISTANCE;STROKE;MINTIME\n"
                                           "M;;50;FREE;23.00\n"
                                           "M;LCM;50;FREE;22.00\nM;LCM;100;FREE;48.00\n"));
    EXPECT_EQ(table->LookupBaseTime(sco50m, *Event(50), sgeMen, 99, 0, btkMinimum), T("23.00"));
    EXPECT_EQ(table->LookupBaseTime(sco50m, *Event(100), sgeMen, 99, 0, btkMinimum), 0);
    EXPECT_FALSE(table->HasBaseTime(sco50m, *Event(100), sgeMen, 99, 0));
}

// Groups with wildcards and overlapping ages in random order: the indexed lookup must find the
// group that a walk over all groups finds first.
TEST(BaseTimeLookup, FindsTheSameFirstGroupAsAWalkOverThousandsOfGroups) {
    std::mt19937 random(2011);
    const char* const courses[] = {"", "LCM", "SCM", "SCY"};
    const char* const genders[] = {"", "M", "F", "X"};
    const char* const classes[] = {"", "S1", "S2", "AB", "X"};
    std::string rows = "COURSE;GENDER;HANDICAP;AGEMIN;AGEMAX;DISTANCE;STROKE;MINTIME\n";
    for (int i = 0; i < 10000; ++i) {
        const int low = static_cast<int>(random() % 60) - 1;
        const int high = random() % 4 == 0 ? -1 : low + static_cast<int>(random() % 30);
        rows += Format("%s;%s;%s;%d;%d;50;FREE;%d.00\n", courses[random() % 4],
                       genders[random() % 4], classes[random() % 5], low, high, 20 + i % 40);
    }
    const auto table = Read(WithHeader("UseMenForMixed=True", rows));
    ASSERT_GT(table->Groups().size(), 5000u);
    const auto& groups = table->Groups();
    for (int q = 0; q < 3000; ++q) {
        const auto course = static_cast<TBSSwCourse>(random() % 5);
        const auto gender = static_cast<TBSSwGender>(random() % 4);
        const int age = static_cast<int>(random() % 100) - 2;
        const int handicap = std::vector<int>{0, 1, 2, HandicapAB, -1}[random() % 5];
        const TBSSwGender asked = gender == sgeMixed ? sgeMen : gender;
        const auto walk = std::ranges::find_if(groups, [&](const TBaseTimeTable& g) {
            return g.Matches(course, asked, age, handicap);
        });
        const TBaseTimeTable* expected = walk == groups.end() ? nullptr : &*walk;
        ASSERT_EQ(table->FindGroup(course, gender, age, handicap), expected)
            << "course " << int(course) << " gender " << int(gender) << " age " << age << " class "
            << handicap;
    }
}

// ---- Untrusted texts ---------------------------------------------------------------------------

// Whatever the bytes, a text loads or is rejected, and a loaded table answers every question.
TEST(PointTableText, OfAnyBytesLoadsOrIsRejectedCleanly) {
    std::mt19937 random(7);
    const std::string pieces[] = {"<BASETIMES>", "\n",
                                  "\r\n",        ";",
                                  "LCM",         "M",
                                  "FREE",        "99999:99:99.99",
                                  "-2147483649", "2147483647",
                                  "ID_",         "S15",
                                  "\xff\xfe",    std::string(1, '\0'),
                                  "MINTIME",     "MAXTIME",
                                  "AGEMIN",      "COURSE",
                                  "1:00.00",     "Formula=RUDOLPH",
                                  "Id=1"};
    const auto style = Event(50);
    for (int round = 0; round < 300; ++round) {
        std::string text;
        const int n = static_cast<int>(random() % 400);
        for (int i = 0; i < n; ++i) {
            if (random() % 3 == 0)
                text += static_cast<char>(random() % 256);
            else
                text += pieces[random() % std::size(pieces)];
        }
        try {
            const auto table = Read(text);
            for (int p : {-5, 0, 1, 200, 1000, 20000}) {
                const SwimTime t = table->TimeFromPoints(sco50m, *style, sgeMen, 99, 0, p);
                EXPECT_TRUE(t == 0 || IsValidSwimTime(t));
            }
            for (SwimTime t : {1, 1000, 60000, NoSwimTime - 1, NoSwimTime, 0, -5})
                table->PointsFromTime(sco50m, *style, sgeMen, 99, 0, t);
            table->ConvertTime(*style, sgeMen, 60000, sco25y, sco50m);
            table->PointsForAnyGroup(*style, 60000);
        } catch (const EPointTableError&) {
        }
    }
}

TEST(PointTableText, WithAbsurdTimesAndNumbersKeepsOnlyValidTimes) {
    const auto table =
        Read(WithHeader("Formula=CUBED_FINA", "GENDER;RELAYCOUNT;DISTANCE;STROKE;MINTIME;MAXTIME\n"
                                              "M;-7;-50;FREE;1:00.00;0.00\n"
                                              "M;99999999999;50;FREE;0.01;-3\n"
                                              "M;1;100;FREE;abc;\n"
                                              "only one field\n"
                                              "M;1;200;FREE;99:59:59.99\n"));
    ASSERT_EQ(table->Groups().size(), 1u);
    EXPECT_EQ(table->LookupBaseTime(sco50m, *Event(-50), sgeMen, 99, 0, btkMinimum), 60000);
    EXPECT_EQ(table->LookupBaseTime(sco50m, *Event(-50), sgeMen, 99, 0, btkMaximum), 0);
    EXPECT_EQ(table->LookupBaseTime(sco50m, *Event(50), sgeMen, 99, 0, btkMinimum), 10);
    EXPECT_EQ(table->PointsFromTime(sco50m, *Event(50), sgeMen, 99, 0, 10), 1000);
    EXPECT_EQ(table->PointsFromTime(sco50m, *Event(50), sgeMen, 99, 0, 1), 1000000);
    EXPECT_EQ(table->LookupBaseTime(sco50m, *Event(100), sgeMen, 99, 0, btkMinimum), 0);
    const SwimTime longest = T("99:59:59.99");
    EXPECT_EQ(table->PointsFromTime(sco50m, *Event(200), sgeMen, 99, 0, longest), 1000);
    EXPECT_EQ(table->TimeFromPoints(sco50m, *Event(200), sgeMen, 99, 0, 1), 0); // beyond all times
}

} // namespace
