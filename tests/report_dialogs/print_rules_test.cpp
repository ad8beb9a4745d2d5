#include "report_dialogs/print_rules.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace marqor;

namespace {

TEST(StatusWindowLayout, GrowsTwentyPixelsPerLineAndMakesRoomForBarAndButton) {
    struct Case {
        int lines;
        bool bar, cancel;
        int height;
    };
    for (const Case& c : std::initializer_list<Case>{{2, false, true, 147},
                                                     {1, false, false, 77},
                                                     {3, true, true, 200},
                                                     {7, false, false, 117}}) // at most 3
        EXPECT_EQ(StatusWindowHeight(c.lines, c.bar, c.cancel), c.height) << c.lines;
    EXPECT_EQ(StatusProgressTop(2), 70);
}

TEST(PreviewZoom, StepsBySquareRootOfTwoAndComesBackToTheSameSize) {
    const TZoomSize natural{794, 1123};
    const TZoomSize in = ZoomInStep(natural);
    EXPECT_EQ(in, (TZoomSize{1123, 1588}));
    EXPECT_EQ(ZoomPercentText(in.Width, natural.Width), "141%");
    EXPECT_EQ(ZoomOutStep(in), natural);
    EXPECT_EQ(ZoomPercentText(natural.Width, natural.Width), "100%");
    EXPECT_EQ(ZoomPercentText(0, natural.Width), "");
}

TEST(PreviewZoom, AStoredZoomBelowOneCountsAsHundredPercent) {
    EXPECT_EQ(StoredZoom(800, 600, 0), (TZoomSize{800, 600}));
    EXPECT_EQ(StoredZoom(800, 600, -5), (TZoomSize{800, 600}));
    EXPECT_EQ(StoredZoom(800, 600, 50), (TZoomSize{400, 300}));
}

TEST(PreviewZoom, PageWidthLeavesRoomForTheVerticalScrollBarOnlyWhenTheImageIsTooHigh) {
    // A wide page fits the box height: the width is the box less 20.
    EXPECT_EQ(PageWidthZoom({1000, 500}, 520, 800).Width, 500);
    // A tall page needs the scroll bar: the box less 36.
    EXPECT_EQ(PageWidthZoom({1000, 1414}, 520, 400).Width, 484);
}

TEST(PreviewZoom, FullPageFitsTheHeightAndSizesTheWindow) {
    EXPECT_EQ(FullPageWindowHeight(480), 440);
    EXPECT_EQ(FullPageWindowHeight(800), 640);
    const TZoomSize page = FullPageZoom({1123, 794}, 640);
    EXPECT_EQ(page.Height, 563);
    EXPECT_EQ(FullPageWindowWidth(page.Width), page.Width + 30);
    EXPECT_EQ(FullPageWindowWidth(369), 400);
}

TEST(PreviewZoom, ZoomInStopsAbove23000AndZoomOutOnceTheImageFits) {
    EXPECT_TRUE(CanZoomIn({23000, 100}));
    EXPECT_FALSE(CanZoomIn({23001, 100}));
    EXPECT_FALSE(CanZoomOut({480, 380}, 500, 400));
    EXPECT_TRUE(CanZoomOut({481, 380}, 500, 400));
}

TEST(OutputFileNames, TheExtensionIsReplacedOrAppended) {
    struct Case {
        const char* name;
        const char* extension;
        const char* target;
    };
    for (const Case& c :
         std::initializer_list<Case>{{"/tmp/report.txt", ".pdf", "/tmp/report.pdf"},
                                     {"/tmp/report", ".pdf", "/tmp/report.pdf"},
                                     {"/tmp/report.pdf", ".pdf", "/tmp/report.pdf"},
                                     {"/tmp/my.dir/report", ".htm", "/tmp/my.dir/report.htm"},
                                     {"/tmp/a.b.c", ".html", "/tmp/a.b.html"}})
        EXPECT_EQ(ChangeFileExtension(c.name, c.extension), c.target) << c.name;
    EXPECT_EQ(FolderPartOf("/tmp/x/report.htm"), "/tmp/x/");
    EXPECT_EQ(FolderPartOf("report.htm"), "");
}

TEST(OutputFileNames, AStoredFolderThatIsGoneGivesTheFallback) {
    QTemporaryDir dir;
    const std::string existing = dir.path().toStdString() + "/";
    EXPECT_EQ(InitialSaveFolder(existing, "/home/"), existing);
    EXPECT_EQ(InitialSaveFolder(existing + "gone/", "/home/"), "/home/");
    EXPECT_EQ(InitialSaveFolder("", "/home/"), "/home/");
}

} // namespace
