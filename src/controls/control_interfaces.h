#pragma once

// What windows and generic code ask of a control without knowing its class: its translatable
// texts, its value in a settings section, its read-only state, its value for generic code and
// its font. A control answers by deriving from the interface; callers find it with
// dynamic_cast on the QObject.

#include "foundation/containers.h"
#include "foundation/settings.h"

#include <QFont>
#include <QIcon>
#include <QKeyEvent>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class QFocusEvent;
class QObject;
class QWidget;

namespace marqor {

// The value a control hands to generic code: a kind and a text, empty when the control holds
// nothing. Dates travel as day numbers (see TDateTime).
struct TBSControlValue {
    enum Kind { vkEmpty, vkString, vkMemo, vkInteger, vkFloat, vkDateTime, vkBoolean };

    Kind kind = vkEmpty;
    bool empty = true;
    std::string text;
    std::int64_t integer = 0;
    double number = 0;

    static TBSControlValue Empty(Kind kind) { return {kind, true, {}, 0, 0}; }
    static TBSControlValue String(std::string s) {
        const bool e = s.empty();
        return {vkString, e, std::move(s), 0, 0};
    }
    static TBSControlValue Memo(std::string s) { return {vkMemo, false, std::move(s), 0, 0}; }
    static TBSControlValue Integer(std::int64_t i) { return {vkInteger, false, {}, i, double(i)}; }
    static TBSControlValue Float(double x) { return {vkFloat, false, {}, 0, x}; }
    static TBSControlValue Date(TDateTime d) { return {vkDateTime, false, {}, 0, d}; }
    static TBSControlValue Boolean(bool b) {
        return {vkBoolean, false, {}, b ? 1 : 0, b ? 1. : 0.};
    }

    bool IsEmpty() const { return empty; }
    // Integers and booleans as numbers, texts as they read; 0 when nothing fits.
    std::int64_t AsInteger() const;
    double AsFloat() const;
    std::string AsString() const;
};

// Texts of a control that a window translation hands back and forth: CollectTexts appends them
// in the order ApplyTexts takes them from the lines of a form section.
class IBSTranslatable {
public:
    virtual ~IBSTranslatable() = default;
    virtual void CollectTexts(IBSStringList& list) const = 0;
    virtual void ApplyTexts(const IBSStringList& lines, int first, int count) = 0;
};

// A control that keeps its value in a settings section, under its object name.
class IBSSettingsControl {
public:
    virtual ~IBSSettingsControl() = default;
    virtual void LoadFromSection(const IBSSection& section) = 0;
    virtual void SaveToSection(IBSSection& section) const = 0;
};

// A control with a read-only state that may follow its container (see SetReadOnlyTree).
class IBSEditControl {
public:
    virtual ~IBSEditControl() = default;
    virtual bool GetParentReadOnly() const = 0;
    virtual void SetReadOnly(bool readOnly) = 0;
    virtual bool GetReadOnly() const = 0;
};

// A control whose value generic code reads and writes, known by ValueName.
class IBSValueControl {
public:
    virtual ~IBSValueControl() = default;
    virtual TBSControlValue GetValue() const = 0;
    virtual void SetValue(const TBSControlValue& value) = 0;
    virtual std::string GetValueName() const = 0;
    virtual void SetValueName(std::string name) = 0;
};

// A control whose font a window fits to its own (see TBSForm).
class IBSFontControl {
public:
    virtual ~IBSFontControl() = default;
    virtual QFont ControlFont() const = 0;
    virtual void SetControlFont(const QFont& font) = 0;
};

// Every child of the container that implements IBSEditControl and follows its container gets
// the state, and the walk goes on inside it; a child that keeps its own state is left alone with
// all its children. Children that are no edit controls are walked into.
void SetReadOnlyTree(QWidget* container, bool readOnly);

// Whether losing the focus is the exit of an edit field: the focus moved on inside the window.
// A menu, a popup or another application taking the focus for a while is no exit.
bool IsFocusExit(const QFocusEvent* event);

// The key event with its text in upper (or lower) case, for edit fields that force the letter
// case of what is typed; nothing when the text stays as it is.
std::unique_ptr<QKeyEvent> CaseConvertedKey(const QKeyEvent& event, bool upper);

// The number a window uses to pick the controls whose values it loads and saves together. Qt
// widgets have none, so it lives in the dynamic property "Tag"; 0 when never set.
int Tag(const QObject* object);
void SetTag(QObject* object, int tag);

// The object name as UTF-8, the key under which a control stores its value.
std::string ComponentName(const QObject* object);

// Read-only choice controls cannot be used but must stay readable: the widget is disabled, and
// its disabled colours are made the active ones so the caption keeps the normal text colour.
// With readable false the widget gets back the palette it inherits.
void SetReadableDisabledLook(QWidget* widget, bool readable);

// The small glyphs of the control buttons: "BS_GLYPH_ARROW", "BS_GLYPH_DATE",
// "BS_GLYPH_NUMERIC_PAD", "BS_GLYPH_FILE", "BS_GLYPH_CLEAR" and "POPUPBUTTON". Drawn here rather
// than loaded, so they scale with the screen; an unknown name gives the arrow.
QIcon ControlGlyph(const std::string& name);

} // namespace marqor
