// The settings file as any bytes (a damaged disk, a hand edit gone wrong):
// start-up reads it without harm, and a value written into it reads back as
// written while the other entries keep their values. The bytes are parsed
// where the program parses them, in memory, so no input waits on the disk.
#include "FuzzSupport.h"
#include "KS_Globals.h"
#include "KS_Registry.h"
#include "SettingsFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInit();
    const std::string contents(reinterpret_cast<const char*>(data), size);
    constexpr std::string_view section = "Config";
    LoadConfigurationFrom(contents, section);

    const auto phoneBefore = ReadSetting(contents, section, "Phone");
    const std::string written = WriteSetting(contents, section, "Folder", "/srv/pagora data");
    FuzzCheck(ReadSetting(written, section, "Folder") == std::optional<std::string>("/srv/pagora data"),
              "a written value does not read back");
    FuzzCheck(ReadSetting(written, section, "Phone") == phoneBefore, "writing one value changed another");
    LoadConfigurationFrom(written, section);
    FuzzCheck(gDataFolder == "/srv/pagora data", "start-up does not see the written folder");
    return 0;
}
