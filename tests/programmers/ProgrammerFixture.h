#pragma once
// A programmer window over the main window, with a simulated device on the
// port in place of the encoder the console found at start-up.

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ConsoleHarness.h"
#include "KS_Clock.h"
#include "KS_Events.h"
#include "KS_Globals.h"
#include "KS_Paging.h"
#include "KS_MainForm.h"
#include "KS_ProgrammerFrame.h"
#include "LinkSimBackend.h"
#include "LinkTestSupport.h"
#include "SimDevices.h"

template <class Window, class Device>
struct ProgrammerFixture : testing::Test {
    ProgrammerFixture()
    {
        form.OpenOwnedWindow(window, false);
        harness.HostLines();
    }
    ~ProgrammerFixture() override
    {
        if (window)
            window->close();
    }
    // The device's lines since the last call, bare probes left out.
    std::vector<std::string> Sent() { return harness.HostLines(); }
    std::string Info() const { return window->lblInfo->text().toStdString(); }
    // The text as the operator's keys leave it: his, for the rules that judge what he typed.
    static void Type(QLineEdit* box, const char* text)
    {
        box->setText(QString::fromLatin1(text));
        box->setModified(true);
    }
    // Leaves the box as the Tab key would.
    static void Leave(QWidget* box)
    {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(box, &out);
        QApplication::processEvents();
    }
    // The hidden key combination, pressed on the window.
    void Key(int key = KS_ProgrammerFrame::kServiceKey)
    {
        QKeyEvent press(QEvent::KeyPress, key, KS_ProgrammerFrame::kServiceModifiers);
        QApplication::sendEvent(window.data(), &press);
    }
    // Every later line that begins with the pattern is refused.
    void Refuse(const char* pattern, sim::MatchMode match = sim::MatchMode::Prefix)
    {
        harness.engine.AddFault({.kind = sim::FaultKind::Refuse, .pattern = pattern, .match = match, .times = 0});
    }
    // The bare probe goes unanswered from now on: the device seems gone.
    void Unplug()
    {
        harness.engine.AddFault(
            {.kind = sim::FaultKind::Silence, .pattern = "", .match = sim::MatchMode::Exact, .times = 0});
    }

    // Every text lblInfo shows at a tick from now on (a step's failure text
    // lasts only its pause), each once in a row.
    std::vector<std::string> infoSeen;
    void WatchInfo()
    {
        SetYieldHook([this] {
            AdvanceTick();
            PollEncoderReply();
            if (window && (infoSeen.empty() || infoSeen.back() != Info()))
                infoSeen.push_back(Info());
        });
    }
    bool InfoShown(const std::string& text) const
    {
        return std::find(infoSeen.begin(), infoSeen.end(), text) != infoSeen.end();
    }

    // Some line the device got begins with the prefix.
    bool HostSent(std::string_view prefix) const
    {
        for (const auto& entry : harness.engine.Transcript())
            if (entry.fromHost && entry.bytes.starts_with(prefix))
                return true;
        return false;
    }
    // From now on the tray menu's Exit is chosen in the first pass of a wait
    // in which `when` holds; exitChosen tells whether it was.
    bool exitChosen = false;
    void ExitFromTheTrayWhen(std::function<bool()> when)
    {
        SetYieldHook([this, when = std::move(when)] {
            AdvanceTick();
            PollEncoderReply();
            if (!exitChosen && when()) {
                exitChosen = true;
                form.mnuPopupOptions[3]->trigger();
            }
        });
    }


    std::shared_ptr<Device> Attach(std::shared_ptr<Device> d)
    {
        harness.engine.SetDevice(d);
        return d;
    }

    ConsoleHarness harness{};
    KS_MainForm& form = harness.Load();
    // On the port before the window loads: some windows talk to the device at once.
    std::shared_ptr<Device> device = Attach(std::make_shared<Device>());
    QPointer<Window> window = new Window(&form);
};

using Lines = std::vector<std::string>;

// A device on the bare link, without the console: the module routines of the
// programmers against the simulator engine on the deterministic pump.
struct DeviceLine {
    explicit DeviceLine(std::shared_ptr<sim::Device> device)
    {
        gComSettings = "38400,N,8,1";
        gEncoderIdentified = false;
        engine.SetDevice(std::move(device));
        link = std::make_unique<LinkHarness>(std::make_unique<SimBackend>(engine));
        engine.ClearTranscript();
    }
    // The device's lines since the last call, without CR and bare probes.
    Lines Sent()
    {
        Lines out;
        for (const auto& entry : engine.Transcript())
            if (entry.fromHost && entry.bytes != "\r")
                out.push_back(entry.bytes.substr(0, entry.bytes.size() - (entry.bytes.ends_with('\r') ? 1 : 0)));
        engine.ClearTranscript();
        return out;
    }

    sim::Engine engine;
    std::unique_ptr<LinkHarness> link;
};
