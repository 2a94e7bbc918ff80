#pragma once
// The wireless-device message table on the table engine:
// WirelessMessageRecord records in PPM_Wireless.DBS, read and written in the
// layout of the unit that answers now (KS_MessageLayouts.h).

#include "KS_MessageTable.h"

class WirelessCodec : public MessageTableCodec {
public:
    std::size_t RecordLength() const override;
    std::string NumberedRecord(int slot) const override;
    SlotRead ReadSlot(int slot, std::string& record) const override;
    int RecordSlot(const std::string& record) const override;
    bool NeverRead(const std::string& record) const override;
    SlotWrite WriteOf(const std::string& record) const override;
    // A device code above 999 for a unit of three-digit codes.
    std::string Unsendable(const std::string& record) const override;
};

MessageTableParams WirelessTableParams();
MessageTableEngine MakeWirelessEngine();
