#include "services/ui.h"

#include "foundation/date_time.h"
#include "foundation/text.h"
#include "foundation/tokenizer.h"
#include "services/config.h"
#include "services/log.h"
#include "services/system.h"
#include "services/ui_texts.h"
#include "texts/language.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace marqor {

namespace {

std::string ReplaceAll(std::string text, std::string_view what, std::string_view with) {
    for (std::size_t at = text.find(what); at != std::string::npos;
         at = text.find(what, at + with.size()))
        text.replace(at, what.size(), with);
    return text;
}

std::string YesText() {
    return TextOrEnglish("#BS.YesNo", 1, "Yes");
}
std::string NoText() {
    return TextOrEnglish("#BS.YesNo", 2, "No");
}
std::string CancelText() {
    return TextOrEnglish("#BS.Cancel", "Cancel");
}

std::string FileText(std::string_view reference, std::string_view english, const IBSPath& file) {
    return TextOrEnglishFmt(reference, english, {file.PathText()});
}

// A timer without an event loop to drive it: it runs its callback only through FireNow. The
// windowed implementation has real ones.
class TBSManualTimer final : public IBSTimer {
public:
    TBSManualTimer(int interval, bool repeating, TBSTimerCallback callback, int value)
        : interval_(interval), repeating_(repeating), callback_(std::move(callback)), value_(value),
          running_(repeating) {}

    void Restart() override { running_ = true; }
    void Stop() override { running_ = false; }
    void FireNow() override {
        if (!running_)
            return;
        if (!repeating_)
            running_ = false;
        if (callback_)
            callback_(*this, value_);
    }
    bool IsRunning() const override { return running_; }
    int Interval() const override { return interval_; }
    int Value() const override { return value_; }

private:
    int interval_;
    bool repeating_;
    TBSTimerCallback callback_;
    int value_;
    bool running_;
};

} // namespace

// ---------------------------------------------------------------------------------------------
// Messages and questions

TBSUIMessage ErrorMessage(std::string_view text, int autoCloseSeconds) {
    TBSUIMessage m;
    m.Text = text;
    m.Icon = uiiError;
    m.AutoCloseSeconds = autoCloseSeconds;
    return m;
}

TBSUIMessage WarningMessage(std::string_view text, int autoCloseSeconds) {
    TBSUIMessage m = ErrorMessage(text, autoCloseSeconds);
    m.Icon = uiiWarning;
    return m;
}

TBSUIMessage InformationMessage(std::string_view text) {
    TBSUIMessage m = ErrorMessage(text, 0);
    m.Icon = uiiInformation;
    return m;
}

TBSUIMessage YesNoCancelQuestion(std::string_view text) {
    TBSUIMessage m;
    m.Text = text;
    m.Icon = uiiQuestion;
    m.CancelId = AnswerCancel;
    m.DefaultId = AnswerYes;
    m.Buttons = {{AnswerYes, YesText()}, {AnswerNo, NoText()}, {AnswerCancel, CancelText()}};
    return m;
}

TBSUIMessage YesNoQuestion(std::string_view text) {
    TBSUIMessage m;
    m.Text = text;
    m.Icon = uiiQuestion;
    m.CancelId = AnswerNo;
    m.DefaultId = AnswerYes;
    m.Buttons = {{AnswerYes, YesText()}, {AnswerNo, NoText()}};
    return m;
}

TBSSupportMenuVisibility CurrentSupportMenuVisibility() {
    TBSSupportMenuVisibility v;
    auto& user = UserObject();
    v.Administrator = user.IsAdministrator();
    v.Orvane = user.IsStaff();
    v.Debug = TBSSystem::ReadRegistryFlag("Software\\Orvane", "DEBUG");
    return v;
}

std::vector<std::string> SplitMenuPath(std::string_view path, bool* special) {
    std::vector<std::string> parts;
    if (special)
        *special = false;
    const auto tokens = Tokenize(path, "\\", false);
    for (int i = 0; i < tokens->Count(); ++i) {
        std::string part = tokens->Token(i);
        if (part.starts_with('*')) {
            part.erase(0, 1);
            if (i == 0 && special)
                *special = true;
        }
        parts.push_back(std::move(part));
    }
    return parts;
}

// ---------------------------------------------------------------------------------------------
// TBSUI

TBSUI::TBSUI() : mainThread_(std::this_thread::get_id()) {}

TBSUI::~TBSUI() = default;

bool TBSUI::ChooseDirectory(std::string_view, std::string_view, std::string&) {
    return false;
}

void TBSUI::ShowError(std::string_view text, int autoCloseSeconds) {
    Beep();
    ShowMessage(ErrorMessage(text, autoCloseSeconds));
}

bool TBSUI::CanWriteFile(const IBSFile& file, bool askOverwrite) {
    if (file.IsEmpty() || file.Name().empty()) {
        ShowError(FileText("#BS.FileCannotCreate", "The file %s cannot be created.", file));
        return false;
    }
    if (file.Exists() && askOverwrite &&
        !AskYesNo(
            FileText("#BS.FileExistsOverwrite", "The file %s exists already. Replace it?", file)))
        return false;
    if (!file.TryCreate()) {
        ShowError(FileText("#BS.FileCannotCreate", "The file %s cannot be created.", file));
        return false;
    }
    return true;
}

bool TBSUI::CanReadFile(const IBSFile& file) {
    if (!file.IsEmpty() && file.Exists())
        return true;
    ShowError(FileText("#BS.FileNotFound", "The file %s was not found.", file));
    return false;
}

bool TBSUI::ChooseFile(std::string_view, std::string_view, std::string&, int, std::string_view) {
    return false;
}

void TBSUI::ShowInformation(std::string_view text) {
    ShowMessage(InformationMessage(text));
}

bool TBSUI::InputText(std::string_view, std::string_view, std::string&) {
    return false;
}

void TBSUI::ShowLog() {
    if (logHandler_) {
        logHandler_->ShowLog();
        return;
    }
    if (const auto log = LogFile(); log && log->GetFile() && log->GetFile()->Exists())
        log->GetFile()->Open();
}

void TBSUI::LogLine(std::string_view text) {
    if (logHandler_) {
        logHandler_->LogLine(text);
        return;
    }
    LogFile()->WriteLine(text);
}

void TBSUI::LogEntry(std::string_view text) {
    if (logHandler_) {
        logHandler_->LogEntry(text);
        return;
    }
    LogFile()->WriteLine(text);
}

bool TBSUI::Login(std::string_view, std::string&, std::string&) {
    return false;
}

void TBSUI::SetBusyCursor(bool) {}

void TBSUI::ShowWarning(std::string_view text, int autoCloseSeconds) {
    ShowMessage(WarningMessage(text, autoCloseSeconds));
}

int TBSUI::AskYesNoCancel(std::string_view text) {
    const int id = ShowMessage(YesNoCancelQuestion(text));
    return id == AnswerYes || id == AnswerNo ? id : AnswerCancel;
}

int TBSUI::AskYesNoCancelAt(std::string_view text, TBSScreenPoint point) {
    TBSUIMessage m = YesNoCancelQuestion(text);
    m.At = TBSScreenPoint{std::max(0, point.X), std::max(0, point.Y)};
    const int id = ShowMessage(m);
    return id == AnswerYes || id == AnswerNo ? id : AnswerCancel;
}

bool TBSUI::AskYesNo(std::string_view text) {
    return ShowMessage(YesNoQuestion(text)) == AnswerYes;
}

bool TBSUI::AskYesNoAt(std::string_view text, TBSScreenPoint point) {
    TBSUIMessage m = YesNoQuestion(text);
    m.At = TBSScreenPoint{std::max(0, point.X), std::max(0, point.Y)};
    return ShowMessage(m) == AnswerYes;
}

void TBSUI::BeginProgress(bool cancelable, std::string_view title) {
    if (savedProgress_.empty())
        ProgressBegun();
    const bool outerCancelable = progress_.Cancelable;
    savedProgress_.push_back(std::move(progress_));
    progress_ = TBSUIProgressState{};
    progress_.Cancelable = cancelable && outerCancelable;
    progress_.CancelHandler = [this] {
        CancelProgress();
    };
    progress_.Title = title;
    progress_.StartTime = std::chrono::steady_clock::now();
    progress_.DisplayPending = true;
    DisplayProgress();
}

void TBSUI::EndProgress() {
    if (savedProgress_.empty())
        return;
    progress_ = std::move(savedProgress_.back());
    savedProgress_.pop_back();
    if (progressHandler_)
        progressHandler_->ProgressLevelEnded(ProgressDepth());
    if (savedProgress_.empty())
        ProgressFinished();
    else
        DisplayProgress();
}

void TBSUI::SetProgressRange(std::string_view detail, int maximum, int step) {
    progress_.Step = step > 1 ? step : 1;
    progress_.Position = 0;
    if (detail != "$")
        progress_.Detail = detail;
    progress_.Maximum = maximum;
    progress_.DisplayPending = true;
    DisplayProgress();
}

void TBSUI::SetProgressPosition(int position) {
    progress_.Position = std::clamp(position, 0, std::max(0, progress_.Maximum));
    progress_.DisplayPending = true;
    DisplayProgress();
}

void TBSUI::StepProgress(std::string_view detail) {
    ++progress_.Position;
    const bool atMaximum = progress_.Position == progress_.Maximum;
    if (progress_.Position % progress_.Step == 0 || atMaximum) {
        if (!detail.empty())
            progress_.Detail = ReplaceAll(
                ReplaceAll(std::string(detail), "@COUNT", std::to_string(progress_.Position)),
                "@TOTAL", std::to_string(progress_.Maximum));
        progress_.DisplayPending = true;
        DisplayProgress();
        if (atMaximum)
            progress_.Detail.clear();
    }
    ProcessMessages();
}

void TBSUI::DisplayProgress() {
    if (savedProgress_.empty() || !progress_.DisplayPending)
        return;
    progress_.DisplayPending = false;
    if (progressHandler_)
        progressHandler_->ShowProgress(progress_);
    else
        ShowProgressState(progress_);
}

void TBSUI::CancelProgress() {
    if (!savedProgress_.empty() && progress_.Cancelable)
        progress_.Cancelled = true;
}

void TBSUI::AddMenuAction(int menu, std::string_view path, std::function<void(int)> callback,
                          int value) {
    if (menu < smDebug || menu > smAdministrator)
        return;
    const std::string text = menu == smAdministrator ? LanguageText(path) : std::string(path);
    bool special = false;
    TBSUIMenuAction action;
    action.Menu = menu;
    action.Parts = SplitMenuPath(text, &special);
    if (action.Parts.empty() || action.Parts.back().empty())
        return;
    if (special &&
        std::ranges::find(specialMenuNames_, action.Parts.front()) == specialMenuNames_.end())
        specialMenuNames_.push_back(action.Parts.front());
    action.Callback = std::move(callback);
    action.Value = value;
    menuActions_.push_back(std::move(action));
    MenuActionAdded(static_cast<int>(menuActions_.size()) - 1);
}

bool TBSUI::RunMenuAction(int tag) {
    if (tag < 0 || tag >= static_cast<int>(menuActions_.size()))
        return false;
    const auto& action = menuActions_[static_cast<std::size_t>(tag)];
    if (action.Callback)
        action.Callback(action.Value);
    return true;
}

int TBSUI::ChooseProject(std::string_view title, std::string_view preselected,
                         const IBSStringList& names) {
    TBSCommandLineProjectChooser chooser(std::cin, std::cerr);
    return chooser.ChooseProject(title, preselected, names);
}

void TBSUI::MainWindowShown() {
    mainWindowShown_ = true;
}

void TBSUI::ShowStartupScreen(int) {}

void TBSUI::ShowAbout() {}

void TBSUI::ShowErrorRef(std::string_view reference, int autoCloseSeconds) {
    ShowError(LanguageText(reference), autoCloseSeconds);
}

void TBSUI::ShowErrorFmt(std::string_view reference, std::initializer_list<TBSFormatArg> args,
                         int autoCloseSeconds) {
    ShowError(LanguageTextFmt(reference, args), autoCloseSeconds);
}

void TBSUI::FatalError(std::string_view reference, int exitCode) {
    try {
        ShowError(LanguageText(reference));
    } catch (...) {
    }
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(exitCode);
}

bool TBSUI::ChooseDirectoryRef(std::string_view titleReference, std::string_view initial,
                               std::string& directory) {
    return ChooseDirectory(LanguageText(titleReference), initial, directory);
}

bool TBSUI::ChooseFileRef(std::string_view titleReference, std::string_view initial,
                          std::string& file, int mode, std::string_view filterReference) {
    return ChooseFile(LanguageText(titleReference), initial, file, mode,
                      LanguageText(filterReference));
}

bool TBSUI::AskYesNoFmt(std::string_view reference, std::initializer_list<TBSFormatArg> args) {
    return AskYesNo(LanguageTextFmt(reference, args));
}

void TBSUI::SetProgressRangeRef(std::string_view reference, int maximum, int step) {
    if (IsMainThread())
        SetProgressRange(LanguageText(reference), maximum, step);
}

void TBSUI::SetProgressRangeFmt(std::string_view reference,
                                std::initializer_list<TBSFormatArg> args, int maximum, int step) {
    if (IsMainThread())
        SetProgressRange(LanguageTextFmt(reference, args), maximum, step);
}

void TBSUI::SetProgressPositionMain(int position) {
    if (IsMainThread())
        SetProgressPosition(position);
}

void TBSUI::StepProgressRef(std::string_view reference) {
    if (IsMainThread())
        StepProgress(LanguageText(reference));
}

void TBSUI::BeginBusy() {
    if (!IsMainThread())
        return;
    if (busyDepth_++ == 0)
        SetBusyCursor(true);
}

void TBSUI::EndBusy() {
    if (!IsMainThread() || busyDepth_ == 0)
        return;
    if (--busyDepth_ == 0)
        SetBusyCursor(false);
}

IBSTimerPtr TBSUI::CreateTimer(int intervalMs, bool repeating, TBSTimerCallback callback,
                               int value) {
    return NewTimer(intervalMs, repeating, std::move(callback), value);
}

IBSTimerPtr TBSUI::NewTimer(int intervalMs, bool repeating, TBSTimerCallback callback, int value) {
    return std::make_shared<TBSManualTimer>(intervalMs, repeating, std::move(callback), value);
}

IBSLogFilePtr TBSUI::LogFile() {
    std::lock_guard lock(logLock_);
    if (!logFile_)
        logFile_ = NewLogFile(ApplicationObject().LogFile());
    return logFile_;
}

IBSLogFilePtr TBSUI::KnownLogFile() {
    std::lock_guard lock(logLock_);
    return logFile_;
}

void TBSUI::SetLogFile(IBSLogFilePtr file) {
    std::lock_guard lock(logLock_);
    logFile_ = std::move(file);
}

void TBSUI::SetLogHandler(std::shared_ptr<IBSLogHandler> handler) {
    logHandler_ = std::move(handler);
}

void TBSUI::SetProgressHandler(std::shared_ptr<IBSProgressHandler> handler) {
    progressHandler_ = std::move(handler);
}

std::string TBSUI::ApplicationTitle() const {
    if (!applicationTitle_.empty())
        return applicationTitle_;
    const TVersionInfo& version = BuiltInVersionInfo();
    const auto major = version.FileVersion[0];
    return major == 1 ? version.ProductName : version.ProductName + " " + std::to_string(major);
}

void TBSUI::SetApplicationTitle(std::string title) {
    applicationTitle_ = std::move(title);
}

// ---------------------------------------------------------------------------------------------
// TBSUIConsole

TBSUIConsole::TBSUIConsole() : TBSUIConsole(std::cerr) {}

TBSUIConsole::TBSUIConsole(std::ostream& out) : out_(out) {}

int TBSUIConsole::ShowMessage(const TBSUIMessage& message) {
    messages_.push_back(message);
    static constexpr const char* kinds[] = {"warning", "error", "information", "question"};
    out_ << kinds[message.Icon] << ": " << message.Text;
    int answer = message.Buttons.empty() ? 0 : message.CancelId;
    if (!answers_.empty()) {
        answer = answers_.front();
        answers_.erase(answers_.begin());
    }
    if (!message.Buttons.empty()) {
        out_ << " [";
        std::string chosen;
        for (std::size_t i = 0; i < message.Buttons.size(); ++i) {
            out_ << (i ? "/" : "") << message.Buttons[i].Caption;
            if (message.Buttons[i].Id == answer)
                chosen = message.Buttons[i].Caption;
        }
        out_ << "] -> " << (chosen.empty() ? std::string("closed") : chosen);
    }
    out_ << std::endl;
    return answer;
}

void TBSUIConsole::ShowProgressState(const TBSUIProgressState& state) {
    displays_.push_back(state);
}

void TBSUIConsole::ShowLog() {
    if (const auto log = LogFile(); log && log->GetFile())
        out_ << "log file: " << log->GetFile()->PathText() << std::endl;
}

void TBSUIConsole::SetBusyCursor(bool) {
    ++busyCursorChanges_;
}

int TBSUIConsole::ChooseProject(std::string_view title, std::string_view preselected,
                                const IBSStringList& names) {
    TBSCommandLineProjectChooser chooser(std::cin, out_);
    return chooser.ChooseProject(title, preselected, names);
}

// ---------------------------------------------------------------------------------------------
// Process-wide

namespace {

std::mutex& ServicesMutex() {
    static std::mutex m;
    return m;
}

TBSUIFactory& Factory() {
    static TBSUIFactory factory;
    return factory;
}

std::shared_ptr<TBSUI>& ServicesSlot() {
    static std::shared_ptr<TBSUI> services;
    return services;
}

class TBSUIProjectChooser final : public IBSProjectChooser {
public:
    int ChooseProject(std::string_view title, std::string_view preselected,
                      const IBSStringList& names) override {
        return UIServices().ChooseProject(title, preselected, names);
    }
};

} // namespace

std::shared_ptr<TBSUI> UIServicesPtr() {
    std::lock_guard lock(ServicesMutex());
    auto& slot = ServicesSlot();
    if (!slot) {
        if (Factory())
            slot = Factory()();
        if (!slot)
            slot = std::make_shared<TBSUIConsole>();
    }
    return slot;
}

TBSUI& UIServices() {
    return *UIServicesPtr();
}

void RegisterUIClass(TBSUIFactory factory) {
    std::shared_ptr<TBSUI> old;
    {
        std::lock_guard lock(ServicesMutex());
        Factory() = std::move(factory);
        old = std::move(ServicesSlot());
    }
    // Released outside the lock: a service's destructor may ask for the services again.
    old.reset();
}

IBSProjectChooserPtr UIProjectChooser() {
    return std::make_shared<TBSUIProjectChooser>();
}

void ConnectServicesToUI() {
    SetFatalErrorHandler([](std::string_view message) { UIServices().ShowError(message); });
    SetServiceLogSink([](std::string_view text) {
        try {
            auto& ui = UIServices();
            // Never the first LogFile here: a line may come while the application object is
            // being made, and asking it then would wait for itself.
            const auto log = ui.KnownLogFile();
            if (ui.LogHandler() || (log && log->GetFile() && !log->GetFile()->IsEmpty())) {
                ui.LogLine(text);
                return;
            }
        } catch (const std::exception&) {
            // The log file cannot be written: the line still goes to standard error below.
        }
        const auto t = DecodeDateTimeParts(Now());
        const std::string line = Format("%02d.%02d.%04d %02d:%02d:%02d : ", t.Day, t.Month, t.Year,
                                        t.Hour, t.Minute, t.Second) +
                                 std::string(text) + "\n";
        std::fwrite(line.data(), 1, line.size(), stderr);
    });
}

} // namespace marqor
