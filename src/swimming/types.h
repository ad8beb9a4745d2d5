#pragma once

#include <cstdint>
#include <initializer_list>

namespace marqor {

// A swim time in milliseconds. Valid times are 1 .. 2147483646; everything else is "no time".
using SwimTime = std::int32_t;
inline constexpr SwimTime NoSwimTime = 2147483647;

// A reaction time in hundredths of a second; it may be negative.
using ReactionTime = std::int32_t;
inline constexpr ReactionTime NoReactionTime = -32768;

enum TBSSwCourse : std::uint8_t {
    scoNone,
    sco50m,
    sco25m,
    sco25y,
    sco33m,
    sco16m,
    sco20m,
    scoOpen,
};
inline constexpr int CourseCount = 8;

// A set of courses: bit n stands for the course of value n.
struct TBSSwCourses {
    std::uint8_t bits = 0;

    constexpr TBSSwCourses() = default;
    constexpr explicit TBSSwCourses(std::uint8_t b) : bits(b) {}
    constexpr TBSSwCourses(std::initializer_list<TBSSwCourse> courses) {
        for (auto c : courses)
            Include(c);
    }

    constexpr bool Contains(TBSSwCourse c) const { return (bits >> c) & 1u; }
    constexpr void Include(TBSSwCourse c) { bits = std::uint8_t(bits | (1u << c)); }
    constexpr void Exclude(TBSSwCourse c) { bits = std::uint8_t(bits & ~(1u << c)); }
    constexpr bool IsEmpty() const { return bits == 0; }
    friend constexpr bool operator==(TBSSwCourses, TBSSwCourses) = default;
};

enum TBSSwGender : std::uint8_t {
    sgeNone,
    sgeMen,
    sgeWomen,
    sgeMixed,
};

enum TBSSwStroke : std::uint8_t {
    strNone,
    strFreestyle,
    strBackstroke,
    strBreaststroke,
    strFly,
    strMedley,
};

enum TBSSwRound : std::uint8_t {
    sroNone,
    sroTimedFinal,
    sroPrelim,
    sroSwimOffPrelim,
    sroQuadFinal,
    sroSwimOffQuadFinal,
    sroSemifinal,
    sroSwimOffSemifinal,
    sroFastestHeat,
    sroFinal,
    sroMedalCeremony,
    sroBreak,
};

// Handicap classes are plain integers: 0 no class, 1 .. 99 a class number, and these three.
inline constexpr int HandicapAB = 201;
inline constexpr int HandicapGB = 202;
inline constexpr int HandicapExplicitlyNone = -1;

} // namespace marqor
