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

// The open end of a date range: 31 December 2099.
inline constexpr TDateTime OpenEndDate = 73050.0;

struct TBSDateTimeParts {
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

// Nothing for a day that does not exist (31 April, month 13, year 0 or above 9999).
std::optional<TDateTime> TryEncodeDate(int year, int month, int day);
// Nothing for hours above 23, minutes or seconds above 59, milliseconds above 999.
std::optional<TDateTime> TryEncodeTime(int hour, int minute, int second, int millisecond = 0);
TBSDateTimeParts DecodeDateTime(TDateTime value);

// The current local date and time.
TDateTime Now();
// Local date-time of a point in time, and back.
TDateTime DateTimeFromTimespec(const std::timespec& ts);
std::timespec TimespecFromDateTime(TDateTime value);

// "yyyymmddhhnnsszzz": 17 digits, the stored form of date-times.
std::string DateTimeDigits(TDateTime value);
// Reads the 17-digit form; any other length or an invalid part gives nothing.
std::optional<TDateTime> DateTimeFromDigits(std::string_view digits);

// The short date form of the current language. The language layer installs its formatter; until
// then dates read "dd.mm.yyyy". A value of 0 gives the empty text.
std::string ShortDateText(TDateTime value);
void SetShortDateFormatter(std::function<std::string(TDateTime)> formatter);

} // namespace marqor
