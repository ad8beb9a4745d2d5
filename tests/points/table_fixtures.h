#pragma once

// Shared by the point table tests: the product's language (the table reader reads course,
// gender and stroke words through the swimming vocabulary), table texts and events.

#include "foundation/resources.h"
#include "points/point_table.h"
#include "swimming/swim_style.h"
#include "swimming/swim_time.h"
#include "texts/kvr_language.h"

#include <string>
#include <string_view>

namespace marqor::testing_tables {

inline const bool LanguageRegistered = (RegisterLanguageClass<TLanguageKavrin>(), true);

inline std::string BuiltInText(std::string_view name) {
    return std::string(FindResource(name).value_or(""));
}

// The FINA 2011 table computing with another formula.
inline std::string Fina2011With(std::string_view formula) {
    std::string text = BuiltInText("BSSW_POINTS_FINA_2011");
    const auto at = text.find("Formula=CUBED_FINA");
    text.replace(at, 18, "Formula=" + std::string(formula));
    return text;
}

inline TBSSwBaseTimesPointTablePtr Read(std::string_view text, std::string_view source = "test") {
    return NewPointTableFromText(text, source);
}

inline IBSSwSwimStylePtr Event(int distance, TBSSwStroke stroke = strFreestyle, int relays = 1) {
    return NewSwimStyle(relays, stroke, distance);
}

inline SwimTime T(std::string_view text) {
    return TextToSwimTime(text);
}

} // namespace marqor::testing_tables
