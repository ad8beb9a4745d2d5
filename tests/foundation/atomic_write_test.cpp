#include "foundation/files.h"
#include "temp_dir.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

using namespace marqor;
using marqor::testing_support::TempDir;

namespace {

// A writer process replaces the file again and again and is killed at a random moment; the file
// must then hold one of the two complete contents, never a mixture or a part.
TEST(WriteAll, AWriterKilledAtAnyMomentLeavesTheOldOrTheNewContent) {
    TempDir dir;
    const std::string path = dir / "settings.ini";
    const std::string a = std::string(400'000, 'a') + "\r\nEND OF A\r\n";
    const std::string b = std::string(250'000, 'b') + "\r\nEND OF B\r\n";
    NewFile(path)->WriteAll(a);

    std::mt19937 random(20240601);
    std::uniform_int_distribution<int> delay(0, 15'000);
    int sawA = 0, sawB = 0;
    for (int round = 0; round < 60; ++round) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            auto file = NewFile(path);
            for (unsigned i = 0;; ++i)
                file->WriteAll(i % 2 ? a : b);
        }
        usleep(static_cast<useconds_t>(delay(random)));
        kill(pid, SIGKILL);
        int status = 0;
        waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));
        const std::string content = TempDir::Read(path);
        ASSERT_TRUE(content == a || content == b)
            << "round " << round << ": " << content.size() << " bytes";
        (content == a ? sawA : sawB)++;
    }
    // A killed writer leaves its temporary file behind: proof that kills landed mid-write.
    int interrupted = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
        interrupted += e.path().filename().string().ends_with(".tmp");
    RecordProperty("old", sawA);
    RecordProperty("new", sawB);
    RecordProperty("interrupted", interrupted);
    EXPECT_GT(interrupted, 0);
}

} // namespace
