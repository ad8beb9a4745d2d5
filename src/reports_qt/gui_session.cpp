#include "reports_qt/gui_session.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <cstdlib>
#include <memory>

namespace marqor {

void EnsureGuiApplication() {
    if (QCoreApplication::instance())
        return;
    const bool hasDisplay = std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
    if (!std::getenv("QT_QPA_PLATFORM") && !hasDisplay)
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // The arguments must outlive the application object, which lives to the end of the process.
    static int argc = 1;
    static char name[] = "marqor";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<QGuiApplication> application =
        std::make_unique<QGuiApplication>(argc, argv);
}

} // namespace marqor
