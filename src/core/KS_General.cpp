#include "KS_General.h"

#include <QApplication>
#include <QDir>
#include <QLockFile>
#include <QStandardPaths>
#include <initializer_list>
#include <memory>
#include <stdexcept>

#include "KS_Globals.h"
#include "KS_Messages.h"
#include "KS_Registry.h"

namespace {

bool isOneOf(std::string_view letter, std::initializer_list<std::string_view> set)
{
    for (auto candidate : set)
        if (letter == candidate)
            return true;
    return false;
}

QString instanceLockPath()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return folder + QLatin1String("/Pagora.lock");
}

} // namespace

bool EncoderSerialIsReversed(std::string_view m) { return !isOneOf(m, {"X", "R", "Y", "U", "S"}); }
bool IsEncoderTypeAB(std::string_view m) { return isOneOf(m, {"A", "B"}); }
bool EncoderSupportsToneChannels(std::string_view m)
{
    return isOneOf(m, {"L", "P", "J", "M", "N", "O", "W", "R", "X", "Q", "Y"});
}
bool EncoderSupportsToneActions(std::string_view m) { return isOneOf(m, {"X", "Y", "R"}); }
bool EncoderSupportsDateTimeCommands(std::string_view m)
{
    return isOneOf(m, {"U", "J", "M", "N", "O", "W", "R", "X", "Q", "Y"});
}
bool EncoderUsesExtendedAlarmLayout(std::string_view m)
{
    return isOneOf(m, {"H", "I", "U", "G", "L", "A", "B", "X", "Y"});
}

std::string ToHexPadded(std::int32_t value, std::int16_t width)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    auto bits = static_cast<std::uint32_t>(value);
    std::string hex;
    do {
        hex.insert(hex.begin(), kDigits[bits & 0xF]);
        bits >>= 4;
    } while (bits != 0);
    if (static_cast<int>(hex.size()) > width)
        throw std::invalid_argument("ToHexPadded: value needs more digits than the width allows");
    hex.insert(hex.begin(), static_cast<std::size_t>(width) - hex.size(), '0');
    return hex;
}

std::string TextToHexChecksum(std::string_view text)
{
    std::int32_t sum = 0;
    for (char c : text)
        sum += static_cast<unsigned char>(c);
    return ToHexPadded(sum % 65536, 4);
}

std::string HelpFilePath()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath("Pagora.html").toStdString();
}

std::unique_ptr<MainWindowBase> StartProgram(const std::function<MainWindowBase*()>& createMainWindow,
                                             std::unique_ptr<QLockFile>& instanceLock)
{
    instanceLock = std::make_unique<QLockFile>(instanceLockPath());
    instanceLock->setStaleLockTime(0);
    if (!instanceLock->tryLock(0)) {
        instanceLock.reset();
        ShowMessage("Pagora is already active. Right click the Pagora icon on the taskbar to display the options menu.",
                    kButtonsOk, kAnswerOk, kIconCritical);
        return nullptr;
    }

    gAppName = "Pagora";
    gRegistryRoot = "Software\\Kestrane\\" + gAppName + "\\";
    LoadConfiguration();

    std::unique_ptr<MainWindowBase> mainWindow(createMainWindow());
    mainWindow->Form_Load();
    return mainWindow;
}

int Main(int argc, char** argv, const std::function<MainWindowBase*()>& createMainWindow)
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    std::unique_ptr<QLockFile> instanceLock;
    auto mainWindow = StartProgram(createMainWindow, instanceLock);
    if (!mainWindow)
        return 0;
    return app.exec();
}
