#include "controls/language_ctrls.h"

#include "controls/control_interfaces.h"
#include "controls/control_services.h"
#include "foundation/text.h"
#include "texts/language.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QStackedWidget>
#include <QTabWidget>
#include <QToolButton>
#include <QWidget>
#include <algorithm>

namespace marqor {

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

std::string S(const QString& s) {
    return s.toStdString();
}

QTabWidget* TabWidgetOf(const QObject* object, int* index) {
    auto* widget = qobject_cast<const QWidget*>(object);
    auto* stack = widget ? qobject_cast<QStackedWidget*>(widget->parentWidget()) : nullptr;
    auto* tabs = stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
    if (!tabs)
        return nullptr;
    *index = tabs->indexOf(const_cast<QWidget*>(widget));
    return *index >= 0 ? tabs : nullptr;
}

bool HasAsciiLetter(const std::string& s) {
    return std::any_of(s.begin(), s.end(),
                       [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); });
}

// Labels named L1, L2, ... show data, not texts.
bool IsDataLabelName(const std::string& name) {
    if (name.size() < 2 || (name[0] != 'L' && name[0] != 'l'))
        return false;
    const auto n = ParseInt(name.substr(1));
    return n && *n >= 1 && name.find_first_not_of("0123456789", 1) == std::string::npos;
}

// Caption when it tells more than the name, then the hint.
void CaptionAndHint(std::vector<std::string>& texts, const std::string& name,
                    const std::string& caption, const std::string& hint) {
    if (!SameText(caption, name) || !hint.empty())
        texts.push_back(caption);
    if (!hint.empty())
        texts.push_back(hint);
}

} // namespace

std::vector<TBSFormBlock> FormSectionBlocks(const IBSStringList& section) {
    std::vector<TBSFormBlock> blocks;
    const int n = section.Count();
    int i = 1;
    while (i < n && !section.Item(i).starts_with(".@"))
        ++i;
    while (i < n) {
        int end = i + 1;
        while (end < n && !section.Item(end).starts_with(".@"))
            ++end;
        TBSFormBlock block;
        block.Name = section.Item(i).substr(2);
        block.First = i + 1;
        const int raw = end - i - 1;
        int count = raw;
        while (count > 0 && section.Item(i + count).empty())
            --count;
        // The first text line counts even when it is empty: it empties a caption.
        block.Count = raw > 0 ? std::max(count, 1) : 0;
        blocks.push_back(std::move(block));
        i = end;
    }
    return blocks;
}

std::vector<QObject*> FormComponents(const QWidget* window) {
    std::vector<QObject*> components;
    if (!window)
        return components;
    for (QObject* child : window->findChildren<QObject*>()) {
        if (!child->isWidgetType() && !qobject_cast<QAction*>(child))
            continue;
        const QString name = child->objectName();
        if (name.isEmpty() || name.startsWith("qt_"))
            continue;
        components.push_back(child);
    }
    return components;
}

QObject* TBSLanguageCtrls::FindComponent(std::string_view name) const {
    const QString wanted = QString::fromUtf8(name.data(), qsizetype(name.size()));
    for (QObject* component : FormComponents(window_))
        if (component->objectName().compare(wanted, Qt::CaseInsensitive) == 0)
            return component;
    return nullptr;
}

void TBSLanguageCtrls::Translate(std::string_view className) {
    const auto section = Language().FormSection(className);
    if (section)
        ApplySection(*section);
}

void TBSLanguageCtrls::ApplySection(const IBSStringList& section) {
    if (!window_ || section.IsEmpty())
        return;
    if (!section.Item(0).empty())
        window_->setWindowTitle(Q(section.Item(0)));
    for (const auto& block : FormSectionBlocks(section)) {
        if (block.Count == 0)
            continue; // a header without text lines has nothing to give
        if (QObject* component = FindComponent(block.Name))
            ApplyBlock(component, section, block);
    }
}

void TBSLanguageCtrls::ApplyBlock(QObject* component, const IBSStringList& section,
                                  const TBSFormBlock& block) {
    if (auto* translatable = dynamic_cast<IBSTranslatable*>(component)) {
        translatable->ApplyTexts(section, block.First, block.Count);
        return;
    }
    const QString first = Q(section.Item(block.First));
    const bool second = block.Count >= 2;
    const QString hint = second ? Q(section.Item(block.First + 1)) : QString();
    int tabIndex = -1;
    if (QTabWidget* tabs = TabWidgetOf(component, &tabIndex)) {
        tabs->setTabText(tabIndex, first);
    } else if (auto* action = qobject_cast<QAction*>(component)) {
        action->setText(first);
        if (second) {
            action->setToolTip(hint);
            action->setStatusTip(hint);
        }
    } else if (auto* menu = qobject_cast<QMenu*>(component)) {
        menu->setTitle(first);
        if (second)
            menu->setToolTip(hint);
    } else if (auto* button = qobject_cast<QAbstractButton*>(component)) {
        button->setText(first);
        if (second)
            button->setToolTip(hint);
    } else if (auto* label = qobject_cast<QLabel*>(component)) {
        label->setText(first);
        if (second)
            label->setToolTip(hint);
    } else if (auto* box = qobject_cast<QGroupBox*>(component)) {
        box->setTitle(first);
        if (second)
            box->setToolTip(hint);
    } else if (auto* widget = qobject_cast<QWidget*>(component)) {
        widget->setToolTip(first);
    }
}

std::vector<std::string> TBSLanguageCtrls::ComponentTexts(const QObject* component) {
    std::vector<std::string> texts;
    const std::string name = S(component->objectName());
    int tabIndex = -1;
    if (auto* translatable = dynamic_cast<const IBSTranslatable*>(component)) {
        auto list = NewStringList();
        translatable->CollectTexts(*list);
        texts.assign(list->begin(), list->end());
    } else if (QTabWidget* tabs = TabWidgetOf(component, &tabIndex)) {
        if (!tabs->tabText(tabIndex).isEmpty())
            texts.push_back(S(tabs->tabText(tabIndex)));
    } else if (auto* action = qobject_cast<const QAction*>(component)) {
        if (action->isSeparator())
            return {};
        texts.push_back(S(action->text()));
        if (!action->toolTip().isEmpty() && action->toolTip() != action->iconText())
            texts.push_back(S(action->toolTip()));
    } else if (auto* menu = qobject_cast<const QMenu*>(component)) {
        if (menu->title().startsWith('@'))
            return {};
        texts.push_back(S(menu->title()));
        if (!menu->toolTip().isEmpty())
            texts.push_back(S(menu->toolTip()));
    } else if (auto* tool = qobject_cast<const QToolButton*>(component)) {
        if (tool->defaultAction())
            return {};
        texts.push_back(S(tool->text()));
        if (!tool->toolTip().isEmpty())
            texts.push_back(S(tool->toolTip()));
    } else if (auto* label = qobject_cast<const QLabel*>(component)) {
        if (IsDataLabelName(name))
            return {};
        CaptionAndHint(texts, name, S(label->text()), S(label->toolTip()));
    } else if (auto* button = qobject_cast<const QAbstractButton*>(component)) {
        CaptionAndHint(texts, name, S(button->text()), S(button->toolTip()));
    } else if (auto* box = qobject_cast<const QGroupBox*>(component)) {
        CaptionAndHint(texts, name, S(box->title()), S(box->toolTip()));
    } else if (auto* widget = qobject_cast<const QWidget*>(component)) {
        if (!widget->toolTip().isEmpty())
            texts.push_back(S(widget->toolTip()));
    }
    for (auto& text : texts)
        if (Trim(text).empty())
            text.assign(1, '.');
    while (!texts.empty() && texts.back() == ".")
        texts.pop_back();
    if (std::none_of(texts.begin(), texts.end(), HasAsciiLetter))
        texts.clear();
    return texts;
}

void TBSLanguageCtrls::CollectTemplate(std::string_view className) {
    collected_->Clear();
    if (ControlServices()->VersionText() == "Debug Build")
        CollectTemplateAlways(className);
}

void TBSLanguageCtrls::CollectTemplateAlways(std::string_view className) {
    collected_->Clear();
    if (!window_)
        return;
    std::vector<std::string> lines;
    lines.push_back("[Form." + std::string(className) + "]");
    const std::string caption = S(window_->windowTitle());
    const std::string_view bare =
        className.starts_with('T') || className.starts_with('t') ? className.substr(1) : className;
    lines.push_back(caption.empty() || SameText(caption, bare) ? "." : caption);
    for (QObject* component : FormComponents(window_)) {
        const auto texts = ComponentTexts(component);
        if (texts.empty() || (texts.size() == 1 && SameText(texts[0], "OK")))
            continue;
        lines.push_back(".@" + S(component->objectName()));
        lines.insert(lines.end(), texts.begin(), texts.end());
    }
    for (auto& line : lines) {
        std::size_t i = 0;
        while (i < line.size() && line[i] == ' ')
            line[i++] = '_';
    }
    lines.emplace_back();
    for (auto& line : lines)
        collected_->Add(std::move(line));
}

} // namespace marqor
