#include "calculator/calculator.h"

#include "points/events.h"
#include "points/result_line.h"
#include "swimming/sw_language.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <limits>

namespace marqor {

namespace {

constexpr int kFieldHeight = 21;
constexpr int kRowHeight = 15;

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

bool IsEnter(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

QFont CalculatorFont() {
    QFont font = QFontDatabase::hasFamily("Tahoma")
                     ? QFont("Tahoma")
                     : QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    return font;
}

// -----------------------------------------------------------------------------------------------
// The result list

void TKvrResultLineDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const {
    TKvrFPCalculator::LBPointsDrawItem(*painter, option.rect, index.data().toString(),
                                       option.palette,
                                       option.state.testFlag(QStyle::State_Selected));
}

QSize TKvrResultLineDelegate::sizeHint(const QStyleOptionViewItem& option,
                                       const QModelIndex&) const {
    return {option.rect.width(), kRowHeight};
}

void TKvrFPCalculator::LBPointsDrawItem(QPainter& painter, const QRect& rect, const QString& line,
                                        const QPalette& palette, bool selected) {
    painter.save();
    painter.fillRect(rect, selected ? palette.highlight() : palette.button());
    painter.setPen(selected ? palette.highlightedText().color() : palette.buttonText().color());
    const QStringList fields = line.split(';');
    auto field = [&](int i) {
        return i < fields.size() ? fields[i] : QString();
    };
    const QFontMetrics fm(painter.font());
    const int baseline = rect.top() + 1 + fm.ascent();
    auto left = [&](int i, int x) {
        painter.drawText(rect.left() + x, baseline, field(i));
    };
    const int right = rect.left() + rect.width();
    auto endingAt = [&](int i, int x) {
        const QString text = field(i);
        painter.drawText(x - fm.horizontalAdvance(text), baseline, text);
    };
    left(0, 0);
    left(1, 100);
    left(2, 150);
    left(3, 260);
    if (field(4) != "99")
        endingAt(4, right - 140);
    endingAt(5, right - 110);
    endingAt(6, right - 55);
    endingAt(7, right);
    painter.restore();
}

// -----------------------------------------------------------------------------------------------
// TKvrFPCalculator

TKvrFPCalculator::TKvrFPCalculator(TBSSwPointTableController& tables, QWidget* parent)
    : TKvrForm(parent), tables_(tables) {
    setObjectName("KvrFPCalculator");
    // A tool window with only the system menu; it is never shown while its panel sits in the
    // main window.
    setWindowFlags(Qt::Tool | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setWindowTitle("Punkte berechnen");
    setFont(CalculatorFont());
    setFixedSize(480, 350);

    PnlCalculator = new TBSPanel(this);
    PnlCalculator->setObjectName("PnlCalculator");
    PnlCalculator->setGeometry(0, 0, 480, 350);
    // Explicit, so that the panel keeps it in the main window, whose font is another.
    PnlCalculator->setFont(CalculatorFont());
    PnlCalculator->installEventFilter(this);

    CBPointTable = new TBSComboBox(PnlCalculator);
    CBPointTable->setObjectName("CBPointTable");
    CBPointTable->setGeometry(5, 5, 470, kFieldHeight);
    CBPointTable->SetMandatory(true);
    CBPointTable->SetDropDownCount(25);
    CBPointTable->OnUserChange = [this](TBSCustomComboBox&) {
        CBPointTableUserChange();
    };

    CBSwimStyle = new TBSComboBox(PnlCalculator);
    CBSwimStyle->setObjectName("CBSwimStyle");
    CBSwimStyle->setGeometry(5, 30, 230, kFieldHeight);
    CBSwimStyle->SetMandatory(true);
    CBSwimStyle->SetDropDownCount(30);

    CBCourse = new TBSComboBox(PnlCalculator);
    CBCourse->setObjectName("CBCourse");
    CBCourse->setGeometry(5, 55, 230, kFieldHeight);
    CBCourse->SetMandatory(true);
    CBCourse->SetDropDownCount(15);

    RgrGeschlecht = new TKvrRadioGroup(PnlCalculator);
    RgrGeschlecht->setObjectName("RgrGeschlecht");
    RgrGeschlecht->setGeometry(5, 80, 150, 35);
    RgrGeschlecht->SetCaption("Gender");
    RgrGeschlecht->SetColumns(2);
    RgrGeschlecht->SetItems({"&Men", "&Women"});
    RgrGeschlecht->SetItemIndex(0);
    // The group is only 35 pixels high: the buttons sit right below its caption.
    RgrGeschlecht->layout()->setContentsMargins(8, 0, 8, 0);

    Label1 = new QLabel("&Age:", PnlCalculator);
    Label1->setObjectName("Label1");
    Label1->setGeometry(160, 96, 40, 13);
    Label1->setAlignment(Qt::AlignRight | Qt::AlignTop);

    EAge = new TBSEdit(PnlCalculator);
    EAge->setObjectName("EAge");
    EAge->setGeometry(205, 92, 30, kFieldHeight);
    EAge->SetEditType(etInteger);
    EAge->SetDecimals(0);
    EAge->setAlignment(Qt::AlignRight);
    EAge->SetMinValue(1);
    EAge->SetMaxValue(999);
    Label1->setBuddy(EAge);

    Label2 = new QLabel("&Handicap:", PnlCalculator);
    Label2->setObjectName("Label2");
    Label2->setGeometry(245, 96, 60, 13);
    Label2->setAlignment(Qt::AlignRight | Qt::AlignTop);

    EHandicap = new TBSEdit(PnlCalculator);
    EHandicap->setObjectName("EHandicap");
    EHandicap->setGeometry(310, 92, 30, kFieldHeight);
    EHandicap->SetEditType(etString);
    EHandicap->setAlignment(Qt::AlignRight);
    EHandicap->SetHint("Possible values are [empty], 1-15, AB");
    EHandicap->SetUserChangeDelay(ucdOnExit);
    EHandicap->OnUserChange = [this](TBSEdit&) {
        EHandicapUserChange();
    };
    Label2->setBuddy(EHandicap);

    RBTime = new TKvrRadioButton(PnlCalculator);
    RBTime->setObjectName("RBTime");
    RBTime->setGeometry(290, 32, 120, 17);
    RBTime->SetCaption("Enter &time:");
    RBTime->setChecked(true);
    connect(RBTime, &QRadioButton::clicked, this, [this] { RBTimeClick(); });

    ESwimTime = new TBSEdit(PnlCalculator);
    ESwimTime->setObjectName("ESwimTime");
    ESwimTime->setGeometry(410, 30, 65, kFieldHeight);
    ESwimTime->SetEditType(etSwimtime);
    ESwimTime->installEventFilter(this);

    RBPoints = new TKvrRadioButton(PnlCalculator);
    RBPoints->setObjectName("RBPoints");
    RBPoints->setGeometry(290, 57, 120, 17);
    RBPoints->SetCaption("Enter &points");
    connect(RBPoints, &QRadioButton::clicked, this, [this] { RBTimeClick(); });

    EPoints = new TBSEdit(PnlCalculator);
    EPoints->setObjectName("EPoints");
    EPoints->setGeometry(410, 55, 65, kFieldHeight);
    EPoints->SetEditType(etInteger);
    EPoints->SetDecimals(0);
    EPoints->setAlignment(Qt::AlignRight);
    EPoints->SetMaxValue(1200);
    EPoints->SetMinValue(std::numeric_limits<std::int32_t>::min());
    EPoints->installEventFilter(this);

    BCalculate = new QPushButton("Calculate", PnlCalculator);
    BCalculate->setObjectName("BCalculate");
    BCalculate->setGeometry(395, 90, 80, 25);
    BCalculate->setDefault(true);
    connect(BCalculate, &QPushButton::clicked, this, [this] { BCalculateClick(); });

    LBPoints = new QListWidget(PnlCalculator);
    LBPoints->setObjectName("LBPoints");
    LBPoints->setGeometry(0, 125, 480, 225);
    LBPoints->setFocusPolicy(Qt::ClickFocus);
    LBPoints->setUniformItemSizes(true);
    LBPoints->setItemDelegate(new TKvrResultLineDelegate(LBPoints));
    QPalette listPalette = LBPoints->palette();
    listPalette.setColor(QPalette::Base, listPalette.color(QPalette::Button));
    LBPoints->setPalette(listPalette);

    setTabOrder(CBPointTable, CBSwimStyle);
    setTabOrder(CBSwimStyle, CBCourse);
    setTabOrder(CBCourse, RgrGeschlecht->Button(0));
    setTabOrder(RgrGeschlecht->Button(0), RgrGeschlecht->Button(1));
    setTabOrder(RgrGeschlecht->Button(1), EAge);
    setTabOrder(EAge, EHandicap);
    setTabOrder(EHandicap, RBTime);
    setTabOrder(RBTime, ESwimTime);
    setTabOrder(ESwimTime, RBPoints);
    setTabOrder(RBPoints, EPoints);
    setTabOrder(EPoints, BCalculate);

    // The window is never shown, so it is loaded (translated, given its accelerators) here,
    // while its controls are still its own.
    Loaded();
    FormCreate();
}

TKvrFPCalculator::~TKvrFPCalculator() = default;

void TKvrFPCalculator::FormCreate() {
    definitions_ = EventDefinitions();
    EAge->SetAsInteger(99);
    SetFinaMode(false);
    ESwimTime->setFocus();
    RBTimeClick();
}

void TKvrFPCalculator::FormShow() {}

bool TKvrFPCalculator::FormCloseQuery() {
    return true;
}

void TKvrFPCalculator::SetFinaMode(bool on) {
    finaMode_ = on;
    for (QWidget* w : {static_cast<QWidget*>(Label1), static_cast<QWidget*>(EAge),
                       static_cast<QWidget*>(Label2), static_cast<QWidget*>(EHandicap)})
        w->setVisible(!on);

    TBSSwPointTableOptions filter;
    if (on)
        filter.Include(ptoFina);
    const auto list = tables_.PointTableList(filter);
    CBPointTable->SetLookupItems(list.get());
    CBPointTable->SelectKey(DefaultPointTableId);
    CBPointTableUserChange();

    CBSwimStyle->Clear();
    for (int key = 0; key < int(definitions_.size()); ++key) {
        const std::string& definition = definitions_[std::size_t(key)];
        if (on && !IsFinaEvent(definition))
            continue;
        CBSwimStyle->AddItem(EventText(*MakeSwimStyle(definition)), key);
    }
}

int TKvrFPCalculator::SelectedPointTable() const {
    return CBPointTable->SelectedKey();
}

TBSSwCourse TKvrFPCalculator::SelectedCourse() const {
    const auto key = CBCourse->SelectedKey();
    return key > 0 && key < CourseCount ? TBSSwCourse(key) : scoNone;
}

TBSSwGender TKvrFPCalculator::SelectedGender() const {
    return TBSSwGender(RgrGeschlecht->ItemIndex() + 1);
}

int TKvrFPCalculator::SelectedAge() const {
    return EAge->AsInteger();
}

int TKvrFPCalculator::SelectedHandicap() const {
    return SwLanguage().HandicapFromText(EHandicap->ValueText());
}

void TKvrFPCalculator::CBPointTableUserChange() {
    currentTable_ = tables_.GetPointTable(SelectedPointTable());
    const auto courses = SwLanguage().CourseListItems(currentTable_->Courses());
    CBCourse->SetLookupItems(courses.get());
    SetRemark(TableRemark(*currentTable_));
}

void TKvrFPCalculator::BCalculateClick() {
    currentTable_ = tables_.GetPointTable(SelectedPointTable());
    const int key = CBSwimStyle->SelectedKey();
    const std::string definition =
        key >= 0 && key < int(definitions_.size()) ? definitions_[std::size_t(key)] : "";
    const auto style = MakeSwimStyle(definition);
    const TBSSwCourse course = SelectedCourse();
    const TBSSwGender gender = SelectedGender();
    const int age = SelectedAge();
    const int handicap = SelectedHandicap();
    SwimTime time = NoSwimTime;
    int points = 0;
    if (RBTime->isChecked()) {
        time = ESwimTime->AsSwimTime();
        points = currentTable_->PointsFromTime(course, *style, gender, age, handicap, time);
    } else {
        points = EPoints->AsInteger();
        time = currentTable_->TimeFromPoints(course, *style, gender, age, handicap, points);
    }
    EPoints->SetAsInteger(points);
    ESwimTime->SetAsSwimTime(time);

    const std::string eventText = CBSwimStyle->currentText().toStdString();
    LBPoints->insertItem(
        0, Q(ResultLine(*currentTable_, course, eventText, gender, age, handicap, time, points)));
    SetRemark(CalculationRemark(*currentTable_, *style,
                                {course, gender, age, handicap, eventText, finaMode_}));

    TBSEdit* next = RBTime->isChecked() ? ESwimTime : EPoints;
    next->setFocus();
    next->selectAll();
}

void TKvrFPCalculator::EHandicapUserChange() {
    EHandicap->SetDisplayText(SwLanguage().HandicapText(SelectedHandicap()));
}

bool TKvrFPCalculator::ESwimTimeKeyPress(int key) {
    if (IsEnter(key)) {
        BCalculateClick();
        return true;
    }
    if (key == Qt::Key_Escape) {
        close();
        return true;
    }
    return false;
}

void TKvrFPCalculator::RBTimeClick() {
    ESwimTime->setEnabled(RBTime->isChecked());
    EPoints->setEnabled(RBPoints->isChecked());
}

void TKvrFPCalculator::SetRemark(std::string remark) {
    if (remark == remark_)
        return;
    remark_ = std::move(remark);
    if (OnRemark)
        OnRemark(remark_);
}

bool TKvrFPCalculator::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool plain = !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
        if ((watched == ESwimTime || watched == EPoints) && plain)
            return ESwimTimeKeyPress(key->key());
        // Enter that no control of the panel took presses the default button.
        if (watched == PnlCalculator && plain && IsEnter(key->key()) && BCalculate->isEnabled()) {
            BCalculate->click();
            return true;
        }
    }
    return TKvrForm::eventFilter(watched, event);
}

void TKvrFPCalculator::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    TKvrForm::keyPressEvent(event);
}

void TKvrFPCalculator::closeEvent(QCloseEvent* event) {
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    TKvrForm::closeEvent(event);
}

void TKvrFPCalculator::showEvent(QShowEvent* event) {
    TKvrForm::showEvent(event);
    FormShow();
}

} // namespace marqor
