#pragma once

// Connects the reports to the running application: the print job's title and the HTML comment
// take the application's title, the PDF creator its product name, and the report's log lines
// go to the services' log.

namespace marqor {

// Needs the application object (StartApplicationServices); keeps the clock and progress hooks.
void UseApplicationReportHooks();

} // namespace marqor
