#include "foundation/date_time.h"
#include "foundation/errors.h"
#include "foundation/text.h"
#include "services/ui.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <mutex>
#include <thread>
#include <unistd.h>

namespace marqor {

namespace {

// Every log file of the process shares it: two log objects over one file must not interleave.
std::mutex& LogWriteLock() {
    static std::mutex m;
    return m;
}

// One append of the whole line: O_APPEND places it at the end even when another program writes
// the same file.
bool AppendOnce(const std::string& path, const std::string& line) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    std::size_t written = 0;
    bool ok = true;
    while (written < line.size()) {
        const ssize_t n = ::write(fd, line.data() + written, line.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = false;
            break;
        }
        written += static_cast<std::size_t>(n);
    }
    return ::close(fd) == 0 && ok;
}

class TBSLogFile final : public IBSLogFile {
public:
    TBSLogFile(IBSFilePtr file, bool timeStamps)
        : file_(std::move(file)), timeStamps_(timeStamps) {}

    IBSFilePtr GetFile() const override { return file_; }

    void WriteLine(std::string_view text) override {
        if (!file_ || file_->IsEmpty())
            return;
        std::string line;
        if (timeStamps_) {
            const auto t = DecodeDateTimeParts(Now());
            line = Format("%02d.%02d.%04d %02d:%02d:%02d", t.Day, t.Month, t.Year, t.Hour, t.Minute,
                          t.Second) +
                   " : ";
        }
        line.append(text);
        line += "\r\n";
        std::lock_guard lock(LogWriteLock());
        file_->Directory()->Create();
        for (int attempt = 0;; ++attempt) {
            if (AppendOnce(file_->PathText(), line))
                return;
            if (attempt == 5)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        throw EStreamError("Error writing to log file (" + file_->PathText() + ")");
    }

    void WriteLineFmt(std::string_view format, std::span<const TBSFormatArg> args) override {
        WriteLine(FormatText(format, args, ProcessFormatSettings()));
    }

private:
    IBSFilePtr file_;
    bool timeStamps_;
};

} // namespace

IBSLogFilePtr NewLogFile(IBSFilePtr file, bool timeStamps) {
    return std::make_shared<TBSLogFile>(std::move(file), timeStamps);
}

} // namespace marqor
