#pragma once

// The swimming vocabulary: display texts of courses, genders, strokes, rounds and handicap
// classes in the current language (section [Data.BSSwLanguage] of the language data), and the
// readers that turn the many written forms of data files into enumeration values. Unknown text
// gives the None value; nothing here raises for bad input.

#include "foundation/containers.h"
#include "swimming/types.h"
#include "texts/language.h"

#include <array>
#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

namespace marqor {

// The texts of one language, read once when the record is created. A key the language data
// lacks leaves its reference text in place (as "RoundNamesPlural" does in English).
struct TBSSwLanguageData {
    std::array<std::string, 5> AgeGroups;
    std::array<std::string, CourseCount> PoolTexts; // "All pools", "50m Pool", ...
    std::array<std::string, 4> GenderCodes;
    std::array<std::string, 4> GenderNames;
    std::array<std::string, 4> GenderNames2; // the youth names (boys, girls)
    std::array<std::string, 5> RelayAgeGroups;
    std::array<std::string, 12> RoundNames;
    std::array<std::string, 12> RoundNamesPlural;
    std::array<std::string, 6> StrokeCodes;
    std::array<std::string, 6> StrokeNames;
    std::array<std::string, 5> YOBs;

    // Reads the texts of the calling thread's current language of that language object.
    static TBSSwLanguageData Read(TBSLanguage& language);
};

// The short text of a course ("50m", "25y", "OW"; empty for scoNone) and its file code ("LCM",
// "SCM", ..., "OPEN"; empty for scoNone). Not translated.
std::string_view CourseShortText(TBSSwCourse course);
std::string_view CourseFileCode(TBSSwCourse course);
std::string_view GenderFileCode(TBSSwGender gender); // "M", "F", "X"
std::string_view StrokeFileCode(TBSSwStroke stroke); // "FREE", "BACK", ..., "MEDLEY"
std::string_view RoundFileCode(TBSSwRound round);    // "TIM", "PRE", ..., "BREAK"

class TBSSwLanguage {
public:
    // Registers with the language object and reads the texts of the current language.
    explicit TBSSwLanguage(TBSLanguage& language);
    ~TBSSwLanguage();
    TBSSwLanguage(const TBSSwLanguage&) = delete;
    TBSSwLanguage& operator=(const TBSSwLanguage&) = delete;

    // The texts of the calling thread's current language.
    const TBSSwLanguageData& Texts();

    std::string CourseShortName(TBSSwCourse course) const;
    // Key = course value, text = pool text; "All pools" first when scoNone is in the set, then
    // the courses in value order, never sorted.
    IBSLookupItemsPtr CourseListItems(TBSSwCourses courses);
    std::string GenderCode(TBSSwGender gender);
    std::string GenderName(TBSSwGender gender);
    // "S1" .. "S15", "AB", "GB", "X" for explicitly none; empty for anything else.
    std::string HandicapText(int handicapClass) const;
    std::string StrokeCode(TBSSwStroke stroke);
    std::string StrokeName(TBSSwStroke stroke);

    TBSSwCourse CourseFromText(std::string_view text);
    // A ","-separated list; an item that names no course adds scoNone.
    TBSSwCourses CoursesFromText(std::string_view text);
    TBSSwGender GenderFromText(std::string_view text);
    // 0 .. 99, 201 (AB), 202 (GB) or -1 (explicitly none); unreadable text gives 0.
    int HandicapFromText(std::string_view text) const;
    TBSSwStroke StrokeFromText(std::string_view text);

private:
    const TBSSwLanguageData& Record(TBSLanguageId language);

    TBSLanguage& language_;
    int listenerId_ = 0;
    std::mutex lock_;
    std::array<std::unique_ptr<TBSSwLanguageData>, LanguageCount> owned_;
    std::array<std::atomic<const TBSSwLanguageData*>, LanguageCount> records_{};
};

// The process-wide vocabulary, created on first use over Language().
TBSSwLanguage& SwLanguage();

} // namespace marqor
