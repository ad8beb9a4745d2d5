#include "swimming/age_range.h"

#include "foundation/text.h"

#include <algorithm>

namespace marqor {

namespace {

std::string ReplaceMinusOne(std::string_view code) {
    std::string out;
    for (std::size_t i = 0; i < code.size(); ++i) {
        if (code.substr(i, 2) == "-1") {
            out += 'X';
            ++i;
        } else {
            out += code[i];
        }
    }
    return out;
}

} // namespace

TBSSwAgeRange::TBSSwAgeRange(int lowest, int highest) {
    lowest_ = lowest > 0 ? lowest : -1;
    if (highest <= 0 || highest == 109 || highest == 999)
        highest_ = -1;
    else if (highest == 99)
        highest_ = (lowest == 72 || lowest == 80 || lowest == 95) ? 99 : -1;
    else
        highest_ = highest;
}

TBSSwAgeRange TBSSwAgeRange::Empty() {
    return TBSSwAgeRange();
}

std::int64_t TBSSwAgeRange::SortValue() const {
    return (lowest_ <= 0 ? 0 : std::int64_t(lowest_) * 1000) + (highest_ <= 0 ? 0 : highest_);
}

std::string TBSSwAgeRange::Code() const {
    return ReplaceMinusOne(Format("%d_%d", lowest_, highest_));
}

bool TBSSwAgeRange::ContainsAge(int age) const {
    if (lowest_ != -1 && age < lowest_)
        return false;
    if (highest_ == -1)
        return true;
    if (age > highest_)
        return false;
    return age != -1;
}

bool TBSSwAgeRange::ContainsRange(const IBSSwAgeRange& other) const {
    return (lowest_ == -1 || other.MinAge() >= lowest_) &&
           (highest_ == -1 || (other.MaxAge() >= 0 && other.MaxAge() <= highest_));
}

bool TBSSwAgeRange::IsExtendedRange() const {
    if (lowest_ > 119 || highest_ > 118)
        return true;
    const std::string code = Format("%d_%d", lowest_, highest_);
    return code == "72_99" || code == "80_96";
}

bool TBSSwAgeRange::Equals(const IBSSwAgeRange* other) const {
    return other && other->MinAge() == lowest_ && other->MaxAge() == highest_;
}

int TBSSwAgeRange::Span() const {
    if (IsEmpty())
        return 0;
    return (highest_ == -1 ? 2147483647 : highest_) - (lowest_ > 0 ? lowest_ : 0);
}

std::string TBSSwAgeRange::SortKey(bool ascending) const {
    if (IsEmpty())
        return "X";
    if (ascending)
        return Format("%.5d_%.5d", lowest_, highest_);
    return Format("%.5d_%.5d", 999 - lowest_, 999 - highest_);
}

bool TBSSwAgeRange::Overlaps(const IBSSwAgeRange& other) const {
    return ContainsAge(other.MinAge()) || ContainsAge(other.MaxAge()) ||
           other.ContainsAge(lowest_) || other.ContainsAge(highest_);
}

void TBSSwAgeRange::Extend(const IBSSwAgeRange& other) {
    if (other.IsEmpty())
        return;
    if (IsEmpty()) {
        lowest_ = other.MinAge();
        highest_ = other.MaxAge();
        return;
    }
    lowest_ = (lowest_ == -1 || other.MinAge() == -1) ? -1 : std::min(lowest_, other.MinAge());
    highest_ = (highest_ == -1 || other.MaxAge() == -1) ? -1 : std::max(highest_, other.MaxAge());
}

IBSSwAgeRangePtr NewAgeRange(int lowest, int highest) {
    return std::make_shared<TBSSwAgeRange>(lowest, highest);
}

IBSSwAgeRangePtr NewEmptyAgeRange() {
    return std::make_shared<TBSSwAgeRange>(TBSSwAgeRange::Empty());
}

} // namespace marqor
