#include "reports_qt/pdf_writer.h"

#include "foundation/file_io.h"
#include "reports/report_hooks.h"
#include "reports_qt/qt_fonts.h"
#include "texts/language.h"

#include <QFontMetricsF>
#include <QPen>
#include <cmath>
#include <stdexcept>

namespace marqor {
namespace {

QPageSize::PageSizeId QtPageSizeOf(TKvrPdfPageSize size) {
    switch (size) {
    case psA3:
        return QPageSize::A3;
    case psA4:
        return QPageSize::A4;
    case psA5:
        return QPageSize::A5;
    case psB4:
        return QPageSize::B4;
    case psB5:
        return QPageSize::JisB5;
    case psLetter:
    case psLetterSmall:
        return QPageSize::Letter;
    case psLegal:
        return QPageSize::Legal;
    case psExecutive:
        return QPageSize::ExecutiveStandard;
    case psCSheet:
        return QPageSize::AnsiC;
    case psDSheet:
        return QPageSize::AnsiD;
    case psESheet:
        return QPageSize::AnsiE;
    case psCustom:
        break;
    }
    return QPageSize::Custom;
}

} // namespace

TKvrPdf::TKvrPdf() : nextLayout_(PageLayoutOf(psA4, 595, 842, orPortrait)) {}

TKvrPdf::~TKvrPdf() {
    Stop();
}

QPageLayout TKvrPdf::PageLayoutOf(TKvrPdfPageSize pageSize, std::int32_t width, std::int32_t height,
                                  TKvrOrientation orientation) {
    const QPageSize::PageSizeId id = QtPageSizeOf(pageSize);
    if (id == QPageSize::Custom)
        return QPageLayout(QPageSize(QSizeF(std::max(1, width), std::max(1, height)),
                                     QPageSize::Point, QString(), QPageSize::ExactMatch),
                           QPageLayout::Portrait, QMarginsF());
    return QPageLayout(QPageSize(id),
                       orientation == orLandscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF());
}

void TKvrPdf::SetPage(TKvrPdfPageSize pageSize, std::int32_t width, std::int32_t height,
                      TKvrOrientation orientation) {
    nextLayout_ = PageLayoutOf(pageSize, width, height, orientation);
}

void TKvrPdf::Begin() {
    bytes_ = std::make_unique<QByteArray>();
    output_ = std::make_unique<QBuffer>(bytes_.get());
    output_->open(QIODevice::WriteOnly);
    writer_ = std::make_unique<QPdfWriter>(output_.get());
    writer_->setResolution(72 * UnitsPerPoint);
    writer_->setCreator(QString::fromStdString(creator_));
    writer_->setPageLayout(nextLayout_);
    if (!painter_.begin(writer_.get()))
        throw std::runtime_error("PDF " + targetFile_ + ": the PDF engine cannot begin a document");
    started_ = true;
    ApplyFont();
}

void TKvrPdf::NewPage() {
    if (!started_) {
        Begin();
    } else {
        writer_->setPageLayout(nextLayout_);
        if (!writer_->newPage())
            throw std::runtime_error("PDF " + targetFile_ + ": the PDF engine cannot add a page");
    }
    ++pageCount_;
}

void TKvrPdf::SetFont(const TKvrFont& font) {
    if (font.Name == font_.Name && font.Size == font_.Size && !qfont_.family().isEmpty())
        return;
    font_.Name = font.Name;
    font_.Size = font.Size;
    ApplyFont();
}

void TKvrPdf::SetFontName(std::string_view name) {
    SetFont({std::string(name), font_.Size, 0});
}

void TKvrPdf::SetFontSize(int points) {
    SetFont({font_.Name, points, 0});
}

void TKvrPdf::ApplyFont() {
    qfont_ = ReportQFont({font_.Name, font_.Size, 0});
    if (started_) {
        painter_.setFont(qfont_);
        ascent_ = QFontMetricsF(qfont_, writer_.get()).ascent();
    }
}

std::int32_t TKvrPdf::TextWidth(std::string_view text) {
    const QString qtext = QString::fromUtf8(text.data(), qsizetype(text.size()));
    if (started_)
        return static_cast<std::int32_t>(std::lround(
            QFontMetricsF(qfont_, writer_.get()).horizontalAdvance(qtext) / UnitsPerPoint));
    // Before the first page: measured on the screen font at its resolution, scaled to points.
    QFontMetricsF metrics(qfont_);
    return static_cast<std::int32_t>(
        std::lround(metrics.horizontalAdvance(qtext) * 72.0 / std::max(1.0, metrics.fontDpi())));
}

void TKvrPdf::TextOut(std::int32_t x, std::int32_t y, TKvrTextAlign align, std::string_view text) {
    if (!started_)
        return;
    if (align == taRight)
        x -= TextWidth(text);
    else if (align == taCentre)
        x -= TextWidth(text) / 2;
    painter_.drawText(QPointF(double(x) * UnitsPerPoint, double(y) * UnitsPerPoint + ascent_),
                      QString::fromUtf8(text.data(), qsizetype(text.size())));
}

void TKvrPdf::Line(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                   std::int32_t penWidth) {
    if (!started_)
        return;
    painter_.setPen(QPen(Qt::black, double(std::max(0, penWidth)) * UnitsPerPoint));
    painter_.drawLine(QPointF(double(x1) * UnitsPerPoint, double(y1) * UnitsPerPoint),
                      QPointF(double(x2) * UnitsPerPoint, double(y2) * UnitsPerPoint));
    painter_.setPen(QPen(Qt::black));
}

void TKvrPdf::Finish() {
    if (!started_)
        return;
    ReportStepProgress(LanguageText("#KvrPdf.EndDoc"));
    const bool ended = painter_.end();
    started_ = false;
    output_->close();
    if (!ended) {
        Stop();
        throw std::runtime_error("PDF " + targetFile_ + ": the PDF engine cannot end the document");
    }
    const std::string bytes(bytes_->constData(), std::size_t(bytes_->size()));
    Stop();
    ReplaceFileContents(targetFile_, bytes);
}

void TKvrPdf::Discard() {
    Stop();
}

void TKvrPdf::Stop() {
    if (painter_.isActive())
        painter_.end();
    started_ = false;
    writer_.reset();
    output_.reset();
    bytes_.reset();
}

} // namespace marqor
