// Seeds a demo data folder for the README's run command: a user table with a
// handful of users of different pager types, written with the console's own
// record codecs so that it is byte for byte what Pagora itself would write.
#include "SeedDemo.h"

#include <QDir>
#include <QFileInfo>

#include "KS_Database.h"
#include "KS_Globals.h"
#include "KS_Records.h"
#include "KS_Registry.h"
#include "KS_String.h"

namespace {

struct DemoUser {
    int number;
    const char* name;
    const char* type; // the default model X unit takes digit codes: 0 alphanumeric, 1 numeric, 2 tone, 3 voice
    const char* groupFlag;
};

constexpr DemoUser kDemoUsers[] = {
    {1, "Front Desk", "0", "N"},   {2, "Maintenance", "1", "N"}, {3, "Security", "0", "N"},
    {4, "Kitchen", "2", "N"},      {5, "Head Nurse", "3", "N"},  {6, "Lobby Sign", "0", "N"},
    {12, "Night Porter", "1", "N"},
};

} // namespace

bool SeedDemoFolder(const std::string& folder, std::string& error)
{
    if (!QDir().mkpath(QString::fromStdString(folder))) {
        error = "cannot create " + folder;
        return false;
    }
    gDataFolder = folder;
    const std::string path = DataFilePath("Pager.DBS");
    if (QFileInfo::exists(QString::fromStdString(path)))
        return true; // an operator's table is never overwritten
    if (!CreateEmptyPagerDatabase()) {
        error = "cannot write " + path;
        return false;
    }
    for (const auto& user : kDemoUsers) {
        PagerRecord record = FreePagerRecord();
        record.PagerNo = ZeroPad(user.number, 3);
        record.UserName = PadRight(user.name, 20);
        record.Capcode = ZeroPad(1200000 + user.number * 8, 7);
        record.PagerType = user.type;
        record.Baud = "2";
        record.Phone = PadRight("", 20);
        record.Format = "P";
        record.Mode = "0";
        record.GroupFlag = user.groupFlag;
        record.Group1 = " ";
        record.Group2 = " ";
        record.Group3 = " ";
        record.Group4 = " ";
        record.InUse = "Y";
        record.DSC = "    ";
        if (WriteRecordAt(path, user.number, record) != FileError::None) {
            error = "cannot write " + path;
            return false;
        }
    }
    return true;
}
