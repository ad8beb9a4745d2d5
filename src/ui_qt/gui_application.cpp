#include "ui_qt/gui_application.h"

#include "controls/accelerators.h"
#include "services/mad_except.h"
#include "services/ui.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <cstdio>
#include <cstdlib>

namespace marqor {

namespace {

bool gReporterWindowOpen = false;

std::string MessageOf(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "unknown exception";
    }
}

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

TBSGuiApplication::TBSGuiApplication(int& argc, char** argv) : QApplication(argc, argv) {}

TBSGuiApplication::~TBSGuiApplication() {
    RegisterUIClass({});
}

bool TBSGuiApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ReportEventException(std::current_exception());
        return false;
    }
}

void ReportEventException(std::exception_ptr error) {
    const std::string report = TBSMadExcept::ReportEventException(error);
    if (gReporterWindowOpen)
        return;
    gReporterWindowOpen = true;
    struct Reset {
        ~Reset() { gReporterWindowOpen = false; }
    } reset;
    TFBSMadExceptDlg dialog(MessageOf(error), report, QApplication::activeWindow());
    dialog.exec();
    if (dialog.result() == QDialog::Rejected && dialog.BClose->property("pressed").toBool()) {
        std::fflush(stdout);
        std::fflush(stderr);
        std::_Exit(ExitClosedAfterError);
    }
}

TFBSMadExceptDlg::TFBSMadExceptDlg(const std::string& message, const std::string& report,
                                   QWidget* parent)
    : TBSDialog(parent) {
    setObjectName("FBSMadExceptDlg");
    const std::string title = UIServices().ApplicationTitle();
    setWindowTitle(Q(title));

    const auto texts = TBSMadExcept::ReporterTexts(title);
    auto text = [&](const char* key, const char* own) {
        if (texts)
            if (const auto* t = texts->Find(key); t && !t->empty())
                return Q(*t);
        return QString(own);
    };

    ImgIcon = new QLabel(this);
    ImgIcon->setObjectName("ImgIcon");
    ImgIcon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(32, 32));
    const auto errorFile = TBSMadExcept::ErrorFile();
    QString where = errorFile ? QString("The report was added to %1.").arg(Q(errorFile->PathText()))
                              : QString("The report was written to standard error.");
    LMessage = new QLabel(this);
    LMessage->setObjectName("LMessage");
    LMessage->setTextFormat(Qt::PlainText);
    LMessage->setWordWrap(true);
    LMessage->setText(
        QString("An error occurred in the program:\n%1\n\n%2").arg(Q(message), where));
    MReport = new QPlainTextEdit(this);
    MReport->setObjectName("MReport");
    MReport->setReadOnly(true);
    MReport->setPlainText(Q(report));
    MReport->setLineWrapMode(QPlainTextEdit::NoWrap);
    MReport->setVisible(false);
    MReport->setMinimumHeight(220);

    BShow = new QPushButton(text("ShowBtnCaption", "Show report"), this);
    BShow->setObjectName("BShow");
    BShow->setAutoDefault(false);
    BContinue = new QPushButton(text("ContinueBtnCaption", "Continue"), this);
    BContinue->setObjectName("BContinue");
    BContinue->setDefault(true);
    BClose = new QPushButton(text("CloseBtnCaption", "Close program"), this);
    BClose->setObjectName("BClose");
    BClose->setAutoDefault(false);
    SetCancelButton(BContinue);
    connect(BShow, &QPushButton::clicked, this, [this] {
        MReport->setVisible(!MReport->isVisible());
        adjustSize();
    });
    connect(BContinue, &QPushButton::clicked, this, &QDialog::accept);
    connect(BClose, &QPushButton::clicked, this, [this] {
        BClose->setProperty("pressed", true);
        reject();
    });

    auto* top = new QHBoxLayout;
    top->addWidget(ImgIcon, 0, Qt::AlignTop);
    top->addWidget(LMessage, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BShow);
    buttons->addStretch();
    buttons->addWidget(BContinue);
    buttons->addWidget(BClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(MReport, 1);
    layout->addLayout(buttons);
    setMinimumWidth(460);
}

} // namespace marqor
