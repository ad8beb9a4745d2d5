// Takes the pictures of the program's windows for its documentation: the start-up window, the
// main window after three calculations, the about box and the pages of the document settings
// dialog, as PNG files in the directory given.
// Run it on a display (scripts/screenshots.sh starts one).

#include "calculator/main_window.h"
#include "calculator/program.h"
#include "calculator/startup_window.h"
#include "report_dialogs/report_setup_dlg.h"
#include "services/config.h"
#include "services/ui.h"
#include "texts/kvr_language.h"
#include "ui_qt/gui_application.h"
#include "ui_qt/ui_visual.h"

#include <QDir>
#include <QListWidget>
#include <QPixmap>
#include <QTest>
#include <QTimer>
#include <cstdio>

using namespace marqor;

namespace {

bool Save(QWidget* window, const QString& file) {
    QTest::qWait(300);
    const bool ok = window->grab().save(file);
    std::fprintf(stderr, "%s %s\n", ok ? "wrote" : "could not write", qPrintable(file));
    return ok;
}

void Calculate(TKvrFPCalculator* c, int event, const char* value, bool points) {
    c->CBSwimStyle->SelectKey(event);
    (points ? c->RBPoints : c->RBTime)->click();
    TBSEdit* field = points ? c->EPoints : c->ESwimTime;
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, value);
    QTest::keyClick(field, Qt::Key_Return);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s DIRECTORY\n", argv[0]);
        return 2;
    }
    const QString directory = QString::fromLocal8Bit(argv[1]);
    RegisterLanguageClass<TLanguageKavrin>();
    TBSGuiApplication app(argc, argv);
    RegisterUIClass<TBSUIVisual>();
    ConnectServicesToUI();
    StartApplicationServices();
    ConnectApplicationHooks();
    QDir().mkpath(directory);
    bool ok = true;

    auto* ui = VisualUIServices();
    ui->SetStartupScreenClass([] { return new TFStartupForm; });
    ui->ShowStartupScreen(1);
    ok &= Save(ui->StartupWindow(), directory + "/startup.png");

    TFMain main;
    main.show();
    ok &= QTest::qWaitForWindowExposed(&main);
    QTest::qWait(1200);
    TKvrFPCalculator* c = main.Calculator();
    Calculate(c, 1, "21.65", false);  // 50 Freestyle
    Calculate(c, 14, "53.10", false); // 100 Backstroke
    Calculate(c, 28, "950", true);    // 4 x 100 Freestyle
    c->ESwimTime->setFocus();
    ok &= Save(&main, directory + "/main.png");

    QTimer::singleShot(600, [&] {
        ok &= Save(ui->StartupWindow(), directory + "/about.png");
        ui->StartupWindow()->close();
    });
    main.ActAbout->trigger();

    TBSSwDocumentSettings layout;
    layout.ColumnCount = 2;
    layout.ColumnDistance = 1.0;
    layout.Orientation = orLandscape;
    layout.FooterLeft = {"Regional championships", "50m pool"};
    layout.FooterCenter = {"FINA Point Scoring 2011"};
    layout.FooterRight = {"Page @PAGE@"};
    TFBSSwReportSetupDlg setup(true, &main);
    setup.PrinterProperties = nullptr;
    setup.SetSettings(layout);
    setup.show();
    ok &= QTest::qWaitForWindowExposed(&setup);
    ok &= Save(&setup, directory + "/setup.png");
    setup.PceSettings->setCurrentWidget(setup.TsFooter);
    ok &= Save(&setup, directory + "/setup-footer.png");
    setup.PceSettings->setCurrentWidget(setup.TsHtml);
    ok &= Save(&setup, directory + "/setup-html.png");
    setup.reject();
    return ok ? 0 : 1;
}
