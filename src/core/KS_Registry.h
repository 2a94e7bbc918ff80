#pragma once
// Pagora's settings. Callers name the key as the console always has
// (HKEY_LOCAL_MACHINE, gRegistryRoot + "Config"); the value lives in our own
// settings file (SettingsFile). Reads and writes never report failure: a value
// that cannot be read yields its default, a failed write leaves the old value.

#include <optional>
#include <string>
#include <string_view>

enum class RegistryRoot { LocalMachine };
inline constexpr RegistryRoot HKEY_LOCAL_MACHINE = RegistryRoot::LocalMachine;

// An opened key: which settings file and which section of it.
struct RegistryKey {
    std::string subkey;
};

// The value's text up to its first NUL; "" when missing.
std::string QueryRegistryValue(const RegistryKey& key, std::string_view valueName);

// The value, or the default when the value is missing or only blanks (and a default was given).
std::string GetRegistrySetting(RegistryRoot root, std::string_view subkey, std::string_view valueName,
                               std::optional<std::string_view> defaultValue = std::nullopt);

// Stores text; an empty (or blank) value is stored as one space, which reads back as the default.
void SaveRegistrySetting(RegistryRoot root, std::string_view subkey, std::string_view valueName,
                         std::string_view value);

// The Config key of this program, as every caller names it.
std::string ConfigKey();

// Short forms for the Config key.
std::string GetConfigSetting(std::string_view valueName, std::optional<std::string_view> defaultValue = std::nullopt);
void SaveConfigSetting(std::string_view valueName, std::string_view value);

// Conversions of stored text.
// A Number setting: the numeric prefix as a 16-bit integer; the default when it does not fit.
std::int16_t SettingToNumber(std::string_view text, std::int16_t defaultValue);
// A Flag setting: a number (non-zero is true) or the words True/False; anything else is the default.
bool SettingToFlag(std::string_view text, bool defaultValue);
// A Text setting holding a number: the numeric prefix, written back as text.
std::string SettingToNumberText(std::string_view text);

std::string EncodeStoredPassword(std::string_view password);
std::string DecodeStoredPassword(std::string_view stored);

// Reads the start-up settings into the program-wide variables and
// sets gDatabaseFound. Reports nothing.
void LoadConfiguration();
// The same from the settings file's bytes, read once (section: the key's section in it).
void LoadConfigurationFrom(std::string_view contents, std::string_view section);

// gDataFolder joined with a file name.
std::string DataFilePath(std::string_view fileName);
