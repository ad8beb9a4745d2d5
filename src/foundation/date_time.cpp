#include "foundation/date_time.h"

#include "foundation/text.h"

#include <cmath>
#include <mutex>

namespace marqor {

namespace {

// Calendar arithmetic (proleptic Gregorian, days relative to 1970-01-01)

constexpr std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

struct Civil {
    std::int64_t year;
    unsigned month;
    unsigned day;
};

constexpr Civil CivilFromDays(std::int64_t z) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {y + (m <= 2), m, d};
}

constexpr std::int64_t kEpochDays = DaysFromCivil(1899, 12, 30); // -25569
constexpr std::int64_t kMsPerDay = 86400000;
// 1 January 0001 and 1 January 10000 as day counts of the settings.
constexpr double kFirstDay = double(DaysFromCivil(1, 1, 1) - kEpochDays);
constexpr double kEndDay = double(DaysFromCivil(10000, 1, 1) - kEpochDays);

bool IsLeapYear(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int y, int m) {
    static constexpr int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeapYear(y) ? 29 : days[m - 1];
}

std::mutex formatterLock;
std::function<std::string(TDateTime)>& Formatter() {
    static std::function<std::string(TDateTime)> f;
    return f;
}

} // namespace

std::optional<TDateTime> TryEncodeDate(int year, int month, int day) {
    return EncodeDateTime(year, month, day);
}

std::optional<TDateTime> TryEncodeTime(int hour, int minute, int second, int millisecond) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
        millisecond < 0 || millisecond > 999)
        return std::nullopt;
    const std::int64_t ms = ((hour * 60LL + minute) * 60 + second) * 1000 + millisecond;
    return static_cast<double>(ms) / kMsPerDay;
}

TBSDateTimeParts DecodeDateTimeParts(TDateTime value) {
    return DecodeDateTime(value).value_or(TBSDateTimeParts{});
}

TBSDateRange MakeDateRange(TDateTime from, TDateTime to) {
    if (from == 0 && to == 0)
        return {0, OpenEndDateTime};
    return {from, to};
}

std::optional<TDateTime> EncodeDateTime(int year, int month, int day, int hour, int minute,
                                        int second, int millisecond) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > DaysInMonth(year, month) || hour < 0 || hour > 23 || minute < 0 || minute > 59 ||
        second < 0 || second > 59 || millisecond < 0 || millisecond > 999)
        return std::nullopt;
    const double date = double(DaysFromCivil(year, unsigned(month), unsigned(day)) - kEpochDays);
    const double time =
        double(((hour * 60 + minute) * 60 + second) * 1000 + millisecond) / double(kMsPerDay);
    return date >= 0 ? date + time : date - time;
}

std::optional<TBSDateTimeParts> DecodeDateTime(TDateTime value) {
    if (!std::isfinite(value) || value <= kFirstDay - 1 || value >= kEndDay)
        return std::nullopt;
    const auto ms = std::llround(value * double(kMsPerDay));
    const std::int64_t day = ms / kMsPerDay; // towards zero: the time of day counts forwards
    const std::int64_t time = (ms < 0 ? -ms : ms) % kMsPerDay;
    const Civil c = CivilFromDays(day + kEpochDays);
    if (c.year < 1 || c.year > 9999)
        return std::nullopt;
    TBSDateTimeParts p;
    p.Year = int(c.year);
    p.Month = int(c.month);
    p.Day = int(c.day);
    p.Hour = int(time / 3600000);
    p.Minute = int(time / 60000 % 60);
    p.Second = int(time / 1000 % 60);
    p.Millisecond = int(time % 1000);
    // 1 January 0001 was a Monday; counting from it keeps the modulo positive.
    p.DayOfWeek = int((day + kEpochDays - DaysFromCivil(1, 1, 1) + 1) % 7) + 1;
    return p;
}

std::string DateTimeToStampText(TDateTime value) {
    const auto p = DecodeDateTime(value);
    if (!p)
        return "";
    return Format("%04d%02d%02d%02d%02d%02d%03d", p->Year, p->Month, p->Day, p->Hour, p->Minute,
                  p->Second, p->Millisecond);
}

std::optional<TDateTime> StampTextToDateTime(std::string_view text) {
    if (text.size() != 17)
        return std::nullopt;
    for (char c : text)
        if (c < '0' || c > '9')
            return std::nullopt;
    auto part = [&](std::size_t at, std::size_t n) {
        int v = 0;
        for (std::size_t i = at; i < at + n; ++i)
            v = v * 10 + (text[i] - '0');
        return v;
    };
    return EncodeDateTime(part(0, 4), part(4, 2), part(6, 2), part(8, 2), part(10, 2), part(12, 2),
                          part(14, 3));
}

TDateTime DateTimeFromTimespec(const std::timespec& ts) {
    std::tm local{};
    const std::time_t t = ts.tv_sec;
    localtime_r(&t, &local);
    const std::int64_t localSeconds = static_cast<std::int64_t>(t) + local.tm_gmtoff;
    const double ms = static_cast<double>(localSeconds) * 1000.0 + ts.tv_nsec / 1'000'000;
    return ms / kMsPerDay + (-kEpochDays);
}

std::timespec TimespecFromDateTime(TDateTime value) {
    const auto p = DecodeDateTimeParts(value);
    std::tm local{};
    local.tm_year = p.Year - 1900;
    local.tm_mon = p.Month - 1;
    local.tm_mday = p.Day;
    local.tm_hour = p.Hour;
    local.tm_min = p.Minute;
    local.tm_sec = p.Second;
    local.tm_isdst = -1;
    std::timespec ts{};
    ts.tv_sec = std::mktime(&local);
    ts.tv_nsec = static_cast<long>(p.Millisecond) * 1'000'000;
    return ts;
}

TDateTime Now() {
    std::timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return DateTimeFromTimespec(ts);
}

std::string ShortDateText(TDateTime value) {
    if (value == 0)
        return "";
    std::function<std::string(TDateTime)> formatter;
    {
        std::lock_guard lock(formatterLock);
        formatter = Formatter();
    }
    if (formatter)
        return formatter(value);
    const auto p = DecodeDateTimeParts(value);
    return Format("%02d.%02d.%04d", p.Day, p.Month, p.Year);
}

void SetShortDateFormatter(std::function<std::string(TDateTime)> formatter) {
    std::lock_guard lock(formatterLock);
    Formatter() = std::move(formatter);
}

} // namespace marqor
