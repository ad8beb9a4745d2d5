#include "../reports/report_test_support.h"
#include "qt_test_support.h"
#include "reports/report.h"
#include "reports/report_math.h"
#include "reports_qt/canvas_devices.h"
#include "reports_qt/qt_fonts.h"

#include <QFontDatabase>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace marqor {
namespace {

using testing_support::THooksScope;

struct PageSizeCase {
    QPageSize::PageSizeId id;
    int code, row;
};
void PrintTo(const PageSizeCase& c, std::ostream* os) {
    *os << QPageSize::name(c.id).toStdString();
}

class PrinterPaper : public ::testing::TestWithParam<PageSizeCase> {};

TEST_P(PrinterPaper, MapsThePrintersDefaultPageToTheirCodeAndRow) {
    const int code = PaperCodeOfPageSize(QPageSize(GetParam().id));
    EXPECT_EQ(code, GetParam().code);
    EXPECT_EQ(PaperIndexOfCode(code), GetParam().row);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, PrinterPaper,
    ::testing::Values(PageSizeCase{QPageSize::A4, 9, 2}, PageSizeCase{QPageSize::A3, 8, 1},
                      PageSizeCase{QPageSize::A5, 11, 3}, PageSizeCase{QPageSize::Letter, 1, 6},
                      PageSizeCase{QPageSize::Legal, 5, 8},
                      PageSizeCase{QPageSize::ExecutiveStandard, 7, 9},
                      PageSizeCase{QPageSize::JisB5, 13, 5}, PageSizeCase{QPageSize::AnsiE, 26, 12},
                      PageSizeCase{QPageSize::A6, 70, 0},
                      PageSizeCase{QPageSize::Envelope10, 256, 0}));

TEST(PrinterPaper, AnInvalidPageSizeReadsAsNoCode) {
    EXPECT_EQ(PaperCodeOfPageSize(QPageSize()), 0);
}

TEST(PrintingService, WithoutPrintersThePaperIsRowZeroAndPrintingIsRefused) {
    auto service = std::make_shared<TKvrQtPrintingService>();
    if (!service->PrinterNames().empty())
        GTEST_SKIP() << "this machine has printers";
    EXPECT_EQ(service->CurrentPrinterName(), "");
    TKvrReport report(service);
    EXPECT_EQ(report.Document.PaperIndex, 0);
    EXPECT_EQ(report.Document.PaperInfo().Name, "?");
    report.OnOneExemplar = [](TKvrReport& r) {
        r.NewPage(1);
    };
    EXPECT_THROW(report.PrintToPrinter(nullptr), std::runtime_error);
}

TEST(PreviewDevice, RecordsEveryPageAsAPictureThatReplaysTheDrawing) {
    THooksScope hooks;
    TKvrReport report(std::make_shared<TKvrQtPrintingService>());
    report.OnInitReport = [](TKvrReport& r) {
        r.Document.PaperIndex = 2;
    };
    report.OnOneExemplar = [](TKvrReport& r) {
        r.NewPage(1);
        r.SetColumns("L500;R500");
        r.Cell(0, "Left");
        r.Cell(1, "Right");
        r.LineFeed(10);
        r.HorizontalRule(-1);
        r.NextPage();
        r.Cell(0, "Second page");
    };
    report.PrintToPreview(nullptr);
    ASSERT_EQ(report.PreviewPages().size(), 2u);
    for (const auto& page : report.PreviewPages()) {
        const auto* picture = dynamic_cast<const TKvrPreviewPicture*>(page.get());
        ASSERT_NE(picture, nullptr);
        const int ppi = TKvrPreviewDevice().ScreenPixelsPerInch();
        EXPECT_EQ(picture->Width(), MulDiv(2100, ppi, 254) + 2);
        EXPECT_EQ(picture->Height(), MulDiv(2970, ppi, 254) + 2);
        EXPECT_EQ(picture->Picture().boundingRect(),
                  QRect(0, 0, picture->Width(), picture->Height()));
        QImage image(picture->Width(), picture->Height(), QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        const_cast<QPicture&>(picture->Picture()).play(&painter);
        painter.end();
        // The shadow along the bottom edge and some text in the top part are drawn.
        EXPECT_NE(image.pixel(picture->Width() / 2, picture->Height() - 3), qRgb(255, 255, 255));
        int dark = 0;
        for (int y = 0; y < picture->Height() / 4; ++y)
            for (int x = 10; x < picture->Width() - 10; ++x)
                dark += qGray(image.pixel(x, y)) < 128;
        EXPECT_GT(dark, 50);
    }
}

TEST(ReportFonts, MissingFamiliesAreDrawnWithTheirMetricTwins) {
    if (!QFontDatabase::hasFamily("Liberation Sans") || QFontDatabase::hasFamily("Arial"))
        GTEST_SKIP() << "needs Liberation Sans and no Arial";
    EXPECT_EQ(ReportFontFamily("Arial").toStdString(), "Liberation Sans");
    EXPECT_EQ(ReportFontFamily("Courier New").toStdString(), "Liberation Mono");
    EXPECT_EQ(ReportFontFamily("Liberation Serif").toStdString(), "Liberation Serif");
    EXPECT_TRUE(ReportQFont({"Courier New", 9, 2}).fixedPitch());
    EXPECT_EQ(ReportQFont({"Arial", 0, 1}).pointSize(), 1);
}

} // namespace
} // namespace marqor
