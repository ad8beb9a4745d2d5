#pragma once

// Text helpers of the report writers.

#include <string>
#include <string_view>
#include <vector>

namespace marqor {

// Every occurrence, left to right, without overlaps; letter case counts.
std::string ReplaceAllText(std::string_view text, std::string_view from, std::string_view to);
// Splits at CR LF, CR or LF; no empty line after a final line break.
std::vector<std::string> SplitTextLines(std::string_view text);
// The file-name part of a path ("/a/b/report.htm" gives "report.htm"); "\" separates too.
std::string FileNamePart(std::string_view path);

} // namespace marqor
