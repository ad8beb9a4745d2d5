#pragma once

// A QGuiApplication for processes that draw reports without a window (the command line, tests,
// benchmarks): without a display the offscreen platform is used.

namespace marqor {

// Creates the application object when the process has none yet; later calls do nothing. Sets
// QT_QPA_PLATFORM=offscreen first unless it is set or a display is there.
void EnsureGuiApplication();

} // namespace marqor
