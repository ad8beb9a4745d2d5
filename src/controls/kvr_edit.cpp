#include "controls/kvr_edit.h"

#include "foundation/text.h"
#include "texts/language.h"

#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QTimer>

namespace marqor {

namespace {

TBSFormatSettings CurrentFormat() {
    return Language().GetFormatSettings();
}

bool Plain(const QKeyEvent* event) {
    return (event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) == 0;
}

} // namespace

TColors TColors::Defaults() {
    const QPalette p = QApplication::palette("QLineEdit");
    TColors c;
    c.NormalText = p.color(QPalette::Active, QPalette::Text);
    c.NormalBG = p.color(QPalette::Active, QPalette::Base);
    c.ReadOnlyText = p.color(QPalette::Active, QPalette::ButtonText);
    c.ReadOnlyBG = p.color(QPalette::Active, QPalette::Button);
    c.DisabledText = p.color(QPalette::Disabled, QPalette::Text);
    c.DisabledBG = p.color(QPalette::Active, QPalette::Light);
    c.FocusedText = p.color(QPalette::Active, QPalette::Text);
    c.FocusedBG = p.color(QPalette::Active, QPalette::Base);
    return c;
}

TKvrEdit::TKvrEdit(QWidget* parent)
    : QLineEdit(parent), colors_(TColors::Defaults()), delay_(new QTimer(this)),
      lookup_(new TLookup(this)) {
    delay_->setSingleShot(true);
    delay_->setTimerType(Qt::PreciseTimer); // a coarse timer may end the quiet period early
    delay_->setInterval(delayInterval_);
    connect(delay_, &QTimer::timeout, this, [this] { DelayElapsed(); });
    connect(this, &QLineEdit::textChanged, this, [this] { TextChanged(); });
    lookup_->BeforeLookup = [this](QLineEdit&, bool known, bool& allow) {
        if (BeforeLookup)
            BeforeLookup(*this, known, allow);
    };
    lookup_->AfterLookup = [this](QLineEdit&) {
        if (AfterLookup)
            AfterLookup(*this);
    };
    lookup_->OnLabelChanged = [this] {
        if (DisplayLabelChanged)
            DisplayLabelChanged(*this);
    };
    setFocusPolicy(Qt::StrongFocus);
    Recolour();
}

TKvrEdit::~TKvrEdit() {
    delay_->stop();
}

// -----------------------------------------------------------------------------------------------
// Properties

void TKvrEdit::SetEditType(TEditType type) {
    if (type == editType_)
        return;
    const QString value = Text();
    editType_ = type;
    if (type != etString)
        charCase_ = ecNormal;
    if (type != etInteger && type != etFloat)
        minValue_ = maxValue_ = 0;
    options_ = OptionsForEditType(type, options_);
    mask_ = MaskForEditType(type, CurrentFormat());
    ApplyTypeWidth();
    SetText(value);
}

void TKvrEdit::SetEditMask(const QString& mask) {
    if (mask == mask_)
        return;
    const QString value = Text();
    mask_ = mask;
    SetText(value);
}

void TKvrEdit::SetMinValue(std::int32_t value) {
    if (editType_ == etInteger || editType_ == etFloat)
        minValue_ = value;
}

void TKvrEdit::SetMaxValue(std::int32_t value) {
    if (editType_ == etInteger || editType_ == etFloat)
        maxValue_ = value;
}

void TKvrEdit::SetPrecision(int precision) {
    if (precision == precision_)
        return;
    precision_ = precision;
    RebuildMask();
}

void TKvrEdit::SetOptions(TEditOptions options) {
    options = OptionsForEditType(editType_, options);
    if (editType_ != etChron) {
        options_ = options;
        RebuildMask();
        return;
    }
    const SwimTime chron = AsChron();
    const int course = ChronCourse();
    options_ = options;
    if (options_ & eoHasChronCourse)
        charCase_ = ecUpperCase;
    RebuildMask();
    ApplyTypeWidth();
    SetAsChron(chron);
    SetChronCourse(course);
}

void TKvrEdit::SetColors(const TColors& colors) {
    colors_ = colors;
    Recolour();
}

void TKvrEdit::SetDelayInterval(int ms) {
    delayInterval_ = std::max(0, ms);
    delay_->setInterval(delayInterval_);
}

void TKvrEdit::SetReadOnly(bool readOnly) {
    if (readOnly != readOnly_) {
        if (readOnly) {
            savedTabStop_ = tabStop_;
            SetTabStop(false);
        }
        readOnly_ = readOnly;
        setReadOnly(readOnly);
        if (!readOnly)
            SetTabStop(savedTabStop_);
    }
    deselect();
    Recolour();
}

void TKvrEdit::SetTabStop(bool tabStop) {
    tabStop_ = tabStop;
    setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::ClickFocus);
}

void TKvrEdit::SetLookup(const TKvrAbstractLookup& lookup) {
    if (&lookup == lookup_)
        return;
    std::vector<std::string> lines;
    for (const auto& line : lookup.Lines())
        lines.push_back(line.Code + "=" + line.Label);
    lookup_->Title = lookup.Title;
    lookup_->SetMultiSel(lookup.MultiSel());
    lookup_->SetShowDispLabel(lookup.ShowDispLabel());
    lookup_->SetLines(*NewStringListFrom(lines));
}

void TKvrEdit::ExecuteLookup() {
    if (!isReadOnly())
        lookup_->Execute();
}

void TKvrEdit::ApplyTypeWidth() {
    const int wanted = WidthForEditType(editType_, options_);
    if (wanted <= 0)
        return;
    // The widths were chosen for a small dialog font; a larger font still shows the whole mask.
    const QString sample =
        editType_ == etChron
            ? QStringLiteral("00:00.00%1")
                  .arg((options_ & eoHasChronCourse) ? QStringLiteral(" L") : QString())
            : mask_;
    const int needed = fontMetrics().horizontalAdvance(sample) + 12;
    resize(std::max(wanted, needed), height());
}

// -----------------------------------------------------------------------------------------------
// Text and mask

void TKvrEdit::RebuildMask() {
    const QString value = Text();
    // A free mask belongs to the field; the other types build theirs.
    if (editType_ != etString && editType_ != etChron)
        mask_ = MaskForEditType(editType_, CurrentFormat());
    SetText(value);
}

QString TKvrEdit::Text() const {
    return MaskedValueText(editType_, options_, mask_, text());
}

void TKvrEdit::SetText(const QString& value) {
    QString shown;
    if (!mask_.isEmpty() && editType_ == etString && !(options_ & eoSaveMaskChars))
        shown = LayIntoMask(mask_, value);
    else
        shown = ApplyMask(mask_, value);
    if (shown != text())
        setText(shown);
}

void TKvrEdit::ShowMasked(const QString& shown, int caret) {
    const bool changed = shown != text();
    const bool was = masking_;
    masking_ = true;
    setText(shown);
    setCursorPosition(std::clamp(caret, 0, int(shown.size())));
    masking_ = was;
    if (changed)
        TextChanged();
}

void TKvrEdit::TextChanged() {
    if (masking_)
        return;
    if (!mask_.isEmpty()) {
        const QString shown = ApplyMask(mask_, text());
        if (shown != text()) {
            // Typed, pasted or dropped by the platform: the mask is laid over it again, the
            // caret and the selection stay where they were.
            const int caret = cursorPosition();
            const int start = selectionStart();
            const int length = int(selectedText().size());
            const bool was = masking_;
            masking_ = true;
            setText(shown);
            if (start >= 0 && length > 0)
                setSelection(start, length);
            else
                setCursorPosition(std::min(caret, int(shown.size())));
            masking_ = was;
        }
    }
    delay_->start();
    if (OnChange)
        OnChange(*this);
}

void TKvrEdit::DelayElapsed() {
    delay_->stop();
    if (OnDelayChange && !QCoreApplication::closingDown())
        OnDelayChange(*this);
    lookup_->Revalidate();
}

void TKvrEdit::FireDelayNow() {
    if (delay_->isActive())
        DelayElapsed();
}

bool TKvrEdit::DelayPending() const {
    return delay_->isActive();
}

// -----------------------------------------------------------------------------------------------
// Typed values

void TKvrEdit::ApplyBounds() {
    if (!HasEditBounds(minValue_, maxValue_))
        return;
    if (editType_ == etInteger) {
        const auto value = BoundEditInteger(ReadEditInteger(Text()), minValue_, maxValue_);
        SetAsInteger(std::int32_t(value));
    } else if (editType_ == etFloat) {
        SetAsFloat(BoundEditFloat(ReadEditFloat(Text(), CurrentFormat()), minValue_, maxValue_));
    }
}

std::int32_t TKvrEdit::AsInteger() {
    ApplyBounds();
    return ReadEditInteger(Text());
}

void TKvrEdit::SetAsInteger(std::int32_t value) {
    SetText(IntegerEditText(value, options_));
}

double TKvrEdit::AsFloat() {
    ApplyBounds();
    return ReadEditFloat(Text(), CurrentFormat());
}

void TKvrEdit::SetAsFloat(double value) {
    SetText(FloatEditText(value, precision_, options_, CurrentFormat()));
}

TDateTime TKvrEdit::AsDate() const {
    if (editType_ == etTime)
        return ReadEditTime(Text());
    if (editType_ == etDate)
        return ReadEditDate(Text(), CurrentFormat());
    return 0;
}

void TKvrEdit::SetAsDate(TDateTime value) {
    if (editType_ == etTime || editType_ == etDate)
        SetText(DateEditText(editType_, value, CurrentFormat()));
}

SwimTime TKvrEdit::AsChron() const {
    return ReadChron(Text());
}

void TKvrEdit::SetAsChron(SwimTime value) {
    const int course = ChronCourse();
    SetText(ChronText(value, 0, false));
    SetChronCourse(course);
}

int TKvrEdit::ChronCourse() const {
    return ReadChronCourse(Text());
}

void TKvrEdit::SetChronCourse(int course) {
    if (options_ & eoHasChronCourse)
        SetText(ChronText(AsChron(), course, true));
}

std::string TKvrEdit::StorageText() const {
    switch (editType_) {
    case etChron:
        return std::to_string(AsChron());
    case etTime:
        return TimeStorageText(AsDate());
    case etDate:
        return DateStorageText(AsDate());
    case etFloat:
        return FloatStorageText(
            BoundEditFloat(ReadEditFloat(Text(), CurrentFormat()), minValue_, maxValue_));
    default:
        return Text().toStdString();
    }
}

void TKvrEdit::SetStorageText(const std::string& stored) {
    switch (editType_) {
    case etChron:
        if (const auto t = ParseInt(stored))
            SetAsChron(*t);
        else
            SetText({});
        break;
    case etTime:
        if (const auto t = TimeFromStorageText(stored))
            SetAsDate(*t);
        else
            SetText({});
        break;
    case etDate:
        if (const auto d = DateFromStorageText(stored))
            SetAsDate(*d);
        else
            SetText({});
        break;
    case etFloat:
        if (const auto x = FloatFromStorageText(stored))
            SetAsFloat(*x);
        else
            SetText({});
        break;
    default:
        SetText(QString::fromStdString(stored));
        break;
    }
}

void TKvrEdit::LoadFromSection(const IBSSection& section) {
    SetStorageText(section.ReadRaw(ComponentName(this), StorageText()));
}

void TKvrEdit::SaveToSection(IBSSection& section) const {
    section.WriteRaw(ComponentName(this), StorageText());
}

// -----------------------------------------------------------------------------------------------
// Keys, focus and colours

void TKvrEdit::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape)
        ++escapeCount_;
    else
        escapeCount_ = 0;
    if (e->key() == Qt::Key_F2 && Plain(e)) {
        ExecuteLookup();
        e->accept();
        return;
    }
    if (!mask_.isEmpty() && KeyInMask(e)) {
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

bool TKvrEdit::KeyInMask(QKeyEvent* e) {
    if (isReadOnly())
        return false;
    const auto mods = e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    const int key = e->key();
    if ((mods == Qt::ControlModifier && key == Qt::Key_V) ||
        (mods == Qt::ShiftModifier && key == Qt::Key_Insert)) {
        PasteFromClipboard();
        return true;
    }
    if ((mods == Qt::ControlModifier && key == Qt::Key_X) ||
        (mods == Qt::ShiftModifier && key == Qt::Key_Delete)) {
        CutToClipboard();
        return true;
    }
    const int start = hasSelectedText() ? selectionStart() : cursorPosition();
    const int length = hasSelectedText() ? int(selectedText().size()) : 0;
    if ((key == Qt::Key_Backspace || key == Qt::Key_Delete) && mods == 0) {
        const TMaskEdit edit =
            DeleteInMask(mask_, text(), cursorPosition(), start, length, key == Qt::Key_Backspace);
        ShowMasked(edit.Text, edit.Caret);
        return true;
    }
    if (e->text().isEmpty() || (mods & (Qt::ControlModifier | Qt::AltModifier)))
        return false;
    QChar c = e->text().front();
    if (!c.isPrint())
        return false;
    if (charCase_ == ecUpperCase)
        c = c.toUpper();
    else if (charCase_ == ecLowerCase)
        c = c.toLower();
    if (editType_ == etChron && (c.toUpper() == u'N' || c.toUpper() == u'T')) {
        SetAsChron(NoSwimTime);
        return true;
    }
    const TMaskEdit edit = TypeIntoMask(mask_, text(), cursorPosition(), start, length, c);
    if (!edit.Accepted) {
        QApplication::beep();
        return true;
    }
    ShowMasked(edit.Text, edit.Caret);
    return true;
}

void TKvrEdit::CutToClipboard() {
    if (!hasSelectedText())
        return;
    QApplication::clipboard()->setText(selectedText());
    const int start = selectionStart();
    ShowMasked(BlankInMask(mask_, text(), start, int(selectedText().size())), start);
}

void TKvrEdit::PasteFromClipboard() {
    const QString pasted = QApplication::clipboard()->text();
    QString shown = text();
    int caret = cursorPosition();
    int start = hasSelectedText() ? selectionStart() : caret;
    int length = hasSelectedText() ? int(selectedText().size()) : 0;
    // Each pasted character goes where typing it would put it; what no position takes is left.
    for (const QChar c : pasted) {
        const TMaskEdit edit = TypeIntoMask(mask_, shown, caret, start, length, c);
        shown = edit.Text;
        caret = edit.Caret;
        start = caret;
        length = 0;
    }
    ShowMasked(shown, caret);
}

void TKvrEdit::focusInEvent(QFocusEvent* e) {
    QLineEdit::focusInEvent(e);
    Recolour();
}

void TKvrEdit::focusOutEvent(QFocusEvent* e) {
    QLineEdit::focusOutEvent(e);
    if (!IsFocusExit(e)) {
        Recolour();
        return;
    }
    ApplyBounds();
    if (editType_ == etChron)
        SetAsChron(AsChron());
    Recolour();
    bool accept = true;
    if (OnValidate)
        OnValidate(*this, lookup_->IsKnownCode(), accept);
    if (accept) {
        FireDelayNow();
        if (OnExit)
            OnExit(*this);
        return;
    }
    const QWidget* top = window();
    if (top && top->isVisible() && top->isEnabled())
        setFocus(Qt::OtherFocusReason);
}

void TKvrEdit::changeEvent(QEvent* e) {
    QLineEdit::changeEvent(e);
    if (e->type() == QEvent::EnabledChange || e->type() == QEvent::ReadOnlyChange)
        Recolour();
}

void TKvrEdit::Recolour() {
    QColor text, base;
    if (!isEnabled()) {
        text = colors_.DisabledText;
        base = colors_.DisabledBG;
    } else if (isReadOnly()) {
        text = colors_.ReadOnlyText;
        base = colors_.ReadOnlyBG;
    } else if (hasFocus()) {
        text = colors_.FocusedText;
        base = colors_.FocusedBG;
    } else {
        text = colors_.NormalText;
        base = colors_.NormalBG;
    }
    QPalette p = palette();
    bool changed = false;
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        if (p.color(group, QPalette::Base) != base || p.color(group, QPalette::Text) != text) {
            p.setColor(group, QPalette::Base, base);
            p.setColor(group, QPalette::Text, text);
            changed = true;
        }
    }
    if (changed)
        setPalette(p);
}

} // namespace marqor
