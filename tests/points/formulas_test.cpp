#include "points/formulas.h"

#include "swimming/swim_time.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ostream>
#include <random>
#include <vector>

using namespace marqor;

namespace {

constexpr SwimTime S(int seconds, int hundredths = 0) {
    return seconds * 1000 + hundredths * 10;
}

constexpr SwimTime Fifty = S(20, 91); // FINA 2011, men's 50 m freestyle, long course

const char* FormulaName(TBSSwPointFormula f) {
    static const char* const names[] = {"CubedFina", "Cubed",       "CubedDsv", "British",
                                        "Canadian",  "Lifesaving", "Rudolph"};
    return f < PointFormulaCount ? names[f] : "Unknown";
}

const TBSSwPointFormula AllFormulas[] = {pfCubedFina, pfCubed,      pfCubedDsv, pfBritish,
                                         pfCanadian,  pfLifesaving, pfRudolph};

// Every base time of the FINA 2011 table, men then women.
std::vector<SwimTime> Fina2011BaseTimes() {
    static const char* const texts[] = {
        "20.91",    "46.91",    "1:42.00",  "3:40.07",  "7:32.12",  "14:34.56", "24.04",
        "51.94",    "1:51.92",  "26.67",    "58.58",    "2:07.31",  "22.43",    "49.82",
        "1:51.51",  "1:54.10",  "4:03.84",  "3:08.24",  "6:58.55",  "3:27.28",  "2:41.03",
        "9:25.15",  "19:26.08", "29:09.12", "48:35.20", "1:24.85",  "1:37.55",  "1:48.23",
        "1:31.02",  "3:30.77",  "3:57.72",  "3:22.17",  "1:46.06",  "2:07.27",  "2:49.70",
        "3:32.12",  "7:50.60",  "1:33.43",  "3:06.86",  "23.73",    "52.07",    "1:52.98",
        "3:59.15",  "8:14.10",  "15:42.54", "27.06",    "58.12",    "2:04.81",  "29.80",
        "1:04.45",  "2:20.12",  "25.07",    "56.06",    "2:01.81",  "2:06.15",  "4:29.45",
        "3:31.72",  "7:42.08",  "3:52.19",  "2:56.06",  "10:17.62", "20:56.72", "31:25.08",
        "52:21.80", "1:36.77",  "1:50.35",  "2:01.52",  "1:42.23",  "3:57.01",  "4:22.82",
        "3:48.61",  "2:00.96",  "2:25.15",  "3:13.54",  "4:01.92",  "8:49.30",  "1:46.12",
        "3:32.24"};
    std::vector<SwimTime> times;
    for (const char* t : texts)
        times.push_back(TextToSwimTime(t));
    return times;
}

// ---- Worked values -------------------------------------------------------------------------

struct PointsCase {
    TBSSwPointFormula formula;
    SwimTime base;
    SwimTime maxTime;
    SwimTime time;
    int points;
};

void PrintTo(const PointsCase& c, std::ostream* os) {
    *os << FormulaName(c.formula) << " B=" << c.base << " M=" << c.maxTime << " T=" << c.time
        << " -> " << c.points;
}

class FormulaPointsScores : public testing::TestWithParam<PointsCase> {};

TEST_P(FormulaPointsScores, TheTimeAsTheTablesDo) {
    const PointsCase& c = GetParam();
    EXPECT_EQ(FormulaPoints(c.formula, c.base, c.maxTime, c.time), c.points);
}

INSTANTIATE_TEST_SUITE_P(Fina2011Fifty, FormulaPointsScores, testing::Values(
    PointsCase{pfCubedFina, Fifty, 0, S(20, 91), 1000},
    PointsCase{pfCubedFina, Fifty, 0, S(21, 65), 900},
    PointsCase{pfCubedFina, Fifty, 0, S(22, 50), 802},
    PointsCase{pfCubed, Fifty, 0, S(21, 65), 901},       // 900.92
    PointsCase{pfCubedDsv, Fifty, 0, S(21, 65), 900},    // 900.92: scored as 21.6495, 900.99
    PointsCase{pfCubedDsv, Fifty, 0, S(22, 50), 802},    // 802.63: likewise, 802.68
    PointsCase{pfBritish, Fifty, 0, S(21, 65), 921},
    PointsCase{pfCanadian, Fifty, 0, S(21, 65), 930},
    PointsCase{pfCanadian, Fifty, 0, Fifty, 1000},
    PointsCase{pfLifesaving, Fifty, 0, Fifty, 1000},
    PointsCase{pfLifesaving, Fifty, 0, 2 * Fifty, 200},
    PointsCase{pfLifesaving, Fifty, 0, 5 * Fifty / 2, 80},
    PointsCase{pfLifesaving, Fifty, 0, 3 * Fifty, 0},
    PointsCase{pfLifesaving, Fifty, 0, 10 * Fifty, 0}));

// A third of the base scores 27 times 1000: far above the usual range, still no failure.
INSTANTIATE_TEST_SUITE_P(ThirdOfTheBase, FormulaPointsScores, testing::Values(
    PointsCase{pfCubedFina, S(21), 0, S(7), 27000},
    PointsCase{pfCubed, S(21), 0, S(7), 27000},
    PointsCase{pfCubedDsv, S(21), 0, S(7), 9999},
    PointsCase{pfCanadian, S(21), 0, S(7), 1100}));

// Girls up to 10, 50 m freestyle, Rudolph 2010: B = 30.1 s, M = 39.00 s.
INSTANTIATE_TEST_SUITE_P(Rudolph2010, FormulaPointsScores, testing::Values(
    PointsCase{pfRudolph, S(30, 10), S(39), S(25), 200},
    PointsCase{pfRudolph, S(30, 10), S(39), S(30, 10), 200},
    PointsCase{pfRudolph, S(30, 10), S(39), S(32), 159},
    PointsCase{pfRudolph, S(30, 10), S(39), S(39), 10},
    PointsCase{pfRudolph, S(30, 10), S(39), S(39, 1), 0},
    PointsCase{pfRudolph, S(30, 10), 0, S(30, 11), 0},       // no maximum time: nothing slower scores
    PointsCase{pfRudolph, S(30, 10), 0, S(30, 10), 200},
    // M - B = 3.8 s: 190 * (T - B) / (M - B) is (T - B) / 20 ms, so the halves fall on whole ms.
    PointsCase{pfRudolph, S(30), S(33, 80), S(30) + 10, 200},  // 0.5 goes to 0
    PointsCase{pfRudolph, S(30), S(33, 80), S(30) + 11, 199},
    PointsCase{pfRudolph, S(30), S(33, 80), S(30) + 30, 198},  // 1.5 goes to 2
    PointsCase{pfRudolph, S(30), S(33, 80), S(30) + 50, 198},  // 2.5 goes to 2
    PointsCase{pfRudolph, S(30), S(33, 80), S(30) + 51, 197}));

// Where the floating-point cube lands a last bit under a whole value.
INSTANTIATE_TEST_SUITE_P(ExactCubes, FormulaPointsScores, testing::Values(
    PointsCase{pfCubedFina, S(23, 73), 0, S(33, 90), 343},       // (0.7)^3
    PointsCase{pfCubed, S(23, 73), 0, S(33, 90), 343},
    PointsCase{pfCubedFina, S(121, 81), 0, S(93, 70), 2197},     // (1.3)^3
    PointsCase{pfCubed, S(121, 81), 0, S(93, 70), 2197},
    PointsCase{pfCubedFina, 129 * 1000, 0, 1000, 2146689000},    // 129^3 * 1000: still 32 bits
    PointsCase{pfCubed, 129 * 1000, 0, 1000, 2146689000},
    PointsCase{pfCubedFina, 130 * 1000, 0, 1000, 9999},          // beyond 32 bits
    PointsCase{pfCubed, 130 * 1000, 0, 1000, 9999},
    PointsCase{pfCubedFina, 2147483646, 0, 1, 9999},             // beyond 64 bits
    PointsCase{pfCubed, 2147483646, 0, 1, 9999},
    PointsCase{pfCubedDsv, 2147483646, 0, 1, 9999}));

// Whole multiples of the base are whole powers of ten.
INSTANTIATE_TEST_SUITE_P(BritishMultiples, FormulaPointsScores, testing::Values(
    PointsCase{pfBritish, S(46, 40), 0, S(46, 40), 1000},
    PointsCase{pfBritish, S(46, 40), 0, 2 * S(46, 40), 100},
    PointsCase{pfBritish, S(46, 40), 0, 3 * S(46, 40), 10},
    PointsCase{pfBritish, S(46, 40), 0, 4 * S(46, 40), 1},
    PointsCase{pfBritish, S(46, 40), 0, 4 * S(46, 40) + 1, 0},
    PointsCase{pfBritish, S(46, 40), 0, S(46, 40) - 1, 1000},
    PointsCase{pfBritish, S(46, 40), 0, S(46, 40) + 1, 999},
    PointsCase{pfBritish, S(46, 40), 0, 1, 9999}));

// The algorithm, not the -1000 that a time of twice the base might suggest: the limit is only
// reached at about 2.72 times the base.
INSTANTIATE_TEST_SUITE_P(CanadianSlowTimes, FormulaPointsScores, testing::Values(
    PointsCase{pfCanadian, Fifty, 0, 2 * Fifty, -387},
    PointsCase{pfCanadian, Fifty, 0, 3 * Fifty, -1000},
    PointsCase{pfCanadian, Fifty, 0, 1, 1100}));

struct TimeCase {
    TBSSwPointFormula formula;
    SwimTime base;
    SwimTime maxTime;
    int points;
    SwimTime time;
};

void PrintTo(const TimeCase& c, std::ostream* os) {
    *os << FormulaName(c.formula) << " B=" << c.base << " M=" << c.maxTime << " P=" << c.points
        << " -> " << c.time;
}

class FormulaTimeNeeds : public testing::TestWithParam<TimeCase> {};

TEST_P(FormulaTimeNeeds, TheTimeAsTheTablesDo) {
    const TimeCase& c = GetParam();
    EXPECT_EQ(FormulaTime(c.formula, c.base, c.maxTime, c.points), c.time);
}

INSTANTIATE_TEST_SUITE_P(Fina2011Fifty, FormulaTimeNeeds, testing::Values(
    TimeCase{pfCubedFina, Fifty, 0, 1000, S(20, 91)},
    TimeCase{pfCubedFina, Fifty, 0, 900, S(21, 65)},
    TimeCase{pfCubedFina, Fifty, 0, 1100, S(20, 25)},
    TimeCase{pfCubed, Fifty, 0, 900, S(21, 66)},
    TimeCase{pfCubedDsv, Fifty, 0, 900, S(21, 65)},     // 21.657, no search
    TimeCase{pfBritish, Fifty, 0, 900, S(21, 86)},
    TimeCase{pfCanadian, Fifty, 0, 900, S(21, 98)},
    TimeCase{pfCanadian, Fifty, 0, 1000, S(20, 91)},
    TimeCase{pfLifesaving, Fifty, 0, 900, 0},
    TimeCase{pfLifesaving, Fifty, 0, 1000, 0}));

INSTANTIATE_TEST_SUITE_P(BritishMultiples, FormulaTimeNeeds, testing::Values(
    TimeCase{pfBritish, S(46, 40), 0, 1000, S(46, 40)},
    TimeCase{pfBritish, S(46, 40), 0, 100, 2 * S(46, 40)},
    TimeCase{pfBritish, S(46, 40), 0, 10, 3 * S(46, 40)},
    TimeCase{pfBritish, S(46, 40), 0, 1, 4 * S(46, 40)},
    TimeCase{pfBritish, S(46, 40), 0, 10000, 0},
    TimeCase{pfBritish, S(46, 40), 0, 10001, 0}));

INSTANTIATE_TEST_SUITE_P(Rudolph2010, FormulaTimeNeeds, testing::Values(
    TimeCase{pfRudolph, S(30, 10), S(39), 200, S(30, 12)},  // up to 30.123 still rounds to 20.0
    TimeCase{pfRudolph, S(30, 10), S(39), 201, 0},
    TimeCase{pfRudolph, S(30, 10), S(39), 159, S(32, 4)},   // 32.043 is the slowest 15.9
    TimeCase{pfRudolph, S(30, 10), S(39), 10, S(39)},
    TimeCase{pfRudolph, S(30, 10), S(39), 1, S(39)},        // nothing scores less than 1.0
    TimeCase{pfRudolph, S(30, 10), 0, 150, S(30, 10)},      // without M only the base time scores
    TimeCase{pfRudolph, S(30, 10), S(30), 150, S(30, 10)}));

// Times that would lie beyond the valid swim times are no times.
INSTANTIATE_TEST_SUITE_P(BeyondValidTimes, FormulaTimeNeeds, testing::Values(
    TimeCase{pfCubedFina, 2000000000, 0, 1, 0},
    TimeCase{pfCubed, 2000000000, 0, 1, 0},
    TimeCase{pfCubedDsv, 2000000000, 0, 1, 0},
    TimeCase{pfBritish, 2000000000, 0, 1, 0},
    TimeCase{pfCanadian, 2000000000, 0, 1, 0},
    TimeCase{pfCubedFina, 2000000000, 0, 1000, 2000000000},
    TimeCase{pfCubedFina, 1, 0, 1000, 0}));   // 1 ms truncates to 0

// Points that no time scores: the value of the fastest times leaves 32 bits and reads as 9999.
INSTANTIATE_TEST_SUITE_P(BeyondEveryTime, FormulaTimeNeeds, testing::Values(
    TimeCase{pfCubedFina, Fifty, 0, 2147483647, 0},
    TimeCase{pfCubed, Fifty, 0, 2147483647, 0},
    TimeCase{pfCubedFina, Fifty, 0, 2147000000, 0}));

// Whatever the points, a time that FormulaTime gives scores them.
TEST(FormulaTime, GivesNoTimeThatScoresLessThanThePoints) {
    for (TBSSwPointFormula f : {pfCubedFina, pfCubed, pfRudolph})
        for (SwimTime base : {SwimTime{1000}, Fifty, S(15, 0) * 60})
            for (long long p = 1; p <= 2147483647; p = p * 3 + 1) {
                const SwimTime t = FormulaTime(f, base, base * 2, static_cast<int>(p));
                if (t != 0) {
                    EXPECT_GE(FormulaPoints(f, base, base * 2, t), p)
                        << FormulaName(f) << " B=" << base << " P=" << p << " T=" << t;
                }
            }
}

// ---- Missing values --------------------------------------------------------------------------

TEST(FormulaPoints, NoTimeZeroTimeOrNoBaseTimeScoresNothing) {
    for (TBSSwPointFormula f : AllFormulas) {
        SCOPED_TRACE(FormulaName(f));
        EXPECT_EQ(FormulaPoints(f, Fifty, S(39), 0), 0);
        EXPECT_EQ(FormulaPoints(f, Fifty, S(39), NoSwimTime), 0);
        EXPECT_EQ(FormulaPoints(f, Fifty, S(39), -5), 0);
        EXPECT_EQ(FormulaPoints(f, 0, S(39), S(21, 65)), 0);
    }
}

TEST(FormulaTime, ZeroOrNegativePointsAndNoBaseTimeGiveNoTime) {
    for (TBSSwPointFormula f : AllFormulas) {
        SCOPED_TRACE(FormulaName(f));
        for (int points : {0, -1, -900, -2147483647 - 1})
            EXPECT_EQ(FormulaTime(f, Fifty, S(39), points), 0) << points;
        EXPECT_EQ(FormulaTime(f, 0, S(39), 900), 0);
    }
}

// ---- Exactness -------------------------------------------------------------------------------

// With B / T = a / 10 the value 1000 * (B / T)^3 is exactly a^3; powl and even r * r * r in
// extended precision miss some of these by a last bit and truncate to a^3 - 1.
TEST(CubedPoints, AreExactWhereTheRatioIsATenth) {
    for (int a = 1; a <= 60; ++a)
        for (int m = 1; m <= 30000; m += 97) {
            const SwimTime base = a * m;
            const SwimTime time = 10 * m;
            ASSERT_EQ(FormulaPoints(pfCubedFina, base, 0, time), a * a * a) << base << "/" << time;
            ASSERT_EQ(FormulaPoints(pfCubed, base, 0, time), a * a * a) << base << "/" << time;
        }
}

// 1000 * B^3 / T^3 by integer division, with the failure answer beyond 32 bits.
int DividedCubedPoints(SwimTime base, SwimTime time, bool rounded) {
    using u128 = unsigned __int128;
    const u128 num = 1000 * u128(base) * u128(base) * u128(base);
    const u128 den = u128(time) * u128(time) * u128(time);
    u128 q = num / den;
    if (rounded && 2 * (num % den) >= den) // no exact halves: 2000 * B^3 / T^3 is never odd
        ++q;
    return q > 2147483647u ? 9999 : int(q);
}

TEST(CubedPoints, EqualTheIntegerQuotientOverTheWholeRangeOfTimes) {
    std::mt19937 random(2011);
    std::uniform_int_distribution<SwimTime> anyTime(1, NoSwimTime - 1);
    std::uniform_real_distribution<double> ratio(0.2, 200.0); // across the failure boundary
    for (int i = 0; i < 200000; ++i) {
        const SwimTime time = i % 2 ? anyTime(random) : 1 + anyTime(random) % 100000;
        const double b = time * ratio(random);
        const SwimTime base = b < NoSwimTime ? static_cast<SwimTime>(b) : anyTime(random);
        ASSERT_EQ(FormulaPoints(pfCubedFina, base, 0, time), DividedCubedPoints(base, time, false))
            << base << "/" << time;
        ASSERT_EQ(FormulaPoints(pfCubed, base, 0, time), DividedCubedPoints(base, time, true))
            << base << "/" << time;
    }
}

TEST(CubedPoints, TruncateAndRoundTheExactValueJustBelowAndAboveAWholeValue) {
    // T one ms off the exact 343 at B / T = 0.7.
    EXPECT_EQ(FormulaPoints(pfCubedFina, S(23, 73), 0, S(33, 90) + 1), 342);
    EXPECT_EQ(FormulaPoints(pfCubed, S(23, 73), 0, S(33, 90) + 1), 343);
    EXPECT_EQ(FormulaPoints(pfCubedFina, S(23, 73), 0, S(33, 90) - 1), 343);
    EXPECT_EQ(FormulaPoints(pfCubed, S(23, 73), 0, S(33, 90) - 1), 343);
}

std::int64_t OnePieceBritishPoints(SwimTime base, SwimTime time) {
    return static_cast<std::int64_t>(
        std::trunc(10000 * std::exp(std::log(0.1L) * time / base)));
}

std::int64_t OnePieceBritishTime(SwimTime base, int points) {
    const double x = static_cast<double>(std::log(0.1L) / base);
    return static_cast<std::int64_t>(std::trunc(std::log(points / 10000.0L) / x));
}

// The one-piece formula e^(ln(0.1) * T / B) loses a point at some whole multiples of the base,
// and ln(P / 10000) / x with x taken as double loses a millisecond at some powers of ten; away
// from those the split formulas agree with it exactly.
TEST(BritishPoints, AgreeWithTheOnePieceFormulaAwayFromWholeMultiples) {
    auto bases = Fina2011BaseTimes();
    bases.push_back(S(46, 40));
    int exactOnly = 0;
    for (SwimTime base : bases) {
        for (int n = 1; n <= 4; ++n) {
            const int expected[] = {0, 1000, 100, 10, 1};
            ASSERT_EQ(FormulaPoints(pfBritish, base, 0, n * base), expected[n]) << base;
            exactOnly += OnePieceBritishPoints(base, n * base) != expected[n];
        }
        const SwimTime step = std::max(1, base / 3000);
        for (SwimTime t = base / 2 + 1; t < 4 * base + 2 * step; t += step) {
            if (t % base == 0)
                continue;
            ASSERT_EQ(FormulaPoints(pfBritish, base, 0, t), OnePieceBritishPoints(base, t))
                << base << " " << t;
        }
    }
    EXPECT_GT(exactOnly, 0) << "the one-piece formula no longer misses any multiple";
}

TEST(BritishTime, AgreesWithTheOnePieceFormulaAwayFromPowersOfTen) {
    auto bases = Fina2011BaseTimes();
    bases.push_back(S(46, 40));
    int exactOnly = 0;
    for (SwimTime base : bases) {
        for (int points = 1; points <= 1200; ++points) {
            const std::int64_t rule = FormulaTimeRule(pfBritish, base, 0, points);
            if (points == 1 || points == 10 || points == 100 || points == 1000) {
                const int n = points == 1000 ? 1 : points == 100 ? 2 : points == 10 ? 3 : 4;
                ASSERT_EQ(rule, std::int64_t{n} * base) << base << " " << points;
                exactOnly += OnePieceBritishTime(base, points) != rule;
            } else {
                ASSERT_EQ(rule, OnePieceBritishTime(base, points)) << base << " " << points;
            }
        }
    }
    EXPECT_GT(exactOnly, 0) << "the one-piece formula no longer misses any power of ten";
}

// ---- The time searches -----------------------------------------------------------------------

// The inverse and walk exactly as the tables describe them: from the inverse t0, 1 ms steps
// while the time still scores P, and the last time before the first that does not.
std::int64_t WalkedCubedTime(TBSSwPointFormula formula, SwimTime base, int points) {
    const long double root = std::exp((1.0L / 3.0L) * std::log(points / 1000.0L));
    std::int64_t t = RoundNearest(base / root);
    while (FormulaPoints(formula, base, 0, static_cast<SwimTime>(t)) >= points)
        ++t;
    return t - 1;
}

struct WalkCase {
    const char* base;
    int fromPoints; // every points value from here up to 1200, plus a few beyond
};

void PrintTo(const WalkCase& c, std::ostream* os) {
    *os << c.base << " from " << c.fromPoints;
}

class CubedTimeEqualsTheWalk : public testing::TestWithParam<WalkCase> {};

TEST_P(CubedTimeEqualsTheWalk, ForEveryPointsValue) {
    const SwimTime base = TextToSwimTime(GetParam().base);
    ASSERT_TRUE(IsValidSwimTime(base));
    std::vector<int> points;
    // The walk of the rounded points takes millions of steps at low points on long events; the
    // short events cover every value, the long ones the low values and a sample above.
    const int stride = base > S(300) ? 7 : 1;
    for (int p = 1; p <= 1200; p += p < GetParam().fromPoints ? 1 : stride)
        points.push_back(p);
    for (int p : {1199, 1200, 1500, 5000, 9999, 10000, 27000, 1000000, 2000000000, 2147483647})
        points.push_back(p);
    for (TBSSwPointFormula f : {pfCubedFina, pfCubed})
        for (int p : points)
            ASSERT_EQ(FormulaTimeRule(f, base, 0, p), WalkedCubedTime(f, base, p))
                << FormulaName(f) << " P=" << p;
}

INSTANTIATE_TEST_SUITE_P(Fina2011AndOddBases, CubedTimeEqualsTheWalk, testing::Values(
    WalkCase{"20.91", 1}, WalkCase{"23.73", 1}, WalkCase{"46.40", 1}, WalkCase{"1:42.00", 1},
    WalkCase{"2:01.81", 1}, WalkCase{"4:03.84", 30}, WalkCase{"14:34.56", 30},
    WalkCase{"29:09.12", 20}, WalkCase{"52:21.80", 12}, WalkCase{"0.01", 1},
    WalkCase{"0.07", 1}, WalkCase{"1.00", 1}));

// The slowest time in 10 ms steps that still scores the points, for every points value.
TEST(FormulaTime, IsTheSlowestTenMillisecondStepThatScoresThePoints) {
    for (SwimTime base : Fina2011BaseTimes()) {
        for (TBSSwPointFormula f : {pfCubedFina, pfCubed}) {
            for (int p = 1; p <= 1200; ++p) {
                const SwimTime t = FormulaTime(f, base, 0, p);
                ASSERT_GE(FormulaPoints(f, base, 0, t), p) << FormulaName(f) << base << " " << p;
                ASSERT_LT(FormulaPoints(f, base, 0, t + 10), p)
                    << FormulaName(f) << base << " " << p;
            }
        }
    }
}

struct RudolphRange {
    SwimTime base;
    SwimTime maxTime;
};

void PrintTo(const RudolphRange& c, std::ostream* os) {
    *os << "B=" << c.base << " M=" << c.maxTime;
}

class RudolphTimeScans : public testing::TestWithParam<RudolphRange> {};

// Against a scan of every millisecond: the slowest time that scores at least P tenths, and its
// 10 ms step.
TEST_P(RudolphTimeScans, AsTheSlowestTimeThatScoresThePoints) {
    const auto [base, maxTime] = GetParam();
    std::vector<SwimTime> slowest(202, 0);
    for (SwimTime t = 1; t <= std::max(base, maxTime) + 1000; ++t)
        for (int p = FormulaPoints(pfRudolph, base, maxTime, t); p > 0 && slowest[p] < t; --p)
            slowest[p] = t;
    for (int p = 1; p <= 201; ++p) {
        ASSERT_EQ(FormulaTimeRule(pfRudolph, base, maxTime, p), slowest[p]) << p;
        const SwimTime t = FormulaTime(pfRudolph, base, maxTime, p);
        ASSERT_EQ(t, slowest[p] / 10 * 10) << p;
        if (t > 0) {
            ASSERT_GE(FormulaPoints(pfRudolph, base, maxTime, t), p) << p;
            ASSERT_LT(FormulaPoints(pfRudolph, base, maxTime, t + 10), p) << p;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Ranges, RudolphTimeScans, testing::Values(
    RudolphRange{S(30, 10), S(39)},
    RudolphRange{S(30), S(33, 80)},        // halves on whole milliseconds
    RudolphRange{S(62, 37), S(95, 5)},
    RudolphRange{S(30), S(30) + 190},      // one tenth per millisecond
    RudolphRange{S(30), S(30) + 7},        // fewer milliseconds than tenths
    RudolphRange{S(30, 10), 0},
    RudolphRange{S(30, 10), S(29)}));

// ---- CANADIAN ------------------------------------------------------------------------------

std::int64_t PlainCanadianTime(SwimTime base, int points) {
    long double factor = 1.0L;
    for (int k = 0; k < std::abs(1000 - points); ++k)
        factor *= points <= 1000 ? 1.0005L : 0.9995L;
    return RoundNearest(base * factor);
}

// The points rule exactly as written: start, step down, then limit.
int PlainCanadianPoints(SwimTime base, SwimTime time) {
    const long double c = std::trunc(std::log(static_cast<long double>(time) / base) /
                                     std::log(1.0005L));
    int p = 1001 - static_cast<int>(c);
    while (time > PlainCanadianTime(base, p))
        --p;
    return std::clamp(p, -1000, 1100);
}

TEST(CanadianPoints, FollowTheStepDownSearchAndStayWithinTheLimits) {
    for (SwimTime base : {Fifty, S(51, 94), S(874, 56)}) {
        const SwimTime step = std::max(1, base / 2500);
        for (SwimTime t = base * 9 / 10; t <= 3 * base; t += step) {
            const int p = FormulaPoints(pfCanadian, base, 0, t);
            ASSERT_EQ(p, PlainCanadianPoints(base, t)) << base << " " << t;
            ASSERT_GE(p, -1000);
            ASSERT_LE(p, 1100);
        }
    }
}

TEST(CanadianTime, GrowsByTheFactorPerPointOnEitherSideOfAThousand) {
    EXPECT_EQ(CanadianTime(Fifty, 1000), Fifty);
    EXPECT_EQ(CanadianTime(Fifty, 900), 21982);  // 20910 * 1.0005^100 = 21981.80
    EXPECT_EQ(CanadianTime(Fifty, 1100), 19890); // 20910 * 0.9995^100 = 19889.95
    for (int p : {-1500, -1000, 0, 1, 999, 1001, 1200, 1700})
        EXPECT_EQ(CanadianTime(Fifty, p), PlainCanadianTime(Fifty, p)) << p;
    EXPECT_EQ(CanadianTime(Fifty, 2147483647), 0);
    EXPECT_EQ(CanadianTime(Fifty, -2147483647 - 1), NoSwimTime);
    EXPECT_EQ(CanadianTime(0, 900), 0);
}

// ---- Texts and factors -----------------------------------------------------------------------

TEST(PointsToText, ShowsTenthsForRudolphAndWholePointsOtherwise) {
    EXPECT_EQ(PointsToText(pfRudolph, 155), "15.5");
    EXPECT_EQ(PointsToText(pfRudolph, 200), "20.0");
    EXPECT_EQ(PointsToText(pfRudolph, 10), "1.0");
    EXPECT_EQ(PointsToText(pfRudolph, 7), "0.7");
    EXPECT_EQ(PointsToText(pfRudolph, 155, ','), "15,5");
    EXPECT_EQ(PointsToText(pfCubedFina, 900), "900");
    EXPECT_EQ(PointsToText(pfCanadian, 1100), "1100");
    EXPECT_EQ(PointsToText(pfCubed, 27000), "27000");
    for (TBSSwPointFormula f : AllFormulas) {
        EXPECT_EQ(PointsToText(f, 0), "") << FormulaName(f);
        EXPECT_EQ(PointsToText(f, -387), "") << FormulaName(f);
    }
}

TEST(YardFactor, DependsOnFreestyleDistanceInTens) {
    struct Case {
        TBSSwStroke stroke;
        int distance;
        double factor;
    };
    const Case cases[] = {
        {strFreestyle, 400, 0.875},  {strFreestyle, 500, 0.875},   {strFreestyle, 800, 0.875},
        {strFreestyle, 1000, 0.875}, {strFreestyle, 409, 0.875},   {strFreestyle, 1500, 0.997},
        {strFreestyle, 1650, 0.997}, {strFreestyle, 50, 1.116},    {strFreestyle, 200, 1.116},
        {strMedley, 400, 1.116},     {strBackstroke, 1500, 1.116}, {strNone, 0, 1.116},
    };
    for (const Case& c : cases)
        EXPECT_EQ(YardFactor(c.stroke, c.distance), c.factor) << int{c.stroke} << " " << c.distance;
}

TEST(RoundNearest, TakesHalvesToTheEvenNeighbour) {
    EXPECT_EQ(RoundNearest(0.5L), 0);
    EXPECT_EQ(RoundNearest(1.5L), 2);
    EXPECT_EQ(RoundNearest(2.5L), 2);
    EXPECT_EQ(RoundNearest(2.5000001L), 3);
    EXPECT_EQ(RoundNearest(-0.5L), 0);
    EXPECT_EQ(RoundNearest(-1.5L), -2);
    EXPECT_EQ(RoundNearest(-1.4L), -1);
    EXPECT_EQ(RoundNearest(21980.7L), 21981);
}

} // namespace
