#pragma once

// Selection lists whose items carry integer keys, so that code selects and reads by key and
// never by position or text; the same control works by position (cbtIndex) or by free text
// (cbtText) instead. OnUserChange reports what the user chose, never selections made by code.

#include "controls/control_interfaces.h"

#include <QComboBox>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

class QTimer;
#include <QToolButton>

namespace marqor {

enum TBSComboBoxType : std::uint8_t {
    cbtKey,   // the key of the selected item; 0 when nothing is selected
    cbtText,  // the edited text
    cbtIndex, // the position of the selected item; -1 when nothing is selected
};

// The width of the open list: at least the control's (plus the clear button less 2). With a
// DropDownWidth other than 0 the widest item plus 24 (a scroll bar shows) or 8, at most
// DropDownWidth when that is above 0.
int DropDownListWidth(int controlWidth, int clearButtonWidth, int dropDownWidth, int widestItem,
                      int itemCount, int dropDownCount);

// What a value text selects: cbtKey the key it reads as (0 for an empty text, -1 for no
// number), cbtIndex the position it reads as, clamped to -1 .. count - 1.
std::int32_t KeyOfValueText(std::string_view text);
int IndexOfValueText(std::string_view text, int count);

class TBSCustomComboBox : public QComboBox,
                          public IBSEditControl,
                          public IBSValueControl,
                          public IBSFontControl {
    Q_OBJECT
public:
    explicit TBSCustomComboBox(QWidget* parent = nullptr);
    ~TBSCustomComboBox() override;

    std::function<void(TBSCustomComboBox&)> OnUserChange;
    // A selection made by the user, before OnUserChange.
    std::function<void(TBSCustomComboBox&)> OnClick;

    TBSComboBoxType ComboBoxType() const { return type_; }
    void SetComboBoxType(TBSComboBoxType type);
    bool Mandatory() const { return mandatory_; }
    void SetMandatory(bool mandatory);
    bool ReadOnly() const { return readOnly_; }
    bool ParentReadOnly() const { return parentReadOnly_; }
    void SetParentReadOnly(bool follow) { parentReadOnly_ = follow; }
    bool ShowClearButton() const { return showClearButton_; }
    void SetShowClearButton(bool show);
    // The clear button, present only while ShowClearButton is set and Mandatory is not.
    QToolButton* ClearButton() const { return clearButton_.data(); }
    int DropDownWidth() const { return dropDownWidth_; }
    void SetDropDownWidth(int width) { dropDownWidth_ = width; }
    std::string Hint() const;
    void SetHint(const std::string& hint);

    // The value in text form: the key or position in decimal, or the text.
    std::string ValueText() const;
    void SetValueText(std::string_view text);
    // The key of the selected item, 0 when none.
    std::int32_t SelectedKey() const;
    // Selects the first item with the key; none has it: nothing selected, then the mandatory
    // rule.
    void SelectKey(std::int32_t key);
    // Clears the selection as the user does with Backspace or the clear button.
    void ClearByUser();
    // Selects a position as code does: never reported.
    void SetItemIndex(int index);

    // IBSEditControl
    bool GetParentReadOnly() const override { return parentReadOnly_; }
    void SetReadOnly(bool readOnly) override;
    bool GetReadOnly() const override { return readOnly_; }
    // IBSValueControl
    TBSControlValue GetValue() const override;
    void SetValue(const TBSControlValue& value) override;
    std::string GetValueName() const override { return valueName_; }
    void SetValueName(std::string name) override { valueName_ = std::move(name); }
    // IBSFontControl
    QFont ControlFont() const override { return font(); }
    void SetControlFont(const QFont& f) override { setFont(f); }

    void showPopup() override;

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

    // When Mandatory is set on a key or index list with items and nothing selected, selects the
    // first item (as code does).
    void ApplyMandatoryRule();
    // Runs a change as code: no notification comes of it.
    template <typename F> void Programmatic(F&& change) {
        const bool was = programmatic_;
        programmatic_ = true;
        change();
        programmatic_ = was;
    }
    // Appends an item without letting the platform select it.
    void AppendItem(const QString& text, std::int32_t key);

private:
    void UserChanged();
    void RunOutTimer();
    void FireUserChange();
    void UpdateClearButton();
    void UpdateColours();

    TBSComboBoxType type_ = cbtKey;
    bool mandatory_ = false;
    bool readOnly_ = false;
    bool parentReadOnly_ = true;
    bool showClearButton_ = false;
    int dropDownWidth_ = 0;
    std::string valueName_;
    bool programmatic_ = false;
    QTimer* timer_;
    QPointer<QToolButton> clearButton_;
};

class TBSComboBox : public TBSCustomComboBox, public IBSSettingsControl, public IBSTranslatable {
    Q_OBJECT
public:
    explicit TBSComboBox(QWidget* parent = nullptr);

    std::int32_t KeyAt(int index) const; // EListError outside the list
    void Clear();
    // The text is resolved first (a reference becomes the text of the current language).
    void AddItem(std::string_view text, std::int32_t key);
    void AddLookupItems(const IBSLookupItems* items);
    // Replaces the items and selects what was selected before, where it still exists.
    void SetLookupItems(const IBSLookupItems* items);
    bool HasSelection() const { return currentIndex() >= 0; }
    int DropDownCount() const { return maxVisibleItems(); }
    void SetDropDownCount(int rows) { setMaxVisibleItems(rows); }

    // IBSSettingsControl: the value text under the object name.
    void LoadFromSection(const IBSSection& section) override;
    void SaveToSection(IBSSection& section) const override;
    // IBSTranslatable: text and index lists offer their hint and items; key lists nothing.
    void CollectTexts(IBSStringList& list) const override;
    void ApplyTexts(const IBSStringList& lines, int first, int count) override;
};

enum TBSFontComboOption : std::uint8_t {
    tfcVarPitch = 1,
    tfcFixedPitch = 2,
    tfcOnlyTrueType = 4,
};
using TBSFontComboOptions = std::uint8_t;

// The installed font families, sorted; scalable ones (key 1) marked "TT".
class TBSFontComboBox : public TBSCustomComboBox, public IBSSettingsControl {
    Q_OBJECT
public:
    explicit TBSFontComboBox(QWidget* parent = nullptr);

    TBSFontComboOptions Options() const { return options_; }
    void SetOptions(TBSFontComboOptions options);
    // Fills the list again and selects the font that was selected, if it is still offered.
    void Fill();
    std::string FontName() const;
    // Compared without letter case; of several matches the last; none selects nothing.
    void SelectFontName(std::string_view name);

    void LoadFromSection(const IBSSection& section) override;
    void SaveToSection(IBSSection& section) const override;

private:
    TBSFontComboOptions options_ = tfcVarPitch | tfcOnlyTrueType;
};

} // namespace marqor
