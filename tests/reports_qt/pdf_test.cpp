#include "../foundation/fault_calls.h"
#include "../foundation/temp_dir.h"
#include "../reports/report_test_support.h"
#include "foundation/errors.h"
#include "qt_test_support.h"
#include "reports/report.h"
#include "reports/report_math.h"
#include "reports_qt/canvas_devices.h"
#include "reports_qt/pdf_writer.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <regex>

namespace marqor {
namespace {

using testing_support::Capture;
using testing_support::HasTool;
using testing_support::TempDir;
using testing_support::THooksScope;
using testing_support::TRecordingStatus;

class PdfOutput : public ::testing::Test {
protected:
    void SetUp() override {
        report.OnInitReport = [](TKvrReport& r) {
            r.Document.PaperIndex = 2; // A4
            r.Document.Orientation = orLandscape;
            r.Document.MarginLeft = r.Document.MarginRight = 100;
            r.Document.MarginTop = r.Document.MarginBottom = 100;
            r.Document.HeaderLeft = {"Points of the season"};
            r.BaseFontPercent = 70;
        };
        report.Document.FooterCenter = {"printed @DATE@"};
        report.OnOneExemplar = [](TKvrReport& r) {
            r.NewPage(1);
            r.SetFontSize(90);
            r.SetColumns("C100;C450;R450");
            for (int row = 0; row < 2; ++row) {
                r.Cell(0, "Pt.");
                r.Cell(1, "Time " + std::to_string(row + 1));
                r.Cell(2, "1:02.34");
                r.LineFeed(10);
                r.HorizontalRule(3);
                if (row == 0)
                    r.NextPage();
            }
        };
    }

    THooksScope hooks;
    TempDir dir;
    TKvrReport report{std::make_shared<TKvrQtPrintingService>()};
};

TEST_F(PdfOutput, ATwoPageReportIsWrittenAsA4LandscapeWithItsTexts) {
    report.PdfFileName = dir / "two.pdf";
    report.PrintToPdf(nullptr);
    ASSERT_TRUE(std::filesystem::exists(dir / "two.pdf"));
    EXPECT_EQ(TempDir::Read(dir / "two.pdf").rfind("%PDF", 0), 0u);
    EXPECT_EQ(hooks.progress, std::vector<std::string>{"#KvrPdf.EndDoc"});
    if (!HasTool("pdfinfo") || !HasTool("pdftotext"))
        GTEST_SKIP() << "poppler-utils are not installed";
    const std::string info = Capture("pdfinfo '" + dir / "two.pdf" + "'");
    EXPECT_TRUE(std::regex_search(info, std::regex("Pages:\\s+2\\n"))) << info;
    EXPECT_TRUE(
        std::regex_search(info, std::regex("Page size:\\s+841\\.89 x 595\\.276 pts \\(A4\\)|"
                                           "Page size:\\s+842 x 595 pts \\(A4\\)")))
        << info;
    EXPECT_TRUE(std::regex_search(info, std::regex("Creator:\\s+Kavrin FINA Marqor"))) << info;
    const std::string text = Capture("pdftotext -layout '" + dir / "two.pdf" + "' -");
    for (const char* part : {"Points of the season", "Page 1", "Page 2", "Time 1", "Time 2",
                             "1:02.34", "printed 05 March 2024"})
        EXPECT_NE(text.find(part), std::string::npos) << part << " in\n" << text;
    EXPECT_LT(text.find("Time 1"), text.find("Page 2"));
}

TEST_F(PdfOutput, ACancelledOutputLeavesNoFileAndAnExistingOneUntouched) {
    TRecordingStatus status;
    status.cancelAfter = 1;
    report.PdfFileName = dir / "cancelled.pdf";
    report.PrintToPdf(&status);
    EXPECT_FALSE(std::filesystem::exists(dir / "cancelled.pdf"));

    dir.Write("existing.pdf", "old content");
    status.asked = 0;
    report.PdfFileName = dir / "existing.pdf";
    report.PrintToPdf(&status);
    EXPECT_EQ(TempDir::Read(dir / "existing.pdf"), "old content");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(PdfOutput, ATargetThatCannotBeCreatedRaisesAnErrorNamingIt) {
    report.PdfFileName = dir / "missing/dir/out.pdf";
    try {
        report.PrintToPdf(nullptr);
        FAIL() << "written";
    } catch (const EFileError& error) {
        EXPECT_NE(std::string(error.what()).find("missing/dir/out.pdf"), std::string::npos);
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
}

// Whichever step of replacing the file fails (open, a write on a full disk, flush, close,
// rename), the previous PDF stays as it was, nothing else stays behind and the error names it.
TEST_F(PdfOutput, AFailureAtAnyStepOfTheWriteKeepsThePreviousFile) {
    using testing_support::CallsGuard;
    using testing_support::StepFaults;
    report.PdfFileName = dir / "table.pdf";
    auto counter = std::make_shared<StepFaults>();
    {
        CallsGuard guard(counter);
        report.PrintToPdf(nullptr);
    }
    const int steps = counter->calls;
    ASSERT_GE(steps, 5);
    for (int step = 1; step <= steps; ++step) {
        SCOPED_TRACE(step);
        dir.Write("table.pdf", "the previous PDF");
        auto faults = std::make_shared<StepFaults>();
        faults->failAt = step;
        {
            CallsGuard guard(faults);
            try {
                report.PrintToPdf(nullptr);
                ADD_FAILURE() << "no error";
            } catch (const EFileError& error) {
                EXPECT_NE(std::string(error.what()).find(dir / "table.pdf"), std::string::npos)
                    << error.what();
            }
        }
        EXPECT_EQ(TempDir::Read(dir / "table.pdf"), "the previous PDF") << faults->failed;
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                                std::filesystem::directory_iterator()),
                  1);
    }
}

TEST_F(PdfOutput, AReportThatNeverStartsAPageWritesNoFile) {
    report.OnOneExemplar = [](TKvrReport&) {
    };
    report.PdfFileName = dir / "nothing.pdf";
    report.PrintToPdf(nullptr);
    EXPECT_FALSE(std::filesystem::exists(dir / "nothing.pdf"));
}

TEST_F(PdfOutput, AnUnknownPaperGivesACustomPageOfTheFallbackSize) {
    report.OnInitReport = [](TKvrReport& r) {
        r.Document.PaperIndex = 0;
    };
    report.PdfFileName = dir / "custom.pdf";
    report.PrintToPdf(nullptr);
    if (!HasTool("pdfinfo"))
        GTEST_SKIP() << "poppler-utils are not installed";
    const std::string info = Capture("pdfinfo '" + dir / "custom.pdf" + "'");
    EXPECT_TRUE(std::regex_search(info, std::regex("Page size:\\s+595 x 842 pts"))) << info;
    EXPECT_TRUE(std::regex_search(info, std::regex("Pages:\\s+2\\n"))) << info;
}

TEST(PdfWriter, AlignedTextEndsOrCentresAtItsPosition) {
    TempDir dir;
    TKvrPdf pdf;
    pdf.SetTargetFile(dir / "aligned.pdf");
    pdf.SetFont({"Arial", 12, 1});
    pdf.SetPage(psA4, 595, 842, orPortrait);
    pdf.NewPage();
    const int width = pdf.TextWidth("Rightmost");
    EXPECT_GT(width, 30);
    pdf.TextOut(500, 100, taRight, "Rightmost");
    pdf.TextOut(300, 200, taCentre, "Centred");
    pdf.TextOut(100, 300, taLeft, "Leftmost");
    pdf.Line(100, 400, 500, 400, 1);
    pdf.Finish();
    EXPECT_FALSE(pdf.Started());
    if (!HasTool("pdftotext"))
        GTEST_SKIP() << "poppler-utils are not installed";
    const std::string boxes = Capture("pdftotext -bbox '" + dir / "aligned.pdf" + "' -");
    const auto box = [&](const std::string& word) {
        std::smatch m;
        const std::regex re("xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\"[^>]*>" +
                            word);
        EXPECT_TRUE(std::regex_search(boxes, m, re)) << word << " in " << boxes;
        return m.empty() ? std::array<double, 3>{}
                         : std::array<double, 3>{std::stod(m[1]), std::stod(m[2]), std::stod(m[3])};
    };
    const auto right = box("Rightmost");
    EXPECT_NEAR(right[2], 500, 1.5);
    EXPECT_NEAR(right[0], 500 - width, 1.5);
    const auto centre = box("Centred");
    EXPECT_NEAR((centre[0] + centre[2]) / 2, 300, 1.5);
    const auto left = box("Leftmost");
    EXPECT_NEAR(left[0], 100, 1.5);
    EXPECT_NEAR(left[1], 300, 3);
}

TEST(PdfWriter, PageLayoutsOfThePaperRowsHaveTheTablesSizes) {
    const auto& table = PaperTable();
    for (int row = 0; row < PaperCount; ++row) {
        const TPaper& paper = table[std::size_t(row)];
        const int w = MulDiv(paper.Height, 72, 254), h = MulDiv(paper.Width, 72, 254);
        const QPageLayout layout = TKvrPdf::PageLayoutOf(paper.PdfSize, w, h, orLandscape);
        const QSizeF mm = layout.fullRect(QPageLayout::Millimeter).size();
        EXPECT_NEAR(mm.width(), paper.Height / 10.0, 1.0) << paper.Name;
        EXPECT_NEAR(mm.height(), paper.Width / 10.0, 1.0) << paper.Name;
    }
}

} // namespace
} // namespace marqor
