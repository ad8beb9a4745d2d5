#pragma once

#include "foundation/file_io.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <memory>

namespace marqor::testing_support {

// System calls that fail as a test asks: writes that take only a few bytes at a time, a disk
// that fills up, refused opens, failing flushes and renames.
class FaultyCalls : public IBSFileSystemCalls {
public:
    int openError = 0;
    std::size_t chunk = SIZE_MAX;
    std::size_t spaceLeft = SIZE_MAX;
    int fsyncError = 0;
    int renameError = 0;
    int writes = 0;

    int Open(const char* path, int flags, mode_t mode) override {
        if (openError) {
            errno = openError;
            return -1;
        }
        return IBSFileSystemCalls::Open(path, flags, mode);
    }
    ssize_t Write(int fd, const void* data, std::size_t count) override {
        ++writes;
        if (spaceLeft == 0) {
            errno = ENOSPC;
            return -1;
        }
        const std::size_t n = std::min({count, chunk, spaceLeft});
        const ssize_t written = IBSFileSystemCalls::Write(fd, data, n);
        if (written > 0 && spaceLeft != SIZE_MAX)
            spaceLeft -= static_cast<std::size_t>(written);
        return written;
    }
    int Fsync(int fd) override {
        if (fsyncError) {
            errno = fsyncError;
            return -1;
        }
        return IBSFileSystemCalls::Fsync(fd);
    }
    int Rename(const char* from, const char* to) override {
        if (renameError) {
            errno = renameError;
            return -1;
        }
        return IBSFileSystemCalls::Rename(from, to);
    }
};

// Installs calls for the lifetime of the guard.
class CallsGuard {
public:
    explicit CallsGuard(std::shared_ptr<IBSFileSystemCalls> calls)
        : previous_(SetFileSystemCalls(std::move(calls))) {}
    ~CallsGuard() { SetFileSystemCalls(previous_); }

private:
    std::shared_ptr<IBSFileSystemCalls> previous_;
};

} // namespace marqor::testing_support
