#include "KS_FreetextTable.h"

#include "KS_Globals.h"
#include "KS_MessageLayouts.h"
#include "KS_Paging.h"
#include "KS_String.h"

namespace {

FreetextLayout CurrentLayout() { return ChooseFreetextLayout(gEncoderModelLetter, gEncoderVersionText); }

std::string SlotDigits(int slot) { return ZeroPad(slot, 2); }

} // namespace

std::size_t FreetextCodec::RecordLength() const { return FreetextEntry::kLength; }

std::string FreetextCodec::NumberedRecord(int slot) const
{
    FreetextEntry entry;
    entry.No = SlotDigits(slot) + " ";
    return EncodeRecord(entry);
}

SlotRead FreetextCodec::ReadSlot(int slot, std::string& record) const
{
    if (!ReadsBack())
        return SlotRead::Failed;
    const FreetextLayout layout = CurrentLayout();
    const std::string value = QueryLink("F", SlotDigits(slot),
        {.expectedLength = static_cast<std::int16_t>(FreetextValueLength(layout)),
            .pokeOnTimeout = true,
            .attempts = 3});
    FreetextEntry entry = DecodeRecord<FreetextEntry>(record);
    if (value.empty() || !ParseFreetextValue(layout, value, entry))
        return SlotRead::Failed;
    record = EncodeRecord(entry);
    return SlotRead::Filled;
}

bool FreetextCodec::ReadsBack() const { return FreetextTableReadable(gEncoderModelLetter, gEncoderVersionText); }

int FreetextCodec::RecordSlot(const std::string& record) const
{
    return static_cast<int>(FieldNumber(DecodeRecord<FreetextEntry>(record).No));
}

bool FreetextCodec::NeverRead(const std::string& record) const
{
    const FreetextEntry entry = DecodeRecord<FreetextEntry>(record);
    return entry.Pager == UnsetText(3) && entry.Keyword == UnsetText(30) && entry.Message == UnsetText(30);
}

SlotWrite FreetextCodec::WriteOf(const std::string& record) const
{
    const FreetextEntry entry = DecodeRecord<FreetextEntry>(record);
    return {"F", SlotDigits(RecordSlot(record)) + FreetextWriteData(CurrentLayout(), entry)};
}

MessageTableParams FreetextTableParams()
{
    return {&gFreetextMessageCount, &gEncoderSupportsFreetext, "PPM_Freetext.DBS", "Freetext Messages", true,
            &gFreetextSizeUnanswered};
}

MessageTableEngine MakeFreetextEngine() { return MessageTableEngine(FreetextTableParams(), std::make_shared<FreetextCodec>()); }
