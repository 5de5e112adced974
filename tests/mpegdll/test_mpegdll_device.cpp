// Tests of output device 0 for real: the ALSA "default" device reaching a PulseAudio null sink,
// which plays at real pace. Skipped when no sound server answers.
#include "mpegtestsupport.h"
#include "support/testdictionary.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <thread>

namespace zarel::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

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
    bool startTone(double seconds)
    {
        const std::string mp3 = makeToneMp3(m_dir.path(), "tone", seconds, 22050, 1, 24);
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

#define START_TONE_OR_SKIP(seconds)                                                                \
    if (!startTone(seconds))                                                                       \
    GTEST_SKIP() << "the ALSA \"default\" device cannot be opened"

TEST_F(MpegDllDevice, EndArrivesAfterTheSoundsLength)
{
    START_TONE_OR_SKIP(0.5);
    EXPECT_EQ(m_lib.GetPlayerMode(), MPEGDLL_MODE_PLAYING);
    std::this_thread::sleep_for(200ms);
    EXPECT_FALSE(flagSet(m_ended)) << "ended long before the sound could have been heard";
    const int32_t midway = m_lib.GetCurrentPos();
    if (m_serverAhead < 100ms) {
        EXPECT_GT(midway, 0) << "nothing heard after 200 ms";
    }
    EXPECT_LT(midway, m_length.count());

    ASSERT_TRUE(waitForFlag(m_ended, m_length + m_serverAhead + 1500ms));
    const auto took = elapsed();
    EXPECT_GE(took, m_length - 60ms);
    EXPECT_LE(took, m_length + m_serverAhead + 500ms)
        << "the sink runs " << m_serverAhead.count() << " ms ahead";
    EXPECT_EQ(m_lib.GetPlayerMode(), MPEGDLL_MODE_ENDED);
    EXPECT_EQ(m_lib.GetCurrentPos(), m_lib.GetLength());
}

TEST_F(MpegDllDevice, PauseHoldsThePlayBack)
{
    START_TONE_OR_SKIP(0.6);
    std::this_thread::sleep_for(150ms);
    m_lib.Pause(false);
    ASSERT_EQ(m_lib.LastError(), MPEGDLL_OK);
    std::this_thread::sleep_for(50ms);
    const int32_t held = m_lib.GetCurrentPos();
    std::this_thread::sleep_for(250ms);
    EXPECT_NEAR(m_lib.GetCurrentPos(), held, 30) << "the position ran on while paused";
    EXPECT_FALSE(flagSet(m_ended));
    m_lib.Pause(true);
    ASSERT_EQ(m_lib.LastError(), MPEGDLL_OK);
    ASSERT_TRUE(waitForFlag(m_ended, m_length + m_serverAhead + 1500ms));
    EXPECT_GE(elapsed(), m_length + 250ms) << "the pause did not hold the sound back";
}

TEST_F(MpegDllDevice, StopIsPromptAndReportsNoEnd)
{
    START_TONE_OR_SKIP(1.5);
    std::this_thread::sleep_for(200ms);
    const auto before = Clock::now();
    m_lib.Stop();
    EXPECT_EQ(m_lib.LastError(), MPEGDLL_OK);
    EXPECT_LT(Clock::now() - before, 300ms);
    EXPECT_EQ(m_lib.GetPlayerMode(), MPEGDLL_MODE_STOPPED);
    const int32_t position = m_lib.GetCurrentPos();
    EXPECT_LE(position, 350) << "the position ran ahead of the time played";
    std::this_thread::sleep_for(100ms);
    EXPECT_FALSE(flagSet(m_ended));
}

} // namespace
} // namespace zarel::test
