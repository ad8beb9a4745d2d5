#pragma once

#include "foundation/file_io.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <memory>
#include <string>

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

// System calls that fail exactly one step of an operation: the failAt-th call counted from
// installation (opens, writes, flushes, closes and renames; removals always go through), with
// the error a full disk, a refused permission or a failing device gives at that step. With
// failAt 0 nothing fails and calls counts the steps of a clean run. Writes can also be cut
// into chunks, as a disk under pressure does.
class StepFaults : public IBSFileSystemCalls {
public:
    int failAt = 0;
    int renameErrno = EACCES;
    std::size_t chunk = SIZE_MAX;
    int calls = 0;
    std::string failed; // the name of the call that failed

    int Open(const char* path, int flags, mode_t mode) override {
        if (Fails("open", EACCES))
            return -1;
        return IBSFileSystemCalls::Open(path, flags, mode);
    }
    ssize_t Write(int fd, const void* data, std::size_t count) override {
        if (Fails("write", ENOSPC))
            return -1;
        return IBSFileSystemCalls::Write(fd, data, std::min(count, chunk));
    }
    int Fsync(int fd) override {
        if (Fails("fsync", EIO))
            return -1;
        return IBSFileSystemCalls::Fsync(fd);
    }
    int Close(int fd) override {
        if (Fails("close", EIO)) {
            IBSFileSystemCalls::Close(fd); // the descriptor is gone after a failed close too
            return -1;
        }
        return IBSFileSystemCalls::Close(fd);
    }
    int Rename(const char* from, const char* to) override {
        if (Fails("rename", renameErrno))
            return -1;
        return IBSFileSystemCalls::Rename(from, to);
    }

private:
    bool Fails(const char* name, int error) {
        if (++calls != failAt)
            return false;
        failed = name;
        errno = error;
        return true;
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
