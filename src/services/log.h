#pragma once

// A line for whoever looks after the program: things that went wrong without stopping it, such
// as a damaged settings file that was put aside. The log file of the user-interface services
// takes these lines once it exists; until a sink is installed they go to standard error.

#include <functional>
#include <string>
#include <string_view>

namespace marqor {

using TBSLogSink = std::function<void(std::string_view text)>;

// Hands the text to the installed sink; never raises.
void ServiceLog(std::string_view text);
// Installs the sink and answers the previous one; an empty sink restores standard error, where
// each line reads "dd.mm.yyyy hh:mm:ss : text".
TBSLogSink SetServiceLogSink(TBSLogSink sink);

} // namespace marqor
