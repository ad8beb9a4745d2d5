#include "controls/combo_box.h"

#include "controls/edit_rules.h"
#include "foundation/errors.h"
#include "foundation/text.h"
#include "texts/language.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QToolButton>
#include <algorithm>

namespace marqor {

namespace {

constexpr int kKeyRole = Qt::UserRole;

bool IsFocusOrModifierKey(int key) {
    switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_Meta:
        return true;
    default:
        return false;
    }
}

// Draws a font name 15 pixels in, with a grey and a blue "T" before scalable fonts.
class FontItemDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QString name = opt.text;
        opt.text.clear();
        QApplication::style()->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);
        painter->save();
        const QRect r = option.rect;
        if (index.data(kKeyRole).toInt() == 1) {
            QFont bold = option.font;
            bold.setBold(true);
            bold.setPixelSize(std::max(6, r.height() - 6));
            painter->setFont(bold);
            painter->setPen(QColor(128, 128, 128));
            painter->drawText(r.adjusted(1, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop, "T");
            painter->setPen(QColor(0, 0, 255));
            painter->drawText(r.adjusted(5, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop, "T");
        }
        painter->setFont(option.font);
        painter->setPen(option.state & QStyle::State_Selected
                            ? option.palette.color(QPalette::HighlightedText)
                            : option.palette.color(QPalette::Text));
        painter->drawText(r.adjusted(15, 1, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, name);
        painter->restore();
    }
};

} // namespace

int DropDownListWidth(int controlWidth, int clearButtonWidth, int dropDownWidth, int widestItem,
                      int itemCount, int dropDownCount) {
    const int base = controlWidth + (clearButtonWidth > 0 ? clearButtonWidth - 2 : 0);
    if (dropDownWidth == 0)
        return base;
    int wanted = widestItem + (itemCount > dropDownCount ? 24 : 8);
    if (dropDownWidth > 0)
        wanted = std::min(wanted, dropDownWidth);
    return std::max(base, wanted);
}

std::int32_t KeyOfValueText(std::string_view text) {
    if (text.empty())
        return 0;
    return StrToIntDef(text, -1);
}

int IndexOfValueText(std::string_view text, int count) {
    return std::clamp(StrToIntDef(text, -1), -1, count - 1);
}

// -----------------------------------------------------------------------------------------------
// TBSCustomComboBox

TBSCustomComboBox::TBSCustomComboBox(QWidget* parent)
    : QComboBox(parent), timer_(new QTimer(this)) {
    timer_->setSingleShot(true);
    timer_->setInterval(UserChangeDelayMs);
    connect(timer_, &QTimer::timeout, this, [this] { FireUserChange(); });
    connect(this, &QComboBox::activated, this, [this] {
        if (programmatic_ || readOnly_)
            return;
        if (OnClick)
            OnClick(*this);
        UserChanged();
        RunOutTimer();
    });
    setMaxVisibleItems(30);
    setInsertPolicy(QComboBox::NoInsert);
    UpdateColours();
}

TBSCustomComboBox::~TBSCustomComboBox() {
    timer_->stop();
    delete clearButton_.data();
}

void TBSCustomComboBox::SetComboBoxType(TBSComboBoxType type) {
    type_ = type;
    const bool editable = type == cbtText;
    if (editable != isEditable()) {
        const QString text = currentText();
        Programmatic([&] {
            setEditable(editable);
            if (editable) {
                lineEdit()->setText(currentIndex() >= 0 ? itemText(currentIndex()) : text);
                lineEdit()->setReadOnly(readOnly_);
                connect(lineEdit(), &QLineEdit::textEdited, this, [this] {
                    if (!readOnly_)
                        UserChanged();
                });
            }
        });
    }
    ApplyMandatoryRule();
}

void TBSCustomComboBox::SetMandatory(bool mandatory) {
    mandatory_ = mandatory;
    UpdateClearButton();
    ApplyMandatoryRule();
}

void TBSCustomComboBox::SetShowClearButton(bool show) {
    showClearButton_ = show;
    UpdateClearButton();
}

std::string TBSCustomComboBox::Hint() const {
    return toolTip().toStdString();
}

void TBSCustomComboBox::SetHint(const std::string& hint) {
    setToolTip(QString::fromStdString(hint));
}

void TBSCustomComboBox::ApplyMandatoryRule() {
    if (mandatory_ && type_ != cbtText && currentIndex() < 0 && count() > 0)
        SetItemIndex(0);
}

void TBSCustomComboBox::SetItemIndex(int index) {
    Programmatic([&] { setCurrentIndex(std::clamp(index, -1, count() - 1)); });
}

void TBSCustomComboBox::AppendItem(const QString& text, std::int32_t key) {
    const int before = currentIndex();
    const QString editText = isEditable() ? currentText() : QString();
    Programmatic([&] {
        addItem(text, QVariant(key));
        // The platform selects the first item of an empty list; here only the mandatory rule
        // may.
        if (currentIndex() != before)
            setCurrentIndex(before);
        if (isEditable() && currentText() != editText)
            setEditText(editText);
    });
}

std::string TBSCustomComboBox::ValueText() const {
    switch (type_) {
    case cbtKey:
        return std::to_string(SelectedKey());
    case cbtIndex:
        return std::to_string(currentIndex());
    case cbtText:
        return currentText().toStdString();
    }
    return {};
}

void TBSCustomComboBox::SetValueText(std::string_view text) {
    switch (type_) {
    case cbtKey:
        SelectKey(KeyOfValueText(text));
        break;
    case cbtIndex:
        SetItemIndex(IndexOfValueText(text, count()));
        break;
    case cbtText:
        Programmatic([&] { setEditText(QString::fromUtf8(text.data(), qsizetype(text.size()))); });
        break;
    }
    ApplyMandatoryRule();
}

std::int32_t TBSCustomComboBox::SelectedKey() const {
    const int i = currentIndex();
    return i >= 0 ? itemData(i, kKeyRole).toInt() : 0;
}

void TBSCustomComboBox::SelectKey(std::int32_t key) {
    int found = -1;
    for (int i = 0; i < count(); ++i) {
        if (itemData(i, kKeyRole).toInt() == key) {
            found = i;
            break;
        }
    }
    SetItemIndex(found);
    if (found < 0)
        ApplyMandatoryRule();
}

void TBSCustomComboBox::ClearByUser() {
    hidePopup();
    Programmatic([&] {
        setCurrentIndex(-1);
        if (isEditable())
            setEditText(QString());
    });
    UserChanged();
}

void TBSCustomComboBox::SetReadOnly(bool readOnly) {
    if (readOnly == readOnly_)
        return;
    readOnly_ = readOnly;
    setFocusPolicy(readOnly ? Qt::ClickFocus : Qt::StrongFocus);
    if (lineEdit())
        lineEdit()->setReadOnly(readOnly);
    if (readOnly) {
        hidePopup();
        timer_->stop();
    }
    UpdateColours();
    UpdateClearButton();
}

TBSControlValue TBSCustomComboBox::GetValue() const {
    switch (type_) {
    case cbtKey:
        return TBSControlValue::Integer(SelectedKey());
    case cbtIndex:
        return TBSControlValue::Integer(currentIndex());
    case cbtText:
        return TBSControlValue::String(currentText().toStdString());
    }
    return {};
}

void TBSCustomComboBox::SetValue(const TBSControlValue& value) {
    switch (type_) {
    case cbtKey:
        SelectKey(std::int32_t(value.AsInteger()));
        break;
    case cbtIndex:
        SetItemIndex(int(std::clamp<std::int64_t>(value.AsInteger(), -1, count() - 1)));
        break;
    case cbtText:
        Programmatic([&] { setEditText(QString::fromStdString(value.AsString())); });
        break;
    }
    ApplyMandatoryRule();
}

void TBSCustomComboBox::showPopup() {
    if (readOnly_)
        return; // a read-only list never opens
    int widest = 0;
    const QFontMetrics metrics(font());
    for (int i = 0; i < count(); ++i)
        widest = std::max(widest, metrics.horizontalAdvance(itemText(i)));
    const int clear = clearButton_ ? clearButton_->width() : 0;
    view()->setMinimumWidth(
        DropDownListWidth(width(), clear, dropDownWidth_, widest, count(), maxVisibleItems()));
    QComboBox::showPopup();
}

bool TBSCustomComboBox::event(QEvent* e) {
    const bool result = QComboBox::event(e);
    switch (e->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::ShowToParent:
    case QEvent::HideToParent:
    case QEvent::EnabledChange:
    case QEvent::ParentChange:
        UpdateClearButton();
        break;
    default:
        break;
    }
    return result;
}

void TBSCustomComboBox::keyPressEvent(QKeyEvent* e) {
    if (readOnly_ && !IsFocusOrModifierKey(e->key())) {
        e->accept(); // a read-only list takes no key, not even the arrows
        return;
    }
    const bool plain =
        (e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) == 0;
    if ((e->key() == Qt::Key_Backspace || e->key() == Qt::Key_Delete) && type_ != cbtText &&
        !mandatory_) {
        ClearByUser();
        e->accept();
        return;
    }
    if (plain && (e->key() == Qt::Key_F2 || e->key() == Qt::Key_F4)) {
        if (count() > 0 && !view()->isVisible())
            showPopup();
        e->accept();
        return;
    }
    QComboBox::keyPressEvent(e);
}

void TBSCustomComboBox::focusOutEvent(QFocusEvent* e) {
    QComboBox::focusOutEvent(e);
    if (type_ == cbtText && e->reason() != Qt::ActiveWindowFocusReason &&
        e->reason() != Qt::PopupFocusReason)
        RunOutTimer();
}

void TBSCustomComboBox::wheelEvent(QWheelEvent* e) {
    if (readOnly_) {
        e->accept();
        return;
    }
    QComboBox::wheelEvent(e);
}

void TBSCustomComboBox::UserChanged() {
    if (!readOnly_)
        timer_->start();
}

void TBSCustomComboBox::RunOutTimer() {
    if (timer_->isActive()) {
        timer_->stop();
        FireUserChange();
    }
}

void TBSCustomComboBox::FireUserChange() {
    if (OnUserChange && !QCoreApplication::closingDown())
        OnUserChange(*this);
}

void TBSCustomComboBox::UpdateClearButton() {
    QWidget* parent = parentWidget();
    const bool wanted = showClearButton_ && !mandatory_ && parent;
    if (!wanted || (clearButton_ && clearButton_->parentWidget() != parent)) {
        delete clearButton_.data();
        if (!wanted)
            return;
    }
    if (!clearButton_) {
        clearButton_ = new QToolButton(parent);
        clearButton_->setAutoRaise(true);
        clearButton_->setFocusPolicy(Qt::NoFocus);
        clearButton_->setIcon(ControlGlyph("BS_GLYPH_CLEAR"));
        connect(clearButton_.data(), &QToolButton::clicked, this, [this] {
            if (isEnabled() && !readOnly_)
                ClearByUser();
        });
    }
    const QRect r = geometry();
    const int side = std::max(1, r.height() - 4);
    clearButton_->setGeometry(r.left() + r.width() - 2, r.top() + 2, side, side);
    clearButton_->raise();
    clearButton_->setVisible(isVisibleTo(parent));
    clearButton_->setEnabled(isEnabled() && !readOnly_);
}

void TBSCustomComboBox::UpdateColours() {
    const QPalette natural = QApplication::palette(this);
    QPalette p = palette();
    const QColor colour =
        natural.color(QPalette::Active, readOnly_ ? QPalette::Button : QPalette::Base);
    p.setColor(QPalette::Active, QPalette::Base, colour);
    p.setColor(QPalette::Inactive, QPalette::Base, colour);
    setPalette(p);
}

// -----------------------------------------------------------------------------------------------
// TBSComboBox

TBSComboBox::TBSComboBox(QWidget* parent) : TBSCustomComboBox(parent) {}

std::int32_t TBSComboBox::KeyAt(int index) const {
    if (index < 0 || index >= count())
        throw EListError(index);
    return itemData(index, kKeyRole).toInt();
}

void TBSComboBox::Clear() {
    Programmatic([&] { clear(); });
}

void TBSComboBox::AddItem(std::string_view text, std::int32_t key) {
    AppendItem(QString::fromStdString(LanguageText(text, -1)), key);
    ApplyMandatoryRule();
}

void TBSComboBox::AddLookupItems(const IBSLookupItems* items) {
    if (!items)
        return;
    for (int i = 0; i < items->Count(); ++i)
        AddItem(items->TextAt(i), items->KeyAt(i));
}

void TBSComboBox::SetLookupItems(const IBSLookupItems* items) {
    const std::string value = ValueText();
    Clear();
    AddLookupItems(items);
    SetValueText(value);
}

void TBSComboBox::LoadFromSection(const IBSSection& section) {
    SetValueText(section.ReadRaw(ComponentName(this), ValueText()));
}

void TBSComboBox::SaveToSection(IBSSection& section) const {
    section.WriteRaw(ComponentName(this), ValueText());
}

void TBSComboBox::CollectTexts(IBSStringList& list) const {
    if (ComboBoxType() == cbtKey)
        return;
    list.Add(Hint().empty() ? "." : Hint());
    for (int i = 0; i < count(); ++i)
        list.Add(itemText(i).toStdString());
}

void TBSComboBox::ApplyTexts(const IBSStringList& lines, int first, int count) {
    if (count < 1 || first < 0 || first >= lines.Count())
        return;
    const std::string& hint = lines.Item(first);
    if (!hint.empty() && hint != ".")
        SetHint(hint);
    // The items of a key list come from code; a block with the hint only keeps the items.
    if (ComboBoxType() == cbtKey || count < 2)
        return;
    const int selected = currentIndex();
    const QString text = currentText();
    Programmatic([&] {
        clear();
        for (int i = first + 1; i < first + count && i < lines.Count(); ++i)
            addItem(QString::fromStdString(lines.Item(i)), QVariant(i - first - 1));
        setCurrentIndex(std::min(selected, this->count() - 1));
        if (ComboBoxType() == cbtText && selected < 0)
            setEditText(text);
    });
}

// -----------------------------------------------------------------------------------------------
// TBSFontComboBox

TBSFontComboBox::TBSFontComboBox(QWidget* parent) : TBSCustomComboBox(parent) {
    SetComboBoxType(cbtIndex);
    setMaxVisibleItems(20);
    setItemDelegate(new FontItemDelegate(this));
    Fill();
}

void TBSFontComboBox::SetOptions(TBSFontComboOptions options) {
    if (options == options_)
        return;
    options_ = options;
    Fill();
}

void TBSFontComboBox::Fill() {
    const std::string remembered = FontName();
    struct Entry {
        QString name;
        int key;
    };
    std::vector<Entry> fonts;
    for (const QString& family : QFontDatabase::families()) {
        const bool fixed = QFontDatabase::isFixedPitch(family);
        if (!(fixed ? (options_ & tfcFixedPitch) : (options_ & tfcVarPitch)))
            continue;
        const bool trueType = QFontDatabase::isSmoothlyScalable(family);
        if ((options_ & tfcOnlyTrueType) && !trueType)
            continue;
        fonts.push_back({family.left(32), trueType ? 1 : 0});
    }
    std::stable_sort(fonts.begin(), fonts.end(), [](const Entry& a, const Entry& b) {
        return CompareDisplayText(a.name.toStdString(), b.name.toStdString()) < 0;
    });
    Programmatic([&] { clear(); });
    for (const auto& font : fonts)
        AppendItem(font.name, font.key);
    SelectFontName(remembered);
}

std::string TBSFontComboBox::FontName() const {
    return currentIndex() >= 0 ? itemText(currentIndex()).toStdString() : std::string();
}

void TBSFontComboBox::SelectFontName(std::string_view name) {
    int found = -1;
    for (int i = 0; i < count(); ++i)
        if (SameText(itemText(i).toStdString(), name))
            found = i;
    SetItemIndex(found);
    ApplyMandatoryRule();
}

void TBSFontComboBox::LoadFromSection(const IBSSection& section) {
    SelectFontName(section.ReadRaw(ComponentName(this), FontName()));
}

void TBSFontComboBox::SaveToSection(IBSSection& section) const {
    section.WriteRaw(ComponentName(this), FontName());
}

} // namespace marqor
