#include "KS_MessageTable.h"

#include "KS_Database.h"
#include "KS_Events.h"
#include "KS_Forms.h"
#include "KS_Globals.h"
#include "KS_Messages.h"
#include "KS_Paging.h"
#include "KS_Registry.h"
#include "KS_String.h"
#include "RecordFile.h"

namespace {

// Upload and save name the file, not the folder, when it cannot be reached.
void showUpdateError(FileError error, const std::string& path)
{
    ShowMessage(FileUpdateErrorMessage(error, path), kButtonsOk, kAnswerOk, kIconCritical);
}

void showLoadError(FileError error) { ShowMessage(FileErrorMessage(error), kButtonsOk, kAnswerOk, kIconCritical); }

// Every slot of such a unit would go unanswered: one word instead of a retry
// question per slot about a link that is fine, and what the operator has now.
void showNotReadBack(const std::string& optionName, const std::string& outcome)
{
    ShowMessage(optionName + " cannot be read back from the " + gEncoderModelName + ". " + outcome,
                kButtonsOk, kAnswerOk, kIconExclamation);
}
constexpr const char* kFileKept = "The file on this computer was left as it is.";
constexpr const char* kListEmpty = "The list starts empty.";

// Busy pointer and one conversation for as long as a transfer runs.
class TransferScope {
public:
    TransferScope() { ShowBusyPointer(); }
    ~TransferScope() { ShowNormalPointer(); }

private:
    LinkConversation conversation_;
};

} // namespace

std::string MessageTableCodec::LineData(std::string_view data) const { return BlankControlChars(data); }

MessageTableEngine::MessageTableEngine(MessageTableParams params, std::shared_ptr<const MessageTableCodec> codec)
    : params_(std::move(params))
    , codec_(std::move(codec))
{
}

std::string MessageTableEngine::DataPath() const { return DataFilePath(params_.dataFile); }

std::string MessageTableEngine::unitRules() const
{
    return gEncoderModelLetter + "|" + gEncoderModelName + "|" + gEncoderFamily + "|" + gEncoderVersionText + "|"
        + (gEncoderOptionFlag ? "option" : "") + "|" + std::to_string(gAlarmIndexOffset) + "|"
        + std::to_string(SlotCount()) + "|" + (Supported() ? "held" : "lacked");
}

MessageTableEngine::DownloadEnd MessageTableEngine::downloadSlots(std::vector<std::string>& records,
                                                                  int& filled) const
{
    const int count = SlotCount();
    records.clear();
    records.reserve(static_cast<std::size_t>(std::max(count, 0)));
    filled = 0;
    bool ask = true;
    bool cancelled = false;
    bool lost = false;
    for (int slot = 1; slot <= count; ++slot) {
        std::string record = codec_->NumberedRecord(slot);
        ReportStatus("Downloading Message " + codec_->NumberText(record));
        if (!cancelled && Supported()) {
            const SlotRead read = codec_->ReadSlot(slot, record);
            // An empty slot is an answer too: an unprogrammed table is still a table.
            if (read != SlotRead::Failed)
                ++filled;
            // The slot is never asked for again: it stays blank and the download goes on.
            if (read == SlotRead::Failed && ask) {
                if (AskRetryDownload() == kAnswerNo)
                    cancelled = true;
                ask = !gMessageOption;
            } else if (read == SlotRead::Failed && !IsLinkResponding()) {
                // With nobody left to ask, a unit that has gone would hold the
                // operator through every slot's tries, for a table of blanks.
                // The probe also finds a pulled adapter plugged back in.
                lost = cancelled = true;
            }
        }
        records.push_back(std::move(record));
        if (ExitRequested())
            cancelled = true;
    }
    ReportStatus("Ready");
    if (lost)
        return DownloadEnd::Lost;
    return cancelled ? DownloadEnd::Cancelled : DownloadEnd::Whole;
}

bool MessageTableEngine::writeWhole(const std::vector<std::string>& records) const
{
    const FileError error = RecordFile(DataPath(), codec_->RecordLength()).ReplaceAll(records);
    if (error == FileError::None)
        return true;
    showLoadError(error);
    return false;
}

std::optional<std::vector<std::string>> MessageTableEngine::Load()
{
    TransferScope scope;
    const RecordFile file(DataPath(), codec_->RecordLength());
    std::vector<std::string> records;
    loadedFor_ = unitRules();
    if (file.Exists()) {
        const FileError error = file.ReadAll(records);
        if (error != FileError::None) {
            showLoadError(error);
            return std::nullopt;
        }
        // The slots a short file lacks are listed as never read, so each can still be saved.
        for (int slot = static_cast<int>(records.size()) + 1; slot <= SlotCount(); ++slot)
            records.push_back(codec_->NumberedRecord(slot));
        return records;
    }
    if (!IsLinkResponding()) {
        ShowMessagesNotLoadedError();
        return records;
    }
    DetectEncoder();
    loadedFor_ = unitRules();
    // A unit lacks a table only when it said so: blanks written for one that
    // said nothing of itself, or nothing of the table's size, would be listed
    // as its table at every opening (a QX8240 keeps its wireless table, of no
    // slots, when its size goes unanswered).
    if (gIdentityUnanswered || SizeUnanswered()) {
        ShowNothingRead(params_.optionName, DataPath());
        return records;
    }
    // The window opens on the empty slots, each of which can still be saved;
    // no file is written, so the next opening looks again.
    if (Supported() && !codec_->ReadsBack()) {
        showNotReadBack(params_.optionName, kListEmpty);
        for (int slot = 1; slot <= SlotCount(); ++slot)
            records.push_back(codec_->NumberedRecord(slot));
        return records;
    }
    ShowLoadMessage("Downloading messages from " + gEncoderModelName + ". Please wait...");
    int filled = 0;
    const DownloadEnd end = downloadSlots(records, filled);
    const bool written = end != DownloadEnd::Whole || writeWhole(records);
    UnloadLoadMessage();
    if (end == DownloadEnd::Lost)
        ShowLinkCommError();
    if (!written)
        return std::nullopt;
    return records;
}

std::optional<std::vector<std::string>> MessageTableEngine::Download()
{
    TransferScope scope;
    // Nothing leaves the program, and no file is touched, before the unit is
    // known to be there and to hold the table.
    if (!Supported()) {
        ShowOptionNotUpdatedWarning(params_.optionName);
        return std::nullopt;
    }
    if (!IsLinkResponding()) {
        ShowLinkCommError();
        return std::nullopt;
    }
    DetectEncoder();
    if (!Supported()) {
        ShowOptionNotUpdatedWarning(params_.optionName);
        return std::nullopt;
    }
    if (!codec_->ReadsBack()) {
        showNotReadBack(params_.optionName, kFileKept);
        return std::nullopt;
    }
    ShowLoadMessage("Downloading messages from " + gEncoderModelName + ". Please wait...");
    std::vector<std::string> records;
    int filled = 0;
    const DownloadEnd end = downloadSlots(records, filled);
    UnloadLoadMessage();
    if (end == DownloadEnd::Lost)
        ShowLinkCommError();
    if (end != DownloadEnd::Whole)
        return std::nullopt;
    // A unit that went silent after the probe would otherwise leave a file of blanks.
    if (filled == 0 && !records.empty()) {
        ShowLinkCommError();
        return std::nullopt;
    }
    if (!writeWhole(records))
        return std::nullopt;
    loadedFor_ = unitRules();
    return records;
}

bool MessageTableEngine::Upload(const TransferCallbacks& progress)
{
    TransferScope scope;
    const auto finish = [&progress](bool done) {
        if (progress.finish)
            progress.finish(done);
        return done;
    };
    DetectEncoder();
    // Only the unit the table was loaded for gets it: an identification that
    // fell short would have it sent in a layout guessed for some unit.
    if (!IsLinkResponding() || gIdentityUnanswered) {
        ShowLinkCommError();
        return finish(false);
    }
    if (!Supported()) {
        ShowOptionNotUpdatedWarning(params_.optionName);
        return finish(false);
    }
    if (const std::string now = unitRules(); now != loadedFor_) {
        const bool known = !loadedFor_.empty();
        loadedFor_ = now;
        if (known) {
            ShowMessage("The " + gEncoderModelName + " answers now, not the unit these messages were loaded for. "
                            + "Nothing was sent: please check the messages and click Upload again.",
                        kButtonsOk, kAnswerOk, kIconExclamation);
            return finish(false);
        }
    }
    const int count = SlotCount();
    if (progress.start)
        progress.start(count);

    const RecordFile file(DataPath(), codec_->RecordLength());
    if (!file.Exists()) {
        ShowMessagesFileMissingError();
        return finish(false);
    }
    std::vector<std::string> records;
    if (const FileError error = file.ReadAll(records); error != FileError::None) {
        showUpdateError(error, DataPath());
        return finish(false);
    }
    const bool fileHoldsMore = records.size() > static_cast<std::size_t>(count);
    if (fileHoldsMore)
        records.resize(static_cast<std::size_t>(count));
    // Half a table in the encoder is worse than none sent: refuse before the first line.
    for (const std::string& record : records) {
        if (codec_->NeverRead(record))
            continue;
        if (const std::string why = codec_->Unsendable(record); !why.empty()) {
            ShowMessage(why, kButtonsOk, kAnswerOk, kIconExclamation);
            return finish(false);
        }
    }

    int sent = 0;
    int skipped = 0;
    for (const std::string& record : records) {
        if (progress.step)
            progress.step();
        // A slot nobody has read or typed would blank the encoder's own entry.
        if (codec_->NeverRead(record)) {
            ++skipped;
            continue;
        }
        if (!send(codec_->WriteOf(record))) {
            if (codec_->RecordSlot(record) == 0) {
                finish(true);
                ShowPartialUploadWarning(static_cast<std::int16_t>(sent));
                return true;
            }
            ShowLinkCommError();
            return finish(false);
        }
        ++sent;
    }
    finish(true);
    if (fileHoldsMore || skipped > 0 || (params_.warnShortFile && sent < count))
        ShowPartialUploadWarning(static_cast<std::int16_t>(sent));
    return true;
}

bool MessageTableEngine::send(const SlotWrite& write) const
{
    std::string reply;
    return SendLinkCommand(write.command, codec_->LineData(write.data), false, write.ticks, reply, true, write.retries);
}

bool MessageTableEngine::SaveSlot(int slot, const std::string& record)
{
    return SaveSlot(slot, record, Supported() ? std::optional<SlotWrite>(codec_->WriteOf(record)) : std::nullopt);
}

bool MessageTableEngine::SaveSlot(int slot, const std::string& record, const std::optional<SlotWrite>& write)
{
    TransferScope scope;
    if (write && Supported()) {
        if (const std::string why = codec_->Unsendable(record); !why.empty()) {
            ShowMessage(why, kButtonsOk, kAnswerOk, kIconExclamation);
            return false;
        }
        if (!send(*write) && AskUpdateDatabaseOnly() != kAnswerYes)
            return false;
    }
    const FileError error = RecordFile(DataPath(), codec_->RecordLength()).WriteRecord(slot, record);
    if (error != FileError::None) {
        showUpdateError(error, DataPath());
        return false;
    }
    return true;
}

// ---- The fast-key and PABX layout ----------------------------------------------------------

namespace {
constexpr int kSlotDigits = 2;
constexpr std::size_t kTextLength = 30;
} // namespace

std::size_t TableMessageCodec::RecordLength() const { return TableMessage::kLength; }

std::string TableMessageCodec::NumberedRecord(int slot) const
{
    TableMessage record;
    record.No = PadRight(ZeroPad(slot, kSlotDigits), 3);
    return EncodeRecord(record);
}

SlotRead TableMessageCodec::ReadSlot(int slot, std::string& record) const
{
    const std::string value = QueryLink(
        letter_, ZeroPad(slot, kSlotDigits), {.expectedLength = kTextLength, .pokeOnTimeout = true, .attempts = 3});
    if (value.empty())
        return SlotRead::Failed;
    TableMessage message = DecodeRecord<TableMessage>(record);
    message.Text = PadRight(value, kTextLength);
    record = EncodeRecord(message);
    return SlotRead::Filled;
}

int TableMessageCodec::RecordSlot(const std::string& record) const
{
    return static_cast<int>(Val(DecodeRecord<TableMessage>(record).No));
}

bool TableMessageCodec::NeverRead(const std::string& record) const
{
    return DecodeRecord<TableMessage>(record).Text == UnsetText(kTextLength);
}

SlotWrite TableMessageCodec::WriteOf(const std::string& record) const
{
    const TableMessage message = DecodeRecord<TableMessage>(record);
    return {letter_, ZeroPad(RecordSlot(record), kSlotDigits) + message.Text};
}

std::string TableMessageCodec::EditedRecord(int slot, std::string_view text)
{
    TableMessage record;
    record.No = PadRight(ZeroPad(slot, kSlotDigits), 3);
    record.Text = PadRight(Trim(text), kTextLength);
    return EncodeRecord(record);
}
