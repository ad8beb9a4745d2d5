#pragma once

#include "swimming/types.h"

#include <cstdint>
#include <string>

// The seven point formulas in both directions, as free functions over base times. A point table
// looks up the base time B (its minimum time) and, for RUDOLPH, the maximum time M of an event
// and swimmer group and hands them over together with the time T or the points P. Times are in
// milliseconds; a missing base or maximum time is 0.

namespace marqor {

// The numbers are those the tables have always used; 0 is also the formula of a table whose
// formula keyword is not recognised.
enum TBSSwPointFormula : std::uint8_t {
    pfCubedFina,  // "CUBED_FINA": trunc(1000 * (B / T)^3)
    pfCubed,      // "CUBED": the same, rounded to the nearest point
    pfCubedDsv,   // "CUBED_DSV": the DSV variant, at most 9999 points
    pfBritish,    // "BRITISH": 10000 * 10^(-T / B)
    pfCanadian,   // "CANADIAN": 0.05 % of the base time per point
    pfLifesaving, // "LIFESAVING": piecewise in T / B; no time rule
    pfRudolph,    // "RUDOLPH": tenths from 20.0 at B down to 1.0 at M
};
inline constexpr int PointFormulaCount = 7;

// RUDOLPH counts tenths of a point (200 means 20.0); every other formula whole points.
constexpr bool HasDecimalPoints(TBSSwPointFormula formula) {
    return formula == pfRudolph;
}

// Points for a swim time. 0 when the base time is not positive or the time is not a valid swim
// time; maxTime only matters to RUDOLPH, where 0 means that nothing slower than the base scores.
// CUBED_FINA and CUBED are computed exactly (1000 * (B / T)^3 is a fraction of integers), and
// answer 9999 once the value no longer fits a signed 32-bit integer (times shorter than about
// 1/129 of the base).
int FormulaPoints(TBSSwPointFormula formula, SwimTime base, SwimTime maxTime, SwimTime time);

// The time that earns the points, in milliseconds and already truncated to a multiple of 10 ms
// (so that it shows exactly as hundredths): a point table's TimeFromPoints is the base-time
// lookup followed by this call. 0 when there is no such time: points of 0 or less, a base time
// that is not positive, LIFESAVING, a time beyond the range of valid swim times, or (CUBED_FINA,
// CUBED, RUDOLPH) points that no time scores.
// CUBED_FINA, CUBED and RUDOLPH give the slowest 10 ms step that still scores at least the
// points; RUDOLPH needs maxTime for that.
SwimTime FormulaTime(TBSSwPointFormula formula, SwimTime base, SwimTime maxTime, int points);

// The time rule of the formula before the truncation to 10 ms, in milliseconds. For CUBED_FINA
// and CUBED it is exactly the walk "start at the inverse t0 = nearest(B / (P / 1000)^(1/3)),
// step up 1 ms while the time still scores P, take the last one", found without the walk. The
// result may lie outside the valid swim times (0, -1, or beyond 2147483646); FormulaTime turns
// those into 0.
std::int64_t FormulaTimeRule(TBSSwPointFormula formula, SwimTime base, SwimTime maxTime,
                             int points);

// The Canadian time of a points value: nearest(B * 1.0005^(1000 - P)) up to 1000 points and
// nearest(B * 0.9995^(P - 1000)) above, the powers taken by repeated multiplication. 0 for a base
// that is not positive; NoSwimTime when the time is beyond the valid swim times.
SwimTime CanadianTime(SwimTime base, int points);

// The factor that turns a time swum in a 25-yard pool into short-course metres (time * factor).
// distance is the distance per swimmer.
double YardFactor(TBSSwStroke stroke, int distance);

// Rounds to the nearest integer, halves to the even neighbour, independent of the floating-point
// rounding mode. |x| must stay below 2^62.
std::int64_t RoundNearest(long double x);

// "" for 0 points and less; RUDOLPH tenths with one decimal (155 gives "15.5"); every other
// formula the plain decimal integer.
std::string PointsToText(TBSSwPointFormula formula, int points, char decimalSeparator = '.');

} // namespace marqor
