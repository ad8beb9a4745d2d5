#include "foundation/xml.h"
#include "services/config.h"
#include "services/ini_file.h"
#include "services/mad_except.h"
#include "support.h"
#include "texts/kvr_language.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

using namespace marqor;
using namespace marqor::testing_support;

namespace {

// Every case runs the start-up in a child process, so that each one creates the process-wide
// objects anew.
class StartUp : public testing::Test {
protected:
    ConfigHome home;
    std::string bin = home.Dir() / "bin";

    void SetUp() override {
        GTEST_FLAG_SET(death_test_style, "fast");
        std::filesystem::create_directories(bin);
    }
    void Start(std::vector<std::string> args = {}) {
        TBSApplicationSetup setup = DefaultApplicationSetup();
        setup.Executable = NewFile(bin + "/marqor");
        setup.Arguments = std::move(args);
        SetApplicationSetup(std::move(setup));
        RegisterLanguageClass<TLanguageKavrin>();
        StartApplicationServices();
    }
};

std::string RegistryText(const ConfigHome& home) {
    return TempDir::Read(home.RegistryFile());
}

TEST_F(StartUp, TheFirstLookupOnTheMainThreadWritesTheLanguageIntoTheUserSettings) {
    EXPECT_EXIT(
        {
            ScopedEnv lang("LANG", "de_CH.UTF-8");
            Start();
            // A worker thread's lookup chooses its own language but writes nothing.
            std::thread([] { LanguageText("#KAVRIN_G.61"); }).join();
            if (std::filesystem::exists(home.RegistryFile()))
                std::_Exit(3);
            if (LanguageText("#KAVRIN_G.61") != "Page %d of %d")
                std::_Exit(4);
            const auto data = ParseIniBytes(RegistryText(home));
            if (!data || !data->Find("Software\\Orvane\\Marqor\\Orvane"))
                std::_Exit(5);
            std::_Exit(
                data->Find("Software\\Orvane\\Marqor\\Orvane")->values->Get("ActiveLanguage") == "4"
                    ? 0
                    : 6);
        },
        testing::ExitedWithCode(0), "");
}

TEST_F(StartUp, AStoredLanguageChoiceIsReadFromTheUserSettings) {
    home.Dir().Write("Orvane/registry.ini",
                     "[Software\\Orvane\\Marqor\\Orvane]\r\nActiveLanguage=2\r\nOther=kept\r\n");
    EXPECT_EXIT(
        {
            Start();
            LanguageText("#KAVRIN_G.61");
            // German is not offered: the choice falls back to English and is written back.
            const auto data = ParseIniBytes(RegistryText(home));
            const auto* s = data ? data->Find("Software\\Orvane\\Marqor\\Orvane") : nullptr;
            std::_Exit(s && s->values->Get("ActiveLanguage") == "4" &&
                               s->values->Get("Other") == "kept"
                           ? 0
                           : 1);
        },
        testing::ExitedWithCode(0), "");
}

TEST_F(StartUp, SetsTheHooksOfTheLowerLayers) {
    home.Dir().Write("bin/marqor.ini", "[Orvane]\r\nDirectoryExploreCmd=nautilus %s\r\n");
    EXPECT_EXIT(
        {
            Start();
            const auto root = NewXmlDocumentRoot("KAVRIN");
            std::_Exit(DirectoryExploreCmd() == "nautilus %s" &&
                               root->GetText("application") == "Marqor" &&
                               UserSettings().get() == UserObject().GetSettings().get()
                           ? 0
                           : 1);
        },
        testing::ExitedWithCode(0), "");
}

TEST_F(StartUp, TemporaryFilesAreDeletedAtProcessEnd) {
    ScopedEnv tmp("TMPDIR", home.Dir().Path());
    const std::string foreign = home.Dir().Write("$$$orv_marqor__99.tmp", "another instance");
    EXPECT_EXIT(
        {
            Start();
            WellKnownFile(2, ".tmp")->WriteAll("mine");
            WellKnownFile(2, ".pdf")->WriteAll("mine");
            std::exit(0); // a normal end runs the clean-up
        },
        testing::ExitedWithCode(0), "");
    EXPECT_FALSE(std::filesystem::exists(home.Dir() / "$$$orv_marqor__1.tmp"));
    EXPECT_FALSE(std::filesystem::exists(home.Dir() / "$$$orv_marqor__1.pdf"));
    EXPECT_TRUE(std::filesystem::exists(foreign)); // recent files of others stay
}

TEST_F(StartUp, AfterLoadingTheReportHeaderNamesConfigurationUserAndLanguage) {
    EXPECT_EXIT(
        {
            Start();
            LanguageText("#KAVRIN_G.61");
            const std::string header = TBSMadExcept::ReportHeader();
            const std::string expected =
                "project ini file  : \r\nproject user name : " + UserObject().UserName() +
                "\r\nrevision          : 0\r\nuser language     : "
                "English\r\n";
            if (header != expected) {
                std::fprintf(stderr, "%s", header.c_str());
                std::_Exit(1);
            }
            if (TBSMadExcept::ReporterTexts("Marqor")) // the built-in data has none
                std::_Exit(3);
            std::_Exit(TBSMadExcept::ErrorFile()->PathText() == bin + "/marqor.err" ? 0 : 2);
        },
        testing::ExitedWithCode(0), "");
}

} // namespace
