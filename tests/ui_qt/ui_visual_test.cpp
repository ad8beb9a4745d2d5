#include "../controls/gui_test_support.h"
#include "services/config.h"
#include "services/mad_except.h"
#include "services/settings_stores.h"
#include "ui_qt/gui_application.h"
#include "ui_qt/message_dialog.h"
#include "ui_qt/progress_dialog.h"
#include "ui_qt/small_dialogs.h"
#include "ui_qt/startup_form.h"
#include "ui_qt/ui_visual.h"
#include "window_test_main.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>

using namespace marqor;
using namespace marqor::test;

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A visual service object of each test's own, so that start-up flags and windows never leak
// from one test into the next.
class VisualFixture : public ::testing::Test {
protected:
    std::unique_ptr<TBSUIVisual> ui = std::make_unique<TBSUIVisual>();
};

// ---------------------------------------------------------------------------------------------
// Message window

TEST(MessageLayout, ButtonsGoFromTheLeftInRowsThatEndAtHalfTheScreen) {
    const auto layout = MultiSelectLayout(QSize(600, 400), QSize(120, 30), {20, 40, 200, 300});
    ASSERT_EQ(layout.Buttons.size(), 4u);
    // At least 75 wide, else caption + 15.
    EXPECT_EQ(layout.Buttons[0].width(), 75);
    EXPECT_EQ(layout.Buttons[2].width(), 215);
    EXPECT_EQ(layout.Buttons[3].width(), 315);
    EXPECT_EQ(layout.Buttons[1].left(), layout.Buttons[0].right() + 1 + 5);
    // The fourth would start at 390, beyond 300: a new row 30 pixels down.
    EXPECT_EQ(layout.Buttons[2].top(), layout.Buttons[0].top());
    EXPECT_EQ(layout.Buttons[3].top(), layout.Buttons[0].top() + 30);
    EXPECT_EQ(layout.Buttons[3].left(), layout.Buttons[0].left());
    // At least 400 wide, at most the screen less 100.
    EXPECT_EQ(MultiSelectLayout(QSize(1280, 800), QSize(50, 15), {10}).Window.width(), 400);
    EXPECT_EQ(MultiSelectLayout(QSize(600, 400), QSize(50, 15), {525}).Window.width(), 500);
    // The text is never wider than the screen less 200.
    EXPECT_EQ(MultiSelectLayout(QSize(600, 400), QSize(900, 15), {}).Text.width(), 400);
}

TEST(MessageWindow, CountsDownOnItsFirstButtonAndClosesWithIdZero) {
    TBSUIMessage message = WarningMessage("Table file written.", 3);
    message.Buttons = {{4, "Open"}, {0, "Close"}};
    TFBSUIMultiSelectDlg dialog(message, "Marqor");
    std::vector<QString> captions;
    OnNextModal([&](QWidget*) {
        for (int ms : {500, 1500, 2500})
            QTimer::singleShot(ms, &dialog, [&] { captions.push_back(dialog.Buttons[0]->text()); });
    });
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(dialog.Execute(), 0);
    EXPECT_GE(clock.elapsed(), 2900);
    EXPECT_EQ(captions, (std::vector<QString>{"Open", "OK (2)", "OK (1)"}));
    EXPECT_EQ(dialog.windowTitle(), "Marqor");
}

TEST(MessageWindow, AnswersThePressedButtonEscapeTheCancelButtonAndClosingMinusOne) {
    const TBSUIMessage question = YesNoCancelQuestion("Replace the table file?");
    {
        TFBSUIMultiSelectDlg dialog(question, "Marqor");
        ASSERT_EQ(dialog.Buttons.size(), 3u);
        EXPECT_EQ(dialog.Buttons[0]->text(), "Yes");
        EXPECT_TRUE(dialog.Buttons[0]->isDefault());
        EXPECT_EQ(dialog.Buttons[2]->text(), "Cancel");
        OnNextModal([&](QWidget*) { QTest::mouseClick(dialog.Buttons[1], Qt::LeftButton); });
        EXPECT_EQ(dialog.Execute(), AnswerNo);
    }
    {
        TFBSUIMultiSelectDlg dialog(question, "Marqor");
        OnNextModal([&](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
        EXPECT_EQ(dialog.Execute(), AnswerCancel);
    }
    {
        TFBSUIMultiSelectDlg dialog(question, "Marqor");
        OnNextModal([&](QWidget* w) { w->close(); });
        EXPECT_EQ(dialog.Execute(), -1);
    }
    {
        TFBSUIMultiSelectDlg dialog(question, "Marqor");
        OnNextModal([&](QWidget* w) { QTest::keyClick(w, Qt::Key_Return); });
        EXPECT_EQ(dialog.Execute(), AnswerYes);
    }
}

TEST_F(VisualFixture, QuestionsOfTheServicesUseTheMessageWindow) {
    QString text;
    OnNextModal([&](QWidget* w) {
        auto* dialog = qobject_cast<TFBSUIMultiSelectDlg*>(w);
        ASSERT_NE(dialog, nullptr);
        text = dialog->LText->text();
        dialog->close();
    });
    EXPECT_EQ(ui->AskYesNoCancel("Save the settings?"), AnswerCancel);
    EXPECT_EQ(text, "Save the settings?");
    OnNextModal([&](QWidget* w) {
        QTest::mouseClick(qobject_cast<TFBSUIMultiSelectDlg*>(w)->Buttons[0], Qt::LeftButton);
    });
    EXPECT_TRUE(ui->AskYesNo("Go on?"));
}

TEST(MessageWindow, ShowsTextAsPlainText) {
    TFBSUIMultiSelectDlg dialog(InformationMessage("<b>not bold</b>\nsecond line"), "Marqor");
    EXPECT_EQ(dialog.LText->textFormat(), Qt::PlainText);
    EXPECT_GE(dialog.LText->height(), 30);
}

// ---------------------------------------------------------------------------------------------
// Progress window

TEST_F(VisualFixture, TheProgressWindowShowsTitleDetailAndTimeAndOffersCancel) {
    ui->BeginProgress(true, "Printing the point table");
    TFBSUIDefaultProgressDlg* window = ui->DefaultProgressWindow();
    ASSERT_TRUE(window->isVisible());
    EXPECT_TRUE(window->LTitle->font().bold());
    EXPECT_EQ(window->LTitle->text(), "Printing the point table");
    EXPECT_EQ(window->BCancel->text(), "Cancel");
    EXPECT_TRUE(window->BCancel->isVisibleTo(window));
    EXPECT_EQ(window->ProgressBar->maximum(), 0); // no total yet: the bar moves to and fro
    ui->SetProgressRange("Page @COUNT of @TOTAL", 4, 1);
    ui->StepProgress("Page @COUNT of @TOTAL");
    EXPECT_EQ(window->LDetail->text(), "Page 1 of 4");
    EXPECT_EQ(window->ProgressBar->maximum(), 4);
    EXPECT_EQ(window->ProgressBar->value(), 1);
    EXPECT_TRUE(window->LTime->text().startsWith("Time remaining: "));

    ui->BeginProgress(false, "Inner");
    EXPECT_FALSE(window->BCancel->isVisibleTo(window));
    ui->EndProgress();
    QTest::mouseClick(window->BCancel, Qt::LeftButton);
    EXPECT_TRUE(ui->ProgressCancelled());
    window->close(); // the user cannot close it
    EXPECT_TRUE(window->isVisible());
    ui->EndProgress();
    EXPECT_FALSE(window->isVisible());
}

// ---------------------------------------------------------------------------------------------
// Start-up screen and about box

TEST_F(VisualFixture, TheStartupScreenStaysForItsMinimumTimeAndCannotBeClosed) {
    ui->ShowStartupScreen(2);
    TBSStartupForm* screen = ui->StartupWindow();
    ASSERT_TRUE(screen->isVisible());
    EXPECT_TRUE(screen->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(screen->FadeRunning());
    EXPECT_LT(screen->windowOpacity(), 0.5);
    ui->MainWindowShown();
    screen->close();
    QTest::keyClick(screen, Qt::Key_Escape);
    QTest::mouseClick(screen, Qt::LeftButton);
    QTest::qWait(1500);
    EXPECT_TRUE(screen->isVisible());
    EXPECT_FALSE(screen->FadeRunning());
    EXPECT_DOUBLE_EQ(screen->windowOpacity(), 1.0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !screen->isVisible(); }, 1500));
    EXPECT_EQ(ui->BusyDepth(), 0);
}

TEST_F(VisualFixture, TheStartupScreenWaitsForTheMainWindowWhenThatTakesLonger) {
    ui->ShowStartupScreen(0);
    TBSStartupForm* screen = ui->StartupWindow();
    QTest::qWait(300);
    EXPECT_TRUE(ui->MinimumTimeElapsed());
    EXPECT_TRUE(screen->isVisible());
    ui->MainWindowShown();
    EXPECT_FALSE(screen->isVisible());
}

TEST_F(VisualFixture, ProgressDuringStartupShowsOnTheStartupScreen) {
    ui->ShowStartupScreen(0);
    auto* screen = qobject_cast<TBSDefaultStartupForm*>(ui->StartupWindow());
    ASSERT_NE(screen, nullptr);
    ui->BeginProgress(false, "Reading tables");
    ui->SetProgressRange("", 10, 1);
    ui->StepProgress("WA 2026");
    EXPECT_EQ(screen->LProgress->text(), "Reading tables: WA 2026");
    EXPECT_TRUE(screen->ProgressBar->isVisibleTo(screen));
    EXPECT_FALSE(ui->DefaultProgressWindow()->isVisible());
    // The main window is up: the start-up is over, whatever it still reports.
    ui->MainWindowShown();
    EXPECT_FALSE(screen->isVisible());
    ui->EndProgress();
    EXPECT_FALSE(ui->DefaultProgressWindow()->isVisible());
}

TEST_F(VisualFixture, TheAboutBoxClosesOnAKeyOrAClick) {
    ui->ShowStartupScreen(0);
    ui->MainWindowShown();
    TBSStartupForm* window = ui->StartupWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }, 1000));
    bool modal = false;
    OnNextModal([&](QWidget* w) {
        modal = w == window && window->isModal();
        QTest::keyClick(w, Qt::Key_Space);
    });
    ui->ShowAbout();
    EXPECT_TRUE(modal);
    EXPECT_FALSE(window->isVisible());
    OnNextModal([&](QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(50, 50)); });
    ui->ShowAbout();
    EXPECT_FALSE(window->isVisible());
}

// ---------------------------------------------------------------------------------------------
// Choosers and menus

TEST_F(VisualFixture, TheProjectChoicePreselectsTheLastProject) {
    auto names = NewStringList();
    for (const char* n : {"Alpha", "Beta", "Gamma"})
        names->Add(n);
    OnNextModal([&](QWidget* w) {
        auto* dialog = qobject_cast<TFBSUIProjectDlg*>(w);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), "Marqor");
        EXPECT_EQ(dialog->LBProjects->currentRow(), 1);
        dialog->LBProjects->setCurrentRow(2);
        QTest::mouseClick(dialog->BOk, Qt::LeftButton);
    });
    EXPECT_EQ(ui->ChooseProject("Marqor", "beta", *names), 2);
    OnNextModal([&](QWidget* w) {
        QTest::mouseClick(qobject_cast<TFBSUIProjectDlg*>(w)->BCancel, Qt::LeftButton);
    });
    EXPECT_EQ(ui->ChooseProject("Marqor", "Beta", *names), -1);
}

TEST_F(VisualFixture, SupportMenusFollowTheRegistryFlagsAndCarryTheirEntries) {
    QMenu file("File");
    file.addAction("Quit");
    int ran = 0;
    ui->AddMenuAction(
        smDebug, "> Library\\Size Mainform 950x740 Pixel", [&](int v) { ran = v; }, 3);
    WriteRegistryValue("Software\\Orvane", "DEBUG", "1");
    ui->InsertSupportMenus(&file);
    ui->InsertSupportMenus(&file); // once per menu
    WriteRegistryValue("Software\\Orvane", "DEBUG", "0");
    const auto actions = file.actions();
    ASSERT_EQ(actions.size(), 5);
    EXPECT_EQ(actions[0]->text(), "Administrator");
    EXPECT_FALSE(actions[0]->isVisible());
    EXPECT_EQ(actions[1]->text(), "Debug");
    EXPECT_TRUE(actions[1]->isVisible());
    EXPECT_EQ(actions[2]->text(), "Orvane");
    EXPECT_FALSE(actions[2]->isVisible());
    EXPECT_TRUE(actions[3]->isSeparator());
    EXPECT_TRUE(actions[3]->isVisible());
    EXPECT_EQ(actions[4]->text(), "Quit");
    QMenu* library = actions[1]->menu()->actions().value(0)->menu();
    ASSERT_NE(library, nullptr);
    EXPECT_EQ(library->title(), "> Library");
    library->actions().value(0)->trigger();
    EXPECT_EQ(ran, 3);
}

// ---------------------------------------------------------------------------------------------
// Exceptions of event handlers

TEST(EventExceptions, AreReportedInsteadOfEndingTheProgram) {
    QPushButton button("Throw");
    QObject::connect(&button, &QPushButton::clicked,
                     [] { throw std::runtime_error("the table went missing in a slot"); });
    button.show();
    QString shown;
    OnNextModal([&](QWidget* w) {
        auto* dialog = qobject_cast<TFBSMadExceptDlg*>(w);
        ASSERT_NE(dialog, nullptr);
        shown = dialog->LMessage->text();
        EXPECT_NE(dialog->MReport->toPlainText().indexOf("exception message : the table went "
                                                         "missing in a slot"),
                  -1);
        QTest::mouseClick(dialog->BContinue, Qt::LeftButton);
    });
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_NE(shown.indexOf("the table went missing in a slot"), -1);
    const std::string errorFile = TBSMadExcept::ErrorFile()->PathText();
    EXPECT_EQ(errorFile, TestProgramDirectory() + "/marqor.err");
    EXPECT_NE(shown.indexOf(QString::fromStdString(errorFile)), -1);
    const std::string report = ReadAll(errorFile);
    EXPECT_NE(report.find(std::string(78, '-')), std::string::npos);
    EXPECT_NE(report.find("exception class   : std::runtime_error"), std::string::npos);
    // The program goes on: the button still works.
    EXPECT_TRUE(button.isVisible());
}

} // namespace
