#include "controls/edit.h"

#include "controls/control_services.h"
#include "controls/popups.h"
#include "foundation/text.h"
#include "swimming/swim_time.h"
#include "texts/language.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QTextBlock>
#include <QTimer>
#include <QToolButton>
#include <cmath>
#include <typeinfo>

namespace marqor {

namespace {

const QColor kWarningColour(255, 170, 170);

TBSFormatSettings CurrentFormat() {
    return Language().GetFormatSettings();
}

QTimer* NewUserChangeTimer(QObject* parent) {
    auto* timer = new QTimer(parent);
    timer->setSingleShot(true);
    timer->setInterval(UserChangeDelayMs);
    return timer;
}

QRect MainWindowRect(const QWidget* widget) {
    const QWidget* top = widget ? widget->window() : nullptr;
    return top ? top->frameGeometry() : QRect(0, 0, 100000, 100000);
}

void SetBaseColour(QWidget* widget, const QColor& colour) {
    QPalette p = widget->palette();
    if (p.color(QPalette::Active, QPalette::Base) == colour &&
        p.color(QPalette::Inactive, QPalette::Base) == colour)
        return;
    p.setColor(QPalette::Active, QPalette::Base, colour);
    p.setColor(QPalette::Inactive, QPalette::Base, colour);
    widget->setPalette(p);
}

} // namespace

// -----------------------------------------------------------------------------------------------
// Behaviours

std::string TBSEditBehaviour::GetText() const {
    return edit_ ? edit_->ValueText() : std::string();
}

bool TBSDateLookupEdit::Execute(QPoint at) {
    if (!edit_)
        return false;
    TBSCalendarDlg dialog(edit_);
    dialog.SetRange(DateMin, DateMax);
    const TDateTime current = edit_->AsDate();
    dialog.SetDate(current);
    dialog.adjustSize();
    dialog.move(PopupPosition(at, dialog.size(), MainWindowRect(edit_)));
    if (dialog.exec() != QDialog::Accepted || dialog.Date() == current)
        return false;
    edit_->SetAsDate(dialog.Date());
    return true;
}

bool TBSNumericPadEdit::Execute(QPoint at) {
    if (!edit_)
        return false;
    TFBSNumericPadDlg dialog(edit_);
    dialog.adjustSize();
    dialog.move(PopupPosition(at, dialog.size(), MainWindowRect(edit_)));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const double value = dialog.Value();
    if (SameEditNumber(value, edit_->AsFloat()))
        return false;
    if (edit_->EditType() == etInteger)
        edit_->SetAsInteger(static_cast<std::int32_t>(std::nearbyint(value)));
    else
        edit_->SetAsFloat(value);
    return true;
}

bool TBSFileEdit::Execute(QPoint) {
    if (!edit_)
        return false;
    TBSFileChoice choice{Title, ChosenPath(), Mode, Filter, ListMode};
    if (ListMode) {
        // The first of the listed files proposes where to start.
        const auto semicolon = choice.Initial.find(';');
        choice.Initial = Trim(choice.Initial.substr(0, semicolon));
    }
    const auto chosen = ControlServices()->ChooseFiles(choice, edit_);
    if (chosen.empty())
        return false;
    std::string text;
    for (const auto& file : chosen) {
        if (!text.empty())
            text += "; ";
        text += file;
        if (!ListMode)
            break;
    }
    if (text == edit_->ValueText())
        return false;
    TakePath(text);
    return true;
}

std::string TBSFileEdit::ChosenPath() const {
    return edit_ ? edit_->ValueText() : std::string();
}

void TBSFileEdit::TakePath(const std::string& path) {
    if (edit_)
        edit_->SetDisplayText(path);
}

void TBSFileEdit::LoadFromSection(const IBSSection& section) {
    if (edit_)
        TakePath(section.ReadRaw(ComponentName(edit_), ChosenPath()));
}

void TBSFileEdit::SaveToSection(IBSSection& section) const {
    if (edit_)
        section.WriteRaw(ComponentName(edit_), ChosenPath());
}

// -----------------------------------------------------------------------------------------------
// TBSEdit

TBSEdit::TBSEdit(QWidget* parent) : QLineEdit(parent), timer_(NewUserChangeTimer(this)) {
    connect(timer_, &QTimer::timeout, this, [this] { FireUserChange(); });
    connect(this, &QLineEdit::textChanged, this, [this] { TextChanged(); });
    connect(this, &QLineEdit::textEdited, this, [this] { UserEdited(); });
    PlaceButton();
    Validate();
}

TBSEdit::~TBSEdit() {
    timer_->stop();
    delete button_.data(); // a sibling in the parent, so not destroyed with the field
}

void TBSEdit::SetEditType(TBSEditType type) {
    type = EditTypeFromStored(type);
    if (type == format_.EditType)
        return;
    format_.EditType = type;
    switch (type) {
    case etInteger:
        format_.Decimals = 0;
        break;
    case etDate:
    case etBirthdate:
        SetEditMaxLength(0);
        break;
    case etCurrency:
        format_.Decimals = 2;
        break;
    case etLatitude:
    case etLongitude:
        charCase_ = ecUpperCase;
        break;
    default:
        break;
    }
    ChooseBehaviour();
    Validate();
    update();
}

void TBSEdit::SetNumOptions(TBSNumEditOptions options) {
    if (options == format_.NumOptions)
        return;
    format_.NumOptions = options;
    ChooseBehaviour();
}

void TBSEdit::ChooseBehaviour() {
    const TBSEditType t = format_.EditType;
    if (dynamic_cast<TBSDateLookupEdit*>(behaviour_.get()) && !IsDateEditType(t))
        SetBehaviour(nullptr);
    const bool numeric = t == etInteger || t == etFloat || IsCoordinateType(t);
    if (numeric && (format_.NumOptions & neNumericPadEdit))
        SetBehaviour(std::make_unique<TBSNumericPadEdit>());
    if (IsDateEditType(t) && !dynamic_cast<TBSDateLookupEdit*>(behaviour_.get()))
        SetBehaviour(std::make_unique<TBSDateLookupEdit>());
}

void TBSEdit::SetHintWhenEmpty(std::string hint) {
    hintWhenEmpty_ = std::move(hint);
    UpdateHint();
}

void TBSEdit::SetInvalidWhenEmpty(bool invalid) {
    invalidWhenEmpty_ = invalid;
    Validate();
}

void TBSEdit::SetEditMaxLength(int length) {
    editMaxLength_ = length;
    if (length > 0) {
        const std::string cut = CutToLength(text().toStdString(), length);
        if (QString::fromStdString(cut) != text())
            SetProgrammaticText(QString::fromStdString(cut));
    }
}

std::string TBSEdit::Hint() const {
    return toolTip().toStdString();
}

void TBSEdit::SetHint(const std::string& hint) {
    setToolTip(QString::fromStdString(hint));
}

std::string TBSEdit::ValueText() const {
    return CutToLength(text().toStdString(), editMaxLength_);
}

bool TBSEdit::ShowsHint() const {
    return !hintWhenEmpty_.empty() && text().isEmpty() && !hasFocus();
}

void TBSEdit::SetProgrammaticText(const QString& text) {
    const bool was = programmatic_;
    programmatic_ = true;
    setText(text);
    programmatic_ = was;
}

void TBSEdit::SetDisplayText(std::string_view text) {
    SetProgrammaticText(QString::fromUtf8(text.data(), qsizetype(text.size())));
    UpdateHint();
}

TBSEditFormat TBSEdit::Format() const {
    TBSEditFormat f = format_;
    if (auto* date = dynamic_cast<TBSDateLookupEdit*>(behaviour_.get())) {
        f.HasDateRange = true;
        f.DateMin = date->DateMin;
        f.DateMax = date->DateMax;
    }
    return f;
}

double TBSEdit::AsFloat() const {
    return EditReadFloat(Format(), ValueText(), CurrentFormat());
}

void TBSEdit::SetAsFloat(double value) {
    SetDisplayText(FormatNumber(value));
}

std::int32_t TBSEdit::AsInteger() const {
    return EditReadInteger(Format(), ValueText(), CurrentFormat());
}

void TBSEdit::SetAsInteger(std::int32_t value) {
    SetDisplayText(FormatNumber(value));
}

SwimTime TBSEdit::AsSwimTime() const {
    return TextToSwimTime(ValueText());
}

void TBSEdit::SetAsSwimTime(SwimTime value) {
    SetDisplayText(SwimTimeToText(value));
}

ReactionTime TBSEdit::AsReactionTime() const {
    return TextToReactionTime(ValueText());
}

void TBSEdit::SetAsReactionTime(ReactionTime value) {
    SetDisplayText(ReactionTimeToText(value));
}

TDateTime TBSEdit::AsDate() const {
    return EditReadDate(Format(), ValueText(), CurrentFormat(), CurrentYear());
}

void TBSEdit::SetAsDate(TDateTime value) {
    if (auto* date = dynamic_cast<TBSDateLookupEdit*>(behaviour_.get()))
        value = std::clamp(value, date->DateMin, std::max(date->DateMin, date->DateMax));
    SetDisplayText(FormatDate(value));
}

std::string TBSEdit::FormatNumber(double value) const {
    return EditFormatNumber(Format(), value, CurrentFormat());
}

std::string TBSEdit::FormatDate(TDateTime value) const {
    return EditFormatDate(Format(), value, CurrentFormat());
}

std::string TBSEdit::NormalisedText() const {
    if (format_.EditType == etKey)
        return behaviour_ ? behaviour_->GetText() : ValueText();
    return EditNormalisedText(Format(), ValueText(), CurrentFormat(), CurrentYear());
}

void TBSEdit::SetBehaviour(std::unique_ptr<TBSEditBehaviour> behaviour) {
    if (behaviour && behaviour.get() == behaviour_.get()) {
        behaviour.release(); // already ours
        return;
    }
    behaviour_ = std::move(behaviour);
    if (behaviour_)
        behaviour_->Attach(this);
    if (button_)
        button_->setIcon(ControlGlyph(behaviour_ ? behaviour_->GlyphName() : "BS_GLYPH_ARROW"));
    PlaceButton();
}

TBSDateLookupEdit* TBSEdit::DateLookup() const {
    if (!behaviour_)
        return nullptr;
    auto* date = dynamic_cast<TBSDateLookupEdit*>(behaviour_.get());
    if (!date)
        throw std::bad_cast();
    return date;
}

void TBSEdit::RunBehaviour() {
    if (!behaviour_ || !button_)
        return;
    const QPoint at = button_->mapToGlobal(QPoint(0, 0));
    if (behaviour_->Execute(at)) {
        setFocus();
        end(false);
        UserEdited();
    }
}

void TBSEdit::PlaceButton() {
    QWidget* parent = parentWidget();
    if (!parent) {
        delete button_.data();
        return;
    }
    if (button_ && button_->parentWidget() != parent)
        delete button_.data();
    if (!button_) {
        button_ = new QToolButton(parent);
        button_->setAutoRaise(true);
        button_->setFocusPolicy(Qt::NoFocus);
        button_->setIcon(ControlGlyph(behaviour_ ? behaviour_->GlyphName() : "BS_GLYPH_ARROW"));
        connect(button_, &QToolButton::clicked, this, [this] { RunBehaviour(); });
        button_->hide();
    }
    const QRect r = geometry();
    button_->setGeometry(r.right() + 2, r.top(), r.height(), r.height());
    button_->setVisible(isVisibleTo(parent) && behaviour_ && behaviour_->HasButton());
    button_->setEnabled(isEnabled() && !isReadOnly());
}

bool TBSEdit::event(QEvent* e) {
    const bool result = QLineEdit::event(e);
    switch (e->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::ShowToParent:
    case QEvent::HideToParent:
    case QEvent::EnabledChange:
    case QEvent::ParentChange:
        PlaceButton();
        break;
    default:
        break;
    }
    return result;
}

void TBSEdit::keyPressEvent(QKeyEvent* e) {
    const bool plain =
        (e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) == 0;
    if (plain && (e->key() == Qt::Key_F2 || e->key() == Qt::Key_F4) && button_ &&
        button_->isVisible()) {
        RunBehaviour();
        e->accept();
        return;
    }
    if (charCase_ != ecNormal && !isReadOnly()) {
        if (const auto converted = CaseConvertedKey(*e, charCase_ == ecUpperCase)) {
            QLineEdit::keyPressEvent(converted.get());
            return;
        }
    }
    QLineEdit::keyPressEvent(e);
}

void TBSEdit::focusInEvent(QFocusEvent* e) {
    QLineEdit::focusInEvent(e);
    UpdateHint();
    if (e->reason() != Qt::ActiveWindowFocusReason && e->reason() != Qt::PopupFocusReason)
        selectAll();
}

void TBSEdit::focusOutEvent(QFocusEvent* e) {
    QLineEdit::focusOutEvent(e);
    if (!IsFocusExit(e)) {
        UpdateHint();
        return;
    }
    if (!isReadOnly()) {
        const QString normal = QString::fromStdString(NormalisedText());
        if (normal != text()) {
            const bool modified = isModified();
            SetProgrammaticText(normal);
            setModified(modified);
        }
    }
    if (OnExit)
        OnExit(*this);
    if (delay_ == ucdOnExit) {
        if (!isReadOnly())
            FireUserChange();
    } else if (timer_->isActive()) {
        timer_->stop();
        FireUserChange();
    }
    UpdateHint();
}

void TBSEdit::TextChanged() {
    Validate();
}

void TBSEdit::UserEdited() {
    if (isReadOnly() || programmatic_)
        return;
    switch (delay_) {
    case ucdDelayed:
        timer_->start();
        break;
    case ucdImmediate:
        FireUserChange();
        break;
    case ucdOnExit:
        break;
    }
}

void TBSEdit::FireUserChange() {
    if (OnUserChange && !QCoreApplication::closingDown())
        OnUserChange(*this);
}

void TBSEdit::Validate() {
    // Texts, swim times and the like read the same in every language, so a plain text field
    // works before any language is chosen.
    const TBSEditType t = format_.EditType;
    const bool localised = !(IsTextEditType(t) || t == etSwimtime || t == etReactiontime ||
                             t == etKey || t == etCurrency);
    valid_ = EditTextIsValid(Format(), ValueText(), invalidWhenEmpty_,
                             localised ? CurrentFormat() : DefaultFormatSettings(), CurrentYear());
    const QPalette natural = QApplication::palette(this);
    if (isReadOnly())
        SetBaseColour(this, natural.color(QPalette::Active, QPalette::Button));
    else if (!valid_)
        SetBaseColour(this, kWarningColour);
    else
        SetBaseColour(this, natural.color(QPalette::Active, QPalette::Base));
}

void TBSEdit::UpdateHint() {
    const bool show = ShowsHint();
    setPlaceholderText(show ? QString::fromStdString(hintWhenEmpty_) : QString());
    if (font().italic() != show) {
        QFont f = font();
        f.setItalic(show);
        setFont(f);
    }
}

void TBSEdit::SetReadOnly(bool readOnly) {
    setReadOnly(readOnly);
    setFocusPolicy(readOnly ? Qt::ClickFocus : Qt::StrongFocus);
    PlaceButton();
    Validate();
}

void TBSEdit::CollectTexts(IBSStringList& list) const {
    const std::string hint = Hint();
    if (hintWhenEmpty_.empty() && hint.empty())
        return;
    list.Add(hintWhenEmpty_.empty() ? "." : hintWhenEmpty_);
    if (!hint.empty())
        list.Add(hint);
}

void TBSEdit::ApplyTexts(const IBSStringList& lines, int first, int count) {
    if (count < 1 || first < 0 || first >= lines.Count())
        return;
    SetHintWhenEmpty(lines.Item(first));
    if (count > 1 && first + 1 < lines.Count())
        SetHint(lines.Item(first + 1));
}

void TBSEdit::LoadFromSection(const IBSSection& section) {
    if (auto* settings = dynamic_cast<IBSSettingsControl*>(behaviour_.get())) {
        settings->LoadFromSection(section);
        return;
    }
    const std::string name = ComponentName(this);
    switch (format_.EditType) {
    case etInteger:
        SetAsInteger(section.ReadInteger(name, AsInteger()));
        break;
    case etKey:
        if (behaviour_)
            behaviour_->SetKey(section.ReadInteger(name, behaviour_->GetKey()));
        break;
    case etSwimtime:
        SetAsSwimTime(section.ReadInteger(name, AsSwimTime()));
        break;
    case etReactiontime:
        SetAsReactionTime(section.ReadInteger(name, AsReactionTime()));
        break;
    case etDate:
    case etBirthdate:
    case etTime:
        SetAsDate(section.ReadDateTime(name, AsDate()));
        break;
    case etFloat:
    case etCurrency:
    case etLatitude:
    case etLongitude:
        SetAsFloat(section.ReadFloat(name, AsFloat()));
        break;
    default:
        SetDisplayText(section.ReadRaw(name, ValueText()));
        break;
    }
}

void TBSEdit::SaveToSection(IBSSection& section) const {
    if (auto* settings = dynamic_cast<IBSSettingsControl*>(behaviour_.get())) {
        settings->SaveToSection(section);
        return;
    }
    const std::string name = ComponentName(this);
    switch (format_.EditType) {
    case etInteger:
        section.WriteInteger(name, AsInteger());
        break;
    case etKey:
        section.WriteInteger(name, behaviour_ ? behaviour_->GetKey() : 0);
        break;
    case etSwimtime:
        section.WriteInteger(name, AsSwimTime());
        break;
    case etReactiontime:
        section.WriteInteger(name, AsReactionTime());
        break;
    case etDate:
    case etBirthdate:
    case etTime:
        section.WriteDateTime(name, AsDate());
        break;
    case etFloat:
    case etCurrency:
    case etLatitude:
    case etLongitude:
        section.WriteFloat(name, AsFloat());
        break;
    default:
        section.WriteRaw(name, ValueText());
        break;
    }
}

TBSControlValue TBSEdit::GetValue() const {
    const bool empty = ValueText().empty();
    switch (format_.EditType) {
    case etInteger:
        return empty ? TBSControlValue::Empty(TBSControlValue::vkInteger)
                     : TBSControlValue::Integer(AsInteger());
    case etDate:
    case etBirthdate:
        return empty ? TBSControlValue::Empty(TBSControlValue::vkDateTime)
                     : TBSControlValue::Date(AsDate());
    case etTime: {
        if (empty)
            return TBSControlValue::Empty(TBSControlValue::vkDateTime);
        const double d = AsDate();
        return TBSControlValue::Date(d - std::floor(d));
    }
    case etKey:
        return TBSControlValue::Integer(behaviour_ ? behaviour_->GetKey() : 0);
    case etSwimtime:
        return TBSControlValue::Integer(AsSwimTime());
    case etReactiontime:
        return TBSControlValue::Integer(AsReactionTime());
    case etFloat:
    case etCurrency:
    case etLatitude:
    case etLongitude:
        return empty ? TBSControlValue::Empty(TBSControlValue::vkFloat)
                     : TBSControlValue::Float(AsFloat());
    default:
        return TBSControlValue::String(ValueText());
    }
}

void TBSEdit::SetValue(const TBSControlValue& value) {
    if (value.IsEmpty()) {
        SetDisplayText("");
        return;
    }
    switch (format_.EditType) {
    case etInteger:
        SetAsInteger(std::int32_t(value.AsInteger()));
        break;
    case etDate:
    case etBirthdate:
    case etTime:
        SetAsDate(value.AsFloat());
        break;
    case etKey:
        if (behaviour_)
            behaviour_->SetKey(std::int32_t(value.AsInteger()));
        break;
    case etSwimtime:
        SetAsSwimTime(SwimTime(value.AsInteger()));
        break;
    case etReactiontime:
        SetAsReactionTime(ReactionTime(value.AsInteger()));
        break;
    case etFloat:
    case etCurrency:
    case etLatitude:
    case etLongitude:
        SetAsFloat(value.AsFloat());
        break;
    default:
        SetDisplayText(value.AsString());
        break;
    }
}

// -----------------------------------------------------------------------------------------------
// TBSMemo

TBSMemo::TBSMemo(QWidget* parent) : QPlainTextEdit(parent), timer_(NewUserChangeTimer(this)) {
    connect(timer_, &QTimer::timeout, this, [this] { FireUserChange(); });
    connect(document(), &QTextDocument::contentsChanged, this, [this] {
        if (!programmatic_ && !isReadOnly())
            timer_->start();
    });
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, [this] { CaretMoved(); });
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setTabChangesFocus(false);
    UpdateColours();
}

TBSMemo::~TBSMemo() {
    timer_->stop();
}

bool TBSMemo::WordWrap() const {
    return lineWrapMode() != QPlainTextEdit::NoWrap;
}

void TBSMemo::SetWordWrap(bool wrap) {
    setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

std::string TBSMemo::ValueText() const {
    return CutToLength(toPlainText().toStdString(), editMaxLength_);
}

void TBSMemo::SetDisplayText(std::string_view text) {
    const bool was = programmatic_;
    programmatic_ = true;
    setPlainText(QString::fromUtf8(text.data(), qsizetype(text.size())));
    programmatic_ = was;
}

std::vector<std::string> TBSMemo::Lines() const {
    std::vector<std::string> lines;
    for (const QString& line : toPlainText().split('\n'))
        lines.push_back(line.toStdString());
    if (toPlainText().isEmpty())
        lines.clear();
    return lines;
}

void TBSMemo::LoadFromSection(const IBSSection& section) {
    const std::string name = ComponentName(this);
    const int count = section.ReadInteger(name + ".Count", -1);
    if (count < 0)
        return;
    std::string text;
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            text += '\n';
        text += section.ReadRaw(Format("%s.%d", name.c_str(), i), "");
    }
    SetDisplayText(text);
}

void TBSMemo::SaveToSection(IBSSection& section) const {
    const std::string name = ComponentName(this);
    const auto lines = Lines();
    section.WriteInteger(name + ".Count", int(lines.size()));
    for (std::size_t i = 0; i < lines.size(); ++i)
        section.WriteRaw(Format("%s.%d", name.c_str(), int(i)), lines[i]);
}

void TBSMemo::SetReadOnly(bool readOnly) {
    setReadOnly(readOnly);
    setFocusPolicy(readOnly ? Qt::ClickFocus : Qt::StrongFocus);
    if (readOnly)
        timer_->stop();
    UpdateColours();
}

TBSControlValue TBSMemo::GetValue() const {
    if (editMaxLength_ > 0)
        return TBSControlValue::String(ValueText());
    return TBSControlValue::Memo(ValueText());
}

void TBSMemo::SetValue(const TBSControlValue& value) {
    SetDisplayText(value.IsEmpty() ? std::string() : value.AsString());
}

void TBSMemo::focusOutEvent(QFocusEvent* e) {
    QPlainTextEdit::focusOutEvent(e);
    if (IsFocusExit(e) && timer_->isActive()) {
        timer_->stop();
        FireUserChange();
    }
}

void TBSMemo::FireUserChange() {
    if (OnUserChange && !QCoreApplication::closingDown())
        OnUserChange(*this);
}

void TBSMemo::CaretMoved() {
    const QTextCursor cursor = textCursor();
    const int start = cursor.selectionStart();
    const QTextBlock block = document()->findBlock(start);
    const int line = block.blockNumber();
    const int column = start - block.position();
    if (line == caretLine_ && column == caretColumn_)
        return;
    caretLine_ = line;
    caretColumn_ = column;
    if (OnCaretPosChange)
        OnCaretPosChange(*this, line, column);
}

void TBSMemo::UpdateColours() {
    const QPalette natural = QApplication::palette(this);
    SetBaseColour(
        this, natural.color(QPalette::Active, isReadOnly() ? QPalette::Button : QPalette::Base));
}

} // namespace marqor
