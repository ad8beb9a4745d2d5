#include "controls/forms.h"

#include "controls/accelerators.h"
#include "controls/control_interfaces.h"
#include "controls/control_services.h"
#include "foundation/text.h"
#include "foundation/tokenizer.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMetaObject>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QWindow>
#include <algorithm>

namespace marqor {

namespace {

std::vector<TBSFormCore*>& LiveForms() {
    static std::vector<TBSFormCore*> forms;
    return forms;
}

QPointer<QWidget>& MainFormSlot() {
    static QPointer<QWidget> main;
    return main;
}

bool& MainFormSetUpDone() {
    static bool done = false;
    return done;
}

std::string WithoutNamespace(const char* className) {
    std::string name = className;
    const auto colons = name.rfind("::");
    return colons == std::string::npos ? name : name.substr(colons + 2);
}

TBSWindowPlacement CurrentPlacement(const QWidget* w) {
    const QRect r = w->geometry();
    return {r.x(), r.y(), r.width(), r.height(), 1, 2};
}

bool IsSizeable(const QWidget* w) {
    return w->minimumSize() != w->maximumSize();
}

// Clicking a label focuses the control it names.
class LabelFocusFilter final : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonRelease) {
            auto* label = qobject_cast<QLabel*>(watched);
            if (label && label->buddy() && label->buddy()->isEnabled())
                label->buddy()->setFocus(Qt::MouseFocusReason);
        }
        return false;
    }
};

} // namespace

std::string PlacementToText(const TBSWindowPlacement& p) {
    return Format("%d,%d,%d,%d,%d,%d", p.Left, p.Top, p.Width, p.Height, p.ShowCommand, p.Flags);
}

TBSWindowPlacement PlacementFromText(std::string_view text, const TBSWindowPlacement& current) {
    const auto fields = Tokenize(text, ",", false);
    auto field = [&](int i, int fallback) {
        return StrToIntDef(Trim(fields->Token(i)), fallback);
    };
    TBSWindowPlacement p;
    p.Left = field(0, current.Left);
    p.Top = field(1, current.Top);
    p.Width = field(2, current.Width);
    p.Height = field(3, current.Height);
    p.ShowCommand = field(4, 1);
    p.Flags = field(5, 2);
    return p;
}

Qt::WindowStates WindowStatesOfShowCommand(int showCommand, int flags, Qt::WindowStates current) {
    switch (showCommand) {
    case 1:
    case 5:
    case 9:
        return Qt::WindowNoState;
    case 2:
    case 6:
    case 7:
        return (flags & 2) ? (Qt::WindowMinimized | Qt::WindowMaximized) : Qt::WindowMinimized;
    case 3:
        return Qt::WindowMaximized;
    default:
        return current;
    }
}

// -----------------------------------------------------------------------------------------------
// TBSFormCore

TBSFormCore::TBSFormCore(QWidget* window, const QMetaObject* platformBase)
    : window_(window), platformBase_(platformBase), translator_(window) {
    LiveForms().push_back(this);
}

TBSFormCore::~TBSFormCore() {
    auto& forms = LiveForms();
    forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
}

std::vector<TBSFormCore*> TBSFormCore::AllForms() {
    return LiveForms();
}

std::vector<std::string> TBSFormCore::FormClassChain() const {
    std::vector<std::string> derived;
    for (const QMetaObject* m = window_->metaObject(); m && m != platformBase_; m = m->superClass())
        derived.push_back(WithoutNamespace(m->className()));
    std::vector<std::string> chain = baseNames_;
    chain.insert(chain.end(), derived.rbegin(), derived.rend());
    return chain;
}

std::string TBSFormCore::FormClassName() const {
    if (!className_.empty())
        return className_;
    const auto chain = FormClassChain();
    return chain.empty() ? std::string() : chain.back();
}

void TBSFormCore::Loaded() {
    if (loaded_)
        return;
    loaded_ = true;
    // Kept for the destructors of the bases, which no longer see the window's own class.
    className_ = FormClassName();
    FitFonts();
    translator_.CollectTemplate(FormClassName());
    TranslateWindow();
    AfterTranslation();
    const auto section = UserSettings()->GetSection(FormClassName());
    ApplyPlacementText(section->ReadRaw("WindowState", ""));
}

void TBSFormCore::FitFonts() {
    const QFont windowFont = window_->font();
    for (QObject* child : window_->findChildren<QObject*>()) {
        auto* control = dynamic_cast<IBSFontControl*>(child);
        if (!control)
            continue;
        QFont f = control->ControlFont();
        f.setFamily(windowFont.family());
        if (f.pointSize() == 8 && windowFont.pointSize() > 0)
            f.setPointSize(windowFont.pointSize());
        control->SetControlFont(f);
    }
}

void TBSFormCore::TranslateWindow() {
    for (const auto& name : FormClassChain())
        translator_.Translate(name);
    window_->update();
}

std::string TBSFormCore::PlacementText() const {
    TBSWindowPlacement p = CurrentPlacement(window_);
    const Qt::WindowStates state = window_->windowState();
    if (state & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) {
        const QRect normal = window_->normalGeometry();
        if (normal.isValid())
            p = {normal.x(), normal.y(), normal.width(), normal.height(), 1, 2};
    }
    if (window_->windowHandle()) {
        p.ShowCommand = (state & Qt::WindowMinimized) ? 2 : (state & Qt::WindowMaximized) ? 3 : 1;
        p.Flags = (state & Qt::WindowMinimized) && (state & Qt::WindowMaximized) ? 2 : 0;
    } else {
        p.ShowCommand = (state & Qt::WindowMinimized) ? 6 : (state & Qt::WindowMaximized) ? 3 : 1;
        p.Flags = 2;
    }
    return PlacementToText(p);
}

void TBSFormCore::SavePlacement() {
    UserSettings()->GetSection(FormClassName())->WriteRaw("WindowState", PlacementText());
}

void TBSFormCore::ApplyPlacementText(std::string_view text) {
    if (text.empty())
        return;
    TBSWindowPlacement current = CurrentPlacement(window_);
    if (window_->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)) {
        const QRect normal = window_->normalGeometry();
        if (normal.isValid())
            current = {normal.x(), normal.y(), normal.width(), normal.height(), 1, 2};
    }
    const TBSWindowPlacement stored = PlacementFromText(text, current);
    const Qt::WindowStates state =
        WindowStatesOfShowCommand(stored.ShowCommand, stored.Flags, window_->windowState());
    // The normal rectangle is set in the normal state, so that the platform keeps it as the
    // rectangle to restore to.
    if (window_->windowState() != Qt::WindowNoState)
        window_->setWindowState(Qt::WindowNoState);
    if (IsSizeable(window_))
        window_->setGeometry(stored.Left, stored.Top, stored.Width, stored.Height);
    else
        window_->setGeometry(stored.Left, stored.Top, window_->width(), window_->height());
    window_->setWindowState(state);
}

void TBSFormCore::LoadSettings(const IBSSection& section, int tag) {
    for (QObject* component : FormComponents(window_))
        if (Tag(component) == tag)
            if (auto* control = dynamic_cast<IBSSettingsControl*>(component))
                control->LoadFromSection(section);
}

void TBSFormCore::SaveSettings(IBSSection& section, int tag) {
    for (QObject* component : FormComponents(window_))
        if (Tag(component) == tag)
            if (auto* control = dynamic_cast<IBSSettingsControl*>(component))
                control->SaveToSection(section);
}

void TBSFormCore::LoadSettingsFrom(IBSSettings& settings, int tag) {
    LoadSettings(*settings.GetSection(FormClassName()), tag);
}

void TBSFormCore::SaveSettingsTo(IBSSettings& settings, int tag) {
    SaveSettings(*settings.GetSection(FormClassName()), tag);
}

void TBSFormCore::MakeApplicationMainForm() {
    MainFormSlot() = window_;
}

bool TBSFormCore::IsApplicationMainForm() const {
    return MainFormSlot().data() == window_;
}

void TBSFormCore::WindowShown() {
    if (!IsApplicationMainForm() || MainFormSetUpDone())
        return;
    MainFormSetUpDone() = true;
    auto services = ControlServices();
    const std::string title = services->ProductTitle();
    if (!title.empty())
        QGuiApplication::setApplicationDisplayName(QString::fromStdString(title));
    QPointer<QWidget> window = window_;
    for (const QSize size : {QSize(950, 740), QSize(780, 620)}) {
        const std::string path =
            Format("> Library\\Size Mainform %dx%d Pixel", size.width(), size.height());
        services->AddMenuAction(0, path, [window, size] {
            if (!window)
                return;
            window->setWindowState(Qt::WindowNoState);
            window->resize(window->width(), size.height());
            window->resize(size.width(), size.height());
        });
    }
    if (auto* bar = window_->findChild<QMenuBar*>()) {
        for (QAction* action : bar->actions()) {
            if (QMenu* menu = action->menu()) {
                services->InsertSupportMenus(menu);
                break;
            }
        }
    }
}

bool TBSFormCore::PressCancelButton() {
    for (QPushButton* button : window_->findChildren<QPushButton*>()) {
        if (IsCancelButton(button) && button->isVisible() && button->isEnabled()) {
            button->click();
            return true;
        }
    }
    return false;
}

void KvrFormAfterTranslation(QWidget* window, bool assignAccelerators) {
    const QString name = "qt_marqor_label_focus";
    QObject* filter = window->findChild<QObject*>(name, Qt::FindDirectChildrenOnly);
    if (!filter) {
        filter = new LabelFocusFilter(window);
        filter->setObjectName(name);
    }
    for (QLabel* label : window->findChildren<QLabel*>())
        if (label->buddy())
            label->installEventFilter(filter);
    if (assignAccelerators)
        AssignAccelerators(window, {});
}

} // namespace marqor
