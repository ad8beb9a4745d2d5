#include "controls/edit.h"
#include "controls/lookup.h"
#include "gui_test_support.h"

#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <memory>

using namespace marqor;
using namespace marqor::test;

namespace {

const std::vector<TKvrLookupLine> kLines = {
    {"AB", "Able-bodied"}, {"1", "Class 1"}, {"2", "Class 2"}, {"GB", "Guest"}};

TEST(LookupRules, PreselectsTheCodesOfTheText) {
    EXPECT_EQ(PreselectedLookupRows(kLines, "1", false), (std::vector<int>{1}));
    EXPECT_EQ(PreselectedLookupRows(kLines, "X", false), (std::vector<int>{}));
    EXPECT_EQ(PreselectedLookupRows(kLines, "GB, 1;AB", true), (std::vector<int>{0, 1, 3}));
    EXPECT_EQ(LookupResultText(kLines, {0, 3}, true), "AB,GB");
    EXPECT_EQ(LookupResultText(kLines, {2, 3}, false), "2");
    EXPECT_EQ(LookupIndexOfCode(LookupLines(*NewStringListFrom({"A=x", "B"})), "B"), 1);
}

TEST(LookupRules, SizesThePopupToItsLabelsAndTheScreen) {
    EXPECT_EQ(LookupListSize(100, 0, 0, false, 5, 1000), QSize(108, 67));
    EXPECT_EQ(LookupListSize(100, 150, 16, true, 5, 1000), QSize(178, 83));
    // More than 20 lines: 260 pixels and a scroll bar.
    EXPECT_EQ(LookupListSize(100, 0, 0, false, 30, 1000), QSize(128, 262));
    // A small screen: 80 % of 200 pixels in whole lines of 13.
    EXPECT_EQ(LookupListSize(100, 0, 0, false, 15, 200), QSize(128, 158));
}

class LookupTest : public testing::Test {
protected:
    void SetUp() override {
        window_ = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(window_.get());
        edit_ = new TBSEdit(window_.get());
        edit_->setObjectName("EHandicap");
        layout->addWidget(edit_);
        lookup_ = new TLookup(edit_);
        lookup_->SetLines(*NewStringListFrom({"AB=Able-bodied", "1=Class 1", "2=Class 2"}));
        lookup_->AfterLookup = [this](QLineEdit&) {
            ++after_;
        };
        ShowActive(window_.get());
        FocusByTab(edit_);
    }

    QListWidget* OpenWithF2() {
        QTest::keyClick(edit_, Qt::Key_F2);
        EXPECT_NE(lookup_->OpenList(), nullptr);
        return lookup_->OpenList() ? lookup_->OpenList()->List() : nullptr;
    }

    std::unique_ptr<QWidget> window_;
    TBSEdit* edit_ = nullptr;
    TLookup* lookup_ = nullptr;
    int after_ = 0;
};

TEST_F(LookupTest, ShowsItsButtonBesideTheFieldWhileItHasLines) {
    ASSERT_NE(lookup_->Button(), nullptr);
    EXPECT_TRUE(lookup_->Button()->isVisible());
    EXPECT_EQ(lookup_->Button()->x(), edit_->geometry().right() + 1);
    edit_->SetReadOnly(true);
    EXPECT_FALSE(lookup_->Button()->isEnabled());
    lookup_->SetLines(*NewStringList());
    EXPECT_EQ(lookup_->Button(), nullptr);
}

TEST_F(LookupTest, ReturnWritesTheChosenCodeIntoTheField) {
    edit_->SetDisplayText("1");
    QListWidget* list = OpenWithF2();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->currentRow(), 1); // the field's code
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(edit_->text(), "2");
    EXPECT_EQ(edit_->selectedText(), "2");
    EXPECT_EQ(after_, 1);
    EXPECT_TRUE(lookup_->IsKnownCode());
}

TEST_F(LookupTest, EscapeKeepsTheFieldAsItWas) {
    edit_->SetDisplayText("AB");
    QListWidget* list = OpenWithF2();
    ASSERT_NE(list, nullptr);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Escape);
    EXPECT_EQ(edit_->text(), "AB");
    EXPECT_EQ(after_, 1);
}

TEST_F(LookupTest, MultipleModeJoinsTheTickedCodes) {
    lookup_->SetMultiSel(true);
    edit_->SetDisplayText("2");
    QListWidget* list = OpenWithF2();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->item(2)->checkState(), Qt::Checked);
    list->item(0)->setCheckState(Qt::Checked);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(edit_->text(), "AB,2");
}

TEST_F(LookupTest, AVetoedLookupOnlyTellsThatItEnded) {
    bool sawKnown = false;
    lookup_->BeforeLookup = [&](QLineEdit&, bool known, bool& allow) {
        sawKnown = known;
        allow = false;
    };
    edit_->SetDisplayText("AB");
    QTest::keyClick(edit_, Qt::Key_F2);
    EXPECT_EQ(lookup_->OpenList(), nullptr);
    EXPECT_TRUE(sawKnown);
    EXPECT_EQ(after_, 1);
}

TEST_F(LookupTest, ShowsTheLabelOfTheFieldsCode) {
    lookup_->SetShowDispLabel(true);
    edit_->SetDisplayText("1");
    ASSERT_NE(lookup_->DispLabel(), nullptr);
    EXPECT_EQ(lookup_->DispLabel()->text(), "Class 1");
    edit_->SetDisplayText("9");
    EXPECT_EQ(lookup_->DispLabel()->text(), "");
}

} // namespace
