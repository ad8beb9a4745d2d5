#include "../controls/gui_test_support.h"
#include "calculator/calculation.h"
#include "calculator/main_window.h"
#include "points/events.h"
#include "swimming/swim_style.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace marqor;
using namespace marqor::test;

namespace {

// The built-in tables and the bundled Rudolph table 2025, which has base times for the youth.
TBSSwPointTableController& TestTables() {
    static TBSSwPointTableController tables(
        TPointTableSources{BuiltInPointTableNames(),
                           {},
                           {MARQOR_SOURCE_DIR "/resources/tables/bundled/RUDOLPH_2025.txt"}});
    return tables;
}

constexpr int kFina2008 = 3001;
constexpr int kFina2010 = 3003;
constexpr int kRudolph2025 = 1125;

class Calculator : public ::testing::Test {
protected:
    void SetUp() override {
        main = std::make_unique<TFMain>(TestTables());
        ShowActive(main.get());
        c = main->Calculator();
    }

    // Types into the field as the user does and presses Enter.
    void Enter(TBSEdit* field, const char* text) {
        FocusByTab(field);
        field->selectAll();
        QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Return);
    }
    std::string Line(int row) const { return c->LBPoints->item(row)->text().toStdString(); }
    std::string Footer() const { return main->PnlFoot->text().toStdString(); }
    void ChooseTable(int id) {
        c->CBPointTable->SelectKey(id);
        c->CBPointTableUserChange();
    }

    std::unique_ptr<TFMain> main;
    TKvrFPCalculator* c = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Modes

TEST_F(Calculator, InFinaModeOffersTheFiveFinaTablesAndTheTwentyThreeFinaEvents) {
    ASSERT_TRUE(c->FinaMode());
    EXPECT_EQ(c->CBPointTable->count(), 5);
    EXPECT_EQ(c->SelectedPointTable(), DefaultPointTableId);
    EXPECT_EQ(c->CBPointTable->currentText(), "FINA Point Scoring 2011");
    for (int i = 0; i < c->CBPointTable->count(); ++i)
        EXPECT_TRUE(c->CBPointTable->itemText(i).startsWith("FINA Point Scoring"));
    EXPECT_EQ(c->CBSwimStyle->count(), 23);
    EXPECT_EQ(c->CBSwimStyle->currentText(), "50 Freestyle");
    EXPECT_EQ(c->CBSwimStyle->itemText(22), "4 x 100 Medley");
    EXPECT_EQ(c->CBCourse->count(), 1);
    EXPECT_EQ(c->CBCourse->currentText(), "50m Pool");
    for (QWidget* w : {static_cast<QWidget*>(c->Label1), static_cast<QWidget*>(c->EAge),
                       static_cast<QWidget*>(c->Label2), static_cast<QWidget*>(c->EHandicap)})
        EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
    EXPECT_EQ(c->SelectedGender(), sgeMen);
    EXPECT_EQ(c->SelectedAge(), 99);
    EXPECT_EQ(c->SelectedHandicap(), 0);
    EXPECT_TRUE(c->RBTime->isChecked());
    EXPECT_TRUE(c->ESwimTime->isEnabled());
    EXPECT_FALSE(c->EPoints->isEnabled());
}

TEST_F(Calculator, InFullModeOffersEveryTableAndAllFortySixEvents) {
    c->SetFinaMode(false);
    EXPECT_EQ(c->CBPointTable->count(), int(TestTables().Infos().size()));
    EXPECT_EQ(c->CBPointTable->count(), 20);
    EXPECT_EQ(c->SelectedPointTable(), DefaultPointTableId);
    EXPECT_EQ(c->CBSwimStyle->count(), 46);
    EXPECT_EQ(c->CBSwimStyle->currentText(), "25 Freestyle");
    EXPECT_TRUE(c->EAge->isVisible());
    EXPECT_TRUE(c->EHandicap->isVisible());
    c->SetFinaMode(true);
    EXPECT_EQ(c->CBSwimStyle->count(), 23);
    EXPECT_FALSE(c->EAge->isVisible());
}

TEST_F(Calculator, TheWindowIsTranslatedAndHasItsAccelerators) {
    EXPECT_EQ(c->windowTitle(), "Calculate points");
    EXPECT_EQ(c->RBTime->text(), "&Enter time:");
    EXPECT_EQ(c->RgrGeschlecht->Caption(), "Gender");
    EXPECT_EQ(c->RgrGeschlecht->Items(), (std::vector<std::string>{"&Men", "&Women"}));
    EXPECT_EQ(c->BCalculate->text(), "Calculate"); // the default button needs no letter
    EXPECT_TRUE(c->BCalculate->isDefault());
    EXPECT_EQ(c->Label1->text(), "&Age:");
}

// ---------------------------------------------------------------------------------------------
// Calculations

TEST_F(Calculator, ATimeWithEnterGivesItsPointsAndALineAtTheTop) {
    Enter(c->ESwimTime, "21.65");
    EXPECT_EQ(c->EPoints->text(), "900");
    ASSERT_EQ(c->LBPoints->count(), 1);
    EXPECT_EQ(Line(0), "FINA 2011;50m;50 Freestyle;Men;99;;21.65;900 Pt.");
    // Ready for the next time at once.
    EXPECT_TRUE(c->ESwimTime->hasFocus());
    EXPECT_EQ(c->ESwimTime->selectedText(), "21.65");
    QTest::keyClicks(c->ESwimTime, "22.07");
    QTest::keyClick(c->ESwimTime, Qt::Key_Enter);
    ASSERT_EQ(c->LBPoints->count(), 2);
    EXPECT_EQ(Line(0), "FINA 2011;50m;50 Freestyle;Men;99;;22.07;850 Pt.");
    EXPECT_EQ(Line(1), "FINA 2011;50m;50 Freestyle;Men;99;;21.65;900 Pt.");
}

TEST_F(Calculator, PointsWithEnterGiveTheirTime) {
    QTest::mouseClick(c->RBPoints, Qt::LeftButton, {}, QPoint(5, 8));
    EXPECT_FALSE(c->ESwimTime->isEnabled());
    EXPECT_TRUE(c->EPoints->isEnabled());
    Enter(c->EPoints, "900");
    EXPECT_EQ(c->ESwimTime->text(), "21.65");
    EXPECT_EQ(Line(0), "FINA 2011;50m;50 Freestyle;Men;99;;21.65;900 Pt.");
    EXPECT_TRUE(c->EPoints->hasFocus());
}

struct InputCase {
    const char* name;
    bool points;
    const char* typed;
    const char* timeShown;
    const char* pointsShown;
    const char* line;
};
void PrintTo(const InputCase& c, std::ostream* os) {
    *os << c.name;
}
class CalculatorInput : public Calculator, public ::testing::WithParamInterface<InputCase> {};

TEST_P(CalculatorInput, NeverRaisesAndWritesBothValuesBack) {
    const auto& p = GetParam();
    if (p.points)
        c->RBPoints->click();
    Enter(p.points ? c->EPoints : c->ESwimTime, p.typed);
    EXPECT_EQ(c->ESwimTime->text().toStdString(), p.timeShown);
    EXPECT_EQ(c->EPoints->text().toStdString(), p.pointsShown);
    EXPECT_EQ(Line(0), p.line);
}

INSTANTIATE_TEST_SUITE_P(
    Calculator, CalculatorInput,
    ::testing::Values(
        InputCase{"EmptyTime", false, "", "", "0", "FINA 2011;50m;50 Freestyle;Men;99;;;0 Pt."},
        InputCase{"UnreadableTime", false, "abc", "", "0",
                  "FINA 2011;50m;50 Freestyle;Men;99;;;0 Pt."},
        InputCase{"TimeInDigitsOnly", false, "2165", "21.65", "900",
                  "FINA 2011;50m;50 Freestyle;Men;99;;21.65;900 Pt."},
        InputCase{"PointsAboveTheLimit", true, "1500", "19.67", "1,200",
                  "FINA 2011;50m;50 Freestyle;Men;99;;19.67;1200 Pt."},
        InputCase{"ZeroPoints", true, "0", "", "0", "FINA 2011;50m;50 Freestyle;Men;99;;;0 Pt."},
        InputCase{"NegativePoints", true, "-5", "", "-5",
                  "FINA 2011;50m;50 Freestyle;Men;99;;;-5 Pt."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Calculator, TheHandicapBecomesItsClassTextWhenTheUserLeavesIt) {
    c->SetFinaMode(false);
    const struct {
        const char* typed;
        const char* shown;
    } cases[] = {{"ab", "AB"}, {"5", "S5"}, {"s12", "S12"}, {"20", ""}, {"what", ""}};
    for (const auto& k : cases) {
        FocusByTab(c->EHandicap);
        c->EHandicap->selectAll();
        QTest::keyClicks(c->EHandicap, k.typed);
        FocusByTab(c->ESwimTime);
        EXPECT_EQ(c->EHandicap->text().toStdString(), k.shown) << k.typed;
    }
}

TEST_F(Calculator, AnotherTableKeepsTheCourseOnlyWhenItOffersIt) {
    ChooseTable(kFina2010);
    ASSERT_EQ(c->CBCourse->count(), 2);
    c->CBCourse->SelectKey(sco25m);
    // The user moves on to FINA 2011, the next entry of the list.
    FocusByTab(c->CBPointTable);
    QTest::keyClick(c->CBPointTable, Qt::Key_Down);
    ASSERT_TRUE(QTest::qWaitFor([&] { return c->CBCourse->count() == 1; }, 2000));
    EXPECT_EQ(c->SelectedPointTable(), DefaultPointTableId);
    EXPECT_EQ(c->CBCourse->currentText(), "50m Pool");
    EXPECT_EQ(c->SelectedCourse(), sco50m);
    // Back to FINA 2010: 50m Pool is offered there too and stays.
    QTest::keyClick(c->CBPointTable, Qt::Key_Up);
    ASSERT_TRUE(QTest::qWaitFor([&] { return c->CBCourse->count() == 2; }, 2000));
    EXPECT_EQ(c->SelectedCourse(), sco50m);
}

TEST_F(Calculator, ARudolphTableShowsTenthsInTheListAndTheRawNumberInTheField) {
    c->SetFinaMode(false);
    ChooseTable(kRudolph2025);
    ASSERT_EQ(c->SelectedPointTable(), kRudolph2025);
    c->CBSwimStyle->SelectKey(1);
    QTest::mouseClick(c->RgrGeschlecht->Button(1), Qt::LeftButton, {}, QPoint(5, 8));
    ASSERT_EQ(c->SelectedGender(), sgeWomen);
    FocusByTab(c->EAge);
    c->EAge->selectAll();
    QTest::keyClicks(c->EAge, "8");
    Enter(c->ESwimTime, "37.37");
    EXPECT_EQ(c->EPoints->text(), "159");
    EXPECT_EQ(Line(0), "Rudolph Table 2025;50m;50 Freestyle;Women;8;;37.37;15.9 Pt.");
    // And back: 15.9 points are 159 in the field.
    c->RBPoints->click();
    c->RBTimeClick();
    Enter(c->EPoints, "159");
    EXPECT_EQ(c->ESwimTime->text(), "37.37");
}

// ---------------------------------------------------------------------------------------------
// Footer

TEST_F(Calculator, TheFooterSaysWhyACalculationFoundNoBaseTime) {
    const std::string normal = Footer();
    EXPECT_NE(normal.find(std::to_string(QDate::currentDate().year())), std::string::npos);
    c->SetFinaMode(false);
    c->CBSwimStyle->SelectKey(0); // 25 Freestyle: not in the FINA tables
    Enter(c->ESwimTime, "10.50");
    EXPECT_EQ(Line(0), "FINA 2011;50m;25 Freestyle;Men;99;;10.50;0 Pt.");
    EXPECT_EQ(Footer(), "No base time for 25 Freestyle, 50m Pool, Men in FINA 2011");
    c->CBSwimStyle->SelectKey(1);
    Enter(c->ESwimTime, "21.65");
    EXPECT_EQ(Footer(), normal);
}

TEST_F(Calculator, TheFooterSaysWhenATableHasNoBaseTimesAtAll) {
    ChooseTable(kFina2008);
    const auto table = TestTables().GetPointTable(kFina2008);
    const QString message = QString::fromStdString(NoBaseTimesMessage(*table));
    EXPECT_EQ(c->Remark(), message.toStdString());
    // Too long for the line: it is cut, and its tooltip holds it all.
    EXPECT_EQ(main->PnlFoot->toolTip(), message);
    EXPECT_TRUE(main->PnlFoot->text().startsWith("FINA Point Scoring 2008 has no base times"));
    EXPECT_LE(main->PnlFoot->fontMetrics().horizontalAdvance(main->PnlFoot->text()),
              main->PnlFoot->width());
    Enter(c->ESwimTime, "21.65");
    EXPECT_EQ(Line(0), "FINA 2008;50m;50 Freestyle;Men;99;;21.65;0 Pt.");
    EXPECT_EQ(c->Remark(), message.toStdString());
    ChooseTable(DefaultPointTableId);
    EXPECT_EQ(c->Remark(), "");
    EXPECT_EQ(main->PnlFoot->toolTip(), "");
}

TEST(CalculationRemark, NamesEventCourseGenderAndTable) {
    const auto table = TestTables().GetPointTable(DefaultPointTableId);
    const auto relay = NewSwimStyle(4, strMedley, 50);
    TKvrCalculation calculation{sco25m, sgeWomen, 99, 0, "4 x 50 Medley", true};
    EXPECT_EQ(CalculationRemark(*table, *relay, calculation),
              "No base time for 4 x 50 Medley, 25m Pool, Women in FINA 2011");
    calculation.FinaMode = false;
    calculation.Age = 12;
    calculation.Handicap = 5;
    EXPECT_EQ(CalculationRemark(*table, *relay, calculation),
              "No base time for 4 x 50 Medley, 25m Pool, Women, age 12, S5 in FINA 2011");
    calculation.Course = sco50m;
    calculation.Age = 99;
    calculation.Handicap = 0;
    EXPECT_EQ(CalculationRemark(*table, *relay, calculation), "");
}

// ---------------------------------------------------------------------------------------------
// Keys and the result list

TEST_F(Calculator, EscapeInAValueFieldIsSwallowedAndEnterElsewherePressesCalculate) {
    FocusByTab(c->ESwimTime);
    QTest::keyClicks(c->ESwimTime, "21.65");
    QTest::keyClick(c->ESwimTime, Qt::Key_Escape);
    EXPECT_TRUE(main->isVisible());
    EXPECT_EQ(c->ESwimTime->text(), "21.65");
    EXPECT_EQ(c->LBPoints->count(), 0);
    FocusByTab(c->CBSwimStyle);
    QTest::keyClick(c->CBSwimStyle, Qt::Key_Return);
    ASSERT_EQ(c->LBPoints->count(), 1);
    EXPECT_EQ(Line(0), "FINA 2011;50m;50 Freestyle;Men;99;;21.65;900 Pt.");
    EXPECT_FALSE(c->LBPoints->focusPolicy() & Qt::TabFocus);
}

QImage DrawnLine(const QString& line) {
    QImage image(480, 15, QImage::Format_RGB32);
    QPainter painter(&image);
    QPalette palette;
    palette.setColor(QPalette::Button, Qt::white);
    palette.setColor(QPalette::ButtonText, Qt::black);
    TKvrFPCalculator::LBPointsDrawItem(painter, image.rect(), line, palette, false);
    return image;
}

// The leftmost and rightmost columns with ink between x0 and x1.
std::pair<int, int> Ink(const QImage& image, int x0, int x1) {
    int first = -1, last = -1;
    for (int x = x0; x < x1; ++x)
        for (int y = 0; y < image.height(); ++y)
            if (qGray(image.pixel(x, y)) < 128) {
                if (first < 0)
                    first = x;
                last = x;
                break;
            }
    return {first, last};
}

TEST(ResultList, DrawsTheFieldsInFixedColumnsAndLeavesOutAge99) {
    const QImage with99 = DrawnLine("FINA 2011;50m;50 Freestyle;Men;99;;21.65;900 Pt.");
    const QImage without = DrawnLine("FINA 2011;50m;50 Freestyle;Men;;;21.65;900 Pt.");
    const QImage age12 = DrawnLine("FINA 2011;50m;50 Freestyle;Men;12;;21.65;900 Pt.");
    EXPECT_EQ(with99, without);
    EXPECT_NE(age12, without);
    // The age ends 140 pixels before the right edge, the time 55, the points at the edge.
    EXPECT_LE(Ink(age12, 300, 345).second, 340);
    EXPECT_GE(Ink(age12, 300, 345).second, 336);
    EXPECT_LE(Ink(with99, 370, 430).second, 425);
    EXPECT_GE(Ink(with99, 370, 430).second, 421);
    EXPECT_GE(Ink(with99, 430, 480).second, 476);
    // The left columns start at 0, 100, 150 and 260.
    EXPECT_LE(Ink(with99, 0, 100).first, 2);
    for (int x : {100, 150, 260}) {
        const int first = Ink(with99, x, x + 30).first;
        EXPECT_GE(first, x);
        EXPECT_LE(first, x + 3);
    }
}

TEST(ResultList, RowsAreFifteenPixelsHigh) {
    TKvrFPCalculator calculator(TestTables());
    calculator.LBPoints->addItem("FINA 2011;50m;50 Freestyle;Men;99;;21.65;900 Pt.");
    EXPECT_EQ(calculator.LBPoints->sizeHintForRow(0), 15);
    EXPECT_EQ(calculator.LBPoints->geometry(), QRect(0, 125, 480, 225));
}

TEST(CalculatorPanel, HasTheDesignedPlacesAndTabOrder) {
    TKvrFPCalculator calculator(TestTables());
    EXPECT_EQ(calculator.PnlCalculator->size(), QSize(480, 350));
    EXPECT_EQ(calculator.CBPointTable->geometry().topLeft(), QPoint(5, 5));
    EXPECT_EQ(calculator.CBPointTable->width(), 470);
    EXPECT_EQ(calculator.ESwimTime->geometry().topLeft(), QPoint(410, 30));
    EXPECT_EQ(calculator.EPoints->geometry().topLeft(), QPoint(410, 55));
    EXPECT_EQ(calculator.BCalculate->geometry(), QRect(395, 90, 80, 25));
    EXPECT_EQ(calculator.RgrGeschlecht->geometry(), QRect(5, 80, 150, 35));
    EXPECT_EQ(calculator.font().pointSize(), 8);
    EXPECT_EQ(calculator.ESwimTime->font().pointSize(), 8);
}

TEST_F(Calculator, TabWalksTheControlsInTheDesignedOrder) {
    c->SetFinaMode(false);
    FocusByTab(c->CBPointTable);
    std::vector<std::string> walk;
    for (int i = 0; i < 9; ++i) {
        walk.push_back(QApplication::focusWidget()->objectName().toStdString());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    // Of a group of radio buttons Tab stops at the selected one: the checked gender, and
    // RBTime while the time is entered (the arrow keys move within a group).
    EXPECT_EQ(walk, (std::vector<std::string>{"CBPointTable", "CBSwimStyle", "CBCourse", "", "EAge",
                                              "EHandicap", "RBTime", "ESwimTime", "BCalculate"}));
}

} // namespace
