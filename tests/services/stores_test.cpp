#include "../foundation/fault_calls.h"
#include "foundation/errors.h"
#include "foundation/settings.h"
#include "services/ini_file.h"
#include "services/settings_stores.h"
#include "support.h"

#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace marqor;
using namespace marqor::testing_support;
using namespace std::string_literals;

namespace {

const std::string kEsc = "\xC2\x81"; // U+0081

struct StoreKind {
    const char* name;
    // Opens the store on the path; a second call must see what the first wrote once Save ran.
    IBSSettingsPtr (*open)(const std::string& path);
};

void PrintTo(const StoreKind& k, std::ostream* os) {
    *os << k.name;
}

IBSSettingsPtr OpenIniFile(const std::string& path) {
    return OpenIniSettings(NewFile(path), false);
}
IBSSettingsPtr OpenEncrypted(const std::string& path) {
    return OpenEncryptableSettings(NewFile(path), "Orvane");
}
IBSSettingsPtr OpenRegistry(const std::string&) {
    return OpenRegistrySettings("Software\\Orvane\\Marqor");
}

class RealStore : public testing::TestWithParam<StoreKind> {
protected:
    ConfigHome home;
    std::string path = home.Dir() / "store.ini";
};

// Every typed value written to a real store reads back the same from a fresh object on the same
// file: the text forms survive the trip through the file.
TEST_P(RealStore, TypedValuesReadBackFromAFreshObject) {
    const auto moment = *EncodeDateTime(2010, 3, 1, 14, 30, 0, 123);
    {
        auto settings = GetParam().open(path);
        auto s = settings->GetSection("Typed");
        s->WriteBool("Bool", true);
        s->WriteInteger("Int", -2147483647 - 1);
        s->WriteFloat("Float", 1.5);
        s->WriteDateTime("When", moment);
        s->WriteString("Text", "two\r\nlines\tand " + kEsc + " escape=sign;[x]");
        auto lines = NewStringList();
        lines->Add(" first");
        lines->Add("second ");
        s->WriteStrings("Lines", *lines);
        s->WriteString("Map", "a=1\r\nb=2");
        s->WriteDirectory("Dir", NewDirectory("/srv/data").get(), true);
        s->WriteFile("File", NewFile("/srv/data/x.pdf").get());
        s->WriteFile("NoFile", nullptr);
        s->WriteRaw("Blanks", "  padded  ");
        settings->Save();
    }
    auto s = GetParam().open(path)->GetSection("typed"); // section names ignore letter case
    EXPECT_TRUE(s->ReadBool("bool", false));
    EXPECT_EQ(s->ReadRaw("Bool", ""), "T");
    EXPECT_EQ(s->ReadInteger("Int", 0), -2147483647 - 1);
    EXPECT_EQ(s->ReadRaw("Float", ""), "1.5");
    EXPECT_EQ(s->ReadFloat("Float", 0), 1.5);
    EXPECT_EQ(s->ReadRaw("When", ""), "20100301143000123");
    EXPECT_DOUBLE_EQ(s->ReadDateTime("When", 0), moment);
    EXPECT_EQ(s->ReadString("Text", ""), "two\r\nlines\tand " + kEsc + " escape=sign;[x]");
    EXPECT_EQ(s->ReadRaw("Text", ""), "two" + kEsc + "r" + kEsc + "nlines" + kEsc + "tand " + kEsc +
                                          kEsc + " escape=sign;[x]");
    EXPECT_EQ(s->ReadString("Lines", ""), "first\r\nsecond");
    EXPECT_EQ(s->ReadMap("Map")->Get("b"), "2");
    EXPECT_EQ(s->ReadRaw("Dir", ""), "/srv/data/");
    EXPECT_EQ(s->ReadDirectory("Dir", nullptr)->PathText(), "/srv/data");
    EXPECT_EQ(s->ReadFile("File", nullptr)->PathText(), "/srv/data/x.pdf");
    EXPECT_EQ(s->ReadFile("NoFile", NewFile("/default")), nullptr);
    EXPECT_EQ(s->ReadFile("Absent", NewFile("/default"))->PathText(), "/default");
    EXPECT_EQ(s->ReadRaw("Blanks", ""), "  padded  ");
}

TEST_P(RealStore, StoredTextThatFitsNoTypeGivesTheCallersDefault) {
    {
        auto settings = GetParam().open(path);
        auto s = settings->GetSection("Orvane");
        for (const char* name : {"Bool", "Int", "Float", "When", "Dir"})
            s->WriteRaw(name, "maybe");
        s->WriteRaw("Empty", "");
        s->WriteRaw("Huge", std::string(3'000'000, '9'));
        settings->Save();
    }
    auto s = GetParam().open(path)->GetSection("Orvane");
    EXPECT_TRUE(s->ReadBool("Bool", true));
    EXPECT_EQ(s->ReadInteger("Int", 42), 42);
    EXPECT_EQ(s->ReadInteger("Huge", 42), 42);
    EXPECT_EQ(s->ReadRaw("Huge", "").size(), 3'000'000u);
    EXPECT_EQ(s->ReadFloat("Float", 2.5), 2.5);
    EXPECT_EQ(s->ReadDateTime("When", 7), 7);
    EXPECT_EQ(s->ReadInteger("Empty", 42), 42);
    EXPECT_EQ(s->ReadString("Empty", "x"), "");
}

TEST_P(RealStore, AssignTextLeavesExactlyTheSectionsOfTheText) {
    auto settings = GetParam().open(path);
    settings->GetSection("X")->WriteInteger("a", 1);
    settings->GetSection("Y")->WriteInteger("b", 2);
    settings->AssignText("[Y]\r\nc=3\r\n\r\n[Z]\r\nd=4\r\n");
    settings->Save();
    const auto reopened = GetParam().open(path);
    EXPECT_EQ(reopened->AsText(), "[Y]\r\nc=3\r\n\r\n[Z]\r\nd=4\r\n");
    EXPECT_TRUE(reopened->GetSection("X")->IsEmpty());
}

TEST_P(RealStore, ValuesThatCannotBeStoredAsIniTextAreRefusedNamingTheFile) {
    auto settings = GetParam().open(path);
    auto s = settings->GetSection("Orvane");
    s->WriteRaw("Kept", "1");
    for (const auto& [name, value] : std::vector<std::pair<std::string, std::string>>{
             {"Broken", "line\r\nbreak"}, {"a=b", "x"}, {"[Head]", "x"}, {"", "x"}}) {
        try {
            s->WriteRaw(name, value);
            ADD_FAILURE() << "accepted " << name;
        } catch (const EFileError& e) {
            EXPECT_NE(std::string(e.what()).find(".ini"), std::string::npos) << e.what();
        }
    }
    EXPECT_EQ(s->ReadRaw("Kept", ""), "1");
}

INSTANTIATE_TEST_SUITE_P(Stores, RealStore,
                         testing::Values(StoreKind{"ini_file", OpenIniFile},
                                         StoreKind{"encrypted", OpenEncrypted},
                                         StoreKind{"registry", OpenRegistry}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------
// The registry file

TEST(RegistryStore, KeysAreSectionsOfOneFileInTheUsersConfigurationHome) {
    ConfigHome home;
    EXPECT_EQ(RegistryFileName(), home.RegistryFile());
    OpenRegistrySettings("Software\\Orvane\\Marqor")
        ->GetSection("Orvane")
        ->WriteInteger("ActiveLanguage", 4);
    WriteRegistryValue("Software\\Orvane", "DEBUG", "1");
    const std::string text = TempDir::Read(home.RegistryFile());
    EXPECT_EQ(text, "[Software\\Orvane\\Marqor\\Orvane]\r\nActiveLanguage=4\r\n\r\n"
                    "[Software\\Orvane]\r\nDEBUG=1\r\n");
    EXPECT_TRUE(ReadRegistryFlag("\\Software\\Orvane\\", "debug"));
    EXPECT_FALSE(ReadRegistryFlag("Software\\Orvane", "ORVANE"));
    EXPECT_EQ(std::filesystem::status(home.RegistryFile()).permissions() &
                  std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

TEST(RegistryStore, ARelativeConfigurationHomeIsIgnored) {
    ScopedEnv relative("XDG_CONFIG_HOME", "relative/dir");
    ScopedEnv home("HOME", "/home/someone");
    EXPECT_EQ(RegistryFileName(), "/home/someone/.config/Orvane/registry.ini");
}

TEST(RegistryStore, SectionsAreTheSubkeysOfTheKeyAndErasingOneErasesItsSubkeys) {
    ConfigHome home;
    auto product = OpenRegistrySettings("Software\\Orvane\\Marqor");
    product->GetSection("Orvane")->WriteInteger("a", 1);
    product->GetSection("Project\\Deep")->WriteInteger("b", 2);
    WriteRegistryValue("Software\\Orvane\\Marqor", "ProjectName", "P");
    OpenRegistrySettings("Software\\Other")->GetSection("Orvane")->WriteInteger("c", 3);

    EXPECT_EQ(product->SectionNames()->Join(","), "Orvane,Project");
    EXPECT_FALSE(product->GetSection("Project")->IsEmpty());
    product->GetSection("project")->Clear();
    EXPECT_EQ(product->SectionNames()->Join(","), "Orvane");
    EXPECT_EQ(ReadRegistryValue("Software\\Orvane\\Marqor", "ProjectName"), "P");
    EXPECT_EQ(OpenRegistrySettings("Software\\Other")->GetSection("Orvane")->ReadInteger("c", 0),
              3);
}

TEST(RegistryStore, MissingValuesComeFromTheDefaultsProviderAndGetValuesListsThemAfter) {
    ConfigHome home;
    auto configuration = NewMemorySettings();
    configuration->AssignText("[Orvane]\r\nPreset=from config\r\nShared=config\r\n");
    auto user = OpenRegistrySettings("Software\\Orvane\\Marqor", configuration);
    auto s = user->GetSection("Orvane");
    s->WriteString("Shared", "user");
    EXPECT_EQ(s->ReadString("Preset", "default"), "from config");
    EXPECT_EQ(s->ReadString("Shared", "default"), "user");
    EXPECT_EQ(s->ReadString("Neither", "default"), "default");
    EXPECT_EQ(s->GetValues()->AsLines(), "Shared=user\r\nPreset=from config\r\n");
}

TEST(RegistryStore, AFailedWriteRaisesNamingTheFileAndKeepsTheOldContent) {
    ConfigHome home;
    auto s = OpenRegistrySettings("Software\\Orvane\\Marqor")->GetSection("Orvane");
    s->WriteInteger("Kept", 1);
    const std::string before = TempDir::Read(home.RegistryFile());
    auto faulty = std::make_shared<FaultyCalls>();
    faulty->spaceLeft = 3;
    {
        CallsGuard guard(faulty);
        try {
            s->WriteInteger("New", 2);
            ADD_FAILURE() << "no error";
        } catch (const EFileError& e) {
            const std::string message = e.what();
            EXPECT_NE(message.find(home.RegistryFile()), std::string::npos) << message;
            EXPECT_NE(message.find("No space left"), std::string::npos) << message;
        }
    }
    EXPECT_EQ(TempDir::Read(home.RegistryFile()), before);
    EXPECT_EQ(s->ReadInteger("New", 0), 0);
    EXPECT_EQ(s->ReadInteger("Kept", 0), 1);
}

TEST(RegistryStore, WritingAnUnchangedValueLeavesTheFileAlone) {
    ConfigHome home;
    auto s = OpenRegistrySettings("Software\\Orvane\\Marqor")->GetSection("Orvane");
    s->WriteInteger("Same", 5);
    struct stat before {};
    stat(home.RegistryFile().c_str(), &before);
    s->WriteInteger("Same", 5);
    struct stat after {};
    stat(home.RegistryFile().c_str(), &after);
    EXPECT_EQ(before.st_ino, after.st_ino);
}

// ---------------------------------------------------------------------------------------------
// Damaged files

struct Damage {
    const char* name;
    std::string bytes; // empty: a directory in place of the file
};

void PrintTo(const Damage& d, std::ostream* os) {
    *os << d.name;
}

class DamagedRegistryFile : public testing::TestWithParam<Damage> {};

// The damaged file is kept whole beside the new one, the log says so once, typed reads give
// their defaults and the next write starts a clean file.
TEST_P(DamagedRegistryFile, IsKeptAsideAndTheStoreStartsWithDefaults) {
    ConfigHome home;
    const std::string file = home.RegistryFile();
    if (GetParam().bytes.empty())
        std::filesystem::create_directories(file + "/inside");
    else
        home.Dir().Write("Orvane/registry.ini", GetParam().bytes);

    LogCapture log;
    auto s = OpenRegistrySettings("Software\\Orvane\\Marqor")->GetSection("Orvane");
    EXPECT_EQ(s->ReadInteger("ActiveLanguage", 77), 77);
    EXPECT_EQ(s->ReadString("x", "default"), "default");
    EXPECT_TRUE(s->IsEmpty());
    s->WriteInteger("ActiveLanguage", 4);
    EXPECT_EQ(s->ReadInteger("ActiveLanguage", 0), 4);

    const auto lines = log.Lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find(file), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find(".corrupt-"), std::string::npos) << lines[0];

    std::vector<std::string> aside;
    for (const auto& e : std::filesystem::directory_iterator(home.Dir() / "Orvane"))
        if (e.path().filename().string().starts_with("registry.ini.corrupt-"))
            aside.push_back(e.path().string());
    ASSERT_EQ(aside.size(), 1u);
    if (GetParam().bytes.empty())
        EXPECT_TRUE(std::filesystem::is_directory(aside[0] + "/inside"));
    else
        EXPECT_EQ(TempDir::Read(aside[0]), GetParam().bytes);
    EXPECT_TRUE(ParseIniBytes(TempDir::Read(file)).has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, DamagedRegistryFile,
    testing::Values(Damage{"binary", std::string("\x7f"
                                                 "ELF\0\0\x01\x02[a]\nb=c",
                                                 16)},
                    Damage{"missing_bracket", "[Software\\Orvane\\Marqor\\Orvane\r\nx=1\r\n"},
                    Damage{"not_ini", "This is a letter, not settings.\nRegards\n"},
                    Damage{"values_before_any_section", "x=1\r\n[Orvane]\r\ny=2\r\n"},
                    Damage{"directory", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IniText, DuplicateSectionsAreReadAsOneAndTheFirstValueOfANameCounts) {
    const auto data = ParseIniText("[A]\r\nx=1\r\n[B]\r\ny=2\r\n[a]\r\nx=3\r\nz=4\r\n");
    ASSERT_TRUE(data);
    ASSERT_EQ(data->Sections().size(), 2u);
    EXPECT_EQ(data->Find("A")->values->AsLines(), "x=1\r\nz=4\r\n");
}

TEST(IniText, CommentsBlanksAndAnyLineEndAreAccepted) {
    const auto data = ParseIniText("; comment\n\n  [ A ]  \rx = 1 \r\n# also\r\n\t y=\r\n");
    ASSERT_TRUE(data);
    EXPECT_EQ(data->Find("A")->values->AsLines(), "x= 1 \r\ny=\r\n");
    EXPECT_FALSE(ParseIniText("[A]\r\n=no name\r\n"));
    EXPECT_FALSE(ParseIniText("[A]\r\nx=1\0\r\n"s));
}

TEST(IniFileStore, AFileThatIsADirectoryIsIgnoredByReadOnlyLoads) {
    ConfigHome home;
    std::filesystem::create_directories(home.Dir() / "config.ini");
    LogCapture log;
    auto settings = OpenIniSettings(NewFile(home.Dir() / "config.ini"), true);
    EXPECT_EQ(settings->GetSection("Orvane")->ReadInteger("x", 9), 9);
    EXPECT_EQ(log.Lines().size(), 1u);
    EXPECT_TRUE(std::filesystem::is_directory(home.Dir() / "config.ini"));
}

// ---------------------------------------------------------------------------------------------
// Encrypted files

TEST(EncryptedStore, TheFileHoldsBase64AndDecryptsToTheIniText) {
    ConfigHome home;
    const std::string path = home.Dir() / "project.ini";
    auto settings = OpenEncryptableSettings(NewFile(path), "Orvane");
    settings->GetSection("Orvane")->WriteString("ProjectName", "Club Meet");
    EXPECT_FALSE(std::filesystem::exists(path)); // written by Save only
    settings->Save();
    const std::string bytes = TempDir::Read(path);
    EXPECT_EQ(bytes.find('['), std::string::npos);
    EXPECT_EQ(bytes.find_first_not_of(
                  "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/="),
              std::string::npos);
    EXPECT_EQ(DecryptSettingsText(bytes), "[Orvane]\r\nProjectName=Club Meet\r\n");
    EXPECT_EQ(DecryptSettingsText(EncryptSettingsText("[A]\r\nb=ä\r\n")), "[A]\r\nb=ä\r\n");
}

TEST(EncryptedStore, APlainFileWithTheSectionIsAnIniFileStoreWrittenAtOnce) {
    ConfigHome home;
    const std::string path = home.Dir().Write("plain.ini", "[Orvane]\r\nProjectName=Open\r\n");
    auto settings = OpenEncryptableSettings(NewFile(path), "Orvane");
    settings->GetSection("Orvane")->WriteInteger("Added", 1);
    EXPECT_EQ(TempDir::Read(path), "[Orvane]\r\nProjectName=Open\r\nAdded=1\r\n");
    EXPECT_EQ(settings->GetFile()->PathText(), path);
}

TEST(EncryptedStore, SaveOfUnchangedSettingsLeavesBytesAndTimeStamp) {
    ConfigHome home;
    const std::string path = home.Dir() / "project.ini";
    {
        auto settings = OpenEncryptableSettings(NewFile(path), "Orvane");
        settings->GetSection("Orvane")->WriteInteger("x", 1);
        settings->Save();
    }
    const timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), old, 0), 0);
    const std::string bytes = TempDir::Read(path);

    auto settings = OpenEncryptableSettings(NewFile(path), "Orvane");
    settings->GetSection("Orvane")->WriteInteger("x", 1); // the same value again
    settings->Save();
    struct stat st {};
    stat(path.c_str(), &st);
    EXPECT_EQ(st.st_mtim.tv_sec, 1000000000);
    EXPECT_EQ(TempDir::Read(path), bytes);

    settings->GetSection("Orvane")->WriteInteger("x", 2);
    settings->Save();
    stat(path.c_str(), &st);
    EXPECT_NE(st.st_mtim.tv_sec, 1000000000);
    EXPECT_EQ(
        OpenEncryptableSettings(NewFile(path), "Orvane")->GetSection("Orvane")->ReadInteger("x", 0),
        2);
}

// A file of another pass phrase (or no encryption at all) gives defaults, is never written over
// unasked, and is kept aside when changed settings are saved.
TEST(EncryptedStore, AFileThatDoesNotDecryptGivesDefaultsAndIsNotLost) {
    ConfigHome home;
    for (const std::string& foreign :
         {std::string("U2FsdGVkX1+vupppZksvRf5pq5g5XjFRlipRkwB0K1Y96Qsv2Lm+31cmzaAILwyt"),
          std::string("not base64 at all: ###"), std::string("[Other]\r\nx=1\r\n")}) {
        const std::string path = home.Dir().Write("foreign.ini", foreign);
        LogCapture log;
        auto settings = OpenEncryptableSettings(NewFile(path), "Orvane");
        EXPECT_EQ(settings->GetSection("Orvane")->ReadInteger("x", 5), 5);
        EXPECT_EQ(log.Lines().size(), 1u);
        settings->Save();
        EXPECT_EQ(TempDir::Read(path), foreign);

        settings->GetSection("Orvane")->WriteInteger("x", 6);
        settings->Save();
        EXPECT_EQ(DecryptSettingsText(TempDir::Read(path)), "[Orvane]\r\nx=6\r\n");
        int kept = 0;
        for (const auto& e : std::filesystem::directory_iterator(home.Dir().Path()))
            if (e.path().filename().string().starts_with("foreign.ini.corrupt-")) {
                EXPECT_EQ(TempDir::Read(e.path().string()), foreign);
                std::filesystem::remove(e.path());
                ++kept;
            }
        EXPECT_EQ(kept, 1);
    }
}

TEST(EncryptedStore, AFileThatCannotBeReadRaises) {
    ConfigHome home;
    std::filesystem::create_directories(home.Dir() / "dir.ini");
    EXPECT_THROW(OpenEncryptableSettings(NewFile(home.Dir() / "dir.ini"), "Orvane"), EFileError);
}

TEST(Stores, WithoutAFileSettingsLiveInMemory) {
    auto settings = OpenIniSettings(nullptr, false);
    settings->GetSection("A")->WriteInteger("x", 1);
    EXPECT_EQ(settings->AsText(), "[A]\r\nx=1\r\n");
    EXPECT_EQ(settings->GetFile(), nullptr);
}

} // namespace

namespace {

TEST(Stores, OneSectionAsTextKeepsTheStoredSpellingAndIsEmptyForAnEmptySection) {
    auto settings = NewMemorySettings();
    settings->AssignText("[Orvane]\r\nActiveLanguage=4\r\n\r\n[Other]\r\nx=1\r\n");
    EXPECT_EQ(SectionAsText(*settings, "ORVANE"), "[Orvane]\r\nActiveLanguage=4\r\n");
    EXPECT_EQ(SectionAsText(*settings, "Missing"), "");
}

} // namespace
