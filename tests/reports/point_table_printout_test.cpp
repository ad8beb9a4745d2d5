// The point table printout: its three report handlers on the HTML writer and on recording
// devices, its texts, and the stored range and mode.
#include "../foundation/temp_dir.h"
#include "foundation/resources.h"
#include "report_test_support.h"
#include "reports/column_divisions.h"
#include "reports/point_table_printout.h"
#include "swimming/swim_time.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <ostream>

namespace marqor {
namespace {

using testing_support::TempDir;
using testing_support::THooksScope;
using testing_support::TRecordingService;

const std::string DataDir = std::string(MARQOR_TEST_DATA_DIR) + "/reports/";

// FINA 2011 as built in, not whatever the machine's table directory holds under its id.
IBSSwPointsPtr Fina2011() {
    return NewPointTableFromText(std::string(FindResource("BSSW_POINTS_FINA_2011").value_or("")),
                                 "FINA 2011");
}

// An HTML writer that keeps the grid the engine sends it: one entry per line break, the cells
// by division, rules as lines of their own.
class TGridWriter final : public IKvrHtmlWriter {
public:
    struct Line {
        bool rule = false;
        std::map<int, std::string> cells;
    };
    explicit TGridWriter(std::vector<Line>& lines) : lines_(lines) {}

    void SetColumns(std::string_view definition) override { definitions.emplace_back(definition); }
    void Cell(int index, std::string_view text) override { pending_.cells[index] = text; }
    void LineBreak() override {
        lines_.push_back(std::move(pending_));
        pending_ = {};
    }
    void HorizontalRule() override { lines_.push_back({.rule = true, .cells = {}}); }
    int FontId() const override { return font_; }
    void SetFontId(int fontId) override { font_ = fontId; }
    void SetFontName(std::string_view) override {}
    const std::string& Title() const override { return title_; }
    void SetTitle(std::string_view title) override { title_ = title; }
    THtmlState State() const override { return hsNone; }
    void SaveToFile(const std::string&) override {}

    std::vector<std::string> definitions;

private:
    std::vector<Line>& lines_;
    Line pending_;
    int font_ = 10;
    std::string title_;
};

class PointTablePrintout : public ::testing::Test {
protected:
    // The lines of an HTML output of the printout.
    std::vector<TGridWriter::Line> Grid(TBSSwPointTablePrintout& printout) {
        std::vector<TGridWriter::Line> lines;
        TKvrReport report(nullptr);
        report.HtmlWriterFactory = [&](int, const std::string&, int) {
            return std::make_unique<TGridWriter>(lines);
        };
        printout.AttachTo(report);
        report.HtmlFileName = dir / "grid.htm";
        report.PrintToHtml(nullptr);
        return lines;
    }
    static std::vector<TGridWriter::Line> Rows(const std::vector<TGridWriter::Line>& lines) {
        std::vector<TGridWriter::Line> rows;
        std::ranges::copy_if(lines, std::back_inserter(rows),
                             [](const auto& line) { return !line.rule; });
        return rows;
    }
    std::string Html(TBSSwPointTablePrintout& printout, const std::string& templateFile) {
        TKvrReport report(nullptr);
        report.Document.HtmlTemplate = templateFile;
        printout.AttachTo(report);
        report.HtmlFileName = dir / "printout.htm";
        report.PrintToHtml(nullptr);
        return TempDir::Read(report.HtmlFileName);
    }

    THooksScope hooks;
    TempDir dir;
    IBSSwPointsPtr table = Fina2011();
};

TEST_F(PointTablePrintout, TopFiveIndividualRowsAreExactlyTheExpectedHtml) {
    TBSSwPointTablePrintout printout(table, sco50m, sgeMen, 99);
    printout.SetRange(1096, 1100);
    EXPECT_EQ(Html(printout, DataDir + "body_only.htt"),
              TempDir::Read(DataDir + "point_table_individual.htm"));
}

TEST_F(PointTablePrintout, TopFiveRelayRowsAreExactlyTheExpectedHtml) {
    TBSSwPointTablePrintout printout(table, sco50m, sgeMen, 99);
    printout.SetRange(1096, 1100);
    printout.SetMode(ptmRelays);
    EXPECT_EQ(Html(printout, DataDir + "body_only.htt"),
              TempDir::Read(DataDir + "point_table_relays.htm"));
}

TEST_F(PointTablePrintout, TheHtmlTitleIsTitleLineOne) {
    TBSSwPointTablePrintout printout(table, sco25m, sgeWomen, 12);
    printout.SetRange(1100, 1100);
    const std::string page = Html(printout, "");
    EXPECT_NE(page.find("<title>\r\nFINA Point Scoring 2011\r\n</title>"), std::string::npos);
    // No page header and no column titles in HTML.
    EXPECT_EQ(page.find("Women"), std::string::npos);
    EXPECT_EQ(page.find("Pt."), std::string::npos);
}

// Each cell against the table itself: the time of p points, or "---" where p + 1 points take
// the same time, in every row but the top one.
TEST_F(PointTablePrintout, EveryCellIsTheTimeOfItsPointsOrDashesWhereTheRowAboveHasThatTime) {
    int dashes = 0;
    for (TPointTableMode mode : {ptmIndividual, ptmRelays}) {
        TBSSwPointTablePrintout printout(table, sco50m, sgeWomen, 99);
        printout.SetRange(701, 1100);
        printout.SetMode(mode);
        const auto rows = Rows(Grid(printout));
        const auto& events = printout.Events();
        ASSERT_EQ(rows.size(), 400u);
        for (int p = 1100; p >= 701; --p) {
            const auto& cells = rows[std::size_t(1100 - p)].cells;
            ASSERT_EQ(cells.size(), events.size() + 2) << p;
            EXPECT_EQ(cells.at(0), std::to_string(p));
            EXPECT_EQ(cells.at(int(events.size()) + 1), std::to_string(p));
            for (std::size_t c = 0; c < events.size(); ++c) {
                const auto& e = events[c];
                const auto style = NewSwimStyle(e.RelayCount, e.Stroke, e.Distance);
                const TBSSwGender g = e.Gender == sgeNone ? sgeWomen : e.Gender;
                const SwimTime t1 = table->TimeFromPoints(sco50m, *style, g, 99, 0, p);
                const SwimTime t2 = table->TimeFromPoints(sco50m, *style, g, 99, 0, p + 1);
                const std::string expected =
                    t1 == t2 && p < 1100 ? "---" : SwimTimeToText(t1, false);
                dashes += expected == "---" && t1 > 0;
                ASSERT_EQ(cells.at(int(c) + 1), expected) << printout.EventTitle(e) << " " << p;
            }
        }
    }
    EXPECT_GT(dashes, 0) << "the short events have points that no time earns exactly";
}

struct RangeCase {
    int max, min;
    int rows;
    std::vector<int> rulesAfter; // rows after which a single rule follows
};
void PrintTo(const RangeCase& c, std::ostream* os) {
    *os << c.max << " down to " << c.min;
}
class PrintoutRange : public PointTablePrintout, public ::testing::WithParamInterface<RangeCase> {};

TEST_P(PrintoutRange, RowsRunFromMaxDownToMinWithARuleAfterEveryFifthRow) {
    const RangeCase& c = GetParam();
    TBSSwPointTablePrintout printout(table, sco50m, sgeMen, 99);
    printout.SetRange(c.min, c.max);
    int rows = 0;
    std::vector<int> rules;
    for (const auto& line : Grid(printout)) {
        if (line.rule)
            rules.push_back(rows);
        else
            EXPECT_EQ(line.cells.at(0), std::to_string(c.max - rows++));
    }
    EXPECT_EQ(rows, c.rows);
    EXPECT_EQ(rules, c.rulesAfter);
}

INSTANTIATE_TEST_SUITE_P(Ranges, PrintoutRange,
                         ::testing::Values(RangeCase{1100, 1100, 1, {}},
                                           RangeCase{1100, 1096, 5, {5}},
                                           RangeCase{1100, 1095, 6, {5}},
                                           RangeCase{1100, 1091, 10, {5, 10}},
                                           RangeCase{3, 1, 3, {}}, RangeCase{800, 900, 0, {}}));

TEST_F(PointTablePrintout, TheTopRowOfAnEventWithoutTimesStaysEmptyAndTheOthersShowDashes) {
    // FINA 2011 has no 100 medley in long course.
    TBSSwPointTablePrintout printout(table, sco50m, sgeMen, 99);
    printout.SetRange(1097, 1100);
    const auto rows = Rows(Grid(printout));
    const int medley100 = 16;
    ASSERT_EQ(printout.EventTitle(printout.Events()[medley100 - 1]), "100 Me");
    EXPECT_EQ(rows[0].cells.count(medley100) ? rows[0].cells.at(medley100) : "", "");
    for (std::size_t r = 1; r < rows.size(); ++r)
        EXPECT_EQ(rows[r].cells.at(medley100), "---");
}

TEST_F(PointTablePrintout, ColumnTitlesNameDistanceAndStrokeAndForRelaysTheGenderOfEachHalf) {
    TBSSwPointTablePrintout printout(table, sco50m, sgeWomen, 99);
    std::vector<std::string> titles;
    for (const auto& e : printout.Events())
        titles.push_back(printout.EventTitle(e));
    EXPECT_EQ(titles, (std::vector<std::string>{"50 Fr", "100 Fr", "200 Fr", "400 Fr", "800 Fr",
                                                "1500 Fr", "50 Bk", "100 Bk", "200 Bk", "50 Br",
                                                "100 Br", "200 Br", "50 Bu", "100 Bu", "200 Bu",
                                                "100 Me", "200 Me", "400 Me"}));
    printout.SetMode(ptmRelays);
    titles.clear();
    for (const auto& e : printout.Events())
        titles.push_back(printout.EventTitle(e));
    EXPECT_EQ(titles, (std::vector<std::string>{
                          "M 4x50 Fr", "M 4x100 Fr", "M 4x200 Fr", "M 4x50 Me", "M 4x100 Me",
                          "F 4x50 Fr", "F 4x100 Fr", "F 4x200 Fr", "F 4x50 Me", "F 4x100 Me"}));
}

TEST_F(PointTablePrintout, LayoutsFillExactlyTheWidthWithCentredDivisions) {
    const std::string inner18 = [] {
        std::string s;
        for (int i = 0; i < 18; ++i)
            s += "C51;";
        return s;
    }();
    EXPECT_EQ(TBSSwPointTablePrintout::IndividualLayout(), "C41;" + inner18 + "C41");
    EXPECT_EQ(TBSSwPointTablePrintout::RelayLayout(),
              "C50;C90;C90;C90;C90;C90;C90;C90;C90;C90;C90;C50");
    for (const auto* definition :
         {&TBSSwPointTablePrintout::IndividualLayout(), &TBSSwPointTablePrintout::RelayLayout()}) {
        TColDivList list;
        list.SetDefinition(*definition);
        const std::size_t expected =
            definition == &TBSSwPointTablePrintout::IndividualLayout() ? 20 : 12;
        ASSERT_EQ(list.Count(), int(expected)) << "no filler division";
        for (int i = 0; i < list.Count(); ++i)
            EXPECT_EQ(list.Item(i).Alignment, daCentre);
    }
}

struct TitleCase {
    TPointTableMode mode;
    TBSSwGender gender;
    TBSSwCourse course;
    int age;
    std::string line;
};
void PrintTo(const TitleCase& c, std::ostream* os) {
    *os << c.line;
}
class PrintoutTitle : public ::testing::TestWithParam<TitleCase> {};

TEST_P(PrintoutTitle, LineTwoNamesGenderOrRelaysCourseAndAgeLeavingOutEmptyParts) {
    const TitleCase& c = GetParam();
    TBSSwPointTablePrintout printout(Fina2011(), c.course, c.gender, c.age);
    printout.SetMode(c.mode);
    EXPECT_EQ(printout.TitleLine1(), "FINA Point Scoring 2011");
    EXPECT_EQ(printout.TitleLine2(), c.line);
}

INSTANTIATE_TEST_SUITE_P(
    Titles, PrintoutTitle,
    ::testing::Values(
        TitleCase{ptmIndividual, sgeMen, sco50m, 99, "Men, Long Course (50m)"},
        TitleCase{ptmIndividual, sgeWomen, sco25m, 12, "Women, Short Course (25m), 12 years"},
        TitleCase{ptmRelays, sgeWomen, sco50m, 99, "Relays, Long Course (50m)"},
        TitleCase{ptmRelays, sgeMen, sco25m, 15, "Relays, Short Course (25m), 15 years"},
        TitleCase{ptmIndividual, sgeMen, sco25y, 99, "Men"},
        TitleCase{ptmIndividual, sgeWomen, sco25y, 10, "Women, 10 years"}));

// ---------------------------------------------------------------------------------------------
// On the page devices

class PrintoutPages : public ::testing::Test {
protected:
    void Print(TBSSwPointTablePrintout& printout) {
        printout.AttachTo(report);
        report.PdfFileName = "points.pdf";
        report.PrintToPdf(nullptr);
    }
    int PageCount() const { return service->log->Count("page"); }
    std::vector<const testing_support::TDeviceCall*> TextsOnPage(int page) const {
        std::vector<const testing_support::TDeviceCall*> texts;
        int current = 0;
        for (const auto& call : service->log->calls) {
            current += call.Op == "page";
            if (call.Op == "text" && current == page)
                texts.push_back(&call);
        }
        return texts;
    }
    static int CountText(const std::vector<const testing_support::TDeviceCall*>& texts,
                         std::string_view text) {
        return int(std::ranges::count_if(texts, [&](const auto* t) { return t->Text == text; }));
    }

    THooksScope hooks;
    std::shared_ptr<TRecordingService> service = std::make_shared<TRecordingService>();
    TKvrReport report{service};
};

TEST_F(PrintoutPages, EveryPageIsLandscapeWithTitlesRemarkColumnTitlesAndNinePointRows) {
    // The user's orientation and margins give way to the printout's.
    report.Document.Orientation = orPortrait;
    report.Document.MarginLeft = report.Document.MarginTop = 300;
    TBSSwPointTablePrintout printout(Fina2011(), sco50m, sgeMen, 99);
    Print(printout);

    EXPECT_EQ(report.BaseFontPercent, 70);
    EXPECT_EQ(report.Document.MarginLeft, 100);
    EXPECT_EQ(report.Document.MarginTop, 100);
    EXPECT_EQ(report.Document.TitleLines,
              (std::vector<std::string>{"FINA Point Scoring 2011", "Men, Long Course (50m)"}));
    EXPECT_EQ(report.Document.HeaderLeft, report.Document.TitleLines);
    EXPECT_EQ(
        report.Document.HeaderRight,
        (std::vector<std::string>{"Page @PAGE@", std::string(TBSSwPointTablePrintout::Remark)}));
    const int pages = PageCount();
    ASSERT_GE(pages, 2) << "301 rows do not fit one page";
    for (const auto& call : service->log->calls) {
        if (call.Op == "setpage") {
            EXPECT_GT(call.X, call.Y) << "landscape: wider than high";
        }
    }
    int fastest = 0;
    for (int page = 1; page <= pages; ++page) {
        const auto texts = TextsOnPage(page);
        EXPECT_EQ(CountText(texts, "FINA Point Scoring 2011"), 1) << page;
        EXPECT_EQ(CountText(texts, "Men, Long Course (50m)"), 1) << page;
        EXPECT_EQ(CountText(texts, "Page " + std::to_string(page)), 1);
        EXPECT_EQ(CountText(texts, TBSSwPointTablePrintout::Remark), 1) << page;
        EXPECT_EQ(CountText(texts, "Pt."), 2) << page;
        EXPECT_EQ(CountText(texts, "1500 Fr"), 1) << page;
        for (const auto* t : texts) {
            if (t->Text == "1100" || t->Text == "800") {
                EXPECT_EQ(t->Font.Size, 9);
            }
        }
        fastest += CountText(texts, "20.25");
    }
    EXPECT_EQ(fastest, 1) << "the 50 m freestyle time of 1100 points is printed once";
    // The top row and the bottom row.
    EXPECT_EQ(CountText(TextsOnPage(1), "1100"), 2);
    EXPECT_EQ(CountText(TextsOnPage(pages), "800"), 2);
}

TEST_F(PrintoutPages, AMaximumBelowTheMinimumGivesOnePageWithHeaderAndColumnTitlesOnly) {
    TBSSwPointTablePrintout printout(Fina2011(), sco50m, sgeMen, 99);
    printout.SetRange(900, 800);
    Print(printout);
    EXPECT_EQ(PageCount(), 1);
    const auto texts = TextsOnPage(1);
    EXPECT_EQ(CountText(texts, "Pt."), 2);
    EXPECT_EQ(CountText(texts, "800"), 0);
    EXPECT_EQ(CountText(texts, "900"), 0);
    // The double rule under the column titles and nothing else.
    EXPECT_EQ(service->log->Count("line"), 2);
}

TEST_F(PrintoutPages, WithTwoNewspaperColumnsEachColumnStartsWithColumnTitlesAndADoubleRule) {
    report.Document.ColumnCount = 2;
    report.Document.ColumnDistance = 50;
    TBSSwPointTablePrintout printout(Fina2011(), sco50m, sgeMen, 99);
    printout.SetMode(ptmRelays);
    Print(printout);
    const auto first = TextsOnPage(1);
    std::vector<int> titleX;
    for (const auto* t : first)
        if (t->Text == "M 4x50 Fr")
            titleX.push_back(t->X);
    ASSERT_EQ(titleX.size(), 2u);
    EXPECT_LT(titleX[0], titleX[1]);
    EXPECT_EQ(CountText(first, "Page 1"), 1) << "one page line per page";
    EXPECT_EQ(CountText(first, "Relays, Long Course (50m)"), 1);
}

// ---------------------------------------------------------------------------------------------
// Range, mode and their settings

TEST(PointTablePrintOptions, RangeValuesAreClampedToOneToElevenHundred) {
    TBSSwPointTablePrintout printout(Fina2011(), sco50m, sgeMen, 99);
    EXPECT_EQ(printout.PointsMin(), 800);
    EXPECT_EQ(printout.PointsMax(), 1100);
    EXPECT_EQ(printout.Mode(), ptmIndividual);
    const struct {
        int min, max, clampedMin, clampedMax;
    } cases[] = {{0, 2000, 1, 1100},
                 {-5, -5, 1, 1},
                 {900, 800, 900, 800},
                 {1, 1100, 1, 1100},
                 {1101, 5000, 1100, 1100}};
    for (const auto& c : cases) {
        printout.SetRange(c.min, c.max);
        EXPECT_EQ(printout.PointsMin(), c.clampedMin) << c.min;
        EXPECT_EQ(printout.PointsMax(), c.clampedMax) << c.max;
    }
}

TEST(PointTablePrintOptions, StoredValuesReadBackClampedWithTheirDefaults) {
    const struct {
        std::string stored;
        TPointTablePrintOptions expected;
    } cases[] = {
        {"", {800, 1100, ptmIndividual}},
        {"EPointsMin=500\nEPointsMax=600\nCBRelay=1", {500, 600, ptmRelays}},
        {"EPointsMin=0\nEPointsMax=5000", {1, 1100, ptmIndividual}},
        {"EPointsMin=abc\nEPointsMax=\nCBRelay=yes", {800, 1100, ptmIndividual}},
        {"CBRelay=2", {800, 1100, ptmIndividual}},
    };
    for (const auto& c : cases) {
        const auto section = MemorySectionFromText(c.stored);
        EXPECT_EQ(LoadPointTablePrintOptions(*section), c.expected) << c.stored;
    }
}

TEST(PointTablePrintOptions, EveryOutputStoresRangeAndModeUnderTheWindowsKeys) {
    THooksScope hooks;
    auto settings = NewMemorySettings();
    TBSSwPointTablePrintout printout(Fina2011(), sco50m, sgeMen, 99);
    printout.SetSettingsSection(settings->GetSection(PointTablePrintSection));
    printout.SetRange(1095, 1100);
    printout.SetMode(ptmRelays);
    TKvrReport report(nullptr);
    printout.AttachTo(report);
    TempDir dir;
    report.HtmlFileName = dir / "p.htm";
    report.PrintToHtml(nullptr);
    const auto section = settings->GetSection("TFPrintPointTable");
    EXPECT_EQ(section->ReadRaw("EPointsMin", ""), "1095");
    EXPECT_EQ(section->ReadRaw("EPointsMax", ""), "1100");
    EXPECT_EQ(section->ReadRaw("CBRelay", ""), "1");

    // Without a section nothing is stored.
    TBSSwPointTablePrintout quiet(Fina2011(), sco50m, sgeMen, 99);
    auto other = NewMemorySettings();
    SetUserSettings(other);
    quiet.AttachTo(report);
    report.PrintToHtml(nullptr);
    EXPECT_TRUE(other->GetSection(PointTablePrintSection)->IsEmpty());
    SetUserSettings(nullptr);
}

// ---------------------------------------------------------------------------------------------
// Tables with decimal points

// RUDOLPH counts tenths: the rows are numbers of tenths, as the table's time rule takes them.
TEST_F(PointTablePrintout, ADecimalPointTableGetsItsPointsAsTenths) {
    const auto rudolph = NewPointTableFromText("Id=9001\nName=Rudolph Test\nVersion=1\n"
                                               "Formula=RUDOLPH\nCourses=LCM\n<BASETIMES>\n"
                                               "GENDER;RELAYCOUNT;DISTANCE;STROKE;MINTIME;MAXTIME\n"
                                               "M;1;50;FREE;30.10;39.00\n",
                                               "rudolph");
    TBSSwPointTablePrintout printout(rudolph, sco50m, sgeMen, 99);
    printout.SetRange(196, 202);
    const auto rows = Rows(Grid(printout));
    ASSERT_EQ(rows.size(), 7u);
    // Above 20.0 points there is no time.
    EXPECT_EQ(rows[0].cells.at(0), "202");
    EXPECT_EQ(rows[0].cells.count(1) ? rows[0].cells.at(1) : "", "");
    EXPECT_EQ(rows[1].cells.at(1), "---");
    EXPECT_EQ(rows[2].cells.at(0), "200");
    const auto style = NewSwimStyle(1, strFreestyle, 50);
    for (std::size_t r = 2; r < rows.size(); ++r) {
        const int tenths = 202 - int(r);
        EXPECT_EQ(rows[r].cells.at(1),
                  SwimTimeToText(rudolph->TimeFromPoints(sco50m, *style, sgeMen, 99, 0, tenths)));
    }
}

} // namespace
} // namespace marqor
