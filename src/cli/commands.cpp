#include "cli/commands.h"

#include "cli/point_commands.h"
#include "cli/print_table_command.h"
#include "foundation/text.h"
#include "services/config.h"
#include "services/settings_stores.h"
#include "swimming/swim_time.h"
#include "texts/kvr_language.h"

#include <algorithm>
#include <functional>
#include <istream>
#include <optional>
#include <ostream>
#include <span>
#include <string_view>

namespace marqor::cli {

namespace {

struct Command {
    std::string_view name;
    std::string_view usage;   // first line: synopsis; further lines: details
    std::string_view summary; // one line for the command list
    std::function<int(Args, Streams)> run;
};

bool IsHelp(std::string_view a) {
    return a == "--help" || a == "-h";
}

int Unexpected(Streams io, std::string_view command, std::string_view argument) {
    io.err << "marqor " << command << ": unexpected argument '" << argument << "' (see marqor "
           << command << " --help)\n";
    return ExitUsage;
}

int TimeText(Args args, Streams io) {
    if (args.size() != 1)
        return args.empty() ? (io.err << "marqor time-text: missing TEXT\n", ExitUsage)
                            : Unexpected(io, "time-text", args[1]);
    const SwimTime t = TextToSwimTime(args[0]);
    io.out << SwimTimeToText(t) << '\n';
    return IsValidSwimTime(t) ? ExitOk : ExitNoResult;
}

int Text(Args args, Streams io) {
    if (args.empty()) {
        io.err << "marqor text: missing REFERENCE\n";
        return ExitUsage;
    }
    if (args.size() > 2)
        return Unexpected(io, "text", args[2]);
    int index = -1;
    if (args.size() == 2) {
        const auto parsed = ParseInt(args[1]);
        if (!parsed || *parsed < -1) {
            io.err << "marqor text: INDEX must be a whole number of -1 or more, not '" << args[1]
                   << "'\n";
            return ExitUsage;
        }
        index = *parsed;
    }
    io.out << LanguageText(args[0], index) << '\n';
    return ExitOk;
}

int Settings(Args args, Streams io) {
    bool application = false;
    std::optional<std::string> section;
    for (const auto& a : args) {
        if (a == "--user" || a == "--app")
            application = a == "--app";
        else if (a.starts_with("-") || section)
            return Unexpected(io, "settings", a);
        else
            section = a;
    }
    StartApplicationServices();
    IBSSettings& store = application ? static_cast<IBSSettings&>(ApplicationObject())
                                     : static_cast<IBSSettings&>(UserObject());
    std::string text = section ? SectionAsText(store, *section) : store.AsText();
    if (section && text.empty())
        return ExitNoResult;
    // CR LF is the files' line end; a terminal wants LF.
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            out += text[i];
    io.out << out;
    return ExitOk;
}

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"time-text",
         "marqor time-text TEXT\n"
         "Prints the normal form of the swim time TEXT (1:42.00, 20.91). Prints an empty line\n"
         "and exits with status 3 when TEXT is no time.\n",
         "print the normal form of a swim time", TimeText},
        {"text",
         "marqor text REFERENCE [INDEX]\n"
         "Prints the text that REFERENCE (\"#Section.Key\") stands for in the built-in language\n"
         "data. INDEX n prints item n of a \";\"-separated text (an empty line when it has fewer\n"
         "items); -1, the default, prints the whole text. A reference that does not resolve is\n"
         "printed unchanged.\n",
         "print the text a reference stands for", Text},
        {"tables", TablesUsage, "list the point tables", TablesCommand},
        {"points", PointsUsage, "print the points of swim times", PointsCommand},
        {"time", TimeUsage, "print the time that scores a number of points", TimeCommand},
        {"convert", ConvertUsage, "convert swim times to another course at equal points",
         ConvertCommand},
        {"print-table", PrintTableUsage,
         "write the point table printout as PDF, HTML or on a printer", PrintTableCommand},
        {"settings",
         "marqor settings [--user|--app] [SECTION]\n"
         "Prints the user settings (--user, the default) or the application settings of the\n"
         "configuration file (--app) as INI text; with SECTION only that section. User settings\n"
         "live in $XDG_CONFIG_HOME/Orvane/registry.ini (~/.config/Orvane/registry.ini); values\n"
         "the user has not set come from the configuration file. Exits with status 3 when\n"
         "SECTION is empty.\n",
         "print the user or application settings", Settings},
    };
    return commands;
}

void PrintOverview(std::ostream& out) {
    out << "Usage: marqor COMMAND [ARGUMENTS]\n\n"
           "Points calculator for competitive swimming.\n\nCommands:\n";
    std::size_t width = 0;
    for (const auto& c : Commands())
        width = std::max(width, c.name.size());
    for (const auto& c : Commands())
        out << "  " << c.name << std::string(width - c.name.size() + 2, ' ') << c.summary << '\n';
    out << "\nRun 'marqor COMMAND --help' for the arguments of a command.\n";
}

} // namespace

int Run(const std::vector<std::string>& args, Streams io) {
    // The product's language class, before any text is resolved.
    RegisterLanguageClass<TLanguageKavrin>();
    if (args.empty() || IsHelp(args[0])) {
        PrintOverview(io.out);
        return ExitOk;
    }
    const auto& commands = Commands();
    const auto it = std::ranges::find(commands, std::string_view(args[0]), &Command::name);
    if (it == commands.end()) {
        io.err << "marqor: unknown command '" << args[0] << "' (see marqor --help)\n";
        return ExitUsage;
    }
    const Args rest = Args(args).subspan(1);
    if (std::ranges::any_of(rest, IsHelp)) {
        io.out << "Usage: " << it->usage;
        return ExitOk;
    }
    return it->run(rest, io);
}

} // namespace marqor::cli
