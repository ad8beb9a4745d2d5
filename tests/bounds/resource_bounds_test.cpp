// Inputs at the size limits: a point table text of 16 MiB, a settings file of 100 MB, language
// data with a million keys and XML nested a million levels deep. Each loads within its limit
// or is refused with a message that says why, in bounded time and memory. Every case runs in a
// child process of its own, so that its time and peak memory are its own; the inputs are made
// here and never stored.

#include "../services/support.h"
#include "foundation/containers.h"
#include "foundation/errors.h"
#include "foundation/files.h"
#include "foundation/xml.h"
#include "points/point_table.h"
#include "points/table_files.h"
#include "reports/document_settings.h"
#include "services/ini_file.h"
#include "services/settings_stores.h"
#include "texts/kvr_language.h"
#include "texts/language.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace marqor;
using namespace marqor::testing_support;

namespace {

// Sanitizer builds are several times slower and keep freed memory in quarantine.
#if defined(__SANITIZE_ADDRESS__)
constexpr double Slowdown = 6;
#else
constexpr double Slowdown = 1;
#endif

struct Measured {
    double seconds = 0;
    long peakMiB = 0;
    bool passed = false;
};

// Runs the case in a child; it answers whether everything it checked held, printing what did
// not.
Measured InChild(const char* name, const std::function<bool()>& body) {
    std::fflush(stdout);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        bool ok = false;
        try {
            ok = body();
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s: escaped: %s\n", name, e.what());
        }
        std::fflush(stderr);
        _exit(ok ? 0 : 1);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    Measured m;
    m.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    m.peakMiB = usage.ru_maxrss / 1024;
    m.passed = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    std::printf("%-34s %7.2f s  peak %5ld MiB  %s\n", name, m.seconds, m.peakMiB,
                m.passed ? "ok" : "FAILED");
    testing::Test::RecordProperty(std::string(name) + "_seconds", std::to_string(m.seconds));
    testing::Test::RecordProperty(std::string(name) + "_peak_mib", std::to_string(m.peakMiB));
    return m;
}

bool Check(bool condition, const std::string& what) {
    if (!condition)
        std::fprintf(stderr, "not so: %s\n", what.c_str());
    return condition;
}

bool Contains(const std::string& text, std::string_view part) {
    return Check(text.find(part) != std::string::npos, "\"" + text + "\" holds \"" +
                                                          std::string(part) + "\"");
}

// A table of real rows, as many groups as allowed and then rows of one group, of exactly
// `size` bytes.
std::string TableText(std::size_t size) {
    std::string text = "Id=7001\nName=Huge\nFormula=CUBED_FINA\n<BASETIMES>\n"
                       "AGEMIN;AGEMAX;COURSE;GENDER;RELAYCOUNT;DISTANCE;STROKE;MINTIME\n";
    text.reserve(size + 64);
    for (std::size_t i = 0; text.size() < size; ++i) {
        const std::size_t age = i < MaxPointTableGroups ? i : 7;
        text += std::to_string(age) + ";" + std::to_string(age) + ";LCM;M;1;" +
                std::to_string(50 + i % 8 * 50) + ";FREE;" + std::to_string(20 + i % 60) +
                ".50\n";
    }
    text.resize(size, '\n');
    return text;
}

TEST(ResourceBounds, APointTableTextOfSixteenMebibytesLoadsAndOneByteMoreIsRefused) {
    RegisterLanguageClass<TLanguageKavrin>(); // rows of event ids name their events
    const auto loaded = InChild("point table, 16 MiB", [] {
        const auto table = NewPointTableFromText(TableText(MaxPointTableTextSize), "huge.txt");
        return Check(table->Id() == 7001, "the table loads") &&
               Check(table->Groups().size() == MaxPointTableGroups, "every group is there");
    });
    EXPECT_TRUE(loaded.passed);
    EXPECT_LT(loaded.seconds, 10 * Slowdown);
    EXPECT_LT(loaded.peakMiB, 1024);

    const auto refused = InChild("point table, 16 MiB + 1", [] {
        try {
            NewPointTableFromText(TableText(MaxPointTableTextSize + 1), "huge.txt");
            return Check(false, "refused");
        } catch (const EPointTableError& e) {
            return Contains(e.what(), "huge.txt") && Contains(e.what(), "16 MiB");
        }
    });
    EXPECT_TRUE(refused.passed);
    EXPECT_LT(refused.seconds, 5 * Slowdown);

    // A table file of that size is refused before it is read.
    TempDir dir;
    const std::string file = dir / "huge.txt";
    std::filesystem::resize_file(dir.Write("huge.txt", ""), 100u << 20);
    const auto fromFile = InChild("point table file, 100 MB", [&] {
        try {
            ReadTableFileBytes(file);
            return Check(false, "refused");
        } catch (const EPointTableError& e) {
            return Contains(e.what(), "huge.txt");
        }
    });
    EXPECT_TRUE(fromFile.passed);
    EXPECT_LT(fromFile.peakMiB, 256);
}

// 100 MB of valid INI lines.
void WriteHugeSettings(const std::string& path) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary);
    const std::string section = "[Software\\Orvane\\Marqor\\Orvane]\r\n";
    out << section;
    std::string block;
    for (int i = 0; i < 10000; ++i)
        block += "Value" + std::to_string(i) + "=some text of a settings value\r\n";
    for (std::size_t written = section.size(); written < 100'000'000; written += block.size())
        out << block;
}

TEST(ResourceBounds, ASettingsFileOfAHundredMegabytesIsRefusedWithAMessage) {
    std::optional<ScopedEnv> inMemory;
    if (std::filesystem::is_directory("/dev/shm") && access("/dev/shm", W_OK) == 0)
        inMemory.emplace("TMPDIR", "/dev/shm");
    ConfigHome home;
    WriteHugeSettings(home.RegistryFile());
    ASSERT_GT(std::filesystem::file_size(home.RegistryFile()), MaxSettingsFileSize);

    // The user settings: defaults, the file kept aside, one line in the log.
    const auto user = InChild("user settings, 100 MB", [&] {
        LogCapture log;
        const auto s = OpenRegistrySettings("Software\\Orvane\\Marqor")->GetSection("Orvane");
        bool ok = Check(s->ReadString("Value1", "default") == "default", "defaults are used");
        s->WriteInteger("After", 1);
        ok = Check(s->ReadInteger("After", 0) == 1, "new values are kept") && ok;
        const auto lines = log.Lines();
        ok = Check(lines.size() == 1, "one log line") && ok;
        return ok && Contains(lines.front(), "File too large") &&
               Contains(lines.front(), home.RegistryFile()) && Contains(lines.front(), "kept as");
    });
    EXPECT_TRUE(user.passed);
    EXPECT_LT(user.seconds, 5 * Slowdown);
    EXPECT_LT(user.peakMiB, 256) << "the file is refused before it is read";
    bool keptAside = false;
    for (const auto& entry : std::filesystem::directory_iterator(home.Dir() / "Orvane"))
        keptAside = keptAside || (entry.path().filename().string().find(".corrupt-") !=
                                      std::string::npos &&
                                  entry.file_size() > MaxSettingsFileSize);
    EXPECT_TRUE(keptAside);

    // A configuration file that large raises an error naming it.
    const std::string config = home.Dir() / "marqor.ini";
    WriteHugeSettings(config);
    const auto app = InChild("configuration file, 100 MB", [&] {
        try {
            OpenEncryptableSettings(NewFile(config), "Orvane");
            return Check(false, "refused");
        } catch (const EFileError& e) {
            return Contains(e.what(), config) && Contains(e.what(), "too large");
        }
    });
    EXPECT_TRUE(app.passed);
    EXPECT_LT(app.peakMiB, 256);
}

// English only, with the lines the test gives.
class TBigLanguage final : public TBSLanguage {
public:
    explicit TBigLanguage(IBSStringListPtr lines) : lines_(std::move(lines)) {}
    TBSLanguages AvailableLanguages() const override { return {LanguageEnglish}; }
    IBSStringListPtr LoadLanguageLines(TBSLanguageId) override { return lines_; }

private:
    IBSStringListPtr lines_;
};

TEST(ResourceBounds, LanguageDataWithAMillionKeysLoads) {
    const auto m = InChild("language data, 1,000,000 keys", [] {
        std::vector<std::string> lines{"[Data.Big]"};
        lines.reserve(1'000'001);
        char line[48];
        for (int k = 0; k < 1'000'000; ++k) {
            std::snprintf(line, sizeof line, "K%d=Text_number_%d", k, k);
            lines.emplace_back(line);
        }
        TBigLanguage language(NewStringListFrom(lines));
        return Check(language.Text("#Big.K999999") == "Text number 999999", "the last key") &&
               Check(language.Text("#Big.K0") == "Text number 0", "the first key") &&
               Check(language.Text("#Big.K1000000") == "#Big.K1000000", "no such key");
    });
    EXPECT_TRUE(m.passed);
    EXPECT_LT(m.seconds, 15 * Slowdown);
    EXPECT_LT(m.peakMiB, 1536);
}

TEST(ResourceBounds, XmlNestedAMillionLevelsDeepIsRefusedWithoutExhaustingTheStack) {
    std::string deep;
    deep.reserve(7'000'000);
    for (int i = 0; i < 1'000'000; ++i)
        deep += "<a>";
    for (int i = 0; i < 1'000'000; ++i)
        deep += "</a>";
    const auto text = InChild("XML text, 1,000,000 levels", [&] {
        return Check(LoadXmlFromText(deep) == nullptr, "refused") &&
               Check(LoadXmlFromText(deep.substr(0, 3'000'000)) == nullptr, "unclosed, refused");
    });
    EXPECT_TRUE(text.passed);
    EXPECT_LT(text.seconds, 10 * Slowdown);
    EXPECT_LT(text.peakMiB, 1024);

    TempDir dir;
    const std::string file = dir.Write("deep.xml", "<KAVRIN><DOCUMENTSETTING>" + deep +
                                                       "</DOCUMENTSETTING></KAVRIN>");
    const auto import = InChild("document settings import, 1,000,000 levels", [&] {
        try {
            ImportDocumentSettings(file);
            return Check(false, "refused");
        } catch (const EBSSwDocumentSettingsImport& e) {
            return Contains(e.what(), "Error when loading file!") && Contains(e.what(), file);
        }
    });
    EXPECT_TRUE(import.passed);
    EXPECT_LT(import.seconds, 10 * Slowdown);
}

} // namespace
