#include "fuzz_support.h"
#include "fuzz_targets.h"

#include "points/events.h"
#include "points/point_table.h"
#include "swimming/swim_time.h"

#include <algorithm>
#include <climits>
#include <vector>

namespace marqor::fuzz {

namespace {

const std::vector<IBSSwSwimStylePtr>& Events() {
    static const std::vector<IBSSwSwimStylePtr> events = [] {
        std::vector<IBSSwSwimStylePtr> all;
        for (const auto& definition : EventDefinitions())
            all.push_back(MakeSwimStyle(definition));
        all.push_back(NewSwimStyleWithId(211));
        return all;
    }();
    return events;
}

// The formulas whose time rule is "the slowest 10 ms step that still scores the points".
bool HasSlowestStepRule(TBSSwPointFormula formula) {
    return formula == pfCubedFina || formula == pfCubed || formula == pfRudolph;
}

void Query(const TBSSwBaseTimesPointTable& table, TBSSwCourse course, TBSSwGender gender, int age,
           int handicap, const IBSSwSwimStyle& style) {
    static constexpr SwimTime times[] = {1, 9, 10, 999, 21650, 21659, 59999, 3600000,
                                         NoSwimTime - 1, NoSwimTime, 0, -1, INT_MIN};
    static constexpr int points[] = {INT_MIN, -1, 0, 1, 9, 200, 900, 1100, 1200, 9999, INT_MAX};
    const SwimTime base = table.LookupBaseTime(course, style, gender, age, handicap, btkMinimum);
    std::vector<SwimTime> probes(std::begin(times), std::end(times));
    for (const long long near : {base - 1LL, base + 0LL, base + 1LL, base * 2LL, base / 2LL})
        probes.push_back(static_cast<SwimTime>(std::clamp<long long>(near, INT_MIN, INT_MAX)));

    for (const SwimTime t : probes) {
        const int p = table.PointsFromTime(course, style, gender, age, handicap, t);
        if (!IsValidSwimTime(t) || p <= 0 || !HasSlowestStepRule(table.Formula()))
            continue;
        const SwimTime back = table.TimeFromPoints(course, style, gender, age, handicap, p);
        if (back == 0)
            continue; // no time of the valid range earns p
        MARQOR_FUZZ_CHECK(back % 10 == 0, "time " + std::to_string(back) + " is no hundredth");
        // t's own hundredth scores p, so the slowest step that still scores p is not faster.
        MARQOR_FUZZ_CHECK(back >= t / 10 * 10, "time " + std::to_string(t) + " scores " +
                                                   std::to_string(p) + ", TimeFromPoints gives " +
                                                   std::to_string(back));
        MARQOR_FUZZ_CHECK(table.PointsFromTime(course, style, gender, age, handicap, back) >= p,
                          "TimeFromPoints(" + std::to_string(p) + ") = " + std::to_string(back) +
                              " scores less");
    }
    for (const int p : points) {
        const SwimTime t = table.TimeFromPoints(course, style, gender, age, handicap, p);
        MARQOR_FUZZ_CHECK(t == 0 || IsValidSwimTime(t), "TimeFromPoints gave " + std::to_string(t));
        if (t != 0 && p > 0 && HasSlowestStepRule(table.Formula()))
            MARQOR_FUZZ_CHECK(table.PointsFromTime(course, style, gender, age, handicap, t) >= p,
                              "TimeFromPoints(" + std::to_string(p) + ") = " + std::to_string(t) +
                                  " scores less");
        table.PointsToText(p);
    }
    table.HasBaseTime(course, style, gender, age, handicap);
    table.PointsForAnyGroup(style, base);
    for (const auto to : {sco50m, sco25m, sco25y})
        table.ConvertTime(style, gender, base, course, to);
}

} // namespace

// Input: a point table text. A table that loads answers every request without failing.
int FuzzPointTable(const std::uint8_t* data, std::size_t size) {
    Prepare();
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    TBSSwBaseTimesPointTablePtr table;
    try {
        table = NewPointTableFromText(text, "fuzz.txt");
    } catch (const EPointTableError&) {
        return 0;
    }
    const auto& groups = table->Groups();
    // The groups' own requests, and a few that match none or several.
    const std::size_t asked = std::min<std::size_t>(groups.size(), 4);
    for (std::size_t g = 0; g < asked; ++g) {
        const auto& group = groups[g];
        const int age = group.AgeRange().MinAge() < 0 ? 99 : group.AgeRange().MinAge();
        for (const auto& style : Events())
            Query(*table, group.Course(), group.Gender(), age, group.Handicap(), *style);
    }
    for (const auto& style : Events()) {
        Query(*table, sco50m, sgeMixed, 99, 0, *style);
        Query(*table, scoNone, sgeNone, -1, 15, *style);
    }
    table->HasAnyBaseTime();
    return 0;
}

} // namespace marqor::fuzz
