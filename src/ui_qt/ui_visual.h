#pragma once

// The user-interface services with windows: the message window for every message and question,
// the progress window (or the start-up screen's progress area while it is up), the start-up
// screen and about box, the file, directory, input, login and project choosers, the busy cursor,
// timers of the event loop and the support menus. TBSUIVisual is the class the windowed program
// registers.

#include "services/ui.h"

#include <QPointer>
#include <QString>
#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QMenu;
class QTimer;
class QWidget;

namespace marqor {

class TBSStartupForm;
class TFBSUIDefaultProgressDlg;

class TBSUIVisualAbstract : public TBSUI {
public:
    TBSUIVisualAbstract();
    ~TBSUIVisualAbstract() override;

    bool ChooseDirectory(std::string_view title, std::string_view initial,
                         std::string& directory) override;
    bool ChooseFile(std::string_view title, std::string_view initial, std::string& file, int mode,
                    std::string_view filter) override;
    bool InputText(std::string_view caption, std::string_view prompt, std::string& value) override;
    bool Login(std::string_view caption, std::string& user, std::string& password) override;
    void SetBusyCursor(bool on) override;
    int ChooseProject(std::string_view title, std::string_view preselected,
                      const IBSStringList& names) override;
    void MainWindowShown() override;
    // Shows the start-up window at once; it closes when the seconds are over and the main
    // window has been shown.
    void ShowStartupScreen(int seconds) override;
    // The start-up window, modal and centred.
    void ShowAbout() override;

    // The class the start-up window is made from; none restores TBSDefaultStartupForm.
    using TStartupFormFactory = std::function<TBSStartupForm*()>;
    void SetStartupScreenClass(TStartupFormFactory factory);
    // Made on first use.
    TBSStartupForm* StartupWindow();
    TFBSUIDefaultProgressDlg* DefaultProgressWindow();
    bool StartupScreenVisible() const;
    bool MinimumTimeElapsed() const { return minimumElapsed_; }

    // The file chooser of the windows, with a filter in the form of Qt's file dialogs
    // ("HTML files (*.htm);;All files (*)"); nothing when cancelled.
    std::vector<std::string> ChooseFiles(const std::string& title, const std::string& initial,
                                         int mode, const QString& qtFilter, bool multiple,
                                         QWidget* parent, QString* chosenFilter = nullptr);

    // The three support menus ("Debug", "Orvane", "Administrator") and a separator at the top
    // of the menu, each visible by its rule; a menu gets them once.
    void InsertSupportMenus(QMenu* firstMenu);
    QMenu* SupportMenu(int menu);

protected:
    int ShowMessage(const TBSUIMessage& message) override;
    void Beep() override;
    void ProgressBegun() override;
    void ShowProgressState(const TBSUIProgressState& state) override;
    void ProgressFinished() override;
    void ProcessMessages() override;
    IBSTimerPtr NewTimer(int intervalMs, bool repeating, TBSTimerCallback callback,
                         int value) override;
    void MenuActionAdded(int tag) override;

private:
    void TryCloseStartupScreen();

    TStartupFormFactory startupFactory_;
    QPointer<TBSStartupForm> startup_;
    QPointer<TFBSUIDefaultProgressDlg> progressWindow_;
    QPointer<QTimer> minimumTimer_;
    bool minimumElapsed_ = true;
    bool mainShownForStartup_ = true;
    bool startupRunning_ = false;
    bool busyCursor_ = false;
    std::array<QPointer<QMenu>, 3> menus_;
    std::vector<QPointer<QMenu>> menusWithSupport_;
};

class TBSUIVisual final : public TBSUIVisualAbstract {};

// The registered services as the visual class; none when another class is registered.
TBSUIVisualAbstract* VisualUIServices();

} // namespace marqor
