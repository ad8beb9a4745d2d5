#include "calculator/program.h"

#include "calculator/main_window.h"
#include "calculator/startup_window.h"
#include "report_dialogs/print_point_table.h"
#include "reports/report_hooks.h"
#include "reports_qt/canvas_devices.h"
#include "services/config.h"
#include "services/ui.h"
#include "texts/kvr_language.h"
#include "ui_qt/gui_application.h"
#include "ui_qt/ui_visual.h"
#include "ui_qt/window_services.h"

#include <QEvent>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <time.h>
#include <unistd.h>

namespace marqor {

namespace {

// Milliseconds since the process began, from the kernel's record of its start (in clock
// ticks, 10 ms on most systems); -1 when it cannot be read.
double MillisecondsSinceProcessStart() {
    std::ifstream stat("/proc/self/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    // The command name in parentheses may hold blanks; the fields after it are plain.
    const auto close = text.rfind(')');
    if (close == std::string::npos)
        return -1;
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    unsigned long long startTicks = 0;
    // Field 22 of the line is the start time; field 3 is the first after the name.
    for (int i = 3; i <= 22 && fields >> field; ++i)
        if (i == 22)
            startTicks = std::stoull(field);
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    const double ticks = double(sysconf(_SC_CLK_TCK));
    return (now.tv_sec + now.tv_nsec / 1e9 - startTicks / ticks) * 1000.0;
}

// Reports the start-up time at the main window's first showing and first paint, then ends.
class TStartupTiming final : public QObject {
public:
    explicit TStartupTiming(std::chrono::steady_clock::time_point mainStarted)
        : mainStarted_(mainStarted) {}

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show && shownProcess_ < 0) {
            shownProcess_ = MillisecondsSinceProcessStart();
            shownMain_ = SinceMain();
        } else if (event->type() == QEvent::Paint && shownProcess_ >= 0 && !reported_) {
            reported_ = true;
            std::fprintf(stderr,
                         "startup: main window shown %.0f ms after the process started (%.0f ms "
                         "after main), first painted after %.0f ms (%.0f ms after main)\n",
                         shownProcess_, shownMain_, MillisecondsSinceProcessStart(), SinceMain());
            QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
        }
        return false;
    }

private:
    double SinceMain() const {
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() -
                                                         mainStarted_)
            .count();
    }

    std::chrono::steady_clock::time_point mainStarted_;
    double shownProcess_ = -1;
    double shownMain_ = 0;
    bool reported_ = false;
};

} // namespace

void ConnectApplicationHooks() {
    ConnectControlServices();
    auto& application = ApplicationObject();
    UIServices().SetApplicationTitle(application.ProductTitle());
    UIServices().LogFile();
    TKvrReportHooks hooks;
    hooks.ApplicationTitle = application.ProductTitle();
    hooks.ProductName = application.Version().ProductName;
    hooks.Log = [](std::string_view line) {
        UIServices().LogLine(line);
    };
    hooks.StepProgress = [](std::string_view detail) {
        UIServices().StepProgress(detail);
    };
    SetReportHooks(std::move(hooks));
    UseQtReportDevices();
}

int RunCalculatorProgram(int& argc, char** argv) {
    const auto mainStarted = std::chrono::steady_clock::now();
    const bool timing = qEnvironmentVariableIsSet("MARQOR_STARTUP_TIMING");

    // Without a display the platform would abort the process; say what is missing instead.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        std::fprintf(stderr, "marqor: there is no display to open the window on (DISPLAY is not "
                             "set). Start it in a desktop session, or see marqor --help for the "
                             "commands.\n");
        return 2;
    }
    RegisterLanguageClass<TLanguageKavrin>();
    TBSGuiApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    RegisterUIClass<TBSUIVisual>();
    // The project choice, fatal errors and the service log go through the windows.
    auto setup = DefaultApplicationSetup();
    setup.Chooser = UIProjectChooser();
    SetApplicationSetup(std::move(setup));
    ConnectServicesToUI();
    StartApplicationServices();
    ConnectApplicationHooks();

    auto* ui = VisualUIServices();
    ui->SetStartupScreenClass([] { return new TFStartupForm; });
    ui->ShowStartupScreen(timing ? 0 : 2);

    TFMain main;
    main.SetOpenPointTablePrint([](int table, int age, TBSSwGender gender, TBSSwCourse course) {
        OpenPointTablePrint(table, age, gender, course);
    });
    QObject::connect(&main, &TFMain::Closed, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    TStartupTiming timer(mainStarted);
    if (timing)
        main.installEventFilter(&timer);
    main.show();
    return app.exec();
}

} // namespace marqor
