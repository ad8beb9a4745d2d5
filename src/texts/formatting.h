#pragma once

// Number, date and time formats of a language, and the two formatters that use them: format
// strings with placeholders (%s, %d, %n, ...) taken from language texts, and date-time patterns
// (dd.mm.yyyy hh:nn). Translated texts are data, not code, so a placeholder that does not fit
// its argument raises EConvertError instead of reading the wrong argument.

#include "foundation/settings.h"

#include <array>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

namespace marqor {

// The locale settings that belong to a language: separators, formats, month and day names.
struct TBSFormatSettings {
    std::uint8_t CurrencyFormat = 0; // 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $"
    std::uint8_t NegCurrFormat = 1;  // 0 .. 15, the sixteen forms of a negative amount
    std::string ThousandSeparator = ",";
    std::string DecimalSeparator = ".";
    std::uint8_t CurrencyDecimals = 2;
    std::string DateSeparator = "/";
    std::string TimeSeparator = ":";
    std::string ListSeparator = ",";
    std::string CurrencyString = "$";
    std::string ShortDateFormat = "dd/mm/yyyy";
    std::string LongDateFormat = "dd mmmm yyyy";
    std::string TimeAMString = "AM";
    std::string TimePMString = "PM";
    std::string ShortTimeFormat = "hh:nn";
    std::string LongTimeFormat = "hh:nn:ss";
    std::array<std::string, 12> ShortMonthNames; // January first
    std::array<std::string, 12> LongMonthNames;
    std::array<std::string, 7> ShortDayNames; // Sunday first
    std::array<std::string, 7> LongDayNames;
    int TwoDigitYearCenturyWindow = 50;
};

// English names and the formats above. The process starts from these rather than from the
// machine's locale, so texts and dates read the same on every machine until a language says
// otherwise.
TBSFormatSettings DefaultFormatSettings();

// The process-wide record that formatting without a language uses. The language object sets
// its month and day names when the main thread selects a language.
TBSFormatSettings ProcessFormatSettings();
void SetProcessFormatSettings(const TBSFormatSettings& settings);

// One argument of a format string.
class TBSFormatArg {
public:
    enum class Kind { Integer, Float, Text };

    template <typename T>
    requires std::is_integral_v<T> TBSFormatArg(T value)
        : kind_(Kind::Integer), integer_(static_cast<std::int64_t>(value)) {}
    TBSFormatArg(double value) : kind_(Kind::Float), float_(value) {}
    TBSFormatArg(const char* text) : kind_(Kind::Text), text_(text ? text : "") {}
    TBSFormatArg(std::string_view text) : kind_(Kind::Text), text_(text) {}
    TBSFormatArg(const std::string& text) : kind_(Kind::Text), text_(text) {}

    Kind kind() const { return kind_; }
    std::int64_t integer() const { return integer_; }
    double floating() const { return kind_ == Kind::Integer ? double(integer_) : float_; }
    const std::string& text() const { return text_; }

private:
    Kind kind_;
    std::int64_t integer_ = 0;
    double float_ = 0;
    std::string text_;
};

// Placeholders "%" [index ":"] ["-"] [width] ["." precision] type, where index, width and
// precision may be "*" (taken from the arguments) and type is one of
//   d decimal (precision: least digits)      u unsigned decimal     x hexadecimal
//   e scientific (precision: digits, 15)     f fixed (decimals, 2)  g general (digits, 15)
//   n fixed with thousand separators (2)     m money (the currency's decimals)
//   s text (precision: most characters)      p an integer as 8 hexadecimal digits
// and "%%" is a percent sign. Widths and precisions count characters. A placeholder without an
// argument of its kind (a float or an integer for e, f, g, n, m) raises EConvertError.
std::string FormatText(std::string_view format, std::span<const TBSFormatArg> args,
                       const TBSFormatSettings& settings);
// With the process-wide settings.
std::string FormatText(std::string_view format, std::initializer_list<TBSFormatArg> args);

// Date-time patterns, letters without regard to case:
//   d dd (day)  ddd dddd (short and long day name)  ddddd dddddd (short and long date format)
//   m mm (month, or minutes right after an hour)    mmm mmmm (short and long month name)
//   yy yyyy  h hh  n nn  s ss  z zzz  t tt (short and long time format)  c (short date and,
//   when the time is not midnight, long time)  am/pm a/p ampm (and 12-hour clock)
//   / (date separator)  : (time separator)  "..." '...' (literal text)
// An empty pattern is "c". A value outside the years 1 .. 9999 gives the empty text.
std::string FormatDateTimeText(std::string_view format, TDateTime value,
                               const TBSFormatSettings& settings);

} // namespace marqor
