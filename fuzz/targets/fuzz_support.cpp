#include "fuzz_support.h"

#include "fuzz_targets.h"

#include "services/log.h"
#include "texts/kvr_language.h"

#include <cstdio>
#include <fstream>
#include <mutex>
#include <system_error>
#include <unistd.h>

namespace marqor::fuzz {

void Violated(const char* file, int line, const std::string& message) {
    std::fprintf(stderr, "%s:%d: property violated: %s\n", file, line, message.c_str());
    throw PropertyViolation{message};
}

void Prepare() {
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterLanguageClass<TLanguageKavrin>();
        SetServiceLogSink([](std::string_view) {});
    });
}

namespace {

struct Scratch {
    std::filesystem::path path;
    Scratch() {
        path = std::filesystem::temp_directory_path() /
               ("marqor-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
    }
    ~Scratch() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

} // namespace

const std::filesystem::path& ScratchDirectory() {
    static Scratch scratch;
    return scratch.path;
}

std::string WriteScratchFile(std::string_view name, std::string_view bytes) {
    const auto path = ScratchDirectory() / std::string(name);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
        Violated(__FILE__, __LINE__, "cannot write the scratch file " + path.string());
    return path.string();
}

std::span<const Harness> Harnesses() {
    static constexpr Harness harnesses[] = {
        {"swim_time", FuzzSwimTime},
        {"reaction_time", FuzzReactionTime},
        {"point_table", FuzzPointTable},
        {"language", FuzzLanguage},
        {"ini_settings", FuzzIniSettings},
        {"encrypted_settings", FuzzEncryptedSettings},
        {"xml", FuzzXml},
        {"document_settings", FuzzDocumentSettings},
        {"stream_reader", FuzzStreamReader},
        {"zip_entry", FuzzZipEntry},
        {"cli_options", FuzzCliOptions},
    };
    return harnesses;
}

} // namespace marqor::fuzz
