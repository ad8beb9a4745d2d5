#pragma once

// Shared pieces of the report tests: a fixed clock, a captured log, the product's language and
// a printing service whose devices record every call.

#include "reports/report.h"
#include "reports/report_hooks.h"
#include "texts/kvr_language.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace marqor::testing_support {

inline const bool kLanguageRegistered = (RegisterLanguageClass<TLanguageKavrin>(), true);

// 5 March 2024, 14:07.
inline TDateTime FixedNow() {
    return *EncodeDateTime(2024, 3, 5, 14, 7, 0);
}

// Installs the fixed clock and collects the log while it lives.
class THooksScope {
public:
    THooksScope() {
        saved_ = ReportHooks();
        TKvrReportHooks hooks;
        hooks.Clock = FixedNow;
        hooks.Log = [this](std::string_view line) {
            log.emplace_back(line);
        };
        hooks.StepProgress = [this](std::string_view detail) {
            progress.emplace_back(detail);
        };
        SetReportHooks(hooks);
    }
    ~THooksScope() { SetReportHooks(saved_); }
    THooksScope(const THooksScope&) = delete;
    THooksScope& operator=(const THooksScope&) = delete;

    std::vector<std::string> log;
    std::vector<std::string> progress;

private:
    TKvrReportHooks saved_;
};

// One call a device received.
struct TDeviceCall {
    std::string Op; // "page", "text", "line", "rect", "close", "font", "job-end", "job-abort", ...
    int X = 0, Y = 0, X2 = 0, Y2 = 0, Pen = 0;
    TKvrTextAlign Align = taLeft;
    std::string Text{};
    TKvrFont Font{};
};

struct TDeviceLog {
    std::vector<TDeviceCall> calls;
    std::vector<const TDeviceCall*> Texts() const {
        std::vector<const TDeviceCall*> texts;
        for (const auto& call : calls)
            if (call.Op == "text")
                texts.push_back(&call);
        return texts;
    }
    const TDeviceCall* FindText(std::string_view text, int occurrence = 0) const {
        for (const auto& call : calls)
            if (call.Op == "text" && call.Text == text && occurrence-- == 0)
                return &call;
        return nullptr;
    }
    int Count(std::string_view op) const {
        int n = 0;
        for (const auto& call : calls)
            n += call.Op == op;
        return n;
    }
};

// Texts are 10 device units per character wide in every font.
template <class Base> class TRecordingDevice : public Base {
public:
    TRecordingDevice(std::shared_ptr<TDeviceLog> log, TKvrDeviceMetrics metrics)
        : log_(std::move(log)), metrics_(metrics) {}

    TKvrDeviceMetrics Metrics() override { return metrics_; }
    void SetFont(const TKvrFont& font) override {
        if (font == font_)
            return;
        font_ = font;
        Add({.Op = "font", .Font = font});
    }
    std::int32_t TextWidth(std::string_view text) override {
        return 10 * static_cast<std::int32_t>(text.size());
    }
    void TextOut(std::int32_t x, std::int32_t y, TKvrTextAlign align,
                 std::string_view text) override {
        Add({.Op = "text",
             .X = x,
             .Y = y,
             .Align = align,
             .Text = std::string(text),
             .Font = font_});
    }
    void Line(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
              std::int32_t pen) override {
        Add({.Op = "line", .X = x1, .Y = y1, .X2 = x2, .Y2 = y2, .Pen = pen});
    }
    void ClosePage() override { Add({.Op = "close"}); }

protected:
    void Add(TDeviceCall call) { log_->calls.push_back(std::move(call)); }
    std::shared_ptr<TDeviceLog> log_;
    TKvrDeviceMetrics metrics_;
    TKvrFont font_;
};

class TRecordingPrinter final : public TRecordingDevice<IKvrPrinterDevice> {
public:
    TRecordingPrinter(std::shared_ptr<TDeviceLog> log, bool canCopy)
        : TRecordingDevice(std::move(log), {600, 600, 50, 60}), canCopy_(canCopy) {}
    bool CanCopy() override { return canCopy_; }
    void SetCopies(std::int32_t copies) override { Add({.Op = "copies", .X = copies}); }
    void SetJobTitle(std::string_view title) override {
        Add({.Op = "title", .Text = std::string(title)});
    }
    bool JobRunning() const override { return running_; }
    void StartPage(TKvrOrientation orientation) override {
        Add({.Op = running_ ? "page" : "job", .X = orientation});
        running_ = true;
    }
    void EndJob() override {
        running_ = false;
        Add({.Op = "job-end"});
    }
    void AbortJob() override {
        running_ = false;
        Add({.Op = "job-abort"});
    }

private:
    bool canCopy_;
    bool running_ = false;
};

class TRecordingPicture final : public IKvrPreviewPicture {
public:
    TRecordingPicture(int w, int h) : w_(w), h_(h) {}
    std::int32_t Width() const override { return w_; }
    std::int32_t Height() const override { return h_; }

private:
    int w_, h_;
};

class TRecordingPreview final : public TRecordingDevice<IKvrPreviewDevice> {
public:
    explicit TRecordingPreview(std::shared_ptr<TDeviceLog> log)
        : TRecordingDevice(std::move(log), {96, 96, 0, 0}) {}
    std::int32_t ScreenPixelsPerInch() override { return 96; }
    IKvrPreviewPicturePtr BeginPicture(std::int32_t w, std::int32_t h) override {
        Add({.Op = "page", .X = w, .Y = h});
        return std::make_shared<TRecordingPicture>(w, h);
    }
    void Rectangle(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                   std::int32_t pen) override {
        Add({.Op = "rect", .X = x1, .Y = y1, .X2 = x2, .Y2 = y2, .Pen = pen});
    }
};

class TRecordingPdf final : public TRecordingDevice<IKvrPdfDevice> {
public:
    explicit TRecordingPdf(std::shared_ptr<TDeviceLog> log)
        : TRecordingDevice(std::move(log), {999, 999, 9, 9}) {}
    void SetCreator(std::string_view creator) override {
        Add({.Op = "creator", .Text = std::string(creator)});
    }
    void SetTargetFile(std::string_view name) override {
        Add({.Op = "target", .Text = std::string(name)});
    }
    void SetPage(TKvrPdfPageSize size, std::int32_t w, std::int32_t h,
                 TKvrOrientation orientation) override {
        Add({.Op = "setpage", .X = w, .Y = h, .X2 = size, .Y2 = orientation});
    }
    void NewPage() override {
        ++pages_;
        Add({.Op = "page"});
    }
    void Finish() override { Add({.Op = "finish"}); }
    void Discard() override { Add({.Op = "discard"}); }
    int PageCount() const override { return pages_; }
    bool PlacesAlignedText() const override { return true; }

private:
    int pages_ = 0;
};

class TRecordingService final : public IKvrPrintingService {
public:
    std::shared_ptr<TDeviceLog> log = std::make_shared<TDeviceLog>();
    std::string printer = "Office";
    std::int32_t paperCode = 9; // A4
    bool canCopy = true;
    std::vector<std::string> printers; // empty: just the current one

    std::vector<std::string> PrinterNames() override {
        if (!printers.empty())
            return printers;
        return printer.empty() ? std::vector<std::string>{} : std::vector<std::string>{printer};
    }
    std::string CurrentPrinterName() override { return printer; }
    void SelectPrinter(std::string_view name) override { printer = name; }
    std::int32_t DefaultPaperCode(std::string_view) override { return paperCode; }
    std::shared_ptr<IKvrPrinterDevice> NewPrinterDevice() override {
        return std::make_shared<TRecordingPrinter>(log, canCopy);
    }
    std::shared_ptr<IKvrPreviewDevice> NewPreviewDevice() override {
        return std::make_shared<TRecordingPreview>(log);
    }
    std::shared_ptr<IKvrPdfDevice> NewPdfDevice() override {
        return std::make_shared<TRecordingPdf>(log);
    }
};

// A status window that records its line 0 and cancels once asked a given number of times.
class TRecordingStatus final : public IKvrStatusDlg {
public:
    int cancelAfter = -1; // answers true from the (cancelAfter + 1)-th question on
    int asked = 0;
    std::vector<std::string> lines;

    void SetLine(int line, std::string_view text) override {
        if (line == 0)
            lines.emplace_back(text);
    }
    std::string GetLine(int) const override { return lines.empty() ? "" : lines.back(); }
    bool Cancelled() override { return cancelAfter >= 0 && asked++ >= cancelAfter; }
};

} // namespace marqor::testing_support
