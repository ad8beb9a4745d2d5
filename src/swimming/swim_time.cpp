#include "swimming/swim_time.h"

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <locale.h>
#include <vector>

namespace marqor {

namespace {

constexpr bool IsTimeSeparator(char c) {
    return c == 'h' || c == ':' || c == '.' || c == ',' || c == '"' || c == '\'';
}

// Length of the UTF-8 sequence that starts with byte c; a stray continuation byte or an invalid
// lead byte counts as one character of its own.
std::size_t Utf8Length(std::string_view s, std::size_t at) {
    const auto c = static_cast<unsigned char>(s[at]);
    std::size_t n = c < 0xC0 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : c < 0xF8 ? 4 : 1;
    if (at + n > s.size())
        return 1;
    for (std::size_t i = 1; i < n; ++i)
        if ((static_cast<unsigned char>(s[at + i]) & 0xC0) != 0x80)
            return 1;
    return n;
}

std::string_view TrimControlsAndBlanks(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ')
        s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ')
        s.remove_suffix(1);
    return s;
}

// A group counts only as a whole number of digits; anything else ("5a") is 0.
int GroupValue(std::string_view g) {
    int v = 0;
    for (char c : g) {
        if (c < '0' || c > '9')
            return 0;
        v = v * 10 + (c - '0');
    }
    return v;
}

} // namespace

std::string SwimTimeToText(SwimTime t, bool showNoTime) {
    if (!IsValidSwimTime(t))
        return showNoTime ? "NT" : "";
    const int hours = t / 3600000;
    const int minutes = (t % 3600000) / 60000;
    const int seconds = (t % 60000) / 1000;
    const int hundredths = (t % 1000) / 10;
    char buf[32];
    if (hours >= 1)
        std::snprintf(buf, sizeof buf, "%d:%.2d:%.2d.%.2d", hours, minutes, seconds, hundredths);
    else if (minutes >= 1)
        std::snprintf(buf, sizeof buf, "%d:%.2d.%.2d", minutes, seconds, hundredths);
    else
        std::snprintf(buf, sizeof buf, "%d.%.2d", seconds, hundredths);
    return buf;
}

SwimTime TextToSwimTime(std::string_view text) {
    // Point tables read two times per row and batch use thousands of lines, so nothing here
    // allocates unless the text has blanks to drop or non-ASCII characters to step over.
    std::string compact;
    if (text.find(' ') != std::string_view::npos) {
        compact.reserve(text.size());
        for (char c : text)
            if (c != ' ')
                compact.push_back(c);
        text = compact;
    }
    const std::string_view s = TrimControlsAndBlanks(text);

    // Groups of at most two characters, cut from the right end of each token, the rightmost
    // token first. Characters are code points, so a multi-byte letter is never split. A group
    // that does not start with a digit does not count; the first four that do are hundredths,
    // seconds, minutes and hours.
    std::string_view kept[4];
    std::size_t count = 0;
    auto group = [&](std::string_view g) {
        if (g.front() >= '0' && g.front() <= '9') {
            if (count < 4)
                kept[count] = g;
            ++count;
        }
    };
    std::vector<std::size_t> starts; // start offset of each character of a non-ASCII token
    std::size_t end = s.size();
    while (end > 0) {
        std::size_t start = end;
        bool ascii = true;
        while (start > 0 && !IsTimeSeparator(s[start - 1])) {
            --start;
            ascii = ascii && static_cast<unsigned char>(s[start]) < 0x80;
        }
        if (start < end) {
            std::size_t right = end;
            if (ascii) {
                while (right - start > 2) {
                    group(s.substr(right - 2, 2));
                    right -= 2;
                }
            } else {
                starts.clear();
                for (std::size_t i = start; i < end; i += Utf8Length(s, i))
                    starts.push_back(i);
                std::size_t n = starts.size();
                while (n > 2) {
                    group(s.substr(starts[n - 2], right - starts[n - 2]));
                    right = starts[n - 2];
                    n -= 2;
                }
            }
            group(s.substr(start, right - start));
        }
        end = start > 0 ? start - 1 : 0;
    }
    if (count == 0)
        return NoSwimTime;

    long long result;
    if (count == 1) {
        result = GroupValue(kept[0]) * 1000LL;
    } else {
        result = GroupValue(kept[0]) * (kept[0].size() == 1 ? 100LL : 10LL);
        result += GroupValue(kept[1]) * 1000LL;
        if (count > 2)
            result += GroupValue(kept[2]) * 60000LL;
        if (count > 3)
            result += GroupValue(kept[3]) * 3600000LL;
    }
    if (result < 1 || result >= NoSwimTime)
        return NoSwimTime;
    return static_cast<SwimTime>(result);
}

std::string ReactionTimeToText(ReactionTime value) {
    if (value == NoReactionTime)
        return "";
    if (value == 0)
        return "0.00";
    const long long magnitude = std::llabs(static_cast<long long>(value));
    char buf[32];
    std::snprintf(buf, sizeof buf, "%c%lld.%.2lld", value > 0 ? '+' : '-', magnitude / 100,
                  magnitude % 100);
    return buf;
}

ReactionTime TextToReactionTime(std::string_view text) {
    const std::string_view s = TrimControlsAndBlanks(text);
    // A plain decimal number with "." or "," as its separator and an optional exponent; hex
    // floats, "inf" and "nan", which the C reader would accept, are no reaction times.
    std::string number;
    for (char c : s) {
        if (c == ',')
            c = '.';
        if (!((c >= '0' && c <= '9') || c == '.' || c == '+' || c == '-' || c == 'e' || c == 'E'))
            return NoReactionTime;
        number.push_back(c);
    }
    if (number.empty())
        return NoReactionTime;

    static const locale_t c_locale = newlocale(LC_ALL_MASK, "C", locale_t(0));
    char* stop = nullptr;
    const long double v = strtold_l(number.c_str(), &stop, c_locale);
    if (stop != number.c_str() + number.size() || !std::isfinite(v))
        return NoReactionTime;
    if (v == -32768.0L)
        return NoReactionTime;
    const long double hundredths = std::nearbyint(v * 100.0L); // ties to even
    if (hundredths <= static_cast<long double>(std::numeric_limits<ReactionTime>::min()) ||
        hundredths > static_cast<long double>(std::numeric_limits<ReactionTime>::max()))
        return NoReactionTime;
    return static_cast<ReactionTime>(hundredths);
}

} // namespace marqor
