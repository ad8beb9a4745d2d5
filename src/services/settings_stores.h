#pragma once

// The stores behind settings objects: INI files, encrypted INI files, and the file that stands
// in for the current user's registry.
//
// The registry of the current user is one INI file per user:
//
//     $XDG_CONFIG_HOME/Orvane/registry.ini      ($XDG_CONFIG_HOME defaults to ~/.config)
//
// Each registry key is a section named by its full key path ("Software\Orvane\Marqor\Orvane"),
// its string values are the section's values. A settings object on a key path sees the
// subkeys of that key as its sections. Values of a key itself (the flags "DEBUG" and "ORVANE" of
// "Software\Orvane") are read with ReadRegistryValue.

#include "foundation/files.h"
#include "foundation/settings.h"

#include <optional>
#include <string>
#include <string_view>

namespace marqor {

// Without a file an empty memory store. With a file and inMemory clear, a store over the file:
// each write goes to the file at once. With inMemory set, a memory store loaded from the file;
// a file that cannot be read or is no INI text is reported once through the service log and
// gives an empty store.
IBSSettingsPtr OpenIniSettings(IBSFilePtr file, bool inMemory);

// A plain INI file store when the file holds a section of that name; otherwise the file holds
// RC4-encrypted INI text in Base64 and the settings live in memory until Save, which writes
// the file only when its text changed. A file that exists but cannot be read raises
// EFileError. One that cannot be decrypted gives an empty store (reported through the log
// unless reportUndecryptable is clear) and is put aside before a changed store is saved over it.
IBSSettingsPtr OpenEncryptableSettings(IBSFilePtr file, std::string_view sectionName,
                                       bool reportUndecryptable = true);

// The subkeys of the key path in the current user's registry, with the defaults provider.
IBSSettingsPtr OpenRegistrySettings(std::string_view keyPath, IBSSettingsPtr defaults = nullptr);

// The current user's registry file (see the top of this file).
std::string RegistryFileName();
// A string value of a registry key; nothing when the key or the value is absent or the file
// cannot be read.
std::optional<std::string> ReadRegistryValue(std::string_view keyPath, std::string_view name);
// Raises EFileError naming the file when it cannot be written.
void WriteRegistryValue(std::string_view keyPath, std::string_view name, std::string_view value);
// A boolean value of a key (the text forms of settings); absent or unreadable is false.
bool ReadRegistryFlag(std::string_view keyPath, std::string_view name);

// One section as INI text, as AsText gives it: "[name]", its "name=value" lines (with those
// of the defaults provider) and an empty line, joined by CR LF. Empty when the section is.
std::string SectionAsText(IBSSettings& settings, std::string_view name);

// The text of an encrypted settings file: RC4 keyed with the SHA-1 digest of the program's pass
// phrase, as one line of Base64.
std::string EncryptSettingsText(std::string_view text);
// Nothing when the text is no Base64 or does not decrypt to INI text.
std::optional<std::string> DecryptSettingsText(std::string_view fileText);

} // namespace marqor
