#pragma once

// The line the calculator adds to its result list for one calculation:
// "FINA 2011;50m;50 Freestyle;Men;99;;21.65;900 Pt." (table, course, event, gender, age,
// handicap class, time, points).

#include "points/point_table.h"

#include <string>
#include <string_view>

namespace marqor {

// Tenths with one decimal for a table with decimal points ("15.9"), else the integer, 0 and
// negative values included.
std::string ResultPointsText(const IBSSwPoints& table, int points);

// The time is empty when it is no valid swim time.
std::string ResultLine(const IBSSwPoints& table, TBSSwCourse course, std::string_view eventText,
                       TBSSwGender gender, int age, int handicap, SwimTime time, int points);

} // namespace marqor
