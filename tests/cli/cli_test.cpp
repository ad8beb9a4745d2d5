#include "cli/commands.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace marqor::cli;

namespace {

struct Result {
    int status;
    std::string out;
    std::string err;
};

Result RunTool(std::vector<std::string> args, const std::string& input = "") {
    std::istringstream in(input);
    std::ostringstream out, err;
    const int status = Run(args, {in, out, err});
    return {status, out.str(), err.str()};
}

TEST(Cli, TimeTextPrintsTheNormalForm) {
    auto r = RunTool({"time-text", "1 42 00"});
    EXPECT_EQ(r.status, ExitOk);
    EXPECT_EQ(r.out, "1:42.00\n");
    EXPECT_EQ(RunTool({"time-text", "1:05"}).out, "1.05\n");
}

TEST(Cli, TimeTextOfNoTimePrintsAnEmptyLineAndExitsWithThree) {
    auto r = RunTool({"time-text", "abc"});
    EXPECT_EQ(r.status, ExitNoResult);
    EXPECT_EQ(r.out, "\n");
}

TEST(Cli, UnknownCommandsAndArgumentsAreOneLineErrorsWithStatusTwo) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"frobnicate"}, {"time-text"}, {"time-text", "1", "2"}}) {
        auto r = RunTool(args);
        EXPECT_EQ(r.status, ExitUsage);
        EXPECT_TRUE(r.out.empty());
        ASSERT_FALSE(r.err.empty());
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
    }
}

TEST(Cli, EveryCommandHasHelp) {
    auto overview = RunTool({"--help"});
    EXPECT_EQ(overview.status, ExitOk);
    EXPECT_NE(overview.out.find("time-text"), std::string::npos);
    auto help = RunTool({"time-text", "--help"});
    EXPECT_EQ(help.status, ExitOk);
    EXPECT_EQ(help.out.rfind("Usage: marqor time-text", 0), 0u);
}

} // namespace
