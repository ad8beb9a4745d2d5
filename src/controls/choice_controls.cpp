#include "controls/choice_controls.h"

#include "texts/language.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QGridLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QStyle>
#include <QStyleOptionButton>
#include <algorithm>

namespace marqor {

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// A "." in a translation keeps what the control has; form sections deliver it as an empty line.
bool KeepsText(const std::string& line) {
    return line.empty() || line == ".";
}

// Only usable while enabled and not read-only; read-only but enabled stays readable.
void ApplyChoiceState(QWidget* widget, bool enabled, bool readOnly) {
    widget->setEnabled(enabled && !readOnly);
    SetReadableDisabledLook(widget, enabled && readOnly);
}

} // namespace

// -----------------------------------------------------------------------------------------------
// TBSCustomRadioGroup

TBSCustomRadioGroup::TBSCustomRadioGroup(QWidget* parent)
    : QGroupBox(parent), group_(new QButtonGroup(this)), grid_(new QGridLayout(this)) {
    group_->setExclusive(true);
    grid_->setContentsMargins(8, 4, 8, 4);
    grid_->setVerticalSpacing(2);
}

std::vector<std::string> TBSCustomRadioGroup::Items() const {
    std::vector<std::string> items;
    for (auto* b : buttons_)
        items.push_back(b->text().toStdString());
    return items;
}

void TBSCustomRadioGroup::SetItems(const std::vector<std::string>& items) {
    const int keep = index_ < int(items.size()) ? index_ : -1;
    while (buttons_.size() > items.size()) {
        group_->removeButton(buttons_.back());
        delete buttons_.back();
        buttons_.pop_back();
    }
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i == buttons_.size()) {
            auto* b = new QRadioButton(this);
            const int index = int(i);
            group_->addButton(b, index);
            connect(b, &QRadioButton::toggled, this, [this, index](bool on) {
                if (on)
                    index_ = index;
            });
            // Only a click that changed the selection is a change by the user.
            connect(b, &QRadioButton::pressed, this, [this] { pressedIndex_ = index_; });
            connect(b, &QRadioButton::clicked, this, [this, index] {
                if (!programmatic_ && index != pressedIndex_)
                    UserSelected(index);
            });
            buttons_.push_back(b);
        }
        buttons_[i]->setText(Q(items[i]));
    }
    index_ = -2; // forces SetItemIndex to set the buttons
    SetItemIndex(keep);
    Arrange();
}

void TBSCustomRadioGroup::SetItemIndex(int index) {
    if (index < -1 || index >= Count())
        index = -1;
    if (index == index_)
        return;
    programmatic_ = true;
    if (index < 0) {
        group_->setExclusive(false);
        for (auto* b : buttons_)
            b->setChecked(false);
        group_->setExclusive(true);
    } else {
        buttons_[std::size_t(index)]->setChecked(true);
    }
    index_ = index;
    programmatic_ = false;
}

void TBSCustomRadioGroup::SetColumns(int columns) {
    columns_ = std::max(1, columns);
    Arrange();
}

std::string TBSCustomRadioGroup::Caption() const {
    return title().toStdString();
}

void TBSCustomRadioGroup::SetCaption(const std::string& caption) {
    setTitle(Q(caption));
}

std::string TBSCustomRadioGroup::Hint() const {
    return toolTip().toStdString();
}

void TBSCustomRadioGroup::SetHint(const std::string& hint) {
    setToolTip(Q(hint));
}

QRadioButton* TBSCustomRadioGroup::Button(int index) const {
    return index >= 0 && index < Count() ? buttons_[std::size_t(index)] : nullptr;
}

void TBSCustomRadioGroup::Arrange() {
    for (auto* b : buttons_)
        grid_->removeWidget(b);
    const int n = Count();
    if (n == 0)
        return;
    // Column by column: with n items in c columns each column holds ceil(n / c) rows.
    const int rows = (n + columns_ - 1) / columns_;
    for (int i = 0; i < n; ++i)
        grid_->addWidget(buttons_[std::size_t(i)], i % rows, i / rows);
}

// -----------------------------------------------------------------------------------------------
// TKvrRadioGroup

TKvrRadioGroup::TKvrRadioGroup(QWidget* parent) : TBSCustomRadioGroup(parent) {}

void TKvrRadioGroup::SetEnabled(bool enabled) {
    enabled_ = enabled;
    UpdateState();
}

void TKvrRadioGroup::SetReadOnly(bool readOnly) {
    readOnly_ = readOnly;
    UpdateState();
}

void TKvrRadioGroup::UpdateState() {
    ApplyChoiceState(this, enabled_, readOnly_);
}

void TKvrRadioGroup::UserSelected(int) {
    if (OnClick)
        OnClick(*this);
}

void TKvrRadioGroup::LoadFromSection(const IBSSection& section) {
    SetItemIndex(section.ReadInteger(ComponentName(this), ItemIndex()));
}

void TKvrRadioGroup::SaveToSection(IBSSection& section) const {
    section.WriteInteger(ComponentName(this), ItemIndex());
}

void TKvrRadioGroup::CollectTexts(IBSStringList& list) const {
    list.Add(Caption().empty() ? "." : Caption());
    list.Add(Hint().empty() ? "." : Hint());
    for (const auto& item : Items())
        list.Add(item);
}

void TKvrRadioGroup::ApplyTexts(const IBSStringList& lines, int first, int count) {
    if (count < 1 || first < 0)
        return;
    std::vector<std::string> block;
    for (int i = first; i < first + count && i < lines.Count(); ++i)
        block.push_back(lines.Item(i));
    if (block.empty())
        return;
    if (!KeepsText(block[0]))
        SetCaption(block[0]);
    if (block.size() > 1 && !KeepsText(block[1]))
        SetHint(block[1]);
    while (block.size() > 2 && block.back().empty())
        block.pop_back();
    // A block with caption and hint only keeps the items it has.
    if (block.size() > 2) {
        const int selected = ItemIndex();
        SetItems(std::vector<std::string>(block.begin() + 2, block.end()));
        SetItemIndex(std::min(selected, Count() - 1));
    }
}

// -----------------------------------------------------------------------------------------------
// TBSRadioGroup

TBSRadioGroup::TBSRadioGroup(QWidget* parent) : TBSCustomRadioGroup(parent) {}

void TBSRadioGroup::SetShowGroupBox(bool show) {
    showGroupBox_ = show;
    update();
}

void TBSRadioGroup::paintEvent(QPaintEvent* event) {
    if (showGroupBox_)
        TBSCustomRadioGroup::paintEvent(event);
}

void TBSRadioGroup::UserSelected(int) {
    if (OnUserChange && !QCoreApplication::closingDown())
        OnUserChange(*this);
}

void TBSRadioGroup::CollectTexts(IBSStringList& list) const {
    list.Add(Hint().empty() ? "." : Hint());
    for (const auto& item : Items())
        list.Add(item);
}

void TBSRadioGroup::ApplyTexts(const IBSStringList& lines, int first, int count) {
    if (count < 1 || first < 0 || first >= lines.Count())
        return;
    if (!KeepsText(lines.Item(first)))
        SetHint(lines.Item(first));
    if (count < 2)
        return;
    std::vector<std::string> items;
    for (int i = first + 1; i < first + count && i < lines.Count(); ++i)
        items.push_back(lines.Item(i));
    const int selected = ItemIndex();
    SetItems(items);
    SetItemIndex(std::min(selected, Count() - 1));
}

void TBSRadioGroup::LoadFromSection(const IBSSection& section) {
    SetItemIndex(section.ReadInteger(ComponentName(this), ItemIndex()));
}

void TBSRadioGroup::SaveToSection(IBSSection& section) const {
    section.WriteInteger(ComponentName(this), ItemIndex());
}

TBSControlValue TBSRadioGroup::GetValue() const {
    const int i = ItemIndex();
    if (i < 0 || i >= int(Values.size()))
        return TBSControlValue::String("");
    return TBSControlValue::String(Values[std::size_t(i)]);
}

void TBSRadioGroup::SetValue(const TBSControlValue& value) {
    const std::string text = value.AsString();
    const auto it = std::find(Values.begin(), Values.end(), text);
    SetItemIndex(it == Values.end() ? -1 : int(it - Values.begin()));
}

void TBSRadioGroup::SetReadOnly(bool readOnly) {
    readOnly_ = readOnly;
    ApplyChoiceState(this, true, readOnly);
    setFocusPolicy(readOnly ? Qt::NoFocus : Qt::TabFocus);
}

// -----------------------------------------------------------------------------------------------
// TKvrRadioButton and TKvrCheckBox

TKvrRadioButton::TKvrRadioButton(QWidget* parent) : QRadioButton(parent) {}

void TKvrRadioButton::SetEnabled(bool enabled) {
    enabled_ = enabled;
    UpdateState();
}

void TKvrRadioButton::SetReadOnly(bool readOnly) {
    readOnly_ = readOnly;
    UpdateState();
}

void TKvrRadioButton::UpdateState() {
    ApplyChoiceState(this, enabled_, readOnly_);
}

std::string TKvrRadioButton::Caption() const {
    return text().toStdString();
}

void TKvrRadioButton::SetCaption(const std::string& caption) {
    setText(Q(caption));
}

void TKvrRadioButton::LoadFromSection(const IBSSection& section) {
    setChecked(section.ReadBool(ComponentName(this), isChecked()));
}

void TKvrRadioButton::SaveToSection(IBSSection& section) const {
    section.WriteBool(ComponentName(this), isChecked());
}

void TKvrRadioButton::CollectTexts(IBSStringList& list) const {
    list.Add(Caption());
    if (!toolTip().isEmpty())
        list.Add(toolTip().toStdString());
}

void TKvrRadioButton::ApplyTexts(const IBSStringList& lines, int first, int count) {
    if (count < 1 || first < 0 || first >= lines.Count())
        return;
    SetCaption(lines.Item(first));
    if (count > 1 && first + 1 < lines.Count())
        setToolTip(Q(lines.Item(first + 1)));
}

TKvrCheckBox::TKvrCheckBox(QWidget* parent) : QCheckBox(parent) {
    connect(this, &QCheckBox::clicked, this, [this] {
        if (OnToggle)
            OnToggle(*this);
    });
}

void TKvrCheckBox::SetEnabled(bool enabled) {
    enabled_ = enabled;
    UpdateState();
}

void TKvrCheckBox::SetReadOnly(bool readOnly) {
    readOnly_ = readOnly;
    UpdateState();
}

void TKvrCheckBox::UpdateState() {
    ApplyChoiceState(this, enabled_, readOnly_);
}

std::string TKvrCheckBox::Caption() const {
    return text().toStdString();
}

void TKvrCheckBox::SetCaption(const std::string& caption) {
    setText(Q(caption));
}

void TKvrCheckBox::LoadFromSection(const IBSSection& section) {
    setChecked(section.ReadBool(ComponentName(this), isChecked()));
}

void TKvrCheckBox::SaveToSection(IBSSection& section) const {
    section.WriteBool(ComponentName(this), isChecked());
}

void TKvrCheckBox::CollectTexts(IBSStringList& list) const {
    list.Add(Caption());
    if (!toolTip().isEmpty())
        list.Add(toolTip().toStdString());
}

void TKvrCheckBox::ApplyTexts(const IBSStringList& lines, int first, int count) {
    if (count < 1 || first < 0 || first >= lines.Count())
        return;
    SetCaption(lines.Item(first));
    if (count > 1 && first + 1 < lines.Count())
        setToolTip(Q(lines.Item(first + 1)));
}

// -----------------------------------------------------------------------------------------------
// TBSCheckBox

TBSCheckBox::TBSCheckBox(QWidget* parent) : QCheckBox(parent) {
    connect(this, &QCheckBox::clicked, this, [this] {
        if (!readOnly_ && OnUserChange && !QCoreApplication::closingDown())
            OnUserChange(*this);
    });
}

TBSCheckBoxState TBSCheckBox::CheckState() const {
    switch (checkState()) {
    case Qt::Checked:
        return cbChecked;
    case Qt::PartiallyChecked:
        return cbGrayed;
    default:
        return cbUnchecked;
    }
}

void TBSCheckBox::SetCheckState(TBSCheckBoxState state) {
    if (state == cbGrayed && !isTristate())
        setTristate(true);
    setCheckState(state == cbChecked  ? Qt::Checked
                  : state == cbGrayed ? Qt::PartiallyChecked
                                      : Qt::Unchecked);
}

void TBSCheckBox::nextCheckState() {
    if (readOnly_)
        return;
    // The user never makes a box grayed: grayed and unchecked become checked.
    setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}

bool TBSCheckBox::hitButton(const QPoint& pos) const {
    return !readOnly_ && QCheckBox::hitButton(pos);
}

void TBSCheckBox::keyPressEvent(QKeyEvent* event) {
    if (readOnly_ && event->key() == Qt::Key_Space) {
        event->accept();
        return;
    }
    QCheckBox::keyPressEvent(event);
}

void TBSCheckBox::SetReadOnly(bool readOnly) {
    readOnly_ = readOnly;
    setFocusPolicy(readOnly ? Qt::NoFocus : Qt::StrongFocus);
}

void TBSCheckBox::LoadFromSection(const IBSSection& section) {
    setChecked(section.ReadBool(ComponentName(this), isChecked()));
}

void TBSCheckBox::SaveToSection(IBSSection& section) const {
    section.WriteBool(ComponentName(this), isChecked());
}

TBSControlValue TBSCheckBox::GetValue() const {
    return TBSControlValue::Boolean(isChecked());
}

void TBSCheckBox::SetValue(const TBSControlValue& value) {
    setChecked(!value.IsEmpty() && value.AsInteger() != 0);
}

// -----------------------------------------------------------------------------------------------
// TBSMenuButton and TBSPanel

TBSMenuButton::TBSMenuButton(QWidget* parent) : QPushButton(parent), menu_(new QMenu(this)) {
    connect(this, &QPushButton::clicked, this, [this] {
        if (!menu_->actions().isEmpty())
            menu_->popup(mapToGlobal(rect().bottomLeft()));
    });
}

QAction* TBSMenuButton::AddMenuItem(std::string_view text, int tag) {
    QAction* action = menu_->addAction(QString::fromStdString(LanguageText(text, -1)));
    action->setData(tag);
    tags_.push_back(tag);
    connect(action, &QAction::triggered, this, [this, tag] {
        if (OnItemSelect)
            OnItemSelect(*this, tag);
    });
    return action;
}

TBSPanel::TBSPanel(QWidget* parent) : QFrame(parent) {
    setFrameShape(QFrame::NoFrame);
}

void TBSPanel::SetReadOnly(bool readOnly) {
    SetReadOnlyTree(this, readOnly);
}

} // namespace marqor
