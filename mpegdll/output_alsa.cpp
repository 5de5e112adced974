// Output device 0: an ALSA PCM device ("default") in non-blocking interleaved 16-bit mode,
// with recovery from underruns and suspends, pause where the device supports it, and a drain
// that the player waits out in small steps.
#include "output.h"

#include "platform/wave/alsaquiet.h"

namespace mpegdll {
namespace {

using zarel::wave::QuietAlsa;

// About a tenth of a second of buffering: short enough for a prompt stop, long enough not to
// underrun on a busy machine.
constexpr unsigned kLatencyMicroseconds = 100000;

// The device stays non-blocking: a sound server may hold a write back for a long time (a
// server running far ahead of real time does), and the player must still see a stop.
class AlsaOutput final : public Output
{
public:
    AlsaOutput(snd_pcm_t *pcm, bool canPause)
        : m_pcm(pcm)
        , m_canPause(canPause)
    { }

    ~AlsaOutput() override
    {
        QuietAlsa quiet;
        release();
    }

    long writeSome(const int16_t *samples, size_t frames) override
    {
        QuietAlsa quiet;
        if (m_pcm == nullptr)
            return -1;
        const snd_pcm_sframes_t n = snd_pcm_writei(m_pcm, samples, frames);
        if (n >= 0)
            return static_cast<long>(n);
        if (n == -EAGAIN)
            return 0;
        // -EPIPE (underrun) and -ESTRPIPE (suspend) are mended by preparing the device again;
        // anything else is final.
        return snd_pcm_recover(m_pcm, static_cast<int>(n), 1) < 0 ? -1 : 0;
    }

    void waitWritable(std::chrono::milliseconds timeout) override
    {
        QuietAlsa quiet;
        if (m_pcm != nullptr)
            snd_pcm_wait(m_pcm, static_cast<int>(timeout.count()));
    }

    void beginDrain() override
    {
        QuietAlsa quiet;
        // A sound shorter than the start threshold still sits in a prepared device.
        if (m_pcm != nullptr && snd_pcm_state(m_pcm) == SND_PCM_STATE_PREPARED)
            snd_pcm_start(m_pcm);
    }

    int64_t queuedFrames() override
    {
        QuietAlsa quiet;
        if (m_pcm == nullptr)
            return 0;
        switch (snd_pcm_state(m_pcm)) {
        case SND_PCM_STATE_PREPARED:
        case SND_PCM_STATE_RUNNING:
        case SND_PCM_STATE_PAUSED:
        case SND_PCM_STATE_DRAINING:
            break;
        default:
            // Underrun after the last frame, or a failure: nothing more will be heard.
            return 0;
        }
        snd_pcm_sframes_t delay = 0;
        if (snd_pcm_delay(m_pcm, &delay) < 0)
            return 0;
        return delay > 0 ? delay : 0;
    }

    void setPaused(bool paused) override
    {
        QuietAlsa quiet;
        if (m_pcm == nullptr)
            return;
        if (paused) {
            m_devicePaused = m_canPause && snd_pcm_state(m_pcm) == SND_PCM_STATE_RUNNING
                && snd_pcm_pause(m_pcm, 1) == 0;
            return;
        }
        if (m_devicePaused) {
            m_devicePaused = false;
            if (snd_pcm_pause(m_pcm, 0) == 0)
                return;
        }
        // Without device pause the buffer ran dry while paused; start afresh.
        if (snd_pcm_state(m_pcm) == SND_PCM_STATE_XRUN)
            snd_pcm_prepare(m_pcm);
    }

    void discardQueued() override
    {
        QuietAlsa quiet;
        if (m_pcm == nullptr)
            return;
        snd_pcm_drop(m_pcm);
        snd_pcm_prepare(m_pcm);
    }

    bool complete() override
    {
        QuietAlsa quiet;
        if (m_pcm == nullptr)
            return false;
        // The player has waited until the device reported nothing queued, so this returns at
        // once; it lets out what a device may still hold beyond its reported delay.
        const snd_pcm_state_t state = snd_pcm_state(m_pcm);
        if (state == SND_PCM_STATE_RUNNING || state == SND_PCM_STATE_DRAINING) {
            snd_pcm_nonblock(m_pcm, 0);
            snd_pcm_drain(m_pcm);
        }
        snd_pcm_close(m_pcm);
        m_pcm = nullptr;
        return true;
    }

    void stop() override
    {
        QuietAlsa quiet;
        release();
    }

private:
    void release()
    {
        if (m_pcm == nullptr)
            return;
        snd_pcm_drop(m_pcm);
        snd_pcm_close(m_pcm);
        m_pcm = nullptr;
    }

    snd_pcm_t *m_pcm;
    bool m_canPause;
    bool m_devicePaused = false;
};

} // namespace

std::unique_ptr<Output> openAlsaOutput(const char *device, unsigned rate, unsigned channels)
{
    QuietAlsa quiet;
    snd_pcm_t *pcm = nullptr;
    if (snd_pcm_open(&pcm, device, SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0)
        return nullptr;
    if (snd_pcm_set_params(pcm, SND_PCM_FORMAT_S16, SND_PCM_ACCESS_RW_INTERLEAVED, channels, rate,
                           1, kLatencyMicroseconds)
        < 0) {
        snd_pcm_close(pcm);
        return nullptr;
    }
    bool canPause = false;
    snd_pcm_hw_params_t *params = nullptr;
    if (snd_pcm_hw_params_malloc(&params) == 0) {
        if (snd_pcm_hw_params_current(pcm, params) == 0)
            canPause = snd_pcm_hw_params_can_pause(params) != 0;
        snd_pcm_hw_params_free(params);
    }
    return std::make_unique<AlsaOutput>(pcm, canPause);
}

} // namespace mpegdll
