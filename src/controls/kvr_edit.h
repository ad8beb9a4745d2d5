#pragma once

// TKvrEdit, the product family's edit field: a typed value behind the text like TBSEdit, but
// with a character mask laid over the text (dates, times, free masks), number bounds that act
// only where they are set, a change report after a quiet period (OnDelayChange) instead of
// OnUserChange, a veto on leaving the field (OnValidate), colours by state (TColors) and a list
// of known codes in a popup (Lookup, see lookup.h). The rules are in kvr_edit_rules.h.
//
// Unlike OnUserChange of the other controls, OnDelayChange follows every change of the text,
// whether the user typed it or code set it.

#include "controls/control_interfaces.h"
#include "controls/kvr_edit_rules.h"
#include "controls/lookup.h"

#include <QColor>
#include <QLineEdit>
#include <functional>
#include <memory>
#include <string>

class QTimer;

namespace marqor {

// The field's colours by state; the defaults are the platform's colours of an edit field.
struct TColors {
    QColor NormalText;
    QColor NormalBG;
    QColor ReadOnlyText;
    QColor ReadOnlyBG;
    QColor DisabledText;
    QColor DisabledBG;
    QColor FocusedText;
    QColor FocusedBG;

    static TColors Defaults();
    friend bool operator==(const TColors&, const TColors&) = default;
};

class TKvrEdit : public QLineEdit, public IBSSettingsControl {
    Q_OBJECT
public:
    using enum TEditType;
    enum TCharCase { ecNormal, ecUpperCase, ecLowerCase };

    explicit TKvrEdit(QWidget* parent = nullptr);
    ~TKvrEdit() override;

    // Events, each with the field as sender.
    std::function<void(TKvrEdit&)> OnChange;      // every change of the text
    std::function<void(TKvrEdit&)> OnDelayChange; // the text stayed unchanged for DelayInterval
    // Decides on exit whether the focus may leave; known tells whether the text is a code of the
    // lookup. accept starts true.
    std::function<void(TKvrEdit&, bool known, bool& accept)> OnValidate;
    std::function<void(TKvrEdit&)> OnExit; // the focus left, accepted
    std::function<void(TKvrEdit&, bool known, bool& allow)> BeforeLookup;
    std::function<void(TKvrEdit&)> AfterLookup;
    std::function<void(TKvrEdit&)> DisplayLabelChanged;

    // Properties.
    TEditType EditType() const { return editType_; }
    void SetEditType(TEditType type);
    const QString& EditMask() const { return mask_; }
    // A free mask; the other types build their own and replace it when the type changes.
    void SetEditMask(const QString& mask);
    std::int32_t MinValue() const { return minValue_; }
    void SetMinValue(std::int32_t value);
    std::int32_t MaxValue() const { return maxValue_; }
    void SetMaxValue(std::int32_t value);
    int Precision() const { return precision_; }
    void SetPrecision(int precision);
    TEditOptions Options() const { return options_; }
    void SetOptions(TEditOptions options);
    const TColors& Colors() const { return colors_; }
    void SetColors(const TColors& colors);
    int DelayInterval() const { return delayInterval_; }
    void SetDelayInterval(int ms);
    TCharCase CharCase() const { return charCase_; }
    void SetCharCase(TCharCase charCase) { charCase_ = charCase; }
    bool ReadOnly() const { return isReadOnly(); }
    void SetReadOnly(bool readOnly);
    // Read-only fields are no tab stops; they remember the tab stop they had and get it back.
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool tabStop);

    // The code lookup; always there (a TLookup), its button shows while it has lines.
    TLookup* Lookup() const { return lookup_; }
    // Copies the lines, flags and title of another lookup.
    void SetLookup(const TKvrAbstractLookup& lookup);
    // Opens the lookup list, as F2 and the button do.
    void ExecuteLookup();

    // The text without mask decoration, and setting it.
    QString Text() const;
    void SetText(const QString& text);

    // Typed access. Numeric reads first apply the bounds, which may show the text anew.
    std::int32_t AsInteger();
    void SetAsInteger(std::int32_t value);
    double AsFloat();
    void SetAsFloat(double value);
    TDateTime AsDate() const;
    void SetAsDate(TDateTime value);
    SwimTime AsChron() const;
    void SetAsChron(SwimTime value);
    int ChronCourse() const;
    void SetChronCourse(int course);
    std::string StorageText() const;
    void SetStorageText(const std::string& text);

    // Brings the number within MinValue and MaxValue; shows it anew when a bound is set. Runs on
    // exit and before every numeric read.
    void ApplyBounds();
    // Escape presses in a row.
    int EscapeCount() const { return escapeCount_; }
    // True while a change waits for its quiet period to end.
    bool DelayPending() const;

    // IBSSettingsControl: StorageText under the object name.
    void LoadFromSection(const IBSSection& section) override;
    void SaveToSection(IBSSection& section) const override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void RebuildMask();
    void ShowMasked(const QString& shown, int caret);
    void TextChanged();
    void DelayElapsed();
    void Recolour();
    bool KeyInMask(QKeyEvent* event);
    void CutToClipboard();
    void PasteFromClipboard();
    void ApplyTypeWidth();
    void FireDelayNow();

    TEditType editType_ = etString;
    QString mask_;
    std::int32_t minValue_ = 0;
    std::int32_t maxValue_ = 0;
    int precision_ = 0;
    TEditOptions options_ = DefaultEditOptions;
    TColors colors_;
    int delayInterval_ = 750;
    TCharCase charCase_ = ecNormal;
    bool readOnly_ = false;
    bool tabStop_ = true;
    bool savedTabStop_ = true;
    int escapeCount_ = 0;
    bool masking_ = false;
    QTimer* delay_;
    TLookup* lookup_;
};

} // namespace marqor
