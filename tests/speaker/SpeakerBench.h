#pragma once
// The simulator's speaker on the tick-pumped link, with or without the
// window; what the unit received is read back from the transcript.

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "KS_GEN_SpeakerProgrammer.h"
#include "KS_Paging.h"
#include "LinkSimBackend.h"
#include "LinkTestSupport.h"
#include "SimSpeaker.h"
#include "TestSupport.h"

using Lines = std::vector<std::string>;

struct SpeakerBench {
    explicit SpeakerBench(std::string version = "3.14", bool supervision = true, bool withWindow = true)
        : speaker(std::make_shared<sim::SpeakerDevice>(std::move(version), supervision))
    {
        engine.SetDevice(speaker);
        link = std::make_unique<LinkHarness>(std::make_unique<SimBackend>(engine));
        // The window detects the unit as it loads; the read alone relies on an earlier detection.
        if (withWindow)
            window = std::make_unique<KS_GEN_SpeakerProgrammer>();
        else
            DetectEncoder();
        engine.ClearTranscript();
    }

    // The lines the unit received since the last call, without CR and without bare probes.
    Lines lines()
    {
        Lines out;
        for (const auto& entry : engine.Transcript())
            if (entry.fromHost && entry.bytes != "\r")
                out.push_back(entry.bytes.substr(0, entry.bytes.size() - 1));
        engine.ClearTranscript();
        return out;
    }

    // Every later answer of the kind to lines beginning with the pattern ("": the probe).
    void Fault(sim::FaultKind kind, std::string pattern)
    {
        const auto match = pattern.empty() ? sim::MatchMode::Exact : sim::MatchMode::Prefix;
        engine.AddFault({kind, std::move(pattern), match, 5, "", 0, 0});
    }

    sim::Engine engine;
    std::shared_ptr<sim::SpeakerDevice> speaker;
    ScriptedMessages messages;
    std::unique_ptr<LinkHarness> link;
    std::unique_ptr<KS_GEN_SpeakerProgrammer> window;
};

inline bool sent(const Lines& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}
