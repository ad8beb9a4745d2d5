#include "calculator/calculation.h"

#include "points/catalogue.h"
#include "services/ui_texts.h"
#include "swimming/sw_language.h"

namespace marqor {

std::string TableRemark(const IBSSwPoints& table) {
    return table.HasAnyBaseTime() ? std::string() : NoBaseTimesMessage(table);
}

std::string CalculationRemark(const IBSSwPoints& table, const IBSSwSwimStyle& style,
                              const TKvrCalculation& c) {
    if (!table.HasAnyBaseTime())
        return NoBaseTimesMessage(table);
    if (table.HasBaseTime(c.Course, style, c.Gender, c.Age, c.Handicap))
        return {};
    TBSSwLanguage& vocabulary = SwLanguage();
    std::string what = c.EventText;
    const std::string pool = c.Course < CourseCount
                                 ? vocabulary.Texts().PoolTexts[std::size_t(c.Course)]
                                 : std::string();
    for (const std::string& part : {pool, vocabulary.GenderName(c.Gender)})
        if (!part.empty())
            what += ", " + part;
    if (!c.FinaMode) {
        if (c.Age != 99)
            what += ", " + TextOrEnglishFmt("#Marqor.Age", "age %d", {c.Age});
        if (const std::string cls = vocabulary.HandicapText(c.Handicap); !cls.empty())
            what += ", " + cls;
    }
    return TextOrEnglishFmt("#Marqor.NoBaseTime", "No base time for %s in %s",
                            {what, table.ShortNameVersion()});
}

} // namespace marqor
