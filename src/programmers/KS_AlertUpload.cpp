#include "KS_AlertUpload.h"

#include <fstream>

#include "CommPort.h"
#include "KS_Events.h"
#include "KS_Globals.h"
#include "KS_Paging.h"

namespace {

constexpr std::int32_t kBlockTicks = 150;
constexpr std::int32_t kEndMarkerTicks = 60;
constexpr int kFullBlockResends = 3;
constexpr int kLastBlockResends = 2;

// The device is told to forget a half-sent file; it answers nothing we need.
void SendEndMarker(bool sequenced)
{
    const RunEnding ending;
    std::string reply;
    SendLinkCommand(AlertEndMarker(sequenced), "", true, kEndMarkerTicks, reply, false, 0);
}

// Sends the block, and again while the device asks for it, at most `resends` times.
std::string SendBlock(const std::string& block, int resends)
{
    std::string reply;
    SendLinkCommand(block, "", true, kBlockTicks, reply, false, 0);
    for (int n = 0; n < resends && reply == "R*\r"; ++n)
        SendLinkCommand(block, "", true, kBlockTicks, reply, false, 0);
    return reply;
}

// A refused block may be followed by more of the device's noise: none of it
// may be read as the answer to the next conversation.
void DropWaitingInput()
{
    if (gComm && gComm->PortOpen())
        gComm->SetInBufferCount(0);
    ResetLinkReceiver();
}

std::string ReadBody(std::ifstream& in, std::int64_t from, std::int64_t length)
{
    std::string body(static_cast<std::size_t>(length), '\0');
    in.clear();
    in.seekg(from);
    in.read(body.data(), length);
    body.resize(static_cast<std::size_t>(in.gcount()));
    return body;
}

std::string Progress(const AlertUploadFile& file, std::int64_t value, std::int64_t maximum)
{
    return "Uploading " + file.displayName + "..." + std::to_string(value) + "/" + std::to_string(maximum);
}

} // namespace

bool UploadAlertFile(const AlertUploadFile& file, std::int64_t memoryKB, std::int64_t slotCount, bool sequenced,
                     const AlertUploadDisplay& display)
{
    const auto finish = [&](bool stored) {
        if (!stored)
            SendEndMarker(sequenced);
        display.setInfo(stored ? "Done !" : "Canceled !");
        display.setProgress(0, 0, false);
        return stored;
    };

    if (!IsLinkResponding()) {
        ShowLinkCommError();
        return finish(false);
    }
    const auto plan = PlanAlertUpload(memoryKB, slotCount, file.alertNumber, file.data.size);
    std::ifstream in(file.path, std::ios::binary);
    if (!plan || !in || file.data.header.size() != static_cast<std::size_t>(kAlertHeaderBytes)) {
        ShowLinkCommError();
        return finish(false);
    }

    display.setInfo("Please wait...");
    DoEvents();
    std::string reply;
    if (!SendLinkCommand(BuildAlertHeader(file.data.header, plan->blockCount, plan->slotNumber, plan->dataSize), "", true,
                         plan->headerTicks, reply, true, 0)) {
        ShowLinkCommError();
        return finish(false);
    }

    display.setInfo("");
    display.setProgress(0, plan->blockCount, true);
    DoEvents();
    // The first block starts at the data chunk's size field (offset is 1-based).
    const std::int64_t start = file.data.offset - 1;
    std::int64_t block = 0;
    for (; block < plan->fullBlocks; ++block) {
        const std::string body = ReadBody(in, start + block * kAlertBlockBytes, kAlertBlockBytes);
        display.setProgress(block + 1, plan->blockCount, true);
        display.setInfo(Progress(file, block + 1, plan->blockCount));
        if (SendBlock(BuildAlertBlock(body, block + 1, sequenced), kFullBlockResends) != "N*\r") {
            DropWaitingInput();
            ShowLinkCommError();
            return finish(false);
        }
        DoEvents();
    }
    if (plan->rest == 0) {
        SendEndMarker(sequenced);
        return finish(true);
    }
    const std::string body = ReadBody(in, start + block * kAlertBlockBytes, plan->rest);
    display.setProgress(block + 1, plan->blockCount, true);
    display.setInfo(Progress(file, block + 1, plan->blockCount));
    if (SendBlock(BuildAlertBlock(body, block + 1, sequenced), kLastBlockResends) != "E*\r") {
        ShowLinkCommError();
        return finish(false);
    }
    return finish(true);
}
