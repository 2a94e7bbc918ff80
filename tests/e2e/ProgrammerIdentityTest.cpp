// The windows that run the encoder detection on a device give the console
// back the whole encoder it had, firmware text and table sizes included.
#include <QCoreApplication>
#include <QLabel>
#include <QPointer>
#include <gtest/gtest.h>
#include <functional>
#include <sstream>
#include <tuple>

#include "ConsoleHarness.h"
#include "KS_GEN_SpeakerProgrammer.h"
#include "KS_GEN_TimeReceiverProgrammer.h"
#include "CommPort.h"
#include "KS_Globals.h"
#include "KS_Paging.h"
#include "KS_Registry.h"
#include "KS_MainForm.h"
#include "SimDevices.h"
#include "SimProfile.h"
#include "SimSpeaker.h"

namespace {

// What detection writes, as the message tables, tone windows and timers read it.
std::string EncoderSeen()
{
    std::ostringstream out;
    out << gEncoderModelName << '|' << gEncoderModelLetter << '|' << gEncoderFamily << '|' << gEncoderVersion << '|'
        << gEncoderVersionText << '|' << gEncoderSerialNumber << '|' << gEncoderIdentified << gEncoderOptionFlag << '|'
        << gAlarmIndexOffset << '|' << gEncoderSupportsAlarm << gEncoderSupportsPABX << gEncoderSupportsFastkey
        << gEncoderSupportsFreetext << gEncoderSupportsWireless << '|' << gAlarmMessageCount << ','
        << gPABXMessageCount << ',' << gFastkeyMessageCount << ',' << gFreetextMessageCount << ','
        << gWirelessMessageCount << '|' << gToneGenSupported << gToneCalendarSupported << gToneEventsSupported << '|'
        << gToneCalendarEventsPerDay << '|' << gIdentityUnanswered << gToneGenUnanswered << gToneCalendarUnanswered
        << gAlarmSizeUnanswered << gPABXSizeUnanswered << gFastkeySizeUnanswered << gFreetextSizeUnanswered
        << gWirelessSizeUnanswered << '|' << gComSettings;
    return out.str();
}

} // namespace

TEST(ProgrammerIdentity, EveryDetectingWindowLeavesTheConsoleTheEncoderItHad)
{
    const struct {
        const char* model;
        std::function<std::shared_ptr<sim::Device>()> device;
        std::function<QWidget*(KS_MainForm&)> window;
    } windows[] = {
        {"RL7990", [] { return std::make_shared<sim::TimeReceiverDevice>(); },
         [](KS_MainForm& form) { return new KS_GEN_TimeReceiverProgrammer(&form); }},
        {"PA Speaker", [] { return std::make_shared<sim::SpeakerDevice>(); },
         [](KS_MainForm& form) { return new KS_GEN_SpeakerProgrammer(&form); }},
    };
    // The device answers at another speed than the encoder: the detection's
    // speed search moves the port and saves the speed it found.
    for (const auto& [letter, firmware, deviceSpeed] :
         {std::tuple{'X', "3.20", "38400,N,8,1"}, std::tuple{'R', "1.05", "9600,N,8,1"}})
        for (const auto& w : windows) {
            SCOPED_TRACE(std::string(1, letter) + " " + firmware + " and the " + w.model);
            ConsoleHarness harness;
            sim::Profile profile = sim::ProfileFor(letter);
            profile.version = firmware;
            harness.engine.SetProfile(profile);
            // Busy through its wireless size: that the table is not known to be lacking is kept too.
            harness.engine.AddFault({.kind = sim::FaultKind::Silence, .pattern = "W000?", .match = sim::MatchMode::Exact,
                                     .times = 0});
            KS_MainForm& form = harness.Load();
            harness.engine.ClearFaults();
            ASSERT_EQ(gEncoderVersionText.substr(0, 4), firmware);
            ASSERT_TRUE(gWirelessSizeUnanswered);
            const std::string before = EncoderSeen();

            harness.engine.SetDevice(w.device());
            harness.engine.SetUnitSettings(deviceSpeed);
            QPointer<QWidget> window = w.window(form);
            form.OpenOwnedWindow(window, false);
            EXPECT_EQ(gEncoderModelName, w.model);
            EXPECT_EQ(gComSettings, deviceSpeed);
            window->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            harness.engine.SetDevice(nullptr);
            harness.engine.SetUnitSettings("38400,N,8,1");
            EXPECT_EQ(EncoderSeen(), before);
            EXPECT_EQ(gEncoderVersionText.substr(0, 4), firmware);
            EXPECT_EQ(gComm->Settings(), "38400,N,8,1");
            EXPECT_NE(GetConfigSetting("COMPortSettings"), "9600,N,8,1"); // the device's speed is not kept
            EXPECT_EQ(form.lblConnectionStatus->text().toStdString(), "Connected to " + gEncoderModelName);
            EXPECT_EQ(form.mnuDevicesOptions[3]->text().toStdString(), "&Upload Pagers to " + gEncoderModelName);
            // Pager.DBS keeps the encoder's codes: a device is not remembered as the unit.
            EXPECT_EQ(GetConfigSetting("Last Encoder Model"), std::string(1, letter));
            EXPECT_TRUE(IsLinkResponding());
        }
}
