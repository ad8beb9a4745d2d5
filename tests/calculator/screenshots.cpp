// Takes the pictures of the program's windows for its documentation: the start-up window, the
// main window after three calculations, the about box, the pages of the document settings
// dialog, the point table print window and its preview at full page, as PNG files in the
// directory given.
// Run it on a display (scripts/screenshots.sh starts one).

#include "calculator/main_window.h"
#include "calculator/program.h"
#include "calculator/startup_window.h"
#include "report_dialogs/preview_dialog.h"
#include "report_dialogs/print_point_table.h"
#include "report_dialogs/report_setup_dlg.h"
#include "services/config.h"
#include "services/ui.h"
#include "texts/kvr_language.h"
#include "ui_qt/gui_application.h"
#include "ui_qt/ui_visual.h"

#include <QApplication>
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

    TFPrintPointTable print(PointTables().GetPointTable(3004), sco50m, sgeMen, 99, &main);
    print.EPointsMin->SetAsInteger(1051);
    print.EPointsMax->SetAsInteger(1100);
    print.show();
    ok &= QTest::qWaitForWindowExposed(&print);
    ok &= Save(&print, directory + "/printdlg.png");
    // The preview opens at full page the first time; take it once it is up, then go back.
    QTimer::singleShot(1500, [&] {
        auto* preview = qobject_cast<TKvrPreviewDlg*>(QApplication::activeModalWidget());
        ok &= preview != nullptr;
        if (!preview)
            return;
        ok &= Save(preview, directory + "/preview.png");
        preview->reject();
    });
    print.btnPreviewClick();
    print.reject();
    return ok ? 0 : 1;
}
