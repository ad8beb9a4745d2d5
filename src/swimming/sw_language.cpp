#include "swimming/sw_language.h"

#include "foundation/errors.h"
#include "foundation/text.h"
#include "foundation/tokenizer.h"

#include <algorithm>

namespace marqor {

namespace {

constexpr std::string_view kCourseShort[CourseCount] = {"",    "50m", "25m", "25y",
                                                        "33m", "16m", "20m", "OW"};
constexpr std::string_view kCourseCodes[CourseCount] = {"",      "LCM",   "SCM",   "SCY",
                                                        "SCM33", "SCM16", "SCM20", "OPEN"};
constexpr std::string_view kGenderCodes[4] = {"", "M", "F", "X"};
constexpr std::string_view kStrokeCodes[6] = {"", "FREE", "BACK", "BREAST", "FLY", "MEDLEY"};
constexpr std::string_view kRoundCodes[12] = {"",    "TIM", "PRE", "SOP", "QUA",      "SOQ",
                                              "SEM", "SOS", "FHT", "FIN", "CEREMONY", "BREAK"};

template <std::size_t N>
void ReadItems(TBSLanguage& language, std::array<std::string, N>& items, std::string_view key) {
    const std::string reference = "#BSSwLanguage." + std::string(key);
    for (std::size_t i = 0; i < N; ++i)
        items[i] = language.Text(reference, int(i));
}

// Everything from the code point after the first `skip` ones.
std::string_view DropCodePoints(std::string_view s, int skip) {
    std::size_t i = 0;
    for (int k = 0; k < skip && i < s.size(); ++k) {
        char32_t cp;
        i += Utf8Next(s, i, cp);
    }
    return s.substr(i);
}

bool Contains(std::string_view upper, std::string_view what) {
    return upper.find(what) != std::string_view::npos;
}

// Texts of the language data are compared only when they say something: an empty translation
// must not make the empty text a code.
bool SameNonEmpty(std::string_view text, std::string_view candidate) {
    return !candidate.empty() && SameText(text, candidate);
}

template <std::size_t N>
const std::string& At(const std::array<std::string, N>& items, unsigned index) {
    static const std::string empty;
    return index < N ? items[index] : empty;
}

} // namespace

std::string_view CourseShortText(TBSSwCourse course) {
    return course < CourseCount ? kCourseShort[course] : std::string_view();
}

std::string_view CourseFileCode(TBSSwCourse course) {
    return course < CourseCount ? kCourseCodes[course] : std::string_view();
}

std::string_view GenderFileCode(TBSSwGender gender) {
    return gender < 4 ? kGenderCodes[gender] : std::string_view();
}

std::string_view StrokeFileCode(TBSSwStroke stroke) {
    return stroke < 6 ? kStrokeCodes[stroke] : std::string_view();
}

std::string_view RoundFileCode(TBSSwRound round) {
    return round < 12 ? kRoundCodes[round] : std::string_view();
}

TBSSwLanguageData TBSSwLanguageData::Read(TBSLanguage& language) {
    TBSSwLanguageData d;
    ReadItems(language, d.AgeGroups, "AgeGroups");
    ReadItems(language, d.GenderCodes, "GenderCodes");
    ReadItems(language, d.GenderNames, "GenderNames");
    ReadItems(language, d.GenderNames2, "GenderNames2");
    ReadItems(language, d.RelayAgeGroups, "RelayAgeGroups");
    ReadItems(language, d.RoundNames, "RoundNames");
    ReadItems(language, d.RoundNamesPlural, "RoundNamesPlural");
    ReadItems(language, d.StrokeCodes, "StrokeCodes");
    ReadItems(language, d.StrokeNames, "StrokeNames");
    ReadItems(language, d.YOBs, "YOBs");

    d.PoolTexts[scoNone] = language.Text("#BSSwLanguage.AllPools");
    const std::string pool = language.Text("#BSSwLanguage.Pool");
    for (int c = sco50m; c < scoOpen; ++c) {
        const std::string_view shortText = kCourseShort[c];
        const TBSFormatArg arg(shortText);
        try {
            d.PoolTexts[c] = FormatText(pool, std::span(&arg, 1), language.GetFormatSettings());
        } catch (const EConvertError&) {
            // A translation whose placeholder does not fit still names the pool.
            d.PoolTexts[c] = std::string(shortText) + " " + pool;
        }
    }
    d.PoolTexts[scoOpen] = language.Text("#BSSwLanguage.CourseNameOpenWater");
    return d;
}

TBSSwLanguage::TBSSwLanguage(TBSLanguage& language) : language_(language) {
    listenerId_ = language_.AddLanguageListener([this](TBSLanguage& sender) {
        // Runs on the thread that selected the language, which is current there already.
        Record(sender.CurrentLanguage());
    });
    Record(language_.CurrentLanguage());
}

TBSSwLanguage::~TBSSwLanguage() {
    language_.RemoveLanguageListener(listenerId_);
}

const TBSSwLanguageData& TBSSwLanguage::Record(TBSLanguageId language) {
    if (language >= LanguageCount)
        language = 0;
    if (const auto* record = records_[language].load(std::memory_order_acquire))
        return *record;
    std::lock_guard lock(lock_);
    if (!owned_[language]) {
        owned_[language] = std::make_unique<TBSSwLanguageData>(TBSSwLanguageData::Read(language_));
        records_[language].store(owned_[language].get(), std::memory_order_release);
    }
    return *owned_[language];
}

const TBSSwLanguageData& TBSSwLanguage::Texts() {
    // The language is asked before the lock is taken: a thread's first question selects its
    // language, and the listener that selection calls takes the lock itself.
    return Record(language_.CurrentLanguage());
}

std::string TBSSwLanguage::CourseShortName(TBSSwCourse course) const {
    return std::string(CourseShortText(course));
}

IBSLookupItemsPtr TBSSwLanguage::CourseListItems(TBSSwCourses courses) {
    const auto& texts = Texts();
    auto items = NewLookupItems();
    if (courses.Contains(scoNone))
        items->SetText(scoNone, language_.Text("#BSSwLanguage.AllPools"));
    for (int c = sco50m; c <= scoOpen; ++c)
        if (courses.Contains(TBSSwCourse(c)))
            items->SetText(c, texts.PoolTexts[c]);
    if (courses.Contains(scoOpen))
        items->SetText(scoOpen, language_.Text("#BSSwLanguage.CourseNameOpenWater"));
    return items;
}

std::string TBSSwLanguage::GenderCode(TBSSwGender gender) {
    return At(Texts().GenderCodes, gender);
}

std::string TBSSwLanguage::GenderName(TBSSwGender gender) {
    return At(Texts().GenderNames, gender);
}

std::string TBSSwLanguage::HandicapText(int handicapClass) const {
    switch (handicapClass) {
    case HandicapAB:
        return "AB";
    case HandicapGB:
        return "GB";
    case HandicapExplicitlyNone:
        return "X";
    default:
        break;
    }
    return handicapClass >= 1 && handicapClass <= 15 ? Format("S%d", handicapClass) : std::string();
}

std::string TBSSwLanguage::StrokeCode(TBSSwStroke stroke) {
    return At(Texts().StrokeCodes, stroke);
}

std::string TBSSwLanguage::StrokeName(TBSSwStroke stroke) {
    return At(Texts().StrokeNames, stroke);
}

TBSSwCourse TBSSwLanguage::CourseFromText(std::string_view text) {
    // The one-letter and number forms are exact: a lower-case "l" is no course.
    if (text == "25" || text == "S")
        return sco25m;
    if (text == "Y")
        return sco25y;
    if (text == "50" || text == "L")
        return sco50m;
    for (int c = scoOpen; c >= sco50m; --c)
        if (SameText(text, kCourseShort[c]) || SameText(text, kCourseCodes[c]))
            return TBSSwCourse(c);
    return scoNone;
}

TBSSwCourses TBSSwLanguage::CoursesFromText(std::string_view text) {
    TBSSwCourses courses;
    const auto items = Tokenize(text, ",", false);
    for (const auto& item : *items)
        courses.Include(CourseFromText(item));
    return courses;
}

TBSSwGender TBSSwLanguage::GenderFromText(std::string_view text) {
    const int number = std::clamp(ParseInt(text).value_or(0), 0, 3);
    if (number != 0)
        return TBSSwGender(number);
    for (std::string_view w : {"W", "Female", "V", "Fem", "D"})
        if (SameText(text, w))
            return sgeWomen;
    for (std::string_view m : {"H", "Male"})
        if (SameText(text, m))
            return sgeMen;
    const auto& texts = Texts();
    for (int g = sgeMixed; g >= sgeMen; --g)
        if (SameNonEmpty(text, texts.GenderNames[g]) || SameNonEmpty(text, texts.GenderCodes[g]) ||
            SameText(text, kGenderCodes[g]))
            return TBSSwGender(g);
    return sgeNone;
}

int TBSSwLanguage::HandicapFromText(std::string_view text) const {
    if (SameText(text, "AB") || SameText(text, "GER.AB"))
        return HandicapAB;
    if (SameText(text, "GB") || SameText(text, "GER.GB"))
        return HandicapGB;
    if (SameText(text, "None") || SameText(text, "X"))
        return HandicapExplicitlyNone;
    // "S7", "B7", "SB7" and "SM7" all mean class 7: the letters follow from the stroke.
    const std::string_view trimmed = TrimView(text);
    int value = ParseInt(trimmed).value_or(-1);
    if (value < 0)
        value = ParseInt(DropCodePoints(trimmed, 1)).value_or(-1);
    if (value < 0)
        value = ParseInt(DropCodePoints(trimmed, 2)).value_or(-1);
    return std::clamp(value, 0, 99);
}

TBSSwStroke TBSSwLanguage::StrokeFromText(std::string_view text) {
    const auto& texts = Texts();
    for (int s = strMedley; s >= strFreestyle; --s)
        if (SameNonEmpty(text, texts.StrokeCodes[s]) || SameText(text, kStrokeCodes[s]))
            return TBSSwStroke(s);
    const std::string upper = AsciiUpper(text);
    auto is = [&](std::string_view w) {
        return SameText(text, w);
    };
    if (Contains(upper, "MEDLEY") || is("Ind Med") || is("IM") || is("I.M."))
        return strMedley;
    if (Contains(upper, "BREAST") || Contains(upper, "BRST") || is("BR"))
        return strBreaststroke;
    if (Contains(upper, "BACK") || is("BA"))
        return strBackstroke;
    if (Contains(upper, "FLY") || is("FL") || is("BU"))
        return strFly;
    if (Contains(upper, "FREE") || is("FR"))
        return strFreestyle;
    return strNone;
}

TBSSwLanguage& SwLanguage() {
    static TBSSwLanguage instance(Language());
    return instance;
}

} // namespace marqor
