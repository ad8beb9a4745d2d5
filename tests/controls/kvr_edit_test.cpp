#include "controls/kvr_edit.h"
#include "foundation/settings.h"
#include "gui_test_support.h"
#include "texts/language.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QListWidget>
#include <QRegularExpression>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <memory>

using namespace marqor;
using namespace marqor::test;

namespace {

// -----------------------------------------------------------------------------------------------
// Rules

TEST(KvrEditMask, ShowsAcceptedCharactersAndBlanksTheRest) {
    struct Case {
        const char* mask;
        const char* text;
        const char* shown;
    };
    const Case cases[] = {
        {"##:##", "", "__:__"},
        {"##:##", "1234", "12:4_"}, // the literal position keeps its ":"
        {"##:##", "12:34", "12:34"},
        {"##:##", "1a:b4", "1_:_4"},
        {"$$-##", "ab-12", "ab-12"},
        {"$$-##", "1b-x2", "_b-_2"},
        {"@@@", "a b", "a_b"},
        {"###N", "12N", "12_N"},     // a literal N
        {"#####", "123NT", "123NT"}, // N and T only at the 4th and 5th positions
        {"#####", "N12T3", "_12T3"},
        {"", "free _ text", "free _ text"},
        {"##", "12345", "12"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ApplyMask(c.mask, c.text), QString(c.shown)) << c.mask << " " << c.text;
}

TEST(KvrEditMask, ReadsTheValueWithoutDecoration) {
    struct Case {
        TEditType type;
        TEditOptions options;
        const char* mask;
        const char* shown;
        const char* value;
    };
    const Case cases[] = {
        {TEditType::etTime, 0, "##:##", "__:__", ""},
        {TEditType::etTime, 0, "##:##", "1_:3_", "1 :3"},
        {TEditType::etDate, 0, "##/##/####", "__/__/____", ""},
        {TEditType::etDate, 0, "##/##/####", "01/02/2024", "01/02/2024"},
        {TEditType::etString, eoSaveMaskChars, "$$-##", "ab-1_", "ab-1 "},
        {TEditType::etString, 0, "$$-##", "ab-1_", "ab1 "},
        {TEditType::etString, eoTrimStrings, "$$-##", "_b-1_", "b1"},
        {TEditType::etInteger, 0, "", " 12 ", "12"},
        {TEditType::etString, 0, "", " keep_ ", " keep_ "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MaskedValueText(c.type, c.options, c.mask, c.shown), QString(c.value))
            << c.mask << " " << c.shown;
    EXPECT_EQ(LayIntoMask("$$-##", "ab12"), "ab-12");
    EXPECT_EQ(LayIntoMask("$$-##", "a"), "a_-__");
}

TEST(KvrEditMask, BuildsTheMasksOfTimesAndDates) {
    TBSFormatSettings fs = DefaultFormatSettings();
    EXPECT_EQ(MaskForEditType(TEditType::etTime, fs), "##:##");
    fs.ShortDateFormat = "d/m/yy";
    fs.DateSeparator = ".";
    EXPECT_EQ(NormalisedShortDateFormat(fs), "dd.mm.yyyy");
    EXPECT_EQ(MaskForEditType(TEditType::etDate, fs), "##.##.####");
    fs.ShortDateFormat = "yyyy-MM-dd";
    EXPECT_EQ(MaskForEditType(TEditType::etDate, fs), "####-##-##");
    EXPECT_EQ(MaskForEditType(TEditType::etInteger, fs), "");
}

TEST(KvrEditMask, TypingPlacesCharactersWhereTheMaskTakesThem) {
    // Typing 1, 2, 3, 4 into an empty time fills hours and minutes and skips the colon.
    TMaskEdit edit{"__:__", 0, true};
    for (QChar c : QStringLiteral("1234"))
        edit = TypeIntoMask("##:##", edit.Text, edit.Caret, edit.Caret, 0, c);
    EXPECT_EQ(edit.Text, "12:34");
    EXPECT_EQ(edit.Caret, 5);

    // A separator that follows the caret moves the caret behind it.
    edit = TypeIntoMask("##:##", "9_:__", 1, 1, 0, u':');
    EXPECT_EQ(edit.Text, "9_:__");
    EXPECT_EQ(edit.Caret, 3);

    // A letter goes past digit positions to the first letter position.
    edit = TypeIntoMask("##$", "___", 0, 0, 0, u'x');
    EXPECT_EQ(edit.Text, "__x");

    // Nothing takes it: the field beeps and stays as it was.
    edit = TypeIntoMask("##:##", "12:34", 5, 5, 0, u'7');
    EXPECT_FALSE(edit.Accepted);
    edit = TypeIntoMask("##", "__", 0, 0, 0, u'x');
    EXPECT_FALSE(edit.Accepted);
    EXPECT_EQ(edit.Text, "__");

    // A selection is blanked before the character goes in.
    edit = TypeIntoMask("##:##", "12:34", 0, 0, 5, u'5');
    EXPECT_EQ(edit.Text, "5_:__");
    EXPECT_EQ(edit.Caret, 1);
}

TEST(KvrEditMask, DeletingDrawsTheRestOfTheRunLeft) {
    struct Case {
        const char* shown;
        int caret, selStart, selLength;
        bool backspace;
        const char* result;
        int resultCaret;
    };
    const Case cases[] = {
        {"123-45", 1, 1, 0, true, "23_-45", 0},  // backspace in the first run
        {"123-45", 1, 1, 0, false, "13_-45", 1}, // delete at the caret
        {"123-45", 4, 4, 0, true, "123-45", 3},  // backspace over the literal moves only
        {"123-45", 5, 5, 0, false, "123-4_", 5}, // the last position of a run
        {"123-45", 0, 1, 4, false, "1__-_5", 1}, // a selection is blanked whole
        {"123-45", 0, 0, 0, true, "123-45", 0},  // nothing before the caret
    };
    for (const auto& c : cases) {
        const TMaskEdit edit =
            DeleteInMask("###-##", c.shown, c.caret, c.selStart, c.selLength, c.backspace);
        EXPECT_EQ(edit.Text, QString(c.result)) << c.shown << " " << c.caret;
        EXPECT_EQ(edit.Caret, c.resultCaret) << c.shown << " " << c.caret;
    }
}

TEST(KvrEditNumbers, FormatsReadsAndBoundsNumbers) {
    const TBSFormatSettings fs = DefaultFormatSettings();
    EXPECT_EQ(IntegerEditText(0, eoZeroAsBlanks), "");
    EXPECT_EQ(IntegerEditText(0, 0), "0");
    EXPECT_EQ(FloatEditText(1.25, 1, 0, fs), "1.3");
    EXPECT_EQ(FloatEditText(2.0, 3, 0, fs), "2");
    EXPECT_EQ(FloatEditText(2.5, 0, 0, fs), "3");
    EXPECT_EQ(FloatEditText(0, 2, eoZeroAsBlanks, fs), "");
    TBSFormatSettings comma = fs;
    comma.DecimalSeparator = ",";
    EXPECT_EQ(FloatEditText(1.5, 2, 0, comma), "1,5");
    EXPECT_DOUBLE_EQ(ReadEditFloat(" 1,5 ", comma), 1.5);
    EXPECT_DOUBLE_EQ(ReadEditFloat("1.5", comma), 0);
    EXPECT_EQ(ReadEditInteger(" 42 "), 42);
    EXPECT_EQ(ReadEditInteger("4x"), 0);
    EXPECT_EQ(BoundEditInteger(0, 1, 1100), 1);
    EXPECT_EQ(BoundEditInteger(5000, 1, 1100), 1100);
    EXPECT_EQ(BoundEditInteger(-7, 0, 0), -7);
    EXPECT_EQ(BoundEditInteger(-7, 0, 10), -7); // no lower bound at 0
}

TEST(KvrEditStorage, WritesAndReadsTheStoredForms) {
    EXPECT_EQ(FloatStorageText(1.5), "1.5");
    EXPECT_EQ(FloatStorageText(0.5), ".5");
    EXPECT_EQ(FloatStorageText(-0.25), "-.25");
    EXPECT_EQ(FloatStorageText(0), "");
    EXPECT_EQ(FloatStorageText(12), "12");
    EXPECT_EQ(TimeStorageText(*TryEncodeTime(9, 5, 0)), "0905");
    EXPECT_EQ(DateStorageText(*TryEncodeDate(2024, 2, 29)), "20240229");
    EXPECT_EQ(DateFromStorageText("20240229"), TryEncodeDate(2024, 2, 29));
    EXPECT_EQ(DateFromStorageText("20230229"), std::nullopt);
    EXPECT_EQ(TimeFromStorageText("2460"), std::nullopt);
    EXPECT_EQ(TimeFromStorageText("12"), std::nullopt);
}

TEST(KvrEditChron, ReadsTheSwimTimeAndTheCourseLetter) {
    EXPECT_EQ(ReadChron("1:05.30 L"), 65300);
    EXPECT_EQ(ReadChronCourse("1:05.30 L"), sco50m);
    EXPECT_EQ(ReadChronCourse("1:05.30 s"), sco25m);
    EXPECT_EQ(ReadChronCourse("1:05.30 Y"), sco25y);
    EXPECT_EQ(ReadChronCourse("1:05.30 X"), 0);
    EXPECT_EQ(ReadChronCourse("1:05.30"), 0);
    EXPECT_EQ(ReadChron(""), 0);
    EXPECT_EQ(ReadChron("abc"), NoSwimTime);
    EXPECT_EQ(ChronText(65300, sco25y, true), "1:05.30 Y");
    EXPECT_EQ(ChronText(65300, 0, true), "1:05.30");
    EXPECT_EQ(ChronText(NoSwimTime, sco50m, true), "L");
}

// -----------------------------------------------------------------------------------------------
// The field in a window

class KvrEditTest : public testing::Test {
protected:
    void SetUp() override {
        window_ = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(window_.get());
        edit_ = new TKvrEdit(window_.get());
        edit_->setObjectName("EField");
        next_ = new QLineEdit(window_.get());
        next_->setObjectName("ENext");
        layout->addWidget(edit_);
        layout->addWidget(next_);
        edit_->OnDelayChange = [this](TKvrEdit&) {
            ++delayChanges_;
        };
        ShowActive(window_.get());
        FocusByTab(edit_);
    }

    void MakePointsField() {
        edit_->SetEditType(TKvrEdit::etInteger);
        edit_->SetMinValue(1);
        edit_->SetMaxValue(1100);
    }
    void Type(const char* text) { QTest::keyClicks(edit_, text); }
    void Leave() { QTest::keyClick(edit_, Qt::Key_Tab); }

    std::unique_ptr<QWidget> window_;
    TKvrEdit* edit_ = nullptr;
    QLineEdit* next_ = nullptr;
    int delayChanges_ = 0;
};

TEST_F(KvrEditTest, APointsFieldHoldsItsValueWithinItsBoundsOnExit) {
    struct Case {
        const char* typed;
        const char* shown;
    };
    const Case cases[] = {{"0", "1"}, {"", "1"}, {"abc", "1"}, {"5000", "1100"}, {"850", "850"}};
    MakePointsField();
    for (const auto& c : cases) {
        FocusByTab(edit_);
        edit_->selectAll();
        QTest::keyClick(edit_, Qt::Key_Delete);
        Type(c.typed);
        Leave();
        ASSERT_TRUE(next_->hasFocus());
        EXPECT_EQ(edit_->text(), QString(c.shown)) << c.typed;
    }
}

TEST_F(KvrEditTest, NumericReadsApplyTheBoundsWithoutAnExit) {
    MakePointsField();
    for (const char* text : {"", "abc", "0", "-5"}) {
        edit_->SetText(text);
        EXPECT_EQ(edit_->AsInteger(), 1) << text;
    }
    edit_->SetText("99999");
    EXPECT_EQ(edit_->AsInteger(), 1100);
    EXPECT_EQ(edit_->text(), "1100");
}

TEST_F(KvrEditTest, AFieldWithoutBoundsKeepsWhatWasTyped) {
    edit_->SetEditType(TKvrEdit::etInteger);
    Type("-5000");
    Leave();
    EXPECT_EQ(edit_->text(), "-5000");
    EXPECT_EQ(edit_->AsInteger(), -5000);
    edit_->SetText("letters");
    EXPECT_EQ(edit_->AsInteger(), 0);
    EXPECT_EQ(edit_->text(), "letters");
    edit_->SetAsInteger(0);
    EXPECT_EQ(edit_->text(), ""); // zero as blank by default
    edit_->SetOptions(0);
    edit_->SetAsInteger(0);
    EXPECT_EQ(edit_->text(), "0");
}

TEST_F(KvrEditTest, BoundsAreOnlyForNumberFields) {
    edit_->SetEditType(TKvrEdit::etFloat);
    edit_->SetMinValue(2);
    edit_->SetMaxValue(5);
    edit_->SetPrecision(1);
    edit_->SetText("7.25");
    EXPECT_DOUBLE_EQ(edit_->AsFloat(), 5);
    edit_->SetEditType(TKvrEdit::etString);
    EXPECT_EQ(edit_->MinValue(), 0);
    EXPECT_EQ(edit_->MaxValue(), 0);
    edit_->SetMinValue(3);
    EXPECT_EQ(edit_->MinValue(), 0);
}

TEST_F(KvrEditTest, AnEmptyTimeShowsTheMaskButReadsEmpty) {
    edit_->SetEditType(TKvrEdit::etTime);
    EXPECT_EQ(edit_->text(), "__:__");
    EXPECT_EQ(edit_->Text(), "");
    EXPECT_EQ(edit_->AsDate(), 0);
    edit_->setCursorPosition(0);
    Type("0930");
    EXPECT_EQ(edit_->text(), "09:30");
    EXPECT_DOUBLE_EQ(edit_->AsDate(), *TryEncodeTime(9, 30, 0));
    // Backspace at the end blanks the last minute digit.
    QTest::keyClick(edit_, Qt::Key_Backspace);
    EXPECT_EQ(edit_->text(), "09:3_");
    edit_->SetAsDate(*TryEncodeTime(23, 5, 0));
    EXPECT_EQ(edit_->text(), "23:05");
}

TEST_F(KvrEditTest, TypingIntoADateFollowsTheMask) {
    edit_->SetEditType(TKvrEdit::etDate);
    const QString mask = edit_->EditMask();
    ASSERT_FALSE(mask.isEmpty());
    EXPECT_EQ(edit_->Text(), "");
    edit_->setCursorPosition(0);
    const TBSFormatSettings fs = Language().GetFormatSettings();
    const TDateTime date = *TryEncodeDate(2024, 3, 7);
    // Type the digits of the date the language writes; the separators come from the mask.
    QString digits =
        QString::fromStdString(FormatDateTimeText(NormalisedShortDateFormat(fs), date, fs));
    digits.remove(QRegularExpression("[^0-9]"));
    Type(digits.toUtf8().constData());
    EXPECT_DOUBLE_EQ(edit_->AsDate(), date);
    EXPECT_EQ(edit_->StorageText(), "20240307");
}

TEST_F(KvrEditTest, AFreeMaskBeepsForRefusedCharactersAndPastesThroughTheMask) {
    edit_->SetEditMask("$$-###");
    EXPECT_EQ(edit_->text(), "__-___");
    edit_->setCursorPosition(0);
    Type("ab12");
    EXPECT_EQ(edit_->text(), "ab-12_");
    Type("x"); // no letter position left after the caret
    EXPECT_EQ(edit_->text(), "ab-12_");
    EXPECT_EQ(edit_->Text(), "ab-12 "); // mask characters are kept by default
    QApplication::clipboard()->setText("zz-987");
    edit_->setCursorPosition(0);
    QTest::keyClick(edit_, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit_->text(), "zz-987");
    edit_->setSelection(3, 3);
    QTest::keyClick(edit_, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "987");
    EXPECT_EQ(edit_->text(), "zz-___");
    edit_->SetOptions(eoTrimStrings);
    EXPECT_EQ(edit_->Text(), "zz");
}

TEST_F(KvrEditTest, ReportsAChangeOnlyAfterTheQuietPeriod) {
    QElapsedTimer clock;
    clock.start();
    qint64 firedAt = -1;
    edit_->OnDelayChange = [&](TKvrEdit&) {
        ++delayChanges_;
        firedAt = clock.elapsed();
    };
    Type("1");
    QTest::qWait(300);
    Type("2"); // restarts the period
    const qint64 lastKey = clock.elapsed();
    ASSERT_TRUE(QTest::qWaitFor([this] { return delayChanges_ == 1; }, 3000));
    EXPECT_GE(firedAt - lastKey, 750);
    QTest::qWait(100);
    EXPECT_EQ(delayChanges_, 1);
}

TEST_F(KvrEditTest, ARefusedExitKeepsTheFocusAndThePendingChange) {
    bool sawKnown = true;
    bool refuse = true;
    int exits = 0;
    edit_->OnValidate = [&](TKvrEdit&, bool known, bool& accept) {
        sawKnown = known;
        accept = !refuse;
    };
    edit_->OnExit = [&](TKvrEdit&) {
        ++exits;
    };
    Type("X");
    Leave();
    Settle();
    EXPECT_TRUE(edit_->hasFocus());
    EXPECT_FALSE(sawKnown);
    EXPECT_EQ(exits, 0);
    EXPECT_TRUE(edit_->DelayPending());
    EXPECT_EQ(delayChanges_, 0);
    refuse = false;
    Leave();
    EXPECT_TRUE(next_->hasFocus());
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(delayChanges_, 1); // fired at once on the accepted exit
    EXPECT_FALSE(edit_->DelayPending());
}

TEST_F(KvrEditTest, ColoursItselfByState) {
    TColors colors = TColors::Defaults();
    colors.NormalBG = Qt::white;
    colors.FocusedBG = Qt::yellow;
    colors.ReadOnlyBG = Qt::gray;
    colors.DisabledBG = Qt::darkGray;
    colors.FocusedText = Qt::blue;
    edit_->SetColors(colors);
    auto base = [this] {
        return edit_->palette().color(QPalette::Active, QPalette::Base);
    };
    EXPECT_EQ(base(), QColor(Qt::yellow));
    EXPECT_EQ(edit_->palette().color(QPalette::Active, QPalette::Text), QColor(Qt::blue));
    Leave();
    EXPECT_EQ(base(), QColor(Qt::white));
    edit_->SetReadOnly(true);
    EXPECT_EQ(base(), QColor(Qt::gray));
    edit_->SetReadOnly(false);
    edit_->setEnabled(false);
    EXPECT_EQ(base(), QColor(Qt::darkGray));
}

TEST_F(KvrEditTest, AReadOnlyFieldIsNoTabStopUntilItIsEditableAgain) {
    edit_->SetTabStop(false);
    edit_->SetReadOnly(true);
    edit_->SetReadOnly(false);
    EXPECT_FALSE(edit_->TabStop());
    edit_->SetTabStop(true);
    edit_->SetReadOnly(true);
    EXPECT_FALSE(edit_->TabStop());
    EXPECT_EQ(edit_->focusPolicy(), Qt::ClickFocus);
    edit_->SetReadOnly(false);
    EXPECT_TRUE(edit_->TabStop());
    EXPECT_EQ(edit_->focusPolicy(), Qt::StrongFocus);
}

TEST_F(KvrEditTest, F2OffersTheKnownCodesAndValidationKnowsThem) {
    TLookup codes(next_);
    codes.SetLines(*NewStringListFrom({"L=50m pool", "S=25m pool"}));
    edit_->SetLookup(codes);
    ASSERT_NE(edit_->Lookup()->Button(), nullptr);
    EXPECT_TRUE(edit_->Lookup()->Button()->isVisible());
    int after = 0;
    edit_->AfterLookup = [&](TKvrEdit&) {
        ++after;
    };
    QTest::keyClick(edit_, Qt::Key_F2);
    ASSERT_NE(edit_->Lookup()->OpenList(), nullptr);
    QListWidget* list = edit_->Lookup()->OpenList()->List();
    list->setCurrentRow(1);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(edit_->Text(), "S");
    EXPECT_EQ(after, 1);
    bool known = false;
    edit_->OnValidate = [&](TKvrEdit&, bool k, bool&) {
        known = k;
    };
    Leave();
    EXPECT_TRUE(known);
}

TEST_F(KvrEditTest, CountsEscapePressesInARow) {
    QTest::keyClick(edit_, Qt::Key_Escape);
    QTest::keyClick(edit_, Qt::Key_Escape);
    EXPECT_EQ(edit_->EscapeCount(), 2);
    Type("a");
    EXPECT_EQ(edit_->EscapeCount(), 0);
}

TEST_F(KvrEditTest, AChronFieldShowsTheTimeAndTheCourse) {
    edit_->SetEditType(TKvrEdit::etChron);
    edit_->SetOptions(DefaultEditOptions | eoHasChronCourse);
    EXPECT_EQ(edit_->CharCase(), TKvrEdit::ecUpperCase);
    Type("10530 y");
    EXPECT_EQ(edit_->text(), "10530 Y");
    Leave();
    EXPECT_EQ(edit_->text(), "1:05.30 Y");
    EXPECT_EQ(edit_->AsChron(), 65300);
    EXPECT_EQ(edit_->ChronCourse(), sco25y);
    edit_->SetChronCourse(sco50m);
    EXPECT_EQ(edit_->text(), "1:05.30 L");
    edit_->SetAsChron(21650);
    EXPECT_EQ(edit_->text(), "21.65 L");
    // A mask over a chron field: N or T stands for no time.
    edit_->SetEditMask("@@@@@@@@@@");
    FocusByTab(edit_);
    Type("n");
    EXPECT_EQ(edit_->AsChron(), NoSwimTime);
    EXPECT_EQ(edit_->Text().trimmed(), "L");
}

TEST_F(KvrEditTest, KeepsItsValueInASettingsSection) {
    struct Case {
        TEditType type;
        std::function<void(TKvrEdit&)> set;
        std::string stored;
    };
    const std::vector<Case> cases = {
        {TKvrEdit::etInteger, [](TKvrEdit& e) { e.SetAsInteger(850); }, "850"},
        {TKvrEdit::etFloat, [](TKvrEdit& e) { e.SetAsFloat(0.5); }, ".5"},
        {TKvrEdit::etTime, [](TKvrEdit& e) { e.SetAsDate(*TryEncodeTime(7, 45, 0)); }, "0745"},
        {TKvrEdit::etDate, [](TKvrEdit& e) { e.SetAsDate(*TryEncodeDate(2026, 12, 11)); },
         "20261211"},
        {TKvrEdit::etChron, [](TKvrEdit& e) { e.SetAsChron(65300); }, "65300"},
        {TKvrEdit::etString, [](TKvrEdit& e) { e.SetText("free"); }, "free"},
    };
    for (const auto& c : cases) {
        TKvrEdit source(window_.get());
        source.setObjectName("EValue");
        source.SetEditType(c.type);
        source.SetPrecision(2);
        c.set(source);
        TBSMemorySection section;
        source.SaveToSection(section);
        EXPECT_EQ(section.ReadRaw("EValue", "?"), c.stored);
        TKvrEdit target(window_.get());
        target.setObjectName("EValue");
        target.SetEditType(c.type);
        target.SetPrecision(2);
        target.LoadFromSection(section);
        EXPECT_EQ(target.text(), source.text()) << c.stored;
        // Nothing stored: the field keeps its value.
        TBSMemorySection empty;
        target.LoadFromSection(empty);
        EXPECT_EQ(target.text(), source.text()) << c.stored;
    }
    // A stored text that does not read clears the field.
    TKvrEdit time(window_.get());
    time.setObjectName("EValue");
    time.SetEditType(TKvrEdit::etTime);
    time.SetAsDate(*TryEncodeTime(7, 45, 0));
    TBSMemorySection bad;
    bad.WriteRaw("EValue", "7x");
    time.LoadFromSection(bad);
    EXPECT_EQ(time.Text(), "");
}

} // namespace
