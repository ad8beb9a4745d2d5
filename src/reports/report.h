#pragma once

// The report engine. A report class (a print window, or a printout run from the command line)
// assigns the three events and writes its report through the operations below: cells into a
// line whose column layout it declares in per mille, line feeds, rules and page breaks. The
// engine positions every text and line on the device of the output (printer, preview, HTML
// or PDF), prints the page header and the footers, numbers the pages, fills newspaper columns
// and produces the exemplars.
//
// Units: lengths on paper in 0.1 mm, font sizes in 0.1 pt, horizontal positions in per mille of
// the newspaper column, vertical positions in tenths of a standard line from the top margin.
//
//     TKvrReport report;
//     report.OnInitReport = [&](TKvrReport& r) { r.Document.TitleLines = {"Title"}; ... };
//     report.OnOneExemplar = [&](TKvrReport& r) { r.NewPage(1); r.SetColumns("L500;R500"); ... };
//     report.PdfFileName = "out.pdf";
//     report.PrintToPdf(nullptr);

#include "reports/column_divisions.h"
#include "reports/html_file.h"
#include "reports/paper.h"
#include "reports/report_device.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace marqor {

// Elements of the text attribute set; their ordinals are the division alignments.
enum TKvrTextAttrElement : std::uint8_t { txLeft = 0, txRight = 1, txCentre = 2 };

class TKvrTextAttr {
public:
    constexpr TKvrTextAttr() = default;
    constexpr TKvrTextAttr(std::initializer_list<TKvrTextAttrElement> elements) {
        for (auto e : elements)
            bits_ = std::uint8_t(bits_ | (1u << e));
    }
    constexpr bool Contains(TKvrTextAttrElement e) const { return (bits_ >> e) & 1u; }
    constexpr TKvrTextAttr operator+(TKvrTextAttrElement e) const {
        TKvrTextAttr result = *this;
        result.bits_ = std::uint8_t(bits_ | (1u << e));
        return result;
    }
    friend constexpr bool operator==(TKvrTextAttr, TKvrTextAttr) = default;

private:
    std::uint8_t bits_ = 0;
};

class TKvrDocument {
public:
    explicit TKvrDocument(IKvrPrintingServicePtr printing = ReportPrintingService());

    int PaperIndex = 0;
    TKvrOrientation Orientation = orPortrait;
    std::int32_t MarginLeft = 150;
    std::int32_t MarginRight = 150;
    std::int32_t MarginTop = 100;
    std::int32_t MarginBottom = 100;
    std::int32_t ColumnCount = 1;
    std::int32_t ColumnDistance = 0;
    bool HeaderPerColumn = false;
    std::int32_t CharsPerLine = 84;
    std::int32_t FooterFontPercent = 100;
    std::string FixFontName = "Courier New";
    std::string VarFontName = "Arial";
    std::int32_t HtmlTableWidth = -1;
    std::string HtmlTemplate;
    std::int32_t AddressLeft = 1200;
    std::int32_t AddressTop = 500;
    std::vector<std::string> TitleLines;
    std::vector<std::string> HeaderLeft;
    std::vector<std::string> HeaderRight;
    std::vector<std::string> FooterLeft;
    std::vector<std::string> FooterCenter;
    std::vector<std::string> FooterRight;
    // "%d;%d;%d;%d;%s" entries; carried, not drawn (this system has no picture store).
    std::vector<std::string> Images;
    TColDivList Divisions;
    int CurrentDivision = 0;

    // PaperIndex from the default paper of the printing service's current printer; row 0 when
    // there is no printer, its properties cannot be read or its paper is not in the table.
    void DetectPaper();
    // The paper of the current printer as the settings dialog shows it.
    TBSPaperInfo PaperInfo();
    const TPaper& Paper() const;

    std::int32_t PageHeight() const;
    std::int32_t PageWidth() const;
    std::int32_t PrintableHeight() const;
    std::int32_t ColumnWidth() const;
    std::int32_t StandardFontSize() const;
    std::int32_t LineHeight() const;
    // Drops the trailing empty lines of the three footer lists first.
    int FooterLineCount();
    std::int32_t FooterHeight();

    // Brings geometry that cannot be laid out (negative margins, margins wider than the page,
    // no or too many newspaper columns, a negative column distance) back to the nearest values
    // that can; every change is reported to the log. Answers whether anything changed.
    bool ClampGeometry();

private:
    std::int32_t CurrentPaperCode() const;

    IKvrPrintingServicePtr printing_;
};

class TKvrReport;
using TReportEvent = std::function<void(TKvrReport& Report)>;
// Makes the HTML writer of an output from table width, template file and default font id.
using THtmlWriterFactory = std::function<std::unique_ptr<IKvrHtmlWriter>(
    int tableWidth, const std::string& templateFile, int defaultFontId)>;

class TKvrReport {
public:
    explicit TKvrReport(IKvrPrintingServicePtr printing = ReportPrintingService());
    ~TKvrReport();
    TKvrReport(const TKvrReport&) = delete;
    TKvrReport& operator=(const TKvrReport&) = delete;

    TKvrDocument Document;
    std::int32_t Copies = 1;
    std::int32_t BaseFontPercent = 100;
    std::string HtmlFileName;
    std::string PdfFileName;
    // The caption of the owning window; the print job is titled after it.
    std::string OwnerCaption;
    TReportEvent OnInitReport;
    TReportEvent OnOneExemplar;
    TReportEvent OnPageHead;
    // Unset: THtmlFile.
    THtmlWriterFactory HtmlWriterFactory;

    // --- operations for the event handlers
    void NewPage(int pageNumber);
    void NextPage();
    bool CheckPageBreak(int tenths);
    void SetColumns(std::string_view definition);
    std::string GetColumns() const;
    void Cell(int division, std::string_view text, TKvrTextAttr attributes = {});
    void TextAt(int x, int y, TKvrTextAttr attributes, std::string_view text);
    void PrintLines(int x, int y, TKvrTextAttr attributes, const std::vector<std::string>& lines);
    void LineFeed(int tenths);
    void HorizontalRule(int thickness);
    void DrawLine(int x1, int y1, int x2, int y2, int thickness);
    void SetPitch(int pitch);
    void SetFontSize(int tenthsOfPoint);
    void SetFontPercent(int percent);
    int FontPercent() const;
    std::string ExpandPlaceholders(std::string_view text) const;

    // --- outputs; each runs the report once. The status dialog may be null.
    void PrintToPrinter(IKvrStatusDlg* status);
    void PrintToPreview(IKvrStatusDlg* status);
    void PrintToHtml(IKvrStatusDlg* status);
    void PrintToPdf(IKvrStatusDlg* status);
    void FreeHtmlWriter();

    // --- state of the running output
    TKvrReportDevice Device() const { return device_; }
    int CopyIndex() const { return copyIndex_; }
    int PageNumber() const { return pageNumber_; }
    int CurrentColumn() const { return currentColumn_; }
    bool PageOpen() const { return pageOpen_; }
    int CursorY() const { return cursorY_; }
    int HeaderHeight() const { return headerHeight_; }
    int FontSize() const { return fontSize_; }
    int Pitch() const { return pitch_; }
    const TKvrDeviceMetrics& Metrics() const { return metrics_; }
    const std::string& TimeText() const { return timeText_; }
    const TPreviewList& PreviewPages() const { return previewPages_; }
    void ClearPreviewPages() { previewPages_.clear(); }
    IKvrHtmlWriter* HtmlWriter() const { return html_.get(); }
    IKvrStatusDlg* StatusDialog() const { return status_; }

    // Runs one output on a device made elsewhere: tests and tools that bring their own device.
    // The page device must be of the kind (printer, preview or PDF device) the kind names.
    void RunOnDevice(TKvrReportDevice kind, std::shared_ptr<IKvrPageDevice> device,
                     IKvrStatusDlg* status);

private:
    void RunReport();
    void ResetHeaders();
    void StartPage();
    bool EndPage(bool force);
    void ApplyFont();
    void OpenDevicePage();
    void DrawText(int x, int y, TKvrTextAttr attributes, std::string_view text);
    std::int32_t DeviceX(int x) const;
    std::int32_t DeviceY(int y) const;
    void SetStatusLine(std::string_view text);
    bool StatusCancelled();
    bool IsCanvas() const { return device_ != rdHtml && device_ != rdPdf; }

    IKvrPrintingServicePtr printing_;
    TKvrReportDevice device_ = rdPrinter;
    std::shared_ptr<IKvrPageDevice> page_;
    IKvrPrinterDevice* printer_ = nullptr;
    IKvrPreviewDevice* preview_ = nullptr;
    IKvrPdfDevice* pdf_ = nullptr;
    std::unique_ptr<IKvrHtmlWriter> html_;
    IKvrStatusDlg* status_ = nullptr;

    int copyIndex_ = 0;
    int pageNumber_ = 0;
    int currentColumn_ = 0;
    bool pageOpen_ = false;
    int cursorY_ = -1;
    int headerHeight_ = 0;
    int fontSize_ = 0;
    int pitch_ = 0;
    TKvrDeviceMetrics metrics_;
    std::string timeText_;
    TPreviewList previewPages_;
    // The cursor right after the last page head, while nothing was written below it.
    int freshColumnCursor_ = -2;
};

} // namespace marqor
