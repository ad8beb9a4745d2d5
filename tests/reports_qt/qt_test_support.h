#pragma once

// The Qt device tests draw without a display: the offscreen platform, one QGuiApplication for
// the whole program.

#include "reports_qt/gui_session.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace marqor::testing_support {

inline const bool kOffscreen = (setenv("QT_QPA_PLATFORM", "offscreen", 0), true);

class TGuiEnvironment : public ::testing::Environment {
public:
    void SetUp() override { EnsureGuiApplication(); }
};
inline ::testing::Environment* const kGuiEnvironment =
    ::testing::AddGlobalTestEnvironment(new TGuiEnvironment);

inline bool HasTool(const std::string& tool) {
    return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

// The standard output of a shell command.
inline std::string Capture(const std::string& command) {
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        std::array<char, 4096> buffer;
        std::size_t n;
        while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
            output.append(buffer.data(), n);
        pclose(pipe);
    }
    return output;
}

} // namespace marqor::testing_support
