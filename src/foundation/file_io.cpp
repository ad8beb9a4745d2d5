#include "foundation/file_io.h"

#include "foundation/errors.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace marqor {

namespace {

std::mutex callsLock;

std::shared_ptr<IBSFileSystemCalls>& InstalledCalls() {
    static std::shared_ptr<IBSFileSystemCalls> calls = std::make_shared<IBSFileSystemCalls>();
    return calls;
}

std::string DirectoryOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A symbolic link is followed, so that replacing a linked file replaces the file, not the link.
std::string ResolveLink(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
        return path;
    char resolved[PATH_MAX];
    if (!realpath(path.c_str(), resolved))
        return path; // a dangling link is replaced like a file
    return resolved;
}

void SyncDirectory(const std::string& dir) {
    const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd); // best effort: some file systems cannot sync directories
        close(fd);
    }
}

} // namespace

int IBSFileSystemCalls::Open(const char* path, int flags, mode_t mode) {
    int fd;
    do
        fd = open(path, flags | O_CLOEXEC, mode);
    while (fd < 0 && errno == EINTR);
    return fd;
}

ssize_t IBSFileSystemCalls::Write(int fd, const void* data, std::size_t count) {
    return write(fd, data, count);
}

int IBSFileSystemCalls::Fsync(int fd) {
    return fsync(fd);
}

int IBSFileSystemCalls::Close(int fd) {
    return close(fd);
}

int IBSFileSystemCalls::Rename(const char* from, const char* to) {
    return rename(from, to);
}

int IBSFileSystemCalls::Unlink(const char* path) {
    return unlink(path);
}

std::shared_ptr<IBSFileSystemCalls> FileSystemCalls() {
    std::lock_guard lock(callsLock);
    return InstalledCalls();
}

std::shared_ptr<IBSFileSystemCalls> SetFileSystemCalls(std::shared_ptr<IBSFileSystemCalls> calls) {
    std::lock_guard lock(callsLock);
    auto previous = InstalledCalls();
    InstalledCalls() = calls ? std::move(calls) : std::make_shared<IBSFileSystemCalls>();
    return previous;
}

void WriteFully(IBSFileSystemCalls& calls, int fd, const void* data, std::size_t count,
                const std::string& path) {
    const auto* p = static_cast<const char*>(data);
    while (count > 0) {
        const ssize_t n = calls.Write(fd, p, count);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw EFileError("Cannot write to file", path, errno);
        }
        if (n == 0) // a regular file that takes nothing is full
            throw EFileError("Cannot write to file", path, ENOSPC);
        p += n;
        count -= static_cast<std::size_t>(n);
    }
}

void ReplaceFileContents(const std::string& requested, std::string_view bytes) {
    const std::string path = ResolveLink(requested);
    const std::string dir = DirectoryOf(path);
    auto calls = FileSystemCalls();

    // A writer of this or another process holds an exclusive lock on the file while it writes;
    // replacing the file under it would lose one of the two contents.
    mode_t mode = 0666;
    int lockFd = -1;
    struct stat st {};
    const bool exists = stat(path.c_str(), &st) == 0;
    if (exists) {
        if (S_ISDIR(st.st_mode))
            throw EFileError("Cannot replace file", path, EISDIR);
        mode = st.st_mode & 07777;
        lockFd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (lockFd >= 0 && flock(lockFd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno == EWOULDBLOCK ? EBUSY : errno;
            close(lockFd);
            throw EFileError("Cannot replace file", path, error);
        }
    }
    struct LockGuard {
        int fd;
        ~LockGuard() {
            if (fd >= 0)
                close(fd);
        }
    } lockGuard{lockFd};

    static std::atomic<unsigned> counter{0};
    const auto slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = dir + "/." + name + "." + std::to_string(getpid()) + "-" +
               std::to_string(counter.fetch_add(1)) + ".tmp";
        // A new file gets the usual permissions (after the umask); a replaced one its own.
        fd = calls->Open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL, exists ? 0600 : 0666);
        if (fd < 0 && errno != EEXIST)
            throw EFileError("Cannot write to file", path, errno);
    }
    if (fd < 0)
        throw EFileError("Cannot write to file", path, EEXIST);

    try {
        WriteFully(*calls, fd, bytes.data(), bytes.size(), path);
        if (exists)
            fchmod(fd, mode);
        if (calls->Fsync(fd) != 0)
            throw EFileError("Cannot write to file", path, errno);
    } catch (...) {
        calls->Close(fd);
        calls->Unlink(temp.c_str());
        throw;
    }
    if (calls->Close(fd) != 0) {
        const int error = errno;
        calls->Unlink(temp.c_str());
        throw EFileError("Cannot write to file", path, error);
    }
    if (calls->Rename(temp.c_str(), path.c_str()) != 0) {
        const int error = errno;
        calls->Unlink(temp.c_str());
        throw EFileError("Cannot replace file", path, error);
    }
    SyncDirectory(dir);
}

} // namespace marqor
