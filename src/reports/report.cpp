#include "reports/report.h"

#include "foundation/text.h"
#include "reports/report_hooks.h"
#include "reports/report_math.h"
#include "reports/report_text.h"
#include "texts/language.h"

#include <algorithm>
#include <stdexcept>

namespace marqor {
namespace {

// Columns narrower than this (0.1 mm) cannot hold a line of text at any sensible size.
constexpr std::int32_t MinColumnWidth = 200;
// The page keeps at least this much (0.1 mm) between its margins, in both directions.
constexpr std::int32_t MinContentSize = 200;
constexpr std::int32_t MaxCharsPerLine = 200;

std::int32_t SafeDiv(std::int32_t a, std::int32_t b) {
    return b == 0 ? 0 : a / b;
}

void DropTrailingEmpty(std::vector<std::string>& lines) {
    while (!lines.empty() && lines.back().empty())
        lines.pop_back();
}

// Shrinks two margins in proportion so that they leave `content` of `size`.
bool ClampMarginPair(std::int32_t& first, std::int32_t& second, std::int32_t size,
                     const char* firstName, const char* secondName) {
    bool changed = false;
    if (first < 0) {
        ReportLog(Format("Document: %s margin %d is negative; 0 is used", firstName, first));
        first = 0;
        changed = true;
    }
    if (second < 0) {
        ReportLog(Format("Document: %s margin %d is negative; 0 is used", secondName, second));
        second = 0;
        changed = true;
    }
    const std::int64_t room = std::max<std::int64_t>(0, std::int64_t(size) - MinContentSize);
    const std::int64_t sum = std::int64_t(first) + second;
    if (sum > room) {
        const auto newFirst = static_cast<std::int32_t>(sum == 0 ? 0 : room * first / sum);
        const auto newSecond = static_cast<std::int32_t>(room - newFirst);
        ReportLog(Format("Document: %s and %s margins %d and %d leave no room on a page of %d; "
                         "%d and %d are used",
                         firstName, secondName, first, second, size, newFirst, newSecond));
        first = newFirst;
        second = newSecond;
        changed = true;
    }
    return changed;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TKvrDocument

TKvrDocument::TKvrDocument(IKvrPrintingServicePtr printing) : printing_(std::move(printing)) {
    DetectPaper();
}

std::int32_t TKvrDocument::CurrentPaperCode() const {
    if (!printing_)
        return 0;
    const std::string printer = printing_->CurrentPrinterName();
    return printer.empty() ? 0 : printing_->DefaultPaperCode(printer);
}

void TKvrDocument::DetectPaper() {
    PaperIndex = PaperIndexOfCode(CurrentPaperCode());
}

TBSPaperInfo TKvrDocument::PaperInfo() {
    return PaperInfoOfRow(PaperIndexOfCode(CurrentPaperCode()));
}

const TPaper& TKvrDocument::Paper() const {
    return PaperTable()[std::size_t(PaperIndex >= 0 && PaperIndex < PaperCount ? PaperIndex : 0)];
}

std::int32_t TKvrDocument::PageHeight() const {
    return Orientation == orLandscape ? Paper().Width : Paper().Height;
}

std::int32_t TKvrDocument::PageWidth() const {
    return Orientation == orLandscape ? Paper().Height : Paper().Width;
}

std::int32_t TKvrDocument::PrintableHeight() const {
    return PageHeight() - MarginTop - MarginBottom;
}

std::int32_t TKvrDocument::ColumnWidth() const {
    const std::int32_t width = PageWidth() - MarginLeft - MarginRight;
    if (ColumnCount < 2)
        return width;
    return RoundHalfEven(double(width - std::int64_t(ColumnCount - 1) * ColumnDistance) /
                         ColumnCount);
}

std::int32_t TKvrDocument::StandardFontSize() const {
    return SafeDiv(ColumnWidth() * 10, MulDiv(CharsPerLine, 2116, 1000));
}

std::int32_t TKvrDocument::LineHeight() const {
    return MulDiv(StandardFontSize(), 254, 600);
}

int TKvrDocument::FooterLineCount() {
    DropTrailingEmpty(FooterLeft);
    DropTrailingEmpty(FooterCenter);
    DropTrailingEmpty(FooterRight);
    return static_cast<int>(std::max({FooterLeft.size(), FooterCenter.size(), FooterRight.size()}));
}

std::int32_t TKvrDocument::FooterHeight() {
    const std::int32_t height = FooterLineCount() * LineHeight();
    return height > 0 ? height + MulDiv(LineHeight(), 4, 5) : height;
}

bool TKvrDocument::ClampGeometry() {
    bool changed = false;
    if (PaperIndex < 0 || PaperIndex >= PaperCount) {
        ReportLog(Format("Document: paper row %d is unknown; row 0 is used", PaperIndex));
        PaperIndex = 0;
        changed = true;
    }
    changed |= ClampMarginPair(MarginLeft, MarginRight, PageWidth(), "left", "right");
    changed |= ClampMarginPair(MarginTop, MarginBottom, PageHeight(), "top", "bottom");
    if (ColumnDistance < 0) {
        ReportLog(Format("Document: column distance %d is negative; 0 is used", ColumnDistance));
        ColumnDistance = 0;
        changed = true;
    }
    if (ColumnCount < 1) {
        ReportLog(Format("Document: column count %d is too small; 1 is used", ColumnCount));
        ColumnCount = 1;
        changed = true;
    }
    const std::int64_t width = std::int64_t(PageWidth()) - MarginLeft - MarginRight;
    const std::int64_t fitting =
        std::max<std::int64_t>(1, (width + ColumnDistance) / (MinColumnWidth + ColumnDistance));
    if (ColumnCount > fitting) {
        ReportLog(Format("Document: %d columns do not fit the page; %d are used", ColumnCount,
                         int(fitting)));
        ColumnCount = static_cast<std::int32_t>(fitting);
        changed = true;
    }
    if (ColumnCount > 1 && ColumnWidth() < MinColumnWidth) {
        // Only the distance can still squeeze the columns: shrink it to what leaves them room.
        const auto distance = static_cast<std::int32_t>(std::max<std::int64_t>(
            0, (width - std::int64_t(ColumnCount) * MinColumnWidth) / (ColumnCount - 1)));
        ReportLog(Format("Document: column distance %d leaves no room; %d is used", ColumnDistance,
                         distance));
        ColumnDistance = distance;
        changed = true;
    }
    if (CharsPerLine < 1 || CharsPerLine > MaxCharsPerLine) {
        const std::int32_t chars = std::clamp(CharsPerLine, 1, MaxCharsPerLine);
        ReportLog(Format("Document: %d characters per line cannot be set; %d are used",
                         CharsPerLine, chars));
        CharsPerLine = chars;
        changed = true;
    }
    return changed;
}

// ---------------------------------------------------------------------------------------------
// TKvrReport

TKvrReport::TKvrReport(IKvrPrintingServicePtr printing)
    : Document(printing), printing_(std::move(printing)) {}

TKvrReport::~TKvrReport() = default;

void TKvrReport::SetStatusLine(std::string_view text) {
    if (status_)
        status_->SetLine(0, text);
}

bool TKvrReport::StatusCancelled() {
    return status_ && status_->Cancelled();
}

void TKvrReport::ResetHeaders() {
    Document.TitleLines.clear();
    Document.HeaderLeft.clear();
    Document.HeaderRight.clear();
    Document.HeaderRight.push_back(LanguageText("#KAVRIN_G.55") + "@PAGE@");
}

void TKvrReport::RunReport() {
    timeText_ = FormatLanguageDateTime("t", ReportNow(), true);
    ResetHeaders();
    SetColumns("");
    pageOpen_ = false;
    if (OnInitReport)
        OnInitReport(*this);
    Document.ClampGeometry();
    if (Copies < 1) {
        ReportLog(Format("Report: %d copies cannot be made; 1 is made", Copies));
        Copies = 1;
    }
    cursorY_ = -1;
    currentColumn_ = 0;
    freshColumnCursor_ = -2;
    copyIndex_ = (device_ == rdPrinter && printer_ && !printer_->CanCopy()) ? 0 : Copies - 1;
    while (copyIndex_ < Copies && !StatusCancelled()) {
        if (OnOneExemplar)
            OnOneExemplar(*this);
        EndPage(true);
        ++copyIndex_;
    }
}

void TKvrReport::NewPage(int pageNumber) {
    pageNumber_ = pageNumber;
    if (device_ == rdHtml) {
        SetFontPercent(BaseFontPercent);
        return;
    }
    StartPage();
    TKvrDocument& doc = Document;
    if (currentColumn_ == 0 || doc.HeaderPerColumn) {
        PrintLines(0, 0, {txLeft}, doc.HeaderLeft);
        const int lines = static_cast<int>(std::max(doc.HeaderLeft.size(), doc.HeaderRight.size()));
        headerHeight_ = lines == 0 ? 0 : MulDiv(lines * 10 + 15, FontPercent(), 100);
    }
    if (doc.HeaderPerColumn) {
        PrintLines(1000, 0, {txRight}, doc.HeaderRight);
    } else if (currentColumn_ == 0) {
        currentColumn_ = doc.ColumnCount - 1;
        PrintLines(1000, 0, {txRight}, doc.HeaderRight);
        currentColumn_ = 0;
    }
    cursorY_ = headerHeight_;
    if (OnPageHead) {
        const std::string columns = GetColumns();
        const int percent = FontPercent();
        OnPageHead(*this);
        SetColumns(columns);
        SetFontPercent(percent);
    }
    freshColumnCursor_ = cursorY_;
}

void TKvrReport::OpenDevicePage() {
    TKvrDocument& doc = Document;
    switch (device_) {
    case rdPreview: {
        const std::int32_t ppi = preview_->ScreenPixelsPerInch();
        const std::int32_t w = MulDiv(doc.PageWidth(), ppi, 254);
        const std::int32_t h = MulDiv(doc.PageHeight(), ppi, 254);
        previewPages_.push_back(preview_->BeginPicture(w + 2, h + 2));
        preview_->Rectangle(0, 0, w, h, 1);
        preview_->Line(3, h, w, h, 3);
        preview_->Line(w, h, w, 3, 3);
        break;
    }
    case rdPdf:
        pdf_->SetPage(doc.Paper().PdfSize, MulDiv(doc.PageWidth(), 72, 254),
                      MulDiv(doc.PageHeight(), 72, 254), doc.Orientation);
        pdf_->NewPage();
        break;
    case rdPrinter:
        printer_->StartPage(doc.Orientation);
        break;
    case rdHtml:
        return;
    }
    if (device_ == rdPdf) {
        metrics_ = {72, 72, 0, 0};
    } else {
        metrics_ = page_->Metrics();
        metrics_.PixelsPerInchX = std::max(metrics_.PixelsPerInchX, 10);
        metrics_.PixelsPerInchY = std::max(metrics_.PixelsPerInchY, 10);
    }
}

void TKvrReport::StartPage() {
    TKvrDocument& doc = Document;
    std::string line = LanguageText("#KAVRIN_G.55") + std::to_string(pageNumber_);
    if (device_ == rdPrinter || device_ == rdPdf)
        line += LanguageTextFmt("#KAVRIN_G.60", {copyIndex_ + 1, Copies});
    SetStatusLine(line);
    if (!pageOpen_) {
        OpenDevicePage();
        pageOpen_ = true;
    }
    SetPitch(1);
    SetFontSize(doc.StandardFontSize());
    SetFontPercent(MulDiv(BaseFontPercent, doc.FooterFontPercent, 100));
    if (currentColumn_ == 0 || doc.HeaderPerColumn) {
        const int n = doc.FooterLineCount();
        const int k = SafeDiv(doc.PrintableHeight(), doc.LineHeight()) - n + 1;
        const std::int32_t width = doc.ColumnWidth();
        const int e =
            doc.HeaderPerColumn
                ? 1000
                : MulDiv((width + doc.ColumnDistance) * (doc.ColumnCount - 1), 1000, width) + 1000;
        PrintLines(0, 10 * k, {txLeft}, doc.FooterLeft);
        PrintLines(e / 2, 10 * k, {txCentre}, doc.FooterCenter);
        PrintLines(e, 10 * k, {txRight}, doc.FooterRight);
    }
    SetFontPercent(BaseFontPercent);
    cursorY_ = 0;
}

bool TKvrReport::EndPage(bool force) {
    if (!pageOpen_)
        return false;
    ++currentColumn_;
    const bool ended = force || currentColumn_ >= Document.ColumnCount;
    if (ended) {
        currentColumn_ = 0;
        pageOpen_ = false;
        if (page_)
            page_->ClosePage();
    }
    cursorY_ = -1;
    return ended;
}

void TKvrReport::NextPage() {
    const int pitch = pitch_;
    const int size = fontSize_;
    if (EndPage(false) || Document.HeaderPerColumn)
        ++pageNumber_;
    NewPage(pageNumber_);
    SetPitch(pitch);
    SetFontSize(size);
}

bool TKvrReport::CheckPageBreak(int tenths) {
    if (device_ == rdHtml)
        return false;
    TKvrDocument& doc = Document;
    if (doc.PrintableHeight() - doc.FooterHeight() >=
        MulDiv(tenths + cursorY_, doc.LineHeight(), 10))
        return false;
    // A new column would start exactly where this one stands, so breaking cannot make the line
    // fit; it would only add empty pages (forever, for a handler that retries).
    if (pageOpen_ && cursorY_ == freshColumnCursor_)
        return false;
    NextPage();
    return true;
}

void TKvrReport::SetColumns(std::string_view definition) {
    Document.Divisions.SetDefinition(definition);
    if (device_ == rdHtml && html_)
        html_->SetColumns(definition);
}

std::string TKvrReport::GetColumns() const {
    return Document.Divisions.Definition();
}

void TKvrReport::Cell(int division, std::string_view text, TKvrTextAttr attributes) {
    if (device_ == rdHtml) {
        if (html_)
            html_->Cell(division, text);
        Document.CurrentDivision = division;
        return;
    }
    if (Document.Divisions.IsEmpty())
        Document.Divisions.SetDefinition("");
    const int target = std::clamp(division, 0, Document.Divisions.Count() - 1);
    Document.CurrentDivision = target;
    const TColDivEntry& entry = Document.Divisions.Item(target);
    int x = entry.Position;
    if (entry.Alignment == daRight)
        x += entry.Width;
    else if (entry.Alignment == daCentre)
        x += entry.Width / 2;
    TextAt(x, cursorY_, attributes + static_cast<TKvrTextAttrElement>(entry.Alignment), text);
}

std::int32_t TKvrReport::DeviceX(int x) const {
    const TKvrDocument& doc = Document;
    const std::int32_t width = doc.ColumnWidth();
    const std::int32_t paperX =
        MulDiv(x, width, 1000) + doc.MarginLeft + (width + doc.ColumnDistance) * currentColumn_;
    return MulDiv(paperX, metrics_.PixelsPerInchX, 254) - metrics_.OffsetX;
}

std::int32_t TKvrReport::DeviceY(int y) const {
    const TKvrDocument& doc = Document;
    const std::int32_t paperY = MulDiv(y, doc.LineHeight(), 10) + doc.MarginTop;
    return MulDiv(paperY, metrics_.PixelsPerInchY, 254) - metrics_.OffsetY;
}

void TKvrReport::TextAt(int x, int y, TKvrTextAttr attributes, std::string_view text) {
    cursorY_ = y;
    DrawText(DeviceX(x), DeviceY(y), attributes, text);
}

void TKvrReport::DrawText(int x, int y, TKvrTextAttr attributes, std::string_view text) {
    // Nothing to draw on: HTML has no canvas, and between pages no page is open.
    if (!page_ || !pageOpen_ || text.empty())
        return;
    if (page_->PlacesAlignedText()) {
        const TKvrTextAlign align = attributes.Contains(txCentre)  ? taCentre
                                    : attributes.Contains(txRight) ? taRight
                                                                   : taLeft;
        page_->TextOut(x, y, align, text);
        return;
    }
    if (attributes.Contains(txCentre))
        x -= page_->TextWidth(text) / 2;
    else if (attributes.Contains(txRight))
        x -= page_->TextWidth(text);
    page_->TextOut(x, y, taLeft, text);
}

void TKvrReport::PrintLines(int x, int y, TKvrTextAttr attributes,
                            const std::vector<std::string>& lines) {
    const int step = FontPercent() / 10;
    for (std::size_t i = 0; i < lines.size(); ++i)
        TextAt(x, y + int(i) * step, attributes, ExpandPlaceholders(lines[i]));
}

void TKvrReport::LineFeed(int tenths) {
    if (tenths == 0)
        return;
    if (device_ == rdHtml) {
        if (html_)
            for (int i = 0; i < tenths / 10; ++i)
                html_->LineBreak();
        return;
    }
    cursorY_ += (tenths * FontPercent()) / 100;
}

void TKvrReport::HorizontalRule(int thickness) {
    if (device_ == rdHtml) {
        if (html_)
            html_->HorizontalRule();
        return;
    }
    cursorY_ += 1;
    if (thickness == -1) {
        DrawLine(0, cursorY_, 1000, cursorY_, 3);
        cursorY_ += 2;
        thickness = 3;
    }
    DrawLine(0, cursorY_, 1000, cursorY_, thickness);
    cursorY_ += 1;
}

void TKvrReport::DrawLine(int x1, int y1, int x2, int y2, int thickness) {
    if (device_ == rdHtml || !page_ || !pageOpen_)
        return;
    const std::int32_t pen = thickness < 0 ? MulDiv(-thickness, metrics_.PixelsPerInchY, 254)
                                           : MulDiv(MulDiv(thickness, metrics_.PixelsPerInchY, 254),
                                                    Document.LineHeight(), 50);
    page_->Line(DeviceX(x1), DeviceY(y1), DeviceX(x2), DeviceY(y2), pen);
}

void TKvrReport::ApplyFont() {
    if (!page_)
        return;
    const TKvrDocument& doc = Document;
    page_->SetFont({pitch_ == 1 ? doc.VarFontName : doc.FixFontName, fontSize_ / 10, pitch_});
}

void TKvrReport::SetPitch(int pitch) {
    pitch_ = pitch;
    ApplyFont();
}

void TKvrReport::SetFontSize(int tenthsOfPoint) {
    fontSize_ = tenthsOfPoint;
    ApplyFont();
}

void TKvrReport::SetFontPercent(int percent) {
    SetFontSize(MulDiv(Document.StandardFontSize(), percent, 100));
    if (html_)
        html_->SetFontId(percent / 10);
}

int TKvrReport::FontPercent() const {
    return MulDiv(fontSize_, 100, Document.StandardFontSize());
}

std::string TKvrReport::ExpandPlaceholders(std::string_view text) const {
    if (text.find('@') == std::string_view::npos)
        return std::string(text);
    std::string result = ReplaceAllText(text, "@PAGE@", std::to_string(pageNumber_));
    if (result.find("@DATE@") != std::string::npos)
        result = ReplaceAllText(result, "@DATE@", FormatLanguageDateTime("dddddd", ReportNow()));
    return ReplaceAllText(result, "@TIME@", timeText_);
}

// ---------------------------------------------------------------------------------------------
// Outputs

namespace {

// Detaches the devices of an output when it ends, however it ends.
struct TDeviceScope {
    std::shared_ptr<IKvrPageDevice>& page;
    IKvrPrinterDevice*& printer;
    IKvrPreviewDevice*& preview;
    IKvrPdfDevice*& pdf;
    ~TDeviceScope() {
        page.reset();
        printer = nullptr;
        preview = nullptr;
        pdf = nullptr;
    }
};

template <class T> std::shared_ptr<T> Required(std::shared_ptr<T> device, const char* what) {
    if (!device)
        throw std::logic_error(std::string("The printing service made no ") + what);
    return device;
}

IKvrPrintingService& ServiceOf(const IKvrPrintingServicePtr& service) {
    if (!service)
        throw std::logic_error("The report has no printing service");
    return *service;
}

} // namespace

void TKvrReport::PrintToPrinter(IKvrStatusDlg* status) {
    RunOnDevice(rdPrinter, Required(ServiceOf(printing_).NewPrinterDevice(), "printer device"),
                status);
}

void TKvrReport::PrintToPreview(IKvrStatusDlg* status) {
    RunOnDevice(rdPreview, Required(ServiceOf(printing_).NewPreviewDevice(), "preview device"),
                status);
}

void TKvrReport::PrintToPdf(IKvrStatusDlg* status) {
    RunOnDevice(rdPdf, Required(ServiceOf(printing_).NewPdfDevice(), "PDF device"), status);
}

void TKvrReport::RunOnDevice(TKvrReportDevice kind, std::shared_ptr<IKvrPageDevice> device,
                             IKvrStatusDlg* status) {
    if (kind == rdHtml) {
        PrintToHtml(status);
        return;
    }
    status_ = status;
    TDeviceScope scope{page_, printer_, preview_, pdf_};
    page_ = std::move(device);
    switch (kind) {
    case rdPrinter: {
        printer_ = dynamic_cast<IKvrPrinterDevice*>(page_.get());
        if (!printer_)
            throw std::logic_error("A printer output needs a printer device");
        SetStatusLine(LanguageText("#KAVRIN_G.97"));
        device_ = rdPrinter;
        printer_->SetJobTitle(ReportHooks().ApplicationTitle + " - " + OwnerCaption);
        if (printer_->CanCopy())
            printer_->SetCopies(Copies);
        try {
            RunReport();
        } catch (...) {
            if (printer_->JobRunning())
                printer_->AbortJob();
            throw;
        }
        if (printer_->JobRunning()) {
            if (StatusCancelled())
                printer_->AbortJob();
            else
                printer_->EndJob();
        }
        break;
    }
    case rdPreview:
        preview_ = dynamic_cast<IKvrPreviewDevice*>(page_.get());
        if (!preview_)
            throw std::logic_error("A preview output needs a preview device");
        SetStatusLine(LanguageText("#KAVRIN_G.97"));
        device_ = rdPreview;
        previewPages_.clear();
        try {
            RunReport();
        } catch (...) {
            previewPages_.clear();
            throw;
        }
        break;
    case rdPdf:
        pdf_ = dynamic_cast<IKvrPdfDevice*>(page_.get());
        if (!pdf_)
            throw std::logic_error("A PDF output needs a PDF device");
        SetStatusLine(LanguageText("#KAVRIN_G.158") + ": " + FileNamePart(PdfFileName));
        device_ = rdPdf;
        pdf_->SetCreator("Kavrin " + ReportHooks().ProductName);
        pdf_->SetTargetFile(PdfFileName);
        try {
            RunReport();
        } catch (...) {
            pdf_->Discard();
            throw;
        }
        if (StatusCancelled())
            pdf_->Discard();
        else
            pdf_->Finish();
        break;
    case rdHtml:
        break;
    }
}

void TKvrReport::PrintToHtml(IKvrStatusDlg* status) {
    status_ = status;
    TDeviceScope scope{page_, printer_, preview_, pdf_};
    TKvrDocument& doc = Document;
    SetStatusLine(LanguageTextFmt("#KAVRIN_G.96", {FileNamePart(HtmlFileName)}));
    device_ = rdHtml;
    html_ = HtmlWriterFactory
                ? HtmlWriterFactory(doc.HtmlTableWidth, doc.HtmlTemplate, 10)
                : std::make_unique<THtmlFile>(doc.HtmlTableWidth, doc.HtmlTemplate, 10);
    html_->SetFontName(doc.VarFontName);
    RunReport();

    const int n = doc.FooterLineCount();
    if (n > 0) {
        html_->SetFontId(10);
        if (html_->State() != hsAfterRule)
            HorizontalRule(3);
        SetColumns("L333;C334;R333");
        for (int i = 0; i < n; ++i) {
            const auto footer = [&](int division, const std::vector<std::string>& lines) {
                if (std::size_t(i) < lines.size())
                    Cell(division, ExpandPlaceholders(lines[std::size_t(i)]));
            };
            footer(0, doc.FooterLeft);
            footer(1, doc.FooterCenter);
            footer(2, doc.FooterRight);
            LineFeed(10);
        }
    }
    if (html_->Title().empty()) {
        if (!doc.TitleLines.empty())
            html_->SetTitle(doc.TitleLines.front());
        else if (!doc.HeaderLeft.empty())
            html_->SetTitle(doc.HeaderLeft.front());
    }
    html_->SaveToFile(HtmlFileName);
}

void TKvrReport::FreeHtmlWriter() {
    html_.reset();
}

} // namespace marqor
