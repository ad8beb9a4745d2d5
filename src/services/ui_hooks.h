#pragma once

// The two things the application object needs from the user-interface services before those
// exist: showing a fatal error, and letting the user choose a project. The windows take them
// over later; until then they work on the command line.

#include "foundation/containers.h"

#include <functional>
#include <iosfwd>
#include <memory>
#include <string_view>

namespace marqor {

// Shows the message; the process ends right after it.
using TBSFatalErrorHandler = std::function<void(std::string_view message)>;
// An empty handler restores the default, which writes the message to standard error.
void SetFatalErrorHandler(TBSFatalErrorHandler handler);
// Shows the message, then ends the process at once with the exit code, without clean-up.
[[noreturn]] void FatalError(std::string_view message, int exitCode);

class IBSProjectChooser {
public:
    virtual ~IBSProjectChooser() = default;
    // The index of the chosen name, or -1 when the user cancels.
    virtual int ChooseProject(std::string_view title, std::string_view preselected,
                              const IBSStringList& names) = 0;
};
using IBSProjectChooserPtr = std::shared_ptr<IBSProjectChooser>;

// Lists the names numbered from 1 and reads a number; an empty answer takes the preselected
// name, end of input or "q" cancels. Asks again, at most five times, on any other answer.
class TBSCommandLineProjectChooser final : public IBSProjectChooser {
public:
    TBSCommandLineProjectChooser(std::istream& in, std::ostream& out) : in_(in), out_(out) {}
    int ChooseProject(std::string_view title, std::string_view preselected,
                      const IBSStringList& names) override;

private:
    std::istream& in_;
    std::ostream& out_;
};

} // namespace marqor
