#pragma once
// The voice message for voice pagers: one take of at most 12 seconds,
// recorded into MsgTemp.WAV in the program's folder. The main window keeps
// the Record button and the progress widgets; everything else of a take
// lives here, so its handlers stay a few lines each.

#include <QString>
#include <cstdint>
#include <string>

class WaveRecorder;

inline constexpr std::int64_t kVoiceMessageSpanMs = 12000;
inline constexpr int kVoiceMessageSeconds = static_cast<int>(kVoiceMessageSpanMs / 1000);
inline constexpr int kVoiceStatusIntervalMs = 1000;

// The program folder's MsgTemp.WAV, which a voice page needs before it is sent.
QString VoiceMessagePath();

// Deletes the message recorded before, sets the recorder up for a take on
// path (wave audio, milliseconds, a status update a second, 0 to 12000 ms)
// and opens it. False when there is no device to record from.
bool OpenVoiceRecorder(WaveRecorder& recorder, const QString& path);

// Record clicked while idle: a fresh take on VoiceMessagePath(). False, with
// the reason on the status line and the recorder closed, when it cannot
// record; the button then stays "R&ecord".
bool StartVoiceRecording(WaveRecorder& recorder);

// Record clicked while recording (or the take ran out): stops, saves
// MsgTemp.WAV and closes the recorder. A take cut short by the sound card or
// a file that could not be written is shown in a message box. False then.
bool FinishVoiceRecording(WaveRecorder& recorder);

// For the status event: the take is over by itself (12 seconds reached, or
// the sound card gave up) and the caller should run its stop.
bool VoiceRecordingEnded(const WaveRecorder& recorder);

// Why no voice message can be recorded (no sound input, or none that takes
// the format), for the operator; empty when the recorder can record.
std::string RecordUnavailableText(const WaveRecorder& recorder);

// "3/12 sec"
std::string RecordProgressText(int secondsRecorded);
