#pragma once

// marqor print-table: the point table printout as PDF, HTML or on a printer.

#include "cli/commands.h"
#include "reports/report_device.h"

#include <functional>
#include <span>
#include <string>

namespace marqor::cli {

// The output could not be made: a file that cannot be written, a failed print job.
inline constexpr int ExitFailed = 1;
// The user interrupted the output (Ctrl+C): no PDF was written, the print job was cancelled.
inline constexpr int ExitInterrupted = 130;

int PrintTableCommand(std::span<const std::string> args, Streams io);
extern const char* const PrintTableUsage;

// Makes the printing service with the canvas devices (PDF, printer). The Qt part of the tool
// installs it (UseQtPrintOutputs); without one, print-table writes HTML only.
using TCanvasServiceFactory = std::function<IKvrPrintingServicePtr()>;
void SetCanvasServiceFactory(TCanvasServiceFactory factory);

} // namespace marqor::cli
