#pragma once

// The devices a report is drawn on and the services around them. The report engine decides
// every position in device units; a device only opens and closes pages, sets fonts, measures
// and draws. The Qt library (reports_qt) implements the printer, preview and PDF devices; the
// HTML device is the writer of html_file.h.

#include "reports/paper.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace marqor {

enum TKvrReportDevice : std::uint8_t { rdPrinter, rdPreview, rdHtml, rdPdf };

enum TKvrOrientation : std::uint8_t { orPortrait = 0, orLandscape = 1 };

// How a text stands at its position: the position is its left end, right end or centre.
enum TKvrTextAlign : std::uint8_t { taLeft = 0, taRight = 1, taCentre = 2 };

// The font of the following texts, always black. Pitch: 0 default, 1 variable, 2 fixed.
struct TKvrFont {
    std::string Name;
    std::int32_t Size = 0; // whole points
    std::int32_t Pitch = 0;
    friend bool operator==(const TKvrFont&, const TKvrFont&) = default;
};

// Resolution and unprintable border of the open page.
struct TKvrDeviceMetrics {
    std::int32_t PixelsPerInchX = 72;
    std::int32_t PixelsPerInchY = 72;
    std::int32_t OffsetX = 0;
    std::int32_t OffsetY = 0;
};

// What the printer, the preview and the PDF writer have in common. Coordinates are device
// units of the page, (0, 0) at the top left corner of the printable area.
class IKvrPageDevice {
public:
    virtual ~IKvrPageDevice() = default;
    // Valid once a page is open.
    virtual TKvrDeviceMetrics Metrics() = 0;
    // May be called before the first page; the font then applies from it on.
    virtual void SetFont(const TKvrFont& font) = 0;
    // In device units, in the current font.
    virtual std::int32_t TextWidth(std::string_view text) = 0;
    // (x, y) is the top of the text; with taRight its right end, with taCentre its centre. A
    // canvas device is only ever given taLeft: the engine measures and moves the text itself.
    virtual void TextOut(std::int32_t x, std::int32_t y, TKvrTextAlign align,
                         std::string_view text) = 0;
    virtual void Line(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                      std::int32_t penWidth) = 0;
    // The last newspaper column of a page is done.
    virtual void ClosePage() = 0;
    // Whether the device places aligned text itself (the PDF writer) rather than the engine.
    virtual bool PlacesAlignedText() const { return false; }
};

// A page picture of the preview, in screen pixels.
class IKvrPreviewPicture {
public:
    virtual ~IKvrPreviewPicture() = default;
    virtual std::int32_t Width() const = 0;
    virtual std::int32_t Height() const = 0;
};
using IKvrPreviewPicturePtr = std::shared_ptr<IKvrPreviewPicture>;
// The pictures of one preview output, one per physical page, in page order.
using TPreviewList = std::vector<IKvrPreviewPicturePtr>;

class IKvrPreviewDevice : public IKvrPageDevice {
public:
    virtual std::int32_t ScreenPixelsPerInch() = 0;
    // A new page picture of that size in pixels, drawn on until ClosePage.
    virtual IKvrPreviewPicturePtr BeginPicture(std::int32_t width, std::int32_t height) = 0;
    // Outline with the pen, filled white.
    virtual void Rectangle(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                           std::int32_t penWidth) = 0;
};

class IKvrPrinterDevice : public IKvrPageDevice {
public:
    // Whether the printer driver makes copies itself.
    virtual bool CanCopy() = 0;
    virtual void SetCopies(std::int32_t copies) = 0;
    virtual void SetJobTitle(std::string_view title) = 0;
    virtual bool JobRunning() const = 0;
    // A new page of the running job; when no job runs, sets the orientation and begins one.
    virtual void StartPage(TKvrOrientation orientation) = 0;
    virtual void EndJob() = 0;
    virtual void AbortJob() = 0;
};

class IKvrPdfDevice : public IKvrPageDevice {
public:
    virtual void SetCreator(std::string_view creator) = 0;
    virtual void SetTargetFile(std::string_view fileName) = 0;
    // Format of the next page: the paper row's page size, the size in points as the page lies,
    // and the orientation.
    virtual void SetPage(TKvrPdfPageSize pageSize, std::int32_t width, std::int32_t height,
                         TKvrOrientation orientation) = 0;
    // Begins the document on the first call, adds a page on every later call.
    virtual void NewPage() = 0;
    // Ends the document and writes the target file; no file when no page was begun.
    virtual void Finish() = 0;
    // Drops the collected document; the target file is not touched.
    virtual void Discard() = 0;
    // TextOut and Line take points (72 per inch); pages begun so far.
    virtual int PageCount() const = 0;
};

// The printing service: printer list, the current printer and its paper, and the devices.
class IKvrPrintingService {
public:
    virtual ~IKvrPrintingService() = default;
    virtual std::vector<std::string> PrinterNames() = 0;
    // Empty when there is no printer or the query fails.
    virtual std::string CurrentPrinterName() = 0;
    virtual void SelectPrinter(std::string_view name) = 0;
    // The paper code of the printer's default page; 0 when it cannot be read.
    virtual std::int32_t DefaultPaperCode(std::string_view printer) = 0;
    virtual std::shared_ptr<IKvrPrinterDevice> NewPrinterDevice() = 0;
    virtual std::shared_ptr<IKvrPreviewDevice> NewPreviewDevice() = 0;
    virtual std::shared_ptr<IKvrPdfDevice> NewPdfDevice() = 0;
};
using IKvrPrintingServicePtr = std::shared_ptr<IKvrPrintingService>;

// The process-wide printing service. Until one is installed (the Qt report library does that)
// there is no printer and asking for a device raises std::logic_error.
IKvrPrintingServicePtr ReportPrintingService();
void SetReportPrintingService(IKvrPrintingServicePtr service);

// The progress window of a running output.
class IKvrStatusDlg {
public:
    virtual ~IKvrStatusDlg() = default;
    virtual void SetLine(int line, std::string_view text) = 0;
    virtual std::string GetLine(int line) const = 0;
    // Lets pending window messages run, then tells whether the user confirmed a cancel.
    virtual bool Cancelled() = 0;
};

} // namespace marqor
