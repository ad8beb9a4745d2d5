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

TEST(Cli, TextPrintsWhatAReferenceStandsFor) {
    struct Case {
        std::vector<std::string> args;
        std::string out;
    };
    const std::vector<Case> cases = {
        {{"text", "#KAVRIN_G.61"}, "Page %d of %d\n"},
        {{"text", "#KAVRIN_G.55"}, "Page \n"},
        {{"text", "#KAVRIN_S.5", "2"}, "DSQ\n"},
        {{"text", "#KAVRIN_S.5", "40"}, "\n"},
        {{"text", "#KAVRIN_G.61", "-1"}, "Page %d of %d\n"},
        {{"text", "#BS.YesNo", "1"}, "#BS.YesNo\n"},
        {{"text", "#BSSwLanguage.GenderNames", "2"}, "Women\n"},
        {{"text", "plain words"}, "plain words\n"},
    };
    for (const auto& c : cases) {
        auto r = RunTool(c.args);
        EXPECT_EQ(r.status, ExitOk) << c.args[1];
        EXPECT_EQ(r.out, c.out) << c.args[1];
    }
}

TEST(Cli, UnknownCommandsAndArgumentsAreOneLineErrorsWithStatusTwo) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"frobnicate"}, {"time-text"}, {"time-text", "1", "2"}, {"text"},
             {"text", "#KAVRIN_G.61", "two"}, {"text", "#KAVRIN_G.61", "-2"},
             {"text", "#KAVRIN_G.61", "1", "2"}}) {
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
    EXPECT_NE(overview.out.find("text"), std::string::npos);
    for (const std::string command : {"time-text", "text"}) {
        auto help = RunTool({command, "--help"});
        EXPECT_EQ(help.status, ExitOk);
        EXPECT_EQ(help.out.rfind("Usage: marqor " + command + " ", 0), 0u) << help.out;
    }
}

} // namespace
