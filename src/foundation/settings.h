#pragma once

// Persistent settings: a settings object is a set of named sections, a section a set of named
// values. Every value is stored as text; the typed reads and writes fix the text form of each
// type, so a value reads back the same from every kind of store (registry, INI file, encrypted
// INI text, memory). Reading never fails: stored text that does not fit gives the caller's
// default.

#include "foundation/containers.h"
#include "foundation/date_time.h"
#include "foundation/files.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace marqor {

// ---------------------------------------------------------------------------------------------
// Text forms

// The words a boolean setting is read from; the first of each list is what is written.
const std::vector<std::string>& TrueBoolWords();  // T, J, Y, 1, -1, True, Ja, Yes, Wahr
const std::vector<std::string>& FalseBoolWords(); // F, N, 0, False, Nein, No, Falsch

// U+0081 is the escape character: NUL, backspace, tab, LF, CR and U+0081 itself are written as
// U+0081 followed by "0", "b", "t", "n", "r" or U+0081, so any text fits on one line.
std::string EscapeSettingText(std::string_view text);
// Undoes the escapes (U+0081 before any other character gives that character), then turns
// "#CRLF#" into CR LF and "#LF#" into LF, the forms older stores wrote by hand.
std::string UnescapeSettingText(std::string_view text);

// Shortest general form with up to 15 significant digits and "." as decimal point: 1.5, 0.1,
// 1E20, 1.5E-5.
std::string FloatToSettingText(double value);
// "." or "," as decimal point; nothing for anything else.
std::optional<double> SettingTextToFloat(std::string_view text);

// ---------------------------------------------------------------------------------------------
// Sections and settings

class IBSSection;
class IBSSettings;
using IBSSectionPtr = std::shared_ptr<IBSSection>;
using IBSSettingsPtr = std::shared_ptr<IBSSettings>;

class IBSSection {
public:
    virtual ~IBSSection() = default;

    // All values, raw as stored.
    virtual IBSStringMapPtr GetValues() const = 0;
    // Clears the section, then writes every pair of the map in map order.
    virtual void SetValues(const IBSStringMap& values) = 0;
    // Writes every value of the other section into this one; other names stay.
    virtual void MergeFrom(const IBSSection& other) = 0;
    virtual IBSSectionPtr CreateMemoryCopy() const = 0;
    virtual void Clear() = 0;
    virtual bool IsEmpty() const = 0;

    virtual bool ReadBool(std::string_view name, bool fallback) const = 0;
    virtual TDateTime ReadDateTime(std::string_view name, TDateTime fallback) const = 0;
    // Both names must hold a readable date-time, else the default range.
    virtual TBSDateRange ReadDateRange(std::string_view firstName, std::string_view secondName,
                                       const TBSDateRange& fallback) const = 0;
    // A path relative to the program's directory; an empty text gives no object, an absent
    // value the default.
    virtual IBSDirectoryPtr ReadDirectory(std::string_view name,
                                          IBSDirectoryPtr fallback) const = 0;
    virtual IBSFilePtr ReadFile(std::string_view name, IBSFilePtr fallback) const = 0;
    virtual double ReadFloat(std::string_view name, double fallback) const = 0;
    virtual std::int32_t ReadInteger(std::string_view name, std::int32_t fallback) const = 0;
    // Unescaped; an absent value gives the default as it is.
    virtual std::string ReadString(std::string_view name, std::string_view fallback) const = 0;
    // As stored.
    virtual std::string ReadRaw(std::string_view name, std::string_view fallback) const = 0;
    // The unescaped text read as lines "name=value".
    virtual IBSStringMapPtr ReadMap(std::string_view name) const = 0;

    virtual void WriteBool(std::string_view name, bool value) = 0;
    virtual void WriteDateTime(std::string_view name, TDateTime value) = 0;
    // The path text, or with fullForm the full form (a directory with a trailing "/"); no
    // object, and a file without a path, as the empty text.
    virtual void WriteDirectory(std::string_view name, const IBSDirectory* directory,
                                bool fullForm = false) = 0;
    virtual void WriteFile(std::string_view name, const IBSFile* file, bool fullForm = false) = 0;
    virtual void WriteFloat(std::string_view name, double value) = 0;
    virtual void WriteInteger(std::string_view name, std::int32_t value) = 0;
    virtual void WriteString(std::string_view name, std::string_view text) = 0;
    virtual void WriteRaw(std::string_view name, std::string_view text) = 0;
    // The lines joined by CR LF, trimmed, then escaped.
    virtual void WriteStrings(std::string_view name, const IBSStringList& lines) = 0;
};

// Every typed operation built on six raw ones, so a new kind of store only supplies those:
// Clear, GetValues, IsEmpty, ReadRaw, WriteRaw and, when it can do better than clearing and
// writing pair by pair, SetValues.
class TBSAbstractSection : public IBSSection {
public:
    void SetValues(const IBSStringMap& values) override;
    void MergeFrom(const IBSSection& other) override;
    IBSSectionPtr CreateMemoryCopy() const override;

    bool ReadBool(std::string_view name, bool fallback) const override;
    TDateTime ReadDateTime(std::string_view name, TDateTime fallback) const override;
    TBSDateRange ReadDateRange(std::string_view firstName, std::string_view secondName,
                               const TBSDateRange& fallback) const override;
    IBSDirectoryPtr ReadDirectory(std::string_view name, IBSDirectoryPtr fallback) const override;
    IBSFilePtr ReadFile(std::string_view name, IBSFilePtr fallback) const override;
    double ReadFloat(std::string_view name, double fallback) const override;
    std::int32_t ReadInteger(std::string_view name, std::int32_t fallback) const override;
    std::string ReadString(std::string_view name, std::string_view fallback) const override;
    IBSStringMapPtr ReadMap(std::string_view name) const override;

    void WriteBool(std::string_view name, bool value) override;
    void WriteDateTime(std::string_view name, TDateTime value) override;
    void WriteDirectory(std::string_view name, const IBSDirectory* directory,
                        bool fullForm = false) override;
    void WriteFile(std::string_view name, const IBSFile* file, bool fullForm = false) override;
    void WriteFloat(std::string_view name, double value) override;
    void WriteInteger(std::string_view name, std::int32_t value) override;
    void WriteString(std::string_view name, std::string_view text) override;
    void WriteStrings(std::string_view name, const IBSStringList& lines) override;

protected:
    // The stored text, or nothing when the name is absent.
    std::optional<std::string> ReadStored(std::string_view name) const;
};

// A free-standing section whose values live in a map (names compared without letter case).
class TBSMemorySection final : public TBSAbstractSection {
public:
    TBSMemorySection();
    explicit TBSMemorySection(const IBSStringMap& values);

    void Clear() override;
    IBSStringMapPtr GetValues() const override;
    bool IsEmpty() const override;
    std::string ReadRaw(std::string_view name, std::string_view fallback) const override;
    void SetValues(const IBSStringMap& values) override;
    void WriteRaw(std::string_view name, std::string_view text) override;

private:
    IBSStringMapPtr values_;
};

// A section filled from lines of name, "=" and text; an empty text gives an empty section.
IBSSectionPtr MemorySectionFromText(std::string_view text);

class IBSSettings {
public:
    virtual ~IBSSettings() = default;

    // The file behind the store; none for registry and memory stores.
    virtual IBSFilePtr GetFile() = 0;
    virtual void SetFile(IBSFilePtr file) = 0;
    // A new section object for the name. Sections need not exist to be handed out; writing a
    // value creates them. With a defaults provider, a missing value is read from the provider's
    // section of the same name.
    virtual IBSSectionPtr GetSection(std::string_view name) = 0;
    // The whole store as INI text: per section "[name]", its "name=value" lines and an empty
    // line, joined by CR LF.
    virtual std::string AsText() = 0;
    // The named section's SetValues with the other section's values.
    virtual void AssignSection(std::string_view name, const IBSSection& section) = 0;
    // Makes the store hold exactly the sections and values of the INI text.
    virtual void AssignText(std::string_view text) = 0;
    // Writes a store that is not written value by value; no effect on the others.
    virtual void Save() = 0;
    virtual IBSStringListPtr SectionNames() = 0;
};

// What a settings object needs of the thing that holds its values: INI-style sections of
// string values. The registry, INI-file and encrypted stores implement it as well. Section and
// value names compare without letter case.
class IBSIniStore {
public:
    virtual ~IBSIniStore() = default;

    virtual IBSStringListPtr SectionNames() const = 0;
    virtual bool SectionExists(std::string_view section) const = 0;
    // Nothing when the section or the value is absent.
    virtual std::optional<std::string> ReadValue(std::string_view section,
                                                 std::string_view name) const = 0;
    // All values of the section in the store's order; empty when it does not exist.
    virtual IBSStringMapPtr SectionValues(std::string_view section) const = 0;
    // Creates the section when it is missing.
    virtual void WriteValue(std::string_view section, std::string_view name,
                            std::string_view value) = 0;
    virtual void DeleteValue(std::string_view section, std::string_view name) = 0;
    virtual void EraseSection(std::string_view section) = 0;
    // Writes a store that is not written value by value.
    virtual void Save() {}
};
using IBSIniStorePtr = std::unique_ptr<IBSIniStore>;

// An INI-style store in memory, in the order sections and values were first written.
IBSIniStorePtr NewMemoryIniStore();
// Reads INI text into a memory store: "[name]" opens a section, "name=value" lines fill it
// (the first line of a name wins); blank lines, ";" comments, lines without "=" and lines
// before the first section are skipped.
IBSIniStorePtr MemoryIniStoreFromText(std::string_view text);

// A settings object over a store that it owns, with an optional defaults provider and the file
// behind the store.
IBSSettingsPtr NewSettings(IBSIniStorePtr store, IBSSettingsPtr defaults = nullptr,
                           IBSFilePtr file = nullptr);
// An empty settings object that lives in memory only.
IBSSettingsPtr NewMemorySettings(IBSSettingsPtr defaults = nullptr);

// The user settings every library reads and writes. Until the application points it at the
// real store it is an empty memory store, so code below the application never depends on it.
IBSSettingsPtr UserSettings();
void SetUserSettings(IBSSettingsPtr settings);

} // namespace marqor
