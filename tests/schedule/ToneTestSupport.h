#pragma once
// The simulator on the deterministic pump, identified as a given model, with
// a fresh data folder: the far end of every tone schedule test.

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "DataFileHelpers.h"
#include "KS_Database.h"
#include "KS_Events.h"
#include "KS_Globals.h"
#include "KS_Paging.h"
#include "LinkSimBackend.h"
#include "LinkTestSupport.h"
#include "TestSupport.h"

using Lines = std::vector<std::string>;

struct SimUnit {
    explicit SimUnit(char letter)
    {
        MakeDataFolder();
        engine.SetModel(letter);
        link = std::make_unique<LinkHarness>(std::make_unique<SimBackend>(engine));
        DetectEncoder();
        engine.ClearTranscript();
    }
    // The host's lines that begin with the prefix, without their CR.
    Lines hostLines(const std::string& prefix) const
    {
        Lines lines;
        for (const auto& entry : engine.Transcript())
            if (entry.fromHost && entry.bytes.rfind(prefix, 0) == 0)
                lines.push_back(entry.bytes.substr(0, entry.bytes.size() - 1));
        return lines;
    }
    // Every later line that begins with the pattern ("": every line) is answered with the fault.
    void Fault(sim::FaultKind kind, const char* pattern)
    {
        engine.AddFault({.kind = kind, .pattern = pattern, .times = 0});
    }

    sim::Engine engine;
    std::unique_ptr<LinkHarness> link;
};

// From now on each yield pumps one tick as the test pump does; the first one
// also runs act, inside the wait under way (a listing's status beeps, a
// download). InstallTickPump() puts the plain pump back.
inline void ActInTheNextWait(std::function<void()> act)
{
    SetYieldHook([act = std::move(act), done = false]() mutable {
        AdvanceTick();
        PollEncoderReply();
        if (!std::exchange(done, true))
            act();
    });
}
