#include "calculator/main_window.h"

#include "calculator/artwork.h"
#include "services/ui.h"
#include "services/ui_texts.h"

#include <QAction>
#include <QCloseEvent>
#include <QDate>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QToolBar>
#include <QToolButton>

namespace marqor {

namespace {

constexpr int kPanelHeight = 350;
constexpr int kFooterHeight = 20;

// A tool bar with a 1-pixel border line at its top and bottom edges.
class TEdgedToolBar final : public QToolBar {
public:
    explicit TEdgedToolBar(QWidget* parent) : QToolBar(parent) {}

protected:
    void paintEvent(QPaintEvent* event) override {
        QToolBar::paintEvent(event);
        QPainter p(this);
        p.setPen(palette().color(QPalette::Mid));
        p.drawLine(0, 0, width() - 1, 0);
        p.drawLine(0, height() - 1, width() - 1, height() - 1);
        p.setPen(palette().color(QPalette::Light));
        p.drawLine(0, 1, width() - 1, 1);
    }
};

QAction* MakeAction(QObject* owner, const char* name, const char* caption, const char* hint,
                    const QIcon& icon) {
    auto* action = new QAction(icon, caption, owner);
    action->setObjectName(name);
    action->setToolTip(hint);
    action->setStatusTip(hint);
    return action;
}

} // namespace

TFMain::TFMain(TBSSwPointTableController& tables, QWidget* parent)
    : TKvrMainWindow(parent), tables_(tables) {
    setObjectName("FMain");
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    MakeApplicationMainForm();

    ImageList1 = ActionImages();
    ActTerminate = MakeAction(this, "ActTerminate", "Quit", "Quit KAVRIN Marqor", ImageList1[1]);
    ActPrintPointTable =
        MakeAction(this, "ActPrintPointTable", "Print points",
                   "Print table with points and corresponding times in all events", ImageList1[2]);
    ActPrintPointTable->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    ActPrintPointTable->setEnabled(false);
    ActAbout = MakeAction(this, "ActAbout", "About Marqor", "About Marqor", ImageList1[0]);
    connect(ActTerminate, &QAction::triggered, this, [this] { ActTerminateExecute(); });
    connect(ActPrintPointTable, &QAction::triggered, this, [this] { ActPrintPointTableExecute(); });
    connect(ActAbout, &QAction::triggered, this, [this] { ActAboutExecute(); });
    addAction(ActPrintPointTable);

    File1 = menuBar()->addMenu("&File");
    File1->setObjectName("File1");
    File1->addAction(ActPrintPointTable);
    File1->addSeparator();
    File1->addAction(ActAbout);
    File1->addSeparator();
    File1->addAction(ActTerminate);

    Client = new QWidget(this);
    Client->setObjectName("Client");
    setCentralWidget(Client);

    ToolBar = new TEdgedToolBar(Client);
    ToolBar->setObjectName("ToolBar");
    ToolBar->setMovable(false);
    ToolBar->setFloatable(false);
    ToolBar->setIconSize(QSize(16, 16));
    ToolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    ToolBar->setContentsMargins(1, 2, 1, 2);
    ToolBar->addAction(ActTerminate);
    ToolButton4 = ToolBar->addSeparator();
    ToolButton4->setObjectName("ToolButton4");
    ToolBar->addAction(ActPrintPointTable);
    ToolButton5 = ToolBar->addSeparator();
    ToolButton5->setObjectName("ToolButton5");
    ToolBar->addAction(ActAbout);
    ToolButton1 = qobject_cast<QToolButton*>(ToolBar->widgetForAction(ActTerminate));
    ToolButton2 = qobject_cast<QToolButton*>(ToolBar->widgetForAction(ActPrintPointTable));
    ToolButton3 = qobject_cast<QToolButton*>(ToolBar->widgetForAction(ActAbout));
    ToolButton1->setObjectName("ToolButton1");
    ToolButton2->setObjectName("ToolButton2");
    ToolButton3->setObjectName("ToolButton3");

    PnlFoot = new QLabel(Client);
    PnlFoot->setObjectName("PnlFoot");
    PnlFoot->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    PnlFoot->setLineWidth(1);
    PnlFoot->setIndent(4);
    PnlFoot->setTextFormat(Qt::PlainText);

    // Loaded before FormCreate, as the window always was: the stored position is restored
    // before the window gets its size.
    Loaded();
    FormCreate();
}

TFMain::~TFMain() {
    FormDestroy();
}

void TFMain::FormCreate() {
    calculator_ = std::make_unique<TKvrFPCalculator>(tables_);
    TBSPanel* panel = calculator_->PnlCalculator;
    const int toolBarHeight = ToolBar->sizeHint().height();
    panel->setParent(Client);
    panel->move(0, toolBarHeight);
    panel->show();
    const int clientHeight = toolBarHeight + panel->height() + kFooterHeight;
    ToolBar->setGeometry(0, 0, panel->width(), toolBarHeight);
    PnlFoot->setGeometry(0, toolBarHeight + panel->height(), panel->width(), kFooterHeight);
    Client->setFixedSize(panel->width(), clientHeight);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    setFont(QGuiApplication::font());
    calculator_->SetFinaMode(true);
    setWindowTitle("FINA Marqor");
    footer_ = FooterText();
    calculator_->OnRemark = [this](const std::string& remark) {
        ShowFooter(remark);
    };
    ShowFooter(calculator_->Remark());
    setTabOrder(calculator_->CBPointTable, calculator_->CBSwimStyle);
    calculator_->ESwimTime->setFocus();

    // Without a stored placement the window starts in the middle of the screen.
    if (UserSettings()->GetSection(FormClassName())->ReadRaw("WindowState", "").empty())
        if (QScreen* screen = QGuiApplication::primaryScreen()) {
            const QSize size = sizeHint();
            move(screen->availableGeometry().center() -
                 QPoint(size.width() / 2, size.height() / 2));
        }
}

void TFMain::FormDestroy() {
    if (!calculator_)
        return;
    // The panel goes back to its window, so that it dies with it and no handler of the
    // calculator outlives it.
    calculator_->OnRemark = nullptr;
    calculator_->PnlCalculator->hide();
    calculator_->PnlCalculator->setParent(calculator_.get());
    calculator_.reset();
}

void TFMain::FormShow() {
    UIServices().MainWindowShown();
}

void TFMain::SetOpenPointTablePrint(TOpenPointTablePrint open) {
    openPrint_ = std::move(open);
    ActPrintPointTable->setEnabled(bool(openPrint_));
}

QString TFMain::FooterText() {
    return QString::fromStdString(TextOrEnglishFmt(
        "#Marqor.Footer", "Copyright \u00a9 %d Orvane AG \u00b7 www.orvane.example",
        {QDate::currentDate().year()}));
}

void TFMain::ShowFooter(const std::string& remark) {
    const QString text = remark.empty() ? footer_ : QString::fromStdString(remark);
    const int room = PnlFoot->width() - 2 * PnlFoot->frameWidth() - PnlFoot->indent() - 4;
    const QString shown = PnlFoot->fontMetrics().elidedText(text, Qt::ElideRight, room);
    PnlFoot->setText(shown);
    PnlFoot->setToolTip(shown == text ? QString() : text);
}

void TFMain::ActTerminateExecute() {
    close();
}

void TFMain::ActPrintPointTableExecute() {
    if (!openPrint_ || !calculator_)
        return;
    openPrint_(calculator_->SelectedPointTable(), calculator_->SelectedAge(),
               calculator_->SelectedGender(), calculator_->SelectedCourse());
}

void TFMain::ActAboutExecute() {
    UIServices().ShowAbout();
}

void TFMain::showEvent(QShowEvent* event) {
    TKvrMainWindow::showEvent(event);
    FormShow();
}

void TFMain::closeEvent(QCloseEvent* event) {
    TKvrMainWindow::closeEvent(event);
    if (event->isAccepted())
        emit Closed();
}

} // namespace marqor
