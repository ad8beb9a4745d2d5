#include "cli/print_table_command.h"

#include "cli/cli_options.h"
#include "cli/terminal_status.h"
#include "foundation/text.h"
#include "points/catalogue.h"
#include "reports/application_hooks.h"
#include "reports/document_settings.h"
#include "reports/point_table_printout.h"
#include "reports/report_hooks.h"
#include "services/config.h"
#include "swimming/sw_language.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <iostream>
#include <optional>
#include <unistd.h>

namespace marqor::cli {

const char* const PrintTableUsage =
    "marqor print-table [OPTIONS] (--pdf FILE | --html FILE | --print [PRINTER])\n"
    "Writes the point table printout: for each number of points from --to down to --from, the\n"
    "slowest time that scores it in the 18 individual events (or the 10 relays), one row per\n"
    "points value. Page layout, fonts and footers come from the document settings stored for\n"
    "the print window (section TFPrintPointTable of the user settings), else the defaults; the\n"
    "pages are landscape with 10 mm margins.\n"
    "  -t, --table TABLE     table id or short name (\"FINA 2011\"); default 3004, FINA 2011\n"
    "  -c, --course COURSE   LCM, SCM, ...; default the table's first course\n"
    "  -g, --gender GENDER   M, F, Men, Women, ...; default men (relays: both)\n"
    "  -a, --age AGE         default 99 (no age)\n"
    "      --from MIN        lowest points printed, 1 .. 1100; default 800\n"
    "      --to MAX          highest points printed, 1 .. 1100; default 1100\n"
    "      --relays          the relays (five for men, five for women) instead of the\n"
    "                        individual events\n"
    "      --columns N       newspaper columns per page, 1 .. 100; default the settings'\n"
    "      --paper PAPER     A3, A4, A5, B4, B5, Letter, Letter small, Legal, Executive,\n"
    "                        C Sheet, D Sheet, E Sheet; default the printer's paper\n"
    "      --pdf FILE        write a PDF file\n"
    "      --html FILE       write an HTML file\n"
    "      --print [PRINTER] print on the printer (default: the system's default printer)\n"
    "      --force           replace an existing FILE\n"
    "      --table-file FILE read a further table file (may be repeated)\n"
    "Values of --from and --to outside 1 .. 1100 are brought into that range. A table with\n"
    "decimal points (Rudolph) counts in tenths: --from 100 --to 200 prints 10.0 to 20.0 points.\n"
    "Runs without a display. Progress goes to stderr when the output takes longer than a\n"
    "second. Ctrl+C stops a PDF or printer output once the table is laid out: no PDF is\n"
    "written (an existing FILE stays as it was), the print job is cancelled; an HTML file is\n"
    "finished first. A FILE is written in full or not at all.\n"
    "Exit status: 0 success, 1 the output failed (the file cannot be written, the print job\n"
    "failed), 2 bad argument (also an existing FILE without --force, an unknown PRINTER),\n"
    "3 no result (no base times for the request, no printer installed), 130 interrupted.\n";

namespace {

TCanvasServiceFactory& CanvasFactory() {
    static TCanvasServiceFactory factory;
    return factory;
}

enum TOutputKind { okPdf, okHtml, okPrinter };

// Paper names as people write them: letter case, blanks, "-" and "." do not matter, and the
// "US" of the American sizes may be left out.
std::string PaperKey(std::string_view name) {
    std::string key;
    for (char c : name)
        if (c != ' ' && c != '-' && c != '.')
            key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return key;
}

std::optional<int> FindPaper(std::string_view text) {
    const std::string key = PaperKey(text);
    if (key == "executive")
        return 9;
    const auto& table = PaperTable();
    for (int row = 1; row < PaperCount; ++row) {
        const std::string name = PaperKey(table[row].Name);
        if (key == name || (name.starts_with("us") && key == name.substr(2)))
            return row;
    }
    return std::nullopt;
}

constexpr std::string_view ValidPapers =
    "A3, A4, A5, B4, B5, Letter, Letter small, Legal, Executive, C Sheet, D Sheet, E Sheet";

std::optional<int> ReadPoints(Tool& tool, const Options& options, OptionId id,
                              std::string_view name, int fallback) {
    const auto& text = options.Get(id);
    if (!text)
        return fallback;
    const auto value = ParseDecimal(*text);
    if (!value) {
        tool.Fail(std::string(name) + " must be a whole number of points, not '" + *text + "'");
        return std::nullopt;
    }
    const int clamped = ClampPrintPoints(*value);
    if (clamped != *value)
        tool.Note(std::string(name) + " " + std::to_string(*value) + " is outside 1 .. 1100; " +
                  std::to_string(clamped) + " is used");
    return clamped;
}

// Why the printout would show no time at all; empty when some event has a base time.
std::string MissingBaseTimes(const IBSSwPoints& table, TBSSwCourse course, TBSSwGender gender,
                             int age, TPointTableMode mode) {
    if (!table.HasAnyBaseTime())
        return NoBaseTimesMessage(table);
    const auto& events = mode == ptmRelays ? TBSSwPointTablePrintout::RelayEvents()
                                           : TBSSwPointTablePrintout::IndividualEvents();
    for (const auto& e : events) {
        const auto style = NewSwimStyle(e.RelayCount, e.Stroke, e.Distance);
        if (table.HasBaseTime(course, *style, e.Gender == sgeNone ? gender : e.Gender, age, 0))
            return {};
    }
    std::string request = CourseText(course);
    if (mode == ptmIndividual)
        request += ", " + SwLanguage().GenderName(gender);
    return table.ShortNameVersion() + " has no base times for the " +
           (mode == ptmRelays ? "relays" : "individual events") + " of " + request + ", age " +
           std::to_string(age) + "; the printout would hold no times";
}

// Hooks that show the engine's progress details while an output runs.
class TProgressHooks {
public:
    explicit TProgressHooks(TTerminalStatus& status) : saved_(ReportHooks()) {
        TKvrReportHooks hooks = saved_;
        hooks.StepProgress = [&status](std::string_view detail) {
            status.SetDetail(detail);
        };
        SetReportHooks(std::move(hooks));
    }
    ~TProgressHooks() { SetReportHooks(saved_); }
    TProgressHooks(const TProgressHooks&) = delete;
    TProgressHooks& operator=(const TProgressHooks&) = delete;

private:
    TKvrReportHooks saved_;
};

} // namespace

void SetCanvasServiceFactory(TCanvasServiceFactory factory) {
    CanvasFactory() = std::move(factory);
}

int PrintTableCommand(std::span<const std::string> args, Streams io) {
    Tool tool("print-table", io);
    Options options;
    if (!tool.Parse(args,
                    {OTable, OCourse, OGender, OAge, OFrom, OTo, ORelays, OColumns, OPaper, OPdf,
                     OHtml, OPrint, OForce, OTableFile},
                    options))
        return ExitUsage;
    if (!options.arguments.empty())
        return tool.Fail("unexpected argument '" + options.arguments.front() +
                         "' (see marqor print-table --help)");

    // ---- the output
    const int outputs = options.Has(OPdf) + options.Has(OHtml) + options.Has(OPrint);
    if (outputs != 1)
        return tool.Fail(std::string(outputs == 0 ? "missing output" : "more than one output") +
                         ": give one of --pdf FILE, --html FILE or --print [PRINTER]");
    const TOutputKind kind = options.Has(OPdf) ? okPdf : options.Has(OHtml) ? okHtml : okPrinter;
    std::string target = kind == okPdf    ? *options.Get(OPdf)
                         : kind == okHtml ? *options.Get(OHtml)
                                          : *options.Get(OPrint);
    if (kind != okPrinter) {
        if (target.empty())
            return tool.Fail("the output file name is empty");
        std::error_code error;
        const auto status = std::filesystem::status(target, error);
        if (std::filesystem::is_directory(status))
            return tool.Fail(target + " is a directory");
        if (std::filesystem::exists(status) && !options.Has(OForce))
            return tool.Fail(target + " exists; give --force to replace it");
    }

    // ---- the printout
    TPointTablePrintOptions range;
    range.Mode = options.Has(ORelays) ? ptmRelays : ptmIndividual;
    const auto pointsMin = ReadPoints(tool, options, OFrom, "--from", range.PointsMin);
    if (!pointsMin)
        return ExitUsage;
    const auto pointsMax = ReadPoints(tool, options, OTo, "--to", range.PointsMax);
    if (!pointsMax)
        return ExitUsage;
    range.PointsMin = *pointsMin;
    range.PointsMax = *pointsMax;

    std::optional<int> columns;
    if (const auto& c = options.Get(OColumns)) {
        columns = ParseDecimal(*c);
        if (!columns || *columns < 1 || *columns > 100)
            return tool.Fail("--columns must be a whole number from 1 to 100, not '" + *c + "'");
    }
    std::optional<int> paper;
    if (const auto& p = options.Get(OPaper)) {
        paper = FindPaper(*p);
        if (!paper)
            return tool.Fail("unknown paper '" + *p +
                             "'; valid papers: " + std::string(ValidPapers));
    }

    const IBSSwPointsPtr table = ResolveTable(tool, options);
    if (!table)
        return ExitUsage;
    TBSSwCourse course;
    TBSSwGender gender;
    int age;
    if (!ResolveCourse(tool, options, *table, course) || !ResolveGender(tool, options, gender) ||
        !ResolveAge(tool, options, age))
        return ExitUsage;
    if (const std::string missing = MissingBaseTimes(*table, course, gender, age, range.Mode);
        !missing.empty()) {
        tool.Note(missing);
        return ExitNoResult;
    }

    // ---- the services: stored settings, the application's names in the reports
    StartApplicationServices();
    UseApplicationReportHooks();
    IKvrPrintingServicePtr printing;
    if (kind != okHtml) {
        if (!CanvasFactory()) {
            tool.Note("PDF and printer output are not part of this build; --html works");
            return ExitFailed;
        }
        printing = CanvasFactory()();
    }
    if (kind == okPrinter) {
        const auto printers = printing->PrinterNames();
        if (printers.empty()) {
            tool.Note("no printer is installed");
            return ExitNoResult;
        }
        if (target.empty()) {
            target = printing->CurrentPrinterName();
            if (target.empty()) {
                tool.Note("there is no default printer; name one with --print PRINTER "
                          "(printers: " +
                          Join(printers) + ")");
                return ExitNoResult;
            }
        } else if (std::ranges::find(printers, target) == printers.end()) {
            return tool.Fail("unknown printer '" + target + "'; printers: " + Join(printers));
        }
        printing->SelectPrinter(target);
    }

    TKvrReport report(printing);
    report.OwnerCaption = "Print point table";
    const TBSSwDocumentSettings settings = LoadDocumentSettings(PointTablePrintSection);
    settings.ApplyTo(report.Document);
    settings.ApplyFootersAndImagesTo(report.Document);
    if (paper)
        report.Document.PaperIndex = *paper;
    if (columns)
        report.Document.ColumnCount = *columns;

    TBSSwPointTablePrintout printout(table, course, gender, age);
    printout.SetOptions(range);
    printout.AttachTo(report);

    const bool terminal = &io.err == &std::cerr && isatty(STDERR_FILENO);
    // The engine notices a cancel between exemplars only, before the first one as well, and
    // writes an HTML file in any case: a cancelled HTML output would replace the file with a
    // page without rows. It takes a fraction of a second, so an interrupt waits for its end.
    TTerminalStatus status(io.err, "marqor print-table: ", terminal, kind != okHtml);
    TProgressHooks hooks(status);
    bool interrupted = false;
    try {
        TInterruptScope interrupts;
        switch (kind) {
        case okPdf:
            report.PdfFileName = target;
            report.PrintToPdf(&status);
            break;
        case okHtml:
            report.HtmlFileName = target;
            report.PrintToHtml(&status);
            report.FreeHtmlWriter();
            break;
        case okPrinter:
            report.PrintToPrinter(&status);
            break;
        }
        interrupted = InterruptRequested();
    } catch (const std::exception& e) {
        status.Finish();
        tool.Note(e.what());
        return ExitFailed;
    }
    status.Finish();
    if (interrupted) {
        tool.Note(kind == okPdf    ? "interrupted; " + target + " was not written"
                  : kind == okHtml ? "interrupted; " + target + " was written in full"
                                   : "interrupted; the print job was cancelled");
        return ExitInterrupted;
    }
    return ExitOk;
}

} // namespace marqor::cli
