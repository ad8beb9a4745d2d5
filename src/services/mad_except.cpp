#include "services/mad_except.h"

#include "foundation/text.h"
#include "services/config.h"
#include "texts/language.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <cxxabi.h>
#include <dlfcn.h>
#include <elf.h>
#include <execinfo.h>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <poll.h>
#include <sys/syscall.h>
#include <sys/sysinfo.h>
#include <sys/utsname.h>
#include <sys/wait.h>
#include <typeinfo>
#include <unistd.h>

extern char** environ;

namespace marqor {

namespace {

constexpr int kMaxFrames = 64;
constexpr std::size_t kPathSize = 4096;
constexpr std::size_t kHeaderSize = 16384;
constexpr std::size_t kSystemSize = 4096;

// ---------------------------------------------------------------------------------------------
// State prepared for the signal handler. Each text has two buffers: a change fills the one not
// in use and then switches, so a handler never reads a half-written text.

struct Prepared {
    char text[2][kHeaderSize];
    std::atomic<int> current{0};

    void Set(std::string_view value) {
        const int next = 1 - current.load();
        const std::size_t n = std::min(value.size(), sizeof text[next] - 1);
        std::memcpy(text[next], value.data(), n);
        text[next][n] = '\0';
        current.store(next);
    }
    const char* Get() const { return text[current.load()]; }
};

Prepared gErrorPath; // empty: no error file
Prepared gHeader;
char gSystemData[kSystemSize];
char gExecutable[kPathSize];
char gAddr2Line[kPathSize];
std::uintptr_t gExecutableBase = 0;
bool gExecutableIsPie = true;
std::atomic<bool> gInstalled{false};
std::atomic<bool> gCrashing{false};
alignas(16) char gAlternateStack[1 << 16];

struct State {
    std::mutex lock;
    IBSFilePtr errorFile;
    bool hasConfigurationFile = false;
    std::string configurationFile;
    std::string userName;
    std::string extraInformation;
    int language = 0;
};

State& TheState() {
    static State* state = new State; // never destroyed: reports may come during exit
    return *state;
}

std::string HeaderLocked(const State& s) {
    std::string header;
    if (!s.extraInformation.empty())
        header += "extra error info  : " + s.extraInformation + "\r\n";
    if (s.hasConfigurationFile)
        header += "project ini file  : " + s.configurationFile + "\r\n";
    if (!s.userName.empty())
        header += "project user name : " + s.userName + "\r\n";
    header += "revision          : " +
              std::to_string(ParseInt(BuiltInVersionInfo().Revision).value_or(0)) + "\r\n";
    header += "user language     : " + std::string(LanguageEnglishName(s.language)) + "\r\n";
    return header;
}

void PrepareLocked(const State& s) {
    gErrorPath.Set(s.errorFile ? s.errorFile->PathText() : std::string());
    gHeader.Set(HeaderLocked(s));
}

// ---------------------------------------------------------------------------------------------
// Writing without the heap: a fixed buffer in front of a file descriptor or a string.

class SafeWriter {
public:
    explicit SafeWriter(int fd) : fd_(fd) {}
    explicit SafeWriter(std::string* text) : text_(text) {}
    ~SafeWriter() { Flush(); }

    SafeWriter& Put(const char* s, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i) {
            if (used_ == sizeof buffer_)
                Flush();
            buffer_[used_++] = s[i];
        }
        return *this;
    }
    SafeWriter& operator<<(const char* s) { return Put(s, std::strlen(s)); }
    SafeWriter& operator<<(std::string_view s) { return Put(s.data(), s.size()); }
    SafeWriter& Decimal(unsigned long long v, int width = 0) {
        char digits[24];
        int n = 0;
        do {
            digits[n++] = static_cast<char>('0' + v % 10);
            v /= 10;
        } while (v);
        for (int i = n; i < width; ++i)
            Put("0", 1);
        while (n)
            Put(&digits[--n], 1);
        return *this;
    }
    SafeWriter& Hex(std::uintptr_t v, int width = 1) {
        char digits[20];
        int n = 0;
        do {
            digits[n++] = "0123456789abcdef"[v & 15];
            v >>= 4;
        } while (v);
        Put("0x", 2);
        for (int i = n; i < width; ++i)
            Put("0", 1);
        while (n)
            Put(&digits[--n], 1);
        return *this;
    }
    // Lines ending in LF are written ending in CR LF.
    SafeWriter& Lines(const char* s, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i) {
            if (s[i] == '\n' && (i == 0 || s[i - 1] != '\r'))
                Put("\r", 1);
            Put(&s[i], 1);
        }
        return *this;
    }
    void Flush() {
        if (text_) {
            text_->append(buffer_, used_);
        } else if (fd_ >= 0) {
            std::size_t done = 0;
            while (done < used_) {
                const ssize_t n = write(fd_, buffer_ + done, used_ - done);
                if (n < 0 && errno == EINTR)
                    continue;
                if (n <= 0)
                    break;
                done += static_cast<std::size_t>(n);
            }
        }
        used_ = 0;
    }

private:
    int fd_ = -1;
    std::string* text_ = nullptr;
    char buffer_[2048];
    std::size_t used_ = 0;
};

// The civil date of a day count since 1970 (the algorithm needs no tables and no locks).
void CivilFromDays(long long z, int& y, unsigned& m, unsigned& d) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

void WriteDateTime(SafeWriter& w) {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    const long long days = ts.tv_sec / 86400;
    const long long secs = ts.tv_sec % 86400;
    int y;
    unsigned m, d;
    CivilFromDays(days, y, m, d);
    w << "date/time         : ";
    w.Decimal(static_cast<unsigned long long>(y), 4) << "-";
    w.Decimal(m, 2) << "-";
    w.Decimal(d, 2) << " ";
    w.Decimal(static_cast<unsigned long long>(secs / 3600), 2) << ":";
    w.Decimal(static_cast<unsigned long long>(secs / 60 % 60), 2) << ":";
    w.Decimal(static_cast<unsigned long long>(secs % 60), 2) << ".";
    w.Decimal(static_cast<unsigned long long>(ts.tv_nsec / 1000000), 3) << " UTC\r\n";
}

void WriteProcessData(SafeWriter& w) {
    WriteDateTime(w);
    w << "process id        : ";
    w.Decimal(static_cast<unsigned long long>(getpid())) << "\r\n";
    const long tid = syscall(SYS_gettid);
    w << "thread id         : ";
    w.Decimal(static_cast<unsigned long long>(tid))
        << (tid == getpid() ? " (main thread)" : "") << "\r\n";
    w << gSystemData;
    struct sysinfo info {};
    if (sysinfo(&info) == 0) {
        const unsigned long long unit = info.mem_unit ? info.mem_unit : 1;
        w << "free memory       : ";
        w.Decimal(info.freeram * unit / (1024 * 1024)) << " MB of ";
        w.Decimal(info.totalram * unit / (1024 * 1024)) << " MB\r\n";
    }
}

// Symbolises the frames of the executable itself with addr2line, when it is installed, and
// reads its output through a pipe for at most 5 seconds.
void WriteSymbolisedFrames(SafeWriter& w, void* const* frames, int count) {
    if (!gAddr2Line[0] || !gExecutable[0])
        return;
    static char addresses[kMaxFrames][24];
    static const char* argv[kMaxFrames + 8];
    int argc = 0;
    argv[argc++] = gAddr2Line;
    argv[argc++] = "-C";
    argv[argc++] = "-f";
    argv[argc++] = "-p";
    argv[argc++] = "-e";
    argv[argc++] = gExecutable;
    int used = 0;
    for (int i = 0; i < count; ++i) {
        Dl_info info{};
        const auto pc = reinterpret_cast<std::uintptr_t>(frames[i]);
        if (!dladdr(frames[i], &info) ||
            reinterpret_cast<std::uintptr_t>(info.dli_fbase) != gExecutableBase)
            continue;
        // A return address points behind its call; one byte back names the call's line.
        std::uintptr_t address = (i == 0 ? pc : pc - 1) - (gExecutableIsPie ? gExecutableBase : 0);
        char* out = addresses[used];
        char digits[20];
        int n = 0;
        do {
            digits[n++] = "0123456789abcdef"[address & 15];
            address >>= 4;
        } while (address);
        *out++ = '0';
        *out++ = 'x';
        while (n)
            *out++ = digits[--n];
        *out = '\0';
        argv[argc++] = addresses[used++];
    }
    argv[argc] = nullptr;
    if (used == 0)
        return;

    w.Flush(); // what is written so far stays, whatever the symboliser does
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return;
    // The plain system call: fork() would run the process's fork handlers (which take locks a
    // crash may hold), and vfork() would share the crashed stack with the child.
    const pid_t child = static_cast<pid_t>(syscall(SYS_clone, SIGCHLD, 0, 0, 0, 0));
    if (child == 0) {
        dup2(pipeFds[1], 1);
        const int null = open("/dev/null", O_WRONLY);
        if (null >= 0)
            dup2(null, 2);
        execve(gAddr2Line, const_cast<char* const*>(argv), environ);
        _exit(127);
    }
    close(pipeFds[1]);
    if (child < 0) {
        close(pipeFds[0]);
        return;
    }
    w << "\r\nsource lines of the program's frames:\r\n";
    char buffer[1024];
    int waited = 0;
    bool ended = false;
    while (waited < 5000) {
        pollfd p{pipeFds[0], POLLIN, 0};
        const int ready = poll(&p, 1, 100);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready == 0) {
            waited += 100;
            continue;
        }
        const ssize_t n = read(pipeFds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ended = true;
            break;
        }
        w.Lines(buffer, static_cast<std::size_t>(n));
    }
    close(pipeFds[0]);
    if (!ended)
        kill(child, SIGKILL);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
}

void WriteStackTrace(SafeWriter& w, void* const* frames, int count) {
    w << "\r\nstack trace:\r\n";
    for (int i = 0; i < count; ++i) {
        w << "  #";
        w.Decimal(static_cast<unsigned long long>(i), 2) << " ";
        w.Hex(reinterpret_cast<std::uintptr_t>(frames[i]), 12);
        Dl_info info{};
        if (dladdr(frames[i], &info)) {
            if (info.dli_fname && *info.dli_fname) {
                const char* name = std::strrchr(info.dli_fname, '/');
                w << " " << (name ? name + 1 : info.dli_fname);
            }
            if (info.dli_sname) {
                w << " (" << info.dli_sname << "+";
                w.Hex(reinterpret_cast<std::uintptr_t>(frames[i]) -
                      reinterpret_cast<std::uintptr_t>(info.dli_saddr))
                    << ")";
            }
        }
        w << "\r\n";
    }
    WriteSymbolisedFrames(w, frames, count);
}

void WriteReportBody(SafeWriter& w, const char* header, std::string_view exceptionClass,
                     std::string_view message, void* const* frames, int count) {
    w << header;
    w << "exception class   : " << exceptionClass << "\r\n";
    w << "exception message : " << message << "\r\n";
    WriteProcessData(w);
    WriteStackTrace(w, frames, count);
}

constexpr std::string_view kSeparator =
    "\r\n------------------------------------------------------------------------------\r\n";
static_assert(kSeparator.size() == 78 + 4);

int OpenErrorFile(const char* path) {
    if (!path[0])
        return -1;
    int fd;
    do
        fd = open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    while (fd < 0 && errno == EINTR);
    return fd;
}

// Appends a report to the error file, or to standard error when there is none or it cannot be
// opened. Outside signal handlers.
void AppendReport(const std::string& report) {
    const std::string path = gErrorPath.Get();
    if (!path.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    }
    int fd = OpenErrorFile(path.c_str());
    const bool toFile = fd >= 0;
    if (!toFile)
        fd = 2;
    {
        SafeWriter w(fd);
        w << kSeparator << report;
    }
    if (toFile) {
        fsync(fd);
        close(fd);
        std::fprintf(stderr, "A crash report was written to %s\n", path.c_str());
    }
}

std::string Demangled(const char* name) {
    int status = 0;
    char* text = abi::__cxa_demangle(name, nullptr, nullptr, &status);
    std::string result = status == 0 && text ? text : name;
    std::free(text);
    return result;
}

void Describe(std::exception_ptr error, std::string& exceptionClass, std::string& message) {
    if (!error) {
        exceptionClass = "none";
        message = "no exception is being handled";
        return;
    }
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        exceptionClass = Demangled(typeid(e).name());
        message = e.what();
    } catch (...) {
        const std::type_info* type = abi::__cxa_current_exception_type();
        exceptionClass = type ? Demangled(type->name()) : "unknown";
        message = "an exception that is no std::exception";
    }
}

// Builds and writes a report outside a signal handler; answers it.
std::string Report(std::exception_ptr error, std::string_view extra) {
    std::string exceptionClass, message;
    Describe(error, exceptionClass, message);
    void* frames[kMaxFrames];
    const int count = backtrace(frames, kMaxFrames);
    std::string header;
    {
        auto& s = TheState();
        std::lock_guard lock(s.lock);
        s.extraInformation = std::string(extra);
        header = HeaderLocked(s);
        s.extraInformation.clear();
    }
    std::string report;
    {
        SafeWriter w(&report);
        WriteReportBody(w, header.c_str(), exceptionClass, message, frames, count);
    }
    static std::mutex writing; // reports of several threads do not interleave
    std::lock_guard lock(writing);
    AppendReport(report);
    return report;
}

const char* SignalName(int signal) {
    switch (signal) {
    case SIGSEGV:
        return "SIGSEGV";
    case SIGBUS:
        return "SIGBUS";
    case SIGFPE:
        return "SIGFPE";
    case SIGILL:
        return "SIGILL";
    case SIGABRT:
        return "SIGABRT";
    default:
        return "signal";
    }
}

const char* SignalText(int signal) {
    switch (signal) {
    case SIGSEGV:
        return "invalid memory access";
    case SIGBUS:
        return "bus error";
    case SIGFPE:
        return "arithmetic error";
    case SIGILL:
        return "illegal instruction";
    case SIGABRT:
        return "the program aborted";
    default:
        return "fatal signal";
    }
}

constexpr int kSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};

void OnSignal(int signal, siginfo_t* info, void*) {
    const int savedErrno = errno;
    if (!gCrashing.exchange(true)) {
        void* frames[kMaxFrames];
        const int count = backtrace(frames, kMaxFrames);
        int fd = OpenErrorFile(gErrorPath.Get());
        const bool toFile = fd >= 0;
        if (!toFile)
            fd = 2;
        {
            SafeWriter w(fd);
            w << kSeparator;
            w << gHeader.Get();
            w << "exception class   : " << SignalName(signal) << "\r\n";
            w << "exception message : " << SignalText(signal);
            if (signal != SIGABRT && info) {
                w << " at address ";
                w.Hex(reinterpret_cast<std::uintptr_t>(info->si_addr));
            }
            w << "\r\n";
            WriteProcessData(w);
            WriteStackTrace(w, frames, count);
        }
        if (toFile) {
            fsync(fd);
            close(fd);
            SafeWriter e(2);
            e << "A crash report was written to " << gErrorPath.Get() << "\n";
        }
    }
    // End the process by the same signal, so whoever waits for it sees what happened.
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
    errno = savedErrno;
    raise(signal);
}

void OnTerminate() {
    if (!gCrashing.exchange(true)) {
        try {
            Report(std::current_exception(), {});
        } catch (...) {
        }
    }
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(SIGABRT, &action, nullptr);
    std::abort();
}

void PrepareSystemData() {
    std::string text;
    text += "executable        : " + std::string(gExecutable) + "\r\n";
    utsname u{};
    if (uname(&u) == 0)
        text += std::string("operating system  : ") + u.sysname + " " + u.release + " " +
                u.machine + "\r\n";
    text += "processors        : " + std::to_string(sysconf(_SC_NPROCESSORS_ONLN)) + "\r\n";
    text += "compiled with     : GCC " + std::string(__VERSION__) + "\r\n";
    const std::size_t n = std::min(text.size(), sizeof gSystemData - 1);
    std::memcpy(gSystemData, text.data(), n);
    gSystemData[n] = '\0';
}

void FindAddr2Line() {
    gAddr2Line[0] = '\0';
    const char* path = std::getenv("PATH");
    const std::string dirs = path && *path ? path : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        std::size_t end = dirs.find(':', start);
        if (end == std::string::npos)
            end = dirs.size();
        const std::string candidate = dirs.substr(start, end - start) + "/addr2line";
        if (!candidate.empty() && candidate.front() == '/' &&
            access(candidate.c_str(), X_OK) == 0 && candidate.size() < sizeof gAddr2Line) {
            std::memcpy(gAddr2Line, candidate.c_str(), candidate.size() + 1);
            return;
        }
        start = end + 1;
    }
}

void PrepareExecutable() {
    char buffer[kPathSize];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    gExecutable[0] = '\0';
    if (n > 0) {
        std::memcpy(gExecutable, buffer, static_cast<std::size_t>(n));
        gExecutable[n] = '\0';
    }
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&PrepareExecutable), &info) && info.dli_fbase) {
        gExecutableBase = reinterpret_cast<std::uintptr_t>(info.dli_fbase);
        const auto* elf = static_cast<const Elf64_Ehdr*>(info.dli_fbase);
        gExecutableIsPie = elf->e_type == ET_DYN;
    }
}

} // namespace

void TBSMadExcept::Install() {
    if (gInstalled.exchange(true))
        return;
    PrepareExecutable();
    PrepareSystemData();
    FindAddr2Line();
    {
        auto& s = TheState();
        std::lock_guard lock(s.lock);
        if (!s.errorFile && gExecutable[0])
            s.errorFile = NewFile(gExecutable)->WithExtension(".err");
        PrepareLocked(s);
    }
    // The first backtrace loads the unwinder, which must not happen inside a signal handler.
    void* warmUp[2];
    backtrace(warmUp, 2);

    stack_t stack{};
    stack.ss_sp = gAlternateStack;
    stack.ss_size = sizeof gAlternateStack;
    sigaltstack(&stack, nullptr);
    struct sigaction action {};
    action.sa_sigaction = OnSignal;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (int signal : kSignals)
        sigaction(signal, &action, nullptr);
    std::set_terminate(OnTerminate);

    try {
        Language().AddLanguageListener([](TBSLanguage& language) {
            auto& s = TheState();
            std::lock_guard lock(s.lock);
            s.language = language.CurrentLanguage();
            PrepareLocked(s);
        });
    } catch (const std::exception&) {
        // No language class: reports name language 0.
    }
}

void TBSMadExcept::SetErrorFile(IBSFilePtr file) {
    if (!file)
        return;
    auto& s = TheState();
    std::lock_guard lock(s.lock);
    s.errorFile = std::move(file);
    PrepareLocked(s);
}

void TBSMadExcept::SetConfigurationFile(IBSFilePtr file) {
    if (!file)
        return;
    auto& s = TheState();
    std::lock_guard lock(s.lock);
    s.hasConfigurationFile = true;
    s.configurationFile = file->PathText();
    PrepareLocked(s);
}

void TBSMadExcept::SetReportUser(std::string name) {
    auto& s = TheState();
    std::lock_guard lock(s.lock);
    s.userName = std::move(name);
    PrepareLocked(s);
}

IBSFilePtr TBSMadExcept::ErrorFile() {
    auto& s = TheState();
    std::lock_guard lock(s.lock);
    return s.errorFile;
}

std::string TBSMadExcept::ReportHeader() {
    auto& s = TheState();
    std::lock_guard lock(s.lock);
    return HeaderLocked(s);
}

void TBSMadExcept::ReportSilently(std::string_view extraInformation) {
    try {
        Report(std::current_exception(), extraInformation);
    } catch (...) {
        // A report that cannot be written must not end a worker that meant to go on.
    }
}

std::string TBSMadExcept::ReportEventException(std::exception_ptr error) {
    return Report(std::move(error), {});
}

IBSStringMapPtr TBSMadExcept::ReporterTexts(std::string_view productTitle) {
    constexpr std::string_view probe = "#BSMadExcept.SendBtnCaption";
    if (LanguageText(probe) == probe)
        return nullptr;
    auto texts = NewStringMap();
    for (const char* key :
         {"SendBtnCaption", "ContinueBtnCaption", "ShowBtnCaption", "CloseBtnCaption",
          "PleaseWaitText", "MailBody", "SendBoxTitle", "SendFailureMsg"})
        texts->Put(key, LanguageText(std::string("#BSMadExcept.") + key));
    try {
        texts->Put("MailSubject",
                   LanguageTextFmt("#BSMadExcept.MailSubject", {std::string(productTitle)}));
    } catch (const std::exception&) {
        texts->Put("MailSubject", LanguageText("#BSMadExcept.MailSubject"));
    }
    return texts;
}

} // namespace marqor
