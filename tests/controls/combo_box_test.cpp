#include "controls/combo_box.h"
#include "controls/edit_rules.h"
#include "foundation/errors.h"
#include "gui_test_support.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <memory>

using namespace marqor;
using namespace marqor::test;

namespace {

IBSLookupItemsPtr Courses(std::initializer_list<std::pair<int, const char*>> entries) {
    auto items = NewLookupItems();
    for (const auto& [key, text] : entries)
        items->SetText(key, text);
    return items;
}

class ComboBoxTest : public testing::Test {
protected:
    void SetUp() override {
        window_ = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(window_.get());
        combo_ = new TBSComboBox(window_.get());
        combo_->setObjectName("CBCourse");
        next_ = new QLineEdit(window_.get());
        layout->addWidget(combo_);
        layout->addWidget(next_);
        combo_->OnUserChange = [this](TBSCustomComboBox&) {
            ++changes_;
        };
    }

    void Fill() {
        combo_->AddItem("50m Pool", 1);
        combo_->AddItem("25m Pool", 2);
        combo_->AddItem("25y Pool", 3);
    }
    void Show() {
        ShowActive(window_.get());
        FocusByTab(combo_);
    }

    std::unique_ptr<QWidget> window_;
    TBSComboBox* combo_ = nullptr;
    QLineEdit* next_ = nullptr;
    int changes_ = 0;
};

TEST_F(ComboBoxTest, AMandatoryKeyListSelectsItsFirstItemSilently) {
    combo_->SetMandatory(true);
    combo_->AddItem("50m Pool", 1);
    EXPECT_EQ(combo_->SelectedKey(), 1);
    combo_->AddItem("25m Pool", 2);
    EXPECT_EQ(combo_->SelectedKey(), 1);
    EXPECT_EQ(changes_, 0);
}

TEST_F(ComboBoxTest, AListThatIsNotMandatoryStartsWithoutSelection) {
    Fill();
    EXPECT_FALSE(combo_->HasSelection());
    EXPECT_EQ(combo_->SelectedKey(), 0);
    EXPECT_EQ(combo_->ValueText(), "0");
}

TEST_F(ComboBoxTest, SelectingAnAbsentKeyFallsBackByTheMandatoryRule) {
    Fill();
    combo_->SelectKey(2);
    combo_->SelectKey(9);
    EXPECT_FALSE(combo_->HasSelection());
    EXPECT_EQ(combo_->SelectedKey(), 0);
    combo_->SetMandatory(true);
    EXPECT_EQ(combo_->SelectedKey(), 1);
    combo_->SelectKey(3);
    combo_->SelectKey(9);
    EXPECT_EQ(combo_->SelectedKey(), 1);
    EXPECT_EQ(changes_, 0);
}

TEST_F(ComboBoxTest, NewItemsKeepTheSelectedKeyWhereTheyStillHaveIt) {
    combo_->SetMandatory(true);
    combo_->SetLookupItems(Courses({{1, "50m Pool"}, {2, "25m Pool"}}).get());
    combo_->SelectKey(2);
    combo_->SetLookupItems(Courses({{3, "25y Pool"}, {2, "25m Pool"}}).get());
    EXPECT_EQ(combo_->SelectedKey(), 2);
    EXPECT_EQ(combo_->currentText(), "25m Pool");
    combo_->SetLookupItems(Courses({{1, "50m Pool"}, {3, "25y Pool"}}).get());
    EXPECT_EQ(combo_->SelectedKey(), 1);
    EXPECT_EQ(changes_, 0);
}

TEST_F(ComboBoxTest, ChoosingWithTheMouseReportsOnceAtOnce) {
    Fill();
    Show();
    combo_->showPopup();
    QAbstractItemView* view = combo_->view();
    ASSERT_TRUE(QTest::qWaitFor([view] { return view->isVisible(); }, 1000));
    const QRect item = view->visualRect(view->model()->index(1, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, item.center());
    EXPECT_EQ(combo_->SelectedKey(), 2);
    EXPECT_EQ(changes_, 1);
    QTest::qWait(UserChangeDelayMs + 50);
    EXPECT_EQ(changes_, 1);
}

TEST_F(ComboBoxTest, TypingIntoATextListReportsAfterTheDelayOrOnExit) {
    combo_->SetComboBoxType(cbtText);
    Fill();
    Show();
    QTest::keyClicks(combo_->lineEdit(), "Open");
    EXPECT_EQ(changes_, 0);
    EXPECT_TRUE(QTest::qWaitFor([this] { return changes_ == 1; }, 1000));
    EXPECT_EQ(combo_->ValueText(), "Open");
    QTest::keyClicks(combo_->lineEdit(), "!");
    QTest::keyClick(combo_->lineEdit(), Qt::Key_Tab);
    EXPECT_EQ(changes_, 2);
}

TEST_F(ComboBoxTest, BackspaceClearsAListThatIsNotMandatoryAndReportsLater) {
    Fill();
    combo_->SelectKey(2);
    Show();
    QTest::keyClick(combo_, Qt::Key_Backspace);
    EXPECT_FALSE(combo_->HasSelection());
    EXPECT_EQ(changes_, 0);
    EXPECT_TRUE(QTest::qWaitFor([this] { return changes_ == 1; }, 1000));
}

TEST_F(ComboBoxTest, BackspaceOnAMandatoryListDoesNothingSpecial) {
    combo_->SetMandatory(true);
    Fill();
    combo_->SelectKey(2);
    Show();
    QTest::keyClick(combo_, Qt::Key_Backspace);
    EXPECT_EQ(combo_->SelectedKey(), 2);
    QTest::qWait(UserChangeDelayMs + 50);
    EXPECT_EQ(changes_, 0);
}

TEST_F(ComboBoxTest, AnIndexListReadsItsValueTextAsAClampedPosition) {
    combo_->SetComboBoxType(cbtIndex);
    Fill();
    combo_->SetValueText("7");
    EXPECT_EQ(combo_->currentIndex(), 2);
    combo_->SetValueText("x");
    EXPECT_EQ(combo_->currentIndex(), -1);
    EXPECT_EQ(combo_->ValueText(), "-1");
    EXPECT_EQ(IndexOfValueText("-5", 3), -1);
    EXPECT_EQ(KeyOfValueText(""), 0);
    EXPECT_EQ(KeyOfValueText("x"), -1);
}

TEST_F(ComboBoxTest, AReadOnlyListCannotBeOpenedChangedClearedOrTabbedTo) {
    Fill();
    combo_->SelectKey(2);
    combo_->SetShowClearButton(true);
    Show();
    combo_->SetReadOnly(true);
    combo_->showPopup();
    EXPECT_FALSE(combo_->view()->isVisible());
    for (Qt::Key key : {Qt::Key_Down, Qt::Key_Up, Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_F4})
        QTest::keyClick(combo_, key);
    EXPECT_EQ(combo_->SelectedKey(), 2);
    ASSERT_NE(combo_->ClearButton(), nullptr);
    EXPECT_FALSE(combo_->ClearButton()->isEnabled());
    EXPECT_EQ(combo_->focusPolicy() & Qt::TabFocus, 0);
    QTest::qWait(UserChangeDelayMs + 50);
    EXPECT_EQ(changes_, 0);
}

TEST_F(ComboBoxTest, TheClearButtonClearsAndExistsOnlyWithoutMandatory) {
    Fill();
    combo_->SelectKey(3);
    combo_->SetShowClearButton(true);
    Show();
    ASSERT_NE(combo_->ClearButton(), nullptr);
    EXPECT_TRUE(combo_->ClearButton()->isVisible());
    QTest::mouseClick(combo_->ClearButton(), Qt::LeftButton);
    EXPECT_FALSE(combo_->HasSelection());
    EXPECT_TRUE(QTest::qWaitFor([this] { return changes_ == 1; }, 1000));
    combo_->SetMandatory(true);
    EXPECT_EQ(combo_->ClearButton(), nullptr);
}

TEST_F(ComboBoxTest, ResolvesTextReferencesOfItsItems) {
    combo_->AddItem("#BSSwLanguage.AllPools", 0);
    combo_->AddItem("#NoSuch.Text", 1);
    EXPECT_EQ(combo_->itemText(0), "All pools");
    EXPECT_EQ(combo_->itemText(1), "#NoSuch.Text");
    EXPECT_EQ(combo_->KeyAt(1), 1);
    EXPECT_THROW(combo_->KeyAt(2), EListError);
}

TEST_F(ComboBoxTest, KeepsItsValueTextInSettingsAndHandsOutItsValue) {
    Fill();
    combo_->SelectKey(3);
    TBSMemorySection section;
    combo_->SaveToSection(section);
    EXPECT_EQ(section.ReadRaw("CBCourse", ""), "3");
    section.WriteRaw("CBCourse", "2");
    combo_->LoadFromSection(section);
    EXPECT_EQ(combo_->SelectedKey(), 2);
    EXPECT_EQ(combo_->GetValue().AsInteger(), 2);
    combo_->SetValue(TBSControlValue::Integer(1));
    EXPECT_EQ(combo_->SelectedKey(), 1);
}

TEST_F(ComboBoxTest, TranslatesTheItemsOfIndexListsButNotOfKeyLists) {
    Fill();
    combo_->SelectKey(2);
    auto lines = NewStringListFrom({"Pick a pool", "Long", "Short"});
    combo_->ApplyTexts(*lines, 0, 3);
    EXPECT_EQ(combo_->count(), 3); // key list: the items stay
    EXPECT_EQ(combo_->toolTip(), "Pick a pool");
    auto collected = NewStringList();
    combo_->CollectTexts(*collected);
    EXPECT_TRUE(collected->IsEmpty());

    combo_->SetComboBoxType(cbtIndex);
    combo_->ApplyTexts(*NewStringListFrom({".", "Long", "Short"}), 0, 3);
    EXPECT_EQ(combo_->count(), 2);
    EXPECT_EQ(combo_->currentIndex(), 1);
    EXPECT_EQ(combo_->currentText(), "Short");
    EXPECT_EQ(combo_->toolTip(), "Pick a pool");
    combo_->CollectTexts(*collected);
    EXPECT_EQ(collected->Join("|"), "Pick a pool|Long|Short");
    combo_->ApplyTexts(*NewStringListFrom({"Pool"}), 0, 1); // the hint only: items stay
    EXPECT_EQ(combo_->count(), 2);
    EXPECT_EQ(combo_->toolTip(), "Pool");
}

TEST(DropDownListWidth, GrowsToTheWidestItemWithinTheLimit) {
    EXPECT_EQ(DropDownListWidth(100, 0, 0, 300, 5, 8), 100);
    EXPECT_EQ(DropDownListWidth(100, 0, -1, 300, 5, 8), 308);
    EXPECT_EQ(DropDownListWidth(100, 0, -1, 300, 9, 8), 324);
    EXPECT_EQ(DropDownListWidth(100, 0, 200, 300, 5, 8), 200);
    EXPECT_EQ(DropDownListWidth(100, 20, -1, 50, 5, 8), 118);
}

TEST(FontComboBox, ListsSortedFontsAndSelectsByNameWithoutCase) {
    TBSFontComboBox fonts;
    fonts.SetOptions(tfcVarPitch | tfcFixedPitch);
    ASSERT_GT(fonts.count(), 0);
    for (int i = 1; i < fonts.count(); ++i)
        EXPECT_LE(fonts.itemText(i - 1).compare(fonts.itemText(i), Qt::CaseInsensitive), 0);
    const std::string name = fonts.itemText(fonts.count() - 1).toStdString();
    fonts.SelectFontName(QString::fromStdString(name).toUpper().toStdString());
    EXPECT_EQ(fonts.FontName(), name);
    fonts.SelectFontName("No Such Font");
    EXPECT_EQ(fonts.currentIndex(), -1);
    fonts.setObjectName("CBFont");
    TBSMemorySection section;
    section.WriteRaw("CBFont", name);
    fonts.LoadFromSection(section);
    EXPECT_EQ(fonts.FontName(), name);
}

} // namespace
