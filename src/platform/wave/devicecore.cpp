// The wave device engine: the device thread's loop over the lent buffers, the hand-back of
// played and filled buffers, reset and close; and the thin WaveIn/WaveOut front ends.
#include "platform/wave/devicecore.h"

#include <chrono>
#include <utility>

namespace zarel::wave {

namespace {

// How long the device thread sleeps while the device plays out what it was given.
constexpr auto kPlayOutPoll = std::chrono::milliseconds(5);

} // namespace

const char *errorText(int result)
{
    switch (result) {
    case Ok:
        return "";
    case BadDevice:
        return "The device number is out of range";
    case NotPresent:
        return "The device is not present or could not be opened";
    case Busy:
        return "The device is in use by another program";
    case BadFormat:
        return "The device does not support this wave format";
    case NoMemory:
        return "Not enough memory for the device";
    case InvalidHandle:
        return "The device is not open";
    case InvalidParam:
        return "Invalid parameter";
    case Unprepared:
        return "The header is not prepared";
    case StillPlaying:
        return "Buffers are still queued on the device";
    case DeviceError:
        return "The device reported an error";
    case WrongThread:
        return "The device cannot be reset or closed from its own callback";
    default:
        return "Unknown wave device error";
    }
}

bool isSupportedFormat(const WaveFormat &format)
{
    if (format.formatTag != 1 || format.channels < 1 || format.channels > 2)
        return false;
    if (format.bitsPerSample != 8 && format.bitsPerSample != 16)
        return false;
    if (format.samplesPerSec == 0)
        return false;
    return format.blockAlign == format.channels * format.bitsPerSample / 8;
}

DeviceCore::DeviceCore(Direction direction, const WaveFormat &format, std::unique_ptr<DeviceIo> io,
                       Callback callback, void *instance)
    : m_direction(direction)
    , m_format(format)
    , m_io(std::move(io))
    , m_callback(callback)
    , m_instance(instance)
{ }

DeviceCore::~DeviceCore()
{
    bool open;
    {
        std::lock_guard lock(m_mutex);
        open = m_open;
    }
    if (open) {
        reset();
        close();
    }
    if (m_thread.joinable())
        m_thread.join();
}

void DeviceCore::launch()
{
    std::unique_lock lock(m_mutex);
    m_open = true;
    m_thread = std::thread(&DeviceCore::run, this);
    m_answer.wait(lock, [this] { return m_opened; });
}

bool DeviceCore::onDeviceThread() const
{
    return std::this_thread::get_id() == m_threadId;
}

int DeviceCore::prepareHeader(WaveHeader *header)
{
    if (header == nullptr || (header->data == nullptr && header->bufferLength > 0))
        return InvalidParam;
    std::lock_guard lock(m_mutex);
    if (!m_open)
        return InvalidHandle;
    if (header->flags & HeaderInQueue)
        return StillPlaying;
    header->flags |= HeaderPrepared;
    return Ok;
}

int DeviceCore::unprepareHeader(WaveHeader *header)
{
    if (header == nullptr)
        return InvalidParam;
    std::lock_guard lock(m_mutex);
    if (!m_open)
        return InvalidHandle;
    if (header->flags & HeaderInQueue)
        return StillPlaying;
    header->flags &= ~uint32_t(HeaderPrepared);
    return Ok;
}

int DeviceCore::queueBuffer(WaveHeader *header)
{
    if (header == nullptr)
        return InvalidParam;
    std::lock_guard lock(m_mutex);
    if (!m_open || m_failed)
        return InvalidHandle;
    if (!(header->flags & HeaderPrepared))
        return Unprepared;
    if (header->flags & HeaderInQueue)
        return StillPlaying;
    header->flags = (header->flags | HeaderInQueue) & ~uint32_t(HeaderDone);
    if (m_direction == Direction::Input)
        header->bytesRecorded = 0;
    const uint32_t usable = header->bufferLength - header->bufferLength % m_format.blockAlign;
    m_queue.push_back(Entry { header, usable });
    m_wake.notify_all();
    return Ok;
}

int DeviceCore::start()
{
    std::lock_guard lock(m_mutex);
    if (!m_open || m_failed)
        return InvalidHandle;
    m_startRequested = true;
    m_wake.notify_all();
    return Ok;
}

int DeviceCore::reset()
{
    std::unique_lock lock(m_mutex);
    if (onDeviceThread())
        return WrongThread;
    if (!m_open)
        return InvalidHandle;
    const uint64_t target = m_resets + 1;
    m_resetRequested = true;
    m_wake.notify_all();
    m_answer.wait(lock, [&] { return m_resets >= target; });
    return Ok;
}

int DeviceCore::close()
{
    {
        std::lock_guard lock(m_mutex);
        if (onDeviceThread())
            return WrongThread;
        if (!m_open)
            return InvalidHandle;
        if (!m_queue.empty())
            return StillPlaying;
        m_open = false;
        m_closeRequested = true;
        m_wake.notify_all();
    }
    m_thread.join();
    return Ok;
}

void DeviceCore::deliver(Message message, WaveHeader *header)
{
    if (m_callback != nullptr)
        m_callback(message, m_instance, header);
}

void DeviceCore::handBack(WaveHeader *header, std::unique_lock<std::mutex> &lock)
{
    header->flags = (header->flags & ~uint32_t(HeaderInQueue)) | HeaderDone;
    m_queue.pop_front();
    if (m_writeIndex > 0)
        --m_writeIndex;
    lock.unlock();
    deliver(m_direction == Direction::Input ? Message::Data : Message::Done, header);
    lock.lock();
}

void DeviceCore::handBackAll(std::unique_lock<std::mutex> &lock)
{
    std::deque<Entry> back;
    back.swap(m_queue);
    if (m_direction == Direction::Input && !back.empty())
        back.front().header->bytesRecorded = m_offset;
    m_writeIndex = 0;
    m_offset = 0;
    m_written = 0;
    m_hasPlayed = false;
    for (const Entry &entry : back) {
        entry.header->flags = (entry.header->flags & ~uint32_t(HeaderInQueue)) | HeaderDone;
        lock.unlock();
        deliver(m_direction == Direction::Input ? Message::Data : Message::Done, entry.header);
        lock.lock();
    }
}

void DeviceCore::fail(std::unique_lock<std::mutex> &lock)
{
    // A device that has gone away returns what it was lent, so its owner's bookkeeping ends
    // as after a reset instead of waiting for buffers that will never come back.
    m_failed = true;
    handBackAll(lock);
}

void DeviceCore::run()
{
    {
        std::lock_guard lock(m_mutex);
        m_threadId = std::this_thread::get_id();
    }
    deliver(Message::Open, nullptr);
    std::unique_lock lock(m_mutex);
    m_opened = true;
    m_answer.notify_all();

    for (;;) {
        if (m_resetRequested) {
            m_started = false;
            m_startRequested = false;
            lock.unlock();
            m_io->reset();
            lock.lock();
            handBackAll(lock);
            m_resetRequested = false;
            ++m_resets;
            m_answer.notify_all();
            continue;
        }
        if (m_closeRequested)
            break;
        if (m_startRequested) {
            m_startRequested = false;
            m_started = true;
            if (!m_failed) {
                lock.unlock();
                m_io->start();
                lock.lock();
            }
            continue;
        }
        if (m_direction == Direction::Output)
            stepOutput(lock);
        else
            stepInput(lock);
    }
    lock.unlock();
    m_io->close();
    deliver(Message::Close, nullptr);
}

bool DeviceCore::stepOutput(std::unique_lock<std::mutex> &lock)
{
    if (m_failed || m_queue.empty()) {
        if (!m_failed && m_hasPlayed) {
            m_hasPlayed = false;
            lock.unlock();
            m_io->starved();
            lock.lock();
            return true;
        }
        m_wake.wait(lock);
        return false;
    }

    Entry &front = m_queue.front();
    if (front.written) {
        const uint64_t written = m_written;
        lock.unlock();
        const uint64_t played = m_io->playedBytes(written);
        lock.lock();
        if (m_resetRequested || m_closeRequested)
            return false;
        if (played >= front.end) {
            handBack(front.header, lock);
            return true;
        }
    }

    if (m_writeIndex < m_queue.size()) {
        Entry &entry = m_queue[m_writeIndex];
        if (m_offset < entry.usable) {
            char *data = entry.header->data + m_offset;
            const uint32_t left = entry.usable - m_offset;
            lock.unlock();
            const long moved = m_io->transfer(data, left);
            lock.lock();
            if (moved < 0) {
                fail(lock);
                return false;
            }
            m_offset += uint32_t(moved);
            m_written += uint64_t(moved);
            if (moved > 0)
                m_hasPlayed = true;
            if (moved == 0 && m_offset < entry.usable) {
                lock.unlock();
                m_io->waitReady();
                lock.lock();
                return false;
            }
        }
        if (m_offset >= entry.usable) {
            entry.written = true;
            entry.end = m_written;
            ++m_writeIndex;
            m_offset = 0;
        }
        return true;
    }

    lock.unlock();
    m_io->flush();
    lock.lock();
    m_wake.wait_for(lock, kPlayOutPoll);
    return false;
}

bool DeviceCore::stepInput(std::unique_lock<std::mutex> &lock)
{
    if (m_failed || !m_started || m_queue.empty()) {
        m_wake.wait(lock);
        return false;
    }
    Entry &entry = m_queue.front();
    if (m_offset < entry.usable) {
        char *data = entry.header->data + m_offset;
        const uint32_t left = entry.usable - m_offset;
        lock.unlock();
        const long moved = m_io->transfer(data, left);
        lock.lock();
        if (moved < 0) {
            fail(lock);
            return false;
        }
        m_offset += uint32_t(moved);
        if (moved == 0 && m_offset < entry.usable) {
            lock.unlock();
            m_io->waitReady();
            lock.lock();
            return false;
        }
    }
    if (m_offset >= entry.usable && !m_resetRequested) {
        entry.header->bytesRecorded = m_offset;
        m_offset = 0;
        handBack(entry.header, lock);
    }
    return true;
}

WaveDevice::WaveDevice(std::unique_ptr<DeviceCore> core)
    : m_core(std::move(core))
{ }

WaveDevice::~WaveDevice() = default;

int WaveDevice::prepareHeader(WaveHeader *header)
{
    return m_core->prepareHeader(header);
}

int WaveDevice::unprepareHeader(WaveHeader *header)
{
    return m_core->unprepareHeader(header);
}

int WaveDevice::reset()
{
    return m_core->reset();
}

int WaveDevice::close()
{
    return m_core->close();
}

const WaveFormat &WaveDevice::format() const
{
    return m_core->format();
}

WaveIn::WaveIn(std::unique_ptr<DeviceCore> core)
    : WaveDevice(std::move(core))
{ }

int WaveIn::addBuffer(WaveHeader *header)
{
    return m_core->queueBuffer(header);
}

int WaveIn::start()
{
    return m_core->start();
}

WaveOut::WaveOut(std::unique_ptr<DeviceCore> core)
    : WaveDevice(std::move(core))
{ }

int WaveOut::write(WaveHeader *header)
{
    return m_core->queueBuffer(header);
}

} // namespace zarel::wave
