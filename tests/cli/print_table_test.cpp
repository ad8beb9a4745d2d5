// marqor print-table with the HTML output, its arguments and its files; the terminal status.
#include "../foundation/fault_calls.h"
#include "cli/print_table_command.h"
#include "cli/terminal_status.h"
#include "foundation/settings.h"
#include "print_table_support.h"
#include "reports/document_settings.h"
#include "reports/point_table_printout.h"
#include "services/config.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>

namespace marqor {
namespace {

using namespace testing_support;
namespace fs = std::filesystem;

const auto* const SettingsEnvironment =
    ::testing::AddGlobalTestEnvironment(new TUserSettingsEnvironment(false));

class PrintTable : public ::testing::Test {
protected:
    TempDir dir;
    std::string File(const std::string& name) const { return dir / name; }
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir.Path()))
            names.push_back(e.path().filename().string());
        return names;
    }
};

TEST_F(PrintTable, BadArgumentsAreOneLineErrorsWithStatusTwoAndWriteNothing) {
    const std::string out = File("t.htm");
    fs::create_directory(File("sub"));
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"--pdf", File("t.pdf"), "--html", out},
        {"--html", out, "--print"},
        {"--html", out, "--from", "eight"},
        {"--html", out, "--to", "1100.5"},
        {"--html", out, "--columns", "0"},
        {"--html", out, "--columns", "101"},
        {"--html", out, "--paper", "A7"},
        {"--html", out, "-t", "no such table"},
        {"--html", out, "-c", "pond"},
        {"--html", out, "-g", "Q"},
        {"--html", out, "-a", "old"},
        {"--html", out, "-e", "50 Fr"},
        {"--html", out, "extra"},
        {"--html", ""},
        {"--html", File("sub")},
        {"--html"},
    };
    for (const auto& args : cases) {
        std::vector<std::string> full = {"print-table"};
        full.insert(full.end(), args.begin(), args.end());
        const auto r = RunTool(full);
        const std::string shown = args.empty() ? "(none)" : args.back();
        EXPECT_EQ(r.status, cli::ExitUsage) << shown;
        ASSERT_FALSE(r.err.empty()) << shown;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
        EXPECT_TRUE(r.out.empty());
    }
    EXPECT_EQ(Entries(), std::vector<std::string>{"sub"});
}

TEST_F(PrintTable, ARequestWithoutBaseTimesExitsWithThreeAndSaysWhy) {
    const struct {
        std::vector<std::string> args;
        std::string says;
    } cases[] = {
        {{"-t", "FINA 2008"}, "has no base times in this edition"},
        {{"-c", "SCM"}, "FINA 2011 has no base times for the individual events of SCM, Men"},
        {{"-c", "SCM", "--relays"}, "FINA 2011 has no base times for the relays of SCM"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"print-table", "--html", File("t.htm")};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const auto r = RunTool(args);
        EXPECT_EQ(r.status, cli::ExitNoResult) << c.says;
        EXPECT_TRUE(Contains(r.err, c.says)) << r.err;
    }
    EXPECT_TRUE(Entries().empty());
}

TEST_F(PrintTable, HtmlOfTheTopFiveRowsIsTheExpectedPageTitledByTheApplication) {
    const auto r = RunTool({"print-table", "-t", "3004", "-c", "LCM", "-g", "M", "--from", "1096",
                            "--to", "1100", "--html", File("t.htm")});
    ASSERT_EQ(r.status, cli::ExitOk) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
    // The comment names the application object's title, "MARQOR".
    EXPECT_EQ(TempDir::Read(File("t.htm")), Expected("point_table_page.htm"));
}

// The same times as marqor time gives, with "---" where p + 1 points take the same time.
TEST_F(PrintTable, CellsHoldTheTimesThatMarqorTimeGivesForTheSamePoints) {
    for (const bool relays : {false, true}) {
        std::vector<std::string> args = {"print-table", "-g",   "F",      "--from",      "1046",
                                         "--to",        "1050", "--html", File("t.htm"), "--force"};
        if (relays)
            args.push_back("--relays");
        ASSERT_EQ(RunTool(args).status, cli::ExitOk);
        const auto columns = FirstBlock(TempDir::Read(File("t.htm")));
        const std::vector<std::pair<std::string, std::string>> events =
            relays ? std::vector<std::pair<std::string, std::string>>{{"4 x 50 Fr", "M"},
                                                                      {"4 x 100 Me", "M"},
                                                                      {"4 x 50 Fr", "F"},
                                                                      {"4 x 200 Fr", "F"}}
                   : std::vector<std::pair<std::string, std::string>>{
                         {"50 Fr", "F"},  {"100 Fr", "F"}, {"1500 Fr", "F"}, {"50 Bk", "F"},
                         {"200 Br", "F"}, {"50 Bu", "F"},  {"400 Me", "F"}};
        const std::vector<int> columnOf =
            relays ? std::vector<int>{1, 5, 6, 8} : std::vector<int>{1, 2, 6, 7, 12, 13, 18};
        ASSERT_EQ(columns.size(), relays ? 12u : 20u);
        EXPECT_EQ(columns.front(),
                  (std::vector<std::string>{"1050", "1049", "1048", "1047", "1046"}));
        EXPECT_EQ(columns.back(), columns.front());
        for (std::size_t i = 0; i < events.size(); ++i) {
            const auto t = RunTool({"time", "-e", events[i].first, "-g", events[i].second, "1051",
                                    "1050", "1049", "1048", "1047", "1046"});
            ASSERT_EQ(t.status, cli::ExitOk);
            std::vector<std::string> times;
            std::istringstream lines(t.out);
            for (std::string line; std::getline(lines, line);)
                times.push_back(line);
            std::vector<std::string> expected;
            for (std::size_t k = 1; k < times.size(); ++k)
                expected.push_back(k > 1 && times[k] == times[k - 1] ? "---" : times[k]);
            EXPECT_EQ(columns[std::size_t(columnOf[i])], expected)
                << events[i].first << " " << events[i].second;
        }
    }
}

TEST_F(PrintTable, PointsOutsideOneToElevenHundredAreBroughtIntoRangeWithANote) {
    auto r = RunTool({"print-table", "--from", "1099", "--to", "5000", "--html", File("a.htm")});
    ASSERT_EQ(r.status, cli::ExitOk);
    EXPECT_EQ(r.err, "marqor print-table: --to 5000 is outside 1 .. 1100; 1100 is used\n");
    EXPECT_EQ(FirstBlock(TempDir::Read(File("a.htm"))).front(),
              (std::vector<std::string>{"1100", "1099"}));

    r = RunTool({"print-table", "--from", "-3", "--to", "0", "--html", File("b.htm")});
    ASSERT_EQ(r.status, cli::ExitOk);
    EXPECT_TRUE(Contains(r.err, "--from -3 is outside 1 .. 1100; 1 is used")) << r.err;
    EXPECT_EQ(FirstBlock(TempDir::Read(File("b.htm"))).front(), std::vector<std::string>{"1"});
}

TEST_F(PrintTable, AMaximumBelowTheMinimumWritesAFileWithoutRows) {
    const auto r =
        RunTool({"print-table", "--from", "900", "--to", "800", "--html", File("t.htm")});
    ASSERT_EQ(r.status, cli::ExitOk);
    const std::string page = TempDir::Read(File("t.htm"));
    EXPECT_TRUE(Contains(page, "<title>\r\nFINA Point Scoring 2011\r\n</title>"));
    EXPECT_FALSE(Contains(page, "<td"));
}

TEST_F(PrintTable, AnExistingFileIsReplacedOnlyWithForce) {
    const std::string target = dir.Write("t.htm", "keep me");
    auto r = RunTool({"print-table", "--html", target});
    EXPECT_EQ(r.status, cli::ExitUsage);
    EXPECT_EQ(r.err, "marqor print-table: " + target + " exists; give --force to replace it\n");
    EXPECT_EQ(TempDir::Read(target), "keep me");

    r = RunTool({"print-table", "--html", target, "--force"});
    EXPECT_EQ(r.status, cli::ExitOk) << r.err;
    EXPECT_TRUE(Contains(TempDir::Read(target), "1:38.81")) << "200 Fr at 1100 points";
}

TEST_F(PrintTable, ATargetThatCannotBeWrittenNamesFileAndReasonAndLeavesNothingBehind) {
    // Start the services first: their first start writes the language choice to the settings.
    ASSERT_EQ(
        RunTool({"print-table", "--to", "1100", "--from", "1100", "--html", File("w.htm")}).status,
        cli::ExitOk);
    fs::remove(File("w.htm"));

    auto r = RunTool({"print-table", "--html", File("missing/t.htm")});
    EXPECT_EQ(r.status, cli::ExitFailed);
    EXPECT_TRUE(Contains(r.err, File("missing/t.htm"))) << r.err;
    EXPECT_TRUE(Contains(r.err, "No such file or directory")) << r.err;

    {
        // The disk fills up while the page is written.
        auto faults = std::make_shared<FaultyCalls>();
        faults->spaceLeft = 5000;
        CallsGuard guard(faults);
        r = RunTool({"print-table", "--html", File("full.htm")});
    }
    EXPECT_EQ(r.status, cli::ExitFailed);
    EXPECT_TRUE(Contains(r.err, File("full.htm"))) << r.err;
    EXPECT_TRUE(Contains(r.err, "No space left on device")) << r.err;
    EXPECT_TRUE(Entries().empty()) << Entries().front();
}

TEST_F(PrintTable, AReadOnlyDirectoryKeepsNoPartialFile) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only directories";
    fs::create_directory(File("ro"));
    fs::permissions(File("ro"), fs::perms::owner_read | fs::perms::owner_exec);
    const auto r = RunTool({"print-table", "--html", File("ro/t.htm")});
    EXPECT_EQ(r.status, cli::ExitFailed);
    EXPECT_TRUE(Contains(r.err, File("ro/t.htm"))) << r.err;
    EXPECT_TRUE(Contains(r.err, "Permission denied")) << r.err;
    EXPECT_TRUE(fs::is_empty(File("ro")));
}

TEST_F(PrintTable, UsesTheStoredDocumentSettingsAndLeavesTheWindowsFieldsAlone) {
    StartApplicationServices();
    TBSSwDocumentSettings settings;
    settings.FooterLeft = {"Swim Club Aquila"};
    settings.HtmlTableWidth = 800;
    StoreDocumentSettings(PointTablePrintSection, settings);
    const auto r = RunTool({"print-table", "--from", "1100", "--html", File("t.htm")});
    StoreDocumentSettings(PointTablePrintSection, TBSSwDocumentSettings());
    ASSERT_EQ(r.status, cli::ExitOk) << r.err;
    const std::string page = TempDir::Read(File("t.htm"));
    EXPECT_TRUE(Contains(page, ">Swim Club Aquila</td>"));
    EXPECT_TRUE(Contains(page, "<table width=800 "));
    const auto section = UserSettings()->GetSection(PointTablePrintSection);
    EXPECT_EQ(section->ReadRaw("EPointsMin", "none"), "none");
}

TEST_F(PrintTable, PdfAndPrinterNeedTheQtOutputs) {
    const auto r = RunTool({"print-table", "--pdf", File("t.pdf")});
    EXPECT_EQ(r.status, cli::ExitFailed);
    EXPECT_TRUE(Contains(r.err, "not part of this build")) << r.err;
    EXPECT_TRUE(Entries().empty());
}

// An HTML output is not cancelled: the interrupt takes effect once the file is complete.
TEST_F(PrintTable, AnInterruptedHtmlOutputIsWrittenInFullAndExitsWith130) {
    cli::RequestInterrupt();
    const auto r =
        RunTool({"print-table", "--from", "1096", "--to", "1100", "--html", File("t.htm")});
    EXPECT_FALSE(cli::InterruptRequested()) << "the request ends with the output";
    EXPECT_EQ(r.status, cli::ExitInterrupted);
    EXPECT_EQ(r.err,
              "marqor print-table: interrupted; " + File("t.htm") + " was written in full\n");
    EXPECT_EQ(TempDir::Read(File("t.htm")), Expected("point_table_page.htm"));
}

TEST(InterruptScope, TheFirstInterruptOnlyAsksForACancel) {
    ASSERT_FALSE(cli::InterruptRequested());
    {
        cli::TInterruptScope scope;
        std::raise(SIGINT);
        EXPECT_TRUE(cli::InterruptRequested());
    }
    EXPECT_FALSE(cli::InterruptRequested());
    struct sigaction current {};
    sigaction(SIGINT, nullptr, &current);
    EXPECT_EQ(current.sa_handler, SIG_DFL) << "the previous handler is back";
}

// ---------------------------------------------------------------------------------------------
// The terminal status

class TerminalStatus : public ::testing::Test {
protected:
    std::chrono::steady_clock::time_point now{};
    std::ostringstream err;
    cli::TTerminalStatus Make(bool terminal) {
        return cli::TTerminalStatus(err, "marqor print-table: ", terminal, true,
                                    std::chrono::seconds(1), [this] { return now; });
    }
};

TEST_F(TerminalStatus, ShowsNothingDuringTheFirstSecond) {
    auto status = Make(false);
    status.SetLine(0, "Output as PDF file: t.pdf");
    now += std::chrono::milliseconds(999);
    status.SetLine(0, "Page 1");
    status.Finish();
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(status.GetLine(0), "Page 1");
}

TEST_F(TerminalStatus, OffATerminalWritesALinePerChangeAtMostOncePerSecond) {
    auto status = Make(false);
    now += std::chrono::milliseconds(1200);
    status.SetLine(0, "Page 1");
    now += std::chrono::milliseconds(300);
    status.SetLine(0, "Page 2");
    now += std::chrono::milliseconds(800);
    status.SetLine(0, "Page 3");
    status.SetDetail("end of document");
    now += std::chrono::seconds(1);
    status.SetDetail("end of document");
    status.SetLine(0, "Page 3");
    status.Finish();
    EXPECT_EQ(err.str(), "marqor print-table: Page 1\n"
                         "marqor print-table: Page 3\n"
                         "marqor print-table: Page 3 (end of document)\n");
}

TEST_F(TerminalStatus, OnATerminalRewritesOneLineAndEndsItAtTheEnd) {
    auto status = Make(true);
    now += std::chrono::seconds(2);
    status.SetLine(0, "Page 1");
    status.SetLine(0, "Page 2");
    status.SetDetail("end of document");
    status.Finish();
    EXPECT_EQ(err.str(), "\rmarqor print-table: Page 1\x1b[K"
                         "\rmarqor print-table: Page 2\x1b[K"
                         "\rmarqor print-table: Page 2 (end of document)\x1b[K\n");
    EXPECT_TRUE(status.Shown());
}

TEST(PrintTableHelp, DescribesEveryOption) {
    const auto r = RunTool({"print-table", "--help"});
    EXPECT_EQ(r.status, cli::ExitOk);
    EXPECT_EQ(r.out.rfind("Usage: marqor print-table ", 0), 0u);
    for (const char* option :
         {"--table", "--course", "--gender", "--age", "--from", "--to", "--relays", "--columns",
          "--paper", "--pdf", "--html", "--print", "--force", "--table-file"})
        EXPECT_TRUE(Contains(r.out, option)) << option;
}

} // namespace
} // namespace marqor
