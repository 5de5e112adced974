// Tests of TAudio: the sound system left alone until first use, property rules, the trigger,
// channel splitting, buffers delivered in order, the "PLAY.TMP" spool with repeats and appending,
// stopping, missing and vanishing devices, all on the virtual wave device; and, against the sound
// server, a played tone recorded back and a mixer change notice.
#include "platform/wave/mixer.h"
#include "platform/wave/virtualwave.h"
#include "sound/taudio.h"
#include "sound/taudiomixer.h"

#include "privatesink.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <mutex>
#include <numbers>
#include <string>
#include <thread>
#include <vector>

using namespace Qt::Literals::StringLiterals;
using zarel::wave::VirtualWave;

namespace {

// Generous for sanitizer builds on loaded cores: a passing test never waits it out.
bool waitUntil(const std::function<bool()> &done, int milliseconds = 20000)
{
    QDeadlineTimer deadline(milliseconds);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

// Processes events for a while, for checks that something does not happen (a second OnPlayed,
// a sample after a stop). Never used to wait for something that should happen.
void observeFor(int milliseconds)
{
    waitUntil([] { return false; }, milliseconds);
}

QByteArray samples16(const std::vector<int> &values)
{
    QByteArray out;
    for (int v : values) {
        const qint16 s = qint16(v);
        out.append(reinterpret_cast<const char *>(&s), 2);
    }
    return out;
}

std::vector<char> bytesOf(const QByteArray &a)
{
    return std::vector<char>(a.begin(), a.end());
}

QByteArray ramp16(int count, int start = 0)
{
    std::vector<int> values;
    for (int i = 0; i < count; ++i)
        values.push_back((start + i * 37) % 30000);
    return samples16(values);
}

// What the component's events brought.
struct Events
{
    void attach(TAudio &audio)
    {
        audio.setOnRecord([this](QObject *, const void *lp, const void *rp, quint16 size) {
            std::lock_guard lock(mutex);
            left.push_back(QByteArray(static_cast<const char *>(lp), size));
            if (rp != nullptr)
                right.push_back(QByteArray(static_cast<const char *>(rp), size));
            recordThread = std::this_thread::get_id();
        });
        audio.setOnBufferPlayed([this](QObject *) { ++buffersPlayed; });
        QObject::connect(&audio, &TAudio::OnPlayed, &audio, [this](QObject *sender) {
            ++played;
            playedSender = sender;
        });
    }

    size_t recorded()
    {
        std::lock_guard lock(mutex);
        return left.size();
    }

    QByteArray allLeft()
    {
        std::lock_guard lock(mutex);
        QByteArray all;
        for (const QByteArray &b : left)
            all += b;
        return all;
    }

    std::mutex mutex;
    std::vector<QByteArray> left;
    std::vector<QByteArray> right;
    std::thread::id recordThread;
    std::atomic<int> buffersPlayed { 0 };
    int played = 0;
    QObject *playedSender = nullptr;
};

void setFormat(TAudio &audio, TBPS bits, TChannels channels, quint16 rate, quint16 noSamples)
{
    audio.Recorder()->setBitsPerSample(bits);
    audio.Recorder()->setChannels(channels);
    audio.Recorder()->setSampleRate(rate);
    audio.Recorder()->setNoSamples(noSamples);
}

class TAudioTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_previousDir = QDir::currentPath();
        QDir::setCurrent(m_dir.path());
    }
    void TearDown() override { QDir::setCurrent(m_previousDir); }

    std::unique_ptr<TAudio> makeAudio(double pace = 0)
    {
        m_wave = std::make_shared<VirtualWave>(pace);
        auto audio = std::make_unique<TAudio>(m_wave);
        m_events.attach(*audio);
        return audio;
    }

    QTemporaryDir m_dir;
    QString m_previousDir;
    std::shared_ptr<VirtualWave> m_wave;
    Events m_events;
};

TEST_F(TAudioTest, ANewComponentHasTheDefaults)
{
    auto audio = makeAudio();
    EXPECT_EQ(audio->AudioDeviceID(), -1);
    EXPECT_EQ(audio->MixerDeviceID(), 0);
    EXPECT_FALSE(audio->SeparateCtrls());
    EXPECT_EQ(audio->Version(), u"4.1 (32bit)"_s);
    EXPECT_TRUE(audio->ErrorText().isEmpty());
    EXPECT_EQ(TAudio::FormatBlockSize, 18);
    EXPECT_FALSE(audio->Mixer()->Initialised()); // the virtual system has no mixer
    for (TAudioSettings *side : { static_cast<TAudioSettings *>(audio->Player()),
                                  static_cast<TAudioSettings *>(audio->Recorder()) }) {
        EXPECT_EQ(side->BitsPerSample(), TBPS::_8);
        EXPECT_EQ(side->Channels(), TChannels::Mono);
        EXPECT_EQ(side->SampleRate(), 11025);
        EXPECT_TRUE(side->BuffersAllocated());
        EXPECT_EQ(side->BufferBytes(), 8192u);
        EXPECT_FALSE(side->DeviceOpen());
        EXPECT_FALSE(side->Active());
    }
    EXPECT_EQ(audio->Recorder()->NoSamples(), 8192);
    EXPECT_EQ(audio->Player()->NoSamples(), 8192);
    EXPECT_FALSE(audio->Recorder()->SplitChannels());
    EXPECT_EQ(audio->Recorder()->TrigLevel(), 0);
    EXPECT_FALSE(audio->Recorder()->Triggered());
    EXPECT_EQ(TPlayer::SpoolFileName(), u"PLAY.TMP"_s);
}

TEST_F(TAudioTest, SixteenBitMonoAt22050GivesFourBuffersOf16384BytesASide)
{
    auto audio = makeAudio();
    audio->Recorder()->setBitsPerSample(TBPS::_16);
    audio->Recorder()->setSampleRate(22050);
    for (TAudioSettings *side : { static_cast<TAudioSettings *>(audio->Player()),
                                  static_cast<TAudioSettings *>(audio->Recorder()) }) {
        const zarel::wave::WaveFormat &f = side->FormatBlock();
        EXPECT_EQ(f.formatTag, 1);
        EXPECT_EQ(f.channels, 1);
        EXPECT_EQ(f.samplesPerSec, 22050u);
        EXPECT_EQ(f.bitsPerSample, 16);
        EXPECT_EQ(f.blockAlign, 2);
        EXPECT_EQ(f.avgBytesPerSec, 44100u);
        EXPECT_EQ(f.extraSize, 0);
        EXPECT_EQ(side->BufferBytes(), 16384u);
    }
}

TEST_F(TAudioTest, FormatChangesGoToBothSidesUnlessSeparateCtrls)
{
    auto audio = makeAudio();
    audio->Player()->setSampleRate(8000);
    audio->Recorder()->setChannels(TChannels::Stereo);
    EXPECT_EQ(audio->Recorder()->SampleRate(), 8000);
    EXPECT_EQ(audio->Player()->Channels(), TChannels::Stereo);
    EXPECT_EQ(audio->Player()->BufferBytes(), 2u * 8192);

    audio->setSeparateCtrls(true);
    audio->Player()->setBitsPerSample(TBPS::_16);
    EXPECT_EQ(audio->Player()->BitsPerSample(), TBPS::_16);
    EXPECT_EQ(audio->Recorder()->BitsPerSample(), TBPS::_8);
    audio->Recorder()->setNoSamples(100); // always both sides
    EXPECT_EQ(audio->Player()->NoSamples(), 100);
    EXPECT_EQ(audio->Player()->BufferBytes(), 400u);
    EXPECT_EQ(audio->Recorder()->BufferBytes(), 200u);
    audio->Recorder()->setNoSamples(0);
    EXPECT_EQ(audio->Recorder()->NoSamples(), 1);
}

TEST_F(TAudioTest, PropertyRules)
{
    auto audio = makeAudio();
    const std::pair<int, int> deviceIds[]
        = { { 5, 5 }, { 9, 9 }, { 10, -1 }, { 300, -1 }, { -1, -1 } };
    for (const auto &[set, stored] : deviceIds) {
        audio->setAudioDeviceID(set);
        EXPECT_EQ(audio->AudioDeviceID(), stored) << set;
    }
    audio->setVersion(u"5.0"_s);
    EXPECT_EQ(audio->Version(), u"4.1 (32bit)"_s);

    TRecorder *recorder = audio->Recorder();
    recorder->setSplitChannels(true);
    EXPECT_FALSE(recorder->SplitChannels()); // mono
    recorder->setChannels(TChannels::Stereo);
    EXPECT_FALSE(recorder->SplitChannels());
    recorder->setSplitChannels(true);
    EXPECT_TRUE(recorder->SplitChannels());
    recorder->setChannels(TChannels::Mono);
    EXPECT_FALSE(recorder->SplitChannels());
    recorder->setChannels(TChannels::Stereo);
    EXPECT_FALSE(recorder->SplitChannels());
}

TEST_F(TAudioTest, WithoutDevicesEveryOperationFailsWithItsText)
{
    m_wave = std::make_shared<VirtualWave>();
    m_wave->setPresent(false);
    TAudio audio(m_wave);
    m_events.attach(audio);
    EXPECT_FALSE(audio.Recorder()->BuffersAllocated());
    EXPECT_FALSE(audio.Player()->BuffersAllocated());
    EXPECT_TRUE(audio.ErrorText().isEmpty());

    EXPECT_FALSE(audio.Recorder()->StartRecording());
    EXPECT_EQ(audio.ErrorText(),
              u"Could not open the input device for recording: The device is "
              u"not present or could not be opened"_s);
    EXPECT_TRUE(audio.Recorder()->StopRecording());
    EXPECT_EQ(audio.ErrorText(), u"Recorder already closed"_s);

    const QByteArray sound(100, 'x');
    audio.Player()->PlayStream(&sound, nullptr, 0);
    EXPECT_EQ(audio.ErrorText(),
              u"Could not open the output device for playing: The device is "
              u"not present or could not be opened"_s);
    audio.Player()->StopPlaying();
    EXPECT_EQ(audio.ErrorText(), u"Player already closed"_s);
    EXPECT_FALSE(QFile::exists(u"PLAY.TMP"_s));
    observeFor(20);
    EXPECT_EQ(m_events.played, 0);

    // Nothing to play does not even open the device.
    m_wave->setPresent(true);
    const QByteArray empty;
    audio.Player()->PlayStream(&empty, nullptr, 0);
    audio.Player()->PlayStream(nullptr, nullptr, 0);
    EXPECT_FALSE(audio.Player()->DeviceOpen());
}

TEST_F(TAudioTest, TheTriggerDecidesWhichBufferDeliveryStartsWith)
{
    struct Case
    {
        TBPS bits;
        int level;
        bool triggeredBefore;
        std::vector<std::pair<int, int>> buffers; // every sample, and the last one
        size_t firstDelivered;
    };
    const std::vector<Case> cases = {
        { TBPS::_16, 0, false, { { -100, -100 }, { -1, 0 }, { -50, -50 } }, 1 },
        { TBPS::_16, 1000, false, { { 999, 999 }, { 0, 999 }, { 0, 1200 } }, 2 },
        { TBPS::_16, -32768, false, { { -32768, -32768 }, { 0, 0 }, { 0, 0 } }, 0 },
        { TBPS::_16, 1000, true, { { 0, 0 }, { 0, 0 }, { 0, 0 } }, 0 },
        { TBPS::_8, 0, false, { { 0, 0 }, { 0, 0 }, { 0, 0 } }, 0 },
        { TBPS::_8, 200, false, { { 128, 128 }, { 128, 199 }, { 128, 200 } }, 2 },
        { TBPS::_8, 128, false, { { 127, 127 }, { 0, 128 }, { 0, 0 } }, 1 },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "level " << c.level << " bits " << (c.bits == TBPS::_16 ? 16 : 8));
        m_events.left.clear();
        auto audio = makeAudio();
        setFormat(*audio, c.bits, TChannels::Mono, 8000, 64);
        audio->Recorder()->setTrigLevel(qint16(c.level));
        audio->Recorder()->setTriggered(c.triggeredBefore);
        QByteArray source;
        for (const auto &[every, last] : c.buffers) {
            for (int i = 0; i < 64; ++i) {
                const int v = i == 63 ? last : every;
                if (c.bits == TBPS::_16)
                    source += samples16({ v });
                else
                    source += char(v);
            }
        }
        m_wave->setInputSource(bytesOf(source));
        ASSERT_TRUE(audio->Recorder()->StartRecording());
        const size_t expected = c.buffers.size() - c.firstDelivered;
        ASSERT_TRUE(waitUntil([&] { return m_events.recorded() >= expected; }));
        observeFor(20);
        ASSERT_TRUE(audio->Recorder()->StopRecording());
        EXPECT_EQ(m_events.recorded(), expected);
        EXPECT_TRUE(audio->Recorder()->Triggered());
        const qsizetype bufferBytes = source.size() / qsizetype(c.buffers.size());
        EXPECT_EQ(m_events.allLeft(), source.mid(bufferBytes * qsizetype(c.firstDelivered)));
    }
}

TEST_F(TAudioTest, SplitChannelsDeliversLeftAndRightSeparately)
{
    for (TBPS bits : { TBPS::_16, TBPS::_8 }) {
        SCOPED_TRACE(bits == TBPS::_16 ? "16-bit" : "8-bit");
        m_events.left.clear();
        m_events.right.clear();
        auto audio = makeAudio();
        setFormat(*audio, bits, TChannels::Stereo, 8000, 32);
        audio->Recorder()->setSplitChannels(true);
        QByteArray source, left, right;
        for (int i = 0; i < 64; ++i) { // two buffers of 32 frames
            const QByteArray l = bits == TBPS::_16 ? samples16({ i + 1 }) : QByteArray(1, char(i));
            const QByteArray r
                = bits == TBPS::_16 ? samples16({ -1000 - i }) : QByteArray(1, char(0x80 | i));
            source += l + r;
            left += l;
            right += r;
        }
        m_wave->setInputSource(bytesOf(source));
        ASSERT_TRUE(audio->Recorder()->StartRecording());
        ASSERT_TRUE(waitUntil([&] { return m_events.recorded() >= 2; }));
        ASSERT_TRUE(audio->Recorder()->StopRecording());
        ASSERT_EQ(m_events.left.size(), 2u);
        ASSERT_EQ(m_events.right.size(), 2u);
        EXPECT_EQ(m_events.left[0].size(), source.size() / 4); // half of a buffer
        EXPECT_EQ(m_events.left[0] + m_events.left[1], left);
        EXPECT_EQ(m_events.right[0] + m_events.right[1], right);
    }
}

TEST_F(TAudioTest, ThreeBuffersArriveInOrderWithNoSampleLostOnTheDeviceThread)
{
    auto audio = makeAudio();
    setFormat(*audio, TBPS::_16, TChannels::Mono, 22050, 256);
    const QByteArray source = ramp16(3 * 256);
    m_wave->setInputSource(bytesOf(source));
    ASSERT_TRUE(audio->Recorder()->StartRecording());
    EXPECT_TRUE(audio->Recorder()->StartRecording()); // already recording
    EXPECT_TRUE(audio->Recorder()->Active());
    ASSERT_TRUE(waitUntil([&] { return m_events.recorded() >= 3; }));
    observeFor(20);
    ASSERT_TRUE(audio->Recorder()->StopRecording());
    EXPECT_FALSE(audio->Recorder()->Active());
    EXPECT_EQ(m_events.recorded(), 3u);
    EXPECT_EQ(m_events.left[0].size(), 512);
    EXPECT_EQ(m_events.allLeft(), source);
    EXPECT_TRUE(m_events.right.empty());
    EXPECT_NE(m_events.recordThread, std::this_thread::get_id());
    EXPECT_EQ(m_wave->lastFormat(true).avgBytesPerSec, 44100u);
}

TEST_F(TAudioTest, ARecordingBufferIsCappedToTheSixteenBitByteCount)
{
    auto audio = makeAudio();
    setFormat(*audio, TBPS::_16, TChannels::Stereo, 22050, 20000); // 80000-byte buffers
    EXPECT_EQ(audio->Recorder()->BufferBytes(), 80000u);
    const QByteArray source = ramp16(2 * 32766, 9); // two capped buffers of 65532 bytes
    m_wave->setInputSource(bytesOf(source));
    ASSERT_TRUE(audio->Recorder()->StartRecording());
    ASSERT_TRUE(waitUntil([&] { return m_events.recorded() >= 2; }));
    ASSERT_TRUE(audio->Recorder()->StopRecording());
    EXPECT_EQ(m_events.left[0].size(), 65532);
    EXPECT_EQ(m_events.allLeft(), source);
}

TEST_F(TAudioTest, StoppingDiscardsTheSamplesStillInTheBuffers)
{
    auto audio = makeAudio();
    setFormat(*audio, TBPS::_16, TChannels::Mono, 22050, 256);
    const QByteArray source = ramp16(256 + 128);
    m_wave->setInputSource(bytesOf(source));
    ASSERT_TRUE(audio->Recorder()->StartRecording());
    ASSERT_TRUE(waitUntil([&] { return m_events.recorded() >= 1; }));
    observeFor(30);
    ASSERT_TRUE(audio->Recorder()->StopRecording());
    observeFor(10);
    EXPECT_EQ(m_events.allLeft(), source.left(512));
    EXPECT_TRUE(audio->ErrorText().isEmpty());
    EXPECT_TRUE(audio->Recorder()->StopRecording());
    EXPECT_EQ(audio->ErrorText(), u"Recorder already closed"_s);

    // A second recording starts over with fresh buffers and delivers from its first one.
    m_wave->setInputSource(bytesOf(ramp16(256, 5)));
    ASSERT_TRUE(audio->Recorder()->StartRecording());
    ASSERT_TRUE(waitUntil([&] { return m_events.recorded() >= 2; }));
    ASSERT_TRUE(audio->Recorder()->StopRecording());
    EXPECT_EQ(m_events.left[1], ramp16(256, 5));
}

TEST_F(TAudioTest, RepeatsTwoPlaysTheDataThreeTimes)
{
    auto audio = makeAudio(1.0);
    setFormat(*audio, TBPS::_8, TChannels::Mono, 11025, 256);
    QByteArray sound;
    for (int i = 0; i < 600; ++i)
        sound += char(i % 251);
    audio->Player()->PlayStream(&sound, nullptr, 2);
    EXPECT_TRUE(audio->Player()->DeviceOpen());
    EXPECT_TRUE(audio->Player()->Active());
    ASSERT_TRUE(waitUntil([&] { return m_events.played == 1; }));
    EXPECT_EQ(m_wave->sink(), bytesOf(sound + sound + sound));
    EXPECT_EQ(m_events.buffersPlayed.load(), 8); // nine buffers, all but the last
    EXPECT_EQ(m_events.playedSender, audio->Player());
    EXPECT_FALSE(audio->Player()->DeviceOpen());
    EXPECT_FALSE(audio->Player()->Active());
    EXPECT_EQ(audio->Player()->RepeatsLeft(), 0);
    EXPECT_TRUE(audio->ErrorText().isEmpty());
    observeFor(20);
    EXPECT_EQ(m_events.played, 1);
}

TEST_F(TAudioTest, PlayStreamWhilePlayingAppendsToTheSpoolAndPlaysOnWithoutAGap)
{
    auto audio = makeAudio(2.0);
    setFormat(*audio, TBPS::_16, TChannels::Mono, 22050, 1024);
    const QByteArray first = ramp16(44100, 1); // 2 s, one at this pace
    const QByteArray second = ramp16(4410, 2);
    audio->Player()->PlayStream(&first, nullptr, 0);
    ASSERT_TRUE(waitUntil(
        [&] { return audio->Player()->ReadPosition() > 0 || !audio->Player()->SpoolOpen(); }));
    ASSERT_TRUE(audio->Player()->SpoolOpen());
    ASSERT_GT(audio->Player()->ReadPosition(), 0);
    audio->Player()->PlayStream(&second, nullptr, 5); // repeats count only for a new spool
    ASSERT_TRUE(waitUntil([&] { return m_events.played == 1; }));
    EXPECT_EQ(m_wave->sink(), bytesOf(first + second));
    EXPECT_EQ(m_wave->gaps(), 0);
    // The spool stays on disk, in the current directory, under its upper-case name.
    QFile spool(u"PLAY.TMP"_s);
    ASSERT_TRUE(spool.open(QIODevice::ReadOnly));
    EXPECT_EQ(spool.readAll(), first + second);
    EXPECT_EQ(QDir().entryList(QDir::Files), QStringList { u"PLAY.TMP"_s });
}

TEST_F(TAudioTest, AStreamAfterTheSpoolEndedWaitsForTheBuffersStillPlaying)
{
    auto audio = makeAudio(1.0);
    setFormat(*audio, TBPS::_16, TChannels::Mono, 22050, 1024);
    const QByteArray first = ramp16(3 * 1024, 3); // three buffers: the spool ends at once
    const QByteArray second = ramp16(5 * 1024, 4);
    audio->Player()->PlayStream(&first, nullptr, 0);
    ASSERT_FALSE(audio->Player()->SpoolOpen());
    ASSERT_TRUE(audio->Player()->DeviceOpen());
    audio->Player()->PlayStream(&second, nullptr, 0); // a new spool; the lent buffers stay intact
    ASSERT_TRUE(waitUntil([&] { return m_events.played == 1; }));
    EXPECT_EQ(m_wave->sink(), bytesOf(first + second));
}

TEST_F(TAudioTest, ADeviceFasterThanTheRefillsStillPlaysEverything)
{
    auto audio = makeAudio(0); // hands every buffer back at once
    setFormat(*audio, TBPS::_8, TChannels::Mono, 8000, 64);
    QByteArray sound;
    for (int i = 0; i < 50 * 64 + 10; ++i)
        sound += char(i * 13);
    audio->Player()->PlayStream(&sound, nullptr, 1);
    ASSERT_TRUE(waitUntil([&] { return m_events.played == 1; }));
    EXPECT_EQ(m_wave->sink(), bytesOf(sound + sound));
    observeFor(20);
    EXPECT_EQ(m_events.played, 1);
}

TEST_F(TAudioTest, StopPlayingReturnsWithOnPlayedAlreadyRun)
{
    auto audio = makeAudio(1.0);
    setFormat(*audio, TBPS::_16, TChannels::Mono, 22050, 1024);
    const QByteArray sound = ramp16(3 * 22050); // three seconds
    audio->Player()->PlayStream(&sound, nullptr, 0);
    ASSERT_TRUE(waitUntil([&] { return !m_wave->sink().empty(); }));
    audio->Player()->StopPlaying();
    EXPECT_EQ(m_events.played, 1);
    EXPECT_FALSE(audio->Player()->DeviceOpen());
    EXPECT_FALSE(audio->Player()->Active());
    EXPECT_FALSE(audio->Player()->SpoolOpen());
    EXPECT_TRUE(audio->ErrorText().isEmpty());
    const size_t played = m_wave->sink().size();
    EXPECT_GT(played, 0u);
    EXPECT_LT(played, size_t(sound.size()));
    observeFor(30);
    EXPECT_EQ(m_wave->sink().size(), played);
    audio->Player()->StopPlaying();
    EXPECT_EQ(audio->ErrorText(), u"Player already closed"_s);
    EXPECT_EQ(m_events.played, 1);

    // The player opens again for the next stream, also from the OnPlayed of the stop.
    audio->Player()->PlayStream(&sound, nullptr, 0);
    EXPECT_TRUE(audio->Player()->DeviceOpen());
    const QByteArray next = ramp16(2048, 7);
    QObject::connect(
        audio.get(), &TAudio::OnPlayed, audio.get(),
        [&] { audio->Player()->PlayStream(&next, nullptr, 0); }, Qt::SingleShotConnection);
    m_wave->clearSink();
    audio->Player()->StopPlaying();
    EXPECT_EQ(m_events.played, 2);
    EXPECT_TRUE(audio->Player()->DeviceOpen());
    ASSERT_TRUE(waitUntil([&] { return m_events.played == 3; }));
    const std::vector<char> sink = m_wave->sink();
    EXPECT_EQ(std::vector<char>(sink.end() - next.size(), sink.end()), bytesOf(next));
}

TEST_F(TAudioTest, AStereoPlayerInterleavesTheRightStreamOfTheSameSize)
{
    struct Case
    {
        TBPS bits;
        TChannels channels;
        int rightShortBy; // 0: same size as the left stream
        bool interleaved;
    };
    const Case cases[] = {
        { TBPS::_16, TChannels::Stereo, 0, true },
        { TBPS::_8, TChannels::Stereo, 0, true },
        { TBPS::_16, TChannels::Stereo, 2, false },
        { TBPS::_16, TChannels::Mono, 0, false },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.bits) << int(c.channels) << c.rightShortBy);
        auto audio = makeAudio();
        setFormat(*audio, c.bits, c.channels, 8000, 256);
        // 1300 samples a side: more than one 1000-byte block, and a partial one at the end.
        QByteArray left, right, expected;
        const int sampleBytes = c.bits == TBPS::_16 ? 2 : 1;
        for (int i = 0; i < 1300; ++i) {
            const QByteArray l = sampleBytes == 2 ? samples16({ i }) : QByteArray(1, char(i));
            const QByteArray r = sampleBytes == 2 ? samples16({ -i }) : QByteArray(1, char(~i));
            left += l;
            right += r;
            expected += l + r;
        }
        right.chop(c.rightShortBy);
        if (!c.interleaved)
            expected = left;
        audio->Player()->PlayStream(&left, &right, 0);
        ASSERT_TRUE(waitUntil([&] { return m_events.played >= 1; }));
        m_events.played = 0;
        EXPECT_EQ(m_wave->sink(), bytesOf(expected));
    }
}

TEST_F(TAudioTest, AVanishingInputDeviceNeverHangsTheRecorder)
{
    auto audio = makeAudio(1.0);
    setFormat(*audio, TBPS::_16, TChannels::Mono, 22050, 1024);
    m_wave->setInputSource(bytesOf(ramp16(44100)));
    ASSERT_TRUE(audio->Recorder()->StartRecording());
    ASSERT_TRUE(waitUntil([&] { return m_events.recorded() >= 1; }));
    m_wave->setPresent(false);
    // The device fails at its next transfer and hands its buffers back; the stop must return
    // whether that has happened yet or not (a hang fails the test by its time-out).
    observeFor(100);
    audio->Recorder()->StopRecording();
    EXPECT_FALSE(audio->Recorder()->DeviceOpen());
    EXPECT_FALSE(audio->Recorder()->Active());
    EXPECT_FALSE(audio->Recorder()->StartRecording());
}

TEST_F(TAudioTest, AVanishingOutputDeviceStillEndsThePlayingWithOnPlayed)
{
    auto audio = makeAudio(1.0);
    setFormat(*audio, TBPS::_16, TChannels::Mono, 22050, 1024);
    const QByteArray sound = ramp16(22050);
    audio->Player()->PlayStream(&sound, nullptr, 0);
    ASSERT_TRUE(waitUntil([&] { return !m_wave->sink().empty(); }));
    m_wave->setPresent(false);
    ASSERT_TRUE(waitUntil([&] { return m_events.played == 1; }));
    EXPECT_FALSE(audio->Player()->DeviceOpen());
    EXPECT_EQ(audio->ErrorText(), u" The device is not open"_s);
}

TEST_F(TAudioTest, AFormatChangeWhileRecordingClosesTheRecorderFirst)
{
    auto audio = makeAudio(1.0);
    setFormat(*audio, TBPS::_8, TChannels::Mono, 8000, 512);
    m_wave->setInputSource(bytesOf(QByteArray(8000, '\x90')));
    ASSERT_TRUE(audio->Recorder()->StartRecording());
    audio->Recorder()->setBitsPerSample(TBPS::_16);
    EXPECT_FALSE(audio->Recorder()->DeviceOpen());
    EXPECT_EQ(audio->Recorder()->BufferBytes(), 1024u);
    ASSERT_TRUE(audio->Recorder()->StartRecording());
    EXPECT_EQ(m_wave->lastFormat(true).bitsPerSample, 16);
    ASSERT_TRUE(audio->Recorder()->StopRecording());
}

TEST_F(TAudioTest, DestroyingAPlayingAndRecordingComponentTearsDownQuietly)
{
    auto audio = makeAudio(1.0);
    setFormat(*audio, TBPS::_16, TChannels::Mono, 22050, 1024);
    m_wave->setInputSource(bytesOf(ramp16(44100)));
    const QByteArray sound = ramp16(22050);
    ASSERT_TRUE(audio->Recorder()->StartRecording());
    audio->Player()->PlayStream(&sound, nullptr, 0);
    ASSERT_TRUE(waitUntil([&] { return !m_wave->sink().empty() && m_events.recorded() > 0; }));
    audio.reset();
    observeFor(20);
    EXPECT_EQ(m_events.played, 0); // no signal from a component being destroyed
}

// --- Against the sound server ------------------------------------------------------------------

// Power of one frequency in 16-bit samples (Goertzel).
double toneStrength(const qint16 *samples, int count, double frequency, double rate)
{
    const double k = 2 * std::cos(2 * std::numbers::pi * frequency / rate);
    double s1 = 0, s2 = 0;
    for (int i = 0; i < count; ++i) {
        const double s0 = samples[i] + k * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    return s1 * s1 + s2 * s2 - k * s1 * s2;
}

TEST_F(TAudioTest, RealDevicesRecordTheToneThatIsPlayed)
{
    // ALSA's "default" device plays into a sink of this test's own and records its monitor.
    zarel::test::PrivateSink sink;
    if (!sink.ok())
        GTEST_SKIP() << "no PulseAudio server reachable (start one with scripts/soundserver.sh)";
    TAudio audio;
    m_events.attach(audio);
    setFormat(audio, TBPS::_16, TChannels::Mono, 22050, 8192);
    constexpr double kTone = 1320;
    std::vector<int> tone;
    for (int i = 0; i < 22050 / 2; ++i)
        tone.push_back(int(10000 * std::sin(2 * std::numbers::pi * kTone * i / 22050)));
    const QByteArray sound = samples16(tone);

    ASSERT_TRUE(audio.Recorder()->StartRecording()) << audio.ErrorText().toStdString();
    audio.Player()->PlayStream(&sound, nullptr, 0);
    ASSERT_TRUE(audio.Player()->DeviceOpen()) << audio.ErrorText().toStdString();
    ASSERT_TRUE(waitUntil([&] { return m_events.played == 1; }));
    // What the sink mixes ahead reaches its monitor only as it is played out: recording goes
    // on until two buffers more than the sound itself have arrived.
    ASSERT_TRUE(
        waitUntil([&] { return m_events.allLeft().size() >= sound.size() + 2 * 8192 * 2; }));
    ASSERT_TRUE(audio.Recorder()->StopRecording());

    const QByteArray recorded = m_events.allLeft();
    ASSERT_GT(recorded.size(), 22050); // half a second at least
    const auto *samples = reinterpret_cast<const qint16 *>(recorded.constData());
    const int count = int(recorded.size() / 2);
    double best = 0, other = 0;
    for (int start = 0; start + 2048 <= count; start += 1024) {
        const double strength = toneStrength(samples + start, 2048, kTone, 22050);
        if (strength > best) {
            best = strength;
            other = toneStrength(samples + start, 2048, 700, 22050);
        }
    }
    EXPECT_GT(best, 1e12); // amplitude in the thousands over 2048 samples
    EXPECT_GT(best, 100 * other);
}

// A wave system that counts what it is asked: the devices are the virtual ones when present,
// and mixer 0 is a fixed one with a single line when the system has a mixer.
class CountingSystem final : public zarel::wave::WaveSystem
{
public:
    CountingSystem(bool input, bool output, bool mixer)
        : m_input(input)
        , m_output(output)
        , m_hasMixer(mixer)
    { }
    int inputDeviceCount() override { return ++calls, m_input ? 1 : 0; }
    int outputDeviceCount() override { return ++calls, m_output ? 1 : 0; }
    int openInput(int id, const zarel::wave::WaveFormat &format, zarel::wave::Callback callback,
                  void *instance, std::unique_ptr<zarel::wave::WaveIn> &device) override
    {
        ++calls;
        if (!m_input)
            return zarel::wave::NotPresent;
        return m_wave.openInput(id, format, callback, instance, device);
    }
    int openOutput(int id, const zarel::wave::WaveFormat &format, zarel::wave::Callback callback,
                   void *instance, std::unique_ptr<zarel::wave::WaveOut> &device) override
    {
        ++calls;
        if (!m_output)
            return zarel::wave::NotPresent;
        return m_wave.openOutput(id, format, callback, instance, device);
    }
    int mixerDeviceCount() override { return ++calls, m_hasMixer ? 1 : 0; }
    int openMixer(int deviceId, std::unique_ptr<zarel::wave::Mixer> &mixer) override
    {
        ++calls;
        ++mixerOpens;
        if (deviceId != 0)
            return zarel::wave::BadDevice;
        mixer = std::make_unique<OneLineMixer>();
        return zarel::wave::Ok;
    }

    int calls = 0;
    int mixerOpens = 0;

private:
    class OneLineMixer final : public zarel::wave::Mixer
    {
    public:
        OneLineMixer()
        {
            m_lines.resize(2);
            m_lines[1].destination = 0;
            m_lines[1].source = 0;
            m_lines[1].name = "Master";
            m_lines[1].volumeControl = 7;
        }
        const std::vector<zarel::wave::MixerLine> &lines() const override { return m_lines; }
        int handle() const override { return 0; }
        std::vector<pollfd> pollDescriptors() override { return {}; }
        std::vector<uint32_t> handleEvents() override { return {}; }
        bool alive() const override { return true; }

    private:
        std::vector<zarel::wave::MixerLine> m_lines;
    };

    zarel::wave::VirtualWave m_wave;
    bool m_input;
    bool m_output;
    bool m_hasMixer;
};

TEST_F(TAudioTest, CreatingAndDestroyingAComponentLeavesTheSoundSystemAlone)
{
    auto system = std::make_shared<CountingSystem>(true, true, true);
    {
        TAudio audio(system);
        audio.setSeparateCtrls(true);
        audio.Recorder()->setTrigLevel(5);
        audio.teardown();
    }
    EXPECT_EQ(system->calls, 0);
}

// On first look a new component shows what the device counts give it.
TEST_F(TAudioTest, TheFirstLookAtTheBuffersShowsWhatTheDevicesGive)
{
    struct Case
    {
        bool input, output, recorderBuffers, playerBuffers;
    };
    const Case cases[] = {
        { true, true, true, true },
        { true, false, true, false },
        { false, true, false, false },
        { false, false, false, false },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "input " << c.input << ", output " << c.output);
        auto system = std::make_shared<CountingSystem>(c.input, c.output, false);
        TAudio audio(system);
        EXPECT_EQ(audio.Player()->BuffersAllocated(), c.playerBuffers);
        EXPECT_EQ(audio.Recorder()->BufferBytes(), c.recorderBuffers ? 8192u : 0u);
        EXPECT_EQ(audio.Recorder()->BuffersAllocated(), c.recorderBuffers);
        EXPECT_TRUE(audio.ErrorText().isEmpty());
    }
}

// The main window sets the format before anything else: that makes the buffers and no device is
// counted; recording then works the first time.
TEST_F(TAudioTest, AFormatSetFirstMakesTheBuffersWithoutCountingDevices)
{
    auto system = std::make_shared<CountingSystem>(true, true, false);
    TAudio audio(system);
    audio.Recorder()->setBitsPerSample(TBPS::_16);
    audio.Recorder()->setSampleRate(22050);
    EXPECT_EQ(system->calls, 0);
    EXPECT_TRUE(audio.Player()->BuffersAllocated());
    EXPECT_EQ(audio.Recorder()->BufferBytes(), 16384u);
    EXPECT_EQ(system->calls, 0);
    EXPECT_TRUE(audio.Recorder()->StartRecording());
    EXPECT_TRUE(audio.Recorder()->StopRecording());
}

TEST_F(TAudioTest, TheMixerIsReadWhenFirstAskedForOrWatched)
{
    {
        // Asked for: read once, and a failed read keeps the text of the last failure.
        auto system = std::make_shared<CountingSystem>(false, false, true);
        TAudio audio(system);
        audio.Recorder()->StopRecording();
        ASSERT_TRUE(audio.Mixer()->Initialised());
        ASSERT_EQ(audio.Mixer()->Details().size(), 2u);
        EXPECT_EQ(audio.Mixer()->Details()[1].Name, u"Master"_s);
        EXPECT_EQ(audio.Mixer()->Details()[1].VolumeControl, 7u);
        EXPECT_EQ(system->mixerOpens, 1);
        EXPECT_EQ(audio.ErrorText(), u"Recorder already closed"_s);

        auto noMixer = std::make_shared<CountingSystem>(false, false, false);
        TAudio without(noMixer);
        EXPECT_FALSE(without.Mixer()->Initialised());
        EXPECT_TRUE(without.ErrorText().isEmpty());
    }
    {
        // Watched: connecting to OnMixerChange reads it, so that its notices come.
        auto system = std::make_shared<CountingSystem>(false, false, true);
        TAudio audio(system);
        QObject::connect(&audio, &TAudio::OnMixerChange, &audio,
                         [](QObject *, quint16, quint16) {});
        EXPECT_EQ(system->mixerOpens, 1);
        EXPECT_TRUE(audio.Mixer()->Initialised());
        EXPECT_EQ(system->mixerOpens, 1);
    }
    {
        // Another mixer number chosen first, or a teardown: the first one is never read.
        auto system = std::make_shared<CountingSystem>(false, false, true);
        TAudio audio(system);
        audio.setMixerDeviceID(1);
        EXPECT_FALSE(audio.Mixer()->Initialised());
        EXPECT_EQ(audio.ErrorText(),
                  u"Could not open the mixer: "_s
                      + QString::fromUtf8(zarel::wave::errorText(zarel::wave::BadDevice)));
        TAudio tornDown(system);
        tornDown.teardown();
        EXPECT_FALSE(tornDown.Mixer()->Initialised());
        EXPECT_EQ(system->mixerOpens, 1);
    }
}

// No wave devices; mixer 0 is a named ALSA control device.
class MixerOnlySystem final : public zarel::wave::WaveSystem
{
public:
    explicit MixerOnlySystem(std::string ctlName)
        : m_ctlName(std::move(ctlName))
    { }
    int inputDeviceCount() override { return 0; }
    int outputDeviceCount() override { return 0; }
    int openInput(int, const zarel::wave::WaveFormat &, zarel::wave::Callback, void *,
                  std::unique_ptr<zarel::wave::WaveIn> &) override
    {
        return zarel::wave::NotPresent;
    }
    int openOutput(int, const zarel::wave::WaveFormat &, zarel::wave::Callback, void *,
                   std::unique_ptr<zarel::wave::WaveOut> &) override
    {
        return zarel::wave::NotPresent;
    }
    int mixerDeviceCount() override { return 1; }
    int openMixer(int deviceId, std::unique_ptr<zarel::wave::Mixer> &mixer) override
    {
        if (deviceId != 0)
            return zarel::wave::BadDevice;
        return zarel::wave::openAlsaMixerByName(m_ctlName, deviceId, mixer);
    }

private:
    std::string m_ctlName;
};

TEST_F(TAudioTest, RealMixerChangeRaisesOnMixerChangeTwice)
{
    zarel::test::PrivateSink sink;
    if (!sink.ok())
        GTEST_SKIP() << "no PulseAudio server reachable (start one with scripts/soundserver.sh)";
    TAudio audio(std::make_shared<MixerOnlySystem>("pulse:" + sink.name()));
    ASSERT_TRUE(audio.Mixer()->Initialised());
    const std::vector<TMixDetails> &details = audio.Mixer()->Details();
    ASSERT_GE(details.size(), 3u);
    EXPECT_EQ(details[0].Destination, -1);
    EXPECT_EQ(details[0].Source, -1);
    EXPECT_EQ(details[1].Name, u"Master"_s);
    EXPECT_EQ(details[1].Destination, 0);
    EXPECT_EQ(details[1].Source, 0);
    EXPECT_TRUE(details[1].Speakers);
    const quint32 control = details[1].VolumeControl;

    std::vector<std::pair<quint16, quint16>> changes;
    QObject::connect(&audio, &TAudio::OnMixerChange, &audio,
                     [&](QObject *sender, quint16 destination, quint16 source) {
                         EXPECT_EQ(sender, &audio);
                         changes.emplace_back(destination, source);
                     });
    ASSERT_TRUE(sink.setVolume(16384));
    ASSERT_TRUE(waitUntil([&] { return changes.size() >= 2; }));
    observeFor(20);
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(changes[0], std::make_pair(quint16(0), quint16(control))); // handle, control
    EXPECT_EQ(changes[1], std::make_pair(quint16(0), quint16(0))); // destination, source
    EXPECT_NEAR(details[1].LeftVolume, 16383, 2);

    // Another mixer number re-reads: there is none.
    audio.setMixerDeviceID(1);
    EXPECT_FALSE(audio.Mixer()->Initialised());
    EXPECT_TRUE(audio.Mixer()->Details().empty());
}

} // namespace
