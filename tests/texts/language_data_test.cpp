#include "foundation/text.h"
#include "texts/language.h"

#include <gtest/gtest.h>

#include <random>

using namespace marqor;
using namespace std::string_literals;

namespace {

TBSLanguageData Parse(std::string_view text) {
    auto lines = NewStringList();
    lines->SetLines(text);
    return TBSLanguageData(*lines);
}

std::string Value(const TBSLanguageData& d, std::string_view section, std::string_view key) {
    const auto map = d.DataSection(section);
    if (!map)
        return "<no section>";
    const auto* v = map->Find(key);
    return v ? *v : "<no key>";
}

std::vector<std::string> Form(const TBSLanguageData& d, std::string_view section) {
    const auto list = d.FormSection(section);
    return list ? list->Items() : std::vector<std::string>{"<no section>"};
}

// ---------------------------------------------------------------------------------------------
// Data lines

struct DataLine {
    const char* name;
    std::string line;
    std::string key;
    std::string expected;
};

void PrintTo(const DataLine& d, std::ostream* os) {
    *os << d.name;
}

class DataLineReads : public testing::TestWithParam<DataLine> {};

TEST_P(DataLineReads, AsTheExpectedKeyAndText) {
    const auto& p = GetParam();
    const auto data = Parse("[Data.T]\n" + p.line);
    EXPECT_EQ(Value(data, "T", p.key), p.expected);
}

INSTANTIATE_TEST_SUITE_P(Rules, DataLineReads, testing::Values(
    DataLine{"plain", "61=Page %d of %d", "61", "Page %d of %d"},
    DataLine{"equals_in_text", "k=a=b==c", "k", "a=b==c"},
    DataLine{"trimmed", " \t k=text \t", "k", "text"},
    DataLine{"dollars_removed", "k$=US$ 5$", "k", "US 5"},
    DataLine{"keys_without_case", "Key=v", "KEY", "v"},
    DataLine{"key_not_trimmed", "k =v", "k ", "v"},
    DataLine{"no_equals_goes_to_empty_key", "just text", "", "just text"},
    DataLine{"empty_text", "k=", "k", ""},
    DataLine{"underscore_kept_until_lookup", "55=Page_", "55", "Page_"},
    DataLine{"escapes_kept_until_lookup", "10=%s\\nFile", "10", "%s\\nFile"},
    DataLine{"dot_line_ignored", ".", "", "<no key>"},
    DataLine{"comment", ";k=v", ";k", "<no key>"},
    DataLine{"cut_to_999", "k=" + std::string(1200, 'x'), "k", std::string(999, 'x')}));

TEST(LanguageData, TextsAreCutTo999CharactersNotBytes) {
    std::string longText;
    for (int i = 0; i < 1200; ++i)
        longText += "ä";
    const auto data = Parse("[Data.T]\nk=" + longText);
    const std::string value = Value(data, "T", "k");
    EXPECT_EQ(Utf8Length(value), 999u);
    EXPECT_TRUE(IsValidUtf8(value));
}

TEST(LanguageData, ALaterEntryOfAKeyReplacesTheEarlierOne) {
    const auto data = Parse("[Data.T]\nk=first\nother=x\nK=second");
    EXPECT_EQ(Value(data, "T", "k"), "second");
    EXPECT_EQ(data.DataSection("T")->Count(), 2);
}

// ---------------------------------------------------------------------------------------------
// Sections

TEST(LanguageData, SectionNamesAreUpperCaseWithTheirKindInFileOrder) {
    const auto data = Parse(";------\n[Data.KAVRIN_G]\n61=Page %d of %d\n69=left;right;centered\n"
                            "[Form.TKvrFPCalculator]\nCalculate points\n.@BCalculate\nCalculate\n"
                            "[data.lower]\n[FORM.Upper]\n");
    EXPECT_EQ(data.SectionNames(),
              (std::vector<std::string>{"DATA.KAVRIN_G", "FORM.TKVRFPCALCULATOR", "DATA.LOWER",
                                        "FORM.UPPER"}));
    EXPECT_EQ(Value(data, "kavrin_g", "69"), "left;right;centered");
    EXPECT_EQ(Form(data, "tkvrfpcalculator"),
              (std::vector<std::string>{"Calculate points", ".@BCalculate", "Calculate"}));
    // Data and form sections are found only by their own kind.
    EXPECT_FALSE(data.FormSection("KAVRIN_G"));
    EXPECT_FALSE(data.DataSection("TKvrFPCalculator"));
}

TEST(LanguageData, FormLinesKeepEmptyLinesDropDollarsAndReplaceTheCurrencyExactly) {
    const auto data = Parse("[Form.TKvrPrintDlg]\n.\n.@BPdf$\nPDF\n\n.\nPrice [CHF] 5 [chf]\n");
    EXPECT_EQ(Form(data, "TKvrPrintDlg"),
              (std::vector<std::string>{"", ".@BPdf", "PDF", "", "Price  5 [chf]"}));
}

TEST(LanguageData, TheFirstSectionOfANameWins) {
    const auto data = Parse("[Data.T]\nk=first block\n[Data.Other]\n[Data.T]\nk=second block\n"
                            "new=only in the second block\n");
    EXPECT_EQ(data.SectionNames().size(), 3u);
    EXPECT_EQ(Value(data, "T", "k"), "first block");
    EXPECT_EQ(Value(data, "T", "new"), "<no key>");
}

TEST(LanguageData, AHeaderWithoutItsBracketKeepsItsWholeName) {
    const auto data = Parse("[Data.KAVRIN_G\n61=Page %d of %d\n[Form.Window] trailing words\nx\n");
    EXPECT_EQ(Value(data, "KAVRIN_G", "61"), "Page %d of %d");
    EXPECT_EQ(Form(data, "Window"), std::vector<std::string>{"x"});
}

TEST(LanguageData, LinesBeforeTheFirstSectionAndOtherBracketsAreNoSections) {
    const auto data = Parse("k=before any section\n[Other.Thing]\n[Data.T]\n[Toolbars]\n");
    EXPECT_EQ(data.SectionNames(), std::vector<std::string>{"DATA.T"});
    EXPECT_EQ(Value(data, "T", ""), "[Toolbars]");
}

// ---------------------------------------------------------------------------------------------
// Damaged data

struct Damaged {
    const char* name;
    std::string text;
};

void PrintTo(const Damaged& d, std::ostream* os) {
    *os << d.name;
}

class DamagedData : public testing::TestWithParam<Damaged> {};

TEST_P(DamagedData, LoadsAndStillResolvesWhatItCan) {
    TBSLanguageData data = Parse("");
    ASSERT_NO_THROW(data = Parse(GetParam().text));
    EXPECT_EQ(Value(data, "KAVRIN_G", "61"), "Page %d of %d");
}

INSTANTIATE_TEST_SUITE_P(Inputs, DamagedData, testing::Values(
    Damaged{"garbage_lines", "]]]\n[\n[Data.\n=\n==\n[Data.KAVRIN_G]\n@#!\n61=Page %d of %d\n"},
    Damaged{"missing_bracket", "[Data.KAVRIN_G\n61=Page %d of %d"},
    Damaged{"long_lines", "[Data.KAVRIN_G]\n" + std::string(5000, 'y') + "\n61=Page %d of %d\n" +
                              "62=" + std::string(100000, 'z')},
    Damaged{"nul_bytes", "[Data.KAVRIN_G]\n\0\0\n61=Page %d of %d\nx\0=y\n"s},
    Damaged{"invalid_utf8", "[Data.KAVRIN_G]\n\xFF\xFE\xC3=\x80\x80\n61=Page %d of %d\n\xE2\x82"},
    Damaged{"carriage_returns", "[Data.KAVRIN_G]\r\r61=Page %d of %d\r\n"}));

TEST(LanguageData, TextWithoutSectionsGivesNoSections) {
    const auto data = Parse("61=Page %d of %d\njust words\n");
    EXPECT_TRUE(data.SectionNames().empty());
    EXPECT_FALSE(data.DataSection("KAVRIN_G"));
    EXPECT_TRUE(Parse("").SectionNames().empty());
}

TEST(LanguageData, RandomBytesNeverBreakTheParser) {
    std::mt19937 random(20240229);
    const std::string alphabet = "[]=.;$_\\n@DataForm \t\r\n\0\xC3\xA4\xFF"s;
    for (int round = 0; round < 200; ++round) {
        std::string text = round % 2 ? "[Data.X]\n" : "[Form.X]\n";
        const int length = int(random() % 400);
        for (int i = 0; i < length; ++i)
            text += alphabet[random() % alphabet.size()];
        ASSERT_NO_THROW(Parse(text)) << round;
    }
}

// ---------------------------------------------------------------------------------------------
// Locale settings of a language

TEST(LanguageData, MonthAndDayNamesComeFromTheBsSection) {
    const auto data = Parse("[Data.BS]\nShortMonthNames=Jan;Feb;Mär;Apr;Mai;Jun;Jul;Aug;Sep;Okt;Nov;Dez\n"
                            "LongDayNames=Sonntag;Montag;;Mittwoch\n");
    const auto& fs = data.FormatSettings();
    EXPECT_EQ(fs.ShortMonthNames[2], "Mär");
    EXPECT_EQ(fs.ShortMonthNames[11], "Dez");
    EXPECT_EQ(fs.LongDayNames[0], "Sonntag");
    EXPECT_EQ(fs.LongDayNames[3], "Mittwoch");
    // Names the language does not give keep the process's names, so dates never lose them.
    EXPECT_EQ(fs.LongDayNames[2], "Tuesday");
    EXPECT_EQ(fs.LongDayNames[6], "Saturday");
    EXPECT_EQ(fs.LongMonthNames[0], "January");
}

TEST(LanguageData, WithoutABsSectionTheLanguageKeepsTheProcessNames) {
    const auto fs = Parse("[Data.T]\n").FormatSettings();
    const auto process = ProcessFormatSettings();
    EXPECT_EQ(fs.ShortMonthNames, process.ShortMonthNames);
    EXPECT_EQ(fs.LongDayNames, process.LongDayNames);
    EXPECT_EQ(fs.DecimalSeparator, process.DecimalSeparator);
}

} // namespace
