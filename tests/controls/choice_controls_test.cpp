#include "controls/choice_controls.h"
#include "controls/edit.h"
#include "gui_test_support.h"

#include <QMenu>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <memory>

using namespace marqor;
using namespace marqor::test;

namespace {

QColor CaptionColour(const QWidget* w, QPalette::ColorGroup group) {
    return w->palette().color(group, QPalette::WindowText);
}

class ChoiceTest : public testing::Test {
protected:
    void SetUp() override {
        window_ = std::make_unique<QWidget>();
        layout_ = new QVBoxLayout(window_.get());
    }
    template <typename T> T* Add(const char* name) {
        auto* w = new T(window_.get());
        w->setObjectName(name);
        layout_->addWidget(w);
        return w;
    }
    void Show() { ShowActive(window_.get()); }

    std::unique_ptr<QWidget> window_;
    QVBoxLayout* layout_ = nullptr;
};

TEST_F(ChoiceTest, AReadOnlyRadioGroupRefusesClicksButStaysReadable) {
    auto* group = Add<TKvrRadioGroup>("RgrGeschlecht");
    group->SetItems({"&Men", "&Women"});
    group->SetItemIndex(0);
    int clicks = 0;
    group->OnClick = [&](TKvrRadioGroup&) {
        ++clicks;
    };
    Show();
    group->SetReadOnly(true);
    QTest::mouseClick(group->Button(1), Qt::LeftButton);
    EXPECT_EQ(group->ItemIndex(), 0);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(CaptionColour(group->Button(1), QPalette::Disabled),
              CaptionColour(group->Button(1), QPalette::Active));
    EXPECT_EQ(group->Caption(), "");
    EXPECT_EQ(group->Items(), (std::vector<std::string>{"&Men", "&Women"}));

    group->SetReadOnly(false);
    QTest::mouseClick(group->Button(1), Qt::LeftButton);
    EXPECT_EQ(group->ItemIndex(), 1);
    EXPECT_EQ(clicks, 1);
}

TEST_F(ChoiceTest, ADisabledRadioGroupLooksDisabled) {
    auto* group = Add<TKvrRadioGroup>("RgrA");
    group->SetItems({"One", "Two"});
    Show();
    group->SetEnabled(false);
    group->SetReadOnly(true);
    EXPECT_FALSE(group->isEnabled());
    EXPECT_FALSE(group->property("marqorReadableLook").toBool());
}

TEST_F(ChoiceTest, ARadioGroupLaysItsItemsOutColumnByColumn) {
    auto* group = Add<TKvrRadioGroup>("RgrA");
    group->SetColumns(2);
    group->SetItems({"a", "b", "c", "d", "e"});
    Show();
    // Three rows: a b c in the first column, d e in the second.
    EXPECT_EQ(group->Button(0)->x(), group->Button(2)->x());
    EXPECT_LT(group->Button(2)->x(), group->Button(3)->x());
    EXPECT_EQ(group->Button(0)->y(), group->Button(3)->y());
}

TEST_F(ChoiceTest, ARadioGroupTakesCaptionHintAndItemsFromATranslation) {
    auto* group = Add<TKvrRadioGroup>("RgrGeschlecht");
    group->SetCaption("Geschlecht");
    group->SetItems({"M", "W"});
    group->SetItemIndex(1);
    group->ApplyTexts(*NewStringListFrom({"Gender", "", "Men", "Women", ""}), 0, 5);
    EXPECT_EQ(group->Caption(), "Gender");
    EXPECT_EQ(group->Items(), (std::vector<std::string>{"Men", "Women"}));
    EXPECT_EQ(group->ItemIndex(), 1);
    auto collected = NewStringList();
    group->CollectTexts(*collected);
    EXPECT_EQ(collected->Join("|"), "Gender|.|Men|Women");
    // A block with the caption only keeps the items.
    group->ApplyTexts(*NewStringListFrom({"Sex"}), 0, 1);
    EXPECT_EQ(group->Count(), 2);
    // Fewer items than the selected position: the last item is selected.
    group->ApplyTexts(*NewStringListFrom({".", ".", "Everyone"}), 0, 3);
    EXPECT_EQ(group->Caption(), "Sex");
    EXPECT_EQ(group->ItemIndex(), 0);
}

TEST_F(ChoiceTest, AReadOnlyRadioButtonCannotBeClickedAndKeepsItsCaptionReadable) {
    auto* button = Add<TKvrRadioButton>("RBTime");
    button->SetCaption("Enter time:");
    Show();
    button->SetReadOnly(true);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_FALSE(button->isChecked());
    EXPECT_EQ(button->Caption(), "Enter time:");
    EXPECT_EQ(CaptionColour(button, QPalette::Disabled), CaptionColour(button, QPalette::Active));
    button->SetReadOnly(false);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(button->isChecked());
}

TEST_F(ChoiceTest, ProductCheckBoxesToggleStoreAndTranslate) {
    auto* box = Add<TKvrCheckBox>("CBRelay");
    box->SetCaption("Relay");
    int toggles = 0;
    box->OnToggle = [&](TKvrCheckBox&) {
        ++toggles;
    };
    Show();
    QTest::mouseClick(box, Qt::LeftButton);
    EXPECT_TRUE(box->isChecked());
    EXPECT_EQ(toggles, 1);
    TBSMemorySection section;
    box->SaveToSection(section);
    EXPECT_EQ(section.ReadRaw("CBRelay", ""), "T");
    section.WriteRaw("CBRelay", "Nein");
    box->LoadFromSection(section);
    EXPECT_FALSE(box->isChecked());
    box->ApplyTexts(*NewStringListFrom({"Relays", "Relay events only"}), 0, 2);
    EXPECT_EQ(box->Caption(), "Relays");
    EXPECT_EQ(box->toolTip(), "Relay events only");
}

TEST_F(ChoiceTest, AUserNeverLeavesAGrayedCheckBoxGrayed) {
    auto* box = Add<TBSCheckBox>("CBShow");
    box->setText("Show");
    box->SetAllowGrayed(true);
    box->SetCheckState(cbGrayed);
    int changes = 0;
    box->OnUserChange = [&](TBSCheckBox&) {
        ++changes;
    };
    Show();
    QTest::mouseClick(box, Qt::LeftButton);
    EXPECT_EQ(box->CheckState(), cbChecked);
    QTest::mouseClick(box, Qt::LeftButton);
    EXPECT_EQ(box->CheckState(), cbUnchecked);
    QTest::mouseClick(box, Qt::LeftButton);
    EXPECT_EQ(box->CheckState(), cbChecked);
    EXPECT_EQ(changes, 3);
    box->setChecked(false); // by code: no report
    EXPECT_EQ(changes, 3);
}

TEST_F(ChoiceTest, AReadOnlyCheckBoxIgnoresTogglesAndIsNoTabStop) {
    auto* box = Add<TBSCheckBox>("CBShow");
    box->setText("Show");
    int changes = 0;
    box->OnUserChange = [&](TBSCheckBox&) {
        ++changes;
    };
    Show();
    box->SetReadOnly(true);
    QTest::mouseClick(box, Qt::LeftButton);
    QTest::keyClick(box, Qt::Key_Space);
    EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(box->focusPolicy() & Qt::TabFocus, 0);
    EXPECT_TRUE(box->isEnabled());
}

TEST_F(ChoiceTest, AGeneralRadioGroupReportsClicksAndHandsOutItsValues) {
    auto* group = Add<TBSRadioGroup>("RGMode");
    group->SetItems({"Individual", "Relay"});
    group->Values = {"I", "R"};
    int changes = 0;
    group->OnUserChange = [&](TBSRadioGroup&) {
        ++changes;
    };
    Show();
    group->SetItemIndex(0);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(group->GetValue().AsString(), "I");
    QTest::mouseClick(group->Button(1), Qt::LeftButton);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(group->GetValue().AsString(), "R");
    QTest::mouseClick(group->Button(1), Qt::LeftButton); // already selected: no change
    EXPECT_EQ(changes, 1);
    group->SetValue(TBSControlValue::String("X"));
    EXPECT_EQ(group->ItemIndex(), -1);
    EXPECT_EQ(group->GetValue().AsString(), "");
    group->SetReadOnly(true);
    QTest::mouseClick(group->Button(0), Qt::LeftButton);
    EXPECT_EQ(group->ItemIndex(), -1);
    EXPECT_EQ(changes, 1);
}

TEST_F(ChoiceTest, AMenuButtonOpensItsMenuAndReportsTheChosenTag) {
    auto* button = Add<TBSMenuButton>("BMore");
    button->setText("More");
    button->AddMenuItem("#BSSwLanguage.AllPools", 7);
    button->AddMenuItem("Plain", 9);
    int chosen = 0;
    button->OnItemSelect = [&](TBSMenuButton&, int tag) {
        chosen = tag;
    };
    Show();
    EXPECT_EQ(button->Menu()->actions().at(0)->text(), "All pools");
    OnNextModal([](QWidget* popup) {
        auto* menu = qobject_cast<QMenu*>(popup);
        ASSERT_NE(menu, nullptr);
        menu->actions().at(1)->trigger();
        menu->close();
    });
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return chosen == 9; }, 2000));
}

TEST_F(ChoiceTest, APanelPassesItsReadOnlyStateToTheControlsThatFollowIt) {
    auto* panel = Add<TBSPanel>("PnlInput");
    auto* edit = new TBSEdit(panel);
    auto* box = new TBSCheckBox(panel);
    panel->SetReadOnly(true);
    EXPECT_TRUE(edit->GetReadOnly());
    EXPECT_TRUE(box->GetReadOnly());
    panel->SetReadOnly(false);
    EXPECT_FALSE(edit->GetReadOnly());
}

} // namespace
