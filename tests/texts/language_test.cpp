#include "foundation/errors.h"
#include "texts/language.h"

#include <gtest/gtest.h>

#include <atomic>
#include <barrier>
#include <cstdlib>
#include <map>
#include <stdexcept>
#include <thread>

using namespace marqor;

namespace {

const char* const kGerman = "[Data.T]\nGreeting=Guten Tag\n[Data.BSLanguage]\nde=Deutsch\n"
                            "[Data.BS]\nLongMonthNames=Januar;Februar;März;April;Mai;Juni;Juli;"
                            "August;September;Oktober;November;Dezember\n"
                            "HorizontalAlignment=links;rechts;zentriert\n";
const char* const kEnglish =
    "[Data.T]\nGreeting=Good day\n61=Page %d of %d\n55=Page_\nTwoLines=one\\ntwo\\Nthree\n"
    "List=;EX;DSQ\nUnderscores=_a_b_\nCurrency=costs [chf] 5\nOnlyCurrency=[CHF]\nEmpty=\n"
    "Format=%d items\n[Form.TWindow]\nCaption\n.@BOk\nOK\n";

// A product with the languages and data a test needs. It counts and can fail its loads.
class TestLanguage final : public TBSLanguage {
public:
    TestLanguage(TBSLanguages available, std::map<int, std::string> data)
        : available_(available), data_(std::move(data)) {}

    TBSLanguages AvailableLanguages() const override { return available_; }
    IBSStringListPtr LoadLanguageLines(TBSLanguageId language) override {
        ++loads;
        if (failures > 0) {
            --failures;
            throw std::runtime_error("language data cannot be read");
        }
        auto lines = NewStringList();
        lines->SetLines(data_[language]);
        return lines;
    }

    std::atomic<int> loads{0};
    std::atomic<int> failures{0};

private:
    TBSLanguages available_;
    std::map<int, std::string> data_;
};

// Every test gets its own user settings and its own locale.
class LanguageTest : public testing::Test {
protected:
    void SetUp() override {
        saved_ = UserSettings();
        settings_ = NewMemorySettings();
        SetUserSettings(settings_);
        for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
            const char* v = std::getenv(name);
            env_[name] = v ? std::optional<std::string>(v) : std::nullopt;
            unsetenv(name);
        }
        processNames_ = ProcessFormatSettings();
    }
    void TearDown() override {
        SetUserSettings(saved_);
        for (const auto& [name, value] : env_) {
            if (value)
                setenv(name.c_str(), value->c_str(), 1);
            else
                unsetenv(name.c_str());
        }
        SetProcessFormatSettings(processNames_);
    }

    int StoredChoice() { return settings_->GetSection("Orvane")->ReadInteger("ActiveLanguage", -1); }

    IBSSettingsPtr settings_;

private:
    IBSSettingsPtr saved_;
    std::map<std::string, std::optional<std::string>> env_;
    TBSFormatSettings processNames_;
};

// ---------------------------------------------------------------------------------------------
// Resolving references

struct Lookup {
    const char* reference;
    int index;
    std::string expected;
};

void PrintTo(const Lookup& l, std::ostream* os) {
    *os << '"' << l.reference << "\" " << l.index;
}

class Resolving : public LanguageTest, public testing::WithParamInterface<Lookup> {};

TEST_P(Resolving, GivesTheExpectedText) {
    TestLanguage language({4}, {{4, kEnglish}});
    EXPECT_EQ(language.Text(GetParam().reference, GetParam().index), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(References, Resolving, testing::Values(
    Lookup{"#T.61", -1, "Page %d of %d"},
    Lookup{"#t.GREETING", -1, "Good day"},
    Lookup{"#T.55", -1, "Page "},
    Lookup{"#T.TwoLines", -1, "one\ntwo\nthree"},
    Lookup{"#T.Underscores", -1, " a b "},
    Lookup{"#T.Currency", -1, "costs  5"},
    Lookup{"#T.List", 0, ""},
    Lookup{"#T.List", 2, "DSQ"},
    Lookup{"#T.List", 40, ""},
    Lookup{"#T.List", -1, ";EX;DSQ"},
    Lookup{"#T.999", -1, "#T.999"},
    Lookup{"#T.999", 1, "#T.999"},                // the index is not applied to a reference
    Lookup{"#T.Empty", -1, "#T.Empty"},
    Lookup{"#T.OnlyCurrency", -1, "#T.OnlyCurrency"},
    Lookup{"#Missing.61", -1, "#Missing.61"},
    Lookup{"#T", -1, "#T"},                       // no dot: no section
    Lookup{"#.61", -1, "#.61"},
    Lookup{"#TWindow.Caption", -1, "#TWindow.Caption"}, // form sections are not data
    Lookup{"plain text", -1, "plain text"},
    Lookup{"plain;text", 1, "plain;text"},
    Lookup{"", 3, ""}));

TEST_F(LanguageTest, KeysOfReferencesAreCutTo999Characters) {
    const std::string key(999, 'k');
    TestLanguage language({4}, {{4, "[Data.T]\n" + key + "=found\n"}});
    EXPECT_EQ(language.Text("#T." + key + "tail"), "found");
}

TEST_F(LanguageTest, ACurrencyTextReplacesThePlaceholder) {
    SetCurrencyText("CHF");
    TestLanguage language({4}, {{4, "[Data.T]\nPrice=5 [chf]\n[Form.W]\n[CHF] 7\n"}});
    EXPECT_EQ(language.Text("#T.Price"), "5 CHF");
    EXPECT_EQ(language.FormSection("W")->Item(0), "CHF 7");
    SetCurrencyText("");
}

TEST_F(LanguageTest, MissingSectionsAreEmptyNeverAnError) {
    TestLanguage language({4}, {{4, kEnglish}});
    EXPECT_EQ(language.DataSection("Nothing")->Count(), 0);
    EXPECT_EQ(language.FormSection("TNothing")->Count(), 0);
    EXPECT_EQ(language.FormSection("TWindow")->Items(),
              (std::vector<std::string>{"Caption", ".@BOk", "OK"}));
    EXPECT_EQ(language.DataSection("T")->Get("Greeting"), "Good day");
}

// ---------------------------------------------------------------------------------------------
// Choosing a language

struct Choice {
    TBSLanguages available;
    int wanted;
    int expected;
};

void PrintTo(const Choice& c, std::ostream* os) {
    *os << "wanted " << c.wanted << " of " << std::hex << c.available.bits;
}

class Choosing : public testing::TestWithParam<Choice> {};

TEST_P(Choosing, FallsBackAlongTheLanguageChain) {
    TestLanguage language(GetParam().available, {});
    EXPECT_EQ(language.ChooseAvailableLanguage(GetParam().wanted), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Chains, Choosing, testing::Values(
    Choice{{4}, 4, 4},
    Choice{{4}, 2, 4},                   // German to German Swiss to English
    Choice{{1, 4}, 2, 1},
    Choice{{1, 4}, 3, 1},                // French to German Swiss
    Choice{{2, 4}, 16, 2},               // Austria to German
    Choice{{1, 4}, 16, 1},
    Choice{{3, 4}, 17, 3},               // Canada to French
    Choice{{7, 4}, 23, 7},               // Mexico to Spanish
    Choice{{4}, 27, 4},                  // Slovak to English
    Choice{{4}, 25, 4},                  // Ukrainian to English
    Choice{{1, 2}, 4, 2},                // no English: the highest number offered
    Choice{{1, 2}, 0, 2},
    Choice{{4}, -3, 4},                  // stored nonsense
    Choice{{4}, 200, 4},
    Choice{{}, 4, 0}));

struct LocaleCase {
    const char* locale;
    int expected;
};

void PrintTo(const LocaleCase& l, std::ostream* os) {
    *os << '"' << l.locale << '"';
}

class OperatingSystemLocale : public testing::TestWithParam<LocaleCase> {};

TEST_P(OperatingSystemLocale, MapsToTheLanguageNumber) {
    EXPECT_EQ(LanguageFromWindowsLanguageId(WindowsLanguageIdFromLocale(GetParam().locale)),
              GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Locales, OperatingSystemLocale, testing::Values(
    LocaleCase{"de_CH.UTF-8", 1}, LocaleCase{"de_AT.UTF-8", 16}, LocaleCase{"de_DE.UTF-8", 2},
    LocaleCase{"de_LU", 2}, LocaleCase{"de", 2}, LocaleCase{"en_GB.UTF-8", 24},
    LocaleCase{"en_US.UTF-8", 4}, LocaleCase{"en_AU", 4}, LocaleCase{"es_MX.UTF-8", 23},
    LocaleCase{"es_ES.UTF-8", 7}, LocaleCase{"fr_CA.UTF-8", 17}, LocaleCase{"fr_CH.UTF-8", 3},
    LocaleCase{"fr_FR@euro", 3}, LocaleCase{"sr_RS@latin", 26}, LocaleCase{"sr_RS.UTF-8", 21},
    LocaleCase{"hr_HR.UTF-8", 21}, LocaleCase{"cs_CZ.UTF-8", 19}, LocaleCase{"da_DK", 9},
    LocaleCase{"fi_FI", 12}, LocaleCase{"hu_HU", 18}, LocaleCase{"is_IS", 13},
    LocaleCase{"it_IT", 5}, LocaleCase{"nl_NL", 6}, LocaleCase{"nb_NO.UTF-8", 15},
    LocaleCase{"pl_PL", 10}, LocaleCase{"pt_BR", 11}, LocaleCase{"ru_RU.UTF-8", 8},
    LocaleCase{"sv_SE", 14}, LocaleCase{"tr_TR", 22}, LocaleCase{"sl_SI", 20},
    LocaleCase{"sk_SK.UTF-8", 4}, LocaleCase{"uk_UA.UTF-8", 4}, LocaleCase{"ja_JP", 4},
    LocaleCase{"C.UTF-8", 4}, LocaleCase{"POSIX", 4}, LocaleCase{"", 4}));

TEST_F(LanguageTest, TheLocaleComesFromLcAllThenLcMessagesThenLang) {
    setenv("LANG", "fr_FR.UTF-8", 1);
    EXPECT_EQ(OperatingSystemLanguage(), 3);
    setenv("LC_MESSAGES", "de_AT.UTF-8", 1);
    EXPECT_EQ(OperatingSystemLanguage(), 16);
    setenv("LC_ALL", "", 1); // empty counts as unset
    EXPECT_EQ(OperatingSystemLanguage(), 16);
    setenv("LC_ALL", "en_GB.UTF-8", 1);
    EXPECT_EQ(OperatingSystemLanguage(), 24);
}

// ---------------------------------------------------------------------------------------------
// Selecting a language

TEST_F(LanguageTest, AStoredChoiceThatIsNotOfferedIsReducedAndWrittenBack) {
    settings_->GetSection("Orvane")->WriteInteger("ActiveLanguage", 2);
    TestLanguage language({4}, {{4, kEnglish}});
    EXPECT_EQ(language.CurrentLanguage(), 4);
    EXPECT_EQ(StoredChoice(), 4);
}

TEST_F(LanguageTest, WithoutAStoredChoiceTheOperatingSystemLanguageIsTheWish) {
    setenv("LANG", "de_AT.UTF-8", 1);
    TestLanguage language({2, 4}, {{2, kGerman}, {4, kEnglish}});
    EXPECT_EQ(language.CurrentLanguage(), 2);
    EXPECT_EQ(language.Text("#T.Greeting"), "Guten Tag");
    EXPECT_EQ(StoredChoice(), 2);
}

TEST_F(LanguageTest, ASlovakOrUkrainianSystemGetsEnglish) {
    for (const char* locale : {"sk_SK.UTF-8", "uk_UA.UTF-8"}) {
        setenv("LANG", locale, 1);
        TestLanguage language({1, 2, 3, 4}, {});
        EXPECT_EQ(language.CurrentLanguage(), 4) << locale;
    }
}

TEST_F(LanguageTest, SelectingByNumberIgnoresTheStoredChoice) {
    settings_->GetSection("Orvane")->WriteInteger("ActiveLanguage", 4);
    TestLanguage language({2, 4}, {{2, kGerman}, {4, kEnglish}});
    language.SelectLanguage(16);
    EXPECT_EQ(language.CurrentLanguage(), 2);
    EXPECT_EQ(StoredChoice(), 2);
}

TEST_F(LanguageTest, OtherThreadsNeitherWriteTheChoiceNorChangeTheProcessNames) {
    TestLanguage language({2, 4}, {{2, kGerman}, {4, kEnglish}});
    std::thread([&] { language.SelectLanguage(2); }).join();
    EXPECT_EQ(StoredChoice(), -1);
    EXPECT_EQ(ProcessFormatSettings().LongMonthNames[2], "March");
    language.SelectLanguage(2);
    EXPECT_EQ(StoredChoice(), 2);
    EXPECT_EQ(ProcessFormatSettings().LongMonthNames[2], "März");
}

TEST_F(LanguageTest, ProcessNamesThatTheLanguageDoesNotGiveStayReadable) {
    TestLanguage language({4}, {{4, kEnglish}}); // no [Data.BS]
    language.SelectLanguage(4);
    const auto names = ProcessFormatSettings();
    EXPECT_EQ(names.ShortMonthNames[0], "Jan");
    EXPECT_EQ(names.LongDayNames[1], "Monday");
}

TEST_F(LanguageTest, EachThreadHasItsOwnCurrentLanguage) {
    TestLanguage language({2, 4}, {{2, kGerman}, {4, kEnglish}});
    language.SelectLanguage(4);
    std::string german, englishOnNewThread;
    std::thread([&] {
        language.SelectLanguage(2);
        german = language.Text("#T.Greeting");
    }).join();
    std::thread([&] {
        // A new thread starts without a language and selects the stored choice.
        englishOnNewThread = language.Text("#T.Greeting");
    }).join();
    EXPECT_EQ(german, "Guten Tag");
    EXPECT_EQ(englishOnNewThread, "Good day");
    EXPECT_EQ(language.Text("#T.Greeting"), "Good day");
    EXPECT_EQ(language.loads, 2);
}

TEST_F(LanguageTest, ConcurrentFirstLookupsLoadTheDataOnce) {
    settings_->GetSection("Orvane")->WriteInteger("ActiveLanguage", 4);
    TestLanguage language({4}, {{4, kEnglish}});
    constexpr int kThreads = 8;
    std::barrier start(kThreads);
    std::vector<std::string> results(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            start.arrive_and_wait();
            for (int i = 0; i < 50; ++i)
                results[t] = language.Text("#T.61") + "|" + language.Text("#T.List", 2);
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(language.loads, 1);
    for (const auto& r : results)
        EXPECT_EQ(r, "Page %d of %d|DSQ");
}

TEST_F(LanguageTest, AFailedLoadPropagatesAndTheNextLookupTriesAgain) {
    TestLanguage language({4}, {{4, kEnglish}});
    language.failures = 1;
    EXPECT_THROW(language.Text("#T.61"), std::runtime_error);
    EXPECT_EQ(language.Text("#T.61"), "Page %d of %d");
    EXPECT_EQ(language.loads, 2);
}

TEST_F(LanguageTest, ListenersHearEverySelectionUntilRemoved) {
    TestLanguage language({2, 4}, {{2, kGerman}, {4, kEnglish}});
    std::vector<int> heard;
    const int id = language.AddLanguageListener([&](TBSLanguage& sender) {
        EXPECT_EQ(&sender, &language);
        heard.push_back(sender.CurrentLanguage());
    });
    language.SelectLanguage(4);
    std::thread([&] { language.SelectLanguage(2); }).join(); // runs on the selecting thread
    language.RemoveLanguageListener(id);
    language.SelectLanguage(2);
    EXPECT_EQ(heard, (std::vector<int>{4, 2}));
}

// ---------------------------------------------------------------------------------------------
// Names

TEST_F(LanguageTest, LanguageNamesComeFromTheDataOrElseAreEnglish) {
    TestLanguage language({2, 4}, {{2, kGerman}, {4, kEnglish}});
    language.SelectLanguage(2);
    EXPECT_EQ(language.LanguageName(2), "Deutsch");
    EXPECT_EQ(language.LanguageName(27), "Slovakian");
    EXPECT_EQ(language.LanguageName(0), "None");
    EXPECT_EQ(language.LanguageName(28), "");
    EXPECT_EQ(LanguageCode(24), "uk");
    EXPECT_EQ(LanguageCode(25), "ua");
}

TEST_F(LanguageTest, HorizontalAlignmentNamesAreKeyedZeroToTwo) {
    TestLanguage language({2, 4}, {{2, kGerman}, {4, kEnglish}});
    language.SelectLanguage(2);
    const auto items = language.HorizontalAlignmentNames();
    ASSERT_EQ(items->Count(), 3);
    EXPECT_EQ(items->TextOfKey(0), "links");
    EXPECT_EQ(items->TextOfKey(2), "zentriert");
    language.SelectLanguage(4);
    EXPECT_EQ(language.HorizontalAlignmentNames()->TextOfKey(1), "#BS.HorizontalAlignment");
}

TEST_F(LanguageTest, TheLanguagesFormatSettingsCarryItsNames) {
    TestLanguage language({2, 4}, {{2, kGerman}, {4, kEnglish}});
    language.SelectLanguage(2);
    const auto fs = language.GetFormatSettings();
    EXPECT_EQ(fs.LongMonthNames[2], "März");
    EXPECT_EQ(FormatDateTimeText("d mmmm yyyy", *EncodeDateTime(2010, 3, 1), fs), "1 März 2010");
}

TEST(LanguageSets, HoldOnlyNumbersUpTo31) {
    TBSLanguages set{0, 4, 31, 32, -1};
    EXPECT_TRUE(set.Contains(4));
    EXPECT_TRUE(set.Contains(31));
    EXPECT_FALSE(set.Contains(32));
    EXPECT_FALSE(set.Contains(-1));
    EXPECT_EQ(set.bits, (1u << 0) | (1u << 4) | (1u << 31));
}

} // namespace
