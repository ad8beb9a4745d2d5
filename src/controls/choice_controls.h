#pragma once

// Radio groups, radio buttons, check boxes, the menu button and the panel.
//
// The product-family controls (TKvr...) add a read-only state that keeps captions readable: a
// read-only control cannot be used, but its caption keeps the normal text colour. The general
// library's TBSRadioGroup and TBSCheckBox report user changes and hand out their value.

#include "controls/control_interfaces.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <functional>
#include <string>
#include <vector>

class QButtonGroup;
class QGridLayout;
class QMenu;

namespace marqor {

// A framed group of radio buttons laid out in columns, filled column by column.
class TBSCustomRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit TBSCustomRadioGroup(QWidget* parent = nullptr);

    std::vector<std::string> Items() const;
    // Keeps the selected position where the new items still have it.
    void SetItems(const std::vector<std::string>& items);
    int Count() const { return int(buttons_.size()); }
    // -1 when nothing is selected. Setting it is a change made by code.
    int ItemIndex() const { return index_; }
    void SetItemIndex(int index);
    int Columns() const { return columns_; }
    void SetColumns(int columns);
    std::string Caption() const;
    void SetCaption(const std::string& caption);
    std::string Hint() const;
    void SetHint(const std::string& hint);
    QRadioButton* Button(int index) const;

protected:
    // A click of the user that selected another item.
    virtual void UserSelected(int) {}

private:
    void Arrange();

    std::vector<QRadioButton*> buttons_;
    QButtonGroup* group_;
    QGridLayout* grid_;
    int index_ = -1;
    int pressedIndex_ = -1;
    int columns_ = 1;
    bool programmatic_ = false;
};

class TKvrRadioGroup : public TBSCustomRadioGroup,
                       public IBSSettingsControl,
                       public IBSTranslatable {
    Q_OBJECT
public:
    explicit TKvrRadioGroup(QWidget* parent = nullptr);

    std::function<void(TKvrRadioGroup&)> OnClick;

    // Enabled is the control's own value; the group can be used only while it is enabled and
    // not read-only.
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly);

    // ItemIndex under the object name.
    void LoadFromSection(const IBSSection& section) override;
    void SaveToSection(IBSSection& section) const override;
    // Caption (or "."), hint (or ".") and the items.
    void CollectTexts(IBSStringList& list) const override;
    void ApplyTexts(const IBSStringList& lines, int first, int count) override;

protected:
    void UserSelected(int index) override;

private:
    void UpdateState();

    bool enabled_ = true;
    bool readOnly_ = false;
};

class TBSRadioGroup : public TBSCustomRadioGroup,
                      public IBSTranslatable,
                      public IBSSettingsControl,
                      public IBSValueControl,
                      public IBSEditControl {
    Q_OBJECT
public:
    explicit TBSRadioGroup(QWidget* parent = nullptr);

    std::function<void(TBSRadioGroup&)> OnUserChange;

    // Parallel to the items: the value of each item for generic code.
    std::vector<std::string> Values;

    bool ParentReadOnly() const { return parentReadOnly_; }
    void SetParentReadOnly(bool follow) { parentReadOnly_ = follow; }
    bool ShowGroupBox() const { return showGroupBox_; }
    void SetShowGroupBox(bool show);

    // Hint (or ".") and the items, as index lists do.
    void CollectTexts(IBSStringList& list) const override;
    void ApplyTexts(const IBSStringList& lines, int first, int count) override;
    // ItemIndex under the object name.
    void LoadFromSection(const IBSSection& section) override;
    void SaveToSection(IBSSection& section) const override;
    // The entry of Values at the selected position.
    TBSControlValue GetValue() const override;
    void SetValue(const TBSControlValue& value) override;
    std::string GetValueName() const override { return valueName_; }
    void SetValueName(std::string name) override { valueName_ = std::move(name); }
    bool GetParentReadOnly() const override { return parentReadOnly_; }
    void SetReadOnly(bool readOnly) override;
    bool GetReadOnly() const override { return readOnly_; }

protected:
    void UserSelected(int index) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool readOnly_ = false;
    bool parentReadOnly_ = true;
    bool showGroupBox_ = true;
    std::string valueName_;
};

class TKvrRadioButton : public QRadioButton, public IBSSettingsControl, public IBSTranslatable {
    Q_OBJECT
public:
    explicit TKvrRadioButton(QWidget* parent = nullptr);

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly);
    std::string Caption() const;
    void SetCaption(const std::string& caption);

    void LoadFromSection(const IBSSection& section) override;
    void SaveToSection(IBSSection& section) const override;
    // Caption, then the hint when it is set.
    void CollectTexts(IBSStringList& list) const override;
    void ApplyTexts(const IBSStringList& lines, int first, int count) override;

private:
    void UpdateState();

    bool enabled_ = true;
    bool readOnly_ = false;
};

class TKvrCheckBox : public QCheckBox, public IBSSettingsControl, public IBSTranslatable {
    Q_OBJECT
public:
    explicit TKvrCheckBox(QWidget* parent = nullptr);

    // After every toggle by the user.
    std::function<void(TKvrCheckBox&)> OnToggle;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly);
    std::string Caption() const;
    void SetCaption(const std::string& caption);

    void LoadFromSection(const IBSSection& section) override;
    void SaveToSection(IBSSection& section) const override;
    void CollectTexts(IBSStringList& list) const override;
    void ApplyTexts(const IBSStringList& lines, int first, int count) override;

private:
    void UpdateState();

    bool enabled_ = true;
    bool readOnly_ = false;
};

enum TBSCheckBoxState : std::uint8_t { cbUnchecked, cbChecked, cbGrayed };

class TBSCheckBox : public QCheckBox,
                    public IBSSettingsControl,
                    public IBSEditControl,
                    public IBSValueControl,
                    public IBSFontControl {
    Q_OBJECT
public:
    explicit TBSCheckBox(QWidget* parent = nullptr);

    std::function<void(TBSCheckBox&)> OnUserChange;

    bool AllowGrayed() const { return isTristate(); }
    void SetAllowGrayed(bool allow) { setTristate(allow); }
    TBSCheckBoxState CheckState() const;
    void SetCheckState(TBSCheckBoxState state);
    // Caption to the left of the box instead of the right.
    bool CaptionLeft() const { return layoutDirection() == Qt::RightToLeft; }
    void SetCaptionLeft(bool left) { setLayoutDirection(left ? Qt::RightToLeft : Qt::LeftToRight); }
    bool ParentReadOnly() const { return parentReadOnly_; }
    void SetParentReadOnly(bool follow) { parentReadOnly_ = follow; }

    void LoadFromSection(const IBSSection& section) override;
    void SaveToSection(IBSSection& section) const override;
    bool GetParentReadOnly() const override { return parentReadOnly_; }
    void SetReadOnly(bool readOnly) override;
    bool GetReadOnly() const override { return readOnly_; }
    TBSControlValue GetValue() const override;
    void SetValue(const TBSControlValue& value) override;
    std::string GetValueName() const override { return valueName_; }
    void SetValueName(std::string name) override { valueName_ = std::move(name); }
    QFont ControlFont() const override { return font(); }
    void SetControlFont(const QFont& f) override { setFont(f); }

protected:
    void nextCheckState() override;
    bool hitButton(const QPoint& pos) const override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool readOnly_ = false;
    bool parentReadOnly_ = true;
    std::string valueName_;
};

// A push button that opens a menu of tagged lines below itself.
class TBSMenuButton : public QPushButton {
    Q_OBJECT
public:
    explicit TBSMenuButton(QWidget* parent = nullptr);

    std::function<void(TBSMenuButton&, int tag)> OnItemSelect;

    // The caption is resolved as a text reference.
    QAction* AddMenuItem(std::string_view text, int tag);
    QMenu* Menu() const { return menu_; }
    const std::vector<int>& Tags() const { return tags_; }

private:
    QMenu* menu_;
    std::vector<int> tags_;
};

// A plain container without frame or caption whose read-only state reaches its controls.
class TBSPanel : public QFrame {
    Q_OBJECT
public:
    explicit TBSPanel(QWidget* parent = nullptr);

    void SetReadOnly(bool readOnly);
};

} // namespace marqor
