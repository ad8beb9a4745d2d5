#pragma once

// How a typed edit field reads, checks and writes its text. The field (TBSEdit) only holds the
// text and these settings; every decision lives here, where a test reaches it without a window.
// Separators, date formats and month names come from the format settings passed in, which the
// field takes from the current language.

#include "foundation/settings.h"
#include "texts/formatting.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace marqor {

// The order is the stored form of the property.
enum TBSEditType : std::uint8_t {
    etString,
    etInteger,
    etFloat,
    etDate,
    etTime,
    etCurrency,
    etKey,
    etSwimtime,
    etReactiontime,
    etBirthdate,
    etLatitude,
    etLongitude,
};
// A stored number beyond etLongitude behaves as etString.
TBSEditType EditTypeFromStored(int stored);

enum TBSNumEditOption : std::uint8_t {
    neThousandSeparator = 1,
    neZeroAsBlank = 2,
    neDefaultAsBlank = 4,
    neNumericPadEdit = 8,
};
using TBSNumEditOptions = std::uint8_t; // a set of TBSNumEditOption bits

enum TBSUserChangeDelay : std::uint8_t {
    ucdDelayed,
    ucdImmediate,
    ucdOnExit,
};

// The user-change timer of every control: the quiet time after the last editing input.
inline constexpr int UserChangeDelayMs = 200;

// The settings of a field that decide how its text reads and how a value is written.
struct TBSEditFormat {
    TBSEditType EditType = etString;
    std::int32_t MinValue = std::numeric_limits<std::int32_t>::min();
    std::int32_t MaxValue = std::numeric_limits<std::int32_t>::max();
    int Decimals = 2;
    double DefaultValue = 0;
    TBSNumEditOptions NumOptions = neThousandSeparator;
    bool DateIncludeDay = false;
    bool DateYearOnly = false;
    bool HourMinutesOnly = true;
    // The range of an attached date behaviour; date fields always have one.
    bool HasDateRange = false;
    TDateTime DateMin = 0;
    TDateTime DateMax = OpenEndDateTime;
};

bool IsDateEditType(TBSEditType type);   // etDate, etBirthdate
bool IsCoordinateType(TBSEditType type); // etLatitude, etLongitude
bool IsTextEditType(TBSEditType type);   // etString

// Equal within a relative difference of 1e-12 (at least 1e-12 absolute).
bool SameEditNumber(double a, double b);

// The number in the text: ".--" and thousand separators removed, read in the given format,
// DefaultValue when it is no number, then clamped to MinValue..MaxValue. Coordinate types read
// a coordinate instead (0 when unreadable) and are not clamped.
double EditReadFloat(const TBSEditFormat& format, std::string_view text,
                     const TBSFormatSettings& fs);
// EditReadFloat rounded to the nearest integer, halves to even.
std::int32_t EditReadInteger(const TBSEditFormat& format, std::string_view text,
                             const TBSFormatSettings& fs);
// Degrees, minutes and seconds split at blanks, degree signs, apostrophes and double quotes,
// with an optional final N, S, E or W (S and W negative), brought into -limit..limit by whole
// turns. Nothing when a part is no number.
std::optional<double> ReadCoordinate(std::string_view text, double limit,
                                     const TBSFormatSettings& fs);
// 33° 30' 0" S: whole seconds (halves to even), hemisphere N/E from 0 on, S/W below.
std::string CoordinateText(double value, bool latitude);

// The text a number is written as: blank for the default or zero when the options say so,
// grouped thousands, Decimals decimals for etFloat, two for etCurrency ("12.--" for a whole
// amount), rounded half away from zero, clamped first; coordinates as CoordinateText.
std::string EditFormatNumber(const TBSEditFormat& format, double value,
                             const TBSFormatSettings& fs);

// The date or time as the field writes it: empty for 0 (dates only) and for 73050; the year
// alone, the weekday before the date, the short date, or "hh:nn" / "hh:nn:ss" for times.
std::string EditFormatDate(const TBSEditFormat& format, TDateTime value,
                           const TBSFormatSettings& fs);
// The date a date text stands for, as typed: with separators in the order of the short date
// format (a missing year is the current year), or digits only as ddmmyy / ddmmyyyy. Two-digit
// years fall into the format's century window, for birth dates into the hundred years that end
// four years before the current year. Nothing when unreadable.
std::optional<TDateTime> ReadDateText(const TBSEditFormat& format, std::string_view text,
                                      const TBSFormatSettings& fs, int currentYear);
// The time of day a time text stands for: groups split at "h", ":", "." and ",", long groups cut
// into pairs from the right; the last group is the smallest unit. Nothing without a group or for
// a time outside the day.
std::optional<TDateTime> ReadTimeText(std::string_view text, bool hourMinutesOnly);
// The date or time of the field's text, clamped to the date range; 0 when unreadable.
TDateTime EditReadDate(const TBSEditFormat& format, std::string_view text,
                       const TBSFormatSettings& fs, int currentYear);

// Whether the text reads as the field's type; swim times, currency and texts are always valid.
bool EditTextIsValid(const TBSEditFormat& format, std::string_view text, bool invalidWhenEmpty,
                     const TBSFormatSettings& fs, int currentYear);
// The text that replaces the input when the focus leaves the field: empty for an empty text,
// otherwise the normal form of the value it reads (clamped numbers, the fallback's text for
// unreadable ones). etKey is the behaviour's business and keeps the text here.
std::string EditNormalisedText(const TBSEditFormat& format, std::string_view text,
                               const TBSFormatSettings& fs, int currentYear);

// The first count code points of the text; the whole text for count 0 or less.
std::string CutToLength(std::string_view text, int count);

// Where a popup opened at a screen point goes: moved left by its width less 21 when it would
// pass the main window's right edge, and up by its height less 21 when it would pass the bottom.
QPoint PopupPosition(QPoint at, QSize popup, QRect mainWindow);
// The date a calendar shows for a wanted date: clamped into the range, and today when that is
// not at least one day inside both ends.
TDateTime CalendarStartDate(TDateTime wanted, TDateTime min, TDateTime max, TDateTime today);
// The numeric pad's text read as a number; 0 when it is none.
double NumericPadValue(std::string_view text, const TBSFormatSettings& fs);

// Today's date without time, and its year, from the system clock.
TDateTime TodayDate();
int CurrentYear();

} // namespace marqor
