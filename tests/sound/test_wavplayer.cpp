// The answer-sound player: reading RIFF/WAVE files (good, odd and damaged ones) and playing them
// on the virtual wave device, in wait mode and without.
#include "sound/wavplayer.h"

#include "platform/wave/virtualwave.h"
#include "support/testdictionary.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

std::string le16(uint16_t v)
{
    return { char(v & 0xFF), char(v >> 8) };
}

std::string le32(uint32_t v)
{
    return le16(uint16_t(v & 0xFFFF)) + le16(uint16_t(v >> 16));
}

std::string chunk(const std::string &id, const std::string &body, uint32_t claimed = UINT32_MAX)
{
    return id + le32(claimed == UINT32_MAX ? uint32_t(body.size()) : claimed) + body;
}

std::string fmt(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits)
{
    const uint16_t align = uint16_t(channels * bits / 8);
    return chunk("fmt ",
                 le16(tag) + le16(channels) + le32(rate) + le32(rate * align) + le16(align)
                     + le16(bits));
}

std::string riff(const std::string &chunks)
{
    return "RIFF" + le32(uint32_t(4 + chunks.size())) + "WAVE" + chunks;
}

std::string samples(size_t n, char seed = 1)
{
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i)
        s[i] = char(seed + i * 3);
    return s;
}

TEST(WavFile, ReadsPcmFormatsAndSkipsOtherChunks)
{
    zarel::WavSound sound;
    const std::string mono8 = samples(100);
    ASSERT_TRUE(zarel::parseWav(riff(fmt(1, 1, 8000, 8) + chunk("data", mono8)), sound).ok());
    EXPECT_EQ(sound.samples, mono8);
    EXPECT_EQ(sound.format.blockAlign, 1);
    EXPECT_DOUBLE_EQ(sound.seconds(), 100.0 / 8000);

    // An odd-sized chunk before the format is padded to an even length; the stereo 16-bit data
    // keeps whole frames only (its 2 extra bytes are cut).
    const std::string stereo = samples(4 * 50 + 2);
    ASSERT_TRUE(zarel::parseWav(riff(chunk("LIST", "abc") + std::string(1, '\0')
                                     + fmt(1, 2, 22050, 16) + chunk("data", stereo)),
                                sound)
                    .ok());
    EXPECT_EQ(sound.samples, stereo.substr(0, 200));
    EXPECT_EQ(sound.format.avgBytesPerSec, 22050u * 4);

    // The extensible header with PCM samples.
    std::string ext = le16(0xFFFE) + le16(1) + le32(11025) + le32(11025 * 2) + le16(2) + le16(16)
        + le16(22) + le16(16) + le32(4) + le16(1) + std::string(14, '\0');
    ASSERT_TRUE(zarel::parseWav(riff(chunk("fmt ", ext) + chunk("data", samples(20))), sound).ok());
    EXPECT_EQ(sound.format.bitsPerSample, 16);

    // A data chunk that claims more than the file holds gives what exists.
    ASSERT_TRUE(
        zarel::parseWav(riff(fmt(1, 1, 8000, 8) + chunk("data", samples(10), 5000)), sound).ok());
    EXPECT_EQ(sound.samples.size(), 10u);
}

TEST(WavFile, DamagedFilesAreRefused)
{
    const std::string good = riff(fmt(1, 1, 8000, 8) + chunk("data", samples(64)));
    const std::string cases[] = {
        "",
        "RIFF",
        "RIFX" + good.substr(4),
        good.substr(0, 8) + "AVI " + good.substr(12),
        riff(chunk("fmt ", le16(1) + le16(1))), // short format
        riff(fmt(3, 1, 8000, 32) + chunk("data", samples(64))), // float samples
        riff(fmt(1, 3, 8000, 8) + chunk("data", samples(64))), // three channels
        riff(fmt(1, 1, 8000, 24) + chunk("data", samples(64))), // 24-bit
        riff(fmt(1, 1, 0, 8) + chunk("data", samples(64))), // no rate
        riff(fmt(1, 1, 500000, 8) + chunk("data", samples(64))),
        riff(chunk("data", samples(64)) + fmt(1, 1, 8000, 8)), // samples before the format
        riff(fmt(1, 1, 8000, 8)), // no samples
        riff(fmt(1, 1, 8000, 8) + chunk("data", "")),
        riff(fmt(1, 2, 8000, 16) + chunk("data", "abc")), // less than one frame
        riff(chunk("fmt ", le16(1), 0xFFFFFFF0u)), // a format chunk past the end
    };
    for (const std::string &bytes : cases) {
        zarel::WavSound sound;
        sound.samples = "stale";
        const zarel::Status s = zarel::parseWav(bytes, sound);
        EXPECT_EQ(s.code, zarel::ErrorCode::BadFormat) << bytes.size();
        EXPECT_TRUE(sound.samples.empty());
    }
    // Every cut of a good file is read or refused, never read past its end.
    for (size_t n = 0; n <= good.size(); ++n) {
        zarel::WavSound sound;
        const zarel::Status s = zarel::parseWav(std::string_view(good).substr(0, n), sound);
        EXPECT_EQ(s.ok(), !sound.samples.empty());
    }
}

TEST(WavFile, MissingAndOversizedFiles)
{
    zarel::test::TempDir dir;
    zarel::WavSound sound;
    EXPECT_EQ(zarel::readWavFile(dir.file("none.wav"), sound).code, zarel::ErrorCode::FileNotFound);
    zarel::test::writeFile(dir.file("big.wav"), "RIFF");
    std::filesystem::resize_file(dir.file("big.wav"), zarel::kMaxWavFileBytes + 1);
    EXPECT_EQ(zarel::readWavFile(dir.file("big.wav"), sound).code, zarel::ErrorCode::BadFormat);
}

class WavPlayerTest : public ::testing::Test
{
protected:
    // A sound of `seconds` at 8000 Hz, 8-bit mono, written as the file "s.wav".
    std::string writeSound(double seconds)
    {
        m_samples = samples(size_t(seconds * 8000));
        zarel::test::writeFile(m_dir.file("s.wav"),
                               riff(fmt(1, 1, 8000, 8) + chunk("data", m_samples)));
        return m_dir.file("s.wav");
    }
    std::vector<char> expected() const { return { m_samples.begin(), m_samples.end() }; }

    zarel::test::TempDir m_dir;
    std::string m_samples;
    std::shared_ptr<zarel::wave::VirtualWave> m_device
        = std::make_shared<zarel::wave::VirtualWave>(1.0);
};

TEST_F(WavPlayerTest, WaitModeReturnsWhenTheSoundHasEnded)
{
    TWavPlayer player(m_device);
    player.FileName = writeSound(0.3);
    ASSERT_TRUE(player.Open());
    player.Wait = true;
    const auto start = Clock::now();
    ASSERT_TRUE(player.Play());
    const auto took = Clock::now() - start;
    EXPECT_GE(took, std::chrono::milliseconds(280));
    EXPECT_FALSE(player.playing());
    EXPECT_EQ(m_device->sink(), expected());
    player.Close();
    EXPECT_FALSE(player.opened());
}

TEST_F(WavPlayerTest, WithoutWaitPlayReturnsAtOnceAndStopCutsTheSound)
{
    TWavPlayer player(m_device);
    player.FileName = writeSound(2.0);
    ASSERT_TRUE(player.Open());
    ASSERT_TRUE(player.Play());
    // Play did not wait for the end: the sound is still playing.
    EXPECT_TRUE(player.playing());
    player.Stop();
    EXPECT_FALSE(player.playing());
    EXPECT_LT(m_device->sink().size(), m_samples.size());
    // The sound stays opened and plays again from its start.
    m_device->clearSink();
    player.Wait = true;
    ASSERT_TRUE(player.Play());
    EXPECT_EQ(m_device->sink(), expected());
}

TEST_F(WavPlayerTest, DamagedMissingFileOrAbsentDevicePlaysNothing)
{
    TWavPlayer player(m_device);
    player.Wait = true;
    player.FileName = m_dir.file("none.wav");
    EXPECT_FALSE(player.Open());
    EXPECT_FALSE(player.Play());
    zarel::test::writeFile(m_dir.file("bad.wav"), "RIFF\x10\0\0\0WAVEjunkjunk");
    player.FileName = m_dir.file("bad.wav");
    EXPECT_FALSE(player.Open());
    EXPECT_EQ(player.lastStatus().code, zarel::ErrorCode::BadFormat);
    EXPECT_FALSE(player.Play());
    EXPECT_TRUE(m_device->sink().empty());

    player.FileName = writeSound(0.1);
    ASSERT_TRUE(player.Open());
    m_device->setPresent(false);
    EXPECT_FALSE(player.Play());
    EXPECT_FALSE(player.playing());
}

} // namespace
