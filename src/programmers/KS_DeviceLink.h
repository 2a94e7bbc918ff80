#pragma once
// The device conversations of every programmer window, on the encoder link:
// the probe, the device query (raw and table form) and the device setting,
// with the waits and tries each window gives.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// Probes up to `times` times with the given idle wait; true at the first answer.
bool ProbeDevice(std::int32_t idleTicks, int times = 1);

struct DeviceQueryOptions {
    std::int16_t expectedLength = 0;
    std::int32_t ticks = 0; // 0: the link's 8
    std::int16_t tries = 3;
    // A bare CR and a 40-tick wait after every unanswered try.
    bool pokeOnTimeout = false;
    // The link's table form, which puts a "?" of its own before the CR.
    bool tableForm = false;
};

// "?" + mnemonic (the command holds both) answered by value "*" CR; the value
// when it has the expected length, else "". `rawReply` receives the whole last line.
std::string DeviceQuery(std::string_view command, const DeviceQueryOptions& options,
                        std::string* rawReply = nullptr);
// The whole acknowledged reply line without "*" CR, for values of no fixed
// length (a model, a version text); nothing when no whole answer came.
std::optional<std::string> DeviceQueryLine(std::string_view command, const DeviceQueryOptions& options);

// What the device gave the conversations so far: the queries asked, and the
// items they brought. A value of its expected length counts by itself; a
// whole reply line (a version or model text) counts only once its caller
// found its item in it (CountDeviceItem), since any unit's answer is a line.
struct DeviceQueryTally {
    int asked = 0;
    int items = 0;
};
DeviceQueryTally DeviceQueriesSoFar();
void CountDeviceItem();
// Told the number of every query as it goes out (empty: no one); a read
// shows with it that it is still at work while the tries run.
void SetDeviceQueryWatcher(std::function<void(int asked)> watcher);

// "P" + mnemonic (or a bare control command: "?XR", "XT") and the value,
// answered by "*" CR; true when acknowledged. Every control character of the
// value goes out as a space.
bool DeviceSetting(std::string_view command, std::string_view value, std::int32_t ticks, std::int16_t retries);

// Waits the given ticks, letting window events run.
void PauseTicks(std::int32_t ticks);

// The encoder's identity and the link settings, taken when a window that runs
// its own detection on a device opens and put back when it closes, so the
// main window never goes on with a device's identity or its port speed.
class EncoderIdentityKeeper {
public:
    EncoderIdentityKeeper();
    ~EncoderIdentityKeeper();
    EncoderIdentityKeeper(const EncoderIdentityKeeper&) = delete;
    EncoderIdentityKeeper& operator=(const EncoderIdentityKeeper&) = delete;

    void Restore();

private:
    struct Saved;
    std::unique_ptr<Saved> saved_;
};
