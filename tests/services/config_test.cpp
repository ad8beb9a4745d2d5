#include "services/config.h"
#include "services/mad_except.h"
#include "services/settings_stores.h"
#include "services/system.h"
#include "support.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace marqor;
using namespace marqor::testing_support;

namespace {

class FakeChooser : public IBSProjectChooser {
public:
    int answer = 0;
    int calls = 0;
    std::string title, preselected, names;
    int ChooseProject(std::string_view t, std::string_view p, const IBSStringList& n) override {
        ++calls;
        title = t;
        preselected = p;
        names = n.Join(",");
        return answer;
    }
};

TVersionInfo Version(std::array<std::uint16_t, 4> fileVersion = {1, 0, 0, 0}, bool debug = false) {
    TVersionInfo v;
    v.CompanyName = "Orvane";
    v.ProductGroup = "Marqor";
    v.ProductName = "Marqor";
    v.Revision = "17";
    v.FileVersion = fileVersion;
    v.Debug = debug;
    return v;
}

// An installation in a temporary directory: the program in bin/, the user's configuration
// home beside it.
class Installation : public testing::Test {
protected:
    ConfigHome home;
    std::shared_ptr<FakeChooser> chooser = std::make_shared<FakeChooser>();
    std::string bin = home.Dir() / "bin";

    void SetUp() override { std::filesystem::create_directories(bin); }

    std::shared_ptr<TBSApplication> Start(std::vector<std::string> args = {},
                                          TVersionInfo version = Version()) {
        TBSApplicationSetup setup;
        setup.Version = std::move(version);
        setup.Executable = NewFile(bin + "/marqor");
        setup.Arguments = std::move(args);
        setup.Chooser = chooser;
        return std::make_shared<TBSApplication>(std::move(setup));
    }
    std::string Project(const std::string& file, const std::string& ini, bool encrypted = true) {
        return home.Dir().Write("bin/" + file, encrypted ? EncryptSettingsText(ini) : ini);
    }
};

struct CommandLine {
    std::vector<std::string> args;
    std::string expected;
};

void PrintTo(const CommandLine& c, std::ostream* os) {
    for (const auto& a : c.args)
        *os << a << ' ';
}

class CommandLineValue : public testing::TestWithParam<CommandLine> {};

TEST_P(CommandLineValue, TakesTheArgumentAfterTheFirstSwitchThatIsNotLast) {
    TBSApplicationSetup setup;
    setup.Version = Version();
    setup.Executable = NewFile("/nonexistent/bin/marqor");
    setup.Arguments = GetParam().args;
    setup.Chooser = std::make_shared<FakeChooser>();
    TBSApplication application(std::move(setup));
    EXPECT_EQ(application.CommandLineValue("CONFIG", "none"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Switches, CommandLineValue,
                         testing::Values(CommandLine{{"-config", "/p/a.ini"}, "/p/a.ini"},
                                         CommandLine{{"/CONFIG", "/p/a.ini"}, "/p/a.ini"},
                                         CommandLine{{"x", "-Config", "b", "-config", "c"}, "b"},
                                         CommandLine{{"-config"}, "none"},
                                         CommandLine{{"config", "a"}, "none"},
                                         CommandLine{{"--config", "a"}, "none"},
                                         CommandLine{{}, "none"}));

struct VersionCase {
    std::array<std::uint16_t, 4> fileVersion;
    bool debug;
    const char* title;
    const char* text;
};

void PrintTo(const VersionCase& c, std::ostream* os) {
    *os << c.fileVersion[0] << '.' << c.fileVersion[1] << '.' << c.fileVersion[2] << '.'
        << c.fileVersion[3] << (c.debug ? " debug" : "");
}

class VersionTexts : public testing::TestWithParam<VersionCase> {};

TEST_P(VersionTexts, ComeFromTheFileVersion) {
    TBSApplicationSetup setup;
    setup.Version = Version(GetParam().fileVersion, GetParam().debug);
    setup.Executable = NewFile("/nonexistent/bin/marqor");
    setup.Chooser = std::make_shared<FakeChooser>();
    TBSApplication application(std::move(setup));
    EXPECT_EQ(application.ProductTitle(), GetParam().title);
    EXPECT_EQ(application.VersionText(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Records, VersionTexts,
    testing::Values(VersionCase{{1, 2, 3, 4}, false, "Marqor", "Version 1.3.4"},
                    VersionCase{{6, 0, 1, 0}, false, "Marqor 6", "Version 6.1.0"},
                    VersionCase{{6, 0, 1, 0}, true, "Marqor 6", "Debug Build"}));

TEST(BuiltInVersion, NamesTheCompanyAndProductAndFollowsTheProjectVersion) {
    const auto& v = BuiltInVersionInfo();
    EXPECT_EQ(v.CompanyName, "Orvane");
    EXPECT_EQ(v.ProductGroup, "Marqor");
    EXPECT_EQ(v.ProductName, "Marqor");
    EXPECT_GE(v.FileVersion[0], 1);
}

TEST_F(Installation, WithoutConfigurationFilesTheSettingsAreEmptyAndReadsGiveDefaults) {
    auto application = Start();
    EXPECT_FALSE(application->HasConfigurationFile());
    EXPECT_EQ(application->ConfigurationFile(), nullptr);
    EXPECT_EQ(application->SectionNames()->Count(), 0);
    EXPECT_EQ(application->ConfigurationDirectory()->PathText(), bin);
    EXPECT_EQ(application->RegistryPath(), "Software\\Orvane\\Marqor");
    EXPECT_EQ(application->TemporaryFilePrefix(), "$$$orv_marqor_");
    TBSUser user(application);
    EXPECT_EQ(user.GetSection("Orvane")->ReadInteger("ActiveLanguage", 99), 99);
    EXPECT_EQ(chooser->calls, 0);
    EXPECT_EQ(TBSMadExcept::ErrorFile()->PathText(), bin + "/marqor.err");
    EXPECT_NE(TBSMadExcept::ReportHeader().find("project ini file  : \r\n"), std::string::npos);
}

TEST_F(Installation, TheOwnIniFileIsUsedWhenNoFileNamesAProject) {
    Project("marqor.ini", "[Orvane]\r\nErrorFile=crash/reports.err\r\n", false);
    auto application = Start();
    EXPECT_EQ(application->ConfigurationFile()->PathText(), bin + "/marqor.ini");
    EXPECT_TRUE(application->HasConfigurationFile());
    EXPECT_EQ(TBSMadExcept::ErrorFile()->PathText(), bin + "/crash/reports.err");
}

TEST_F(Installation, ProductTitleAndProjectMakeTheTemporaryFilePrefix) {
    Project("p.ini", "[Orvane]\r\nProjectName=Big İsland+Club\\X\r\n");
    auto application = Start({}, Version({6, 0, 1, 0}));
    EXPECT_EQ(application->CurrentProjectName(), "Big İsland+Club\\X");
    EXPECT_EQ(application->TemporaryFilePrefix(), "$$$orv_marqor6_bigislandclubx");
    EXPECT_EQ(application->WellKnownFile(1)->PathText(), bin + "/marqor");
    EXPECT_EQ(application->WellKnownFile(0), nullptr);
}

TEST_F(Installation, ATemporaryFileIsNamedNotCreated) {
    auto application = Start();
    const auto first = application->WellKnownFile(2, ".tmp");
    EXPECT_EQ(first->PathText(), application->WellKnownFile(2, ".tmp")->PathText());
    EXPECT_EQ(first->Name(), "$$$orv_marqor__1.tmp");
    EXPECT_EQ(first->DirectoryText(), TBSSystem::WellKnownDirectory(4)->FullUncName());
    EXPECT_FALSE(first->Exists());
    first->WriteAll("x");
    EXPECT_EQ(application->WellKnownFile(2, ".tmp")->Name(), "$$$orv_marqor__2.tmp");
    application.reset(); // the application object ends: its temporary files go
    EXPECT_FALSE(first->Exists());
}

TEST_F(Installation, BSConfigIniMovesTheConfigurationDirectory) {
    home.Dir().Write("bin/BSConfig.ini", "[Orvane]\r\nConfigDirectory=../etc\r\n");
    Project("../etc/site.ini", "[Orvane]\r\nProjectName=Site\r\nDirectoryExploreCmd=thunar %s\r\n");
    auto application = Start();
    EXPECT_EQ(application->ConfigurationDirectory()->PathText(), home.Dir() / "etc");
    EXPECT_EQ(application->CurrentProjectName(), "Site");
    EXPECT_EQ(DirectoryExploreCmd(), "thunar %s");
    SetDirectoryExploreCmd("");
}

TEST_F(Installation, TheConfigSwitchNamesTheFileAndWindowsUserNameTheUsersOwn) {
    Project("a.ini", "[Orvane]\r\nProjectName=A\r\n");
    Project("b.ini", "[Orvane]\r\nProjectName=B\r\n");
    const std::string own =
        Project(TBSSystem::UserName() + ".ini", "[Orvane]\r\nProjectName=Me\r\n");
    EXPECT_EQ(Start({"-config", bin + "/b.ini"})->CurrentProjectName(), "B");
    EXPECT_EQ(Start({"/CONFIG", "windowsusername"})->CurrentProjectName(), "Me");
    EXPECT_EQ(chooser->calls, 0);
    // A named file that does not exist: the choice decides.
    chooser->answer = 0;
    EXPECT_EQ(Start({"-config", bin + "/missing.ini"})->CurrentProjectName(), "A");
    EXPECT_EQ(chooser->calls, 1);
}

TEST_F(Installation, SeveralProjectsAreOfferedInOrderAndTheChoiceIsRemembered) {
    Project("z.ini", "[Orvane]\r\nProjectName=Zurich\r\n");
    Project("a.ini", "[Orvane]\r\nName=Aarau\r\n");
    Project("broken.ini", "not a project");
    Project("plain.ini", "[Orvane]\r\nProjectName=Bern\r\n", false);
    WriteRegistryValue("Software\\Orvane\\Marqor", "ProjectName", "Bern");
    chooser->answer = 2;
    auto application = Start();
    EXPECT_EQ(application->CurrentProjectName(), "Zurich");
    EXPECT_EQ(chooser->title, "Marqor");
    EXPECT_EQ(chooser->names, "Aarau,Bern,Zurich");
    EXPECT_EQ(chooser->preselected, "Bern");
    EXPECT_EQ(ReadRegistryValue("Software\\Orvane\\Marqor", "ProjectName"), "Zurich");
}

TEST_F(Installation, CancellingTheProjectChoiceEndsTheProcessWithCodeZero) {
    Project("a.ini", "[Orvane]\r\nProjectName=A\r\n");
    Project("b.ini", "[Orvane]\r\nProjectName=B\r\n");
    chooser->answer = -1;
    EXPECT_EXIT(Start(), testing::ExitedWithCode(0), "");
}

TEST_F(Installation, AMissingCompanyOrProductIsAFatalErrorWithCodeOne) {
    auto noCompany = Version();
    noCompany.CompanyName.clear();
    EXPECT_EXIT(Start({}, noCompany)->RegistryPath(), testing::ExitedWithCode(1),
                "Versionsinfo: CompanyName fehlt!");
    auto noProduct = Version();
    noProduct.ProductGroup.clear();
    noProduct.ProductName.clear();
    EXPECT_EXIT(Start({}, noProduct)->RegistryPath(), testing::ExitedWithCode(1),
                "Versionsinfo: ProductGroup/ProductName fehlt!");
    auto groupFromName = Version();
    groupFromName.ProductGroup.clear();
    EXPECT_EQ(Start({}, groupFromName)->RegistryPath(), "Software\\Orvane\\Marqor");
}

TEST_F(Installation, TheUserIsNamedAfterOverrideAndAliasAndCheckedAgainstTheAdministrators) {
    Project("p.ini", "[Orvane]\r\nProjectName=P\r\nUserOverride=Boss\r\n"
                     "ProjectAdmins=Admin, @orvane\r\nUserProjectRegistryPath=P1\r\n"
                     "[UserAliases]\r\nBoss=Admin\r\n");
    WriteRegistryValue("Software\\Orvane", "ORVANE", "Yes");
    auto application = Start();
    EXPECT_EQ(application->AdministratorNames()->Join(","), "admin,orvane-admin,orvane-support");
    EXPECT_EQ(application->ResolveUserAlias("osupport"), "orvane-support");
    TBSUser user(application);
    EXPECT_EQ(user.UserName(), "admin");
    EXPECT_TRUE(user.IsAdministrator());
    EXPECT_TRUE(user.IsStaff());
    EXPECT_NE(TBSMadExcept::ReportHeader().find("project user name : admin\r\n"),
              std::string::npos);

    // The user settings live under the project's key and fall back to the configuration.
    EXPECT_EQ(application->UserRegistryPath(), "Software\\Orvane\\Marqor\\P1");
    user.GetSection("Orvane")->WriteInteger("ActiveLanguage", 4);
    EXPECT_EQ(user.GetSection("Orvane")->ReadString("ProjectName", ""), "P");
    EXPECT_EQ(OpenRegistrySettings("Software\\Orvane\\Marqor\\P1")
                  ->GetSection("Orvane")
                  ->ReadInteger("ActiveLanguage", 0),
              4);
}

TEST_F(Installation, AConfigurationFileThatCannotBeOpenedGivesDefaults) {
    ASSERT_EQ(mkfifo((bin + "/pipe.ini").c_str(), 0600), 0); // exists, but holds no settings
    LogCapture log;
    auto application = Start({"-config", bin + "/pipe.ini"});
    EXPECT_FALSE(application->HasConfigurationFile());
    EXPECT_EQ(application->CurrentProjectName(), "");
    EXPECT_EQ(log.Lines().size(), 1u);
}

TEST(CommandLineChooser, ListsTheNamesAndReadsANumber) {
    auto names = NewStringList();
    names->Add("Aarau");
    names->Add("Bern");
    struct Case {
        std::string input;
        int expected;
    };
    for (const auto& c :
         std::vector<Case>{{"2\n", 1}, {"\n", 1}, {"q\n", -1}, {"", -1}, {"9\nx\n1\n", 0}}) {
        std::istringstream in(c.input);
        std::ostringstream out;
        TBSCommandLineProjectChooser chooser(in, out);
        EXPECT_EQ(chooser.ChooseProject("Marqor", "bern", *names), c.expected) << c.input;
        EXPECT_NE(out.str().find("* 2  Bern"), std::string::npos) << out.str();
    }
}

} // namespace
