#pragma once

// The status window of a report output on the command line: the engine's status lines ("Page
// 12") go to standard error once the output has taken longer than a delay, and an interrupt
// (Ctrl+C) is the user's confirmed cancel.

#include "reports/report_device.h"

#include <chrono>
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>

namespace marqor::cli {

class TTerminalStatus final : public IKvrStatusDlg {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    // On a terminal the progress is one line rewritten in place; otherwise a line per change,
    // at most one per delay. An output that must not be cancelled never reports a cancel.
    TTerminalStatus(std::ostream& err, std::string prefix, bool terminal, bool cancellable = true,
                    std::chrono::milliseconds delay = std::chrono::seconds(1),
                    Clock clock = std::chrono::steady_clock::now);
    ~TTerminalStatus() override;

    void SetLine(int line, std::string_view text) override;
    std::string GetLine(int line) const override;
    // Whether an interrupt arrived (see TInterruptScope) and the output may be cancelled.
    bool Cancelled() override;
    // A detail of the current step (StepProgress), shown after line 0.
    void SetDetail(std::string_view detail);
    // Ends the progress line when one was shown.
    void Finish();
    bool Shown() const { return shown_; }

private:
    void Show();

    std::ostream& err_;
    std::string prefix_;
    bool terminal_;
    bool cancellable_;
    std::chrono::milliseconds delay_;
    Clock clock_;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point lastShown_;
    std::string lines_[3];
    std::string detail_;
    std::string lastText_;
    bool shown_ = false;
    bool open_ = false; // a rewritten line waits for its end
};

// While it lives, the first SIGINT only asks for a cancel (InterruptRequested); the output then
// ends after the exemplar being written, and a second SIGINT ends the process as usual.
class TInterruptScope {
public:
    TInterruptScope();
    ~TInterruptScope();
    TInterruptScope(const TInterruptScope&) = delete;
    TInterruptScope& operator=(const TInterruptScope&) = delete;
};

bool InterruptRequested();
// What the signal handler does; for tests and for callers that cancel by other means.
void RequestInterrupt();
void ClearInterrupt();

} // namespace marqor::cli
