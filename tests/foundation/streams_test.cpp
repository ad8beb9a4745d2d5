#include "fault_calls.h"
#include "foundation/errors.h"
#include "foundation/streams.h"
#include "temp_dir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace marqor;
using marqor::testing_support::CallsGuard;
using marqor::testing_support::FaultyCalls;
using marqor::testing_support::TempDir;
using testing::HasSubstr;

namespace {

IBSStreamReaderPtr ReaderOf(std::string bytes) {
    return NewStreamReader(std::make_unique<TMemoryStream>(std::move(bytes)), true);
}

std::vector<std::string> ReadAllLines(IBSStreamReader& r) {
    std::vector<std::string> lines;
    while (r.NotEof())
        lines.push_back(r.ReadLine());
    return lines;
}

TEST(StreamReader, ByteOrderMarkIsHonouredAndKeptInAsText) {
    auto r = ReaderOf("\xEF\xBB\xBF"
                      "A=1\r\nB=2");
    auto map = r->AsStringMap();
    EXPECT_EQ(map->Get("A"), "1");
    EXPECT_EQ(map->Get("B"), "2");
    EXPECT_EQ(map->Count(), 2);
    EXPECT_TRUE(r->AsText().starts_with("\xEF\xBB\xBF"
                                        "A=1"));
    EXPECT_EQ(r->Encoding(), reUtf8);
}

struct DecodeCase {
    const char* name;
    std::string bytes;
    std::vector<std::string> lines;
};

void PrintTo(const DecodeCase& c, std::ostream* os) {
    *os << c.name;
}

class ReadLines : public testing::TestWithParam<DecodeCase> {};

TEST_P(ReadLines, GivesTheTextLineByLine) {
    EXPECT_EQ(ReadAllLines(*ReaderOf(GetParam().bytes)), GetParam().lines);
    EXPECT_EQ(ReaderOf(GetParam().bytes)->LineCount(), static_cast<int>(GetParam().lines.size()));
}

using S = std::string;
INSTANTIATE_TEST_SUITE_P(
    Cases, ReadLines,
    testing::Values(DecodeCase{"BlankLinesBetweenLinesAreSkipped", "x\r\n\r\ny", {"x", "y"}},
                    DecodeCase{"CrLfAndCrLfAllEndLines", "a\rb\nc\r\nd", {"a", "b", "c", "d"}},
                    DecodeCase{"ABlankFirstLineIsReturned", "\r\nx\r\n", {"", "x"}},
                    DecodeCase{
                        "NulAfterALineBreakIsSkipped", S("a\r\n\0\0b\0c", 8), {"a", S("b\0c", 3)}},
                    DecodeCase{"AnsiTextIsWindows1252", "M\xFCller\r\n\x80", {"Müller", "€"}},
                    DecodeCase{"ValidUtf8WithoutMarkIsUtf8", "Müller", {"Müller"}},
                    DecodeCase{"Utf16LittleEndian",
                               S("\xFF\xFE"
                                 "a\0\r\0\n\0\x0A\x01",
                                 10),
                               {"a", "Ċ"}},
                    DecodeCase{"Utf16BigEndian", S("\xFE\xFF\0a\0\n\x0D\x0A", 8), {"a", "\u0D0A"}},
                    DecodeCase{"TruncatedUtf16EndsWithAReplacement",
                               S("\xFF\xFE"
                                 "a\0b",
                                 5),
                               {"a\uFFFD"}},
                    DecodeCase{"TruncatedUtf8IsReadByteByByte",
                               "\xEF\xBB\xBF"
                               "ab\xC3",
                               {"abÃ"}},
                    DecodeCase{"ALoneByteOrderMarkIsAnEmptyText", "\xEF\xBB\xBF", {}},
                    DecodeCase{"ALoneUtf16MarkIsAnEmptyText", "\xFF\xFE", {}},
                    DecodeCase{"EmptyStream", "", {}}));

TEST(StreamReader, EmptyStreamHasNoLinesAndNoText) {
    auto r = ReaderOf("");
    EXPECT_EQ(r->AsStringList()->Count(), 0);
    EXPECT_FALSE(r->NotEof());
    EXPECT_EQ(r->AsText(), "");
    EXPECT_EQ(r->ReadLine(), "");
}

TEST(StreamReader, StartOfTextSkipsTheMarkOnlyWhenThereIsOne) {
    auto ansi = ReaderOf("abc");
    ansi->SetPosition(-1);
    EXPECT_EQ(ansi->Position(), 0);
    auto utf8 = ReaderOf("\xEF\xBB\xBF"
                         "abc");
    utf8->SetPosition(-1);
    EXPECT_EQ(utf8->Position(), 3);
    utf8->SetPosition(-7);
    EXPECT_EQ(utf8->Position(), 0);
}

TEST(StreamReader, LineListsKeepBlankLinesAndStopAtTheLastBreak) {
    auto r = ReaderOf("a\r\n\r\nb\n");
    EXPECT_EQ(r->AsStringList()->Items(), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_FALSE(r->NotEof());
}

TEST(StreamReader, KeyValueReadersKeepTheFirstValueOfAName) {
    EXPECT_EQ(ReaderOf("5=1\r\n5=2")->AsIntegerMap()->Get(5), 1);
    auto items = ReaderOf("1=one\r\n\r\nx=zero\r\n1=uno")->AsLookupItems();
    EXPECT_EQ(items->TextOfKey(1), "one");
    EXPECT_EQ(items->TextOfKey(0), "zero"); // the blank line and "x" both read as key 0
    auto map = ReaderOf("Key=a\r\n  \r\nKEY=b\r\nother=c=d")->AsStringMap();
    EXPECT_EQ(map->Count(), 2);
    EXPECT_EQ(map->Get("key"), "a");
    EXPECT_EQ(map->Get("other"), "c=d");
}

TEST(StreamReader, ReadsFixedAndPackedNumbers) {
    EXPECT_EQ(ReaderOf("\x41")->ReadPackedInteger(), -1);
    EXPECT_EQ(ReaderOf(S("\x80\x01", 2))->ReadPackedInteger(), 64);
    EXPECT_EQ(ReaderOf("")->ReadPackedInteger(), 0);
    EXPECT_EQ(ReaderOf("\x85")->ReadPackedInteger(), 5); // cut off: what was there
    auto endless = ReaderOf(S(20, '\xFF')); // more continuation bytes than 64 bits hold
    endless->ReadPackedInteger();
    EXPECT_FALSE(endless->NotEof());

    struct Case {
        int kind;
        std::string bytes;
        std::int64_t little, big;
    } cases[] = {
        {0, "\xFF", 255, 255},
        {1, S("\x01\x80", 2), 0x8001, 0x0180},
        {2, "\xFF\xFF\xFF\xFF", -1, -1},
        {3, "\x80", -128, -128},
        {4, S("\x00\x80", 2), -32768, 128},
        {5, S("\x01\x00\x00\x00", 4), 1, 16777216},
        {6, S("\xFE\xFF\xFF\xFF\x01\x00\x00\x00", 8), -2, 16777216},
        {5, S("\x01\x00", 2), 0, 0}, // cut off by the end
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReaderOf(c.bytes)->ReadInteger(c.kind), c.little) << c.kind;
        EXPECT_EQ(ReaderOf(c.bytes)->ReadIntegerBigEndian(c.kind), c.big) << c.kind;
    }
    EXPECT_EQ(ReaderOf(S("\0\0\0\0\0\0\xF8\x3F", 8))->ReadDouble(), 1.5);
    EXPECT_EQ(ReaderOf(S("\x3F\xF8\0\0\0\0\0\0", 8))->ReadDoubleBigEndian(), 1.5);
    EXPECT_THROW(ReaderOf("x")->ReadInteger(7), std::invalid_argument);
}

TEST(StreamReader, LinesOfSeveralMegabytesComeBackWhole) {
    const std::string big(5'000'000, 'x');
    auto r = ReaderOf(big + "\r\n" + big + "y");
    EXPECT_EQ(r->ReadLine(), big);
    EXPECT_EQ(r->ReadLine(), big + "y");
    EXPECT_FALSE(r->NotEof());
}

TEST(TextReader, HoldsTheTextAsUtf16WithoutDetection) {
    auto r = OpenTextReader("ä\r\n日本\r\n😀");
    EXPECT_EQ(r->Size(), 2 * (1 + 2 + 2 + 2 + 2));
    EXPECT_EQ(r->Encoding(), reUtf16LE);
    EXPECT_EQ(r->AsStringList()->Items(), (std::vector<std::string>{"ä", "日本", "😀"}));
    auto again = OpenTextReader("a=1\nb=2");
    EXPECT_EQ(again->AsStringMap()->Get("b"), "2");
}

TEST(ResourceReader, ReadsBuiltInTextsAndRaisesForUnknownNames) {
    auto r = OpenResourceReader("language_data");
    EXPECT_GT(r->Size(), 0);
    EXPECT_GT(r->AsStringList()->Count(), 0);
    EXPECT_THROW(OpenResourceReader("NO_SUCH_RESOURCE"), EStreamError);
}

TEST(FileReader, MissingFilesAndDirectoriesRaiseWithPathAndReason) {
    TempDir dir;
    try {
        OpenFileReader(dir / "missing.txt");
        FAIL();
    } catch (const EFileError& e) {
        EXPECT_THAT(e.what(), HasSubstr(dir / "missing.txt"));
        EXPECT_THAT(e.what(), HasSubstr("No such file or directory"));
    }
    try {
        OpenFileReader(dir.Path());
        FAIL();
    } catch (const EFileError& e) {
        EXPECT_THAT(e.what(), HasSubstr("Is a directory"));
    }
}

TEST(FileReader, ReadsAcrossItsBufferWindows) {
    TempDir dir;
    std::string text;
    for (int i = 0; i < 20000; ++i)
        text += "line " + std::to_string(i) + "\r\n";
    ASSERT_GT(text.size(), 3 * TBufferedFileReader::BufferSize);
    auto r = OpenFileReader(dir.Write("big.txt", text));
    int n = 0;
    while (r->NotEof())
        ASSERT_EQ(r->ReadLine(), "line " + std::to_string(n++));
    EXPECT_EQ(n, 20000);
    r->SetPosition(61439);
    EXPECT_EQ(r->AsBytes(), text);
}

TEST(FileWriter, WritesAByteOrderMarkOnlyIntoAnEmptyFile) {
    TempDir dir;
    OpenFileWriter(dir / "new.xml", false, weUtf8Bom)->Write("x");
    EXPECT_EQ(TempDir::Read(dir / "new.xml"), "\xEF\xBB\xBF"
                                              "x");
    OpenFileWriter(dir / "new.xml", true, weUtf8Bom)->Write("y");
    EXPECT_EQ(TempDir::Read(dir / "new.xml"), "\xEF\xBB\xBF"
                                              "xy");
    auto w = OpenFileWriter(dir / "new.xml", false, weUtf8Bom);
    EXPECT_EQ(w->BytesWritten(), 0);
    w->SetPosition(-1);
    EXPECT_EQ(w->Position(), 3);
}

TEST(FileWriter, WriteLineEndsWithCrLfAndCountsItsBytes) {
    TempDir dir;
    auto w = OpenFileWriter(dir / "a.txt", false, weUtf8);
    w->WriteLine("ab");
    EXPECT_EQ(w->BytesWritten(), 4);
    w->WriteLineFormat("%d|%s", 7, "ä").WriteFormat("%s", "end");
    w->Close();
    EXPECT_EQ(TempDir::Read(dir / "a.txt"), "ab\r\n7|ä\r\nend");
    EXPECT_THROW(w->Write("late"), EStreamError);
}

TEST(FileWriter, ManySmallWritesArriveInOrderThroughTheBuffer) {
    TempDir dir;
    std::string expected;
    {
        auto w = OpenFileWriter(dir / "log.txt", false, weAnsi);
        for (int i = 0; i < 30000; ++i) {
            const std::string piece = std::to_string(i) + ";";
            w->Write(piece);
            expected += piece;
        }
        EXPECT_EQ(w->Position(), static_cast<std::int64_t>(expected.size()));
    } // released without Close: still written out
    EXPECT_EQ(TempDir::Read(dir / "log.txt"), expected);
}

TEST(FileWriter, AppendKeepsTheContentAndTruncateEmptiesIt) {
    TempDir dir;
    const auto path = dir.Write("f.txt", "old");
    OpenFileWriter(path, true, weAnsi)->Write("+new");
    EXPECT_EQ(TempDir::Read(path), "old+new");
    OpenFileWriter(path, false, weAnsi)->Write("x");
    EXPECT_EQ(TempDir::Read(path), "x");
}

TEST(FileWriter, ASecondWriterOfTheSameFileIsRefused) {
    TempDir dir;
    auto first = OpenFileWriter(dir / "f.txt", false, weAnsi);
    EXPECT_THROW(OpenFileWriter(dir / "f.txt", true, weAnsi), EFileError);
    first->Close();
    EXPECT_NO_THROW(OpenFileWriter(dir / "f.txt", true, weAnsi));
}

TEST(FileWriter, AFullDiskRaisesWithThePathAndTheReason) {
    TempDir dir;
    auto calls = std::make_shared<FaultyCalls>();
    calls->spaceLeft = 100'000;
    CallsGuard guard(calls);
    auto w = OpenFileWriter(dir / "full.txt", false, weAnsi);
    try {
        for (int i = 0; i < 10; ++i)
            w->Write(std::string(20'000, 'x'));
        w->Close();
        FAIL() << "no error";
    } catch (const EFileError& e) {
        EXPECT_THAT(e.what(), HasSubstr(dir / "full.txt"));
        EXPECT_THAT(e.what(), HasSubstr("No space left on device"));
    }
}

TEST(FileWriter, ShortWritesAreCompletedAndAFailingFlushRaisesAtClose) {
    TempDir dir;
    auto calls = std::make_shared<FaultyCalls>();
    calls->chunk = 7;
    CallsGuard guard(calls);
    auto w = OpenFileWriter(dir / "short.txt", false, weAnsi);
    w->Write(std::string(70'000, 'z'));
    w->Close();
    EXPECT_EQ(TempDir::Read(dir / "short.txt"), std::string(70'000, 'z'));
    calls->fsyncError = EIO;
    auto v = OpenFileWriter(dir / "short.txt", false, weAnsi);
    v->Write("x");
    EXPECT_THROW(v->Close(), EFileError);
}

class RecordingTable : public IBSTableSource {
public:
    void Rewind() override { row_ = -1; }
    IBSStringListPtr ColumnNames() override { return NewStringListFromText("Distance,Time,a b"); }
    bool NextRow() override { return ++row_ < 2; }
    std::string ValueText(int column) override {
        return std::to_string(row_) + ":" + std::to_string(column);
    }

private:
    int row_ = 5;
};

TEST(WriterAdapter, PassesTextsOnAndCountsTwoBytesACharacter) {
    std::string out;
    auto w = NewWriterAdapter([&](std::string_view t) { out += t; });
    w->Write("äb").WriteBytes(std::string("c\0\xE4\0", 4)).WriteLine("😀");
    EXPECT_EQ(out, "äbcä😀\r\n");
    EXPECT_EQ(w->BytesWritten(), 2 * (2 + 2 + 2 + 2));
    EXPECT_EQ(w->Position(), 0);
    EXPECT_EQ(w->Stream(), nullptr);
    RecordingTable table;
    out.clear();
    w->WriteTable(table);
    EXPECT_EQ(out, "Distance\tTime\t\"a b\"\r\n0:0\t0:1\t0:2\r\n1:0\t1:1\t1:2\r\n");
    auto silent = NewWriterAdapter({});
    silent->Write("gone");
    EXPECT_EQ(silent->BytesWritten(), 0);
}

} // namespace
