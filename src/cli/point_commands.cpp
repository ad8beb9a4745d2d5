#include "cli/point_commands.h"

#include "cli/cli_options.h"
#include "foundation/text.h"
#include "points/catalogue.h"
#include "points/events.h"
#include "points/result_line.h"
#include "points/table_files.h"
#include "swimming/sw_language.h"
#include "swimming/swim_time.h"

#include <algorithm>
#include <cctype>
#include <istream>
#include <memory>
#include <optional>
#include <ostream>
#include <string_view>
#include <vector>

namespace marqor::cli {

const char* const TablesUsage =
    "marqor tables [--filter OPTIONS] [--table-file FILE]...\n"
    "Prints one line per point table, \"<id><TAB><name and version>\", sorted by name. A table\n"
    "read from a table file gets a third field, the file. --filter FINA,MASTER,HANDICAP keeps\n"
    "the tables that have at least one of these options.\n"
    "Tables come from the program, the installed table files, every *.txt of the table\n"
    "directory ($XDG_DATA_HOME/marqor/tables, else ~/.local/share/marqor/tables) and every\n"
    "--table-file, in this order; a later table with the Id of an earlier one replaces it.\n";

const char* const PointsUsage =
    "marqor points [OPTIONS] -e EVENT TIME...\n"
    "Prints the points of each swim TIME, one line each. The TIME - reads times from standard\n"
    "input, one per line.\n"
    "  -t, --table TABLE     table id or short name (\"FINA 2011\"); default 3004, FINA 2011\n"
    "  -e, --event EVENT     \"50 Freestyle\", \"4 x 100 Medley\", \"50 Fr\", \"1;50;FREE\" or "
    "\"ID_211\"\n"
    "  -c, --course COURSE   LCM, SCM, SCY, 50m, 25m, ...; default the table's first course\n"
    "  -g, --gender GENDER   M, F, X, Men, Women, ...; default men\n"
    "  -a, --age AGE         default 99\n"
    "  -H, --handicap CLASS  S1 .. S15, AB, GB, X; default none\n"
    "      --line            print the calculator's result line instead of the points\n"
    "      --table-file FILE read a further table file (may be repeated)\n"
    "Exit status: 0 success, 2 bad argument or unreadable value, 3 no base time.\n";

const char* const TimeUsage =
    "marqor time [OPTIONS] -e EVENT POINTS...\n"
    "Prints the slowest time that scores each number of POINTS, one line each. For a table with\n"
    "decimal points POINTS may have one decimal (\"15.9\"). The POINTS - reads values from\n"
    "standard input, one per line. Options as for marqor points.\n"
    "Exit status: 0 success, 2 bad argument or unreadable value, 3 no base time or no time.\n";

const char* const ConvertUsage =
    "marqor convert [OPTIONS] -e EVENT --from COURSE --to COURSE TIME...\n"
    "Prints, for each swim TIME swum in the course --from, the time of equal points in the\n"
    "course --to (yards go through short-course metres with the yard factor of the event).\n"
    "Options -t, -e, -g and --table-file as for marqor points; the age is 99, no class.\n"
    "Exit status: 0 success, 2 bad argument or unreadable value, 3 no base time or no time.\n";

namespace {

// "2" (a bad argument or value) outranks "3" (no result), which outranks success.
int Worse(int a, int b) {
    auto rank = [](int s) {
        return s == ExitUsage ? 2 : s == ExitNoResult ? 1 : 0;
    };
    return rank(a) >= rank(b) ? a : b;
}

// ---- The request: table, event, course, gender, age, class --------------------------------

struct Request {
    IBSSwPointsPtr table;
    IBSSwSwimStylePtr style;
    std::string eventText;
    TBSSwCourse course = scoNone;
    TBSSwGender gender = sgeMen;
    int age = 99;
    int handicap = 0;
};

struct Event {
    IBSSwSwimStylePtr style;
    std::string text;
};

std::optional<Event> FindEvent(std::string_view arg) {
    const std::string_view text = TrimView(arg);
    TBSSwLanguage& vocabulary = SwLanguage();
    if (text.size() > 3 && SameText(text.substr(0, 3), "ID_")) {
        const auto id = ParseDecimal(text.substr(3));
        if (!id || *id < 0)
            return std::nullopt;
        return Event{NewSwimStyleWithId(*id), "ID_" + std::to_string(*id)};
    }
    if (text.find(';') != std::string_view::npos) {
        std::vector<std::string_view> items;
        for (std::size_t start = 0;;) {
            const auto at = text.find(';', start);
            items.push_back(text.substr(start, at == std::string_view::npos ? at : at - start));
            if (at == std::string_view::npos)
                break;
            start = at + 1;
        }
        if (items.size() < 3 || items.size() > 4)
            return std::nullopt;
        const auto relays = ParseDecimal(items[0]);
        const auto distance = ParseDecimal(items[1]);
        const TBSSwStroke stroke = vocabulary.StrokeFromText(TrimView(items[2]));
        if (!relays || *relays < 1 || *relays > 254 || !distance || *distance < 1 ||
            stroke == strNone)
            return std::nullopt;
        auto style = NewSwimStyle(*relays, stroke, *distance);
        std::string shown = EventText(*style);
        return Event{std::move(style), std::move(shown)};
    }
    for (const auto& definition : EventDefinitions()) {
        auto style = MakeSwimStyle(definition);
        std::string shown = EventText(*style);
        if (SameText(text, shown) || SameText(text, style->Name()))
            return Event{std::move(style), std::move(shown)};
    }
    return std::nullopt;
}

std::string ValidEvents() {
    std::vector<std::string> texts;
    for (const auto& definition : EventDefinitions())
        texts.push_back(EventText(*MakeSwimStyle(definition)));
    return Join(texts) + "; or their short names (50 Fr, 4 x 100 Me), a definition such as " +
           "1;50;FREE, or ID_ and an event id";
}

std::optional<int> FindHandicap(std::string_view text) {
    const std::string_view t = TrimView(text);
    const int value = SwLanguage().HandicapFromText(t);
    if (value != 0 || t.empty())
        return value;
    // Class 0 is "none"; only a text that says 0 ("0", "S0") means it.
    std::string_view digits = t;
    for (int i = 0; i < 2 && !digits.empty() && std::isalpha(static_cast<unsigned char>(digits[0]));
         ++i)
        digits.remove_prefix(1);
    return ParseDecimal(digits) == 0 ? std::optional(0) : std::nullopt;
}

std::string HandicapDescription(int handicap) {
    if (handicap == 0)
        return "no class";
    const std::string text = SwLanguage().HandicapText(handicap);
    return "class " + (text.empty() ? std::to_string(handicap) : text);
}

// Reads table, event, gender and (unless `convert`) course, age and class; false with the
// message given.
bool ResolveRequest(Tool& tool, const Options& options, bool withCourse, Request& request) {
    request.table = ResolveTable(tool, options);
    if (!request.table)
        return false;

    const auto& e = options.Get(OEvent);
    if (!e) {
        tool.Fail("missing -e/--event (for example -e \"50 Freestyle\")");
        return false;
    }
    const auto event = FindEvent(*e);
    if (!event) {
        tool.Fail("unknown event '" + *e + "'; valid events: " + ValidEvents());
        return false;
    }
    request.style = event->style;
    request.eventText = event->text;

    if (!ResolveGender(tool, options, request.gender))
        return false;
    if (!withCourse)
        return true;
    if (!ResolveCourse(tool, options, *request.table, request.course) ||
        !ResolveAge(tool, options, request.age))
        return false;
    if (const auto& h = options.Get(OHandicap)) {
        const auto handicap = FindHandicap(*h);
        if (!handicap) {
            tool.Fail("unknown handicap class '" + *h +
                      "'; valid classes: S1 .. S15 (or SB1, SM1, 1 .. 99), AB, GB, X");
            return false;
        }
        request.handicap = *handicap;
    }
    return true;
}

// Why the table gives nothing for the request; empty when it has the base time.
std::string MissingBaseTime(const Request& r, TBSSwCourse course, int age, int handicap) {
    if (!r.table->HasAnyBaseTime())
        return NoBaseTimesMessage(*r.table);
    if (r.table->HasBaseTime(course, *r.style, r.gender, age, handicap))
        return {};
    return r.table->ShortNameVersion() + " has no base time for " + r.eventText + ", " +
           CourseText(course) + ", " + SwLanguage().GenderName(r.gender) + ", age " +
           std::to_string(age) + ", " + HandicapDescription(handicap);
}

// One output line per value, "-" standing for the lines of standard input; the status is the
// worst of all values.
template <typename Compute> int ForEachValue(Tool& tool, const Options& options, Compute compute) {
    Streams io = tool.Io();
    int worst = ExitOk;
    auto one = [&](std::string_view value) {
        std::string out;
        worst = Worse(worst, compute(value, out));
        out += '\n';
        io.out << out;
    };
    bool inputRead = false;
    for (const auto& value : options.arguments) {
        if (value != "-") {
            one(value);
        } else if (!inputRead) {
            inputRead = true;
            std::string line;
            while (std::getline(io.in, line))
                one(TrimView(line));
        }
    }
    return worst;
}

std::string Quoted(std::string_view value) {
    std::string text;
    text.reserve(value.size() + 2);
    text.append(1, '\'').append(value).append(1, '\'');
    return text;
}

// Points as typed: whole points, or for a table with decimal points at most one decimal,
// converted to tenths.
std::optional<int> ParsePoints(std::string_view text, bool decimal) {
    text = TrimView(text);
    if (!decimal)
        return ParseDecimal(text);
    const auto separator = text.find_first_of(".,");
    if (separator == std::string_view::npos) {
        const auto whole = ParseDecimal(text);
        if (!whole || *whole > 214748364 || *whole < -214748364)
            return std::nullopt;
        return *whole * 10;
    }
    const std::string_view fraction = text.substr(separator + 1);
    const std::string_view whole = text.substr(0, separator);
    if (fraction.size() != 1 || fraction[0] < '0' || fraction[0] > '9' || whole.empty() ||
        whole.back() < '0' || whole.back() > '9')
        return std::nullopt;
    const auto w = ParseDecimal(whole);
    if (!w || *w > 214748363 || *w < -214748363)
        return std::nullopt;
    const int tenth = fraction[0] - '0';
    return *w * 10 + (whole.front() == '-' ? -tenth : tenth);
}

} // namespace

// ---- The commands -------------------------------------------------------------------------

int TablesCommand(Args args, Streams io) {
    Tool tool("tables", io);
    Options options;
    if (!tool.Parse(args, {OFilter, OTableFile}, options))
        return ExitUsage;
    if (!options.arguments.empty())
        return tool.Fail("unexpected argument '" + options.arguments.front() +
                         "' (see marqor tables --help)");
    TBSSwPointTableOptions filter;
    if (const auto& f = options.Get(OFilter)) {
        std::string_view rest = *f;
        for (;;) {
            const auto comma = rest.find(',');
            const std::string_view word = TrimView(rest.substr(0, comma));
            if (SameText(word, "FINA"))
                filter.Include(ptoFina);
            else if (SameText(word, "MASTER"))
                filter.Include(ptoMaster);
            else if (SameText(word, "HANDICAP"))
                filter.Include(ptoHandicap);
            else
                return tool.Fail("unknown table option '" + std::string(word) +
                                 "' in --filter; valid options: FINA, MASTER, HANDICAP");
            if (comma == std::string_view::npos)
                break;
            rest.remove_prefix(comma + 1);
        }
    }
    TBSSwPointTableController& tables = tool.Catalogue(options);
    const auto list = tables.PointTableList(filter);
    for (int i = 0; i < list->Count(); ++i) {
        io.out << list->KeyAt(i) << '\t' << list->TextAt(i);
        if (const auto* info = tables.FindInfo(list->KeyAt(i)); info && !info->file.empty())
            io.out << '\t' << DisplayPath(info->file);
        io.out << '\n';
    }
    return ExitOk;
}

int PointsCommand(Args args, Streams io) {
    Tool tool("points", io);
    Options options;
    if (!tool.Parse(args, {OTable, OEvent, OCourse, OGender, OAge, OHandicap, OLine, OTableFile},
                    options))
        return ExitUsage;
    if (options.arguments.empty())
        return tool.Fail("missing TIME (or - to read times from standard input)");
    Request r;
    if (!ResolveRequest(tool, options, true, r))
        return ExitUsage;
    const std::string missing = MissingBaseTime(r, r.course, r.age, r.handicap);
    if (!missing.empty())
        tool.Note(missing);
    const IBSSwPoints& table = *r.table;
    return ForEachValue(tool, options, [&](std::string_view value, std::string& out) {
        const SwimTime time = TextToSwimTime(value);
        if (!IsValidSwimTime(time)) {
            tool.Note(Quoted(value) + " is no swim time");
            return ExitUsage;
        }
        if (!missing.empty())
            return ExitNoResult;
        const int points =
            table.PointsFromTime(r.course, *r.style, r.gender, r.age, r.handicap, time);
        if (options.Has(OLine))
            out =
                ResultLine(table, r.course, r.eventText, r.gender, r.age, r.handicap, time, points);
        else if (points > 0)
            out = table.PointsToText(points);
        else
            out = std::to_string(points); // the points text of 0 and below is empty
        return ExitOk;
    });
}

int TimeCommand(Args args, Streams io) {
    Tool tool("time", io);
    Options options;
    if (!tool.Parse(args, {OTable, OEvent, OCourse, OGender, OAge, OHandicap, OLine, OTableFile},
                    options))
        return ExitUsage;
    if (options.arguments.empty())
        return tool.Fail("missing POINTS (or - to read points from standard input)");
    Request r;
    if (!ResolveRequest(tool, options, true, r))
        return ExitUsage;
    const std::string missing = MissingBaseTime(r, r.course, r.age, r.handicap);
    if (!missing.empty())
        tool.Note(missing);
    const IBSSwPoints& table = *r.table;
    const bool decimal = table.HasDecimalPoints();
    return ForEachValue(tool, options, [&](std::string_view value, std::string& out) {
        const auto points = ParsePoints(value, decimal);
        if (!points) {
            tool.Note(Quoted(value) + (decimal ? " is no points value (a number with at most one "
                                                 "decimal, such as 15.9)"
                                               : " is no points value (a whole number)"));
            return ExitUsage;
        }
        if (!missing.empty())
            return ExitNoResult;
        const SwimTime time =
            table.TimeFromPoints(r.course, *r.style, r.gender, r.age, r.handicap, *points);
        if (!IsValidSwimTime(time)) {
            tool.Note("no time scores " + std::string(TrimView(value)) + " points in " +
                      table.ShortNameVersion());
            return ExitNoResult;
        }
        out = options.Has(OLine) ? ResultLine(table, r.course, r.eventText, r.gender, r.age,
                                              r.handicap, time, *points)
                                 : SwimTimeToText(time, false);
        return ExitOk;
    });
}

int ConvertCommand(Args args, Streams io) {
    Tool tool("convert", io);
    Options options;
    if (!tool.Parse(args, {OTable, OEvent, OGender, OFrom, OTo, OTableFile}, options))
        return ExitUsage;
    TBSSwCourse courses[2];
    for (int i = 0; i < 2; ++i) {
        const OptionId id = i == 0 ? OFrom : OTo;
        const std::string_view name = i == 0 ? "--from" : "--to";
        const auto& text = options.Get(id);
        if (!text)
            return tool.Fail("missing " + std::string(name) + " COURSE");
        const auto course = FindCourse(*text);
        if (!course)
            return tool.Fail("unknown course '" + *text + "' for " + std::string(name) +
                             "; valid courses: " + std::string(ValidCourses));
        courses[i] = *course;
    }
    const TBSSwCourse from = courses[0], to = courses[1];
    if (options.arguments.empty())
        return tool.Fail("missing TIME (or - to read times from standard input)");
    Request r;
    if (!ResolveRequest(tool, options, false, r))
        return ExitUsage;
    // Yards are scored as short-course metres.
    const TBSSwCourse fromScored = from == sco25y ? sco25m : from;
    const TBSSwCourse toScored = to == sco25y ? sco25m : to;
    std::string missing;
    if (from != to) {
        missing = MissingBaseTime(r, fromScored, 99, 0);
        if (missing.empty())
            missing = MissingBaseTime(r, toScored, 99, 0);
        if (!missing.empty())
            tool.Note(missing);
    }
    const IBSSwPoints& table = *r.table;
    const long double yardFactor = YardFactor(r.style->Stroke(), r.style->Distance());
    return ForEachValue(tool, options, [&](std::string_view value, std::string& out) {
        const SwimTime time = TextToSwimTime(value);
        if (!IsValidSwimTime(time)) {
            tool.Note(Quoted(value) + " is no swim time");
            return ExitUsage;
        }
        if (from == to) {
            out = SwimTimeToText(time, false);
            return ExitOk;
        }
        if (!missing.empty())
            return ExitNoResult;
        // Without points there is no time of equal points, and the conversion would hand the
        // time back unchanged as if it were one.
        const std::int64_t scored = from == sco25y ? RoundNearest(time * yardFactor) : time;
        const int points =
            scored < NoSwimTime
                ? table.PointsFromTime(fromScored, *r.style, r.gender, 99, 0, SwimTime(scored))
                : 0;
        const SwimTime converted =
            points > 0 ? table.ConvertTime(*r.style, r.gender, time, from, to) : 0;
        if (!IsValidSwimTime(converted)) {
            tool.Note(points > 0 ? "no time in " + CourseText(to) + " scores the points of " +
                                       Quoted(value)
                                 : Quoted(value) + " scores no points in " + CourseText(from) +
                                       ", so it has no time of equal points");
            return ExitNoResult;
        }
        out = SwimTimeToText(converted, false);
        return ExitOk;
    });
}

} // namespace marqor::cli
