#include "controls/accelerators.h"

#include "controls/choice_controls.h"
#include "foundation/text.h"

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <algorithm>

namespace marqor {

namespace {

// The tab widget whose page the widget is, with the page's position; nothing otherwise.
QTabWidget* TabWidgetOfPage(const QWidget* widget, int* index) {
    if (!widget)
        return nullptr;
    auto* stack = qobject_cast<QStackedWidget*>(widget->parentWidget());
    auto* tabs = stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
    if (!tabs)
        return nullptr;
    const int i = tabs->indexOf(const_cast<QWidget*>(widget));
    if (i < 0)
        return nullptr;
    if (index)
        *index = i;
    return tabs;
}

// A stacked widget that is not the inside of a tab widget: its pages are notebook pages.
QStackedWidget* NotebookOfPage(const QWidget* widget) {
    if (!widget)
        return nullptr;
    auto* stack = qobject_cast<QStackedWidget*>(widget->parentWidget());
    if (!stack || qobject_cast<QTabWidget*>(stack->parentWidget()))
        return nullptr;
    return stack;
}

// The tab sheet, notebook page or window that groups the widget's accelerators.
QObject* GroupOwnerOf(const QWidget* widget, const QWidget* window) {
    for (const QWidget* w = widget ? widget->parentWidget() : nullptr; w; w = w->parentWidget()) {
        if (w == window)
            return const_cast<QWidget*>(w);
        if (TabWidgetOfPage(w, nullptr) || NotebookOfPage(w))
            return const_cast<QWidget*>(w);
    }
    return const_cast<QWidget*>(window);
}

} // namespace

bool IsAcceleratorLetter(char32_t c) {
    return (c >= U'0' && c <= U'9') || (c >= U'A' && c <= U'Z') || c == U'\u00C4' ||
           c == U'\u00D6' || c == U'\u00DC';
}

char32_t ExistingAccelerator(std::string_view caption) {
    const std::u32string upper = Utf8ToCodePoints(UnicodeUpper(caption));
    for (std::size_t i = 0; i + 1 < upper.size(); ++i)
        if (upper[i] == U'&' && IsAcceleratorLetter(upper[i + 1]))
            return upper[i + 1];
    return 0;
}

std::u32string CandidateLetters(std::string_view caption) {
    std::u32string letters;
    for (char32_t c : Utf8ToCodePoints(caption)) {
        c = UnicodeUpper(c);
        if (IsAcceleratorLetter(c) && letters.find(c) == std::u32string::npos)
            letters += c;
    }
    return letters;
}

std::string InsertAccelerator(std::string_view caption, char32_t letter) {
    std::u32string text = Utf8ToCodePoints(caption);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (UnicodeUpper(text[i]) == letter) {
            text.insert(i, 1, U'&');
            break;
        }
    }
    return CodePointsToUtf8(text);
}

TKvrAcceleratorItem& TKvrAcceleratorGroup::AddItem(QObject* control, int itemIndex,
                                                   TKvrAcceleratorKind kind, std::string caption) {
    TKvrAcceleratorItem item;
    item.Control = control;
    item.ItemIndex = itemIndex;
    item.Kind = kind;
    item.Letter = ExistingAccelerator(caption);
    if (!item.Letter)
        item.Candidates = CandidateLetters(caption);
    item.Caption = std::move(caption);
    Items.push_back(std::move(item));
    return Items.back();
}

TKvrAcceleratorGroup& TKvrAcceleratorGroup::AddChild(QObject* owner) {
    auto child = std::make_unique<TKvrAcceleratorGroup>();
    child->Parent = this;
    child->Owner = owner;
    Children.push_back(std::move(child));
    return *Children.back();
}

TKvrAcceleratorGroup* TKvrAcceleratorGroup::FindGroup(const QObject* owner) {
    if (Owner == owner)
        return this;
    for (auto& child : Children)
        if (auto* found = child->FindGroup(owner))
            return found;
    return nullptr;
}

namespace {

void AssignGroup(TKvrAcceleratorGroup& group, const std::u32string& reserved) {
    std::u32string used = reserved;
    for (const TKvrAcceleratorGroup* g = group.Parent; g; g = g->Parent)
        for (const auto& item : g->Items)
            if (item.Letter)
                used += item.Letter;
    for (const auto& item : group.Items)
        if (item.Letter)
            used += item.Letter;

    std::vector<TKvrAcceleratorItem*> order;
    for (auto& item : group.Items)
        order.push_back(&item);
    std::stable_sort(order.begin(), order.end(), [](const auto* a, const auto* b) {
        return int(a->Kind) + int(a->Candidates.size()) < int(b->Kind) + int(b->Candidates.size());
    });
    for (auto* item : order) {
        if (item->Letter)
            continue;
        for (char32_t c : item->Candidates) {
            if (used.find(c) == std::u32string::npos) {
                item->Letter = c;
                item->Assigned = true;
                used += c;
                break;
            }
        }
    }
    for (auto& child : group.Children)
        AssignGroup(*child, reserved);
}

void WriteBack(const TKvrAcceleratorGroup& group) {
    for (const auto& item : group.Items) {
        if (!item.Assigned || !item.Control)
            continue;
        const std::string caption = InsertAccelerator(item.Caption, item.Letter);
        const QString text = QString::fromStdString(caption);
        QObject* control = item.Control;
        if (auto* group = qobject_cast<TKvrRadioGroup*>(control)) {
            if (auto* button = group->Button(item.ItemIndex))
                button->setText(text);
        } else if (auto* check = qobject_cast<TKvrCheckBox*>(control)) {
            check->SetCaption(caption);
        } else if (auto* radio = qobject_cast<TKvrRadioButton*>(control)) {
            radio->SetCaption(caption);
        } else if (auto* label = qobject_cast<QLabel*>(control)) {
            label->setText(text);
        } else if (auto* button = qobject_cast<QPushButton*>(control)) {
            button->setText(text);
        } else if (auto* page = qobject_cast<QWidget*>(control)) {
            int index = -1;
            if (auto* tabs = TabWidgetOfPage(page, &index))
                tabs->setTabText(index, text);
        }
    }
    for (const auto& child : group.Children)
        WriteBack(*child);
}

} // namespace

void TKvrAccelerator::Assign() {
    AssignGroup(*this, Reserved);
}

void SetCancelButton(QPushButton* button, bool cancel) {
    if (button)
        button->setProperty("marqorCancel", cancel);
}

bool IsCancelButton(const QPushButton* button) {
    return button && button->property("marqorCancel").toBool();
}

void AssignAccelerators(QWidget* window, std::u32string_view reserved) {
    if (!window)
        return;
    TKvrAccelerator root;
    root.Owner = window;
    root.Reserved = std::u32string(reserved);
    if (auto* bar = window->findChild<QMenuBar*>()) {
        for (QAction* action : bar->actions())
            if (char32_t c = ExistingAccelerator(action->text().toStdString()))
                root.Reserved += c;
    }

    for (QWidget* widget : window->findChildren<QWidget*>()) {
        TKvrAcceleratorGroup* group = root.FindGroup(GroupOwnerOf(widget, window));
        int tabIndex = -1;
        QTabWidget* tabs = TabWidgetOfPage(widget, &tabIndex);
        if (group) {
            if (tabs) {
                group->AddItem(widget, -1, akTabSheet, tabs->tabText(tabIndex).toStdString());
            } else if (auto* radioGroup = qobject_cast<TKvrRadioGroup*>(widget)) {
                for (int i = 0; i < radioGroup->Count(); ++i)
                    group->AddItem(widget, i, akRadioGroupItem,
                                   radioGroup->Button(i)->text().toStdString());
            } else if (auto* check = qobject_cast<TKvrCheckBox*>(widget)) {
                group->AddItem(widget, -1, akCheckBox, check->Caption());
            } else if (auto* radio = qobject_cast<TKvrRadioButton*>(widget)) {
                group->AddItem(widget, -1, akRadioButton, radio->Caption());
            } else if (auto* label = qobject_cast<QLabel*>(widget)) {
                if (label->buddy())
                    group->AddItem(widget, -1, akLabel, label->text().toStdString());
            } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
                if (!button->isDefault() && !IsCancelButton(button))
                    group->AddItem(widget, -1, akPushButton, button->text().toStdString());
            }
        }
        // The controls inside a tab sheet or a notebook page choose among themselves.
        if (tabs) {
            if (auto* outer = root.FindGroup(GroupOwnerOf(widget, window)))
                outer->AddChild(widget);
        } else if (auto* notebook = qobject_cast<QStackedWidget*>(widget);
                   notebook && !qobject_cast<QTabWidget*>(notebook->parentWidget())) {
            if (auto* outer = root.FindGroup(GroupOwnerOf(widget, window)))
                for (int i = 0; i < notebook->count(); ++i)
                    outer->AddChild(notebook->widget(i));
        }
    }
    root.Assign();
    WriteBack(root);
}

} // namespace marqor
