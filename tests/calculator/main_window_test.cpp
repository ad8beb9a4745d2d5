#include "../controls/gui_test_support.h"
#include "../ui_qt/window_test_main.h"
#include "calculator/artwork.h"
#include "calculator/main_window.h"
#include "calculator/startup_window.h"
#include "foundation/text.h"
#include "services/config.h"
#include "services/ui.h"
#include "ui_qt/ui_visual.h"

#include <QAction>
#include <QDate>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace marqor;
using namespace marqor::test;

namespace {

TBSSwPointTableController& BuiltInTables() {
    static TBSSwPointTableController tables(TPointTableSources{BuiltInPointTableNames(), {}, {}});
    return tables;
}

std::string StoredPlacement() {
    return UserSettings()->GetSection("TFMain")->ReadRaw("WindowState", "");
}

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        main = std::make_unique<TFMain>(BuiltInTables());
        ShowActive(main.get());
    }
    std::unique_ptr<TFMain> main;
};

TEST_F(MainWindow, HasAFixedSizeWithTheCalculatorBetweenToolBarAndFooter) {
    EXPECT_EQ(main->windowTitle(), "FINA Marqor");
    EXPECT_EQ(main->minimumSize(), main->maximumSize());
    const int toolBar = main->ToolBar->height();
    EXPECT_GT(toolBar, 16);
    EXPECT_EQ(main->Client->size(), QSize(480, toolBar + 350 + 20));
    EXPECT_EQ(main->Calculator()->PnlCalculator->parentWidget(), main->Client);
    EXPECT_EQ(main->Calculator()->PnlCalculator->geometry(), QRect(0, toolBar, 480, 350));
    EXPECT_EQ(main->PnlFoot->geometry(), QRect(0, toolBar + 350, 480, 20));
    EXPECT_EQ(main->height(), main->menuBar()->height() + main->Client->height());
    main->resize(800, 700);
    QTest::qWait(20);
    EXPECT_EQ(main->width(), 480);
    EXPECT_FALSE(main->Calculator()->isVisible()); // its panel is here, the window never shows
    // The calculator keeps its own 8 pt font inside the main window.
    EXPECT_EQ(main->Calculator()->PnlCalculator->font().pointSize(), 8);
}

TEST_F(MainWindow, OffersItsThreeActionsOnTheToolBarAndInTheFileMenu) {
    EXPECT_EQ(main->ActTerminate->text(), "Quit");
    EXPECT_EQ(main->ActTerminate->toolTip(), "Quit KAVRIN Marqor");
    EXPECT_EQ(main->ActPrintPointTable->text(), "Print points");
    EXPECT_EQ(main->ActPrintPointTable->toolTip(),
              "Print table with points and corresponding times in all events");
    EXPECT_EQ(main->ActAbout->text(), "About Marqor");
    EXPECT_EQ(main->ActAbout->toolTip(), "About Marqor");

    const auto bar = main->ToolBar->actions();
    ASSERT_EQ(bar.size(), 5);
    EXPECT_EQ(bar[0], main->ActTerminate);
    EXPECT_TRUE(bar[1]->isSeparator());
    EXPECT_EQ(bar[2], main->ActPrintPointTable);
    EXPECT_TRUE(bar[3]->isSeparator());
    EXPECT_EQ(bar[4], main->ActAbout);
    EXPECT_EQ(main->ToolButton1->defaultAction(), main->ActTerminate);
    EXPECT_EQ(main->ToolButton3->defaultAction(), main->ActAbout);
    EXPECT_EQ(main->ToolBar->iconSize(), QSize(16, 16));

    // The support menus come first (hidden for this user), then the menu as designed.
    QList<QAction*> menu = main->File1->actions();
    while (!menu.isEmpty() && !menu.front()->isVisible())
        menu.pop_front();
    ASSERT_EQ(menu.size(), 5);
    EXPECT_EQ(menu[0], main->ActPrintPointTable);
    EXPECT_TRUE(menu[1]->isSeparator());
    EXPECT_EQ(menu[2], main->ActAbout);
    EXPECT_TRUE(menu[3]->isSeparator());
    EXPECT_EQ(menu[4], main->ActTerminate);
    EXPECT_EQ(main->menuBar()->actions().value(0)->text(), "&File");
}

TEST_F(MainWindow, ItsImagesAreThreeDifferentSixteenPixelPictures) {
    ASSERT_EQ(main->ImageList1.size(), 3u);
    std::vector<QImage> images;
    for (const QIcon& icon : main->ImageList1) {
        const QImage image = icon.pixmap(16, 16).toImage();
        EXPECT_EQ(image.size(), QSize(16, 16));
        images.push_back(image);
    }
    EXPECT_NE(images[0], images[1]);
    EXPECT_NE(images[1], images[2]);
    EXPECT_EQ(main->ActAbout->icon().cacheKey(), main->ImageList1[0].cacheKey());
    EXPECT_EQ(main->ActTerminate->icon().cacheKey(), main->ImageList1[1].cacheKey());
    EXPECT_EQ(main->ActPrintPointTable->icon().cacheKey(), main->ImageList1[2].cacheKey());
}

TEST_F(MainWindow, CtrlPIsThereButDisabledUntilThePrintoutIsConnected) {
    EXPECT_EQ(main->ActPrintPointTable->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
    EXPECT_FALSE(main->ActPrintPointTable->isEnabled());
    QTest::keyClick(main.get(), Qt::Key_P, Qt::ControlModifier); // nothing happens

    struct Request {
        int table, age;
        TBSSwGender gender;
        TBSSwCourse course;
    };
    std::vector<Request> requests;
    main->SetOpenPointTablePrint([&](int table, int age, TBSSwGender gender, TBSSwCourse course) {
        requests.push_back({table, age, gender, course});
    });
    EXPECT_TRUE(main->ActPrintPointTable->isEnabled());
    TKvrFPCalculator* c = main->Calculator();
    c->CBPointTable->SelectKey(3003);
    c->CBPointTableUserChange();
    c->CBCourse->SelectKey(sco25m);
    c->RgrGeschlecht->SetItemIndex(1);
    FocusByTab(c->ESwimTime);
    QTest::keyClick(c->ESwimTime, Qt::Key_P, Qt::ControlModifier);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].table, 3003);
    EXPECT_EQ(requests[0].age, 99);
    EXPECT_EQ(requests[0].gender, sgeWomen);
    EXPECT_EQ(requests[0].course, sco25m);
}

TEST_F(MainWindow, TheFooterShowsTheCurrentYear) {
    const QString year = QString::number(QDate::currentDate().year());
    EXPECT_TRUE(main->PnlFoot->text().contains(year)) << main->PnlFoot->text().toStdString();
    EXPECT_TRUE(main->PnlFoot->text().contains("Orvane"));
    EXPECT_EQ(main->PnlFoot->frameShadow(), QFrame::Sunken);
}

TEST_F(MainWindow, ShowingItTellsTheServicesAndAboutShowsTheAboutBox) {
    EXPECT_TRUE(UIServices().MainWindowWasShown());
    auto* ui = VisualUIServices();
    ASSERT_NE(ui, nullptr);
    ui->SetStartupScreenClass([] { return new TFStartupForm; });
    bool sawAbout = false;
    OnNextModal([&](QWidget* w) {
        sawAbout = qobject_cast<TFStartupForm*>(w) != nullptr;
        QTest::keyClick(w, Qt::Key_Escape);
    });
    main->ActAbout->trigger();
    EXPECT_TRUE(sawAbout);
}

TEST_F(MainWindow, QuitClosesTheWindowAndEndsTheProgram) {
    QSignalSpy closed(main.get(), &TFMain::Closed);
    main->ActTerminate->trigger();
    EXPECT_FALSE(main->isVisible());
    EXPECT_EQ(closed.count(), 1);
}

TEST(MainWindowPlacement, IsRestoredOnTheNextStart) {
    QPoint placed;
    {
        TFMain first(BuiltInTables());
        ShowActive(&first);
        first.move(123, 77);
        QTest::qWait(20);
        placed = first.geometry().topLeft(); // the client area, inside the frame
    }
    const std::string stored = StoredPlacement();
    ASSERT_TRUE(stored.starts_with(Format("%d,%d,480,", placed.x(), placed.y()))) << stored;
    TFMain second(BuiltInTables());
    ShowActive(&second);
    EXPECT_EQ(second.geometry().topLeft(), placed);
    EXPECT_EQ(second.Client->width(), 480);
}

// ---------------------------------------------------------------------------------------------
// The start-up window

TEST(StartupWindow, ShowsThePictureWithTheMakersLines) {
    TFStartupForm window;
    EXPECT_EQ(window.size(), QSize(572, 340));
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(window.Client->size(), QSize(570, 338));
    EXPECT_TRUE(window.ImgLogoFina->isVisibleTo(&window));
    EXPECT_EQ(window.ImgLogoFina->pixmap().size(), QSize(572, 340));
    EXPECT_EQ(window.ImgLogo->x(), window.width());
    EXPECT_FALSE(window.LApplication->isVisibleTo(&window));
    EXPECT_EQ(window.LOrvane->text(), "Orvane AG");
    EXPECT_EQ(window.LBuild->text().toStdString(), ApplicationObject().VersionText());
    EXPECT_TRUE(window.LCopyright->text().contains(QString::number(QDate::currentDate().year())));
    EXPECT_EQ(window.LProgress->geometry().topLeft(), QPoint(35, 253));
    EXPECT_EQ(window.ProgressBar->geometry(), QRect(35, 269, 500, 4));
    EXPECT_TRUE(window.BDummy->isDefault());
    EXPECT_LT(window.BDummy->y(), 0);
    // The picture is our own, with white text where the maker's lines go: the band under them
    // is dark.
    const QImage picture = StartupPicture().toImage();
    for (QPoint p : {QPoint(40, 292), QPoint(300, 300), QPoint(500, 312)})
        EXPECT_LT(qGray(picture.pixel(p)), 60) << p.x() << "," << p.y();
}

TEST(StartupWindow, RefusesToCloseBeforeTwoSecondsThenClosesOnceTheMainWindowIsUp) {
    TBSUIVisual ui;
    ui.SetStartupScreenClass([] { return new TFStartupForm; });
    ui.ShowStartupScreen(2);
    auto* window = qobject_cast<TFStartupForm*>(ui.StartupWindow());
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(window->isVisible());
    ui.MainWindowShown();
    QTest::keyClick(window, Qt::Key_A);
    QTest::mouseClick(window->ImgLogoFina, Qt::LeftButton, {}, QPoint(100, 100));
    window->close();
    QTest::qWait(1700);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }, 1000));

    // Later the same window is the about box, and a click on the picture closes it.
    OnNextModal([&](QWidget*) {
        QTest::mouseClick(window->ImgLogoFina, Qt::LeftButton, {}, QPoint(100, 100));
    });
    ui.ShowAbout();
    EXPECT_FALSE(window->isVisible());
}

} // namespace
