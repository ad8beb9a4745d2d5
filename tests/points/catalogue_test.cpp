// The catalogue: the 19 built-in tables, their list, handing out tables, and table files.
#include "points/catalogue.h"
#include "points/table_files.h"
#include "table_fixtures.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <ostream>
#include <string>
#include <sys/stat.h>
#include <vector>

using namespace marqor;
using namespace marqor::testing_tables;
namespace fs = std::filesystem;

namespace {

TPointTableSources BuiltInsOnly() {
    return {BuiltInPointTableNames(), {}, {}};
}

std::vector<int> Keys(const IBSLookupItems& items) {
    std::vector<int> keys;
    for (int i = 0; i < items.Count(); ++i)
        keys.push_back(items.KeyAt(i));
    return keys;
}

TEST(Catalogue, RegistersTheNineteenBuiltInTablesInOrder) {
    TBSSwPointTableController catalogue(BuiltInsOnly());
    std::vector<int> ids;
    for (const auto& info : catalogue.Infos()) {
        ids.push_back(info.id);
        EXPECT_TRUE(info.file.empty());
    }
    EXPECT_EQ(ids, (std::vector<int>{1004, 1006, 1011, 3000, 3001, 3002, 3003, 3004, 1001, 1007,
                                     1013, 1008, 1106, 1107, 1108, 1010, 1012, 1101, 1102}));
    EXPECT_EQ(catalogue.Infos()[7].resourceName, "BSSW_POINTS_FINA_2011");
    EXPECT_TRUE(catalogue.Warnings().empty());
}

struct BuiltIn {
    int id;
    const char* name;
    const char* version;
    const char* shortName;
    TBSSwPointFormula formula;
    TBSSwPointTableOptions options;
    TBSSwCourses courses;
    bool useMenForMixed;
};

void PrintTo(const BuiltIn& b, std::ostream* os) {
    *os << b.id << ' ' << b.shortName;
}

class BuiltInTable : public testing::TestWithParam<BuiltIn> {};

TEST_P(BuiltInTable, CarriesItsHeader) {
    const BuiltIn& b = GetParam();
    TBSSwPointTableController catalogue(BuiltInsOnly());
    const auto points = catalogue.GetPointTable(b.id);
    const auto table = std::dynamic_pointer_cast<TBSSwBaseTimesPointTable>(points);
    ASSERT_TRUE(table);
    EXPECT_EQ(table->Id(), b.id);
    EXPECT_EQ(table->Name(), b.name);
    EXPECT_EQ(table->Version(), b.version);
    EXPECT_EQ(table->ShortNameVersion(), b.shortName);
    EXPECT_EQ(table->Formula(), b.formula);
    EXPECT_EQ(table->Options(), b.options);
    EXPECT_EQ(table->Courses(), b.courses);
    EXPECT_EQ(table->UseMenForMixed(), b.useMenForMixed);
    EXPECT_EQ(catalogue.FindInfo(b.id)->text, std::string(b.name) + " " + b.version);
}

const TBSSwCourses Both{sco50m, sco25m};
constexpr TBSSwPointTableOptions Fina{ptoFina};

INSTANTIATE_TEST_SUITE_P(
    Nineteen, BuiltInTable,
    testing::Values(
        BuiltIn{1004,
                "SNC Performance Ratings",
                "2003/2004",
                "SNC Points 2003/2004",
                pfCanadian,
                {},
                Both,
                false},
        BuiltIn{1006,
                "SNC Performance Ratings",
                "2004/2005",
                "SNC Points 2004/2005",
                pfCanadian,
                {},
                Both,
                false},
        BuiltIn{1011,
                "Canadian SWAD Points Table",
                "2008",
                "Can SWAD 2008",
                pfCanadian,
                {ptoHandicap},
                Both,
                false},
        BuiltIn{3000, "FINA Point Scoring", "2004", "FINA 2004", pfCubed, Fina, Both, true},
        BuiltIn{3001, "FINA Point Scoring", "2008", "FINA 2008", pfCubed, Fina, Both, true},
        BuiltIn{3002, "FINA Point Scoring", "2009", "FINA 2009", pfCubed, Fina, {sco25m}, true},
        BuiltIn{3003, "FINA Point Scoring", "2010", "FINA 2010", pfCubedFina, Fina, Both, true},
        BuiltIn{3004, "FINA Point Scoring", "2011", "FINA 2011", pfCubedFina, Fina, {sco50m}, true},
        BuiltIn{1001, "DSV Performance Table", "2001", "DSV 2001", pfCubedDsv, {}, Both, false},
        BuiltIn{1007, "DSV Performance Table", "2005", "DSV 2005", pfCubedFina, {}, Both, false},
        BuiltIn{1013, "DSV Performance Table", "2009", "DSV 2009", pfCubedFina, {}, Both, false},
        BuiltIn{1008,
                "DSV Master Performance Table",
                "2004",
                "DSV Masters 04",
                pfCubedDsv,
                {ptoMaster},
                Both,
                false},
        BuiltIn{
            1106, "German Rudolph Table", "2008", "Rudolph Table 2008", pfRudolph, {}, Both, false},
        BuiltIn{
            1107, "German Rudolph Table", "2009", "Rudolph Table 2009", pfRudolph, {}, Both, false},
        BuiltIn{
            1108, "German Rudolph Table", "2010", "Rudolph Table 2010", pfRudolph, {}, Both, false},
        BuiltIn{1010, "IPC Points Table", "2008", "IPC 2008", pfCubed, {ptoHandicap}, Both, false},
        BuiltIn{1012, "IPC Points Table", "2009", "IPC 2009", pfCubed, {ptoHandicap}, Both, false},
        BuiltIn{1101, "Swiss Kids Points", "2005", "Swiss Kids 2005", pfCubed, {}, Both, true},
        BuiltIn{1102, "Swiss Kids Points", "2007", "Swiss Kids 2007", pfCubed, {}, Both, true}));

TEST(Catalogue, HoldsTheBaseTimesOfFina2011AndFina2004Only) {
    TBSSwPointTableController catalogue(BuiltInsOnly());
    for (const auto& info : catalogue.Infos())
        EXPECT_EQ(info.hasBaseTimes, info.id == 3004 || info.id == 3000) << info.id;
    const auto fina2011 =
        std::dynamic_pointer_cast<TBSSwBaseTimesPointTable>(catalogue.GetPointTable(3004));
    ASSERT_EQ(fina2011->Groups().size(), 2u); // long-course men, long-course women
    EXPECT_EQ(fina2011->Groups()[0].EventCount() + fina2011->Groups()[1].EventCount(), 78);
    const auto fina2004 =
        std::dynamic_pointer_cast<TBSSwBaseTimesPointTable>(catalogue.GetPointTable(3000));
    int rows = 0;
    for (const auto& g : fina2004->Groups())
        rows += g.EventCount();
    EXPECT_EQ(rows, 90);
}

TEST(Catalogue, ListsTheTablesSortedByTextAndFiltersByOption) {
    TBSSwPointTableController catalogue(BuiltInsOnly());
    const auto all = catalogue.PointTableList();
    EXPECT_EQ(Keys(*all),
              (std::vector<int>{1011, 1008, 1001, 1007, 1013, 3000, 3001, 3002, 3003, 3004, 1106,
                                1107, 1108, 1010, 1012, 1004, 1006, 1101, 1102}));
    EXPECT_EQ(all->TextAt(0), "Canadian SWAD Points Table 2008");
    EXPECT_EQ(all->TextAt(15), "SNC Performance Ratings 2003/2004");
    EXPECT_EQ(Keys(*catalogue.PointTableList({ptoFina})),
              (std::vector<int>{3000, 3001, 3002, 3003, 3004}));
    EXPECT_EQ(Keys(*catalogue.PointTableList({ptoHandicap})), (std::vector<int>{1011, 1010, 1012}));
    EXPECT_EQ(Keys(*catalogue.PointTableList({ptoMaster})), (std::vector<int>{1008}));
    EXPECT_EQ(catalogue.PointTableList({ptoMaster, ptoHandicap})->Count(), 4);
}

TEST(Catalogue, HandsOutTheEmptyTableForIdZeroAndTheDefaultForAnUnknownId) {
    TBSSwPointTableController catalogue(BuiltInsOnly());
    const auto empty = catalogue.GetPointTable(0);
    EXPECT_EQ(empty->Id(), 0);
    EXPECT_EQ(empty->Name(), "");
    EXPECT_TRUE(empty->Courses().IsEmpty());
    EXPECT_EQ(empty->PointsFromTime(sco50m, *Event(50), sgeMen, 99, 0, T("21.65")), 0);
    for (int unknown : {1009, -1, 5000})
        EXPECT_EQ(catalogue.GetPointTable(unknown)->Id(), DefaultPointTableId) << unknown;
    EXPECT_EQ(DefaultPointTableId, 3004);
    // Without any table there is nothing to fall back to but the empty table.
    TBSSwPointTableController none(TPointTableSources{});
    EXPECT_EQ(none.GetPointTable(3004)->Id(), 0);
}

TEST(Catalogue, HandsOutAFreshTableOnEveryCall) {
    TBSSwPointTableController catalogue(BuiltInsOnly());
    const auto a = catalogue.GetPointTable(3004);
    const auto b = catalogue.GetPointTable(3004);
    EXPECT_NE(a.get(), b.get());
    std::dynamic_pointer_cast<TBSSwBaseTimesPointTable>(a)->ReadFromText("Id=77\n<BASETIMES>\n",
                                                                         "changed");
    EXPECT_EQ(b->Id(), 3004);
    EXPECT_EQ(b->PointsFromTime(sco50m, *Event(50), sgeMen, 99, 0, T("21.65")), 900);
}

TEST(Catalogue, LeavesOutAMissingBuiltInTextWithAWarning) {
    std::vector<std::string> warnings;
    TBSSwPointTableController catalogue(
        TPointTableSources{{"BSSW_POINTS_SLO_2006", "BSSW_POINTS_FINA_2011"}, {}, {}},
        [&](const std::string& w) { warnings.push_back(w); });
    ASSERT_EQ(catalogue.Infos().size(), 1u);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("BSSW_POINTS_SLO_2006"), std::string::npos);
}

TEST(Catalogue, PointTablesIsOneCatalogueForTheProcess) {
    EXPECT_EQ(&PointTables(), &PointTables());
    EXPECT_EQ(PointTables().GetPointTable(DefaultPointTableId)->ShortNameVersion(), "FINA 2011");
}

TEST(NoBaseTimesMessage, NamesTheTableItsIdAndTheDirectory) {
    TBSSwPointTableController catalogue(BuiltInsOnly());
    EXPECT_EQ(
        NoBaseTimesMessage(*catalogue.GetPointTable(3001), "/home/ann/.local/share/marqor/tables"),
        "FINA Point Scoring 2008 has no base times in this edition. Put its table file "
        "(Id=3001) into /home/ann/.local/share/marqor/tables to use it.");
}

// ---- Table files ------------------------------------------------------------------------------

class TableFiles : public testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/marqor-tables-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path Write(const std::string& name, const std::string& text) {
        const fs::path path = dir_ / name;
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    static std::string Table(int id, const std::string& name, const std::string& base = "21.00") {
        return "Id=" + std::to_string(id) + "\nName=" + name +
               "\nVersion=2008\nShortNameVersion=" + name +
               "\nFormula=CUBED\nOptions=FINA\n<BASETIMES>\n"
               "COURSE;GENDER;RELAYCOUNT;DISTANCE;STROKE;MINTIME\nLCM;M;1;50;FREE;" +
               base + "\n";
    }

    TBSSwPointTableController Catalogue(std::vector<fs::path> directories,
                                        std::vector<fs::path> files) {
        return TBSSwPointTableController(
            TPointTableSources{BuiltInPointTableNames(), std::move(directories), std::move(files)},
            [this](const std::string& w) { warnings_.push_back(w); });
    }

    fs::path dir_;
    std::vector<std::string> warnings_;
};

TEST_F(TableFiles, AFileWithTheIdOfABuiltInTableReplacesIt) {
    const auto file = Write("fina2008.txt", Table(3001, "FINA Point Scoring"));
    auto catalogue = Catalogue({}, {file});
    const auto table = catalogue.GetPointTable(3001);
    EXPECT_TRUE(table->HasAnyBaseTime());
    EXPECT_EQ(table->PointsFromTime(sco50m, *Event(50), sgeMen, 99, 0, T("21.00")), 1000);
    EXPECT_EQ(catalogue.FindInfo(3001)->file, file);
    EXPECT_TRUE(catalogue.FindInfo(3001)->hasBaseTimes);
    const auto list = catalogue.PointTableList();
    EXPECT_EQ(list->Count(), 19);
    EXPECT_EQ(list->TextOfKey(3001), "FINA Point Scoring 2008");
    EXPECT_TRUE(warnings_.empty());
}

TEST_F(TableFiles, OfADirectoryComeInNameOrderAfterTheBuiltInsAndTheLastOfAnIdServes) {
    Write("tables/b.txt", Table(5001, "Club B"));
    Write("tables/a.TXT", Table(5000, "Club A", "30.00"));
    Write("tables/c.txt", Table(5000, "Club C", "25.00"));
    Write("tables/notes.csv", "not a table");
    auto catalogue = Catalogue({dir_ / "tables"}, {});
    const auto& infos = catalogue.Infos();
    ASSERT_EQ(infos.size(), 22u);
    EXPECT_EQ(infos[19].file.filename(), "a.TXT");
    EXPECT_EQ(infos[20].file.filename(), "b.txt");
    EXPECT_EQ(infos[21].file.filename(), "c.txt");
    EXPECT_EQ(catalogue.GetPointTable(5000)->Name(), "Club C");
    EXPECT_EQ(catalogue.PointTableList()->TextOfKey(5000), "Club C 2008");
    EXPECT_EQ(catalogue.PointTableList()->Count(), 21);
    EXPECT_TRUE(warnings_.empty());
}

TEST_F(TableFiles, ThatCannotBeUsedAreSkippedWithAOneLineWarningEach) {
    const auto good = Write("good.txt", Table(5000, "Good"));
    std::vector<fs::path> bad = {dir_ / "missing.txt", Write("no-marker.txt", "Id=5001\nName=X\n"),
                                 Write("no-id.txt", "Name=X\n<BASETIMES>\n"),
                                 Write("line\nbreak.txt", "Id=5002\n")};
    fs::create_directory(dir_ / "folder.txt");
    bad.push_back(dir_ / "folder.txt");
    const fs::path huge = Write("huge.txt", Table(5003, "Huge"));
    fs::resize_file(huge, MaxPointTableTextSize + 1);
    bad.push_back(huge);
    const fs::path fifo = dir_ / "pipe.txt";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    bad.push_back(fifo); // opening it must not wait for a writer

    std::vector<fs::path> files = bad;
    files.push_back(good);
    auto catalogue = Catalogue({}, files);
    EXPECT_EQ(catalogue.Infos().size(), 20u);
    EXPECT_EQ(catalogue.GetPointTable(5000)->Name(), "Good");
    ASSERT_EQ(warnings_.size(), bad.size());
    for (std::size_t i = 0; i < bad.size(); ++i) {
        EXPECT_EQ(warnings_[i].find('\n'), std::string::npos) << warnings_[i];
        EXPECT_NE(warnings_[i].find(DisplayPath(bad[i])), std::string::npos) << warnings_[i];
    }
    EXPECT_NE(warnings_[1].find("<BASETIMES>"), std::string::npos) << warnings_[1];
    EXPECT_NE(warnings_[2].find("Id"), std::string::npos) << warnings_[2];
    EXPECT_NE(warnings_[5].find("16 MiB"), std::string::npos) << warnings_[5];
    EXPECT_EQ(catalogue.Warnings(), warnings_);
}

TEST_F(TableFiles, InAnyEncodingAreDecodedBeforeReading) {
    std::string utf16 = "\xFF\xFE";
    for (char c : Table(5000, "Zurich")) {
        utf16 += c;
        utf16 += '\0';
    }
    Write("utf16.txt", utf16);
    Write("latin.txt", Table(5001, "Z\xFCrich"));
    auto catalogue = Catalogue({dir_}, {});
    EXPECT_EQ(catalogue.GetPointTable(5000)->Name(), "Zurich");
    EXPECT_EQ(catalogue.GetPointTable(5001)->Name(), "Z\xC3\xBCrich");
    EXPECT_TRUE(warnings_.empty());
}

TEST_F(TableFiles, ADirectoryThatIsMissingIsNoErrorButAFileInItsPlaceIs) {
    const auto notADirectory = Write("plain.txt", Table(5000, "Plain"));
    auto catalogue = Catalogue({dir_ / "nowhere", notADirectory}, {});
    EXPECT_EQ(catalogue.Infos().size(), 19u);
    ASSERT_EQ(warnings_.size(), 1u);
    EXPECT_NE(warnings_[0].find("plain.txt"), std::string::npos);
}

TEST_F(TableFiles, RegisteredAfterListingAreReadOnTheNextUse) {
    auto catalogue = Catalogue({}, {});
    ASSERT_EQ(catalogue.Infos().size(), 19u);
    catalogue.RegisterTableFile(Write("late.txt", Table(5000, "Late")));
    EXPECT_EQ(catalogue.PointTableList()->TextOfKey(5000), "Late 2008");
}

TEST_F(TableFiles, KeepTheirTextOnceRead) {
    const auto file = Write("kept.txt", Table(5000, "Kept"));
    auto catalogue = Catalogue({}, {file});
    ASSERT_EQ(catalogue.Infos().size(), 20u);
    fs::remove(file);
    EXPECT_EQ(catalogue.GetPointTable(5000)->Name(), "Kept");
}

// ---- Where the tables come from ---------------------------------------------------------------

class Environment {
public:
    explicit Environment(const char* name) : name_(name) {
        if (const char* v = std::getenv(name))
            old_ = v;
    }
    ~Environment() {
        if (old_)
            setenv(name_, old_->c_str(), 1);
        else
            unsetenv(name_);
    }
    void Set(const char* value) {
        if (value)
            setenv(name_, value, 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(TableDirectories, TheUserDirectoryFollowsXdgDataHomeElseHome) {
    Environment xdg("XDG_DATA_HOME"), home("HOME");
    xdg.Set("/data/ann");
    home.Set("/home/ann");
    EXPECT_EQ(UserTableDirectory(), fs::path("/data/ann/marqor/tables"));
    xdg.Set(nullptr);
    EXPECT_EQ(UserTableDirectory(), fs::path("/home/ann/.local/share/marqor/tables"));
    xdg.Set("relative/dir"); // not an absolute path: ignored
    EXPECT_EQ(UserTableDirectory(), fs::path("/home/ann/.local/share/marqor/tables"));
    xdg.Set("");
    home.Set(nullptr);
    EXPECT_EQ(UserTableDirectory(), fs::path());
}

TEST(TableDirectories, BundledTablesLieBesideTheProgramsBinDirectory) {
    EXPECT_EQ(BundledTableDirectory(),
              (ProgramDirectory() / ".." / "share" / "marqor" / "tables").lexically_normal());
    Environment xdg("XDG_DATA_HOME");
    xdg.Set("/nonexistent-marqor-test");
    const auto sources = DefaultPointTableSources();
    EXPECT_EQ(sources.resourceNames, BuiltInPointTableNames());
    EXPECT_EQ(
        sources.directories,
        (std::vector<fs::path>{BundledTableDirectory(), "/nonexistent-marqor-test/marqor/tables"}));
    // The build tree holds the bundled tables as an installation does.
    TBSSwPointTableController catalogue(sources);
    std::vector<int> bundled;
    for (const auto& info : catalogue.Infos())
        if (!info.file.empty())
            bundled.push_back(info.id);
    EXPECT_EQ(bundled, (std::vector<int>{1125, 3024, 3025, 3026}));
    EXPECT_TRUE(catalogue.Warnings().empty());
}

} // namespace
