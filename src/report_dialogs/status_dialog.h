#pragma once

// The status window of a running report output: up to three centred lines, an optional
// progress bar and a Cancel button. It starts the output from a one-shot timer once it is on
// the screen, so that the output runs inside its modal loop, and closes whatever the output
// does. The user's Cancel only counts after a confirmation; the engine asks between exemplars.

#include "controls/forms.h"
#include "reports/report.h"

#include <QPointer>
#include <exception>
#include <functional>
#include <string>
#include <string_view>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace marqor {

// The platform's question box with the application's title, a question icon and Yes and No;
// true for Yes.
bool ConfirmYesNo(std::string_view text, QWidget* parent = nullptr);

// One of the outputs of the report engine (PrintToPrinter, PrintToPreview, ...).
using TKvrOutputProcedure = std::function<void(TKvrReport& report, IKvrStatusDlg* status)>;

class TKvrStatusDlg : public TKvrDialog, public IKvrStatusDlg {
    Q_OBJECT
public:
    TKvrStatusDlg(int lines, bool progressBar, bool cancelButton, QWidget* parent = nullptr);
    ~TKvrStatusDlg() override;

    // Shows the window modally and runs the procedure 100 ms later; an exception of the
    // procedure comes out of here after the window closed. Answers whether the user did not
    // cancel.
    bool Run(const TKvrOutputProcedure& procedure, TKvrReport& report);

    // IKvrStatusDlg
    void SetLine(int line, std::string_view text) override;
    std::string GetLine(int line) const override;
    bool Cancelled() override;

    bool CancelConfirmed() const { return cancelled_; }
    // The Cancel button: asks once whether to cancel.
    void btnAbortClick();

    QLabel* lblInfo0;
    QLabel* lblInfo1;
    QLabel* lblInfo2;
    QProgressBar* PrbStand;
    QPushButton* btnAbort;
    QTimer* StartingTimer;

protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    void StartingTimerTimer();
    QLabel* Line(int line) const;

    QPointer<QWidget> activeAtStart_;
    const TKvrOutputProcedure* procedure_ = nullptr;
    TKvrReport* report_ = nullptr;
    std::exception_ptr error_;
    bool cancelled_ = false;
    bool running_ = false;
    bool finished_ = false;
};

// Runs one output in a status window with two lines and a Cancel button; true unless the user
// cancelled. Exceptions of the output propagate once the window is closed.
bool RunWithStatus(QWidget* owner, const TKvrOutputProcedure& procedure, TKvrReport& report);

// The program's main window, where there is one; else null.
QWidget* ApplicationMainWindow();
// Brings the window forward, or the main window when it is gone or hidden.
void ShowWindowOrMain(QWidget* window);

} // namespace marqor
