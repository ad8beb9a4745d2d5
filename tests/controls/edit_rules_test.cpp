#include "controls/edit_rules.h"
#include "swimming/swim_time.h"

#include <gtest/gtest.h>
#include <limits>
#include <ostream>

using namespace marqor;

namespace {

const TBSFormatSettings kFs = DefaultFormatSettings();

TBSEditFormat Of(TBSEditType type, std::int32_t min = std::numeric_limits<std::int32_t>::min(),
                 std::int32_t max = std::numeric_limits<std::int32_t>::max()) {
    TBSEditFormat f;
    f.EditType = type;
    f.MinValue = min;
    f.MaxValue = max;
    if (type == etInteger)
        f.Decimals = 0;
    if (IsDateEditType(type))
        f.HasDateRange = true;
    return f;
}

TBSEditFormat WithOptions(TBSEditFormat f, TBSNumEditOptions options, int decimals = 2) {
    f.NumOptions = options;
    f.Decimals = decimals;
    return f;
}

TDateTime Day(int y, int m, int d) {
    return *EncodeDateTime(y, m, d);
}

// What the user typed, what the field reads and what it shows after leaving it.
struct ExitCase {
    const char* name;
    TBSEditFormat format;
    const char* typed;
    double reads;
    const char* shows;
    bool valid;
};

void PrintTo(const ExitCase& c, std::ostream* os) {
    *os << c.name << " '" << c.typed << "'";
}

class EditTextOnExit : public testing::TestWithParam<ExitCase> {};

TEST_P(EditTextOnExit, ReadsTheClampedValueAndShowsItsNormalForm) {
    const ExitCase& c = GetParam();
    const TBSEditType type = c.format.EditType;
    if (type == etSwimtime)
        EXPECT_EQ(TextToSwimTime(c.typed), c.reads);
    else if (IsDateEditType(type) || type == etTime)
        EXPECT_DOUBLE_EQ(EditReadDate(c.format, c.typed, kFs, 2026), c.reads);
    else
        EXPECT_DOUBLE_EQ(EditReadFloat(c.format, c.typed, kFs), c.reads);
    EXPECT_EQ(EditNormalisedText(c.format, c.typed, kFs, 2026), c.shows);
    EXPECT_EQ(EditTextIsValid(c.format, c.typed, false, kFs, 2026), c.valid);
}

const ExitCase kExitCases[] = {
    // The calculator's age: an empty field reads as the clamped default and stays empty.
    {"age", Of(etInteger, 1, 999), "", 1, "", true},
    {"age", Of(etInteger, 1, 999), "abc", 1, "1", false},
    {"age", Of(etInteger, 1, 999), "1500", 999, "999", true},
    // The calculator's points: thousands grouped after the clamp.
    {"points", Of(etInteger, 0, 1200), "1300", 1200, "1,200", true},
    {"points", Of(etInteger, 0, 1200), "1500", 1200, "1,200", true},
    {"points", Of(etInteger, 0, 1200), "", 0, "", true},
    {"points", Of(etInteger, 0, 1200), "1,100", 1100, "1,100", true},
    {"points rounded to even", Of(etInteger), "2.5", 2.5, "2", false},
    {"float", Of(etFloat), "1234.5", 1234.5, "1,234.50", true},
    {"float", Of(etFloat), "1.005", 1.005, "1.01", true},
    {"float", Of(etFloat), "-0.004", -0.004, "0.00", true},
    {"float", Of(etFloat), "x", 0, "0.00", false},
    {"currency", WithOptions(Of(etCurrency), neThousandSeparator), "12.5", 12.5, "12.50", true},
    {"currency", WithOptions(Of(etCurrency), neThousandSeparator), "12", 12, "12.--", true},
    {"currency", WithOptions(Of(etCurrency), neThousandSeparator), "12.--", 12, "12.--", true},
    {"currency", WithOptions(Of(etCurrency), neThousandSeparator), "1234.5", 1234.5, "1,234.50",
     true},
    // Swim times are always valid; an unreadable one reads as no time and empties the field.
    {"swim time", Of(etSwimtime), "1:05", 1050, "1.05", true},
    {"swim time", Of(etSwimtime), "21.65", 21650, "21.65", true},
    {"swim time", Of(etSwimtime), "1 42 00", 102000, "1:42.00", true},
    {"swim time", Of(etSwimtime), "abc", NoSwimTime, "", true},
    {"latitude", Of(etLatitude), "33 30 S", -33.5, "33\u00B0 30' 0\" S", true},
    {"latitude", Of(etLatitude), "100", -80, "80\u00B0 0' 0\" S", true},
    {"latitude", Of(etLatitude), "47\u00B0 22' 30\" N", 47.375, "47\u00B0 22' 30\" N", true},
    {"latitude", Of(etLatitude), "4x 30 N", 0, "0\u00B0 0' 0\" N", false},
    {"longitude", Of(etLongitude), "8 30 W", -8.5, "8\u00B0 30' 0\" W", true},
    {"longitude", Of(etLongitude), "190", -170, "170\u00B0 0' 0\" W", true},
    {"date", Of(etDate), "12/03/2024", Day(2024, 3, 12), "12/03/2024", true},
    {"date", Of(etDate), "12.3.2024", Day(2024, 3, 12), "12/03/2024", true},
    {"date", Of(etDate), "12032024", Day(2024, 3, 12), "12/03/2024", true},
    {"date", Of(etDate), "120324", Day(2024, 3, 12), "12/03/2024", true},
    {"date without year", Of(etDate), "12/3", Day(2026, 3, 12), "12/03/2026", true},
    {"date with a month name", Of(etDate), "12/Mar/2024", Day(2024, 3, 12), "12/03/2024", true},
    {"date", Of(etDate), "31/02/2024", 0, "", false},
    {"date", Of(etDate), "soon", 0, "", false},
    {"date beyond the range", Of(etDate), "1/1/2100", 73050, "", true},
    {"two-digit year", Of(etDate), "1/1/75", Day(2075, 1, 1), "01/01/2075", true},
    {"two-digit year", Of(etDate), "1/1/76", Day(1976, 1, 1), "01/01/1976", true},
    {"two-digit birth year", Of(etBirthdate), "1/1/20", Day(2020, 1, 1), "01/01/2020", true},
    {"two-digit birth year", Of(etBirthdate), "1/1/23", Day(1923, 1, 1), "01/01/1923", true},
    {"two-digit birth year", Of(etBirthdate), "1/1/22", Day(2022, 1, 1), "01/01/2022", true},
    {"time", Of(etTime), "14:30", 14.5 / 24, "14:30", true},
    {"time", Of(etTime), "1430", 14.5 / 24, "14:30", true},
    {"time", Of(etTime), "9h5", (9 + 5 / 60.) / 24, "09:05", true},
    {"time of hours only", Of(etTime), "7", 7. / 24, "07:00", true},
    {"time outside the day", Of(etTime), "25:00", 0, "00:00", false},
    {"time without digits", Of(etTime), "abc", 0, "00:00", false},
};

INSTANTIATE_TEST_SUITE_P(Cases, EditTextOnExit, testing::ValuesIn(kExitCases));

TEST(EditFormatNumber, BlanksTheDefaultOrZeroOnlyWhenAsked) {
    TBSEditFormat f = Of(etInteger);
    f.DefaultValue = 5;
    EXPECT_EQ(EditFormatNumber(f, 5, kFs), "5");
    f.NumOptions = neDefaultAsBlank;
    EXPECT_EQ(EditFormatNumber(f, 5, kFs), "");
    EXPECT_EQ(EditFormatNumber(f, 5 + 1e-14, kFs), "");
    EXPECT_EQ(EditFormatNumber(f, 0, kFs), "0");
    f.NumOptions = neZeroAsBlank;
    EXPECT_EQ(EditFormatNumber(f, 0, kFs), "");
    EXPECT_EQ(EditFormatNumber(f, 1234567, kFs), "1234567");
}

TEST(EditFormatNumber, UsesTheSeparatorsOfTheFormat) {
    TBSFormatSettings swiss = kFs;
    swiss.ThousandSeparator.assign(1, '\'');
    swiss.DecimalSeparator.assign(1, ',');
    EXPECT_EQ(EditFormatNumber(Of(etFloat), 1234567.891, swiss), "1'234'567,89");
    EXPECT_DOUBLE_EQ(EditReadFloat(Of(etFloat), "1'234,5", swiss), 1234.5);
    EXPECT_FALSE(EditTextIsValid(Of(etFloat), "1.5", false, swiss, 2026));
}

TEST(EditFormatNumber, ShowsAsManyDecimalsAsNeededForMinusOne) {
    EXPECT_EQ(EditFormatNumber(WithOptions(Of(etFloat), 0, -1), 12.25, kFs), "12.25");
    EXPECT_EQ(EditFormatNumber(WithOptions(Of(etFloat), 0, -1), 12, kFs), "12");
}

TEST(EditFormatDate, WritesYearWeekdayOrNothingAsTheFieldAsks) {
    TBSEditFormat f = Of(etDate);
    EXPECT_EQ(EditFormatDate(f, 0, kFs), "");
    EXPECT_EQ(EditFormatDate(f, OpenEndDateTime, kFs), "");
    f.DateIncludeDay = true;
    EXPECT_EQ(EditFormatDate(f, Day(2024, 3, 12), kFs), "Tue  12/03/2024");
    EXPECT_DOUBLE_EQ(EditReadDate(f, "Tue  12/03/2024", kFs, 2026), Day(2024, 3, 12));
    f.DateIncludeDay = false;
    f.DateYearOnly = true;
    EXPECT_EQ(EditFormatDate(f, Day(2024, 3, 12), kFs), "2024");
    EXPECT_DOUBLE_EQ(EditReadDate(f, "1999", kFs, 2026), Day(1999, 1, 1));
    EXPECT_FALSE(EditTextIsValid(f, "0", false, kFs, 2026));
}

TEST(EditFormatDate, ShowsMidnightAsATimeUnlessZeroIsBlank) {
    TBSEditFormat f = Of(etTime);
    EXPECT_EQ(EditFormatDate(f, 0, kFs), "00:00");
    f.HourMinutesOnly = false;
    EXPECT_EQ(EditFormatDate(f, (10 * 3600 + 5 * 60 + 7) / 86400.0, kFs), "10:05:07");
    f.NumOptions = neZeroAsBlank;
    EXPECT_EQ(EditFormatDate(f, 0, kFs), "");
}

TEST(ReadTimeText, KeepsSecondsOnlyWhenTheFieldShowsThem) {
    const double withSeconds = (10 * 3600 + 5 * 60 + 7) / 86400.0;
    EXPECT_DOUBLE_EQ(*ReadTimeText("10:05:07", false), withSeconds);
    EXPECT_DOUBLE_EQ(*ReadTimeText("100507", false), withSeconds);
    EXPECT_DOUBLE_EQ(*ReadTimeText("10:05:07", true), (10 * 3600 + 5 * 60) / 86400.0);
    EXPECT_FALSE(ReadTimeText("", true));
    EXPECT_FALSE(ReadTimeText("12:60", true));
}

TEST(EditTextIsValid, CountsAnEmptyFieldInvalidOnlyWhenAsked) {
    EXPECT_TRUE(EditTextIsValid(Of(etInteger), "", false, kFs, 2026));
    EXPECT_FALSE(EditTextIsValid(Of(etInteger), "", true, kFs, 2026));
    EXPECT_FALSE(EditTextIsValid(Of(etString), "", true, kFs, 2026));
    EXPECT_TRUE(EditTextIsValid(Of(etInteger), "1,200", false, kFs, 2026));
    EXPECT_FALSE(EditTextIsValid(Of(etInteger), "99999999999", false, kFs, 2026));
}

TEST(EditTypeFromStored, TreatsUnknownTypesAsText) {
    EXPECT_EQ(EditTypeFromStored(7), etSwimtime);
    EXPECT_EQ(EditTypeFromStored(12), etString);
    EXPECT_EQ(EditTypeFromStored(-1), etString);
}

TEST(CutToLength, CountsCharactersNotBytes) {
    EXPECT_EQ(CutToLength("Zürich", 3), "Zür");
    EXPECT_EQ(CutToLength("Zürich", 0), "Zürich");
    EXPECT_EQ(CutToLength("ab", 5), "ab");
}

TEST(PopupPosition, MovesLeftAndUpOnlyWhereThePopupWouldLeaveTheMainWindow) {
    const QRect main(0, 0, 800, 600);
    EXPECT_EQ(PopupPosition({100, 100}, {240, 227}, main), QPoint(100, 100));
    EXPECT_EQ(PopupPosition({700, 100}, {240, 227}, main), QPoint(700 - 219, 100));
    EXPECT_EQ(PopupPosition({100, 500}, {240, 227}, main), QPoint(100, 500 - 206));
}

TEST(CalendarStartDate, ShowsTodayForADateAtOrOutsideTheEnds) {
    const TDateTime today = Day(2026, 5, 1);
    EXPECT_DOUBLE_EQ(CalendarStartDate(Day(2024, 3, 12), 0, 73050, today), Day(2024, 3, 12));
    EXPECT_DOUBLE_EQ(CalendarStartDate(0, 0, 73050, today), today);
    EXPECT_DOUBLE_EQ(CalendarStartDate(80000, 0, 73050, today), today);
    EXPECT_DOUBLE_EQ(CalendarStartDate(Day(2020, 1, 1), Day(2024, 1, 1), 73050, today), today);
}

TEST(NumericPadValue, ReadsTheTextInTheCurrentFormatOrZero) {
    EXPECT_DOUBLE_EQ(NumericPadValue("-12.5", kFs), -12.5);
    EXPECT_DOUBLE_EQ(NumericPadValue("1.2.3", kFs), 0);
    EXPECT_DOUBLE_EQ(NumericPadValue("", kFs), 0);
}

} // namespace
