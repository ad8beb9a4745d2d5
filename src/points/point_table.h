#pragma once

// A point table: the base times of its events per swimmer group, read from the point table text
// format, and the conversions between times and points that its formula makes of them. Every
// caller works through IBSSwPoints and gets its own object (no table is shared).

#include "points/formulas.h"
#include "swimming/age_range.h"
#include "swimming/swim_style.h"
#include "swimming/types.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace marqor {

enum TBSSwPointTableOption : std::uint8_t {
    ptoFina,     // "FINA": offered in the calculator's FINA mode
    ptoMaster,   // "MASTER": masters age groups
    ptoHandicap, // "HANDICAP": handicap classes
};

// A set of table options: bit n stands for the option of value n.
struct TBSSwPointTableOptions {
    std::uint8_t bits = 0;

    constexpr TBSSwPointTableOptions() = default;
    constexpr explicit TBSSwPointTableOptions(std::uint8_t b) : bits(b) {}
    constexpr TBSSwPointTableOptions(std::initializer_list<TBSSwPointTableOption> options) {
        for (auto o : options)
            Include(o);
    }

    constexpr bool Contains(TBSSwPointTableOption o) const { return (bits >> o) & 1u; }
    constexpr void Include(TBSSwPointTableOption o) { bits = std::uint8_t(bits | (1u << o)); }
    constexpr bool IsEmpty() const { return bits == 0; }
    constexpr bool SharesAny(TBSSwPointTableOptions other) const {
        return (bits & other.bits) != 0;
    }
    friend constexpr bool operator==(TBSSwPointTableOptions, TBSSwPointTableOptions) = default;
};

// Times in milliseconds, points in whole points (tenths where HasDecimalPoints). Missing data
// is never an error: no base time gives 0 points or time 0.
class IBSSwPoints {
public:
    virtual ~IBSSwPoints() = default;

    // Points in course A divided by points in course B (age 99, no class); 1.0 when course B
    // gives no points.
    virtual double CourseFactor(const IBSSwSwimStyle& style, TBSSwGender gender, SwimTime time,
                                TBSSwCourse courseA, TBSSwCourse courseB) const = 0;
    // The time in the other course that scores the same points; yards go through short-course
    // metres with the yard factor of the event.
    virtual SwimTime ConvertTime(const IBSSwSwimStyle& style, TBSSwGender gender, SwimTime time,
                                 TBSSwCourse fromCourse, TBSSwCourse toCourse) const = 0;
    virtual TBSSwCourses Courses() const = 0;
    // "" for 0 and less, "15.5" for 155 tenths, "900" for whole points.
    virtual std::string PointsToText(int points) const = 0;
    virtual bool HasBaseTime(TBSSwCourse course, const IBSSwSwimStyle& style, TBSSwGender gender,
                             int age, int handicap) const = 0;
    virtual int Id() const = 0;
    virtual bool HasDecimalPoints() const = 0;
    // Points against the first group of the table, whatever course, gender, age or class.
    virtual int PointsForAnyGroup(const IBSSwSwimStyle& style, SwimTime time) const = 0;
    virtual std::string Name() const = 0;
    virtual TBSSwPointTableOptions Options() const = 0;
    // 0 when there is no time (no base time, 0 or negative points, LIFESAVING).
    virtual SwimTime TimeFromPoints(TBSSwCourse course, const IBSSwSwimStyle& style,
                                    TBSSwGender gender, int age, int handicap,
                                    int points) const = 0;
    virtual std::string ShortNameVersion() const = 0;
    virtual int PointsFromTime(TBSSwCourse course, const IBSSwSwimStyle& style, TBSSwGender gender,
                               int age, int handicap, SwimTime time) const = 0;
    virtual std::string Version() const = 0;
    // False for a table that holds no base time at all, such as a built-in table whose numbers
    // this edition does not include: every request then gives 0.
    virtual bool HasAnyBaseTime() const = 0;
};
using IBSSwPointsPtr = std::shared_ptr<IBSSwPoints>;

// A text that cannot be read as a point table; the message names the source and the reason.
class EPointTableError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Table texts from outside are refused above this size, and tables with more groups.
inline constexpr std::size_t MaxPointTableTextSize = 16 * 1024 * 1024;
inline constexpr std::size_t MaxPointTableGroups = 100000;

// Which of the two times of an event a lookup asks for.
enum TBSSwBaseTimeKind : std::uint8_t { btkMinimum, btkMaximum };

// The base times of one swimmer group: course, gender, handicap class and age range.
class TBaseTimeTable {
public:
    TBaseTimeTable(TBSSwCourse course, TBSSwGender gender, int handicap, TBSSwAgeRange ageRange);

    const TBSSwAgeRange& AgeRange() const { return ageRange_; }
    TBSSwCourse Course() const { return course_; } // scoNone matches every course
    TBSSwGender Gender() const { return gender_; } // sgeNone matches every gender
    int Handicap() const { return handicap_; }     // 0 matches every class
    bool Matches(TBSSwCourse course, TBSSwGender gender, int age, int handicap) const;

    // The time under the event's key, 0 when the group has none.
    SwimTime MinimumTime(const IBSSwSwimStyle& style) const;
    SwimTime MaximumTime(const IBSSwSwimStyle& style) const;
    SwimTime Time(const IBSSwSwimStyle& style, TBSSwBaseTimeKind kind) const;
    // Keys with at least one time.
    int EventCount() const { return static_cast<int>(times_.size()); }
    bool HasMinimumTimes() const;

    // The event keys of the table format ("1_50_1", "4_100_5", "ID_211") packed into integers;
    // two keys are equal exactly when their texts are.
    using PackedKey = std::uint64_t;
    static PackedKey KeyOf(const IBSSwSwimStyle& style);
    static PackedKey StrokeKey(int relayCount, int distance, TBSSwStroke stroke);
    static PackedKey IdKey(int uniqueId);

    struct Times {
        SwimTime minimum = 0;
        SwimTime maximum = 0;
    };
    // Both times of the event; zeros when the group has none.
    Times Find(PackedKey key) const;

    // While reading: a later valid time for a key replaces the earlier one.
    void Put(PackedKey key, SwimTime minimum, SwimTime maximum);
    void FinishReading();

private:
    struct Entry {
        PackedKey key;
        Times times;
    };

    TBSSwAgeRange ageRange_;
    TBSSwCourse course_;
    TBSSwGender gender_;
    int handicap_;
    std::vector<Entry> times_; // sorted by key once read
};

// A point table read from the point table text format (Key=Value header, the "<BASETIMES>"
// marker, a column line and ";"-separated rows).
class TBSSwBaseTimesPointTable final : public IBSSwPoints {
public:
    // The empty table: no groups, formula CUBED_FINA, no names and no courses.
    TBSSwBaseTimesPointTable();
    ~TBSSwBaseTimesPointTable() override;

    // Replaces everything by the table of the text. Raises EPointTableError, naming the source,
    // for a text without the marker line, over MaxPointTableTextSize or with more than
    // MaxPointTableGroups groups; nothing else in a text stops the reader (unreadable values
    // take their defaults, unusable rows are skipped).
    void ReadFromText(std::string_view text, std::string_view source);

    TBSSwPointFormula Formula() const { return formula_; }
    bool UseMenForMixed() const { return useMenForMixed_; }
    const std::vector<TBaseTimeTable>& Groups() const { return groups_; }

    // The first group, in group order, that matches the request; nullptr when none does.
    const TBaseTimeTable* FindGroup(TBSSwCourse course, TBSSwGender gender, int age,
                                    int handicap) const;
    // The base-time lookup: the time of the first matching group, 0 when there is none.
    SwimTime LookupBaseTime(TBSSwCourse course, const IBSSwSwimStyle& style, TBSSwGender gender,
                            int age, int handicap, TBSSwBaseTimeKind kind) const;

    double CourseFactor(const IBSSwSwimStyle& style, TBSSwGender gender, SwimTime time,
                        TBSSwCourse courseA, TBSSwCourse courseB) const override;
    SwimTime ConvertTime(const IBSSwSwimStyle& style, TBSSwGender gender, SwimTime time,
                         TBSSwCourse fromCourse, TBSSwCourse toCourse) const override;
    TBSSwCourses Courses() const override { return courses_; }
    std::string PointsToText(int points) const override;
    bool HasBaseTime(TBSSwCourse course, const IBSSwSwimStyle& style, TBSSwGender gender, int age,
                     int handicap) const override;
    int Id() const override { return id_; }
    bool HasDecimalPoints() const override { return marqor::HasDecimalPoints(formula_); }
    int PointsForAnyGroup(const IBSSwSwimStyle& style, SwimTime time) const override;
    std::string Name() const override { return name_; }
    TBSSwPointTableOptions Options() const override { return options_; }
    SwimTime TimeFromPoints(TBSSwCourse course, const IBSSwSwimStyle& style, TBSSwGender gender,
                            int age, int handicap, int points) const override;
    std::string ShortNameVersion() const override { return shortNameVersion_; }
    int PointsFromTime(TBSSwCourse course, const IBSSwSwimStyle& style, TBSSwGender gender, int age,
                       int handicap, SwimTime time) const override;
    std::string Version() const override { return version_; }
    bool HasAnyBaseTime() const override;

private:
    class TGroupIndex;

    void Clear();
    void Read(std::string_view text, std::string_view source);

    TBaseTimeTable::Times LookupTimes(TBSSwCourse course, const IBSSwSwimStyle& style,
                                      TBSSwGender gender, int age, int handicap) const;

    int id_ = 0;
    std::string name_;
    std::string shortNameVersion_;
    std::string version_;
    TBSSwPointTableOptions options_;
    TBSSwPointFormula formula_ = pfCubedFina;
    bool useMenForMixed_ = false;
    TBSSwCourses courses_;
    std::vector<TBaseTimeTable> groups_;
    std::unique_ptr<TGroupIndex> index_;
};
using TBSSwBaseTimesPointTablePtr = std::shared_ptr<TBSSwBaseTimesPointTable>;

// A new table read from the text (see ReadFromText).
TBSSwBaseTimesPointTablePtr NewPointTableFromText(std::string_view text, std::string_view source);
// The empty table of id 0.
TBSSwBaseTimesPointTablePtr NewEmptyPointTable();

// The formula of a Formula header value: RUDOLPH, LIFESAVING, CANADIAN, BRITISH, CUBED_DSV and
// CUBED without regard to case; any other word is CUBED_FINA.
TBSSwPointFormula PointFormulaFromText(std::string_view text);

} // namespace marqor
