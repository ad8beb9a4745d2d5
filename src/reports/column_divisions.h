#pragma once

// The column layout of a report line: divisions given in per mille of the column width, written
// as a definition such as "L333;C334;R333" (alignment letter, width).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace marqor {

// The ordinals are those of the text attributes txLeft, txRight, txCentre.
enum TKvrDivAlignment : std::uint8_t { daLeft = 0, daRight = 1, daCentre = 2 };

struct TColDivEntry {
    std::int32_t Position = 0; // per mille, left edge inside the column
    std::int32_t Width = 0;    // per mille
    TKvrDivAlignment Alignment = daLeft;
    friend bool operator==(const TColDivEntry&, const TColDivEntry&) = default;
};

// "C" centres, "R" and "D" align right, any other letter aligns left.
TKvrDivAlignment DivAlignmentOfLetter(char letter);
char LetterOfDivAlignment(TKvrDivAlignment alignment);

class TColDivList {
public:
    // Never rejects a definition: empty fields are skipped, a width that is no number counts as
    // 0, a total above 1000 is cut at the field that passes it (the rest is ignored) and a total
    // below 1000 gets a left-aligned filler.
    void SetDefinition(std::string_view definition);
    // Every field followed by ";".
    std::string Definition() const;

    void Clear() { entries_.clear(); }
    int Count() const { return static_cast<int>(entries_.size()); }
    bool IsEmpty() const { return entries_.empty(); }
    const TColDivEntry& Item(int index) const { return entries_.at(std::size_t(index)); }
    const std::vector<TColDivEntry>& Items() const { return entries_; }
    auto begin() const { return entries_.begin(); }
    auto end() const { return entries_.end(); }

private:
    std::vector<TColDivEntry> entries_;
};

// The width of a definition field: the number after its first character, 0 when that is no
// number. Widths beyond 32 bits count as 0 too, like any other text that is no integer.
std::int32_t DivisionFieldWidth(std::string_view field);

} // namespace marqor
