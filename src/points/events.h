#pragma once

// The events the calculator offers: 46 built-in definitions "relay count;distance;stroke;flag",
// where the flag "Y" marks the FINA events (23 of them) and "F" and "N" the others.

#include "swimming/swim_style.h"

#include <string>
#include <string_view>
#include <vector>

namespace marqor {

// The 46 definitions in order; an event's key is its position ("1;25;FREE;F" is key 0).
const std::vector<std::string>& EventDefinitions();

// The swim style of a definition: relay count, distance and stroke (the first three ";" items;
// a missing or unreadable number reads as 0).
IBSSwSwimStylePtr MakeSwimStyle(std::string_view definition);
// True when the definition ends with "Y".
bool IsFinaEvent(std::string_view definition);

// The calculator's text of an event: "50 Freestyle", "4 x 100 Medley".
std::string EventText(const IBSSwSwimStyle& style);

} // namespace marqor
