// The program itself, started as a user starts it: without a command it opens its window, and
// the main window comes back where it was left.

#include "../foundation/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <regex>
#include <sys/wait.h>

using marqor::testing_support::TempDir;

namespace {

struct ProgramRun {
    int status;
    std::string errors;
};

// The program with a home of the test's own, on the offscreen platform, measuring its start
// (so that it ends by itself once its main window is painted).
ProgramRun StartProgram(const TempDir& home) {
    const std::string errors = home / "stderr.txt";
    const std::string command = "env HOME='" + home.Path() + "' XDG_CONFIG_HOME='" + home.Path() +
                                "' XDG_DATA_HOME='" + home.Path() + "' XDG_RUNTIME_DIR='" +
                                home.Path() +
                                "' QT_QPA_PLATFORM=offscreen MARQOR_STARTUP_TIMING=1 '" +
                                MARQOR_PROGRAM + "' 2>'" + errors + "' </dev/null";
    const int status = std::system(command.c_str());
    return {WEXITSTATUS(status), TempDir::Read(errors)};
}

std::string Placement(const std::string& registry) {
    std::smatch m;
    const std::string text = TempDir::Read(registry);
    const std::regex line(R"(\[Software\\Orvane\\Marqor\\TFMain\][^\[]*WindowState=([^\r\n]*))");
    return std::regex_search(text, m, line) ? m[1].str() : std::string();
}

TEST(Program, OpensItsWindowAndRestoresThePlacementOnTheNextStart) {
    TempDir home;
    const ProgramRun first = StartProgram(home);
    ASSERT_EQ(first.status, 0) << first.errors;
    EXPECT_NE(first.errors.find("startup: main window shown"), std::string::npos) << first.errors;
    const std::string registry = home / "Orvane/registry.ini";
    const std::string placed = Placement(registry);
    ASSERT_FALSE(placed.empty()) << TempDir::Read(registry);

    // The user had moved the window to 140, 90 when the program last ended.
    std::string text = TempDir::Read(registry);
    text.replace(text.find(placed), placed.size(), "140,90,480,400,1,0");
    home.Write("Orvane/registry.ini", text);
    const ProgramRun second = StartProgram(home);
    ASSERT_EQ(second.status, 0) << second.errors;
    const std::string again = Placement(registry);
    EXPECT_TRUE(again.starts_with("140,90,480,")) << again;
    // A fixed window keeps its own height whatever was stored.
    EXPECT_FALSE(again.starts_with("140,90,480,400,")) << again;
}

} // namespace
