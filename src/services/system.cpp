#include "services/system.h"

#include "foundation/text.h"
#include "services/settings_stores.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <pwd.h>
#include <unistd.h>

namespace marqor {

namespace {

std::string Home() {
    if (const char* home = std::getenv("HOME"); home && *home == '/')
        return home;
    std::string buffer(16384, '\0');
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_dir)
        return found->pw_dir;
    return "/";
}

std::string AbsoluteEnv(const char* name, const std::string& fallback) {
    const char* value = std::getenv(name);
    return value && *value == '/' ? std::string(value) : fallback;
}

// A folder of user-dirs.dirs: lines XDG_DOCUMENTS_DIR="$HOME/Documents".
std::string UserDir(std::string_view key, const std::string& fallback) {
    const std::string config = AbsoluteEnv("XDG_CONFIG_HOME", Home() + "/.config");
    std::ifstream in(config + "/user-dirs.dirs");
    std::string line;
    while (std::getline(in, line)) {
        const std::string text = Trim(line);
        if (!text.starts_with(std::string(key) + "="))
            continue;
        std::string value = text.substr(key.size() + 1);
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        if (value.starts_with("$HOME"))
            value = Home() + value.substr(5);
        if (!value.empty() && value.front() == '/')
            return value;
    }
    return fallback;
}

std::string FolderOrHome(const std::string& folder) {
    return NewDirectory(folder)->Exists() ? folder : Home();
}

std::string DirectoryText(int number) {
    switch (number) {
    case 1:
        return ExecutableDirectory()->PathText();
    case 2:
        return UserDir("XDG_DOCUMENTS_DIR", FolderOrHome(Home() + "/Documents"));
    case 3:
        return "/usr/lib";
    case 4:
        return AbsoluteEnv("TMPDIR", "/tmp");
    case 5:
        return "/etc";
    case 7:
        return UserDir("XDG_DESKTOP_DIR", Home() + "/Desktop");
    case 8:
        return "/var/lib";
    case 9:
        return AbsoluteEnv("XDG_DATA_HOME", Home() + "/.local/share");
    default:
        return "";
    }
}

} // namespace

std::string TBSSystem::UserName() {
    std::string scratch(16384, '\0');
    passwd entry{};
    passwd* found = nullptr;
    if (const char* user = std::getenv("USER"); user && *user) {
        // Only a name that is an account of this user; anything else in the environment is
        // not who is logged on.
        if (getpwnam_r(user, &entry, scratch.data(), scratch.size(), &found) == 0 && found &&
            found->pw_uid == geteuid())
            return user;
    }
    if (getpwuid_r(geteuid(), &entry, scratch.data(), scratch.size(), &found) == 0 && found &&
        found->pw_name)
        return found->pw_name;
    return std::to_string(geteuid());
}

IBSDirectoryPtr TBSSystem::WellKnownDirectory(int number) {
    if (number == 6) {
        char buffer[4096];
        return NewDirectory(getcwd(buffer, sizeof buffer) ? buffer : "/");
    }
    if (number < 1 || number > 9)
        return nullptr;
    // Never destroyed: objects ending at process exit still ask for them.
    static auto* lock = new std::mutex;
    static auto* known = new std::array<IBSDirectoryPtr, 10>;
    std::lock_guard guard(*lock);
    if (!(*known)[number])
        (*known)[number] = NewDirectory(DirectoryText(number));
    return (*known)[number];
}

bool TBSSystem::ReadRegistryFlag(std::string_view keyPath, std::string_view name) {
    try {
        return marqor::ReadRegistryFlag(keyPath, name);
    } catch (...) {
        return false;
    }
}

bool TBSSystem::HasAdministrativeRights() {
    return geteuid() == 0;
}

void TBSSystem::Halt(int exitCode) {
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(exitCode);
}

} // namespace marqor
