#include "ui_qt/startup_form.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace marqor {

namespace {

// The opacity goes 0, 5, ..., 255: 52 steps, 10 ms apart.
constexpr int kFadeIntervalMs = 10;

} // namespace

TBSStartupForm::TBSStartupForm(QWidget* parent) : TBSDialog(parent), fadeTimer_(new QTimer(this)) {
    fadeTimer_->setInterval(kFadeIntervalMs);
    connect(fadeTimer_, &QTimer::timeout, this, &TBSStartupForm::FadeStep);
}

TBSStartupForm::~TBSStartupForm() = default;

void TBSStartupForm::ShowAsStartupScreen(bool fadeIn) {
    startup_ = true;
    const bool frameless = windowFlags().testFlag(Qt::FramelessWindowHint);
    Qt::WindowFlags flags = Qt::SplashScreen | Qt::WindowStaysOnTopHint;
    if (frameless)
        flags |= Qt::FramelessWindowHint;
    setWindowFlags(flags);
    setModal(false);
    CentreOnScreen();
    fadeSteps_ = 0;
    // The fade-in changes nothing but the opacity, so it runs on a timer of this thread: a
    // widget must not be touched from another thread.
    if (fadeIn) {
        setWindowOpacity(0.0);
        fadeTimer_->start();
    } else {
        setWindowOpacity(1.0);
    }
    show();
    raise();
}

void TBSStartupForm::FadeStep() {
    ++fadeSteps_;
    const int alpha = std::min(255, fadeSteps_ * 5);
    setWindowOpacity(alpha / 255.0);
    if (alpha >= 255)
        fadeTimer_->stop();
}

bool TBSStartupForm::FadeRunning() const {
    return fadeTimer_->isActive();
}

void TBSStartupForm::CloseStartupScreen() {
    if (!startup_)
        return;
    startup_ = false;
    fadeTimer_->stop();
    setWindowOpacity(1.0);
    hide();
}

void TBSStartupForm::ShowAsAbout() {
    if (startup_)
        return;
    const bool frameless = windowFlags().testFlag(Qt::FramelessWindowHint);
    Qt::WindowFlags flags = Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
    if (frameless)
        flags |= Qt::FramelessWindowHint;
    setWindowFlags(flags);
    setWindowOpacity(1.0);
    ClearProgress();
    CentreOnScreen();
    exec();
}

void TBSStartupForm::ShowProgressState(const TBSUIProgressState& state) {
    if (QLabel* label = StartupProgressLabel()) {
        const std::string text = state.Detail.empty()  ? state.Title
                                 : state.Title.empty() ? state.Detail
                                                       : state.Title + ": " + state.Detail;
        label->setText(QString::fromStdString(text));
    }
    if (QProgressBar* bar = StartupProgressBar()) {
        if (state.Maximum > 0) {
            bar->setRange(0, state.Maximum);
            bar->setValue(std::min(state.Position, state.Maximum));
        } else {
            bar->setRange(0, 0);
        }
        bar->setVisible(true);
    }
}

void TBSStartupForm::ClearProgress() {
    if (QLabel* label = StartupProgressLabel())
        label->clear();
    if (QProgressBar* bar = StartupProgressBar()) {
        bar->setRange(0, 100);
        bar->setValue(0);
        bar->setVisible(false);
    }
}

void TBSStartupForm::CentreOnScreen() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
}

void TBSStartupForm::closeEvent(QCloseEvent* event) {
    if (startup_) {
        event->ignore();
        return;
    }
    TBSDialog::closeEvent(event);
}

void TBSStartupForm::done(int result) {
    if (startup_)
        return;
    TBSDialog::done(result);
}

void TBSStartupForm::keyPressEvent(QKeyEvent* event) {
    event->accept();
    close();
}

// -----------------------------------------------------------------------------------------------
// TBSDefaultStartupForm

TBSDefaultStartupForm::TBSDefaultStartupForm(QWidget* parent) : TBSStartupForm(parent) {
    setObjectName("BSDefaultStartupForm");
    setFixedSize(420, 180);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(0x1b, 0x3a, 0x5c));
    p.setColor(QPalette::WindowText, Qt::white);
    setPalette(p);
    setAutoFillBackground(true);

    LApplication = new QLabel(QGuiApplication::applicationDisplayName(), this);
    LApplication->setObjectName("LApplication");
    QFont title = LApplication->font();
    title.setPixelSize(26);
    title.setBold(true);
    LApplication->setFont(title);
    LVersion = new QLabel(this);
    LVersion->setObjectName("LVersion");
    LProgress = new QLabel(this);
    LProgress->setObjectName("LProgress");
    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName("ProgressBar");
    ProgressBar->setTextVisible(false);
    ProgressBar->setFixedHeight(6);
    ProgressBar->setVisible(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 20);
    layout->addWidget(LApplication);
    layout->addWidget(LVersion);
    layout->addStretch();
    layout->addWidget(LProgress);
    layout->addWidget(ProgressBar);
}

void TBSDefaultStartupForm::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    close();
}

} // namespace marqor
