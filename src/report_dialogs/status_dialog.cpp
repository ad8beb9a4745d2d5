#include "report_dialogs/status_dialog.h"

#include "report_dialogs/print_rules.h"
#include "services/ui.h"
#include "services/ui_texts.h"
#include "texts/language.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

namespace marqor {

namespace {

QString Q(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QString ApplicationTitle() {
    const std::string title = UIServices().ApplicationTitle();
    return title.empty() ? QApplication::applicationDisplayName() : Q(title);
}

constexpr int StatusWidth = 360;

} // namespace

bool ConfirmYesNo(std::string_view text, QWidget* parent) {
    QMessageBox box(QMessageBox::Question, ApplicationTitle(), Q(text),
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setObjectName("ConfirmYesNo");
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

QWidget* ApplicationMainWindow() {
    for (TBSFormCore* form : TBSFormCore::AllForms())
        if (form->IsApplicationMainForm())
            return form->Window();
    return nullptr;
}

void ShowWindowOrMain(QWidget* window) {
    QWidget* target = window && window->isVisible() ? window : ApplicationMainWindow();
    if (!target)
        return;
    target->raise();
    target->activateWindow();
}

TKvrStatusDlg::TKvrStatusDlg(int lines, bool progressBar, bool cancelButton, QWidget* parent)
    : TKvrDialog(parent), activeAtStart_(QApplication::activeWindow()) {
    setObjectName("KvrStatusDlg");
    setWindowTitle(ApplicationTitle());
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::WindowCloseButtonHint, false);
    SavePlacementOnDestroy = false;
    lines = std::clamp(lines, 1, 3);
    const int height = StatusWindowHeight(lines, progressBar, cancelButton);
    setFixedSize(StatusWidth, height);

    auto makeLine = [this](const char* name, int index) {
        auto* label = new QLabel(this);
        label->setObjectName(name);
        label->setAlignment(Qt::AlignCenter);
        label->setGeometry(10, 15 + 20 * index, StatusWidth - 20, 18);
        return label;
    };
    lblInfo0 = makeLine("lblInfo0", 0);
    lblInfo1 = makeLine("lblInfo1", 1);
    lblInfo2 = makeLine("lblInfo2", 2);
    lblInfo1->setVisible(lines > 1);
    lblInfo2->setVisible(lines > 2);

    PrbStand = new QProgressBar(this);
    PrbStand->setObjectName("PrbStand");
    PrbStand->setGeometry(10, StatusProgressTop(lines), StatusWidth - 20, 16);
    PrbStand->setTextVisible(false);
    PrbStand->setVisible(progressBar);

    btnAbort = new QPushButton("Cancel", this);
    btnAbort->setObjectName("btnAbort");
    btnAbort->setGeometry((StatusWidth - 90) / 2, height - 70, 90, 26);
    btnAbort->setVisible(cancelButton);
    btnAbort->setAutoDefault(false);
    connect(btnAbort, &QPushButton::clicked, this, [this] { btnAbortClick(); });

    StartingTimer = new QTimer(this);
    StartingTimer->setObjectName("StartingTimer");
    StartingTimer->setSingleShot(true);
    StartingTimer->setInterval(100);
    connect(StartingTimer, &QTimer::timeout, this, [this] { StartingTimerTimer(); });
}

TKvrStatusDlg::~TKvrStatusDlg() {
    ShowWindowOrMain(activeAtStart_);
    if (QWidget* window = QApplication::activeWindow())
        window->raise();
}

QLabel* TKvrStatusDlg::Line(int line) const {
    switch (line) {
    case 0:
        return lblInfo0;
    case 1:
        return lblInfo1;
    case 2:
        return lblInfo2;
    default:
        return nullptr;
    }
}

void TKvrStatusDlg::SetLine(int line, std::string_view text) {
    if (QLabel* label = Line(line)) {
        label->setText(Q(text));
        label->repaint();
    }
}

std::string TKvrStatusDlg::GetLine(int line) const {
    const QLabel* label = Line(line);
    return label ? label->text().toStdString() : std::string();
}

bool TKvrStatusDlg::Cancelled() {
    QCoreApplication::processEvents();
    return cancelled_;
}

void TKvrStatusDlg::btnAbortClick() {
    if (cancelled_)
        return;
    cancelled_ =
        ConfirmYesNo(TextOrEnglish("#KAVRIN_G.68", "Are you sure you want to cancel ?"), this);
}

void TKvrStatusDlg::reject() {
    // Escape and the window's close box mean Cancel while the output runs; the window itself
    // closes only when the output is over.
    if (finished_) {
        TKvrDialog::reject();
        return;
    }
    if (btnAbort->isVisible())
        btnAbortClick();
}

void TKvrStatusDlg::closeEvent(QCloseEvent* event) {
    if (!finished_) {
        event->ignore();
        reject();
        return;
    }
    TKvrDialog::closeEvent(event);
}

bool TKvrStatusDlg::Run(const TKvrOutputProcedure& procedure, TKvrReport& report) {
    procedure_ = &procedure;
    report_ = &report;
    for (int line = 0; line < 3; ++line)
        Line(line)->clear();
    StartingTimer->start();
    exec();
    procedure_ = nullptr;
    report_ = nullptr;
    if (error_)
        std::rethrow_exception(std::exchange(error_, nullptr));
    return !cancelled_;
}

void TKvrStatusDlg::StartingTimerTimer() {
    StartingTimer->stop();
    if (running_ || !procedure_)
        return;
    running_ = true;
    try {
        (*procedure_)(*report_, this);
    } catch (...) {
        error_ = std::current_exception();
    }
    running_ = false;
    finished_ = true;
    done(cancelled_ ? QDialog::Rejected : QDialog::Accepted);
}

bool RunWithStatus(QWidget* owner, const TKvrOutputProcedure& procedure, TKvrReport& report) {
    TKvrStatusDlg status(2, false, true, owner);
    return status.Run(procedure, report);
}

} // namespace marqor
