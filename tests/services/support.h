#pragma once

#include "../foundation/temp_dir.h"
#include "services/log.h"

#include <cstdlib>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace marqor::testing_support {

// Sets an environment variable for the lifetime of the guard.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name))
            old_ = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (old_)
            setenv(name_, old_->c_str(), 1);
        else
            unsetenv(name_);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

// The lines of the service log while the capture lives.
class LogCapture {
public:
    LogCapture() {
        previous_ = SetServiceLogSink([this](std::string_view text) {
            std::lock_guard lock(mutex_);
            lines_.emplace_back(text);
        });
    }
    ~LogCapture() { SetServiceLogSink(previous_); }
    std::vector<std::string> Lines() {
        std::lock_guard lock(mutex_);
        return lines_;
    }

private:
    std::mutex mutex_;
    std::vector<std::string> lines_;
    TBSLogSink previous_;
};

// A temporary directory that is also the user's configuration home: no test touches the real
// ~/.config.
class ConfigHome {
public:
    ConfigHome() : env_("XDG_CONFIG_HOME", dir_.Path()) {}
    const TempDir& Dir() const { return dir_; }
    std::string RegistryFile() const { return dir_ / "Orvane/registry.ini"; }

private:
    TempDir dir_;
    ScopedEnv env_;
};

} // namespace marqor::testing_support
