// Tests of the MP3 playing library through dlopen: decoding to a PCM file compared with
// libmpg123's own output, the callback stream, the end flag, play ranges and positions, and the
// calls in every order the owner may make them.
#include "mpegtestsupport.h"
#include "support/testdictionary.h"
#include "support/waituntil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <functional>
#include <random>
#include <set>
#include <thread>

#include <dlfcn.h>

namespace zarel::test {
namespace {

using namespace std::chrono_literals;

constexpr const char *kLibraryPath = MPEGDLL_PATH;
constexpr auto kEndTimeout = kWaitDeadline;

// Bytes written so far to the temporary files beside `target` (the PCM-file output writes
// there until the play completes or stops).
uintmax_t temporaryBytes(const std::string &target)
{
    const std::filesystem::path path(target);
    const std::string prefix = path.filename().string() + ".tmp";
    uintmax_t bytes = 0;
    for (const auto &entry : std::filesystem::directory_iterator(path.parent_path())) {
        if (entry.path().filename().string().starts_with(prefix))
            bytes += entry.file_size();
    }
    return bytes;
}

// Threads of this process. A sanitizer runtime starts a helper thread of its own with the first
// thread the process creates, so one thread is started and joined first; the count then moves
// only with the library's threads.
size_t countThreads()
{
    static const bool runtimeThreadsStarted = [] {
        std::thread([] {}).join();
        return true;
    }();
    (void)runtimeThreadsStarted;
    size_t count = 0;
    for ([[maybe_unused]] const auto &entry :
         std::filesystem::directory_iterator("/proc/self/task"))
        ++count;
    return count;
}

std::vector<int16_t> slice(const Pcm &pcm, size_t fromFrame, size_t toFrame)
{
    toFrame = std::min(toFrame, pcm.frames());
    fromFrame = std::min(fromFrame, toFrame);
    const auto channels = static_cast<size_t>(pcm.channels);
    return std::vector<int16_t>(pcm.samples.begin() + static_cast<long>(fromFrame * channels),
                                pcm.samples.begin() + static_cast<long>(toFrame * channels));
}

class MpegDll : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(m_lib.load(kLibraryPath, error)) << error;
        ASSERT_TRUE(m_lib.init());
        m_tone = makeToneMp3(m_dir.path(), "tone", 0.5, 22050, 1, 24);
        ASSERT_FALSE(m_tone.empty()) << "sox and lame are needed to make the test sounds";
        m_reference = referenceDecode(m_tone);
        ASSERT_GT(m_reference.frames(), 10000u);
        m_out = m_dir.file("out.pcm");
    }

    // Chooses device 2 the way the program does (a 260-byte zero-terminated buffer).
    void useFile(const std::string &path)
    {
        std::vector<char> buffer(MPEGDLL_OUTPUT_NAME_SIZE, '\0');
        path.copy(buffer.data(), buffer.size() - 1);
        m_lib.SetOutputDevice(MPEGDLL_DEVICE_PCMFILE, buffer.data());
        ASSERT_EQ(m_lib.LastError(), MPEGDLL_OK);
    }

    // Plays the open stream to the PCM file and waits for the end flag.
    std::vector<int16_t> playToFile(int32_t start = 0, int32_t end = 0)
    {
        clearFlag(m_ended);
        EXPECT_EQ(m_lib.Play(start, end, &m_ended), MPEGDLL_OK);
        EXPECT_TRUE(waitForFlag(m_ended, kEndTimeout));
        EXPECT_EQ(m_lib.GetPlayerMode(), MPEGDLL_MODE_ENDED);
        return readPcmFile(m_out);
    }

    // A stream that plays for about half a second: small reads, each delayed.
    void makeSlow(MemoryStream &stream)
    {
        stream.maxChunk = 32;
        stream.readDelay = 8ms;
    }

    // Streams the library may still call back (close at deinit), so they outlive it.
    MemoryStream &newStream() { return m_streams.emplace_back(); }

    TempDir m_dir;
    bool m_ended = false; // outlives the library: Restart reports through the last Play's flag
    std::deque<MemoryStream> m_streams;
    MpegLibrary m_lib;
    std::string m_tone;
    Pcm m_reference;
    std::string m_out;
};

TEST(MpegDllExports, ExportsExactlyTheNineteenEntries)
{
    FILE *nm = ::popen((std::string("nm -D --defined-only '") + kLibraryPath + "'").c_str(), "r");
    ASSERT_NE(nm, nullptr);
    std::set<std::string> exported;
    char line[512];
    while (std::fgets(line, sizeof line, nm) != nullptr) {
        char address[64];
        char type[8];
        char name[256];
        if (std::sscanf(line, "%63s %7s %255s", address, type, name) == 3)
            exported.insert(name);
    }
    ASSERT_EQ(::pclose(nm), 0) << "nm is needed";
    const std::set<std::string> expected(mpegEntryNames().begin(), mpegEntryNames().end());
    EXPECT_EQ(exported, expected);
}

TEST_F(MpegDll, DecodesToPcmFileSampleForSample)
{
    struct Case
    {
        const char *name;
        double seconds;
        int rate;
        int channels;
        int kbps;
    };
    const Case cases[] = {
        { "mono22050", 0.5, 22050, 1, 24 },
        { "stereo44100", 0.3, 44100, 2, 64 },
        { "mono16000", 0.4, 16000, 1, 32 },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const std::string mp3
            = makeToneMp3(m_dir.path(), c.name, c.seconds, c.rate, c.channels, c.kbps);
        ASSERT_FALSE(mp3.empty());
        const Pcm reference = referenceDecode(mp3);
        ASSERT_EQ(reference.rate, c.rate);
        ASSERT_EQ(reference.channels, c.channels);

        m_lib.openFile(mp3);
        ASSERT_EQ(m_lib.LastError(), MPEGDLL_OK);
        EXPECT_EQ(m_lib.GetPlayerMode(), MPEGDLL_MODE_STOPPED);
        EXPECT_EQ(m_lib.GetFrequency(), c.rate);
        EXPECT_EQ(m_lib.GetLayer(), 3);
        EXPECT_EQ(m_lib.GetBitrate(), c.kbps);
        const auto lengthMs = static_cast<int32_t>(reference.frames() * 1000 / c.rate);
        EXPECT_EQ(m_lib.GetLength(), lengthMs);
        EXPECT_EQ(m_lib.GetCurrentPos(), 0);

        useFile(m_out);
        const std::vector<int16_t> pcm = playToFile();
        ASSERT_EQ(pcm.size(), reference.samples.size());
        EXPECT_TRUE(pcm == reference.samples) << "decoded samples differ";
        EXPECT_EQ(m_lib.GetCurrentPos(), lengthMs);
    }
}

TEST_F(MpegDll, EndFlagIsSetOnceAndAgainForEachRestart)
{
    m_lib.openFile(m_tone);
    useFile(m_out);
    bool ended = false;
    ASSERT_EQ(m_lib.Play(0, 0, &ended), MPEGDLL_OK);
    ASSERT_TRUE(waitForFlag(ended, kEndTimeout));
    clearFlag(ended);
    // The mode changes last, as the thread finishes: a second report would have come by then.
    ASSERT_TRUE(waitForMode(m_lib, MPEGDLL_MODE_ENDED, kEndTimeout));
    EXPECT_FALSE(flagSet(ended)) << "the end was reported twice";

    // Restart replays the stream and reports through the same flag.
    std::filesystem::remove(m_out);
    m_lib.Restart();
    ASSERT_EQ(m_lib.LastError(), MPEGDLL_OK);
    ASSERT_TRUE(waitForFlag(ended, kEndTimeout));
    EXPECT_TRUE(readPcmFile(m_out) == m_reference.samples);

    // Play on an ended stream starts it again.
    clearFlag(ended);
    std::filesystem::remove(m_out);
    ASSERT_EQ(m_lib.Play(0, 0, &ended), MPEGDLL_OK);
    ASSERT_TRUE(waitForFlag(ended, kEndTimeout));
    EXPECT_TRUE(readPcmFile(m_out) == m_reference.samples);
    EXPECT_TRUE(std::filesystem::exists(m_out));
    // Only the PCM file and the sounds are left: the temporary file was renamed.
    for (const auto &entry : std::filesystem::directory_iterator(m_dir.path()))
        EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos) << entry.path();
}

TEST_F(MpegDll, PlayRangesInMilliseconds)
{
    struct Case
    {
        int32_t start;
        int32_t end;
        size_t fromFrame;
        size_t toFrame;
    };
    const size_t all = m_reference.frames();
    const Case cases[] = {
        { 0, 0, 0, all },      { 100, 300, 2205, 6615 },
        { 200, 0, 4410, all }, { -50, 100, 0, 2205 },
        { 0, 100000, 0, all }, { 450, 200, 0, 0 }, // end before start: nothing to play
        { 100000, 0, 0, 0 }, // start past the end
    };
    m_lib.openFile(m_tone);
    useFile(m_out);
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.start << ".." << c.end);
        const std::vector<int16_t> pcm = playToFile(c.start, c.end);
        const std::vector<int16_t> expected = slice(m_reference, c.fromFrame, c.toFrame);
        ASSERT_EQ(pcm.size(), expected.size());
        EXPECT_TRUE(pcm == expected);
    }
}

TEST_F(MpegDll, RestartReplaysTheRangeOfTheLastPlay)
{
    m_lib.openFile(m_tone);
    useFile(m_out);
    const std::vector<int16_t> first = playToFile(100, 300);
    std::filesystem::remove(m_out);
    m_lib.Restart();
    ASSERT_EQ(m_lib.LastError(), MPEGDLL_OK);
    ASSERT_TRUE(waitForMode(m_lib, MPEGDLL_MODE_ENDED, kEndTimeout));
    EXPECT_TRUE(readPcmFile(m_out) == first);

    // Restart right after an Open plays the whole stream.
    m_lib.openFile(m_tone);
    m_lib.Restart();
    ASSERT_EQ(m_lib.LastError(), MPEGDLL_OK);
    ASSERT_TRUE(waitForMode(m_lib, MPEGDLL_MODE_ENDED, kEndTimeout));
    EXPECT_TRUE(readPcmFile(m_out) == m_reference.samples);
}

TEST_F(MpegDll, PositionsAndSeekInMilliseconds)
{
    m_lib.openFile(m_tone);
    const int32_t length = m_lib.GetLength();
    ASSERT_EQ(length, static_cast<int32_t>(m_reference.frames() * 1000 / 22050));
    struct Case
    {
        int32_t seek;
        int32_t position;
    };
    const Case cases[] = { { 250, 250 }, { 0, 0 }, { -20, 0 }, { 100000, length }, { 1, 1 } };
    for (const Case &c : cases) {
        m_lib.Seek(c.seek);
        EXPECT_EQ(m_lib.LastError(), MPEGDLL_OK);
        EXPECT_NEAR(m_lib.GetCurrentPos(), c.position, 1) << "seek " << c.seek;
    }
    EXPECT_EQ(m_lib.GetPlayerMode(), MPEGDLL_MODE_STOPPED);
}

TEST_F(MpegDll, StreamCallbacksGiveTheSamePcm)
{
    struct Case
    {
        const char *name;
        bool nonseekable;
        size_t maxChunk;
        bool reportSize;
    };
    const Case cases[] = {
        { "seekable", false, 0, true },
        { "seekable, short reads", false, 100, true },
        { "non-seekable", true, 0, true },
        { "non-seekable, unknown size, short reads", true, 333, false },
    };
    const std::string bytes = readFile(m_tone);
    useFile(m_out);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        MemoryStream &stream = newStream();
        stream.data = bytes;
        stream.nonseekable = c.nonseekable;
        stream.maxChunk = c.maxChunk;
        stream.reportSize = c.reportSize;
        stream.open(m_lib);
        ASSERT_EQ(m_lib.LastError(), MPEGDLL_OK);
        EXPECT_EQ(stream.opens, 1);
        EXPECT_EQ(stream.closes, 0);
        EXPECT_EQ(m_lib.GetFrequency(), 22050);
        const auto exactMs = static_cast<int32_t>(m_reference.frames() * 1000 / 22050);
        if (!c.nonseekable) {
            EXPECT_EQ(m_lib.GetLength(), exactMs);
        } else if (c.reportSize) {
            EXPECT_NEAR(m_lib.GetLength(), exactMs, 100);
        }

        EXPECT_TRUE(playToFile() == m_reference.samples);
        std::filesystem::remove(m_out);
        m_lib.Restart();
        ASSERT_EQ(m_lib.LastError(), MPEGDLL_OK);
        ASSERT_TRUE(waitForMode(m_lib, MPEGDLL_MODE_ENDED, kEndTimeout));
        EXPECT_TRUE(readPcmFile(m_out) == m_reference.samples) << "after Restart";
        EXPECT_EQ(stream.restarts, c.nonseekable ? 1 : 0);
        if (c.nonseekable) {
            EXPECT_EQ(stream.seeks, 0);
        }

        m_lib.Close();
        EXPECT_EQ(m_lib.LastError(), MPEGDLL_OK);
        EXPECT_EQ(stream.closes, 1);
        EXPECT_EQ(stream.opens, 1);
        EXPECT_FALSE(stream.foreignContext);
        EXPECT_EQ(m_lib.GetPlayerMode(), MPEGDLL_MODE_CLOSED);
    }
}

TEST_F(MpegDll, NonSeekableStreamWithoutRestartReportsCode4)
{
    MemoryStream &stream = newStream();
    stream.data = readFile(m_tone);
    stream.nonseekable = true;
    stream.hasRestart = false;
    stream.open(m_lib);
    ASSERT_EQ(m_lib.LastError(), MPEGDLL_OK);
    m_lib.Seek(100);
    EXPECT_EQ(m_lib.LastError(), MPEGDLL_ERR_NONSEEKABLE);
    useFile(m_out);
    EXPECT_TRUE(playToFile() == m_reference.samples);
    m_lib.Restart();
    EXPECT_EQ(m_lib.LastError(), MPEGDLL_ERR_NONSEEKABLE);
    bool ended = false;
    EXPECT_EQ(m_lib.Play(0, 0, &ended), MPEGDLL_ERR_NONSEEKABLE);
    EXPECT_FALSE(flagSet(ended));
}

TEST_F(MpegDll, FailingStreamsGiveCode3AndAreClosed)
{
    {
        SCOPED_TRACE("read fails");
        MemoryStream &stream = newStream();
        stream.data = readFile(m_tone);
        stream.readFails = true;
        stream.open(m_lib);
        EXPECT_EQ(m_lib.LastError(), MPEGDLL_ERR_INPUT);
        EXPECT_EQ(stream.opens, 1);
        EXPECT_EQ(stream.closes, 1);
        EXPECT_EQ(m_lib.GetPlayerMode(), MPEGDLL_MODE_CLOSED);
    }
    {
        SCOPED_TRACE("not an MP3");
        MemoryStream &stream = newStream();
        stream.data = std::string(20000, 'x');
        stream.open(m_lib);
        EXPECT_EQ(m_lib.LastError(), MPEGDLL_ERR_INPUT);
        EXPECT_EQ(stream.closes, 1);
    }
    {
        SCOPED_TRACE("no read callback");
        MemoryStream &stream = newStream();
        m_lib.Open(nullptr, 1, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &stream);
        EXPECT_EQ(m_lib.LastError(), MPEGDLL_ERR_INPUT);
    }
}

TEST_F(MpegDll, GarbageAndMissingInputsGiveCode3)
{
    std::mt19937 random(5);
    std::string noise(64 * 1024, '\0');
    for (char &c : noise)
        c = static_cast<char>(random());
    std::string text;
    for (int i = 0; i < 200; ++i)
        text += "the quick brown fox jumps over the lazy dog\n";
    const std::string id3Only = std::string("ID3\x03\x00\x00\x00\x00\x00\x00", 10);
    const std::string mp3 = readFile(m_tone);
    struct Case
    {
        const char *name;
        std::string contents;
    };
    const Case files[] = {
        { "empty", "" },
        { "text", text },
        { "random", noise },
        { "zeros", std::string(64 * 1024, '\0') },
        { "id3 tag only", id3Only },
        { "three bytes of a frame", mp3.substr(0, 3) },
    };
    for (const Case &c : files) {
        SCOPED_TRACE(c.name);
        const std::string path = m_dir.file(std::string(c.name) + ".mp3");
        writeFile(path, c.contents);
        m_lib.openFile(m_tone);
        ASSERT_EQ(m_lib.LastError(), MPEGDLL_OK);
        m_lib.openFile(path);
        EXPECT_EQ(m_lib.LastError(), MPEGDLL_ERR_INPUT);
        EXPECT_EQ(m_lib.GetPlayerMode(), MPEGDLL_MODE_CLOSED) << "the earlier stream stays open";
        EXPECT_EQ(m_lib.GetLength(), 0);
        bool ended = false;
        EXPECT_EQ(m_lib.Play(0, 0, &ended), MPEGDLL_ERR_MODE);
    }

    const std::string unterminated(MPEGDLL_STREAM_NAME_SIZE, 'a');
    struct NameCase
    {
        const char *name;
        const char *path;
        int32_t flag;
    };
    const std::string missing = m_dir.file("missing.mp3");
    const std::string folder = m_dir.path();
    const NameCase names[] = {
        { "missing file", missing.c_str(), 0 },
        { "folder", folder.c_str(), 0 },
        { "null name", nullptr, 0 },
        { "empty name", "", 0 },
        { "name without terminator", unterminated.data(), 0 },
        { "unknown stream flag", m_tone.c_str(), 7 },
    };
    for (const NameCase &c : names) {
        SCOPED_TRACE(c.name);
        m_lib.Open(c.path, c.flag, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
        EXPECT_EQ(m_lib.LastError(), MPEGDLL_ERR_INPUT);
        EXPECT_EQ(m_lib.GetPlayerMode(), MPEGDLL_MODE_CLOSED);
    }
}

TEST_F(MpegDll, CallsThatDoNotFitTheStateGiveCode2)
{
    struct Call
    {
        const char *name;
        std::function<void(MpegLibrary &)> run;
        int32_t expected;
    };
    bool ended = false;
    const std::vector<Call> withoutStream = {
        { "Stop", [](MpegLibrary &l) { l.Stop(); }, MPEGDLL_ERR_MODE },
        { "Pause", [](MpegLibrary &l) { l.Pause(false); }, MPEGDLL_ERR_MODE },
        { "Resume", [](MpegLibrary &l) { l.Pause(true); }, MPEGDLL_ERR_MODE },
        { "Restart", [](MpegLibrary &l) { l.Restart(); }, MPEGDLL_ERR_MODE },
        { "Seek", [](MpegLibrary &l) { l.Seek(10); }, MPEGDLL_ERR_MODE },
        { "Play", [&](MpegLibrary &l) { EXPECT_EQ(l.Play(0, 0, &ended), 2); }, MPEGDLL_ERR_MODE },
        { "Close", [](MpegLibrary &l) { l.Close(); }, MPEGDLL_OK },
        { "Close again", [](MpegLibrary &l) { l.Close(); }, MPEGDLL_OK },
        { "ResetPlayerMode", [](MpegLibrary &l) { l.ResetPlayerMode(); }, MPEGDLL_OK },
        { "GetCurrentPos", [](MpegLibrary &l) { EXPECT_EQ(l.GetCurrentPos(), 0); }, MPEGDLL_OK },
        { "GetLength", [](MpegLibrary &l) { EXPECT_EQ(l.GetLength(), 0); }, MPEGDLL_OK },
        { "GetFrequency", [](MpegLibrary &l) { EXPECT_EQ(l.GetFrequency(), 0); }, MPEGDLL_OK },
    };
    for (const Call &call : withoutStream) {
        SCOPED_TRACE(std::string("no stream: ") + call.name);
        call.run(m_lib);
        EXPECT_EQ(m_lib.LastError(), call.expected);
        EXPECT_EQ(m_lib.GetPlayerMode(), MPEGDLL_MODE_CLOSED);
    }

    m_lib.openFile(m_tone);
    const std::vector<Call> openedNotPlaying = {
        { "Stop", [](MpegLibrary &l) { l.Stop(); }, MPEGDLL_ERR_MODE },
        { "Pause", [](MpegLibrary &l) { l.Pause(false); }, MPEGDLL_ERR_MODE },
        { "Resume", [](MpegLibrary &l) { l.Pause(true); }, MPEGDLL_ERR_MODE },
        { "ResetPlayerMode", [](MpegLibrary &l) { l.ResetPlayerMode(); }, MPEGDLL_OK },
    };
    for (const Call &call : openedNotPlaying) {
        SCOPED_TRACE(std::string("opened: ") + call.name);
        call.run(m_lib);
        EXPECT_EQ(m_lib.LastError(), call.expected);
        EXPECT_EQ(m_lib.GetPlayerMode(), MPEGDLL_MODE_STOPPED);
    }

    useFile(m_out);
    playToFile();
    const std::vector<Call> afterTheEnd = {
        { "Stop after the end", [](MpegLibrary &l) { l.Stop(); }, MPEGDLL_ERR_MODE },
        { "Pause after the end", [](MpegLibrary &l) { l.Pause(false); }, MPEGDLL_ERR_MODE },
        { "Resume after the end", [](MpegLibrary &l) { l.Pause(true); }, MPEGDLL_ERR_MODE },
    };
    for (const Call &call : afterTheEnd) {
        SCOPED_TRACE(call.name);
        call.run(m_lib);
        EXPECT_EQ(m_lib.LastError(), call.expected);
        EXPECT_EQ(m_lib.GetPlayerMode(), MPEGDLL_MODE_ENDED);
    }
    m_lib.ResetPlayerMode();
    EXPECT_EQ(m_lib.GetPlayerMode(), MPEGDLL_MODE_STOPPED);
}

TEST_F(MpegDll, DeinitAndInitAgain)
{
    m_lib.openFile(m_tone);
    m_lib.deinit();
    EXPECT_EQ(m_lib.GetPlayerMode(), MPEGDLL_MODE_CLOSED);
    m_lib.openFile(m_tone);
    EXPECT_EQ(m_lib.LastError(), MPEGDLL_ERR_MODE);
    bool ended = false;
    EXPECT_EQ(m_lib.Play(0, 0, &ended), MPEGDLL_ERR_MODE);
    m_lib.Close();
    EXPECT_EQ(m_lib.LastError(), MPEGDLL_OK);
    m_lib.deinit();

    ASSERT_TRUE(m_lib.init());
    ASSERT_TRUE(m_lib.init());
    m_lib.openFile(m_tone);
    EXPECT_EQ(m_lib.LastError(), MPEGDLL_OK);
    useFile(m_out);
    EXPECT_TRUE(playToFile() == m_reference.samples);
}

TEST_F(MpegDll, OutputFailuresGiveCode5)
{
    m_lib.openFile(m_tone);
    const std::string unterminated(MPEGDLL_OUTPUT_NAME_SIZE, 'a');
    struct Case
    {
        const char *name;
        int32_t device;
        const char *file;
    };
    const std::string good = m_out;
    const Case choices[] = {
        { "device 1", 1, good.c_str() },
        { "device -1", -1, good.c_str() },
        { "device 3", 3, good.c_str() },
        { "no file name", MPEGDLL_DEVICE_PCMFILE, nullptr },
        { "empty file name", MPEGDLL_DEVICE_PCMFILE, "" },
        { "file name without terminator", MPEGDLL_DEVICE_PCMFILE, unterminated.data() },
    };
    useFile(good);
    for (const Case &c : choices) {
        SCOPED_TRACE(c.name);
        m_lib.SetOutputDevice(c.device, c.file);
        EXPECT_EQ(m_lib.LastError(), MPEGDLL_ERR_OUTPUT);
    }
    // A refused choice leaves the earlier one in place.
    EXPECT_TRUE(playToFile() == m_reference.samples);

    useFile(m_dir.file("no-such-folder/out.pcm"));
    bool ended = false;
    EXPECT_EQ(m_lib.Play(0, 0, &ended), MPEGDLL_ERR_OUTPUT);
    EXPECT_EQ(m_lib.LastError(), MPEGDLL_ERR_OUTPUT);
    EXPECT_EQ(m_lib.GetPlayerMode(), MPEGDLL_MODE_ENDED) << "a failed Play changes nothing";
    EXPECT_FALSE(flagSet(ended)) << "a failed Play starts no thread that could report an end";

    // A file that cannot be put in place at the end (a folder is in the way): the play fails,
    // still reports its end so the owner never waits forever, and leaves no temporary file.
    const std::string folder = m_dir.file("folder");
    std::filesystem::create_directory(folder);
    useFile(folder);
    ASSERT_EQ(m_lib.Play(0, 0, &ended), MPEGDLL_OK);
    ASSERT_TRUE(waitForFlag(ended, kEndTimeout));
    EXPECT_EQ(m_lib.GetPlayerMode(), MPEGDLL_MODE_FAILED);
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    for (const auto &entry : std::filesystem::directory_iterator(m_dir.path()))
        EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos) << entry.path();
    m_lib.ResetPlayerMode();
    EXPECT_EQ(m_lib.GetPlayerMode(), MPEGDLL_MODE_STOPPED);
}

TEST_F(MpegDll, PlaysAtEveryPriority)
{
    m_lib.openFile(m_tone);
    useFile(m_out);
    for (const int32_t priority : { -15, -2, -1, 0, 1, 2, 15, -1000, 1000 }) {
        SCOPED_TRACE(priority);
        m_lib.SetPriority(priority);
        EXPECT_EQ(m_lib.LastError(), MPEGDLL_OK);
        EXPECT_TRUE(playToFile() == m_reference.samples);
    }
}

TEST_F(MpegDll, PauseResumeAndStopWhilePlaying)
{
    MemoryStream &stream = newStream();
    stream.data = readFile(m_tone);
    stream.nonseekable = true;
    stream.open(m_lib);
    ASSERT_EQ(m_lib.LastError(), MPEGDLL_OK);
    makeSlow(stream);
    useFile(m_out);
    bool ended = false;
    ASSERT_EQ(m_lib.Play(0, 0, &ended), MPEGDLL_OK);
    EXPECT_EQ(m_lib.GetPlayerMode(), MPEGDLL_MODE_PLAYING);
    ASSERT_TRUE(waitUntil([&] { return m_lib.GetCurrentPos() > 0; }));

    // Pause returns once the thread has finished the chunk it was in and holds the output:
    // from then on neither the position nor the file may change, however long the pause.
    m_lib.Pause(false);
    ASSERT_EQ(m_lib.LastError(), MPEGDLL_OK);
    EXPECT_EQ(m_lib.GetPlayerMode(), MPEGDLL_MODE_PAUSED);
    const int32_t paused = m_lib.GetCurrentPos();
    EXPECT_GT(paused, 0);
    const int readsWhenPaused = stream.reads;
    const uintmax_t writtenWhenPaused = temporaryBytes(m_out);
    // The slow stream serves one read every 8 ms: a running thread would have read several
    // times within this observation window.
    std::this_thread::sleep_for(80ms);
    EXPECT_EQ(m_lib.GetCurrentPos(), paused) << "the position moved while paused";
    EXPECT_EQ(stream.reads, readsWhenPaused) << "the thread went on reading while paused";
    EXPECT_EQ(temporaryBytes(m_out), writtenWhenPaused) << "the output went on while paused";
    m_lib.Pause(false);
    EXPECT_EQ(m_lib.LastError(), MPEGDLL_ERR_MODE) << "pausing twice";

    m_lib.Pause(true);
    ASSERT_EQ(m_lib.LastError(), MPEGDLL_OK);
    EXPECT_EQ(m_lib.GetPlayerMode(), MPEGDLL_MODE_PLAYING);
    m_lib.Pause(true);
    EXPECT_EQ(m_lib.LastError(), MPEGDLL_ERR_MODE) << "resuming twice";
    EXPECT_TRUE(waitUntil([&] { return m_lib.GetCurrentPos() > paused; }))
        << "playing did not go on after the resume";

    m_lib.Stop();
    EXPECT_EQ(m_lib.LastError(), MPEGDLL_OK);
    EXPECT_EQ(m_lib.GetPlayerMode(), MPEGDLL_MODE_STOPPED);
    // Stop has joined the player thread, so a wrongly reported end would be there already.
    EXPECT_FALSE(flagSet(ended)) << "a stop is not an end";
    m_lib.Stop();
    EXPECT_EQ(m_lib.LastError(), MPEGDLL_ERR_MODE);

    // What was played before the stop is in the file, and it is the start of the sound.
    const std::vector<int16_t> partial = readPcmFile(m_out);
    EXPECT_GT(partial.size(), 0u);
    EXPECT_LT(partial.size(), m_reference.samples.size());
    EXPECT_TRUE(std::equal(partial.begin(), partial.end(), m_reference.samples.begin()));
}

TEST_F(MpegDll, CloseOrDeinitWhilePlayingLeaveNoThread)
{
    for (const bool useDeinit : { false, true }) {
        SCOPED_TRACE(useDeinit ? "deinit" : "Close");
        ASSERT_TRUE(m_lib.init());
        const size_t threadsBefore = countThreads();
        MemoryStream &stream = newStream();
        stream.data = readFile(m_tone);
        stream.nonseekable = true;
        stream.open(m_lib);
        makeSlow(stream);
        useFile(m_out);
        bool ended = false;
        ASSERT_EQ(m_lib.Play(0, 0, &ended), MPEGDLL_OK);
        ASSERT_TRUE(waitUntil([&] { return m_lib.GetCurrentPos() > 0; }));
        if (useDeinit)
            m_lib.deinit();
        else
            m_lib.Close();
        EXPECT_EQ(m_lib.LastError(), MPEGDLL_OK);
        EXPECT_EQ(m_lib.GetPlayerMode(), MPEGDLL_MODE_CLOSED);
        EXPECT_EQ(stream.closes, 1);
        EXPECT_EQ(countThreads(), threadsBefore);
        EXPECT_FALSE(flagSet(ended));
    }
}

TEST_F(MpegDll, PlayWhilePlayingStartsOver)
{
    MemoryStream &stream = newStream();
    stream.data = readFile(m_tone);
    stream.open(m_lib);
    makeSlow(stream);
    useFile(m_out);
    bool first = false;
    ASSERT_EQ(m_lib.Play(0, 0, &first), MPEGDLL_OK);
    ASSERT_TRUE(waitUntil([&] { return m_lib.GetCurrentPos() > 0; }));
    stream.readDelay = 0us;
    bool second = false;
    ASSERT_EQ(m_lib.Play(0, 0, &second), MPEGDLL_OK);
    ASSERT_TRUE(waitForFlag(second, kEndTimeout));
    EXPECT_FALSE(flagSet(first)) << "the interrupted play reported an end";
    EXPECT_TRUE(readPcmFile(m_out) == m_reference.samples);

    // Restart while paused also starts over.
    makeSlow(stream);
    clearFlag(second);
    m_lib.Restart();
    ASSERT_TRUE(waitUntil([&] { return m_lib.GetCurrentPos() > 0; }));
    m_lib.Pause(false);
    ASSERT_EQ(m_lib.LastError(), MPEGDLL_OK);
    stream.readDelay = 0us;
    m_lib.Restart();
    ASSERT_EQ(m_lib.LastError(), MPEGDLL_OK);
    EXPECT_EQ(m_lib.GetPlayerMode() == MPEGDLL_MODE_PLAYING
                  || m_lib.GetPlayerMode() == MPEGDLL_MODE_ENDED,
              true);
    ASSERT_TRUE(waitForFlag(second, kEndTimeout));
    EXPECT_TRUE(readPcmFile(m_out) == m_reference.samples);
}

TEST_F(MpegDll, SeekWhilePlayingContinuesFromTheNewPosition)
{
    MemoryStream &stream = newStream();
    stream.data = readFile(m_tone);
    stream.open(m_lib);
    ASSERT_EQ(m_lib.LastError(), MPEGDLL_OK);
    makeSlow(stream);
    useFile(m_out);
    bool ended = false;
    ASSERT_EQ(m_lib.Play(0, 0, &ended), MPEGDLL_OK);
    ASSERT_TRUE(waitUntil([&] { return m_lib.GetCurrentPos() > 0; }));
    stream.readDelay = 0us;
    m_lib.Seek(300);
    ASSERT_EQ(m_lib.LastError(), MPEGDLL_OK);
    ASSERT_TRUE(waitForFlag(ended, kEndTimeout));
    const std::vector<int16_t> pcm = readPcmFile(m_out);
    const std::vector<int16_t> tail = slice(m_reference, 6615, m_reference.frames());
    ASSERT_GE(pcm.size(), tail.size());
    // A jump restarts the decoder a few frames early, so the last bit may differ; a wrong
    // place in a 440 Hz tone would differ by thousands.
    int maxDifference = 0;
    const auto from = pcm.end() - static_cast<long>(tail.size());
    for (size_t i = 0; i < tail.size(); ++i)
        maxDifference = std::max(maxDifference, std::abs(from[static_cast<long>(i)] - tail[i]));
    EXPECT_LE(maxDifference, 2) << "the samples after the seek are not those from 300 ms on";
    EXPECT_EQ(m_lib.GetCurrentPos(), m_lib.GetLength());
}

TEST_F(MpegDll, CallsFromInsideCallbacksAreRefused)
{
    MemoryStream &stream = newStream();
    stream.data = readFile(m_tone);
    stream.open(m_lib);
    ASSERT_EQ(m_lib.LastError(), MPEGDLL_OK);
    stream.stopInsideRead = true; // on the player thread, while playing
    useFile(m_out);
    EXPECT_TRUE(playToFile() == m_reference.samples);
    EXPECT_EQ(stream.stopInsideReadError, MPEGDLL_ERR_MODE);
}

TEST_F(MpegDll, UnloadingWithoutDeinitStopsThePlayer)
{
    const size_t threadsBefore = countThreads();
    MemoryStream &stream = newStream();
    stream.data = readFile(m_tone);
    stream.nonseekable = true;
    stream.open(m_lib);
    makeSlow(stream);
    useFile(m_out);
    bool ended = false;
    ASSERT_EQ(m_lib.Play(0, 0, &ended), MPEGDLL_OK);
    ASSERT_TRUE(waitUntil([&] { return m_lib.GetCurrentPos() > 0; }));
    m_lib.unloadWithoutDeinit();
    EXPECT_EQ(dlopen(kLibraryPath, RTLD_NOW | RTLD_NOLOAD), nullptr) << "the library stayed loaded";
    EXPECT_EQ(countThreads(), threadsBefore);
    EXPECT_FALSE(flagSet(ended));
}

} // namespace
} // namespace zarel::test
