#include "KS_Registry.h"

#include <QFileInfo>
#include <cmath>
#include <limits>

#include "KS_Globals.h"
#include "KS_String.h"
#include "SettingsFile.h"

namespace {

SettingsFile openKey(std::string_view subkey, std::string* section)
{
    return SettingsFile::ForRegistryKey(subkey, section);
}

// A stored value's text up to its first NUL.
std::string valueText(const std::optional<std::string>& value)
{
    if (!value)
        return {};
    const auto nul = value->find('\0');
    return nul == std::string::npos ? *value : value->substr(0, nul);
}

std::string orDefault(std::string text, std::optional<std::string_view> defaultValue)
{
    if (defaultValue && Trim(text).empty())
        return std::string(*defaultValue);
    return text;
}

} // namespace

std::string QueryRegistryValue(const RegistryKey& key, std::string_view valueName)
{
    std::string section;
    return valueText(openKey(key.subkey, &section).Read(section, valueName));
}

std::string GetRegistrySetting(RegistryRoot, std::string_view subkey, std::string_view valueName,
                               std::optional<std::string_view> defaultValue)
{
    return orDefault(QueryRegistryValue(RegistryKey{std::string(subkey)}, valueName), defaultValue);
}

void SaveRegistrySetting(RegistryRoot, std::string_view subkey, std::string_view valueName, std::string_view value)
{
    std::string section;
    const SettingsFile file = openKey(subkey, &section);
    file.Write(section, valueName, Trim(value).empty() ? std::string_view(" ") : value);
}

std::string ConfigKey() { return gRegistryRoot + "Config"; }

std::string GetConfigSetting(std::string_view valueName, std::optional<std::string_view> defaultValue)
{
    return GetRegistrySetting(HKEY_LOCAL_MACHINE, ConfigKey(), valueName, defaultValue);
}

void SaveConfigSetting(std::string_view valueName, std::string_view value)
{
    SaveRegistrySetting(HKEY_LOCAL_MACHINE, ConfigKey(), valueName, value);
}

std::int16_t SettingToNumber(std::string_view text, std::int16_t defaultValue)
{
    const double value = std::nearbyint(Val(text));
    if (value < std::numeric_limits<std::int16_t>::min() || value > std::numeric_limits<std::int16_t>::max())
        return defaultValue;
    return static_cast<std::int16_t>(value);
}

bool SettingToFlag(std::string_view text, bool defaultValue)
{
    const std::string t = UpperCase(Trim(text));
    if (t == "TRUE")
        return true;
    if (t == "FALSE")
        return false;
    if (t.empty())
        return defaultValue;
    // Only a text that is wholly a number converts; "1x" is no flag.
    std::size_t i = (t[0] == '-' || t[0] == '+') ? 1 : 0;
    bool digits = false;
    for (; i < t.size(); ++i) {
        if (t[i] >= '0' && t[i] <= '9')
            digits = true;
        else if (t[i] != '.')
            return defaultValue;
    }
    return digits ? Val(t) != 0 : defaultValue;
}

std::string SettingToNumberText(std::string_view text)
{
    const double value = Val(text);
    if (value == std::floor(value) && std::fabs(value) < 1e15)
        return std::to_string(static_cast<long long>(value));
    std::string s = std::to_string(value);
    while (!s.empty() && s.back() == '0')
        s.pop_back();
    return s;
}

std::string EncodeStoredPassword(std::string_view password)
{
    std::string stored;
    for (auto it = password.rbegin(); it != password.rend(); ++it)
        stored += ZeroPad(static_cast<unsigned char>(*it), 3);
    return stored;
}

std::string DecodeStoredPassword(std::string_view stored)
{
    std::string decoded;
    for (std::size_t i = 0; i < stored.size(); i += 3) {
        const std::string_view group = stored.substr(i, 3);
        for (char c : group)
            if (c < '0' || c > '9')
                return {}; // not our encoding: no password rather than a garbled one
        const int code = std::stoi(std::string(group));
        if (code > 255)
            return {};
        decoded.push_back(static_cast<char>(code));
    }
    return std::string(decoded.rbegin(), decoded.rend());
}

void LoadConfiguration()
{
    std::string section;
    const SettingsFile file = openKey(ConfigKey(), &section);
    LoadConfigurationFrom(file.Contents(), section);
}

void LoadConfigurationFrom(std::string_view contents, std::string_view section)
{
    const auto setting = [&](std::string_view name, std::string_view defaultValue) {
        return orDefault(valueText(ReadSetting(contents, section, name)), defaultValue);
    };
    gDataFolder = setting("Folder", "");
    gConnectionType = SettingToNumber(setting("ConnectionType", "1"), 1);
    gSerialPort = SettingToNumber(setting("Serial COM Port", "0"), 0);
    gModemPort = SettingToNumber(setting("Modem COM Port", "0"), 0);
    gComSettings = setting("COMPortSettings", "38400,N,8,1");
    gModemPhone = setting("Phone", "");
    gAdminPassword = DecodeStoredPassword(Trim(setting("InfoSec", "")));
    gAutoTimeSet = SettingToFlag(setting("AutoTimeSet", "0"), false);
    gUTCTimeOverride = SettingToFlag(setting("UTCTimeOverride", "0"), false);
    gToneGenFile = setting("ToneGenFile", gDataFolder.empty() ? "" : DataFilePath("ToneGen.TGS"));
    gToneGenSlot = setting("ToneGenSlot", "1");
    gToneGenCalendarFile = setting("ToneGenCalendarFile",
                                            gDataFolder.empty() ? "" : DataFilePath("ToneGenCalendar.TGC"));
    gSBChars = SettingToNumberText(setting("SBChars", "32"));
    gSBLines = SettingToNumberText(setting("SBLines", "3"));
    gShowHelpMessage = SettingToFlag(setting("ShowHelpMessage", "1"), true);
    gShowSBSupport = SettingToFlag(setting("ShowSBSupport", "0"), false);
    gAutoHide = SettingToFlag(setting("AutoHide", "0"), false);
    gLastEncoderModelLetter = setting("Last Encoder Model", "");
    gLastEncoderFamily = setting("Last Encoder Family", "");

    // Only a real file counts: a folder named Pager.DBS is no user table.
    gDatabaseFound = !Trim(gDataFolder).empty() && QFileInfo(PathToQString(DataFilePath("Pager.DBS"))).isFile();
}

std::string DataFilePath(std::string_view fileName)
{
    std::string path = gDataFolder;
    if (!path.empty() && path.back() != '/')
        path.push_back('/');
    return path + std::string(fileName);
}
