#pragma once

// The commands over point tables: tables, points, time and convert.

#include "cli/commands.h"

#include <span>
#include <string>

namespace marqor::cli {

using Args = std::span<const std::string>;

int TablesCommand(Args args, Streams io);
int PointsCommand(Args args, Streams io);
int TimeCommand(Args args, Streams io);
int ConvertCommand(Args args, Streams io);

extern const char* const TablesUsage;
extern const char* const PointsUsage;
extern const char* const TimeUsage;
extern const char* const ConvertUsage;

} // namespace marqor::cli
