#include "controls/lookup.h"

#include "controls/control_interfaces.h"
#include "foundation/text.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace marqor {

std::vector<TKvrLookupLine> LookupLines(const IBSStringList& lines) {
    std::vector<TKvrLookupLine> result;
    for (const auto& line : lines) {
        const auto eq = line.find('=');
        if (eq == std::string::npos)
            result.push_back({line, line});
        else
            result.push_back({line.substr(0, eq), line.substr(eq + 1)});
    }
    return result;
}

int LookupIndexOfCode(const std::vector<TKvrLookupLine>& lines, std::string_view code) {
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i].Code == code)
            return int(i);
    return -1;
}

std::vector<std::string> CodesInText(std::string_view text) {
    std::vector<std::string> codes;
    std::string current;
    for (char c : text) {
        if (c == ',' || c == ';' || c == ' ') {
            if (!current.empty())
                codes.push_back(std::move(current));
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty())
        codes.push_back(std::move(current));
    return codes;
}

std::vector<int> PreselectedLookupRows(const std::vector<TKvrLookupLine>& lines,
                                       std::string_view text, bool multiple) {
    std::vector<int> rows;
    if (!multiple) {
        if (const int i = LookupIndexOfCode(lines, text); i >= 0)
            rows.push_back(i);
        return rows;
    }
    const auto codes = CodesInText(text);
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (std::find(codes.begin(), codes.end(), lines[i].Code) != codes.end())
            rows.push_back(int(i));
    return rows;
}

std::string LookupResultText(const std::vector<TKvrLookupLine>& lines, const std::vector<int>& rows,
                             bool multiple) {
    std::string text;
    for (int row : rows) {
        if (row < 0 || row >= int(lines.size()))
            continue;
        if (!text.empty())
            text += ",";
        text += lines[std::size_t(row)].Code;
        if (!multiple)
            break;
    }
    return text;
}

QSize LookupListSize(int widestLabel, int titleWidth, int titleHeight, bool checkBoxes,
                     int lineCount, int screenHeight) {
    constexpr int lineHeight = 13;
    int listHeight = lineCount <= 20 ? lineCount * lineHeight : 260;
    const int most = screenHeight * 8 / 10 / lineHeight * lineHeight;
    listHeight = std::min(listHeight, most);
    const bool scrolls = lineCount * lineHeight > listHeight;
    int width = std::max(widestLabel, titleWidth) + 8;
    if (checkBoxes)
        width += 20;
    if (scrolls)
        width += 20;
    return {width, listHeight + titleHeight + 2};
}

// -----------------------------------------------------------------------------------------------
// TKvrLookupListbox

TKvrLookupListbox::TKvrLookupListbox(const std::vector<TKvrLookupLine>& lines, bool multiple,
                                     const std::string& title, QWidget* parent)
    : QFrame(parent, Qt::Popup | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      multiple_(multiple) {
    setObjectName("TKvrLookupListbox");
    setAttribute(Qt::WA_DeleteOnClose);
    setFrameShape(QFrame::Box);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(0);
    int titleWidth = 0, titleHeight = 0;
    if (!title.empty()) {
        auto* strip = new QLabel(QString::fromStdString(title), this);
        strip->setObjectName("LTitle");
        strip->setAutoFillBackground(true);
        strip->setBackgroundRole(QPalette::Highlight);
        strip->setForegroundRole(QPalette::HighlightedText);
        layout->addWidget(strip);
        titleWidth = strip->sizeHint().width();
        titleHeight = strip->sizeHint().height();
    }
    list_ = new QListWidget(this);
    list_->setObjectName("LBItems");
    list_->setFrameShape(QFrame::NoFrame);
    int widest = 0;
    const QFontMetrics metrics(list_->font());
    for (const auto& line : lines) {
        auto* item = new QListWidgetItem(QString::fromStdString(line.Label), list_);
        if (multiple) {
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Unchecked);
        }
        widest = std::max(widest, metrics.horizontalAdvance(item->text()));
    }
    layout->addWidget(list_);
    list_->installEventFilter(this);
    connect(list_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        if (multiple_)
            item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
        else
            Finish(false);
    });
    const int screenHeight = screen() ? screen()->availableGeometry().height() : 768;
    resize(
        LookupListSize(widest, titleWidth, titleHeight, multiple, int(lines.size()), screenHeight));
}

void TKvrLookupListbox::Preselect(const std::vector<int>& rows) {
    preselected_ = rows;
    if (multiple_) {
        for (int i = 0; i < list_->count(); ++i)
            list_->item(i)->setCheckState(
                std::find(rows.begin(), rows.end(), i) != rows.end() ? Qt::Checked : Qt::Unchecked);
        if (!rows.empty())
            list_->setCurrentRow(rows.front());
    } else if (!rows.empty()) {
        list_->setCurrentRow(rows.front());
        list_->scrollToItem(list_->item(rows.front()));
    } else {
        list_->setCurrentRow(-1);
    }
}

std::vector<int> TKvrLookupListbox::ChosenRows() const {
    std::vector<int> rows;
    if (multiple_) {
        for (int i = 0; i < list_->count(); ++i)
            if (list_->item(i)->checkState() == Qt::Checked)
                rows.push_back(i);
    } else if (list_->currentRow() >= 0 && list_->currentItem() &&
               list_->currentItem()->isSelected()) {
        rows.push_back(list_->currentRow());
    }
    return rows;
}

bool TKvrLookupListbox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Finish(!multiple_ && ChosenRows().empty());
            return true;
        }
        if (key == Qt::Key_Escape) {
            Finish(true);
            return true;
        }
    }
    return QFrame::eventFilter(watched, event);
}

void TKvrLookupListbox::hideEvent(QHideEvent* event) {
    QFrame::hideEvent(event);
    Finish(false); // losing the focus closes the list with what is chosen
}

void TKvrLookupListbox::Finish(bool restore) {
    if (finished_)
        return;
    finished_ = true;
    const std::vector<int> rows = restore ? preselected_ : ChosenRows();
    if (OnClosed)
        OnClosed(rows);
    close();
}

// -----------------------------------------------------------------------------------------------
// TKvrAbstractLookup

TKvrAbstractLookup::TKvrAbstractLookup(QLineEdit* edit) : QObject(edit), edit_(edit) {
    edit_->installEventFilter(this);
    connect(edit_, &QLineEdit::textChanged, this, [this] { UpdateLabel(); });
}

TKvrAbstractLookup::~TKvrAbstractLookup() {
    if (list_)
        list_->OnClosed = nullptr;
    delete button_.data();
    delete label_.data();
    delete list_.data();
}

void TKvrAbstractLookup::SetLines(const IBSStringList& lines) {
    lines_ = LookupLines(lines);
    Place();
    UpdateLabel();
}

void TKvrAbstractLookup::SetShowDispLabel(bool show) {
    showDispLabel_ = show;
    Place();
    UpdateLabel();
}

bool TKvrAbstractLookup::IsKnownCode() const {
    return LookupIndexOfCode(lines_, edit_->text().toStdString()) >= 0;
}

void TKvrAbstractLookup::Execute() {
    bool allow = true;
    if (BeforeLookup)
        BeforeLookup(*edit_, IsKnownCode(), allow);
    if (!allow || lines_.empty()) {
        if (AfterLookup)
            AfterLookup(*edit_);
        return;
    }
    if (list_) {
        list_->OnClosed = nullptr;
        delete list_.data();
    }
    list_ = new TKvrLookupListbox(lines_, MultiSel(), Title, edit_);
    list_->Preselect(PreselectedLookupRows(lines_, edit_->text().toStdString(), MultiSel()));
    list_->OnClosed = [this](const std::vector<int>& rows) {
        Closed(rows);
    };
    const QWidget* anchor = button_ ? static_cast<QWidget*>(button_.data()) : edit_;
    list_->move(anchor->mapToGlobal(QPoint(0, anchor->height())));
    list_->show();
    list_->List()->setFocus();
}

void TKvrAbstractLookup::Closed(const std::vector<int>& rows) {
    const std::string text = LookupResultText(lines_, rows, MultiSel());
    if (!rows.empty() || MultiSel())
        edit_->setText(QString::fromStdString(text));
    edit_->selectAll();
    if (QWidget* window = edit_->window())
        window->activateWindow();
    edit_->setFocus(Qt::OtherFocusReason);
    if (AfterLookup)
        AfterLookup(*edit_);
}

bool TKvrAbstractLookup::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edit_) {
        switch (event->type()) {
        case QEvent::KeyPress: {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_F2 && !lines_.empty() && !edit_->isReadOnly()) {
                Execute();
                return true;
            }
            break;
        }
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::ShowToParent:
        case QEvent::HideToParent:
        case QEvent::EnabledChange:
        case QEvent::ParentChange:
        case QEvent::ReadOnlyChange:
            Place();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

void TKvrAbstractLookup::Place() {
    QWidget* parent = edit_->parentWidget();
    if (!parent || lines_.empty()) {
        delete button_.data();
        delete label_.data();
        return;
    }
    if (!button_ || button_->parentWidget() != parent) {
        delete button_.data();
        button_ = new QToolButton(parent);
        button_->setFocusPolicy(Qt::NoFocus);
        button_->setIcon(ControlGlyph("POPUPBUTTON"));
        connect(button_.data(), &QToolButton::clicked, this, [this] { Execute(); });
    }
    const QRect r = edit_->geometry();
    const int side = std::max(1, r.height() - 2);
    button_->setGeometry(r.right() + 1, r.top() + 1, side, side);
    const bool visible = edit_->isVisibleTo(parent);
    button_->setVisible(visible);
    button_->setEnabled(edit_->isEnabled() && !edit_->isReadOnly());
    if (!showDispLabel_) {
        delete label_.data();
        return;
    }
    if (!label_ || label_->parentWidget() != parent) {
        delete label_.data();
        label_ = new QLabel(parent);
    }
    label_->adjustSize();
    label_->move(button_->geometry().right() + 6, r.top() + (r.height() - label_->height()) / 2);
    label_->setVisible(visible);
}

void TKvrAbstractLookup::UpdateLabel() {
    if (!label_)
        return;
    const int i = LookupIndexOfCode(lines_, edit_->text().toStdString());
    const QString text = i >= 0 ? QString::fromStdString(lines_[std::size_t(i)].Label) : QString();
    if (text == label_->text())
        return;
    label_->setText(text);
    label_->adjustSize();
    if (OnLabelChanged)
        OnLabelChanged();
}

} // namespace marqor
