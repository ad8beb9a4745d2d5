#include "services/settings_stores.h"

#include "foundation/errors.h"
#include "foundation/file_io.h"
#include "foundation/text.h"
#include "services/ini_file.h"
#include "services/log.h"

#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <nettle/arcfour.h>
#include <nettle/base64.h>
#include <nettle/sha1.h>
#include <pwd.h>
#include <unistd.h>

namespace marqor {

namespace {

// ---------------------------------------------------------------------------------------------
// Encryption

// Files written with another pass phrase cannot be read; nothing else depends on its value.
constexpr std::string_view kPassPhrase = "Orvane-Marqor-Settings#6";
static_assert(kPassPhrase.size() == 24);

std::string Rc4(std::string_view data) {
    std::uint8_t key[SHA1_DIGEST_SIZE];
    sha1_ctx hash;
    sha1_init(&hash);
    sha1_update(&hash, kPassPhrase.size(),
                reinterpret_cast<const std::uint8_t*>(kPassPhrase.data()));
    sha1_digest(&hash, SHA1_DIGEST_SIZE, key);
    arcfour_ctx cipher;
    arcfour_set_key(&cipher, SHA1_DIGEST_SIZE, key);
    std::string out(data.size(), '\0');
    arcfour_crypt(&cipher, data.size(), reinterpret_cast<std::uint8_t*>(out.data()),
                  reinterpret_cast<const std::uint8_t*>(data.data()));
    return out;
}

// ---------------------------------------------------------------------------------------------
// Stores

std::string WithoutOuterBackslashes(std::string_view keyPath) {
    std::string path(keyPath);
    for (auto& c : path)
        if (c == '/')
            c = '\\';
    while (!path.empty() && path.front() == '\\')
        path.erase(0, 1);
    while (!path.empty() && path.back() == '\\')
        path.pop_back();
    return path;
}

bool StartsWithText(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && SameText(s.substr(0, prefix.size()), prefix);
}

// A store over a shared settings file. With a key prefix it is a registry key: its sections are
// the sections "<key>\<name>" of the file.
class TBSFileIniStore final : public IBSIniStore {
public:
    TBSFileIniStore(std::shared_ptr<TBSIniFile> file, std::string key)
        : file_(std::move(file)), prefix_(key.empty() ? "" : key + "\\") {}

    IBSStringListPtr SectionNames() const override {
        const auto data = file_->Snapshot();
        auto names = NewStringList();
        for (const auto& s : data->Sections()) {
            if (prefix_.empty()) {
                names->Add(s.name);
                continue;
            }
            if (!StartsWithText(s.name, prefix_) || s.name.size() == prefix_.size())
                continue;
            // A deeper key names its first part below this key as a section of it.
            std::string name = s.name.substr(prefix_.size());
            name = name.substr(0, name.find('\\'));
            bool known = false;
            for (const auto& n : *names)
                known = known || SameText(n, name);
            if (!known)
                names->Add(name);
        }
        return names;
    }
    bool SectionExists(std::string_view section) const override {
        const auto data = file_->Snapshot();
        const std::string full = Full(section);
        for (const auto& s : data->Sections())
            if (SameText(s.name, full) || (!prefix_.empty() && StartsWithText(s.name, full + "\\")))
                return true;
        return false;
    }
    std::optional<std::string> ReadValue(std::string_view section,
                                         std::string_view name) const override {
        const auto data = file_->Snapshot();
        const auto* s = data->Find(Full(section));
        if (!s)
            return std::nullopt;
        if (const auto* v = s->values->Find(name))
            return *v;
        return std::nullopt;
    }
    IBSStringMapPtr SectionValues(std::string_view section) const override {
        const auto data = file_->Snapshot();
        const auto* s = data->Find(Full(section));
        return s ? s->values->Clone() : NewStringMap();
    }
    void WriteValue(std::string_view section, std::string_view name,
                    std::string_view value) override {
        const std::string full = Full(section);
        CheckIniEntry(file_->Path(), full, name, value);
        file_->Modify([&](TBSIniData& data) {
            const bool existed = data.Find(full) != nullptr;
            auto& s = data.Add(full);
            const auto* old = s.values->Find(name);
            if (old && *old == value)
                return !existed;
            s.values->Put(name, value);
            return true;
        });
    }
    void DeleteValue(std::string_view section, std::string_view name) override {
        const std::string full = Full(section);
        file_->Modify([&](TBSIniData& data) {
            const auto* s = data.Find(full);
            if (!s || !s->values->Find(name))
                return false;
            data.Add(full).values->Remove(name);
            return true;
        });
    }
    void EraseSection(std::string_view section) override {
        const std::string full = Full(section);
        file_->Modify([&](TBSIniData& data) {
            bool changed = data.Erase(full);
            if (!prefix_.empty()) {
                // Deleting a registry key deletes the keys below it.
                std::vector<std::string> below;
                for (const auto& s : data.Sections())
                    if (StartsWithText(s.name, full + "\\"))
                        below.push_back(s.name);
                for (const auto& name : below)
                    changed = data.Erase(name) || changed;
            }
            return changed;
        });
    }

private:
    std::string Full(std::string_view section) const {
        return prefix_.empty() ? std::string(section) : prefix_ + WithoutOuterBackslashes(section);
    }

    std::shared_ptr<TBSIniFile> file_;
    std::string prefix_;
};

// INI data in memory; guarded because a worker thread's first text lookup may read settings.
class TBSDataIniStore : public IBSIniStore {
public:
    // With a file name, entries are checked to fit an INI file, where they will be saved.
    explicit TBSDataIniStore(TBSIniData data = {}, std::string fileName = {})
        : data_(std::move(data)), fileName_(std::move(fileName)) {}

    IBSStringListPtr SectionNames() const override {
        std::lock_guard lock(mutex_);
        auto names = NewStringList();
        for (const auto& s : data_.Sections())
            names->Add(s.name);
        return names;
    }
    bool SectionExists(std::string_view section) const override {
        std::lock_guard lock(mutex_);
        return data_.Find(section) != nullptr;
    }
    std::optional<std::string> ReadValue(std::string_view section,
                                         std::string_view name) const override {
        std::lock_guard lock(mutex_);
        const auto* s = data_.Find(section);
        if (!s)
            return std::nullopt;
        if (const auto* v = s->values->Find(name))
            return *v;
        return std::nullopt;
    }
    IBSStringMapPtr SectionValues(std::string_view section) const override {
        std::lock_guard lock(mutex_);
        const auto* s = data_.Find(section);
        return s ? s->values->Clone() : NewStringMap();
    }
    void WriteValue(std::string_view section, std::string_view name,
                    std::string_view value) override {
        if (!fileName_.empty())
            CheckIniEntry(fileName_, section, name, value);
        std::lock_guard lock(mutex_);
        data_.Add(section).values->Put(name, value);
        changed_ = true;
    }
    void DeleteValue(std::string_view section, std::string_view name) override {
        std::lock_guard lock(mutex_);
        if (const auto* s = data_.Find(section); s && s->values->Find(name)) {
            data_.Add(section).values->Remove(name);
            changed_ = true;
        }
    }
    void EraseSection(std::string_view section) override {
        std::lock_guard lock(mutex_);
        changed_ = data_.Erase(section) || changed_;
    }

protected:
    mutable std::mutex mutex_;
    TBSIniData data_;
    const std::string fileName_;
    bool changed_ = false; // since it was loaded
};

// The settings of an encrypted file, held in memory and written by Save.
class TBSEncryptedIniStore final : public TBSDataIniStore {
public:
    TBSEncryptedIniStore(std::string path, TBSIniData data)
        : TBSDataIniStore(std::move(data), path), path_(std::move(path)) {}

    void Save() override {
        std::lock_guard lock(mutex_);
        const std::string text = IniTextOf(data_);
        const auto bytes = ReadSettingsFileBytes(path_);
        const auto current = bytes ? DecryptSettingsText(*bytes) : std::optional<std::string>("");
        if (current && *current == text)
            return; // unchanged: the file keeps its bytes and its time stamp
        if (!current) {
            // The file holds settings this program cannot read. Never write over them unasked;
            // when there is something new to save, keep them beside it.
            if (!changed_)
                return;
            const std::string aside = PutFileAside(path_);
            ServiceLog("Settings file " + path_ + " cannot be decrypted; it was kept as " + aside +
                       " before the changed settings were saved");
        }
        ReplaceFileContents(path_, EncryptSettingsText(text));
        changed_ = false;
    }

private:
    std::string path_;
};

std::string HomeDirectory() {
    if (const char* home = std::getenv("HOME"); home && *home == '/')
        return home;
    std::string buffer(16384, '\0');
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_dir)
        return found->pw_dir;
    return "/";
}

std::shared_ptr<TBSIniFile> RegistryFile() {
    return TBSIniFile::Open(RegistryFileName(), true);
}

} // namespace

std::string SectionAsText(IBSSettings& settings, std::string_view name) {
    std::string spelled(name);
    const auto names = settings.SectionNames();
    for (const auto& known : *names)
        if (SameText(known, name))
            spelled = known;
    const auto values = settings.GetSection(spelled)->GetValues();
    if (values->IsEmpty() && settings.GetSection(spelled)->IsEmpty())
        return "";
    std::string text = "[" + spelled + "]";
    for (int i = 0; i < values->Count(); ++i)
        text += "\r\n" + values->NameAt(i) + "=" + values->ValueAt(i);
    return text + "\r\n";
}

std::string EncryptSettingsText(std::string_view text) {
    const std::string cipher = Rc4(text);
    std::string out(BASE64_ENCODE_RAW_LENGTH(cipher.size()), '\0');
    base64_encode_raw(out.data(), cipher.size(),
                      reinterpret_cast<const std::uint8_t*>(cipher.data()));
    return out;
}

std::optional<std::string> DecryptSettingsText(std::string_view fileText) {
    std::string base64;
    base64.reserve(fileText.size());
    for (char c : fileText)
        if (static_cast<unsigned char>(c) > ' ')
            base64 += c;
    std::string cipher(BASE64_DECODE_LENGTH(base64.size()) + 1, '\0');
    base64_decode_ctx ctx;
    base64_decode_init(&ctx);
    std::size_t length = cipher.size();
    if (!base64_decode_update(&ctx, &length, reinterpret_cast<std::uint8_t*>(cipher.data()),
                              base64.size(), base64.data()) ||
        !base64_decode_final(&ctx))
        return std::nullopt;
    cipher.resize(length);
    std::string text = DecodeTextBytes(Rc4(cipher));
    if (!ParseIniText(text))
        return std::nullopt;
    return text;
}

IBSSettingsPtr OpenIniSettings(IBSFilePtr file, bool inMemory) {
    if (!file || file->IsEmpty())
        return NewMemorySettings();
    const std::string path = file->PathText();
    if (!inMemory)
        return NewSettings(std::make_unique<TBSFileIniStore>(TBSIniFile::Open(path, true), ""),
                           nullptr, std::move(file));
    std::optional<TBSIniData> data;
    std::string reason;
    try {
        const auto bytes = ReadSettingsFileBytes(path);
        data = bytes ? ParseIniBytes(*bytes) : TBSIniData();
        if (!data)
            reason = "it is not INI text";
    } catch (const EFileError& e) {
        reason = e.Code().message();
    }
    if (!data) {
        ServiceLog("Settings file " + path + " cannot be read (" + reason +
                   "); its settings are ignored and defaults are used");
        data.emplace();
    }
    return NewSettings(std::make_unique<TBSDataIniStore>(std::move(*data)), nullptr,
                       std::move(file));
}

IBSSettingsPtr OpenEncryptableSettings(IBSFilePtr file, std::string_view sectionName,
                                       bool reportUndecryptable) {
    if (!file || file->IsEmpty())
        return NewMemorySettings();
    const std::string path = file->PathText();
    const auto bytes = ReadSettingsFileBytes(path); // an unreadable file propagates its error
    if (bytes) {
        if (const auto plain = ParseIniBytes(*bytes); plain && plain->Find(sectionName))
            return OpenIniSettings(std::move(file), false);
    }
    std::optional<TBSIniData> data;
    if (!bytes)
        data.emplace();
    else if (const auto text = DecryptSettingsText(*bytes))
        data = ParseIniText(*text);
    if (!data) {
        if (reportUndecryptable)
            ServiceLog("Settings file " + path +
                       " cannot be decrypted; its settings are ignored and defaults are used");
        data.emplace();
    }
    return NewSettings(std::make_unique<TBSEncryptedIniStore>(path, std::move(*data)), nullptr,
                       std::move(file));
}

IBSSettingsPtr OpenRegistrySettings(std::string_view keyPath, IBSSettingsPtr defaults) {
    return NewSettings(
        std::make_unique<TBSFileIniStore>(RegistryFile(), WithoutOuterBackslashes(keyPath)),
        std::move(defaults));
}

std::string RegistryFileName() {
    // Only an absolute XDG_CONFIG_HOME counts; a relative one is to be ignored.
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const std::string base =
        config && *config == '/' ? std::string(config) : HomeDirectory() + "/.config";
    return NormalisePath(base + "/Orvane/registry.ini");
}

std::optional<std::string> ReadRegistryValue(std::string_view keyPath, std::string_view name) {
    const auto data = RegistryFile()->Snapshot();
    const auto* s = data->Find(WithoutOuterBackslashes(keyPath));
    if (!s)
        return std::nullopt;
    if (const auto* v = s->values->Find(name))
        return *v;
    return std::nullopt;
}

void WriteRegistryValue(std::string_view keyPath, std::string_view name, std::string_view value) {
    const auto file = RegistryFile();
    const std::string key = WithoutOuterBackslashes(keyPath);
    CheckIniEntry(file->Path(), key, name, value);
    file->Modify([&](TBSIniData& data) {
        auto& s = data.Add(key);
        const auto* old = s.values->Find(name);
        if (old && *old == value)
            return false;
        s.values->Put(name, value);
        return true;
    });
}

bool ReadRegistryFlag(std::string_view keyPath, std::string_view name) {
    const auto value = ReadRegistryValue(keyPath, name);
    if (!value)
        return false;
    auto section = MemorySectionFromText("v=" + *value);
    return section->ReadBool("v", false);
}

} // namespace marqor
