#include "report_test_support.h"
#include "reports/report.h"
#include "reports/report_math.h"

#include <gtest/gtest.h>

namespace marqor {
namespace {

using testing_support::TDeviceCall;
using testing_support::THooksScope;
using testing_support::TRecordingService;
using testing_support::TRecordingStatus;

TEST(MulDiv, RoundsHalvesAwayFromZeroAndFailsLikeThePlatform) {
    struct Case {
        int a, b, c, expected;
    } cases[] = {
        {35, 70, 100, 25},
        {-35, 70, 100, -25},
        {1, 1, 2, 1},
        {-1, 1, 2, -1},
        {3, 1, 2, 2},
        {5, 1, -2, -3},
        {84, 2116, 1000, 178},
        {7, 0, 3, 0},
        {1, 1, 0, -1},
        {2147483647, 2, 1, -1},
        {2147483647, 1000, 1000, 2147483647},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.expected) << c.a << " " << c.b << " " << c.c;
}

// ---------------------------------------------------------------------------------------------
// Divisions

struct DivisionCase {
    const char* definition;
    std::vector<TColDivEntry> expected;
};
void PrintTo(const DivisionCase& c, std::ostream* os) {
    *os << '"' << c.definition << '"';
}

class DivisionParsing : public ::testing::TestWithParam<DivisionCase> {};

TEST_P(DivisionParsing, SkipsCutsAndFillsAsDocumented) {
    TColDivList list;
    list.SetDefinition(GetParam().definition);
    EXPECT_EQ(list.Items(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Definitions, DivisionParsing,
    ::testing::Values(
        DivisionCase{"L333;C334;R333",
                     {{0, 333, daLeft}, {333, 334, daCentre}, {667, 333, daRight}}},
        DivisionCase{"L600;R600", {{0, 600, daLeft}, {600, 400, daRight}}},
        DivisionCase{"L600;R600;C100", {{0, 600, daLeft}, {600, 400, daRight}}},
        DivisionCase{"", {{0, 1000, daLeft}}},
        DivisionCase{"X", {{0, 0, daLeft}, {0, 1000, daLeft}}},
        DivisionCase{"L100;;D33;", {{0, 100, daLeft}, {100, 33, daRight}, {133, 867, daLeft}}},
        DivisionCase{"Cx;c500", {{0, 0, daCentre}, {0, 500, daLeft}, {500, 500, daLeft}}},
        DivisionCase{"C41;C51;C908",
                     {{0, 41, daCentre}, {41, 51, daCentre}, {92, 908, daCentre}}}));

TEST(ColumnDefinition, GetColumnsWritesEveryFieldWithASemicolon) {
    TColDivList list;
    list.SetDefinition("L333;C334;D333");
    EXPECT_EQ(list.Definition(), "L333;C334;R333;");
}

// ---------------------------------------------------------------------------------------------
// Geometry

struct GeometryCase {
    int paper;
    TKvrOrientation orientation;
    int left, right, top, bottom, columns, distance;
    int pageWidth, pageHeight, printable, columnWidth, fontSize, lineHeight;
};
void PrintTo(const GeometryCase& c, std::ostream* os) {
    *os << "paper " << c.paper << (c.orientation ? " landscape" : " portrait") << " margins "
        << c.left << "/" << c.right << " columns " << c.columns << "x" << c.distance;
}

class DocumentGeometry : public ::testing::TestWithParam<GeometryCase> {};

TEST_P(DocumentGeometry, FollowsPaperMarginsAndColumns) {
    const GeometryCase& c = GetParam();
    TKvrDocument doc(nullptr);
    doc.PaperIndex = c.paper;
    doc.Orientation = c.orientation;
    doc.MarginLeft = c.left;
    doc.MarginRight = c.right;
    doc.MarginTop = c.top;
    doc.MarginBottom = c.bottom;
    doc.ColumnCount = c.columns;
    doc.ColumnDistance = c.distance;
    EXPECT_EQ(doc.PageWidth(), c.pageWidth);
    EXPECT_EQ(doc.PageHeight(), c.pageHeight);
    EXPECT_EQ(doc.PrintableHeight(), c.printable);
    EXPECT_EQ(doc.ColumnWidth(), c.columnWidth);
    EXPECT_EQ(doc.StandardFontSize(), c.fontSize);
    EXPECT_EQ(doc.LineHeight(), c.lineHeight);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, DocumentGeometry,
    ::testing::Values(
        GeometryCase{2, orPortrait, 150, 150, 100, 100, 1, 0, 2100, 2970, 2770, 1800, 101, 43},
        GeometryCase{2, orLandscape, 100, 100, 100, 100, 1, 0, 2970, 2100, 1900, 2770, 155, 66},
        GeometryCase{2, orLandscape, 100, 100, 100, 100, 2, 150, 2970, 2100, 1900, 1310, 73, 31},
        // (1801 - 0) / 2 and (1801 - 2) / 2: halves go to the even neighbour.
        GeometryCase{2, orPortrait, 150, 149, 100, 100, 2, 0, 2100, 2970, 2770, 900, 50, 21},
        GeometryCase{2, orPortrait, 150, 149, 100, 100, 2, 2, 2100, 2970, 2770, 900, 50, 21},
        GeometryCase{0, orLandscape, 100, 100, 100, 100, 1, 0, 2970, 2100, 1900, 2770, 155, 66},
        GeometryCase{6, orPortrait, 150, 150, 100, 100, 1, 0, 2159, 2794, 2594, 1859, 104, 44}));

TEST(DocumentFooters, TrailingEmptyLinesAreDroppedAndTheAreaGetsFourFifthsOfALine) {
    TKvrDocument doc(nullptr);
    doc.PaperIndex = 2;
    doc.FooterLeft = {"A", "", ""};
    doc.FooterRight = {"", "B", ""};
    EXPECT_EQ(doc.FooterLineCount(), 2);
    EXPECT_EQ(doc.FooterLeft, std::vector<std::string>{"A"});
    EXPECT_EQ(doc.FooterRight, (std::vector<std::string>{"", "B"}));
    doc.FooterRight.clear();
    EXPECT_EQ(doc.FooterHeight(), 43 + 34);
    doc.FooterLeft = {"", ""};
    EXPECT_EQ(doc.FooterHeight(), 0);
}

struct PaperCase {
    std::string printer;
    int code, row;
};
class PaperDetection : public ::testing::TestWithParam<PaperCase> {};
void PrintTo(const PaperCase& c, std::ostream* os) {
    *os << "'" << c.printer << "' code " << c.code;
}

TEST_P(PaperDetection, TakesTheHighestRowOfTheCodeElseRowZero) {
    auto service = std::make_shared<TRecordingService>();
    service->printer = GetParam().printer;
    service->paperCode = GetParam().code;
    TKvrDocument doc(service);
    EXPECT_EQ(doc.PaperIndex, GetParam().row);
}

INSTANTIATE_TEST_SUITE_P(Codes, PaperDetection,
                         ::testing::Values(PaperCase{"Office", 9, 2}, PaperCase{"Office", 1, 6},
                                           PaperCase{"Office", 2, 7}, PaperCase{"Office", 26, 12},
                                           PaperCase{"Office", 70, 0}, // A6
                                           PaperCase{"Office", 0, 0}, PaperCase{"", 9, 0}));

TEST(PaperDetection, PaperInfoOfAnUnknownPaperIsTheQuestionMarkRow) {
    auto service = std::make_shared<TRecordingService>();
    service->paperCode = 70;
    TKvrDocument doc(service);
    const TBSPaperInfo info = doc.PaperInfo();
    EXPECT_EQ(info.Code, -1);
    EXPECT_EQ(info.Name, "?");
    EXPECT_DOUBLE_EQ(info.WidthCm, 21.0);
    EXPECT_DOUBLE_EQ(info.HeightCm, 29.7);
    service->paperCode = 1;
    EXPECT_EQ(doc.PaperInfo().Name, "US-Letter");
}

// ---------------------------------------------------------------------------------------------
// Outputs on recording devices. A4 portrait with the default margins: column 1800, standard
// font 10.1 pt, line 4.3 mm; the printer has 600 dpi and an unprintable border of 50 x 60.

class ReportEngine : public ::testing::Test {
protected:
    std::shared_ptr<TRecordingService> service = std::make_shared<TRecordingService>();
    TKvrReport report{service};
    THooksScope hooks;
    TRecordingStatus status;

    const std::vector<TDeviceCall>& Calls() const { return service->log->calls; }
    // Physical pages begun before each call.
    std::vector<int> PageOfText(std::string_view prefix) const {
        std::vector<int> pages;
        int page = 0;
        for (const auto& call : Calls()) {
            if (call.Op == "job" || call.Op == "page")
                ++page;
            if (call.Op == "text" && call.Text.rfind(prefix, 0) == 0)
                pages.push_back(page);
        }
        return pages;
    }
};

TEST_F(ReportEngine, ThreeLinesGiveOnePageWithHeaderFootersAndLinesBelowTheHeader) {
    report.Document.FooterLeft = {"left @PAGE@"};
    report.Document.FooterCenter = {"centre"};
    report.Document.FooterRight = {"right"};
    report.OnOneExemplar = [](TKvrReport& r) {
        r.NewPage(1);
        for (int i = 0; i < 3; ++i) {
            r.Cell(0, "row" + std::to_string(i));
            r.LineFeed(10);
        }
    };
    report.PrintToPrinter(&status);

    EXPECT_EQ(service->log->Count("job"), 1);
    EXPECT_EQ(service->log->Count("page"), 0);
    EXPECT_EQ(service->log->Count("job-end"), 1);
    EXPECT_EQ(report.HeaderHeight(), 25);
    const int rowY[] = {431, 533, 634};
    for (int i = 0; i < 3; ++i) {
        const TDeviceCall* row = service->log->FindText("row" + std::to_string(i));
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->X, 304);
        EXPECT_EQ(row->Y, rowY[i]);
    }
    const TDeviceCall* page = service->log->FindText("Page 1");
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->X, 4556 - 60);
    EXPECT_EQ(page->Y, 176);
    EXPECT_EQ(page->Font.Name, "Arial");
    EXPECT_EQ(page->Font.Size, 10);
    const TDeviceCall* left = service->log->FindText("left 1");
    const TDeviceCall* centre = service->log->FindText("centre");
    const TDeviceCall* right = service->log->FindText("right");
    ASSERT_TRUE(left && centre && right);
    EXPECT_EQ(left->X, 304);
    EXPECT_EQ(left->Y, 6677);
    EXPECT_EQ(centre->X, 2430 - 30);
    EXPECT_EQ(centre->Y, 6677);
    EXPECT_EQ(right->X, 4556 - 50);
}

TEST_F(ReportEngine, WithBothHeaderListsEmptyTheHeaderTakesNoHeight) {
    report.OnInitReport = [](TKvrReport& r) {
        r.Document.HeaderRight.clear();
    };
    int cursor = -1;
    report.OnOneExemplar = [&](TKvrReport& r) {
        r.NewPage(1);
        cursor = r.CursorY();
    };
    report.PrintToPrinter(nullptr);
    EXPECT_EQ(report.HeaderHeight(), 0);
    EXPECT_EQ(cursor, 0);
}

TEST_F(ReportEngine, TwoHeaderLinesAtSeventyPercentTakeTwentyFiveTenths) {
    report.OnInitReport = [](TKvrReport& r) {
        r.BaseFontPercent = 70;
        r.Document.HeaderLeft = {"Title", "Subtitle"};
    };
    int cursor = -1;
    report.OnOneExemplar = [&](TKvrReport& r) {
        r.NewPage(1);
        cursor = r.CursorY();
    };
    report.PrintToPrinter(nullptr);
    EXPECT_EQ(report.HeaderHeight(), 25);
    EXPECT_EQ(cursor, 25);
    // The second line stands 7 tenths below the first.
    const TDeviceCall* first = service->log->FindText("Title");
    const TDeviceCall* second = service->log->FindText("Subtitle");
    ASSERT_TRUE(first && second);
    EXPECT_EQ(second->Y - first->Y,
              MulDiv(MulDiv(7, 43, 10) + 100, 600, 254) - MulDiv(100, 600, 254));
}

TEST_F(ReportEngine, LineFeedsAdvanceByLinesOfTheCurrentFont) {
    std::vector<int> steps;
    report.OnOneExemplar = [&](TKvrReport& r) {
        r.NewPage(1);
        for (int percent : {58, 70, 100, 150}) {
            r.SetFontPercent(percent);
            const int before = r.CursorY();
            r.LineFeed(10);
            steps.push_back(r.CursorY() - before);
        }
        r.LineFeed(0);
    };
    report.PrintToPrinter(nullptr);
    EXPECT_EQ(steps, (std::vector<int>{5, 7, 10, 15}));
}

TEST_F(ReportEngine, PageBreaksComeWhenTheNextLineWouldNotFitAboveTheFooters) {
    report.OnOneExemplar = [](TKvrReport& r) {
        r.NewPage(1);
        for (int i = 0; i < 130; ++i) {
            r.CheckPageBreak(10);
            r.Cell(0, "row");
            r.LineFeed(10);
        }
    };
    report.PrintToPrinter(&status);
    // (25 + 10 i + 10) tenths of 4.3 mm fit into 277 mm for i up to 60.
    const std::vector<int> pages = PageOfText("row");
    ASSERT_EQ(pages.size(), 130u);
    EXPECT_EQ(std::count(pages.begin(), pages.end(), 1), 61);
    EXPECT_EQ(std::count(pages.begin(), pages.end(), 2), 61);
    EXPECT_EQ(std::count(pages.begin(), pages.end(), 3), 8);
    EXPECT_EQ(PageOfText("Page 3"), std::vector<int>{3});
    EXPECT_EQ(status.lines.back(), "Page 3, part 1 of 1");

    // A footer line takes a line and four fifths (7.7 mm) off the area: 60 rows.
    service->log->calls.clear();
    report.Document.FooterLeft = {"footer"};
    report.PrintToPrinter(nullptr);
    const std::vector<int> withFooter = PageOfText("row");
    EXPECT_EQ(std::count(withFooter.begin(), withFooter.end(), 1), 60);
}

TEST_F(ReportEngine, ABreakOnAFreshColumnCannotHelpAndIsNotMade) {
    std::vector<bool> breaks;
    report.OnOneExemplar = [&](TKvrReport& r) {
        r.NewPage(1);
        breaks.push_back(r.CheckPageBreak(100000));
        r.LineFeed(10);
        breaks.push_back(r.CheckPageBreak(100000));
        breaks.push_back(r.CheckPageBreak(100000));
    };
    report.PrintToPrinter(nullptr);
    EXPECT_EQ(breaks, (std::vector<bool>{false, true, false}));
    EXPECT_EQ(report.PageNumber(), 2);
}

TEST_F(ReportEngine, TwoColumnsShareTheirPageNumberAndOneRightHeaderAtTheLastColumnsEdge) {
    report.Document.ColumnCount = 2;
    report.Document.ColumnDistance = 100;
    report.Document.FooterCenter = {"@PAGE@"};
    report.OnOneExemplar = [](TKvrReport& r) {
        r.NewPage(1);
        for (int i = 0; i < 500; ++i) {
            r.CheckPageBreak(10);
            r.Cell(0, "row");
            r.LineFeed(10);
        }
    };
    report.PrintToPrinter(nullptr);
    const auto pageTexts = PageOfText("Page ");
    const int physicalPages = service->log->Count("job") + service->log->Count("page");
    EXPECT_EQ(int(pageTexts.size()), physicalPages);
    // Column 850 wide: the right edge of the second column is 150 + 850 + 100 + 850 = 1950.
    const TDeviceCall* page1 = service->log->FindText("Page 1");
    ASSERT_NE(page1, nullptr);
    EXPECT_EQ(page1->X, 4556 - 60);
    EXPECT_EQ(service->log->FindText("Page 1", 1), nullptr);
    // The centred footer sits in the middle of both columns, once per page.
    const TDeviceCall* footer = service->log->FindText("1");
    ASSERT_NE(footer, nullptr);
    EXPECT_EQ(footer->X, MulDiv(150 + 900, 600, 254) - 50 - 5);
    EXPECT_EQ(service->log->FindText("1", 1), nullptr);
    // Rows continue in the second column, 950 further right.
    bool secondColumn = false;
    for (const auto* text : service->log->Texts())
        secondColumn |= text->Text == "row" && text->X == MulDiv(1100, 600, 254) - 50;
    EXPECT_TRUE(secondColumn);
}

TEST_F(ReportEngine, WithHeaderPerColumnEveryColumnIsAPageOfItsOwn) {
    report.Document.ColumnCount = 2;
    report.Document.ColumnDistance = 100;
    report.Document.HeaderPerColumn = true;
    report.Document.FooterCenter = {"foot @PAGE@"};
    report.OnOneExemplar = [](TKvrReport& r) {
        r.NewPage(1);
        // 134 rows fit in a column.
        for (int i = 0; i < 300; ++i) {
            r.CheckPageBreak(10);
            r.Cell(0, "row");
            r.LineFeed(10);
        }
    };
    report.PrintToPrinter(nullptr);
    EXPECT_EQ(PageOfText("Page 1"), std::vector<int>{1});
    EXPECT_EQ(PageOfText("Page 2"), std::vector<int>{1});
    EXPECT_EQ(PageOfText("foot 2"), std::vector<int>{1});
    EXPECT_EQ(PageOfText("Page 3"), std::vector<int>{2});
    // Each right header ends at its own column's right edge.
    EXPECT_EQ(service->log->FindText("Page 1")->X, MulDiv(150 + 850, 600, 254) - 50 - 60);
    EXPECT_EQ(service->log->FindText("Page 2")->X, MulDiv(1950, 600, 254) - 50 - 60);
}

TEST_F(ReportEngine, ADriverThatCopiesGetsTheCountAndTheReportOnce) {
    report.Copies = 3;
    int exemplars = 0;
    report.OwnerCaption = "Print point table";
    report.OnOneExemplar = [&](TKvrReport& r) {
        ++exemplars;
        r.NewPage(1);
    };
    report.PrintToPrinter(&status);
    EXPECT_EQ(exemplars, 1);
    ASSERT_NE(service->log->FindText("Page 1"), nullptr);
    const auto& calls = Calls();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[0].Op, "title");
    EXPECT_EQ(calls[0].Text, "FINA Marqor - Print point table");
    EXPECT_EQ(calls[1].Op, "copies");
    EXPECT_EQ(calls[1].X, 3);
    EXPECT_EQ(status.lines, (std::vector<std::string>{"Calculate", "Page 1, part 3 of 3"}));
}

TEST_F(ReportEngine, ADriverThatCannotCopyGetsEveryExemplarOnNewPages) {
    service->canCopy = false;
    report.Copies = 3;
    report.OnOneExemplar = [](TKvrReport& r) {
        r.NewPage(1);
        r.Cell(0, "x");
    };
    report.PrintToPrinter(&status);
    EXPECT_EQ(service->log->Count("copies"), 0);
    EXPECT_EQ(service->log->Count("job"), 1);
    EXPECT_EQ(service->log->Count("page"), 2);
    EXPECT_EQ(PageOfText("x"), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(status.lines,
              (std::vector<std::string>{"Calculate", "Page 1, part 1 of 3", "Page 1, part 2 of 3",
                                        "Page 1, part 3 of 3"}));
}

TEST_F(ReportEngine, ACancelIsNoticedBetweenExemplarsAndAbortsThePrintJob) {
    service->canCopy = false;
    report.Copies = 3;
    status.cancelAfter = 1;
    int exemplars = 0;
    report.OnOneExemplar = [&](TKvrReport& r) {
        ++exemplars;
        r.NewPage(1);
    };
    report.PrintToPrinter(&status);
    EXPECT_EQ(exemplars, 1);
    EXPECT_EQ(service->log->Count("job-abort"), 1);
    EXPECT_EQ(service->log->Count("job-end"), 0);
}

TEST_F(ReportEngine, PdfGetsPointsAlignmentsAndTheCreatorAndIsDroppedOnCancel) {
    report.PdfFileName = "/tmp/some/out.pdf";
    report.OnInitReport = [](TKvrReport& r) {
        r.Document.Orientation = orLandscape;
        r.Document.MarginLeft = r.Document.MarginRight = 100;
        r.Document.MarginTop = r.Document.MarginBottom = 100;
    };
    report.OnOneExemplar = [](TKvrReport& r) {
        r.NewPage(1);
        r.SetColumns("L333;C334;R333");
        r.Cell(1, "centre");
        r.Cell(7, "right");
    };
    report.PrintToPdf(&status);
    const auto& calls = Calls();
    ASSERT_GE(calls.size(), 4u);
    EXPECT_EQ(calls[0].Text, "Kavrin FINA Marqor");
    EXPECT_EQ(calls[1].Text, "/tmp/some/out.pdf");
    EXPECT_EQ(calls[2].Op, "setpage");
    EXPECT_EQ(calls[2].X, 842);
    EXPECT_EQ(calls[2].Y, 595);
    EXPECT_EQ(calls[2].X2, psA4);
    EXPECT_EQ(calls[2].Y2, orLandscape);
    const TDeviceCall* centre = service->log->FindText("centre");
    const TDeviceCall* right = service->log->FindText("right");
    ASSERT_TRUE(centre && right);
    EXPECT_EQ(centre->Align, taCentre);
    EXPECT_EQ(centre->X, MulDiv(MulDiv(500, 2770, 1000) + 100, 72, 254));
    EXPECT_EQ(right->Align, taRight);
    EXPECT_EQ(right->X, MulDiv(2870, 72, 254));
    EXPECT_EQ(service->log->Count("finish"), 1);
    EXPECT_EQ(status.lines.front(), "Output as PDF file: out.pdf");

    service->log->calls.clear();
    status.cancelAfter = 1;
    report.PrintToPdf(&status);
    EXPECT_EQ(service->log->Count("finish"), 0);
    EXPECT_EQ(service->log->Count("discard"), 1);
}

TEST_F(ReportEngine, ThePreviewRecordsOnePictureWithFrameAndShadowPerPage) {
    report.OnOneExemplar = [](TKvrReport& r) {
        r.NewPage(1);
        r.NextPage();
    };
    report.PrintToPreview(&status);
    ASSERT_EQ(report.PreviewPages().size(), 2u);
    EXPECT_EQ(report.PreviewPages()[0]->Width(), 796);
    EXPECT_EQ(report.PreviewPages()[0]->Height(), 1125);
    const auto& calls = Calls();
    const auto rect = std::find_if(calls.begin(), calls.end(),
                                   [](const TDeviceCall& c) { return c.Op == "rect"; });
    ASSERT_NE(rect, calls.end());
    EXPECT_EQ(std::tie(rect->X, rect->Y, rect->X2, rect->Y2, rect->Pen),
              std::make_tuple(0, 0, 794, 1123, 1));
    EXPECT_EQ(std::tie(rect[1].Op, rect[1].X, rect[1].Y, rect[1].X2, rect[1].Y2, rect[1].Pen),
              std::make_tuple(std::string("line"), 3, 1123, 794, 1123, 3));
    EXPECT_EQ(std::tie(rect[2].X, rect[2].Y, rect[2].X2, rect[2].Y2),
              std::make_tuple(794, 1123, 794, 3));
    EXPECT_EQ(service->log->Count("close"), 2);
    EXPECT_EQ(status.lines.back(), "Page 2");
}

TEST_F(ReportEngine, CellsGoToTheirDivisionOrTheLastOneAlignedWithinIt) {
    report.OnOneExemplar = [](TKvrReport& r) {
        r.NewPage(1);
        r.SetColumns("L333;C334;R333");
        r.Cell(5, "abc");
        r.Cell(1, "ab");
        r.Cell(0, "a", {txRight});
    };
    report.PrintToPrinter(nullptr);
    EXPECT_EQ(service->log->FindText("abc")->X, 4556 - 30);
    EXPECT_EQ(service->log->FindText("ab")->X, 2430 - 10);
    EXPECT_EQ(service->log->FindText("a")->X, 304 - 10);
    EXPECT_EQ(report.Document.CurrentDivision, 0);
}

TEST_F(ReportEngine, RulesAdvanceTheCursorAndTheirPensGrowWithTheLine) {
    std::vector<int> cursor;
    report.OnOneExemplar = [&](TKvrReport& r) {
        r.NewPage(1);
        cursor.push_back(r.CursorY());
        r.HorizontalRule(-1);
        cursor.push_back(r.CursorY());
        r.HorizontalRule(3);
        cursor.push_back(r.CursorY());
        r.DrawLine(0, 0, 1000, 0, -5);
    };
    report.PrintToPrinter(nullptr);
    EXPECT_EQ(cursor, (std::vector<int>{25, 29, 31}));
    std::vector<const TDeviceCall*> lines;
    for (const auto& call : Calls())
        if (call.Op == "line")
            lines.push_back(&call);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0]->Pen, 6);
    EXPECT_EQ(lines[0]->X, 304);
    EXPECT_EQ(lines[0]->X2, 4556);
    EXPECT_EQ(lines[1]->Y - lines[0]->Y, MulDiv(MulDiv(28, 43, 10) + 100, 600, 254) -
                                             MulDiv(MulDiv(26, 43, 10) + 100, 600, 254));
    EXPECT_EQ(lines[3]->Pen, 12);
}

TEST_F(ReportEngine, PlaceholdersAreCaseSensitiveAndOtherWordsStay) {
    std::string expanded;
    report.OnOneExemplar = [&](TKvrReport& r) {
        r.NewPage(3);
        expanded = r.ExpandPlaceholders("@PAGE@|@DATE@|@TIME@|@page@|@X@|@PAGE@");
    };
    report.PrintToPrinter(nullptr);
    EXPECT_EQ(expanded, "3|05 March 2024|14:07|@page@|@X@|3");
}

TEST_F(ReportEngine, EveryOutputStartsFromFreshHeadersAndTheDefaultLayout) {
    std::vector<std::string> seen;
    report.OnInitReport = [&](TKvrReport& r) {
        seen.push_back(r.GetColumns() + "|" + std::to_string(r.Document.HeaderRight.size()) + "|" +
                       r.Document.HeaderRight[0]);
        r.Document.HeaderRight.push_back("more");
        r.Document.TitleLines = {"t"};
        r.SetColumns("C500");
    };
    report.PrintToPrinter(nullptr);
    report.PrintToPrinter(nullptr);
    EXPECT_EQ(seen, (std::vector<std::string>{"L1000;|1|Page @PAGE@", "L1000;|1|Page @PAGE@"}));
}

TEST_F(ReportEngine, ThePageHeadHandlerRunsOnEveryColumnAndItsLayoutIsUndone) {
    report.Document.ColumnCount = 2;
    int heads = 0;
    report.OnPageHead = [&](TKvrReport& r) {
        ++heads;
        r.SetColumns("C100");
        r.SetFontPercent(50);
        r.Cell(0, "head");
        r.LineFeed(10);
    };
    std::string columns;
    int percent = 0;
    report.OnOneExemplar = [&](TKvrReport& r) {
        r.NewPage(1);
        r.SetColumns("L500;R500");
        r.SetFontPercent(80);
        r.NextPage();
        columns = r.GetColumns();
        percent = r.FontPercent();
    };
    report.PrintToPrinter(nullptr);
    EXPECT_EQ(heads, 2);
    EXPECT_EQ(columns, "L500;R500;");
    EXPECT_EQ(percent, 80);
}

TEST_F(ReportEngine, CheckPageBreakNeverBreaksAnHtmlReport) {
    report.HtmlWriterFactory = [](int w, const std::string& t, int f) {
        return std::make_unique<THtmlFile>(w, t, f);
    };
    int breaks = 0;
    std::string path = ::testing::TempDir() + "/marqor-never-breaks.htm";
    report.HtmlFileName = path;
    report.OnOneExemplar = [&](TKvrReport& r) {
        r.NewPage(1);
        for (int i = 0; i < 3000; ++i) {
            breaks += r.CheckPageBreak(10);
            r.Cell(0, "row");
            r.LineFeed(10);
        }
        r.NextPage();
    };
    report.PrintToHtml(nullptr);
    EXPECT_EQ(breaks, 0);
    report.FreeHtmlWriter();
    std::remove(path.c_str());
}

TEST_F(ReportEngine, GeometryThatCannotBeLaidOutIsClampedAndLoggedBeforeTheReportRuns) {
    report.OnInitReport = [](TKvrReport& r) {
        r.Document.MarginLeft = -50;
        r.Document.MarginRight = 5000;
        r.Document.MarginTop = 3000;
        r.Document.ColumnCount = 0;
        r.Document.ColumnDistance = -3;
    };
    int rows = 0;
    report.OnOneExemplar = [&](TKvrReport& r) {
        r.NewPage(1);
        for (int i = 0; i < 200; ++i, ++rows) {
            r.CheckPageBreak(10);
            r.Cell(0, "row");
            r.LineFeed(10);
        }
    };
    report.PrintToPrinter(nullptr);
    const TKvrDocument& doc = report.Document;
    EXPECT_EQ(doc.MarginLeft, 0);
    EXPECT_EQ(doc.MarginRight, 1900);
    EXPECT_EQ(doc.MarginTop + doc.MarginBottom, 2770);
    EXPECT_EQ(doc.ColumnCount, 1);
    EXPECT_EQ(doc.ColumnDistance, 0);
    EXPECT_GE(hooks.log.size(), 4u);
    EXPECT_EQ(rows, 200);
}

TEST_F(ReportEngine, TooManyColumnsAreReducedToWhatThePageHolds) {
    TKvrDocument& doc = report.Document;
    doc.ColumnCount = 1000000;
    doc.ColumnDistance = 50;
    EXPECT_TRUE(doc.ClampGeometry());
    // 1800 + 50 over 200 + 50 per column.
    EXPECT_EQ(doc.ColumnCount, 7);
    EXPECT_GE(doc.ColumnWidth(), 200);
    doc.ColumnCount = 3;
    doc.ColumnDistance = 900;
    EXPECT_TRUE(doc.ClampGeometry());
    EXPECT_EQ(doc.ColumnCount, 2);
    EXPECT_FALSE(doc.ClampGeometry());
}

} // namespace
} // namespace marqor
