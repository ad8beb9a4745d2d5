#pragma once

// The date-time value shared by all subsystems: a count of days since 30 December 1899 whose
// fraction is the time of day. 0 means "no date".

#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <string>

namespace marqor {

using TDateTime = double;
inline constexpr TDateTime NoDateTime = 0;
// 31 December 2099, the open end of a date range.
inline constexpr TDateTime OpenEndDateTime = 73050;

struct TBSDateRange {
    TDateTime From = 0;
    TDateTime To = OpenEndDateTime;
    friend bool operator==(const TBSDateRange&, const TBSDateRange&) = default;
};
// The range (from, to); (0, 0) stands for the whole range (0, 73050).
TBSDateRange MakeDateRange(TDateTime from, TDateTime to);

struct TBSDateTimeParts {
    int Year = 1899;
    int Month = 12;
    int Day = 30;
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
    int Millisecond = 0;
    int DayOfWeek = 7; // 1 Sunday .. 7 Saturday
};

// Nothing when a part is out of its range (years 1 .. 9999). Before 30 December 1899 the day
// count is negative and the time of day still counts forwards: -1.25 is 29 December, 06:00.
std::optional<TDateTime> EncodeDateTime(int year, int month, int day, int hour = 0, int minute = 0,
                                        int second = 0, int millisecond = 0);
// Nothing for a day that does not exist (31 April, month 13, year 0 or above 9999).
std::optional<TDateTime> TryEncodeDate(int year, int month, int day);
// Nothing for hours above 23, minutes or seconds above 59, milliseconds above 999.
std::optional<TDateTime> TryEncodeTime(int hour, int minute, int second, int millisecond = 0);
// Rounded to the millisecond; nothing for a value outside the years 1 .. 9999.
std::optional<TBSDateTimeParts> DecodeDateTime(TDateTime value);
// The same, with 30 December 1899 for a value outside the years 1 .. 9999.
TBSDateTimeParts DecodeDateTimeParts(TDateTime value);

// The current local date and time.
TDateTime Now();
// Local date-time of a point in time, and back.
TDateTime DateTimeFromTimespec(const std::timespec& ts);
std::timespec TimespecFromDateTime(TDateTime value);

// "yyyymmddhhnnsszzz": 17 digits, the stored form of date-times. A value outside the years
// 1 .. 9999 has no such form and gives "".
std::string DateTimeToStampText(TDateTime value);
// Exactly 17 digits that make a valid moment, else nothing.
std::optional<TDateTime> StampTextToDateTime(std::string_view text);

// The short date form of the current language. The language layer installs its formatter; until
// then dates read "dd.mm.yyyy". A value of 0 gives the empty text.
std::string ShortDateText(TDateTime value);
void SetShortDateFormatter(std::function<std::string(TDateTime)> formatter);

} // namespace marqor
