#include "reports/column_divisions.h"

#include "foundation/text.h"

namespace marqor {

TKvrDivAlignment DivAlignmentOfLetter(char letter) {
    switch (letter) {
    case 'C':
        return daCentre;
    case 'R':
    case 'D':
        return daRight;
    default:
        return daLeft;
    }
}

char LetterOfDivAlignment(TKvrDivAlignment alignment) {
    switch (alignment) {
    case daCentre:
        return 'C';
    case daRight:
        return 'R';
    default:
        return 'L';
    }
}

std::int32_t DivisionFieldWidth(std::string_view field) {
    if (field.size() < 2)
        return 0;
    return StrToIntDef(field.substr(1), 0);
}

void TColDivList::SetDefinition(std::string_view definition) {
    entries_.clear();
    std::int64_t total = 0;
    std::size_t start = 0;
    while (start <= definition.size()) {
        std::size_t end = definition.find(';', start);
        if (end == std::string_view::npos)
            end = definition.size();
        const std::string_view field = definition.substr(start, end - start);
        start = end + 1;
        if (field.empty())
            continue;
        TColDivEntry entry;
        entry.Position = static_cast<std::int32_t>(total);
        entry.Width = DivisionFieldWidth(field);
        entry.Alignment = DivAlignmentOfLetter(field[0]);
        total += entry.Width;
        if (total > 1000) {
            entry.Width -= static_cast<std::int32_t>(total - 1000);
            total = 1000;
            entries_.push_back(entry);
            break;
        }
        entries_.push_back(entry);
    }
    if (total < 1000)
        entries_.push_back(
            {static_cast<std::int32_t>(total), static_cast<std::int32_t>(1000 - total), daLeft});
}

std::string TColDivList::Definition() const {
    std::string text;
    for (const TColDivEntry& entry : entries_) {
        text += LetterOfDivAlignment(entry.Alignment);
        text += std::to_string(entry.Width);
        text += ';';
    }
    return text;
}

} // namespace marqor
