#include "fuzz_support.h"
#include "fuzz_targets.h"

#include "swimming/swim_time.h"

#include <limits>

namespace marqor::fuzz {

namespace {

// Formatting then reading a valid time gives it back truncated to whole hundredths. The reader
// takes at most two digits per group, so from 100 hours on the hours do not read back.
constexpr SwimTime HundredHours = 100 * 3600000;

void CheckRoundTrip(SwimTime t) {
    if (!IsValidSwimTime(t) || t >= HundredHours)
        return;
    const std::string text = SwimTimeToText(t);
    const SwimTime back = TextToSwimTime(text);
    // Below 10 ms the hundredths are 0, which is no time.
    const SwimTime expected = t < 10 ? NoSwimTime : t / 10 * 10;
    MARQOR_FUZZ_CHECK(back == expected,
                      std::to_string(t) + " -> \"" + text + "\" -> " + std::to_string(back));
}

} // namespace

// Input: four bytes of a time in milliseconds, then a text typed by a user.
int FuzzSwimTime(const std::uint8_t* data, std::size_t size) {
    Prepare();
    ByteReader in(data, size);
    CheckRoundTrip(static_cast<SwimTime>(in.Uint32() & 0x7fffffffu));
    const std::string_view text = in.Rest();
    const SwimTime t = TextToSwimTime(text);
    MARQOR_FUZZ_CHECK(t == NoSwimTime || IsValidSwimTime(t),
                      "\"" + std::string(text) + "\" read as " + std::to_string(t));
    CheckRoundTrip(t);
    SwimTimeToText(t, true);
    return 0;
}

// Input: four bytes of a reaction time in hundredths, then a text.
int FuzzReactionTime(const std::uint8_t* data, std::size_t size) {
    Prepare();
    ByteReader in(data, size);
    const auto check = [](ReactionTime r) {
        // The reader refuses the lowest 32-bit value, which no stopwatch gives, and reads the
        // text "-32768" as no time (the sentinel of old files), so -327.68 s does not read back.
        if (r == NoReactionTime || r == std::numeric_limits<ReactionTime>::min() ||
            r == NoReactionTime * 100)
            return;
        const std::string text = ReactionTimeToText(r);
        const ReactionTime back = TextToReactionTime(text);
        MARQOR_FUZZ_CHECK(back == r,
                          std::to_string(r) + " -> \"" + text + "\" -> " + std::to_string(back));
    };
    check(static_cast<ReactionTime>(in.Uint32()));
    check(TextToReactionTime(in.Rest()));
    return 0;
}

} // namespace marqor::fuzz
