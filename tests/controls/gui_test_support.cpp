#include "gui_test_support.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

namespace marqor::test {

namespace {

std::function<void(QWidget*)>& PendingAction() {
    static std::function<void(QWidget*)> action;
    return action;
}

} // namespace

void OnNextModal(std::function<void(QWidget*)> action) {
    PendingAction() = std::move(action);
}

bool ModalExpected() {
    return bool(PendingAction());
}

// Called by the watchdog of the test main when a dialog is up.
bool AnswerModal(QWidget* dialog) {
    auto action = std::move(PendingAction());
    PendingAction() = nullptr;
    if (!action)
        return false;
    action(dialog);
    return true;
}

void ShowActive(QWidget* window) {
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
}

void FocusByTab(QWidget* widget) {
    widget->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(QTest::qWaitFor([widget] { return widget->hasFocus(); }, 1000));
}

void Settle() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents();
}

const char* const kTestFormSections = R"(
[Form.TTestBaseWindow]
Base caption
.@BOk
Base OK
Base hint
.@LName
Base name
[Form.TTestDerivedWindow]
Derived caption
.@LName
Derived name
)";

} // namespace marqor::test
