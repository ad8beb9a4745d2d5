#include "foundation/errors.h"
#include "texts/formatting.h"

#include <gtest/gtest.h>

#include <vector>

using namespace marqor;

namespace {

struct Formatted {
    const char* format;
    std::vector<TBSFormatArg> args;
    std::string expected;
};

void PrintTo(const Formatted& f, std::ostream* os) {
    *os << '"' << f.format << '"';
}

class FormatTextGives : public testing::TestWithParam<Formatted> {};

TEST_P(FormatTextGives, TheExpectedText) {
    const auto& p = GetParam();
    EXPECT_EQ(FormatText(p.format, p.args, DefaultFormatSettings()), p.expected);
}

INSTANTIATE_TEST_SUITE_P(Placeholders, FormatTextGives, testing::Values(
    Formatted{"Page %d of %d", {2, 7}, "Page 2 of 7"},
    Formatted{"%s Pool", {"50m"}, "50m Pool"},
    Formatted{"%s\nFile exists !", {"a.pdf"}, "a.pdf\nFile exists !"},
    Formatted{"100%%", {}, "100%"},
    Formatted{"%.3d|%5d|%-5d|", {7, 42, 42}, "007|   42|42   |"},
    Formatted{"%.1f", {15.5}, "15.5"},
    Formatted{"%f", {2}, "2.00"},
    Formatted{"%.2f", {-0.001}, "0.00"},
    Formatted{"%n", {1234567.891}, "1,234,567.89"},
    Formatted{"%.0n", {999.0}, "999"},
    Formatted{"%m", {-1234.5}, "-$1,234.50"},
    Formatted{"%g", {0.1}, "0.1"},
    Formatted{"%e", {1500.0}, "1.50000000000000E+003"},
    Formatted{"%x %.4x", {255, 10}, "FF 000A"},
    Formatted{"%u", {-1}, "4294967295"},
    Formatted{"%.3s|%6s", {"Zürich", "Zürich"}, "Zür|Zürich"},
    Formatted{"%1:s %0:s %s", {"a", "b"}, "b a b"},
    Formatted{"%*d|%-*.*f|", {4, 5, 6, 1, 2.75}, "   5|2.8   |"},
    Formatted{"%S %D", {"up", 3}, "up 3"},
    Formatted{"no placeholders", {1, "extra arguments are ignored"}, "no placeholders"}));

TEST(FormatText, APlaceholderThatDoesNotFitItsArgumentRaises) {
    const auto fs = DefaultFormatSettings();
    const std::vector<std::pair<const char*, std::vector<TBSFormatArg>>> bad = {
        {"%d", {"text"}},  {"%s", {5}},   {"%d", {1.5}},     {"%d %d", {1}}, {"%", {}},
        {"%q", {1}},       {"%5", {1}},   {"%99999s", {"a"}}, {"%*d", {"w", 1}}};
    for (const auto& [format, args] : bad)
        EXPECT_THROW(FormatText(format, args, fs), EConvertError) << format;
}

TEST(FormatText, UsesTheSeparatorsOfTheSettings) {
    auto fs = DefaultFormatSettings();
    fs.DecimalSeparator = ",";
    fs.ThousandSeparator = "'";
    fs.CurrencyString = "CHF";
    fs.CurrencyFormat = 2;
    const std::vector<TBSFormatArg> args = {1234.5, 1234.5, 1234.5};
    EXPECT_EQ(FormatText("%.1f %n %m", args, fs), "1234,5 1'234,50 CHF 1'234,50");
}

struct DatePattern {
    const char* pattern;
    std::string expected;
};

void PrintTo(const DatePattern& d, std::ostream* os) {
    *os << '"' << d.pattern << '"';
}

class FormatDateTimeTextGives : public testing::TestWithParam<DatePattern> {};

// Monday, 1 March 2010, 14:05:09.007
TEST_P(FormatDateTimeTextGives, TheExpectedText) {
    const TDateTime moment = *EncodeDateTime(2010, 3, 1, 14, 5, 9, 7);
    EXPECT_EQ(FormatDateTimeText(GetParam().pattern, moment, DefaultFormatSettings()),
              GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Patterns, FormatDateTimeTextGives, testing::Values(
    DatePattern{"dd.mm.yyyy hh:nn:ss", "01.03.2010 14:05:09"},
    DatePattern{"d/m/yy", "1/3/10"},
    DatePattern{"ddd, dddd d mmm mmmm", "Mon, Monday 1 Mar March"},
    DatePattern{"hh:mm", "14:05"},          // minutes right after an hour
    DatePattern{"h:nn am/pm", "2:05 pm"},
    DatePattern{"h:nn AMPM", "2:05 PM"},
    DatePattern{"hh a/p", "02 p"},
    DatePattern{"z zzz", "7 007"},
    DatePattern{"ddddd", "01/03/2010"},
    DatePattern{"dddddd", "01 March 2010"},
    DatePattern{"t|tt", "14:05|14:05:09"},
    DatePattern{"", "01/03/2010 14:05:09"},
    DatePattern{"\"dd\" 'mm' dd", "dd mm 01"},
    DatePattern{"YYYY-MM-DD", "2010-03-01"}));

TEST(FormatDateTimeText, MidnightLeavesTheTimeOutOfTheDefaultPatternAndBadValuesGiveNothing) {
    const auto fs = DefaultFormatSettings();
    EXPECT_EQ(FormatDateTimeText("c", *EncodeDateTime(2010, 3, 1), fs), "01/03/2010");
    EXPECT_EQ(FormatDateTimeText("c", 1e9, fs), "");
    // A format that names itself ends instead of recursing.
    auto loop = fs;
    loop.ShortDateFormat = "ddddd";
    EXPECT_NO_THROW(FormatDateTimeText("ddddd", 1, loop));
}

} // namespace
