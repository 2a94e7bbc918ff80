#include "KS_SpeakerProtocol.h"

#include <QDate>
#include <QLocale>
#include <QTime>
#include <cctype>

#include "KS_DeviceLink.h"
#include "KS_DeviceRules.h"
#include "KS_Forms.h"
#include "KS_Globals.h"
#include "KS_Messages.h"
#include "KS_PageRequest.h"
#include "KS_Paging.h"
#include "KS_PagingCodes.h"
#include "KS_String.h"
#include "OptionList.h"

namespace {

bool allDigits(std::string_view text)
{
    if (text.empty())
        return false;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    return true;
}


std::string dataValue(const SpeakerListSetting& list)
{
    return list.data ? std::to_string(*list.data) : std::string();
}

// The unit's baud digit: 0 for 512 bps, 1 for anything faster.
std::string baudDigit(const SpeakerListSetting& list) { return BaudCodeText(list.text, false) == "5" ? "0" : "1"; }

} // namespace

// ---- Firmware version -----------------------------------------------------------

SpeakerVersion ParseSpeakerVersion(std::string_view rawReply)
{
    SpeakerVersion version;
    const std::string reply = ReplaceChar(rawReply, std::string_view("\0", 1), "");
    const std::size_t star = reply.find('*');
    if (star == std::string::npos)
        return version;
    const std::string before = reply.substr(0, star);
    if (before.size() == 4) {
        if (const auto number = VersionNumber(before)) {
            version.hundredths = *number;
            version.text = VersionText(*number);
            version.fourCharacter = true;
            return version;
        }
    }
    // From "Ver." with its dot on: a word such as "Version" before it is no version.
    const std::size_t ver = before.find("Ver.");
    if (ver == std::string::npos || before.find('(', ver) == std::string::npos)
        return version;
    version.text = VersionBetweenVerAndParen(before.substr(ver));
    version.hundredths = VersionNumber(version.text).value_or(0);
    return version;
}

SpeakerVersion AskSpeakerVersion()
{
    std::string raw;
    DeviceQuery("?V", {.expectedLength = 0, .ticks = 60, .tries = 3, .pokeOnTimeout = true}, &raw);
    SpeakerVersion version = ParseSpeakerVersion(raw);
    if (version.text != "N/A")
        CountDeviceItem();
    return version;
}

bool SpeakerUsesCurrentSet(const SpeakerVersion& version)
{
    return version.fourCharacter && version.hundredths >= 300;
}

// ---- Read conversions -------------------------------------------------------------

std::optional<std::string> SignalStrengthText(std::string_view value)
{
    const std::string text(value);
    if (!IsNumericText(text))
        return std::nullopt;
    return "-" + QString::number(Val(text)).toStdString();
}

std::optional<std::uint32_t> ParseSpeakerMask(std::string_view value)
{
    if (value.empty() || value.size() > 8)
        return std::nullopt;
    std::uint32_t mask = 0;
    for (char c : value) {
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return std::nullopt;
        const int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : std::toupper(c) - 'A' + 10;
        mask = mask * 16 + static_cast<std::uint32_t>(digit);
    }
    return mask;
}

std::string SpeakerBaudText(char code)
{
    switch (code) {
    case '0':
        return "512";
    case '1':
        return "1200";
    case '2':
        return "2400";
    default:
        return "";
    }
}

void SelectSpeakerListText(OptionList& list, std::string_view text)
{
    list.SetSelectedIndex(text.empty() ? -1 : FindItemText(list, text));
}

void SelectSpeakerListData(OptionList& list, std::string_view value)
{
    list.SetSelectedIndex(-1);
    const std::string text = Trim(value);
    if (!IsNumericText(text))
        return;
    const double number = Val(text);
    for (int i = 0; i < list.ItemCount(); ++i) {
        if (list.ItemData(i) == number) {
            list.SetSelectedIndex(i);
            return;
        }
    }
}

int SpeakerAlertLevelPosition(std::string_view levels, int slot)
{
    if (slot < 1 || static_cast<std::size_t>(slot) > levels.size())
        return 0;
    const char c = levels[static_cast<std::size_t>(slot - 1)];
    if (!std::isdigit(static_cast<unsigned char>(c)))
        return 0;
    const int level = c - '0';
    return level <= 4 ? level : -1;
}

std::string SpeakerDateTimeText(std::string_view dateReply, std::string_view timeReply, std::string_view timeValue)
{
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    std::string text = "N/A";

    // "MMDDYYw*": the weekday digit just before "*" is not needed.
    const std::size_t dateStar = dateReply.find('*');
    if (dateStar != std::string_view::npos && dateStar >= 7) {
        const std::string_view digits = dateReply.substr(dateStar - 7, 6);
        if (allDigits(digits)) {
            const int month = static_cast<int>(Val(digits.substr(0, 2)));
            const int day = static_cast<int>(Val(digits.substr(2, 2)));
            const int year = static_cast<int>(Val(digits.substr(4, 2)));
            // Two-digit years read as the console's own date window does: 00-29 this century.
            const QDate date(year < 30 ? 2000 + year : 1900 + year, month, day);
            if (date.isValid())
                text = english.toString(date, "dddd").toStdString() + ", " + date.toString("MM/dd/yy").toStdString();
        }
    }

    // Four digits before "*" carry hours and minutes, six add the seconds.
    const std::size_t timeStar = timeReply.find('*');
    if (timeStar == std::string_view::npos || timeStar < 4)
        return text;
    const bool seconds = timeStar > 4;
    if (timeValue.size() < (seconds ? 6u : 4u) || !allDigits(timeValue.substr(0, seconds ? 6 : 4)))
        return text;
    const QTime time(static_cast<int>(Val(timeValue.substr(0, 2))), static_cast<int>(Val(timeValue.substr(2, 2))),
                     seconds ? static_cast<int>(Val(timeValue.substr(4, 2))) : 0);
    if (!time.isValid())
        return text;
    return text + " " + english.toString(time, seconds ? "hh:mm:ss AP" : "hh:mm AP").toStdString();
}

// ---- Reading ---------------------------------------------------------------------

namespace {

// A query that is sent once more when its first round brings nothing.
std::string queryTwice(const std::string& command, const DeviceQueryOptions& options, std::string* raw = nullptr)
{
    std::string value = DeviceQuery(command, options, raw);
    if (value.empty())
        value = DeviceQuery(command, options, raw);
    return value;
}

// The operator's say on an empty capcode answer: go on, stop the capcode reads, or stop being asked.
struct RetryQuestion {
    bool allowed = true;
    bool cancelled = false;
    void Ask()
    {
        if (!allowed)
            return;
        if (AskRetryDownload() == kAnswerNo)
            cancelled = true;
        allowed = !gMessageOption;
    }
};

std::int16_t length(std::size_t n) { return static_cast<std::int16_t>(n); }

} // namespace

bool SpeakerConnected()
{
    if (gEncoderModelName == "PA Speaker")
        return true;
    ShowOptionNotUpdatedWarning("Speaker Programming");
    return false;
}

std::string ReadSpeakerDateTime()
{
    std::string text = "N/A";
    ShowBusyPointer();
    if (IsLinkResponding()) {
        std::string dateReply;
        std::string timeReply;
        queryTwice("?D", {7, 40, 3}, &dateReply);
        std::string time = DeviceQuery("?T", {6, 40, 3}, &timeReply);
        if (time.empty())
            time = DeviceQuery("?T", {4, 40, 3}, &timeReply);
        text = SpeakerDateTimeText(dateReply, timeReply, time);
    }
    ShowNormalPointer();
    return text;
}

SpeakerReading ReadSpeaker()
{
    SpeakerReading r;
    if (!IsLinkResponding(20)) {
        ShowOptionNotUpdatedWarning("programming");
        r.outcome = SpeakerReading::Outcome::NoAnswer;
        return r;
    }
    if (!SpeakerConnected()) {
        r.outcome = SpeakerReading::Outcome::NotSpeaker;
        return r;
    }
    r.version = AskSpeakerVersion();
    r.currentSet = SpeakerUsesCurrentSet(r.version);
    const int v = r.version.hundredths;
    r.dateTime = ReadSpeakerDateTime();
    ShowBusyPointer();

    r.serialNumber = DeviceQuery("?S", {length(r.currentSet ? 8 : 7), 60});
    if (r.currentSet) {
        r.rx1Frequency = FrequencyFromDigits(DeviceQuery("?FR1", {7, 60, 3, true}));
        r.supervisionCapcode = DeviceQuery("?C9", {7, 20, 1, true});
        r.rx1Signal = "N/A";
        if (v >= 303) {
            r.rx1SignalShown = true;
            r.rx1Signal = SignalStrengthText(DeviceQuery("?FS1", {3, 0, 1})).value_or("N/A");
        }
        const std::string baud = Trim(DeviceQuery("?FBR", {1, 60, 3}));
        if (baud.empty())
            r.rxBaud = "";
        else if (!SpeakerBaudText(baud[0]).empty())
            r.rxBaud = SpeakerBaudText(baud[0]);
    } else {
        // A legacy unit whose "Ver." text is 3.00 or more has the receiver frequency under its old name.
        r.rx1Hidden = v < 300;
        if (!r.rx1Hidden) {
            r.rx1Frequency = FrequencyFromDigits(DeviceQuery("?F", {7, 40, 3, true}));
            r.rx1SignalShown = r.rx1Frequency.has_value();
        }
        // Old units answer the supervision slot slowly, or not at all when they have none.
        r.supervisionCapcode = DeviceQuery("?C9", {7, 20, 1, true});
        if (r.supervisionCapcode.empty())
            r.supervisionCapcode = DeviceQuery("?C9", {7, 40, 1, true});
        const std::string baud = Trim(DeviceQuery("?B", {1, 60, 3}));
        r.rxBaud = baud.empty() ? "" : baud == "0" ? "512" : "1200";
    }
    r.squelch = DeviceQuery("?Q", {1, 60, 3});
    r.securityOn = DeviceQuery("?SM", {1, 60, 3}) == "1";
    r.securityKey = DeviceQuery("?SS", {3, 60, 3});
    r.operationMode = DeviceQuery("?M", {1, 60, 3});

    // Without a supervision capcode an old unit has six slotCount.
    const int slotCount = r.currentSet || !r.supervisionCapcode.empty() ? 8 : 6;
    RetryQuestion question;
    const DeviceQueryOptions levelQuery{length(slotCount), 0, 3, true};
    const std::string levels = r.currentSet ? DeviceQuery("?OV", levelQuery) : queryTwice("?OV", levelQuery);
    if (levels.empty())
        question.Ask();
    for (int slot = 1; slot <= slotCount && !question.cancelled; ++slot) {
        const auto row = static_cast<std::size_t>(slot - 1);
        r.capcodes[row] = queryTwice("?C" + std::to_string(slot), {7, 60, 3, true});
        if (r.capcodes[row].empty())
            question.Ask();
        else
            r.alertLevels[row] = SpeakerAlertLevelPosition(levels, slot);
    }

    if (!r.currentSet || v < 310)
        return r;
    r.radio = true;
    const DeviceQueryOptions one{1, 0, 3};
    const DeviceQueryOptions oneTable{1, 0, 3, false, true};
    r.rxDeviation = DeviceQuery("?FX", oneTable);
    // The level comes first; the noise the unit measures now follows it.
    r.ambientNoise = DeviceQuery("?AN", {5, 0, 3, false, true}).substr(0, 1);
    r.configuration = ParseSpeakerMask(DeviceQuery("?CM", {4, 0, 3})).value_or(0);
    r.options = ParseSpeakerMask(DeviceQuery("?O", {length(v >= 314 ? 4 : 2), 0, 3})).value_or(0);
    r.power = DeviceQuery("?FP", one);
    r.txDeviation = DeviceQuery("?FD", oneTable);
    r.ifBandwidth = DeviceQuery("?FI", oneTable);
    r.tx1Frequency = FrequencyFromDigits(DeviceQuery("?FT1", {7, 0, 3}));
    r.rx2Frequency = FrequencyFromDigits(DeviceQuery("?FR2", {7, 0, 3}));
    r.tx2Frequency = FrequencyFromDigits(DeviceQuery("?FT2", {7, 0, 3}));
    const std::string txBaud = DeviceQuery("?FBT", oneTable);
    r.txBaud = IsNumericText(txBaud) ? SpeakerBaudText(txBaud.back()) : "";
    r.rx2Signal = SignalStrengthText(DeviceQuery("?FS2", {3, 0, 1}));
    return r;
}

// ---- Programming -----------------------------------------------------------------

std::string SpeakerTimeValue(const QDateTime& now, bool withSeconds)
{
    return now.time().toString(withSeconds ? "HHmmss" : "HHmm").toStdString();
}

std::string SpeakerDateValue(const QDateTime& now)
{
    const QDate date = now.date();
    return date.toString("MMddyy").toStdString() + std::to_string(date.dayOfWeek() % 7 + 1);
}

std::string SpeakerMaskValue(const std::vector<bool>& boxes, int digits)
{
    std::uint32_t mask = 0;
    for (std::size_t i = 0; i < boxes.size(); ++i)
        if (boxes[i])
            mask |= 1u << i;
    return QString::number(mask, 16).toUpper().rightJustified(digits, '0').toStdString();
}

bool AskSpeakerSupervision(bool currentSet)
{
    const DeviceQueryOptions supervision{7, 40, 1};
    return !(currentSet ? DeviceQuery("?C9", supervision) : queryTwice("?C9", supervision)).empty();
}

std::vector<SpeakerProgramItem> BuildSpeakerProgram(const SpeakerSettings& s, const SpeakerVersion& version,
                                                    bool supervisionAnswered)
{
    const bool current = SpeakerUsesCurrentSet(version);
    std::vector<SpeakerProgramItem> items;
    auto write = [&](std::string stepText, std::string command, std::string value) -> SpeakerProgramItem& {
        SpeakerProgramItem item;
        item.stepText = std::move(stepText);
        item.command = std::move(command);
        item.value = std::move(value);
        items.push_back(std::move(item));
        return items.back();
    };

    if (s.serialUnlocked)
        write("Programming Serial Number... ", "PS", s.serialNumber).kind = SpeakerStep::Serial;
    if (s.rx1FrequencyOpen)
        write("Programming Primary Tranceiver Rx Frequency...", current ? "PFR1" : "PF",
              FrequencyDigits(s.rx1Frequency));
    SpeakerProgramItem& query = write("", "?C", "9");
    query.kind = SpeakerStep::SupervisionQuery;
    query.preTicks = 0;

    const bool supervision = current || supervisionAnswered;
    if (supervision && s.supervisionUnlocked)
        write("Programming Supervision Capcode... ", "PC", "9" + s.supervisionCapcode);
    if (s.programDateTime)
        write("Programming Date & Time... ", "PT", "").kind = SpeakerStep::DateTime;
    if (s.rxBaudRate.program)
        write("Programming Rx Baud Rate... ", current ? "PFBR" : "PB", baudDigit(s.rxBaudRate));
    if (current && s.rxDeviation.program)
        write("Programming Rx Deviation...", "PFX", dataValue(s.rxDeviation)).failureText
            = " - Failed / Not Supported.";
    if (s.squelchLevel.program)
        write("Programming Squelch Level... ", "PQ", dataValue(s.squelchLevel));
    if (s.securityMode.program)
        write("Programming Security Mode... ", "PSM", dataValue(s.securityMode));
    // The key has no check box of its own: it goes on every run, mode ticked or not.
    write("Programming Security Key... ", "PSS", s.securityKey);
    if (s.operationMode.program)
        write("Programming Special Mode... ", "PM", dataValue(s.operationMode));
    if (current && s.ambientNoiseLevel.program)
        write("Programming Ambient Noise Level... ", "PAN", dataValue(s.ambientNoiseLevel));

    const int slotCount = supervision ? 8 : 6;
    bool firstSlot = true;
    for (int row = 0; row < slotCount; ++row) {
        const SpeakerCapcodeRow& capcode = s.capcodes[static_cast<std::size_t>(row)];
        if (!capcode.program)
            continue;
        const std::string slot = std::to_string(row + 1);
        SpeakerProgramItem& code = write("Programming Capcode " + slot + "...", "PC", slot + capcode.capcode);
        code.kind = SpeakerStep::Capcode;
        code.row = row;
        code.preTicks = firstSlot ? 1 : 0;
        code.postTicks = 1;
        SpeakerProgramItem& level
            = write("Programming Alert Level " + slot + "...", "PV", slot + std::to_string(capcode.alertLevel));
        level.preTicks = 0;
        level.postTicks = 1;
        firstSlot = false;
    }

    if (!current || version.hundredths < 310)
        return items;
    if (s.programConfiguration)
        write("Programming Device Configuration...", "PCM", SpeakerMaskValue(s.configuration, 4));
    if (s.programOptions)
        write("Programming Device Options...", "PO", SpeakerMaskValue(s.options, version.hundredths >= 314 ? 4 : 2));
    if (s.programCommon) {
        write("Programming Tranceiver Power Level...", "PFP", dataValue(s.power));
        write("Programming Tx Deviation...", "PFD", dataValue(s.txDeviation));
        write("Programming Tranceiver IF Bandwidth...", "PFI", dataValue(s.ifBandwidth));
        write("Programming Tx Baud Rate... ", "PFBT", baudDigit(s.txBaudRate));
    }
    if (s.programPrimary)
        write("Programming Primary Tranceiver Tx Frequency...", "PFT1", FrequencyDigits(s.tx1Frequency));
    if (s.programSecondary) {
        write("Programming Secondary Tranceiver Rx Frequency...", "PFR2", FrequencyDigits(s.rx2Frequency));
        write("Programming Secondary Tranceiver Tx Frequency...", "PFT2", FrequencyDigits(s.tx2Frequency));
    }
    return items;
}

int SpeakerProgressSteps(const std::vector<SpeakerProgramItem>& items)
{
    int steps = 0;
    for (const SpeakerProgramItem& item : items)
        if (item.kind != SpeakerStep::SupervisionQuery)
            ++steps;
    return steps;
}
