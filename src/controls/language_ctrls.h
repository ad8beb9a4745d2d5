#pragma once

// Translation of a window: the form section named after a window class replaces the window's
// caption and the captions, hints and item lists of its components, found by object name.
//
// A form section is a list of lines: line 0 is the window caption, then for each component a
// line ".@" + object name followed by its text lines. What the lines mean depends on the kind
// of component (see TBSLanguageCtrls::ApplyBlock); controls that implement IBSTranslatable take
// their lines themselves.

#include "foundation/containers.h"

#include <string>
#include <string_view>
#include <vector>

class QObject;
class QWidget;

namespace marqor {

// One component's part of a form section: the name after ".@", and the first text line and
// number of text lines in the section. Trailing empty lines are not counted, but a block whose
// only text line is empty keeps it (it empties a caption).
struct TBSFormBlock {
    std::string Name;
    int First = 0;
    int Count = 0;
};
// The blocks of a section in order; lines before the first ".@" line (after line 0) are not part
// of any block, and a header followed directly by another header has no text lines.
std::vector<TBSFormBlock> FormSectionBlocks(const IBSStringList& section);

class TBSLanguageCtrls {
public:
    explicit TBSLanguageCtrls(QWidget* window) : window_(window) {}

    // Applies the current language's form section of that class name to the window.
    void Translate(std::string_view className);
    // The same with the lines of a section at hand.
    void ApplySection(const IBSStringList& section);
    // Builds the template of the window's form section from its untranslated texts. Runs only
    // when the application's version text is "Debug Build"; otherwise the list stays empty.
    void CollectTemplate(std::string_view className);
    // The same, whatever the version text.
    void CollectTemplateAlways(std::string_view className);
    const IBSStringList& Collected() const { return *collected_; }

    // The component of that object name among the window's children (letter case ignored);
    // none when there is none.
    QObject* FindComponent(std::string_view name) const;
    // The texts of one component for the template, or nothing when it has none.
    static std::vector<std::string> ComponentTexts(const QObject* component);

private:
    void ApplyBlock(QObject* component, const IBSStringList& section, const TBSFormBlock& block);

    QWidget* window_;
    IBSStringListPtr collected_ = NewStringList();
};

// The window's components in component order: every named child widget and action, Qt's own
// inner parts excepted.
std::vector<QObject*> FormComponents(const QWidget* window);

} // namespace marqor
