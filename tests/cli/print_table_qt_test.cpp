// marqor print-table with the Qt outputs: PDF files read back with poppler's tools, printers,
// and the program itself started without a display.
#include "../reports_qt/qt_test_support.h"
#include "cli/print_table_command.h"
#include "cli/qt_outputs.h"
#include "cli/terminal_status.h"
#include "print_table_support.h"

#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <regex>
#include <sstream>
#include <sys/wait.h>

namespace marqor {
namespace {

using namespace testing_support;
namespace fs = std::filesystem;

const auto* const SettingsEnvironment =
    ::testing::AddGlobalTestEnvironment(new TUserSettingsEnvironment(true));
const bool kQtOutputs = (cli::UseQtPrintOutputs(), true);

class PrintTablePdf : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HasTool("pdfinfo") || !HasTool("pdftotext"))
            GTEST_SKIP() << "poppler-utils are not installed";
    }
    std::string Info(const std::string& pdf) { return Capture("pdfinfo '" + pdf + "'"); }
    // The text of each page, laid out as on paper.
    std::vector<std::string> Pages(const std::string& pdf) {
        const std::string text = Capture("pdftotext -layout '" + pdf + "' -");
        std::vector<std::string> pages;
        std::size_t from = 0;
        for (std::size_t ff; (ff = text.find('\f', from)) != std::string::npos; from = ff + 1)
            pages.push_back(text.substr(from, ff - from));
        return pages;
    }
    static std::vector<std::string> Times(const std::vector<std::string>& args) {
        const auto r = RunTool(args);
        std::vector<std::string> lines;
        std::istringstream in(r.out);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
    TempDir dir;
};

TEST_F(PrintTablePdf, PagesAreA4LandscapeWithTitlesRemarkPointColumnsAndTheTimesOfMarqorTime) {
    const std::string pdf = dir / "t.pdf";
    const auto r = RunTool({"print-table", "-t", "3004", "-c", "LCM", "-g", "M", "--from", "1001",
                            "--to", "1100", "--paper", "A4", "--pdf", pdf});
    ASSERT_EQ(r.status, cli::ExitOk) << r.err;
    EXPECT_EQ(r.err, "");
    const std::string info = Info(pdf);
    EXPECT_TRUE(Contains(info, "Page size:       842 x 595 pts (A4)")) << info;
    EXPECT_TRUE(Contains(info, "Creator:         Kavrin Marqor")) << info;
    const auto pages = Pages(pdf);
    ASSERT_GE(pages.size(), 2u) << "100 rows take more than one page";

    const auto free50 = Times({"time", "-e", "50 Fr", "-g", "M", "1100", "1050", "1001"});
    const auto medley400 = Times({"time", "-e", "400 Me", "-g", "M", "1100", "1050", "1001"});
    ASSERT_EQ(free50.size(), 3u);
    std::string rows;
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const std::string& page = pages[i];
        EXPECT_TRUE(Contains(page, "FINA Point Scoring 2011")) << i;
        EXPECT_TRUE(Contains(page, "Men, Long Course (50m)")) << i;
        EXPECT_TRUE(Contains(page, "Page " + std::to_string(i + 1))) << i;
        EXPECT_TRUE(Contains(
            page, "For times not printed in the table use the next slower time in the list."));
        EXPECT_TRUE(Contains(page, "Pt.   50 Fr")) << page.substr(0, 600);
        EXPECT_TRUE(Contains(page, "400 Me     Pt.")) << page.substr(0, 600);
        rows += page;
    }
    // A row: the points, the times, the points again.
    const char* const points[] = {"1100", "1050", "1001"};
    for (std::size_t k = 0; k < free50.size(); ++k) {
        const std::regex row("\\n\\s*" + std::string(points[k]) + "\\s+" + free50[k] +
                             "\\s[^\\n]*\\s" + medley400[k] + "\\s+" + points[k] + "\\n");
        EXPECT_TRUE(std::regex_search(rows, row)) << points[k] << " " << free50[k];
    }
}

TEST_F(PrintTablePdf, RelaysShowBothGendersWhateverTheGender) {
    const std::string pdf = dir / "r.pdf";
    ASSERT_EQ(
        RunTool({"print-table", "-g", "F", "--relays", "--from", "1096", "--pdf", pdf}).status,
        cli::ExitOk);
    const auto pages = Pages(pdf);
    ASSERT_FALSE(pages.empty());
    EXPECT_TRUE(Contains(pages[0], "Relays, Long Course (50m)"));
    EXPECT_TRUE(Contains(pages[0], "M 4x50 Fr"));
    EXPECT_TRUE(Contains(pages[0], "F 4x100 Me"));
    const auto mens = Times({"time", "-e", "4 x 100 Me", "-g", "M", "1100"});
    ASSERT_EQ(mens.size(), 1u);
    EXPECT_TRUE(Contains(pages[0], mens[0]));
}

TEST_F(PrintTablePdf, AnExistingPdfStaysUnlessForcedAndAnInterruptedOneIsNotWritten) {
    const std::string pdf = dir.Write("t.pdf", "old content");
    auto r = RunTool({"print-table", "--pdf", pdf});
    EXPECT_EQ(r.status, cli::ExitUsage);
    EXPECT_EQ(TempDir::Read(pdf), "old content");

    cli::RequestInterrupt();
    r = RunTool({"print-table", "--pdf", pdf, "--force"});
    EXPECT_EQ(r.status, cli::ExitInterrupted);
    EXPECT_EQ(r.err, "marqor print-table: interrupted; " + pdf + " was not written\n");
    EXPECT_EQ(TempDir::Read(pdf), "old content");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);

    r = RunTool({"print-table", "--pdf", pdf, "--force"});
    EXPECT_EQ(r.status, cli::ExitOk) << r.err;
    EXPECT_EQ(TempDir::Read(pdf).rfind("%PDF-", 0), 0u);
}

TEST_F(PrintTablePdf, ColumnsAndPaperFromTheCommandLineShapeThePages) {
    const std::string pdf = dir / "c.pdf";
    ASSERT_EQ(RunTool({"print-table", "--relays", "--columns", "2", "--paper", "letter", "--from",
                       "1001", "--pdf", pdf})
                  .status,
              cli::ExitOk);
    EXPECT_TRUE(Contains(Info(pdf), "Page size:       792 x 612 pts (letter)")) << Info(pdf);
    const std::string first = Capture("pdftotext -f 1 -l 1 '" + pdf + "' -");
    // Two newspaper columns, each with its column titles; one page header.
    std::size_t titles = 0;
    for (std::size_t at = 0; (at = first.find("Pt.", at)) != std::string::npos; ++at)
        ++titles;
    EXPECT_EQ(titles, 4u) << first.substr(0, 400);
    EXPECT_EQ(first.find("Page 1"), first.rfind("Page 1"));
}

TEST(PrintTablePrinter, AMissingPrinterIsAClearErrorWithStatusThreeOrTwo) {
    const auto any = RunTool({"print-table", "--print"});
    const auto named = RunTool({"print-table", "--print", "no-such-printer-here"});
    if (Contains(any.err, "no printer is installed")) {
        EXPECT_EQ(any.status, cli::ExitNoResult);
        EXPECT_EQ(named.status, cli::ExitNoResult);
        EXPECT_EQ(named.err, "marqor print-table: no printer is installed\n");
    } else {
        EXPECT_EQ(named.status, cli::ExitUsage);
        EXPECT_TRUE(Contains(named.err, "unknown printer 'no-such-printer-here'; printers: "))
            << named.err;
    }
}

// The program, started as a user would start it, without a display or a platform choice.
TEST(PrintTableProgram, RunsWithoutADisplayAndSaysNothingOnSuccess) {
    if (!HasTool("pdfinfo"))
        GTEST_SKIP() << "poppler-utils are not installed";
    TempDir dir;
    const std::string pdf = dir / "t.pdf";
    const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '" +
                                std::string(MARQOR_PROGRAM) + "' print-table --from 1091 --pdf '" +
                                pdf + "' 2>&1";
    const std::string output = Capture(command + "; echo \"status $?\"");
    EXPECT_EQ(output, "status 0\n");
    EXPECT_TRUE(Contains(Capture("pdfinfo '" + pdf + "'"), "Pages:           1"));
}

} // namespace
} // namespace marqor
