#pragma once
// The table engine behind every encoder message-table window: loading a
// table from its data file (downloading it when the file is missing),
// Download, Upload and saving one slot. No widget lives here; a window shows
// the records it gets back and passes its progress bar in as callbacks.
//
// A table is its parameters (letter, slot count and support flag, data file,
// option name) and a codec: the record layout and the wire layout of one
// slot. The fast-key and PABX tables share TableMessageCodec; the free-text,
// wireless and alarm tables bring codecs of their own and use the engine as
// it is.
//
// Records travel as the raw bytes of the data file, one string per slot
// (element i is slot i + 1). Text fields that no read and no edit has set
// hold NUL characters; such a record is never sent to the encoder.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// How one slot read ended.
enum class SlotRead {
    Filled, // the value came and is in the record
    Empty,  // the unit has nothing there and said so: not a failure, nothing is asked
    Failed, // no usable answer: the operator is asked whether to go on
};

// One slot write as SendLinkCommand takes it (the "W" suffix is added).
struct SlotWrite {
    std::string command;
    std::string data;
    std::int32_t ticks = 40;
    std::int16_t retries = 3;
};

// The record and wire layout of one table.
class MessageTableCodec {
public:
    virtual ~MessageTableCodec() = default;
    virtual std::size_t RecordLength() const = 0;
    // The record of a slot that has not been read: its number set, every
    // other field unset (NUL) or at the layout's default.
    virtual std::string NumberedRecord(int slot) const = 0;
    // Reads the slot from the encoder into record, which holds NumberedRecord(slot).
    virtual SlotRead ReadSlot(int slot, std::string& record) const = 0;
    // The slot a stored record belongs to: its number field read as a number, 0 when none.
    virtual int RecordSlot(const std::string& record) const = 0;
    // True when every text field still holds NUL characters: never read, never edited.
    virtual bool NeverRead(const std::string& record) const = 0;
    // The line that stores the record in the encoder.
    virtual SlotWrite WriteOf(const std::string& record) const = 0;
    // Why the record cannot go to the encoder that answers now (a value its
    // layout has no room for), as the operator is told; empty when it can.
    virtual std::string Unsendable(const std::string& /*record*/) const { return {}; }
    // Whether the unit that answers now can send its table back at all.
    virtual bool ReadsBack() const { return true; }
    // The number field as the status line shows it during a download.
    virtual std::string NumberText(const std::string& record) const { return record.substr(0, 3); }
    // A write's data as it goes on the line. The unit takes a CR as the end of
    // the command and what follows as a command of its own, so a control
    // character that a record holds (a pasted line break, a damaged file) goes
    // as a space; the record in the file keeps it.
    virtual std::string LineData(std::string_view data) const;
};

struct MessageTableParams {
    const int* slotCount = nullptr;  // set by encoder detection, with its fallback
    const bool* supported = nullptr; // the encoder has this table
    std::string dataFile;            // in the data folder; the backup is its .BAK companion
    std::string optionName;          // as ShowOptionNotUpdatedWarning names the table
    // An upload from a file shorter than the table ends with the partial-upload
    // warning; a table whose unit keeps its other slots may do without it.
    bool warnShortFile = true;
    // Set by encoder detection when the unit left the size read unanswered:
    // a table the unit did not say it lacks.
    const bool* sizeUnanswered = nullptr;
};

// The progress of an upload; any member may be empty. finish comes before
// any closing warning, so "Done !" shows behind it.
struct TransferCallbacks {
    std::function<void(int total)> start;
    std::function<void()> step;
    std::function<void(bool done)> finish;
};

class MessageTableEngine {
public:
    MessageTableEngine(MessageTableParams params, std::shared_ptr<const MessageTableCodec> codec);

    const MessageTableParams& Params() const { return params_; }
    const MessageTableCodec& Codec() const { return *codec_; }
    std::string DataPath() const;
    int SlotCount() const { return *params_.slotCount; }
    bool Supported() const { return *params_.supported; }
    bool SizeUnanswered() const { return params_.sizeUnanswered && *params_.sizeUnanswered; }

    // The records of the data file, and for the slots a short file lacks their
    // never-read records. A missing file is downloaded first: without
    // a link the operator is told and nothing is written (empty table); after a
    // No to the retry question, or a unit gone part-way (the link message), the
    // records read so far come back but no file is written; from a unit that
    // cannot send the table back the operator is told so once and the
    // never-read records come back, no file written. nullopt when the file
    // could not be read or written (the operator has been told).
    std::optional<std::vector<std::string>> Load();

    // A fresh copy of the table from the encoder. The data file is replaced (the
    // old one kept as .BAK) only when the download ran to its end; a silent unit,
    // a table the unit does not hold, a No, a unit gone part-way (the link
    // message), or a unit that answered no slot at all
    // leave the file and its .BAK as they were, and so does a unit that cannot send
    // the table back, which the operator is told once. Returns the new records, or
    // nullopt when nothing changed.
    std::optional<std::vector<std::string>> Download();

    // Sends the file's records in slot order, at most SlotCount() of them, and
    // stops at the first one the encoder does not take. Nothing is sent when
    // the identification before it fell short, found the table lacking, or
    // found another unit or other table rules than the table was loaded for
    // (said once; the next Upload sends). Records never read are
    // skipped. A record the encoder's layout cannot carry stops the run before
    // anything is sent. True when the run ended as done.
    bool Upload(const TransferCallbacks& progress = {});

    // Sends the record to the encoder (when the table is supported) and writes it
    // in place at the slot. When the encoder does not take it, the operator may
    // keep it in the file only; false when not stored. A record the encoder's
    // layout cannot carry is refused with the codec's message, and not stored.
    bool SaveSlot(int slot, const std::string& record);
    // As SaveSlot, with the write the caller built (a dialog may send more than
    // the record keeps); no write stores the record in the file only.
    bool SaveSlot(int slot, const std::string& record, const std::optional<SlotWrite>& write);

private:
    enum class DownloadEnd {
        Whole,
        Cancelled, // a No to the retry question, or the program is closing
        Lost,      // a slot failed, the question silenced, and the unit no longer answers the probe
    };
    // Reads all slots into memory, asking on failed slots; once the operator
    // asked not to be asked again, a failed slot ends the reading when the unit
    // does not answer the probe either, and stays blank when it does.
    DownloadEnd downloadSlots(std::vector<std::string>& records, int& filled) const;
    bool writeWhole(const std::vector<std::string>& records) const;
    // The unit and what its table goes by (layout, size, support), as the
    // last identification found them.
    std::string unitRules() const;
    bool send(const SlotWrite& write) const;

    MessageTableParams params_;
    std::shared_ptr<const MessageTableCodec> codec_;
    // unitRules() when the table was last loaded or downloaded; empty before.
    std::string loadedFor_;
};

// The fast-key and PABX layout: TableMessage records (number, 30-character
// text), read with letter + slot + "?" and written with letter + slot + text + "W".
class TableMessageCodec : public MessageTableCodec {
public:
    explicit TableMessageCodec(std::string letter) : letter_(std::move(letter)) {}

    std::size_t RecordLength() const override;
    std::string NumberedRecord(int slot) const override;
    SlotRead ReadSlot(int slot, std::string& record) const override;
    int RecordSlot(const std::string& record) const override;
    bool NeverRead(const std::string& record) const override;
    SlotWrite WriteOf(const std::string& record) const override;

    // The record a save stores: the slot and the typed text without its outer
    // spaces, padded with spaces (or cut) to 30 characters.
    static std::string EditedRecord(int slot, std::string_view text);

private:
    std::string letter_;
};
