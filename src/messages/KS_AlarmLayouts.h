#pragma once
// The alarm-input table on the wire. Every encoder generation packs an alarm
// point differently, so each transfer first picks one of seven layouts from
// the identity that detection left behind, then reads, parses and writes one
// slot at a time under the table letter "Z".
//
// Everything here but ReadAlarmSlot and ReadAlarmSlotForDownload is a pure
// function of its arguments; those two talk to the encoder through QueryLink.

#include <cstdint>
#include <string>
#include <string_view>

#include "KS_MessageTable.h"
#include "KS_Records.h"

enum AlarmLayout {
    AlarmLayoutXY,      // X, Y: times in minutes and seconds, send-cancel flag
    AlarmLayoutU,       // U: active flag, cancel page, input options
    AlarmLayoutFamily8, // A, B: pager, text, status and real time as raw character codes
    AlarmLayoutFull,    // H, I, G, L: everything, options as one-digit codes
    AlarmLayoutOther,   // a unit of no known family that still reports slots
    AlarmLayoutFamily7, // identified QX7XXX units without the extended table
    AlarmLayoutLegacy,  // unidentified QX7XXX units: one-digit slot addresses
};

// What the layout choice and the addressing depend on; detection sets it all.
struct AlarmUnit {
    std::string letter;
    std::string family;
    std::string modelName;
    bool identified = false;
    int indexOffset = 0;
    int slotCount = 0;
};

// The unit detection last described, from the program-wide identity.
AlarmUnit CurrentAlarmUnit();

AlarmLayout SelectAlarmLayout(const AlarmUnit& unit);

// Characters of the value a read returns (the answer less "*" and CR).
int AlarmReplyLength(AlarmLayout layout);

// The characters between "Z" and "?" (reading) or the fields (writing).
// Slot n of the table is device point n + offset on the layouts that offset;
// the legacy units take one digit, followed by a space when read.
std::string AlarmSlotAddress(AlarmLayout layout, int slot, int indexOffset, bool forWrite);

// Ticks one read waits for its answer. The Full layout scales its wait with
// the table, 40 ticks for 96 slots, rounded half to even.
std::int32_t AlarmReadTicks(AlarmLayout layout, int slotCount);
// Ticks each write of a whole-table upload waits.
std::int32_t AlarmUploadTicks(int slotCount);
// Ticks a single write from the edit dialog waits.
inline constexpr std::int32_t kAlarmSaveTicks = 40;

// True for the units whose alarm model names carry the module options.
bool IsAlarmModuleModel(std::string_view modelName); // QX6560, QX6860
bool IsAlarmOptionsModel(std::string_view modelName); // QX6560, QX6860, QX6870

// Fills the record's fields from a read value; fields the layout does not
// carry keep what the record held. The value must have the layout's length.
void ParseAlarmReply(AlarmLayout layout, std::string_view value, AlarmPointRecord& record,
                     std::string_view family);

// The data of a "Z" write of the slot: the unit's address of it, then the
// layout's fields taken from the record, always exactly the layout's length.
// Numbers that do not fit their width are clamped into it, and unset text
// travels as spaces, so a damaged record can never shift the fields after it;
// a control character in a text goes as a space too, so it cannot end the line.
// On the Full layout the input delay is the stored code on the units with the
// module lists; the others send a code read from the unit back as it came and
// the code of the seconds their dialog stores.
std::string BuildAlarmWriteString(AlarmLayout layout, const AlarmUnit& unit, int slot,
                                  const AlarmPointRecord& record);

// A download keeps the Full layout's input-delay code as the one character it
// came as, padded with spaces; the dialog keeps seconds as three digits.
bool AlarmDelayCodeAsRead(std::string_view stored);

// The Full-layout units without the module lists (QX7560, QMR7560, QX6870)
// offer the seconds list, while their wire carries the input-delay code of
// the module list: 0 none, 1 10 s, 2 30 s, 3 120 s.
bool AlarmDelayTravelsAsCode(AlarmLayout layout, const AlarmUnit& unit);
// The code of a delay in seconds; -1 for a delay that has none.
int AlarmDelayCodeOfSeconds(long long seconds);
// The seconds a code stands for; -1 for a code that stands for none.
int AlarmDelaySecondsOfCode(long long code);
// A stored input delay as a QX6560 or QX6860 reads it: its code 0 to 3. A
// stored 10, 30 or 120 cannot be a code: it is the seconds a file of another
// model holds, read as that delay's code. -1 for any other value.
int AlarmModuleDelayCode(long long stored);
// The delays those units take, as the operator is told.
inline constexpr const char* kAlarmDelayCodeChoices = "None, 10 Sec., 30 Sec. or 120 Sec.";

// The QX8XXX layouts send status and real time as the character of that
// code: a line feed or a carriage return there would end the line to the
// unit and cut the point's write in two.
bool AlarmCodeEndsLine(long long code);
// Why the point cannot go to the unit in this layout, naming it as the
// operator is told; empty when it can.
std::string AlarmPointUnsendable(AlarmLayout layout, const AlarmUnit& unit, const AlarmPointRecord& record);

// The status of the Family8 (and Other) units travels as the character whose
// code is the value, 0 to 255. The record keeps 0 to 9 as the digit, as every
// other layout does, and a larger code as the unit's own character, so what
// the unit sent goes back unchanged.
bool AlarmStatusIsCode(AlarmLayout layout);
std::string AlarmStatusField(int code);
// The value of a stored status: a digit's value, 0 for a space or nothing,
// else (on the layouts that send codes) the character's code.
int AlarmStatusValue(AlarmLayout layout, std::string_view field);

// One read of a slot: "Z", the address and "?", three attempts with the CR
// poke. Returns the value, or "" when no answer of the right length came;
// rawReply receives the line as it came.
std::string ReadAlarmSlot(AlarmLayout layout, const AlarmUnit& unit, int slot, std::string* rawReply = nullptr);

// One slot of a download: reads it (the Full layout once more after an empty
// value) and parses a value into the record. A legacy unit's bare "*" is an
// empty slot, not a failure.
SlotRead ReadAlarmSlotForDownload(AlarmLayout layout, const AlarmUnit& unit, int slot, AlarmPointRecord& record);

// Threshold as it travels and is stored: a sign and two digits ("+05", "-12").
std::string FormatAlarmThreshold(long long value);
