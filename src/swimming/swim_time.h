#pragma once

#include "swimming/types.h"

#include <string>
#include <string_view>

namespace marqor {

// True when 1 <= t <= 2147483646.
constexpr bool IsValidSwimTime(SwimTime t) {
    return t >= 1 && t < NoSwimTime;
}

// The normal form of a time, in hundredths (the thousandth is dropped, never rounded):
// 20.91, 1:42.00, 1:02:03.45. A time that is not valid gives "NT" with showNoTime, else "".
std::string SwimTimeToText(SwimTime t, bool showNoTime = false);

// Reads a time as users type it and as point tables write it. The reader is positional from the
// right: the last group is hundredths (tenths when it has one digit), then seconds, minutes and
// hours, whatever the separators. Unreadable text gives NoSwimTime.
SwimTime TextToSwimTime(std::string_view text);

// "+0.65", "-0.03", "0.00"; NoReactionTime gives "".
std::string ReactionTimeToText(ReactionTime value);

// Reads "0.65" or "0,65" as 65 hundredths; unreadable text gives NoReactionTime.
ReactionTime TextToReactionTime(std::string_view text);

} // namespace marqor
