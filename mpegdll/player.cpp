// The player's state machine and its thread: decoding in chunks, handing them to the output,
// honouring pause, stop and seek requests, and reporting the end through the owner's flag.
#include "player.h"

#include <mpg123.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <system_error>
#include <utility>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

namespace mpegdll {
namespace {

// One MPEG-1 layer III frame: small enough that a stop or pause is seen within a few
// milliseconds of audio, large enough to keep the per-chunk work negligible.
constexpr size_t kChunkFrames = 1152;
// How long the player waits at most for the device to play out beyond what it reported queued.
constexpr auto kDrainSlack = std::chrono::seconds(2);
constexpr auto kDrainPoll = std::chrono::milliseconds(10);
// Longest wait for device space before the player looks at stop and pause requests again.
constexpr auto kDevicePoll = std::chrono::milliseconds(20);

// Initial-exec: the two flags live in the static TLS block that the loader keeps for libraries
// opened later, rather than in dynamic TLS allocated per thread on first use. A dynamic block
// of a library that was unloaded again stays listed for the threads that touched it, and leak
// checkers that walk those lists at exit read freed memory.
[[gnu::tls_model("initial-exec")]] thread_local bool t_inEntry = false;
[[gnu::tls_model("initial-exec")]] thread_local bool t_onPlayerThread = false;

// Marks the current thread as inside a mutating entry; a second one on the same thread (from a
// stream callback) or one from the player thread is refused.
class EntryScope
{
public:
    EntryScope()
        : m_ok(!t_inEntry && !t_onPlayerThread)
    {
        if (m_ok)
            t_inEntry = true;
    }
    ~EntryScope()
    {
        if (m_ok)
            t_inEntry = false;
    }
    EntryScope(const EntryScope &) = delete;
    EntryScope &operator=(const EntryScope &) = delete;
    bool ok() const { return m_ok; }

private:
    bool m_ok;
};

// Thread priorities as the owner gives them, and the nice values they become.
int niceFor(int32_t priority)
{
    static constexpr std::array<std::pair<int32_t, int>, 7> steps { {
        { -15, 19 },
        { -2, 10 },
        { -1, 5 },
        { 0, 0 },
        { 1, -5 },
        { 2, -10 },
        { 15, -20 },
    } };
    int best = 0;
    int64_t bestDistance = std::numeric_limits<int64_t>::max();
    for (const auto &[value, nice] : steps) {
        const int64_t distance = std::abs(static_cast<int64_t>(priority) - value);
        // Ties go to the step nearer normal.
        if (distance < bestDistance
            || (distance == bestDistance && std::abs(nice) < std::abs(best))) {
            best = nice;
            bestDistance = distance;
        }
    }
    return best;
}

void applyNice(pid_t thread, int nice)
{
    // Raising priority needs a privilege the process may lack; playing at normal priority is
    // the right fallback, so the failure is ignored.
    if (thread != 0)
        static_cast<void>(::setpriority(PRIO_PROCESS, static_cast<id_t>(thread), nice));
}

bool playingMode(int32_t mode)
{
    return mode == MPEGDLL_MODE_PLAYING || mode == MPEGDLL_MODE_PAUSED;
}

} // namespace

Player::~Player()
{
    std::lock_guard lock(m_apiMutex);
    halt();
    // The owner may already be gone when the library is unloaded without deinit; do not call
    // back into it.
    if (m_decoder)
        m_decoder->forgetCallbacks();
    m_decoder.reset();
}

int64_t Player::toFrames(int32_t ms) const
{
    return static_cast<int64_t>(std::max(ms, 0)) * m_rate.load() / 1000;
}

int32_t Player::toMs(int64_t frames) const
{
    const int32_t rate = m_rate.load();
    if (rate <= 0 || frames <= 0)
        return 0;
    return static_cast<int32_t>(
        std::min<int64_t>(frames * 1000 / rate, std::numeric_limits<int32_t>::max()));
}

bool Player::init()
{
    EntryScope scope;
    if (!scope.ok()) {
        setError(MPEGDLL_ERR_MODE);
        return false;
    }
    std::lock_guard lock(m_apiMutex);
    if (!m_initialised) {
        if (mpg123_init() != MPG123_OK) {
            setError(MPEGDLL_ERR_DECODER);
            return false;
        }
        m_initialised = true;
    }
    setError(MPEGDLL_OK);
    return true;
}

void Player::deinit()
{
    EntryScope scope;
    if (!scope.ok()) {
        setError(MPEGDLL_ERR_MODE);
        return;
    }
    std::lock_guard lock(m_apiMutex);
    halt();
    closeStream();
    m_initialised = false;
    m_endedFlag = nullptr;
    setError(MPEGDLL_OK);
}

void Player::open(const char *name, int32_t streamFlag, const StreamCallbacks &callbacks)
{
    EntryScope scope;
    if (!scope.ok()) {
        setError(MPEGDLL_ERR_MODE);
        return;
    }
    std::lock_guard lock(m_apiMutex);
    if (!m_initialised) {
        setError(MPEGDLL_ERR_MODE);
        return;
    }
    halt();
    closeStream();

    size_t nameLength = 0;
    if (streamFlag == 0) {
        nameLength = name == nullptr ? 0 : ::strnlen(name, MPEGDLL_STREAM_NAME_SIZE);
        if (nameLength == 0 || nameLength == MPEGDLL_STREAM_NAME_SIZE) {
            setError(MPEGDLL_ERR_INPUT);
            return;
        }
    } else if (streamFlag != 1) {
        setError(MPEGDLL_ERR_INPUT);
        return;
    }
    std::unique_ptr<Decoder> decoder = Decoder::create();
    if (!decoder) {
        setError(MPEGDLL_ERR_DECODER);
        return;
    }
    const int result = streamFlag == 0 ? decoder->openFile(std::string(name, nameLength))
                                       : decoder->openStream(callbacks);
    if (result != MPEGDLL_OK) {
        setError(result);
        return;
    }
    m_decoder = std::move(decoder);
    m_rate = m_decoder->format().rate;
    m_layer = m_decoder->format().layer;
    m_bitrate = m_decoder->format().bitrate;
    m_length = m_decoder->lengthFrames();
    m_position = 0;
    m_rangeStart = 0;
    m_rangeEnd = 0;
    {
        std::lock_guard state(m_stateMutex);
        m_mode = MPEGDLL_MODE_STOPPED;
    }
    setError(MPEGDLL_OK);
}

int32_t Player::play(int32_t startMs, int32_t endMs, bool *ended)
{
    EntryScope scope;
    if (!scope.ok()) {
        setError(MPEGDLL_ERR_MODE);
        return MPEGDLL_ERR_MODE;
    }
    std::lock_guard lock(m_apiMutex);
    if (!m_initialised || !m_decoder) {
        setError(MPEGDLL_ERR_MODE);
        return MPEGDLL_ERR_MODE;
    }
    halt();
    m_rangeStart = toFrames(startMs);
    m_rangeEnd = endMs > 0 ? toFrames(endMs) : 0;
    m_endedFlag = ended;
    const int result = startPlaying(m_rangeStart, m_rangeEnd);
    setError(result);
    return result;
}

void Player::restart()
{
    EntryScope scope;
    if (!scope.ok()) {
        setError(MPEGDLL_ERR_MODE);
        return;
    }
    std::lock_guard lock(m_apiMutex);
    if (!m_initialised || !m_decoder) {
        setError(MPEGDLL_ERR_MODE);
        return;
    }
    halt();
    setError(startPlaying(m_rangeStart, m_rangeEnd));
}

// Caller holds m_apiMutex, no thread runs, a stream is open. The thread decodes from the start
// of the stream and drops what lies before startFrame, so a range plays the very samples a
// continuous decode gives.
int Player::startPlaying(int64_t startFrame, int64_t endFrame)
{
    const int rewound = m_decoder->rewind();
    if (rewound != MPEGDLL_OK)
        return rewound;
    const int64_t length = m_length;
    if (length >= 0)
        startFrame = std::min(startFrame, length);
    const StreamFormat &format = m_decoder->format();
    std::unique_ptr<Output> output = m_device == MPEGDLL_DEVICE_PCMFILE
        ? openFileOutput(m_outputName, static_cast<unsigned>(format.channels))
        : openAlsaOutput("default", static_cast<unsigned>(format.rate),
                         static_cast<unsigned>(format.channels));
    if (!output)
        return MPEGDLL_ERR_OUTPUT;
    m_position = startFrame;
    {
        std::lock_guard state(m_stateMutex);
        m_stopRequested = false;
        m_pauseRequested = false;
        m_pauseHeld = false;
        m_seekRequest = -1;
        m_mode = MPEGDLL_MODE_PLAYING;
        m_threadActive = true;
    }
    try {
        m_thread = std::thread(&Player::run, this, m_decoder.get(), std::move(output), startFrame,
                               endFrame, m_endedFlag);
    } catch (const std::system_error &) {
        std::lock_guard state(m_stateMutex);
        m_threadActive = false;
        m_mode = MPEGDLL_MODE_STOPPED;
        return MPEGDLL_ERR_DECODER;
    }
    return MPEGDLL_OK;
}

// Caller holds m_apiMutex. Stops a running play without reporting its end and joins the
// thread; a play that already ended keeps its mode.
void Player::halt()
{
    if (!m_thread.joinable())
        return;
    {
        std::lock_guard state(m_stateMutex);
        m_stopRequested = true;
    }
    m_wake.notify_all();
    m_thread.join();
    std::lock_guard state(m_stateMutex);
    m_stopRequested = false;
    m_pauseRequested = false;
    m_seekRequest = -1;
    if (playingMode(m_mode))
        m_mode = MPEGDLL_MODE_STOPPED;
}

// Caller holds m_apiMutex and has halted the thread.
void Player::closeStream()
{
    m_decoder.reset();
    m_rate = 0;
    m_layer = 0;
    m_bitrate = 0;
    m_length = -1;
    m_position = 0;
    m_rangeStart = 0;
    m_rangeEnd = 0;
    std::lock_guard state(m_stateMutex);
    m_mode = MPEGDLL_MODE_CLOSED;
}

void Player::pause(bool resume)
{
    EntryScope scope;
    if (!scope.ok()) {
        setError(MPEGDLL_ERR_MODE);
        return;
    }
    std::lock_guard lock(m_apiMutex);
    {
        std::lock_guard state(m_stateMutex);
        const int32_t want = resume ? MPEGDLL_MODE_PAUSED : MPEGDLL_MODE_PLAYING;
        if (!m_initialised || m_mode != want) {
            setError(MPEGDLL_ERR_MODE);
            return;
        }
        m_mode = resume ? MPEGDLL_MODE_PLAYING : MPEGDLL_MODE_PAUSED;
        m_pauseRequested = !resume;
    }
    m_wake.notify_all();
    if (!resume) {
        // A chunk the thread is decoding or handing over is completed first; once the thread
        // holds its output paused nothing moves until the resume. A play that ends meanwhile
        // releases the wait too.
        std::unique_lock state(m_stateMutex);
        m_wake.wait(state, [this] { return m_pauseHeld || !m_threadActive; });
    }
    setError(MPEGDLL_OK);
}

void Player::stop()
{
    EntryScope scope;
    if (!scope.ok()) {
        setError(MPEGDLL_ERR_MODE);
        return;
    }
    std::lock_guard lock(m_apiMutex);
    bool stopping = false;
    {
        // Checked and requested in one step, so a play that ends meanwhile either reports its
        // end (and Stop fails) or is stopped (and reports nothing).
        std::lock_guard state(m_stateMutex);
        stopping = m_initialised && playingMode(m_mode);
        if (stopping)
            m_stopRequested = true;
    }
    halt();
    setError(stopping ? MPEGDLL_OK : MPEGDLL_ERR_MODE);
}

void Player::close()
{
    EntryScope scope;
    if (!scope.ok()) {
        setError(MPEGDLL_ERR_MODE);
        return;
    }
    std::lock_guard lock(m_apiMutex);
    halt();
    closeStream();
    setError(MPEGDLL_OK);
}

void Player::setPriority(int32_t priority)
{
    EntryScope scope;
    if (!scope.ok()) {
        setError(MPEGDLL_ERR_MODE);
        return;
    }
    std::lock_guard lock(m_apiMutex);
    m_nice = niceFor(priority);
    {
        std::lock_guard state(m_stateMutex);
        applyNice(m_threadId, m_nice);
    }
    setError(MPEGDLL_OK);
}

void Player::setOutputDevice(int32_t device, const char *fileName)
{
    EntryScope scope;
    if (!scope.ok()) {
        setError(MPEGDLL_ERR_MODE);
        return;
    }
    std::lock_guard lock(m_apiMutex);
    if (device == MPEGDLL_DEVICE_DEFAULT) {
        m_device = device;
        setError(MPEGDLL_OK);
        return;
    }
    const size_t length = fileName == nullptr ? 0 : ::strnlen(fileName, MPEGDLL_OUTPUT_NAME_SIZE);
    if (device != MPEGDLL_DEVICE_PCMFILE || length == 0 || length == MPEGDLL_OUTPUT_NAME_SIZE) {
        setError(MPEGDLL_ERR_OUTPUT);
        return;
    }
    m_device = device;
    m_outputName.assign(fileName, length);
    setError(MPEGDLL_OK);
}

int32_t Player::playerMode()
{
    setError(MPEGDLL_OK);
    return m_mode;
}

int32_t Player::currentPos()
{
    setError(MPEGDLL_OK);
    int64_t position = m_position;
    const int64_t length = m_length;
    if (length >= 0)
        position = std::min(position, length);
    return toMs(position);
}

int32_t Player::length()
{
    setError(MPEGDLL_OK);
    return toMs(m_length);
}

int32_t Player::frequency()
{
    setError(MPEGDLL_OK);
    return m_rate;
}

int32_t Player::bitrate()
{
    setError(MPEGDLL_OK);
    return m_bitrate;
}

int32_t Player::layer()
{
    setError(MPEGDLL_OK);
    return m_layer;
}

void Player::resetPlayerMode()
{
    EntryScope scope;
    if (!scope.ok()) {
        setError(MPEGDLL_ERR_MODE);
        return;
    }
    std::lock_guard lock(m_apiMutex);
    const int32_t mode = m_mode;
    if (mode == MPEGDLL_MODE_ENDED || mode == MPEGDLL_MODE_FAILED) {
        halt();
        std::lock_guard state(m_stateMutex);
        m_mode = MPEGDLL_MODE_STOPPED;
    }
    setError(MPEGDLL_OK);
}

void Player::seek(int32_t posMs)
{
    EntryScope scope;
    if (!scope.ok()) {
        setError(MPEGDLL_ERR_MODE);
        return;
    }
    std::lock_guard lock(m_apiMutex);
    if (!m_initialised || !m_decoder) {
        setError(MPEGDLL_ERR_MODE);
        return;
    }
    if (!m_decoder->seekable()) {
        setError(MPEGDLL_ERR_NONSEEKABLE);
        return;
    }
    int64_t frame = toFrames(posMs);
    if (m_length >= 0)
        frame = std::min<int64_t>(frame, m_length);
    {
        std::lock_guard state(m_stateMutex);
        if (playingMode(m_mode))
            m_seekRequest = frame;
        m_position = frame;
    }
    m_wake.notify_all();
    setError(MPEGDLL_OK);
}

// Applies pause, stop and seek requests. Blocks while paused. False when the play is to stop.
// `handed` counts the stream frames handed to the output so far.
bool Player::takeControls(Output &output, int64_t handed, int64_t &seekTo)
{
    std::unique_lock state(m_stateMutex);
    if (m_pauseRequested && !m_stopRequested) {
        state.unlock();
        output.setPaused(true);
        const int64_t queued = output.queuedFrames();
        state.lock();
        // A seek made before the pause already set the position it will play from.
        if (m_seekRequest < 0)
            m_position = std::max<int64_t>(handed - queued, 0);
        m_pauseHeld = true;
        m_wake.notify_all();
        m_wake.wait(state, [this] { return !m_pauseRequested || m_stopRequested; });
        m_pauseHeld = false;
        if (m_stopRequested)
            return false;
        state.unlock();
        output.setPaused(false);
        state.lock();
    }
    if (m_stopRequested)
        return false;
    seekTo = std::exchange(m_seekRequest, -1);
    return true;
}

void Player::run(Decoder *decoder, std::unique_ptr<Output> output, int64_t startFrame,
                 int64_t endFrame, bool *ended)
{
    t_onPlayerThread = true;
    {
        std::lock_guard state(m_stateMutex);
        m_threadId = ::gettid();
        applyNice(m_threadId, m_nice);
    }
    const size_t channels = static_cast<size_t>(decoder->format().channels);
    const int32_t rate = decoder->format().rate;
    std::vector<int16_t> buffer(kChunkFrames * channels);
    size_t pendingOffset = 0; // frames of the buffer already handed over
    size_t pendingFrames = 0; // frames of the buffer still to hand over
    int64_t handed = 0; // stream frames decoded and handed over (or dropped before the start)
    bool inputDone = false;
    bool draining = false;
    auto drainDeadline = std::chrono::steady_clock::time_point {};
    Outcome outcome = Outcome::Ended;

    for (;;) {
        int64_t seekTo = -1;
        if (!takeControls(*output, handed, seekTo)) {
            outcome = Outcome::Stopped;
            break;
        }
        if (seekTo >= 0) {
            output->discardQueued();
            if (decoder->seek(seekTo) != MPEGDLL_OK) {
                outcome = Outcome::Failed;
                break;
            }
            handed = decoder->position();
            startFrame = handed;
            pendingFrames = 0;
            inputDone = false;
            draining = false;
        }
        if (pendingFrames == 0 && !inputDone) {
            // Before the start position chunks are decoded and dropped.
            const bool skipping = handed < startFrame;
            int64_t want = static_cast<int64_t>(kChunkFrames);
            if (skipping)
                want = std::min(want, startFrame - handed);
            else if (endFrame > 0)
                want = std::clamp<int64_t>(endFrame - handed, 0, want);
            size_t frames = 0;
            const ReadStatus status = want == 0
                ? ReadStatus::End
                : decoder->read(buffer.data(), static_cast<size_t>(want), frames);
            if (status == ReadStatus::Error) {
                outcome = Outcome::Failed;
                break;
            }
            if (status == ReadStatus::End) {
                inputDone = true;
                output->beginDrain();
            } else if (skipping) {
                handed += static_cast<int64_t>(frames);
                continue;
            } else {
                pendingOffset = 0;
                pendingFrames = frames;
                m_bitrate = decoder->currentBitrate();
            }
        }
        if (pendingFrames > 0) {
            const long accepted
                = output->writeSome(buffer.data() + pendingOffset * channels, pendingFrames);
            if (accepted < 0) {
                outcome = Outcome::Failed;
                break;
            }
            pendingOffset += static_cast<size_t>(accepted);
            pendingFrames -= static_cast<size_t>(accepted);
            handed += accepted;
            if (pendingFrames > 0)
                output->waitWritable(kDevicePoll);
        }
        const int64_t queued = output->queuedFrames();
        m_position = std::max<int64_t>(handed - queued, 0);
        if (!inputDone || pendingFrames > 0)
            continue;
        // Everything is handed over: wait for the device to play it out, still answering
        // pause, stop and seek. The deadline guards against a device that never reports empty.
        const auto now = std::chrono::steady_clock::now();
        const auto queuedTime = std::chrono::milliseconds(queued * 1000 / rate + 1);
        if (!draining) {
            draining = true;
            drainDeadline = now + queuedTime + kDrainSlack;
        }
        if (queued <= 0 || now >= drainDeadline)
            break;
        std::unique_lock state(m_stateMutex);
        m_wake.wait_for(state, std::min<std::chrono::milliseconds>(kDrainPoll, queuedTime), [this] {
            return m_stopRequested || m_pauseRequested || m_seekRequest >= 0;
        });
    }

    if (outcome == Outcome::Stopped)
        output->stop();
    else if (outcome == Outcome::Ended && !output->complete())
        outcome = Outcome::Failed;
    output.reset();

    std::lock_guard state(m_stateMutex);
    m_threadId = 0;
    m_threadActive = false;
    m_wake.notify_all();
    if (m_stopRequested || outcome == Outcome::Stopped)
        return;
    if (outcome == Outcome::Ended)
        m_position = handed;
    // The flag goes first: a caller that polls GetPlayerMode and sees the end must also find
    // the flag set.
    if (ended != nullptr)
        std::atomic_ref<bool>(*ended).store(true);
    m_mode = outcome == Outcome::Ended ? MPEGDLL_MODE_ENDED : MPEGDLL_MODE_FAILED;
}

} // namespace mpegdll
