#include "controls/popups.h"

#include "controls/combo_box.h"
#include "controls/edit_rules.h"
#include "texts/language.h"

#include <QCalendarWidget>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

namespace marqor {

namespace {

const QDate kEpoch(1899, 12, 30);

QString ShortDate(const QDate& date) {
    const auto fs = Language().GetFormatSettings();
    return QString::fromStdString(
        FormatDateTimeText(fs.ShortDateFormat, DayNumberFromDate(date), fs));
}

QToolButton* NavButton(const QString& text, QWidget* parent) {
    auto* b = new QToolButton(parent);
    b->setText(text);
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

} // namespace

QDate DateFromDayNumber(TDateTime value) {
    return kEpoch.addDays(static_cast<qint64>(std::floor(value)));
}

TDateTime DayNumberFromDate(const QDate& date) {
    return date.isValid() ? double(kEpoch.daysTo(date)) : 0.0;
}

// -----------------------------------------------------------------------------------------------
// TBSCalendarDlg

TBSCalendarDlg::TBSCalendarDlg(QWidget* parent)
    : QDialog(parent, Qt::Popup | Qt::FramelessWindowHint) {
    setObjectName("TBSCalendarDlg");
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(2);

    auto* head = new QHBoxLayout;
    auto* prevYear = NavButton("<<", this);
    auto* prevMonth = NavButton("<", this);
    month_ = new TBSComboBox(this);
    month_->setObjectName("CBMonth");
    const auto fs = Language().GetFormatSettings();
    for (int m = 0; m < 12; ++m)
        month_->AddItem(fs.LongMonthNames[std::size_t(m)], m + 1);
    year_ = new QSpinBox(this);
    year_->setObjectName("EYear");
    auto* nextMonth = NavButton(">", this);
    auto* nextYear = NavButton(">>", this);
    head->addWidget(prevYear);
    head->addWidget(prevMonth);
    head->addWidget(month_, 1);
    head->addWidget(year_);
    head->addWidget(nextMonth);
    head->addWidget(nextYear);
    layout->addLayout(head);

    calendar_ = new QCalendarWidget(this);
    calendar_->setObjectName("Calendar");
    calendar_->setNavigationBarVisible(false);
    calendar_->setFirstDayOfWeek(Qt::Monday);
    calendar_->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    calendar_->installEventFilter(this);
    layout->addWidget(calendar_);

    chosen_ = new QLabel(this);
    chosen_->setObjectName("LDate");
    today_ = new QLabel(this);
    today_->setObjectName("LToday");
    today_->setText(QString::fromStdString(LanguageText("#BS.Today")) + ": " +
                    ShortDate(QDate::currentDate()));
    today_->installEventFilter(this);
    layout->addWidget(chosen_);
    layout->addWidget(today_);

    connect(prevYear, &QToolButton::clicked, this, [this] { MoveMonths(-12); });
    connect(nextYear, &QToolButton::clicked, this, [this] { MoveMonths(12); });
    connect(prevMonth, &QToolButton::clicked, this, [this] { MoveMonths(-1); });
    connect(nextMonth, &QToolButton::clicked, this, [this] { MoveMonths(1); });
    month_->OnUserChange = [this](TBSCustomComboBox&) {
        const QDate d = calendar_->selectedDate();
        ShowDate(QDate(d.year(), month_->SelectedKey(), 1)
                     .addDays(std::min(d.day(),
                                       QDate(d.year(), month_->SelectedKey(), 1).daysInMonth()) -
                              1));
    };
    connect(year_, &QSpinBox::valueChanged, this, [this](int year) {
        if (updating_)
            return;
        const QDate d = calendar_->selectedDate();
        const QDate first(year, d.month(), 1);
        ShowDate(first.addDays(std::min(d.day(), first.daysInMonth()) - 1));
    });
    connect(calendar_, &QCalendarWidget::selectionChanged, this,
            [this] { ShowDate(calendar_->selectedDate()); });
    connect(calendar_, &QCalendarWidget::activated, this, [this] { accept(); });

    SetRange(0, OpenEndDateTime);
    SetDate(TodayDate());
}

void TBSCalendarDlg::SetRange(TDateTime min, TDateTime max) {
    min_ = min;
    max_ = std::max(min, max);
    const QDate lo = DateFromDayNumber(min_), hi = DateFromDayNumber(max_);
    calendar_->setDateRange(lo, hi);
    updating_ = true;
    year_->setRange(lo.year(), hi.year());
    updating_ = false;
}

void TBSCalendarDlg::SetDate(TDateTime date) {
    ShowDate(DateFromDayNumber(CalendarStartDate(date, min_, max_, TodayDate())));
}

TDateTime TBSCalendarDlg::Date() const {
    return DayNumberFromDate(calendar_->selectedDate());
}

void TBSCalendarDlg::ShowDate(const QDate& wanted) {
    if (updating_ || !wanted.isValid())
        return;
    updating_ = true;
    const QDate date = std::clamp(wanted, calendar_->minimumDate(), calendar_->maximumDate());
    calendar_->setSelectedDate(date);
    calendar_->setCurrentPage(date.year(), date.month());
    month_->SelectKey(date.month());
    year_->setValue(date.year());
    chosen_->setText(ShortDate(date));
    updating_ = false;
}

void TBSCalendarDlg::MoveMonths(int months) {
    ShowDate(calendar_->selectedDate().addMonths(months));
}

bool TBSCalendarDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == today_ && event->type() == QEvent::MouseButtonDblClick) {
        ShowDate(QDate::currentDate());
        return true;
    }
    if (watched == calendar_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool ctrl = key->modifiers() & Qt::ControlModifier;
        switch (key->key()) {
        case Qt::Key_PageUp:
            MoveMonths(ctrl ? -12 : -1);
            return true;
        case Qt::Key_PageDown:
            MoveMonths(ctrl ? 12 : 1);
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            accept();
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TBSCalendarDlg::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        accept();
        return;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        eventFilter(calendar_, event);
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

// -----------------------------------------------------------------------------------------------
// TFBSNumericPadDlg

TFBSNumericPadDlg::TFBSNumericPadDlg(QWidget* parent)
    : QDialog(parent, Qt::Popup | Qt::FramelessWindowHint) {
    setObjectName("TFBSNumericPadDlg");
    setModal(true);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setSpacing(2);
    line_ = new QLineEdit(this);
    line_->setObjectName("EValue");
    line_->setReadOnly(true);
    line_->setFocusPolicy(Qt::NoFocus);
    grid->addWidget(line_, 0, 0, 1, 4);

    auto key = [this, grid](const QString& text, int row, int col, const char* name) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        b->setFocusPolicy(Qt::NoFocus);
        b->setFixedWidth(32);
        grid->addWidget(b, row, col);
        return b;
    };
    const char* names[] = {"B0", "B1", "B2", "B3", "B4", "B5", "B6", "B7", "B8", "B9"};
    for (int digit = 1; digit <= 9; ++digit) {
        auto* b = key(QString::number(digit), 1 + (9 - digit) / 3, (digit - 1) % 3, names[digit]);
        connect(b, &QPushButton::clicked, this, [this, digit] { Append(QString::number(digit)); });
    }
    auto* zero = key("0", 4, 0, names[0]);
    connect(zero, &QPushButton::clicked, this, [this] { Append("0"); });
    auto* minus = key("-", 4, 1, "BMinus");
    connect(minus, &QPushButton::clicked, this, [this] { Append("-"); });
    // The pad writes the separator the number is read with.
    const QString point = QString::fromStdString(Language().GetFormatSettings().DecimalSeparator);
    auto* dot = key(point, 4, 2, "BPoint");
    connect(dot, &QPushButton::clicked, this, [this, point] { Append(point); });
    auto* back = key(QStringLiteral("\u2190"), 1, 3, "BBack");
    connect(back, &QPushButton::clicked, this,
            [this] { line_->setText(line_->text().chopped(line_->text().isEmpty() ? 0 : 1)); });
    auto* clear = key("C", 2, 3, "BClear");
    connect(clear, &QPushButton::clicked, this, [this] { line_->clear(); });
    auto* ok = key("OK", 3, 3, "BOk");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* cancel = key("X", 4, 3, "BCancel");
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QString TFBSNumericPadDlg::Text() const {
    return line_->text();
}

double TFBSNumericPadDlg::Value() const {
    return NumericPadValue(line_->text().toStdString(), Language().GetFormatSettings());
}

void TFBSNumericPadDlg::Append(const QString& text) {
    line_->setText(line_->text() + text);
}

} // namespace marqor
