#include "foundation/strings.h"

#include "foundation/errors.h"
#include "foundation/text.h"
#include "foundation/tokenizer.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>

namespace marqor {

namespace {

constexpr std::u32string_view kTranslitSource =
    U"ÁÀÂÃÄÅÆĂĄÇĆČĎÉÈÊËĘĚĞÍÌÎÏİĹĽŁÑŃŇÓÒÔÕŐŔŘŠŚŞŢŤÚÙÛÜŮŰÝŽŹŻ"
    U"áàâãäåæªăąç¢ćčðďéèêëęěğíìîïıĺľłñńňóòôõőŕřšśşţťúùûüůűýÿžźż«»°º";
constexpr std::u32string_view kTranslitTarget =
    U"AAAAAAAAACCCDEEEEEEGIIIIILLLNNNOOOOORRSSSTTUUUUUUYZZZ"
    U"aaaaaaaaaaccccddeeeeeegiiiiilllnnnooooorrsssttuuuuuuyyzzz<>..";
static_assert(kTranslitSource.size() == 114 && kTranslitTarget.size() == 114);

constexpr std::u32string_view kAccentedCapitals =
    U"ÁÀÂÃÄÅÆĂĄÇĆČĎÉÈÊËĘĚĞÍÌÎÏİĹĽŁÑŃŇÓÒÔÔÕŐŔŘŠŚŞŢŤÚÙÛÜŮŰÝŽŹŻ";
constexpr std::u32string_view kAccentedSmall =
    U"áàâãäåæªăąç¢ćčðďéèêëęěğíìîïıĺľłñńňóòôõőŕřšśşţťúùûüůűýÿžźż";

std::atomic<char> decimalSeparator{'.'};

bool IsControlBlankOrSeparator(char32_t c) {
    return c <= 0x20 || (c >= 0x7F && c <= 0xA0) || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) ||
           c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

char32_t TableTransliteration(char32_t c) {
    const auto at = kTranslitSource.find(c);
    return at == std::u32string_view::npos ? c : kTranslitTarget[at];
}

std::u32string RemoveAll(std::u32string s, std::u32string_view chars) {
    std::erase_if(s, [&](char32_t c) { return chars.find(c) != std::u32string_view::npos; });
    return s;
}

// One search word against one text word (both transliterated and upper case).
bool WordMatches(std::string_view pattern, std::string_view word) {
    if (pattern == "*")
        return true;
    const bool leading = pattern.starts_with('*');
    const bool trailing = pattern.size() > (leading ? 1u : 0u) && pattern.ends_with('*');
    std::string rest(
        pattern.substr(leading ? 1 : 0, pattern.size() - (leading ? 1 : 0) - (trailing ? 1 : 0)));
    std::erase(rest, '*');
    if (leading && trailing)
        return word.find(rest) != std::string_view::npos;
    if (leading)
        return word.ends_with(rest);
    if (trailing)
        return word.starts_with(rest);
    return word == rest;
}

class TBSString final : public IBSString {
public:
    explicit TBSString(std::string text) : text_(std::move(text)) {}

    IBSString& Add(std::string_view text, std::string_view separator) override {
        if (!text.empty()) {
            if (!text_.empty())
                text_ += separator;
            text_ += text;
        }
        return *this;
    }
    IBSString& Prepend(std::string_view text, std::string_view separator) override {
        if (!text.empty()) {
            if (!text_.empty())
                text_.insert(0, separator);
            text_.insert(0, text);
        }
        return *this;
    }
    const std::string& AsText() const override { return text_; }
    void SetText(std::string text) override { text_ = std::move(text); }
    IBSStringPtr Clone() const override { return std::make_shared<TBSString>(text_); }

private:
    std::string text_;
};

} // namespace

std::string TransliterateText(std::string_view text) {
    std::u32string out;
    out.reserve(text.size());
    for (char32_t c : Utf8ToCodePoints(text)) {
        switch (c) {
        case 180:
        case 8216:
        case 8217:
            out += U'\'';
            break;
        case 196:
            out += U"Ae";
            break;
        case 214:
        case 216:
        case 338:
            out += U"Oe";
            break;
        case 220:
            out += U"Ue";
            break;
        case 222:
            out += U"Th";
            break;
        case 223:
            out += U"ss";
            break;
        case 228:
            out += U"ae";
            break;
        case 246:
        case 248:
        case 339:
            out += U"oe";
            break;
        case 252:
            out += U"ue";
            break;
        case 254:
            out += U"th";
            break;
        case 272:
            out += U"Dj";
            break;
        case 273:
            out += U"dj";
            break;
        case 8220:
        case 8221:
        case 8222:
            out += U'"';
            break;
        default:
            out += TableTransliteration(c);
        }
    }
    for (auto& c : out)
        c = TableTransliteration(c);
    return CodePointsToUtf8(out);
}

std::string TextToIdentifier(std::string_view text) {
    std::string out;
    for (char c : TransliterateText(text))
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_')
            out += c;
    if (!out.empty() && out.front() >= '0' && out.front() <= '9')
        out = "X" + out;
    return out;
}

std::string PadText(std::string_view text, int width, char32_t padChar, TAlignment alignment) {
    const std::u32string cps = Utf8ToCodePoints(text);
    const std::size_t w = width < 0 ? 0 : static_cast<std::size_t>(width);
    if (cps.size() >= w)
        return CodePointsToUtf8(std::u32string_view(cps).substr(0, w));
    const std::size_t missing = w - cps.size();
    std::size_t before = 0;
    if (alignment == taRightJustify)
        before = missing;
    else if (alignment == taCenter)
        before = missing / 2;
    return CodePointsToUtf8(std::u32string(before, padChar) + cps +
                            std::u32string(missing - before, padChar));
}

std::string UpperCaseText(std::string_view text) {
    std::u32string cps = Utf8ToCodePoints(text);
    for (auto& c : cps)
        c = c == U'ı' ? U'I' : UnicodeUpper(c);
    return CodePointsToUtf8(cps);
}

std::string LowerCaseText(std::string_view text) {
    std::u32string cps = Utf8ToCodePoints(text);
    for (auto& c : cps)
        c = c == U'İ' ? U'i' : UnicodeLower(c);
    return CodePointsToUtf8(cps);
}

bool IsEmailAddressText(std::string_view text) {
    const auto at = text.find('@');
    if (at == std::string_view::npos || at == 0 || at + 1 == text.size())
        return false;
    const auto local = text.substr(0, at);
    const auto domain = text.substr(at + 1);
    for (char c : local)
        if (static_cast<unsigned char>(c) < 32 || static_cast<unsigned char>(c) > 126)
            return false;
    if (local.front() == '.' || local.back() == '.')
        return false;
    for (char c : domain)
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
              c == '-' || c == '.'))
            return false;
    return domain.find('.') != std::string_view::npos && domain.front() != '.' &&
           domain.back() != '.';
}

bool TextMatchesWords(std::string_view text, std::string_view search, std::string_view separators) {
    if (search.empty())
        return false;
    const auto words = Tokenize(UpperCaseText(TransliterateText(text)), separators, true);
    const auto wanted = Tokenize(UpperCaseText(TransliterateText(search)), separators, true);
    for (const auto& pattern : *wanted) {
        bool found = false;
        for (const auto& word : *words)
            if ((found = WordMatches(pattern, word)))
                break;
        if (!found)
            return false;
    }
    return true;
}

double TextAsCoordinate(std::string_view text) {
    if (text.empty())
        return 0;
    double sign = 0;
    std::string s(text);
    switch (s.front()) {
    case 'E':
    case 'N':
        sign = 1;
        break;
    case 'S':
    case 'W':
        sign = -1;
        break;
    }
    if (sign != 0)
        s.erase(0, 1);
    std::string degrees = s;
    std::string rest;
    if (const auto deg = s.find("°"); deg != std::string::npos) {
        degrees = s.substr(0, deg);
        rest = s.substr(deg + std::string_view("°").size());
    }
    std::string minutes = rest;
    std::string seconds;
    if (const auto q = rest.find('\''); q != std::string::npos) {
        minutes = rest.substr(0, q);
        seconds = rest.substr(q + 1);
    }
    std::erase(seconds, '"');
    for (auto at = seconds.find("''"); at != std::string::npos; at = seconds.find("''"))
        seconds.erase(at, 2);
    auto number = [](const std::string& part) {
        return ParseLocalFloat(Trim(part)).value_or(0);
    };
    const double value = number(degrees) + number(minutes) / 60 + number(seconds) / 3600;
    return sign != 0 ? value * sign : value;
}

char DecimalSeparator() {
    return decimalSeparator.load();
}

void SetDecimalSeparator(char separator) {
    decimalSeparator.store(separator);
}

std::optional<double> ParseLocalFloat(std::string_view text) {
    const char sep = DecimalSeparator();
    if (sep == '.')
        return ParseFloat(text);
    if (text.find('.') != std::string_view::npos)
        return std::nullopt;
    std::string s(text);
    for (auto& c : s)
        if (c == sep)
            c = '.';
    return ParseFloat(s);
}

std::string AnsiCharsetName() {
    return "Windows-1252";
}

IBSString& IBSString::AddString(const IBSString& other, std::string_view separator) {
    const std::string copy = other.AsText(); // other may be this object
    return Add(copy, separator);
}

IBSString& IBSString::AddPadded(std::string_view text, int width, std::string_view separator,
                                TAlignment alignment, char32_t padChar) {
    return Add(PadText(text, width, padChar, alignment), separator);
}

IBSString& IBSString::AddFormat(std::string_view separator, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const std::string text = FormatV(format, args);
    va_end(args);
    return Add(text, separator);
}

IBSString& IBSString::PrependString(const IBSString& other, std::string_view separator) {
    const std::string copy = other.AsText();
    return Prepend(copy, separator);
}

IBSString& IBSString::PrependPadded(std::string_view text, int width, std::string_view separator,
                                    TAlignment alignment, char32_t padChar) {
    return Prepend(PadText(text, width, padChar, alignment), separator);
}

IBSString& IBSString::PrependFormat(std::string_view separator, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const std::string text = FormatV(format, args);
    va_end(args);
    return Prepend(text, separator);
}

double IBSString::AsFloat(double fallback) const {
    return ParseLocalFloat(TrimView(AsText())).value_or(fallback);
}

std::int32_t IBSString::AsInteger(std::int32_t fallback) const {
    return StrToIntDef(TrimView(AsText()), fallback);
}

bool IBSString::HasNonAscii() const {
    for (char c : AsText())
        if (static_cast<unsigned char>(c) >= 0x80)
            return true;
    return false;
}

bool IBSString::IsLowerCase(bool ignoreAccented) const {
    std::u32string cps = Utf8ToCodePoints(AsText());
    if (ignoreAccented)
        cps = RemoveAll(std::move(cps), kAccentedCapitals);
    const std::string text = CodePointsToUtf8(cps);
    return text == LowerCaseText(text);
}

bool IBSString::IsUpperCase(bool ignoreAccented) const {
    std::u32string cps = Utf8ToCodePoints(AsText());
    if (ignoreAccented)
        cps = RemoveAll(std::move(cps), kAccentedSmall);
    const std::string text = CodePointsToUtf8(cps);
    return text == UpperCaseText(text);
}

bool IBSString::IsEmailAddress() const {
    return IsEmailAddressText(AsText());
}

bool IBSString::MatchesWords(std::string_view search, std::string_view separators) const {
    return TextMatchesWords(AsText(), search, separators);
}

double IBSString::AsCoordinate() const {
    return TextAsCoordinate(AsText());
}

IBSStringPtr IBSString::EncodeReferences(bool asciiOnly, std::string_view terminator) const {
    const char32_t limit = asciiOnly ? 127 : 255;
    std::string out;
    const std::string& text = AsText();
    for (std::size_t i = 0; i < text.size();) {
        char32_t cp;
        const std::size_t n = Utf8Next(text, i, cp);
        if (n == 1 && static_cast<unsigned char>(text[i]) >= 0x80)
            cp = Utf8ToCodePoints(text.substr(i, 1)).front(); // a stray byte of old text
        if (cp > limit) {
            out += "&#" + std::to_string(cp);
            out += terminator;
        } else {
            AppendUtf8(out, cp);
        }
        i += n;
    }
    return NewBSString(out);
}

IBSString& IBSString::CleanName() {
    std::u32string cps = Utf8ToCodePoints(AsText());
    std::size_t from = 0;
    std::size_t to = cps.size();
    while (from < to && IsControlBlankOrSeparator(cps[from]))
        ++from;
    while (to > from && IsControlBlankOrSeparator(cps[to - 1]))
        --to;
    // A no-break space that went through a single-byte reader of UTF-8 text is one space.
    std::u32string core;
    for (std::size_t i = from; i < to; ++i) {
        if (cps[i] == U'Â' && i + 1 < to && cps[i + 1] == 0xA0) {
            core += U' ';
            ++i;
        } else {
            core += cps[i];
        }
    }
    SetText(CodePointsToUtf8(core));
    if (IsUpperCase(true))
        CapitaliseWords();
    return *this;
}

IBSString& IBSString::CapitaliseWords() {
    SetText(marqor::CapitaliseWords(LowerCaseText(AsText())));
    return *this;
}

IBSString& IBSString::Pad(int width, char32_t padChar, TAlignment alignment) {
    SetText(PadText(AsText(), width, padChar, alignment));
    return *this;
}

IBSString& IBSString::ReplaceAll(std::string_view oldText, std::string_view newText) {
    if (oldText.empty())
        return *this;
    const std::string& text = AsText();
    std::string out;
    std::size_t start = 0;
    for (auto at = text.find(oldText); at != std::string::npos; at = text.find(oldText, start)) {
        out.append(text, start, at - start);
        out += newText;
        start = at + oldText.size();
    }
    out.append(text, start);
    SetText(std::move(out));
    return *this;
}

IBSString& IBSString::SubString(int index, int count) {
    const std::u32string cps = Utf8ToCodePoints(AsText());
    const std::size_t from = index < 1 ? 0 : static_cast<std::size_t>(index - 1);
    if (count <= 0 || from >= cps.size()) {
        SetText("");
        return *this;
    }
    SetText(
        CodePointsToUtf8(std::u32string_view(cps).substr(from, static_cast<std::size_t>(count))));
    return *this;
}

IBSString& IBSString::ToIdentifier() {
    SetText(TextToIdentifier(AsText()));
    return *this;
}

IBSString& IBSString::ToLower() {
    SetText(LowerCaseText(AsText()));
    return *this;
}

IBSString& IBSString::ToUpper() {
    SetText(UpperCaseText(AsText()));
    return *this;
}

IBSString& IBSString::Transliterate() {
    SetText(TransliterateText(AsText()));
    return *this;
}

IBSStringPtr NewBSString(std::string_view text) {
    return std::make_shared<TBSString>(std::string(text));
}

IBSStringPtr NewBSStringFromReferences(std::string_view text) {
    std::string out;
    std::size_t start = 0;
    while (true) {
        const auto ref = text.find("&#", start);
        if (ref == std::string_view::npos) {
            out.append(text.substr(start));
            break;
        }
        out.append(text.substr(start, ref - start));
        const auto end = text.find(';', ref + 2);
        if (end == std::string_view::npos) {
            start = ref + 2;
            continue;
        }
        const auto digits = text.substr(ref + 2, end - ref - 2);
        std::uint32_t code = 0;
        bool ok = !digits.empty() && digits.size() <= 7;
        for (char c : digits) {
            if (c < '0' || c > '9') {
                ok = false;
                break;
            }
            code = code * 10 + static_cast<std::uint32_t>(c - '0');
        }
        if (!ok || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            throw EConvertError("'" + std::string(digits) + "' is not a valid character code");
        AppendUtf8(out, code);
        start = end + 1;
    }
    return NewBSString(out);
}

} // namespace marqor
