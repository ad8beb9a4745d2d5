#include "reports_qt/canvas_devices.h"

#include "reports_qt/pdf_writer.h"
#include "reports_qt/qt_fonts.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPen>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>
#include <cmath>
#include <cups/cups.h>
#include <stdexcept>

namespace marqor {

// ---------------------------------------------------------------------------------------------
// TKvrCanvas

void TKvrCanvas::SetFont(const TKvrFont& font) {
    if (font == font_ && !qfont_.family().isEmpty())
        return;
    font_ = font;
    qfont_ = ReportQFont(font);
    Attach();
}

void TKvrCanvas::Attach() {
    if (qfont_.family().isEmpty())
        qfont_ = ReportQFont(font_);
    if (!painter_.isActive())
        return;
    painter_.setFont(qfont_);
    ascent_ = QFontMetrics(qfont_, painter_.device()).ascent();
}

std::int32_t TKvrCanvas::TextWidth(QPaintDevice* device, std::string_view text) {
    const QString qtext = QString::fromUtf8(text.data(), qsizetype(text.size()));
    return device ? QFontMetrics(qfont_, device).horizontalAdvance(qtext)
                  : QFontMetrics(qfont_).horizontalAdvance(qtext);
}

void TKvrCanvas::TextOut(std::int32_t x, std::int32_t y, std::string_view text) {
    if (!painter_.isActive())
        return;
    painter_.drawText(QPoint(x, y + ascent_),
                      QString::fromUtf8(text.data(), qsizetype(text.size())));
}

void TKvrCanvas::Line(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                      std::int32_t penWidth) {
    if (!painter_.isActive())
        return;
    painter_.setPen(QPen(Qt::black, std::max(0, penWidth)));
    painter_.drawLine(x1, y1, x2, y2);
    painter_.setPen(QPen(Qt::black, 1));
}

// ---------------------------------------------------------------------------------------------
// Preview

TKvrPreviewDevice::~TKvrPreviewDevice() {
    ClosePage();
}

std::int32_t TKvrPreviewDevice::ScreenPixelsPerInch() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? static_cast<std::int32_t>(std::lround(screen->logicalDotsPerInch())) : 96;
}

IKvrPreviewPicturePtr TKvrPreviewDevice::BeginPicture(std::int32_t width, std::int32_t height) {
    ClosePage();
    picture_ = std::make_shared<TKvrPreviewPicture>(width, height);
    if (!canvas_.Painter().begin(&picture_->Picture()))
        throw std::runtime_error("Preview: a page picture cannot be drawn");
    canvas_.Painter().setPen(QPen(Qt::black, 1));
    canvas_.Attach();
    return picture_;
}

void TKvrPreviewDevice::Rectangle(std::int32_t x1, std::int32_t y1, std::int32_t x2,
                                  std::int32_t y2, std::int32_t penWidth) {
    QPainter& painter = canvas_.Painter();
    if (!painter.isActive())
        return;
    painter.setPen(QPen(Qt::black, std::max(0, penWidth)));
    painter.setBrush(Qt::white);
    painter.drawRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::black, 1));
}

TKvrDeviceMetrics TKvrPreviewDevice::Metrics() {
    const std::int32_t ppi = ScreenPixelsPerInch();
    return {ppi, ppi, 0, 0};
}

std::int32_t TKvrPreviewDevice::TextWidth(std::string_view text) {
    return canvas_.TextWidth(picture_ ? &picture_->Picture() : nullptr, text);
}

void TKvrPreviewDevice::TextOut(std::int32_t x, std::int32_t y, TKvrTextAlign,
                                std::string_view text) {
    canvas_.TextOut(x, y, text);
}

void TKvrPreviewDevice::Line(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                             std::int32_t penWidth) {
    canvas_.Line(x1, y1, x2, y2, penWidth);
}

void TKvrPreviewDevice::ClosePage() {
    if (canvas_.Painter().isActive())
        canvas_.Painter().end();
    if (picture_)
        picture_->Picture().setBoundingRect(QRect(0, 0, picture_->Width(), picture_->Height()));
    picture_.reset();
}

// ---------------------------------------------------------------------------------------------
// Printer

TKvrPrinterDevice::TKvrPrinterDevice(const std::string& printerName) : name_(printerName) {
    const QPrinterInfo info = printerName.empty()
                                  ? QPrinterInfo::defaultPrinter()
                                  : QPrinterInfo::printerInfo(QString::fromStdString(printerName));
    printer_ = info.isNull() ? std::make_unique<QPrinter>(QPrinter::HighResolution)
                             : std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    if (name_.empty() && !info.isNull())
        name_ = info.printerName().toStdString();
    // A named printer that is gone must not turn into the system's default printer.
    missing_ = !printerName.empty() && info.isNull();
}

TKvrPrinterDevice::~TKvrPrinterDevice() {
    if (running_)
        AbortJob();
}

bool TKvrPrinterDevice::CanCopy() {
    return printer_->supportsMultipleCopies();
}

void TKvrPrinterDevice::SetCopies(std::int32_t copies) {
    printer_->setCopyCount(copies);
}

void TKvrPrinterDevice::SetJobTitle(std::string_view title) {
    printer_->setDocName(QString::fromUtf8(title.data(), qsizetype(title.size())));
}

void TKvrPrinterDevice::StartPage(TKvrOrientation orientation) {
    if (running_) {
        if (!printer_->newPage())
            throw std::runtime_error("Printer " + name_ + ": a new page cannot be started");
        return;
    }
    if (name_.empty() || printer_->outputFormat() != QPrinter::NativeFormat)
        throw std::runtime_error("Printing: there is no printer");
    if (missing_)
        throw std::runtime_error("The printer " + name_ + " is not available (any more)");
    printer_->setPageOrientation(orientation == orLandscape ? QPageLayout::Landscape
                                                            : QPageLayout::Portrait);
    if (!canvas_.Painter().begin(printer_.get()))
        throw std::runtime_error("Printer " + name_ + ": the print job cannot be started");
    running_ = true;
    canvas_.Attach();
}

void TKvrPrinterDevice::EndJob() {
    if (!running_)
        return;
    running_ = false;
    const bool ended = canvas_.Painter().end();
    // Qt hands the finished job to CUPS when the painter ends and drops CUPS's answer; the
    // answer stays readable as the thread's last CUPS status.
    if (printer_->outputFormat() == QPrinter::NativeFormat &&
        cupsLastError() > IPP_STATUS_OK_CONFLICTING)
        throw std::runtime_error("Printer " + name_ + ": the printing system refused the job (" +
                                 std::string(cupsLastErrorString()) + ")");
    if (!ended)
        throw std::runtime_error("Printer " + name_ + ": the print job cannot be completed");
}

void TKvrPrinterDevice::AbortJob() {
    if (!running_)
        return;
    running_ = false;
    printer_->abort();
    if (canvas_.Painter().isActive())
        canvas_.Painter().end();
}

TKvrDeviceMetrics TKvrPrinterDevice::Metrics() {
    const int resolution = printer_->resolution();
    const QRect paint = printer_->pageLayout().paintRectPixels(resolution);
    return {printer_->logicalDpiX(), printer_->logicalDpiY(), paint.left(), paint.top()};
}

std::int32_t TKvrPrinterDevice::TextWidth(std::string_view text) {
    return canvas_.TextWidth(printer_.get(), text);
}

void TKvrPrinterDevice::TextOut(std::int32_t x, std::int32_t y, TKvrTextAlign,
                                std::string_view text) {
    canvas_.TextOut(x, y, text);
}

void TKvrPrinterDevice::Line(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                             std::int32_t penWidth) {
    canvas_.Line(x1, y1, x2, y2, penWidth);
}

// ---------------------------------------------------------------------------------------------
// Printing service

std::int32_t PaperCodeOfPageSize(const QPageSize& pageSize) {
    if (!pageSize.isValid())
        return 0;
    switch (pageSize.id()) {
    case QPageSize::A3:
        return 8;
    case QPageSize::A4:
        return 9;
    case QPageSize::A5:
        return 11;
    case QPageSize::A6:
        return 70;
    case QPageSize::B4:
    case QPageSize::JisB4:
        return 12;
    case QPageSize::JisB5:
        return 13;
    case QPageSize::Letter:
        return 1;
    case QPageSize::Legal:
        return 5;
    case QPageSize::ExecutiveStandard:
        return 7;
    case QPageSize::Tabloid:
        return 3;
    case QPageSize::Ledger:
        return 4;
    case QPageSize::AnsiC:
        return 24;
    case QPageSize::AnsiD:
        return 25;
    case QPageSize::AnsiE:
        return 26;
    default:
        return 256;
    }
}

std::vector<std::string> TKvrQtPrintingService::PrinterNames() {
    std::vector<std::string> names;
    for (const QString& name : QPrinterInfo::availablePrinterNames())
        names.push_back(name.toStdString());
    return names;
}

std::string TKvrQtPrintingService::CurrentPrinterName() {
    if (selected_)
        return *selected_;
    return QPrinterInfo::defaultPrinterName().toStdString();
}

void TKvrQtPrintingService::SelectPrinter(std::string_view name) {
    selected_ = std::string(name);
}

std::int32_t TKvrQtPrintingService::DefaultPaperCode(std::string_view printer) {
    const QPrinterInfo info =
        QPrinterInfo::printerInfo(QString::fromUtf8(printer.data(), qsizetype(printer.size())));
    return info.isNull() ? 0 : PaperCodeOfPageSize(info.defaultPageSize());
}

std::shared_ptr<IKvrPrinterDevice> TKvrQtPrintingService::NewPrinterDevice() {
    return std::make_shared<TKvrPrinterDevice>(CurrentPrinterName());
}

std::shared_ptr<IKvrPreviewDevice> TKvrQtPrintingService::NewPreviewDevice() {
    return std::make_shared<TKvrPreviewDevice>();
}

std::shared_ptr<IKvrPdfDevice> TKvrQtPrintingService::NewPdfDevice() {
    return std::make_shared<TKvrPdf>();
}

void UseQtReportDevices() {
    SetReportPrintingService(std::make_shared<TKvrQtPrintingService>());
}

} // namespace marqor
