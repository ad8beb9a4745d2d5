#pragma once

// The application object of the windowed program. An exception that escapes an event handler
// (a slot, a paint, a key press) would end the program without a word; here it is reported
// instead: the crash report goes to the error file, the reporter's window shows what happened,
// and the user decides whether the program goes on.

#include "controls/forms.h"

#include <QApplication>
#include <exception>
#include <functional>
#include <string>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace marqor {

class TBSGuiApplication : public QApplication {
public:
    TBSGuiApplication(int& argc, char** argv);
    // Releases the windows of the user-interface services while the application still exists.
    ~TBSGuiApplication() override;

    bool notify(QObject* receiver, QEvent* event) override;
};

// Writes the report of an exception that escaped an event handler and shows the reporter's
// window (only one at a time: a report that comes while the window is up is written only).
void ReportEventException(std::exception_ptr error);

// The reporter's window: the message, where the report went, the report itself on request,
// and the choice to go on or to close the program. Its texts are the reporter's own unless
// the language data has section BSMadExcept.
class TFBSMadExceptDlg : public TBSDialog {
    Q_OBJECT
public:
    TFBSMadExceptDlg(const std::string& message, const std::string& report,
                     QWidget* parent = nullptr);

    QLabel* ImgIcon;
    QLabel* LMessage;
    QPlainTextEdit* MReport;
    QPushButton* BShow;
    QPushButton* BContinue;
    QPushButton* BClose;
};

// The exit code of the program when the user closes it from the reporter's window.
inline constexpr int ExitClosedAfterError = 1;

} // namespace marqor
