#pragma once

// The two process-wide objects that describe the running program and its user:
//
// - the application object (ApplicationObject()): the product's identity from the version
//   record built into the program, the configuration directory, the configuration file and
//   the application settings read from it, where the user settings live, and the naming of
//   temporary files;
// - the user object (UserObject()): the user's name and the user settings, a registry store
//   whose missing values fall back to the application settings.
//
// Both are settings objects themselves, so callers ask either for a section by name.

#include "foundation/files.h"
#include "foundation/settings.h"
#include "services/ui_hooks.h"

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace marqor {

// The version record of the executable.
struct TVersionInfo {
    std::string CompanyName;
    std::string ProductGroup;
    std::string ProductName;
    std::string Comments;
    std::string Revision;
    std::array<std::uint16_t, 4> FileVersion{};
    bool Debug = false;
};
// The record of this program, generated from the project when it is built.
const TVersionInfo& BuiltInVersionInfo();

// Exit codes of the fatal errors.
inline constexpr int ExitVersionInfoMissing = 1;
inline constexpr int ExitProjectChoiceCancelled = 0;

// What the application object is made from. Start-up takes the defaults; tests give their
// own executable, arguments and chooser.
struct TBSApplicationSetup {
    TVersionInfo Version;
    IBSFilePtr Executable;
    // The command-line arguments after the program name.
    std::vector<std::string> Arguments;
    IBSProjectChooserPtr Chooser;
};
// The built-in version record, the running executable, the process's arguments and a project
// choice on standard input and output.
TBSApplicationSetup DefaultApplicationSetup();
// The setup ApplicationObject() is created from; no effect once it exists.
void SetApplicationSetup(TBSApplicationSetup setup);

// Settings that forward every operation to GetSettings, except the file, which is its own.
class TBSConfigAbstract : public IBSSettings {
public:
    explicit TBSConfigAbstract(std::vector<std::string> arguments)
        : arguments_(std::move(arguments)) {}

    virtual IBSSettingsPtr GetSettings() = 0;

    IBSFilePtr GetFile() override;
    void SetFile(IBSFilePtr file) override;
    IBSSectionPtr GetSection(std::string_view name) override;
    std::string AsText() override;
    void AssignSection(std::string_view name, const IBSSection& section) override;
    void AssignText(std::string_view text) override;
    void Save() override;
    IBSStringListPtr SectionNames() override;

    // The argument after the first one that is "-" or "/" and the name (letter case ignored)
    // and not the last; otherwise the default.
    std::string CommandLineValue(std::string_view name, std::string_view fallback) const;

private:
    std::vector<std::string> arguments_;
    std::mutex fileLock_;
    IBSFilePtr file_;
};

class TBSApplication final : public TBSConfigAbstract,
                             public std::enable_shared_from_this<TBSApplication> {
public:
    explicit TBSApplication(TBSApplicationSetup setup);
    ~TBSApplication() override;

    // The application settings; the first call loads the configuration.
    IBSSettingsPtr GetSettings() override;

    const TVersionInfo& Version() const { return setup_.Version; }
    std::string CompanyText() const { return setup_.Version.CompanyName; }
    // "ProductGroup", or "ProductName" when that is empty.
    const std::string& ProductGroup() const { return productGroup_; }
    // "ProductName", then a blank and the major version unless that is 1: "Marqor 6".
    std::string ProductTitle() const;
    // "Debug Build" for a debug build, else "Version major.release.build": 6.0.1.0 gives
    // "Version 6.1.0".
    std::string VersionText() const;
    // Major, minor, release and build as texts.
    const std::vector<std::string>& VersionParts() const { return versionParts_; }
    std::string Comments() const { return setup_.Version.Comments; }
    // 0 when the record's text is no number.
    int Revision() const;

    const IBSFilePtr& Executable() const { return setup_.Executable; }
    // The executable's directory, or "ConfigDirectory" of section "Orvane" of "BSConfig.ini"
    // beside the executable. Determined once.
    IBSDirectoryPtr ConfigurationDirectory();
    // Chooses and loads the configuration once (the CONFIG switch, else the project files of
    // the configuration directory); cancelling the choice ends the process with exit code 0.
    void EnsureConfiguration();
    IBSFilePtr ConfigurationFile();
    // A configuration file is in use and could be opened.
    bool HasConfigurationFile();

    // "Software\" + company + "\" + product group. A version record without them is a fatal
    // error (exit code 1).
    std::string RegistryPath();
    // RegistryPath, then "\" and "UserProjectRegistryPath" when that is set.
    std::string UserRegistryPath();
    std::string CurrentProjectName();
    std::string ResolveUserAlias(std::string_view name);
    IBSStringSetPtr AdministratorNames();
    IBSFilePtr HelpProgram();
    IBSFilePtr ErrorFile();
    IBSFilePtr LogFile();
    std::string DirectoryExploreCommand();

    // "$$$orv_" + title + "_" + project, without blanks, lower case, without "\", "/" and "+".
    const std::string& TemporaryFilePrefix() const { return temporaryFilePrefix_; }
    // 0 none, 1 the executable, 2 a new temporary file: "<prefix>_<n><extension>" in the
    // temporary directory for the smallest n whose file does not exist (only named, not
    // created). Files named here are deleted when the application object ends.
    IBSFilePtr WellKnownFile(int number, std::string_view extension = {});

private:
    IBSFilePtr ConfigFileSetting(std::string_view name, std::string_view defaultName);
    IBSFilePtr ChooseConfigurationFile();
    void LoadConfigurationFile(IBSFilePtr file);
    void DeleteTemporaryFiles();

    TBSApplicationSetup setup_;
    std::string productGroup_;
    std::vector<std::string> versionParts_;
    std::string temporaryFilePrefix_;

    std::recursive_mutex lock_;
    bool configuring_ = false;
    bool configured_ = false;
    IBSDirectoryPtr configurationDirectory_;
    IBSFilePtr configurationFile_;
    bool configurationOpened_ = false;
    IBSSettingsPtr settings_;
    IBSStringMapPtr aliases_;
    IBSStringSetPtr administrators_;
    IBSFilePtr helpProgram_;
    IBSDirectoryPtr temporaryDirectory_;
    std::vector<std::string> temporaryFiles_;
};

class TBSUser final : public TBSConfigAbstract {
public:
    explicit TBSUser(std::shared_ptr<TBSApplication> application);

    // The user settings, created on the first call: the registry key UserRegistryPath of the
    // current user, with the application settings as defaults.
    IBSSettingsPtr GetSettings() override;

    // Lower case: "UserOverride" of the application settings or the logged-on user, after
    // the aliases.
    const std::string& UserName() const { return userName_; }
    // The registry flag "ORVANE" of "Software\Orvane".
    bool IsStaff() const { return staff_; }
    bool IsAdministrator() const { return administrator_; }
    bool HasAdministrativeRights() const { return administrativeRights_; }

private:
    std::shared_ptr<TBSApplication> application_;
    std::string userName_;
    bool staff_ = false;
    bool administrator_ = false;
    bool administrativeRights_ = false;
    std::mutex settingsLock_;
    IBSSettingsPtr settings_;
};

// The process-wide objects, created on the first call.
TBSApplication& ApplicationObject();
std::shared_ptr<TBSApplication> ApplicationObjectPtr();
TBSUser& UserObject();

// ApplicationObject().TemporaryFilePrefix() and ApplicationObject().WellKnownFile(...).
std::string TemporaryFilePrefix();
IBSFilePtr WellKnownFile(int number, std::string_view extension = {});

// Start-up of the services: the crash reporter with its default error file, the application
// object with its configuration, the user settings as the settings every library reads
// (UserSettings()), the explore command and the origin of XML documents.
void StartApplicationServices();

} // namespace marqor
