// The report engine and the HTML writer on a report of the size of the full point table
// printout (1100 rows, 20 divisions). The engine alone runs on a device that draws nothing, so
// that its cost per page and per cell shows apart from any drawing.

#include "report_fixture.h"
#include "reports/html_file.h"
#include "reports/report_hooks.h"
#include "texts/kvr_language.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>
#include <unistd.h>

namespace marqor {
namespace {

const bool kRegistered = (RegisterLanguageClass<TLanguageKavrin>(), true);

class TNullPdf final : public IKvrPdfDevice {
public:
    TKvrDeviceMetrics Metrics() override { return {72, 72, 0, 0}; }
    void SetFont(const TKvrFont&) override {}
    std::int32_t TextWidth(std::string_view text) override { return std::int32_t(text.size()); }
    void TextOut(std::int32_t, std::int32_t, TKvrTextAlign, std::string_view) override { ++texts; }
    void Line(std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t) override {}
    void ClosePage() override {}
    bool PlacesAlignedText() const override { return true; }
    void SetCreator(std::string_view) override {}
    void SetTargetFile(std::string_view) override {}
    void SetPage(TKvrPdfPageSize, std::int32_t, std::int32_t, TKvrOrientation) override {}
    void NewPage() override { ++pages; }
    void Finish() override {}
    void Discard() override {}
    int PageCount() const override { return pages; }

    int pages = 0;
    long texts = 0;
};

void BM_EngineOnNullDevice(benchmark::State& state) {
    long pages = 0, texts = 0;
    for (auto _ : state) {
        TKvrReport report(nullptr);
        bench::ConfigurePointTableLike(report);
        auto device = std::make_shared<TNullPdf>();
        report.RunOnDevice(rdPdf, device, nullptr);
        pages += device->pages;
        texts += device->texts;
    }
    state.counters["pages"] = benchmark::Counter(double(pages), benchmark::Counter::kAvgIterations);
    state.counters["per_page"] = benchmark::Counter(double(pages), benchmark::Counter::kIsRate |
                                                                       benchmark::Counter::kInvert);
    state.counters["per_text"] = benchmark::Counter(double(texts), benchmark::Counter::kIsRate |
                                                                       benchmark::Counter::kInvert);
}
BENCHMARK(BM_EngineOnNullDevice)->Unit(benchmark::kMillisecond);

void BM_HtmlReportToFile(benchmark::State& state) {
    const std::string target = (std::filesystem::temp_directory_path() /
                                ("marqor-bench-" + std::to_string(getpid()) + ".htm"))
                                   .string();
    long cells = 0;
    for (auto _ : state) {
        TKvrReport report(nullptr);
        bench::ConfigurePointTableLike(report);
        report.HtmlFileName = target;
        report.PrintToHtml(nullptr);
        report.FreeHtmlWriter();
        cells += 1100 * 20;
    }
    state.counters["per_cell"] = benchmark::Counter(double(cells), benchmark::Counter::kIsRate |
                                                                       benchmark::Counter::kInvert);
    state.counters["bytes"] = double(std::filesystem::file_size(target));
    std::remove(target.c_str());
}
BENCHMARK(BM_HtmlReportToFile)->Unit(benchmark::kMillisecond);

void BM_HtmlWriterCells(benchmark::State& state) {
    for (auto _ : state) {
        THtmlFile html(-1, "", 10);
        html.SetColumns(
            "C41;C51;C51;C51;C51;C51;C51;C51;C51;C51;C51;C51;C51;C51;C51;C51;C51;C51;C51;C41");
        for (int p = 1100; p >= 1; --p) {
            for (int c = 0; c < 20; ++c)
                html.Cell(c, "1:02.34");
            html.LineBreak();
            if (p % 5 == 1)
                html.HorizontalRule();
        }
        benchmark::DoNotOptimize(html.PageText());
    }
    state.SetItemsProcessed(state.iterations() * 1100 * 20);
}
BENCHMARK(BM_HtmlWriterCells)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace marqor
