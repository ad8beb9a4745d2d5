// Writes the full-size sample report, for timing the whole process and for looking at the
// result: report_sample (--pdf FILE | --html FILE) [MIN]
#include "report_fixture.h"
#include "reports_qt/canvas_devices.h"
#include "reports_qt/gui_session.h"
#include "texts/kvr_language.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    using namespace marqor;
    if (argc < 3) {
        std::fprintf(stderr, "usage: report_sample (--pdf FILE | --html FILE) [MIN]\n");
        return 2;
    }
    RegisterLanguageClass<TLanguageKavrin>();
    const std::string mode = argv[1];
    const int minimum = argc > 3 ? std::atoi(argv[3]) : 1;
    if (mode == "--pdf")
        EnsureGuiApplication();
    TKvrReport report(mode == "--pdf"
                          ? IKvrPrintingServicePtr(std::make_shared<TKvrQtPrintingService>())
                          : nullptr);
    report.Document.PaperIndex = 2;
    bench::ConfigurePointTableLike(report, 1100, minimum);
    if (mode == "--pdf") {
        report.PdfFileName = argv[2];
        report.PrintToPdf(nullptr);
    } else {
        report.HtmlFileName = argv[2];
        report.PrintToHtml(nullptr);
    }
    return 0;
}
