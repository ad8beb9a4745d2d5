#include "points/csv_reader.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace marqor;

namespace {

TEST(CsvReader, FindsColumnsByTrimmedUpperCaseNamesAndTheFirstOfTwoAlike) {
    TBSCSVReader reader(" course ;Gender;agemın;GENDER;MinTime\r\nLCM;M;12;F;20.91\r\n");
    ASSERT_TRUE(reader.Open());
    EXPECT_EQ(reader.ColumnNames(),
              (std::vector<std::string>{"COURSE", "GENDER", "AGEMIN", "GENDER", "MINTIME"}));
    ASSERT_TRUE(reader.Next());
    EXPECT_EQ(reader.ReadString("COURSE"), "LCM");
    EXPECT_EQ(reader.ReadString("GENDER"), "M");
    EXPECT_EQ(reader.ReadInteger("AGEMIN"), 12);
    EXPECT_EQ(reader.ReadString("course"), ""); // callers ask in upper case
    EXPECT_FALSE(reader.Next());
}

TEST(CsvReader, SkipsEmptyAndNulLinesAndKeepsEmptyFields) {
    const std::string text = std::string("\n\nA;B;C\n\n") + '\0' + "\n;;x\n1;;\n  ;2\n";
    TBSCSVReader reader(text);
    ASSERT_TRUE(reader.Open());
    std::vector<std::vector<std::string>> rows;
    while (reader.Next())
        rows.push_back({std::string(reader.ReadString("A")), std::string(reader.ReadString("B")),
                        std::string(reader.ReadString("C"))});
    EXPECT_EQ(rows, (std::vector<std::vector<std::string>>{
                        {"", "", "x"}, {"1", "", ""}, {"  ", "2", ""}}));
}

TEST(CsvReader, ReadsMissingFieldsAndColumnsAsEmptyAndIgnoresExtraFields) {
    TBSCSVReader reader("A;B\nonly\n1;2;3;4\n");
    ASSERT_TRUE(reader.Open());
    ASSERT_TRUE(reader.Next());
    EXPECT_EQ(reader.ReadString("A"), "only");
    EXPECT_EQ(reader.ReadString("B"), "");
    EXPECT_EQ(reader.ReadString("NOPE"), "");
    EXPECT_EQ(reader.ReadInteger("NOPE"), 0);
    ASSERT_TRUE(reader.Next());
    EXPECT_EQ(reader.FieldAt(1), "2");
    EXPECT_EQ(reader.FieldAt(2), ""); // beyond the last column
    EXPECT_EQ(reader.FieldAt(-1), "");
}

TEST(CsvReader, ReadsIntegersOrZero) {
    struct Case {
        const char* field;
        int value;
    };
    const Case cases[] = {{"42", 42},
                          {"-1", -1},
                          {" 7", 7},
                          {"7 ", 0},
                          {"1.5", 0},
                          {"", 0},
                          {"2147483647", 2147483647},
                          {"2147483648", 0},
                          {"-99999999999", 0},
                          {"x", 0}};
    for (const Case& c : cases) {
        const std::string text = std::string("N\n") + c.field + ";\n";
        TBSCSVReader reader(text);
        ASSERT_TRUE(reader.Open());
        ASSERT_TRUE(reader.Next()) << c.field;
        EXPECT_EQ(reader.ReadInteger("N"), c.value) << '"' << c.field << '"';
    }
}

TEST(CsvReader, ReadsAColumnTypeLineWhenAskedTo) {
    TBSCSVReader reader("A;B\nint;text\n1;x\n", ';', true);
    ASSERT_TRUE(reader.Open());
    EXPECT_EQ(reader.ColumnType("B"), "text");
    ASSERT_TRUE(reader.Next());
    EXPECT_EQ(reader.ReadInteger("A"), 1);
    EXPECT_FALSE(reader.Next());
}

TEST(CsvReader, OpensNothingInATextWithoutLines) {
    TBSCSVReader reader("\r\n\n");
    EXPECT_FALSE(reader.Open());
    EXPECT_FALSE(reader.Next());
}

TEST(SplitLines, BreaksAtCrLfLfAndCrWithoutAFinalEmptyLine) {
    EXPECT_EQ(SplitLines("a\r\nb\nc\rd\n"), (std::vector<std::string_view>{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("a\n\nb"), (std::vector<std::string_view>{"a", "", "b"}));
    EXPECT_TRUE(SplitLines("").empty());
}

} // namespace
