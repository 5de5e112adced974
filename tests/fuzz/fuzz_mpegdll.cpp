// Fuzz harness of the MP3 playing library: arbitrary files opened by name, and the same bytes
// through the stream callbacks, each played to the PCM file output to its end and closed. Both
// ways must agree on whether the input opens and on the samples it gives.
#include "fuzzsupport.h"
#include "mpegdll/mpegdll.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <thread>

namespace {

namespace fuzz = zarel::fuzz;
using Clock = std::chrono::steady_clock;

// A play that has not ended after this long is a hang (libFuzzer's own timeout is longer).
constexpr auto kPlayLimit = std::chrono::seconds(20);

// The input served through the six stream callbacks.
struct MemoryStream
{
    std::string_view data;
    size_t position = 0;
    int opens = 0;
    int closes = 0;

    static MemoryStream &of(void *context) { return *static_cast<MemoryStream *>(context); }

    static void open(void *context, bool *nonseekable, void **)
    {
        ++of(context).opens;
        *nonseekable = false;
    }
    static void close(void *context) { ++of(context).closes; }
    static void restart(void *context, bool *result)
    {
        of(context).position = 0;
        *result = true;
    }
    static void read(void *context, void *buffer, int32_t bytesToRead, int32_t *bytesRead,
                     bool *result)
    {
        MemoryStream &s = of(context);
        const size_t n
            = std::min(static_cast<size_t>(std::max(bytesToRead, 0)), s.data.size() - s.position);
        if (n > 0)
            std::memcpy(buffer, s.data.data() + s.position, n);
        s.position += n;
        *bytesRead = static_cast<int32_t>(n);
        *result = true;
    }
    static void seek(void *context, int32_t distance, int32_t moveMethod, int32_t *newPosition)
    {
        MemoryStream &s = of(context);
        const int64_t base = moveMethod == 0
            ? 0
            : (moveMethod == 1 ? static_cast<int64_t>(s.position)
                               : static_cast<int64_t>(s.data.size()));
        const int64_t target = base + distance;
        if (target < 0 || target > static_cast<int64_t>(s.data.size())) {
            *newPosition = -1;
            return;
        }
        s.position = static_cast<size_t>(target);
        *newPosition = static_cast<int32_t>(target);
    }
    static void size(void *context, int32_t *size)
    {
        *size = static_cast<int32_t>(of(context).data.size());
    }
};

bool flagSet(const bool &flag)
{
    return std::atomic_ref<const bool>(flag).load();
}

// Plays the open stream to the PCM file and returns the samples written; "failed" is set when
// the player stopped early on a decoder or device failure.
std::string playToFile(const std::string &pcmPath, bool &failed)
{
    fuzz::removeFile(pcmPath);
    SetOutputDevice(MPEGDLL_DEVICE_PCMFILE, pcmPath.c_str());
    ZAREL_FUZZ_CHECK(LastError() == MPEGDLL_OK);
    ZAREL_FUZZ_CHECK(GetPlayerMode() == MPEGDLL_MODE_STOPPED);
    ZAREL_FUZZ_CHECK(GetLength() >= 0 && GetCurrentPos() >= 0);
    ZAREL_FUZZ_CHECK(GetLayer() >= 1 && GetLayer() <= 3);
    ZAREL_FUZZ_CHECK(GetFrequency() > 0);

    static bool ended = false;
    std::atomic_ref<bool>(ended).store(false);
    ZAREL_FUZZ_CHECK(Play(0, 0, &ended) == MPEGDLL_OK);
    const auto deadline = Clock::now() + kPlayLimit;
    int32_t mode = GetPlayerMode();
    while (mode == MPEGDLL_MODE_PLAYING) {
        ZAREL_FUZZ_CHECK(Clock::now() < deadline);
        std::this_thread::sleep_for(std::chrono::microseconds(200));
        mode = GetPlayerMode();
    }
    ZAREL_FUZZ_CHECK(mode == MPEGDLL_MODE_ENDED || mode == MPEGDLL_MODE_FAILED);
    ZAREL_FUZZ_CHECK(flagSet(ended));
    ZAREL_FUZZ_CHECK(GetCurrentPos() >= 0 && GetCurrentPos() <= GetLength());
    failed = mode == MPEGDLL_MODE_FAILED;
    Close();
    ZAREL_FUZZ_CHECK(LastError() == MPEGDLL_OK && GetPlayerMode() == MPEGDLL_MODE_CLOSED);
    const std::string pcm = failed ? std::string() : fuzz::readFile(pcmPath);
    ZAREL_FUZZ_CHECK(pcm.size() % 2 == 0);
    return pcm;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const bool initialised = init();
    ZAREL_FUZZ_CHECK(initialised);
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    const std::string path = fuzz::scratchPath("input.mp3");
    const std::string pcmPath = fuzz::scratchPath("output.pcm");
    fuzz::writeFile(path, bytes);

    // By name, as the program opens the pronunciation files.
    char name[MPEGDLL_STREAM_NAME_SIZE] = {};
    path.copy(name, sizeof name - 1);
    Open(name, 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    const int32_t fileResult = LastError();
    ZAREL_FUZZ_CHECK(fileResult == MPEGDLL_OK || fileResult == MPEGDLL_ERR_INPUT);
    bool fileFailed = false;
    std::string filePcm;
    if (fileResult == MPEGDLL_OK)
        filePcm = playToFile(pcmPath, fileFailed);
    else
        ZAREL_FUZZ_CHECK(GetPlayerMode() == MPEGDLL_MODE_CLOSED);

    // Through the stream callbacks.
    MemoryStream stream;
    stream.data = bytes;
    Open(nullptr, 1, &MemoryStream::open, &MemoryStream::close, &MemoryStream::restart,
         &MemoryStream::read, &MemoryStream::seek, &MemoryStream::size, &stream);
    const int32_t streamResult = LastError();
    ZAREL_FUZZ_CHECK(streamResult == fileResult);
    bool streamFailed = false;
    std::string streamPcm;
    if (streamResult == MPEGDLL_OK)
        streamPcm = playToFile(pcmPath, streamFailed);
    ZAREL_FUZZ_CHECK(stream.opens == 1 && stream.closes == 1);
    ZAREL_FUZZ_CHECK(streamFailed == fileFailed && streamPcm == filePcm);
    return 0;
}
