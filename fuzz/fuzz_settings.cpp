// The settings file as any bytes (a damaged disk, a hand edit gone wrong):
// start-up reads it without harm, and a value written into it reads back as
// written while the other entries keep their values.
#include <QFile>
#include <QDir>

#include "FuzzSupport.h"
#include "KS_Globals.h"
#include "KS_Registry.h"
#include "SettingsFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInit();
    std::string section;
    const SettingsFile settings = SettingsFile::ForRegistryKey(ConfigKey(), &section);
    QDir().mkpath(QFileInfo(settings.path()).absolutePath());
    {
        QFile file(settings.path());
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    LoadConfiguration();

    const auto phoneBefore = settings.Read(section, "Phone");
    FuzzCheck(settings.Write(section, "Folder", "/srv/pagora data"), "the settings file could not be written");
    FuzzCheck(settings.Read(section, "Folder") == std::optional<std::string>("/srv/pagora data"),
              "a written value does not read back");
    FuzzCheck(settings.Read(section, "Phone") == phoneBefore, "writing one value changed another");
    LoadConfiguration();
    FuzzCheck(gDataFolder == "/srv/pagora data", "start-up does not see the written folder");
    return 0;
}
