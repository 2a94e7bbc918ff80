#include "VoiceMessage.h"

#include <QFile>

#include "KS_Messages.h"
#include "KS_String.h"
#include "SettingsFile.h"
#include "WaveRecorder.h"

namespace {

// The recorder speaks UTF-8, which may name the program folder's path; the
// status line and the boxes take the code page.
std::string recorderText(const std::string& text) { return FromQString(QString::fromStdString(text)); }

} // namespace

QString VoiceMessagePath() { return ProgramFolder() + QLatin1String("/MsgTemp.WAV"); }

bool OpenVoiceRecorder(WaveRecorder& recorder, const QString& path)
{
    // A message left from an earlier take must never go out with a later page.
    if (QFile::exists(path))
        QFile::remove(path);
    recorder.SetDeviceType("WaveAudio");
    recorder.SetFileName(path);
    recorder.SetTimeFormat(WaveRecorder::TimeFormat::Milliseconds);
    recorder.SetUpdateInterval(kVoiceStatusIntervalMs);
    recorder.SetFrom(0);
    recorder.SetTo(kVoiceMessageSpanMs);
    return recorder.Command("Open");
}

bool StartVoiceRecording(WaveRecorder& recorder)
{
    if (!OpenVoiceRecorder(recorder, VoiceMessagePath())) {
        ReportStatus(recorderText(recorder.ErrorText()), true);
        return false;
    }
    ReportStatus("Recording voice message ...");
    if (!recorder.Command("Record")) {
        const std::string reason = recorderText(recorder.ErrorText());
        recorder.Command("Close");
        ReportStatus(reason, true);
        return false;
    }
    return true;
}

bool FinishVoiceRecording(WaveRecorder& recorder)
{
    ReportStatus("Record ended ...");
    std::string problem;
    if (!recorder.IsOpen()) {
        // Reopening the recorder (applying the configuration) ends a take in progress.
        problem = "The voice message was not saved: the recorder was closed before the recording ended. "
                  "Please record the message again.";
    } else {
        problem = recorderText(recorder.CaptureError());
        recorder.Command("Stop");
        if (!recorder.Command("Save"))
            problem = recorderText(recorder.ErrorText());
    }
    recorder.Command("Close");
    if (!problem.empty())
        ShowMessage(problem, kButtonsOk, kAnswerOk, kIconCritical);
    ReportStatus("Please select a user to page ...");
    return problem.empty();
}

bool VoiceRecordingEnded(const WaveRecorder& recorder)
{
    return recorder.IsOpen() && (!recorder.IsRecording() || recorder.Position() >= kVoiceMessageSpanMs);
}

std::string RecordUnavailableText(const WaveRecorder& recorder)
{
    if (recorder.CanRecord())
        return {};
    const std::string reason = recorder.OpenError().empty() ? "no sound input was found." : recorderText(recorder.OpenError());
    return "Voice messages cannot be recorded: " + reason;
}

std::string RecordProgressText(int secondsRecorded)
{
    return std::to_string(secondsRecorded) + "/" + std::to_string(kVoiceMessageSeconds) + " sec";
}
