#include "foundation/date_time.h"

#include "foundation/text.h"

#include <cmath>
#include <mutex>

namespace marqor {

namespace {

constexpr std::int64_t kMsPerDay = 86'400'000;
// Days from 1970-01-01 back to 1899-12-30.
constexpr std::int64_t kUnixEpochDays = 25569;

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& year, int& month, int& day) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    year = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2));
    month = static_cast<int>(m);
    day = static_cast<int>(d);
}

bool IsLeapYear(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int y, int m) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeapYear(y) ? 29 : kDays[m - 1];
}

std::mutex formatterLock;
std::function<std::string(TDateTime)>& Formatter() {
    static std::function<std::string(TDateTime)> f;
    return f;
}

} // namespace

std::optional<TDateTime> TryEncodeDate(int year, int month, int day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > DaysInMonth(year, month))
        return std::nullopt;
    return static_cast<double>(
        DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) +
        kUnixEpochDays);
}

std::optional<TDateTime> TryEncodeTime(int hour, int minute, int second, int millisecond) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
        millisecond < 0 || millisecond > 999)
        return std::nullopt;
    const std::int64_t ms = ((hour * 60LL + minute) * 60 + second) * 1000 + millisecond;
    return static_cast<double>(ms) / kMsPerDay;
}

TBSDateTimeParts DecodeDateTime(TDateTime value) {
    TBSDateTimeParts p;
    if (!std::isfinite(value) || std::fabs(value) > 3e6)
        return p;
    // The day is the integral part; the time of day is the fraction's magnitude, also before
    // 1899, where the stored value is negative.
    double whole = std::trunc(value);
    std::int64_t ms = std::llround(std::fabs(value - whole) * kMsPerDay);
    if (ms >= kMsPerDay) {
        ms -= kMsPerDay;
        whole += value < 0 ? -1 : 1;
    }
    CivilFromDays(static_cast<std::int64_t>(whole) - kUnixEpochDays, p.year, p.month, p.day);
    p.hour = static_cast<int>(ms / 3'600'000);
    p.minute = static_cast<int>(ms / 60'000 % 60);
    p.second = static_cast<int>(ms / 1000 % 60);
    p.millisecond = static_cast<int>(ms % 1000);
    return p;
}

TDateTime DateTimeFromTimespec(const std::timespec& ts) {
    std::tm local{};
    const std::time_t t = ts.tv_sec;
    localtime_r(&t, &local);
    const std::int64_t localSeconds = static_cast<std::int64_t>(t) + local.tm_gmtoff;
    const double ms = static_cast<double>(localSeconds) * 1000.0 + ts.tv_nsec / 1'000'000;
    return ms / kMsPerDay + kUnixEpochDays;
}

std::timespec TimespecFromDateTime(TDateTime value) {
    const auto p = DecodeDateTime(value);
    std::tm local{};
    local.tm_year = p.year - 1900;
    local.tm_mon = p.month - 1;
    local.tm_mday = p.day;
    local.tm_hour = p.hour;
    local.tm_min = p.minute;
    local.tm_sec = p.second;
    local.tm_isdst = -1;
    std::timespec ts{};
    ts.tv_sec = std::mktime(&local);
    ts.tv_nsec = static_cast<long>(p.millisecond) * 1'000'000;
    return ts;
}

TDateTime Now() {
    std::timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return DateTimeFromTimespec(ts);
}

std::string DateTimeDigits(TDateTime value) {
    const auto p = DecodeDateTime(value);
    return Format("%04d%02d%02d%02d%02d%02d%03d", p.year, p.month, p.day, p.hour, p.minute,
                  p.second, p.millisecond);
}

std::optional<TDateTime> DateTimeFromDigits(std::string_view digits) {
    if (digits.size() != 17)
        return std::nullopt;
    for (char c : digits)
        if (c < '0' || c > '9')
            return std::nullopt;
    auto part = [&](std::size_t at, std::size_t n) {
        int v = 0;
        for (std::size_t i = at; i < at + n; ++i)
            v = v * 10 + (digits[i] - '0');
        return v;
    };
    const auto date = TryEncodeDate(part(0, 4), part(4, 2), part(6, 2));
    const auto time = TryEncodeTime(part(8, 2), part(10, 2), part(12, 2), part(14, 3));
    if (!date || !time)
        return std::nullopt;
    return *date + *time;
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
    const auto p = DecodeDateTime(value);
    return Format("%02d.%02d.%04d", p.day, p.month, p.year);
}

void SetShortDateFormatter(std::function<std::string(TDateTime)> formatter) {
    std::lock_guard lock(formatterLock);
    Formatter() = std::move(formatter);
}

} // namespace marqor
