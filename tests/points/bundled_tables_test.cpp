// The table files installed with the program: World Aquatics Points 2024 to 2026 and the
// German Rudolph table 2025.
#include "foundation/text.h"
#include "foundation/tokenizer.h"
#include "points/table_files.h"
#include "swimming/sw_language.h"
#include "table_fixtures.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iostream>
#include <map>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

using namespace marqor;
using namespace marqor::testing_tables;

namespace {

TBSSwBaseTimesPointTablePtr Bundled(const std::string& file) {
    const std::string path = std::string(MARQOR_SOURCE_DIR) + "/resources/tables/bundled/" + file;
    return Read(DecodeTextBytes(ReadTableFileBytes(path)), path);
}

struct BundledCase {
    const char* file;
    int id;
    const char* name;
    const char* version;
    const char* shortName;
    TBSSwPointFormula formula;
    TBSSwPointTableOptions options;
    TBSSwCourses courses;
    int groups;
};

void PrintTo(const BundledCase& c, std::ostream* os) {
    *os << c.file;
}

class BundledTable : public testing::TestWithParam<BundledCase> {};

TEST_P(BundledTable, LoadsWithItsIdNameAndOptions) {
    const BundledCase& c = GetParam();
    const auto table = Bundled(c.file);
    EXPECT_EQ(table->Id(), c.id);
    EXPECT_EQ(table->Name(), c.name);
    EXPECT_EQ(table->Version(), c.version);
    EXPECT_EQ(table->ShortNameVersion(), c.shortName);
    EXPECT_EQ(table->Formula(), c.formula);
    EXPECT_EQ(table->Options(), c.options);
    EXPECT_EQ(table->Courses(), c.courses);
    EXPECT_FALSE(table->UseMenForMixed());
    EXPECT_EQ(static_cast<int>(table->Groups().size()), c.groups);
}

const TBSSwCourses Both{sco50m, sco25m};

INSTANTIATE_TEST_SUITE_P(
    Files, BundledTable,
    testing::Values(BundledCase{"WA_POINTS_2024.txt",
                                3024,
                                "World Aquatics Points",
                                "2024",
                                "WA 2024",
                                pfCubedFina,
                                {ptoFina},
                                Both,
                                6},
                    BundledCase{"WA_POINTS_2025.txt",
                                3025,
                                "World Aquatics Points",
                                "2025",
                                "WA 2025",
                                pfCubedFina,
                                {ptoFina},
                                Both,
                                6},
                    BundledCase{"WA_POINTS_2026.txt",
                                3026,
                                "World Aquatics Points",
                                "2026",
                                "WA 2026",
                                pfCubedFina,
                                {ptoFina},
                                Both,
                                6},
                    // Ages 8 and younger, 9 .. 18 one by one, and 19 and older, for girls and boys.
                    BundledCase{"RUDOLPH_2025.txt",
                                1125,
                                "German Rudolph Table",
                                "2025",
                                "Rudolph Table 2025",
                                pfRudolph,
                                {},
                                Both,
                                24}));

TEST(WorldAquaticsPoints, ScoreMixedRelaysWithTheirOwnBaseTimes) {
    const auto table = Bundled("WA_POINTS_2026.txt");
    const auto relay = Event(100, strFreestyle, 4);
    EXPECT_EQ(table->LookupBaseTime(sco50m, *relay, sgeMixed, 99, 0, btkMinimum), T("3:18.48"));
    EXPECT_EQ(table->LookupBaseTime(sco50m, *relay, sgeMen, 99, 0, btkMinimum), T("3:08.24"));
    EXPECT_EQ(table->PointsFromTime(sco50m, *Event(100), sgeMen, 99, 0, T("47.50")), 932);
    EXPECT_FALSE(table->HasBaseTime(sco25y, *Event(100), sgeMen, 99, 0));
}

TEST(Rudolph2025, GroupsTheYoungestAndTheOpenClassByAge) {
    const auto table = Bundled("RUDOLPH_2025.txt");
    auto points = [&](int age, const char* time) {
        return table->PointsFromTime(sco50m, *Event(50), sgeWomen, age, 0, T(time));
    };
    EXPECT_EQ(points(8, "35.12"), 200);
    EXPECT_EQ(points(8, "40.56"), 100);
    EXPECT_EQ(points(8, "45.44"), 10);
    EXPECT_EQ(points(8, "45.45"), 0);
    EXPECT_EQ(points(6, "35.12"), 200); // "8 and younger"
    EXPECT_EQ(points(19, "24.07"), 200);
    EXPECT_EQ(points(45, "31.14"), 10);
    EXPECT_EQ(points(-1, "24.07"), 0); // no age: no group
}

// Every printed level time of the official table (levels 20 .. 1, 24 groups, 17 events) scores
// exactly its level, and the time the table gives for a level scores that level and is the
// printed time or slower.
TEST(Rudolph2025, ScoresEveryPrintedLevelTimeAsItsLevel) {
    const auto table = Bundled("RUDOLPH_2025.txt");
    std::ifstream csv(std::string(MARQOR_TEST_DATA_DIR) + "/rudolph-2025-levels.csv");
    ASSERT_TRUE(csv) << "tests/data/rudolph-2025-levels.csv";
    std::string line;
    std::getline(csv, line);
    ASSERT_EQ(Trim(line), "gender,agemin,agemax,relaycount,distance,stroke,points,time");
    int rows = 0, printed = 0;
    std::map<int, int> slowerBy; // hundredths slower than printed -> count
    while (std::getline(csv, line)) {
        const auto f = Tokenize(Trim(line), ",", false)->AsStringList()->Items();
        ASSERT_EQ(f.size(), 8u) << line;
        const TBSSwGender gender = f[0] == "F" ? sgeWomen : sgeMen;
        const int age = f[1] == "-1" ? 19 : std::stoi(f[1]); // the open class
        const auto style =
            NewSwimStyle(std::stoi(f[3]), SwLanguage().StrokeFromText(f[5]), std::stoi(f[4]));
        const int level = std::stoi(f[6]) * 10;
        const SwimTime time = T(f[7]);
        ASSERT_TRUE(IsValidSwimTime(time)) << line;
        ++rows;
        ASSERT_EQ(table->PointsFromTime(sco50m, *style, gender, age, 0, time), level) << line;
        const SwimTime needed = table->TimeFromPoints(sco50m, *style, gender, age, 0, level);
        ASSERT_GE(needed, time) << line;
        ASSERT_EQ(table->PointsFromTime(sco50m, *style, gender, age, 0, needed), level) << line;
        ASSERT_LT(table->PointsFromTime(sco50m, *style, gender, age, 0, needed + 10), level)
            << line;
        if (needed == time)
            ++printed;
        else
            ++slowerBy[(needed - time) / 10];
    }
    EXPECT_EQ(rows, 8160);
    std::ostringstream found;
    for (const auto& [hundredths, count] : slowerBy)
        found << ' ' << count << " by " << hundredths << "/100 s;";
    RecordProperty("TimeFromPointsIsThePrintedTime", printed);
    std::cout << "[ Rudolph 2025 ] TimeFromPoints gives the printed time for " << printed << " of "
              << rows << " levels; slower (same level) for" << found.str() << "\n";
}

} // namespace
