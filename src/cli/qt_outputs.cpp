#include "cli/qt_outputs.h"

#include "cli/print_table_command.h"
#include "reports_qt/canvas_devices.h"
#include "reports_qt/gui_session.h"

#include <QtGlobal>
#include <cstdlib>

namespace marqor::cli {

namespace {

QtMessageHandler gQtHandler = nullptr;

// A tool run outside a desktop session has no runtime directory, and Qt says so on every
// start; the warning concerns nothing the tool does.
void FilterQtMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtWarningMsg && text.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR")))
        return;
    // Qt hands out its default handler when none was installed before.
    if (gQtHandler)
        gQtHandler(type, context, text);
}

} // namespace

void UseQtPrintOutputs() {
    SetCanvasServiceFactory([] {
        // A command-line tool never opens windows, even where a display is there.
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        static const bool filtered = (gQtHandler = qInstallMessageHandler(FilterQtMessages), true);
        (void)filtered;
        EnsureGuiApplication();
        UseQtReportDevices();
        return ReportPrintingService();
    });
}

} // namespace marqor::cli
