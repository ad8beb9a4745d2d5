#include "window_test_main.h"

#include "../controls/gui_test_support.h"
#include "services/config.h"
#include "services/ui.h"
#include "texts/kvr_language.h"
#include "ui_qt/gui_application.h"
#include "ui_qt/ui_visual.h"

#include <QApplication>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <gtest/gtest.h>

namespace marqor::test {

bool AnswerModal(QWidget* dialog);

namespace {

std::string& HomeSlot() {
    static std::string home;
    return home;
}

QWidget* OpenDialog() {
    if (QWidget* w = QApplication::activePopupWidget())
        return w;
    return QApplication::activeModalWidget();
}

} // namespace

const std::string& TestHome() {
    return HomeSlot();
}

std::string TestProgramDirectory() {
    return HomeSlot() + "/bin";
}

int RunWindowTests(int argc, char** argv, const std::function<void()>& connect) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    HomeSlot() = home.path().toStdString();
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
        qputenv(name, home.path().toUtf8());
    qputenv("XDG_RUNTIME_DIR", home.path().toUtf8());
    QStandardPaths::setTestModeEnabled(true);

    RegisterLanguageClass<TLanguageKavrin>();
    TBSApplicationSetup setup;
    setup.Version = BuiltInVersionInfo();
    setup.Executable = NewFile(TestProgramDirectory() + "/marqor");
    SetApplicationSetup(std::move(setup));

    TBSGuiApplication app(argc, argv);
    RegisterUIClass<TBSUIVisual>();
    ConnectServicesToUI();
    StartApplicationServices();
    connect();
    testing::InitGoogleTest(&argc, argv);

    // A dialog nobody expects gets three seconds, then fails the test and is closed.
    QTimer watchdog;
    QWidget* seen = nullptr;
    auto since = std::chrono::steady_clock::now();
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        QWidget* dialog = OpenDialog();
        if (!dialog) {
            seen = nullptr;
            return;
        }
        if (AnswerModal(dialog)) {
            seen = dialog;
            since = std::chrono::steady_clock::now() + std::chrono::seconds(3);
            return;
        }
        if (dialog != seen) {
            seen = dialog;
            since = std::chrono::steady_clock::now();
            return;
        }
        if (std::chrono::steady_clock::now() - since > std::chrono::seconds(3)) {
            ADD_FAILURE() << "An unexpected dialog opened: " << dialog->metaObject()->className()
                          << " " << dialog->objectName().toStdString();
            dialog->close();
            seen = nullptr;
        }
    });
    watchdog.start(20);
    const int result = RUN_ALL_TESTS();
    watchdog.stop();
    return result;
}

} // namespace marqor::test
