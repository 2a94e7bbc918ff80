#pragma once
// The wire layouts of the free-text and wireless-device tables: which layout
// a unit speaks (by model letter and firmware version), how a read's value
// fills a record, and what a write carries after the slot number. Pure
// functions over bytes; the windows and the table engine call them.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "KS_Records.h"

// ---- Firmware versions -------------------------------------------------------

// Compares two version texts as decimal numbers, digit by digit: "3.09" < "3.1",
// "3.1" == "3.10", "3.159" < "3.16". Leading blanks are skipped and the number
// ends at the first character that is not part of it; no number reads as 0.
// Negative, zero or positive like strcmp.
int CompareVersions(std::string_view a, std::string_view b);

// The value of the decimal digits at the start of a field (leading spaces
// skipped), 0 when there are none: blank, spaces and NULs all read as 0.
long FieldNumber(std::string_view field);

// ---- Free-text keywords ------------------------------------------------------

enum class FreetextLayout {
    KeywordFirst, // keyword, pager; writes end with the active character
    Extended,     // keyword, pager, message, replace flag; writes end with the active character
    PagerFirst,   // pager, keyword
};

FreetextLayout ChooseFreetextLayout(std::string_view modelLetter, std::string_view version);
// X units below 3.1 take writes but answer no reads of the table.
bool FreetextTableReadable(std::string_view modelLetter, std::string_view version);
// Characters of a read's value: 34, 65 or 33.
std::size_t FreetextValueLength(FreetextLayout layout);

// Fills Pager, Keyword, Message and ReplaceKeyword of the entry from a read's
// value; false (entry untouched) when the value has another length. A message
// the layout does not carry is stored as spaces, the flag as clear.
bool ParseFreetextValue(FreetextLayout layout, std::string_view value, FreetextEntry& entry);

// What a write carries after "F" and the slot.
std::string FreetextWriteData(FreetextLayout layout, const FreetextEntry& entry);

// The entry the edit dialog saves: keyword and message trimmed and fitted to
// 30 characters, the pager in three digits, the flag -1 or 0.
FreetextEntry MakeFreetextEntry(int slot, std::string_view pager, std::string_view keyword, std::string_view message,
                                bool replaceKeyword);

// ---- Wireless-device messages --------------------------------------------------

enum class WirelessLayout { A, B, C, D };

WirelessLayout ChooseWirelessLayout(std::string_view modelLetter, std::string_view version);
// Characters of a read's value: 39, 44 or 46.
std::size_t WirelessValueLength(WirelessLayout layout);
// Layouts A and B carry a device code of three digits.
bool WirelessLayoutHasShortCode(WirelessLayout layout);

// Fills the fields the layout carries (and the defaults it implies) from a
// read's value; false (record untouched) when the value has another length.
bool ParseWirelessValue(WirelessLayout layout, std::string_view value, WirelessMessageRecord& record);

// The value a write carries after "W" and the slot. A device code that the
// layout's field does not hold (blank) comes from the other code field; no
// value when the code does not fit the layout (above 999 on A and B).
std::optional<std::string> WirelessWriteValue(WirelessLayout layout, const WirelessMessageRecord& record);
// The device code the record holds, from whichever field carries one.
long WirelessDeviceCode(const WirelessMessageRecord& record);

// What the edit dialog's fields amount to. Call type is the list's code:
// 0 None, 2 Cancel, 3 Tamper, 4 to 7 Button 1 to Button 4.
struct WirelessDialogFields {
    int slot = 0;
    std::string deviceCode{}; // digits as typed; empty means 0
    std::string cancelCode{};
    std::string pager{};
    int repeatMinutes = 0;
    std::string message{};
    int activationPlan = 0;
    bool supervised = false;
    int callType = 0;
};

// The record the dialog stores: both device-code fields (the short one only
// when the code fits three digits), empty codes as zeros, and the call type
// the layout can express.
WirelessMessageRecord MakeWirelessRecord(WirelessLayout layout, const WirelessDialogFields& fields);
