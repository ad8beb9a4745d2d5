#include "texts/formatting.h"

#include "foundation/errors.h"
#include "foundation/text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <mutex>

namespace marqor {

namespace {

// Beyond this a width or precision is a damaged text, not a layout.
constexpr int kMaxWidth = 4096;

std::mutex& ProcessSettingsMutex() {
    static std::mutex m;
    return m;
}

TBSFormatSettings& ProcessSettingsSlot() {
    static TBSFormatSettings settings = DefaultFormatSettings();
    return settings;
}

[[noreturn]] void FormatError(std::string_view format) {
    throw EConvertError("Format '" + std::string(format) +
                        "' invalid or incompatible with argument");
}

std::string ReplaceDecimalPoint(std::string digits, const TBSFormatSettings& fs) {
    const auto dot = digits.find('.');
    if (dot != std::string::npos)
        digits.replace(dot, 1, fs.DecimalSeparator);
    return digits;
}

std::string FixedDigits(double value, int decimals) {
    char buf[512];
    const int n = std::snprintf(buf, sizeof buf, "%.*f", decimals, std::fabs(value));
    if (n < 0 || n >= int(sizeof buf)) {
        // Huge values: scientific is all that fits.
        std::snprintf(buf, sizeof buf, "%.*E", decimals, std::fabs(value));
    }
    return buf;
}

// Integer digits grouped in threes.
std::string Grouped(std::string digits, const TBSFormatSettings& fs) {
    const auto dot = digits.find('.');
    const std::size_t intEnd = dot == std::string::npos ? digits.size() : dot;
    if (digits.find_first_not_of("0123456789.") != std::string::npos)
        return digits;
    std::string out;
    for (std::size_t i = 0; i < intEnd; ++i) {
        if (i > 0 && (intEnd - i) % 3 == 0)
            out += fs.ThousandSeparator;
        out += digits[i];
    }
    out += digits.substr(intEnd);
    return out;
}

std::string GeneralDigits(double value, int precision) {
    if (value == 0)
        return "0";
    precision = std::clamp(precision, 1, 17);
    char buf[64];
    const auto [end, ec] =
        std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, precision);
    if (ec != std::errc())
        return "0";
    std::string text(buf, end);
    const auto e = text.find('e');
    if (e == std::string::npos)
        return text;
    std::string_view exponent = std::string_view(text).substr(e + 1);
    const bool negative = exponent.front() == '-';
    exponent.remove_prefix(1);
    while (exponent.size() > 1 && exponent.front() == '0')
        exponent.remove_prefix(1);
    return text.substr(0, e) + "E" + (negative ? "-" : "") + std::string(exponent);
}

std::string ScientificDigits(double value, int precision) {
    precision = std::clamp(precision, 1, 18);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*E", precision - 1, value);
    std::string text(buf);
    // Three exponent digits, as the old platform wrote them: 1.5E+003.
    const auto e = text.find('E');
    if (e != std::string::npos && e + 2 < text.size()) {
        std::string digits = text.substr(e + 2);
        while (digits.size() < 3)
            digits.insert(digits.begin(), '0');
        text = text.substr(0, e + 2) + digits;
    }
    return text;
}

std::string Money(double value, int decimals, const TBSFormatSettings& fs) {
    static constexpr std::string_view positive[4] = {"$1", "1$", "$ 1", "1 $"};
    static constexpr std::string_view negative[16] = {
        "($1)", "-$1",  "$-1",  "$1-",  "(1$)", "-1$",  "1-$",   "1$-",
        "-1 $", "-$ 1", "1 $-", "$ 1-", "$ -1", "1- $", "($ 1)", "(1 $)"};
    const std::string number = ReplaceDecimalPoint(Grouped(FixedDigits(value, decimals), fs), fs);
    const std::string_view pattern =
        value < 0 ? negative[fs.NegCurrFormat % 16] : positive[fs.CurrencyFormat % 4];
    std::string out;
    for (char c : pattern) {
        if (c == '$')
            out += fs.CurrencyString;
        else if (c == '1')
            out += number;
        else
            out += c;
    }
    return out;
}

std::string Hex(std::int64_t value, int minDigits) {
    const std::uint64_t bits = (value >= INT32_MIN && value <= UINT32_MAX)
                                   ? std::uint64_t(std::uint32_t(value))
                                   : std::uint64_t(value);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%llX", static_cast<unsigned long long>(bits));
    std::string text(buf);
    while (int(text.size()) < minDigits)
        text.insert(text.begin(), '0');
    return text;
}

std::string Decimal(std::int64_t value, int minDigits) {
    std::string digits = std::to_string(value < 0 ? -static_cast<std::uint64_t>(value)
                                                  : static_cast<std::uint64_t>(value));
    while (int(digits.size()) < minDigits)
        digits.insert(digits.begin(), '0');
    return value < 0 ? "-" + digits : digits;
}

// ---------------------------------------------------------------------------------------------
// Date-time patterns

bool StartsWithNoCase(std::string_view s, std::size_t at, std::string_view what) {
    return s.size() - at >= what.size() && SameText(s.substr(at, what.size()), what);
}

// Whether an am/pm marker follows in the rest of the pattern, which switches hours to 12.
bool Uses12HourClock(std::string_view f, std::size_t from) {
    for (std::size_t i = from; i < f.size(); ++i) {
        const char c = f[i];
        if (c == '"' || c == '\'') {
            const auto close = f.find(c, i + 1);
            if (close == std::string_view::npos)
                return false;
            i = close;
        } else if (StartsWithNoCase(f, i, "am/pm") || StartsWithNoCase(f, i, "a/p") ||
                   StartsWithNoCase(f, i, "ampm")) {
            return true;
        }
    }
    return false;
}

void AppendNumber(std::string& out, int value, int digits) {
    std::string text = std::to_string(value);
    while (int(text.size()) < digits)
        text.insert(text.begin(), '0');
    out += text;
}

void AppendDateTime(std::string& out, std::string_view f, const TBSDateTimeParts& p, bool hasTime,
                    const TBSFormatSettings& fs, int depth) {
    if (depth > 2)
        return; // a format that names itself would never end
    if (f.empty())
        f = "c";
    char last = 0; // the last pattern letter, so that "m" after an hour means minutes
    for (std::size_t i = 0; i < f.size();) {
        const char c = f[i];
        const char u = static_cast<char>(AsciiUpper(std::string_view(&c, 1))[0]);
        std::size_t count = 1;
        while (i + count < f.size() && SameText(f.substr(i + count, 1), std::string_view(&c, 1)))
            ++count;
        switch (u) {
        case '"':
        case '\'': {
            const auto close = f.find(c, i + 1);
            const std::size_t end = close == std::string_view::npos ? f.size() : close;
            out += f.substr(i + 1, end - i - 1);
            i = end == f.size() ? end : end + 1;
            continue;
        }
        case 'A':
            if (StartsWithNoCase(f, i, "ampm")) {
                out += p.Hour < 12 ? fs.TimeAMString : fs.TimePMString;
                i += 4;
            } else if (StartsWithNoCase(f, i, "am/pm")) {
                const std::string_view shown = f.substr(i + (p.Hour < 12 ? 0 : 3), 2);
                out += shown;
                i += 5;
            } else if (StartsWithNoCase(f, i, "a/p")) {
                out += f.substr(i + (p.Hour < 12 ? 0 : 2), 1);
                i += 3;
            } else {
                out += c;
                ++i;
            }
            continue;
        case 'C':
            AppendDateTime(out, fs.ShortDateFormat, p, hasTime, fs, depth + 1);
            if (hasTime) {
                out += ' ';
                AppendDateTime(out, fs.LongTimeFormat, p, hasTime, fs, depth + 1);
            }
            break;
        case 'D':
            switch (count) {
            case 1:
                AppendNumber(out, p.Day, 1);
                break;
            case 2:
                AppendNumber(out, p.Day, 2);
                break;
            case 3:
                out += fs.ShortDayNames[p.DayOfWeek - 1];
                break;
            case 4:
                out += fs.LongDayNames[p.DayOfWeek - 1];
                break;
            case 5:
                AppendDateTime(out, fs.ShortDateFormat, p, hasTime, fs, depth + 1);
                break;
            default:
                AppendDateTime(out, fs.LongDateFormat, p, hasTime, fs, depth + 1);
                break;
            }
            break;
        case 'M':
            if (last == 'H' && count <= 2) {
                AppendNumber(out, p.Minute, int(count));
            } else {
                switch (count) {
                case 1:
                    AppendNumber(out, p.Month, 1);
                    break;
                case 2:
                    AppendNumber(out, p.Month, 2);
                    break;
                case 3:
                    out += fs.ShortMonthNames[p.Month - 1];
                    break;
                default:
                    out += fs.LongMonthNames[p.Month - 1];
                    break;
                }
            }
            break;
        case 'Y':
            if (count <= 2)
                AppendNumber(out, p.Year % 100, 2);
            else
                AppendNumber(out, p.Year, 4);
            break;
        case 'H': {
            int hour = p.Hour;
            if (Uses12HourClock(f, i)) {
                hour %= 12;
                if (hour == 0)
                    hour = 12;
            }
            AppendNumber(out, hour, count >= 2 ? 2 : 1);
            break;
        }
        case 'N':
            AppendNumber(out, p.Minute, count >= 2 ? 2 : 1);
            break;
        case 'S':
            AppendNumber(out, p.Second, count >= 2 ? 2 : 1);
            break;
        case 'Z':
            AppendNumber(out, p.Millisecond, count >= 3 ? 3 : 1);
            break;
        case 'T':
            AppendDateTime(out, count == 1 ? fs.ShortTimeFormat : fs.LongTimeFormat, p, hasTime, fs,
                           depth + 1);
            break;
        case '/':
            for (std::size_t k = 0; k < count; ++k)
                out += fs.DateSeparator;
            break;
        case ':':
            for (std::size_t k = 0; k < count; ++k)
                out += fs.TimeSeparator;
            break;
        default:
            out += f.substr(i, count);
            break;
        }
        if (std::string_view("CDMYHNSZT").find(u) != std::string_view::npos)
            last = u;
        i += count;
    }
}

} // namespace

TBSFormatSettings DefaultFormatSettings() {
    TBSFormatSettings fs;
    fs.ShortMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    fs.LongMonthNames = {"January", "February", "March",     "April",   "May",      "June",
                         "July",    "August",   "September", "October", "November", "December"};
    fs.ShortDayNames = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    fs.LongDayNames = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                       "Thursday", "Friday", "Saturday"};
    return fs;
}

TBSFormatSettings ProcessFormatSettings() {
    std::lock_guard lock(ProcessSettingsMutex());
    return ProcessSettingsSlot();
}

void SetProcessFormatSettings(const TBSFormatSettings& settings) {
    std::lock_guard lock(ProcessSettingsMutex());
    ProcessSettingsSlot() = settings;
}

std::string FormatText(std::string_view format, std::span<const TBSFormatArg> args,
                       const TBSFormatSettings& fs) {
    std::string out;
    std::size_t next = 0; // the next argument
    auto take = [&]() -> const TBSFormatArg& {
        if (next >= args.size())
            FormatError(format);
        return args[next++];
    };
    for (std::size_t i = 0; i < format.size();) {
        const char c = format[i++];
        if (c != '%') {
            out += c;
            continue;
        }
        if (i >= format.size())
            FormatError(format);
        if (format[i] == '%') {
            out += '%';
            ++i;
            continue;
        }
        auto number = [&]() -> std::optional<int> {
            if (i < format.size() && format[i] == '*') {
                ++i;
                const auto& a = take();
                if (a.kind() != TBSFormatArg::Kind::Integer)
                    FormatError(format);
                if (a.integer() > kMaxWidth)
                    FormatError(format);
                return int(std::max<std::int64_t>(a.integer(), -1));
            }
            if (i >= format.size() || format[i] < '0' || format[i] > '9')
                return std::nullopt;
            int v = 0;
            while (i < format.size() && format[i] >= '0' && format[i] <= '9') {
                v = v * 10 + (format[i++] - '0');
                if (v > kMaxWidth)
                    FormatError(format);
            }
            return v;
        };
        std::optional<int> first = number();
        if (first && i < format.size() && format[i] == ':') {
            next = std::size_t(std::max(*first, 0));
            ++i;
            first.reset();
        }
        bool left = false;
        if (!first) {
            if (i < format.size() && format[i] == '-') {
                left = true;
                ++i;
            }
            first = number();
        }
        const int width = first.value_or(-1);
        int precision = -1;
        if (i < format.size() && format[i] == '.') {
            ++i;
            precision = number().value_or(0);
        }
        if (i >= format.size())
            FormatError(format);
        const char type = static_cast<char>(AsciiUpper(format.substr(i++, 1))[0]);
        const TBSFormatArg& arg = take();
        const bool isInteger = arg.kind() == TBSFormatArg::Kind::Integer;
        const bool isNumber = arg.kind() != TBSFormatArg::Kind::Text;
        std::string text;
        switch (type) {
        case 'D':
            if (!isInteger)
                FormatError(format);
            text = Decimal(arg.integer(), precision);
            break;
        case 'U':
            if (!isInteger)
                FormatError(format);
            text = Decimal(arg.integer() < 0 && arg.integer() >= INT32_MIN
                               ? std::int64_t(std::uint32_t(arg.integer()))
                               : arg.integer(),
                           precision);
            break;
        case 'X':
            if (!isInteger)
                FormatError(format);
            text = Hex(arg.integer(), precision);
            break;
        case 'P':
            if (!isInteger)
                FormatError(format);
            text = Hex(arg.integer(), 8);
            break;
        case 'E':
            if (!isNumber)
                FormatError(format);
            text = ReplaceDecimalPoint(
                ScientificDigits(arg.floating(), precision < 0 ? 15 : precision), fs);
            break;
        case 'F':
        case 'N': {
            if (!isNumber)
                FormatError(format);
            const double v = arg.floating();
            std::string digits = FixedDigits(v, precision < 0 ? 2 : precision);
            if (type == 'N')
                digits = Grouped(digits, fs);
            const bool negative = v < 0 && digits.find_first_not_of("0.,") != std::string::npos;
            text = ReplaceDecimalPoint(std::move(digits), fs);
            if (negative)
                text.insert(text.begin(), '-');
            break;
        }
        case 'G':
            if (!isNumber)
                FormatError(format);
            text = ReplaceDecimalPoint(
                GeneralDigits(arg.floating(), precision < 0 ? 15 : precision), fs);
            break;
        case 'M':
            if (!isNumber)
                FormatError(format);
            text = Money(arg.floating(), precision < 0 ? fs.CurrencyDecimals : precision, fs);
            break;
        case 'S':
            if (arg.kind() != TBSFormatArg::Kind::Text)
                FormatError(format);
            text = precision >= 0 ? std::string(Utf8Prefix(arg.text(), std::size_t(precision)))
                                  : arg.text();
            break;
        default:
            FormatError(format);
        }
        const auto length = static_cast<int>(Utf8Length(text));
        if (width > length) {
            const std::string pad(std::size_t(width - length), ' ');
            text = left ? text + pad : pad + text;
        }
        out += text;
    }
    return out;
}

std::string FormatText(std::string_view format, std::initializer_list<TBSFormatArg> args) {
    return FormatText(format, std::span<const TBSFormatArg>(args.begin(), args.size()),
                      ProcessFormatSettings());
}

std::string FormatDateTimeText(std::string_view format, TDateTime value,
                               const TBSFormatSettings& settings) {
    const auto parts = DecodeDateTime(value);
    if (!parts)
        return "";
    const bool hasTime = parts->Hour || parts->Minute || parts->Second || parts->Millisecond;
    std::string out;
    AppendDateTime(out, format, *parts, hasTime, settings, 0);
    return out;
}

} // namespace marqor
