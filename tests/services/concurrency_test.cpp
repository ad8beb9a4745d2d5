#include "services/ini_file.h"
#include "services/settings_stores.h"
#include "support.h"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

using namespace marqor;
using namespace marqor::testing_support;

namespace {

constexpr int kWrites = 1000;

std::string ValueName(int writer, int i) {
    char name[32];
    std::snprintf(name, sizeof name, "W%d_%d", writer, i);
    return name;
}

// Two programs write into the same user settings at the same time, each its own names; every
// value of both is there afterwards.
TEST(RegistryConcurrency, TwoProcessesWritingAtOnceLoseNoValue) {
    // What counts here is the locking, not the disk: in memory when the machine offers it, so
    // that 2,000 flushes to disk do not make the test slow.
    std::optional<ScopedEnv> inMemory;
    if (std::filesystem::is_directory("/dev/shm") && access("/dev/shm", W_OK) == 0)
        inMemory.emplace("TMPDIR", "/dev/shm");
    ConfigHome home;
    // Both start on an existing file with a value each must keep.
    OpenRegistrySettings("Software\\Orvane\\Marqor")
        ->GetSection("Orvane")
        ->WriteInteger("Start", 1);
    int startPipe[2];
    ASSERT_EQ(pipe(startPipe), 0);
    std::vector<pid_t> writers;
    const auto begin = std::chrono::steady_clock::now();
    for (int w = 0; w < 2; ++w) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            char go;
            close(startPipe[1]);
            if (read(startPipe[0], &go, 1) != 0)
                _exit(2);
            try {
                auto s = OpenRegistrySettings("Software\\Orvane\\Marqor")->GetSection("Orvane");
                for (int i = 0; i < kWrites; ++i)
                    s->WriteInteger(ValueName(w, i), i * 10 + w);
            } catch (...) {
                _exit(1);
            }
            _exit(0);
        }
        writers.push_back(pid);
    }
    close(startPipe[0]);
    close(startPipe[1]); // both start now
    for (pid_t pid : writers) {
        int status = 0;
        waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0);
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    RecordProperty("seconds_for_2x1000_writes", std::to_string(seconds));
    std::printf("2 x %d concurrent writes: %.2f s\n", kWrites, seconds);

    const auto data = ParseIniBytes(TempDir::Read(home.RegistryFile()));
    ASSERT_TRUE(data);
    const auto* section = data->Find("Software\\Orvane\\Marqor\\Orvane");
    ASSERT_NE(section, nullptr);
    EXPECT_EQ(section->values->Count(), 2 * kWrites + 1);
    int missing = 0;
    for (int w = 0; w < 2; ++w)
        for (int i = 0; i < kWrites; ++i) {
            const auto* v = section->values->Find(ValueName(w, i));
            if (!v || *v != std::to_string(i * 10 + w))
                ++missing;
        }
    EXPECT_EQ(missing, 0);
    EXPECT_EQ(section->values->Get("Start"), "1");
}

// A writer killed at any moment leaves a settings file that reads, with everything written
// before the writer started.
TEST(RegistryConcurrency, AWriterKilledAtRandomMomentsLeavesAReadableFile) {
    ConfigHome home;
    auto s = OpenRegistrySettings("Software\\Orvane\\Marqor")->GetSection("Orvane");
    s->WriteString("Kept", std::string(20000, 'k'));
    std::mt19937 random(6);
    std::uniform_int_distribution<int> delay(0, 20'000);
    for (int round = 0; round < 40; ++round) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            auto own = OpenRegistrySettings("Software\\Orvane\\Marqor")->GetSection("Orvane");
            for (int i = 0;; ++i)
                own->WriteInteger(ValueName(9, i % 50), i);
        }
        usleep(static_cast<useconds_t>(delay(random)));
        kill(pid, SIGKILL);
        int status = 0;
        waitpid(pid, &status, 0);
        const auto data = ParseIniBytes(TempDir::Read(home.RegistryFile()));
        ASSERT_TRUE(data) << "round " << round;
        const auto* section = data->Find("Software\\Orvane\\Marqor\\Orvane");
        ASSERT_NE(section, nullptr);
        ASSERT_EQ(section->values->Get("Kept"), std::string(20000, 'k'));
        // The directory lock died with the writer: this process can still write.
        s->WriteInteger("Parent", round);
    }
    EXPECT_EQ(s->ReadInteger("Parent", -1), 39);
}

} // namespace
