// Tests of the MP3 encoding for the sound data: what LAME writes decodes back (with libmpg123)
// to mono 22050 Hz PCM of the same length and loudness, silence for empty input, safe writes.
#include "zarel-dict/mp3encoder.h"

#include "mp3testutil.h"
#include "support/testdictionary.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <numbers>

using namespace zarel;
using namespace zarel::dicttool;

namespace {

// A tone with a soft start and end, like a spoken syllable.
std::vector<int16_t> tone(int rate, double seconds, double hz = 440)
{
    const auto n = static_cast<size_t>(rate * seconds);
    std::vector<int16_t> pcm(n);
    for (size_t i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / rate;
        const double envelope = std::sin(std::numbers::pi * static_cast<double>(i) / n);
        pcm[i] = static_cast<int16_t>(12000 * envelope * std::sin(2 * std::numbers::pi * hz * t));
    }
    return pcm;
}

test::DecodedMp3 encodeAndDecode(const test::TempDir &dir, std::span<const int16_t> pcm,
                                 const Mp3Options &options, size_t *bytes = nullptr)
{
    const std::string path = dir.file("sound.mp3");
    const Status st = writeMp3File(path, pcm, options);
    EXPECT_TRUE(st.ok()) << st.message;
    if (bytes != nullptr)
        *bytes = std::filesystem::file_size(path);
    return test::decodeMp3File(path);
}

TEST(Mp3Encoder, DecodesBackToMonoPcmOfTheSameLengthAndLoudness)
{
    test::TempDir dir;
    const std::vector<int16_t> pcm = tone(22050, 0.8);
    size_t bytes = 0;
    const test::DecodedMp3 mp3 = encodeAndDecode(dir, pcm, {}, &bytes);
    ASSERT_TRUE(mp3.ok) << mp3.error;
    EXPECT_EQ(mp3.rate, 22050);
    EXPECT_EQ(mp3.channels, 1);
    // The LAME tag lets the decoder drop the encoder's delay and padding.
    EXPECT_EQ(mp3.pcm.size(), pcm.size());
    EXPECT_NEAR(test::rmsOf(mp3.pcm), test::rmsOf(pcm), test::rmsOf(pcm) * 0.25);
    // About 24 kbit/s: 0.8 s make 2400 bytes of frames, plus the tag frame.
    EXPECT_GT(bytes, 2000u);
    EXPECT_LT(bytes, 3000u);
    std::string doubled;
    ASSERT_TRUE(encodeMp3(pcm, { 22050, 22050, 48, 7 }, doubled).ok());
    EXPECT_GT(doubled.size(), bytes * 3 / 2);
}

TEST(Mp3Encoder, EmptyPcmBecomesAShortSilence)
{
    test::TempDir dir;
    const test::DecodedMp3 mp3 = encodeAndDecode(dir, {}, {});
    ASSERT_TRUE(mp3.ok) << mp3.error;
    EXPECT_EQ(mp3.rate, 22050);
    EXPECT_EQ(mp3.channels, 1);
    const double seconds = static_cast<double>(mp3.pcm.size()) / 22050;
    EXPECT_GT(seconds, kSilenceMs / 1000.0 * 0.5);
    EXPECT_LT(seconds, kSilenceMs / 1000.0 * 2);
    EXPECT_LT(test::peakOf(mp3.pcm), 50);
}

TEST(Mp3Encoder, ResamplesOtherInputRatesTo22050)
{
    test::TempDir dir;
    const std::vector<int16_t> pcm = tone(16000, 0.5);
    const test::DecodedMp3 mp3 = encodeAndDecode(dir, pcm, { 16000, 22050, 24, 5 });
    ASSERT_TRUE(mp3.ok) << mp3.error;
    EXPECT_EQ(mp3.rate, 22050);
    EXPECT_NEAR(static_cast<double>(mp3.pcm.size()), 22050 * 0.5, 2);
}

TEST(Mp3Encoder, CapsVeryLongInput)
{
    test::TempDir dir;
    const std::vector<int16_t> pcm(kMaxEncodeSamples + 22050, 0);
    const test::DecodedMp3 mp3 = encodeAndDecode(dir, pcm, {});
    ASSERT_TRUE(mp3.ok) << mp3.error;
    EXPECT_EQ(mp3.pcm.size(), kMaxEncodeSamples);
}

TEST(Mp3Encoder, RefusesSettingsOutOfRange)
{
    const std::vector<int16_t> pcm = tone(22050, 0.1);
    const Mp3Options bad[] = {
        { 0, 22050, 24, 5 },    { 96000, 22050, 24, 5 },   { 22050, 4000, 24, 5 },
        { 22050, 22050, 4, 5 }, { 22050, 22050, 1000, 5 },
    };
    for (const Mp3Options &o : bad) {
        std::string mp3 = "old";
        const Status st = encodeMp3(pcm, o, mp3);
        EXPECT_EQ(st.code, ErrorCode::BadInput) << o.inputRate << " " << o.bitrateKbps;
        EXPECT_TRUE(mp3.empty());
    }
}

TEST(Mp3Encoder, WritesWholeFilesAndNoTemporaryFiles)
{
    test::TempDir dir;
    const std::string path = dir.file("1.mp3");
    test::writeFile(path, "an older, longer file that is not an MP3 at all .............");
    ASSERT_TRUE(writeMp3File(path, tone(22050, 0.3), {}).ok());
    const test::DecodedMp3 mp3 = test::decodeMp3File(path);
    ASSERT_TRUE(mp3.ok) << mp3.error;
    EXPECT_GT(test::peakOf(mp3.pcm), 5000);
    size_t files = 0;
    for (const auto &entry : std::filesystem::directory_iterator(dir.path())) {
        ++files;
        EXPECT_EQ(entry.path().filename(), "1.mp3");
    }
    EXPECT_EQ(files, 1u);

    const Status st = writeMp3File(dir.file("missing/2.mp3"), tone(22050, 0.1), {});
    EXPECT_EQ(st.code, ErrorCode::WriteError);
    EXPECT_EQ(st.path, dir.file("missing/2.mp3"));
}

} // namespace
