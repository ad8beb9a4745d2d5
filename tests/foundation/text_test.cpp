#include "foundation/text.h"
#include "foundation/tokenizer.h"

#include <gtest/gtest.h>

using namespace marqor;

namespace {

std::vector<std::string> Tokens(std::string_view text, std::string_view seps, bool skipEmpty) {
    return Tokenize(text, seps, skipEmpty)->AsStringList()->Items();
}

TEST(Tokenize, EmptyRunsCountUnlessSkipped) {
    EXPECT_EQ(Tokens("a;;b;", ";", false), (std::vector<std::string>{"a", "", "b", ""}));
    EXPECT_EQ(Tokens("a;;b;", ";", true), (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(Tokens("", ";", false).empty());
    EXPECT_EQ(Tokens(";", ";", false), (std::vector<std::string>{"", ""}));
    EXPECT_EQ(Tokens("12.3", "h:.,\"'", true), (std::vector<std::string>{"12", "3"}));
}

TEST(Tokenize, MultiByteCharactersAreNeverSplit) {
    // "°" is U+00B0; the low byte of "İ" (U+0130) is 0x30, "0", which must not separate "İ".
    EXPECT_EQ(Tokens("46°30", "°", false), (std::vector<std::string>{"46", "30"}));
    EXPECT_EQ(Tokens("a\xc4\xb0" "b", "0", false), (std::vector<std::string>{"a\xc4\xb0" "b"}));
    EXPECT_EQ(Tokens("x\xff;y", ";", false), (std::vector<std::string>{"x\xff", "y"}));
}

TEST(Tokenize, TokenOutsideTheRangeIsEmpty) {
    auto t = Tokenize("a;b", ";", false);
    EXPECT_EQ(t->Token(1), "b");
    EXPECT_EQ(t->Token(2), "");
    EXPECT_EQ(t->Token(-1), "");
}

TEST(Tokenize, PostProcessing) {
    auto t = Tokenize(" \"a\" ;'b';c3;7", ";", false);
    t->TrimAll();
    t->Unquote();
    EXPECT_EQ(t->AsStringList()->Items(), (std::vector<std::string>{"a", "b", "c3", "7"}));
    EXPECT_EQ(t->AsIntegerList()->AsText(), "7");
}

TEST(Text, CapitaliseWordsRaisesTheFirstLetterOfEveryWord) {
    EXPECT_EQ(CapitaliseWords("HANS MÜLLER-lüdenscheid"), "Hans Müller-lüdenscheid");
    EXPECT_EQ(CapitaliseWords("élan\tvital"), "Élan\tVital");
}

TEST(Text, ParseIntAcceptsWhatTheOldReaderAccepted) {
    struct {
        const char* text;
        std::optional<int> expected;
    } cases[] = {
        {"12", 12}, {" -5", -5}, {"+7", 7}, {"$1F", 31}, {"0x10", 16},
        {"2147483647", 2147483647}, {"-2147483648", INT32_MIN},
        {"2147483648", std::nullopt}, {"", std::nullopt}, {"5a", std::nullopt},
        {"1 ", std::nullopt}, {"-", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseInt(c.text), c.expected) << c.text;
}

TEST(Text, FloatTextUsesAPointAndReadsBack) {
    EXPECT_EQ(FloatToText(0.1), "0.1");
    EXPECT_EQ(FloatToText(12), "12");
    EXPECT_EQ(ParseFloat("0.1"), 0.1);
    EXPECT_EQ(ParseFloat("1,5"), std::nullopt);
    EXPECT_EQ(ParseFloat("nan"), std::nullopt);
}

TEST(Text, Utf8DecodingFallsBackToWindows1252ForInvalidBytes) {
    EXPECT_EQ(Utf8ToCodePoints("Z\xfcrich"), U"Zürich");
    EXPECT_EQ(Utf8ToCodePoints("\x80"), U"€");
    EXPECT_EQ(CodePointsToUtf8(U"Łódź"), "Łódź");
    EXPECT_TRUE(IsValidUtf8("Łódź"));
    EXPECT_FALSE(IsValidUtf8("\xc0\xaf")); // overlong "/"
    EXPECT_EQ(Utf8Length("Łódź"), 4u);
}

TEST(Text, CaseOperations) {
    EXPECT_TRUE(SameText("Data.KAVRIN_G", "DATA.kavrin_g"));
    EXPECT_FALSE(SameText("ä", "Ä")); // keys compare ASCII letters only
    EXPECT_EQ(UnicodeUpper("é"), "É");
    EXPECT_EQ(UnicodeLower("ÀÉ"), "àé");
    EXPECT_EQ(Trim("\t a b \r\n"), "a b");
}

TEST(Text, DisplayOrderSortsAccentsWithTheirBaseLetterAndIgnoresCase) {
    EXPECT_LT(CompareDisplayText("apple", "Banana"), 0);
    EXPECT_LT(CompareDisplayText("Zürich", "Zz"), 0);
    EXPECT_GT(CompareDisplayText("Zürich", "Zurich"), 0); // equal letters; the raw text decides
    EXPECT_EQ(CompareDisplayText("x", "x"), 0);
    EXPECT_LT(CompareDisplayText("FINA Point Scoring 2004", "FINA Point Scoring 2011"), 0);
}

} // namespace

namespace {

TEST(DecodeTextBytes, ByteOrderMarkDecidesAndOtherwiseInvalidUtf8IsWindows1252) {
    struct {
        std::string bytes;
        std::string text;
        TextEncoding encoding;
    } cases[] = {
        {"plain", "plain", TextEncoding::Utf8},
        {"\xEF\xBB\xBFZ\xC3\xBCrich", "Zürich", TextEncoding::Utf8Bom},
        {std::string("\xFF\xFEZ\0\xFC\0", 6), "Zü", TextEncoding::Utf16LE},
        {std::string("\xFE\xFF\0Z\0\xFC", 6), "Zü", TextEncoding::Utf16BE},
        {std::string("\xFF\xFE\x3D\xD8\x00\xDE", 6), "\xF0\x9F\x98\x80", TextEncoding::Utf16LE},
        {std::string("\xFF\xFEZ", 3), "\xEF\xBF\xBD", TextEncoding::Utf16LE},   // odd byte count
        {"Z\xFCrich \x80", "Zürich €", TextEncoding::Windows1252},
        {"\xEF\xBB\xBF", "", TextEncoding::Utf8Bom},
        {std::string("a\0b", 3), std::string("a\0b", 3), TextEncoding::Utf8},
    };
    for (const auto& c : cases) {
        TextEncoding found{};
        EXPECT_EQ(DecodeTextBytes(c.bytes, &found), c.text);
        EXPECT_EQ(found, c.encoding);
    }
}

} // namespace
