#pragma once
// The free-text keyword table on the table engine: FreetextEntry records in
// PPM_Freetext.DBS, read and written in the layout of the unit that answers
// now (KS_MessageLayouts.h).

#include "KS_MessageTable.h"

class FreetextCodec : public MessageTableCodec {
public:
    std::size_t RecordLength() const override;
    std::string NumberedRecord(int slot) const override;
    // Sends nothing to an X unit below 3.1: the slot counts as unanswered.
    SlotRead ReadSlot(int slot, std::string& record) const override;
    bool ReadsBack() const override;
    int RecordSlot(const std::string& record) const override;
    bool NeverRead(const std::string& record) const override;
    SlotWrite WriteOf(const std::string& record) const override;
};

MessageTableParams FreetextTableParams();
MessageTableEngine MakeFreetextEngine();
