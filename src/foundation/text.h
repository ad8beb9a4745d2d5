#pragma once

// Small text helpers that every subsystem uses. Texts are UTF-8; where a rule speaks of
// characters it means code points.

#include <cstdarg>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace marqor {

// Removes leading and trailing blanks and control characters (everything up to U+0020).
std::string_view TrimView(std::string_view s);
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);

// ASCII-only case operations and comparisons: "ordinal, ASCII letters folded". Used for keys,
// names and codes, which are ASCII by nature.
std::string AsciiUpper(std::string_view s);
std::string AsciiLower(std::string_view s);
bool SameText(std::string_view a, std::string_view b);
int CompareText(std::string_view a, std::string_view b); // <0, 0, >0
struct CaseInsensitiveLess {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const { return CompareText(a, b) < 0; }
};

// Case operations over all of Unicode (code points), as users expect for names and words.
std::string UnicodeUpper(std::string_view s);
std::string UnicodeLower(std::string_view s);
char32_t UnicodeUpper(char32_t c);
char32_t UnicodeLower(char32_t c);

// Natural, case-insensitive order of display texts: accents sort with their base letter
// ("Zürich" next to "Zurich"), then letter case, then the bytes, so the order is total.
int CompareDisplayText(std::string_view a, std::string_view b);

// Integer reading: optional blanks in front, an optional sign, decimal digits (or "$"/"0x" and
// hex digits), nothing after; it must fit 32 bits. Anything else gives nothing.
std::optional<std::int32_t> ParseInt(std::string_view s);
std::int32_t StrToIntDef(std::string_view s, std::int32_t fallback);

// Decimal number with "." as separator (an optional exponent), whatever the process locale.
std::optional<double> ParseFloat(std::string_view s);
// Shortest text that reads back as the same double, "." as separator ("0.1", "12", "1E-5").
std::string FloatToText(double v);

// UTF-8 decoding and encoding. Invalid bytes decode one by one as the Windows-1252 character of
// that byte, so text from the old platform still reads; NUL bytes stay.
std::u32string Utf8ToCodePoints(std::string_view s);
std::string CodePointsToUtf8(std::u32string_view s);
void AppendUtf8(std::string& out, char32_t c);
// Decodes the character at byte offset i and answers its length in bytes (at least 1); a byte
// that starts no valid sequence is a character of its own whose code is the byte value.
std::size_t Utf8Next(std::string_view s, std::size_t i, char32_t& cp);
bool IsValidUtf8(std::string_view s);
// Text encodings recognised when bytes from outside are read.
enum class TextEncoding { Utf8, Utf8Bom, Utf16LE, Utf16BE, Windows1252 };
// Decodes bytes to UTF-8: a byte-order mark (UTF-8, UTF-16 LE or BE) decides; without one,
// valid UTF-8 is UTF-8 and anything else is read as Windows-1252, as the old platform wrote it.
// A truncated UTF-16 unit or a lone surrogate becomes U+FFFD. The mark is not part of the text.
std::string DecodeTextBytes(std::string_view bytes, TextEncoding* found = nullptr);
// Decodes bytes of a known encoding; a byte-order mark at the start is decoded like any other
// character (U+FEFF). Utf8 and Utf8Bom read invalid bytes one by one as Windows-1252.
std::string DecodeTextBytesAs(std::string_view bytes, TextEncoding encoding);
// UTF-8 text as UTF-16 little-endian code units, without a byte-order mark.
std::string EncodeUtf16LE(std::string_view text);

// The first n code points of s (all of s when it has fewer).
std::string_view Utf8Prefix(std::string_view s, std::size_t n);

// The number of code points.
std::size_t Utf8Length(std::string_view s);

// printf-style formatting into a std::string.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string FormatV(const char* format, va_list args);

} // namespace marqor
