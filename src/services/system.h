#pragma once

// The operating-system services the application and user objects rely on, on this platform.
//
// Well-known directories (WellKnownDirectory):
//   1 the directory of the running executable
//   2 the documents folder: XDG_DOCUMENTS_DIR of user-dirs.dirs, else ~/Documents when it
//     exists, else the home directory
//   3 the system directory: /usr/lib
//   4 the temporary directory: $TMPDIR when it is absolute, else /tmp
//   5 the directory of the system's own configuration: /etc
//   6 the current directory (read anew each time)
//   7 the desktop folder: XDG_DESKTOP_DIR, else ~/Desktop
//   8 data shared by all users: /var/lib
//   9 the user's own application data: $XDG_DATA_HOME, else ~/.local/share

#include "foundation/files.h"

#include <string>
#include <string_view>

namespace marqor {

class TBSSystem {
public:
    // The logged-on user's name ($USER checked against the account database, else the
    // account of the effective user id).
    static std::string UserName();
    // None for a number outside 1 .. 9; each is determined once, except 6.
    static IBSDirectoryPtr WellKnownDirectory(int number);
    // A boolean value of a key of the current user's registry; absent or unreadable is false.
    static bool ReadRegistryFlag(std::string_view keyPath, std::string_view name);
    // The rights to change the machine: the effective user is root.
    static bool HasAdministrativeRights();
    // Ends the process at once with the exit code, without clean-up.
    [[noreturn]] static void Halt(int exitCode);
};

} // namespace marqor
