#pragma once

// The windowed program: start-up of the services, the start-up screen, the main window and the
// message loop.

namespace marqor {

// Runs FINA Marqor until its main window closes; answers the exit status (2 without a display).
//
// With MARQOR_STARTUP_TIMING set in the environment the program measures its start instead: it
// skips the start-up screen's minimum time, prints to standard error how long it took from the
// start of the process (and from main) until the main window was shown and first painted, and
// ends.
int RunCalculatorProgram(int& argc, char** argv);

// Connects the layers below the windows to the application once its object exists: the
// controls' services (version, title, file chooser, support menus), the reports' hooks (title,
// product name, log and progress details), and the title and log file of the user-interface
// services.
void ConnectApplicationHooks();

} // namespace marqor
