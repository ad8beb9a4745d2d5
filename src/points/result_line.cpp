#include "points/result_line.h"

#include "foundation/text.h"
#include "swimming/sw_language.h"
#include "swimming/swim_time.h"
#include "texts/language.h"

namespace marqor {

std::string ResultPointsText(const IBSSwPoints& table, int points) {
    if (!table.HasDecimalPoints())
        return std::to_string(points);
    const TBSFormatArg tenths(points / 10.0);
    return FormatText("%.1f", std::span(&tenths, 1), Language().GetFormatSettings());
}

std::string ResultLine(const IBSSwPoints& table, TBSSwCourse course, std::string_view eventText,
                       TBSSwGender gender, int age, int handicap, SwimTime time, int points) {
    TBSSwLanguage& vocabulary = SwLanguage();
    std::string line = table.ShortNameVersion();
    for (const std::string& field :
         {vocabulary.CourseShortName(course), std::string(eventText), vocabulary.GenderName(gender),
          std::to_string(age), vocabulary.HandicapText(handicap), Trim(SwimTimeToText(time, false)),
          ResultPointsText(table, points) + " Pt."}) {
        line += ';';
        line += field;
    }
    return line;
}

} // namespace marqor
