#pragma once

// Shared by the widget tests: waiting for and answering the dialogs a test expects, focus
// helpers, and the names of the test windows' form sections.

#include <QWidget>
#include <functional>

namespace marqor::test {

// The next modal dialog or popup that opens is handed to the action, which must close it. A
// dialog that opens while no action waits fails the test and is closed (see the test main).
void OnNextModal(std::function<void(QWidget*)> action);
// True while an action waits for its dialog.
bool ModalExpected();

// Shows the window, makes it active and waits until it is.
void ShowActive(QWidget* window);
// Gives the widget the keyboard focus as the user's Tab key would, and waits for it.
void FocusByTab(QWidget* widget);
// Processes pending events without waiting.
void Settle();

// The form sections the test language adds to the built-in language data.
extern const char* const kTestFormSections;

} // namespace marqor::test
