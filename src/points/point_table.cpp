#include "points/point_table.h"

#include "foundation/text.h"
#include "points/csv_reader.h"
#include "swimming/sw_language.h"
#include "swimming/swim_time.h"
#include "texts/language.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>
#include <optional>
#include <set>
#include <unordered_map>
#include <utility>

namespace marqor {

// ---- TBaseTimeTable -----------------------------------------------------------------------

TBaseTimeTable::TBaseTimeTable(TBSSwCourse course, TBSSwGender gender, int handicap,
                               TBSSwAgeRange ageRange)
    : ageRange_(ageRange), course_(course), gender_(gender), handicap_(handicap) {}

bool TBaseTimeTable::Matches(TBSSwCourse course, TBSSwGender gender, int age, int handicap) const {
    return (course_ == scoNone || course_ == course) && (gender_ == sgeNone || gender_ == gender) &&
           ageRange_.ContainsAge(age) && (handicap_ == 0 || handicap_ == handicap);
}

TBaseTimeTable::PackedKey TBaseTimeTable::StrokeKey(int relayCount, int distance,
                                                    TBSSwStroke stroke) {
    const int relays = relayCount >= 2 && relayCount <= 254 ? relayCount : 1;
    return (PackedKey{1} << 63) | (PackedKey(relays) << 40) | (PackedKey(stroke) << 32) |
           static_cast<std::uint32_t>(distance);
}

TBaseTimeTable::PackedKey TBaseTimeTable::IdKey(int uniqueId) {
    return static_cast<std::uint32_t>(uniqueId);
}

TBaseTimeTable::PackedKey TBaseTimeTable::KeyOf(const IBSSwSwimStyle& style) {
    const TBSSwStroke stroke = style.Stroke();
    if (stroke == strNone)
        return IdKey(style.UniqueId());
    return StrokeKey(style.RelayCount(), style.Distance(), stroke);
}

TBaseTimeTable::Times TBaseTimeTable::Find(PackedKey key) const {
    const auto it = std::lower_bound(times_.begin(), times_.end(), key,
                                     [](const Entry& e, PackedKey k) { return e.key < k; });
    return it != times_.end() && it->key == key ? it->times : Times{};
}

SwimTime TBaseTimeTable::Time(const IBSSwSwimStyle& style, TBSSwBaseTimeKind kind) const {
    const Times t = Find(KeyOf(style));
    return kind == btkMinimum ? t.minimum : t.maximum;
}

SwimTime TBaseTimeTable::MinimumTime(const IBSSwSwimStyle& style) const {
    return Time(style, btkMinimum);
}

SwimTime TBaseTimeTable::MaximumTime(const IBSSwSwimStyle& style) const {
    return Time(style, btkMaximum);
}

bool TBaseTimeTable::HasMinimumTimes() const {
    return std::ranges::any_of(times_, [](const Entry& e) { return e.times.minimum != 0; });
}

void TBaseTimeTable::Put(PackedKey key, SwimTime minimum, SwimTime maximum) {
    times_.push_back({key, {minimum, maximum}});
}

void TBaseTimeTable::FinishReading() {
    std::ranges::stable_sort(times_, {}, &Entry::key);
    std::vector<Entry> merged;
    merged.reserve(times_.size());
    for (const Entry& e : times_) {
        if (merged.empty() || merged.back().key != e.key) {
            merged.push_back(e);
            continue;
        }
        // The minimum and maximum maps are separate: a later row replaces only the times it has.
        Times& t = merged.back().times;
        if (e.times.minimum != 0)
            t.minimum = e.times.minimum;
        if (e.times.maximum != 0)
            t.maximum = e.times.maximum;
    }
    std::erase_if(merged,
                  [](const Entry& e) { return e.times.minimum == 0 && e.times.maximum == 0; });
    times_ = std::move(merged);
}

// ---- Group index --------------------------------------------------------------------------

// Finds the first matching group without scanning every group: groups are bucketed by their
// exact course, gender and class, so a request looks at most at eight buckets (each value or
// its wildcard), and within a bucket the ages are swept into segments that each know their
// first group. A table of thousands of groups answers as fast as one of four.
class TBSSwBaseTimesPointTable::TGroupIndex {
public:
    explicit TGroupIndex(const std::vector<TBaseTimeTable>& groups) {
        for (std::size_t i = 0; i < groups.size(); ++i) {
            const TBaseTimeTable& g = groups[i];
            auto& cell = cells_[g.Course() % CourseCount][g.Gender() % 4];
            auto it = std::ranges::find(cell, g.Handicap(), &Bucket::handicap);
            if (it == cell.end()) {
                cell.emplace_back().handicap = g.Handicap();
                it = cell.end() - 1;
            }
            const int lowest = g.AgeRange().MinAge();
            const int highest = g.AgeRange().MaxAge();
            it->members.push_back({static_cast<int>(i),
                                   lowest == -1 ? LLONG_MIN : static_cast<long long>(lowest),
                                   highest == -1 ? LLONG_MAX : static_cast<long long>(highest)});
        }
        for (auto& row : cells_)
            for (auto& cell : row)
                for (Bucket& b : cell)
                    b.Build();
    }

    int Find(TBSSwCourse course, TBSSwGender gender, int age, int handicap) const {
        int best = INT_MAX;
        auto look = [&](unsigned c, unsigned g) {
            for (const Bucket& b : cells_[c][g])
                if (b.handicap == 0 || b.handicap == handicap) {
                    const int first = b.Find(age);
                    if (first >= 0 && first < best)
                        best = first;
                }
        };
        const bool ownCourse = course != scoNone && course < CourseCount;
        const bool ownGender = gender != sgeNone && gender < 4;
        look(scoNone, sgeNone);
        if (ownCourse)
            look(course, sgeNone);
        if (ownGender)
            look(scoNone, gender);
        if (ownCourse && ownGender)
            look(course, gender);
        return best == INT_MAX ? -1 : best;
    }

private:
    struct Member {
        int index;
        long long lowest;  // LLONG_MIN when open
        long long highest; // LLONG_MAX when open
    };

    struct Bucket {
        int handicap = 0;
        std::vector<Member> members;
        std::vector<long long> starts; // segment i covers starts[i] .. starts[i + 1] - 1
        std::vector<int> first;        // the first group of each segment, -1 for none
        int firstOpen = -1;            // the first group open on both sides

        void Build() {
            for (const Member& m : members)
                if (m.lowest == LLONG_MIN && m.highest == LLONG_MAX) {
                    firstOpen = m.index;
                    break;
                }
            std::vector<std::pair<long long, int>> adds, removes;
            starts.push_back(LLONG_MIN);
            for (const Member& m : members) {
                adds.emplace_back(m.lowest, m.index);
                starts.push_back(m.lowest);
                if (m.highest != LLONG_MAX) {
                    removes.emplace_back(m.highest + 1, m.index);
                    starts.push_back(m.highest + 1);
                }
            }
            std::ranges::sort(starts);
            starts.erase(std::unique(starts.begin(), starts.end()), starts.end());
            std::ranges::sort(adds);
            std::ranges::sort(removes);
            std::set<int> active;
            std::size_t a = 0, r = 0;
            first.reserve(starts.size());
            for (long long at : starts) {
                for (; r < removes.size() && removes[r].first == at; ++r)
                    active.erase(removes[r].second);
                for (; a < adds.size() && adds[a].first == at; ++a)
                    active.insert(adds[a].second);
                first.push_back(active.empty() ? -1 : *active.begin());
            }
            members.clear();
            members.shrink_to_fit();
        }

        // An age of -1 (none given) lies only in ranges open on both sides.
        int Find(int age) const {
            if (age == -1)
                return firstOpen;
            const auto it = std::upper_bound(starts.begin(), starts.end(), age);
            return first[static_cast<std::size_t>(it - starts.begin()) - 1];
        }
    };

    std::array<std::array<std::vector<Bucket>, 4>, CourseCount> cells_;
};

// ---- Reading ------------------------------------------------------------------------------

namespace {

constexpr std::string_view Marker = "<BASETIMES>";

// The columns every row is read with; those the column line lacks are added and read empty.
constexpr std::string_view StandardColumns[] = {"AGEMIN",   "AGEMAX",     "COURSE",   "GENDER",
                                                "HANDICAP", "RELAYCOUNT", "DISTANCE", "MAXTIME"};

// The header keys, each with the value of its first line; lines of other keys are ignored, so
// that a header of any length costs no memory.
struct Header {
    static constexpr std::string_view Keys[] = {"Id",      "Name",    "ShortNameVersion",
                                                "Version", "Formula", "UseMenForMixed",
                                                "Options", "Courses"};
    std::optional<std::string_view> values[std::size(Keys)];

    void Read(std::string_view line) {
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos)
            return;
        const std::string_view key = line.substr(0, eq);
        for (std::size_t i = 0; i < std::size(Keys); ++i)
            if (!values[i] && SameText(key, Keys[i]))
                values[i] = line.substr(eq + 1);
    }

    // Nothing when the key is missing or empty.
    std::optional<std::string_view> Get(std::string_view key) const {
        for (std::size_t i = 0; i < std::size(Keys); ++i)
            if (key == Keys[i])
                return values[i] && !values[i]->empty() ? values[i] : std::nullopt;
        return std::nullopt;
    }
};

// The next line that counts: trimmed, neither empty nor a comment.
bool NextCollected(TLineCursor& cursor, std::string_view& line) {
    while (cursor.Next(line)) {
        line = TrimView(line);
        if (!line.empty() && line.front() != ';')
            return true;
    }
    return false;
}

// Splits at every "," with empty items kept and nothing trimmed.
std::vector<std::string_view> CommaItems(std::string_view text) {
    std::vector<std::string_view> items;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = text.find(',', start);
        items.push_back(text.substr(start, at == std::string_view::npos ? at : at - start));
        if (at == std::string_view::npos)
            return items;
        start = at + 1;
    }
}

bool ReadBoolean(std::optional<std::string_view> value, bool fallback) {
    if (!value)
        return fallback;
    if (SameText(*value, "True"))
        return true;
    if (SameText(*value, "False"))
        return false;
    if (const auto n = ParseInt(*value))
        return *n != 0;
    return fallback;
}

// Values read from a few distinct texts over and over (every row says "LCM", "M", "FREE"):
// the readers behind them compare against word lists, so each text is read once per table.
template <typename T> class TextMemo {
public:
    template <typename Read> T Get(std::string_view text, Read read) {
        for (const auto& [k, v] : entries_)
            if (k == text)
                return v;
        T value = read(text);
        if (entries_.size() < 32) // random rows must not grow it without bound
            entries_.emplace_back(std::string(text), value);
        return value;
    }

private:
    std::vector<std::pair<std::string, T>> entries_;
};

// Everything after the first `skip` code points.
std::string_view DropCodePoints(std::string_view s, int skip) {
    std::size_t i = 0;
    for (int k = 0; k < skip && i < s.size(); ++k) {
        char32_t cp;
        i += Utf8Next(s, i, cp);
    }
    return s.substr(i);
}

struct GroupKey {
    TBSSwCourse course;
    TBSSwGender gender;
    int handicap;
    int lowest;
    int highest;
    friend bool operator==(const GroupKey&, const GroupKey&) = default;
};

struct GroupKeyHash {
    std::size_t operator()(const GroupKey& k) const {
        std::uint64_t h = (std::uint64_t(k.course) << 8) | k.gender;
        h = h * 0x9E3779B97F4A7C15ULL ^ static_cast<std::uint32_t>(k.handicap);
        h = h * 0x9E3779B97F4A7C15ULL ^ static_cast<std::uint32_t>(k.lowest);
        h = h * 0x9E3779B97F4A7C15ULL ^ static_cast<std::uint32_t>(k.highest);
        return static_cast<std::size_t>(h ^ (h >> 29));
    }
};

// An event of a row: a stroke event, an event id, or nothing (the row is skipped).
struct RowEvent {
    bool valid = false;
    TBSSwStroke stroke = strNone;
    int uniqueId = 0;
};

} // namespace

TBSSwPointFormula PointFormulaFromText(std::string_view text) {
    static constexpr std::pair<std::string_view, TBSSwPointFormula> order[] = {
        {"RUDOLPH", pfRudolph}, {"LIFESAVING", pfLifesaving}, {"CANADIAN", pfCanadian},
        {"BRITISH", pfBritish}, {"CUBED_DSV", pfCubedDsv},    {"CUBED", pfCubed}};
    for (const auto& [word, formula] : order)
        if (SameText(text, word))
            return formula;
    return pfCubedFina;
}

TBSSwBaseTimesPointTable::TBSSwBaseTimesPointTable() = default;
TBSSwBaseTimesPointTable::~TBSSwBaseTimesPointTable() = default;

void TBSSwBaseTimesPointTable::ReadFromText(std::string_view text, std::string_view source) {
    if (text.size() > MaxPointTableTextSize)
        throw EPointTableError(Format("%.*s: the point table text has %zu bytes, more than the "
                                      "%zu MiB a point table may have",
                                      int(source.size()), source.data(), text.size(),
                                      MaxPointTableTextSize >> 20));
    Clear();
    try {
        Read(text, source);
    } catch (...) {
        // A failed read leaves the empty table, never a mix of two.
        Clear();
        throw;
    }
}

void TBSSwBaseTimesPointTable::Clear() {
    id_ = 0;
    name_.clear();
    shortNameVersion_.clear();
    version_.clear();
    options_ = {};
    formula_ = pfCubedFina;
    useMenForMixed_ = false;
    courses_ = {};
    groups_.clear();
    index_.reset();
}

void TBSSwBaseTimesPointTable::Read(std::string_view text, std::string_view source) {
    // The lines between the last two markers are the header, those after the last marker the
    // base times. The text is walked twice instead of keeping its lines.
    std::string_view header, section;
    bool marker = false;
    {
        TLineCursor cursor(text);
        std::size_t sectionStart = 0;
        std::size_t lineStart = 0;
        for (std::string_view line; cursor.Next(line); lineStart = cursor.Position()) {
            if (SameText(TrimView(line), Marker)) {
                marker = true;
                header = text.substr(sectionStart, lineStart - sectionStart);
                sectionStart = cursor.Position();
            }
        }
        section = text.substr(std::min(sectionStart, text.size()));
    }
    if (!marker)
        throw EPointTableError(Format("%.*s: no \"<BASETIMES>\" line, so this is not a point "
                                      "table (the header lines must end with it)",
                                      int(source.size()), source.data()));

    Header keys;
    {
        TLineCursor cursor(header);
        for (std::string_view line; NextCollected(cursor, line);)
            keys.Read(line);
    }
    id_ = ParseInt(keys.Get("Id").value_or("")).value_or(0);
    name_ = keys.Get("Name").value_or("");
    shortNameVersion_ = keys.Get("ShortNameVersion").value_or("");
    version_ = keys.Get("Version").value_or("");
    formula_ = PointFormulaFromText(keys.Get("Formula").value_or("CUBED"));
    useMenForMixed_ = ReadBoolean(keys.Get("UseMenForMixed"), false);
    for (std::string_view word : CommaItems(keys.Get("Options").value_or(""))) {
        if (word == "FINA")
            options_.Include(ptoFina);
        else if (word == "MASTER")
            options_.Include(ptoMaster);
        else if (word == "HANDICAP")
            options_.Include(ptoHandicap);
    }
    TBSSwLanguage& vocabulary = SwLanguage();
    for (std::string_view word : CommaItems(keys.Get("Courses").value_or("LCM,SCM")))
        courses_.Include(vocabulary.CourseFromText(word));

    TLineCursor rows(section);
    std::string_view first;
    if (NextCollected(rows, first)) {
        // The standard columns that the column line lacks are appended, so that they read empty.
        std::string columns(first);
        for (std::string_view name : StandardColumns)
            if (columns.find(name) == std::string::npos)
                columns.append(";").append(name);

        TBSCSVReader reader(
            [&, columnLine = true](std::string_view& line) mutable {
                if (std::exchange(columnLine, false)) {
                    line = columns;
                    return true;
                }
                return NextCollected(rows, line);
            },
            ';', false);
        reader.Open();
        const int cCourse = reader.ColumnIndex("COURSE");
        const int cGender = reader.ColumnIndex("GENDER");
        const int cHandicap = reader.ColumnIndex("HANDICAP");
        const int cAgeMin = reader.ColumnIndex("AGEMIN");
        const int cAgeMax = reader.ColumnIndex("AGEMAX");
        const int cRelays = reader.ColumnIndex("RELAYCOUNT");
        const int cDistance = reader.ColumnIndex("DISTANCE");
        const int cStroke = reader.ColumnIndex("STROKE");
        const int cMinTime = reader.ColumnIndex("MINTIME");
        const int cMaxTime = reader.ColumnIndex("MAXTIME");

        TextMemo<TBSSwCourse> courses;
        TextMemo<TBSSwGender> genders;
        TextMemo<int> handicaps;
        TextMemo<RowEvent> events;
        std::unordered_map<GroupKey, int, GroupKeyHash> groupOf;
        std::optional<std::pair<GroupKey, int>> last;

        while (reader.Next()) {
            const RowEvent event = events.Get(reader.FieldAt(cStroke), [&](std::string_view s) {
                RowEvent e;
                e.stroke = vocabulary.StrokeFromText(s);
                if (e.stroke != strNone) {
                    e.valid = true;
                } else if (const auto id = ParseInt(DropCodePoints(s, 3)); id && *id >= 0) {
                    e.valid = true;
                    e.uniqueId = *id;
                }
                return e;
            });
            // A row without an event leaves no trace, not even an empty group that would hide
            // the groups after it.
            if (!event.valid)
                continue;

            const TBSSwAgeRange ages(reader.ReadIntegerAt(cAgeMin), reader.ReadIntegerAt(cAgeMax));
            const GroupKey key{
                courses.Get(reader.FieldAt(cCourse),
                            [&](std::string_view s) { return vocabulary.CourseFromText(s); }),
                genders.Get(reader.FieldAt(cGender),
                            [&](std::string_view s) { return vocabulary.GenderFromText(s); }),
                handicaps.Get(reader.FieldAt(cHandicap),
                              [&](std::string_view s) { return vocabulary.HandicapFromText(s); }),
                ages.MinAge(), ages.MaxAge()};
            int group;
            if (last && last->first == key) {
                group = last->second;
            } else {
                const auto [it, added] = groupOf.try_emplace(key, static_cast<int>(groups_.size()));
                if (added) {
                    if (groups_.size() == MaxPointTableGroups)
                        throw EPointTableError(Format(
                            "%.*s: more than %zu swimmer groups; a point table may have at most "
                            "that many",
                            int(source.size()), source.data(), MaxPointTableGroups));
                    groups_.emplace_back(key.course, key.gender, key.handicap, ages);
                }
                group = it->second;
                last.emplace(key, group);
            }

            const TBaseTimeTable::PackedKey eventKey =
                event.stroke != strNone
                    ? TBaseTimeTable::StrokeKey(std::max(reader.ReadIntegerAt(cRelays), 1),
                                                reader.ReadIntegerAt(cDistance), event.stroke)
                    : TBaseTimeTable::IdKey(event.uniqueId);
            const SwimTime minTime = TextToSwimTime(reader.FieldAt(cMinTime));
            const SwimTime maxTime = TextToSwimTime(reader.FieldAt(cMaxTime));
            groups_[group].Put(eventKey, IsValidSwimTime(minTime) ? minTime : 0,
                               IsValidSwimTime(maxTime) ? maxTime : 0);
        }
    }
    for (TBaseTimeTable& g : groups_)
        g.FinishReading();
    index_ = std::make_unique<TGroupIndex>(groups_);
}

// ---- Lookup -------------------------------------------------------------------------------

const TBaseTimeTable* TBSSwBaseTimesPointTable::FindGroup(TBSSwCourse course, TBSSwGender gender,
                                                          int age, int handicap) const {
    if (!index_)
        return nullptr;
    if (useMenForMixed_ && gender == sgeMixed)
        gender = sgeMen;
    const int i = index_->Find(course, gender, age, handicap);
    return i >= 0 ? &groups_[static_cast<std::size_t>(i)] : nullptr;
}

TBaseTimeTable::Times TBSSwBaseTimesPointTable::LookupTimes(TBSSwCourse course,
                                                            const IBSSwSwimStyle& style,
                                                            TBSSwGender gender, int age,
                                                            int handicap) const {
    const TBaseTimeTable* group = FindGroup(course, gender, age, handicap);
    return group ? group->Find(TBaseTimeTable::KeyOf(style)) : TBaseTimeTable::Times{};
}

SwimTime TBSSwBaseTimesPointTable::LookupBaseTime(TBSSwCourse course, const IBSSwSwimStyle& style,
                                                  TBSSwGender gender, int age, int handicap,
                                                  TBSSwBaseTimeKind kind) const {
    const auto t = LookupTimes(course, style, gender, age, handicap);
    return kind == btkMinimum ? t.minimum : t.maximum;
}

// ---- Points and times ---------------------------------------------------------------------

int TBSSwBaseTimesPointTable::PointsFromTime(TBSSwCourse course, const IBSSwSwimStyle& style,
                                             TBSSwGender gender, int age, int handicap,
                                             SwimTime time) const {
    const auto t = LookupTimes(course, style, gender, age, handicap);
    return FormulaPoints(formula_, t.minimum, t.maximum, time);
}

SwimTime TBSSwBaseTimesPointTable::TimeFromPoints(TBSSwCourse course, const IBSSwSwimStyle& style,
                                                  TBSSwGender gender, int age, int handicap,
                                                  int points) const {
    if (points == 0)
        return 0;
    const auto t = LookupTimes(course, style, gender, age, handicap);
    return FormulaTime(formula_, t.minimum, t.maximum, points);
}

std::string TBSSwBaseTimesPointTable::PointsToText(int points) const {
    if (!HasDecimalPoints())
        return marqor::PointsToText(formula_, points);
    std::string text = marqor::PointsToText(formula_, points, '.');
    const std::string separator = Language().GetFormatSettings().DecimalSeparator;
    if (const auto dot = text.find('.'); dot != std::string::npos && !separator.empty())
        text.replace(dot, 1, separator);
    return text;
}

bool TBSSwBaseTimesPointTable::HasBaseTime(TBSSwCourse course, const IBSSwSwimStyle& style,
                                           TBSSwGender gender, int age, int handicap) const {
    return LookupTimes(course, style, gender, age, handicap).minimum != 0;
}

int TBSSwBaseTimesPointTable::PointsForAnyGroup(const IBSSwSwimStyle& style, SwimTime time) const {
    if (groups_.empty())
        return 0;
    return FormulaPoints(formula_, groups_.front().MinimumTime(style), 0, time);
}

double TBSSwBaseTimesPointTable::CourseFactor(const IBSSwSwimStyle& style, TBSSwGender gender,
                                              SwimTime time, TBSSwCourse courseA,
                                              TBSSwCourse courseB) const {
    const int a = PointsFromTime(courseA, style, gender, 99, 0, time);
    const int b = PointsFromTime(courseB, style, gender, 99, 0, time);
    return b == 0 ? 1.0 : static_cast<double>(a) / b;
}

namespace {

// nearest(x) as a swim time; anything outside the valid times is no time.
SwimTime RoundedTime(long double x) {
    if (!(x < NoSwimTime - 0.5L))
        return NoSwimTime;
    return x < 0.5L ? 0 : static_cast<SwimTime>(RoundNearest(x));
}

} // namespace

SwimTime TBSSwBaseTimesPointTable::ConvertTime(const IBSSwSwimStyle& style, TBSSwGender gender,
                                               SwimTime time, TBSSwCourse fromCourse,
                                               TBSSwCourse toCourse) const {
    // No time stays no time: scaled by the yard factor it would become a real-looking one.
    if (fromCourse == toCourse || !IsValidSwimTime(time))
        return time;
    const long double factor = YardFactor(style.Stroke(), style.Distance());
    if (fromCourse == sco25y) {
        time = RoundedTime(time * factor);
        fromCourse = sco25m;
        if (!IsValidSwimTime(time))
            return time;
    }
    const int points = PointsFromTime(fromCourse, style, gender, 99, 0, time);
    if (points <= 0)
        return time;
    if (toCourse == sco25y) {
        const SwimTime t = TimeFromPoints(sco25m, style, gender, 99, 0, points);
        return t == 0 ? 0 : RoundedTime(t / factor);
    }
    return TimeFromPoints(toCourse, style, gender, 99, 0, points);
}

bool TBSSwBaseTimesPointTable::HasAnyBaseTime() const {
    return std::ranges::any_of(groups_, &TBaseTimeTable::HasMinimumTimes);
}

TBSSwBaseTimesPointTablePtr NewPointTableFromText(std::string_view text, std::string_view source) {
    auto table = std::make_shared<TBSSwBaseTimesPointTable>();
    table->ReadFromText(text, source);
    return table;
}

TBSSwBaseTimesPointTablePtr NewEmptyPointTable() {
    return std::make_shared<TBSSwBaseTimesPointTable>();
}

} // namespace marqor
