#include "SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <vector>

namespace {

// A line as stored, without its line feed. A CR before the line feed (a file
// edited on Windows) is no part of the line's text, but it stays with the line
// so that writing one entry gives every other line back byte for byte.
std::string_view lineText(std::string_view stored)
{
    if (!stored.empty() && stored.back() == '\r')
        stored.remove_suffix(1);
    return stored;
}

// Calls f with the stored lines in order (the last needs no line feed) until f returns true.
template <class F>
bool anyLine(std::string_view all, F f)
{
    while (!all.empty()) {
        const auto end = all.find('\n');
        if (f(all.substr(0, end)))
            return true;
        if (end == std::string_view::npos)
            break;
        all.remove_prefix(end + 1);
    }
    return false;
}

std::string_view trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

bool isSectionHeader(std::string_view line, std::string_view* name)
{
    std::string_view t = trim(line);
    if (t.size() < 2 || t.front() != '[' || t.back() != ']')
        return false;
    *name = t.substr(1, t.size() - 2);
    return true;
}

// Splits "name=value"; the value is everything after the first '=' as stored.
bool splitEntry(std::string_view line, std::string_view* name, std::string_view* value)
{
    const auto eq = line.find('=');
    if (eq == std::string::npos)
        return false;
    *name = trim(line.substr(0, eq));
    *value = line.substr(eq + 1);
    return true;
}

QString envOrHome(const char* variable, const char* fallback)
{
    const QString value = qEnvironmentVariable(variable);
    if (!value.isEmpty())
        return value;
    return QDir::homePath() + QLatin1String(fallback);
}

} // namespace

QString ConfigHome() { return envOrHome("XDG_CONFIG_HOME", "/.config"); }

QString ProgramFolder()
{
    const QString folder = envOrHome("XDG_DATA_HOME", "/.local/share") + QLatin1String("/Pagora");
    QDir().mkpath(folder);
    return folder;
}

SettingsFile SettingsFile::ForRegistryKey(std::string_view subkey, std::string* section)
{
    // Software\<Vendor>\<Program>\<Key>
    std::vector<std::string> parts;
    std::string current;
    for (char c : subkey) {
        if (c == '\\' || c == '/') {
            if (!current.empty())
                parts.push_back(std::move(current));
            current.clear();
        } else {
            current.push_back(c);
        }
    }
    if (!current.empty())
        parts.push_back(std::move(current));
    if (!parts.empty() && parts.front() == "Software")
        parts.erase(parts.begin());

    std::string key = parts.empty() ? std::string("Config") : parts.back();
    if (!parts.empty())
        parts.pop_back();
    QString file = ConfigHome();
    for (std::size_t i = 0; i + 1 < parts.size(); ++i)
        file += QLatin1Char('/') + QString::fromStdString(parts[i]);
    file += QLatin1Char('/') + (parts.empty() ? QStringLiteral("Pagora") : QString::fromStdString(parts.back()))
        + QLatin1String(".conf");
    if (section)
        *section = key;
    return SettingsFile(file);
}

std::string SettingsFile::Contents() const
{
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll().toStdString();
}

std::optional<std::string> SettingsFile::Read(std::string_view section, std::string_view name) const
{
    return ReadSetting(Contents(), section, name);
}

bool SettingsFile::Write(std::string_view section, std::string_view name, std::string_view value) const
{
    const std::string contents = WriteSetting(Contents(), section, name, value);
    QDir().mkpath(QFileInfo(path_).absolutePath());
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(contents.data(), static_cast<qint64>(contents.size()));
    return file.commit();
}

std::optional<std::string> ReadSetting(std::string_view contents, std::string_view section, std::string_view name)
{
    // Read for every setting at start-up: the lines are looked at in place.
    bool inSection = false;
    std::optional<std::string> found;
    anyLine(contents, [&](std::string_view stored) {
        const std::string_view line = lineText(stored);
        std::string_view header;
        if (isSectionHeader(line, &header)) {
            inSection = header == section;
            return false;
        }
        std::string_view key, value;
        if (inSection && splitEntry(line, &key, &value) && key == name)
            found = std::string(value);
        return found.has_value();
    });
    return found;
}

std::string WriteSetting(std::string_view contents, std::string_view section, std::string_view name,
                         std::string_view value)
{
    // A line break inside a value would split it into two entries.
    std::string stored(value);
    for (char& c : stored)
        if (c == '\r' || c == '\n')
            c = ' ';

    std::vector<std::string_view> lines;
    anyLine(contents, [&](std::string_view raw) {
        lines.push_back(raw);
        return false;
    });
    const std::string entry = std::string(name) + "=" + stored;
    bool inSection = false;
    bool written = false;
    std::ptrdiff_t sectionEnd = -1;
    for (std::size_t i = 0; i < lines.size() && !written; ++i) {
        const std::string_view line = lineText(lines[i]);
        std::string_view header;
        if (isSectionHeader(line, &header)) {
            if (inSection)
                break;
            inSection = header == section;
            if (inSection)
                sectionEnd = static_cast<std::ptrdiff_t>(i) + 1;
            continue;
        }
        if (!inSection)
            continue;
        std::string_view key, old;
        if (splitEntry(line, &key, &old) && key == name) {
            lines[i] = entry;
            written = true;
        } else if (!trim(line).empty()) {
            sectionEnd = static_cast<std::ptrdiff_t>(i) + 1;
        }
    }
    const std::string header = "[" + std::string(section) + "]";
    if (!written) {
        if (sectionEnd < 0) {
            lines.push_back(header);
            lines.push_back(entry);
        } else {
            lines.insert(lines.begin() + sectionEnd, entry);
        }
    }
    std::string result;
    for (const auto line : lines) {
        result += line;
        result += '\n';
    }
    return result;
}
