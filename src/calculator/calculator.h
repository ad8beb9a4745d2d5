#pragma once

// The calculator panel: the user picks a point table, an event, a course and a gender (in the
// full mode also an age and a handicap class), enters a swim time or a number of points and
// presses Calculate; the other value is written back and one line describing the calculation is
// added at the top of the result list. The main window takes over the panel PnlCalculator and
// never shows this window itself.

#include "calculator/calculation.h"
#include "controls/choice_controls.h"
#include "controls/combo_box.h"
#include "controls/edit.h"
#include "controls/forms.h"
#include "points/catalogue.h"

#include <QStyledItemDelegate>
#include <functional>
#include <string>
#include <vector>

class QLabel;
class QListWidget;
class QPushButton;

namespace marqor {

// The result list draws each line's fields in fixed columns: table at x 0, course at 100, event
// at 150, gender at 260, and right-aligned the age (not when it is 99) ending 140 pixels before
// the right edge, the class 110, the time 55 before it and the points at the right edge.
class TKvrResultLineDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

class TKvrFPCalculator : public TKvrForm {
    Q_OBJECT
public:
    // The tables come from the catalogue given (the program's own by default).
    explicit TKvrFPCalculator(TBSSwPointTableController& tables = PointTables(),
                              QWidget* parent = nullptr);
    ~TKvrFPCalculator() override;

    // Only the FINA tables and events, without age and handicap; rebuilds the lists.
    void SetFinaMode(bool on);
    bool FinaMode() const { return finaMode_; }

    int SelectedPointTable() const;
    TBSSwCourse SelectedCourse() const;
    TBSSwGender SelectedGender() const;
    int SelectedAge() const;
    int SelectedHandicap() const;
    const IBSSwPointsPtr& CurrentTable() const { return currentTable_; }
    const std::vector<std::string>& Definitions() const { return definitions_; }

    // Why the table or the last calculation gave nothing, for the footer; empty when all went
    // well. OnRemark hears every change.
    const std::string& Remark() const { return remark_; }
    std::function<void(const std::string&)> OnRemark;

    // The handlers of the window.
    void FormCreate();
    void FormShow();
    bool FormCloseQuery();
    void BCalculateClick();
    void CBPointTableUserChange();
    void EHandicapUserChange();
    // Enter calculates, Escape asks this window to close; both are swallowed.
    bool ESwimTimeKeyPress(int key);
    void RBTimeClick();
    // One line of the result list.
    static void LBPointsDrawItem(QPainter& painter, const QRect& rect, const QString& line,
                                 const QPalette& palette, bool selected);

    TBSPanel* PnlCalculator;
    TBSComboBox* CBPointTable;
    TBSComboBox* CBSwimStyle;
    TBSComboBox* CBCourse;
    TKvrRadioGroup* RgrGeschlecht;
    QLabel* Label1;
    TBSEdit* EAge;
    QLabel* Label2;
    TBSEdit* EHandicap;
    TKvrRadioButton* RBTime;
    TBSEdit* ESwimTime;
    TKvrRadioButton* RBPoints;
    TBSEdit* EPoints;
    QPushButton* BCalculate;
    QListWidget* LBPoints;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void SetRemark(std::string remark);

    TBSSwPointTableController& tables_;
    IBSSwPointsPtr currentTable_;
    std::vector<std::string> definitions_;
    bool finaMode_ = false;
    std::string remark_;
};

// The panel's font: Tahoma 8 pt where it is installed, else the platform's sans-serif at 8 pt.
QFont CalculatorFont();

} // namespace marqor
