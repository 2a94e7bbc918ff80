#pragma once
// Stand-in for the registry key that holds Pagora's settings: a plain
// "name=value" file with one section per key. Values are kept byte for byte
// (commas, semicolons, backslashes); names may hold spaces. A missing or
// unreadable file simply has no values. Every write replaces the file through
// a temporary file, so a crash never leaves half a settings file behind.

#include <QString>
#include <optional>
#include <string>
#include <string_view>

class SettingsFile {
public:
    explicit SettingsFile(QString path) : path_(std::move(path)) {}

    // "Software\Kestrane\Pagora\Config" lives in
    // $XDG_CONFIG_HOME/Kestrane/Pagora.conf, section [Config].
    static SettingsFile ForRegistryKey(std::string_view subkey, std::string* section);

    std::optional<std::string> Read(std::string_view section, std::string_view name) const;
    bool Write(std::string_view section, std::string_view name, std::string_view value) const;
    // The file's bytes; "" when it is missing or unreadable.
    std::string Contents() const;

    const QString& path() const { return path_; }

private:
    QString path_;
};

// The same reading and writing on a settings file's bytes held in memory.
std::optional<std::string> ReadSetting(std::string_view contents, std::string_view section, std::string_view name);
// The file's bytes with the value set (added at the end of its section, or in a new section).
std::string WriteSetting(std::string_view contents, std::string_view section, std::string_view name,
                         std::string_view value);

// $XDG_CONFIG_HOME (default ~/.config)
QString ConfigHome();
// The program's own folder: $XDG_DATA_HOME/Pagora (default ~/.local/share/Pagora), created on first use.
QString ProgramFolder();
