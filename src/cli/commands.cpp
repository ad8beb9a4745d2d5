#include "cli/commands.h"

#include "swimming/swim_time.h"

#include <algorithm>
#include <functional>
#include <istream>
#include <ostream>
#include <span>
#include <string_view>

namespace marqor::cli {

namespace {

using Args = std::span<const std::string>;

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
    io.err << "marqor " << command << ": unexpected argument '" << argument
           << "' (see marqor " << command << " --help)\n";
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

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"time-text",
         "marqor time-text TEXT\n"
         "Prints the normal form of the swim time TEXT (1:42.00, 20.91). Prints an empty line\n"
         "and exits with status 3 when TEXT is no time.\n",
         "print the normal form of a swim time", TimeText},
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
        out << "  " << c.name << std::string(width - c.name.size() + 2, ' ') << c.summary
            << '\n';
    out << "\nRun 'marqor COMMAND --help' for the arguments of a command.\n";
}

} // namespace

int Run(const std::vector<std::string>& args, Streams io) {
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
