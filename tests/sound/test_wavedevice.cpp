// Tests of the wave device layer on the virtual device (formats, header rules, order of the
// messages and of the samples, reset, failure) and of the ALSA mixer against the sound server.
#include "platform/wave/mixer.h"
#include "platform/wave/virtualwave.h"

#include "privatesink.h"
#include "support/waituntil.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zarel::wave {
namespace {

using namespace std::chrono_literals;

WaveFormat pcmFormat(uint16_t channels, uint16_t bits, uint32_t rate)
{
    WaveFormat format;
    format.channels = channels;
    format.bitsPerSample = bits;
    format.samplesPerSec = rate;
    format.blockAlign = uint16_t(channels * bits / 8);
    format.avgBytesPerSec = rate * format.blockAlign;
    return format;
}

std::vector<char> pattern(size_t bytes, int seed = 0)
{
    std::vector<char> out(bytes);
    for (size_t i = 0; i < bytes; ++i)
        out[i] = char((i * 7 + size_t(seed)) & 0xFF);
    return out;
}

// Records every message with the thread it came on.
struct Recorder
{
    struct Entry
    {
        Message message;
        WaveHeader *header;
        uint32_t bytes;
        std::thread::id thread;
    };

    static void callback(Message message, void *instance, WaveHeader *header)
    {
        auto *self = static_cast<Recorder *>(instance);
        std::lock_guard lock(self->mutex);
        self->entries.push_back(Entry { message, header,
                                        header != nullptr ? header->bytesRecorded : 0,
                                        std::this_thread::get_id() });
        self->changed.notify_all();
    }

    size_t count(Message message)
    {
        std::lock_guard lock(mutex);
        size_t n = 0;
        for (const Entry &e : entries)
            n += e.message == message ? 1 : 0;
        return n;
    }

    bool waitFor(Message message, size_t n, std::chrono::milliseconds timeout = test::kWaitDeadline)
    {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, timeout, [&] {
            size_t seen = 0;
            for (const Entry &e : entries)
                seen += e.message == message ? 1 : 0;
            return seen >= n;
        });
    }

    std::vector<Entry> snapshot()
    {
        std::lock_guard lock(mutex);
        return entries;
    }

    std::mutex mutex;
    std::condition_variable changed;
    std::vector<Entry> entries;
};

struct Buffers
{
    Buffers(size_t count, uint32_t bytes)
        : data(count, std::vector<char>(bytes))
        , headers(count)
    {
        for (size_t i = 0; i < count; ++i) {
            headers[i].data = data[i].data();
            headers[i].bufferLength = bytes;
        }
    }
    std::vector<std::vector<char>> data;
    std::vector<WaveHeader> headers;
};

TEST(WaveFormatTest, OnlyPcmWithMatchingBlockAlignIsSupported)
{
    struct Case
    {
        uint16_t tag, channels, bits;
        uint32_t rate;
        uint16_t align;
        bool supported;
    };
    const Case cases[] = {
        { 1, 1, 8, 11025, 1, true },  { 1, 2, 16, 44100, 4, true }, { 1, 1, 16, 22050, 2, true },
        { 2, 1, 8, 11025, 1, false }, { 1, 3, 8, 11025, 3, false }, { 1, 1, 24, 8000, 3, false },
        { 1, 1, 8, 0, 1, false },     { 1, 2, 16, 8000, 2, false }, { 1, 0, 8, 8000, 0, false },
    };
    for (const Case &c : cases) {
        WaveFormat format = pcmFormat(c.channels, c.bits, c.rate);
        format.formatTag = c.tag;
        format.blockAlign = c.align;
        EXPECT_EQ(isSupportedFormat(format), c.supported)
            << c.tag << "/" << c.channels << "/" << c.bits << "/" << c.rate << "/" << c.align;
    }
    EXPECT_EQ(kFormatBlockSize, 18);
}

TEST(VirtualWaveTest, OpenRefusesBadNumbersFormatsAndMissingDevices)
{
    VirtualWave wave;
    Recorder messages;
    std::unique_ptr<WaveOut> out;
    std::unique_ptr<WaveIn> in;
    EXPECT_EQ(wave.openOutput(1, pcmFormat(1, 8, 8000), &Recorder::callback, &messages, out),
              BadDevice);
    EXPECT_EQ(wave.openOutput(-2, pcmFormat(1, 8, 8000), &Recorder::callback, &messages, out),
              BadDevice);
    EXPECT_EQ(wave.openInput(0, pcmFormat(1, 12, 8000), &Recorder::callback, &messages, in),
              BadFormat);
    wave.setPresent(false);
    EXPECT_EQ(wave.inputDeviceCount(), 0);
    EXPECT_EQ(wave.openInput(-1, pcmFormat(1, 8, 8000), &Recorder::callback, &messages, in),
              NotPresent);
    EXPECT_FALSE(out);
    EXPECT_FALSE(in);
    EXPECT_TRUE(messages.snapshot().empty());
    EXPECT_STREQ(errorText(NotPresent), "The device is not present or could not be opened");
    EXPECT_STREQ(errorText(Ok), "");
}

TEST(VirtualWaveTest, HeaderRulesOfPrepareWriteUnprepareAndClose)
{
    VirtualWave wave;
    wave.setInputSource({}); // an input that never fills keeps its buffers lent
    Recorder messages;
    std::unique_ptr<WaveIn> in;
    ASSERT_EQ(wave.openInput(-1, pcmFormat(1, 8, 8000), &Recorder::callback, &messages, in), Ok);
    Buffers buffers(2, 64);
    WaveHeader &a = buffers.headers[0];

    EXPECT_EQ(in->addBuffer(&a), Unprepared);
    EXPECT_EQ(in->prepareHeader(nullptr), InvalidParam);
    WaveHeader noData;
    noData.bufferLength = 10;
    EXPECT_EQ(in->prepareHeader(&noData), InvalidParam);
    EXPECT_EQ(in->unprepareHeader(&buffers.headers[1]), Ok); // never prepared
    ASSERT_EQ(in->prepareHeader(&a), Ok);
    EXPECT_EQ(in->prepareHeader(&a), Ok);
    ASSERT_EQ(in->addBuffer(&a), Ok);
    EXPECT_TRUE(a.flags & HeaderInQueue);
    EXPECT_EQ(in->addBuffer(&a), StillPlaying);
    EXPECT_EQ(in->unprepareHeader(&a), StillPlaying);
    EXPECT_EQ(in->close(), StillPlaying);

    ASSERT_EQ(in->reset(), Ok);
    EXPECT_EQ(a.flags & (HeaderInQueue | HeaderDone), uint32_t(HeaderDone));
    EXPECT_EQ(in->unprepareHeader(&a), Ok);
    EXPECT_EQ(in->close(), Ok);
    EXPECT_EQ(in->addBuffer(&a), InvalidHandle);
    EXPECT_EQ(in->reset(), InvalidHandle);
    EXPECT_EQ(in->close(), InvalidHandle);

    const auto entries = messages.snapshot();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].message, Message::Open);
    EXPECT_EQ(entries[1].message, Message::Data);
    EXPECT_EQ(entries[1].bytes, 0u);
    EXPECT_EQ(entries[2].message, Message::Close);
}

TEST(VirtualWaveTest, OutputPlaysWholeFramesInOrderAndReportsOnTheDeviceThread)
{
    VirtualWave wave;
    Recorder messages;
    std::unique_ptr<WaveOut> out;
    ASSERT_EQ(wave.openOutput(0, pcmFormat(2, 16, 22050), &Recorder::callback, &messages, out), Ok);
    const std::vector<char> sound = pattern(3 * 400 + 6);
    // Three buffers of 400 bytes and a last one of 6: one whole frame and 2 stray bytes.
    std::vector<WaveHeader> headers(4);
    std::vector<char> copy = sound;
    for (size_t i = 0; i < 4; ++i) {
        headers[i].data = copy.data() + i * 400;
        headers[i].bufferLength = i < 3 ? 400 : 6;
        ASSERT_EQ(out->prepareHeader(&headers[i]), Ok);
        ASSERT_EQ(out->write(&headers[i]), Ok);
    }
    ASSERT_TRUE(messages.waitFor(Message::Done, 4));
    ASSERT_EQ(out->close(), Ok);

    const std::vector<char> played = wave.sink();
    EXPECT_EQ(played, std::vector<char>(sound.begin(), sound.begin() + 3 * 400 + 4));
    const auto entries = messages.snapshot();
    ASSERT_EQ(entries.size(), 6u);
    EXPECT_EQ(entries.front().message, Message::Open);
    EXPECT_EQ(entries.back().message, Message::Close);
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(entries[i + 1].message, Message::Done);
        EXPECT_EQ(entries[i + 1].header, &headers[i]);
    }
    for (const auto &e : entries) {
        EXPECT_EQ(e.thread, entries.front().thread);
        EXPECT_NE(e.thread, std::this_thread::get_id());
    }
}

TEST(VirtualWaveTest, InputFillsBuffersInOrderAndResetReturnsThePartOneAndTheEmptyOnes)
{
    VirtualWave wave;
    const std::vector<char> source = pattern(2 * 100 + 40, 3);
    wave.setInputSource(source);
    Recorder messages;
    std::unique_ptr<WaveIn> in;
    ASSERT_EQ(wave.openInput(-1, pcmFormat(1, 16, 8000), &Recorder::callback, &messages, in), Ok);
    Buffers buffers(4, 100);
    for (WaveHeader &h : buffers.headers) {
        ASSERT_EQ(in->prepareHeader(&h), Ok);
        ASSERT_EQ(in->addBuffer(&h), Ok);
    }
    std::this_thread::sleep_for(10ms); // a window for a wrong early delivery to show
    EXPECT_EQ(messages.count(Message::Data), 0u); // not started yet
    ASSERT_EQ(in->start(), Ok);
    ASSERT_TRUE(messages.waitFor(Message::Data, 2));
    std::this_thread::sleep_for(20ms); // the source is used up; nothing more comes
    EXPECT_EQ(messages.count(Message::Data), 2u);
    ASSERT_EQ(in->reset(), Ok);
    EXPECT_EQ(messages.count(Message::Data), 4u);

    std::vector<Recorder::Entry> data;
    for (const auto &e : messages.snapshot()) {
        if (e.message == Message::Data)
            data.push_back(e);
    }
    const uint32_t expected[] = { 100, 100, 40, 0 };
    std::vector<char> recorded;
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(data[i].header, &buffers.headers[i]);
        EXPECT_EQ(data[i].bytes, expected[i]);
        recorded.insert(recorded.end(), buffers.data[i].begin(),
                        buffers.data[i].begin() + data[i].bytes);
    }
    EXPECT_EQ(recorded, source);
    // After a reset the device must be started again.
    ASSERT_EQ(in->addBuffer(&buffers.headers[0]), Ok);
    std::this_thread::sleep_for(10ms);
    EXPECT_EQ(messages.count(Message::Data), 4u);
    EXPECT_EQ(in->reset(), Ok);
    EXPECT_EQ(in->close(), Ok);
}

struct SelfCaller
{
    static void callback(Message message, void *instance, WaveHeader *)
    {
        auto *self = static_cast<SelfCaller *>(instance);
        if (message == Message::Done && self->device != nullptr) {
            self->resetResult = self->device->reset();
            self->closeResult = self->device->close();
            self->called = true;
        }
    }
    WaveOut *device = nullptr;
    std::atomic<bool> called { false };
    int resetResult = 0;
    int closeResult = 0;
};

TEST(VirtualWaveTest, ResetAndCloseFromTheCallbackAreRefused)
{
    VirtualWave wave;
    SelfCaller caller;
    std::unique_ptr<WaveOut> out;
    ASSERT_EQ(wave.openOutput(-1, pcmFormat(1, 8, 8000), &SelfCaller::callback, &caller, out), Ok);
    caller.device = out.get();
    std::vector<char> data(16);
    WaveHeader header;
    header.data = data.data();
    header.bufferLength = 16;
    ASSERT_EQ(out->prepareHeader(&header), Ok);
    ASSERT_EQ(out->write(&header), Ok);
    ASSERT_TRUE(test::waitUntil([&] { return caller.called.load(); }));
    EXPECT_EQ(caller.resetResult, WrongThread);
    EXPECT_EQ(caller.closeResult, WrongThread);
    EXPECT_EQ(out->close(), Ok);
}

TEST(VirtualWaveTest, AnUnpluggedDeviceHandsBackItsBuffersAndStillCloses)
{
    VirtualWave wave(1.0);
    wave.setInputSource(pattern(8000));
    Recorder messages;
    std::unique_ptr<WaveIn> in;
    ASSERT_EQ(wave.openInput(-1, pcmFormat(1, 8, 8000), &Recorder::callback, &messages, in), Ok);
    Buffers buffers(2, 4000); // half a second each: still lent when unplugged
    for (WaveHeader &h : buffers.headers) {
        ASSERT_EQ(in->prepareHeader(&h), Ok);
        ASSERT_EQ(in->addBuffer(&h), Ok);
    }
    ASSERT_EQ(in->start(), Ok);
    wave.setPresent(false); // while the first half-second buffer is being filled
    ASSERT_TRUE(messages.waitFor(Message::Data, 2));
    EXPECT_EQ(in->addBuffer(&buffers.headers[0]), InvalidHandle);
    EXPECT_EQ(in->start(), InvalidHandle);
    EXPECT_EQ(in->reset(), Ok);
    EXPECT_EQ(in->unprepareHeader(&buffers.headers[0]), Ok);
    EXPECT_EQ(in->close(), Ok);
}

TEST(VirtualWaveTest, RealPacePlaysNoFasterThanTheFormatsRate)
{
    VirtualWave wave(1.0);
    Recorder messages;
    std::unique_ptr<WaveOut> out;
    ASSERT_EQ(wave.openOutput(-1, pcmFormat(1, 8, 8000), &Recorder::callback, &messages, out), Ok);
    std::vector<char> data(1600); // 0.2 s
    WaveHeader header;
    header.data = data.data();
    header.bufferLength = uint32_t(data.size());
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(out->prepareHeader(&header), Ok);
    ASSERT_EQ(out->write(&header), Ok);
    ASSERT_TRUE(messages.waitFor(Message::Done, 1));
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(elapsed, 180ms);
    EXPECT_EQ(out->close(), Ok);
}

const MixerLine *findLine(const Mixer &mixer, const std::string &name)
{
    for (const MixerLine &line : mixer.lines()) {
        if (line.name == name && line.source >= 0)
            return &line;
    }
    return nullptr;
}

TEST(AlsaMixerTest, ReadsTheSoundServersLinesAndReportsAVolumeChange)
{
    test::PrivateSink sink;
    if (!sink.ok())
        GTEST_SKIP() << "no PulseAudio server reachable (start one with scripts/soundserver.sh)";
    std::unique_ptr<Mixer> mixer;
    EXPECT_EQ(openAlsaMixer(0, mixer), Ok); // the default control device
    EXPECT_EQ(openAlsaMixer(-1, mixer), BadDevice);
    EXPECT_EQ(openAlsaMixer(alsaMixerDeviceCount(), mixer), BadDevice);
    EXPECT_EQ(openAlsaMixerByName("zarel_no_such_device", 0, mixer), NotPresent);

    // The private sink's control device: a Master line and a Capture line.
    ASSERT_EQ(openAlsaMixerByName("pulse:" + sink.name(), 7, mixer), Ok);
    EXPECT_EQ(mixer->handle(), 7);
    const std::vector<MixerLine> &lines = mixer->lines();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0].destination, -1);
    EXPECT_EQ(lines[0].source, -1);
    EXPECT_EQ(lines[0].flags, 0);
    EXPECT_FALSE(lines[0].name.empty());
    const MixerLine *master = findLine(*mixer, "Master");
    const MixerLine *capture = findLine(*mixer, "Capture");
    ASSERT_NE(master, nullptr);
    ASSERT_NE(capture, nullptr);
    EXPECT_EQ(master->destination, 0);
    EXPECT_EQ(master->source, 0);
    EXPECT_EQ(capture->destination, 1);
    EXPECT_TRUE(master->speakers);
    EXPECT_FALSE(capture->speakers);
    EXPECT_TRUE(master->hasControls);
    EXPECT_EQ(master->mono, master->rightVolume == 0);
    EXPECT_NE(master->volumeControl, kNoControl);
    EXPECT_NE(master->muteControl, kNoControl);
    EXPECT_EQ(master->meterControl, kNoControl);
    // A line with a mute control: the 128 bit is cleared; 64 marks a mono volume.
    EXPECT_EQ(master->flags, master->mono ? LineFlagMonoVolume : 0);
    EXPECT_FALSE(master->muted);
    ASSERT_FALSE(mixer->pollDescriptors().empty());

    ASSERT_TRUE(sink.setVolume(32768));
    std::vector<uint32_t> changed;
    for (int i = 0; i < 100 && changed.empty(); ++i) {
        std::vector<pollfd> fds = mixer->pollDescriptors();
        poll(fds.data(), fds.size(), 20);
        changed = mixer->handleEvents();
    }
    ASSERT_EQ(changed, std::vector<uint32_t> { master->volumeControl });
    EXPECT_NEAR(findLine(*mixer, "Master")->leftVolume, 32767, 2);
    EXPECT_TRUE(mixer->alive());
}

} // namespace
} // namespace zarel::wave
