// The main of the widget tests: the offscreen platform unless a display is asked for, every
// settings and data path in a temporary directory, user settings in memory, and a watchdog so
// that a test that opens an unexpected dialog fails instead of waiting forever for a click.

#include "foundation/resources.h"
#include "foundation/settings.h"
#include "foundation/text.h"
#include "gui_test_support.h"
#include "texts/language.h"

#include <QApplication>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <gtest/gtest.h>

namespace marqor::test {
bool AnswerModal(QWidget* dialog);
}

namespace {

using namespace marqor;

// English from the built-in data, plus the form sections of the test windows.
class TestLanguage final : public TBSLanguage {
public:
    TBSLanguages AvailableLanguages() const override { return {LanguageEnglish}; }
    IBSStringListPtr LoadLanguageLines(TBSLanguageId) override {
        const auto bytes = FindResource("Language_Data");
        auto lines = NewStringList();
        lines->SetLines(DecodeTextBytes(bytes ? *bytes : std::string_view()) + "\n" +
                        test::kTestFormSections);
        return lines;
    }
};

QWidget* OpenDialog() {
    if (QWidget* w = QApplication::activePopupWidget())
        return w;
    return QApplication::activeModalWidget();
}

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
        qputenv(name, home.path().toUtf8());
    qputenv("XDG_RUNTIME_DIR", home.path().toUtf8());
    QStandardPaths::setTestModeEnabled(true);

    QApplication app(argc, argv);
    RegisterLanguageClass<TestLanguage>();
    SetUserSettings(NewMemorySettings());
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
        if (test::AnswerModal(dialog))
            return;
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
    return RUN_ALL_TESTS();
}
