#include "../controls/gui_test_support.h"
#include "print_test_support.h"
#include "report_dialogs/status_dialog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace marqor;
using namespace marqor::test;

namespace {

TEST(StatusWindow, RunsTheOutputAfterATenthOfASecondAndShowsItsLines) {
    TKvrReport report;
    QElapsedTimer clock;
    clock.start();
    qint64 startedAfter = -1;
    bool visible = false;
    int height = 0;
    std::string line;
    const bool done = RunWithStatus(
        nullptr,
        [&](TKvrReport& r, IKvrStatusDlg* status) {
            EXPECT_EQ(&r, &report);
            startedAfter = clock.elapsed();
            auto* window = dynamic_cast<TKvrStatusDlg*>(status);
            ASSERT_NE(window, nullptr);
            visible = window->isVisible();
            height = window->height();
            status->SetLine(0, "Page 1");
            line = window->lblInfo0->text().toStdString();
            EXPECT_TRUE(window->lblInfo1->isVisibleTo(window));
            EXPECT_FALSE(window->lblInfo2->isVisibleTo(window));
            EXPECT_FALSE(window->PrbStand->isVisibleTo(window));
            EXPECT_EQ(window->btnAbort->text().remove('&'), "Cancel");
            EXPECT_FALSE(status->Cancelled());
        },
        report);
    EXPECT_TRUE(done);
    EXPECT_GE(startedAfter, 95);
    EXPECT_TRUE(visible);
    EXPECT_EQ(height, 147);
    EXPECT_EQ(line, "Page 1");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(StatusWindow, CancelCountsOnlyAfterTheUserConfirmsIt) {
    for (const bool confirm : {false, true}) {
        TKvrReport report;
        std::string question;
        bool cancelled = false;
        const bool done = RunWithStatus(
            nullptr,
            [&](TKvrReport&, IKvrStatusDlg* status) {
                auto* window = dynamic_cast<TKvrStatusDlg*>(status);
                AnswerMessage(confirm ? "Yes" : "No", &question);
                window->btnAbort->click();
                cancelled = status->Cancelled();
            },
            report);
        EXPECT_EQ(question, "Are you sure you want to cancel ?");
        EXPECT_EQ(cancelled, confirm);
        EXPECT_EQ(done, !confirm);
    }
}

TEST(StatusWindow, AnOutputThatFailsClosesTheWindowAndTheErrorComesOut) {
    TKvrReport report;
    EXPECT_THROW(RunWithStatus(
                     nullptr,
                     [](TKvrReport&, IKvrStatusDlg*) { throw std::runtime_error("disk full"); },
                     report),
                 std::runtime_error);
    Settle();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

} // namespace
