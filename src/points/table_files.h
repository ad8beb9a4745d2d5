#pragma once

// Reading point table files from disk: the files users put into their table directory or name
// on the command line, and the table files installed with the program. Files from outside are
// untrusted, so reading is bounded and never waits on a pipe or device.

#include <filesystem>
#include <string>
#include <vector>

namespace marqor {

// The bytes of a regular file of at most MaxPointTableTextSize bytes. Raises EPointTableError
// naming the file and the reason (missing, unreadable, not a regular file, too large).
std::string ReadTableFileBytes(const std::filesystem::path& file);

// The "*.txt" files of a directory (letter case of the extension ignored), ordered by name.
// Nothing for a directory that does not exist; EPointTableError for one that cannot be read.
std::vector<std::filesystem::path> TableFilesIn(const std::filesystem::path& directory);

// The directory of the running program; empty when the system does not tell.
std::filesystem::path ProgramDirectory();

// A path as one line of text: control characters become "?".
std::string DisplayPath(const std::filesystem::path& path);

} // namespace marqor
