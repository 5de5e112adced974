// TMPEGPlayer over the real playing library (loaded with dlopen, decoding to a PCM file): the
// open/play/restart/stop rules, the poll timer's end event, errors and a library that lacks an
// entry.
#include "sound/tmpegplayer.h"

#include "mpegtestsupport.h"
#include "support/testdictionary.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <utility>

#include <QSignalSpy>
#include <QTest>

using namespace zarel::test;

namespace {

// Generous for sanitizer builds on loaded cores: a passing test never waits it out.
constexpr int kLongWaitMs = 20000;
constexpr std::chrono::milliseconds kLongWait(kLongWaitMs);

class PlayerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_tone = makeToneMp3(m_dir.path(), "tone", 0.4, 22050, 1, 32);
        if (m_tone.empty())
            GTEST_SKIP() << "sox and lame are needed to make the test sound";
        player.PathToDLL = MPEGDLL_DIR;
        player.setTimerFreq(50);
        player.OutFilename = m_dir.file("out.pcm");
        player.setOutputDevice(TOutputDevice::pcmfile);
    }
    void TearDown() override
    {
        if (player.LibraryLoaded())
            player.UnloadPlayerLibrary();
    }
    void openTone()
    {
        player.LoadPlayerLibrary();
        player.setStreamName(m_tone);
        player.Open();
    }

    TempDir m_dir;
    std::string m_tone;
    TMPEGPlayer player;
};

int errorCodeOf(const std::function<void()> &call)
{
    try {
        call();
    } catch (const TMPEGError &e) {
        return e.ErrorCode;
    }
    return -1;
}

} // namespace

TEST_F(PlayerTest, PlaysToAPcmFileAndRaisesTheEndOnce)
{
    QSignalSpy ends(&player, &TMPEGPlayer::OnPlayEnd);
    openTone();
    EXPECT_EQ(player.PlayedXTimes(), 1);
    EXPECT_NEAR(player.Length(), 430, 60); // the tone and the encoder's padding
    player.Play();
    EXPECT_EQ(player.PlayedXTimes(), 2);
    EXPECT_TRUE(ends.wait(kLongWaitMs));
    QTest::qWait(200); // a window for a second, wrong end to show
    EXPECT_EQ(ends.count(), 1);
    EXPECT_FALSE(player.isPlaying());
    const Pcm reference = referenceDecode(m_tone);
    EXPECT_EQ(readPcmFile(m_dir.file("out.pcm")), reference.samples);
}

TEST_F(PlayerTest, PlayTwiceRestartsOnlyAfterTheEnd)
{
    QSignalSpy ends(&player, &TMPEGPlayer::OnPlayEnd);
    openTone();
    player.Play();
    player.Play(); // still playing: nothing happens
    EXPECT_EQ(player.PlayedXTimes(), 2);
    ASSERT_TRUE(ends.wait(kLongWaitMs));
    player.Play(); // after the end: played again through Restart
    EXPECT_EQ(player.PlayedXTimes(), 3);
    EXPECT_TRUE(ends.wait(kLongWaitMs));
    EXPECT_EQ(ends.count(), 2);
    // Stop after the end was reached is an incorrect mode.
    EXPECT_EQ(errorCodeOf([&] { player.Stop(); }), 2);
}

// A sound that is over before Play returns (a short file, a busy machine) still reports its
// end from the event loop: the handlers must not run in the middle of the caller's start-up.
TEST_F(PlayerTest, AnEndReachedDuringPlayIsReportedAfterPlayReturns)
{
    QSignalSpy ends(&player, &TMPEGPlayer::OnPlayEnd);
    openTone();
    bool firstUpdate = true;
    // The position report of Play's own first tick waits until the decoder has finished, so
    // the end is already there when that tick looks for it.
    // It waits without running the event loop, whose timer would otherwise look first.
    QObject::connect(&player, &TMPEGPlayer::OnPosUpdate, &player, [&](int, int) {
        if (!std::exchange(firstUpdate, false))
            return;
        const auto deadline = std::chrono::steady_clock::now() + kLongWait;
        while (player.PlayerMode() != MPEGDLL_MODE_ENDED
               && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        EXPECT_EQ(player.PlayerMode(), MPEGDLL_MODE_ENDED);
    });
    player.Play();
    EXPECT_FALSE(firstUpdate);
    EXPECT_EQ(ends.count(), 0);
    EXPECT_TRUE(player.isPlaying());
    EXPECT_TRUE(ends.wait(kLongWaitMs));
    EXPECT_FALSE(player.isPlaying());
}

TEST_F(PlayerTest, WithoutTheTimerNoEndIsRaised)
{
    player.setTimerFreq(0);
    EXPECT_FALSE(player.UseTimer);
    QSignalSpy ends(&player, &TMPEGPlayer::OnPlayEnd);
    openTone();
    player.Play();
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return player.PlayerMode() == MPEGDLL_MODE_ENDED; }, kLongWaitMs));
    QTest::qWait(200); // the timer would have seen the end by now
    EXPECT_EQ(ends.count(), 0);
    EXPECT_EQ(player.PlayerMode(), MPEGDLL_MODE_ENDED); // it did play to its end
}

TEST_F(PlayerTest, ErrorsOfTheComponent)
{
    EXPECT_EQ(errorCodeOf([&] { player.Open(); }), 0); // not loaded
    player.LoadPlayerLibrary();
    EXPECT_EQ(errorCodeOf([&] { player.Open(); }), 254); // no stream name
    try {
        player.Open();
    } catch (const TMPEGError &e) {
        EXPECT_STREQ(e.what(), "Can't play non-specified stream");
    }
    player.setStreamName(m_dir.file("missing.mp3"));
    EXPECT_EQ(errorCodeOf([&] { player.Open(); }), 3);
    zarel::test::writeFile(m_dir.file("text.mp3"), std::string(4000, 'x'));
    player.setStreamName(m_dir.file("text.mp3"));
    EXPECT_EQ(errorCodeOf([&] { player.Open(); }), 3);
    EXPECT_EQ(errorCodeOf([&] { player.SetPaused(true); }), 2);
    player.setPlayerPriority(TPlayPriority::Idle);
    EXPECT_EQ(player.PlayerPriority(), TPlayPriority::Idle);
}

TEST_F(PlayerTest, LibraryThatCannotBeLoadedOrLacksAnEntry)
{
    player.PathToDLL = m_dir.path();
    try {
        player.LoadPlayerLibrary();
        FAIL() << "loaded a library that does not exist";
    } catch (const TMPEGError &e) {
        EXPECT_STREQ(e.what(), "Can't load MPEG library");
    }
    player.PathToDLL = FAKEMPEG_DIR; // a libmpegdll.so without "Seek"
    try {
        player.LoadPlayerLibrary();
        FAIL() << "loaded a library without all its entries";
    } catch (const TMPEGError &e) {
        EXPECT_STREQ(e.what(), "MPEG library not loaded");
        EXPECT_EQ(e.ErrorCode, 0);
    }
    EXPECT_FALSE(player.LibraryLoaded());
}
