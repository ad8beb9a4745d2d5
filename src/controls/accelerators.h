#pragma once

// Keyboard accelerators ("&" in captions) for the controls of a window, given after the
// window's texts are translated. Captions that already have one keep it; the others get the
// first free letter of their own caption, controls with the fewest choices first. Controls on
// different tab sheets may share letters; a tab sheet never reuses a letter of the window or of
// the main menu.
//
// The assignment works on plain data (groups of items with captions), so it is tested without a
// window; AssignAccelerators collects that data from a window and writes the captions back.

#include <QPointer>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QObject;
class QPushButton;
class QWidget;

namespace marqor {

// The weights of the kinds: a lower weight chooses first.
enum TKvrAcceleratorKind : std::uint8_t {
    akTabSheet = 1,
    akPushButton = 2,
    akLabel = 3,
    akCheckBox = 4,
    akRadioButton = 5,
    akRadioGroupItem = 6,
};

// Digits, A to Z, Ä, Ö and Ü, after upper-casing.
bool IsAcceleratorLetter(char32_t c);
// The letter after the first "&" that is followed by an accelerator letter; 0 when none.
char32_t ExistingAccelerator(std::string_view caption);
// The accelerator letters of the upper-cased caption, each once, in caption order.
std::u32string CandidateLetters(std::string_view caption);
// "&" inserted before the first character whose upper case is the letter.
std::string InsertAccelerator(std::string_view caption, char32_t letter);

struct TKvrAcceleratorItem {
    QObject* Control = nullptr;
    int ItemIndex = -1; // the item of a radio group, else -1
    TKvrAcceleratorKind Kind = akPushButton;
    std::string Caption;
    std::u32string Candidates; // empty when the caption has an accelerator already
    char32_t Letter = 0;       // existing or assigned; 0 while none
    bool Assigned = false;     // the letter was given here, so the caption must change
};

struct TKvrAcceleratorGroup {
    TKvrAcceleratorGroup* Parent = nullptr;
    QObject* Owner = nullptr;              // the window, a tab sheet or a notebook page
    std::deque<TKvrAcceleratorItem> Items; // a deque, so AddItem's references stay valid
    std::vector<std::unique_ptr<TKvrAcceleratorGroup>> Children;

    // Adds an item with its existing accelerator or its candidate letters.
    TKvrAcceleratorItem& AddItem(QObject* control, int itemIndex, TKvrAcceleratorKind kind,
                                 std::string caption);
    TKvrAcceleratorGroup& AddChild(QObject* owner);
    // This group or a group below it (depth-first) whose owner is the object.
    TKvrAcceleratorGroup* FindGroup(const QObject* owner);
};

// The root group of a window with the letters reserved at window level.
struct TKvrAccelerator : TKvrAcceleratorGroup {
    std::u32string Reserved;

    // Gives letters to the items without one: per group from the root down, items sorted by
    // weight plus number of candidates (component order among equals), each taking its first
    // candidate not used by the reserved letters, the groups above or its own group.
    void Assign();
};

// Marks a push button as the one Escape presses; cancel buttons get no accelerator.
void SetCancelButton(QPushButton* button, bool cancel = true);
bool IsCancelButton(const QPushButton* button);

// Builds the accelerator data of the window, assigns the letters and writes the changed
// captions back. The reserved letters are added to those of the main menu's top level.
void AssignAccelerators(QWidget* window, std::u32string_view reserved = {});

} // namespace marqor
