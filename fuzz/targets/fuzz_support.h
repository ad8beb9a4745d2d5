#pragma once

// What the fuzz entry functions share: a property check that no catch block of the library can
// swallow, a reader that cuts fuzz bytes into values, and a scratch directory for readers that
// only take files.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>

namespace marqor::fuzz {

// A broken property. Deliberately no std::exception, so that "catch (const std::exception&)"
// in the code under test cannot hide it: in a fuzzer it ends the run as a crash, in the
// regression test it fails the case.
struct PropertyViolation {
    std::string message;
};

[[noreturn]] void Violated(const char* file, int line, const std::string& message);

#define MARQOR_FUZZ_CHECK(condition, message)                                                    \
    do {                                                                                         \
        if (!(condition))                                                                        \
            ::marqor::fuzz::Violated(__FILE__, __LINE__,                                         \
                                     std::string(#condition) + ": " + std::string(message));     \
    } while (false)

// Takes values from the front of the input; past the end every value is zero or empty.
class ByteReader {
public:
    ByteReader(const std::uint8_t* data, std::size_t size)
        : text_(reinterpret_cast<const char*>(data), size) {}

    bool Empty() const { return text_.empty(); }
    std::uint8_t Byte() {
        if (text_.empty())
            return 0;
        const auto b = static_cast<std::uint8_t>(text_.front());
        text_.remove_prefix(1);
        return b;
    }
    std::uint32_t Uint32() {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v = (v << 8) | Byte();
        return v;
    }
    // The text up to the separator (which is dropped), or the rest.
    std::string_view Until(char separator) {
        const auto at = text_.find(separator);
        const auto piece = text_.substr(0, at);
        text_.remove_prefix(at == std::string_view::npos ? text_.size() : at + 1);
        return piece;
    }
    std::string_view Rest() {
        const auto rest = text_;
        text_ = {};
        return rest;
    }

private:
    std::string_view text_;
};

// What the program sets up before it reads anything: its language class, and a service log
// that stays quiet. Every entry function calls it first.
void Prepare();

// A directory of this process for the files a reader needs; removed when the process ends.
const std::filesystem::path& ScratchDirectory();
// Writes the bytes to a file of the scratch directory and answers its path.
std::string WriteScratchFile(std::string_view name, std::string_view bytes);

} // namespace marqor::fuzz
