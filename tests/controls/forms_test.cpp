#include "controls/accelerators.h"
#include "controls/combo_box.h"
#include "controls/control_services.h"
#include "controls/edit.h"
#include "controls/forms.h"
#include "gui_test_support.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <memory>

namespace marqor::formtest {

// The windows of these tests, with the form sections of the test language (see
// gui_test_support.cpp).
class TTestBaseWindow : public TKvrForm {
    Q_OBJECT
public:
    TTestBaseWindow() {
        auto* layout = new QVBoxLayout(this);
        LName = new QLabel("Name", this);
        LName->setObjectName("LName");
        EName = new TBSEdit(this);
        EName->setObjectName("EName");
        LName->setBuddy(EName);
        BOk = new QPushButton("OK", this);
        BOk->setObjectName("BOk");
        BCancel = new QPushButton("Cancel", this);
        BCancel->setObjectName("BCancel");
        SetCancelButton(BCancel);
        for (QWidget* w : {static_cast<QWidget*>(LName), static_cast<QWidget*>(EName),
                           static_cast<QWidget*>(BOk), static_cast<QWidget*>(BCancel)})
            layout->addWidget(w);
        setGeometry(30, 40, 320, 240);
    }

    QLabel* LName;
    TBSEdit* EName;
    QPushButton* BOk;
    QPushButton* BCancel;
};

class TTestDerivedWindow : public TTestBaseWindow {
    Q_OBJECT
};

class TTestFixedDialog : public TKvrDialog {
    Q_OBJECT
public:
    TTestFixedDialog() { setFixedSize(300, 200); }
};

class TTestMainWindow : public TKvrMainWindow {
    Q_OBJECT
public:
    TTestMainWindow() {
        File = menuBar()->addMenu("&File");
        File->addAction("E&xit");
        setCentralWidget(new QWidget(this));
    }
    QMenu* File;
};

} // namespace marqor::formtest

using namespace marqor;
using namespace marqor::formtest;
using namespace marqor::test;

namespace {

std::string Stored(const char* className) {
    return UserSettings()->GetSection(className)->ReadRaw("WindowState", "");
}

void Store(const char* className, const char* text) {
    UserSettings()->GetSection(className)->WriteRaw("WindowState", text);
}

QString Plain(const QString& caption) {
    return QString(caption).remove('&');
}

class FormTest : public testing::Test {
protected:
    void SetUp() override { SetUserSettings(NewMemorySettings()); }
    void TearDown() override { SetUserSettings(NewMemorySettings()); }
};

TEST(PlacementText, ReadsMissingOrBadFieldsAsTheCurrentValuesAndDefaults) {
    const TBSWindowPlacement current{1, 2, 3, 4, 9, 9};
    EXPECT_EQ(PlacementFromText("100,50,400,300,3,2", current),
              (TBSWindowPlacement{100, 50, 400, 300, 3, 2}));
    EXPECT_EQ(PlacementFromText("100,50", current), (TBSWindowPlacement{100, 50, 3, 4, 1, 2}));
    EXPECT_EQ(PlacementFromText("x,50,,y,z,q", current), (TBSWindowPlacement{1, 50, 3, 4, 1, 2}));
    EXPECT_EQ(PlacementToText({-8, 0, 950, 740, 1, 0}), "-8,0,950,740,1,0");
    EXPECT_EQ(WindowStatesOfShowCommand(7, 0, Qt::WindowNoState), Qt::WindowMinimized);
    EXPECT_EQ(WindowStatesOfShowCommand(9, 2, Qt::WindowMaximized), Qt::WindowNoState);
    EXPECT_EQ(WindowStatesOfShowCommand(4, 2, Qt::WindowMaximized), Qt::WindowMaximized);
}

TEST_F(FormTest, TheClassChainRunsFromTheLibraryBaseToTheWindowsOwnClass) {
    TTestDerivedWindow window;
    EXPECT_EQ(
        window.FormClassChain(),
        (std::vector<std::string>{"TBSForm", "TKvrForm", "TTestBaseWindow", "TTestDerivedWindow"}));
    TTestFixedDialog dialog;
    EXPECT_EQ(dialog.FormClassName(), "TTestFixedDialog");
}

TEST_F(FormTest, ADerivedWindowGetsItsBaseSectionFirstAndItsOwnWins) {
    TTestDerivedWindow derived;
    derived.Loaded();
    EXPECT_EQ(derived.windowTitle(), "Derived caption");
    EXPECT_EQ(Plain(derived.LName->text()), "Derived name");
    EXPECT_EQ(Plain(derived.BOk->text()), "Base OK");
    EXPECT_EQ(derived.BOk->toolTip(), "Base hint");

    TTestBaseWindow base;
    base.ensurePolished(); // loading runs before the first showing
    EXPECT_TRUE(base.IsLoaded());
    EXPECT_EQ(Plain(base.LName->text()), "Base name");
}

TEST_F(FormTest, TranslatedCaptionsGetUniqueAccelerators) {
    TTestDerivedWindow window;
    window.Loaded();
    const char32_t name = ExistingAccelerator(window.LName->text().toStdString());
    const char32_t ok = ExistingAccelerator(window.BOk->text().toStdString());
    EXPECT_NE(name, 0);
    EXPECT_NE(ok, 0);
    EXPECT_NE(name, ok);
    EXPECT_EQ(window.BCancel->text(), "Cancel"); // cancel buttons get none
}

TEST_F(FormTest, ClickingALabelFocusesItsControlAndEscapePressesCancel) {
    TTestBaseWindow window;
    int cancelled = 0;
    QObject::connect(window.BCancel, &QPushButton::clicked, [&] { ++cancelled; });
    ShowActive(&window);
    window.BOk->setFocus();
    QTest::mouseClick(window.LName, Qt::LeftButton);
    EXPECT_TRUE(window.EName->hasFocus());
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_EQ(cancelled, 1);
}

TEST_F(FormTest, AStoredMaximisedPlacementRestoresToItsNormalRectangle) {
    Store("TTestBaseWindow", "100,50,400,300,3,2");
    TTestBaseWindow window;
    window.show();
    EXPECT_TRUE(window.isMaximized());
    window.showNormal();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window.isMaximized(); }, 1000));
    EXPECT_EQ(window.geometry(), QRect(100, 50, 400, 300));
}

TEST_F(FormTest, AFixedSizeWindowTakesOnlyThePosition) {
    Store("TTestFixedDialog", "100,50,400,300,1,2");
    TTestFixedDialog dialog;
    dialog.show();
    EXPECT_EQ(dialog.geometry(), QRect(100, 50, 300, 200));
}

TEST_F(FormTest, TwoStoredFieldsMoveTheWindowAndKeepItsSizeAndState) {
    Store("TTestBaseWindow", "120,80");
    TTestBaseWindow window;
    window.show();
    EXPECT_EQ(window.geometry(), QRect(120, 80, 320, 240));
    EXPECT_EQ(window.windowState(), Qt::WindowNoState);
}

TEST_F(FormTest, WithoutAStoredPlacementTheWindowKeepsItsDesignedOne) {
    TTestBaseWindow window;
    window.show();
    EXPECT_EQ(window.geometry(), QRect(30, 40, 320, 240));
}

TEST_F(FormTest, APlacementSavedWhenTheWindowGoesIsRestoredNextTime) {
    {
        TTestBaseWindow window;
        ShowActive(&window);
        window.setGeometry(200, 100, 500, 400);
        EXPECT_EQ(window.PlacementText(), "200,100,500,400,1,0");
    }
    EXPECT_EQ(Stored("TTestBaseWindow"), "200,100,500,400,1,0");
    TTestBaseWindow again;
    again.show();
    EXPECT_EQ(again.geometry(), QRect(200, 100, 500, 400));
}

TEST_F(FormTest, AWindowThatNeverLoadedLeavesTheStoredPlacementAlone) {
    Store("TTestBaseWindow", "1,2,300,300,1,2");
    { TTestBaseWindow window; }
    EXPECT_EQ(Stored("TTestBaseWindow"), "1,2,300,300,1,2");
}

TEST_F(FormTest, TaggedControlsLoadAndSaveTheirValuesTogether) {
    TTestBaseWindow window;
    auto* course = new TBSComboBox(&window);
    course->setObjectName("CBCourse");
    course->AddItem("50m", 1);
    course->AddItem("25m", 2);
    course->SelectKey(2);
    SetTag(window.EName, 1);
    SetTag(course, 2);
    window.EName->SetDisplayText("Smith");

    auto settings = NewMemorySettings();
    window.SaveSettingsTo(*settings, 1);
    auto section = settings->GetSection("TTestBaseWindow");
    EXPECT_EQ(section->ReadRaw("EName", "-"), "Smith");
    EXPECT_EQ(section->ReadRaw("CBCourse", "-"), "-");

    section->WriteRaw("EName", "Jones");
    section->WriteRaw("CBCourse", "1");
    window.LoadSettingsFrom(*settings, 2);
    EXPECT_EQ(window.EName->text(), "Smith");
    EXPECT_EQ(course->SelectedKey(), 1);
}

TEST_F(FormTest, ControlsOfTheDefaultSizeTakeTheWindowsFont) {
    TTestBaseWindow window;
    QFont big("Sans", 12);
    window.setFont(big);
    QFont small("Serif", 8);
    window.EName->setFont(small);
    window.Loaded();
    EXPECT_EQ(window.EName->font().family(), window.font().family());
    EXPECT_EQ(window.EName->font().pointSize(), 12);
}

TEST_F(FormTest, EveryLiveWindowIsListed) {
    auto* first = new TTestBaseWindow;
    auto* second = new TTestFixedDialog;
    const auto forms = TBSFormCore::AllForms();
    EXPECT_NE(std::find(forms.begin(), forms.end(), first), forms.end());
    EXPECT_NE(std::find(forms.begin(), forms.end(), second), forms.end());
    delete first;
    const auto after = TBSFormCore::AllForms();
    EXPECT_EQ(std::find(after.begin(), after.end(), first), after.end());
    delete second;
}

// Records what the main window asks of the application layer.
class RecordingServices final : public IBSControlServices {
public:
    std::string ProductTitle() override { return "FINA Marqor"; }
    void AddMenuAction(int menu, const std::string& path, std::function<void()> callback) override {
        paths.push_back(std::to_string(menu) + ":" + path);
        callbacks.push_back(std::move(callback));
    }
    void InsertSupportMenus(QMenu* menu) override { menus.push_back(menu); }

    std::vector<std::string> paths;
    std::vector<std::function<void()>> callbacks;
    std::vector<QMenu*> menus;
};

TEST_F(FormTest, TheMainWindowSetsUpTitleDebugCommandsAndSupportMenusOnce) {
    auto services = std::make_shared<RecordingServices>();
    SetControlServices(services);
    TTestMainWindow main;
    main.MakeApplicationMainForm();
    main.show();
    main.hide();
    main.show();
    SetControlServices(nullptr);
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), "FINA Marqor");
    EXPECT_EQ(services->paths,
              (std::vector<std::string>{"0:> Library\\Size Mainform 950x740 Pixel",
                                        "0:> Library\\Size Mainform 780x620 Pixel"}));
    ASSERT_EQ(services->menus.size(), 1u);
    EXPECT_EQ(services->menus[0], main.File);
    services->callbacks[1]();
    EXPECT_EQ(main.size(), QSize(780, 620));

    TTestBaseWindow other; // not the main window
    other.show();
    EXPECT_EQ(services->paths.size(), 2u);
}

} // namespace

#include "forms_test.moc"
