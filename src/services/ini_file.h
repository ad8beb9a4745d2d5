#pragma once

// INI text and the files that hold it. A settings file is read whole, changed in memory and
// written back whole, so two rules keep what users stored safe:
//
// - A file is read only when it is INI text through and through. A line that fits no rule could
//   not be written back, so such a file is not half-read: it is put aside as
//   "<name>.corrupt-<yyyymmdd-hhnnss>" (said once through the service log) and the store starts
//   empty, so every typed read gives its default.
// - Every change is made under an exclusive lock on the file's directory: the file is read
//   again, the one change applied, and the result replaces the file atomically. Two programs
//   writing the same file therefore never lose each other's values.

#include "foundation/containers.h"

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace marqor {

struct TBSIniSection {
    std::string name;
    IBSStringMapPtr values;
};

// Sections in file order; names of sections and values compare without letter case.
class TBSIniData {
public:
    TBSIniData() = default;
    TBSIniData(const TBSIniData& other);
    TBSIniData& operator=(const TBSIniData& other);

    const std::vector<TBSIniSection>& Sections() const { return sections_; }
    const TBSIniSection* Find(std::string_view name) const;
    // Adds the section at the end when it is missing.
    TBSIniSection& Add(std::string_view name);
    // Answers whether a section of that name was there.
    bool Erase(std::string_view name);

private:
    std::vector<TBSIniSection> sections_;
};

// Nothing when the text is not INI: every line must be blank, a comment (";" or "#"), a header
// "[name]" or, below a header, "name=value" with a name. A section that occurs twice is read
// as one; of a name that occurs twice, the first value counts. Values keep their blanks.
std::optional<TBSIniData> ParseIniText(std::string_view text);
// The same for bytes from a file: a byte-order mark decides the encoding; without one, valid
// UTF-8 is UTF-8 and anything else Windows-1252. Text holding NUL characters is not INI.
std::optional<TBSIniData> ParseIniBytes(std::string_view bytes);
// Per section "[name]", its "name=value" lines and an empty line, joined by CR LF: the form
// AsText gives.
std::string IniTextOf(const TBSIniData& data);

// Raises EFileError naming the file when a section name, value name or value cannot be written
// as INI text that reads back the same (line breaks, NUL, a name with "=", blanks around it,
// or one that reads as a header or comment).
void CheckIniEntry(const std::string& fileName, std::string_view section, std::string_view name,
                   std::string_view value);

// "<name>.corrupt-<yyyymmdd-hhnnss>" (with "-2", "-3", ... when taken). Answers the name it
// got, or raises EFileError.
std::string PutFileAside(const std::string& path);

// One settings file, shared by every store of the process that uses it.
class TBSIniFile {
public:
    // With keepAside a damaged file is put aside; without, it is only ignored (files the
    // program reads but does not own, such as an administrator's configuration).
    static std::shared_ptr<TBSIniFile> Open(const std::string& path, bool keepAside);

    const std::string& Path() const { return path_; }
    // The content as it is on disk now.
    std::shared_ptr<const TBSIniData> Snapshot();
    // Locks, reads the file again, applies the change and, when it answers true, writes the
    // result. Raises EFileError naming the file and the reason when it cannot be written.
    template <typename Change> void Modify(Change&& change) {
        std::lock_guard lock(mutex_);
        ModifyLocked([&](TBSIniData& data) { return change(data); });
    }

    TBSIniFile(std::string path, bool keepAside);

private:
    struct Identity {
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = -1;
        long long modifiedNs = -1;
        bool exists = false;
        friend bool operator==(const Identity&, const Identity&) = default;
    };

    void ModifyLocked(const std::function<bool(TBSIniData&)>& change);
    // Reads the file when it changed since the last read.
    void RefreshLocked(bool holdingFileLock);
    Identity CurrentIdentity(int* error) const;

    const std::string path_;
    const bool keepAside_;
    std::mutex mutex_;
    std::shared_ptr<const TBSIniData> data_;
    Identity identity_;
    bool loaded_ = false;
    // Why the file may not be written (the error that kept a damaged file from being put
    // aside); 0 when it may.
    int blocked_ = 0;
};

// The whole file as bytes; nothing when it does not exist. Raises EFileError for a file that
// exists but cannot be read (a directory, no permission) or that is larger than the limit.
std::optional<std::string> ReadSettingsFileBytes(const std::string& path);
inline constexpr off_t MaxSettingsFileSize = 64 * 1024 * 1024;

} // namespace marqor
