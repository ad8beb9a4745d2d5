#include "cli/terminal_status.h"

#include <csignal>
#include <ostream>

namespace marqor::cli {

namespace {

volatile std::sig_atomic_t gInterrupted = 0;
struct sigaction gPrevious {};

extern "C" void OnInterrupt(int) {
    gInterrupted = 1;
}

} // namespace

bool InterruptRequested() {
    return gInterrupted != 0;
}

void RequestInterrupt() {
    gInterrupted = 1;
}

void ClearInterrupt() {
    gInterrupted = 0;
}

TInterruptScope::TInterruptScope() {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    // The handler serves once: a second Ctrl+C ends the process.
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &gPrevious);
}

TInterruptScope::~TInterruptScope() {
    sigaction(SIGINT, &gPrevious, nullptr);
    ClearInterrupt();
}

TTerminalStatus::TTerminalStatus(std::ostream& err, std::string prefix, bool terminal,
                                 bool cancellable, std::chrono::milliseconds delay, Clock clock)
    : err_(err), prefix_(std::move(prefix)), terminal_(terminal), cancellable_(cancellable),
      delay_(delay), clock_(std::move(clock)), start_(clock_()) {}

TTerminalStatus::~TTerminalStatus() {
    Finish();
}

void TTerminalStatus::SetLine(int line, std::string_view text) {
    if (line < 0 || line > 2)
        return;
    lines_[line] = text;
    if (line == 0)
        detail_.clear();
    Show();
}

std::string TTerminalStatus::GetLine(int line) const {
    return line >= 0 && line <= 2 ? lines_[line] : std::string();
}

bool TTerminalStatus::Cancelled() {
    return cancellable_ && InterruptRequested();
}

void TTerminalStatus::SetDetail(std::string_view detail) {
    detail_ = detail;
    Show();
}

void TTerminalStatus::Show() {
    const auto now = clock_();
    if (now - start_ < delay_)
        return;
    std::string text = prefix_ + lines_[0];
    if (!detail_.empty())
        text += " (" + detail_ + ")";
    if (text == lastText_)
        return;
    if (terminal_) {
        // Back to the line's start, the new text, the rest of the old one erased.
        err_ << '\r' << text << "\x1b[K" << std::flush;
        open_ = true;
    } else {
        if (shown_ && now - lastShown_ < delay_)
            return;
        err_ << text << '\n' << std::flush;
    }
    lastShown_ = now;
    lastText_ = std::move(text);
    shown_ = true;
}

void TTerminalStatus::Finish() {
    if (open_)
        err_ << '\n' << std::flush;
    open_ = false;
}

} // namespace marqor::cli
