#include "foundation/settings.h"

#include "foundation/text.h"

#include <charconv>
#include <cmath>
#include <mutex>
#include <unordered_map>
#include <utility>

namespace marqor {

namespace {

// ---------------------------------------------------------------------------------------------
// Escaping

constexpr std::string_view kEscape = "\xC2\x81"; // U+0081 in UTF-8

void ReplaceAll(std::string& s, std::string_view what, std::string_view with) {
    for (std::size_t at = s.find(what); at != std::string::npos;
         at = s.find(what, at + with.size()))
        s.replace(at, what.size(), with);
}

// A text no typed write produces (WriteString escapes NUL and U+0081), so a raw read with it as
// the default tells an absent value from any stored one.
const std::string kAbsent = std::string("\0\xC2\x81\x01"
                                        "absent",
                                        10);

// ---------------------------------------------------------------------------------------------
// Stores

// Guarded by a lock although settings belong to the main thread: a worker thread's first text
// lookup reads the stored language choice.
class TBSMemoryIniStore final : public IBSIniStore {
public:
    IBSStringListPtr SectionNames() const override {
        std::lock_guard lock(lock_);
        auto names = NewStringList();
        for (const auto& s : sections_)
            names->Add(s.name);
        return names;
    }
    bool SectionExists(std::string_view section) const override {
        std::lock_guard lock(lock_);
        return Find(section) != nullptr;
    }
    std::optional<std::string> ReadValue(std::string_view section,
                                         std::string_view name) const override {
        std::lock_guard lock(lock_);
        const auto* s = Find(section);
        if (!s)
            return std::nullopt;
        const auto* v = s->values->Find(name);
        if (!v)
            return std::nullopt;
        return *v;
    }
    IBSStringMapPtr SectionValues(std::string_view section) const override {
        std::lock_guard lock(lock_);
        const auto* s = Find(section);
        return s ? s->values->Clone() : NewStringMap();
    }
    void WriteValue(std::string_view section, std::string_view name,
                    std::string_view value) override {
        std::lock_guard lock(lock_);
        Add(section).values->Put(name, value);
    }
    void AddSection(std::string_view section) {
        std::lock_guard lock(lock_);
        Add(section);
    }
    void DeleteValue(std::string_view section, std::string_view name) override {
        std::lock_guard lock(lock_);
        if (auto* s = Find(section))
            s->values->Remove(name);
    }
    void EraseSection(std::string_view section) override {
        std::lock_guard lock(lock_);
        const auto it = index_.find(AsciiUpper(section));
        if (it == index_.end())
            return;
        sections_.erase(sections_.begin() + static_cast<std::ptrdiff_t>(it->second));
        index_.clear();
        for (std::size_t i = 0; i < sections_.size(); ++i)
            index_.emplace(AsciiUpper(sections_[i].name), i);
    }

private:
    struct Section {
        std::string name;
        IBSStringMapPtr values;
    };

    const Section* Find(std::string_view section) const {
        const auto it = index_.find(AsciiUpper(section));
        return it == index_.end() ? nullptr : &sections_[it->second];
    }
    Section* Find(std::string_view section) {
        return const_cast<Section*>(std::as_const(*this).Find(section));
    }
    Section& Add(std::string_view section) {
        if (auto* s = Find(section))
            return *s;
        index_.emplace(AsciiUpper(section), sections_.size());
        sections_.push_back({std::string(section), NewStringMap()});
        return sections_.back();
    }

    mutable std::mutex lock_;
    std::vector<Section> sections_;
    std::unordered_map<std::string, std::size_t> index_; // upper-cased name -> position
};

class TBSSettings;

// A section of a settings object's store.
class TBSSection : public TBSAbstractSection {
public:
    TBSSection(std::shared_ptr<TBSSettings> owner, IBSIniStore& store, std::string name)
        : owner_(std::move(owner)), store_(store), name_(std::move(name)) {}

    void Clear() override { store_.EraseSection(name_); }
    IBSStringMapPtr GetValues() const override { return store_.SectionValues(name_); }
    bool IsEmpty() const override { return !store_.SectionExists(name_); }
    std::string ReadRaw(std::string_view name, std::string_view fallback) const override {
        try {
            if (auto v = store_.ReadValue(name_, name))
                return std::move(*v);
        } catch (const std::exception&) {
            // A value the store cannot read as text is of no use to anyone: drop it, so the
            // next write starts clean, and answer as if it were absent.
            try {
                store_.DeleteValue(name_, name);
            } catch (const std::exception&) {
            }
        }
        return std::string(fallback);
    }
    void WriteRaw(std::string_view name, std::string_view text) override {
        store_.WriteValue(name_, name, text);
    }

private:
    std::shared_ptr<TBSSettings> owner_; // keeps the store alive
    IBSIniStore& store_;
    std::string name_;
};

// A section whose missing values come from the same-named section of a defaults provider.
class TBSSectionWithDefaults final : public TBSSection {
public:
    TBSSectionWithDefaults(std::shared_ptr<TBSSettings> owner, IBSIniStore& store, std::string name,
                           IBSSectionPtr defaults)
        : TBSSection(std::move(owner), store, std::move(name)), defaults_(std::move(defaults)) {}

    IBSStringMapPtr GetValues() const override {
        auto values = TBSSection::GetValues();
        const auto inherited = defaults_->GetValues();
        for (int i = 0; i < inherited->Count(); ++i)
            if (!values->ContainsName(inherited->NameAt(i)))
                values->Put(inherited->NameAt(i), inherited->ValueAt(i));
        return values;
    }
    bool IsEmpty() const override { return TBSSection::IsEmpty() && defaults_->IsEmpty(); }
    std::string ReadRaw(std::string_view name, std::string_view fallback) const override {
        return TBSSection::ReadRaw(name, defaults_->ReadRaw(name, fallback));
    }

private:
    IBSSectionPtr defaults_;
};

class TBSSettings final : public IBSSettings, public std::enable_shared_from_this<TBSSettings> {
public:
    TBSSettings(IBSIniStorePtr store, IBSSettingsPtr defaults, IBSFilePtr file)
        : store_(std::move(store)), defaults_(std::move(defaults)), file_(std::move(file)) {}

    IBSFilePtr GetFile() override { return file_; }
    void SetFile(IBSFilePtr file) override { file_ = std::move(file); }

    IBSSectionPtr GetSection(std::string_view name) override {
        if (defaults_)
            return std::make_shared<TBSSectionWithDefaults>(
                shared_from_this(), *store_, std::string(name), defaults_->GetSection(name));
        return std::make_shared<TBSSection>(shared_from_this(), *store_, std::string(name));
    }

    std::string AsText() override {
        std::vector<std::string> lines;
        const auto names = store_->SectionNames();
        for (const auto& name : *names) {
            lines.push_back("[" + name + "]");
            const auto values = GetSection(name)->GetValues();
            for (int i = 0; i < values->Count(); ++i)
                lines.push_back(values->NameAt(i) + "=" + values->ValueAt(i));
            lines.emplace_back();
        }
        std::string text;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (i > 0)
                text += "\r\n";
            text += lines[i];
        }
        return text;
    }

    void AssignSection(std::string_view name, const IBSSection& section) override {
        GetSection(name)->SetValues(*section.GetValues());
    }

    void AssignText(std::string_view text) override {
        const auto incoming = MemoryIniStoreFromText(text);
        const auto incomingNames = incoming->SectionNames();
        for (const auto& name : *incomingNames)
            GetSection(name)->SetValues(*incoming->SectionValues(name));
        const auto names = store_->SectionNames();
        for (const auto& name : *names)
            if (!incoming->SectionExists(name))
                store_->EraseSection(name);
    }

    void Save() override { store_->Save(); }
    IBSStringListPtr SectionNames() override { return store_->SectionNames(); }

private:
    IBSIniStorePtr store_;
    IBSSettingsPtr defaults_;
    IBSFilePtr file_;
};

std::mutex& UserSettingsMutex() {
    static std::mutex m;
    return m;
}

IBSSettingsPtr& UserSettingsSlot() {
    static IBSSettingsPtr settings;
    return settings;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Text forms

const std::vector<std::string>& TrueBoolWords() {
    static const std::vector<std::string> words = {"T",    "J",  "Y",   "1",   "-1",
                                                   "True", "Ja", "Yes", "Wahr"};
    return words;
}

const std::vector<std::string>& FalseBoolWords() {
    static const std::vector<std::string> words = {"F", "N", "0", "False", "Nein", "No", "Falsch"};
    return words;
}

std::string EscapeSettingText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        char code = 0;
        switch (c) {
        case '\0':
            code = '0';
            break;
        case '\b':
            code = 'b';
            break;
        case '\t':
            code = 't';
            break;
        case '\n':
            code = 'n';
            break;
        case '\r':
            code = 'r';
            break;
        default:
            break;
        }
        if (code) {
            out += kEscape;
            out += code;
        } else if (text.substr(i).starts_with(kEscape)) {
            out += kEscape;
            out += kEscape;
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

std::string UnescapeSettingText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        if (!text.substr(i).starts_with(kEscape)) {
            out += text[i++];
            continue;
        }
        i += kEscape.size();
        if (i >= text.size())
            break; // a lone escape at the end stands for nothing
        switch (text[i]) {
        case '0':
            out += '\0';
            ++i;
            continue;
        case 'b':
            out += '\b';
            ++i;
            continue;
        case 'n':
            out += '\n';
            ++i;
            continue;
        case 'r':
            out += '\r';
            ++i;
            continue;
        case 't':
            out += '\t';
            ++i;
            continue;
        default:
            break;
        }
        char32_t cp;
        const std::size_t n = Utf8Next(text, i, cp);
        out += text.substr(i, n);
        i += n;
    }
    ReplaceAll(out, "#CRLF#", "\r\n");
    ReplaceAll(out, "#LF#", "\n");
    return out;
}

std::string FloatToSettingText(double value) {
    if (!std::isfinite(value))
        return "0";
    if (value == 0)
        return "0"; // also for -0
    char buf[64];
    const auto [end, ec] =
        std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    if (ec != std::errc())
        return "0";
    std::string text(buf, end);
    // The stored form writes the exponent as "E", its sign only when negative, no leading
    // zeros: 1E20, 1.5E-5.
    const auto e = text.find('e');
    if (e != std::string::npos) {
        std::string mantissa = text.substr(0, e);
        std::string_view exponent = std::string_view(text).substr(e + 1);
        const bool negative = exponent.front() == '-';
        exponent.remove_prefix(1);
        while (exponent.size() > 1 && exponent.front() == '0')
            exponent.remove_prefix(1);
        text = mantissa + "E" + (negative ? "-" : "") + std::string(exponent);
    }
    return text;
}

std::optional<double> SettingTextToFloat(std::string_view text) {
    std::string s(text);
    for (auto& c : s)
        if (c == ',')
            c = '.';
    return ParseFloat(s);
}

// ---------------------------------------------------------------------------------------------
// TBSAbstractSection

std::optional<std::string> TBSAbstractSection::ReadStored(std::string_view name) const {
    std::string raw = ReadRaw(name, kAbsent);
    if (raw == kAbsent)
        return std::nullopt;
    return raw;
}

void TBSAbstractSection::SetValues(const IBSStringMap& values) {
    Clear();
    for (int i = 0; i < values.Count(); ++i)
        WriteRaw(values.NameAt(i), values.ValueAt(i));
}

void TBSAbstractSection::MergeFrom(const IBSSection& other) {
    const auto values = other.GetValues();
    for (int i = 0; i < values->Count(); ++i)
        WriteRaw(values->NameAt(i), values->ValueAt(i));
}

IBSSectionPtr TBSAbstractSection::CreateMemoryCopy() const {
    return std::make_shared<TBSMemorySection>(*GetValues());
}

bool TBSAbstractSection::ReadBool(std::string_view name, bool fallback) const {
    const auto raw = ReadStored(name);
    if (!raw)
        return fallback;
    if (const auto number = ParseInt(*raw))
        return *number != 0;
    for (const auto& w : TrueBoolWords())
        if (SameText(*raw, w))
            return true;
    for (const auto& w : FalseBoolWords())
        if (SameText(*raw, w))
            return false;
    return fallback;
}

TDateTime TBSAbstractSection::ReadDateTime(std::string_view name, TDateTime fallback) const {
    const auto raw = ReadStored(name);
    if (!raw)
        return fallback;
    return StampTextToDateTime(*raw).value_or(fallback);
}

TBSDateRange TBSAbstractSection::ReadDateRange(std::string_view firstName,
                                               std::string_view secondName,
                                               const TBSDateRange& fallback) const {
    const auto first = ReadStored(firstName);
    const auto second = ReadStored(secondName);
    const auto from = first ? StampTextToDateTime(*first) : std::nullopt;
    const auto to = second ? StampTextToDateTime(*second) : std::nullopt;
    if (!from || !to)
        return fallback;
    return {*from, *to};
}

IBSDirectoryPtr TBSAbstractSection::ReadDirectory(std::string_view name,
                                                  IBSDirectoryPtr fallback) const {
    const auto raw = ReadStored(name);
    if (!raw)
        return fallback;
    if (raw->empty())
        return nullptr;
    return NewDirectory(*raw);
}

IBSFilePtr TBSAbstractSection::ReadFile(std::string_view name, IBSFilePtr fallback) const {
    const auto raw = ReadStored(name);
    if (!raw)
        return fallback;
    if (raw->empty())
        return nullptr;
    return NewFile(*raw);
}

double TBSAbstractSection::ReadFloat(std::string_view name, double fallback) const {
    const auto raw = ReadStored(name);
    if (!raw)
        return fallback;
    return SettingTextToFloat(*raw).value_or(fallback);
}

std::int32_t TBSAbstractSection::ReadInteger(std::string_view name, std::int32_t fallback) const {
    const auto raw = ReadStored(name);
    if (!raw)
        return fallback;
    return ParseInt(*raw).value_or(fallback);
}

std::string TBSAbstractSection::ReadString(std::string_view name, std::string_view fallback) const {
    const auto raw = ReadStored(name);
    if (!raw)
        return std::string(fallback);
    return UnescapeSettingText(*raw);
}

IBSStringMapPtr TBSAbstractSection::ReadMap(std::string_view name) const {
    auto map = NewStringMap();
    map->SetLines(ReadString(name, ""));
    return map;
}

void TBSAbstractSection::WriteBool(std::string_view name, bool value) {
    WriteRaw(name, value ? TrueBoolWords().front() : FalseBoolWords().front());
}

void TBSAbstractSection::WriteDateTime(std::string_view name, TDateTime value) {
    WriteRaw(name, DateTimeToStampText(value));
}

void TBSAbstractSection::WriteDirectory(std::string_view name, const IBSDirectory* directory,
                                        bool fullForm) {
    if (!directory || directory->IsEmpty())
        WriteRaw(name, "");
    else
        WriteRaw(name, fullForm ? directory->FullUncName() : directory->PathText());
}

void TBSAbstractSection::WriteFile(std::string_view name, const IBSFile* file, bool fullForm) {
    if (!file || file->IsEmpty())
        WriteRaw(name, "");
    else
        WriteRaw(name, fullForm ? file->FullUncName() : file->PathText());
}

void TBSAbstractSection::WriteFloat(std::string_view name, double value) {
    WriteRaw(name, FloatToSettingText(value));
}

void TBSAbstractSection::WriteInteger(std::string_view name, std::int32_t value) {
    WriteRaw(name, std::to_string(value));
}

void TBSAbstractSection::WriteString(std::string_view name, std::string_view text) {
    WriteRaw(name, EscapeSettingText(text));
}

void TBSAbstractSection::WriteStrings(std::string_view name, const IBSStringList& lines) {
    std::string joined;
    for (int i = 0; i < lines.Count(); ++i) {
        if (i > 0)
            joined += "\r\n";
        joined += lines.Item(i);
    }
    WriteString(name, Trim(joined));
}

// ---------------------------------------------------------------------------------------------
// TBSMemorySection

TBSMemorySection::TBSMemorySection() : values_(NewStringMap()) {}

TBSMemorySection::TBSMemorySection(const IBSStringMap& values) : values_(values.Clone()) {}

void TBSMemorySection::Clear() {
    values_->Clear();
}

IBSStringMapPtr TBSMemorySection::GetValues() const {
    return values_->Clone();
}

bool TBSMemorySection::IsEmpty() const {
    return values_->IsEmpty();
}

std::string TBSMemorySection::ReadRaw(std::string_view name, std::string_view fallback) const {
    const auto* v = values_->Find(name);
    return v ? *v : std::string(fallback);
}

void TBSMemorySection::SetValues(const IBSStringMap& values) {
    values_ = values.Clone();
}

void TBSMemorySection::WriteRaw(std::string_view name, std::string_view text) {
    values_->Put(name, text);
}

IBSSectionPtr MemorySectionFromText(std::string_view text) {
    auto section = std::make_shared<TBSMemorySection>();
    auto lines = NewStringList();
    lines->SetLines(text);
    for (const auto& line : *lines) {
        const auto eq = line.find('=');
        if (eq == std::string::npos || eq == 0)
            continue;
        section->WriteRaw(std::string_view(line).substr(0, eq),
                          std::string_view(line).substr(eq + 1));
    }
    return section;
}

// ---------------------------------------------------------------------------------------------
// Settings objects

IBSIniStorePtr NewMemoryIniStore() {
    return std::make_unique<TBSMemoryIniStore>();
}

IBSIniStorePtr MemoryIniStoreFromText(std::string_view text) {
    auto store = std::make_unique<TBSMemoryIniStore>();
    auto lines = NewStringList();
    lines->SetLines(text);
    std::optional<std::string> section;
    for (const auto& raw : *lines) {
        const std::string_view line = TrimView(raw);
        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '[' && line.back() == ']') {
            section = std::string(line.substr(1, line.size() - 2));
            store->AddSection(*section); // a header without values still names a section
            continue;
        }
        const auto eq = line.find('=');
        if (!section || eq == std::string_view::npos)
            continue;
        const std::string name = TrimRight(line.substr(0, eq));
        if (!store->ReadValue(*section, name))
            store->WriteValue(*section, name, line.substr(eq + 1));
    }
    return store;
}

IBSSettingsPtr NewSettings(IBSIniStorePtr store, IBSSettingsPtr defaults, IBSFilePtr file) {
    return std::make_shared<TBSSettings>(std::move(store), std::move(defaults), std::move(file));
}

IBSSettingsPtr NewMemorySettings(IBSSettingsPtr defaults) {
    return NewSettings(NewMemoryIniStore(), std::move(defaults));
}

IBSSettingsPtr UserSettings() {
    std::lock_guard lock(UserSettingsMutex());
    auto& slot = UserSettingsSlot();
    if (!slot)
        slot = NewMemorySettings();
    return slot;
}

void SetUserSettings(IBSSettingsPtr settings) {
    std::lock_guard lock(UserSettingsMutex());
    UserSettingsSlot() = std::move(settings);
}

} // namespace marqor
