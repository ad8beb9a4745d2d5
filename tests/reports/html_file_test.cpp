#include "../foundation/temp_dir.h"
#include "foundation/errors.h"
#include "foundation/text.h"
#include "report_test_support.h"
#include "reports/html_file.h"
#include "reports/report.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace marqor {
namespace {

using testing_support::TempDir;
using testing_support::THooksScope;

const std::string DataDir = std::string(MARQOR_TEST_DATA_DIR) + "/reports/";

std::string Expected(const std::string& name) {
    return TempDir::Read(DataDir + name);
}

// Runs in a directory of its own, so that no "default.htt" of the working directory interferes.
class HtmlFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = std::filesystem::current_path();
        std::filesystem::current_path(dir.Path());
    }
    void TearDown() override { std::filesystem::current_path(saved_); }

    THooksScope hooks;
    TempDir dir;

private:
    std::filesystem::path saved_;
};

// A report through the engine's HTML device.
std::string RunHtml(TKvrReport& report, const std::string& target) {
    report.HtmlFileName = target;
    report.PrintToHtml(nullptr);
    report.FreeHtmlWriter();
    return TempDir::Read(target);
}

TEST_F(HtmlFileTest, TenLinesOfOneLayoutBecomeOneRowAndOnlyTheLongestCellKeepsTrailingBreaks) {
    TKvrReport report;
    report.Document.HtmlTemplate = DataDir + "body_only.htt";
    report.OnOneExemplar = [](TKvrReport& r) {
        r.NewPage(1);
        r.SetColumns("L500;R500");
        for (int i = 1; i <= 10; ++i) {
            r.Cell(0, "Line " + std::to_string(i));
            r.Cell(1, std::to_string(i));
            r.LineFeed(10);
        }
        r.LineFeed(10);
    };
    EXPECT_EQ(RunHtml(report, dir / "ten.htm"), Expected("ten_lines.htm"));
}

TEST_F(HtmlFileTest, EmptyCellsAfterTheFirstRowCollapseIntoColspansAndAreDroppedAtTheEnd) {
    THtmlFile html(-1, DataDir + "body_only.htt", 10);
    html.SetColumns("L125;L125;L125;L125;C125;L125;L125;R125");
    html.Cell(0, "A");
    html.Cell(7, "H");
    html.FlushRow();
    html.Cell(0, "B");
    html.Cell(4, "E");
    html.Cell(7, "H2");
    html.FlushRow();
    html.SetFontId(7);
    html.Cell(0, "C");
    html.FlushRow();
    html.SetFontId(10);
    html.Cell(0, "D1");
    html.LineBreak();
    html.Cell(0, "D2");
    html.Cell(3, "X");
    html.SaveToFile(dir / "colspan.htm");
    EXPECT_EQ(TempDir::Read(dir / "colspan.htm"), Expected("colspan_runs.htm"));
}

// The rows of a point table: 20 centred columns, rows at 70 %, a rule after every fifth row and
// the footers after a closing rule.
TEST_F(HtmlFileTest, PointTableRowsGatherInBlocksOfFiveBetweenRules) {
    TKvrReport report;
    report.Document.HtmlTemplate = DataDir + "body_only.htt";
    report.Document.FooterLeft = {"A", "", ""};
    const auto layout = [](TKvrReport& r) {
        r.SetFontSize(90);
        std::string definition = "C41;";
        for (int i = 0; i < 18; ++i)
            definition += "C51;";
        r.SetColumns(definition + "C41");
    };
    report.OnInitReport = [](TKvrReport& r) {
        r.BaseFontPercent = 70;
        r.Document.TitleLines = {"Point table", "Men"};
        r.Document.HeaderLeft = r.Document.TitleLines;
    };
    report.OnPageHead = [&](TKvrReport& r) {
        layout(r);
        r.Cell(0, "Pt.");
        r.LineFeed(10);
        r.HorizontalRule(-1);
    };
    report.OnOneExemplar = [&](TKvrReport& r) {
        r.NewPage(1);
        layout(r);
        const int max = 1100, min = 1094;
        for (int p = max; p >= min; --p) {
            EXPECT_FALSE(r.CheckPageBreak(10));
            r.Cell(0, std::to_string(p));
            for (int c = 1; c <= 18; ++c)
                r.Cell(c, Format("%d.%02d", c, p % 100));
            r.Cell(19, std::to_string(p));
            r.LineFeed(10);
            if ((max - p) % 5 == 4)
                r.HorizontalRule(3);
        }
    };
    EXPECT_EQ(RunHtml(report, dir / "points.htm"), Expected("point_table_blocks.htm"));
}

TEST_F(HtmlFileTest, ATemplateWithoutBodyLineGetsTheBodyAfterItsLastLine) {
    THtmlFile html(500, DataDir + "no_body.htt", 10);
    html.SetFontName("Verdana");
    html.SetTitle("Small table");
    html.SetColumns("L510;R490");
    html.Cell(0, "Zürich  Bern");
    html.Cell(1, "<b>1</b> & 2");
    html.LineBreak();
    html.HorizontalRule();
    html.SaveToFile(dir / "small.htm");
    EXPECT_EQ(TempDir::Read(dir / "small.htm"), Expected("small_table.htm"));
}

TEST_F(HtmlFileTest, AReportWithoutCellsWritesTheBuiltInPageWithAnEmptyBody) {
    TKvrReport report;
    report.OnInitReport = [](TKvrReport& r) {
        r.Document.TitleLines = {"Empty report"};
    };
    report.OnOneExemplar = [](TKvrReport& r) {
        r.NewPage(1);
    };
    EXPECT_EQ(RunHtml(report, dir / "empty.htm"), Expected("empty_report.htm"));
}

TEST_F(HtmlFileTest, AMissingTemplateFallsBackToDefaultHttInTheWorkingDirectory) {
    dir.Write("default.htt", "<p>@TITLE@</p>\r\n@BODY@\r\n<p>end</p>");
    THtmlFile html(-1, dir / "missing.htt", 10);
    html.SetTitle("T");
    EXPECT_EQ(html.PageText(), "<a name=_top>\r\n<p>@TITLE@</p>\r\n<p>end</p>\r\n");
    ASSERT_EQ(hooks.log.size(), 1u);
    EXPECT_NE(hooks.log[0].find("missing.htt"), std::string::npos);
}

TEST_F(HtmlFileTest, TemplatesThatAreNoTextOrNoFileFallBackToTheBuiltInPage) {
    const std::string binary = dir.Write("binary.htt", std::string("<html>\0\x01\x02", 9));
    std::filesystem::create_directory(dir / "folder.htt");
    for (const std::string& name : {binary, dir / "folder.htt", std::string()}) {
        THtmlFile html(-1, name, 10);
        html.SetTitle("Title");
        const std::string page = html.PageText();
        EXPECT_NE(page.find("<title>\r\nTitle\r\n</title>"), std::string::npos) << name;
    }
    EXPECT_EQ(hooks.log.size(), 2u);
}

TEST_F(HtmlFileTest, AnUnreadableDefaultHttFallsBackToTheBuiltInPage) {
    dir.Write("default.htt", std::string("\0\0\0\0", 4));
    THtmlFile html(-1, "", 10);
    EXPECT_EQ(html.PageText().rfind("<a name=_top>\r\n<!doctype", 0), 0u);
    EXPECT_EQ(hooks.log.size(), 1u);
}

TEST_F(HtmlFileTest, TemplateMarkersAreReplacedByLineIgnoringLetterCase) {
    dir.Write("t.htt",
              "\xEF\xBB\xBF<HTML><Head>x\r\n@title@\r\n@anchors@\r\n@Body@\r\n@DATE@ @DATE@");
    THtmlFile html(-1, dir / "t.htt", 10);
    html.SetTitle("Über");
    html.Cell(0, "c");
    const std::string page = html.PageText();
    EXPECT_EQ(page.rfind("<a name=_top>\r\n<HTML><Head>\r\n<!-- created with Kavrin Software FINA "
                         "MARQOR-->\r\n<STYLE><!--\r\n",
                         0),
              0u);
    EXPECT_NE(page.find("--></STYLE>x\r\nÜber\r\n\r\n<table width=100% border=0"),
              std::string::npos);
    EXPECT_NE(page.find("</table>\r\n05/03/2024 05/03/2024\r\n"), std::string::npos);
}

TEST_F(HtmlFileTest, AnIdenticalLayoutKeepsTheTableOpenAndADifferentOneClosesIt) {
    THtmlFile html(-1, "", 10);
    html.SetColumns("L500;R500");
    html.Cell(0, "a");
    html.SetColumns("L500;R500");
    EXPECT_EQ(html.State(), hsRowPending);
    html.SetColumns("L500");
    EXPECT_EQ(html.State(), hsNone);
    EXPECT_EQ(html.Definition(), "L500;L500");
    EXPECT_EQ(html.Lines().back(), "</table>");
}

TEST_F(HtmlFileTest, PixelTableWidthsAreWrittenWithoutPercent) {
    THtmlFile html(700, "", 10);
    html.SetColumns("C51;L949");
    html.Cell(0, "x");
    html.HorizontalRule();
    const auto& lines = html.Lines();
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "<table width=700 border=0 cellspacing=0 cellpadding=0>");
    EXPECT_EQ(lines[2], "<td align=center width=36>x</td><td width=664> </td>");
    EXPECT_EQ(lines[5].rfind("<table width=700 border=0", 0), 0u);
}

TEST_F(HtmlFileTest, LineBreaksOutsideATableAreLinesOfTheirOwn) {
    THtmlFile html(-1, "", 10);
    html.LineBreak();
    html.HorizontalRule();
    html.LineBreak();
    ASSERT_EQ(html.Lines().size(), 3u);
    EXPECT_EQ(html.Lines()[0], "<br>");
    EXPECT_EQ(html.Lines()[2], "<br>");
    EXPECT_EQ(html.State(), hsAfterRule);
}

TEST_F(HtmlFileTest, CellsOutsideTheHundredAndOneAreIgnored) {
    THtmlFile html(-1, "", 10);
    html.SetColumns("L1000");
    html.Cell(101, "lost");
    html.Cell(-1, "lost");
    html.Cell(0, "kept");
    const std::string page = html.PageText();
    EXPECT_EQ(page.find("lost"), std::string::npos);
    EXPECT_NE(page.find("<td width=100%>kept</td>"), std::string::npos);
}

TEST_F(HtmlFileTest, EscapingNamesAccentedLettersAndPairsOfBlanksOnly) {
    EXPECT_EQ(THtmlFile::EscapeText("äëïöüÄÖÜ"),
              "&auml;&euml;&iuml;&ouml;&uuml;&Auml;&Ouml;&Uuml;");
    EXPECT_EQ(THtmlFile::EscapeText("áéíóúâêîôûàèìòùç"),
              "&aacute;&eacute;&iacute;&oacute;&uacute;&acirc;&ecirc;&icirc;&ocirc;&ucirc;"
              "&agrave;&egrave;&igrave;&ograve;&ugrave;&ccedil;");
    EXPECT_EQ(THtmlFile::EscapeText("a   b<&>ñ"), "a&nbsp;&nbsp; b<&>ñ");
}

struct StyleCase {
    int tableWidth;
    const char* bodyLine; // the BODY line's size
    const char *f7, *f8, *f12, *f14;
};
void PrintTo(const StyleCase& c, std::ostream* os) {
    *os << "width " << c.tableWidth;
}

class HtmlStyleSheet : public ::testing::TestWithParam<StyleCase> {};

TEST_P(HtmlStyleSheet, SizeMarkersFollowTheTableWidth) {
    THooksScope hooks;
    const StyleCase& c = GetParam();
    THtmlFile html(c.tableWidth, "", 10);
    const std::string page = html.PageText();
    const auto size = [&](const std::string& selector) {
        const std::size_t at = page.find(selector + " {");
        const std::size_t s = page.find("font-size: ", at) + 11;
        return page.substr(s, page.find("pt;", s) - s);
    };
    EXPECT_EQ(size("BODY,TABLE,TD"), c.bodyLine);
    EXPECT_EQ(size("#f7"), c.f7);
    EXPECT_EQ(size("#f8"), c.f8);
    EXPECT_EQ(size("#f12"), c.f12);
    EXPECT_EQ(size("#f14"), c.f14);
    EXPECT_EQ(page.find('@'), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Widths, HtmlStyleSheet,
                         ::testing::Values(StyleCase{-1, "10", "7", "8", "12", "14"},
                                           StyleCase{1, "8", "5", "6", "10", "12"},
                                           StyleCase{549, "8", "5", "6", "10", "12"},
                                           StyleCase{550, "9", "6", "7", "12", "14"},
                                           StyleCase{650, "10", "7", "8", "12", "14"},
                                           StyleCase{800, "10", "7", "8", "12", "14"},
                                           StyleCase{801, "11", "8", "9", "14", "16"},
                                           StyleCase{0, "11", "8", "9", "14", "16"}));

TEST_F(HtmlFileTest, ATargetThatCannotBeWrittenNamesTheFileAndLeavesNothingBehind) {
    THtmlFile html(-1, "", 10);
    const std::string target = dir / "no/such/dir/out.htm";
    try {
        html.SaveToFile(target);
        FAIL() << "no error";
    } catch (const EFileError& error) {
        EXPECT_NE(std::string(error.what()).find(target), std::string::npos) << error.what();
    }
    EXPECT_FALSE(std::filesystem::exists(target));
}

TEST_F(HtmlFileTest, TheHtmlFileIsWrittenEvenWhenTheOutputIsCancelled) {
    testing_support::TRecordingStatus status;
    status.cancelAfter = 0;
    TKvrReport report;
    report.Copies = 2;
    int exemplars = 0;
    report.OnOneExemplar = [&](TKvrReport&) {
        ++exemplars;
    };
    report.HtmlFileName = dir / "cancelled.htm";
    report.PrintToHtml(&status);
    EXPECT_EQ(exemplars, 0);
    EXPECT_TRUE(std::filesystem::exists(dir / "cancelled.htm"));
    ASSERT_FALSE(status.lines.empty());
    EXPECT_EQ(status.lines.front(), "Output as HTML file:  cancelled.htm");
}

} // namespace
} // namespace marqor
