#pragma once

// The two popups that edit fields open beside themselves: a calendar for dates and a numeric
// pad for numbers. Both are borderless modal dialogs placed at a screen point (see
// PopupPosition).

#include "foundation/settings.h"

#include <QDate>
#include <QDialog>

class QCalendarWidget;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace marqor {

class TBSComboBox;

QDate DateFromDayNumber(TDateTime value);
TDateTime DayNumberFromDate(const QDate& date);

class TBSCalendarDlg : public QDialog {
    Q_OBJECT
public:
    explicit TBSCalendarDlg(QWidget* parent = nullptr);

    // The range the user may choose from; dates outside it cannot be chosen.
    void SetRange(TDateTime min, TDateTime max);
    // Clamped into the range; a date not at least one day inside both ends shows today.
    void SetDate(TDateTime date);
    TDateTime Date() const;

    QCalendarWidget* Calendar() const { return calendar_; }
    QLabel* TodayLabel() const { return today_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ShowDate(const QDate& date);
    void MoveMonths(int months);

    TDateTime min_ = 0;
    TDateTime max_ = OpenEndDateTime;
    QCalendarWidget* calendar_;
    TBSComboBox* month_;
    QSpinBox* year_;
    QLabel* chosen_;
    QLabel* today_;
    bool updating_ = false;
};

class TFBSNumericPadDlg : public QDialog {
    Q_OBJECT
public:
    explicit TFBSNumericPadDlg(QWidget* parent = nullptr);

    QString Text() const;
    // The text read as a number in the current format; 0 when it is none.
    double Value() const;

private:
    void Append(const QString& text);

    QLineEdit* line_;
};

} // namespace marqor
