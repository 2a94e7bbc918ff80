#include "KS_General.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>
#include <QUrl>
#include <initializer_list>
#include <memory>
#include <stdexcept>

#include "KS_Events.h"
#include "KS_Globals.h"
#include "KS_Messages.h"
#include "KS_Registry.h"
#include "KS_String.h"

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

std::function<bool(const QString&)> documentViewerForTest;

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

std::string TextToHexChecksum(std::string_view text, bool asCharacters)
{
    std::uint32_t sum = 0;
    for (char c : text)
        sum = (sum + static_cast<unsigned char>(c)) % 65536;
    if (asCharacters)
        return {static_cast<char>(sum & 0xFF), static_cast<char>(sum >> 8)};
    return ToHexPadded(static_cast<std::int32_t>(sum), 4);
}

std::string HelpFilePath()
{
    return PathFromQString(QDir(QCoreApplication::applicationDirPath()).filePath("Pagora.html"));
}

void SetDocumentViewerForTest(std::function<bool(const QString& path)> viewer)
{
    documentViewerForTest = std::move(viewer);
}

void ShowHelpTopics()
{
    const QString help = PathToQString(gHelpFile);
    if (gHelpFile.empty() || !QFileInfo(help).isFile()) {
        ShowMessage("The help file " + PathInText(gHelpFile) + " was not found.", kButtonsOk, kAnswerOk,
                    kIconExclamation);
        return;
    }
    const bool shown =
        documentViewerForTest ? documentViewerForTest(help) : QDesktopServices::openUrl(QUrl::fromLocalFile(help));
    // The file is fine; what is missing is a program on this desktop to read it with.
    if (!shown)
        ShowMessage("The help file " + PathInText(gHelpFile)
                        + " is there, but this desktop has no program set to show it (a web browser shows it).",
                    kButtonsOk, kAnswerOk, kIconExclamation);
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
    gHelpFile = HelpFilePath();
    mainWindow->Form_Load();
    return mainWindow;
}

int Main(int argc, char** argv, const std::function<MainWindowBase*()>& createMainWindow)
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    std::unique_ptr<QLockFile> instanceLock;
    auto mainWindow = StartProgram(createMainWindow, instanceLock);
    // Exit chosen while the window was still loading has already done its work.
    if (!mainWindow || ExitRequested())
        return 0;
    return app.exec();
}

// ---- Display-attribute lists and the sign-board attribute code -------------

#include "KS_String.h"
#include "OptionList.h"

namespace {

constexpr OptionItem kSBTimeSliceItems[] = {
    {"5 Seconds", 1},  {"6 Seconds", 2},  {"7 Seconds", 3},  {"8 Seconds", 4},  {"9 Seconds", 5},
    {"10 Seconds", 6}, {"15 Seconds", 7}, {"20 Seconds", 8}, {"25 Seconds", 9},
};

constexpr OptionItem kSBTimeoutMinutesItems[] = {
    {"Infinite", 0},   {"2 Minutes", 1},  {"5 Minutes", 2},  {"8 Minutes", 3},  {"10 Minutes", 4},
    {"15 Minutes", 5}, {"20 Minutes", 6}, {"30 Minutes", 7}, {"45 Minutes", 8}, {"60 Minutes", 9},
};

// Past 9 the codes continue at 65 so that each still fits one character ("A" onwards).
constexpr OptionItem kSBColorItems[] = {
    {"High Red", 0},
    {"High Green", 1},
    {"High Green / High Red", 2},
    {"Low Red", 3},
    {"Low Green", 4},
    {"Low Red / High Green", 5},
    {"High Red / Low Green", 6},
    {"Rainbow", 7},
    {"Low Red / Low Green", 8},
    {"Mixed1", 9},
    {"Mixed2", 65},
    {"Mixed3", 66},
    {"Black", 67},
    {"High Blue", 68},
    {"Low Blue", 69},
    {"High Red / High Blue", 70},
    {"High Red / Low Blue", 71},
    {"Low Red / High Blue", 72},
    {"Low Red / Low Blue", 73},
    {"High Green / High Blue", 74},
    {"High Green / Low Blue", 75},
    {"Low Green / High Blue", 76},
    {"Low Green / Low Blue", 77},
    {"High Red / High Green / High Blue", 78},
    {"High Red / High Green / Low Blue", 79},
    {"High Red / Low Green / High Blue", 80},
    {"High Red / Low Green / Low Blue", 81},
    {"Low Red / High Green / High Blue", 82},
    {"Low Red / High Green / Low Blue", 83},
    {"Low Red / Low Green / High Blue", 84},
    {"Low Red / Low Green / Low Blue", 85},
    {"Mixed RGB Colors 1", 86},
    {"Mixed RGB Colors 2", 87},
    {"Mixed RGB Colors 3", 88},
};

// "Hold" comes before "Rotate" although its code is higher: a fresh list starts on a still display.
constexpr OptionItem kSBEffectItems[] = {
    {"Hold", 1},        {"Rotate", 0},      {"Roll Down", 2},   {"Snow", 3},       {"Roll Right", 4},
    {"Roll Left", 5},   {"Roll Up", 6},     {"Flash", 7},       {"Wipe Out", 8},   {"Inter Lock", 9},
    {"Roll In", 65},    {"Roll Out", 66},   {"Slide", 67},      {"Sparkle", 68},   {"Spray", 69},
    {"Star Burst", 70}, {"Switch", 71},     {"Twinkle", 72},    {"Wipe Down", 73}, {"Wipe Up", 74},
    {"Wipe In", 75},    {"Wipe Left", 76},  {"Wipe Right", 77}, {"Color Cycle", 78},
};

constexpr OptionItem kSBFontItems[] = {
    {"7 Dots Height", 0},  {"7 Dots Height, Bold", 6},  {"5 Dots Height", 1},
    {"5 Dots Height, Bold", 5}, {"5 Dots Height, Bold, Wide", 9}, {"10 Dots Height", 2},
    {"10 Dots Height, Bold", 7}, {"15 Dots Height", 3}, {"15 Dots Height, Bold", 8},
    {"24 Dots Height", 4},
};

constexpr OptionItem kSBAlignmentItems[] = {{"Left", 0}, {"Center", 1}, {"Right", 2}};

void refillDisplayList(OptionList& list, std::span<const OptionItem> items, std::int16_t selectIndex, bool withAll)
{
    list.Clear();
    AppendAllItem(list, withAll);
    AppendItems(list, items);
    ApplySelection(list, selectIndex);
}

// Codes up to 9 travel as their digit, higher ones as the character of that code.
std::string attributeCharacter(std::int16_t code)
{
    return code <= 9 ? std::to_string(code) : std::string(1, static_cast<char>(code));
}

} // namespace

void FillNumberCombo(OptionList& list, std::int16_t selectIndex)
{
    // The board numbers its slots from 0; operators count from 1.
    for (int n = 1; n <= 99; ++n)
        AddItemWithData(list, ZeroPad(n, 2), n - 1);
    ApplySelection(list, selectIndex);
}

void FillSBTimeSliceCombo(OptionList& list, std::int16_t selectIndex, bool withAll)
{
    refillDisplayList(list, kSBTimeSliceItems, selectIndex, withAll);
}

void FillSBTimeoutMinutesCombo(OptionList& list, std::int16_t selectIndex, bool withAll)
{
    refillDisplayList(list, kSBTimeoutMinutesItems, selectIndex, withAll);
}

void FillSBColorCombo(OptionList& list, std::int16_t selectIndex, bool withAll)
{
    refillDisplayList(list, kSBColorItems, selectIndex, withAll);
}

void FillSBEffectCombo(OptionList& list, std::int16_t selectIndex, bool withAll)
{
    refillDisplayList(list, kSBEffectItems, selectIndex, withAll);
}

void FillSBFontCombo(OptionList& list, std::int16_t selectIndex, bool withAll)
{
    refillDisplayList(list, kSBFontItems, selectIndex, withAll);
}

void FillSBAlignmentCombo(OptionList& list, std::int16_t selectIndex, bool withAll)
{
    refillDisplayList(list, kSBAlignmentItems, selectIndex, withAll);
}

void FillDisplayAttributeCombos(OptionList& slot, OptionList& timeSlice, OptionList& timeout, OptionList& color,
                                OptionList& effect, OptionList& font, OptionList& alignment)
{
    FillNumberCombo(slot, 0);
    FillSBTimeSliceCombo(timeSlice, 0);
    FillSBTimeoutMinutesCombo(timeout, 0);
    FillSBColorCombo(color, 0);
    FillSBEffectCombo(effect, 0);
    FillSBFontCombo(font, 0);
    FillSBAlignmentCombo(alignment, 0);
}

std::string BuildSBAttributeCode(std::int16_t slot, std::int16_t timeSlice, std::int16_t timeout, std::int16_t color,
                                 std::int16_t effect, std::int16_t font, std::int16_t alignment, bool clear)
{
    if (clear)
        return "*";
    std::string code = ZeroPad(slot, 2);
    code += std::to_string(timeSlice);
    code += attributeCharacter(effect);
    code += attributeCharacter(color);
    code += std::to_string(timeout);
    // The board has no separate alignment field: it reads the alignment from
    // which of three ranges the font character falls in.
    switch (alignment) {
    case 0: code += std::to_string(font); break;
    case 1: code += static_cast<char>(65 + font); break;
    case 2: code += static_cast<char>(75 + font); break;
    default: break;
    }
    return code;
}
