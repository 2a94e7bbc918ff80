#include "KS_PagingLists.h"

#include <clocale>
#include <cmath>
#include <cstdio>
#include <span>

#include "KS_Globals.h"
#include "KS_PagingCodes.h"
#include "KS_String.h"

namespace {

// ---- Vocabularies ----------------------------------------------------------

constexpr std::string_view kPagerBaudTexts[] = {"512", "1200", "2400"};
constexpr std::string_view kPagerFormatTexts[] = {"POCSAG", "GOLAY", "2 Tone", "5-6 Tone"};
constexpr std::string_view kPagerModeTexts[] = {"0", "1", "2", "3"};
constexpr std::string_view kPagerTypeTexts[] = {
    "Tone-Only", "Numeric", "AlphaNumeric", "Voice", "Wireless Speaker",
    "Phone", "Widearea", "Portable Radio", "LED Display", "Intercom Station",
};

constexpr std::string_view kAlarmInputTypeTexts[] = {
    "Dry Contact, Normally Open (N.O.)", "Dry Contact, Normally Closed (N.C.)",
    "Voltage, High-Low", "Voltage, Low-High",
    "Pulsing, High-Low", "Pulsing, Low-High",
    "Double Mode, Low", "Double Mode, High",
};
constexpr std::string_view kAlarmRepeatCountTexts[] = {"No Repeat", "Up to 4 Times", "Up to 10 Times",
                                                       "Until Canceled"};
constexpr std::string_view kAlarmRepeatTimeModuleTexts[] = {"1 Min.", "2 Min.", "10 Min.", "30 Min."};
constexpr std::string_view kAlarmInputDelayModuleTexts[] = {"No Delay", "10 Seconds", "30 Seconds",
                                                            "120 Seconds"};
constexpr std::string_view kAlarmPulseTexts[] = {"1 Per Second", "2 Per Second"};

constexpr OptionItem kWeekDayItems[] = {
    {"Monday", 1}, {"Tuesday", 2}, {"Wednesday", 3}, {"Thursday", 4},
    {"Friday", 5}, {"Saturday", 6}, {"Sunday", 7},
};

constexpr OptionItem kScheduledAlertTypeItems[] = {
    {"1 - Alert 1", 1}, {"2 - Alert 2", 2}, {"3 - Alert 3", 3}, {"4 - Alert 4", 4},
    {"5 - Alert 5", 5}, {"6 - Alert 6", 6}, {"7 - Alert 7", 7}, {"8 - Alert 8", 8},
    {"9 - Alert 9", 9}, {"10 - Free Message", 10},
};

constexpr OptionItem kAlertRepeatItems[] = {
    {"None", 0}, {"1", 1}, {"2", 2}, {"3", 3}, {"4", 4}, {"5", 5}, {"6", 6}, {"7", 7}, {"8", 8}, {"9", 9},
};

constexpr OptionItem kAlertDelayItems[] = {
    {"1 Second", 1},  {"2 Seconds", 2}, {"3 Seconds", 3}, {"4 Seconds", 4},  {"5 Seconds", 5},
    {"6 Seconds", 6}, {"7 Seconds", 7}, {"8 Seconds", 8}, {"20 Seconds", 9},
};

constexpr OptionItem kOffOnItems[] = {{"Off", 0}, {"On", 1}};
// The over-the-air rates carry the pager baud codes, not their positions.
constexpr OptionItem kDeviceBaudItems[] = {{"512", 5}, {"1200", 1}};
constexpr std::string_view kPendantPagerTypeTexts[] = {"AlphaNumeric", "Numeric"};
constexpr OptionItem kPowerLevelItems[] = {
    {"1 - Low", 1}, {"2", 2}, {"3", 3}, {"4", 4}, {"5 - Med", 5}, {"6", 6}, {"7", 7}, {"8", 8}, {"9 - High", 9},
};
constexpr OptionItem kIFBandwidthItems[] = {{"12.50 kHz", 0}, {"18.75 kHz", 1}, {"25.00 kHz", 2}};

constexpr OptionItem kTimeSourceItems[] = {{"WWVB", 0}, {"PC Clock", 1}, {"Other", 2}};
constexpr OptionItem kTransmissionModeItems[] = {
    {"Always (After 1 Valid Syncronization)", 0},
    {"Night Mode (After 1 Valid Syncronization)", 1},
    {"Always", 4},
};
constexpr OptionItem kTimeSlotItems[] = {
    {"15 Seconds after Top of the Minute", 0},
    {"30 Seconds after Top of the Minute", 1},
    {"45 Seconds after Top of the Minute", 2},
    {"Top of the Minute", 3},
};

constexpr OptionItem kPaddlePagerTypeItems[] = {
    {"Tone Only, 512 bps", 0}, {"Tone Only, 1200 bps", 1},
    {"Vibrate Only, 512 bps", 2}, {"Vibrate Only, 1200 bps", 3},
};
constexpr OptionItem kAmbientNoiseLevelItems[] = {
    {"0 - Off", 0}, {"1 - Low", 1}, {"2", 2}, {"3", 3}, {"4", 4},
    {"5 - Med", 5}, {"6", 6},       {"7", 7}, {"8", 8}, {"9 - High", 9},
};
constexpr OptionItem kClockCompatibilityItems[] = {{"RLxxxx", 1}, {"RL-CLK-xxxx", 2}};
constexpr OptionItem kClockModeItems[] = {
    {"Analog - Battery", 1}, {"Analog - Power", 2}, {"Digital - LED", 3}, {"Digital - LCD", 4},
};

constexpr OptionItem kFontSizeItems[] = {{"Small", 2}, {"Medium", 0}, {"Large", 1}};
constexpr OptionItem kActivationPlanItems[] = {
    {"0 - Always Active", 0},          {"1 - Daily, 6PM-8AM", 1},  {"2 - Weekdays Only, 6PM-8AM", 2},
    {"3 - Daily, 8PM-6AM", 3},         {"4 - Daily, 10PM-6AM", 4}, {"5 - Daily, 10PM-5AM", 5},
    {"6 - Daily, 6AM-10PM", 6},        {"7 - Weekdays Only, 6AM-10PM", 7},
    {"8 - Daily, 8AM-6PM", 8},         {"9 - Weekdays Only, 8AM-6PM", 9},
};
constexpr OptionItem kCallTypeItems[] = {
    {"None", 0},     {"Cancel", 2},   {"Tamper", 3},   {"Button 1", 4},
    {"Button 2", 5}, {"Button 3", 6}, {"Button 4", 7},
};
// Code 1 has no item of its own, yet a record holding it still shows as the first button.
constexpr OptionItem kCallTypeShownItems[] = {
    {"None", 0},     {"Button 1", 1}, {"Cancel", 2},   {"Tamper", 3},
    {"Button 1", 4}, {"Button 2", 5}, {"Button 3", 6}, {"Button 4", 7},
};
constexpr OptionItem kToneActionItems[] = {
    {"Activate", 1}, {"Activate Until Deactivated", 2}, {"Deactivate", 3},
};

// ---- Filling ---------------------------------------------------------------

void fill(OptionList& list, std::span<const OptionItem> items, std::int16_t selectIndex, bool withAll = false)
{
    AppendAllItem(list, withAll);
    AppendItems(list, items);
    ApplySelection(list, selectIndex);
}

void fillTexts(OptionList& list, std::span<const std::string_view> texts, std::int16_t selectIndex,
               bool withAll = false)
{
    AppendAllItem(list, withAll);
    AppendTexts(list, texts);
    ApplySelection(list, selectIndex);
}

// Items first..last whose text is the number itself and whose datum is the number.
void fillNumbers(OptionList& list, int first, int last, std::int16_t selectIndex)
{
    for (int n = first; n <= last; ++n)
        AddItemWithData(list, std::to_string(n), n);
    ApplySelection(list, selectIndex);
}

// "None", then "1" + unit to count + unit, each with its number.
void fillCounted(OptionList& list, std::string_view unit, std::int16_t count, std::int16_t selectIndex)
{
    AddItemWithData(list, "None", 0);
    for (int n = 1; n <= count; ++n)
        AddItemWithData(list, std::to_string(n) + std::string(unit), n);
    ApplySelection(list, selectIndex);
}

std::string alertItemText(long long n) { return ZeroPad(n, 2) + " - Alert " + ZeroPad(n, 2); }

// A computed number in a list item: a whole number without a decimal point
// ("64"), others to the 15 significant digits a double always carries
// ("41.6666666666667"), never with trailing zeros.
std::string plainNumber(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.15g", value);
    return text;
}

std::string memorySlotText(double memoryKB, long long slotCount)
{
    return ZeroPad(slotCount, 2) + " (" + plainNumber(memoryKB / static_cast<double>(slotCount) / 8.0) +
           " Seconds Each / 8kbps)";
}

const std::string kNotSupportedText = "00 (Not Supported)";

// The decimal separator of the operator's settings, as the deviation list shows it.
std::string decimalSeparator()
{
    const char* point = std::localeconv()->decimal_point;
    // A separator that is not one plain byte cannot be shown through the single-byte text.
    if (point && point[0] != '\0' && point[1] == '\0' && static_cast<unsigned char>(point[0]) < 0x80)
        return point;
    return ".";
}

// ---- Converting ------------------------------------------------------------

// The value as a whole number when all of it is one (blanks around allowed).
bool wholeNumber(std::string_view text, double& number)
{
    const std::string trimmed = Trim(text);
    std::size_t i = 0;
    if (i < trimmed.size() && (trimmed[i] == '-' || trimmed[i] == '+'))
        ++i;
    bool digits = false;
    bool point = false;
    for (; i < trimmed.size(); ++i) {
        if (trimmed[i] >= '0' && trimmed[i] <= '9')
            digits = true;
        else if (trimmed[i] == '.' && !point)
            point = true;
        else
            return false;
    }
    if (!digits)
        return false;
    number = Val(trimmed);
    return true;
}

// Code to text by numeric comparison; a value that is no number gives the default text.
std::string textForNumber(std::span<const OptionItem> items, std::string_view value, std::string_view defaultText)
{
    double number = 0;
    if (wholeNumber(value, number))
        for (const auto& item : items)
            if (number == item.datum)
                return std::string(item.text);
    return std::string(defaultText);
}

std::string codeForText(std::span<const OptionItem> items, std::string_view text, std::string_view defaultCode)
{
    for (const auto& item : items)
        if (item.text == text)
            return std::to_string(item.datum);
    return std::string(defaultCode);
}

std::string convertNumeric(std::span<const OptionItem> items, std::string_view value, bool toText,
                           std::string_view defaultText, std::string_view defaultCode)
{
    return toText ? textForNumber(items, value, defaultText) : codeForText(items, value, defaultCode);
}

long long valueOf(std::string_view text) { return static_cast<long long>(Val(text)); }

} // namespace

// ---- User directory, serial ports, repeat and delay times ------------------

void FillCOMPortCombo(OptionList& list, std::int16_t selectIndex)
{
    for (int port = 1; port <= 16; ++port)
        AddItemWithData(list, "COM " + std::to_string(port), port);
    ApplySelection(list, selectIndex);
}

void FillPagerBaudCombo(OptionList& list, std::int16_t selectIndex) { fillTexts(list, kPagerBaudTexts, selectIndex); }

void FillPagerFormatCombo(OptionList& list, std::int16_t selectIndex)
{
    fillTexts(list, kPagerFormatTexts, selectIndex);
}

void FillPagerModeCombo(OptionList& list, std::int16_t selectIndex) { fillTexts(list, kPagerModeTexts, selectIndex); }

void FillPagerTypeCombo(OptionList& list, std::int16_t selectIndex)
{
    // The QX7XXX drives no wide-area pagers or portable radios.
    const bool qx7 = UserCodesUnit().family == "QX7XXX";
    for (auto text : kPagerTypeTexts)
        if (!qx7 || (text != "Widearea" && text != "Portable Radio"))
            list.AddItem(text);
    ApplySelection(list, selectIndex);
}

void FillPagerGroupCombo(OptionList& list, std::int16_t selectIndex)
{
    const UserCodeUnit unit = UserCodesUnit();
    if (IsDigitCodeEncoder(unit.letter) || unit.family == "QX7XXX") {
        // The blank item lets a user belong to no group.
        list.AddItem(" ");
        for (int group = 1; group <= 99; ++group)
            list.AddItem(ZeroPad(group, 2));
    } else {
        for (char code = '0'; code <= '9'; ++code)
            list.AddItem(std::string(1, code));
        for (char code = 'A'; code <= 'V'; ++code)
            list.AddItem(std::string(1, code));
    }
    ApplySelection(list, selectIndex);
}

void FillRepeatMinutesCombo(OptionList& list, std::int16_t count, std::int16_t selectIndex)
{
    fillCounted(list, " Min.", count, selectIndex);
}

void FillDelaySecondsCombo(OptionList& list, std::int16_t count, std::int16_t selectIndex)
{
    fillCounted(list, " Sec.", count, selectIndex);
}

// ---- Alarm inputs and scheduled pages ---------------------------------------

void FillAlarmInputTypeCombo(OptionList& list, std::int16_t selectIndex)
{
    fillTexts(list, kAlarmInputTypeTexts, selectIndex);
}

void FillAlarmRepeatCountCombo(OptionList& list, std::int16_t selectIndex)
{
    fillTexts(list, kAlarmRepeatCountTexts, selectIndex);
}

void FillAlarmRepeatTimeModuleCombo(OptionList& list, std::int16_t selectIndex)
{
    fillTexts(list, kAlarmRepeatTimeModuleTexts, selectIndex);
}

int AlarmListCode(AlarmCodeList list, std::string_view stored)
{
    const std::size_t entries = list == AlarmCodeList::InputType ? std::size(kAlarmInputTypeTexts)
        : list == AlarmCodeList::Pulse                            ? std::size(kAlarmPulseTexts)
                                                                  : std::size(kAlarmRepeatTimeModuleTexts);
    const double value = std::round(Val(stored));
    return value >= 1 && value <= static_cast<double>(entries) ? static_cast<int>(value) : 1;
}

void FillAlarmInputDelayModuleCombo(OptionList& list, std::int16_t selectIndex)
{
    fillTexts(list, kAlarmInputDelayModuleTexts, selectIndex);
}

void FillAlarmPulseCombo(OptionList& list, std::int16_t selectIndex) { fillTexts(list, kAlarmPulseTexts, selectIndex); }

void FillWeekDayCombo(OptionList& list, std::int16_t selectIndex) { fill(list, kWeekDayItems, selectIndex); }

void FillScheduledAlertTypeCombo(OptionList& list, std::int16_t selectIndex)
{
    fill(list, kScheduledAlertTypeItems, selectIndex);
}

// ---- Alerts and tone events ---------------------------------------------------

void FillAlertNumberCombo(OptionList& list, std::int16_t selectIndex, std::int16_t first, std::int16_t last)
{
    for (int n = first; n <= last; ++n) {
        if (n == 9)
            AddItemWithData(list, "9 - Start Countdown", 9);
        else
            // Numbers above 9 travel as the character of code n + 48, so the datum is that code.
            AddItemWithData(list, alertItemText(n), n <= 9 ? n : n + 48);
    }
    ApplySelection(list, selectIndex);
}

void FillAlertTypeCombo(OptionList& list, std::int16_t selectIndex, std::int16_t first, std::int16_t last,
                        bool includeSpecial)
{
    for (int n = first; n <= last; ++n) {
        // 9 and 10 mean countdown and activation in the weekly schedule; 91 to 97 are never offered.
        if (n == 9 || n == 10 || (n >= 91 && n <= 97))
            continue;
        if (n == 98 || n == 99) {
            if (includeSpecial)
                AddItemWithData(list, n == 98 ? "98 - Start Countdown" : "99 - Device Activation", n);
            continue;
        }
        AddItemWithData(list, n < 10 ? alertItemText(n) : alertItemText(n) + " (Custom)", n);
    }
    ApplySelection(list, selectIndex);
}

void FillAlertLengthCombo(OptionList& list, std::int16_t selectIndex) { fillNumbers(list, 0, 9, selectIndex); }

void FillAlertLevelCombo(OptionList& list, std::int16_t selectIndex, bool includeDefault)
{
    if (includeDefault)
        AddItemWithData(list, "0 - Default", 0);
    fillNumbers(list, 1, 4, selectIndex);
}

void FillAlertRepeatCombo(OptionList& list, std::int16_t selectIndex) { fill(list, kAlertRepeatItems, selectIndex); }

void FillAlertDelayCombo(OptionList& list, std::int16_t selectIndex) { fill(list, kAlertDelayItems, selectIndex); }

std::string AlertNumberCode(std::string_view value, bool emptyForNone)
{
    const long long number = valueOf(value);
    // 999 stands for an event without an alert, shown as an empty cell.
    if (emptyForNone && number == 999)
        return {};
    if (!emptyForNone && number == 9)
        return "9";
    return ZeroPad(number > 9 ? number - 48 : number, 2);
}

std::string AlertTypeText(std::string_view value, bool toText)
{
    const long long number = valueOf(value);
    if (!toText)
        return number == 98 || number == 99 ? std::to_string(number) : ZeroPad(number, 2);
    if (number == 98)
        return "98 - Start Countdown";
    if (number == 99)
        return "99 - Device Activation";
    return number <= 10 ? alertItemText(number) : alertItemText(number) + " (Custom)";
}

std::string AlertRepeatText(std::string_view value, bool toText)
{
    return convertNumeric(kAlertRepeatItems, value, toText, "1", "1");
}

std::string AlertDelayText(std::string_view value, bool toText)
{
    return convertNumeric(kAlertDelayItems, value, toText, "1 Second", "1");
}

// ---- Device radio settings ------------------------------------------------------

void FillSquelchLevelCombo(OptionList& list, std::int16_t selectIndex) { fillNumbers(list, 0, 9, selectIndex); }

void FillOffOnCombo(OptionList& list, std::int16_t selectIndex) { fill(list, kOffOnItems, selectIndex); }

void FillModeDigitCombo(OptionList& list, std::int16_t selectIndex) { fillNumbers(list, 0, 9, selectIndex); }

void FillDeviceBaudCombo(OptionList& list, std::int16_t selectIndex) { fill(list, kDeviceBaudItems, selectIndex); }

void FillPendantPagerTypeCombo(OptionList& list, std::int16_t selectIndex, bool withAll)
{
    fillTexts(list, kPendantPagerTypeTexts, selectIndex, withAll);
}

void FillPowerLevelCombo(OptionList& list, std::int16_t selectIndex, bool withAll)
{
    fill(list, kPowerLevelItems, selectIndex, withAll);
}

void FillDeviationCombo(OptionList& list, std::int16_t selectIndex, bool withAll)
{
    // The datum counts half-kilohertz steps: 1 is 0.5 kHz.
    const std::string separator = decimalSeparator();
    AppendAllItem(list, withAll);
    for (int steps = 1; steps <= 9; ++steps) {
        std::string kHz = std::to_string(steps / 2);
        if (steps % 2 != 0)
            kHz += separator + "5";
        AddItemWithData(list, "\xB1 " + kHz + " kHz", steps);
    }
    ApplySelection(list, selectIndex);
}

void FillIFBandwidthCombo(OptionList& list, std::int16_t selectIndex, bool withAll)
{
    fill(list, kIFBandwidthItems, selectIndex, withAll);
}

// ---- Time receiver -----------------------------------------------------------------

void FillTimeSourceCombo(OptionList& list, std::int16_t selectIndex) { fill(list, kTimeSourceItems, selectIndex); }

void FillTransmissionModeCombo(OptionList& list, std::int16_t selectIndex)
{
    fill(list, kTransmissionModeItems, selectIndex);
}

void FillTimeSlotCombo(OptionList& list, std::int16_t selectIndex) { fill(list, kTimeSlotItems, selectIndex); }

void FillMasterClockClosureCombo(OptionList& list, std::int16_t selectIndex)
{
    for (int seconds = 1; seconds <= 9; ++seconds)
        AddItemWithData(list, std::to_string(seconds) + " Sec.", seconds);
    ApplySelection(list, selectIndex);
}

void FillTimeZoneCombo(OptionList& list, std::int16_t selectIndex)
{
    // The receiver codes a zone west of Greenwich by its hours, Greenwich by 0 and a zone east by 24 + its hours.
    for (int hours = 1; hours <= 23; ++hours)
        AddItemWithData(list, "(GMT - " + ZeroPad(hours, 2) + ")", hours);
    AddItemWithData(list, "(GMT)", 0);
    for (int hours = 1; hours <= 23; ++hours)
        AddItemWithData(list, "(GMT + " + ZeroPad(hours, 2) + ")", hours + 24);
    ApplySelection(list, selectIndex);
}

std::string TimeSourceText(std::string_view value, bool toText)
{
    return convertNumeric(kTimeSourceItems, value, toText, "WWVB", "0");
}

std::string TransmissionModeText(std::string_view value, bool toText)
{
    return convertNumeric(kTransmissionModeItems, value, toText, "Always (After 1 Valid Syncronization)", "0");
}

std::string TimeSlotText(std::string_view value, bool toText)
{
    return convertNumeric(kTimeSlotItems, value, toText, "Top of the Minute", "0");
}

std::string OffOnText(std::string_view value, bool toText)
{
    return convertNumeric(kOffOnItems, value, toText, "Off", "0");
}

std::string MasterClockClosureText(std::string_view value, bool toText)
{
    return toText ? std::string(value) + " Sec." : std::string();
}

std::string TimeZoneText(std::string_view value, bool toText)
{
    if (!toText)
        return {};
    const long long number = valueOf(value);
    if (number <= 24)
        return value == "00" ? "(GMT)" : "(GMT - " + ZeroPad(number, 2) + ")";
    return "(GMT + " + ZeroPad(number - 24, 2) + ")";
}

// ---- Device programmers --------------------------------------------------------------

void FillPaddlePagerTypeCombo(OptionList& list, std::int16_t selectIndex, bool withAll)
{
    fill(list, kPaddlePagerTypeItems, selectIndex, withAll);
}

void FillAmbientNoiseLevelCombo(OptionList& list, std::int16_t selectIndex, bool withAll)
{
    fill(list, kAmbientNoiseLevelItems, selectIndex, withAll);
}

void FillClockCompatibilityCombo(OptionList& list, std::int16_t selectIndex, bool withAll)
{
    fill(list, kClockCompatibilityItems, selectIndex, withAll);
}

void FillClockModeCombo(OptionList& list, std::int16_t selectIndex, bool withAll)
{
    fill(list, kClockModeItems, selectIndex, withAll);
}

void FillMemoryConfigurationCombo(OptionList& list, std::int16_t selectIndex, std::int32_t memorySizeKB)
{
    AddItemWithData(list, kNotSupportedText, 0);
    // A slot needs at least 64 KB; the limit rounds halves to the even neighbour.
    const double exact = static_cast<double>(memorySizeKB) / 64.0;
    double limit = std::floor(exact);
    if (exact - limit > 0.5 || (exact - limit == 0.5 && std::fmod(limit, 2.0) != 0.0))
        limit += 1.0;
    for (long long slotCount = 1; static_cast<double>(slotCount) <= limit; slotCount *= 2)
        AddItemWithData(list, memorySlotText(memorySizeKB, slotCount), static_cast<std::int32_t>(slotCount));
    ApplySelection(list, selectIndex);
}

std::string MemoryConfigurationText(std::string_view value, bool toText)
{
    if (!toText)
        return ZeroPad(valueOf(value), 2);
    const std::string_view lastTwo = value.size() >= 2 ? value.substr(value.size() - 2) : value;
    if (value == "00" || lastTwo == "00")
        return kNotSupportedText;
    const long long slotCount = valueOf(lastTwo);
    // An answer whose slot count reads as no number cannot be divided by; it
    // shows as the not-supported item rather than stopping the window.
    if (slotCount <= 0)
        return kNotSupportedText;
    return memorySlotText(Val(value.substr(0, 4)), slotCount);
}

// ---- Message tables and tone schedules ---------------------------------------------

void FillSBMessageSlotCombo(OptionList& list, std::int16_t selectIndex) { fillNumbers(list, 1, 15, selectIndex); }

void FillSBMessageDelayCombo(OptionList& list, std::int16_t selectIndex) { fillNumbers(list, 1, 9, selectIndex); }

void FillSBMessageEffectCombo(OptionList& list, std::int16_t selectIndex) { fillNumbers(list, 0, 15, selectIndex); }

void FillFontSizeCombo(OptionList& list, std::int16_t selectIndex) { fill(list, kFontSizeItems, selectIndex); }

void FillActivationPlanCombo(OptionList& list, std::int16_t selectIndex)
{
    fill(list, kActivationPlanItems, selectIndex);
}

void FillCallTypeCombo(OptionList& list, std::int16_t selectIndex) { fill(list, kCallTypeItems, selectIndex); }

void FillToneActionCombo(OptionList& list, std::int16_t selectIndex) { fill(list, kToneActionItems, selectIndex); }

std::string FontSizeText(std::string_view value, bool toText)
{
    // The stored font size is compared as text: "02" is no code and shows as the default.
    if (toText) {
        for (const auto& item : kFontSizeItems)
            if (value == std::to_string(item.datum))
                return std::string(item.text);
        return "Medium";
    }
    return codeForText(kFontSizeItems, value, "0");
}

std::string ActivationPlanText(std::string_view value, bool toText)
{
    return convertNumeric(kActivationPlanItems, value, toText, "0 - Always Active", "0");
}

std::string CallTypeText(std::string_view value, bool toText)
{
    return toText ? textForNumber(kCallTypeShownItems, value, "Button 1") : codeForText(kCallTypeItems, value, "4");
}

std::string ToneActionText(std::string_view value, bool toText)
{
    return convertNumeric(kToneActionItems, value, toText, "Activate", "1");
}
