#include "controls/edit_rules.h"

#include "foundation/text.h"
#include "foundation/tokenizer.h"
#include "swimming/swim_time.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <vector>

namespace marqor {

namespace {

void EraseAll(std::string& s, std::string_view what) {
    if (what.empty())
        return;
    for (auto pos = s.find(what); pos != std::string::npos; pos = s.find(what, pos))
        s.erase(pos, what.size());
}

void ReplaceAll(std::string& s, std::string_view what, std::string_view with) {
    if (what.empty())
        return;
    std::string out;
    std::size_t from = 0;
    for (auto pos = s.find(what); pos != std::string::npos; pos = s.find(what, from)) {
        out.append(s, from, pos - from);
        out.append(with);
        from = pos + what.size();
    }
    out.append(s, from, std::string::npos);
    s = std::move(out);
}

// A decimal number written with the format's decimal separator, blanks around allowed.
std::optional<double> ReadLocaleNumber(std::string_view text, const TBSFormatSettings& fs) {
    std::string s = Trim(text);
    if (s.empty())
        return std::nullopt;
    if (!fs.DecimalSeparator.empty() && fs.DecimalSeparator != ".") {
        if (s.find('.') != std::string::npos)
            return std::nullopt;
        ReplaceAll(s, fs.DecimalSeparator, ".");
    }
    auto v = ParseFloat(s);
    if (v && !std::isfinite(*v))
        return std::nullopt;
    return v;
}

std::string WithoutThousands(std::string_view text, const TBSFormatSettings& fs) {
    std::string s(text);
    EraseAll(s, fs.ThousandSeparator);
    return s;
}

double Clamp(const TBSEditFormat& f, double x) {
    const double lo = f.MinValue, hi = f.MaxValue;
    if (lo > hi)
        return lo; // a field whose bounds cross has only one value to offer
    return std::clamp(x, lo, hi);
}

// The digits of |value| rounded half away from zero at the given number of decimals, taken from
// its 15 significant digits so that 1.005 reads as the user typed it.
std::string RoundedDigits(double value, int decimals, std::string& whole) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(value));
    std::string mant;
    const char* p = buf;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9')
            mant += *p;
    const int exp = *p == 'e' ? std::atoi(p + 1) : 0;
    const int keep = exp + 1 + decimals; // digits of mant that stay
    std::string digits;
    if (keep <= 0) {
        digits.assign(1, (keep == 0 && mant[0] >= '5') ? '1' : '0');
    } else if (keep >= int(mant.size())) {
        digits = mant + std::string(std::size_t(keep) - mant.size(), '0');
    } else {
        digits = mant.substr(0, std::size_t(keep));
        if (mant[std::size_t(keep)] >= '5') {
            int i = int(digits.size()) - 1;
            while (i >= 0 && digits[std::size_t(i)] == '9')
                digits[std::size_t(i--)] = '0';
            if (i < 0)
                digits = "1" + digits;
            else
                ++digits[std::size_t(i)];
        }
    }
    if (int(digits.size()) <= decimals)
        digits = std::string(std::size_t(decimals) - digits.size() + 1, '0') + digits;
    whole = digits.substr(0, digits.size() - std::size_t(decimals));
    return digits.substr(digits.size() - std::size_t(decimals));
}

std::string Grouped(const std::string& whole, const std::string& separator) {
    std::string out;
    const int n = int(whole.size());
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += separator;
        out += whole[std::size_t(i)];
    }
    return out;
}

// "0", "#,##0", "0.00", ... applied to the value.
std::string FormatFixed(double value, int decimals, bool thousands, const TBSFormatSettings& fs) {
    std::string whole;
    const std::string fraction = RoundedDigits(value, decimals, whole);
    const bool zero = whole.find_first_not_of('0') == std::string::npos &&
                      fraction.find_first_not_of('0') == std::string::npos;
    std::string out = (value < 0 && !zero) ? "-" : "";
    out += thousands ? Grouped(whole, fs.ThousandSeparator) : whole;
    if (decimals > 0)
        out += fs.DecimalSeparator + fraction;
    return out;
}

// Decimals -1: the whole part, then the digits the value needs (at most eight).
std::string FormatShortest(double value, bool thousands, const TBSFormatSettings& fs) {
    const double whole = std::trunc(value);
    std::string out = value < 0 ? "-" : "";
    out += FormatFixed(std::fabs(whole), 0, thousands, fs);
    const double fraction = std::fabs(value - whole);
    if (fraction > 0) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.8f", fraction);
        std::string digits = buf;
        digits = digits.substr(digits.find('.') + 1);
        while (!digits.empty() && digits.back() == '0')
            digits.pop_back();
        if (!digits.empty())
            out += fs.DecimalSeparator + digits;
    }
    return out;
}

int YearInWindow(int year, int currentYear, int window) {
    if (window <= 0)
        return year + currentYear / 100 * 100;
    const int base = currentYear - window;
    year += base / 100 * 100;
    if (year < base)
        year += 100;
    return year;
}

bool AllDigits(std::string_view s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Day, month and year positions (0, 1, 2) in the order of the short date format.
void DateOrder(std::string_view shortFormat, int& dayAt, int& monthAt, int& yearAt) {
    std::vector<char> order;
    for (char c : shortFormat) {
        const char l = char(std::tolower(static_cast<unsigned char>(c)));
        if ((l == 'd' || l == 'm' || l == 'y') &&
            std::find(order.begin(), order.end(), l) == order.end())
            order.push_back(l);
    }
    for (char l : {'d', 'm', 'y'})
        if (std::find(order.begin(), order.end(), l) == order.end())
            order.push_back(l);
    dayAt = int(std::find(order.begin(), order.end(), 'd') - order.begin());
    monthAt = int(std::find(order.begin(), order.end(), 'm') - order.begin());
    yearAt = int(std::find(order.begin(), order.end(), 'y') - order.begin());
}

std::optional<TDateTime> DateFromParts(const std::vector<std::string>& parts, int dayAt,
                                       int monthAt, int yearAt, const TBSFormatSettings& fs,
                                       bool birthdate, int currentYear) {
    if (parts.size() < 2 || parts.size() > 3)
        return std::nullopt;
    for (const auto& p : parts)
        if (!AllDigits(p) || p.size() > 4)
            return std::nullopt;
    int day, month, year;
    if (parts.size() == 3) {
        day = std::stoi(parts[std::size_t(dayAt)]);
        month = std::stoi(parts[std::size_t(monthAt)]);
        const std::string& y = parts[std::size_t(yearAt)];
        year = std::stoi(y);
        if (y.size() <= 2)
            year = YearInWindow(year, currentYear, birthdate ? 103 : fs.TwoDigitYearCenturyWindow);
    } else {
        // Day and month in the order of the format; the year is this year.
        const bool dayFirst = dayAt < monthAt;
        day = std::stoi(parts[dayFirst ? 0 : 1]);
        month = std::stoi(parts[dayFirst ? 1 : 0]);
        year = currentYear;
    }
    return EncodeDateTime(year, month, day);
}

// The date text as the reader takes it: the weekday dropped, month names turned into numbers.
std::string PreparedDateText(const TBSEditFormat& format, std::string_view text,
                             const TBSFormatSettings& fs) {
    std::string s = Trim(text);
    if (format.DateIncludeDay) {
        const auto tokens = Tokenize(s, " ", true);
        s = tokens->Token(1);
    }
    const std::string upper = UnicodeUpper(s);
    std::string out;
    // Month names compared without letter case; the longest name that fits wins.
    std::vector<std::pair<std::string, int>> names;
    for (int m = 0; m < 12; ++m)
        if (!fs.ShortMonthNames[std::size_t(m)].empty())
            names.emplace_back(UnicodeUpper(fs.ShortMonthNames[std::size_t(m)]), m + 1);
    std::sort(names.begin(), names.end(),
              [](const auto& a, const auto& b) { return a.first.size() > b.first.size(); });
    if (upper.size() != s.size())
        return s; // letter case changed the length: leave the text to the reader as it is
    for (std::size_t i = 0; i < s.size();) {
        bool replaced = false;
        for (const auto& [name, month] : names) {
            if (upper.compare(i, name.size(), name) == 0) {
                out += std::to_string(month);
                i += name.size();
                replaced = true;
                break;
            }
        }
        if (!replaced)
            out += s[i++];
    }
    return out;
}

} // namespace

TBSEditType EditTypeFromStored(int stored) {
    return stored >= etString && stored <= etLongitude ? TBSEditType(stored) : etString;
}

bool IsDateEditType(TBSEditType type) {
    return type == etDate || type == etBirthdate;
}

bool IsCoordinateType(TBSEditType type) {
    return type == etLatitude || type == etLongitude;
}

bool IsTextEditType(TBSEditType type) {
    return type == etString || type > etLongitude;
}

bool SameEditNumber(double a, double b) {
    const double scale = std::max({std::fabs(a), std::fabs(b), 1.0});
    return std::fabs(a - b) <= 1e-12 * scale;
}

std::optional<double> ReadCoordinate(std::string_view text, double limit,
                                     const TBSFormatSettings& fs) {
    std::vector<std::string> tokens;
    std::string current;
    const std::u32string cps = Utf8ToCodePoints(text);
    for (char32_t c : cps) {
        if (c == U' ' || c == U'\u00B0' || c == U'\'' || c == U'"') {
            if (!current.empty())
                tokens.push_back(std::move(current));
            current.clear();
        } else {
            AppendUtf8(current, c);
        }
    }
    if (!current.empty())
        tokens.push_back(std::move(current));
    double sign = 1;
    if (!tokens.empty()) {
        const std::string last = AsciiUpper(tokens.back());
        if (std::string_view("NSEW").find(last) != std::string_view::npos) {
            sign = std::string_view("SW").find(last) != std::string_view::npos ? -1 : 1;
            tokens.pop_back();
        }
    }
    if (tokens.empty())
        return 0.0;
    double value = 0;
    const double divisors[] = {1, 60, 3600};
    for (std::size_t i = 0; i < tokens.size() && i < 3; ++i) {
        const auto part = ReadLocaleNumber(tokens[i], fs);
        if (!part)
            return std::nullopt;
        value += *part / divisors[i];
    }
    value *= sign;
    if (std::fabs(value) > 1e9)
        return std::nullopt; // no coordinate is that far round the globe
    while (value > limit)
        value -= 2 * limit;
    while (value < -limit)
        value += 2 * limit;
    return value;
}

std::string CoordinateText(double value, bool latitude) {
    const double seconds = std::nearbyint(std::fabs(value) * 3600);
    const auto total = static_cast<long long>(seconds);
    const char* hemisphere = value >= 0 ? (latitude ? "N" : "E") : (latitude ? "S" : "W");
    return Format("%lld\u00B0 %lld' %lld\" %s", total / 3600, total % 3600 / 60, total % 60,
                  hemisphere);
}

double EditReadFloat(const TBSEditFormat& format, std::string_view text,
                     const TBSFormatSettings& fs) {
    if (IsCoordinateType(format.EditType)) {
        const auto v = ReadCoordinate(text, format.EditType == etLatitude ? 90 : 180, fs);
        return v.value_or(0);
    }
    std::string s(text);
    if (const auto pos = s.find(".--"); pos != std::string::npos)
        s.erase(pos, 3);
    s = WithoutThousands(s, fs);
    return Clamp(format, ReadLocaleNumber(s, fs).value_or(format.DefaultValue));
}

std::int32_t EditReadInteger(const TBSEditFormat& format, std::string_view text,
                             const TBSFormatSettings& fs) {
    const double v = EditReadFloat(format, text, fs);
    const double r = std::nearbyint(v); // the default rounding mode rounds halves to even
    return static_cast<std::int32_t>(std::clamp(r, double(std::numeric_limits<std::int32_t>::min()),
                                                double(std::numeric_limits<std::int32_t>::max())));
}

std::string EditFormatNumber(const TBSEditFormat& format, double value,
                             const TBSFormatSettings& fs) {
    if ((format.NumOptions & neDefaultAsBlank) && SameEditNumber(value, format.DefaultValue))
        return {};
    if ((format.NumOptions & neZeroAsBlank) && SameEditNumber(value, 0))
        return {};
    const double clamped = Clamp(format, value);
    if (IsCoordinateType(format.EditType))
        return CoordinateText(clamped, format.EditType == etLatitude);
    const bool thousands = format.NumOptions & neThousandSeparator;
    if (format.EditType == etCurrency) {
        if (format.Decimals >= 1 && std::trunc(value) == value)
            return FormatFixed(clamped, 0, false, fs) + ".--";
        return FormatFixed(clamped, format.Decimals >= 1 ? 2 : 0, thousands, fs);
    }
    if (format.EditType == etFloat) {
        if (format.Decimals < 0)
            return FormatShortest(clamped, thousands, fs);
        return FormatFixed(clamped, format.Decimals, thousands, fs);
    }
    return FormatFixed(clamped, 0, thousands, fs);
}

std::string EditFormatDate(const TBSEditFormat& format, TDateTime value,
                           const TBSFormatSettings& fs) {
    if (value == OpenEndDateTime)
        return {};
    if (format.EditType == etTime) {
        const double fraction = value - std::floor(value);
        if ((format.NumOptions & neZeroAsBlank) && fraction == 0)
            return {};
        return FormatDateTimeText(format.HourMinutesOnly ? "hh:nn" : "hh:nn:ss", fraction, fs);
    }
    if (value == 0)
        return {};
    if (format.DateYearOnly) {
        const auto parts = DecodeDateTime(value);
        return parts ? std::to_string(parts->Year) : std::string();
    }
    const std::string date = FormatDateTimeText(fs.ShortDateFormat, value, fs);
    if (format.DateIncludeDay && !date.empty())
        return FormatDateTimeText("ddd", value, fs) + "  " + date;
    return date;
}

std::optional<TDateTime> ReadDateText(const TBSEditFormat& format, std::string_view text,
                                      const TBSFormatSettings& fs, int currentYear) {
    const bool birthdate = format.EditType == etBirthdate;
    if (format.DateYearOnly) {
        const auto year = ParseInt(Trim(text));
        if (!year || *year < 1 || *year > 9999)
            return std::nullopt;
        return EncodeDateTime(*year, 1, 1);
    }
    const std::string s = PreparedDateText(format, text, fs);
    if (s.empty())
        return std::nullopt;
    const std::string& sep = fs.DateSeparator;
    const bool separated =
        (!sep.empty() && s.find(sep) != std::string::npos) || s.find('.') != std::string::npos;
    if (separated) {
        std::string unified = s;
        if (!sep.empty() && sep != ".")
            ReplaceAll(unified, sep, ".");
        const auto tokens = Tokenize(unified, ".", false);
        tokens->TrimAll();
        std::vector<std::string> parts(tokens->begin(), tokens->end());
        if (!parts.empty() && parts.back().empty())
            parts.pop_back(); // "12.3." is day and month
        int dayAt, monthAt, yearAt;
        DateOrder(fs.ShortDateFormat, dayAt, monthAt, yearAt);
        return DateFromParts(parts, dayAt, monthAt, yearAt, fs, birthdate, currentYear);
    }
    if (!AllDigits(s))
        return std::nullopt;
    std::string dotted;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (i == 2 || i == 4)
            dotted += '.';
        dotted += s[i];
    }
    const auto tokens = Tokenize(dotted, ".", false);
    std::vector<std::string> parts(tokens->begin(), tokens->end());
    return DateFromParts(parts, 0, 1, 2, fs, birthdate, currentYear);
}

std::optional<TDateTime> ReadTimeText(std::string_view text, bool hourMinutesOnly) {
    std::string s(text);
    std::erase(s, ' ');
    std::vector<std::string> groups;
    const auto parts = Tokenize(s, "h:.,", false);
    for (const auto& part : *parts->AsStringList()) {
        std::vector<std::string> pairs;
        if (part.size() > 2) {
            // Cut into pairs from the right end: "1230" is 12 and 30, "123" is 1 and 23.
            std::size_t end = part.size();
            while (end > 0) {
                const std::size_t begin = end >= 2 ? end - 2 : 0;
                pairs.insert(pairs.begin(), part.substr(begin, end - begin));
                end = begin;
            }
        } else {
            pairs.push_back(part);
        }
        for (auto& g : pairs)
            if (!g.empty() && g[0] >= '0' && g[0] <= '9')
                groups.push_back(std::move(g));
    }
    if (groups.empty())
        return std::nullopt;
    if (groups.size() > 4)
        groups.erase(groups.begin(), groups.end() - 4);
    int units[4] = {0, 0, 0, 0}; // hours, minutes, seconds, milliseconds
    for (std::size_t i = 0; i < groups.size(); ++i) {
        const std::string& g = groups[i];
        const std::size_t digits = g.find_first_not_of("0123456789");
        units[i] = std::stoi(g.substr(0, digits));
    }
    if (units[0] > 23 || units[1] > 59 || units[2] > 59 || units[3] > 999)
        return std::nullopt;
    if (hourMinutesOnly)
        units[2] = units[3] = 0;
    return (units[0] * 3600000.0 + units[1] * 60000.0 + units[2] * 1000.0 + units[3]) / 86400000.0;
}

TDateTime EditReadDate(const TBSEditFormat& format, std::string_view text,
                       const TBSFormatSettings& fs, int currentYear) {
    if (format.EditType == etTime)
        return ReadTimeText(text, format.HourMinutesOnly).value_or(0);
    double d = ReadDateText(format, text, fs, currentYear).value_or(-1);
    if (format.HasDateRange || IsDateEditType(format.EditType))
        d = std::clamp(d, format.DateMin, format.DateMax);
    return std::max(d, 0.0);
}

bool EditTextIsValid(const TBSEditFormat& format, std::string_view text, bool invalidWhenEmpty,
                     const TBSFormatSettings& fs, int currentYear) {
    if (text.empty())
        return !invalidWhenEmpty;
    switch (format.EditType) {
    case etInteger:
        return ParseInt(WithoutThousands(text, fs)).has_value();
    case etFloat:
        return ReadLocaleNumber(WithoutThousands(text, fs), fs).has_value();
    case etDate:
    case etBirthdate:
        return ReadDateText(format, text, fs, currentYear).has_value();
    case etTime:
        return ReadTimeText(text, format.HourMinutesOnly).has_value();
    case etLatitude:
        return ReadCoordinate(text, 90, fs).has_value();
    case etLongitude:
        return ReadCoordinate(text, 180, fs).has_value();
    default:
        return true;
    }
}

std::string EditNormalisedText(const TBSEditFormat& format, std::string_view text,
                               const TBSFormatSettings& fs, int currentYear) {
    switch (format.EditType) {
    case etSwimtime:
        return SwimTimeToText(TextToSwimTime(text));
    case etReactiontime:
        return ReactionTimeToText(TextToReactionTime(text));
    default:
        break;
    }
    if (text.empty())
        return {};
    switch (format.EditType) {
    case etInteger:
        return EditFormatNumber(format, EditReadInteger(format, text, fs), fs);
    case etFloat:
    case etCurrency:
    case etLatitude:
    case etLongitude:
        return EditFormatNumber(format, EditReadFloat(format, text, fs), fs);
    case etDate:
    case etBirthdate:
    case etTime:
        return EditFormatDate(format, EditReadDate(format, text, fs, currentYear), fs);
    default:
        return std::string(text);
    }
}

std::string CutToLength(std::string_view text, int count) {
    if (count <= 0)
        return std::string(text);
    std::size_t i = 0;
    for (int n = 0; n < count && i < text.size(); ++n) {
        char32_t cp;
        i += Utf8Next(text, i, cp);
    }
    return std::string(text.substr(0, i));
}

QPoint PopupPosition(QPoint at, QSize popup, QRect mainWindow) {
    QPoint p = at;
    if (p.x() + popup.width() > mainWindow.right())
        p.rx() -= popup.width() - 21;
    if (p.y() + popup.height() > mainWindow.bottom())
        p.ry() -= popup.height() - 21;
    return p;
}

TDateTime CalendarStartDate(TDateTime wanted, TDateTime min, TDateTime max, TDateTime today) {
    const TDateTime d = std::clamp(wanted, min, std::max(min, max));
    if (d - min < 1 || max - d < 1)
        return today;
    return d;
}

double NumericPadValue(std::string_view text, const TBSFormatSettings& fs) {
    return ReadLocaleNumber(text, fs).value_or(0);
}

TDateTime TodayDate() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return EncodeDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday).value_or(0);
}

int CurrentYear() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local.tm_year + 1900;
}

} // namespace marqor
