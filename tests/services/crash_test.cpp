#include "support.h"

#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

using namespace marqor::testing_support;

namespace {

const std::string kSeparator = "\r\n" + std::string(78, '-') + "\r\n";

struct Crash {
    const char* how;
    int signal; // 0: the program goes on and ends normally
    const char* exceptionClass;
    const char* message;
    const char* function; // a frame the symbolised trace names
};

void PrintTo(const Crash& c, std::ostream* os) {
    *os << c.how;
}

int RunCrashProgram(const std::string& how, const std::string& errorFile) {
    const std::string program = MARQOR_CRASH_PROGRAM;
    std::vector<char*> argv = {const_cast<char*>(program.c_str()), const_cast<char*>(how.c_str()),
                               const_cast<char*>(errorFile.c_str()), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int error = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return status;
}

class CrashReport : public testing::TestWithParam<Crash> {};

TEST_P(CrashReport, LeavesAReportWithTheHeaderLinesAndAStackTrace) {
    TempDir dir;
    const std::string errorFile = dir / "reports/crash.err";
    dir.Write("reports/crash.err", "an earlier report\r\n");
    const int status = RunCrashProgram(GetParam().how, errorFile);
    if (GetParam().signal) {
        ASSERT_TRUE(WIFSIGNALED(status)) << status;
        EXPECT_EQ(WTERMSIG(status), GetParam().signal);
    } else {
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0);
    }
    const std::string text = TempDir::Read(errorFile);
    ASSERT_TRUE(text.starts_with("an earlier report\r\n" + kSeparator)) << text;
    const std::string report = text.substr(19 + kSeparator.size());
    // Reported before any configuration was loaded: no configuration-file line.
    EXPECT_EQ(report.find("project ini file"), std::string::npos) << report;
    EXPECT_NE(report.find("project user name : crash-test\r\n"
                          "revision          : 0\r\n"
                          "user language     : None\r\n"),
              std::string::npos)
        << report;
    EXPECT_NE(report.find(std::string("exception class   : ") + GetParam().exceptionClass + "\r\n"),
              std::string::npos)
        << report;
    EXPECT_NE(report.find(std::string("exception message : ") + GetParam().message),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("\r\nstack trace:\r\n  #00 0x"), std::string::npos) << report;
    EXPECT_NE(report.find("operating system  : Linux"), std::string::npos) << report;
    if (access("/usr/bin/addr2line", X_OK) == 0) {
        EXPECT_NE(report.find(GetParam().function), std::string::npos) << report;
    }
    // Every line ends with CR LF.
    for (std::size_t at = report.find('\n'); at != std::string::npos;
         at = report.find('\n', at + 1))
        ASSERT_EQ(report[at - 1], '\r') << report.substr(at > 60 ? at - 60 : 0, 80);
}

INSTANTIATE_TEST_SUITE_P(
    Ways, CrashReport,
    testing::Values(Crash{"null", SIGSEGV, "SIGSEGV", "invalid memory access at address 0x0",
                          "DereferenceNull"},
                    Crash{"throw", SIGABRT, "std::runtime_error", "deliberate failure",
                          "ThrowUncaught"},
                    Crash{"abort", SIGABRT, "SIGABRT", "the program aborted", "main"},
                    Crash{"fpe", SIGFPE, "SIGFPE", "arithmetic error", "DivideByZero"},
                    Crash{"overflow", SIGSEGV, "SIGSEGV", "invalid memory access", "Recurse"}),
    [](const auto& info) { return std::string(info.param.how); });

TEST(CrashReport, SilentReportsAreAppendedOneAfterTheOtherAndTheProgramGoesOn) {
    TempDir dir;
    const std::string errorFile = dir / "silent.err";
    const int status = RunCrashProgram("silent", errorFile);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    const std::string text = TempDir::Read(errorFile);
    ASSERT_TRUE(text.starts_with(kSeparator + "extra error info  : first of two\r\n")) << text;
    const auto second = text.find(kSeparator, kSeparator.size());
    ASSERT_NE(second, std::string::npos);
    const std::string last = text.substr(second);
    EXPECT_EQ(last.find("extra error info"), std::string::npos); // one report only
    EXPECT_NE(last.find("exception class   : std::invalid_argument\r\n"
                        "exception message : handled 1\r\n"),
              std::string::npos)
        << last;
}

} // namespace
