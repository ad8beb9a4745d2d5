#include "foundation/files.h"

#include "foundation/errors.h"
#include "foundation/file_io.h"
#include "foundation/text.h"
#include "foundation/tokenizer.h"
#include "foundation/zip.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fnmatch.h>
#include <mutex>
#include <set>
#include <spawn.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace marqor {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kKinds[FileKindCount] = {
    "",      ".avi", ".bmp", ".cf",   ".cgm",  ".cl2",  ".cmi", ".c0",   ".cpf", ".css",  ".csv",
    ".dat",  ".dbf", ".dir", ".div",  ".divx", ".dgn",  ".doc", ".docx", ".dot", ".dotx", ".dsv",
    ".dxf",  ".ecw", ".err", ".exe",  ".fbk",  ".fbz",  ".fdb", ".gbk",  ".gdf", ".gif",  ".gpx",
    ".htm",  ".i*",  ".ico", ".ini",  ".itf",  ".jpg",  ".js",  ".kas",  ".kml", ".lef",  ".log",
    ".lxf",  ".mdb", ".mif", ".mon",  ".mp2",  ".mp3",  ".mp4", ".mpeg", ".mpg", ".mwh",  ".p91",
    ".pdf",  ".png", ".prj", ".sd3",  ".sdb",  ".sid",  ".shp", ".smb",  ".spf", ".sql",  ".sr*",
    ".sta",  ".tab", ".tif", ".tpc",  ".txt",  ".vmon", ".v*",  ".wav",  ".wmf", ".wmv",  ".xls",
    ".xlsx", ".xml", ".xlt", ".xltx", ".xyz",  ".zip",  ".x*",
};

int KindOf(std::string_view ext) {
    for (int i = 1; i < FileKindCount; ++i)
        if (SameText(kKinds[i], ext))
            return i;
    return 0;
}

bool IsOneOf(int kind, std::initializer_list<std::string_view> extensions) {
    return std::ranges::any_of(extensions, [&](auto e) { return KindOf(e) == kind && kind != 0; });
}

std::mutex exploreLock;
std::string& ExploreCommand() {
    static std::string command;
    return command;
}

// The last part of a path and where it starts.
std::string_view LastPart(std::string_view path) {
    const auto slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string_view ExtensionOf(std::string_view path) {
    const auto name = LastPart(path);
    const auto dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string_view() : name.substr(dot);
}

std::string WithoutExtension(std::string_view path) {
    return std::string(path.substr(0, path.size() - ExtensionOf(path).size()));
}

std::string ParentOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return path; // a bare drive "C:"
    if (slash == 0)
        return "/";
    if (slash == 2 && path[1] == ':')
        return path.substr(0, 2);
    return path.substr(0, slash);
}

bool StatPath(const std::string& path, struct stat& st) {
    return !path.empty() && stat(path.c_str(), &st) == 0;
}

bool IsDriveText(std::string_view s) {
    return s.size() >= 2 && s[1] == ':' &&
           ((s[0] >= 'A' && s[0] <= 'Z') || (s[0] >= 'a' && s[0] <= 'z'));
}

// ---------------------------------------------------------------------------------------------
// Processes

void ReapInBackground(pid_t pid) {
    std::thread([pid] {
        int status;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
}

struct SpawnOptions {
    std::string workingDirectory;
    int stdoutFd = -1;  // -1: inherit
    bool quiet = false; // stdin, stderr (and stdout unless redirected) to /dev/null
    bool searchPath = false;
};

// Starts a program without a shell, so no text of the arguments is ever interpreted.
pid_t Spawn(const std::vector<std::string>& args, const SpawnOptions& options) {
    if (args.empty() || args.front().empty())
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (options.stdoutFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, options.stdoutFd, 1);
    else if (options.quiet)
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    if (options.quiet)
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    if (!options.workingDirectory.empty())
        posix_spawn_file_actions_addchdir_np(&actions, options.workingDirectory.c_str());
    std::vector<char*> argv;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int rc = options.searchPath
                       ? posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ)
                       : posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : -1;
}

bool SpawnDetached(const std::vector<std::string>& args, const SpawnOptions& options) {
    const pid_t pid = Spawn(args, options);
    if (pid < 0)
        return false;
    ReapInBackground(pid);
    return true;
}

int ExitCode(int status) {
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return -1;
}

std::vector<std::string> ProgramArgs(const std::string& program, std::string_view parameters) {
    std::vector<std::string> args{program};
    for (auto& a : SplitCommandLine(parameters))
        args.push_back(std::move(a));
    return args;
}

// ---------------------------------------------------------------------------------------------
// The freedesktop trash layout: the file goes to "files", a ".trashinfo"
// record with its origin and the time to "info".

std::string PercentEncode(std::string_view path) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : path) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
            c == '-' || c == '_' || c == '.' || c == '~' || c == '/') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

bool MakePrivateDirectory(const std::string& dir) {
    std::error_code ec;
    fs::create_directories(dir, ec);
    struct stat st {};
    return stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The mount point that holds the path.
std::string TopDirectory(const std::string& path, dev_t device) {
    std::string top = ParentOf(path);
    while (top != "/") {
        const std::string up = ParentOf(top);
        struct stat st {};
        if (stat(up.c_str(), &st) != 0 || st.st_dev != device)
            break;
        top = up;
    }
    return top;
}

bool TrashInto(const std::string& trash, const std::string& path, const std::string& recorded) {
    if (!MakePrivateDirectory(trash + "/files") || !MakePrivateDirectory(trash + "/info"))
        return false;
    chmod(trash.c_str(), 0700);
    const std::string name(LastPart(path));
    const std::string ext(ExtensionOf(name));
    const std::string stem = name.substr(0, name.size() - ext.size());
    const auto p = DecodeDateTimeParts(Now());
    const std::string info = "[Trash Info]\nPath=" + PercentEncode(recorded) + "\nDeletionDate=" +
                             Format("%04d-%02d-%02dT%02d:%02d:%02d", p.Year, p.Month, p.Day, p.Hour,
                                    p.Minute, p.Second) +
                             "\n";
    for (int n = 1; n < 10000; ++n) {
        const std::string candidate = n == 1 ? name : stem + "." + std::to_string(n) + ext;
        const std::string infoPath = trash + "/info/" + candidate + ".trashinfo";
        // The record is created first and exclusively: it reserves the name.
        const int fd = open(infoPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return false;
        }
        const bool written = write(fd, info.data(), info.size()) == ssize_t(info.size());
        close(fd);
        if (written && rename(path.c_str(), (trash + "/files/" + candidate).c_str()) == 0)
            return true;
        unlink(infoPath.c_str());
        return false;
    }
    return false;
}

bool MoveToTrash(const std::string& path) {
    struct stat target {};
    if (lstat(path.c_str(), &target) != 0)
        return false;
    std::string home;
    if (const char* d = std::getenv("XDG_DATA_HOME"); d && *d == '/')
        home = d;
    else if (const char* h = std::getenv("HOME"); h && *h)
        home = std::string(h) + "/.local/share";
    if (!home.empty()) {
        const std::string trash = home + "/Trash";
        struct stat st {};
        MakePrivateDirectory(trash);
        if (stat(trash.c_str(), &st) == 0 && st.st_dev == target.st_dev)
            return TrashInto(trash, path, path);
    }
    // Another file system: its own trash below its top directory, with paths relative to it.
    const std::string top = TopDirectory(path, target.st_dev);
    const std::string trash = (top == "/" ? "" : top) + "/.Trash-" + std::to_string(getuid());
    std::string relative = path.substr(top == "/" ? 1 : top.size() + 1);
    return TrashInto(trash, path, relative);
}

// ---------------------------------------------------------------------------------------------
// Masks

std::vector<std::string> SplitMasks(std::string_view masks) {
    std::vector<std::string> out;
    const auto tokens = Tokenize(masks, ";", true);
    for (const auto& m : *tokens) {
        std::string t = Trim(m);
        if (t == "*.*")
            t = "*"; // every name, with or without a dot, as the old platform read it
        if (!t.empty())
            out.push_back(std::move(t));
    }
    if (out.empty())
        out.emplace_back("*");
    return out;
}

bool MatchesMask(const std::string& name, const std::string& mask) {
    return fnmatch(mask.c_str(), name.c_str(), FNM_CASEFOLD) == 0;
}

// The directory followed by every directory below it, depth first; links are not followed.
std::vector<std::string> DirectoriesBelow(const std::string& root) {
    std::vector<std::string> out;
    std::vector<std::string> stack{root};
    while (!stack.empty()) {
        std::string dir = std::move(stack.back());
        stack.pop_back();
        std::vector<std::string> children;
        std::error_code ec;
        for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
            std::error_code sec;
            if (it->is_directory(sec) && !it->is_symlink(sec))
                children.push_back(it->path().string());
        }
        std::ranges::sort(children);
        // Reversed onto the stack, so that the first child's subtree comes before its siblings.
        for (auto it = children.rbegin(); it != children.rend(); ++it)
            stack.push_back(*it);
        out.push_back(std::move(dir));
    }
    return out;
}

// ---------------------------------------------------------------------------------------------

class TBSFile final : public IBSFile {
public:
    explicit TBSFile(std::string path) : path_(std::move(path)) {}

    const std::string& PathText() const override { return path_; }
    bool IsDirectory() const override { return false; }
    std::string FullUncName() const override { return path_; }

    void SetModifiedAt(TDateTime value) const override {
        if (path_.empty())
            return;
        const std::timespec ts = TimespecFromDateTime(value);
        const std::timespec times[2] = {ts, ts};
        utimensat(AT_FDCWD, path_.c_str(), times, 0);
    }
    bool Delete(bool toRecycleBin) const override {
        if (path_.empty() || !Exists())
            return !Exists();
        if (toRecycleBin)
            MoveToTrash(path_);
        else
            unlink(path_.c_str());
        return !Exists();
    }
    IBSDirectoryPtr Directory() const override {
        return path_.empty() ? NewDirectory("") : NewDirectory(ParentOf(path_));
    }
    std::string DirectoryText() const override {
        if (path_.empty())
            return "";
        const std::string dir = ParentOf(path_);
        return dir == "/" ? dir : dir + "/";
    }
    bool Exists() const override {
        struct stat st {};
        return StatPath(path_, st) && !S_ISDIR(st.st_mode);
    }
    bool CannotWrite() const override {
        if (path_.empty())
            return true;
        if (!Exists()) {
            const std::string dir = ParentOf(path_);
            return access(dir.c_str(), W_OK | X_OK) != 0 && fs::exists(dir);
        }
        const int fd = open(path_.c_str(), O_RDWR | O_CLOEXEC);
        if (fd < 0)
            return true;
        // A writer holds an exclusive lock while it writes.
        const bool locked = flock(fd, LOCK_SH | LOCK_NB) != 0;
        close(fd);
        return locked;
    }
    bool MoveTo(const IBSPath& target) const override {
        const std::string& to = target.PathText();
        if (path_.empty() || to.empty() || !Exists())
            return false;
        if (rename(path_.c_str(), to.c_str()) == 0)
            return true;
        if (errno != EXDEV)
            return false;
        std::error_code ec;
        fs::copy_file(path_, to, fs::copy_options::overwrite_existing, ec);
        return !ec && unlink(path_.c_str()) == 0;
    }
    bool Open(std::string_view parameters, const IBSDirectory* workingDirectory) const override {
        if (!Exists())
            return false;
        SpawnOptions options;
        options.workingDirectory = workingDirectory && !workingDirectory->IsEmpty()
                                       ? workingDirectory->PathText()
                                       : ParentOf(path_);
        options.quiet = true;
        // A program starts with the parameters; a document goes to its associated program.
        if (access(path_.c_str(), X_OK) == 0)
            return SpawnDetached(ProgramArgs(path_, parameters), options);
        options.searchPath = true;
        return SpawnDetached({"xdg-open", path_}, options);
    }

    IBSStringListPtr ReadLines() const override {
        if (HasKind(fkZip)) {
            auto zip = OpenZipFile(std::make_shared<TBSFile>(path_));
            if (zip->EntryCount() == 0)
                return NewStringList();
            return zip->OpenEntryReader(zip->EntryName(0))->AsStringList();
        }
        return OpenFileReader(path_)->AsStringList();
    }
    IBSStringMapPtr ReadMap() const override { return NewStringMapFrom(ReadLines()->Items()); }
    void WriteLines(const IBSStringList& lines) const override { WriteAll(lines.AsLines()); }
    void WriteAll(std::string_view data) const override {
        if (path_.empty())
            return;
        Directory()->Create();
        ReplaceFileContents(path_, data);
    }
    bool Run(std::string_view parameters, bool) const override {
        SpawnOptions options;
        options.workingDirectory = ParentOf(path_);
        return Exists() && SpawnDetached(ProgramArgs(path_, parameters), options);
    }
    int RunCaptured(std::string_view parameters,
                    const std::function<void(const std::string&)>& handler) const override {
        if (!Exists())
            return -1;
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0)
            return -1;
        SpawnOptions options;
        options.workingDirectory = ParentOf(path_);
        options.stdoutFd = fds[1];
        options.quiet = true;
        const pid_t pid = Spawn(ProgramArgs(path_, parameters), options);
        close(fds[1]);
        if (pid < 0) {
            close(fds[0]);
            return -1;
        }
        std::string pending;
        auto emit = [&](std::string line) {
            std::erase(line, '\r');
            if (handler)
                handler(DecodeTextBytesAs(line, IsValidUtf8(line) ? TextEncoding::Utf8
                                                                  : TextEncoding::Windows1252));
        };
        char chunk[4096];
        while (true) {
            const ssize_t n = read(fds[0], chunk, sizeof chunk);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            pending.append(chunk, static_cast<std::size_t>(n));
            for (auto lf = pending.find('\n'); lf != std::string::npos; lf = pending.find('\n')) {
                emit(pending.substr(0, lf));
                pending.erase(0, lf + 1);
            }
        }
        close(fds[0]);
        if (!pending.empty())
            emit(std::move(pending));
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (true) {
            int status;
            const pid_t r = waitpid(pid, &status, WNOHANG);
            if (r == pid)
                return ExitCode(status);
            if (r < 0 && errno != EINTR)
                return -1;
            if (std::chrono::steady_clock::now() >= deadline) {
                ReapInBackground(pid); // left running, as it was not waited for any longer
                return -1;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    bool RunAndWait(std::string_view parameters, bool) const override {
        if (!Exists())
            return false;
        SpawnOptions options;
        options.workingDirectory = ParentOf(path_);
        const pid_t pid = Spawn(ProgramArgs(path_, parameters), options);
        if (pid < 0)
            return false;
        int status;
        while (waitpid(pid, &status, 0) < 0)
            if (errno != EINTR)
                return false;
        return ExitCode(status) == 0;
    }
    int DetectedKind() const override {
        const std::string head = ReadHead(4);
        if (head.starts_with("PK"))
            return fkZip;
        if (head.starts_with("%PDF"))
            return fkPdf;
        return 0;
    }
    std::string ReadHead(std::size_t count) const override {
        if (!Exists())
            return "";
        const int fd = open(path_.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return "";
        std::string out(count, '\0');
        std::size_t got = 0;
        while (got < count) {
            const ssize_t n = read(fd, out.data() + got, count - got);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            got += static_cast<std::size_t>(n);
        }
        close(fd);
        out.resize(got);
        return out;
    }
    int ImageIndex() const override {
        const int kind = Kind();
        if (IsOneOf(kind, {".css"}))
            return 4;
        if (IsOneOf(kind, {".gif"}))
            return 14;
        if (IsOneOf(kind, {".htm"}))
            return 2;
        if (IsOneOf(kind, {".jpg"}))
            return 15;
        if (IsOneOf(kind, {".js"}))
            return 5;
        if (IsOneOf(kind, {".kml", ".xml"}))
            return 3;
        if (IsOneOf(kind, {".lxf", ".zip"}))
            return 11;
        if (IsOneOf(kind, {".pdf"}))
            return 9;
        if (IsOneOf(kind, {".png"}))
            return 16;
        if (IsOneOf(kind, {".txt"}))
            return 1;
        if (IsOneOf(kind, {".xls"}))
            return 10;
        return 8;
    }
    bool IsDocumentKind() const override { return InKindGroup(fgDocument); }
    bool TryCreate() const override {
        if (path_.empty())
            return false;
        if (Exists()) {
            const int fd = open(path_.c_str(), O_WRONLY | O_CLOEXEC);
            if (fd < 0)
                return false;
            close(fd);
            return true;
        }
        const int fd = open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0)
            return false;
        close(fd);
        unlink(path_.c_str());
        return true;
    }
    IBSStreamReaderPtr OpenRead() const override {
        if (!Exists())
            return nullptr;
        return OpenFileReader(path_);
    }
    IBSStreamWriterPtr OpenWrite(bool append, TBSWriterEncoding encoding) const override {
        if (path_.empty())
            return NewWriterAdapter({});
        Directory()->Create();
        return OpenFileWriter(path_, append, encoding);
    }
    bool HasKind(int kind) const override {
        return kind >= 0 && kind < FileKindCount && SameText(ExtensionOf(path_), kKinds[kind]);
    }
    bool InKindGroup(TBSFileKindGroup group) const override {
        const int kind = Kind();
        switch (group) {
        case fgDocument:
            return IsOneOf(kind, {".csv", ".doc", ".docx", ".dot", ".dotx", ".htm", ".pdf", ".txt",
                                  ".xls", ".xlsx", ".xlt", ".xltx", ".xml"});
        case fgImage:
            return IsOneOf(kind, {".bmp", ".cgm", ".ecw", ".gif", ".ico", ".jpg", ".png", ".sid",
                                  ".tif", ".wmf"});
        case fgMedia:
            return IsOneOf(
                kind, {".avi", ".divx", ".mp2", ".mp3", ".mp4", ".mpeg", ".mpg", ".wav", ".wmv"});
        case fgArchive:
            return IsOneOf(kind, {".fbz", ".zip"});
        }
        return false;
    }
    IBSFilePtr NextFreeName() const override {
        if (!Exists())
            return std::make_shared<TBSFile>(path_);
        const std::string stem = WithoutExtension(path_);
        const std::string ext(ExtensionOf(path_));
        for (int n = 1;; ++n) {
            auto candidate =
                std::make_shared<TBSFile>(Format("%s-%.2d%s", stem.c_str(), n, ext.c_str()));
            if (!candidate->Exists() || n == INT_MAX)
                return candidate;
        }
    }
    IBSFilePtr WithKind(int kind) const override {
        if (kind <= 0 || kind >= FileKindCount || path_.empty())
            return std::make_shared<TBSFile>(path_);
        return std::make_shared<TBSFile>(WithoutExtension(path_) + std::string(kKinds[kind]));
    }
    IBSFilePtr WithExtension(std::string_view extension) const override {
        if (path_.empty())
            return std::make_shared<TBSFile>(path_);
        std::string ext(extension);
        if (!ext.empty() && ext.front() != '.')
            ext.insert(ext.begin(), '.');
        return std::make_shared<TBSFile>(WithoutExtension(path_) + ext);
    }
    bool CopyTo(const IBSPath& target) const override {
        if (!Exists() || target.IsEmpty())
            return false;
        std::error_code ec;
        fs::copy_file(path_, target.PathText(), fs::copy_options::overwrite_existing, ec);
        return !ec;
    }
    std::int64_t Size() const override {
        struct stat st {};
        return StatPath(path_, st) && !S_ISDIR(st.st_mode) ? st.st_size : 0;
    }

private:
    std::string path_;
};

class TBSDirectory final : public IBSDirectory, public std::enable_shared_from_this<TBSDirectory> {
public:
    explicit TBSDirectory(std::string path) : path_(std::move(path)) {}

    const std::string& PathText() const override { return path_; }
    bool IsDirectory() const override { return true; }
    std::string FullUncName() const override { return DirectoryText(); }

    void SetModifiedAt(TDateTime) const override {}
    bool Delete(bool toRecycleBin) const override {
        // Never the root of a file system or a drive, whatever a caller computed.
        if (path_.empty() || path_ == "/" || (path_.size() == 2 && IsDriveText(path_)))
            return !Exists();
        if (Exists()) {
            if (toRecycleBin) {
                MoveToTrash(path_);
            } else {
                std::error_code ec;
                fs::remove_all(path_, ec);
            }
        }
        return !Exists();
    }
    IBSDirectoryPtr Directory() const override {
        return std::const_pointer_cast<TBSDirectory>(shared_from_this());
    }
    std::string DirectoryText() const override {
        if (path_.empty() || path_ == "/")
            return path_;
        return path_ + "/";
    }
    bool Exists() const override {
        struct stat st {};
        return StatPath(path_, st) && S_ISDIR(st.st_mode);
    }
    bool CannotWrite() const override {
        if (!Exists())
            return true;
        const auto p = DecodeDateTimeParts(Now());
        const std::string probe =
            DirectoryText() + Format("$$$-%02d%02d%02d%02d%02d%02d%03d.$$$", p.Year % 100, p.Month,
                                     p.Day, p.Hour, p.Minute, p.Second, p.Millisecond);
        const int fd = open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0)
            return errno != EEXIST;
        close(fd);
        unlink(probe.c_str());
        return false;
    }
    bool MoveTo(const IBSPath& target) const override {
        return !path_.empty() && !target.IsEmpty() && Exists() &&
               rename(path_.c_str(), target.PathText().c_str()) == 0;
    }
    bool Open(std::string_view, const IBSDirectory*) const override {
        if (!Create())
            return false;
        SpawnOptions options;
        options.quiet = true;
        options.searchPath = true;
        const std::string command = DirectoryExploreCmd();
        if (command.empty())
            return SpawnDetached({"xdg-open", path_}, options);
        // The path replaces "%s" inside the already split arguments, so that no character of
        // the path can change how the command line reads.
        auto args = SplitCommandLine(command);
        bool placed = false;
        for (auto& a : args)
            for (auto at = a.find("%s"); at != std::string::npos;
                 at = a.find("%s", at + path_.size())) {
                a.replace(at, 2, path_);
                placed = true;
            }
        if (!placed)
            args.push_back(path_);
        return SpawnDetached(args, options);
    }

    void DeleteContents(bool toRecycleBin) const override {
        for (const auto& f : Files("*", false))
            f->Delete(toRecycleBin);
    }
    IBSDirectoryList Subdirectories(std::string_view masks) const override {
        IBSDirectoryList out;
        const auto maskList = SplitMasks(masks);
        for (const auto& name : Entries(path_, true)) {
            if (std::ranges::any_of(maskList, [&](auto& m) { return MatchesMask(name, m); }))
                out.push_back(std::make_shared<TBSDirectory>(Join(path_, name)));
        }
        return out;
    }
    bool Create() const override {
        if (path_.empty())
            return false;
        std::error_code ec;
        fs::create_directories(path_, ec);
        return Exists();
    }
    IBSFileList Files(std::string_view masks, bool recursive) const override {
        IBSFileList out;
        if (!Exists())
            return out;
        const auto maskList = SplitMasks(masks);
        const auto dirs = recursive ? DirectoriesBelow(path_) : std::vector<std::string>{path_};
        for (const auto& dir : dirs) {
            const auto names = Entries(dir, false);
            std::set<std::string> seen;
            for (const auto& mask : maskList)
                for (const auto& name : names)
                    if (MatchesMask(name, mask) && seen.insert(name).second)
                        out.push_back(std::make_shared<TBSFile>(Join(dir, name)));
        }
        return out;
    }
    IBSFileList FilesOfKinds(const std::vector<int>& kinds, bool recursive) const override {
        std::string masks;
        for (int k : kinds)
            if (k > 0 && k < FileKindCount)
                masks += "*" + std::string(kKinds[k]) + ";";
        return Files(masks.empty() ? "*.*" : masks, recursive);
    }
    IBSDirectoryPtr RelativeDirectory(const IBSPath& from, const IBSPath& to) const override {
        const auto fromDir = from.IsDirectory() ? NewDirectory(from.PathText()) : from.Directory();
        return NewDirectory(to.RelativeTo(fromDir.get()), this);
    }
    IBSDirectoryPtr Subdirectory(std::string_view name) const override {
        return NewDirectory(name, this);
    }
    IBSFilePtr File(std::string_view name) const override { return NewFile(name, this); }
    IBSFilePtr FileWithExtension(std::string_view name, std::string_view extension) const override {
        return File(name)->WithExtension(extension);
    }
    IBSFilePtr FileWithKind(std::string_view name, int kind) const override {
        return File(name)->WithKind(kind);
    }
    bool HasEntries() const override {
        std::error_code ec;
        fs::directory_iterator it(path_, ec);
        return !ec && it != fs::directory_iterator();
    }
    bool MakeCurrent() const override { return Create() && chdir(path_.c_str()) == 0; }

private:
    static std::string Join(const std::string& dir, const std::string& name) {
        return dir == "/" ? "/" + name : dir + "/" + name;
    }
    // The names of the directory's files or subdirectories, sorted.
    static std::vector<std::string> Entries(const std::string& dir, bool directories) {
        std::vector<std::string> names;
        std::error_code ec;
        for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
            std::error_code sec;
            if (it->is_directory(sec) == directories)
                names.push_back(it->path().filename().string());
        }
        std::ranges::sort(names);
        return names;
    }

    std::string path_;
};

std::string ExecutablePath() {
    static const std::string path = [] {
        char buf[PATH_MAX];
        const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
        return n > 0 ? std::string(buf, static_cast<std::size_t>(n)) : std::string("/");
    }();
    return path;
}

} // namespace

std::string_view FileKindExtension(int kind) {
    return kind > 0 && kind < FileKindCount ? kKinds[kind] : std::string_view();
}

int FileKindOfExtension(std::string_view extension) {
    return KindOf(extension);
}

std::string NormalisePath(std::string_view text, const std::string* base) {
    if (text.empty())
        return "";
    std::string s(text);
    std::ranges::replace(s, '\\', '/');
    const bool drive = IsDriveText(s);
    std::string cleaned;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '<' || c == '>' || c == '"' || c == '?' || c == '*' || c == '|')
            continue;
        if (c == ':' && !(drive && i == 1))
            continue;
        cleaned += c;
    }
    std::string full;
    if (drive || cleaned.starts_with('/'))
        full = cleaned;
    else
        full = (base ? *base : ParentOf(ExecutablePath())) + "/" + cleaned;

    // Lexical normalisation: no empty parts, no ".", ".." takes the part before it away (never
    // the root or the drive).
    std::string prefix = "/";
    std::string_view rest = full;
    if (IsDriveText(full)) {
        prefix = full.substr(0, 2) + "/";
        rest.remove_prefix(2);
    }
    std::vector<std::string_view> parts;
    while (!rest.empty()) {
        const auto slash = rest.find('/');
        const auto part = rest.substr(0, slash);
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
        if (part.empty() || part == ".")
            continue;
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
            continue;
        }
        parts.push_back(part);
    }
    std::string out = prefix;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i)
            out += '/';
        out += parts[i];
    }
    if (out.size() == 3 && prefix.size() == 3)
        out.pop_back(); // a bare drive "C:"
    return out;
}

TDateTime IBSPath::ModifiedAt() const {
    struct stat st {};
    if (!StatPath(PathText(), st))
        return 0;
    return DateTimeFromTimespec(st.st_mtim);
}

std::string IBSPath::ModifiedDateText() const {
    return ShortDateText(ModifiedAt());
}

int IBSPath::Kind() const {
    return KindOf(ExtensionOf(PathText()));
}

std::string IBSPath::Extension() const {
    return std::string(ExtensionOf(PathText()));
}

std::string IBSPath::Name() const {
    return std::string(LastPart(PathText()));
}

std::string IBSPath::BaseName() const {
    const auto name = LastPart(PathText());
    return std::string(name.substr(0, name.size() - ExtensionOf(name).size()));
}

bool IBSPath::IsLocalDrivePath() const {
    const auto& p = PathText();
    return IsDriveText(p) && p.size() >= 3 && p[2] == '/';
}

bool IBSPath::SameAs(const IBSPath& other) const {
    return FullUncName() == other.FullUncName();
}

bool IBSPath::IsInside(const IBSDirectory& directory) const {
    const auto& dir = directory.PathText();
    const auto& p = PathText();
    if (dir.empty() || !p.starts_with(dir))
        return false;
    return p.size() == dir.size() || dir.back() == '/' || p[dir.size()] == '/';
}

std::string IBSPath::RelativeTo(const IBSDirectory* directory) const {
    const auto& p = PathText();
    if (!directory || directory->IsEmpty() || p.empty())
        return p;
    auto split = [](std::string_view s) {
        std::vector<std::string_view> parts;
        while (!s.empty()) {
            const auto slash = s.find('/');
            if (slash != 0)
                parts.push_back(s.substr(0, slash));
            if (slash == std::string_view::npos)
                break;
            s.remove_prefix(slash + 1);
        }
        return parts;
    };
    const auto from = split(directory->PathText());
    const auto to = split(p);
    // Paths on two drives (or a drive and the root) share nothing.
    if (from.empty() != to.empty() || IsDriveText(directory->PathText()) != IsDriveText(p) ||
        (IsDriveText(p) && !SameText(from.front(), to.front())))
        return p;
    std::size_t common = 0;
    while (common < from.size() && common < to.size() && from[common] == to[common])
        ++common;
    std::string out;
    for (std::size_t i = common; i < from.size(); ++i)
        out += "../";
    for (std::size_t i = common; i < to.size(); ++i) {
        out += to[i];
        if (i + 1 < to.size())
            out += '/';
    }
    if (out.ends_with('/'))
        out.pop_back();
    return out.empty() ? "." : out;
}

bool IBSPath::GrantAccess(std::string_view, const IBSStringList&, bool) const {
    return false;
}

bool IBSPath::RevokeAccess(std::string_view, const IBSStringList&, bool) const {
    return false;
}

bool IBSPath::SetAccess(std::string_view, const IBSStringList&, bool) const {
    return false;
}

IBSFilePtr NewFile(std::string_view text, const IBSDirectory* base) {
    const std::string* basePath = base && !base->IsEmpty() ? &base->PathText() : nullptr;
    return std::make_shared<TBSFile>(NormalisePath(text, basePath));
}

IBSDirectoryPtr NewDirectory(std::string_view text, const IBSDirectory* base) {
    const std::string* basePath = base && !base->IsEmpty() ? &base->PathText() : nullptr;
    return std::make_shared<TBSDirectory>(NormalisePath(text, basePath));
}

IBSDirectoryPtr ExecutableDirectory() {
    return std::make_shared<TBSDirectory>(ParentOf(ExecutablePath()));
}

void SetDirectoryExploreCmd(std::string command) {
    std::lock_guard lock(exploreLock);
    ExploreCommand() = std::move(command);
}

std::string DirectoryExploreCmd() {
    std::lock_guard lock(exploreLock);
    return ExploreCommand();
}

std::vector<std::string> SplitCommandLine(std::string_view parameters) {
    std::vector<std::string> args;
    std::string current;
    bool inArg = false;
    bool quoted = false;
    for (std::size_t i = 0; i < parameters.size(); ++i) {
        const char c = parameters[i];
        if (quoted) {
            if (c == '"') {
                if (i + 1 < parameters.size() && parameters[i + 1] == '"') {
                    current += '"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                current += c;
            }
        } else if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            if (inArg) {
                args.push_back(std::move(current));
                current.clear();
                inArg = false;
            }
        } else if (c == '"') {
            quoted = true;
            inArg = true;
        } else {
            current += c;
            inArg = true;
        }
    }
    if (inArg)
        args.push_back(std::move(current));
    return args;
}

} // namespace marqor
