#include "services/log.h"
#include "services/ui.h"
#include "services/ui_texts.h"
#include "support.h"
#include "texts/kvr_language.h"
#include "texts/language.h"

#include <cctype>
#include <gtest/gtest.h>
#include <sstream>
#include <thread>

using namespace marqor;
using marqor::testing_support::TempDir;

namespace {

class UIFixture : public ::testing::Test {
protected:
    void SetUp() override { RegisterLanguageClass<TLanguageKavrin>(); }

    std::ostringstream out;
    TBSUIConsole ui{out};
};

// ---------------------------------------------------------------------------------------------
// Texts

TEST_F(UIFixture, QuestionButtonsReadEnglishWhereTheLanguageDataHasNoTexts) {
    // The built-in data has no section BS: the references stay as they are...
    ASSERT_EQ(LanguageText("#BS.YesNo", 1), "#BS.YesNo");
    // ...and the buttons still read as words.
    const auto yesNoCancel = YesNoCancelQuestion("Save?");
    ASSERT_EQ(yesNoCancel.Buttons.size(), 3u);
    EXPECT_EQ(yesNoCancel.Buttons[0].Caption, "Yes");
    EXPECT_EQ(yesNoCancel.Buttons[1].Caption, "No");
    EXPECT_EQ(yesNoCancel.Buttons[2].Caption, "Cancel");
    EXPECT_EQ(yesNoCancel.DefaultId, AnswerYes);
    EXPECT_EQ(yesNoCancel.CancelId, AnswerCancel);
    const auto yesNo = YesNoQuestion("Save?");
    ASSERT_EQ(yesNo.Buttons.size(), 2u);
    EXPECT_EQ(yesNo.CancelId, AnswerNo);
    EXPECT_EQ(yesNo.DefaultId, AnswerYes);
    EXPECT_EQ(yesNo.Icon, uiiQuestion);
}

TEST_F(UIFixture, TextsThatResolveAreUsedAndOnlyMissingOnesFallBack) {
    EXPECT_EQ(TextOrEnglish("#KAVRIN_G.97", "English"), "Calculate");
    EXPECT_EQ(TextOrEnglish("#KAVRIN_G.9999", "English"), "English");
    // An empty item of a list that exists is no caption either.
    EXPECT_EQ(TextOrEnglish("#KAVRIN_S.5", 0, "none"), "none");
    EXPECT_EQ(TextOrEnglish("#KAVRIN_S.5", 2, "none"), "DSQ");
    EXPECT_EQ(TextOrEnglishFmt("#BS.TimeXSeconds", "%d seconds", {20}), "20 seconds");
}

struct RemainingCase {
    double elapsed;
    int position;
    int maximum;
    const char* text;
};
void PrintTo(const RemainingCase& c, std::ostream* os) {
    *os << c.elapsed << "s at " << c.position << "/" << c.maximum;
}
class RemainingTime : public ::testing::TestWithParam<RemainingCase> {
protected:
    void SetUp() override { RegisterLanguageClass<TLanguageKavrin>(); }
};

TEST_P(RemainingTime, IsToldInRoughSteps) {
    const auto& c = GetParam();
    EXPECT_EQ(RemainingTimeText(c.elapsed, c.position, c.maximum), c.text);
}

// remaining = elapsed / position * maximum - elapsed
INSTANTIATE_TEST_SUITE_P(
    Progress, RemainingTime,
    ::testing::Values(
        RemainingCase{10, 0, 100, "unknown"}, RemainingCase{10, 5, 0, "unknown"},
        RemainingCase{4, 50, 100, "a few seconds"}, RemainingCase{5, 50, 100, "10 seconds"},
        RemainingCase{9.9, 50, 100, "10 seconds"}, RemainingCase{10, 50, 100, "20 seconds"},
        RemainingCase{29, 50, 100, "30 seconds"}, RemainingCase{30, 50, 100, "about a minute"},
        RemainingCase{60, 50, 100, "2 minutes"}, // (60 + 60) / 60
        RemainingCase{3479, 50, 100, "58 minutes"}, RemainingCase{3490, 50, 100, "0:58 hours"},
        RemainingCase{3600 * 5 + 7 * 60, 50, 100, "5:07 hours"},
        RemainingCase{86400, 50, 100, "more than a day"}));

TEST_F(UIFixture, TheTimeLabelSaysTimeRemaining) {
    EXPECT_EQ(TimeRemainingLabel(4, 50, 100), "Time remaining: a few seconds");
}

// ---------------------------------------------------------------------------------------------
// Questions and messages

struct AnswerCase {
    int pressed; // -1: the window was closed with its title-bar button
    int yesNoCancel;
    bool yesNo;
};
void PrintTo(const AnswerCase& c, std::ostream* os) {
    *os << "pressed " << c.pressed;
}
class Answers : public ::testing::TestWithParam<AnswerCase> {
protected:
    void SetUp() override { RegisterLanguageClass<TLanguageKavrin>(); }
};

TEST_P(Answers, MapEveryWayTheWindowCloses) {
    std::ostringstream out;
    TBSUIConsole ui(out);
    ui.QueueAnswer(GetParam().pressed);
    EXPECT_EQ(ui.AskYesNoCancel("Go on?"), GetParam().yesNoCancel);
    ui.QueueAnswer(GetParam().pressed);
    EXPECT_EQ(ui.AskYesNo("Go on?"), GetParam().yesNo);
}

INSTANTIATE_TEST_SUITE_P(Questions, Answers,
                         ::testing::Values(AnswerCase{1, 1, true}, AnswerCase{2, 2, false},
                                           AnswerCase{0, 0, false}, AnswerCase{-1, 0, false}));

TEST_F(UIFixture, UnansweredQuestionsOnTheConsoleTakeTheSafeAnswer) {
    EXPECT_EQ(ui.AskYesNoCancel("Replace the file?"), AnswerCancel);
    EXPECT_FALSE(ui.AskYesNo("Delete everything?"));
    EXPECT_NE(out.str().find("question: Replace the file? [Yes/No/Cancel] -> Cancel"),
              std::string::npos);
    EXPECT_NE(out.str().find("question: Delete everything? [Yes/No] -> No"), std::string::npos);
}

TEST_F(UIFixture, QuestionsAtAPointNeverGoLeftOfOrAboveTheScreen) {
    ui.AskYesNoAt("?", {-40, 25});
    ui.AskYesNoCancelAt("?", {12, -3});
    ASSERT_EQ(ui.Messages().size(), 2u);
    EXPECT_EQ(ui.Messages()[0].At->X, 0);
    EXPECT_EQ(ui.Messages()[0].At->Y, 25);
    EXPECT_EQ(ui.Messages()[1].At->X, 12);
    EXPECT_EQ(ui.Messages()[1].At->Y, 0);
}

TEST_F(UIFixture, MessagesCarryTheirIconAndAutoCloseTime) {
    ui.ShowError("Broken", 3);
    ui.ShowWarning("Careful", 0);
    ui.ShowInformation("Done");
    ASSERT_EQ(ui.Messages().size(), 3u);
    EXPECT_EQ(ui.Messages()[0].Icon, uiiError);
    EXPECT_EQ(ui.Messages()[0].AutoCloseSeconds, 3);
    EXPECT_TRUE(ui.Messages()[0].Buttons.empty());
    EXPECT_EQ(ui.Messages()[1].Icon, uiiWarning);
    EXPECT_EQ(ui.Messages()[2].Icon, uiiInformation);
    EXPECT_EQ(out.str(), "error: Broken\nwarning: Careful\ninformation: Done\n");
}

TEST_F(UIFixture, FilesThatCannotBeWrittenOrReadAreNamedInEnglish) {
    TempDir dir;
    const std::string existing = dir.Write("table.htm", "old");
    const std::string blocker = dir.Write("plain", "a file, not a directory");

    EXPECT_FALSE(ui.CanWriteFile(*NewFile(""), false));
    EXPECT_FALSE(ui.CanWriteFile(*NewFile(blocker + "/inside.htm"), false));
    EXPECT_EQ(ui.Messages().back().Text, "The file " + blocker + "/inside.htm cannot be created.");

    ui.QueueAnswer(AnswerNo);
    EXPECT_FALSE(ui.CanWriteFile(*NewFile(existing), true));
    EXPECT_EQ(ui.Messages().back().Text, "The file " + existing + " exists already. Replace it?");
    ui.QueueAnswer(AnswerYes);
    EXPECT_TRUE(ui.CanWriteFile(*NewFile(existing), true));
    EXPECT_EQ(TempDir::Read(existing), "old"); // asking never empties the file
    EXPECT_TRUE(ui.CanWriteFile(*NewFile(dir / "new.htm"), true));

    EXPECT_TRUE(ui.CanReadFile(*NewFile(existing)));
    EXPECT_FALSE(ui.CanReadFile(*NewFile(dir / "missing.txt")));
    EXPECT_EQ(ui.Messages().back().Text, "The file " + (dir / "missing.txt") + " was not found.");
    EXPECT_EQ(ui.Messages().back().Icon, uiiError);
}

// ---------------------------------------------------------------------------------------------
// Progress

TEST_F(UIFixture, ARangeWithoutStepStepsByOneAndDollarKeepsTheDetail) {
    ui.BeginProgress(true, "Printing");
    ui.SetProgressRange("Page", 10, 0);
    EXPECT_EQ(ui.ProgressState().Step, 1);
    ui.SetProgressPosition(4);
    ui.SetProgressRange("$", 20, 5);
    EXPECT_EQ(ui.ProgressState().Detail, "Page");
    EXPECT_EQ(ui.ProgressState().Step, 5);
    EXPECT_EQ(ui.ProgressState().Position, 0);
    EXPECT_EQ(ui.ProgressState().Maximum, 20);
    ui.SetProgressPosition(25);
    EXPECT_EQ(ui.ProgressState().Position, 20);
    ui.SetProgressPosition(-1);
    EXPECT_EQ(ui.ProgressState().Position, 0);
    ui.EndProgress();
}

TEST_F(UIFixture, StepsShowOnlyEveryStepWithTheCountsFilledIn) {
    ui.BeginProgress(false, "Tables");
    ui.SetProgressRange("", 250, 10);
    const auto before = ui.ProgressDisplays().size();
    for (int i = 0; i < 250; ++i)
        ui.StepProgress("Table @COUNT of @TOTAL");
    const auto& shown = ui.ProgressDisplays();
    ASSERT_EQ(shown.size() - before, 25u);
    for (std::size_t i = 0; i < 25; ++i) {
        const int position = int(i + 1) * 10;
        EXPECT_EQ(shown[before + i].Position, position);
        EXPECT_EQ(shown[before + i].Detail, "Table " + std::to_string(position) + " of 250");
    }
    EXPECT_EQ(ui.ProgressState().Detail, ""); // cleared at the maximum
    ui.EndProgress();
}

TEST_F(UIFixture, ANestedLevelIsCancelableOnlyInsideACancelableOne) {
    ui.BeginProgress(false, "Outer");
    ui.BeginProgress(true, "Inner");
    EXPECT_FALSE(ui.ProgressState().Cancelable);
    ui.CancelProgress();
    EXPECT_FALSE(ui.ProgressCancelled());
    ui.EndProgress();
    ui.EndProgress();

    ui.BeginProgress(true, "Outer");
    ui.BeginProgress(true, "Inner");
    EXPECT_TRUE(ui.ProgressState().Cancelable);
    ui.ProgressState().CancelHandler();
    EXPECT_TRUE(ui.ProgressCancelled());
    ui.EndProgress();
    EXPECT_EQ(ui.ProgressState().Title, "Outer");
    EXPECT_FALSE(ui.ProgressCancelled());
    EXPECT_EQ(ui.ProgressDepth(), 1);
    ui.EndProgress();
    EXPECT_EQ(ui.ProgressDepth(), 0);
    ui.EndProgress(); // one too many changes nothing
    EXPECT_EQ(ui.ProgressDepth(), 0);
}

TEST_F(UIFixture, ProgressFromAnotherThreadIsIgnored) {
    ui.BeginProgress(false, "Main");
    ui.SetProgressRange("", 100, 1);
    std::thread worker([&] {
        ui.SetProgressRangeRef("#KAVRIN_G.97", 5, 1);
        ui.SetProgressPositionMain(50);
        ui.StepProgressRef("#KAVRIN_G.97");
    });
    worker.join();
    EXPECT_EQ(ui.ProgressState().Maximum, 100);
    EXPECT_EQ(ui.ProgressState().Position, 0);
    ui.SetProgressRangeRef("#KAVRIN_G.97", 5, 1);
    EXPECT_EQ(ui.ProgressState().Detail, "Calculate");
    ui.EndProgress();
}

TEST_F(UIFixture, NestedBusyPeriodsSetTheCursorOnceAndRestoreItOnce) {
    ui.BeginBusy();
    ui.BeginBusy();
    ui.EndBusy();
    EXPECT_EQ(ui.BusyCursorChanges(), 1);
    ui.EndBusy();
    ui.EndBusy();
    EXPECT_EQ(ui.BusyCursorChanges(), 2);
    EXPECT_EQ(ui.BusyDepth(), 0);
}

TEST_F(UIFixture, AOneShotTimerWaitsForRestartAndStopsBeforeItsCallback) {
    int calls = 0;
    bool runningInside = true;
    auto once = ui.CreateTimer(
        100, false,
        [&](IBSTimer& t, int value) {
            ++calls;
            runningInside = t.IsRunning();
            EXPECT_EQ(value, 7);
        },
        7);
    EXPECT_FALSE(once->IsRunning());
    once->FireNow();
    EXPECT_EQ(calls, 0);
    once->Restart();
    once->FireNow();
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(runningInside);
    auto repeating = ui.CreateTimer(100, true, [&](IBSTimer&, int) { ++calls; });
    EXPECT_TRUE(repeating->IsRunning());
    repeating->FireNow();
    EXPECT_TRUE(repeating->IsRunning());
}

// ---------------------------------------------------------------------------------------------
// Menus and file filters

TEST_F(UIFixture, MenuPathsNameSubmenusAndStarredFirstPartsAreSpecial) {
    int ran = 0;
    ui.AddMenuAction(
        smDebug, "*Tools\\Tables\\Reload", [&](int value) { ran = value; }, 5);
    ui.AddMenuAction(
        smOrvane, "Info", [&](int value) { ran = value; }, 6);
    ui.AddMenuAction(smDebug, "Data\\*Inner\\Entry", {}, 0);
    ui.AddMenuAction(7, "Nowhere", {}, 0);
    ASSERT_EQ(ui.MenuActions().size(), 3u);
    EXPECT_EQ(ui.MenuActions()[0].Parts, (std::vector<std::string>{"Tools", "Tables", "Reload"}));
    EXPECT_EQ(ui.MenuActions()[2].Parts, (std::vector<std::string>{"Data", "Inner", "Entry"}));
    EXPECT_EQ(ui.SpecialMenuNames(), std::vector<std::string>{"Tools"});
    EXPECT_TRUE(ui.RunMenuAction(1));
    EXPECT_EQ(ran, 6);
    EXPECT_TRUE(ui.RunMenuAction(0));
    EXPECT_EQ(ran, 5);
    EXPECT_FALSE(ui.RunMenuAction(3));
}

TEST(FileFilters, AreReadAsPairsAndGiveTheExtensionOfTheChosenEntry) {
    const auto entries = ParseFileFilter("All (*.*)|*.*|HTML files (*.htm)|*.htm;*.html|Odd");
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[1], (TBSFileFilterEntry{"HTML files (*.htm)", "*.htm;*.html"}));
    EXPECT_EQ(entries[2], (TBSFileFilterEntry{"Odd", "*"}));
    EXPECT_EQ(FilterEntryExtension(entries[0]), "");
    EXPECT_EQ(FilterEntryExtension(entries[1]), ".htm");
    EXPECT_EQ(ApplyFilterExtension("/tmp/points", entries[1]), "/tmp/points.htm");
    EXPECT_EQ(ApplyFilterExtension("/tmp/points.txt", entries[1]), "/tmp/points.htm");
    EXPECT_EQ(ApplyFilterExtension("/tmp/points.htm", entries[1]), "/tmp/points.htm");
    EXPECT_EQ(ApplyFilterExtension("/tmp/v1.2/points", entries[1]), "/tmp/v1.2/points.htm");
    EXPECT_EQ(ApplyFilterExtension("/tmp/.hidden", entries[1]), "/tmp/.hidden.htm");
    EXPECT_EQ(ApplyFilterExtension("/tmp/points.txt", entries[0]), "/tmp/points.txt");
}

// ---------------------------------------------------------------------------------------------
// Log file

TEST(LogFile, LinesCarryATimeStampAndEndWithCrLf) {
    TempDir dir;
    const auto log = NewLogFile(NewFile(dir / "logs/marqor.log"));
    log->WriteLine("first");
    const TBSFormatArg args[] = {42, "two"};
    log->WriteLineFmt("second %d %s", args);
    std::istringstream text(TempDir::Read(dir / "logs/marqor.log"));
    std::vector<std::string> lines;
    for (std::string line; std::getline(text, line);)
        lines.push_back(line);
    ASSERT_EQ(lines.size(), 2u);
    for (const auto& [line, rest] : {std::pair{lines[0], std::string(" : first\r")},
                                     std::pair{lines[1], std::string(" : second 42 two\r")}}) {
        // "dd.mm.yyyy hh:mm:ss" and then the text.
        const std::string pattern = "dd.dd.dddd dd:dd:dd";
        ASSERT_EQ(line.size(), pattern.size() + rest.size()) << line;
        for (std::size_t i = 0; i < pattern.size(); ++i)
            EXPECT_TRUE(pattern[i] == 'd' ? std::isdigit(static_cast<unsigned char>(line[i])) != 0
                                          : line[i] == pattern[i])
                << line;
        EXPECT_EQ(line.substr(pattern.size()), rest);
    }
    const auto plain = NewLogFile(NewFile(dir / "plain.log"), false);
    plain->WriteLine("bare");
    EXPECT_EQ(TempDir::Read(dir / "plain.log"), "bare\r\n");
}

TEST(LogFile, AWriteThatKeepsFailingIsTriedAgainThenRaisesWithTheFileName) {
    TempDir dir;
    std::filesystem::create_directories(dir / "busy.log"); // a directory takes no lines
    const auto log = NewLogFile(NewFile(dir / "busy.log"));
    const auto started = std::chrono::steady_clock::now();
    try {
        log->WriteLine("lost");
        FAIL() << "no error";
    } catch (const std::exception& e) {
        EXPECT_EQ(std::string(e.what()), "Error writing to log file (" + (dir / "busy.log") + ")");
    }
    // Five more tries, 50 ms apart.
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(240));
}

TEST(LogFile, LinesOfManyThreadsNeverMix) {
    TempDir dir;
    const auto log = NewLogFile(NewFile(dir / "many.log"), false);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < 200; ++i)
                log->WriteLine(std::string(100, char('a' + t)));
        });
    for (auto& t : threads)
        t.join();
    std::istringstream lines(TempDir::Read(dir / "many.log"));
    std::string line;
    int count = 0;
    while (std::getline(lines, line)) {
        ++count;
        ASSERT_EQ(line.size(), 101u);
        EXPECT_EQ(line.find_first_not_of(line[0]), 100u); // only the CR differs
    }
    EXPECT_EQ(count, 800);
}

TEST_F(UIFixture, TheServiceLogGoesToTheLogFileOnceConnected) {
    TempDir dir;
    auto services = std::make_shared<TBSUIConsole>(out);
    services->SetLogFile(NewLogFile(NewFile(dir / "services.log")));
    RegisterUIClass([services] { return services; });
    const auto previous = SetServiceLogSink({});
    ConnectServicesToUI();
    ServiceLog("settings file was damaged");
    SetServiceLogSink(previous);
    SetFatalErrorHandler({});
    RegisterUIClass({});
    EXPECT_NE(TempDir::Read(dir / "services.log").find(" : settings file was damaged\r\n"),
              std::string::npos);
}

TEST(UIServicesObject, IsTheConsoleUntilAnotherClassIsRegistered) {
    RegisterUIClass({});
    EXPECT_NE(dynamic_cast<TBSUIConsole*>(&UIServices()), nullptr);
    struct TOwn final : TBSUIConsole {};
    RegisterUIClass<TOwn>();
    EXPECT_NE(dynamic_cast<TOwn*>(&UIServices()), nullptr);
    EXPECT_EQ(&UIServices(), &UIServices());
    RegisterUIClass({});
    EXPECT_EQ(dynamic_cast<TOwn*>(&UIServices()), nullptr);
}

} // namespace
