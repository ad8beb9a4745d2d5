#pragma once

// An age range is a closed or open interval of ages (-1 for an open side); point tables group
// their base times by age range. An age of -1 (not given) lies only in a range open on both
// sides.

#include <cstdint>
#include <memory>
#include <string>

namespace marqor {

class IBSSwAgeRange;
using IBSSwAgeRangePtr = std::shared_ptr<IBSSwAgeRange>;

// The lowest age of the empty range (no range given).
inline constexpr int EmptyAgeRangeLowest = 2147483647;

class IBSSwAgeRange {
public:
    virtual ~IBSSwAgeRange() = default;

    virtual int MaxAge() const = 0; // -1 when open
    virtual int MinAge() const = 0; // -1 when open
    // lowest * 1000 + highest, open sides counting 0.
    virtual std::int64_t SortValue() const = 0;
    // "X_24", "25_29", "95_X", "X_X".
    virtual std::string Code() const = 0;
    virtual bool ContainsAge(int age) const = 0;
    virtual bool ContainsRange(const IBSSwAgeRange& other) const = 0;
    virtual bool IsOpen() const = 0;
    // Ranges beyond the usual ages: lowest above 119, highest above 118, or 72_99 and 80_96.
    virtual bool IsExtendedRange() const = 0;
    virtual bool Equals(const IBSSwAgeRange* other) const = 0; // false for no range
    // 0 for the empty range; an open top counts as 2147483647, an open bottom as 0.
    virtual int Span() const = 0;
    // "X" for the empty range, else "%.5d_%.5d" of the ages, or of 999 minus them descending.
    virtual std::string SortKey(bool ascending) const = 0;
    virtual bool Overlaps(const IBSSwAgeRange& other) const = 0;
    // Widens this range to cover the other. An empty range takes the other's bounds; extending
    // by the empty range changes nothing.
    virtual void Extend(const IBSSwAgeRange& other) = 0;
    virtual bool IsEmpty() const = 0;
};

class TBSSwAgeRange final : public IBSSwAgeRange {
public:
    // lowest: kept above 0, else -1. highest: -1 when 0 or below, 109 or 999; 99 stays only
    // after a lowest of 72, 80 or 95 (the masters groups that end there) and means "and older"
    // otherwise.
    TBSSwAgeRange(int lowest, int highest);
    static TBSSwAgeRange Empty();

    int MaxAge() const override { return highest_; }
    int MinAge() const override { return lowest_; }
    std::int64_t SortValue() const override;
    std::string Code() const override;
    bool ContainsAge(int age) const override;
    bool ContainsRange(const IBSSwAgeRange& other) const override;
    bool IsOpen() const override { return lowest_ == -1 && highest_ == -1; }
    bool IsExtendedRange() const override;
    bool Equals(const IBSSwAgeRange* other) const override;
    int Span() const override;
    std::string SortKey(bool ascending) const override;
    bool Overlaps(const IBSSwAgeRange& other) const override;
    void Extend(const IBSSwAgeRange& other) override;
    bool IsEmpty() const override { return lowest_ == EmptyAgeRangeLowest; }

private:
    TBSSwAgeRange() = default;

    int lowest_ = EmptyAgeRangeLowest;
    int highest_ = -1;
};

IBSSwAgeRangePtr NewAgeRange(int lowest, int highest);
IBSSwAgeRangePtr NewEmptyAgeRange();

} // namespace marqor
