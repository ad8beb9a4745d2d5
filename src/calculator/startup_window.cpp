#include "calculator/startup_window.h"

#include "calculator/artwork.h"
#include "calculator/calculator.h"
#include "services/config.h"
#include "services/ui_texts.h"

#include <QDate>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>

namespace marqor {

namespace {

QFont ArialPixels(int pixels, bool bold) {
    QFont f("Arial");
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

QLabel* PictureLabel(QWidget* parent, const char* name, const QString& text, const QFont& font,
                     const QColor& colour) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setFont(font);
    label->setAttribute(Qt::WA_TranslucentBackground);
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, colour);
    label->setPalette(p);
    return label;
}

// A click on the picture is a click on the window.
class TClickThrough final : public QObject {
public:
    TClickThrough(QObject* parent, std::function<void()> onClick)
        : QObject(parent), onClick_(std::move(onClick)) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonRelease) {
            onClick_();
            return true;
        }
        return false;
    }

private:
    std::function<void()> onClick_;
};

} // namespace

TFStartupForm::TFStartupForm(QWidget* parent) : TBSStartupForm(parent) {
    setObjectName("FStartupForm");
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setFixedSize(572, 340);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);

    // The client area inside the 1-pixel frame.
    Client = new QWidget(this);
    Client->setObjectName("Client");
    Client->setGeometry(1, 1, 570, 338);

    ImgLogoFina = new QLabel(Client);
    ImgLogoFina->setObjectName("ImgLogoFina");
    ImgLogoFina->setGeometry(0, 0, 572, 340);
    ImgLogoFina->setVisible(false);

    ImgLogo = new QLabel(Client);
    ImgLogo->setObjectName("ImgLogo");
    ImgLogo->setGeometry(0, 0, 572, 340);
    ImgLogo->setVisible(false);

    const QColor white(Qt::white);
    LApplication = PictureLabel(Client, "LApplication", {}, ArialPixels(28, true), white);
    LApplication->setGeometry(41, 108, 371, 36);
    LApplication->setVisible(false);

    LOrvane = PictureLabel(Client, "LOrvane", "Orvane AG", ArialPixels(12, true), white);
    LOrvane->move(35, 288);
    LOrvane->adjustSize();
    LAdresse = PictureLabel(Client, "LAdresse", "Beispielweg 7 \u00b7 CH-9999 Musterhausen",
                            ArialPixels(12, false), white);
    LAdresse->move(108, 288);
    LAdresse->adjustSize();
    LCopyright = PictureLabel(Client, "LCopyright", {}, ArialPixels(11, false), white);
    LCopyright->move(35, 304);
    LBuild = PictureLabel(Client, "LBuild", "Build Nr. 00.000", ArialPixels(11, false),
                          QColor(0xc8, 0xd6, 0xe4));
    LBuild->setGeometry(449, 304, 86, 16);
    LBuild->setAlignment(Qt::AlignRight | Qt::AlignTop);
    QFont progressFont = CalculatorFont();
    LProgress = PictureLabel(Client, "LProgress", {}, progressFont, QColor(0xa0, 0xa8, 0xb0));
    LProgress->setGeometry(35, 253, 410, 14);

    ProgressBar = new QProgressBar(Client);
    ProgressBar->setObjectName("ProgressBar");
    ProgressBar->setGeometry(35, 269, 500, 4);
    ProgressBar->setRange(0, 100);
    ProgressBar->setTextVisible(false);
    ProgressBar->setVisible(false);

    BDummy = new QPushButton(Client);
    BDummy->setObjectName("BDummy");
    BDummy->setGeometry(0, -30, 75, 25);
    BDummy->setDefault(true);

    auto* click = new TClickThrough(this, [this] { ImgLogoFinaClick(); });
    for (QLabel* label :
         {ImgLogoFina, ImgLogo, LApplication, LOrvane, LAdresse, LCopyright, LBuild, LProgress})
        label->installEventFilter(click);

    FormCreate();
}

void TFStartupForm::FormCreate() {
    ImgLogo->move(width(), ImgLogo->y());
    ImgLogoFina->setPixmap(StartupPicture());
    ImgLogoFina->setVisible(true);
    ImgLogoFina->lower();
    try {
        auto& application = ApplicationObject();
        LApplication->setText(QString::fromStdString(application.ProductTitle()));
        LBuild->setText(QString::fromStdString(application.VersionText()));
    } catch (const std::exception&) {
        // Without a version record the design texts stay.
    }
    LCopyright->setText(QString::fromStdString(TextOrEnglishFmt(
        "#Marqor.Copyright", "Copyright \u00a9 %d Orvane AG", {QDate::currentDate().year()})));
    LCopyright->adjustSize();
}

void TFStartupForm::FormShow() {}

void TFStartupForm::ImgLogoClick() {
    close();
}

void TFStartupForm::ImgLogoFinaClick() {
    close();
}

void TFStartupForm::keyPressEvent(QKeyEvent* event) {
    event->accept();
    close();
}

void TFStartupForm::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    ImgLogoFinaClick();
}

void TFStartupForm::paintEvent(QPaintEvent* event) {
    TBSStartupForm::paintEvent(event);
    QPainter p(this);
    p.setPen(QColor(0x4a, 0x5e, 0x74));
    p.drawRect(0, 0, width() - 1, height() - 1);
}

void TFStartupForm::showEvent(QShowEvent* event) {
    TBSStartupForm::showEvent(event);
    FormShow();
}

} // namespace marqor
