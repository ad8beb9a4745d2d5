#include "controls/edit.h"
#include "controls/popups.h"
#include "gui_test_support.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <memory>

using namespace marqor;
using namespace marqor::test;

namespace {

const QColor kWarning(255, 170, 170);

QColor Background(const QWidget* w) {
    return w->palette().color(QPalette::Active, QPalette::Base);
}

// A window with the field under test and a plain field after it to leave it for.
class EditTest : public testing::Test {
protected:
    void SetUp() override {
        window_ = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(window_.get());
        edit_ = new TBSEdit(window_.get());
        edit_->setObjectName("EField");
        next_ = new QLineEdit(window_.get());
        layout->addWidget(edit_);
        layout->addWidget(next_);
        edit_->OnUserChange = [this](TBSEdit&) {
            ++changes_;
        };
        ShowActive(window_.get());
        FocusByTab(edit_);
    }

    void Type(const char* text) { QTest::keyClicks(edit_, text); }
    void Leave() {
        QTest::keyClick(edit_, Qt::Key_Tab);
        ASSERT_TRUE(next_->hasFocus());
    }

    std::unique_ptr<QWidget> window_;
    TBSEdit* edit_ = nullptr;
    QLineEdit* next_ = nullptr;
    int changes_ = 0;
};

TEST_F(EditTest, ShowsTheNormalSwimTimeAfterLeavingTheField) {
    edit_->SetEditType(etSwimtime);
    Type("1:05");
    EXPECT_EQ(edit_->text(), "1:05");
    Leave();
    EXPECT_EQ(edit_->text(), "1.05");
    EXPECT_EQ(edit_->AsSwimTime(), 1050);
}

TEST_F(EditTest, AnUnreadableSwimTimeNeverWarnsReadsAsNoTimeAndEmptiesOnExit) {
    edit_->SetEditType(etSwimtime);
    Type("abc");
    EXPECT_NE(Background(edit_), kWarning);
    EXPECT_EQ(edit_->AsSwimTime(), NoSwimTime);
    Leave();
    EXPECT_EQ(edit_->text(), "");
}

TEST_F(EditTest, ShowsTheWarningBackgroundWhileTheTextIsUnreadable) {
    edit_->SetEditType(etInteger);
    const QColor normal = Background(edit_);
    Type("12a");
    EXPECT_FALSE(edit_->IsValid());
    EXPECT_EQ(Background(edit_), kWarning);
    QTest::keyClick(edit_, Qt::Key_Backspace);
    EXPECT_TRUE(edit_->IsValid());
    EXPECT_EQ(Background(edit_), normal);
}

TEST_F(EditTest, ClampsTypedNumbersToTheLimitsAndShowsTheClampedValue) {
    edit_->SetEditType(etInteger);
    edit_->SetMinValue(0);
    edit_->SetMaxValue(1200);
    Type("1500");
    EXPECT_EQ(edit_->AsInteger(), 1200);
    Leave();
    EXPECT_EQ(edit_->text(), "1,200");
}

TEST_F(EditTest, ReportsTypingButNeverValuesSetByCode) {
    edit_->SetEditType(etInteger);
    edit_->SetUserChangeDelay(ucdImmediate);
    edit_->SetAsInteger(42);
    edit_->SetDisplayText("7");
    edit_->SetAsFloat(3);
    EXPECT_EQ(changes_, 0);
    Type("5");
    EXPECT_EQ(changes_, 1);
    Leave(); // the exit normalisation is no user change either
    EXPECT_EQ(changes_, 1);
}

TEST_F(EditTest, DelayedReportComesOnceAfterTheLastKey) {
    edit_->SetEditType(etInteger);
    Type("123");
    QElapsedTimer sinceLastKey;
    sinceLastKey.start();
    EXPECT_EQ(changes_, 0);
    QTest::qWait(UserChangeDelayMs / 2);
    if (sinceLastKey.elapsed() < UserChangeDelayMs) { // a busy machine may have slept longer
        EXPECT_EQ(changes_, 0);
    }
    EXPECT_TRUE(QTest::qWaitFor([this] { return changes_ == 1; }, 1000));
    QTest::qWait(UserChangeDelayMs + 50);
    EXPECT_EQ(changes_, 1);
}

TEST_F(EditTest, LeavingWithinTheDelayReportsAtOnceAndNotAgain) {
    Type("12");
    Leave();
    EXPECT_EQ(changes_, 1);
    QTest::qWait(UserChangeDelayMs + 50);
    EXPECT_EQ(changes_, 1);
}

TEST_F(EditTest, OnExitTimingReportsEveryExitChangedOrNot) {
    edit_->SetUserChangeDelay(ucdOnExit);
    Type("x");
    EXPECT_EQ(changes_, 0);
    Leave();
    EXPECT_EQ(changes_, 1);
    FocusByTab(edit_);
    Leave();
    EXPECT_EQ(changes_, 2);
}

TEST_F(EditTest, AReadOnlyFieldTakesNoTypingShowsButtonFaceAndKeepsItsText) {
    edit_->SetEditType(etInteger);
    edit_->SetDisplayText("0012");
    edit_->SetReadOnly(true);
    EXPECT_EQ(Background(edit_), QApplication::palette(edit_).color(QPalette::Button));
    EXPECT_EQ(edit_->focusPolicy() & Qt::TabFocus, 0);
    Type("9");
    Leave();
    EXPECT_EQ(edit_->text(), "0012");
    EXPECT_EQ(changes_, 0);
}

TEST_F(EditTest, ShowsTheHintOnlyWhileEmptyAndUnfocused) {
    edit_->SetHintWhenEmpty("Search");
    EXPECT_TRUE(edit_->placeholderText().isEmpty()); // focused
    Leave();
    EXPECT_EQ(edit_->placeholderText(), "Search");
    EXPECT_TRUE(edit_->font().italic());
    EXPECT_EQ(edit_->ValueText(), "");
    FocusByTab(edit_);
    EXPECT_TRUE(edit_->placeholderText().isEmpty());
    EXPECT_FALSE(edit_->font().italic());
}

TEST_F(EditTest, CutsTheValueToEditMaxLength) {
    Type("abcdef");
    edit_->SetEditMaxLength(3);
    EXPECT_EQ(edit_->text(), "abc");
    EXPECT_EQ(edit_->ValueText(), "abc");
}

TEST_F(EditTest, ANumericPadChoiceIsTakenAndReported) {
    edit_->SetEditType(etInteger);
    edit_->SetNumOptions(neThousandSeparator | neNumericPadEdit);
    ASSERT_NE(edit_->BehaviourButton(), nullptr);
    EXPECT_TRUE(edit_->BehaviourButton()->isVisible());
    OnNextModal([](QWidget* dialog) {
        auto* pad = qobject_cast<TFBSNumericPadDlg*>(dialog);
        ASSERT_NE(pad, nullptr);
        for (const char* name : {"B1", "B2", "BPoint", "B6", "BOk"})
            QTest::mouseClick(pad->findChild<QPushButton*>(name), Qt::LeftButton);
    });
    QTest::mouseClick(edit_->BehaviourButton(), Qt::LeftButton);
    EXPECT_EQ(edit_->text(), "13");
    EXPECT_TRUE(QTest::qWaitFor([this] { return changes_ == 1; }, 1000));
}

TEST_F(EditTest, DateFieldsGetACalendarThatSetsTheChosenDate) {
    edit_->SetEditType(etDate);
    ASSERT_NE(edit_->DateLookup(), nullptr);
    edit_->SetDisplayText("12/03/2024");
    OnNextModal([](QWidget* dialog) {
        auto* calendar = qobject_cast<TBSCalendarDlg*>(dialog);
        ASSERT_NE(calendar, nullptr);
        EXPECT_EQ(calendar->Date(), *EncodeDateTime(2024, 3, 12));
        QTest::keyClick(calendar->Calendar(), Qt::Key_PageDown); // a month on
        QTest::keyClick(calendar->Calendar(), Qt::Key_Return);
    });
    QTest::keyClick(edit_, Qt::Key_F4);
    EXPECT_EQ(edit_->text(), "12/04/2024");
}

TEST_F(EditTest, ADateFieldHoldingTheOpenEndShowsNothing) {
    edit_->SetEditType(etDate);
    edit_->SetAsDate(OpenEndDateTime);
    EXPECT_EQ(edit_->text(), "");
    edit_->SetAsDate(90000); // clamped to the calendar's range first
    EXPECT_EQ(edit_->text(), "");
}

TEST_F(EditTest, DateLookupRefusesAnotherBehaviour) {
    EXPECT_EQ(edit_->DateLookup(), nullptr);
    edit_->SetBehaviour(std::make_unique<TBSNumericPadEdit>());
    EXPECT_THROW(edit_->DateLookup(), std::bad_cast);
}

TEST_F(EditTest, KeepsItsValueInASettingsSectionUnderItsName) {
    TBSMemorySection section;
    edit_->SetEditType(etSwimtime);
    edit_->SetAsSwimTime(21650);
    edit_->SaveToSection(section);
    EXPECT_EQ(section.ReadRaw("EField", ""), "21650");
    section.WriteInteger("EField", 102000);
    edit_->LoadFromSection(section);
    EXPECT_EQ(edit_->text(), "1:42.00");

    edit_->SetEditType(etString);
    edit_->SetDisplayText("line\tone");
    edit_->SaveToSection(section);
    EXPECT_EQ(section.ReadRaw("EField", ""), "line\tone");
}

TEST_F(EditTest, HandsItsValueToGenericCodeWithAnEmptyKindForAnEmptyField) {
    edit_->SetEditType(etInteger);
    EXPECT_TRUE(edit_->GetValue().IsEmpty());
    EXPECT_EQ(edit_->GetValue().kind, TBSControlValue::vkInteger);
    edit_->SetValue(TBSControlValue::Integer(1234));
    EXPECT_EQ(edit_->text(), "1,234");
    EXPECT_EQ(edit_->GetValue().AsInteger(), 1234);
    edit_->SetValue(TBSControlValue::Empty(TBSControlValue::vkInteger));
    EXPECT_EQ(edit_->text(), "");
}

TEST_F(EditTest, TranslatesItsEmptyHintAndItsHint) {
    auto lines = NewStringListFrom({"Name", "Your name"});
    edit_->ApplyTexts(*lines, 0, 2);
    EXPECT_EQ(edit_->HintWhenEmpty(), "Name");
    EXPECT_EQ(edit_->toolTip(), "Your name");
    auto collected = NewStringList();
    edit_->CollectTexts(*collected);
    EXPECT_EQ(collected->Join("|"), "Name|Your name");
    edit_->SetHintWhenEmpty("");
    collected->Clear();
    edit_->CollectTexts(*collected);
    EXPECT_EQ(collected->Join("|"), ".|Your name");
}

TEST_F(EditTest, UpperCaseInputForCoordinates) {
    edit_->SetEditType(etLatitude);
    Type("33 30 s");
    EXPECT_EQ(edit_->text(), "33 30 S");
    EXPECT_DOUBLE_EQ(edit_->AsFloat(), -33.5);
}

TEST(SetReadOnlyTree, ReachesFieldsThatFollowTheirContainerOnly) {
    QWidget window;
    auto* inner = new QWidget(&window);
    auto* follows = new TBSEdit(inner);
    auto* own = new TBSEdit(&window);
    own->SetParentReadOnly(false);
    auto* insideOwn = new TBSEdit(own);
    SetReadOnlyTree(&window, true);
    EXPECT_TRUE(follows->GetReadOnly());
    EXPECT_FALSE(own->GetReadOnly());
    EXPECT_FALSE(insideOwn->GetReadOnly());
}

class MemoTest : public testing::Test {
protected:
    void SetUp() override {
        window_ = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(window_.get());
        memo_ = new TBSMemo(window_.get());
        memo_->setObjectName("MNotes");
        next_ = new QLineEdit(window_.get());
        layout->addWidget(memo_);
        layout->addWidget(next_);
        memo_->OnUserChange = [this](TBSMemo&) {
            ++changes_;
        };
        ShowActive(window_.get());
        FocusByTab(memo_);
    }

    std::unique_ptr<QWidget> window_;
    TBSMemo* memo_ = nullptr;
    QLineEdit* next_ = nullptr;
    int changes_ = 0;
};

TEST_F(MemoTest, ReportsTypingAfterTheDelayOrOnExit) {
    QTest::keyClicks(memo_, "ab");
    EXPECT_EQ(changes_, 0);
    EXPECT_TRUE(QTest::qWaitFor([this] { return changes_ == 1; }, 1000));
    QTest::keyClicks(memo_, "c");
    next_->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(changes_, 2);
    memo_->SetDisplayText("by code");
    QTest::qWait(UserChangeDelayMs + 50);
    EXPECT_EQ(changes_, 2);
}

TEST_F(MemoTest, ReportsTheCaretLineAndColumnWhenTheyChange) {
    std::vector<std::pair<int, int>> positions;
    memo_->OnCaretPosChange = [&](TBSMemo&, int line, int column) {
        positions.emplace_back(line, column);
    };
    QTest::keyClicks(memo_, "ab");
    QTest::keyClick(memo_, Qt::Key_Return);
    QTest::keyClicks(memo_, "c");
    ASSERT_FALSE(positions.empty());
    EXPECT_EQ(positions.back(), std::make_pair(1, 1));
}

TEST_F(MemoTest, StoresOneValuePerLineAndTheLineCount) {
    TBSMemorySection section;
    memo_->SetDisplayText("first\nsecond");
    memo_->SaveToSection(section);
    EXPECT_EQ(section.ReadInteger("MNotes.Count", -1), 2);
    EXPECT_EQ(section.ReadRaw("MNotes.1", ""), "second");
    memo_->SetDisplayText("");
    memo_->LoadFromSection(section);
    EXPECT_EQ(memo_->toPlainText(), "first\nsecond");
    TBSMemorySection none;
    memo_->LoadFromSection(none); // no count: the text stays
    EXPECT_EQ(memo_->toPlainText(), "first\nsecond");
}

} // namespace
