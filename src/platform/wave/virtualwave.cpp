// The virtual wave devices: a backend that copies samples to a shared memory sink or from a
// shared source, paced by a clock that starts with the first sample and stops when starved.
#include "platform/wave/virtualwave.h"

#include "platform/wave/devicecore.h"
#include "platform/wave/mixer.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>

namespace zarel::wave {

struct VirtualWave::State
{
    mutable std::mutex mutex;
    std::vector<char> source;
    size_t sourcePosition = 0;
    std::vector<char> sink;
    bool present = true;
    int gaps = 0;
    WaveFormat lastInput;
    WaveFormat lastOutput;
};

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kLongestWait = std::chrono::milliseconds(5);

class VirtualIo final : public DeviceIo
{
public:
    VirtualIo(std::shared_ptr<VirtualWave::State> state, bool input, const WaveFormat &format,
              double pace)
        : m_state(std::move(state))
        , m_input(input)
        , m_format(format)
        , m_pace(pace)
    { }

    long transfer(char *data, uint32_t bytes) override
    {
        uint64_t allowed = bytes;
        if (m_pace > 0) {
            if (!m_clockRunning)
                startClock();
            const double seconds = std::chrono::duration<double>(Clock::now() - m_base).count();
            const double budget = seconds * m_format.avgBytesPerSec * m_pace - double(m_moved);
            allowed = budget <= 0 ? 0 : std::min<uint64_t>(bytes, uint64_t(budget));
        }
        allowed -= allowed % m_format.blockAlign;

        std::lock_guard lock(m_state->mutex);
        if (!m_state->present)
            return -1;
        if (m_input) {
            const size_t left = m_state->source.size() - m_state->sourcePosition;
            allowed = std::min<uint64_t>(allowed, left - left % m_format.blockAlign);
            if (allowed > 0)
                std::memcpy(data, m_state->source.data() + m_state->sourcePosition, allowed);
            m_state->sourcePosition += allowed;
        } else if (allowed > 0) {
            if (m_starved) {
                ++m_state->gaps;
                m_starved = false;
            }
            m_state->sink.insert(m_state->sink.end(), data, data + allowed);
        }
        m_moved += allowed;
        return long(allowed);
    }

    void waitReady() override
    {
        auto wait = kLongestWait;
        if (m_pace > 0) {
            const double frameSeconds = m_format.blockAlign / (m_format.avgBytesPerSec * m_pace);
            wait = std::min(wait,
                            std::chrono::duration_cast<std::chrono::milliseconds>(
                                std::chrono::duration<double>(frameSeconds))
                                + std::chrono::milliseconds(1));
        }
        std::this_thread::sleep_for(wait);
    }

    void starved() override
    {
        m_starved = true;
        m_clockRunning = false;
    }

    void start() override { startClock(); }
    void reset() override { m_clockRunning = false; }
    void close() override { }

private:
    void startClock()
    {
        m_base = Clock::now();
        m_moved = 0;
        m_clockRunning = true;
    }

    const std::shared_ptr<VirtualWave::State> m_state;
    const bool m_input;
    const WaveFormat m_format;
    const double m_pace;
    Clock::time_point m_base;
    uint64_t m_moved = 0;
    bool m_clockRunning = false;
    bool m_starved = false;
};

} // namespace

VirtualWave::VirtualWave(double pace)
    : m_pace(pace)
    , m_state(std::make_shared<State>())
{ }

VirtualWave::~VirtualWave() = default;

void VirtualWave::setInputSource(std::vector<char> pcm)
{
    std::lock_guard lock(m_state->mutex);
    m_state->source = std::move(pcm);
    m_state->sourcePosition = 0;
}

size_t VirtualWave::inputUsed() const
{
    std::lock_guard lock(m_state->mutex);
    return m_state->sourcePosition;
}

std::vector<char> VirtualWave::sink() const
{
    std::lock_guard lock(m_state->mutex);
    return m_state->sink;
}

void VirtualWave::clearSink()
{
    std::lock_guard lock(m_state->mutex);
    m_state->sink.clear();
}

void VirtualWave::setPresent(bool present)
{
    std::lock_guard lock(m_state->mutex);
    m_state->present = present;
}

int VirtualWave::gaps() const
{
    std::lock_guard lock(m_state->mutex);
    return m_state->gaps;
}

WaveFormat VirtualWave::lastFormat(bool input) const
{
    std::lock_guard lock(m_state->mutex);
    return input ? m_state->lastInput : m_state->lastOutput;
}

int VirtualWave::inputDeviceCount()
{
    std::lock_guard lock(m_state->mutex);
    return m_state->present ? 1 : 0;
}

int VirtualWave::outputDeviceCount()
{
    return inputDeviceCount();
}

int VirtualWave::check(int deviceId, const WaveFormat &format, bool input)
{
    std::lock_guard lock(m_state->mutex);
    if (deviceId != -1 && deviceId != 0)
        return BadDevice;
    if (!m_state->present)
        return NotPresent;
    if (!isSupportedFormat(format))
        return BadFormat;
    (input ? m_state->lastInput : m_state->lastOutput) = format;
    return Ok;
}

int VirtualWave::openInput(int deviceId, const WaveFormat &format, Callback callback,
                           void *instance, std::unique_ptr<WaveIn> &device)
{
    const int result = check(deviceId, format, true);
    if (result != Ok)
        return result;
    auto core = std::make_unique<DeviceCore>(
        Direction::Input, format, std::make_unique<VirtualIo>(m_state, true, format, m_pace),
        callback, instance);
    core->launch();
    device = std::make_unique<WaveIn>(std::move(core));
    return Ok;
}

int VirtualWave::openOutput(int deviceId, const WaveFormat &format, Callback callback,
                            void *instance, std::unique_ptr<WaveOut> &device)
{
    const int result = check(deviceId, format, false);
    if (result != Ok)
        return result;
    auto core = std::make_unique<DeviceCore>(
        Direction::Output, format, std::make_unique<VirtualIo>(m_state, false, format, m_pace),
        callback, instance);
    core->launch();
    device = std::make_unique<WaveOut>(std::move(core));
    return Ok;
}

int VirtualWave::mixerDeviceCount()
{
    return 0;
}

int VirtualWave::openMixer(int, std::unique_ptr<Mixer> &)
{
    return BadDevice;
}

} // namespace zarel::wave
