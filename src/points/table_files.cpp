#include "points/table_files.h"

#include "foundation/text.h"
#include "points/point_table.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace marqor {

namespace {

[[noreturn]] void Fail(const std::filesystem::path& path, const std::string& reason) {
    throw EPointTableError(DisplayPath(path) + ": " + reason);
}

std::string SystemReason(int error) {
    return std::generic_category().message(error);
}

// Closes the descriptor on every way out.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

} // namespace

std::string DisplayPath(const std::filesystem::path& path) {
    std::string text = path.string();
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = '?';
    return text;
}

std::string ReadTableFileBytes(const std::filesystem::path& file) {
    // Without O_NONBLOCK, opening a named pipe would wait for a writer.
    const FileDescriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0)
        Fail(file, "cannot be opened (" + SystemReason(errno) + ")");
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0)
        Fail(file, "cannot be read (" + SystemReason(errno) + ")");
    if (!S_ISREG(info.st_mode))
        Fail(file,
             S_ISDIR(info.st_mode) ? "is a directory, not a table file" : "is not a regular file");
    const auto tooLarge = [&](unsigned long long size) {
        Fail(file, Format("has %llu bytes; a point table file may have at most %zu MiB", size,
                          MaxPointTableTextSize >> 20));
    };
    if (static_cast<unsigned long long>(info.st_size) > MaxPointTableTextSize)
        tooLarge(static_cast<unsigned long long>(info.st_size));
    // The size is checked again while reading: the file may grow in between.
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            Fail(file, "cannot be read (" + SystemReason(errno) + ")");
        }
        if (bytes.size() + static_cast<std::size_t>(n) > MaxPointTableTextSize)
            tooLarge(bytes.size() + static_cast<std::size_t>(n));
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    return bytes;
}

std::vector<std::filesystem::path> TableFilesIn(const std::filesystem::path& directory) {
    std::error_code ec;
    const auto status = std::filesystem::status(directory, ec);
    if (status.type() == std::filesystem::file_type::not_found)
        return {};
    if (ec)
        Fail(directory, "cannot be read (" + ec.message() + ")");
    if (status.type() != std::filesystem::file_type::directory)
        Fail(directory, "is not a directory");
    std::vector<std::filesystem::path> files;
    std::filesystem::directory_iterator it(directory, ec);
    for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
        const auto& path = it->path();
        if (SameText(path.extension().string(), ".txt"))
            files.push_back(path);
    }
    if (ec)
        Fail(directory, "cannot be read (" + ec.message() + ")");
    std::ranges::sort(files, [](const auto& a, const auto& b) {
        return a.filename().string() < b.filename().string();
    });
    return files;
}

std::filesystem::path ProgramDirectory() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::path() : exe.parent_path();
}

} // namespace marqor
