#pragma once

// What the reports need from the application layer, which sits above them: the application's
// title and product name, the log, progress details and the clock. The application object sets
// these at start; until then the defaults below apply, so reports also run in tests and tools
// that have no application object.

#include "foundation/date_time.h"

#include <functional>
#include <string>
#include <string_view>

namespace marqor {

struct TKvrReportHooks {
    // The print job's title begins with it; the HTML page names it (upper case) in its comment.
    std::string ApplicationTitle = "FINA Marqor";
    // The PDF creator is "Kavrin " followed by it.
    std::string ProductName = "FINA Marqor";
    // A line for the log file; unset: the line goes to stderr.
    std::function<void(std::string_view)> Log;
    // A detail text for the progress display (StepProgress of the user-interface services).
    std::function<void(std::string_view)> StepProgress;
    // The current local date and time; unset: the system clock.
    std::function<TDateTime()> Clock;
};

const TKvrReportHooks& ReportHooks();
void SetReportHooks(TKvrReportHooks hooks);

// Through the hooks.
void ReportLog(std::string_view line);
void ReportStepProgress(std::string_view detail);
TDateTime ReportNow();

} // namespace marqor
