#pragma once

#include <stdexcept>
#include <string>
#include <system_error>

namespace marqor {

// A text that should have been a number (or another value) and is not.
class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// An index outside 0 .. Count() - 1 of a list.
class EListError : public std::out_of_range {
public:
    explicit EListError(long long index)
        : std::out_of_range("List index out of bounds (" + std::to_string(index) + ")") {}
};

// Reading or writing a stream failed: a missing resource, a damaged archive, a failed file
// operation. The message names what was being read or written.
class EStreamError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A file operation the system refused. The message reads "<what> <path>: <system's reason>".
class EFileError : public EStreamError {
public:
    EFileError(std::string what, std::string path, int error)
        : EStreamError(what + " " + path + ": " + std::generic_category().message(error)),
          path_(std::move(path)), code_(error, std::generic_category()) {}

    const std::string& Path() const { return path_; }
    const std::error_code& Code() const { return code_; }

private:
    std::string path_;
    std::error_code code_;
};

// A zip archive that cannot be read or written: damaged, encrypted, a missing entry.
class EZipError : public EStreamError {
public:
    EZipError(const std::string& archive, const std::string& reason)
        : EStreamError("Zip archive " + archive + ": " + reason), archive_(archive) {}

    const std::string& Archive() const { return archive_; }

private:
    std::string archive_;
};

} // namespace marqor
