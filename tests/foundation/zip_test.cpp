#include "foundation/errors.h"
#include "foundation/zip.h"
#include "temp_dir.h"

#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <zip.h>

using namespace marqor;
using marqor::testing_support::TempDir;
using testing::HasSubstr;

namespace {

// Builds an archive with libzip itself, so that names and flags can be what no writer of ours
// would produce.
void MakeArchive(const std::string& path,
                 const std::vector<std::pair<std::string, std::string>>& entries,
                 const char* password = nullptr) {
    int error = 0;
    zip_t* z = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(z, nullptr);
    for (const auto& [name, bytes] : entries) {
        if (name.ends_with('/')) {
            zip_dir_add(z, name.c_str(), 0);
            continue;
        }
        zip_source_t* s = zip_source_buffer(z, bytes.data(), bytes.size(), 0);
        const auto index = zip_file_add(z, name.c_str(), s, ZIP_FL_OVERWRITE);
        ASSERT_GE(index, 0);
        if (password) {
            ASSERT_EQ(zip_file_set_encryption(z, static_cast<zip_uint64_t>(index), ZIP_EM_AES_256,
                                              password),
                      0);
        }
    }
    ASSERT_EQ(zip_close(z), 0);
}

TEST(Zip, EntriesWrittenAreReadBackWhateverTheNameSeparatorAndCase) {
    TempDir dir;
    const auto archive = dir / "data.zip";
    OpenZipEntryWriter(archive, "texts\\First.txt", weUtf8Bom)->WriteLine("ä=1").Write("b=2");
    OpenZipEntryWriter(archive, "second.txt", weUtf8)->Write("2");
    auto r = OpenZipEntryReader(archive, "TEXTS/first.TXT");
    EXPECT_EQ(r->AsStringMap()->Get("ä"), "1");
    // Writing an entry again replaces it.
    OpenZipEntryWriter(archive, "second.txt", weUtf8)->Write("two");
    auto zip = OpenZipFile(NewFile(archive));
    ASSERT_EQ(zip->EntryCount(), 2);
    EXPECT_EQ(zip->EntryName(0), "texts/First.txt");
    EXPECT_EQ(zip->EntryName(2), "");
    EXPECT_EQ(zip->OpenEntryReader("second.txt")->AsText(), "two");
    EXPECT_EQ(NewFile(archive)->ReadLines()->Items(), (std::vector<std::string>{"ä=1", "b=2"}));
}

TEST(Zip, DirectoriesAreNoEntriesAndAnEmptyArchiveHasNoLines) {
    TempDir dir;
    MakeArchive(dir / "d.zip", {{"folder/", ""}, {"folder/a.txt", "a"}});
    auto zip = OpenZipFile(NewFile(dir / "d.zip"));
    EXPECT_EQ(zip->EntryCount(), 1);
    EXPECT_EQ(zip->EntryName(0), "folder/a.txt");
    // The end-of-directory record alone: a valid archive without entries.
    const auto empty = dir.Write("empty.zip", std::string("PK\x05\x06", 4) + std::string(18, '\0'));
    EXPECT_EQ(NewFile(empty)->ReadLines()->Count(), 0);
}

TEST(Zip, EntryNamesThatClimbOutAreReadIntoMemoryOnlyAndRefusedForWriting) {
    TempDir dir;
    const auto inner = dir / "inner";
    std::filesystem::create_directory(inner);
    MakeArchive(inner + "/evil.zip", {{"../escaped.txt", "x"}, {"/abs.txt", "y"}});
    auto zip = OpenZipFile(NewFile(inner + "/evil.zip"));
    EXPECT_EQ(zip->EntryName(0), "../escaped.txt");
    EXPECT_EQ(zip->OpenEntryReader("../escaped.txt")->AsText(), "x");
    EXPECT_FALSE(std::filesystem::exists(dir / "escaped.txt"));
    for (const char* name : {"../x.txt", "a/../../x.txt", "/etc/x", "C:\\x", ""})
        EXPECT_THROW(OpenZipEntryWriter(inner + "/evil.zip", name, weUtf8), EZipError) << name;
}

TEST(Zip, DamagedMissingAndEncryptedArchivesRaiseClearErrors) {
    TempDir dir;
    MakeArchive(dir / "good.zip", {{"a.txt", std::string(100'000, 'a') + "tail"}});
    const std::string good = TempDir::Read(dir / "good.zip");
    dir.Write("cut.zip", good.substr(0, good.size() / 2));
    std::string flipped = good;
    for (std::size_t i = 60; i < 90; ++i)
        flipped[i] = static_cast<char>(flipped[i] ^ 0x5A);
    dir.Write("flipped.zip", flipped);
    dir.Write("noise.zip", "this is no archive at all");

    for (const char* name : {"cut.zip", "flipped.zip", "noise.zip", "missing.zip"}) {
        try {
            OpenZipEntryReader(dir / name, "a.txt")->AsText();
            ADD_FAILURE() << name << " read without error";
        } catch (const EZipError& e) {
            EXPECT_THAT(e.what(), HasSubstr(name));
        }
    }
    EXPECT_THROW(OpenZipEntryReader(dir / "good.zip", "b.txt"), EZipError);
    EXPECT_THROW(OpenZipFile(NewFile(dir / "noise.zip"))->EntryCount(), EZipError);

    if (!zip_encryption_method_supported(ZIP_EM_AES_256, 1))
        GTEST_SKIP() << "libzip without encryption";
    MakeArchive(dir / "secret.zip", {{"a.txt", "hidden"}}, "password");
    try {
        OpenZipEntryReader(dir / "secret.zip", "a.txt");
        FAIL();
    } catch (const EZipError& e) {
        EXPECT_THAT(e.what(), HasSubstr("encrypted"));
    }
}

} // namespace
