#include "fuzz_support.h"
#include "fuzz_targets.h"

#include "cli/cli_options.h"
#include "cli/commands.h"

#include <algorithm>
#include <sstream>
#include <vector>

namespace marqor::fuzz {

namespace {

constexpr std::initializer_list<cli::OptionId> AllOptions = {
    cli::OTable, cli::OEvent,   cli::OCourse,    cli::OGender,  cli::OAge,   cli::OHandicap,
    cli::OLine,  cli::OFrom,    cli::OTo,        cli::OFilter,  cli::OTableFile,
    cli::ORelays, cli::OColumns, cli::OPaper,    cli::OPdf,     cli::OHtml,  cli::OPrint,
    cli::OForce};

// The commands that only read: print-table writes files and settings reads the user's.
constexpr const char* ReadingCommands[] = {"time-text", "text",    "points", "time",
                                           "convert",   "tables", "help",   "--help"};

} // namespace

// Input: a byte choosing the command, then its arguments separated by NUL bytes; after a line
// "\x01" follows the standard input.
int FuzzCliOptions(const std::uint8_t* data, std::size_t size) {
    Prepare();
    ByteReader in(data, size);
    const std::uint8_t choice = in.Byte();
    const std::string_view argumentText = in.Until('\x01');
    const std::string input(in.Rest());
    std::vector<std::string> args;
    for (std::string_view rest = argumentText; !rest.empty();) {
        const auto nul = rest.find('\0');
        args.emplace_back(rest.substr(0, nul));
        rest.remove_prefix(nul == std::string_view::npos ? rest.size() : nul + 1);
        if (args.size() > 64)
            break;
    }
    // Table files name files of this machine; they are not what this harness reads.
    for (auto& a : args)
        if (a.find("table-file") != std::string::npos)
            a = "--line";

    std::istringstream stdinText(input);
    std::ostringstream out, err;
    const cli::Streams io{stdinText, out, err};

    cli::Tool tool("points", io);
    cli::Options options;
    if (tool.Parse(args, AllOptions, options)) {
        for (const auto& a : options.arguments)
            MARQOR_FUZZ_CHECK(std::ranges::find(args, a) != args.end(),
                              "an argument that was not given: " + a);
        MARQOR_FUZZ_CHECK(options.arguments.size() <= args.size(), "more arguments than given");
        TBSSwGender gender = sgeNone;
        int age = 0;
        cli::ResolveGender(tool, options, gender);
        cli::ResolveAge(tool, options, age);
        if (const auto& course = options.Get(cli::OCourse))
            cli::FindCourse(*course);
        for (const auto& a : options.arguments)
            cli::ParseDecimal(a);
    } else {
        MARQOR_FUZZ_CHECK(!err.str().empty(), "a refused command line without a message");
    }

    // The whole tool, on a command that only reads.
    std::vector<std::string> command{ReadingCommands[choice % std::size(ReadingCommands)]};
    command.insert(command.end(), args.begin(), args.end());
    std::ostringstream out2, err2;
    std::istringstream stdin2(input);
    const int status = cli::Run(command, cli::Streams{stdin2, out2, err2});
    MARQOR_FUZZ_CHECK(status == 0 || !err2.str().empty() || status == 3,
                      "status " + std::to_string(status) + " without a message");
    return 0;
}

} // namespace marqor::fuzz
