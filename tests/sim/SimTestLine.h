#pragma once
// A host on the simulator's line, tick by tick: what it writes goes in at the
// current tick, and each step forward collects what the unit has sent.

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

#include "SimDevice.h"
#include "SimEngine.h"

struct SimLine {
    sim::Engine unit;
    std::int64_t tick = 100;

    // Advances the given number of ticks and returns what arrived meanwhile.
    std::string Run(int ticks)
    {
        std::string out;
        for (int i = 0; i < ticks; ++i)
            out += unit.Transmit(++tick);
        return out;
    }

    // Writes the bytes and returns what arrives within the given number of ticks.
    std::string Send(std::string_view bytes, int ticks = 3)
    {
        unit.Receive(bytes, tick);
        return Run(ticks);
    }

    // Sends each line in turn and returns all that came back.
    std::string SendEach(std::initializer_list<std::string_view> lines)
    {
        std::string out;
        for (const auto bytes : lines)
            out += Send(bytes);
        return out;
    }
};

// The same line with a device on it in place of the encoder.
struct DeviceLine : SimLine {
    explicit DeviceLine(std::shared_ptr<sim::Device> d)
        : device(std::move(d))
    {
        unit.SetDevice(device);
    }
    std::shared_ptr<sim::Device> device;
};
