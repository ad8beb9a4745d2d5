#include "swimming/swim_time.h"

#include <gtest/gtest.h>

#include <random>

using namespace marqor;

namespace {

constexpr SwimTime S(int seconds, int hundredths = 0) {
    return seconds * 1000 + hundredths * 10;
}
constexpr SwimTime MinSec(int minutes, int seconds, int hundredths) {
    return minutes * 60000 + S(seconds, hundredths);
}

struct Reading {
    const char* text;
    SwimTime expected;
};

void PrintTo(const Reading& r, std::ostream* os) {
    *os << '"' << r.text << '"';
}

class TextToSwimTimeReads : public testing::TestWithParam<Reading> {};

TEST_P(TextToSwimTimeReads, TextAsTheExpectedTime) {
    EXPECT_EQ(TextToSwimTime(GetParam().text), GetParam().expected) << '"' << GetParam().text << '"';
}

// The forms that occur in the point tables and that users type.
INSTANTIATE_TEST_SUITE_P(TableAndUserForms, TextToSwimTimeReads, testing::Values(
    Reading{"1:42.00", MinSec(1, 42, 0)},
    Reading{"01:35.59", S(95, 59)},
    Reading{"01.04.57", MinSec(1, 4, 57)},
    Reading{"00.22.34", S(22, 34)},
    Reading{"26.12.4", MinSec(26, 12, 40)},
    Reading{"55.2", S(55, 20)},
    Reading{"10:29.0", MinSec(10, 29, 0)},
    Reading{"0:58.80", S(58, 80)},
    Reading{"20.91", S(20, 91)},
    Reading{"1:05", S(1, 5)},           // two groups: the last is always hundredths
    Reading{"1:05.00", S(65)},
    Reading{"2:3", S(2, 30)},            // a one-digit last group is tenths
    Reading{"123", S(1, 23)},            // digits are read in pairs from the right
    Reading{"12345", MinSec(1, 23, 45)},
    Reading{"1", S(1)},
    Reading{"59", S(59)},
    Reading{"1 42 00", MinSec(1, 42, 0)},   // spaces go before splitting
    Reading{"1h05:00.00", 3600000 + MinSec(5, 0, 0)},
    Reading{"1'42\"00", MinSec(1, 42, 0)},
    Reading{"1:02:03:04.56", 2 * 3600000 + MinSec(3, 4, 56)}, // groups beyond hours are ignored
    Reading{"\t 20,91 \r\n", S(20, 91)},
    Reading{"99:99:99.99", 99 * 3600000 + 99 * 60000 + S(99, 99)}));

INSTANTIATE_TEST_SUITE_P(NoTime, TextToSwimTimeReads, testing::Values(
    Reading{"", NoSwimTime},
    Reading{"   ", NoSwimTime},
    Reading{"abc", NoSwimTime},
    Reading{"-5", NoSwimTime},
    Reading{"NT", NoSwimTime},
    Reading{"0", NoSwimTime},
    Reading{"0.00", NoSwimTime},
    Reading{"5a", NoSwimTime},           // the group stays (digit first) but reads as 0
    Reading{":::", NoSwimTime},
    Reading{"\xff\xfe", NoSwimTime}));

// Letters outside ASCII are whole characters: "1é" is one group that is not a number.
TEST(TextToSwimTime, CutsGroupsByCharacterNotByByte) {
    EXPECT_EQ(TextToSwimTime("1\xc3\xa9"), NoSwimTime);
    EXPECT_EQ(TextToSwimTime("20.9\xc3\xa9"), S(20));      // hundredths group "9é" reads 0
    EXPECT_EQ(TextToSwimTime("20.\xc3\xa9"), S(20));      // "é" is dropped, 20 alone is seconds
}

struct Formatting {
    SwimTime time;
    bool showNoTime;
    const char* expected;
};

void PrintTo(const Formatting& f, std::ostream* os) {
    *os << f.time << (f.showNoTime ? " with NT" : "");
}

class SwimTimeToTextFormats : public testing::TestWithParam<Formatting> {};

TEST_P(SwimTimeToTextFormats, TimeAsItsNormalForm) {
    EXPECT_EQ(SwimTimeToText(GetParam().time, GetParam().showNoTime), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, SwimTimeToTextFormats, testing::Values(
    Formatting{20915, false, "20.91"},   // the thousandth is dropped, not rounded
    Formatting{102000, false, "1:42.00"},
    Formatting{874560, false, "14:34.56"},
    Formatting{3723450, false, "1:02:03.45"},
    Formatting{5, false, "0.00"},
    Formatting{999, false, "0.99"},
    Formatting{60000, false, "1:00.00"},
    Formatting{3600000, false, "1:00:00.00"},
    Formatting{0, true, "NT"},
    Formatting{0, false, ""},
    Formatting{-20, true, "NT"},
    Formatting{NoSwimTime, false, ""},
    Formatting{NoSwimTime, true, "NT"},
    Formatting{2147483646, false, "596:31:23.64"}));

TEST(SwimTime, FormattingThenReadingGivesTheTimeTruncatedToHundredths) {
    std::mt19937 random(20911);
    std::uniform_int_distribution<SwimTime> below100Hours(1, 100 * 3600000 - 1);
    for (int i = 0; i < 20000; ++i) {
        const SwimTime t = below100Hours(random);
        const SwimTime truncated = t - t % 10;
        if (truncated == 0)
            continue;
        ASSERT_EQ(TextToSwimTime(SwimTimeToText(t)), truncated) << t;
    }
}

TEST(SwimTime, TimesOfHundredHoursDoNotReadBack) {
    const SwimTime t = 100 * 3600000 + 1000;
    EXPECT_EQ(SwimTimeToText(t), "100:00:01.00");
    EXPECT_NE(TextToSwimTime(SwimTimeToText(t)), t);
}

TEST(SwimTime, ValidRangeIsOneToOneBelowTheLargestInteger) {
    EXPECT_FALSE(IsValidSwimTime(0));
    EXPECT_TRUE(IsValidSwimTime(1));
    EXPECT_TRUE(IsValidSwimTime(2147483646));
    EXPECT_FALSE(IsValidSwimTime(NoSwimTime));
    EXPECT_FALSE(IsValidSwimTime(-1));
}

TEST(ReactionTime, FormatsWithSignAndTwoDecimals) {
    EXPECT_EQ(ReactionTimeToText(NoReactionTime), "");
    EXPECT_EQ(ReactionTimeToText(0), "0.00");
    EXPECT_EQ(ReactionTimeToText(65), "+0.65");
    EXPECT_EQ(ReactionTimeToText(-3), "-0.03");
    EXPECT_EQ(ReactionTimeToText(1234), "+12.34");
    EXPECT_EQ(ReactionTimeToText(-32767), "-327.67");
}

TEST(ReactionTime, ReadsEitherDecimalSeparator) {
    struct {
        const char* text;
        ReactionTime expected;
    } cases[] = {
        {"0,65", 65}, {"0.65", 65}, {" +0.65 ", 65}, {"-0.03", -3}, {"1", 100},
        {"0.125", 12},  // half a hundredth goes to the even neighbour
        {"0.375", 38},
        {"", NoReactionTime}, {"abc", NoReactionTime}, {"0.6.5", NoReactionTime},
        {"-32768", NoReactionTime}, {"inf", NoReactionTime}, {"0x10", NoReactionTime},
        {"1e30", NoReactionTime},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TextToReactionTime(c.text), c.expected) << '"' << c.text << '"';
}

} // namespace
