// The full-size report through the Qt devices: PDF into memory and the preview pictures.

#include "report_fixture.h"
#include "reports_qt/canvas_devices.h"
#include "reports_qt/gui_session.h"
#include "reports_qt/pdf_writer.h"
#include "texts/kvr_language.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>
#include <unistd.h>

namespace marqor {
namespace {

const bool kRegistered = (RegisterLanguageClass<TLanguageKavrin>(), true);

void BM_PdfReport(benchmark::State& state) {
    EnsureGuiApplication();
    const std::string target = (std::filesystem::temp_directory_path() /
                                ("marqor-bench-" + std::to_string(getpid()) + ".pdf"))
                                   .string();
    for (auto _ : state) {
        TKvrReport report(std::make_shared<TKvrQtPrintingService>());
        report.Document.PaperIndex = 2;
        bench::ConfigurePointTableLike(report, 1100, 1100 - int(state.range(0)) + 1);
        report.PdfFileName = target;
        report.PrintToPdf(nullptr);
    }
    state.counters["bytes"] = double(std::filesystem::file_size(target));
    std::remove(target.c_str());
}
BENCHMARK(BM_PdfReport)->Arg(301)->Arg(1100)->Unit(benchmark::kMillisecond);

void BM_PreviewReport(benchmark::State& state) {
    EnsureGuiApplication();
    for (auto _ : state) {
        TKvrReport report(std::make_shared<TKvrQtPrintingService>());
        report.Document.PaperIndex = 2;
        bench::ConfigurePointTableLike(report);
        report.PrintToPreview(nullptr);
        benchmark::DoNotOptimize(report.PreviewPages().size());
    }
}
BENCHMARK(BM_PreviewReport)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace marqor
