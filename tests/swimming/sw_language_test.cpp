#include "swimming/sw_language.h"
#include "texts/kvr_language.h"

#include <gtest/gtest.h>

#include <thread>

using namespace marqor;

namespace {

// The product's start-up step, before any test resolves a text.
const bool kRegistered = (RegisterLanguageClass<TLanguageKavrin>(), true);

TBSSwLanguage& Sw() {
    EXPECT_TRUE(kRegistered);
    return SwLanguage();
}

// ---------------------------------------------------------------------------------------------
// Readers

struct CourseReading {
    const char* text;
    TBSSwCourse expected;
};

void PrintTo(const CourseReading& r, std::ostream* os) {
    *os << '"' << r.text << '"';
}

class CourseFromText : public testing::TestWithParam<CourseReading> {};

TEST_P(CourseFromText, ReadsTheCourse) {
    EXPECT_EQ(Sw().CourseFromText(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Forms, CourseFromText, testing::Values(
    CourseReading{"LCM", sco50m}, CourseReading{"lcm", sco50m}, CourseReading{"50m", sco50m},
    CourseReading{"L", sco50m}, CourseReading{"50", sco50m}, CourseReading{"l", scoNone},
    CourseReading{" SCM", scoNone}, CourseReading{"SCM", sco25m}, CourseReading{"25", sco25m},
    CourseReading{"S", sco25m}, CourseReading{"s", scoNone}, CourseReading{"25M", sco25m},
    CourseReading{"Y", sco25y}, CourseReading{"scy", sco25y}, CourseReading{"SCM33", sco33m},
    CourseReading{"16m", sco16m}, CourseReading{"SCM20", sco20m}, CourseReading{"OPEN", scoOpen},
    CourseReading{"ow", scoOpen}, CourseReading{"", scoNone}, CourseReading{"pool", scoNone}));

TEST(CoursesFromText, SetsABitPerItemAndUnknownItemsAddNone) {
    EXPECT_EQ(Sw().CoursesFromText("LCM,SCM"), (TBSSwCourses{sco50m, sco25m}));
    EXPECT_EQ(Sw().CoursesFromText("LCM,SCM").bits, 0b110);
    EXPECT_EQ(Sw().CoursesFromText("LCM,pool"), (TBSSwCourses{scoNone, sco50m}));
    EXPECT_EQ(Sw().CoursesFromText("LCM, SCM"), (TBSSwCourses{scoNone, sco50m})); // no trimming
    EXPECT_EQ(Sw().CoursesFromText("LCM,"), (TBSSwCourses{scoNone, sco50m}));
    EXPECT_TRUE(Sw().CoursesFromText("").IsEmpty());
}

struct GenderReading {
    const char* text;
    TBSSwGender expected;
};

void PrintTo(const GenderReading& r, std::ostream* os) {
    *os << '"' << r.text << '"';
}

class GenderFromText : public testing::TestWithParam<GenderReading> {};

TEST_P(GenderFromText, ReadsTheGender) {
    EXPECT_EQ(Sw().GenderFromText(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Forms, GenderFromText, testing::Values(
    GenderReading{"W", sgeWomen}, GenderReading{"f", sgeWomen}, GenderReading{"Female", sgeWomen},
    GenderReading{"v", sgeWomen}, GenderReading{"FEM", sgeWomen}, GenderReading{"D", sgeWomen},
    GenderReading{"Women", sgeWomen}, GenderReading{"2", sgeWomen}, GenderReading{"H", sgeMen},
    GenderReading{"male", sgeMen}, GenderReading{"M", sgeMen}, GenderReading{"men", sgeMen},
    GenderReading{"1", sgeMen}, GenderReading{"X", sgeMixed}, GenderReading{"Mixed", sgeMixed},
    GenderReading{"3", sgeMixed}, GenderReading{"7", sgeMixed}, GenderReading{"0", sgeNone},
    GenderReading{"-2", sgeNone}, GenderReading{"Boys", sgeNone}, GenderReading{"All", sgeNone},
    GenderReading{"", sgeNone}));

struct HandicapReading {
    const char* text;
    int expected;
};

void PrintTo(const HandicapReading& r, std::ostream* os) {
    *os << '"' << r.text << '"';
}

class HandicapFromText : public testing::TestWithParam<HandicapReading> {};

TEST_P(HandicapFromText, ReadsTheClass) {
    EXPECT_EQ(Sw().HandicapFromText(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Forms, HandicapFromText, testing::Values(
    HandicapReading{"", 0}, HandicapReading{"S15", 15}, HandicapReading{"SB3", 3},
    HandicapReading{"SM7", 7}, HandicapReading{"B7", 7}, HandicapReading{" 12 ", 12},
    HandicapReading{"120", 99}, HandicapReading{"-5", 5}, HandicapReading{"ab", 201},
    HandicapReading{"GER.AB", 201}, HandicapReading{"gb", 202}, HandicapReading{"Ger.Gb", 202},
    HandicapReading{"x", -1}, HandicapReading{"NONE", -1}, HandicapReading{"abc", 0},
    HandicapReading{"§7", 7}, HandicapReading{"SBM7", 0}));

struct StrokeReading {
    const char* text;
    TBSSwStroke expected;
};

void PrintTo(const StrokeReading& r, std::ostream* os) {
    *os << '"' << r.text << '"';
}

class StrokeFromText : public testing::TestWithParam<StrokeReading> {};

TEST_P(StrokeFromText, ReadsTheStroke) {
    EXPECT_EQ(Sw().StrokeFromText(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Forms, StrokeFromText, testing::Values(
    StrokeReading{"FREE", strFreestyle}, StrokeReading{"fr", strFreestyle},
    StrokeReading{"Freestyle Relay", strFreestyle}, StrokeReading{"BACK", strBackstroke},
    StrokeReading{"Backstroke", strBackstroke}, StrokeReading{"Bk", strBackstroke},
    StrokeReading{"ba", strBackstroke}, StrokeReading{"BREAST", strBreaststroke},
    StrokeReading{"BRST", strBreaststroke}, StrokeReading{"Breaststroke", strBreaststroke},
    StrokeReading{"br", strBreaststroke}, StrokeReading{"FLY", strFly},
    StrokeReading{"BUTTERFLY", strFly}, StrokeReading{"Bu", strFly}, StrokeReading{"fl", strFly},
    StrokeReading{"MEDLEY", strMedley}, StrokeReading{"Medley Relay", strMedley},
    StrokeReading{"IM", strMedley}, StrokeReading{"I.M.", strMedley},
    StrokeReading{"ind med", strMedley}, StrokeReading{"Me", strMedley},
    StrokeReading{"ID_211", strNone}, StrokeReading{"", strNone},
    StrokeReading{"Dolphin", strNone}));

// ---------------------------------------------------------------------------------------------
// Texts

TEST(SwimmingTexts, EnumerationsHaveTheirEnglishTexts) {
    auto& sw = Sw();
    const std::vector<std::string> genderCodes = {"", "M", "F", "X"};
    const std::vector<std::string> genderNames = {"All", "Men", "Women", "Mixed"};
    for (int g = sgeNone; g <= sgeMixed; ++g) {
        EXPECT_EQ(sw.GenderCode(TBSSwGender(g)), genderCodes[g]);
        EXPECT_EQ(sw.GenderName(TBSSwGender(g)), genderNames[g]);
    }
    const std::vector<std::string> strokeCodes = {"", "Fr", "Bk", "Br", "Bu", "Me"};
    const std::vector<std::string> strokeNames = {"",    "Freestyle", "Backstroke",
                                                  "Breaststroke", "Fly", "Medley"};
    for (int s = strNone; s <= strMedley; ++s) {
        EXPECT_EQ(sw.StrokeCode(TBSSwStroke(s)), strokeCodes[s]);
        EXPECT_EQ(sw.StrokeName(TBSSwStroke(s)), strokeNames[s]);
    }
    const std::vector<std::string> shortNames = {"", "50m", "25m", "25y", "33m", "16m", "20m", "OW"};
    for (int c = scoNone; c <= scoOpen; ++c)
        EXPECT_EQ(sw.CourseShortName(TBSSwCourse(c)), shortNames[c]);
    // Values outside the enumerations have no text.
    EXPECT_EQ(sw.GenderName(TBSSwGender(9)), "");
    EXPECT_EQ(sw.StrokeCode(TBSSwStroke(6)), "");
    EXPECT_EQ(sw.CourseShortName(TBSSwCourse(8)), "");
}

TEST(SwimmingTexts, TheRecordHoldsEveryListAndReferencesForMissingKeys) {
    const auto& texts = Sw().Texts();
    EXPECT_EQ(texts.RoundNames[1], "Timed Final");
    EXPECT_EQ(texts.RoundNames[11], "Break");
    EXPECT_EQ(texts.RoundNames[0], "");
    EXPECT_EQ(texts.RoundNamesPlural[3], "#BSSwLanguage.RoundNamesPlural");
    EXPECT_EQ(texts.GenderNames2[1], "Boys");
    EXPECT_EQ(texts.PoolTexts[sco25y], "25y Pool");
    EXPECT_EQ(texts.PoolTexts[scoNone], "All pools");
    EXPECT_EQ(texts.PoolTexts[scoOpen], "Open water");
    EXPECT_FALSE(texts.AgeGroups[4].empty());
    EXPECT_FALSE(texts.YOBs[4].empty());
}

struct HandicapName {
    int handicapClass;
    const char* text;
};

void PrintTo(const HandicapName& h, std::ostream* os) {
    *os << h.handicapClass;
}

class HandicapText : public testing::TestWithParam<HandicapName> {};

TEST_P(HandicapText, NamesTheClass) {
    EXPECT_EQ(Sw().HandicapText(GetParam().handicapClass), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Classes, HandicapText, testing::Values(
    HandicapName{0, ""}, HandicapName{1, "S1"}, HandicapName{5, "S5"}, HandicapName{15, "S15"},
    HandicapName{16, ""}, HandicapName{99, ""}, HandicapName{201, "AB"},
    HandicapName{202, "GB"}, HandicapName{-1, "X"}, HandicapName{-2, ""}));

std::vector<std::pair<int, std::string>> Entries(const IBSLookupItems& items) {
    std::vector<std::pair<int, std::string>> out;
    for (int i = 0; i < items.Count(); ++i)
        out.emplace_back(items.KeyAt(i), items.TextAt(i));
    return out;
}

TEST(CourseListItems, KeepTheCourseOrderWithAllPoolsFirst) {
    using E = std::vector<std::pair<int, std::string>>;
    EXPECT_EQ(Entries(*Sw().CourseListItems({sco50m, sco25m})),
              (E{{1, "50m Pool"}, {2, "25m Pool"}}));
    EXPECT_EQ(Entries(*Sw().CourseListItems({sco25m, sco50m})),
              (E{{1, "50m Pool"}, {2, "25m Pool"}}));
    EXPECT_EQ(Entries(*Sw().CourseListItems(Sw().CoursesFromText("LCM,pool"))),
              (E{{0, "All pools"}, {1, "50m Pool"}}));
    EXPECT_EQ(Entries(*Sw().CourseListItems({scoOpen, sco20m, sco25y})),
              (E{{3, "25y Pool"}, {6, "20m Pool"}, {7, "Open water"}}));
    EXPECT_EQ(Sw().CourseListItems({})->Count(), 0);
}

// ---------------------------------------------------------------------------------------------
// Per-language records

const char* const kGermanVocabulary =
    "[Data.BSSwLanguage]\nGenderCodes=;M;W;X\nGenderNames=Alle;Herren;Damen;Mixed\n"
    "StrokeCodes=;F;R;B;S;L\nStrokeNames=;Freistil;Rücken;Brust;Schmetterling;Lagen\n"
    "AllPools=Alle Becken\nPool=%s-Becken\n";
const char* const kEnglishVocabulary =
    "[Data.BSSwLanguage]\nGenderCodes=;M;F;X\nGenderNames=All;Men;Women;Mixed\n"
    "StrokeCodes=;Fr;Bk;Br;Bu;Me\nStrokeNames=;Freestyle;Backstroke;Breaststroke;Fly;Medley\n"
    "Pool=%d Pool\n";

class TwoLanguages final : public TBSLanguage {
public:
    TBSLanguages AvailableLanguages() const override { return {2, 4}; }
    IBSStringListPtr LoadLanguageLines(TBSLanguageId language) override {
        auto lines = NewStringList();
        lines->SetLines(language == 2 ? kGermanVocabulary : kEnglishVocabulary);
        return lines;
    }
};

class PerLanguageRecords : public testing::Test {
protected:
    void SetUp() override {
        saved_ = UserSettings();
        SetUserSettings(NewMemorySettings());
        UserSettings()->GetSection("Orvane")->WriteInteger("ActiveLanguage", 4);
    }
    void TearDown() override { SetUserSettings(saved_); }

private:
    IBSSettingsPtr saved_;
};

TEST_F(PerLanguageRecords, EachThreadReadsTheTextsOfItsLanguage) {
    TwoLanguages language;
    TBSSwLanguage sw(language);
    std::string germanName, germanPool;
    TBSSwGender germanReading = sgeNone;
    std::thread([&] {
        language.SelectLanguage(2); // the listener creates the German record here
        germanName = sw.StrokeName(strBackstroke);
        germanPool = sw.Texts().PoolTexts[sco25m];
        germanReading = sw.GenderFromText("Damen");
    }).join();
    EXPECT_EQ(germanName, "Rücken");
    EXPECT_EQ(germanPool, "25m-Becken");
    EXPECT_EQ(germanReading, sgeWomen);
    EXPECT_EQ(sw.StrokeName(strBackstroke), "Backstroke");
    EXPECT_EQ(sw.GenderFromText("Damen"), sgeNone);
    EXPECT_EQ(sw.StrokeFromText("R"), strNone);
}

TEST_F(PerLanguageRecords, APoolTextWhosePlaceholderDoesNotFitStillNamesThePool) {
    TwoLanguages language;
    TBSSwLanguage sw(language);
    EXPECT_EQ(sw.Texts().PoolTexts[sco50m], "50m %d Pool");
}

TEST_F(PerLanguageRecords, ConcurrentFirstQuestionsCreateOneRecordPerLanguage) {
    TwoLanguages language;
    TBSSwLanguage sw(language);
    std::vector<std::thread> threads;
    std::vector<std::string> names(8);
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([&, t] {
            if (t % 2)
                language.SelectLanguage(2);
            names[t] = sw.GenderName(sgeWomen);
        });
    for (auto& t : threads)
        t.join();
    for (int t = 0; t < 8; ++t)
        EXPECT_EQ(names[t], t % 2 ? "Damen" : "Women") << t;
}

} // namespace
