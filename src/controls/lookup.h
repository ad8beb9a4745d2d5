#pragma once

// The code lookup of an edit field: a list of known codes with labels, offered in a popup list
// under a small button beside the field. Choosing a line writes its code into the field; in
// multiple mode the ticked codes, joined by ",".

#include "foundation/containers.h"

#include <QFrame>
#include <QLabel>
#include <QObject>
#include <QPointer>
#include <QSize>
#include <functional>
#include <string>
#include <string_view>
#include <vector>
class QLineEdit;
class QListWidget;
#include <QToolButton>

namespace marqor {

struct TKvrLookupLine {
    std::string Code;
    std::string Label;
};

// Lines "code=label"; a line without "=" is a code that is its own label.
std::vector<TKvrLookupLine> LookupLines(const IBSStringList& lines);
// The position of the line with that code, -1 when there is none.
int LookupIndexOfCode(const std::vector<TKvrLookupLine>& lines, std::string_view code);
// The codes of a text, separated by ",", ";" or blanks.
std::vector<std::string> CodesInText(std::string_view text);
// The lines that start ticked or selected: in single mode the line of the text's code, in
// multiple mode every line whose code occurs in the text.
std::vector<int> PreselectedLookupRows(const std::vector<TKvrLookupLine>& lines,
                                       std::string_view text, bool multiple);
// What the field receives: the code of the selected line, or the ticked codes joined by ",".
std::string LookupResultText(const std::vector<TKvrLookupLine>& lines, const std::vector<int>& rows,
                             bool multiple);
// The client size of the popup: the widest label (at least the title) plus 8, plus 20 for check
// boxes and 20 for a scroll bar; 13 pixels per line up to 20 lines (260 beyond), at most 80 % of
// the screen height in whole lines, plus the title strip and 2.
QSize LookupListSize(int widestLabel, int titleWidth, int titleHeight, bool checkBoxes,
                     int lineCount, int screenHeight);

// The popup list: a borderless window with an optional title strip and a list, with check
// boxes in multiple mode.
class TKvrLookupListbox : public QFrame {
    Q_OBJECT
public:
    TKvrLookupListbox(const std::vector<TKvrLookupLine>& lines, bool multiple,
                      const std::string& title, QWidget* parent = nullptr);

    // Sets the start selection or ticks and remembers them for Escape.
    void Preselect(const std::vector<int>& rows);
    // The selected row (single mode) or the ticked rows (multiple mode).
    std::vector<int> ChosenRows() const;
    QListWidget* List() const { return list_; }

    // Called once when the list closes, with the rows chosen then.
    std::function<void(const std::vector<int>& rows)> OnClosed;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void Finish(bool restore);

    bool multiple_;
    std::vector<int> preselected_;
    QListWidget* list_;
    bool finished_ = false;
};

// A lookup that belongs to one edit field. Its button stands beside the field while there are
// lines; F2 in the field or the button opens the list.
class TKvrAbstractLookup : public QObject {
    Q_OBJECT
public:
    explicit TKvrAbstractLookup(QLineEdit* edit);
    ~TKvrAbstractLookup() override;

    // Lines "code=label".
    void SetLines(const IBSStringList& lines);
    const std::vector<TKvrLookupLine>& Lines() const { return lines_; }
    bool ShowDispLabel() const { return showDispLabel_; }
    void SetShowDispLabel(bool show);
    virtual bool MultiSel() const { return false; }
    std::string Title;

    // May veto the lookup; known tells whether the field's text is a known code.
    std::function<void(QLineEdit& edit, bool known, bool& allow)> BeforeLookup;
    std::function<void(QLineEdit& edit)> AfterLookup;
    // The label beside the field now shows another text.
    std::function<void()> OnLabelChanged;

    // Whether the field's text is the code of a line.
    bool IsKnownCode() const;
    // Shows the label of the field's text again.
    void Revalidate() { UpdateLabel(); }
    // Opens the list (or, vetoed or empty, only fires AfterLookup).
    void Execute();
    TKvrLookupListbox* OpenList() const { return list_.data(); }
    QToolButton* Button() const { return button_.data(); }
    QLabel* DispLabel() const { return label_.data(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Place();
    void UpdateLabel();
    void Closed(const std::vector<int>& rows);

    QLineEdit* edit_;
    std::vector<TKvrLookupLine> lines_;
    bool showDispLabel_ = false;
    QPointer<QToolButton> button_;
    QPointer<QLabel> label_;
    QPointer<TKvrLookupListbox> list_;
};

class TLookup : public TKvrAbstractLookup {
    Q_OBJECT
public:
    using TKvrAbstractLookup::TKvrAbstractLookup;

    bool MultiSel() const override { return multiSel_; }
    void SetMultiSel(bool multiple) { multiSel_ = multiple; }

private:
    bool multiSel_ = false;
};

} // namespace marqor
