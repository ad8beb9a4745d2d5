#include "ui_qt/message_dialog.h"

#include "foundation/text.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <algorithm>

namespace marqor {

namespace {

constexpr int kMargin = 10;
constexpr int kIconSize = 32;
constexpr int kButtonHeight = 25;
constexpr int kButtonGap = 5;
constexpr int kRowPitch = 30;

QStyle::StandardPixmap IconOf(TBSUIIcon icon) {
    switch (icon) {
    case uiiWarning:
        return QStyle::SP_MessageBoxWarning;
    case uiiError:
        return QStyle::SP_MessageBoxCritical;
    case uiiQuestion:
        return QStyle::SP_MessageBoxQuestion;
    case uiiInformation:
        break;
    }
    return QStyle::SP_MessageBoxInformation;
}

QSize ScreenSize(const QWidget* near) {
    QScreen* screen = near && near->screen() ? near->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry().size() : QSize(1024, 768);
}

} // namespace

TBSMultiSelectLayout MultiSelectLayout(QSize screen, QSize textSize,
                                       const std::vector<int>& captionWidths) {
    TBSMultiSelectLayout layout;
    layout.Icon = QRect(kMargin, kMargin, kIconSize, kIconSize);
    const int textLeft = layout.Icon.right() + 1 + kMargin;
    const int textWidth = std::min(textSize.width(), std::max(0, screen.width() - 200));
    layout.Text = QRect(textLeft, kMargin, textWidth, textSize.height());
    const int top = std::max(layout.Text.bottom(), layout.Icon.bottom()) + 1 + 2 * kMargin;
    const int rowLimit = screen.width() / 2;
    int x = kMargin;
    int y = top;
    int widest = layout.Text.right() + 1;
    for (const int caption : captionWidths) {
        const int width = std::max(75, caption + 15);
        if (x > kMargin && x > rowLimit) {
            x = kMargin;
            y += kRowPitch;
        }
        layout.Buttons.emplace_back(x, y, width, kButtonHeight);
        widest = std::max(widest, x + width);
        x += width + kButtonGap;
    }
    const int bottom = layout.Buttons.empty() ? top : y + kButtonHeight;
    const int width = std::clamp(widest + kMargin, 400, std::max(400, screen.width() - 100));
    layout.Window = QSize(width, bottom + kMargin);
    return layout;
}

TFBSUIMultiSelectDlg::TFBSUIMultiSelectDlg(const TBSUIMessage& message, const QString& caption,
                                           QWidget* parent)
    : QDialog(parent), message_(message), closeTimer_(new QTimer(this)) {
    setObjectName("FBSUIMultiSelectDlg");
    setWindowTitle(caption);
    setModal(true);
    if (message_.Buttons.empty())
        message_.Buttons.push_back({0, "OK"});

    ImgIcon = new QLabel(this);
    ImgIcon->setObjectName("ImgIcon");
    ImgIcon->setPixmap(style()->standardIcon(IconOf(message_.Icon)).pixmap(kIconSize, kIconSize));

    LText = new QLabel(this);
    LText->setObjectName("LText");
    LText->setTextFormat(Qt::PlainText);
    LText->setWordWrap(true);
    LText->setText(QString::fromStdString(message_.Text));
    LText->setTextInteractionFlags(Qt::TextSelectableByMouse);

    const QSize screen = ScreenSize(parent);
    const QFontMetrics fm(LText->font());
    const QRect bounds = fm.boundingRect(QRect(0, 0, std::max(100, screen.width() - 200), 100000),
                                         Qt::TextWordWrap, LText->text());
    // At least the 15 pixels per non-empty line the window was always measured with.
    int lines = 0;
    for (const QString& line : LText->text().split('\n'))
        if (!line.trimmed().isEmpty())
            ++lines;
    const QSize textSize(bounds.width() + 2, std::max(bounds.height(), 15 * lines));

    std::vector<int> captionWidths;
    for (const auto& button : message_.Buttons) {
        auto* b = new QPushButton(QString::fromStdString(button.Caption), this);
        b->setObjectName(QString("Button%1").arg(Buttons.size()));
        b->setAutoDefault(false);
        const int id = button.Id;
        connect(b, &QPushButton::clicked, this, [this, id] { Finish(id); });
        captionWidths.push_back(b->fontMetrics().horizontalAdvance(b->text()));
        if (id == message_.DefaultId)
            b->setDefault(true);
        Buttons.push_back(b);
    }

    const TBSMultiSelectLayout layout = MultiSelectLayout(screen, textSize, captionWidths);
    ImgIcon->setGeometry(layout.Icon);
    LText->setGeometry(layout.Text);
    for (std::size_t i = 0; i < Buttons.size(); ++i)
        Buttons[i]->setGeometry(layout.Buttons[i]);
    setFixedSize(layout.Window);

    for (auto* b : Buttons)
        if (b->isDefault())
            b->setFocus();

    if (message_.At) {
        move(message_.At->X, message_.At->Y);
    } else if (QScreen* s = parent && parent->screen() ? parent->screen()
                                                       : QGuiApplication::primaryScreen()) {
        const QRect area = s->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }

    secondsLeft_ = message_.AutoCloseSeconds;
    // A coarse timer may fire up to 5 % early; the countdown shows whole seconds to the user.
    closeTimer_->setTimerType(Qt::PreciseTimer);
    closeTimer_->setInterval(1000);
    connect(closeTimer_, &QTimer::timeout, this, &TFBSUIMultiSelectDlg::Tick);
    if (secondsLeft_ > 0)
        closeTimer_->start();
}

int TFBSUIMultiSelectDlg::Execute() {
    exec();
    return result_;
}

void TFBSUIMultiSelectDlg::Tick() {
    if (--secondsLeft_ <= 0) {
        closeTimer_->stop();
        Finish(0);
        return;
    }
    if (!Buttons.empty())
        Buttons.front()->setText(QString("OK (%1)").arg(secondsLeft_));
}

void TFBSUIMultiSelectDlg::Finish(int id) {
    if (finished_)
        return;
    finished_ = true;
    result_ = id;
    closeTimer_->stop();
    done(QDialog::Accepted);
}

void TFBSUIMultiSelectDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        // Escape answers the cancel button; without one it does nothing.
        for (std::size_t i = 0; i < Buttons.size(); ++i) {
            if (message_.Buttons[i].Id == message_.CancelId) {
                Buttons[i]->click();
                break;
            }
        }
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TFBSUIMultiSelectDlg::closeEvent(QCloseEvent* event) {
    if (!finished_) {
        finished_ = true;
        result_ = -1;
        closeTimer_->stop();
    }
    QDialog::closeEvent(event);
}

} // namespace marqor
