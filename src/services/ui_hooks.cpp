#include "services/ui_hooks.h"

#include "foundation/text.h"

#include <cstdio>
#include <cstdlib>
#include <istream>
#include <mutex>
#include <ostream>
#include <string>

namespace marqor {

namespace {

std::mutex& HandlerMutex() {
    static std::mutex m;
    return m;
}

TBSFatalErrorHandler& Handler() {
    static TBSFatalErrorHandler handler;
    return handler;
}

} // namespace

void SetFatalErrorHandler(TBSFatalErrorHandler handler) {
    std::lock_guard lock(HandlerMutex());
    Handler() = std::move(handler);
}

void FatalError(std::string_view message, int exitCode) {
    TBSFatalErrorHandler handler;
    {
        std::lock_guard lock(HandlerMutex());
        handler = Handler();
    }
    try {
        if (handler) {
            handler(message);
        } else {
            const std::string line = std::string(message) + "\n";
            std::fwrite(line.data(), 1, line.size(), stderr);
        }
    } catch (...) {
    }
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(exitCode);
}

int TBSCommandLineProjectChooser::ChooseProject(std::string_view title,
                                                std::string_view preselected,
                                                const IBSStringList& names) {
    if (names.IsEmpty())
        return -1;
    int proposed = -1;
    for (int i = 0; i < names.Count(); ++i)
        if (SameText(names.Item(i), preselected))
            proposed = i;
    out_ << title << '\n';
    for (int i = 0; i < names.Count(); ++i)
        out_ << (i == proposed ? "* " : "  ") << (i + 1) << "  " << names.Item(i) << '\n';
    for (int attempt = 0; attempt < 5; ++attempt) {
        out_ << "Project (1-" << names.Count() << ", q to cancel)";
        if (proposed >= 0)
            out_ << " [" << (proposed + 1) << "]";
        out_ << ": " << std::flush;
        std::string answer;
        if (!std::getline(in_, answer))
            return -1;
        const std::string text = Trim(answer);
        if (text.empty() && proposed >= 0)
            return proposed;
        if (SameText(text, "q"))
            return -1;
        if (const auto n = ParseInt(text); n && *n >= 1 && *n <= names.Count())
            return *n - 1;
    }
    return -1;
}

} // namespace marqor
