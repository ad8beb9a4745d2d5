#include "foundation/text.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cwctype>
#include <locale.h>
#include <wctype.h>

namespace marqor {

namespace {

constexpr bool IsBlankOrControl(unsigned char c) {
    return c <= ' ';
}

constexpr char AsciiUpperChar(char c) {
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}
constexpr char AsciiLowerChar(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

// Windows-1252 characters of the bytes 0x80 .. 0x9F (0 where the code page has a gap, which
// then maps to the C1 control of the same number).
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char32_t Cp1252ToUnicode(unsigned char b) {
    if (b >= 0x80 && b <= 0x9F)
        return kCp1252High[b - 0x80];
    return b;
}

locale_t Utf8Locale() {
    static const locale_t loc = [] {
        locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(0));
        if (!l)
            l = newlocale(LC_CTYPE_MASK, "C", locale_t(0));
        return l;
    }();
    return loc;
}

// Decodes one code point at s[i]; returns its length, 0 when the bytes are no valid sequence.
std::size_t DecodeOne(std::string_view s, std::size_t i, char32_t& out) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) {
        out = b0;
        return 1;
    }
    std::size_t n;
    char32_t cp;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        n = 2;
        cp = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        n = 3;
        cp = b0 & 0x0F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        n = 4;
        cp = b0 & 0x07;
    } else {
        return 0;
    }
    if (i + n > s.size())
        return 0;
    for (std::size_t k = 1; k < n; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    // Overlong forms, surrogates and values above U+10FFFF are not UTF-8.
    if ((n == 3 && cp < 0x800) || (n == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    out = cp;
    return n;
}

// Accented Latin letters and their base letters, for the natural order of display texts.
constexpr std::u32string_view kAccented =
    U"ÁÀÂÃÄÅÆĂĄÇĆČĎÉÈÊËĘĚĞÍÌÎÏİĹĽŁÑŃŇÓÒÔÕŐŔŘŠŚŞŢŤÚÙÛÜŮŰÝŽŹŻ"
    U"áàâãäåæªăąç¢ćčðďéèêëęěğíìîïıĺľłñńňóòôõőŕřšśşţťúùûüůűýÿžźżØøÖöß";
constexpr std::u32string_view kBase =
    U"AAAAAAAAACCCDEEEEEEGIIIIILLLNNNOOOOORRSSSTTUUUUUUYZZZ"
    U"aaaaaaaaaaccccddeeeeeegiiiiilllnnnooooorrsssttuuuuuuyyzzzOoOos";
static_assert(kAccented.size() == kBase.size());

char32_t FoldForOrder(char32_t c) {
    const auto at = kAccented.find(c);
    if (at != std::u32string_view::npos)
        c = kBase[at];
    return UnicodeLower(c);
}

} // namespace

std::string_view TrimView(std::string_view s) {
    while (!s.empty() && IsBlankOrControl(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    while (!s.empty() && IsBlankOrControl(static_cast<unsigned char>(s.back())))
        s.remove_suffix(1);
    return s;
}

std::string Trim(std::string_view s) {
    return std::string(TrimView(s));
}

std::string TrimLeft(std::string_view s) {
    while (!s.empty() && IsBlankOrControl(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    return std::string(s);
}

std::string TrimRight(std::string_view s) {
    while (!s.empty() && IsBlankOrControl(static_cast<unsigned char>(s.back())))
        s.remove_suffix(1);
    return std::string(s);
}

std::string AsciiUpper(std::string_view s) {
    std::string r(s);
    std::ranges::transform(r, r.begin(), AsciiUpperChar);
    return r;
}

std::string AsciiLower(std::string_view s) {
    std::string r(s);
    std::ranges::transform(r, r.begin(), AsciiLowerChar);
    return r;
}

bool SameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && CompareText(a, b) == 0;
}

int CompareText(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto x = static_cast<unsigned char>(AsciiUpperChar(a[i]));
        const auto y = static_cast<unsigned char>(AsciiUpperChar(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

char32_t UnicodeUpper(char32_t c) {
    if (c < 0x80)
        return static_cast<char32_t>(AsciiUpperChar(static_cast<char>(c)));
    return static_cast<char32_t>(towupper_l(static_cast<wint_t>(c), Utf8Locale()));
}

char32_t UnicodeLower(char32_t c) {
    if (c < 0x80)
        return static_cast<char32_t>(AsciiLowerChar(static_cast<char>(c)));
    return static_cast<char32_t>(towlower_l(static_cast<wint_t>(c), Utf8Locale()));
}

std::string UnicodeUpper(std::string_view s) {
    std::u32string cps = Utf8ToCodePoints(s);
    for (auto& c : cps)
        c = UnicodeUpper(c);
    return CodePointsToUtf8(cps);
}

std::string UnicodeLower(std::string_view s) {
    std::u32string cps = Utf8ToCodePoints(s);
    for (auto& c : cps)
        c = UnicodeLower(c);
    return CodePointsToUtf8(cps);
}

int CompareDisplayText(std::string_view a, std::string_view b) {
    const std::u32string x = Utf8ToCodePoints(a);
    const std::u32string y = Utf8ToCodePoints(b);
    const std::size_t n = std::min(x.size(), y.size());
    for (std::size_t i = 0; i < n; ++i) {
        const char32_t fx = FoldForOrder(x[i]);
        const char32_t fy = FoldForOrder(y[i]);
        if (fx != fy)
            return fx < fy ? -1 : 1;
    }
    if (x.size() != y.size())
        return x.size() < y.size() ? -1 : 1;
    for (std::size_t i = 0; i < n; ++i) {
        const char32_t lx = UnicodeLower(x[i]);
        const char32_t ly = UnicodeLower(y[i]);
        if (lx != ly)
            return lx < ly ? -1 : 1;
    }
    const int raw = a.compare(b);
    return raw < 0 ? -1 : raw > 0 ? 1 : 0;
}

std::optional<std::int32_t> ParseInt(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    int base = 10;
    if (!s.empty() && s.front() == '$') {
        base = 16;
        s.remove_prefix(1);
    } else if (s.size() > 1 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.remove_prefix(2);
    }
    if (s.empty())
        return std::nullopt;
    std::uint64_t value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value, base);
    if (ec != std::errc() || end != s.data() + s.size())
        return std::nullopt;
    if (negative) {
        if (value > 2147483648ULL)
            return std::nullopt;
        return static_cast<std::int32_t>(-static_cast<std::int64_t>(value));
    }
    if (value > 2147483647ULL)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::int32_t StrToIntDef(std::string_view s, std::int32_t fallback) {
    return ParseInt(s).value_or(fallback);
}

std::optional<double> ParseFloat(std::string_view s) {
    s = TrimView(s);
    if (s.empty())
        return std::nullopt;
    if (s.front() == '+')
        s.remove_prefix(1);
    for (char c : s)
        if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == 'e' || c == 'E' || c == '+'))
            return std::nullopt;
    double v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::string FloatToText(double v) {
    char buf[64];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    if (ec != std::errc())
        return "0";
    std::string r(buf, end);
    // The shortest form uses a small "e"; the stored form has always used a capital.
    for (auto& c : r)
        if (c == 'e')
            c = 'E';
    return r;
}

std::u32string Utf8ToCodePoints(std::string_view s) {
    std::u32string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        char32_t cp;
        const std::size_t n = DecodeOne(s, i, cp);
        if (n == 0) {
            out.push_back(Cp1252ToUnicode(static_cast<unsigned char>(s[i])));
            ++i;
        } else {
            out.push_back(cp);
            i += n;
        }
    }
    return out;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        c = 0xFFFD;
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

std::string CodePointsToUtf8(std::u32string_view s) {
    std::string out;
    out.reserve(s.size());
    for (char32_t c : s)
        AppendUtf8(out, c);
    return out;
}

std::size_t Utf8Next(std::string_view s, std::size_t i, char32_t& cp) {
    const std::size_t n = DecodeOne(s, i, cp);
    if (n == 0) {
        cp = static_cast<unsigned char>(s[i]);
        return 1;
    }
    return n;
}

std::string DecodeTextBytesAs(std::string_view bytes, TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Utf8:
    case TextEncoding::Utf8Bom:
        return IsValidUtf8(bytes) ? std::string(bytes) : CodePointsToUtf8(Utf8ToCodePoints(bytes));
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE: {
        const bool le = encoding == TextEncoding::Utf16LE;
        std::string out;
        out.reserve(bytes.size());
        auto unit = [&](std::size_t i) -> char32_t {
            const auto a = static_cast<unsigned char>(bytes[i]);
            const auto b = static_cast<unsigned char>(bytes[i + 1]);
            return le ? char32_t(a | (b << 8)) : char32_t((a << 8) | b);
        };
        std::size_t i = 0;
        for (; i + 1 < bytes.size(); i += 2) {
            char32_t u = unit(i);
            if (u >= 0xD800 && u <= 0xDBFF && i + 3 < bytes.size()) {
                const char32_t low = unit(i + 2);
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
                    i += 2;
                    continue;
                }
            }
            AppendUtf8(out, (u >= 0xD800 && u <= 0xDFFF) ? 0xFFFD : u);
        }
        if (i < bytes.size())
            AppendUtf8(out, 0xFFFD); // odd byte count: a truncated last unit
        return out;
    }
    case TextEncoding::Windows1252:
        break;
    }
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (unsigned char b : bytes)
        AppendUtf8(out, Cp1252ToUnicode(b));
    return out;
}

std::string DecodeTextBytes(std::string_view bytes, TextEncoding* found) {
    TextEncoding e;
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        e = TextEncoding::Utf8Bom;
        bytes.remove_prefix(3);
    } else if (bytes.starts_with("\xFF\xFE")) {
        e = TextEncoding::Utf16LE;
        bytes.remove_prefix(2);
    } else if (bytes.starts_with("\xFE\xFF")) {
        e = TextEncoding::Utf16BE;
        bytes.remove_prefix(2);
    } else {
        e = IsValidUtf8(bytes) ? TextEncoding::Utf8 : TextEncoding::Windows1252;
    }
    if (found)
        *found = e;
    return DecodeTextBytesAs(bytes, e);
}

std::string EncodeUtf16LE(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    auto unit = [&](char32_t u) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>((u >> 8) & 0xFF);
    };
    for (char32_t c : Utf8ToCodePoints(text)) {
        if (c >= 0x10000) {
            unit(0xD800 + ((c - 0x10000) >> 10));
            unit(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            unit(c);
        }
    }
    return out;
}

bool IsValidUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        char32_t cp;
        const std::size_t n = DecodeOne(s, i, cp);
        if (n == 0)
            return false;
        i += n;
    }
    return true;
}

std::string_view Utf8Prefix(std::string_view s, std::size_t n) {
    std::size_t i = 0;
    for (std::size_t count = 0; i < s.size() && count < n; ++count) {
        char32_t cp;
        i += Utf8Next(s, i, cp);
    }
    return s.substr(0, i);
}

std::size_t Utf8Length(std::string_view s) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < s.size();) {
        char32_t cp;
        const std::size_t n = DecodeOne(s, i, cp);
        i += n == 0 ? 1 : n;
        ++count;
    }
    return count;
}

std::string FormatV(const char* format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string out;
    if (n > 0) {
        out.resize(static_cast<std::size_t>(n));
        std::vsnprintf(out.data(), out.size() + 1, format, args);
    }
    return out;
}

std::string Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string out = FormatV(format, args);
    va_end(args);
    return out;
}

} // namespace marqor
