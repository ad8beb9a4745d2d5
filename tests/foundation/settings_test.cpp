#include "foundation/settings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

using namespace marqor;

namespace {

const std::string kEsc = "\xC2\x81"; // U+0081

IBSSectionPtr Section(std::initializer_list<std::pair<const char*, const char*>> values = {}) {
    auto s = std::make_shared<TBSMemorySection>();
    for (const auto& [name, value] : values)
        s->WriteRaw(name, value);
    return s;
}

// ---------------------------------------------------------------------------------------------
// Booleans

struct BoolReading {
    const char* stored;
    bool fallback;
    bool expected;
};

void PrintTo(const BoolReading& r, std::ostream* os) {
    *os << '"' << r.stored << "\" default " << r.fallback;
}

class ReadBool : public testing::TestWithParam<BoolReading> {};

TEST_P(ReadBool, ReadsWordsAndNumbersAndFallsBackOnAnythingElse) {
    const auto s = Section({{"v", GetParam().stored}});
    EXPECT_EQ(s->ReadBool("v", GetParam().fallback), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Words, ReadBool, testing::Values(
    BoolReading{"T", false, true}, BoolReading{"yes", false, true},
    BoolReading{"JA", false, true}, BoolReading{"-1", false, true},
    BoolReading{"wahr", false, true}, BoolReading{"7", false, true},
    BoolReading{"F", true, false}, BoolReading{"nein", true, false},
    BoolReading{"0", true, false}, BoolReading{"Falsch", true, false},
    BoolReading{"maybe", true, true}, BoolReading{"maybe", false, false},
    BoolReading{"", true, true}));

TEST(Settings, BooleansAreWrittenAsTOrF) {
    auto s = Section();
    s->WriteBool("a", true);
    s->WriteBool("b", false);
    EXPECT_EQ(s->ReadRaw("a", ""), "T");
    EXPECT_EQ(s->ReadRaw("b", ""), "F");
    EXPECT_TRUE(s->ReadBool("missing", true));
}

// ---------------------------------------------------------------------------------------------
// Integers and floats

TEST(Settings, IntegersReadBackAndTextThatIsNoIntegerGivesTheDefault) {
    auto s = Section({{"bad", "12a"}, {"empty", ""}, {"big", "2147483648"}});
    s->WriteInteger("n", -42);
    EXPECT_EQ(s->ReadRaw("n", ""), "-42");
    EXPECT_EQ(s->ReadInteger("n", 0), -42);
    EXPECT_EQ(s->ReadInteger("bad", 7), 7);
    EXPECT_EQ(s->ReadInteger("empty", 7), 7);
    EXPECT_EQ(s->ReadInteger("big", 7), 7);
    EXPECT_EQ(s->ReadInteger("missing", 7), 7);
}

struct FloatForm {
    double value;
    const char* text;
};

void PrintTo(const FloatForm& f, std::ostream* os) {
    *os << f.text;
}

class FloatText : public testing::TestWithParam<FloatForm> {};

TEST_P(FloatText, IsTheShortestGeneralFormWithAPointAndReadsBack) {
    auto s = Section();
    s->WriteFloat("f", GetParam().value);
    EXPECT_EQ(s->ReadRaw("f", ""), GetParam().text);
    // 15 digits: a third comes back as 0.333333333333333.
    EXPECT_NEAR(s->ReadFloat("f", -999), GetParam().value, 1e-15);
}

INSTANTIATE_TEST_SUITE_P(Values, FloatText, testing::Values(
    FloatForm{1.5, "1.5"}, FloatForm{0.1, "0.1"}, FloatForm{-2.25, "-2.25"},
    FloatForm{100, "100"}, FloatForm{0, "0"}, FloatForm{1e20, "1E20"},
    FloatForm{1.5e-5, "1.5E-5"}, FloatForm{1.0 / 3.0, "0.333333333333333"}));

TEST(Settings, FloatsAcceptACommaAndUnreadableTextGivesTheDefault) {
    auto s = Section({{"comma", "1,5"}, {"bad", "1.5x"}, {"two", "1,234.5"}, {"nan", "nan"}});
    EXPECT_DOUBLE_EQ(s->ReadFloat("comma", 0), 1.5);
    EXPECT_DOUBLE_EQ(s->ReadFloat("bad", 9), 9);
    EXPECT_DOUBLE_EQ(s->ReadFloat("two", 9), 9);
    EXPECT_DOUBLE_EQ(s->ReadFloat("nan", 9), 9);
}

// ---------------------------------------------------------------------------------------------
// Date-times

TEST(DateTime, DayCountsStartOnThe30thOfDecember1899) {
    EXPECT_DOUBLE_EQ(*EncodeDateTime(1899, 12, 30), 0);
    EXPECT_DOUBLE_EQ(*EncodeDateTime(2099, 12, 31), OpenEndDateTime);
    EXPECT_DOUBLE_EQ(*EncodeDateTime(1900, 1, 1, 12), 2.5);
    // Before the start the days count backwards while the time of day still runs forwards.
    EXPECT_DOUBLE_EQ(*EncodeDateTime(1899, 12, 29, 6), -1.25);
    const auto p = DecodeDateTime(-1.25);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->Day, 29);
    EXPECT_EQ(p->Hour, 6);
}

TEST(DateTime, DecodingGivesTheWeekdaySundayFirst) {
    EXPECT_EQ(DecodeDateTime(0)->DayOfWeek, 7);                               // a Saturday
    EXPECT_EQ(DecodeDateTime(*EncodeDateTime(2010, 3, 1))->DayOfWeek, 2);     // a Monday
    EXPECT_EQ(DecodeDateTime(*EncodeDateTime(1, 1, 1))->DayOfWeek, 2);        // a Monday
    EXPECT_EQ(DecodeDateTime(*EncodeDateTime(9999, 12, 31))->DayOfWeek, 6);   // a Friday
}

TEST(DateTime, ImpossibleDatesAndValuesOutsideTheYearsAreRejected) {
    EXPECT_FALSE(EncodeDateTime(2011, 2, 29));
    EXPECT_TRUE(EncodeDateTime(2012, 2, 29));
    EXPECT_FALSE(EncodeDateTime(2010, 13, 1));
    EXPECT_FALSE(EncodeDateTime(2010, 1, 1, 24));
    EXPECT_FALSE(DecodeDateTime(1e12));
    EXPECT_FALSE(DecodeDateTime(std::nan("")));
    EXPECT_EQ(DateTimeToStampText(1e12), "");
}

struct StampReading {
    const char* stored;
    bool readable;
};

void PrintTo(const StampReading& r, std::ostream* os) {
    *os << '"' << r.stored << '"';
}

class ReadDateTime : public testing::TestWithParam<StampReading> {};

TEST_P(ReadDateTime, NeedsExactlySeventeenDigitsOfAValidMoment) {
    const auto s = Section({{"d", GetParam().stored}});
    const TDateTime fallback = 123;
    EXPECT_EQ(s->ReadDateTime("d", fallback) != fallback, GetParam().readable);
}

INSTANTIATE_TEST_SUITE_P(Forms, ReadDateTime, testing::Values(
    StampReading{"20100301143000000", true},
    StampReading{"18991230000000000", true},
    StampReading{"2010030114300000", false},   // 16 digits
    StampReading{"201003011430000000", false}, // 18 digits
    StampReading{"20101301143000000", false},  // month 13
    StampReading{"20100230143000000", false},  // 30 February
    StampReading{"20100301253000000", false},  // hour 25
    StampReading{"2010-03-01 14:30:0", false},
    StampReading{"", false}));

TEST(Settings, DateTimesReadBackToTheMillisecond) {
    auto s = Section({{"d", "20100301143000000"}});
    EXPECT_DOUBLE_EQ(s->ReadDateTime("d", 0), *EncodeDateTime(2010, 3, 1, 14, 30));
    const TDateTime moment = *EncodeDateTime(2024, 2, 29, 23, 59, 58, 999);
    s->WriteDateTime("m", moment);
    EXPECT_EQ(s->ReadRaw("m", ""), "20240229235958999");
    EXPECT_NEAR(s->ReadDateTime("m", 0), moment, 1e-9);
}

TEST(Settings, ADateRangeNeedsBothEnds) {
    const TBSDateRange fallback{1, 2};
    auto s = Section({{"from", "20100301000000000"}, {"to", "20100331000000000"}, {"bad", "x"}});
    const auto range = s->ReadDateRange("from", "to", fallback);
    EXPECT_DOUBLE_EQ(range.From, *EncodeDateTime(2010, 3, 1));
    EXPECT_DOUBLE_EQ(range.To, *EncodeDateTime(2010, 3, 31));
    EXPECT_EQ(s->ReadDateRange("from", "bad", fallback), fallback);
    EXPECT_EQ(s->ReadDateRange("missing", "to", fallback), fallback);
    EXPECT_EQ(MakeDateRange(0, 0), (TBSDateRange{0, 73050}));
}

// ---------------------------------------------------------------------------------------------
// Text

struct Escaping {
    const char* name;
    std::string text;
    std::string stored;
};

void PrintTo(const Escaping& e, std::ostream* os) {
    *os << e.name;
}

class TextEscaping : public testing::TestWithParam<Escaping> {};

TEST_P(TextEscaping, StoresControlCharactersOnOneLineAndReadsBackIdentical) {
    auto s = Section();
    s->WriteString("t", GetParam().text);
    EXPECT_EQ(s->ReadRaw("t", ""), GetParam().stored);
    EXPECT_EQ(s->ReadString("t", "default"), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Characters, TextEscaping, testing::Values(
    Escaping{"plain", "Plain text", "Plain text"},
    Escaping{"two_lines", "one\r\ntwo", "one" + kEsc + "r" + kEsc + "ntwo"},
    Escaping{"tab_and_backspace", "a\tb\bc", "a" + kEsc + "tb" + kEsc + "bc"},
    Escaping{"nul", std::string("a\0b", 3), "a" + kEsc + "0b"},
    Escaping{"escape_itself", "x" + kEsc + "y", "x" + kEsc + kEsc + "y"},
    Escaping{"unicode", "Zürich – 東京", "Zürich – 東京"},
    Escaping{"empty", "", ""}));

TEST(Settings, HandWrittenLineBreakMarkersAndUnknownEscapesAreRead) {
    auto s = Section({{"crlf", "one#CRLF#two#LF#three"},
                      {"other", "a" "\xC2\x81" "qb"},
                      {"trailing", "a" "\xC2\x81"},
                      {"escaped_multibyte", "\xC2\x81" "é"}});
    EXPECT_EQ(s->ReadString("crlf", ""), "one\r\ntwo\nthree");
    EXPECT_EQ(s->ReadString("other", ""), "aqb");
    EXPECT_EQ(s->ReadString("trailing", ""), "a");
    EXPECT_EQ(s->ReadString("escaped_multibyte", ""), "é");
    // An absent value gives the default exactly as it was passed.
    EXPECT_EQ(s->ReadString("missing", "keep #CRLF# as is"), "keep #CRLF# as is");
}

TEST(Settings, TextListsAreJoinedTrimmedAndEscaped) {
    auto s = Section();
    auto lines = NewStringList();
    lines->Add("  first");
    lines->Add("second");
    lines->Add("");
    s->WriteStrings("l", *lines);
    EXPECT_EQ(s->ReadRaw("l", ""), "first" + kEsc + "r" + kEsc + "nsecond");
    EXPECT_EQ(s->ReadString("l", ""), "first\r\nsecond");
}

TEST(Settings, AMapIsReadFromTheLinesOfAText) {
    auto s = Section();
    s->WriteString("m", "a=1\r\nb=two words\nc=");
    const auto map = s->ReadMap("m");
    ASSERT_EQ(map->Count(), 3);
    EXPECT_EQ(map->Get("A"), "1");
    EXPECT_EQ(map->Get("b"), "two words");
    EXPECT_TRUE(map->ContainsName("c"));
    EXPECT_EQ(s->ReadMap("missing")->Count(), 0);
}

// ---------------------------------------------------------------------------------------------
// Sections

TEST(MemorySection, NamesCompareWithoutCaseAndValuesKeepTheirOrder) {
    auto s = MemorySectionFromText("Beta=2\r\nalpha=1\r\nno separator\r\n=no name\r\nBETA=3");
    EXPECT_EQ(s->ReadRaw("beta", ""), "3");
    EXPECT_EQ(s->ReadRaw("ALPHA", ""), "1");
    const auto values = s->GetValues();
    ASSERT_EQ(values->Count(), 2);
    EXPECT_EQ(values->NameAt(1), "alpha");
    EXPECT_TRUE(MemorySectionFromText("")->IsEmpty());
}

TEST(MemorySection, MergeKeepsOtherNamesWhileSetValuesReplacesEverything) {
    auto s = Section({{"a", "1"}, {"b", "2"}});
    s->MergeFrom(*Section({{"b", "20"}, {"c", "30"}}));
    EXPECT_EQ(s->ReadRaw("a", ""), "1");
    EXPECT_EQ(s->ReadRaw("b", ""), "20");
    EXPECT_EQ(s->ReadRaw("c", ""), "30");
    s->SetValues(*Section({{"z", "9"}})->GetValues());
    EXPECT_EQ(s->GetValues()->Count(), 1);
    EXPECT_EQ(s->ReadRaw("a", "gone"), "gone");
}

TEST(MemorySection, AMemoryCopyIsIndependent) {
    auto s = Section({{"a", "1"}});
    auto copy = s->CreateMemoryCopy();
    copy->WriteRaw("a", "2");
    EXPECT_EQ(s->ReadRaw("a", ""), "1");
    EXPECT_EQ(copy->ReadRaw("a", ""), "2");
    s->Clear();
    EXPECT_TRUE(s->IsEmpty());
    EXPECT_FALSE(copy->IsEmpty());
}

// ---------------------------------------------------------------------------------------------
// Settings objects

TEST(MemorySettings, SectionsNeedNotExistToBeHandedOutAndWritingCreatesThem) {
    auto settings = NewMemorySettings();
    auto s = settings->GetSection("Orvane");
    EXPECT_TRUE(s->IsEmpty());
    EXPECT_EQ(settings->SectionNames()->Count(), 0);
    s->WriteInteger("ActiveLanguage", 4);
    EXPECT_EQ(settings->GetSection("ORVANE")->ReadInteger("activelanguage", 0), 4);
    EXPECT_EQ(settings->SectionNames()->Items(), std::vector<std::string>{"Orvane"});
}

TEST(MemorySettings, AsTextListsEverySectionAsIniText) {
    auto settings = NewMemorySettings();
    settings->GetSection("A")->WriteRaw("x", "1");
    settings->GetSection("A")->WriteRaw("y", "two");
    settings->GetSection("B")->WriteRaw("z", "3");
    EXPECT_EQ(settings->AsText(), "[A]\r\nx=1\r\ny=two\r\n\r\n[B]\r\nz=3\r\n");
}

TEST(MemorySettings, AssignTextLeavesExactlyTheSectionsAndValuesOfTheText) {
    auto settings = NewMemorySettings();
    settings->GetSection("X")->WriteRaw("old", "1");
    settings->GetSection("A")->WriteRaw("old", "1");
    settings->AssignText("; comment\r\nstray=before any section\r\n[A]\r\nnew = 2\r\n"
                         "new=ignored, the first line of a name wins\r\nno separator\r\n"
                         "[B]\r\nv=a=b\r\n");
    EXPECT_EQ(settings->SectionNames()->Items(), (std::vector<std::string>{"A", "B"}));
    auto a = settings->GetSection("A");
    EXPECT_EQ(a->ReadRaw("old", "absent"), "absent");
    EXPECT_EQ(a->ReadRaw("new", ""), " 2");
    EXPECT_EQ(settings->GetSection("B")->ReadRaw("v", ""), "a=b");
    EXPECT_TRUE(settings->GetSection("X")->IsEmpty());
}

TEST(MemorySettings, AsTextAndAssignTextRoundTrip) {
    auto settings = NewMemorySettings();
    settings->GetSection("Window")->WriteString("Notes", "line 1\r\nline 2");
    settings->GetSection("Window")->WriteFloat("Zoom", 1.25);
    auto copy = NewMemorySettings();
    copy->AssignText(settings->AsText());
    EXPECT_EQ(copy->AsText(), settings->AsText());
    EXPECT_EQ(copy->GetSection("Window")->ReadString("Notes", ""), "line 1\r\nline 2");
}

TEST(MemorySettings, AssignSectionReplacesTheNamedSection) {
    auto settings = NewMemorySettings();
    settings->GetSection("S")->WriteRaw("old", "1");
    settings->AssignSection("S", *Section({{"new", "2"}}));
    EXPECT_EQ(settings->GetSection("S")->GetValues()->AsLines(), "new=2\r\n");
}

TEST(MemorySettings, AMissingValueIsReadFromTheDefaultsProvider) {
    auto defaults = NewMemorySettings();
    defaults->GetSection("KVR_Printer")->WriteRaw("PdfFile", "c:\\preset.pdf");
    defaults->GetSection("KVR_Printer")->WriteRaw("Current", "Preset printer");
    auto user = NewMemorySettings(defaults);
    auto section = user->GetSection("KVR_Printer");
    EXPECT_FALSE(section->IsEmpty());
    section->WriteRaw("Current", "My printer");
    EXPECT_EQ(section->ReadRaw("Current", ""), "My printer");
    EXPECT_EQ(section->ReadRaw("PdfFile", ""), "c:\\preset.pdf");
    EXPECT_EQ(section->ReadInteger("PreviewProzent", 100), 100);
    // The user's own values first, then the inherited ones the user does not have.
    EXPECT_EQ(section->GetValues()->AsLines(),
              "Current=My printer\r\nPdfFile=c:\\preset.pdf\r\n");
    // Writes never reach the provider.
    EXPECT_EQ(defaults->GetSection("KVR_Printer")->ReadRaw("Current", ""), "Preset printer");
}

// A store whose reads of one value fail, like a registry value that is no text.
class FailingStore final : public IBSIniStore {
public:
    explicit FailingStore(IBSIniStorePtr inner) : inner_(std::move(inner)) {}
    IBSStringListPtr SectionNames() const override { return inner_->SectionNames(); }
    bool SectionExists(std::string_view s) const override { return inner_->SectionExists(s); }
    std::optional<std::string> ReadValue(std::string_view s, std::string_view n) const override {
        if (n == "broken" && inner_->ReadValue(s, n))
            throw std::runtime_error("value is not text");
        return inner_->ReadValue(s, n);
    }
    IBSStringMapPtr SectionValues(std::string_view s) const override {
        return inner_->SectionValues(s);
    }
    void WriteValue(std::string_view s, std::string_view n, std::string_view v) override {
        inner_->WriteValue(s, n, v);
    }
    void DeleteValue(std::string_view s, std::string_view n) override {
        inner_->DeleteValue(s, n);
    }
    void EraseSection(std::string_view s) override { inner_->EraseSection(s); }

private:
    IBSIniStorePtr inner_;
};

TEST(StoreSettings, AValueTheStoreCannotReadGivesTheDefaultAndIsDeleted) {
    auto settings = NewSettings(std::make_unique<FailingStore>(NewMemoryIniStore()));
    auto s = settings->GetSection("S");
    s->WriteRaw("broken", "x");
    s->WriteRaw("fine", "1");
    EXPECT_EQ(s->ReadInteger("broken", 5), 5);
    EXPECT_EQ(s->GetValues()->AsLines(), "fine=1\r\n");
}

TEST(UserSettings, DefaultsToAnEmptyMemoryStoreAndCanBeReplaced) {
    const auto original = UserSettings();
    ASSERT_TRUE(original);
    EXPECT_EQ(UserSettings(), original);
    auto replacement = NewMemorySettings();
    SetUserSettings(replacement);
    EXPECT_EQ(UserSettings(), replacement);
    SetUserSettings(nullptr);
    EXPECT_TRUE(UserSettings());
    SetUserSettings(original);
}

} // namespace
