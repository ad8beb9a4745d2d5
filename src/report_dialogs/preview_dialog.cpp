#include "report_dialogs/preview_dialog.h"

#include "foundation/text.h"
#include "report_dialogs/print_rules.h"
#include "reports/report_math.h"
#include "reports_qt/canvas_devices.h"
#include "services/ui_texts.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPen>
#include <QPicture>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace marqor {

namespace {

// Room between the image and the scroll box's edges; the spacer panels keep it on the right
// and at the bottom when the image is larger than the box.
constexpr int ImageMargin = 10;

IBSSectionPtr PrinterSection() {
    return UserSettings()->GetSection("KVR_Printer");
}

// A tool button glyph drawn from a short text, so that every button shows a picture only.
QIcon GlyphIcon(const QString& glyph, bool bold = false) {
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::TextAntialiasing);
    QFont font = painter.font();
    font.setPixelSize(glyph.size() > 2 ? 10 : 16);
    font.setBold(bold);
    painter.setFont(font);
    painter.setPen(QApplication::palette().color(QPalette::ButtonText));
    painter.drawText(pixmap.rect(), Qt::AlignCenter, glyph);
    return QIcon(pixmap);
}

// A page with a magnifier: zoom in, zoom out.
QIcon MagnifierIcon(bool plus) {
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor ink = QApplication::palette().color(QPalette::ButtonText);
    painter.setPen(QPen(ink, 2));
    painter.drawEllipse(QRectF(3, 3, 13, 13));
    painter.drawLine(QPointF(14, 14), QPointF(21, 21));
    painter.setPen(QPen(ink, 1.6));
    painter.drawLine(QPointF(6.5, 9.5), QPointF(12.5, 9.5));
    if (plus)
        painter.drawLine(QPointF(9.5, 6.5), QPointF(9.5, 12.5));
    return QIcon(pixmap);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TKvrPreviewImage

TKvrPreviewImage::TKvrPreviewImage(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TKvrPreviewImage::SetPicture(const QPicture* picture, QSize natural) {
    picture_ = picture;
    natural_ = natural;
    update();
}

void TKvrPreviewImage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (!picture_ || natural_.width() < 1 || natural_.height() < 1)
        return;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(double(width()) / natural_.width(), double(height()) / natural_.height());
    painter.drawPicture(0, 0, *picture_);
}

// ---------------------------------------------------------------------------------------------
// TKvrPreviewDlg

TKvrPreviewDlg::TKvrPreviewDlg(QWidget* parent) : TKvrDialog(parent) {
    setObjectName("KvrPreviewDlg");
    setWindowTitle("Preview -");
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    setSizeGripEnabled(true);
    setMinimumWidth(400);
    resize(700, 600);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    pnlCommands = new QWidget(this);
    pnlCommands->setObjectName("pnlCommands");
    auto* bar = new QHBoxLayout(pnlCommands);
    bar->setContentsMargins(4, 3, 4, 3);
    bar->setSpacing(2);
    layout->addWidget(pnlCommands);

    auto* style = QApplication::style();
    btnPrint = AddButton("btnPrint", "Print", "Launch printing");
    btnCancel = AddButton("btnCancel", "Close", "Cancel");
    btnCancel->setIcon(style->standardIcon(QStyle::SP_DialogCloseButton));
    bar->addSpacing(8);
    btnZoomIn = AddButton("btnZoomIn", "+", "Zoom In");
    btnZoomOut = AddButton("btnZoomOut", QString::fromUtf8("\u2212"), "Zoom Out");
    btnZoom100 = AddButton("btnZoom100", "1:1", "Zoom 100%");
    btnZoomPage = AddButton("btnZoomPage", QString::fromUtf8("\u2194"), "Zoom page width");
    btnFullPage = AddButton("btnFullPage", QString::fromUtf8("\u2195"), "Zoom full page");
    lblProzentInfo = new QLabel(pnlCommands);
    lblProzentInfo->setObjectName("lblProzentInfo");
    lblProzentInfo->setMinimumWidth(44);
    lblProzentInfo->setAlignment(Qt::AlignCenter);
    bar->addWidget(lblProzentInfo);
    bar->addSpacing(8);
    btnFirst = AddButton("btnFirst", "|<", "First page");
    btnFirst->setIcon(style->standardIcon(QStyle::SP_MediaSkipBackward));
    btnPrev = AddButton("btnPrev", "<", "Previous page");
    btnPrev->setIcon(style->standardIcon(QStyle::SP_MediaSeekBackward));
    btnNext = AddButton("btnNext", ">", "Next page");
    btnNext->setIcon(style->standardIcon(QStyle::SP_MediaSeekForward));
    btnLast = AddButton("btnLast", ">|", "Last page");
    btnLast->setIcon(style->standardIcon(QStyle::SP_MediaSkipForward));
    lblPageNr = new QLabel(pnlCommands);
    lblPageNr->setObjectName("lblPageNr");
    bar->addSpacing(6);
    bar->addWidget(lblPageNr);
    bar->addStretch(1);
    btnPrint->setIcon(style->standardIcon(QStyle::SP_DialogOkButton));
    btnZoomIn->setIcon(MagnifierIcon(true));
    btnZoomOut->setIcon(MagnifierIcon(false));
    btnZoom100->setIcon(GlyphIcon("1:1", true));
    btnZoomPage->setIcon(GlyphIcon(QString::fromUtf8("\u2194")));
    btnFullPage->setIcon(GlyphIcon(QString::fromUtf8("\u2195")));
    for (QToolButton* button : buttons_) {
        button->setToolButtonStyle(Qt::ToolButtonIconOnly);
        button->setIconSize(QSize(20, 20));
    }

    ScrollBox = new QScrollArea(this);
    ScrollBox->setObjectName("ScrollBox");
    ScrollBox->setWidgetResizable(false);
    ScrollBox->setBackgroundRole(QPalette::Dark);
    ScrollBox->setFocusPolicy(Qt::StrongFocus);
    layout->addWidget(ScrollBox, 1);
    ScrollContent = new QWidget;
    ScrollContent->setObjectName("ScrollContent");
    imgPreview = new TKvrPreviewImage(ScrollContent);
    imgPreview->setObjectName("imgPreview");
    imgPreview->move(ImageMargin, ImageMargin);
    pnlRight = new QWidget(ScrollContent);
    pnlRight->setObjectName("pnlRight");
    pnlBottom = new QWidget(ScrollContent);
    pnlBottom->setObjectName("pnlBottom");
    ScrollBox->setWidget(ScrollContent);
    ScrollBox->installEventFilter(this);

    connect(btnPrint, &QToolButton::clicked, this, [this] { accept(); });
    connect(btnCancel, &QToolButton::clicked, this, [this] { reject(); });
    connect(btnZoomIn, &QToolButton::clicked, this, [this] { ZoomIn(); });
    connect(btnZoomOut, &QToolButton::clicked, this, [this] { ZoomOut(); });
    connect(btnZoom100, &QToolButton::clicked, this, [this] { Zoom100(); });
    connect(btnZoomPage, &QToolButton::clicked, this, [this] { ZoomPageWidth(); });
    connect(btnFullPage, &QToolButton::clicked, this, [this] { FullPage(); });
    connect(btnFirst, &QToolButton::clicked, this, [this] { FirstPage(); });
    connect(btnPrev, &QToolButton::clicked, this, [this] { PrevPage(); });
    connect(btnNext, &QToolButton::clicked, this, [this] { NextPage(); });
    connect(btnLast, &QToolButton::clicked, this, [this] { LastPage(); });

    // The preview sees every key of its controls first.
    qApp->installEventFilter(this);
}

TKvrPreviewDlg::~TKvrPreviewDlg() {
    qApp->removeEventFilter(this);
    if (imgPreview->width() > 0 && BaseWidth > 0 && ZoomWidth > 0)
        PrinterSection()->WriteInteger("PreviewProzent",
                                       MulDiv(imgPreview->width(), 100, BaseWidth));
}

QToolButton* TKvrPreviewDlg::AddButton(const char* name, const QString& text, const char* hint) {
    auto* button = new QToolButton(pnlCommands);
    button->setObjectName(name);
    button->setText(text);
    button->setToolTip(hint);
    button->setAutoRaise(true);
    button->setMinimumSize(28, 26);
    button->setFocusPolicy(Qt::NoFocus);
    pnlCommands->layout()->addWidget(button);
    buttons_.push_back(button);
    return button;
}

void TKvrPreviewDlg::AfterTranslation() {
    TKvrDialog::AfterTranslation();
    for (QToolButton* button : buttons_) {
        QString hint = button->text();
        hint.remove('&');
        if (!hint.isEmpty())
            button->setToolTip(hint);
    }
}

void TKvrPreviewDlg::SetPages(const TPreviewList& pages) {
    pages_ = pages;
    CurrentPage = -1;
    if (pages_.empty())
        return;
    BaseWidth = pages_.front()->Width();
    BaseHeight = pages_.front()->Height();
    ShowPage(0);
}

void TKvrPreviewDlg::ShowPage(int index) {
    if (index == CurrentPage || index < 0 || index >= PageCount())
        return;
    CurrentPage = index;
    lblPageNr->setText(QString::fromStdString(
        TextOrEnglishFmt("#KAVRIN_G.61", "Page %d of %d", {index + 1, PageCount()})));
    const auto& page = pages_[std::size_t(index)];
    const auto* recorded = dynamic_cast<const TKvrPreviewPicture*>(page.get());
    imgPreview->SetPicture(recorded ? &recorded->Picture() : nullptr,
                           QSize(page->Width(), page->Height()));
    if (ZoomWidth > 0 && ZoomHeight > 0)
        SetZoom(ZoomWidth, ZoomHeight);
    else
        SetZoom(page->Width(), page->Height());
}

void TKvrPreviewDlg::SetZoom(std::int32_t width, std::int32_t height) {
    ZoomWidth = width;
    ZoomHeight = height;
    const int w = std::max(width, 0);
    const int h = std::max(height, 0);
    imgPreview->setFixedSize(w, h);
    pnlBottom->setGeometry(ImageMargin, ImageMargin + h, std::max(w, 1), ImageMargin);
    pnlRight->setGeometry(ImageMargin + w, ImageMargin, ImageMargin, std::max(h, 1));
    ScrollContent->resize(w + 2 * ImageMargin, h + 2 * ImageMargin);
    lblProzentInfo->setText(QString::fromStdString(ZoomPercentText(width, BaseWidth)));
    UpdatePreviewButtons();
}

void TKvrPreviewDlg::UpdatePreviewButtons() {
    const TZoomSize image{imgPreview->width(), imgPreview->height()};
    btnZoomIn->setEnabled(CanZoomIn(image));
    btnZoomOut->setEnabled(CanZoomOut(image, ScrollBox->width(), ScrollBox->height()));
    btnFirst->setEnabled(CurrentPage > 0);
    btnPrev->setEnabled(CurrentPage > 0);
    btnNext->setEnabled(CurrentPage < PageCount() - 1);
    btnLast->setEnabled(CurrentPage < PageCount() - 1);
}

void TKvrPreviewDlg::ZoomIn() {
    const TZoomSize size = ZoomInStep({imgPreview->width(), imgPreview->height()});
    SetZoom(size.Width, size.Height);
}

void TKvrPreviewDlg::ZoomOut() {
    const TZoomSize size = ZoomOutStep({imgPreview->width(), imgPreview->height()});
    SetZoom(size.Width, size.Height);
}

void TKvrPreviewDlg::Zoom100() {
    SetZoom(BaseWidth, BaseHeight);
}

void TKvrPreviewDlg::ZoomPageWidth() {
    const TZoomSize size = PageWidthZoom({imgPreview->width(), imgPreview->height()},
                                         ScrollBox->width(), ScrollBox->height());
    SetZoom(size.Width, size.Height);
}

void TKvrPreviewDlg::FullPage() {
    setWindowState(Qt::WindowNoState);
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const int windowHeight = FullPageWindowHeight(screen ? screen->geometry().height() : 768);
    const TZoomSize size = FullPageZoom({imgPreview->width(), imgPreview->height()}, windowHeight);
    SetZoom(size.Width, size.Height);
    resize(FullPageWindowWidth(imgPreview->width()), windowHeight);
    move(available.center() - QPoint(width() / 2, height() / 2));
}

void TKvrPreviewDlg::showEvent(QShowEvent* event) {
    TKvrDialog::showEvent(event);
    if (!firstShow_ || event->spontaneous())
        return;
    firstShow_ = false;
    if (UserSettings()->GetSection(FormClassName())->ReadRaw("WindowState", "").empty())
        FullPage();
    UpdatePreviewButtons();
}

bool TKvrPreviewDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ScrollBox && event->type() == QEvent::Resize)
        UpdatePreviewButtons();
    if (event->type() == QEvent::KeyPress) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->window() == this && PreviewKey(static_cast<QKeyEvent*>(event)))
            return true;
    }
    return TKvrDialog::eventFilter(watched, event);
}

bool TKvrPreviewDlg::PreviewKey(QKeyEvent* event) {
    const bool keypad = event->modifiers() & Qt::KeypadModifier;
    QScrollBar* horizontal = ScrollBox->horizontalScrollBar();
    QScrollBar* vertical = ScrollBox->verticalScrollBar();
    switch (event->key()) {
    case Qt::Key_Escape:
        reject();
        return true;
    case Qt::Key_PageUp:
        PrevPage();
        return true;
    case Qt::Key_PageDown:
        NextPage();
        return true;
    case Qt::Key_Home:
        horizontal->setValue(horizontal->minimum());
        vertical->setValue(vertical->minimum());
        return true;
    case Qt::Key_End:
        horizontal->setValue(horizontal->maximum());
        vertical->setValue(vertical->maximum());
        return true;
    case Qt::Key_Left:
        horizontal->setValue(horizontal->value() - 2 * horizontal->singleStep());
        return true;
    case Qt::Key_Right:
        horizontal->setValue(horizontal->value() + 2 * horizontal->singleStep());
        return true;
    case Qt::Key_Up:
        vertical->setValue(vertical->value() - 2 * vertical->singleStep());
        return true;
    case Qt::Key_Down:
        vertical->setValue(vertical->value() + 2 * vertical->singleStep());
        return true;
    case Qt::Key_Asterisk:
        if (!keypad)
            return false;
        FullPage();
        return true;
    case Qt::Key_Plus:
        if (!keypad)
            return false;
        if (btnZoomIn->isEnabled())
            ZoomIn();
        return true;
    case Qt::Key_Minus:
        if (!keypad)
            return false;
        if (btnZoomOut->isEnabled())
            ZoomOut();
        return true;
    case Qt::Key_Slash:
        if (!keypad)
            return false;
        Zoom100();
        return true;
    default:
        return false;
    }
}

int ShowPreview(std::string_view caption, const TPreviewList& pages, QWidget* parent) {
    TKvrPreviewDlg preview(parent);
    preview.Loaded();
    preview.SetPages(pages);
    preview.setWindowTitle(preview.windowTitle() + " " + QString::fromStdString(Trim(caption)));
    const int percent =
        UserSettings()->GetSection("KVR_Printer")->ReadInteger("PreviewProzent", 100);
    const TZoomSize zoom = StoredZoom(preview.BaseWidth, preview.BaseHeight, percent);
    preview.SetZoom(zoom.Width, zoom.Height);
    return preview.exec();
}

} // namespace marqor
