// The point table printout of FINA 2011, men, long course: the table's times alone, and the
// whole report as HTML and as PDF, for the default range (800 to 1100) and the full one.

#include "points/catalogue.h"
#include "reports/point_table_printout.h"
#include "reports_qt/canvas_devices.h"
#include "reports_qt/gui_session.h"
#include "swimming/swim_time.h"
#include "texts/kvr_language.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>
#include <unistd.h>

namespace marqor {
namespace {

const bool kRegistered = (RegisterLanguageClass<TLanguageKavrin>(), true);

std::string Target(const char* extension) {
    return (std::filesystem::temp_directory_path() /
            ("marqor-printout-" + std::to_string(getpid()) + extension))
        .string();
}

// Range arguments: the lowest points printed; the highest is 1100.
void BM_PrintoutTimes(benchmark::State& state) {
    const auto table = PointTables().GetPointTable(3004);
    std::vector<IBSSwSwimStylePtr> styles;
    for (const auto& e : TBSSwPointTablePrintout::IndividualEvents())
        styles.push_back(NewSwimStyle(e.RelayCount, e.Stroke, e.Distance));
    for (auto _ : state)
        for (int p = 1100; p >= state.range(0); --p)
            for (const auto& style : styles)
                benchmark::DoNotOptimize(
                    SwimTimeToText(table->TimeFromPoints(sco50m, *style, sgeMen, 99, 0, p)));
}
BENCHMARK(BM_PrintoutTimes)->Arg(800)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_PrintoutHtml(benchmark::State& state) {
    const std::string target = Target(".htm");
    for (auto _ : state) {
        TBSSwPointTablePrintout printout(PointTables().GetPointTable(3004), sco50m, sgeMen, 99);
        printout.SetRange(int(state.range(0)), 1100);
        TKvrReport report(nullptr);
        printout.AttachTo(report);
        report.HtmlFileName = target;
        report.PrintToHtml(nullptr);
        report.FreeHtmlWriter();
    }
    state.counters["bytes"] = double(std::filesystem::file_size(target));
    std::remove(target.c_str());
}
BENCHMARK(BM_PrintoutHtml)->Arg(800)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_PrintoutPdf(benchmark::State& state) {
    EnsureGuiApplication();
    const std::string target = Target(".pdf");
    for (auto _ : state) {
        TBSSwPointTablePrintout printout(PointTables().GetPointTable(3004), sco50m, sgeMen, 99);
        printout.SetRange(int(state.range(0)), 1100);
        TKvrReport report(std::make_shared<TKvrQtPrintingService>());
        report.Document.PaperIndex = 2;
        printout.AttachTo(report);
        report.PdfFileName = target;
        report.PrintToPdf(nullptr);
    }
    state.counters["bytes"] = double(std::filesystem::file_size(target));
    std::remove(target.c_str());
}
BENCHMARK(BM_PrintoutPdf)->Arg(800)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace marqor
