#pragma once

// TBSEdit, the single-line field with a typed value behind free text, its add-on behaviours
// (calendar, numeric pad, file chooser) and TBSMemo, its multi-line sibling.
//
// The user types freely. The field reads its text whenever a value is asked for, shows a
// warning background while the text does not read as its type, and writes the normal form of
// the value back when the focus leaves it. OnUserChange reports changes made by the user, never
// values set by code. The rules themselves are in edit_rules.h.

#include "controls/control_interfaces.h"
#include "controls/edit_rules.h"
#include "swimming/types.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

class QTimer;
#include <QToolButton>

namespace marqor {

class TBSEdit;

// An add-on of an edit field: holds a key or opens a popup from a button beside the field.
// The field owns it.
class TBSEditBehaviour {
public:
    virtual ~TBSEditBehaviour() = default;

    virtual std::int32_t GetKey() const { return 0; }
    virtual void SetKey(std::int32_t) {}
    virtual void Attach(TBSEdit* edit) { edit_ = edit; }
    virtual std::string GetText() const;
    // Opens the popup at the screen point; true when the field's value changed.
    virtual bool Execute(QPoint) { return false; }
    virtual bool HasButton() const { return false; }
    virtual std::string GlyphName() const { return "BS_GLYPH_ARROW"; }

    TBSEdit* Edit() const { return edit_; }

protected:
    TBSEdit* edit_ = nullptr;
};

// A calendar for date fields, limited to a range of days.
class TBSDateLookupEdit : public TBSEditBehaviour {
public:
    bool Execute(QPoint at) override;
    bool HasButton() const override { return true; }
    std::string GlyphName() const override { return "BS_GLYPH_DATE"; }

    TDateTime DateMin = 0;
    TDateTime DateMax = OpenEndDateTime;
};

// A numeric pad for number fields.
class TBSNumericPadEdit : public TBSEditBehaviour {
public:
    bool Execute(QPoint at) override;
    bool HasButton() const override { return true; }
    std::string GlyphName() const override { return "BS_GLYPH_NUMERIC_PAD"; }
};

// The base of the path choosers: the field holds a path that the chooser offers and takes back.
class TBSPathEdit : public TBSEditBehaviour {
public:
    bool HasButton() const override { return true; }
    virtual std::string ChosenPath() const = 0;
    virtual void TakePath(const std::string& path) = 0;
};

// A file chooser (the file services' one, see IBSControlServices::ChooseFiles). The field holds
// the file's full name, or in list mode the chosen names joined by "; ".
class TBSFileEdit : public TBSPathEdit, public IBSSettingsControl {
public:
    bool Execute(QPoint at) override;
    std::string GlyphName() const override { return "BS_GLYPH_FILE"; }
    std::string ChosenPath() const override;
    void TakePath(const std::string& path) override;

    // The file in its full form (list mode: the text as it stands).
    void LoadFromSection(const IBSSection& section) override;
    void SaveToSection(IBSSection& section) const override;

    bool ListMode = false;
    int Mode = 1; // 0 save, 1 open
    std::string Title;
    std::string Filter;
};

class TBSEdit : public QLineEdit,
                public IBSTranslatable,
                public IBSSettingsControl,
                public IBSEditControl,
                public IBSValueControl,
                public IBSFontControl {
    Q_OBJECT
public:
    enum TBSCharCase { ecNormal, ecUpperCase, ecLowerCase };

    explicit TBSEdit(QWidget* parent = nullptr);
    ~TBSEdit() override;

    // Events, each with the field as sender.
    std::function<void(TBSEdit&)> OnUserChange;
    std::function<void(TBSEdit&)> OnExit;

    // Properties.
    TBSEditType EditType() const { return format_.EditType; }
    void SetEditType(TBSEditType type);
    std::int32_t MinValue() const { return format_.MinValue; }
    void SetMinValue(std::int32_t value) { format_.MinValue = value; }
    std::int32_t MaxValue() const { return format_.MaxValue; }
    void SetMaxValue(std::int32_t value) { format_.MaxValue = value; }
    int Decimals() const { return format_.Decimals; }
    void SetDecimals(int decimals) { format_.Decimals = decimals; }
    double DefaultValue() const { return format_.DefaultValue; }
    void SetDefaultValue(double value) { format_.DefaultValue = value; }
    TBSNumEditOptions NumOptions() const { return format_.NumOptions; }
    void SetNumOptions(TBSNumEditOptions options);
    TBSUserChangeDelay UserChangeDelay() const { return delay_; }
    void SetUserChangeDelay(TBSUserChangeDelay delay) { delay_ = delay; }
    const std::string& HintWhenEmpty() const { return hintWhenEmpty_; }
    void SetHintWhenEmpty(std::string hint);
    bool InvalidWhenEmpty() const { return invalidWhenEmpty_; }
    void SetInvalidWhenEmpty(bool invalid);
    int EditMaxLength() const { return editMaxLength_; }
    void SetEditMaxLength(int length);
    bool DateIncludeDay() const { return format_.DateIncludeDay; }
    void SetDateIncludeDay(bool on) { format_.DateIncludeDay = on; }
    bool DateYearOnly() const { return format_.DateYearOnly; }
    void SetDateYearOnly(bool on) { format_.DateYearOnly = on; }
    bool HourMinutesOnly() const { return format_.HourMinutesOnly; }
    void SetHourMinutesOnly(bool on) { format_.HourMinutesOnly = on; }
    bool ParentReadOnly() const { return parentReadOnly_; }
    void SetParentReadOnly(bool follow) { parentReadOnly_ = follow; }
    TBSCharCase CharCase() const { return charCase_; }
    void SetCharCase(TBSCharCase charCase) { charCase_ = charCase; }
    std::string Hint() const;
    void SetHint(const std::string& hint);

    // The text values are read from: empty while the hint shows, else the text cut to
    // EditMaxLength.
    std::string ValueText() const;
    // Sets the text as code does: validated, never reported as a user change.
    void SetDisplayText(std::string_view text);

    double AsFloat() const;
    void SetAsFloat(double value);
    std::int32_t AsInteger() const;
    void SetAsInteger(std::int32_t value);
    SwimTime AsSwimTime() const;
    void SetAsSwimTime(SwimTime value);
    ReactionTime AsReactionTime() const;
    void SetAsReactionTime(ReactionTime value);
    TDateTime AsDate() const;
    void SetAsDate(TDateTime value);
    std::string FormatNumber(double value) const;
    std::string FormatDate(TDateTime value) const;
    std::string NormalisedText() const;
    // The result of the last validation: false while the warning background shows.
    bool IsValid() const { return valid_; }
    // True while the empty hint is shown in place of a text.
    bool ShowsHint() const;

    // Replaces the behaviour (the old one is destroyed); the same one again changes nothing.
    void SetBehaviour(std::unique_ptr<TBSEditBehaviour> behaviour);
    TBSEditBehaviour* Behaviour() const { return behaviour_.get(); }
    // The attached date behaviour; none without a behaviour; std::bad_cast for another one.
    TBSDateLookupEdit* DateLookup() const;
    QToolButton* BehaviourButton() const { return button_.data(); }
    // What a click on the behaviour button does.
    void RunBehaviour();
    // The settings of the field that decide how it reads and writes its value.
    TBSEditFormat Format() const;

    // IBSTranslatable
    void CollectTexts(IBSStringList& list) const override;
    void ApplyTexts(const IBSStringList& lines, int first, int count) override;
    // IBSSettingsControl
    void LoadFromSection(const IBSSection& section) override;
    void SaveToSection(IBSSection& section) const override;
    // IBSEditControl
    bool GetParentReadOnly() const override { return parentReadOnly_; }
    void SetReadOnly(bool readOnly) override;
    bool GetReadOnly() const override { return isReadOnly(); }
    // IBSValueControl
    TBSControlValue GetValue() const override;
    void SetValue(const TBSControlValue& value) override;
    std::string GetValueName() const override { return valueName_; }
    void SetValueName(std::string name) override { valueName_ = std::move(name); }
    // IBSFontControl
    QFont ControlFont() const override { return font(); }
    void SetControlFont(const QFont& f) override { setFont(f); }

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void TextChanged();
    void UserEdited();
    void FireUserChange();
    void Validate();
    void UpdateHint();
    void PlaceButton();
    void ChooseBehaviour();
    void SetProgrammaticText(const QString& text);

    TBSEditFormat format_;
    TBSUserChangeDelay delay_ = ucdDelayed;
    std::string hintWhenEmpty_;
    bool invalidWhenEmpty_ = false;
    int editMaxLength_ = 0;
    bool parentReadOnly_ = true;
    TBSCharCase charCase_ = ecNormal;
    std::string valueName_;
    bool valid_ = true;
    bool programmatic_ = false;
    std::unique_ptr<TBSEditBehaviour> behaviour_;
    QPointer<QToolButton> button_;
    QTimer* timer_;
};

// The multi-line sibling: a text without type, the same user-change, read-only and settings
// conventions, and the caret position reported as it moves.
class TBSMemo : public QPlainTextEdit,
                public IBSSettingsControl,
                public IBSEditControl,
                public IBSValueControl,
                public IBSFontControl {
    Q_OBJECT
public:
    explicit TBSMemo(QWidget* parent = nullptr);
    ~TBSMemo() override;

    std::function<void(TBSMemo&)> OnUserChange;
    // Line and column of the caret (both from 0), when either changed.
    std::function<void(TBSMemo&, int line, int column)> OnCaretPosChange;

    int EditMaxLength() const { return editMaxLength_; }
    void SetEditMaxLength(int length) { editMaxLength_ = length; }
    bool ParentReadOnly() const { return parentReadOnly_; }
    void SetParentReadOnly(bool follow) { parentReadOnly_ = follow; }
    bool WordWrap() const;
    void SetWordWrap(bool wrap);

    std::string ValueText() const;
    void SetDisplayText(std::string_view text);
    std::vector<std::string> Lines() const;

    // IBSSettingsControl: the line count under name + ".Count", the lines under "name.0", ...
    void LoadFromSection(const IBSSection& section) override;
    void SaveToSection(IBSSection& section) const override;
    // IBSEditControl
    bool GetParentReadOnly() const override { return parentReadOnly_; }
    void SetReadOnly(bool readOnly) override;
    bool GetReadOnly() const override { return isReadOnly(); }
    // IBSValueControl
    TBSControlValue GetValue() const override;
    void SetValue(const TBSControlValue& value) override;
    std::string GetValueName() const override { return valueName_; }
    void SetValueName(std::string name) override { valueName_ = std::move(name); }
    // IBSFontControl
    QFont ControlFont() const override { return font(); }
    void SetControlFont(const QFont& f) override { setFont(f); }

protected:
    void focusOutEvent(QFocusEvent* event) override;

private:
    void FireUserChange();
    void CaretMoved();
    void UpdateColours();

    int editMaxLength_ = 0;
    bool parentReadOnly_ = true;
    std::string valueName_;
    bool programmatic_ = false;
    int caretLine_ = 0;
    int caretColumn_ = 0;
    QTimer* timer_;
};

} // namespace marqor
