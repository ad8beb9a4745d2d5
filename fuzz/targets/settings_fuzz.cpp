#include "fuzz_support.h"
#include "fuzz_targets.h"

#include "foundation/errors.h"
#include "foundation/files.h"
#include "foundation/settings.h"
#include "services/log.h"
#include "services/settings_stores.h"

#include <mutex>

namespace marqor::fuzz {

namespace {

// Reads every value of every section in each of its forms.
void ReadAll(IBSSettings& settings) {
    const auto names = settings.SectionNames();
    for (const auto& name : *names) {
        const auto section = settings.GetSection(name);
        const auto values = section->GetValues();
        for (int i = 0; i < values->Count(); ++i) {
            const std::string key = values->NameAt(i);
            section->ReadBool(key, false);
            section->ReadInteger(key, -1);
            section->ReadFloat(key, 0.5);
            section->ReadDateTime(key, 0);
            section->ReadString(key, "");
            section->ReadMap(key);
        }
    }
}

} // namespace

// Input: INI text. The store holds what the text says; its own text reads back to itself.
int FuzzIniSettings(const std::uint8_t* data, std::size_t size) {
    Prepare();
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto settings = NewMemorySettings();
    settings->AssignText(text);
    ReadAll(*settings);
    const std::string once = settings->AsText();
    const auto again = NewMemorySettings();
    again->AssignText(once);
    MARQOR_FUZZ_CHECK(again->AsText() == once, "the store's text does not read back to itself");

    const std::string path = WriteScratchFile("settings.ini", text);
    const auto loaded = OpenIniSettings(NewFile(path), true);
    ReadAll(*loaded);
    return 0;
}

// Input: the bytes of a project file, plain or encrypted INI text.
int FuzzEncryptedSettings(const std::uint8_t* data, std::size_t size) {
    Prepare();
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (const auto plain = DecryptSettingsText(bytes)) {
        const auto settings = NewMemorySettings();
        settings->AssignText(*plain);
        ReadAll(*settings);
    }
    // What the program encrypts, it decrypts to the same text.
    std::string value;
    for (const char c : bytes.substr(0, 64))
        if (c >= ' ' && c <= '~')
            value += c;
    const std::string ini = "[Orvane]\r\nText=" + value + "\r\n";
    const auto back = DecryptSettingsText(EncryptSettingsText(ini));
    MARQOR_FUZZ_CHECK(back && *back == ini, "an encrypted text does not decrypt to itself");

    const std::string path = WriteScratchFile("project.ini", bytes);
    try {
        const auto settings = OpenEncryptableSettings(NewFile(path), "Orvane", false);
        ReadAll(*settings);
    } catch (const EFileError&) {
    }
    return 0;
}

} // namespace marqor::fuzz
