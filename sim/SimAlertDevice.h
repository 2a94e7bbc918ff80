#pragma once
// A device with expanded alert memory, as the custom-alerts upload meets it.
// Besides the shared device language it has:
//   "?MC" / "PMC" nn   memory configuration: four digits of KB, two of slot count;
//                      a new count erases every stored alert
//   "?BR" / "PBR" n    its line speed code; 4 moves it to 115200 bit/s once the
//                      acknowledgement is out, any other code back to its normal speed
//   header + blocks    a 44-byte header and CR (block count at 29-32, slot at
//                      39-40, the data size the file declares at 41-44), then
//                      data blocks answered "N*", "R*" (send again) or "E*"
//                      (stored), and a five-byte end marker
// Firmware from 3.12 up to 4.0 takes 1032-byte blocks with a checksum and a
// block number, and checks both; other firmware takes bare 1024-byte blocks.

#include <map>

#include "SimDevice.h"

namespace sim {

class AlertDevice : public Device {
public:
    explicit AlertDevice(std::string version = "3.14", int memoryKB = 4096, int slotCount = 8);

    // The next n blocks are answered "R*" although they arrived whole.
    void RefuseNextBlocks(int n) { refuseBlocks_ = n; }
    // What each slot holds: the block bodies as they arrived (filling included).
    const std::map<int, std::string>& StoredAlerts() const { return stored_; }
    // The last header taken, without its CR: the format the device plays the slot in.
    const std::string& LastHeader() const { return header_; }
    int MemoryKB() const { return memoryKB_; }
    int SlotCount() const;

    std::size_t RawLength(std::string_view arriving) const override;
    Reply HandleRaw(const std::string& message, std::int64_t tick) override;

protected:
    std::optional<Reply> OwnLine(const std::string& line, std::int64_t tick) override;

private:
    bool Sequenced() const;
    Reply Header(const std::string& header);
    Reply Block(const std::string& block);

    int memoryKB_;
    bool receiving_ = false;
    int slot_ = 0;
    int blockCount_ = 0;
    std::int64_t declaredSize_ = 0;
    int nextBlock_ = 1;
    std::string audio_;
    std::string header_;
    int refuseBlocks_ = 0;
    std::map<int, std::string> stored_;
};

} // namespace sim
