#pragma once

// The user-interface services. Library and product code never opens message boxes, progress
// windows or file choosers itself: it asks the process-wide service object (UIServices()), which
// shows the messages and questions, runs the nested progress display, offers file and directory
// choosers, writes the log file and keeps the support menus. The windowed program registers its
// visual implementation at start; every other process (the command line, the tests) gets
// TBSUIConsole, which writes messages to standard error and answers questions safely.
//
// What is the same for every implementation lives here: the buttons and results of questions,
// the progress levels, the busy count, the log and the list of support menu actions. An
// implementation shows things; it overrides ShowMessage, the choosers and the progress display.

#include "foundation/containers.h"
#include "foundation/files.h"
#include "services/ui_hooks.h"
#include "texts/formatting.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <iosfwd>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace marqor {

// A log file: lines appended one at a time under a process-wide lock.
class IBSLogFile {
public:
    virtual ~IBSLogFile() = default;
    virtual IBSFilePtr GetFile() const = 0;
    // With time stamps on: "dd.mm.yyyy hh:mm:ss : text". A write that fails is tried again up to
    // five times, 50 ms apart; then EStreamError "Error writing to log file (<file>)".
    virtual void WriteLine(std::string_view text) = 0;
    virtual void WriteLineFmt(std::string_view format, std::span<const TBSFormatArg> args) = 0;
};
using IBSLogFilePtr = std::shared_ptr<IBSLogFile>;

// A log file over the file; an empty or missing file object writes nothing.
IBSLogFilePtr NewLogFile(IBSFilePtr file, bool timeStamps = true);

// Takes over the log from the log file.
class IBSLogHandler {
public:
    virtual ~IBSLogHandler() = default;
    virtual void ShowLog() = 0;
    virtual void LogEntry(std::string_view text) = 0;
    virtual void LogLine(std::string_view text) = 0;
};

// One nesting level of progress.
struct TBSUIProgressState {
    std::function<void()> CancelHandler;
    bool Cancelled = false;
    bool Cancelable = true;
    std::string Title;
    std::string Detail;
    bool DisplayPending = false;
    int Maximum = 0; // 0 or less: no known total
    int Position = 0;
    std::chrono::steady_clock::time_point StartTime{};
    int Step = 1; // the display follows every Step steps
};

// Takes over the progress display from the progress window.
class IBSProgressHandler {
public:
    virtual ~IBSProgressHandler() = default;
    virtual void ShowProgress(const TBSUIProgressState& state) = 0;
    // A progress level ended; depth is the number of levels left.
    virtual void ProgressLevelEnded(int depth) = 0;
};

// A timer of the user-interface thread (see TBSUI::CreateTimer).
class IBSTimer {
public:
    virtual ~IBSTimer() = default;
    virtual void Restart() = 0;
    virtual void Stop() = 0;
    // Runs the callback at once when the timer is running; a one-shot timer stops first.
    virtual void FireNow() = 0;
    virtual bool IsRunning() const = 0;
    virtual int Interval() const = 0;
    virtual int Value() const = 0;
};
using IBSTimerPtr = std::shared_ptr<IBSTimer>;
using TBSTimerCallback = std::function<void(IBSTimer& timer, int value)>;

// A screen point for the questions placed at a point.
struct TBSScreenPoint {
    int X = 0;
    int Y = 0;
};

// The icons of the message window.
enum TBSUIIcon : std::uint8_t { uiiWarning, uiiError, uiiInformation, uiiQuestion };

// One button of the message window.
struct TBSUIButton {
    int Id = 0;
    std::string Caption;
};

// What the message window shows: without buttons there is one "OK" with id 0.
struct TBSUIMessage {
    std::string Text;
    TBSUIIcon Icon = uiiInformation;
    int AutoCloseSeconds = 0;
    int CancelId = 0;
    int DefaultId = 0;
    std::vector<TBSUIButton> Buttons;
    std::optional<TBSScreenPoint> At;
};

// Results of AskYesNoCancel.
inline constexpr int AnswerCancel = 0;
inline constexpr int AnswerYes = 1;
inline constexpr int AnswerNo = 2;

// The support menus AddMenuAction adds entries to.
enum TBSSupportMenu : std::uint8_t { smDebug, smOrvane, smAdministrator };

struct TBSUIMenuAction {
    int Menu = smDebug;
    // The submenus (the "*" of a special part removed) and the entry's caption last.
    std::vector<std::string> Parts;
    std::function<void(int value)> Callback;
    int Value = 0;
};

// Which support menus the current user sees: "Administrator" for the configuration's
// administrators, "Debug" with the registry flag DEBUG of "Software\Orvane", "Orvane" on the
// maker's workstations (the flag ORVANE).
struct TBSSupportMenuVisibility {
    bool Debug = false;
    bool Orvane = false;
    bool Administrator = false;
    bool Any() const { return Debug || Orvane || Administrator; }
};
TBSSupportMenuVisibility CurrentSupportMenuVisibility();

// The path of a menu action split at "\", each "*" at the start of a part removed; special is
// set when the first part began with "*".
std::vector<std::string> SplitMenuPath(std::string_view path, bool* special = nullptr);

class TBSUI {
public:
    TBSUI();
    virtual ~TBSUI();
    TBSUI(const TBSUI&) = delete;
    TBSUI& operator=(const TBSUI&) = delete;

    // The operations each implementation may show in its own way.
    // A directory chooser; false when cancelled.
    virtual bool ChooseDirectory(std::string_view title, std::string_view initial,
                                 std::string& directory);
    virtual void ShowError(std::string_view text, int autoCloseSeconds = 0);
    virtual bool CanWriteFile(const IBSFile& file, bool askOverwrite);
    virtual bool CanReadFile(const IBSFile& file);
    // Mode 0 saves, 1 opens. The title is a reference or a text; the initial text is a start
    // directory or a proposed file; the filter has the form "Text (*.txt)|*.txt|All (*.*)|*.*".
    // After saving, the chosen name gets the extension of the chosen filter entry.
    virtual bool ChooseFile(std::string_view title, std::string_view initial, std::string& file,
                            int mode, std::string_view filter);
    virtual void ShowInformation(std::string_view text);
    virtual bool InputText(std::string_view caption, std::string_view prompt, std::string& value);
    virtual void ShowLog();
    virtual void LogLine(std::string_view text);
    virtual void LogEntry(std::string_view text);
    virtual bool Login(std::string_view caption, std::string& user, std::string& password);
    virtual void SetBusyCursor(bool on);
    virtual void ShowWarning(std::string_view text, int autoCloseSeconds = 0);
    // 1 yes, 2 no, 0 cancel (a window closed otherwise counts as cancel).
    virtual int AskYesNoCancel(std::string_view text);
    virtual int AskYesNoCancelAt(std::string_view text, TBSScreenPoint point);
    virtual bool AskYesNo(std::string_view text);
    virtual bool AskYesNoAt(std::string_view text, TBSScreenPoint point);
    virtual void EndProgress();
    // Step 1 for a step of 1 or less; the position goes back to 0; the detail "$" keeps the
    // current one.
    virtual void SetProgressRange(std::string_view detail, int maximum, int step);
    virtual void SetProgressPosition(int position);
    // A nested level is cancelable only when the level around it is.
    virtual void BeginProgress(bool cancelable, std::string_view title);
    // "@COUNT" and "@TOTAL" of the detail become the position and the maximum.
    virtual void StepProgress(std::string_view detail);
    // Menu 0 Debug, 1 Orvane, 2 Administrator (whose path is a reference). The parts of the
    // path before the last "\" name submenus; clicking the entry calls callback(value).
    virtual void AddMenuAction(int menu, std::string_view path,
                               std::function<void(int value)> callback, int value);
    // The index of the chosen name, -1 when cancelled.
    virtual int ChooseProject(std::string_view title, std::string_view preselected,
                              const IBSStringList& names);
    virtual int ProjectMode() { return 0; }
    virtual void MainWindowShown();

    // The windowed program's start-up screen and about box; nothing here.
    virtual void ShowStartupScreen(int seconds);
    virtual void ShowAbout();

    // Convenience operations: the reference is resolved first.
    void ShowErrorRef(std::string_view reference, int autoCloseSeconds = 0);
    void ShowErrorFmt(std::string_view reference, std::initializer_list<TBSFormatArg> args,
                      int autoCloseSeconds = 0);
    // ShowError, then the process ends at once with the exit code.
    [[noreturn]] void FatalError(std::string_view reference, int exitCode);
    bool ChooseDirectoryRef(std::string_view titleReference, std::string_view initial,
                            std::string& directory);
    bool ChooseFileRef(std::string_view titleReference, std::string_view initial, std::string& file,
                       int mode, std::string_view filterReference);
    bool AskYesNoFmt(std::string_view reference, std::initializer_list<TBSFormatArg> args);
    // These progress operations do nothing on a thread other than the main thread.
    void SetProgressRangeRef(std::string_view reference, int maximum, int step);
    void SetProgressRangeFmt(std::string_view reference, std::initializer_list<TBSFormatArg> args,
                             int maximum, int step);
    void SetProgressPositionMain(int position);
    void StepProgressRef(std::string_view reference);
    // Nested busy periods of the main thread: the first sets the busy cursor, the last ends it.
    void BeginBusy();
    void EndBusy();
    int BusyDepth() const { return busyDepth_; }
    // A repeating timer runs at once; a one-shot timer waits for Restart.
    IBSTimerPtr CreateTimer(int intervalMs, bool repeating, TBSTimerCallback callback,
                            int value = 0);
    // The configuration's log file ("LogFile"), unless one was set. The first call asks the
    // application object.
    IBSLogFilePtr LogFile();
    // The log file when it is known already; none before the first LogFile or SetLogFile.
    IBSLogFilePtr KnownLogFile();
    void SetLogFile(IBSLogFilePtr file);

    void SetLogHandler(std::shared_ptr<IBSLogHandler> handler);
    const std::shared_ptr<IBSLogHandler>& LogHandler() const { return logHandler_; }
    void SetProgressHandler(std::shared_ptr<IBSProgressHandler> handler);
    const std::shared_ptr<IBSProgressHandler>& ProgressHandler() const { return progressHandler_; }

    // The current level and the number of levels begun and not ended.
    const TBSUIProgressState& ProgressState() const { return progress_; }
    int ProgressDepth() const { return static_cast<int>(savedProgress_.size()); }
    // The user asked the current level to stop.
    bool ProgressCancelled() const { return progress_.Cancelled; }
    // What the cancel button of the progress display does.
    void CancelProgress();
    bool MainWindowWasShown() const { return mainWindowShown_; }
    // The registered menu actions; an entry's tag is its index here.
    const std::vector<TBSUIMenuAction>& MenuActions() const { return menuActions_; }
    const std::vector<std::string>& SpecialMenuNames() const { return specialMenuNames_; }
    // Runs the callback of the menu action with that tag; false for an unknown tag.
    bool RunMenuAction(int tag);

    // The caption of the service's windows: the title set, else the product title of the
    // program's version record. (Messages may come while the application object is being
    // made, so the title is not asked of it.)
    std::string ApplicationTitle() const;
    void SetApplicationTitle(std::string title);
    bool IsMainThread() const { return std::this_thread::get_id() == mainThread_; }

protected:
    // Shows the message window; the id of the pressed button, -1 when closed otherwise.
    virtual int ShowMessage(const TBSUIMessage& message) = 0;
    virtual void Beep() {}
    // The progress display: a level began, the display of the current level is due, the
    // outermost level ended.
    virtual void ProgressBegun() {}
    virtual void ShowProgressState(const TBSUIProgressState&) {}
    virtual void ProgressFinished() {}
    // Lets the program handle its pending input during long work.
    virtual void ProcessMessages() {}
    virtual IBSTimerPtr NewTimer(int intervalMs, bool repeating, TBSTimerCallback callback,
                                 int value);
    // A menu action was added (its tag is its index in MenuActions).
    virtual void MenuActionAdded(int) {}

    bool mainWindowShown_ = false;

private:
    void DisplayProgress();

    std::thread::id mainThread_;
    int busyDepth_ = 0;
    TBSUIProgressState progress_;
    std::vector<TBSUIProgressState> savedProgress_;
    std::shared_ptr<IBSLogHandler> logHandler_;
    std::shared_ptr<IBSProgressHandler> progressHandler_;
    std::mutex logLock_;
    IBSLogFilePtr logFile_;
    std::vector<TBSUIMenuAction> menuActions_;
    std::vector<std::string> specialMenuNames_;
    std::string applicationTitle_;
};

// The message windows of the questions and messages, the same for every implementation.
TBSUIMessage ErrorMessage(std::string_view text, int autoCloseSeconds);
TBSUIMessage WarningMessage(std::string_view text, int autoCloseSeconds);
TBSUIMessage InformationMessage(std::string_view text);
TBSUIMessage YesNoCancelQuestion(std::string_view text);
TBSUIMessage YesNoQuestion(std::string_view text);

// Without a window: each message and question is one line on the stream ("error: ...",
// "question: ... [Yes/No/Cancel] -> Cancel") and is kept in Messages(). A question takes the
// next queued answer, else its cancel button, so that nothing is overwritten or deleted unasked.
// Choosers, input and login answer "cancelled"; the project choice asks on the console.
class TBSUIConsole : public TBSUI {
public:
    TBSUIConsole();
    explicit TBSUIConsole(std::ostream& out);

    // The id the next message window answers with.
    void QueueAnswer(int id) { answers_.push_back(id); }
    const std::vector<TBSUIMessage>& Messages() const { return messages_; }
    // Every display of the progress, in order.
    const std::vector<TBSUIProgressState>& ProgressDisplays() const { return displays_; }
    int BusyCursorChanges() const { return busyCursorChanges_; }

    void ShowLog() override;
    void SetBusyCursor(bool on) override;
    int ChooseProject(std::string_view title, std::string_view preselected,
                      const IBSStringList& names) override;

protected:
    int ShowMessage(const TBSUIMessage& message) override;
    void ShowProgressState(const TBSUIProgressState& state) override;

private:
    std::ostream& out_;
    std::vector<int> answers_;
    std::vector<TBSUIMessage> messages_;
    std::vector<TBSUIProgressState> displays_;
    int busyCursorChanges_ = 0;
};

// The process-wide service object, created on first use from the registered class (by default
// TBSUIConsole).
TBSUI& UIServices();
std::shared_ptr<TBSUI> UIServicesPtr();
using TBSUIFactory = std::function<std::shared_ptr<TBSUI>()>;
// Sets the class; an existing service object is released, so the next UIServices() is made
// from the new class. An empty factory restores TBSUIConsole.
void RegisterUIClass(TBSUIFactory factory);
template <typename T> void RegisterUIClass() {
    RegisterUIClass([] { return std::make_shared<T>(); });
}

// A project chooser for the configuration that asks UIServices().
IBSProjectChooserPtr UIProjectChooser();

// Hands the services' own needs to the user-interface services: fatal errors are shown by
// ShowError, and the service log goes to LogLine once the log file is known (until then, and
// without a log file, to standard error). The program calls it before the application object
// is made and asks for UIServices().LogFile() once that exists.
void ConnectServicesToUI();

} // namespace marqor
