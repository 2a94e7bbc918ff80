#pragma once
// A message table against the simulated encoder: the pump, an empty data
// folder, scripted message boxes, and data-file images built by hand.

#include <QDir>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "KS_Globals.h"
#include "KS_Paging.h"
#include "KS_Registry.h"
#include "KS_String.h"
#include "LinkSimBackend.h"
#include "LinkTestSupport.h"
#include "RecordFile.h"
#include "TestSupport.h"

inline std::string readFile(const std::string& name)
{
    std::ifstream in(DataFilePath(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}
inline void writeFile(const std::string& name, const std::string& bytes)
{
    std::ofstream(DataFilePath(name), std::ios::binary | std::ios::trunc) << bytes;
}
// One TableMessage record as the file holds it; unread: the text never set.
inline std::string record(const std::string& no, const std::string& text) { return no + text + std::string(67, '\0'); }
inline std::string unread(const std::string& no) { return record(no, std::string(30, '\0')); }
inline std::string padded(const std::string& text) { return PadRight(text, 30); }

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
        QDir(QString::fromStdString(MakeDataFolder())).removeRecursively();
        MakeDataFolder();
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

    sim::Engine engine; // model X
    std::unique_ptr<LinkHarness> link;
    ScriptedMessages messages;
    StatusLog status;
};
