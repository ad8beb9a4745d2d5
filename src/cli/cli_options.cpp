#include "cli/cli_options.h"

#include "foundation/text.h"
#include "points/table_files.h"
#include "swimming/sw_language.h"

#include <algorithm>
#include <ostream>

namespace marqor::cli {

namespace {

enum ValueKind { vkNone, vkRequired, vkOptional };

struct KnownOption {
    OptionId id;
    std::string_view shortName; // empty when there is none
    std::string_view longName;
    ValueKind value;
};

constexpr KnownOption KnownOptions[] = {
    {OTable, "-t", "--table", vkRequired},
    {OEvent, "-e", "--event", vkRequired},
    {OCourse, "-c", "--course", vkRequired},
    {OGender, "-g", "--gender", vkRequired},
    {OAge, "-a", "--age", vkRequired},
    {OHandicap, "-H", "--handicap", vkRequired},
    {OLine, "", "--line", vkNone},
    {OFrom, "", "--from", vkRequired},
    {OTo, "", "--to", vkRequired},
    {OFilter, "", "--filter", vkRequired},
    {OTableFile, "", "--table-file", vkRequired},
    {ORelays, "", "--relays", vkNone},
    {OColumns, "", "--columns", vkRequired},
    {OPaper, "", "--paper", vkRequired},
    {OPdf, "", "--pdf", vkRequired},
    {OHtml, "", "--html", vkRequired},
    {OPrint, "", "--print", vkOptional},
    {OForce, "", "--force", vkNone},
};

std::optional<int> FindTable(TBSSwPointTableController& tables, std::string_view text) {
    text = TrimView(text);
    if (const auto id = ParseDecimal(text))
        return tables.FindInfo(*id) ? id : std::nullopt;
    const auto& infos = tables.Infos();
    for (auto it = infos.rbegin(); it != infos.rend(); ++it)
        if (SameText(it->shortNameVersion, text) || SameText(it->text, text))
            return it->id;
    return std::nullopt;
}

std::string ValidTables(TBSSwPointTableController& tables) {
    std::vector<std::string> choices;
    const auto list = tables.PointTableList();
    for (int i = 0; i < list->Count(); ++i) {
        const auto* info = tables.FindInfo(list->KeyAt(i));
        choices.push_back(std::to_string(info->id) + " (" + info->shortNameVersion + ")");
    }
    return Join(choices);
}

// The course the calculator selects first: the first entry of the table's course list.
TBSSwCourse FirstCourse(TBSSwCourses courses) {
    for (int c = scoNone; c < CourseCount; ++c)
        if (courses.Contains(TBSSwCourse(c)))
            return TBSSwCourse(c);
    return scoNone;
}

} // namespace

const std::string_view ValidCourses =
    "LCM, SCM, SCY, SCM33, SCM16, SCM20, OPEN (or 50m, 25m, 25y, 33m, 16m, 20m, OW)";

std::optional<int> ParseDecimal(std::string_view text) {
    text = TrimView(text);
    std::size_t i = !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
    if (i == text.size() || text.size() - i > 10)
        return std::nullopt;
    for (std::size_t k = i; k < text.size(); ++k)
        if (text[k] < '0' || text[k] > '9')
            return std::nullopt;
    return ParseInt(text);
}

std::string Join(const std::vector<std::string>& items) {
    std::string text;
    for (const auto& item : items)
        text += (text.empty() ? "" : ", ") + item;
    return text;
}

int Tool::Fail(std::string_view message) const {
    io_.err << "marqor " << command_ << ": " << message << '\n';
    return ExitUsage;
}

void Tool::Note(std::string_view message) const {
    io_.err << "marqor " << command_ << ": " << message << '\n';
}

bool Tool::Parse(Args args, std::initializer_list<OptionId> allowed, Options& options) const {
    bool onlyArguments = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        // "-" is standard input and "-5" a negative value, not options.
        if (onlyArguments || a.size() < 2 || a[0] != '-' || ParseDecimal(a)) {
            options.arguments.push_back(a);
            continue;
        }
        if (a == "--") {
            onlyArguments = true;
            continue;
        }
        std::string_view name = a;
        std::optional<std::string> inlineValue;
        if (a.starts_with("--"))
            if (const auto eq = a.find('='); eq != std::string::npos) {
                name = std::string_view(a).substr(0, eq);
                inlineValue = a.substr(eq + 1);
            }
        const auto known = std::ranges::find_if(KnownOptions, [&](const KnownOption& k) {
            return name == k.longName || (!k.shortName.empty() && name == k.shortName);
        });
        if (known == std::end(KnownOptions) ||
            std::ranges::find(allowed, known->id) == allowed.end()) {
            Fail("unknown option '" + a + "' (see marqor " + std::string(command_) + " --help)");
            return false;
        }
        switch (known->value) {
        case vkNone:
            if (inlineValue) {
                Fail("option " + std::string(known->longName) + " takes no value");
                return false;
            }
            inlineValue = "";
            break;
        case vkOptional:
            // The value is the next argument unless that is an option itself.
            if (!inlineValue)
                inlineValue = i + 1 < args.size() && !args[i + 1].starts_with("-") ? args[++i] : "";
            break;
        case vkRequired:
            if (!inlineValue) {
                if (i + 1 >= args.size()) {
                    Fail("option " + std::string(name) + " needs a value");
                    return false;
                }
                inlineValue = args[++i];
            }
            break;
        }
        if (known->id == OTableFile)
            options.tableFiles.push_back(*inlineValue);
        else
            options.values[known->id] = *inlineValue;
    }
    return true;
}

TBSSwPointTableController& Tool::Catalogue(const Options& options) {
    catalogue_ = std::make_unique<TBSSwPointTableController>(
        DefaultPointTableSources(), [io = io_](const std::string& warning) {
            io.err << "marqor: warning: " << warning << '\n';
        });
    for (const auto& file : options.tableFiles)
        catalogue_->RegisterTableFile(file);
    return *catalogue_;
}

IBSSwPointsPtr ResolveTable(Tool& tool, const Options& options) {
    TBSSwPointTableController& tables = tool.Catalogue(options);
    int id = DefaultPointTableId;
    if (const auto& t = options.Get(OTable)) {
        const auto found = FindTable(tables, *t);
        if (!found) {
            tool.Fail("unknown table '" + *t + "'; valid tables: " + ValidTables(tables));
            return nullptr;
        }
        id = *found;
    }
    return tables.GetPointTable(id);
}

bool ResolveCourse(Tool& tool, const Options& options, const IBSSwPoints& table,
                   TBSSwCourse& course) {
    course = FirstCourse(table.Courses());
    if (const auto& c = options.Get(OCourse)) {
        const auto found = FindCourse(*c);
        if (!found) {
            tool.Fail("unknown course '" + *c + "'; valid courses: " + std::string(ValidCourses));
            return false;
        }
        course = *found;
    }
    return true;
}

bool ResolveGender(Tool& tool, const Options& options, TBSSwGender& gender) {
    gender = sgeMen;
    if (const auto& g = options.Get(OGender)) {
        gender = SwLanguage().GenderFromText(TrimView(*g));
        if (gender == sgeNone) {
            tool.Fail("unknown gender '" + *g + "'; valid genders: M, F, X (or Men, Women, Mixed)");
            return false;
        }
    }
    return true;
}

bool ResolveAge(Tool& tool, const Options& options, int& age) {
    age = 99;
    if (const auto& a = options.Get(OAge)) {
        const auto parsed = ParseDecimal(*a);
        if (!parsed) {
            tool.Fail("the age must be a whole number, not '" + *a + "'");
            return false;
        }
        age = *parsed;
    }
    return true;
}

std::optional<TBSSwCourse> FindCourse(std::string_view text) {
    const TBSSwCourse course = SwLanguage().CourseFromText(TrimView(text));
    return course == scoNone ? std::nullopt : std::optional(course);
}

std::string CourseText(TBSSwCourse course) {
    return course == scoNone ? "all pools" : std::string(CourseFileCode(course));
}

} // namespace marqor::cli
