// The engine behind every wave device: the queue of lent buffers, the device thread that moves
// samples through a backend (DeviceIo) and delivers the messages, reset and close.
#pragma once

#include "platform/wave/wavedevice.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

namespace zarel::wave {

// What a backend does with the samples. Every function is called on the device thread only,
// with no lock held, so a backend needs no locking of its own for the device handle.
class DeviceIo
{
public:
    virtual ~DeviceIo() = default;

    // Moves up to `bytes` bytes (whole frames) to (output) or from (input) the device. Returns
    // the bytes moved, 0 when the device cannot take or give any now, or a negative value when
    // the device has failed for good.
    virtual long transfer(char *data, uint32_t bytes) = 0;

    // Waits a little (up to ~10 ms) for the device to be ready for transfer() again.
    virtual void waitReady() = 0;

    // Output: of the `written` bytes handed over since the last reset, how many have been played.
    virtual uint64_t playedBytes(uint64_t written) { return written; }

    // Output: everything lent has been written; make sure the device plays it out.
    virtual void flush() { }

    // Output: the queue has run dry (nothing lent, everything played).
    virtual void starved() { }

    // Input: start capturing.
    virtual void start() { }

    // Drops whatever the device still holds and makes it ready to start over.
    virtual void reset() = 0;

    // Releases the device; no other call follows.
    virtual void close() = 0;
};

enum class Direction { Input, Output };

class DeviceCore
{
public:
    DeviceCore(Direction direction, const WaveFormat &format, std::unique_ptr<DeviceIo> io,
               Callback callback, void *instance);
    ~DeviceCore();
    DeviceCore(const DeviceCore &) = delete;
    DeviceCore &operator=(const DeviceCore &) = delete;

    // Starts the device thread and returns once the Open message has been delivered.
    void launch();

    int prepareHeader(WaveHeader *header);
    int unprepareHeader(WaveHeader *header);
    int queueBuffer(WaveHeader *header);
    int start();
    int reset();
    int close();
    const WaveFormat &format() const { return m_format; }
    Direction direction() const { return m_direction; }

private:
    struct Entry
    {
        WaveHeader *header;
        uint32_t usable; // whole-frame bytes of the buffer
        uint64_t end = 0; // output: byte position after the buffer once written
        bool written = false;
    };

    void run();
    void deliver(Message message, WaveHeader *header);
    void handBack(WaveHeader *header, std::unique_lock<std::mutex> &lock);
    void handBackAll(std::unique_lock<std::mutex> &lock);
    void fail(std::unique_lock<std::mutex> &lock);
    bool stepOutput(std::unique_lock<std::mutex> &lock);
    bool stepInput(std::unique_lock<std::mutex> &lock);
    bool onDeviceThread() const;

    const Direction m_direction;
    const WaveFormat m_format;
    const std::unique_ptr<DeviceIo> m_io;
    const Callback m_callback;
    void *const m_instance;

    std::mutex m_mutex;
    std::condition_variable m_wake; // wakes the device thread
    std::condition_variable m_answer; // wakes a caller waiting for the device thread
    std::deque<Entry> m_queue;
    size_t m_writeIndex = 0; // output: first entry not completely written
    uint32_t m_offset = 0; // bytes moved of the entry being written or filled
    uint64_t m_written = 0; // output: bytes handed to the backend since the last reset
    bool m_hasPlayed = false; // output: something was played since the queue last ran dry
    bool m_open = false;
    bool m_started = false; // input
    bool m_startRequested = false;
    bool m_failed = false;
    bool m_closeRequested = false;
    bool m_resetRequested = false;
    uint64_t m_resets = 0;
    bool m_opened = false;
    std::thread m_thread;
    std::thread::id m_threadId;
};

} // namespace zarel::wave
