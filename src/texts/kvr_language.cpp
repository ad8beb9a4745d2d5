#include "texts/kvr_language.h"

#include "foundation/resources.h"
#include "foundation/text.h"

#include <stdexcept>

namespace marqor {

TBSLanguages TLanguageKavrin::AvailableLanguages() const {
    return {LanguageEnglish};
}

IBSStringListPtr TLanguageKavrin::LoadLanguageLines(TBSLanguageId /*language*/) {
    const auto bytes = FindResource("Language_Data");
    if (!bytes)
        throw std::runtime_error("Language data: the built-in resource 'Language_Data' is missing");
    auto lines = NewStringList();
    lines->SetLines(DecodeTextBytes(*bytes));
    return lines;
}

TLanguage& TLanguage::Instance() {
    static TLanguage instance;
    return instance;
}

std::string TLanguage::Text(std::string_view letter, int number, int item) const {
    return LanguageText(Format("#KAVRIN_%.*s.%d", int(letter.size()), letter.data(), number),
                        item - 1);
}

} // namespace marqor
