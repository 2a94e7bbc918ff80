#pragma once
// A wireless device on the programming lead, in place of the encoder. Every
// device speaks the same small language:
//   CR alone                 -> "?99" CR (the device is there)
//   "?" mnemonic [ "?" ]     -> value "*" CR
//   "P" mnemonic value       -> "*" CR, and the value is kept
//   "?XR"                    -> "*" CR, every setting back to its factory value
//   "XT"                     -> "*" CR, back to normal mode
// Anything else is refused with "?99" CR. A device model only declares its
// settings (and, where its firmware has rules, which of them it answers or
// takes); the base keeps the state, so a read after a write returns what was
// written. The engine that hosts the device applies its faults and keeps the
// transcript as it does for the encoder.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <regex>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

class Device {
public:
    // The bytes to send back (CR included), or nothing for silence.
    using Reply = std::optional<std::string>;

    explicit Device(std::string name);
    virtual ~Device() = default;
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    const std::string& Name() const { return name_; }

    // One host line, without its CR.
    Reply Handle(const std::string& line, std::int64_t tick);

    // The value held under a mnemonic ("" for one the device does not have).
    std::string Value(std::string_view mnemonic) const;
    // Sets a value as if it had been programmed, without the write's checks
    // (test set-up, pagora-sim --set). False for an unknown mnemonic.
    bool SetValue(std::string_view mnemonic, std::string value);
    // Every value back to its factory setting.
    void FactoryReset();
    int ResetCount() const { return resets_; }
    // The settings written since the device was made, in order ("C1" + "0001234").
    const std::vector<std::string>& Writes() const { return writes_; }

    // A device that also takes messages not ended by a CR (a file upload)
    // tells, from the first bytes of what is arriving, the whole length of
    // such a message; 0 means the bytes form an ordinary line.
    virtual std::size_t RawLength(std::string_view arriving) const;
    virtual Reply HandleRaw(const std::string& message, std::int64_t tick);
    // Line settings the device moved itself to after its last answer; the
    // engine takes them once, after that answer has gone out.
    std::optional<std::string> TakeLineSettings();

    // Devices with a button answer only in programming mode, which a press of
    // the button starts and "XT" ends. With the automatic button (the default)
    // the operator is taken to press it whenever the console asks: a probe in
    // normal mode starts programming mode.
    bool ProgrammingMode() const { return programming_; }
    void PressButton() { programming_ = true; }
    void SetAutomaticButton(bool on) { automaticButton_ = on; }

protected:
    struct Setting {
        std::string mnemonic;
        std::string factory;
        // The values a write may bring, as an ECMAScript expression; empty:
        // the setting cannot be written.
        std::string writable;
    };
    void Define(const Setting& setting);
    void SetNeedsButton(bool on);
    void SwitchLineSettings(std::string settings) { lineSettings_ = std::move(settings); }

    // Firmware rules: whether the device answers the query or takes the write
    // now. Both are asked only for declared settings.
    virtual bool Answers(std::string_view mnemonic) const;
    virtual bool Takes(std::string_view mnemonic, std::string_view value) const;
    // A line of the device's own, tried before the shared language; nothing
    // when the line is not one of its own.
    virtual std::optional<Reply> OwnLine(const std::string& line, std::int64_t tick);

    static std::string Acknowledged() { return "*\r"; }
    static std::string Refused() { return "?99\r"; }
    static std::string Answer(std::string_view value) { return std::string(value) + "*\r"; }

private:
    struct Held {
        Setting setting;
        std::optional<std::regex> pattern;
        std::string value;
    };
    Reply Query(std::string_view mnemonic) const;
    Reply Write(std::string_view rest);

    std::string name_;
    std::map<std::string, Held, std::less<>> settings_;
    std::vector<std::string> writes_;
    int resets_ = 0;
    bool needsButton_ = false;
    bool automaticButton_ = true;
    bool programming_ = true;
    std::optional<std::string> lineSettings_;
};

// The devices pagora-sim --device knows, by name; nullptr for another name.
std::unique_ptr<Device> MakeDevice(std::string_view name);
// Their names, for the usage text.
std::vector<std::string> DeviceNames();

// A firmware version text ("2.18") in hundredths (218); 0 when it is no number.
int VersionHundredths(std::string_view text);

} // namespace sim
