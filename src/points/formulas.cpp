#include "points/formulas.h"

#include "swimming/swim_time.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace marqor {

// The tables' values were made with 80-bit extended arithmetic; long double is that type here.
static_assert(std::numeric_limits<long double>::digits == 64,
              "long double must be 80-bit extended");

namespace {

using u128 = unsigned __int128;

// An integer within one of x, converted in the current rounding mode. The conversions that C++
// spells with casts, trunc and floor switch the x87 control word twice, and on long double that
// switch costs more than the rest of a points rule; the callers correct the result instead.
std::int64_t NearInteger(long double x) {
    return std::llrint(x);
}

// Cuts toward zero; |x| must stay below 2^62.
std::int64_t Trunc(long double x) {
    std::int64_t n = NearInteger(x);
    if (x >= 0) {
        if (n > x)
            --n;
        else if (n + 1 <= x)
            ++n;
    } else {
        if (n < x)
            ++n;
        else if (n - 1 >= x)
            --n;
    }
    return n;
}

constexpr std::int64_t MaxValidTime = NoSwimTime - 1;
constexpr int FailedCubedPoints = 9999;
constexpr long double OneThird = 1.0L / 3.0L;

const long double LnTenth = std::log(0.1L);
const long double LnCanadianStep = std::log(1.0005L);

// The value 1000 * (B / T)^3 in the 32-bit range, or the failure answer. The floating-point
// estimate only picks the integer; the comparisons with 1000 * B^3 and T^3 decide it, so values
// such as 1000 * (23.73 / 33.90)^3 = 343 are not lost to a last-bit error.
int CubedPoints(SwimTime base, SwimTime time, bool rounded) {
    const int failed = base > time ? FailedCubedPoints : 0;
    const long double ratio = static_cast<long double>(base) / time;
    const long double estimate = 1000.0L * ratio * ratio * ratio;
    // Clear of the 32-bit range, maybe of 64 bits too; below it q * T^3 stays within 128 bits.
    if (estimate > 4e9L)
        return failed;
    const u128 b = static_cast<u128>(base);
    const u128 t = static_cast<u128>(time);
    const u128 num = 1000 * b * b * b;
    const u128 den = t * t * t;
    u128 q = static_cast<u128>(Trunc(estimate));
    while (q * den > num)
        --q;
    while ((q + 1) * den <= num)
        ++q;
    if (rounded) {
        const u128 twiceRest = 2 * (num - q * den);
        if (twiceRest > den || (twiceRest == den && (q & 1) != 0))
            ++q;
    }
    if (q > static_cast<u128>(std::numeric_limits<std::int32_t>::max()))
        return failed;
    return static_cast<int>(q);
}

long double ThousandCubes(double ratio) {
    const long double r = ratio;
    return 1000.0L * r * r * r;
}

int CubedDsvPoints(SwimTime base, SwimTime time) {
    auto ratio = [base](long double t) {
        return static_cast<double>(std::min(base / t, 3.0L));
    };
    long double value = ThousandCubes(ratio(time));
    std::int64_t p = Trunc(value);
    if (Trunc(value + 0.5L) != p) {
        // At least half a point over: the DSV tables score the time as half a millisecond faster.
        value = ThousandCubes(ratio(time - 0.5L));
        p = Trunc(value);
    }
    return static_cast<int>(std::min<std::int64_t>(p, 9999));
}

constexpr std::array<int, 5> WholePowersOfTen = {10000, 1000, 100, 10, 1};
constexpr std::array<long double, 5> PowersOfTen = {10000.0L, 1000.0L, 100.0L, 10.0L, 1.0L};

// 10000 * 10^(-T / B) split as 10^(4 - n) * 10^(-r / B) with T = n * B + r, so that the whole
// multiples of the base give exactly 1000, 100, 10 and 1 points. In one piece,
// e^(ln(0.1) * T / B) lands a last bit below 0.1 at T = B for many bases and costs the point.
int BritishPoints(SwimTime base, SwimTime time) {
    const int n = time / base;
    const int r = time % base;
    if (n > 4 || (n == 4 && r > 0))
        return 0;
    if (r == 0)
        return WholePowersOfTen[n];
    return static_cast<int>(Trunc(PowersOfTen[n] * std::exp(LnTenth * r / base)));
}

// The powers of 1.0005 and 0.9995 by repeated multiplication, kept for the exponents that the
// points rule and the usual points values need. Entry k is the product of k factors.
struct CanadianPowers {
    std::array<long double, 2001> slower; // 1.0005^k: 1000 down to -1000 points
    std::array<long double, 201> faster;  // 0.9995^k: 1000 up to 1200 points
};

const CanadianPowers& Powers() {
    static const CanadianPowers powers = [] {
        CanadianPowers p;
        p.slower[0] = p.faster[0] = 1.0L;
        for (std::size_t k = 1; k < p.slower.size(); ++k)
            p.slower[k] = p.slower[k - 1] * 1.0005L;
        for (std::size_t k = 1; k < p.faster.size(); ++k)
            p.faster[k] = p.faster[k - 1] * 0.9995L;
        return p;
    }();
    return powers;
}

// Stands for every Canadian time beyond the valid swim times; the products only grow from there.
constexpr std::int64_t BeyondValidTimes = std::int64_t{1} << 40;

std::int64_t CanadianTimeMs(SwimTime base, int points) {
    const CanadianPowers& powers = Powers();
    const long double b = base;
    long double factor;
    if (points <= 1000) {
        const std::int64_t k = 1000LL - points;
        if (k < static_cast<std::int64_t>(powers.slower.size())) {
            factor = powers.slower[k];
        } else {
            factor = powers.slower.back();
            for (auto i = static_cast<std::int64_t>(powers.slower.size()) - 1; i < k; ++i) {
                factor *= 1.0005L;
                if (b * factor > BeyondValidTimes)
                    return BeyondValidTimes;
            }
        }
    } else {
        const std::int64_t k = points - 1000LL;
        if (k < static_cast<std::int64_t>(powers.faster.size())) {
            factor = powers.faster[k];
        } else {
            factor = powers.faster.back();
            for (auto i = static_cast<std::int64_t>(powers.faster.size()) - 1; i < k; ++i) {
                factor *= 0.9995L;
                if (b * factor <= 0.5L) // rounds to 0 ms, and every further factor too
                    return 0;
            }
        }
    }
    return RoundNearest(b * factor);
}

// The highest points value whose Canadian time is not faster than T, searched downwards from
// 1001 - trunc(ln(T / B) / ln(1.0005)) and limited to -1000 .. 1100. Canadian times only grow
// as the points fall, so a search that starts above 1100 either ends at 1100 or passes it, and
// one that reaches -1000 ends there after the limit: both ends are cut short.
int CanadianPoints(SwimTime base, SwimTime time) {
    const auto c = Trunc(std::log(static_cast<long double>(time) / base) / LnCanadianStep);
    int p = 1001 - static_cast<int>(c);
    if (p <= -1000)
        return -1000;
    if (p > 1100) {
        if (time <= CanadianTimeMs(base, 1100))
            return 1100;
        p = 1099;
    }
    while (p > -1000 && time > CanadianTimeMs(base, p))
        --p;
    return p;
}

int LifesavingPoints(SwimTime base, SwimTime time) {
    const double d = static_cast<double>(static_cast<long double>(time) / base);
    const long double x = d;
    long double g = 0;
    if (d <= 2)
        g = (1672.0L / 3.0L) * (x * x) - 2472 * x + 8744.0L / 3.0L;
    else if (d <= 2.5)
        g = 680 - 240 * x;
    else if (d < 3)
        g = 480 - 160 * x;
    return static_cast<int>(RoundNearest(static_cast<double>(g)));
}

// Tenths: 200 - nearest(190 * (T - B) / (M - B)), the quotient rounded in integers.
int RudolphPoints(SwimTime base, SwimTime maxTime, SwimTime time) {
    if (time <= base)
        return 200;
    if (time > maxTime)
        return 0;
    const std::int64_t num = 190 * (std::int64_t{time} - base);
    const std::int64_t den = std::int64_t{maxTime} - base;
    std::int64_t q = num / den;
    const std::int64_t twiceRest = 2 * (num % den);
    if (twiceRest > den || (twiceRest == den && (q & 1) != 0))
        ++q;
    return static_cast<int>(200 - q);
}

long double CubeRootOfThousandth(int points) {
    return std::exp(OneThird * std::log(points / 1000.0L));
}

// The walk from t0 upwards in 1 ms steps, without walking. From a t0 that scores P, every
// slower time scores P up to the slowest one that does, and none after it: 1000 * (B / T)^3
// falls as T grows, and the failure answer 9999 of the very shortest times scores P exactly
// when 9999 >= P. That slowest time is found from the exact inverse (of P points, or of P - 0.5
// for the rounded points) and a step or two of exact comparison. The walk gives t0 - 1 when t0
// itself does not score.
std::int64_t CubedTime(TBSSwPointFormula formula, SwimTime base, int points) {
    const std::int64_t t0 = RoundNearest(base / CubeRootOfThousandth(points));
    auto scores = [&](std::int64_t t) {
        return t >= 1 && t <= MaxValidTime &&
               FormulaPoints(formula, base, 0, static_cast<SwimTime>(t)) >= points;
    };
    if (!scores(t0))
        return t0 - 1;
    const long double share = formula == pfCubed ? 2000.0L / (2.0L * points - 1) : 1000.0L / points;
    // Double precision places the boundary well within a millisecond; the comparisons decide.
    const auto boundary = static_cast<std::int64_t>(base * std::cbrt(static_cast<double>(share)));
    std::int64_t t = std::clamp(boundary, t0, MaxValidTime);
    if (scores(t)) {
        while (scores(t + 1))
            ++t;
    } else {
        while (!scores(t))
            --t;
    }
    return t;
}

// t = B * log10(10000 / P) as B * (4 - e) - B * log10(P / 10^e) with 10^e <= P < 10^(e + 1):
// 1000, 100, 10 and 1 points give exactly B, 2B, 3B and 4B.
std::int64_t BritishTime(SwimTime base, int points) {
    if (points > 10000)
        return 0;
    int e = 0;
    while (e < 4 && points >= PowersOfTen[3 - e])
        ++e;
    const long double mantissa = points / PowersOfTen[4 - e];
    const long double t =
        static_cast<long double>(base) * (4 - e) + std::log(mantissa) * base / LnTenth;
    return Trunc(t);
}

// The slowest time that still scores at least P tenths. Up to the base every time scores 200;
// beyond it by u ms, with k = 200 - P, nearest(190 * u / (M - B)) <= k holds while
// 380 * u < (2k + 1) * (M - B), and at equality when the tie goes to an even k.
std::int64_t RudolphTime(SwimTime base, SwimTime maxTime, int points) {
    if (points > 200)
        return 0;
    if (maxTime <= base)
        return base;
    const std::int64_t den = std::int64_t{maxTime} - base;
    const std::int64_t k = 200 - points;
    const std::int64_t limit = (2 * k + 1) * den;
    std::int64_t u = (limit - 1) / 380;
    if (k % 2 == 0 && limit % 380 == 0)
        u = limit / 380;
    return base + std::min(u, den);
}

} // namespace

std::int64_t RoundNearest(long double x) {
    std::int64_t n = NearInteger(x);
    const long double rest = x - n; // exact: n is within one of x
    if (rest > 0.5L || (rest == 0.5L && (n & 1) != 0))
        ++n;
    else if (rest < -0.5L || (rest == -0.5L && (n & 1) != 0))
        --n;
    return n;
}

int FormulaPoints(TBSSwPointFormula formula, SwimTime base, SwimTime maxTime, SwimTime time) {
    if (base <= 0 || !IsValidSwimTime(time))
        return 0;
    switch (formula) {
    case pfCubedFina:
        return CubedPoints(base, time, false);
    case pfCubed:
        return CubedPoints(base, time, true);
    case pfCubedDsv:
        return CubedDsvPoints(base, time);
    case pfBritish:
        return BritishPoints(base, time);
    case pfCanadian:
        return CanadianPoints(base, time);
    case pfLifesaving:
        return LifesavingPoints(base, time);
    case pfRudolph:
        return RudolphPoints(base, maxTime, time);
    }
    return 0;
}

std::int64_t FormulaTimeRule(TBSSwPointFormula formula, SwimTime base, SwimTime maxTime,
                             int points) {
    if (points <= 0 || base <= 0)
        return 0;
    switch (formula) {
    case pfCubedFina:
    case pfCubed:
        return CubedTime(formula, base, points);
    case pfCubedDsv:
        return RoundNearest(base / CubeRootOfThousandth(points));
    case pfBritish:
        return BritishTime(base, points);
    case pfCanadian:
        return CanadianTimeMs(base, points);
    case pfLifesaving:
        return 0;
    case pfRudolph:
        return RudolphTime(base, maxTime, points);
    }
    return 0;
}

SwimTime FormulaTime(TBSSwPointFormula formula, SwimTime base, SwimTime maxTime, int points) {
    const std::int64_t t = FormulaTimeRule(formula, base, maxTime, points) / 10 * 10;
    if (t < 1 || t > MaxValidTime)
        return 0;
    // Points beyond what any time can score (CUBED_FINA and CUBED stop at 9999 where the value
    // leaves 32 bits) leave the walk one step before its start, at a time that scores less.
    // No time earns them.
    if ((formula == pfCubedFina || formula == pfCubed || formula == pfRudolph) &&
        FormulaPoints(formula, base, maxTime, static_cast<SwimTime>(t)) < points)
        return 0;
    return static_cast<SwimTime>(t);
}

SwimTime CanadianTime(SwimTime base, int points) {
    if (base <= 0)
        return 0;
    const std::int64_t t = CanadianTimeMs(base, points);
    return t <= MaxValidTime ? static_cast<SwimTime>(t) : NoSwimTime;
}

double YardFactor(TBSSwStroke stroke, int distance) {
    if (stroke == strFreestyle) {
        switch (distance / 10) {
        case 40:
        case 50:
        case 80:
        case 100:
            return 0.875;
        case 150:
        case 165:
            return 0.997;
        default:
            break;
        }
    }
    return 1.116;
}

std::string PointsToText(TBSSwPointFormula formula, int points, char decimalSeparator) {
    if (points <= 0)
        return {};
    if (!HasDecimalPoints(formula))
        return std::to_string(points);
    std::string text = std::to_string(points / 10);
    text += decimalSeparator;
    text += static_cast<char>('0' + points % 10);
    return text;
}

} // namespace marqor
