#pragma once

// The language class of this product family and its accessor for the numbered texts of
// [Data.KAVRIN_G] (general) and [Data.KAVRIN_S] (swimming).

#include "texts/language.h"

#include <string>
#include <string_view>

namespace marqor {

// English only; the language data is the built-in resource "Language_Data".
class TLanguageKavrin final : public TBSLanguage {
public:
    TBSLanguages AvailableLanguages() const override;
    // The resource's lines, decoded by byte-order mark (UTF-8 or UTF-16), else as UTF-8 when
    // valid and as Windows-1252 otherwise; lines end at CR, LF or CR LF. A missing resource
    // raises std::runtime_error.
    IBSStringListPtr LoadLanguageLines(TBSLanguageId language) override;
};

// Texts of the product family by section letter ("G" or "S") and key number.
class TLanguage {
public:
    static TLanguage& Instance();

    // LanguageText("#KAVRIN_" + letter + "." + number, item - 1): item 0 is the whole text,
    // item n the n-th ";"-separated item counted from 1.
    std::string Text(std::string_view letter, int number, int item = 0) const;
};

} // namespace marqor
