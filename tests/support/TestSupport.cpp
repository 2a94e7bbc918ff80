#include "TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "KS_Clock.h"
#include "KS_Database.h"
#include "KS_Events.h"
#include "KS_Forms.h"
#include "KS_General.h"
#include "KS_Globals.h"
#include "KS_Paging.h"
#include "KS_SYS_Message.h"

void ResetProgramStateForTest()
{
    SetMessageAnswerHook({});
    SetYieldHook({});
    SetStatusSink({});
    SetClockForTest({});
    SetDocumentViewerForTest({});
    gHelpFile.clear();
    ResetExitForTest();
    ResetLinkLedger();
    WhenNoConversation({});
    gDelayTicks = 0;
    gDataFolder.clear();
    gDatabaseFound = false;
    gAdminMode = false;
    gAutoHide = false;
    gAdminPassword.clear();
    gMessageResult = 0;
    gMessageOption = false;
    gReceiverIdle = true;
    gReplyBuffer.clear();
    gReplyAcknowledged = false;
    gProbeAnswered = false;
    gModemConnected = false;
    gModemFailed = false;
    gModemReady = false;
    gConnectionType = 1;
    gComSettings = "38400,N,8,1";
    gEncoderModelName = "encoder";
    gEncoderModelLetter = "N/A";
    gEncoderIdentified = false;
    gEncoderSerialNumber.clear();
    gEncoderVersion = 0;
    gEncoderVersionText.clear();
    gAcknowledgedLine.clear();
    gEncoderFamily.clear();
    gLastEncoderModelLetter.clear();
    gLastEncoderFamily.clear();
    gFastkeyMessageCount = 10;
    gWirelessMessageCount = 200;
    gToneGenSupported = false;
    gToneCalendarSupported = false;
    gToneCalendarEventsPerDay = 0;
    gToneEventsSupported = false;
    gToneGenFile.clear();
    gToneGenCalendarFile.clear();
    gSchedule.clear();
    gSBChars = "32";
    gSBLines = "3";
    gToneSchedule.clear();
    SetToneDownloadHooks({});
}

namespace {
std::int16_t escapeAnswer(int buttons)
{
    switch (buttons) {
    case kButtonsOkCancel:
    case kButtonsCancel:
    case kButtonsYesNoCancel: return kAnswerCancel;
    case kButtonsYesNo: return kAnswerNo;
    default: return kAnswerOk;
    }
}
} // namespace

ScriptedMessages::ScriptedMessages()
{
    SetMessageAnswerHook([this](const MessageRequest& request) -> std::optional<MessageAnswer> {
        shown_.push_back(request);
        pleaseWaitUp_.push_back(LoadMessageShowing());
        if (!answers_.empty()) {
            const MessageAnswer answer = answers_.front();
            answers_.pop_front();
            return answer;
        }
        if (always_ != 0)
            return MessageAnswer{always_, false};
        ADD_FAILURE() << "unexpected message box: " << request.message;
        return MessageAnswer{escapeAnswer(request.buttons), false};
    });
}

ScriptedMessages::~ScriptedMessages() { SetMessageAnswerHook({}); }

void ScriptedMessages::Answer(std::int16_t result, bool option) { answers_.push_back(MessageAnswer{result, option}); }
void ScriptedMessages::AnswerAlways(std::int16_t result) { always_ = result; }

std::vector<std::string> ScriptedMessages::texts() const
{
    std::vector<std::string> result;
    for (const auto& request : shown_)
        result.push_back(request.message);
    return result;
}

StatusLog::StatusLog()
{
    SetStatusSink([this](const std::string& text, bool isError, int beeps) { reports.push_back({text, isError, beeps}); });
}

StatusLog::~StatusLog() { SetStatusSink({}); }

std::vector<std::string> StatusLog::texts() const
{
    std::vector<std::string> result;
    for (const auto& report : reports)
        result.push_back(report.text);
    return result;
}

std::string MakeDataFolder()
{
    // Lives under the test's private data home, which the test main removes.
    const QString base = qEnvironmentVariable("XDG_DATA_HOME");
    QDir dir(base);
    dir.mkpath("data");
    gDataFolder = dir.filePath("data").toStdString();
    return gDataFolder;
}

KS_SYS_Message* VisibleMessageBox()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<KS_SYS_Message*>(w); box && box->isVisible())
            return box;
    return nullptr;
}
