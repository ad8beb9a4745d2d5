#include "fault_calls.h"
#include "foundation/errors.h"
#include "foundation/files.h"
#include "temp_dir.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace marqor;
using marqor::testing_support::CallsGuard;
using marqor::testing_support::FaultyCalls;
using marqor::testing_support::TempDir;
using testing::HasSubstr;

namespace {

std::vector<std::string> Names(const IBSFileList& files, const std::string& root) {
    std::vector<std::string> out;
    for (const auto& f : files)
        out.push_back(f->PathText().substr(root.size() + 1));
    return out;
}

bool WaitFor(const std::string& path) {
    for (int i = 0; i < 500; ++i) {
        if (std::filesystem::exists(path))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

std::string Script(const TempDir& dir, const std::string& name, const std::string& body) {
    const auto path = dir.Write(name, "#!/bin/sh\n" + body);
    chmod(path.c_str(), 0755);
    return path;
}

std::vector<std::string> ExistingTemporaries(const TempDir& dir) {
    std::vector<std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
        if (e.path().filename().string().ends_with(".tmp"))
            out.push_back(e.path().filename().string());
    return out;
}

struct PathCase {
    const char* text;
    const char* base;
    const char* expected;
};

void PrintTo(const PathCase& c, std::ostream* os) {
    *os << c.text;
}

class Normalise : public testing::TestWithParam<PathCase> {};

TEST_P(Normalise, GivesTheFullPathWithForwardSlashes) {
    const auto& c = GetParam();
    auto base = NewDirectory(c.base);
    EXPECT_EQ(NewFile(c.text, base.get())->PathText(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Normalise,
    testing::Values(
        PathCase{"a|b.txt", "/x", "/x/ab.txt"}, PathCase{"C:\\x\\a|b.txt", "/y", "C:/x/ab.txt"},
        PathCase{"sub\\dir\\f.ini", "/x", "/x/sub/dir/f.ini"},
        PathCase{"\\\\server\\share\\f.txt", "/x", "/server/share/f.txt"},
        PathCase{"/a/./b//../c", "/x", "/a/c"}, PathCase{"../../../../etc/f", "/x/y", "/etc/f"},
        PathCase{"x?y:z*<>\".txt", "/x", "/x/xyz.txt"}, PathCase{"a:b.txt", "/x", "a:/b.txt"},
        PathCase{"d:\\..\\f", "/x", "d:/f"}, PathCase{"", "/x", ""}));

TEST(Path, RelativeTextsStartFromTheProgramDirectory) {
    const auto exe = ExecutableDirectory();
    EXPECT_EQ(NewFile("x.ini")->PathText(), exe->PathText() + "/x.ini");
    EXPECT_EQ(NewDirectory("/tmp/a/")->PathText(), "/tmp/a");
    EXPECT_EQ(NewDirectory("/")->PathText(), "/");
    EXPECT_EQ(NewDirectory("/")->DirectoryText(), "/");
    EXPECT_EQ(NewDirectory("/x")->FullUncName(), "/x/");
    EXPECT_EQ(NewFile("/x/y.txt")->DirectoryText(), "/x/");
    EXPECT_EQ(NewFile("/x/y.txt")->Directory()->PathText(), "/x");
}

TEST(Path, NamePartsAndKinds) {
    auto f = NewFile("/x/Report.Final.PDF");
    EXPECT_EQ(f->Name(), "Report.Final.PDF");
    EXPECT_EQ(f->BaseName(), "Report.Final");
    EXPECT_EQ(f->Extension(), ".PDF");
    EXPECT_EQ(f->Kind(), fkPdf);
    EXPECT_EQ(NewFile("/x/A.INI")->Kind(), fkIni);
    EXPECT_EQ(NewFile("/x/noext")->Kind(), fkNone);
    EXPECT_EQ(NewFile("/x/a.tar.gz")->Kind(), fkNone);
    EXPECT_EQ(FileKindExtension(fkZip), ".zip");
    EXPECT_EQ(FileKindOfExtension(".XML"), fkXml);
    EXPECT_EQ(NewFile("/x/prog.exe")->WithKind(fkIni)->PathText(), "/x/prog.ini");
    EXPECT_EQ(NewFile("/x/prog.exe")->WithKind(0)->PathText(), "/x/prog.exe");
    EXPECT_EQ(NewFile("/x/prog")->WithExtension("log")->PathText(), "/x/prog.log");
    EXPECT_EQ(NewFile("/x/prog.a")->WithExtension(".b")->PathText(), "/x/prog.b");
    EXPECT_EQ(NewFile("")->WithExtension(".b")->PathText(), "");
    EXPECT_TRUE(NewFile("/x/a.XML")->HasKind(fkXml));
    EXPECT_EQ(NewFile("/x/a.xml")->ImageIndex(), 3);
    EXPECT_EQ(NewFile("/x/a.zip")->ImageIndex(), 11);
    EXPECT_EQ(NewFile("/x/a.exe")->ImageIndex(), 8);
    EXPECT_TRUE(NewFile("/x/a.pdf")->IsDocumentKind());
    EXPECT_FALSE(NewFile("/x/a.exe")->IsDocumentKind());
    EXPECT_TRUE(NewFile("/x/a.png")->InKindGroup(fgImage));
}

TEST(Path, InsideSameAndRelative) {
    auto data = NewDirectory("/data");
    EXPECT_FALSE(NewFile("/data2/f.txt")->IsInside(*data));
    EXPECT_TRUE(NewFile("/data/f.txt")->IsInside(*data));
    EXPECT_TRUE(NewDirectory("/data")->IsInside(*data));
    EXPECT_TRUE(NewFile("/data/f.txt")->IsInside(*NewDirectory("/")));
    EXPECT_TRUE(NewFile("/a/b")->SameAs(*NewFile("/a/x/../b")));
    EXPECT_FALSE(NewFile("/a/B")->SameAs(*NewFile("/a/b")));
    auto f = NewFile("/a/b/c.txt");
    EXPECT_EQ(f->RelativeTo(NewDirectory("/a").get()), "b/c.txt");
    EXPECT_EQ(f->RelativeTo(NewDirectory("/a/d/e").get()), "../../b/c.txt");
    EXPECT_EQ(f->RelativeTo(nullptr), "/a/b/c.txt");
    EXPECT_EQ(NewFile("C:/a/b")->RelativeTo(NewDirectory("/a").get()), "C:/a/b");
    EXPECT_TRUE(NewFile("C:\\a")->IsLocalDrivePath());
    EXPECT_FALSE(NewFile("/a")->IsLocalDrivePath());
    auto base = NewDirectory("/base");
    EXPECT_EQ(base->RelativeDirectory(*NewDirectory("/p/q"), *NewDirectory("/p/r/s"))->PathText(),
              "/r/s");
    EXPECT_EQ(NewDirectory("/base/x")
                  ->RelativeDirectory(*NewDirectory("/p/q"), *NewDirectory("/p/r"))
                  ->PathText(),
              "/base/r");
}

TEST(Path, EmptyPathsExistNowhereAndWriteNothing) {
    auto f = NewFile("");
    EXPECT_TRUE(f->IsEmpty());
    EXPECT_FALSE(f->Exists());
    EXPECT_EQ(f->Size(), 0);
    EXPECT_EQ(f->ModifiedAt(), 0);
    EXPECT_EQ(f->OpenRead(), nullptr);
    EXPECT_NO_THROW(f->WriteAll("gone"));
    auto w = f->OpenWrite();
    w->Write("gone");
    EXPECT_EQ(w->Stream(), nullptr);
    EXPECT_FALSE(NewDirectory("")->Exists());
}

TEST(Path, AccessRightsChangeNothingOnThisPlatform) {
    auto rights = NewStringListFromText("read,write");
    auto f = NewFile("/tmp/x");
    EXPECT_FALSE(f->GrantAccess("@@EVERYONE@@", *rights, true));
    EXPECT_FALSE(f->RevokeAccess("someone", *rights, false));
    EXPECT_FALSE(f->SetAccess("someone", *rights, false));
}

TEST(File, NextFreeNameCountsOnFromTheTakenNames) {
    TempDir dir;
    dir.Write("report.pdf", "1");
    dir.Write("report-01.pdf", "2");
    EXPECT_EQ(NewFile(dir / "report.pdf")->NextFreeName()->PathText(), dir / "report-02.pdf");
    EXPECT_EQ(NewFile(dir / "other.pdf")->NextFreeName()->PathText(), dir / "other.pdf");
}

TEST(File, WritesReadsAndDescribesItself) {
    TempDir dir;
    auto f = NewFile(dir / "sub/deeper/settings.ini");
    f->WriteLines(*NewStringListFromText("a=1,b=2,=skipped,plain"));
    EXPECT_EQ(TempDir::Read(f->PathText()), "a=1\r\nb=2\r\n=skipped\r\nplain\r\n");
    EXPECT_EQ(f->ReadLines()->Count(), 4);
    auto map = f->ReadMap();
    EXPECT_EQ(map->Count(), 2);
    EXPECT_EQ(map->Get("b"), "2");
    EXPECT_TRUE(f->Exists());
    EXPECT_EQ(f->Size(), 27);
    EXPECT_FALSE(f->Directory()->CannotWrite());
    const TDateTime when = *TryEncodeDate(2021, 6, 1) + *TryEncodeTime(12, 30, 15, 250);
    f->SetModifiedAt(when);
    EXPECT_NEAR(f->ModifiedAt(), when, 1e-8);
    EXPECT_EQ(f->ModifiedDateText(), "01.06.2021");
    EXPECT_THROW(NewFile(dir / "missing.txt")->ReadLines(), EFileError);
}

TEST(File, DetectsArchivesAndPdfsByTheirFirstBytes) {
    TempDir dir;
    EXPECT_EQ(NewFile(dir.Write("a.bin", "PK\x03\x04rest"))->DetectedKind(), fkZip);
    EXPECT_EQ(NewFile(dir.Write("b.bin", "%PDF-1.4"))->DetectedKind(), fkPdf);
    EXPECT_EQ(NewFile(dir.Write("c.bin", "P"))->DetectedKind(), 0);
    EXPECT_EQ(NewFile(dir / "none.bin")->DetectedKind(), 0);
    EXPECT_EQ(NewFile(dir / "a.bin")->ReadHead(3), "PK\x03");
}

TEST(File, TryCreateNeverEmptiesAnExistingFile) {
    TempDir dir;
    const auto path = dir.Write("keep.txt", "precious");
    EXPECT_TRUE(NewFile(path)->TryCreate());
    EXPECT_EQ(TempDir::Read(path), "precious");
    EXPECT_TRUE(NewFile(dir / "new.txt")->TryCreate());
    EXPECT_FALSE(NewFile(dir / "new.txt")->Exists());
    EXPECT_FALSE(NewFile(dir / "no/such/dir/f.txt")->TryCreate());
}

TEST(File, AFileHeldByAWriterCannotBeWritten) {
    TempDir dir;
    auto f = NewFile(dir.Write("held.txt", "x"));
    EXPECT_FALSE(f->CannotWrite());
    auto w = f->OpenWrite(true);
    EXPECT_TRUE(f->CannotWrite());
    EXPECT_THROW(f->WriteAll("other"), EFileError);
    w->Close();
    EXPECT_FALSE(f->CannotWrite());
    EXPECT_TRUE(NewDirectory(dir / "missing")->CannotWrite());
}

TEST(File, WriteAllKeepsPermissionsAndWritesThroughLinks) {
    TempDir dir;
    const auto target = dir.Write("target.txt", "old");
    chmod(target.c_str(), 0640);
    std::filesystem::create_symlink(target, dir / "link.txt");
    NewFile(dir / "link.txt")->WriteAll("new");
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.txt"));
    EXPECT_EQ(TempDir::Read(target), "new");
    struct stat st {};
    stat(target.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

struct ReplaceFault {
    const char* name;
    void (*arm)(FaultyCalls&);
    const char* reason;
};

void PrintTo(const ReplaceFault& c, std::ostream* os) {
    *os << c.name;
}

class WriteAllFault : public testing::TestWithParam<ReplaceFault> {};

TEST_P(WriteAllFault, KeepsTheOldContentAndNamesPathAndReason) {
    TempDir dir;
    const auto path = dir.Write("data.ini", "old content");
    auto calls = std::make_shared<FaultyCalls>();
    GetParam().arm(*calls);
    CallsGuard guard(calls);
    try {
        NewFile(path)->WriteAll(std::string(200'000, 'n'));
        FAIL() << "no error";
    } catch (const EFileError& e) {
        EXPECT_THAT(e.what(), HasSubstr("data.ini"));
        EXPECT_THAT(e.what(), HasSubstr(GetParam().reason));
    }
    EXPECT_EQ(TempDir::Read(path), "old content");
    EXPECT_THAT(ExistingTemporaries(dir), testing::IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WriteAllFault,
    testing::Values(ReplaceFault{"FullDisk", [](FaultyCalls& c) { c.spaceLeft = 1000; },
                                 "No space left"},
                    ReplaceFault{"RefusedOpen", [](FaultyCalls& c) { c.openError = EACCES; },
                                 "Permission denied"},
                    ReplaceFault{"FailedFlush", [](FaultyCalls& c) { c.fsyncError = EIO; },
                                 "Input/output error"},
                    ReplaceFault{"FailedRename", [](FaultyCalls& c) { c.renameError = EXDEV; },
                                 "cross-device"}));

TEST(File, WriteAllCompletesShortWrites) {
    TempDir dir;
    auto calls = std::make_shared<FaultyCalls>();
    calls->chunk = 1000;
    CallsGuard guard(calls);
    NewFile(dir / "f.txt")->WriteAll(std::string(100'000, 'q'));
    EXPECT_EQ(TempDir::Read(dir / "f.txt"), std::string(100'000, 'q'));
    EXPECT_GE(calls->writes, 100);
}

TEST(File, WriteAllIntoADirectoryOrBelowAFileRaises) {
    TempDir dir;
    dir.Write("plain", "x");
    EXPECT_THROW(NewFile(dir / "plain/f.txt")->WriteAll("y"), EFileError);
    std::filesystem::create_directory(dir / "folder");
    EXPECT_THROW(NewFile(dir / "folder")->WriteAll("y"), EFileError);
}

class Trash : public testing::Test {
protected:
    void SetUp() override {
        const char* old = std::getenv("XDG_DATA_HOME");
        saved_ = old ? std::optional<std::string>(old) : std::nullopt;
        setenv("XDG_DATA_HOME", (data_ / "share").c_str(), 1);
    }
    void TearDown() override {
        if (saved_)
            setenv("XDG_DATA_HOME", saved_->c_str(), 1);
        else
            unsetenv("XDG_DATA_HOME");
    }
    TempDir data_;
    std::optional<std::string> saved_;
};

TEST_F(Trash, DeleteToTheRecycleBinMovesIntoTheFreedesktopTrash) {
    TempDir dir;
    auto f = NewFile(dir.Write("my file.txt", "1"));
    EXPECT_TRUE(f->Delete(true));
    const std::string trash = data_ / "share/Trash";
    EXPECT_EQ(TempDir::Read(trash + "/files/my file.txt"), "1");
    const std::string info = TempDir::Read(trash + "/info/my file.txt.trashinfo");
    EXPECT_THAT(info, HasSubstr("[Trash Info]\nPath=" + dir.Path() + "/my%20file.txt\n"));
    EXPECT_THAT(info, HasSubstr("DeletionDate="));
    dir.Write("my file.txt", "2");
    EXPECT_TRUE(f->Delete(true));
    EXPECT_EQ(TempDir::Read(trash + "/files/my file.2.txt"), "2");
    auto folder = NewDirectory(dir / "folder");
    folder->File("inner.txt")->WriteAll("3");
    EXPECT_TRUE(folder->Delete(true));
    EXPECT_EQ(TempDir::Read(trash + "/files/folder/inner.txt"), "3");
}

TEST(File, DeleteAnswersWhetherThePathIsGone) {
    TempDir dir;
    auto f = NewFile(dir.Write("a.txt", "x"));
    EXPECT_TRUE(f->Delete());
    EXPECT_FALSE(f->Exists());
    EXPECT_TRUE(f->Delete());
    auto d = NewDirectory(dir / "tree");
    d->Subdirectory("a/b")->File("c.txt")->WriteAll("x");
    EXPECT_TRUE(d->Delete());
    EXPECT_FALSE(d->Exists());
    EXPECT_TRUE(NewDirectory(dir.Path())->Exists());
}

TEST(File, MoveAndCopyReplaceTheTarget) {
    TempDir dir;
    auto a = NewFile(dir.Write("a.txt", "A"));
    auto b = NewFile(dir.Write("b.txt", "B"));
    EXPECT_TRUE(a->CopyTo(*b));
    EXPECT_EQ(TempDir::Read(b->PathText()), "A");
    EXPECT_TRUE(a->MoveTo(*NewFile(dir / "c.txt")));
    EXPECT_FALSE(a->Exists());
    EXPECT_FALSE(a->MoveTo(*b));
}

TEST(Directory, ListsFilesMaskByMaskInNameOrder) {
    TempDir dir;
    for (const char* name : {"b.ini", "A.INI", "readme", "x.xml", "sub/c.ini", "sub/deep/d.ini",
                             "sub2/e.xml", ".hidden.ini"})
        dir.Write(name, "x");
    auto d = NewDirectory(dir.Path());
    EXPECT_EQ(Names(d->Files(), dir.Path()),
              (std::vector<std::string>{".hidden.ini", "A.INI", "b.ini", "readme", "x.xml"}));
    EXPECT_EQ(Names(d->Files("*.xml;*.ini;*.INI"), dir.Path()),
              (std::vector<std::string>{"x.xml", ".hidden.ini", "A.INI", "b.ini"}));
    EXPECT_EQ(
        Names(d->FilesOfKinds({fkIni}, true), dir.Path()),
        (std::vector<std::string>{".hidden.ini", "A.INI", "b.ini", "sub/c.ini", "sub/deep/d.ini"}));
    EXPECT_EQ(Names(d->FilesOfKinds({}, true), dir.Path()).size(), 8u);
    const auto subs = d->Subdirectories("sub*");
    ASSERT_EQ(subs.size(), 2u);
    EXPECT_EQ(subs[1]->Name(), "sub2");
    EXPECT_TRUE(d->HasEntries());
    d->DeleteContents(false);
    EXPECT_EQ(d->Files().size(), 0u);
    EXPECT_TRUE(d->Subdirectory("sub")->HasEntries());
}

TEST(Directory, CreatesParentsAndBecomesCurrent) {
    TempDir dir;
    auto d = NewDirectory(dir / "one/two/three");
    EXPECT_TRUE(d->Create());
    EXPECT_FALSE(d->HasEntries());
    const auto before = std::filesystem::current_path();
    EXPECT_TRUE(d->MakeCurrent());
    EXPECT_EQ(std::filesystem::current_path().string(), d->PathText());
    std::filesystem::current_path(before);
    EXPECT_EQ(d->File("/abs/x.txt")->PathText(), "/abs/x.txt");
    EXPECT_EQ(d->FileWithKind("prog", fkLog)->PathText(), dir / "one/two/three/prog.log");
    EXPECT_EQ(d->FileWithExtension("a.b", "c")->PathText(), dir / "one/two/three/a.c");
    EXPECT_EQ(d->Directory()->PathText(), d->PathText());
}

TEST(SplitCommandLine, QuotesGroupAndAreRemoved) {
    EXPECT_EQ(SplitCommandLine(R"(a "b c"  "d""e" f"g h"i)"),
              (std::vector<std::string>{"a", "b c", "d\"e", "fg hi"}));
    EXPECT_EQ(SplitCommandLine(R"("" x)"), (std::vector<std::string>{"", "x"}));
    EXPECT_TRUE(SplitCommandLine("   ").empty());
}

TEST(Programs, RunCapturedHandsOverEachOutputLine) {
    TempDir dir;
    auto f = NewFile(Script(dir, "tool.sh",
                            "printf 'one\\r\\ntwo\\n'\nfor a in \"$@\"; do echo \"[$a]\"; done\n"
                            "printf 'last'\nexit 3\n"));
    std::vector<std::string> lines;
    const int code = f->RunCaptured(R"(plain "with space" $(touch pwned) ;rm)",
                                    [&](const std::string& l) { lines.push_back(l); });
    EXPECT_EQ(code, 3);
    EXPECT_EQ(lines, (std::vector<std::string>{"one", "two", "[plain]", "[with space]", "[$(touch]",
                                               "[pwned)]", "[;rm]", "last"}));
    EXPECT_FALSE(std::filesystem::exists(dir / "pwned"));
    EXPECT_EQ(NewFile(dir / "missing.sh")->RunCaptured("", {}), -1);
}

TEST(Programs, RunCapturedStopsWaitingFiveSecondsAfterTheOutputEnds) {
    TempDir dir;
    auto f = NewFile(Script(dir, "slow.sh", "echo started\nexec >&-\nsleep 30\n"));
    std::vector<std::string> lines;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(f->RunCaptured("", [&](const std::string& l) { lines.push_back(l); }), -1);
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(lines, (std::vector<std::string>{"started"}));
    EXPECT_GE(waited, std::chrono::milliseconds(4900));
    EXPECT_LT(waited, std::chrono::seconds(20));
}

TEST(Programs, RunAndWaitTellsSuccessAndRunDoesNotWait) {
    TempDir dir;
    EXPECT_TRUE(NewFile(Script(dir, "ok.sh", "exit 0\n"))->RunAndWait());
    EXPECT_FALSE(NewFile(Script(dir, "fail.sh", "exit 1\n"))->RunAndWait());
    EXPECT_FALSE(NewFile(dir.Write("notexec.sh", "exit 0\n"))->RunAndWait());
    auto f = NewFile(Script(dir, "bg.sh", "sleep 0.2\ntouch \"$1\"\n"));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(f->Run("\"" + (dir / "done flag") + "\""));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(150));
    EXPECT_TRUE(WaitFor(dir / "done flag"));
}

TEST(Programs, TheExploreCommandGetsThePathAsOneArgument) {
    TempDir dir;
    const auto log = dir / "explored.txt";
    const auto tool = Script(dir, "explore.sh",
                             "printf '%s|' \"$@\" > \"" + log + ".part\"\nmv \"" + log +
                                 ".part\" \"" + log + "\"\n");
    SetDirectoryExploreCmd("\"" + tool + "\" --open=%s --new");
    auto target = NewDirectory(dir / "odd \"name\" $(x)");
    EXPECT_TRUE(target->Open());
    SetDirectoryExploreCmd("");
    ASSERT_TRUE(WaitFor(log));
    EXPECT_EQ(TempDir::Read(log), "--open=" + target->PathText() + "|--new|");
    EXPECT_TRUE(target->Exists());
}

} // namespace
