#pragma once

// What the calculator panel works out without a window: the remark that explains a calculation
// without result.

#include "points/point_table.h"

#include <string>
#include <string_view>

namespace marqor {

struct TKvrCalculation {
    TBSSwCourse Course = scoNone;
    TBSSwGender Gender = sgeNone;
    int Age = 99;
    int Handicap = 0;
    std::string EventText; // as the event list shows it
    bool FinaMode = true;  // age and class are not offered, so they are not named
};

// Why the table gives nothing for the calculation, in one line for the footer: the table's
// NoBaseTimesMessage when it has no base time at all, "No base time for 4 x 50 Medley, 25m
// Pool, Women in FINA 2011" when it lacks the event for that group; empty when it has it.
std::string CalculationRemark(const IBSSwPoints& table, const IBSSwSwimStyle& style,
                              const TKvrCalculation& calculation);

// The remark for a table as it is chosen: its NoBaseTimesMessage, or empty.
std::string TableRemark(const IBSSwPoints& table);

} // namespace marqor
