#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace marqor::cli {

// Exit statuses of the command-line tool.
inline constexpr int ExitOk = 0;
inline constexpr int ExitUsage = 2;    // unknown command, bad argument or unreadable value
inline constexpr int ExitNoResult = 3; // the value has no result (no time, no base time)

struct Streams {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
};

// Runs the tool with the arguments after the program name and answers the exit status.
int Run(const std::vector<std::string>& args, Streams io);

} // namespace marqor::cli
