#pragma once

// The PDF and printer outputs of print-table, on the Qt devices.

namespace marqor::cli {

// From then on print-table makes PDF files and prints: on its first such output it creates the
// GUI application on the offscreen platform (unless QT_QPA_PLATFORM names another), so no
// display is needed, and installs the Qt printing service.
void UseQtPrintOutputs();

} // namespace marqor::cli
