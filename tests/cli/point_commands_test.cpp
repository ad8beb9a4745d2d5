// marqor tables, points, time and convert.
#include "cli/commands.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

using namespace marqor::cli;
namespace fs = std::filesystem;

namespace {

struct Result {
    int status;
    std::string out;
    std::string err;
};

Result RunTool(std::vector<std::string> args, const std::string& input = "") {
    std::istringstream in(input);
    std::ostringstream out, err;
    const int status = Run(args, {in, out, err});
    return {status, out.str(), err.str()};
}

// The user's table directory lies in a fresh temporary directory for the whole program, so the
// tests never see the tables of the machine's user.
class UserDirectory : public testing::Environment {
public:
    void SetUp() override {
        char pattern[] = "/tmp/marqor-cli-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        Root() = pattern;
        setenv("XDG_DATA_HOME", pattern, 1);
    }
    void TearDown() override { fs::remove_all(Root()); }
    static fs::path& Root() {
        static fs::path root;
        return root;
    }
    static fs::path Tables() { return Root() / "marqor" / "tables"; }
};

const auto* const Installed = testing::AddGlobalTestEnvironment(new UserDirectory);

fs::path WriteFile(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// ---- points and time ----------------------------------------------------------------------

struct Case {
    std::vector<std::string> args;
    std::string out;
};

TEST(PointsCommand, PrintsThePointsOfEachTime) {
    const std::vector<Case> cases = {
        {{"points", "-e", "50 Freestyle", "-c", "LCM", "-g", "M", "21.65"}, "900\n"},
        {{"points", "-e", "50 Freestyle", "20.91", "21.65", "22.50"}, "1000\n900\n802\n"},
        {{"points", "--line", "-e", "50 Freestyle", "-g", "M", "21.65"},
         "FINA 2011;50m;50 Freestyle;Men;99;;21.65;900 Pt.\n"},
        {{"points", "-t", "WA 2026", "-e", "100 Freestyle", "-c", "LCM", "-g", "M", "47.50"},
         "932\n"},
        {{"points", "-t", "Rudolph Table 2025", "-e", "50 Freestyle", "-g", "F", "-a", "8", "35.12",
          "40.56", "45.44", "45.45"},
         "20.0\n10.0\n1.0\n0\n"},
        {{"points", "--line", "-t", "1125", "-e", "50 Fr", "-g", "F", "-a", "8", "-c", "SCM",
          "40.56"},
         "Rudolph Table 2025;25m;50 Freestyle;Women;8;;40.56;10.0 Pt.\n"},
        // Tables by id, short name or name, letter case ignored; events in every written form.
        {{"points", "-t", "3004", "-e", "50 freestyle", "21.65"}, "900\n"},
        {{"points", "-t", "fina 2011", "-e", "50 fr", "21.65"}, "900\n"},
        {{"points", "--table=FINA Point Scoring 2011", "--event=1;50;FREE", "21.65"}, "900\n"},
        {{"points", "-e", "1;50;FREE;Y", "-c", "50m", "-g", "Men", "21.65"}, "900\n"},
        {{"points", "-e", "4 x 100 Medley", "-g", "F", "3:52.19"}, "1000\n"},
        {{"points", "-e", "4 x 100 Me", "-g", "X", "3:27.28"}, "1000\n"}, // mixed uses the men
        {{"points", "-e", "50 Freestyle", "-g", "2", "33.90"}, "343\n"},
        {{"points", "-e", "50 Freestyle", "-H", "S5", "-a", "30", "--", "21.65"}, "900\n"},
        {{"points", "-e", "50 Freestyle", "1:05"}, "7897583\n"}, // 1.05 s
    };
    for (const Case& c : cases) {
        const auto r = RunTool(c.args);
        EXPECT_EQ(r.status, ExitOk) << c.args.back() << r.err;
        EXPECT_EQ(r.out, c.out) << c.args[2] << " " << c.args.back();
        EXPECT_EQ(r.err, "");
    }
}

TEST(TimeCommand, PrintsTheTimeThatScoresEachNumberOfPoints) {
    const std::vector<Case> cases = {
        {{"time", "-e", "50 Freestyle", "-c", "LCM", "-g", "M", "900", "1100"}, "21.65\n20.25\n"},
        {{"time", "--line", "-e", "50 Freestyle", "900"},
         "FINA 2011;50m;50 Freestyle;Men;99;;21.65;900 Pt.\n"},
        {{"time", "-t", "Rudolph Table 2025", "-e", "50 Freestyle", "-g", "F", "-a", "8", "20",
          "15.9", "1.0", "1"},
         "35.14\n37.37\n45.44\n45.44\n"},
        {{"time", "--line", "-t", "1125", "-e", "50 Freestyle", "-g", "F", "-a", "8", "15,9"},
         "Rudolph Table 2025;50m;50 Freestyle;Women;8;;37.37;15.9 Pt.\n"},
    };
    for (const Case& c : cases) {
        const auto r = RunTool(c.args);
        EXPECT_EQ(r.status, ExitOk) << r.err;
        EXPECT_EQ(r.out, c.out) << c.args.back();
    }
}

TEST(PointsCommand, PrintsNegativePointsAsTheyAre) {
    std::string text = "Formula=CANADIAN\nId=9001\nShortNameVersion=Canadian test\nCourses=LCM\n"
                       "<BASETIMES>\nCOURSE;GENDER;DISTANCE;STROKE;MINTIME\nLCM;M;50;FREE;20.91\n";
    const auto file = WriteFile(UserDirectory::Root() / "canadian.txt", text);
    const auto r = RunTool({"points", "--table-file", file.string(), "-t", "9001", "-e",
                            "50 Freestyle", "21.65", "41.82"});
    EXPECT_EQ(r.status, ExitOk) << r.err;
    EXPECT_EQ(r.out, "930\n-387\n");
}

TEST(PointsCommand, ReadsTheValueDashFromStandardInputAndKeepsOneLinePerValue) {
    const auto r = RunTool({"points", "-e", "50 Freestyle", "20.91", "-", "22.50"},
                           "21.65\n\nabc\r\n 22.50 \n");
    EXPECT_EQ(r.out, "1000\n900\n\n\n802\n802\n");
    EXPECT_EQ(r.status, ExitUsage); // the worst of all lines
    EXPECT_TRUE(Contains(r.err, "'abc' is no swim time")) << r.err;
    EXPECT_EQ(Lines(r.err).size(), 2u) << r.err;
    const auto times = RunTool({"time", "-e", "50 Freestyle", "-"}, "900\n1100\n");
    EXPECT_EQ(times.status, ExitOk);
    EXPECT_EQ(times.out, "21.65\n20.25\n");
}

TEST(PointsCommand, WithoutABaseTimeExitsWithThreeAndSaysWhatWasAsked) {
    const auto r = RunTool(
        {"points", "-e", "100 Medley", "-g", "F", "-a", "12", "-H", "S4", "1:05.00", "1:06.00"});
    EXPECT_EQ(r.status, ExitNoResult);
    EXPECT_EQ(r.out, "\n\n");
    for (const char* part : {"FINA 2011", "100 Medley", "LCM", "Women", "age 12", "class S4"})
        EXPECT_TRUE(Contains(r.err, part)) << part << ": " << r.err;
    EXPECT_EQ(Lines(r.err).size(), 1u) << r.err;
    const auto scm = RunTool({"time", "-e", "50 Freestyle", "-c", "SCM", "900"});
    EXPECT_EQ(scm.status, ExitNoResult);
    EXPECT_TRUE(Contains(scm.err, "SCM")) << scm.err;
    // An unreadable value outranks a missing base time.
    EXPECT_EQ(RunTool({"points", "-e", "100 Medley", "1:05.00", "x"}).status, ExitUsage);
}

TEST(PointsCommand, ForATableWithoutBaseTimesSaysWhereToPutItsFile) {
    for (const std::string command : {"points", "time"}) {
        const auto r = RunTool({command, "-t", "3001", "-e", "50 Freestyle", "900"});
        EXPECT_EQ(r.status, ExitNoResult);
        EXPECT_EQ(r.out, "\n");
        EXPECT_EQ(r.err, "marqor " + command +
                             ": FINA Point Scoring 2008 has no base times in this edition. Put its "
                             "table file (Id=3001) into " +
                             UserDirectory::Tables().string() + " to use it.\n");
    }
}

TEST(TimeCommand, ExitsWithThreeForPointsWithoutATime) {
    for (const char* points : {"0", "-5"}) {
        const auto r = RunTool({"time", "-e", "50 Freestyle", points});
        EXPECT_EQ(r.status, ExitNoResult) << points;
        EXPECT_EQ(r.out, "\n");
        EXPECT_TRUE(Contains(r.err, "no time scores")) << r.err;
    }
    const auto rudolph =
        RunTool({"time", "-t", "1125", "-e", "50 Freestyle", "-g", "F", "-a", "8", "20.1"});
    EXPECT_EQ(rudolph.status, ExitNoResult);
}

// Each bad argument gets one line that names it and, for a choice, lists the valid ones.
TEST(PointsCommand, NamesABadArgumentAndTheValidChoices) {
    struct Bad {
        std::vector<std::string> args;
        std::vector<std::string> mentions;
    };
    const std::vector<Bad> cases = {
        {{"points", "-t", "FINA 2099", "-e", "50 Freestyle", "1:00"},
         {"'FINA 2099'", "3004 (FINA 2011)", "1125 (Rudolph Table 2025)"}},
        {{"points", "-t", "1009", "-e", "50 Freestyle", "1:00"}, {"'1009'", "3000 (FINA 2004)"}},
        {{"points", "-e", "60 Freestyle", "1:00"},
         {"'60 Freestyle'", "50 Freestyle", "4 x 100 Medley"}},
        {{"points", "-e", "1;50;SWIM", "1:00"}, {"'1;50;SWIM'", "1;50;FREE"}},
        {{"points", "-e", "ID_x", "1:00"}, {"'ID_x'", "ID_"}},
        {{"points", "-e", "50 Freestyle", "-c", "pool", "1:00"}, {"'pool'", "LCM", "SCY"}},
        {{"points", "-e", "50 Freestyle", "-g", "Q", "1:00"}, {"'Q'", "M, F, X"}},
        {{"points", "-e", "50 Freestyle", "-a", "old", "1:00"}, {"'old'"}},
        {{"points", "-e", "50 Freestyle", "-H", "Z9Z", "1:00"}, {"'Z9Z'", "S1 .. S15"}},
        {{"points", "1:00"}, {"-e/--event"}},
        {{"points", "-e", "50 Freestyle"}, {"missing TIME"}},
        {{"points", "-e"}, {"-e needs a value"}},
        {{"points", "-x", "-e", "50 Freestyle", "1:00"}, {"'-x'"}},
        {{"points", "--line=yes", "-e", "50 Freestyle", "1:00"}, {"--line"}},
        {{"time", "-e", "50 Freestyle", "900.5"}, {"'900.5'", "whole number"}},
        {{"time", "-t", "1125", "-e", "50 Freestyle", "15.95"}, {"'15.95'", "one decimal"}},
        {{"convert", "-e", "50 Freestyle", "--to", "SCM", "21.00"}, {"--from"}},
        {{"convert", "-e", "50 Freestyle", "--from", "LCM", "--to", "YARD", "21.00"},
         {"'YARD'", "--to", "LCM"}},
        {{"convert", "-c", "LCM", "-e", "50 Freestyle", "--from", "LCM", "--to", "SCM", "21.00"},
         {"'-c'"}},
        {{"tables", "--filter", "FINA,JUNIOR"}, {"'JUNIOR'", "FINA, MASTER, HANDICAP"}},
        {{"tables", "extra"}, {"'extra'"}},
    };
    for (const Bad& c : cases) {
        const auto r = RunTool(c.args);
        EXPECT_EQ(r.status, ExitUsage) << c.args.back();
        EXPECT_EQ(Lines(r.err).size(), 1u) << r.err;
        EXPECT_TRUE(r.err.starts_with("marqor " + c.args[0] + ": ")) << r.err;
        for (const auto& m : c.mentions)
            EXPECT_TRUE(Contains(r.err, m)) << m << " in " << r.err;
        if (c.args[0] != "time" || !Contains(r.err, "points value")) {
            EXPECT_EQ(r.out, "") << r.err;
        }
    }
}

// ---- convert ------------------------------------------------------------------------------

TEST(ConvertCommand, PrintsTheTimeOfEqualPointsInTheOtherCourse) {
    // FINA 2004, men's 50 m freestyle: base times 21.88 in a 50 m pool, 21.28 in a 25 m pool.
    const std::vector<Case> cases = {
        {{"convert", "-t", "FINA 2004", "-e", "50 Freestyle", "--from", "LCM", "--to", "SCM",
          "21.88", "22.50"},
         "21.28\n21.88\n"},
        {{"convert", "-t", "FINA 2004", "-e", "50 Freestyle", "--from", "SCM", "--to", "LCM",
          "21.28", "21.10"},
         "21.88\n21.69\n"},
        // 21.28 / 1.116 = 19.068; 19.07 * 1.116 = 21.282, which scores 1000 in a 25 m pool.
        {{"convert", "-t", "3000", "-e", "50 Freestyle", "--from", "SCM", "--to", "SCY", "21.28"},
         "19.06\n"},
        {{"convert", "-t", "3000", "-e", "50 Freestyle", "--from", "25y", "--to", "SCM", "19.07"},
         "21.28\n"},
        // The same course needs no base time.
        {{"convert", "-e", "100 Medley", "--from", "SCY", "--to", "25y", "1:00.00"}, "1:00.00\n"},
    };
    for (const Case& c : cases) {
        const auto r = RunTool(c.args);
        EXPECT_EQ(r.status, ExitOk) << r.err;
        EXPECT_EQ(r.out, c.out) << c.args.back();
    }
}

TEST(ConvertCommand, ExitsWithThreeWhenThereIsNoTimeOfEqualPoints) {
    const auto noBase =
        RunTool({"convert", "-e", "50 Freestyle", "--from", "LCM", "--to", "SCM", "21.65"});
    EXPECT_EQ(noBase.status, ExitNoResult);
    EXPECT_EQ(noBase.out, "\n");
    EXPECT_TRUE(Contains(noBase.err, "SCM")) << noBase.err;
    // Slower than the Rudolph maximum time: no points, so no equal time.
    const auto noPoints = RunTool({"convert", "-t", "1125", "-e", "50 Freestyle", "-g", "F",
                                   "--from", "LCM", "--to", "SCM", "1:30.00"});
    EXPECT_EQ(noPoints.status, ExitNoResult);
    EXPECT_TRUE(Contains(noPoints.err, "scores no points")) << noPoints.err;
}

// ---- tables ---------------------------------------------------------------------------------

TEST(TablesCommand, ListsTheBuiltInAndTheBundledTablesSortedByName) {
    const auto r = RunTool({"tables"});
    EXPECT_EQ(r.status, ExitOk);
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 23u) << r.out;
    EXPECT_EQ(lines[0], "1011\tCanadian SWAD Points Table 2008");
    EXPECT_EQ(lines[9], "3004\tFINA Point Scoring 2011");
    EXPECT_TRUE(lines[13].starts_with("1125\tGerman Rudolph Table 2025\t")) << lines[13];
    EXPECT_TRUE(lines[13].ends_with("RUDOLPH_2025.txt")) << lines[13];
    EXPECT_TRUE(lines[22].starts_with("3026\tWorld Aquatics Points 2026\t")) << lines[22];
    EXPECT_EQ(r.err, "");
}

TEST(TablesCommand, FiltersByOptions) {
    const auto fina = Lines(RunTool({"tables", "--filter", "FINA"}).out);
    ASSERT_EQ(fina.size(), 8u);
    EXPECT_EQ(
        std::vector<std::string>(fina.begin(), fina.begin() + 5),
        (std::vector<std::string>{"3000\tFINA Point Scoring 2004", "3001\tFINA Point Scoring 2008",
                                  "3002\tFINA Point Scoring 2009", "3003\tFINA Point Scoring 2010",
                                  "3004\tFINA Point Scoring 2011"}));
    EXPECT_TRUE(fina[5].starts_with("3024\tWorld Aquatics Points 2024\t")) << fina[5];
    EXPECT_EQ(RunTool({"tables", "--filter=handicap"}).out,
              "1011\tCanadian SWAD Points Table 2008\n1010\tIPC Points Table 2008\n"
              "1012\tIPC Points Table 2009\n");
    EXPECT_EQ(Lines(RunTool({"tables", "--filter", "MASTER,HANDICAP"}).out).size(), 4u);
}

TEST(TablesCommand, MarksTablesFromFilesAndWarnsAboutBadOnes) {
    const std::string fina2008 =
        "Formula=CUBED\nId=3001\nName=FINA Point Scoring\nVersion=2008\nShortNameVersion=FINA "
        "2008\n"
        "Options=FINA\nUseMenForMixed=True\n<BASETIMES>\n"
        "COURSE;GENDER;RELAYCOUNT;DISTANCE;STROKE;MINTIME\nLCM;M;1;50;FREE;21.50\n";
    const auto user = WriteFile(UserDirectory::Tables() / "fina2008.txt", fina2008);
    const auto broken = WriteFile(UserDirectory::Tables() / "broken.txt", "Id=1\n");
    const auto club = WriteFile(UserDirectory::Root() / "club.txt",
                                "Id=7000\nName=Club Table\nVersion=2024\nShortNameVersion=Club\n"
                                "<BASETIMES>\nGENDER;DISTANCE;STROKE;MINTIME\nM;50;FREE;25.00\n");
    const auto r = RunTool({"tables", "--table-file", club.string()});
    EXPECT_EQ(r.status, ExitOk);
    const auto lines = Lines(r.out);
    EXPECT_EQ(lines.size(), 24u);
    EXPECT_NE(std::ranges::find(lines, "3001\tFINA Point Scoring 2008\t" + user.string()),
              lines.end())
        << r.out;
    EXPECT_NE(std::ranges::find(lines, "7000\tClub Table 2024\t" + club.string()), lines.end())
        << r.out;
    ASSERT_EQ(Lines(r.err).size(), 1u) << r.err;
    EXPECT_TRUE(r.err.starts_with("marqor: warning: ")) << r.err;
    EXPECT_TRUE(Contains(r.err, broken.string())) << r.err;

    // The user's table now gives FINA 2008 its base times, and the club table its points.
    const auto points = RunTool({"points", "-t", "FINA 2008", "-e", "50 Freestyle", "21.50"});
    EXPECT_EQ(points.out, "1000\n");
    EXPECT_EQ(
        RunTool({"points", "--table-file", club.string(), "-t", "club", "-e", "50 Fr", "25.00"})
            .out,
        "1000\n");
    fs::remove(user);
    fs::remove(broken);
}

TEST(PointCommands, AnswerHelp) {
    for (const std::string command : {"tables", "points", "time", "convert"}) {
        const auto r = RunTool({command, "--help"});
        EXPECT_EQ(r.status, ExitOk);
        EXPECT_TRUE(r.out.starts_with("Usage: marqor " + command + " ")) << r.out;
        EXPECT_TRUE(Contains(RunTool({"--help"}).out, "  " + command + " ")) << command;
    }
}

} // namespace
