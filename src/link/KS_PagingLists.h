#pragma once
// Module KS_Paging, option lists: the fillers that give every window the same
// items, in the same order, with the same codes, and the converters between a
// stored code and its item text.
//
// A filler appends (it never clears), gives each item its datum right after
// adding it, and ends by selecting selectIndex when that is -1 or names an
// item. withAll puts an "All" item (datum kAllItemData) in front.
// A converter takes (value, toText): with toText the value is a code and the
// result its item text, otherwise the value is an item text and the result its
// code in decimal digits; a value outside the table gives the stated default.

#include <cstdint>
#include <string>
#include <string_view>

#include "OptionList.h"

// ---- User directory, serial ports, repeat and delay times ----
void FillCOMPortCombo(OptionList& list, std::int16_t selectIndex);
void FillPagerBaudCombo(OptionList& list, std::int16_t selectIndex);
void FillPagerFormatCombo(OptionList& list, std::int16_t selectIndex);
void FillPagerModeCombo(OptionList& list, std::int16_t selectIndex);
void FillPagerTypeCombo(OptionList& list, std::int16_t selectIndex);
void FillPagerGroupCombo(OptionList& list, std::int16_t selectIndex);
void FillRepeatMinutesCombo(OptionList& list, std::int16_t count, std::int16_t selectIndex);
void FillDelaySecondsCombo(OptionList& list, std::int16_t count, std::int16_t selectIndex);

// ---- Alarm inputs and scheduled pages ----
void FillAlarmInputTypeCombo(OptionList& list, std::int16_t selectIndex);
void FillAlarmRepeatCountCombo(OptionList& list, std::int16_t selectIndex);
void FillAlarmRepeatTimeModuleCombo(OptionList& list, std::int16_t selectIndex);
void FillAlarmInputDelayModuleCombo(OptionList& list, std::int16_t selectIndex);
void FillAlarmPulseCombo(OptionList& list, std::int16_t selectIndex);
// The code (the 1-based entry) a stored alarm field stands for in its list:
// the stored code when the list has it, else 1, the first entry, which the
// alarm dialog shows and sends for it. A field another unit's layout does not
// hold is stored as 0; it goes to this unit as the dialog would send it.
enum class AlarmCodeList { InputType, RepeatTimeModule, Pulse };
int AlarmListCode(AlarmCodeList list, std::string_view stored);
void FillWeekDayCombo(OptionList& list, std::int16_t selectIndex);
void FillScheduledAlertTypeCombo(OptionList& list, std::int16_t selectIndex);

// ---- Alerts and tone events ----
void FillAlertNumberCombo(OptionList& list, std::int16_t selectIndex = -1, std::int16_t first = 1,
                          std::int16_t last = 16);
void FillAlertTypeCombo(OptionList& list, std::int16_t selectIndex = -1, std::int16_t first = 1,
                        std::int16_t last = 99, bool includeSpecial = false);
void FillAlertLengthCombo(OptionList& list, std::int16_t selectIndex);
void FillAlertLevelCombo(OptionList& list, std::int16_t selectIndex = -1, bool includeDefault = false);
void FillAlertRepeatCombo(OptionList& list, std::int16_t selectIndex);
void FillAlertDelayCombo(OptionList& list, std::int16_t selectIndex);

// An alert number, or an alert-number datum (above 9: the number + 48), as two digits.
std::string AlertNumberCode(std::string_view value, bool emptyForNone);
std::string AlertTypeText(std::string_view value, bool toText);
std::string AlertRepeatText(std::string_view value, bool toText);
std::string AlertDelayText(std::string_view value, bool toText);

// ---- Device radio settings ----
void FillSquelchLevelCombo(OptionList& list, std::int16_t selectIndex = -1);
void FillOffOnCombo(OptionList& list, std::int16_t selectIndex = -1);
void FillModeDigitCombo(OptionList& list, std::int16_t selectIndex = -1);
void FillDeviceBaudCombo(OptionList& list, std::int16_t selectIndex = -1);
void FillPendantPagerTypeCombo(OptionList& list, std::int16_t selectIndex = -1, bool withAll = false);
void FillPowerLevelCombo(OptionList& list, std::int16_t selectIndex = -1, bool withAll = false);
void FillDeviationCombo(OptionList& list, std::int16_t selectIndex = -1, bool withAll = false);
void FillIFBandwidthCombo(OptionList& list, std::int16_t selectIndex = -1, bool withAll = false);

// ---- Time receiver ----
void FillTimeSourceCombo(OptionList& list, std::int16_t selectIndex = -1);
void FillTransmissionModeCombo(OptionList& list, std::int16_t selectIndex = -1);
void FillTimeSlotCombo(OptionList& list, std::int16_t selectIndex = -1);
void FillMasterClockClosureCombo(OptionList& list, std::int16_t selectIndex = -1);
void FillTimeZoneCombo(OptionList& list, std::int16_t selectIndex = -1);

std::string TimeSourceText(std::string_view value, bool toText);
std::string TransmissionModeText(std::string_view value, bool toText);
std::string TimeSlotText(std::string_view value, bool toText);
std::string OffOnText(std::string_view value, bool toText);
// Code to text only; the other direction gives "".
std::string MasterClockClosureText(std::string_view value, bool toText);
std::string TimeZoneText(std::string_view value, bool toText);

// ---- Device programmers ----
void FillPaddlePagerTypeCombo(OptionList& list, std::int16_t selectIndex = -1, bool withAll = false);
void FillAmbientNoiseLevelCombo(OptionList& list, std::int16_t selectIndex = -1, bool withAll = false);
void FillClockCompatibilityCombo(OptionList& list, std::int16_t selectIndex = -1, bool withAll = false);
void FillClockModeCombo(OptionList& list, std::int16_t selectIndex = -1, bool withAll = false);
void FillMemoryConfigurationCombo(OptionList& list, std::int16_t selectIndex = -1, std::int32_t memorySizeKB = 4096);
// toText: the device's answer (four digits of kilobytes, two of slot count) to its item text;
// otherwise a slot count to two digits.
std::string MemoryConfigurationText(std::string_view value, bool toText);

// ---- Message tables and tone schedules ----
void FillSBMessageSlotCombo(OptionList& list, std::int16_t selectIndex);
void FillSBMessageDelayCombo(OptionList& list, std::int16_t selectIndex);
void FillSBMessageEffectCombo(OptionList& list, std::int16_t selectIndex);
void FillFontSizeCombo(OptionList& list, std::int16_t selectIndex);
void FillActivationPlanCombo(OptionList& list, std::int16_t selectIndex);
void FillCallTypeCombo(OptionList& list, std::int16_t selectIndex);
void FillToneActionCombo(OptionList& list, std::int16_t selectIndex);

std::string FontSizeText(std::string_view value, bool toText);
std::string ActivationPlanText(std::string_view value, bool toText);
std::string CallTypeText(std::string_view value, bool toText);
std::string ToneActionText(std::string_view value, bool toText);
