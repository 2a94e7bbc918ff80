#include "KS_WirelessTable.h"

#include "KS_Globals.h"
#include "KS_MessageLayouts.h"
#include "KS_Paging.h"
#include "KS_String.h"

namespace {

WirelessLayout CurrentLayout() { return ChooseWirelessLayout(gEncoderModelLetter, gEncoderVersionText); }

std::string SlotDigits(int slot) { return ZeroPad(slot, 3); }

} // namespace

std::size_t WirelessCodec::RecordLength() const { return WirelessMessageRecord::kLength; }

std::string WirelessCodec::NumberedRecord(int slot) const
{
    WirelessMessageRecord record;
    record.Slot = SlotDigits(slot);
    return EncodeRecord(record);
}

SlotRead WirelessCodec::ReadSlot(int slot, std::string& record) const
{
    const WirelessLayout layout = CurrentLayout();
    const std::string value = QueryLink("W", SlotDigits(slot),
        {.expectedLength = static_cast<std::int16_t>(WirelessValueLength(layout)),
            .ticks = 40,
            .pokeOnTimeout = true,
            .attempts = 3});
    WirelessMessageRecord slotRecord = DecodeRecord<WirelessMessageRecord>(record);
    if (value.empty() || !ParseWirelessValue(layout, value, slotRecord))
        return SlotRead::Failed;
    record = EncodeRecord(slotRecord);
    return SlotRead::Filled;
}

int WirelessCodec::RecordSlot(const std::string& record) const
{
    return static_cast<int>(FieldNumber(DecodeRecord<WirelessMessageRecord>(record).Slot));
}

bool WirelessCodec::NeverRead(const std::string& record) const
{
    // Every field from the pager to the call type: a download numbers the slot even when it reads nothing.
    return record.compare(3, 51, std::string(51, '\0')) == 0;
}

SlotWrite WirelessCodec::WriteOf(const std::string& record) const
{
    const WirelessMessageRecord slotRecord = DecodeRecord<WirelessMessageRecord>(record);
    // Unsendable records are turned away before this; an empty value would be refused by the unit anyway.
    return {"W", SlotDigits(RecordSlot(record)) + WirelessWriteValue(CurrentLayout(), slotRecord).value_or("")};
}

std::string WirelessCodec::Unsendable(const std::string& record) const
{
    const WirelessMessageRecord slotRecord = DecodeRecord<WirelessMessageRecord>(record);
    if (WirelessWriteValue(CurrentLayout(), slotRecord))
        return {};
    return "Device code " + std::to_string(WirelessDeviceCode(slotRecord)) + " of device "
        + SlotDigits(RecordSlot(record)) + " cannot be sent to the " + gEncoderModelName + ", "
        + "which takes device codes of up to 999. Nothing was sent to the " + gEncoderModelName + ".";
}

MessageTableParams WirelessTableParams()
{
    return {&gWirelessMessageCount, &gEncoderSupportsWireless, "PPM_Wireless.DBS", "Wireless Devices Messages", true,
            &gWirelessSizeUnanswered};
}

MessageTableEngine MakeWirelessEngine() { return MessageTableEngine(WirelessTableParams(), std::make_shared<WirelessCodec>()); }
