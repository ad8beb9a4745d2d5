// Several programs, each with several threads, resolve texts, select languages and write the
// user settings at the same time. No value is lost, every text is the one of the thread's
// language, and (in the ThreadSanitizer build of scripts/tsan.sh) no data race is reported.
// MARQOR_STRESS_SCALE multiplies the rounds; the unit test runs a short version.

#include "../services/support.h"
#include "foundation/containers.h"
#include "foundation/settings.h"
#include "services/ini_file.h"
#include "services/settings_stores.h"
#include "texts/language.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace marqor;
using namespace marqor::testing_support;

namespace {

constexpr int Processes = 3;
constexpr int Threads = 4;
constexpr int Keys = 40;

int Scale() {
    const char* text = std::getenv("MARQOR_STRESS_SCALE");
    const int scale = text ? std::atoi(text) : 1;
    return scale > 0 ? scale : 1;
}

std::string Key(int k) {
    char key[16];
    std::snprintf(key, sizeof key, "K%d", k);
    return key;
}
std::string Expected(TBSLanguageId language, int k) {
    return (language == 2 ? "Deutsch " : "English ") + std::to_string(k);
}

// English and German, each with its own text for every key.
class TStressLanguage final : public TBSLanguage {
public:
    TBSLanguages AvailableLanguages() const override { return {2, LanguageEnglish}; }
    IBSStringListPtr LoadLanguageLines(TBSLanguageId language) override {
        std::vector<std::string> lines{"[Data.Stress]"};
        for (int k = 0; k < Keys; ++k)
            lines.push_back(Key(k) + "=" + Expected(language, k));
        lines.push_back("[Data.BS]");
        lines.push_back(language == 2 ? "ShortDayNames=So;Mo;Di;Mi;Do;Fr;Sa"
                                      : "ShortDayNames=Sun;Mon;Tue;Wed;Thu;Fri;Sat");
        return NewStringListFrom(lines);
    }
};

std::string ValueName(int process, int thread, int i) {
    char name[48];
    std::snprintf(name, sizeof name, "P%d_T%d_%d", process, thread, i);
    return name;
}

struct Counts {
    std::atomic<int> lookups{0}, wrongTexts{0}, selections{0}, writes{0}, failures{0};
};

// One thread: selects a language, checks texts of it, writes values of its own, round after
// round.
void Work(int process, int thread, int rounds, Counts& counts) {
    try {
        auto section = UserSettings()->GetSection("Stress");
        for (int round = 0; round < rounds; ++round) {
            const TBSLanguageId language = (round + thread) % 2 == 0 ? LanguageEnglish : 2;
            Language().SelectLanguage(language);
            ++counts.selections;
            for (int k = 0; k < Keys; ++k) {
                const int key = (k * 7 + round + thread) % Keys;
                const std::string text = LanguageText("#Stress." + Key(key));
                ++counts.lookups;
                if (text != Expected(language, key))
                    ++counts.wrongTexts;
            }
            Language().GetFormatSettings();
            section->WriteInteger(ValueName(process, thread, round), round);
            ++counts.writes;
            section->ReadInteger(ValueName(process, (thread + 1) % Threads, round), 0);
        }
    } catch (...) {
        ++counts.failures;
    }
}

// The threads of one program; answers 0 when every text was right and nothing failed.
int RunProgram(int process, int rounds, Counts& counts) {
    RegisterLanguageClass<TStressLanguage>();
    SetUserSettings(OpenRegistrySettings("Software\\Orvane\\Marqor"));
    std::vector<std::thread> threads;
    for (int t = 0; t < Threads; ++t)
        threads.emplace_back(Work, process, t, rounds, std::ref(counts));
    for (auto& t : threads)
        t.join();
    return counts.wrongTexts == 0 && counts.failures == 0 ? 0 : 1;
}

TEST(Stress, ProgramsAndThreadsResolvingSelectingAndWritingAtOnceLoseNothing) {
    std::optional<ScopedEnv> inMemory; // the locking counts here, not the disk
    if (std::filesystem::is_directory("/dev/shm") && access("/dev/shm", W_OK) == 0)
        inMemory.emplace("TMPDIR", "/dev/shm");
    ConfigHome home;
    OpenRegistrySettings("Software\\Orvane\\Marqor")->GetSection("Stress")->WriteInteger("Start",
                                                                                        1);
    const int rounds = 25 * Scale();

    // The other programs start first, while this one has a single thread.
    std::vector<pid_t> children;
    for (int p = 1; p < Processes; ++p) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            Counts counts;
            _exit(RunProgram(p, rounds, counts));
        }
        children.push_back(pid);
    }
    Counts counts;
    EXPECT_EQ(RunProgram(0, rounds, counts), 0);
    for (const pid_t pid : children) {
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    }
    EXPECT_EQ(counts.wrongTexts, 0);
    EXPECT_EQ(counts.failures, 0);
    EXPECT_EQ(counts.lookups, Threads * rounds * Keys);

    const auto data = ParseIniBytes(TempDir::Read(home.RegistryFile()));
    ASSERT_TRUE(data);
    const auto* section = data->Find("Software\\Orvane\\Marqor\\Stress");
    ASSERT_NE(section, nullptr);
    int lost = 0;
    for (int p = 0; p < Processes; ++p)
        for (int t = 0; t < Threads; ++t)
            for (int i = 0; i < rounds; ++i) {
                const auto* v = section->values->Find(ValueName(p, t, i));
                if (!v || *v != std::to_string(i))
                    ++lost;
            }
    EXPECT_EQ(lost, 0);
    EXPECT_EQ(section->values->Count(), Processes * Threads * rounds + 1);
    std::printf("%d programs x %d threads x %d rounds: %d lookups and %d writes per program, "
                "%d values lost\n",
                Processes, Threads, rounds, counts.lookups.load(), counts.writes.load(), lost);
}

} // namespace
