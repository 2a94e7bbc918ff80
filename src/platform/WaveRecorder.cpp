#include "WaveRecorder.h"

#include <alsa/asoundlib.h>

#include <QSaveFile>
#include <algorithm>
#include <cerrno>
#include <limits>
#include <mutex>

namespace {

// Often enough that the card's buffer (half a second) never overruns, rarely
// enough that a recording costs next to no CPU.
constexpr int kCaptureIntervalMs = 20;
constexpr unsigned kBufferTimeUs = 500000;
// Recoveries from overruns allowed within one pass before the device counts as broken.
constexpr int kMaxRecoveriesPerPass = 3;

void putU16(std::string& out, std::size_t offset, std::uint16_t value)
{
    out[offset] = static_cast<char>(value & 0xFF);
    out[offset + 1] = static_cast<char>(value >> 8);
}

void putU32(std::string& out, std::size_t offset, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

void putTag(std::string& out, std::size_t offset, const char (&tag)[5])
{
    out.replace(offset, 4, tag, 4);
}

// ALSA writes its complaints to stderr by default; the recorder reports its
// own failures in words the operator can act on instead.
void quietAlsaErrors(const char*, int, const char*, int, const char*, ...) {}

void installQuietAlsaErrors()
{
    static std::once_flag once;
    std::call_once(once, [] { snd_lib_error_set_handler(&quietAlsaErrors); });
}

// Header layout of a canonical PCM wave file.
struct Offset {
    static constexpr std::size_t riffTag = 0, riffSize = 4, waveTag = 8;
    static constexpr std::size_t fmtTag = 12, fmtSize = 16, audioFormat = 20, channels = 22;
    static constexpr std::size_t sampleRate = 24, byteRate = 28, blockAlign = 32, bitsPerSample = 34;
    static constexpr std::size_t dataTag = 36, dataSize = 40, data = 44;
};

bool sameCommand(std::string_view given, std::string_view name)
{
    return std::equal(given.begin(), given.end(), name.begin(), name.end(), [](char a, char b) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
        return lower(a) == lower(b);
    });
}

} // namespace

std::string BuildWaveFile(const WaveFormat& format, std::string_view samples)
{
    constexpr std::uint16_t kPcm = 1;
    constexpr std::uint32_t kFmtChunkSize = 16;

    const std::uint16_t blockAlign = static_cast<std::uint16_t>(format.channels * format.bitsPerSample / 8);
    const auto dataSize = static_cast<std::uint32_t>(samples.size());
    // RIFF chunks are word-aligned: an odd data chunk is followed by a pad byte
    // that counts in the RIFF size but not in the data size.
    const std::size_t pad = samples.size() % 2;

    std::string out(Offset::data, '\0');
    putTag(out, Offset::riffTag, "RIFF");
    putU32(out, Offset::riffSize, static_cast<std::uint32_t>(Offset::data - 8 + samples.size() + pad));
    putTag(out, Offset::waveTag, "WAVE");
    putTag(out, Offset::fmtTag, "fmt ");
    putU32(out, Offset::fmtSize, kFmtChunkSize);
    putU16(out, Offset::audioFormat, kPcm);
    putU16(out, Offset::channels, format.channels);
    putU32(out, Offset::sampleRate, format.sampleRate);
    putU32(out, Offset::byteRate, format.sampleRate * blockAlign);
    putU16(out, Offset::blockAlign, blockAlign);
    putU16(out, Offset::bitsPerSample, format.bitsPerSample);
    putTag(out, Offset::dataTag, "data");
    putU32(out, Offset::dataSize, dataSize);
    out.append(samples);
    out.append(pad, '\0');
    return out;
}

WaveRecorder::WaveRecorder(QObject* parent)
    : QObject(parent)
{
    const QByteArray device = qgetenv("PAGORA_AUDIO_DEVICE");
    pcmName_ = device.isEmpty() ? std::string("default") : device.toStdString();

    captureTimer_ = new QTimer(this);
    captureTimer_->setInterval(kCaptureIntervalMs);
    connect(captureTimer_, &QTimer::timeout, this, &WaveRecorder::ReadCapturedAudio);
    statusTimer_ = new QTimer(this);
    connect(statusTimer_, &QTimer::timeout, this, &WaveRecorder::StatusUpdate);
}

WaveRecorder::~WaveRecorder() { Close(); }

void WaveRecorder::SetAudioDevice(std::string pcmName, std::string privateConfig)
{
    pcmName_ = std::move(pcmName);
    privateConfig_ = std::move(privateConfig);
}

void WaveRecorder::SetUpdateInterval(int milliseconds)
{
    updateInterval_ = std::max(0, milliseconds);
    if (!IsOpen())
        return;
    if (updateInterval_ > 0)
        statusTimer_->start(updateInterval_);
    else
        statusTimer_->stop();
}

bool WaveRecorder::Command(std::string_view command)
{
    errorText_.clear();
    if (sameCommand(command, "Open"))
        return Open();
    if (sameCommand(command, "Record"))
        return Record();
    if (sameCommand(command, "Stop")) {
        Stop();
        return true;
    }
    if (sameCommand(command, "Save"))
        return Save();
    if (sameCommand(command, "Close")) {
        Close();
        return true;
    }
    return Fail("Unknown recorder command \"" + std::string(command) + "\".");
}

std::int64_t WaveRecorder::Position() const
{
    if (reachedTo_)
        return to_;
    return from_ + frames_ * 1000 / format_.sampleRate;
}

bool WaveRecorder::Fail(std::string text)
{
    errorText_ = std::move(text);
    return false;
}

std::int64_t WaveRecorder::FrameLimit() const
{
    if (to_ <= from_)
        return std::numeric_limits<std::int64_t>::max();
    return (to_ - from_) * format_.sampleRate / 1000;
}

bool WaveRecorder::Open()
{
    Close();
    canRecord_ = false;
    openError_.clear();
    if (!sameCommand(deviceType_, "WaveAudio")) {
        openError_ = "The recorder cannot open a \"" + deviceType_ + "\" device.";
        return Fail(openError_);
    }

    installQuietAlsaErrors();
    const auto refuse = [this](std::string_view what, int error) {
        if (pcm_) {
            snd_pcm_close(pcm_);
            pcm_ = nullptr;
        }
        if (config_) {
            snd_config_delete(config_);
            config_ = nullptr;
        }
        openError_ = std::string(what) + " (ALSA device \"" + pcmName_ + "\": " + snd_strerror(error) + ").";
        return Fail(openError_);
    };

    int rc = 0;
    if (privateConfig_.empty()) {
        rc = snd_pcm_open(&pcm_, pcmName_.c_str(), SND_PCM_STREAM_CAPTURE, SND_PCM_NONBLOCK);
    } else {
        rc = snd_config_load_string(&config_, privateConfig_.data(), privateConfig_.size());
        if (rc >= 0)
            rc = snd_pcm_open_lconf(&pcm_, pcmName_.c_str(), SND_PCM_STREAM_CAPTURE, SND_PCM_NONBLOCK, config_);
    }
    if (rc < 0) {
        pcm_ = nullptr;
        return refuse("No sound card to record from", rc);
    }

    snd_pcm_hw_params_t* params = nullptr;
    snd_pcm_hw_params_alloca(&params);
    unsigned rate = kRecordFormat.sampleRate;
    unsigned bufferTime = kBufferTimeUs;
    snd_pcm_uframes_t bufferFrames = 0;
    if ((rc = snd_pcm_hw_params_any(pcm_, params)) < 0
        || (rc = snd_pcm_hw_params_set_access(pcm_, params, SND_PCM_ACCESS_RW_INTERLEAVED)) < 0
        || (rc = snd_pcm_hw_params_set_format(pcm_, params, SND_PCM_FORMAT_S16_LE)) < 0
        || (rc = snd_pcm_hw_params_set_channels(pcm_, params, kRecordFormat.channels)) < 0
        || (rc = snd_pcm_hw_params_set_rate_near(pcm_, params, &rate, nullptr)) < 0
        || (rc = snd_pcm_hw_params_set_buffer_time_near(pcm_, params, &bufferTime, nullptr)) < 0
        || (rc = snd_pcm_hw_params(pcm_, params)) < 0
        || (rc = snd_pcm_hw_params_get_buffer_size(params, &bufferFrames)) < 0)
        return refuse("The sound card cannot record 16-bit mono sound", rc);

    format_ = kRecordFormat;
    format_.sampleRate = rate;
    bufferFrames_ = static_cast<std::int64_t>(std::max<snd_pcm_uframes_t>(bufferFrames, 1));
    samples_.clear();
    frames_ = 0;
    reachedTo_ = false;
    canRecord_ = true;
    if (updateInterval_ > 0)
        statusTimer_->start(updateInterval_);
    return true;
}

bool WaveRecorder::Record()
{
    if (!IsOpen())
        return Fail(openError_.empty() ? std::string("The recorder is not open.") : openError_);
    if (recording_)
        return true;
    if (frames_ >= FrameLimit()) {
        reachedTo_ = true;
        return true;
    }
    int rc = snd_pcm_prepare(pcm_);
    if (rc >= 0)
        rc = snd_pcm_start(pcm_);
    if (rc < 0)
        return Fail(std::string("The sound card would not start recording (") + snd_strerror(rc) + ").");
    captureError_.clear();
    recording_ = true;
    captureTimer_->start();
    return true;
}

void WaveRecorder::ReadCapturedAudio()
{
    if (!recording_)
        return;
    const std::size_t frameBytes = static_cast<std::size_t>(format_.channels) * format_.bitsPerSample / 8;
    // A card never holds more than its buffer between two passes; the cap keeps
    // a device that always has data (ALSA's null device) from holding the
    // window thread until the whole take is in.
    std::int64_t takenThisPass = 0;
    int recoveries = 0;
    while (takenThisPass < bufferFrames_) {
        const std::int64_t wanted = std::min(FrameLimit() - frames_, bufferFrames_ - takenThisPass);
        if (wanted <= 0)
            break;
        const std::size_t oldSize = samples_.size();
        samples_.resize(oldSize + static_cast<std::size_t>(wanted) * frameBytes);
        const snd_pcm_sframes_t got
            = snd_pcm_readi(pcm_, samples_.data() + oldSize, static_cast<snd_pcm_uframes_t>(wanted));
        samples_.resize(oldSize + static_cast<std::size_t>(std::max<snd_pcm_sframes_t>(got, 0)) * frameBytes);
        if (got == -EAGAIN || got == 0)
            break;
        if (got < 0) {
            // An overrun costs a moment of sound but the take goes on; a card
            // that went away ends it, keeping what was recorded so far.
            if (++recoveries <= kMaxRecoveriesPerPass && snd_pcm_recover(pcm_, static_cast<int>(got), 1) == 0) {
                if (snd_pcm_state(pcm_) == SND_PCM_STATE_PREPARED)
                    snd_pcm_start(pcm_);
                continue;
            }
            captureError_ = std::string("The recording stopped early: the sound card failed (")
                + snd_strerror(static_cast<int>(got)) + ").";
            EndRecording();
            return;
        }
        frames_ += got;
        takenThisPass += got;
    }
    if (frames_ >= FrameLimit()) {
        reachedTo_ = true;
        EndRecording();
    }
}

void WaveRecorder::EndRecording()
{
    captureTimer_->stop();
    recording_ = false;
    if (pcm_)
        snd_pcm_drop(pcm_);
}

void WaveRecorder::Stop()
{
    if (!recording_)
        return;
    // What the card captured since the last pass belongs to the take.
    ReadCapturedAudio();
    EndRecording();
}

bool WaveRecorder::Save()
{
    if (!IsOpen())
        return Fail("The recorder is not open.");
    if (fileName_.isEmpty())
        return Fail("No file name to save the recording to.");
    const std::string wave = BuildWaveFile(format_, samples_);
    // Written beside the target and renamed over it, so a full disk or a
    // crash never leaves half a message where the pager send expects one.
    QSaveFile file(fileName_);
    if (!file.open(QIODevice::WriteOnly)
        || file.write(wave.data(), static_cast<qint64>(wave.size())) != static_cast<qint64>(wave.size())
        || !file.commit())
        return Fail("The recording could not be saved to " + fileName_.toStdString() + " ("
                    + file.errorString().toStdString() + ").");
    return true;
}

void WaveRecorder::Close()
{
    captureTimer_->stop();
    statusTimer_->stop();
    recording_ = false;
    if (pcm_) {
        snd_pcm_drop(pcm_);
        snd_pcm_close(pcm_);
        pcm_ = nullptr;
    }
    if (config_) {
        snd_config_delete(config_);
        config_ = nullptr;
    }
    samples_.clear();
    samples_.shrink_to_fit();
    frames_ = 0;
    reachedTo_ = false;
    captureError_.clear();
}
