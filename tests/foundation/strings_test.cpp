#include "foundation/errors.h"
#include "foundation/strings.h"

#include <gtest/gtest.h>

using namespace marqor;

namespace {

TEST(BSString, AddPutsTheSeparatorOnlyBetweenNonEmptyTexts) {
    EXPECT_EQ(NewBSString("a")->Add("b", ", ").AsText(), "a, b");
    EXPECT_EQ(NewBSString("")->Add("b", ", ").AsText(), "b");
    EXPECT_EQ(NewBSString("a")->Add("", ", ").AsText(), "a");
    EXPECT_EQ(NewBSString("b")->Prepend("a", "-").AsText(), "a-b");
    EXPECT_EQ(NewBSString("")->Prepend("a", "-").AsText(), "a");
    auto s = NewBSString("x");
    s->AddString(*s, "+").PrependFormat(" ", "%d:", 7).AddFormat(";", "%s", "end");
    EXPECT_EQ(s->AsText(), "7: x+x;end");
}

struct PadCase {
    const char* text;
    int width;
    char32_t pad;
    TAlignment alignment;
    const char* expected;
};

void PrintTo(const PadCase& c, std::ostream* os) {
    *os << c.text << " to " << c.width;
}

class Pad : public testing::TestWithParam<PadCase> {};

TEST_P(Pad, FillsOrCutsToTheWidthInCharacters) {
    const auto& c = GetParam();
    EXPECT_EQ(NewBSString(c.text)->Pad(c.width, c.pad, c.alignment).AsText(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, Pad,
                         testing::Values(PadCase{"ab", 5, U'*', taCenter, "*ab**"},
                                         PadCase{"ab", 1, U'*', taCenter, "a"},
                                         PadCase{"ab", 4, U'.', taLeftJustify, "ab.."},
                                         PadCase{"ab", 4, U'.', taRightJustify, "..ab"},
                                         PadCase{"äöü", 2, U' ', taLeftJustify, "äö"},
                                         PadCase{"ä", 3, U'·', taRightJustify, "··ä"},
                                         PadCase{"abc", 0, U' ', taLeftJustify, ""}));

struct TextCase {
    const char* input;
    const char* expected;
};

void PrintTo(const TextCase& c, std::ostream* os) {
    *os << c.input;
}

class Transliterate : public testing::TestWithParam<TextCase> {};

TEST_P(Transliterate, GivesPlainAscii) {
    EXPECT_EQ(NewBSString(GetParam().input)->Transliterate().AsText(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, Transliterate,
                         testing::Values(TextCase{"Łódź", "Lodz"}, TextCase{"Straße", "Strasse"},
                                         TextCase{"Ärger", "Aerger"},
                                         TextCase{"Øresund", "Oeresund"},
                                         TextCase{"Œuvre", "Oeuvre"}, TextCase{"Þór", "Thor"},
                                         TextCase{"Đorđe", "Djordje"},
                                         TextCase{"‘x’ „y“", "'x' \"y\""}, TextCase{"«°»", "<.>"},
                                         TextCase{"Ça va", "Ca va"}, TextCase{"日本", "日本"}));

class ToIdentifier : public testing::TestWithParam<TextCase> {};

TEST_P(ToIdentifier, KeepsOnlyIdentifierCharacters) {
    EXPECT_EQ(NewBSString(GetParam().input)->ToIdentifier().AsText(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ToIdentifier,
                         testing::Values(TextCase{"3 Zürich", "X3Zuerich"},
                                         TextCase{"a-b_c", "ab_c"}, TextCase{"", ""},
                                         TextCase{"日本", ""}, TextCase{"9", "X9"}));

TEST(BSString, CaseTestsCanIgnoreTheAccentedLettersOfTheTable) {
    EXPECT_TRUE(NewBSString("MÜLLER")->IsUpperCase(false));
    EXPECT_FALSE(NewBSString("MÜLLEr")->IsUpperCase(true));
    // ß and ı have no upper-case form of their own here; the table lets them pass.
    EXPECT_TRUE(NewBSString("STRAßE")->IsUpperCase(true));
    EXPECT_FALSE(NewBSString("ABCá")->IsUpperCase(false));
    EXPECT_TRUE(NewBSString("ABCá")->IsUpperCase(true));
    EXPECT_FALSE(NewBSString("abcÉ")->IsLowerCase(false));
    EXPECT_TRUE(NewBSString("abcÉ")->IsLowerCase(true));
}

TEST(BSString, TurkishDotlessAndDottedIAreMappedBeforeTheCaseChange) {
    EXPECT_EQ(NewBSString("ıi")->ToUpper().AsText(), "II");
    EXPECT_EQ(NewBSString("İI")->ToLower().AsText(), "ii");
}

TEST(BSString, CleanNameTrimsAndCapitalisesNamesWrittenInCapitals) {
    EXPECT_EQ(NewBSString("\u00A0 HANS MÜLLER\t")->CleanName().AsText(), "Hans Müller");
    EXPECT_EQ(NewBSString("Hans\u00C2\u00A0von Berg")->CleanName().AsText(), "Hans von Berg");
    EXPECT_EQ(NewBSString("Anna McKay")->CleanName().AsText(), "Anna McKay");
}

struct EmailCase {
    const char* address;
    bool valid;
};

void PrintTo(const EmailCase& c, std::ostream* os) {
    *os << c.address;
}

class Email : public testing::TestWithParam<EmailCase> {};

TEST_P(Email, FollowsTheAddressRules) {
    EXPECT_EQ(NewBSString(GetParam().address)->IsEmailAddress(), GetParam().valid);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Email,
    testing::Values(EmailCase{"anna.berg@example.org", true}, EmailCase{"@example.org", false},
                    EmailCase{"anna@", false}, EmailCase{".anna@example.org", false},
                    EmailCase{"anna.@example.org", false}, EmailCase{"anna@example", false},
                    EmailCase{"anna@example.", false}, EmailCase{"anna@.example.org", false},
                    EmailCase{"anna@exa mple.org", false}, EmailCase{"anna@exa_mple.org", false},
                    EmailCase{"anna", false}, EmailCase{"än@example.org", false},
                    EmailCase{"a@b@example.org", false}));

struct WordsCase {
    const char* text;
    const char* search;
    bool matches;
};

void PrintTo(const WordsCase& c, std::ostream* os) {
    *os << c.search << " in " << c.text;
}

class MatchesWords : public testing::TestWithParam<WordsCase> {};

TEST_P(MatchesWords, EverySearchWordMatchesSomeWord) {
    const auto& c = GetParam();
    EXPECT_EQ(NewBSString(c.text)->MatchesWords(c.search, " "), c.matches);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MatchesWords,
    testing::Values(
        WordsCase{"Basel Zürich", "zü*", true}, WordsCase{"Basel Zürich", "zur*", false},
        WordsCase{"Basel Zürich", "*rich", true}, WordsCase{"Basel Zürich", "*sel* zue*", true},
        WordsCase{"Basel Zürich", "basel", true}, WordsCase{"Basel Zürich", "base", false},
        WordsCase{"Basel Zürich", "*", true}, WordsCase{"Basel Zürich", "", false},
        WordsCase{"Basel Zürich", "   ", true},
        WordsCase{"Basel Zürich", "ba*el", false}, // an inner star is dropped
        WordsCase{"Basel Zürich", "bas*el", true},
        // A leading star is a suffix test, also when the rest occurs earlier in the word.
        WordsCase{"ABAB", "*ab", true}, WordsCase{"Bern", "*xy", false}));

struct CoordinateCase {
    const char* text;
    double degrees;
};

void PrintTo(const CoordinateCase& c, std::ostream* os) {
    *os << c.text;
}

class AsCoordinate : public testing::TestWithParam<CoordinateCase> {};

TEST_P(AsCoordinate, ReadsDegreesMinutesAndSeconds) {
    EXPECT_DOUBLE_EQ(NewBSString(GetParam().text)->AsCoordinate(), GetParam().degrees);
}

INSTANTIATE_TEST_SUITE_P(Cases, AsCoordinate,
                         testing::Values(CoordinateCase{"S 33° 30'", -33.5},
                                         CoordinateCase{"46° 30'", 46.5},
                                         CoordinateCase{"N 46° 30' 36\"", 46.51},
                                         CoordinateCase{"W 1° 0' 36''", -1.01},
                                         CoordinateCase{"7.25", 7.25}, CoordinateCase{"", 0},
                                         CoordinateCase{"x° y'", 0}));

TEST(BSString, NumbersAreReadFromTheTrimmedTextWithDefaults) {
    EXPECT_EQ(NewBSString(" 42 ")->AsInteger(-1), 42);
    EXPECT_EQ(NewBSString("4 2")->AsInteger(-1), -1);
    EXPECT_DOUBLE_EQ(NewBSString(" 1.5 ")->AsFloat(-1), 1.5);
    EXPECT_DOUBLE_EQ(NewBSString("1,5")->AsFloat(-1), -1);
    SetDecimalSeparator(',');
    EXPECT_DOUBLE_EQ(NewBSString("1,5")->AsFloat(-1), 1.5);
    EXPECT_DOUBLE_EQ(NewBSString("46° 30,5'")->AsCoordinate(), 46 + 30.5 / 60);
    SetDecimalSeparator('.');
}

TEST(BSString, CharacterReferencesRoundTrip) {
    const char* text = "Zürich – 日本 😀";
    auto encoded = NewBSString(text)->EncodeReferences(true, ";");
    EXPECT_EQ(encoded->AsText(), "Z&#252;rich &#8211; &#26085;&#26412; &#128512;");
    EXPECT_EQ(NewBSStringFromReferences(encoded->AsText())->AsText(), text);
    EXPECT_EQ(NewBSString("Zürich –")->EncodeReferences(false, ";")->AsText(), "Zürich &#8211;");
}

TEST(BSString, DecodingReferencesKeepsBrokenOnesReadable) {
    EXPECT_EQ(NewBSStringFromReferences("a&#65;b")->AsText(), "aAb");
    EXPECT_EQ(NewBSStringFromReferences("no end &#65")->AsText(), "no end 65");
    EXPECT_THROW(NewBSStringFromReferences("&#x41;"), EConvertError);
    EXPECT_THROW(NewBSStringFromReferences("&#55296;"), EConvertError); // a lone surrogate
    EXPECT_THROW(NewBSStringFromReferences("&#99999999999;"), EConvertError);
}

TEST(BSString, SubStringCountsCharactersFromOne) {
    EXPECT_EQ(NewBSString("Zürich")->SubString(2, 3).AsText(), "üri");
    EXPECT_EQ(NewBSString("Zürich")->SubString(0, 2).AsText(), "Zü");
    EXPECT_EQ(NewBSString("Zürich")->SubString(5, 10).AsText(), "ch");
    EXPECT_EQ(NewBSString("Zürich")->SubString(9, 1).AsText(), "");
}

TEST(BSString, ReplaceAllIsCaseSensitiveAndTerminates) {
    EXPECT_EQ(NewBSString("aAaa")->ReplaceAll("a", "bb").AsText(), "bbAbbbb");
    EXPECT_EQ(NewBSString("abc")->ReplaceAll("", "x").AsText(), "abc");
    EXPECT_EQ(NewBSString("aaa")->ReplaceAll("a", "a").AsText(), "aaa");
}

TEST(BSString, CloneIsIndependentAndHasNonAsciiSeesEveryByteAbove127) {
    auto a = NewBSString("x");
    auto b = a->Clone();
    b->Add("y");
    EXPECT_EQ(a->AsText(), "x");
    EXPECT_FALSE(a->HasNonAscii());
    EXPECT_TRUE(NewBSString("\u0080")->HasNonAscii());
    EXPECT_EQ(AnsiCharsetName(), "Windows-1252");
}

} // namespace
