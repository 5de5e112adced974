// ALSA wave devices: a non-blocking interleaved PCM per open device, driven by the device thread,
// with recovery from under- and overruns and a play-out position taken from the PCM's delay.
#include "platform/wave/alsawave.h"

#include "platform/wave/alsaquiet.h"
#include "platform/wave/devicecore.h"
#include "platform/wave/mixer.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

namespace zarel::wave {

namespace {

// About a tenth of a second of device buffering on either side: short enough for a prompt
// stop, long enough not to run dry on a busy machine.
constexpr unsigned kLatencyMicroseconds = 100000;
constexpr int kWaitMilliseconds = 10;
// A device whose play-out position stops moving is taken to have played everything this long
// after the last sample should have ended, so a stuck sound server cannot hold a buffer forever.
constexpr auto kPlayOutGrace = std::chrono::seconds(1);

using Clock = std::chrono::steady_clock;

int resultOfOpenError(int error)
{
    switch (-error) {
    case EBUSY:
    case EAGAIN:
        return Busy;
    case ENOMEM:
        return NoMemory;
    default:
        return NotPresent;
    }
}

class AlsaIo final : public DeviceIo
{
public:
    AlsaIo(snd_pcm_t *pcm, const WaveFormat &format)
        : m_pcm(pcm)
        , m_format(format)
    { }

    ~AlsaIo() override
    {
        if (m_pcm != nullptr) {
            QuietAlsa quiet;
            snd_pcm_close(m_pcm);
        }
    }

    long transfer(char *data, uint32_t bytes) override
    {
        QuietAlsa quiet;
        const snd_pcm_uframes_t frames = bytes / m_format.blockAlign;
        const snd_pcm_sframes_t n = snd_pcm_stream(m_pcm) == SND_PCM_STREAM_PLAYBACK
            ? snd_pcm_writei(m_pcm, data, frames)
            : snd_pcm_readi(m_pcm, data, frames);
        if (n >= 0) {
            if (n > 0)
                m_lastTransfer = Clock::now();
            return long(n) * m_format.blockAlign;
        }
        if (n == -EAGAIN)
            return 0;
        if (n == -EPIPE || n == -ESTRPIPE || n == -EINTR)
            return snd_pcm_recover(m_pcm, int(n), 1) < 0 ? -1 : 0;
        return -1;
    }

    void waitReady() override
    {
        QuietAlsa quiet;
        snd_pcm_wait(m_pcm, kWaitMilliseconds);
    }

    uint64_t playedBytes(uint64_t written) override
    {
        QuietAlsa quiet;
        const snd_pcm_state_t state = snd_pcm_state(m_pcm);
        if (state != SND_PCM_STATE_RUNNING && state != SND_PCM_STATE_PREPARED
            && state != SND_PCM_STATE_DRAINING)
            return written;
        snd_pcm_sframes_t delay = 0;
        if (snd_pcm_delay(m_pcm, &delay) < 0 || delay <= 0)
            return written;
        const uint64_t held = std::min<uint64_t>(uint64_t(delay) * m_format.blockAlign, written);
        const auto expectedEnd
            = m_lastTransfer + std::chrono::microseconds(held * 1000000 / m_format.avgBytesPerSec);
        if (Clock::now() > expectedEnd + kPlayOutGrace)
            return written;
        return written - held;
    }

    void flush() override
    {
        QuietAlsa quiet;
        if (snd_pcm_state(m_pcm) == SND_PCM_STATE_PREPARED)
            snd_pcm_start(m_pcm);
    }

    void start() override
    {
        QuietAlsa quiet;
        if (snd_pcm_state(m_pcm) == SND_PCM_STATE_PREPARED)
            snd_pcm_start(m_pcm);
    }

    void reset() override
    {
        QuietAlsa quiet;
        snd_pcm_drop(m_pcm);
        snd_pcm_prepare(m_pcm);
    }

    void close() override
    {
        QuietAlsa quiet;
        snd_pcm_drop(m_pcm);
        snd_pcm_close(m_pcm);
        m_pcm = nullptr;
    }

private:
    snd_pcm_t *m_pcm;
    const WaveFormat m_format;
    Clock::time_point m_lastTransfer = Clock::now();
};

int openPcm(const std::string &name, bool input, const WaveFormat &format, snd_pcm_t **pcm)
{
    QuietAlsa quiet;
    int error
        = snd_pcm_open(pcm, name.c_str(), input ? SND_PCM_STREAM_CAPTURE : SND_PCM_STREAM_PLAYBACK,
                       SND_PCM_NONBLOCK);
    if (error < 0)
        return resultOfOpenError(error);
    const snd_pcm_format_t sampleFormat
        = format.bitsPerSample == 8 ? SND_PCM_FORMAT_U8 : SND_PCM_FORMAT_S16_LE;
    error = snd_pcm_set_params(*pcm, sampleFormat, SND_PCM_ACCESS_RW_INTERLEAVED, format.channels,
                               format.samplesPerSec, 1, kLatencyMicroseconds);
    if (error < 0) {
        snd_pcm_close(*pcm);
        *pcm = nullptr;
        return error == -EINVAL ? BadFormat : resultOfOpenError(error);
    }
    return Ok;
}

class AlsaWaveSystem final : public WaveSystem
{
public:
    int inputDeviceCount() override { return int(alsaDeviceNames(true).size()); }
    int outputDeviceCount() override { return int(alsaDeviceNames(false).size()); }

    int openInput(int deviceId, const WaveFormat &format, Callback callback, void *instance,
                  std::unique_ptr<WaveIn> &device) override
    {
        std::unique_ptr<DeviceCore> core;
        const int result = openCore(true, deviceId, format, callback, instance, core);
        if (result == Ok)
            device = std::make_unique<WaveIn>(std::move(core));
        return result;
    }

    int openOutput(int deviceId, const WaveFormat &format, Callback callback, void *instance,
                   std::unique_ptr<WaveOut> &device) override
    {
        std::unique_ptr<DeviceCore> core;
        const int result = openCore(false, deviceId, format, callback, instance, core);
        if (result == Ok)
            device = std::make_unique<WaveOut>(std::move(core));
        return result;
    }

    int mixerDeviceCount() override { return alsaMixerDeviceCount(); }
    int openMixer(int deviceId, std::unique_ptr<Mixer> &mixer) override
    {
        return openAlsaMixer(deviceId, mixer);
    }

private:
    static int openCore(bool input, int deviceId, const WaveFormat &format, Callback callback,
                        void *instance, std::unique_ptr<DeviceCore> &core)
    {
        if (!isSupportedFormat(format))
            return BadFormat;
        std::string name = "default";
        if (deviceId != -1) {
            const std::vector<std::string> names = alsaDeviceNames(input);
            if (deviceId < 0 || deviceId >= int(names.size()))
                return BadDevice;
            name = names[size_t(deviceId)];
        }
        snd_pcm_t *pcm = nullptr;
        const int result = openPcm(name, input, format, &pcm);
        if (result != Ok)
            return result;
        core = std::make_unique<DeviceCore>(input ? Direction::Input : Direction::Output, format,
                                            std::make_unique<AlsaIo>(pcm, format), callback,
                                            instance);
        core->launch();
        return Ok;
    }
};

} // namespace

std::vector<std::string> alsaDeviceNames(bool input)
{
    QuietAlsa quiet;
    std::vector<std::string> names;
    void **hints = nullptr;
    if (snd_device_name_hint(-1, "pcm", &hints) < 0 || hints == nullptr)
        return names;
    for (void **hint = hints; *hint != nullptr && int(names.size()) < kMaxAlsaDevices; ++hint) {
        char *name = snd_device_name_get_hint(*hint, "NAME");
        char *direction = snd_device_name_get_hint(*hint, "IOID");
        const bool fits
            = direction == nullptr || std::strcmp(direction, input ? "Input" : "Output") == 0;
        if (name != nullptr && fits)
            names.emplace_back(name);
        std::free(name);
        std::free(direction);
    }
    snd_device_name_free_hint(hints);
    return names;
}

std::shared_ptr<WaveSystem> makeAlsaWaveSystem()
{
    return std::make_shared<AlsaWaveSystem>();
}

} // namespace zarel::wave
