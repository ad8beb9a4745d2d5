#include "ui_qt/ui_visual.h"

#include "services/config.h"
#include "services/ui_texts.h"
#include "texts/language.h"
#include "ui_qt/message_dialog.h"
#include "ui_qt/progress_dialog.h"
#include "ui_qt/small_dialogs.h"
#include "ui_qt/startup_form.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QFileDialog>
#include <QInputDialog>
#include <QMenu>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <iostream>

namespace marqor {

namespace {

QString Q(std::string_view s) {
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

QWidget* DialogParent() {
    if (!qApp)
        return nullptr;
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

// A timer of the event loop with the services' rules: a one-shot timer stops itself before its
// callback runs.
class TBSQtTimer final : public IBSTimer {
public:
    TBSQtTimer(int interval, bool repeating, TBSTimerCallback callback, int value)
        : timer_(std::make_unique<QTimer>()), repeating_(repeating), callback_(std::move(callback)),
          value_(value) {
        timer_->setInterval(std::max(0, interval));
        QObject::connect(timer_.get(), &QTimer::timeout, [this] { Fire(); });
        if (repeating_)
            timer_->start();
    }

    void Restart() override {
        timer_->stop();
        timer_->start();
    }
    void Stop() override { timer_->stop(); }
    void FireNow() override {
        if (timer_->isActive())
            Fire();
    }
    bool IsRunning() const override { return timer_->isActive(); }
    int Interval() const override { return timer_->interval(); }
    int Value() const override { return value_; }

private:
    void Fire() {
        if (!repeating_)
            timer_->stop();
        if (callback_)
            callback_(*this, value_);
    }

    std::unique_ptr<QTimer> timer_;
    bool repeating_;
    TBSTimerCallback callback_;
    int value_;
};

// "HTML files (*.htm)" already names its patterns for Qt's dialog; "HTML file" with "*.htm"
// needs them added.
QString QtFilterOf(const std::vector<TBSFileFilterEntry>& entries) {
    QStringList parts;
    for (const auto& e : entries) {
        const QString description = Q(e.Description);
        const QString patterns = Q(e.Patterns).replace(';', ' ');
        if (description.endsWith(')') && description.contains("(*"))
            parts << description;
        else
            parts << QString("%1 (%2)").arg(description, patterns);
    }
    return parts.join(";;");
}

} // namespace

TBSUIVisualAbstract::TBSUIVisualAbstract() = default;

TBSUIVisualAbstract::~TBSUIVisualAbstract() {
    // Windows go with the application object; without one left they are not touched.
    if (!QCoreApplication::instance())
        return;
    delete startup_.data();
    delete progressWindow_.data();
    delete minimumTimer_.data();
    for (auto& menu : menus_)
        delete menu.data();
}

TBSUIVisualAbstract* VisualUIServices() {
    return dynamic_cast<TBSUIVisualAbstract*>(UIServicesPtr().get());
}

// ---------------------------------------------------------------------------------------------
// Messages and choosers

int TBSUIVisualAbstract::ShowMessage(const TBSUIMessage& message) {
    if (!qApp) {
        std::cerr << message.Text << std::endl;
        return message.Buttons.empty() ? 0 : message.CancelId;
    }
    TFBSUIMultiSelectDlg dialog(message, Q(ApplicationTitle()), DialogParent());
    return dialog.Execute();
}

void TBSUIVisualAbstract::Beep() {
    if (qApp)
        QApplication::beep();
}

bool TBSUIVisualAbstract::ChooseDirectory(std::string_view title, std::string_view initial,
                                          std::string& directory) {
    const QString chosen =
        QFileDialog::getExistingDirectory(DialogParent(), Q(LanguageText(title)), Q(initial));
    if (chosen.isEmpty())
        return false;
    directory = chosen.toStdString();
    return true;
}

std::vector<std::string> TBSUIVisualAbstract::ChooseFiles(const std::string& title,
                                                          const std::string& initial, int mode,
                                                          const QString& qtFilter, bool multiple,
                                                          QWidget* parent, QString* chosenFilter) {
    const QString caption = Q(LanguageText(title));
    std::vector<std::string> chosen;
    QString selected;
    if (mode == 0) {
        const QString file =
            QFileDialog::getSaveFileName(parent, caption, Q(initial), qtFilter, &selected);
        if (!file.isEmpty())
            chosen.push_back(file.toStdString());
    } else if (multiple) {
        for (const QString& file :
             QFileDialog::getOpenFileNames(parent, caption, Q(initial), qtFilter, &selected))
            chosen.push_back(file.toStdString());
    } else {
        const QString file =
            QFileDialog::getOpenFileName(parent, caption, Q(initial), qtFilter, &selected);
        if (!file.isEmpty())
            chosen.push_back(file.toStdString());
    }
    if (chosenFilter)
        *chosenFilter = selected;
    return chosen;
}

bool TBSUIVisualAbstract::ChooseFile(std::string_view title, std::string_view initial,
                                     std::string& file, int mode, std::string_view filter) {
    const auto entries = ParseFileFilter(filter);
    const QString qtFilter = QtFilterOf(entries);
    QString selected;
    const auto chosen = ChooseFiles(std::string(title), std::string(initial), mode, qtFilter, false,
                                    DialogParent(), &selected);
    if (chosen.empty())
        return false;
    file = chosen.front();
    if (mode == 0) {
        const int index = int(qtFilter.split(";;").indexOf(selected));
        if (index >= 0 && index < int(entries.size()))
            file = ApplyFilterExtension(file, entries[std::size_t(index)]);
    }
    return true;
}

bool TBSUIVisualAbstract::InputText(std::string_view caption, std::string_view prompt,
                                    std::string& value) {
    bool ok = false;
    const QString text = QInputDialog::getText(DialogParent(), Q(caption), Q(prompt),
                                               QLineEdit::Normal, Q(value), &ok);
    if (ok)
        value = text.toStdString();
    return ok;
}

bool TBSUIVisualAbstract::Login(std::string_view caption, std::string& user,
                                std::string& password) {
    TFBSUILoginDlg dialog{std::string(caption), user, DialogParent()};
    return dialog.Execute(user, password);
}

int TBSUIVisualAbstract::ChooseProject(std::string_view title, std::string_view preselected,
                                       const IBSStringList& names) {
    if (!qApp)
        return TBSUI::ChooseProject(title, preselected, names);
    TFBSUIProjectDlg dialog(std::string(title), std::string(preselected), names.Items(),
                            DialogParent());
    return dialog.Execute();
}

void TBSUIVisualAbstract::SetBusyCursor(bool on) {
    if (!qApp || on == busyCursor_)
        return;
    busyCursor_ = on;
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

// ---------------------------------------------------------------------------------------------
// Start-up screen and about box

void TBSUIVisualAbstract::SetStartupScreenClass(TStartupFormFactory factory) {
    startupFactory_ = std::move(factory);
}

TBSStartupForm* TBSUIVisualAbstract::StartupWindow() {
    if (!startup_)
        startup_ = startupFactory_ ? startupFactory_() : new TBSDefaultStartupForm;
    return startup_;
}

bool TBSUIVisualAbstract::StartupScreenVisible() const {
    return startupRunning_ && startup_ && startup_->isVisible();
}

void TBSUIVisualAbstract::ShowStartupScreen(int seconds) {
    if (startupRunning_)
        return;
    BeginBusy();
    if (busyCursor_)
        QApplication::changeOverrideCursor(Qt::BusyCursor);
    ApplicationObject().EnsureConfiguration();
    minimumElapsed_ = false;
    mainShownForStartup_ = false;
    startupRunning_ = true;
    delete minimumTimer_.data();
    minimumTimer_ = new QTimer;
    minimumTimer_->setSingleShot(true);
    minimumTimer_->setTimerType(Qt::PreciseTimer); // a coarse timer may end the minimum early
    minimumTimer_->setInterval(std::max(0, seconds) * 1000);
    QObject::connect(minimumTimer_.data(), &QTimer::timeout, [this] {
        minimumElapsed_ = true;
        TryCloseStartupScreen();
    });
    StartupWindow()->ShowAsStartupScreen();
    minimumTimer_->start();
}

void TBSUIVisualAbstract::MainWindowShown() {
    TBSUI::MainWindowShown();
    mainShownForStartup_ = true;
    TryCloseStartupScreen();
}

void TBSUIVisualAbstract::TryCloseStartupScreen() {
    if (!startupRunning_ || !minimumElapsed_ || !mainShownForStartup_)
        return;
    startupRunning_ = false;
    if (startup_)
        startup_->CloseStartupScreen();
    EndBusy();
}

void TBSUIVisualAbstract::ShowAbout() {
    if (startupRunning_)
        return;
    StartupWindow()->ShowAsAbout();
}

// ---------------------------------------------------------------------------------------------
// Progress

TFBSUIDefaultProgressDlg* TBSUIVisualAbstract::DefaultProgressWindow() {
    if (!progressWindow_) {
        progressWindow_ = new TFBSUIDefaultProgressDlg;
        progressWindow_->setWindowTitle(Q(ApplicationTitle()));
        progressWindow_->OnCancel = [this] {
            CancelProgress();
            ShowProgressState(ProgressState());
        };
    }
    return progressWindow_;
}

void TBSUIVisualAbstract::ProgressBegun() {
    if (!qApp || StartupScreenVisible() || ProgressHandler())
        return;
    DefaultProgressWindow()->show();
}

void TBSUIVisualAbstract::ShowProgressState(const TBSUIProgressState& state) {
    if (!qApp)
        return;
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - state.StartTime).count();
    if (StartupScreenVisible()) {
        startup_->ShowProgressState(state);
    } else {
        auto* window = DefaultProgressWindow();
        window->ShowState(state, elapsed);
        if (!window->isVisible())
            window->show();
    }
    // A long work while the user is elsewhere: the taskbar entry asks for attention.
    if (elapsed > 60 && !QApplication::activeWindow())
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && w != progressWindow_) {
                QApplication::alert(w);
                break;
            }
}

void TBSUIVisualAbstract::ProgressFinished() {
    if (progressWindow_)
        progressWindow_->hide();
    if (StartupScreenVisible())
        startup_->ClearProgress();
    TryCloseStartupScreen();
}

void TBSUIVisualAbstract::ProcessMessages() {
    if (qApp)
        QCoreApplication::processEvents();
}

IBSTimerPtr TBSUIVisualAbstract::NewTimer(int intervalMs, bool repeating, TBSTimerCallback callback,
                                          int value) {
    return std::make_shared<TBSQtTimer>(intervalMs, repeating, std::move(callback), value);
}

// ---------------------------------------------------------------------------------------------
// Support menus

QMenu* TBSUIVisualAbstract::SupportMenu(int menu) {
    if (menu < smDebug || menu > smAdministrator)
        return nullptr;
    auto& slot = menus_[std::size_t(menu)];
    if (!slot) {
        static const char* const captions[] = {"Debug", "Orvane", "Administrator"};
        slot = new QMenu(captions[menu]);
        slot->setObjectName(QString("SupportMenu%1").arg(captions[menu]));
    }
    return slot;
}

void TBSUIVisualAbstract::MenuActionAdded(int tag) {
    const TBSUIMenuAction& entry = MenuActions()[std::size_t(tag)];
    QMenu* menu = SupportMenu(entry.Menu);
    for (std::size_t i = 0; i + 1 < entry.Parts.size(); ++i) {
        const QString name = Q(entry.Parts[i]);
        QMenu* sub = nullptr;
        for (QAction* a : menu->actions())
            if (a->menu() && a->text() == name)
                sub = a->menu();
        menu = sub ? sub : menu->addMenu(name);
    }
    QAction* action = menu->addAction(Q(entry.Parts.back()));
    action->setData(tag);
    QObject::connect(action, &QAction::triggered, [this, tag] { RunMenuAction(tag); });
}

void TBSUIVisualAbstract::InsertSupportMenus(QMenu* firstMenu) {
    if (!firstMenu || std::find(menusWithSupport_.begin(), menusWithSupport_.end(), firstMenu) !=
                          menusWithSupport_.end())
        return;
    menusWithSupport_.erase(
        std::remove(menusWithSupport_.begin(), menusWithSupport_.end(), QPointer<QMenu>()),
        menusWithSupport_.end());
    menusWithSupport_.push_back(firstMenu);
    TBSSupportMenuVisibility visible;
    try {
        visible = CurrentSupportMenuVisibility();
    } catch (const std::exception&) {
        // Without a user object nobody is shown the support menus.
    }
    QAction* before = firstMenu->actions().value(0, nullptr);
    const std::pair<int, bool> order[] = {{smAdministrator, visible.Administrator},
                                          {smDebug, visible.Debug},
                                          {smOrvane, visible.Orvane}};
    for (const auto& [menu, show] : order) {
        QAction* item = firstMenu->insertMenu(before, SupportMenu(menu));
        item->setVisible(show);
    }
    QAction* separator = firstMenu->insertSeparator(before);
    separator->setVisible(visible.Any());
}

} // namespace marqor
