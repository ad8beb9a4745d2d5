#include "services/config.h"

#include "foundation/errors.h"
#include "foundation/text.h"
#include "foundation/tokenizer.h"
#include "foundation/xml.h"
#include "services/log.h"
#include "services/mad_except.h"
#include "services/settings_stores.h"
#include "services/system.h"
#include "services/version_record.h"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <iostream>
#include <sys/stat.h>
#include <unistd.h>

#ifndef MARQOR_DEBUG_BUILD
#define MARQOR_DEBUG_BUILD 0
#endif

namespace marqor {

namespace {

constexpr std::string_view kSection = "Orvane";

// The maker's support accounts, which "@orvane" in "ProjectAdmins" stands for, and the names
// their short logins resolve to.
const std::vector<std::string>& StaffAccounts() {
    static const std::vector<std::string> accounts = {"orvane-support", "orvane-admin"};
    return accounts;
}
const std::vector<std::pair<std::string, std::string>>& StaffAliases() {
    static const std::vector<std::pair<std::string, std::string>> aliases = {
        {"osupport", "orvane-support"}, {"oadmin", "orvane-admin"}};
    return aliases;
}

std::vector<std::string> ProcessArguments() {
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    std::vector<std::string> args;
    std::string arg;
    while (std::getline(in, arg, '\0'))
        args.push_back(arg);
    if (!args.empty())
        args.erase(args.begin());
    return args;
}

IBSFilePtr RunningExecutable() {
    char buffer[4096];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    return NewFile(n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string());
}

std::mutex& SingletonMutex() {
    static std::mutex m;
    return m;
}

std::optional<TBSApplicationSetup>& PendingSetup() {
    static std::optional<TBSApplicationSetup> setup;
    return setup;
}

std::shared_ptr<TBSApplication>& ApplicationSlot() {
    static std::shared_ptr<TBSApplication> application;
    return application;
}

std::shared_ptr<TBSUser>& UserSlot() {
    static std::shared_ptr<TBSUser> user;
    return user;
}

// Resolves a path setting: relative texts are taken from the directory given.
IBSFilePtr FileIn(const IBSDirectory& directory, std::string_view text) {
    return directory.File(text);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Version record and setup

const TVersionInfo& BuiltInVersionInfo() {
    static const TVersionInfo info = [] {
        TVersionInfo v;
        v.CompanyName = MARQOR_VERSION_COMPANY_NAME;
        v.ProductGroup = MARQOR_VERSION_PRODUCT_GROUP;
        v.ProductName = MARQOR_VERSION_PRODUCT_NAME;
        v.Comments = MARQOR_VERSION_COMMENTS;
        v.Revision = MARQOR_VERSION_REVISION;
        v.FileVersion = {MARQOR_VERSION_FILE_VERSION};
        v.Debug = MARQOR_DEBUG_BUILD != 0;
        return v;
    }();
    return info;
}

TBSApplicationSetup DefaultApplicationSetup() {
    TBSApplicationSetup setup;
    setup.Version = BuiltInVersionInfo();
    setup.Executable = RunningExecutable();
    setup.Arguments = ProcessArguments();
    setup.Chooser = std::make_shared<TBSCommandLineProjectChooser>(std::cin, std::cerr);
    return setup;
}

void SetApplicationSetup(TBSApplicationSetup setup) {
    std::lock_guard lock(SingletonMutex());
    if (!ApplicationSlot())
        PendingSetup() = std::move(setup);
}

// ---------------------------------------------------------------------------------------------
// TBSConfigAbstract

IBSFilePtr TBSConfigAbstract::GetFile() {
    std::lock_guard lock(fileLock_);
    return file_;
}

void TBSConfigAbstract::SetFile(IBSFilePtr file) {
    std::lock_guard lock(fileLock_);
    file_ = std::move(file);
}

IBSSectionPtr TBSConfigAbstract::GetSection(std::string_view name) {
    return GetSettings()->GetSection(name);
}

std::string TBSConfigAbstract::AsText() {
    return GetSettings()->AsText();
}

void TBSConfigAbstract::AssignSection(std::string_view name, const IBSSection& section) {
    GetSettings()->AssignSection(name, section);
}

void TBSConfigAbstract::AssignText(std::string_view text) {
    GetSettings()->AssignText(text);
}

void TBSConfigAbstract::Save() {
    GetSettings()->Save();
}

IBSStringListPtr TBSConfigAbstract::SectionNames() {
    return GetSettings()->SectionNames();
}

std::string TBSConfigAbstract::CommandLineValue(std::string_view name,
                                                std::string_view fallback) const {
    for (std::size_t i = 0; i + 1 < arguments_.size(); ++i) {
        const std::string& a = arguments_[i];
        if (a.size() > 1 && (a.front() == '-' || a.front() == '/') &&
            SameText(std::string_view(a).substr(1), name))
            return arguments_[i + 1];
    }
    return std::string(fallback);
}

// ---------------------------------------------------------------------------------------------
// TBSApplication

TBSApplication::TBSApplication(TBSApplicationSetup setup)
    : TBSConfigAbstract(setup.Arguments), setup_(std::move(setup)) {
    if (!setup_.Executable)
        setup_.Executable = RunningExecutable();
    if (!setup_.Chooser)
        setup_.Chooser = std::make_shared<TBSCommandLineProjectChooser>(std::cin, std::cerr);
    productGroup_ = setup_.Version.ProductGroup.empty() ? setup_.Version.ProductName
                                                        : setup_.Version.ProductGroup;
    for (auto part : setup_.Version.FileVersion)
        versionParts_.push_back(std::to_string(part));

    std::string prefix = "$$$orv_" + ProductTitle() + "_" + CurrentProjectName();
    std::erase_if(prefix, [](char c) { return c == ' '; });
    prefix = UnicodeLower(prefix);
    // A "/" would make the name a path on this platform.
    std::erase_if(prefix, [](char c) { return c == '\\' || c == '+' || c == '/'; });
    temporaryFilePrefix_ = prefix;
    temporaryDirectory_ = TBSSystem::WellKnownDirectory(4);
}

TBSApplication::~TBSApplication() {
    DeleteTemporaryFiles();
}

IBSSettingsPtr TBSApplication::GetSettings() {
    EnsureConfiguration();
    std::lock_guard lock(lock_);
    // While the configuration is being chosen the settings are not known yet: an empty store.
    return settings_ ? settings_ : NewMemorySettings();
}

std::string TBSApplication::ProductTitle() const {
    const std::string& major = versionParts_.at(0);
    return major == "1" ? setup_.Version.ProductName : setup_.Version.ProductName + " " + major;
}

std::string TBSApplication::VersionText() const {
    if (setup_.Version.Debug)
        return "Debug Build";
    return "Version " + versionParts_[0] + "." + versionParts_[2] + "." + versionParts_[3];
}

int TBSApplication::Revision() const {
    return ParseInt(setup_.Version.Revision).value_or(0);
}

IBSDirectoryPtr TBSApplication::ConfigurationDirectory() {
    std::lock_guard lock(lock_);
    if (configurationDirectory_)
        return configurationDirectory_;
    const auto executableDirectory = setup_.Executable->Directory();
    configurationDirectory_ = executableDirectory;
    const auto bsConfig = executableDirectory->File("BSConfig.ini");
    if (bsConfig->Exists()) {
        // Read only: the file belongs to whoever installed the program.
        const auto section = OpenIniSettings(bsConfig, true)->GetSection(kSection);
        const std::string text = section->ReadString("ConfigDirectory", "");
        if (!Trim(text).empty())
            configurationDirectory_ = NewDirectory(Trim(text), executableDirectory.get());
    }
    return configurationDirectory_;
}

void TBSApplication::EnsureConfiguration() {
    std::lock_guard lock(lock_);
    if (configured_ || configuring_)
        return;
    configuring_ = true;
    struct Done {
        TBSApplication& app;
        ~Done() {
            app.configuring_ = false;
            app.configured_ = true;
        }
    } done{*this};

    const auto directory = ConfigurationDirectory();
    IBSFilePtr file;
    const std::string named = CommandLineValue("CONFIG", "");
    if (SameText(named, "WindowsUserName"))
        file = directory->File(TBSSystem::UserName() + ".ini");
    else if (!named.empty())
        file = NewFile(named, TBSSystem::WellKnownDirectory(6).get());
    if (!file || !file->Exists())
        file = ChooseConfigurationFile();
    LoadConfigurationFile(file);

    const auto section = settings_->GetSection(kSection);
    if (const auto errorFile = ConfigFileSetting("ErrorFile", ".err"))
        TBSMadExcept::SetErrorFile(errorFile);
    TBSMadExcept::SetConfigurationFile(configurationFile_ ? configurationFile_ : NewFile(""));
    SetDirectoryExploreCmd(section->ReadString("DirectoryExploreCmd", ""));
}

IBSFilePtr TBSApplication::ChooseConfigurationFile() {
    const auto directory = ConfigurationDirectory();
    struct Project {
        std::string name;
        IBSFilePtr file;
    };
    std::vector<Project> projects;
    for (const auto& candidate : directory->Files("*.ini")) {
        try {
            const auto section =
                OpenEncryptableSettings(candidate, kSection, false)->GetSection(kSection);
            std::string name = section->ReadString("ProjectName", "");
            if (name.empty())
                name = section->ReadString("Name", "");
            if (!name.empty())
                projects.push_back({name, candidate});
        } catch (const std::exception&) {
            // A file that cannot be read offers no project.
        }
    }
    std::stable_sort(projects.begin(), projects.end(), [](const Project& a, const Project& b) {
        return CompareDisplayText(a.name, b.name) < 0;
    });
    if (projects.size() == 1)
        return projects.front().file;
    if (projects.empty()) {
        const auto own = directory->File(setup_.Executable->BaseName() + ".ini");
        return own->Exists() ? own : nullptr;
    }
    const std::string registryPath = RegistryPath();
    const std::string last = ReadRegistryValue(registryPath, "ProjectName").value_or("");
    auto names = NewStringList();
    for (const auto& p : projects)
        names->Add(p.name);
    const int chosen = setup_.Chooser->ChooseProject(productGroup_, last, *names);
    if (chosen < 0 || chosen >= static_cast<int>(projects.size()))
        TBSSystem::Halt(ExitProjectChoiceCancelled);
    try {
        WriteRegistryValue(registryPath, "ProjectName", projects[chosen].name);
    } catch (const std::exception& e) {
        ServiceLog(std::string("The chosen project is not remembered: ") + e.what());
    }
    return projects[chosen].file;
}

void TBSApplication::LoadConfigurationFile(IBSFilePtr file) {
    configurationFile_ = file;
    configurationOpened_ = false;
    aliases_ = NewStringMap();
    administrators_ = NewStringSet();
    if (!file) {
        settings_ = NewMemorySettings();
        return;
    }
    try {
        settings_ = OpenEncryptableSettings(file, kSection);
        configurationOpened_ = true;
    } catch (const std::exception& e) {
        ServiceLog(std::string("Configuration file cannot be opened, defaults are used: ") +
                   e.what());
        settings_ = NewMemorySettings();
        return;
    }
    aliases_ = settings_->GetSection("UserAliases")->GetValues();
    const auto admins =
        Tokenize(settings_->GetSection(kSection)->ReadString("ProjectAdmins", ""), ",", false);
    for (int i = 0; i < admins->Count(); ++i) {
        const std::string name = UnicodeLower(Trim(admins->Token(i)));
        if (name.empty())
            continue;
        if (name == "@orvane") {
            for (const auto& account : StaffAccounts())
                administrators_->Add(account);
            for (const auto& [alias, account] : StaffAliases())
                if (!aliases_->ContainsName(alias))
                    aliases_->Put(alias, account);
        } else {
            administrators_->Add(name);
        }
    }
}

IBSFilePtr TBSApplication::ConfigurationFile() {
    EnsureConfiguration();
    std::lock_guard lock(lock_);
    return configurationFile_;
}

bool TBSApplication::HasConfigurationFile() {
    EnsureConfiguration();
    std::lock_guard lock(lock_);
    return configurationFile_ && configurationOpened_;
}

std::string TBSApplication::RegistryPath() {
    if (CompanyText().empty())
        FatalError("Versionsinfo: CompanyName fehlt!", ExitVersionInfoMissing);
    if (productGroup_.empty())
        FatalError("Versionsinfo: ProductGroup/ProductName fehlt!", ExitVersionInfoMissing);
    return "Software\\" + CompanyText() + "\\" + productGroup_;
}

std::string TBSApplication::UserRegistryPath() {
    const std::string sub = GetSection(kSection)->ReadString("UserProjectRegistryPath", "");
    return sub.empty() ? RegistryPath() : RegistryPath() + "\\" + sub;
}

std::string TBSApplication::CurrentProjectName() {
    return GetSection(kSection)->ReadString("ProjectName", "");
}

std::string TBSApplication::ResolveUserAlias(std::string_view name) {
    EnsureConfiguration();
    std::lock_guard lock(lock_);
    if (const auto* alias = aliases_->Find(name))
        return *alias;
    return std::string(name);
}

IBSStringSetPtr TBSApplication::AdministratorNames() {
    EnsureConfiguration();
    std::lock_guard lock(lock_);
    return administrators_->Clone();
}

IBSFilePtr TBSApplication::ConfigFileSetting(std::string_view name, std::string_view suffix) {
    const auto directory = ConfigurationDirectory();
    const auto fallback = directory->File(setup_.Executable->BaseName() + std::string(suffix));
    const auto section = GetSection(kSection);
    const std::string absent = "\x01";
    const std::string text = section->ReadString(name, absent);
    if (text == absent)
        return fallback;
    if (Trim(text).empty())
        return nullptr;
    return FileIn(*directory, Trim(text));
}

IBSFilePtr TBSApplication::HelpProgram() {
    std::lock_guard lock(lock_);
    if (!helpProgram_)
        helpProgram_ = ConfigFileSetting("HelpFile", "_Help");
    return helpProgram_;
}

IBSFilePtr TBSApplication::ErrorFile() {
    return ConfigFileSetting("ErrorFile", ".err");
}

IBSFilePtr TBSApplication::LogFile() {
    return ConfigFileSetting("LogFile", ".log");
}

std::string TBSApplication::DirectoryExploreCommand() {
    return GetSection(kSection)->ReadString("DirectoryExploreCmd", "");
}

IBSFilePtr TBSApplication::WellKnownFile(int number, std::string_view extension) {
    switch (number) {
    case 1:
        return setup_.Executable;
    case 2: {
        const auto& directory = temporaryDirectory_;
        for (int n = 1;; ++n) {
            auto file =
                directory->File(Format("%s_%d%.*s", temporaryFilePrefix_.c_str(), n,
                                       static_cast<int>(extension.size()), extension.data()));
            if (!file->Exists()) {
                std::lock_guard lock(lock_);
                if (std::find(temporaryFiles_.begin(), temporaryFiles_.end(), file->PathText()) ==
                    temporaryFiles_.end())
                    temporaryFiles_.push_back(file->PathText());
                return file;
            }
        }
    }
    default:
        return nullptr;
    }
}

void TBSApplication::DeleteTemporaryFiles() {
    // The files this process named, and files of the prefix that nobody has touched for a
    // day (left behind by a program that crashed). Files of the prefix that another running
    // instance of the program may still use are left alone.
    const auto& directory = temporaryDirectory_;
    for (const auto& path : temporaryFiles_)
        unlink(path.c_str());
    const TDateTime dayAgo = Now() - 1;
    for (const auto& file : directory->Files("*")) {
        if (!file->Name().starts_with(temporaryFilePrefix_))
            continue;
        const TDateTime changed = file->ModifiedAt();
        if (changed != 0 && changed < dayAgo)
            unlink(file->PathText().c_str());
    }
}

// ---------------------------------------------------------------------------------------------
// TBSUser

TBSUser::TBSUser(std::shared_ptr<TBSApplication> application)
    : TBSConfigAbstract({}), application_(std::move(application)) {
    std::string name = application_->GetSection(kSection)->ReadString("UserOverride", "");
    if (name.empty())
        name = TBSSystem::UserName();
    userName_ = UnicodeLower(application_->ResolveUserAlias(name));
    staff_ = TBSSystem::ReadRegistryFlag("Software\\Orvane", "ORVANE");
    administrativeRights_ = TBSSystem::HasAdministrativeRights();
    administrator_ = application_->AdministratorNames()->Contains(userName_);
    TBSMadExcept::SetReportUser(userName_);
}

IBSSettingsPtr TBSUser::GetSettings() {
    std::lock_guard lock(settingsLock_);
    if (!settings_)
        settings_ = OpenRegistrySettings(application_->UserRegistryPath(), application_);
    return settings_;
}

// ---------------------------------------------------------------------------------------------
// Process-wide objects

std::shared_ptr<TBSApplication> ApplicationObjectPtr() {
    std::unique_lock lock(SingletonMutex());
    auto& slot = ApplicationSlot();
    if (!slot) {
        auto setup = PendingSetup() ? std::move(*PendingSetup()) : DefaultApplicationSetup();
        PendingSetup().reset();
        slot = std::make_shared<TBSApplication>(std::move(setup));
    }
    return slot;
}

TBSApplication& ApplicationObject() {
    return *ApplicationObjectPtr();
}

TBSUser& UserObject() {
    auto application = ApplicationObjectPtr();
    std::lock_guard lock(SingletonMutex());
    auto& slot = UserSlot();
    if (!slot)
        slot = std::make_shared<TBSUser>(std::move(application));
    return *slot;
}

std::string TemporaryFilePrefix() {
    return ApplicationObject().TemporaryFilePrefix();
}

IBSFilePtr WellKnownFile(int number, std::string_view extension) {
    return ApplicationObject().WellKnownFile(number, extension);
}

void StartApplicationServices() {
    TBSMadExcept::Install();
    auto& application = ApplicationObject();
    SetXmlDocumentOrigin(application.ProductTitle(), application.VersionParts().at(0));
    application.EnsureConfiguration();
    auto& user = UserObject();
    SetUserSettings(user.GetSettings());
}

} // namespace marqor
