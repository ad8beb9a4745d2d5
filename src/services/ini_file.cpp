#include "services/ini_file.h"

#include "foundation/date_time.h"
#include "foundation/errors.h"
#include "foundation/file_io.h"
#include "foundation/text.h"
#include "services/log.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

namespace marqor {

namespace {

std::string_view TrimBlanksRight(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ')
        s.remove_suffix(1);
    return s;
}

std::string_view TrimBlanksLeft(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ')
        s.remove_prefix(1);
    return s;
}

std::string DirectoryOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string ReasonText(int error) {
    return std::generic_category().message(error);
}

// An exclusive lock on the directory of a settings file, held while the file is read, changed
// and replaced. The directory, not the file, because the file itself is replaced by a new one
// at every write.
class DirectoryLock {
public:
    DirectoryLock(const std::string& directory, const std::string& fileName) {
        std::error_code ec;
        std::filesystem::create_directories(directory, ec);
        do
            fd_ = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        while (fd_ < 0 && errno == EINTR);
        if (fd_ < 0)
            throw EFileError("Cannot write settings file", fileName, errno);
        while (flock(fd_, LOCK_EX) != 0) {
            if (errno != EINTR) {
                const int error = errno;
                close(fd_);
                throw EFileError("Cannot lock settings file", fileName, error);
            }
        }
    }
    ~DirectoryLock() { close(fd_); } // closing releases the lock
    DirectoryLock(const DirectoryLock&) = delete;
    DirectoryLock& operator=(const DirectoryLock&) = delete;

private:
    int fd_ = -1;
};

std::mutex& OpenFilesMutex() {
    static std::mutex m;
    return m;
}

std::unordered_map<std::string, std::weak_ptr<TBSIniFile>>& OpenFiles() {
    static std::unordered_map<std::string, std::weak_ptr<TBSIniFile>> files;
    return files;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TBSIniData

TBSIniData::TBSIniData(const TBSIniData& other) {
    *this = other;
}

TBSIniData& TBSIniData::operator=(const TBSIniData& other) {
    if (this == &other)
        return *this;
    sections_.clear();
    sections_.reserve(other.sections_.size());
    for (const auto& s : other.sections_)
        sections_.push_back({s.name, s.values->Clone()});
    return *this;
}

const TBSIniSection* TBSIniData::Find(std::string_view name) const {
    for (const auto& s : sections_)
        if (SameText(s.name, name))
            return &s;
    return nullptr;
}

TBSIniSection& TBSIniData::Add(std::string_view name) {
    for (auto& s : sections_)
        if (SameText(s.name, name))
            return s;
    sections_.push_back({std::string(name), NewStringMap()});
    return sections_.back();
}

bool TBSIniData::Erase(std::string_view name) {
    for (auto it = sections_.begin(); it != sections_.end(); ++it)
        if (SameText(it->name, name)) {
            sections_.erase(it);
            return true;
        }
    return false;
}

// ---------------------------------------------------------------------------------------------
// Text

std::optional<TBSIniData> ParseIniText(std::string_view text) {
    if (text.find('\0') != std::string_view::npos)
        return std::nullopt;
    TBSIniData data;
    TBSIniSection* section = nullptr;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view raw = text.substr(start, end - start);
        // CR LF, LF and a lone CR all end a line.
        start = end + (text.substr(end).starts_with("\r\n") ? 2 : 1);

        const std::string_view line = TrimBlanksLeft(raw);
        if (TrimBlanksRight(line).empty() || line.front() == ';' || line.front() == '#')
            continue;
        if (line.front() == '[') {
            const std::string_view header = TrimBlanksRight(line);
            if (header.back() != ']' || header.size() < 2)
                return std::nullopt;
            const std::string_view name =
                TrimBlanksRight(TrimBlanksLeft(header.substr(1, header.size() - 2)));
            section = &data.Add(name);
            continue;
        }
        const auto eq = line.find('=');
        if (!section || eq == std::string_view::npos)
            return std::nullopt;
        const std::string_view name = TrimBlanksRight(line.substr(0, eq));
        if (name.empty())
            return std::nullopt;
        if (!section->values->Find(name))
            section->values->Put(name, line.substr(eq + 1));
    }
    return data;
}

std::optional<TBSIniData> ParseIniBytes(std::string_view bytes) {
    return ParseIniText(DecodeTextBytes(bytes));
}

std::string IniTextOf(const TBSIniData& data) {
    std::string text;
    bool first = true;
    auto line = [&](std::string_view s) {
        if (!first)
            text += "\r\n";
        first = false;
        text += s;
    };
    for (const auto& s : data.Sections()) {
        line("[" + s.name + "]");
        for (int i = 0; i < s.values->Count(); ++i)
            line(s.values->NameAt(i) + "=" + s.values->ValueAt(i));
        line("");
    }
    return text;
}

void CheckIniEntry(const std::string& fileName, std::string_view section, std::string_view name,
                   std::string_view value) {
    auto refuse = [&](const std::string& what) {
        throw EFileError("Cannot write " + what + " to settings file", fileName, EINVAL);
    };
    auto holdsLineBreak = [](std::string_view s) {
        return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
    };
    auto hasOuterBlanks = [](std::string_view s) {
        return s.empty() || static_cast<unsigned char>(s.front()) <= ' ' ||
               static_cast<unsigned char>(s.back()) <= ' ';
    };
    if (hasOuterBlanks(section) || holdsLineBreak(section))
        refuse("section \"" + std::string(section) + "\"");
    if (hasOuterBlanks(name) || holdsLineBreak(name) || name.find('=') != std::string_view::npos ||
        name.front() == '[' || name.front() == ';' || name.front() == '#')
        refuse("value name \"" + std::string(name) + "\"");
    if (holdsLineBreak(value))
        refuse("a value with a line break under \"" + std::string(name) + "\"");
}

// ---------------------------------------------------------------------------------------------
// Files

std::optional<std::string> ReadSettingsFileBytes(const std::string& path) {
    int fd;
    do
        fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC); // a FIFO must not block
    while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        if (errno == ENOENT)
            return std::nullopt;
        throw EFileError("Cannot read settings file", path, errno);
    }
    struct Closer {
        int fd;
        ~Closer() { close(fd); }
    } closer{fd};
    struct stat st {};
    if (fstat(fd, &st) != 0)
        throw EFileError("Cannot read settings file", path, errno);
    if (S_ISDIR(st.st_mode))
        throw EFileError("Cannot read settings file", path, EISDIR);
    if (!S_ISREG(st.st_mode)) // a device or pipe holds no settings
        throw EFileError("Cannot read settings file", path, EINVAL);
    if (st.st_size > MaxSettingsFileSize)
        throw EFileError("Cannot read settings file", path, EFBIG);
    std::string bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw EFileError("Cannot read settings file", path, errno);
        }
        if (n == 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(n));
        if (bytes.size() > static_cast<std::size_t>(MaxSettingsFileSize))
            throw EFileError("Cannot read settings file", path, EFBIG);
    }
    return bytes;
}

std::string PutFileAside(const std::string& path) {
    const auto t = DecodeDateTimeParts(Now());
    const std::string base = path + Format(".corrupt-%04d%02d%02d-%02d%02d%02d", t.Year, t.Month,
                                           t.Day, t.Hour, t.Minute, t.Second);
    for (int n = 1; n < 1000; ++n) {
        const std::string target = n == 1 ? base : base + "-" + std::to_string(n);
        struct stat st {};
        if (lstat(target.c_str(), &st) == 0)
            continue;
        if (rename(path.c_str(), target.c_str()) != 0)
            throw EFileError("Cannot put aside settings file", path, errno);
        return target;
    }
    throw EFileError("Cannot put aside settings file", path, EEXIST);
}

std::shared_ptr<TBSIniFile> TBSIniFile::Open(const std::string& path, bool keepAside) {
    std::lock_guard lock(OpenFilesMutex());
    auto& files = OpenFiles();
    const std::string key = (keepAside ? "1" : "0") + path;
    if (auto existing = files[key].lock())
        return existing;
    auto file = std::make_shared<TBSIniFile>(path, keepAside);
    files[key] = file;
    return file;
}

TBSIniFile::TBSIniFile(std::string path, bool keepAside)
    : path_(std::move(path)), keepAside_(keepAside), data_(std::make_shared<TBSIniData>()) {}

TBSIniFile::Identity TBSIniFile::CurrentIdentity(int* error) const {
    struct stat st {};
    Identity id;
    *error = 0;
    if (stat(path_.c_str(), &st) != 0) {
        if (errno != ENOENT)
            *error = errno;
        return id;
    }
    id.exists = true;
    id.device = st.st_dev;
    id.inode = st.st_ino;
    id.size = st.st_size;
    id.modifiedNs = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
    return id;
}

std::shared_ptr<const TBSIniData> TBSIniFile::Snapshot() {
    std::lock_guard lock(mutex_);
    RefreshLocked(false);
    return data_;
}

void TBSIniFile::RefreshLocked(bool holdingFileLock) {
    int statError = 0;
    const Identity now = CurrentIdentity(&statError);
    if (loaded_ && now == identity_ && !statError)
        return;

    std::string reason;
    std::optional<TBSIniData> parsed;
    if (statError) {
        reason = ReasonText(statError);
    } else if (!now.exists) {
        parsed.emplace();
    } else {
        try {
            const auto bytes = ReadSettingsFileBytes(path_);
            parsed = bytes ? ParseIniBytes(*bytes) : TBSIniData();
            if (!parsed)
                reason = "it is not INI text";
        } catch (const EFileError& e) {
            reason = e.Code().message();
        }
    }
    if (parsed) {
        data_ = std::make_shared<TBSIniData>(std::move(*parsed));
        identity_ = now;
        loaded_ = true;
        blocked_ = 0;
        return;
    }

    // Damaged or unreadable. Whatever happens, the program goes on with an empty store.
    data_ = std::make_shared<TBSIniData>();
    identity_ = now;
    loaded_ = true;
    if (!keepAside_) {
        ServiceLog("Settings file " + path_ + " cannot be read (" + reason +
                   "); its settings are ignored and defaults are used");
        return;
    }
    if (!holdingFileLock) {
        // Put it aside under the lock, so that a writer of another program does not replace it
        // with a good file in the meantime, which would then be put aside by mistake.
        try {
            DirectoryLock fileLock(DirectoryOf(path_), path_);
            loaded_ = false;
            RefreshLocked(true);
        } catch (const EFileError& e) {
            blocked_ = e.Code().value();
            ServiceLog("Settings file " + path_ + " cannot be read (" + reason +
                       ") and cannot be put aside (" + e.Code().message() +
                       "); defaults are used and changes are not saved");
        }
        return;
    }
    try {
        const std::string aside = PutFileAside(path_);
        ServiceLog("Settings file " + path_ + " cannot be read (" + reason + "); it was kept as " +
                   aside + " and defaults are used");
        int ignored = 0;
        identity_ = CurrentIdentity(&ignored);
        blocked_ = 0;
    } catch (const EFileError& e) {
        blocked_ = e.Code().value();
        ServiceLog("Settings file " + path_ + " cannot be read (" + reason +
                   ") and cannot be put aside (" + e.Code().message() +
                   "); defaults are used and changes are not saved");
    }
}

void TBSIniFile::ModifyLocked(const std::function<bool(TBSIniData&)>& change) {
    DirectoryLock fileLock(DirectoryOf(path_), path_);
    RefreshLocked(true);
    if (blocked_)
        throw EFileError("Cannot write settings file", path_, blocked_);
    TBSIniData changed = *data_;
    if (!change(changed))
        return;
    const std::string text = IniTextOf(changed);
    int statError = 0;
    if (!CurrentIdentity(&statError).exists) {
        // Settings are the user's own business: a new file is readable by its owner only.
        const int fd = open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0)
            close(fd);
    }
    ReplaceFileContents(path_, text);
    data_ = std::make_shared<TBSIniData>(std::move(changed));
    identity_ = CurrentIdentity(&statError);
    loaded_ = true;
}

} // namespace marqor
