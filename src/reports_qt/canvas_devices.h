#pragma once

// The canvas devices of the reports: the preview, which records every page as a QPicture at
// screen resolution, and the printer through QPrinter (CUPS). The printing service built on
// them answers the printer list and the paper of the current printer.

#include "reports/report_device.h"

#include <QFont>
#include <QPageSize>
#include <QPainter>
#include <QPicture>
#include <memory>
#include <optional>
#include <string>

class QPrinter;

namespace marqor {

// A preview page.
class TKvrPreviewPicture final : public IKvrPreviewPicture {
public:
    TKvrPreviewPicture(std::int32_t width, std::int32_t height) : width_(width), height_(height) {}
    std::int32_t Width() const override { return width_; }
    std::int32_t Height() const override { return height_; }
    QPicture& Picture() { return picture_; }
    const QPicture& Picture() const { return picture_; }

private:
    std::int32_t width_;
    std::int32_t height_;
    QPicture picture_;
};

// The painter work shared by the canvas devices: a font applied to the painter, texts drawn
// with their top at the position, lines with a pen in device pixels.
class TKvrCanvas {
public:
    void SetFont(const TKvrFont& font);
    std::int32_t TextWidth(QPaintDevice* device, std::string_view text);
    void TextOut(std::int32_t x, std::int32_t y, std::string_view text);
    void Line(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
              std::int32_t penWidth);
    QPainter& Painter() { return painter_; }
    // Sets the font on a painter that has just begun.
    void Attach();

private:
    QPainter painter_;
    TKvrFont font_;
    QFont qfont_;
    int ascent_ = 0;
};

class TKvrPreviewDevice final : public IKvrPreviewDevice {
public:
    TKvrPreviewDevice() = default;
    ~TKvrPreviewDevice() override;

    std::int32_t ScreenPixelsPerInch() override;
    IKvrPreviewPicturePtr BeginPicture(std::int32_t width, std::int32_t height) override;
    void Rectangle(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                   std::int32_t penWidth) override;
    TKvrDeviceMetrics Metrics() override;
    void SetFont(const TKvrFont& font) override { canvas_.SetFont(font); }
    std::int32_t TextWidth(std::string_view text) override;
    void TextOut(std::int32_t x, std::int32_t y, TKvrTextAlign align,
                 std::string_view text) override;
    void Line(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
              std::int32_t penWidth) override;
    void ClosePage() override;

private:
    std::shared_ptr<TKvrPreviewPicture> picture_;
    TKvrCanvas canvas_;
};

class TKvrPrinterDevice final : public IKvrPrinterDevice {
public:
    // The named printer; an empty name is the system's default printer.
    explicit TKvrPrinterDevice(const std::string& printerName);
    ~TKvrPrinterDevice() override;

    bool CanCopy() override;
    void SetCopies(std::int32_t copies) override;
    void SetJobTitle(std::string_view title) override;
    bool JobRunning() const override { return running_; }
    void StartPage(TKvrOrientation orientation) override;
    void EndJob() override;
    void AbortJob() override;
    TKvrDeviceMetrics Metrics() override;
    void SetFont(const TKvrFont& font) override { canvas_.SetFont(font); }
    std::int32_t TextWidth(std::string_view text) override;
    void TextOut(std::int32_t x, std::int32_t y, TKvrTextAlign align,
                 std::string_view text) override;
    void Line(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
              std::int32_t penWidth) override;
    void ClosePage() override {}

    QPrinter& Printer() { return *printer_; }

private:
    std::unique_ptr<QPrinter> printer_;
    std::string name_;
    bool missing_ = false;
    bool running_ = false;
    TKvrCanvas canvas_;
};

// The printing service's paper code of a Qt page size; 0 for an invalid size, 256 (a size of
// the user's own) for one the service has no code for.
std::int32_t PaperCodeOfPageSize(const QPageSize& pageSize);

class TKvrQtPrintingService final : public IKvrPrintingService {
public:
    std::vector<std::string> PrinterNames() override;
    std::string CurrentPrinterName() override;
    void SelectPrinter(std::string_view name) override;
    std::int32_t DefaultPaperCode(std::string_view printer) override;
    std::shared_ptr<IKvrPrinterDevice> NewPrinterDevice() override;
    std::shared_ptr<IKvrPreviewDevice> NewPreviewDevice() override;
    std::shared_ptr<IKvrPdfDevice> NewPdfDevice() override;

private:
    std::optional<std::string> selected_;
};

// Installs TKvrQtPrintingService as the process's printing service. Needs a QGuiApplication.
void UseQtReportDevices();

} // namespace marqor
