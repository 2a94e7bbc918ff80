#pragma once
// A fast-key or PABX table against the simulated encoder, with the pump, a
// data folder of the test's own and scripted message boxes.

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "KS_Globals.h"
#include "KS_Paging.h"
#include "KS_Registry.h"
#include "LinkSimBackend.h"
#include "LinkTestSupport.h"
#include "RecordFile.h"
#include "TestSupport.h"

inline std::string readFile(const std::string& name)
{
    std::string bytes;
    RecordFile file(DataFilePath(name), 1);
    std::vector<std::string> records;
    file.ReadAll(records);
    for (const auto& r : records)
        bytes += r;
    return bytes;
}
inline void writeFile(const std::string& name, const std::string& bytes)
{
    std::ofstream(DataFilePath(name), std::ios::binary | std::ios::trunc) << bytes;
}
// One TableMessage record as the file holds it.
inline std::string record(const std::string& no, const std::string& text)
{
    return no + text + std::string(67, '\0');
}
inline std::string unread(const std::string& no) { return record(no, std::string(30, '\0')); }
inline std::string padded(const std::string& text) { return text + std::string(30 - text.size(), ' '); }

// A fault that spoils every matching line until cleared.
inline sim::Fault lastingFault(sim::FaultKind kind, const std::string& pattern, sim::MatchMode match)
{
    sim::Fault fault;
    fault.kind = kind;
    fault.pattern = pattern;
    fault.match = match;
    fault.times = 0;
    return fault;
}

// One per case: a table-driven test builds a fresh one for each row.
struct TableRig {
    TableRig()
    {
        MakeDataFolder();
        engine.SetModel('X');
        link = std::make_unique<LinkHarness>(std::make_unique<SimBackend>(engine));
        DetectEncoder();
        engine.ClearTranscript();
    }
    // The lines the unit received (CR removed), the bare probes left out.
    std::vector<std::string> hostLines()
    {
        std::vector<std::string> lines;
        for (const auto& entry : engine.Transcript())
            if (entry.fromHost && entry.bytes != "\r")
                lines.push_back(entry.bytes.substr(0, entry.bytes.size() - 1));
        engine.ClearTranscript();
        return lines;
    }
    sim::Engine engine;
    std::unique_ptr<LinkHarness> link;
    ScriptedMessages messages;
    StatusLog status;
};
