#pragma once

// The entry functions of the fuzz harnesses. Each takes one input, as libFuzzer hands it over,
// and answers 0; a crash, a sanitizer report or a PropertyViolation is a finding. The same
// functions replay the kept regression inputs in the unit tests.

#include <cstddef>
#include <cstdint>
#include <span>

namespace marqor::fuzz {

using EntryFunction = int (*)(const std::uint8_t* data, std::size_t size);

int FuzzSwimTime(const std::uint8_t* data, std::size_t size);
int FuzzReactionTime(const std::uint8_t* data, std::size_t size);
int FuzzPointTable(const std::uint8_t* data, std::size_t size);
int FuzzLanguage(const std::uint8_t* data, std::size_t size);
int FuzzIniSettings(const std::uint8_t* data, std::size_t size);
int FuzzEncryptedSettings(const std::uint8_t* data, std::size_t size);
int FuzzXml(const std::uint8_t* data, std::size_t size);
int FuzzDocumentSettings(const std::uint8_t* data, std::size_t size);
int FuzzStreamReader(const std::uint8_t* data, std::size_t size);
int FuzzZipEntry(const std::uint8_t* data, std::size_t size);
int FuzzCliOptions(const std::uint8_t* data, std::size_t size);

struct Harness {
    const char* name; // the folder name under fuzz/corpus and fuzz/regressions
    EntryFunction entry;
};

std::span<const Harness> Harnesses();

} // namespace marqor::fuzz
