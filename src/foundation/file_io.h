#pragma once

// The low-level calls through which the library writes, flushes and replaces files. Everything
// goes to the system unless a test installs its own calls to simulate short writes, a full disk,
// a refused permission or a failed rename. Each call behaves like its POSIX namesake: -1 and
// errno on failure.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace marqor {

class IBSFileSystemCalls {
public:
    virtual ~IBSFileSystemCalls() = default;
    virtual int Open(const char* path, int flags, mode_t mode);
    virtual ssize_t Write(int fd, const void* data, std::size_t count);
    virtual int Fsync(int fd);
    virtual int Close(int fd);
    virtual int Rename(const char* from, const char* to);
    virtual int Unlink(const char* path);
};

// The calls in use. Hold the pointer for the duration of one operation.
std::shared_ptr<IBSFileSystemCalls> FileSystemCalls();
// Installs calls for the whole process and answers the previous ones; nullptr restores the
// system's.
std::shared_ptr<IBSFileSystemCalls> SetFileSystemCalls(std::shared_ptr<IBSFileSystemCalls> calls);

// Writes all bytes, retrying short writes and interruptions; raises EFileError naming the path
// and the reason when the system refuses.
void WriteFully(IBSFileSystemCalls& calls, int fd, const void* data, std::size_t count,
                const std::string& path);

// Replaces the file's content so that at every moment the path holds either the old content or
// the complete new one: the bytes go to a sibling temporary file, which is flushed to disk and
// then renamed over the path. The file keeps its permissions; a symbolic link keeps pointing at
// the file it named. Raises EFileError (the old content stays) when any step fails. The
// directory must exist.
void ReplaceFileContents(const std::string& path, std::string_view bytes);

} // namespace marqor
