// The player behind the library's entries: one open stream, the play state machine, and the
// thread that decodes the stream and feeds the chosen output.
#pragma once

#include "decoder.h"
#include "mpegdll/mpegdll.h"
#include "output.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include <sys/types.h>

namespace mpegdll {

// All methods may be called from any thread; mutating ones are serialised, getters read
// atomics and never block on a running play. A mutating call made from inside a stream
// callback (on the caller's or the player thread) is refused with error 2 instead of
// deadlocking. Each method stores its result code for lastError().
class Player
{
public:
    Player() = default;
    ~Player();
    Player(const Player &) = delete;
    Player &operator=(const Player &) = delete;

    bool init();
    void deinit();
    void open(const char *name, int32_t streamFlag, const StreamCallbacks &callbacks);
    int32_t play(int32_t startMs, int32_t endMs, bool *ended);
    void pause(bool resume);
    void stop();
    void restart();
    void close();
    void setPriority(int32_t priority);
    void setOutputDevice(int32_t device, const char *fileName);
    int32_t playerMode();
    int32_t currentPos();
    int32_t length();
    int32_t lastError() const { return m_lastError.load(); }
    int32_t frequency();
    int32_t bitrate();
    int32_t layer();
    void resetPlayerMode();
    void seek(int32_t posMs);

    // Records `code` for lastError(); used by the entries for failures of their own.
    void setError(int32_t code) { m_lastError.store(code); }

private:
    enum class Outcome { Ended, Failed, Stopped };

    int startPlaying(int64_t startFrame, int64_t endFrame);
    void halt();
    void closeStream();
    void run(Decoder *decoder, std::unique_ptr<Output> output, int64_t startFrame, int64_t endFrame,
             bool *ended);
    bool takeControls(Output &output, int64_t handed, int64_t &seekTo);
    int64_t toFrames(int32_t ms) const;
    int32_t toMs(int64_t frames) const;

    // Serialises the mutating entries; held while a play is stopped and joined.
    std::mutex m_apiMutex;
    bool m_initialised = false;
    std::unique_ptr<Decoder> m_decoder;
    int32_t m_device = MPEGDLL_DEVICE_DEFAULT;
    std::string m_outputName;
    int64_t m_rangeStart = 0; // frames of the last Play; m_rangeEnd 0 = to the end
    int64_t m_rangeEnd = 0;
    bool *m_endedFlag = nullptr; // kept across Open so Restart after a new Open still reports
    std::thread m_thread;

    // Shared with the player thread.
    std::mutex m_stateMutex;
    std::condition_variable m_wake;
    bool m_stopRequested = false;
    bool m_pauseRequested = false;
    int64_t m_seekRequest = -1;
    // The thread has paused its output and waits for a resume; Pause returns only then, so the
    // position and the output stand still from the moment it has returned.
    bool m_pauseHeld = false;
    bool m_threadActive = false; // the player thread runs and has not yet reported its end
    pid_t m_threadId = 0; // kernel id of the running player thread, 0 when none

    std::atomic<int32_t> m_mode { MPEGDLL_MODE_CLOSED };
    std::atomic<int32_t> m_lastError { MPEGDLL_OK };
    std::atomic<int32_t> m_rate { 0 };
    std::atomic<int32_t> m_layer { 0 };
    std::atomic<int32_t> m_bitrate { 0 };
    std::atomic<int64_t> m_position { 0 }; // frames
    std::atomic<int64_t> m_length { -1 }; // frames, -1 unknown
    std::atomic<int> m_nice { 0 };
};

} // namespace mpegdll
