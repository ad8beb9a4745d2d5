#pragma once

#include <stdexcept>
#include <string>

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

} // namespace marqor
