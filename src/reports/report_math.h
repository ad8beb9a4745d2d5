#pragma once

// Integer arithmetic of the page layout. Every length, position and font size of a report is an
// integer, and the rounding of each step is part of where a text lands on paper.

#include <cmath>
#include <cstdint>
#include <limits>

namespace marqor {

// a * b / c without overflow, rounded to the nearest integer with halves away from zero. As the
// platform's MulDiv it answers -1 when c is 0 or the result does not fit 32 bits.
constexpr std::int32_t MulDiv(std::int32_t a, std::int32_t b, std::int32_t c) {
    if (c == 0)
        return -1;
    const std::int64_t product = std::int64_t(a) * b;
    const std::int64_t divisor = c;
    const bool negative = (product < 0) != (divisor < 0);
    const std::uint64_t p = product < 0 ? std::uint64_t(-product) : std::uint64_t(product);
    const std::uint64_t d = divisor < 0 ? std::uint64_t(-divisor) : std::uint64_t(divisor);
    const std::uint64_t q = (2 * p + d) / (2 * d);
    if (q > std::uint64_t(std::numeric_limits<std::int32_t>::max()))
        return -1;
    return negative ? -std::int32_t(q) : std::int32_t(q);
}

// The nearest integer, halves to the even neighbour.
inline std::int32_t RoundHalfEven(double value) {
    return static_cast<std::int32_t>(std::nearbyint(value));
}

} // namespace marqor
