#pragma once

// What the commands over point tables share: the options, their parsing, and reading the
// table, course, gender and age of a request, with the messages that list the valid choices.

#include "cli/commands.h"
#include "points/catalogue.h"
#include "points/point_table.h"
#include "swimming/types.h"

#include <initializer_list>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace marqor::cli {

using Args = std::span<const std::string>;

enum OptionId {
    OTable,
    OEvent,
    OCourse,
    OGender,
    OAge,
    OHandicap,
    OLine,
    OFrom,
    OTo,
    OFilter,
    OTableFile,
    ORelays,
    OColumns,
    OPaper,
    OPdf,
    OHtml,
    OPrint,
    OForce,
    OptionCount
};

struct Options {
    // The last value of each option given; a flag holds the empty text, as does --print
    // without a printer.
    std::optional<std::string> values[OptionCount];
    std::vector<std::string> tableFiles;
    std::vector<std::string> arguments;

    const std::optional<std::string>& Get(OptionId id) const { return values[id]; }
    bool Has(OptionId id) const { return values[id].has_value(); }
};

// Decimal digits with an optional sign, nothing else, within 32 bits.
std::optional<int> ParseDecimal(std::string_view text);

std::string Join(const std::vector<std::string>& items);

// One command's messages, options and catalogue.
class Tool {
public:
    Tool(std::string_view command, Streams io) : command_(command), io_(io) {}

    // The message on stderr; answers ExitUsage.
    int Fail(std::string_view message) const;
    void Note(std::string_view message) const;
    std::string_view Command() const { return command_; }
    Streams Io() const { return io_; }

    // Options and arguments; false (with the message given) for an unknown option, one that
    // this command does not take, or a missing value.
    bool Parse(Args args, std::initializer_list<OptionId> allowed, Options& options) const;

    // The catalogue with the --table-file tables; warnings go to stderr.
    TBSSwPointTableController& Catalogue(const Options& options);

private:
    std::string_view command_;
    Streams io_;
    std::unique_ptr<TBSSwPointTableController> catalogue_;
};

// -t (default 3004); null with the message given, which lists the tables.
IBSSwPointsPtr ResolveTable(Tool& tool, const Options& options);
// -c (default: the table's first course); false with the message given.
bool ResolveCourse(Tool& tool, const Options& options, const IBSSwPoints& table,
                   TBSSwCourse& course);
// -g (default men).
bool ResolveGender(Tool& tool, const Options& options, TBSSwGender& gender);
// -a (default 99).
bool ResolveAge(Tool& tool, const Options& options, int& age);

extern const std::string_view ValidCourses;
std::optional<TBSSwCourse> FindCourse(std::string_view text);
// The file code of the course ("LCM"), "all pools" for none.
std::string CourseText(TBSSwCourse course);

} // namespace marqor::cli
