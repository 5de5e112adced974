// Tests of output device 0 for real: the ALSA "default" device reaching a PulseAudio null sink,
// which plays at real pace. Skipped when no sound server answers.
#include "mpegtestsupport.h"
#include "support/testdictionary.h"
#include "support/waituntil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <string>
#include <thread>
#include <vector>

#include <sys/resource.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace zarel::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// The position moves in steps of one decoded chunk (1152 frames, 52 ms at 22050 Hz) and the
// device's own report of what it still holds is coarse when a stream starts.
constexpr auto kPositionSlack = 120ms;

class MpegDllDevice : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (std::system("pactl info >/dev/null 2>&1") != 0)
            GTEST_SKIP() << "no PulseAudio server answers (start one with "
                            "scripts/soundserver.sh: zarel_start_sound_server)";
        std::string error;
        ASSERT_TRUE(m_lib.load(MPEGDLL_PATH, error)) << error;
        ASSERT_TRUE(m_lib.init());
        m_serverAhead = sinkLatency();
        // These cases measure real-time playing, which a machine busy with other work (the rest
        // of the suite, sanitizers) would distort. Like any audio program that must not be
        // heard stuttering, the test raises its sound path above normal work where it may: this
        // thread, which opens the device (its sound-server threads inherit from it), and the
        // player thread through the library's own priority setting.
        ::setpriority(PRIO_PROCESS, 0, -10);
        m_lib.SetPriority(2);
    }

    // How far the server's sink mixes ahead of what is heard. A new sound is first heard after
    // that: a sink kept busy by a stream asking for a long latency runs seconds ahead.
    static std::chrono::milliseconds sinkLatency()
    {
        FILE *pactl = ::popen("pactl list sinks 2>/dev/null", "r");
        if (pactl == nullptr)
            return {};
        long microseconds = 0;
        char line[512];
        while (std::fgets(line, sizeof line, pactl) != nullptr) {
            if (std::sscanf(line, " Latency: %ld usec", &microseconds) == 1)
                break;
        }
        ::pclose(pactl);
        return std::chrono::milliseconds(microseconds / 1000);
    }

    // Opens a tone of `seconds` and starts it on device 0; false (test skipped) when the
    // device cannot be opened.
    bool startTone(double seconds, int frequency = 440)
    {
        const std::string mp3 = makeToneMp3(m_dir.path(), "tone", seconds, 22050, 1, 24, frequency);
        EXPECT_FALSE(mp3.empty()) << "sox and lame are needed to make the test sounds";
        m_lib.openFile(mp3);
        EXPECT_EQ(m_lib.LastError(), MPEGDLL_OK);
        m_length = std::chrono::milliseconds(m_lib.GetLength());
        m_lib.SetOutputDevice(MPEGDLL_DEVICE_DEFAULT, nullptr);
        m_started = Clock::now();
        const int32_t result = m_lib.Play(0, 0, &m_ended);
        if (result == MPEGDLL_ERR_OUTPUT)
            return false;
        EXPECT_EQ(result, MPEGDLL_OK);
        return result == MPEGDLL_OK;
    }

    std::chrono::milliseconds elapsed() const
    {
        return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - m_started);
    }

    TempDir m_dir;
    bool m_ended = false;
    MpegLibrary m_lib;
    std::chrono::milliseconds m_length { 0 };
    std::chrono::milliseconds m_serverAhead { 0 };
    Clock::time_point m_started;
};

constexpr int kToneHz = 1250;
constexpr int kWindowMs = 20;

// Splits 22050 Hz audio into windows and tells for each whether it carries the test tone at
// more than a quarter of full scale (Goertzel filter at the tone's frequency).
std::vector<bool> toneWindows(const std::vector<int16_t> &samples)
{
    constexpr size_t n = 22050 * kWindowMs / 1000;
    const double coefficient = 2 * std::cos(2 * std::numbers::pi * kToneHz / 22050.0);
    std::vector<bool> windows;
    for (size_t start = 0; start + n <= samples.size(); start += n) {
        double previous = 0;
        double beforePrevious = 0;
        for (size_t i = start; i < start + n; ++i) {
            const double current = samples[i] + coefficient * previous - beforePrevious;
            beforePrevious = previous;
            previous = current;
        }
        const double power = previous * previous + beforePrevious * beforePrevious
            - coefficient * previous * beforePrevious;
        const double amplitude = 2 * std::sqrt(std::max(power, 0.0)) / n;
        windows.push_back(amplitude > 8192);
    }
    return windows;
}

#define START_TONE_OR_SKIP(seconds)                                                                \
    if (!startTone(seconds))                                                                       \
    GTEST_SKIP() << "the ALSA \"default\" device cannot be opened"

TEST_F(MpegDllDevice, EndArrivesAfterTheSoundsLength)
{
    START_TONE_OR_SKIP(0.5);
    EXPECT_EQ(m_lib.GetPlayerMode(), MPEGDLL_MODE_PLAYING);
    // The position moves while the sound is heard, and the end comes only once it all was.
    ASSERT_TRUE(waitUntil([&] { return m_lib.GetCurrentPos() > 0 || flagSet(m_ended); }));
    const int32_t midway = m_lib.GetCurrentPos();
    if (!flagSet(m_ended)) {
        EXPECT_LT(midway, m_length.count());
        EXPECT_LE(std::chrono::milliseconds(midway), elapsed() + m_serverAhead + kPositionSlack)
            << "the position ran ahead of the time played";
    }

    ASSERT_TRUE(waitForFlag(m_ended, kWaitDeadline));
    // The sink keeps real time, so the sound cannot have been played out sooner than its length.
    EXPECT_GE(elapsed(), m_length - 60ms) << "ended before the sound could have been heard";
    ASSERT_TRUE(waitForMode(m_lib, MPEGDLL_MODE_ENDED, kWaitDeadline));
    EXPECT_EQ(m_lib.GetCurrentPos(), m_lib.GetLength());
}

TEST_F(MpegDllDevice, PauseHoldsThePlayBack)
{
    START_TONE_OR_SKIP(0.6);
    ASSERT_TRUE(waitUntil([&] { return m_lib.GetCurrentPos() > 0; }));
    m_lib.Pause(false);
    ASSERT_EQ(m_lib.LastError(), MPEGDLL_OK);
    // Once Pause has returned the position stands still; the wall-clock window is what the
    // pause must hold, not a wait for something to happen.
    const int32_t held = m_lib.GetCurrentPos();
    const auto pausedAt = Clock::now();
    std::this_thread::sleep_for(250ms);
    EXPECT_EQ(m_lib.GetCurrentPos(), held) << "the position ran on while paused";
    EXPECT_FALSE(flagSet(m_ended));
    const auto pausedFor = Clock::now() - pausedAt;
    m_lib.Pause(true);
    ASSERT_EQ(m_lib.LastError(), MPEGDLL_OK);
    ASSERT_TRUE(waitForFlag(m_ended, kWaitDeadline));
    EXPECT_GE(elapsed(),
              m_length - 60ms + std::chrono::duration_cast<std::chrono::milliseconds>(pausedFor))
        << "the pause did not hold the sound back";
}

TEST_F(MpegDllDevice, StopIsPromptAndReportsNoEnd)
{
    START_TONE_OR_SKIP(1.5);
    ASSERT_TRUE(waitUntil([&] { return m_lib.GetCurrentPos() > 0; }));
    m_lib.Stop();
    EXPECT_EQ(m_lib.LastError(), MPEGDLL_OK);
    EXPECT_EQ(m_lib.GetPlayerMode(), MPEGDLL_MODE_STOPPED);
    const int32_t position = m_lib.GetCurrentPos();
    EXPECT_LE(std::chrono::milliseconds(position), elapsed() + m_serverAhead + kPositionSlack)
        << "the position ran ahead of the time played";
    EXPECT_LT(position, m_length.count());
    // Stop has joined the player thread: nothing can report an end any more.
    EXPECT_FALSE(flagSet(m_ended));
}

TEST_F(MpegDllDevice, UnreachableServerGivesCode5)
{
    const std::string mp3 = makeToneMp3(m_dir.path(), "tone", 0.2, 22050, 1, 24);
    ASSERT_FALSE(mp3.empty());
    m_lib.openFile(mp3);
    m_lib.SetOutputDevice(MPEGDLL_DEVICE_DEFAULT, nullptr);
    const char *server = std::getenv("PULSE_SERVER");
    const std::string saved = server == nullptr ? "" : server;
    ::setenv("PULSE_SERVER", ("unix:" + m_dir.file("no-server")).c_str(), 1);
    int32_t result = 0;
    {
#if defined(__SANITIZE_ADDRESS__)
        // ALSA's pulse plugin keeps its half-built connection when the server cannot be
        // reached; that leak is the plugin's, not the library's.
        __lsan::ScopedDisabler alsaLeaksOnFailure;
#endif
        result = m_lib.Play(0, 0, &m_ended);
    }
    if (server == nullptr)
        ::unsetenv("PULSE_SERVER");
    else
        ::setenv("PULSE_SERVER", saved.c_str(), 1);
    EXPECT_EQ(result, MPEGDLL_ERR_OUTPUT);
    EXPECT_EQ(m_lib.LastError(), MPEGDLL_ERR_OUTPUT);
    EXPECT_EQ(m_lib.GetPlayerMode(), MPEGDLL_MODE_STOPPED);
    EXPECT_FALSE(flagSet(m_ended));
}

TEST_F(MpegDllDevice, TheSinkReceivesTheWholeTone)
{
    if (std::system("command -v parec >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "parec is needed to record the sink";
    // Records the null sink's monitor on a thread of its own until the tone has been played out
    // (the shell prints the recorder's process id first, so it can be ended then).
    FILE *parec
        = ::popen("sh -c 'echo $$; exec nice -n -10 parec --device=null.monitor --rate=22050 "
                  "--channels=1 --format=s16le --latency-msec=20 2>/dev/null'",
                  "r");
    ASSERT_NE(parec, nullptr);
    char pidLine[32] = {};
    ASSERT_NE(std::fgets(pidLine, sizeof pidLine, parec), nullptr);
    const pid_t recorder = static_cast<pid_t>(std::atol(pidLine));
    ASSERT_GT(recorder, 0);
    std::vector<int16_t> recorded;
    std::atomic<size_t> recordedCount { 0 };
    std::thread reader([&] {
        int16_t chunk[1024];
        size_t n = 0;
        while ((n = std::fread(chunk, sizeof(int16_t), 1024, parec)) > 0) {
            recorded.insert(recorded.end(), chunk, chunk + n);
            recordedCount = recorded.size();
        }
    });
    // The silent stream keeps the sink running, so samples arrive once the recorder is connected.
    const bool connected = waitUntil([&] { return recordedCount > 0; });
    const bool started = connected && startTone(0.5, kToneHz);
    if (started) {
        EXPECT_TRUE(waitForFlag(m_ended, kWaitDeadline));
        // What the sink mixes ahead reaches its monitor only as it is played.
        const size_t until
            = recordedCount + static_cast<size_t>((m_serverAhead + 300ms).count()) * 22;
        waitUntil([&] { return recordedCount >= until; });
    }
    ::kill(recorder, SIGTERM);
    reader.join();
    ::pclose(parec);
    ASSERT_TRUE(connected) << "the recorder never delivered a sample";
    if (!started)
        GTEST_SKIP() << "the ALSA \"default\" device cannot be opened";

    // Other programs may sound on the same sink, so the tone is found by its own frequency,
    // window by window.
    const std::vector<bool> windows = toneWindows(recorded);
    const auto first = std::find(windows.begin(), windows.end(), true);
    ASSERT_NE(first, windows.end())
        << "the tone never reached the sink (" << recorded.size() << " samples recorded)";
    const auto last = std::find(windows.rbegin(), windows.rend(), true).base();
    const auto span = std::chrono::milliseconds((last - first) * kWindowMs);
    // The stream is a little longer than the tone (the encoder's delay and padding are silent).
    EXPECT_NEAR(span.count(), 500, 60) << "the tone was cut or stretched";
    EXPECT_EQ(std::count(first, last, false), 0) << "the tone has gaps";
}

} // namespace
} // namespace zarel::test
