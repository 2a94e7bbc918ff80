#pragma once
// The simulator on the deterministic pump, identified as a given model, with
// a fresh data folder: the far end of every tone schedule test.

#include <memory>
#include <string>
#include <vector>

#include "KS_Paging.h"
#include "LinkSimBackend.h"
#include "LinkTestSupport.h"
#include "TestSupport.h"

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
    std::vector<std::string> hostLines(const std::string& prefix) const
    {
        std::vector<std::string> lines;
        for (const auto& entry : engine.Transcript())
            if (entry.fromHost && entry.bytes.rfind(prefix, 0) == 0)
                lines.push_back(entry.bytes.substr(0, entry.bytes.size() - 1));
        return lines;
    }
    sim::Engine engine;
    std::unique_ptr<LinkHarness> link;
};
