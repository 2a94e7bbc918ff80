#pragma once
// The console's voice recorder: a wave-audio device that records from the
// sound card into memory and saves the take as a PCM WAV file, driven by the
// same command strings the console has always sent it ("Open", "Record",
// "Stop", "Save", "Close").
//
// Capture goes through ALSA without ever blocking the window thread: the PCM
// is opened non-blocking and a short timer collects whatever the card has
// captured since the last pass. Without a usable capture device "Open" fails,
// CanRecord() stays false and ErrorText() says why; nothing else is affected.

#include <QObject>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <string>
#include <string_view>

// ALSA's handle types, declared as alsa/asoundlib.h does so that users of the
// recorder need not see the ALSA headers.
typedef struct _snd_pcm snd_pcm_t;
typedef struct _snd_config snd_config_t;

struct WaveFormat {
    std::uint32_t sampleRate = 11025;
    std::uint16_t channels = 1;
    std::uint16_t bitsPerSample = 16;
};

// A complete RIFF/WAVE file (44-byte PCM header, then the samples) as bytes.
std::string BuildWaveFile(const WaveFormat& format, std::string_view samples);

class WaveRecorder : public QObject {
    Q_OBJECT
public:
    enum class TimeFormat { Milliseconds };

    // Voice quality for pagers: mono, 16-bit, 11025 samples a second.
    static constexpr WaveFormat kRecordFormat{11025, 1, 16};

    explicit WaveRecorder(QObject* parent = nullptr);
    ~WaveRecorder() override;

    // The ALSA PCM to capture from: $PAGORA_AUDIO_DEVICE, else "default".
    // A non-empty privateConfig is a complete ALSA configuration text used
    // instead of the system's (tests point the recorder at a file this way).
    void SetAudioDevice(std::string pcmName, std::string privateConfig = {});
    const std::string& AudioDevice() const { return pcmName_; }

    void SetDeviceType(std::string_view deviceType) { deviceType_ = deviceType; }
    const std::string& DeviceType() const { return deviceType_; }
    void SetFileName(const QString& fileName) { fileName_ = fileName; }
    const QString& FileName() const { return fileName_; }
    void SetTimeFormat(TimeFormat format) { timeFormat_ = format; }
    TimeFormat GetTimeFormat() const { return timeFormat_; }
    // Milliseconds between StatusUpdate signals while the device is open; 0 for none.
    void SetUpdateInterval(int milliseconds);
    int UpdateInterval() const { return updateInterval_; }
    // The span a recording covers, in milliseconds; recording stops by itself at To.
    void SetFrom(std::int64_t milliseconds) { from_ = milliseconds; }
    std::int64_t From() const { return from_; }
    void SetTo(std::int64_t milliseconds) { to_ = milliseconds; }
    std::int64_t To() const { return to_; }

    // Runs "Open", "Record", "Stop", "Save" or "Close" (any letter case).
    // False when the command failed; ErrorText() then says why (UTF-8, as are
    // the other texts here: they may hold the file's path).
    bool Command(std::string_view command);
    const std::string& ErrorText() const { return errorText_; }
    // Why the current take ended before To (the card failed), else empty.
    const std::string& CaptureError() const { return captureError_; }

    // Milliseconds recorded so far, counted in captured samples.
    std::int64_t Position() const;
    // Whether the last "Open" found a capture device that takes our format;
    // kept after "Close" so the console can decide on its Record button.
    bool CanRecord() const { return canRecord_; }
    // Why the last "Open" found nothing to record from; kept after "Close" as CanRecord() is.
    const std::string& OpenError() const { return openError_; }
    bool IsOpen() const { return pcm_ != nullptr; }
    // False again once the recording has reached To or the device failed.
    bool IsRecording() const { return recording_; }
    const WaveFormat& Format() const { return format_; }

    // Takes in what the device has captured since the last call. The capture
    // timer runs it; tests call it directly to drive a recording without waiting.
    void ReadCapturedAudio();

signals:
    // Every UpdateInterval milliseconds while the device is open.
    void StatusUpdate();

private:
    bool Open();
    bool Record();
    void Stop();
    bool Save();
    void Close();
    void EndRecording();
    bool Fail(std::string text);
    std::int64_t FrameLimit() const;

    std::string pcmName_;
    std::string privateConfig_;
    std::string deviceType_;
    QString fileName_;
    TimeFormat timeFormat_ = TimeFormat::Milliseconds;
    int updateInterval_ = 0;
    std::int64_t from_ = 0;
    std::int64_t to_ = 0;

    snd_pcm_t* pcm_ = nullptr;
    snd_config_t* config_ = nullptr;
    WaveFormat format_ = kRecordFormat;
    std::int64_t bufferFrames_ = 0;
    std::string samples_;
    std::int64_t frames_ = 0;
    bool canRecord_ = false;
    bool recording_ = false;
    bool reachedTo_ = false;
    std::string errorText_;
    // Why the last "Open" failed, for a "Record" that follows it.
    std::string openError_;
    std::string captureError_;

    QTimer* captureTimer_ = nullptr;
    QTimer* statusTimer_ = nullptr;
};
