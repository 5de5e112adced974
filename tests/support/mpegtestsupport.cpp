// Helpers for the playing library's tests: loading through dlopen, test MP3s, reference
// decoding with libmpg123, and the in-memory callback stream.
#include "mpegtestsupport.h"

#include <mpg123.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

#include <dlfcn.h>

namespace zarel::test {

const std::vector<std::string> &mpegEntryNames()
{
    static const std::vector<std::string> names {
        "init",          "deinit",
        "Open",          "Play",
        "Pause",         "Stop",
        "Restart",       "Close",
        "SetPriority",   "SetOutputDevice",
        "GetPlayerMode", "GetCurrentPos",
        "GetLength",     "LastError",
        "GetFrequency",  "GetBitrate",
        "GetLayer",      "ResetPlayerMode",
        "Seek",
    };
    return names;
}

MpegLibrary::~MpegLibrary()
{
    if (handle != nullptr) {
        if (deinit != nullptr)
            deinit();
        dlclose(handle);
    }
}

void MpegLibrary::unloadWithoutDeinit()
{
    if (handle != nullptr)
        dlclose(handle);
    handle = nullptr;
}

template<typename Fn> static bool lookUp(void *handle, const char *name, Fn &fn, std::string &error)
{
    fn = reinterpret_cast<Fn>(dlsym(handle, name));
    if (fn == nullptr)
        error += std::string(" missing entry ") + name;
    return fn != nullptr;
}

bool MpegLibrary::load(const std::string &path, std::string &error)
{
    handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        error = dlerror();
        return false;
    }
    bool ok = true;
    ok &= lookUp(handle, "init", init, error);
    ok &= lookUp(handle, "deinit", deinit, error);
    ok &= lookUp(handle, "Open", Open, error);
    ok &= lookUp(handle, "Play", Play, error);
    ok &= lookUp(handle, "Pause", Pause, error);
    ok &= lookUp(handle, "Stop", Stop, error);
    ok &= lookUp(handle, "Restart", Restart, error);
    ok &= lookUp(handle, "Close", Close, error);
    ok &= lookUp(handle, "SetPriority", SetPriority, error);
    ok &= lookUp(handle, "SetOutputDevice", SetOutputDevice, error);
    ok &= lookUp(handle, "GetPlayerMode", GetPlayerMode, error);
    ok &= lookUp(handle, "GetCurrentPos", GetCurrentPos, error);
    ok &= lookUp(handle, "GetLength", GetLength, error);
    ok &= lookUp(handle, "LastError", LastError, error);
    ok &= lookUp(handle, "GetFrequency", GetFrequency, error);
    ok &= lookUp(handle, "GetBitrate", GetBitrate, error);
    ok &= lookUp(handle, "GetLayer", GetLayer, error);
    ok &= lookUp(handle, "ResetPlayerMode", ResetPlayerMode, error);
    ok &= lookUp(handle, "Seek", Seek, error);
    return ok;
}

void MpegLibrary::openFile(const std::string &name)
{
    std::vector<char> buffer(MPEGDLL_STREAM_NAME_SIZE, '\0');
    std::strncpy(buffer.data(), name.c_str(), buffer.size() - 1);
    Open(buffer.data(), 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
}

std::string makeToneMp3(const std::string &folder, const std::string &name, double seconds,
                        int rate, int channels, int kbps, int frequency)
{
    const std::string wav = folder + "/" + name + ".wav";
    const std::string mp3 = folder + "/" + name + ".mp3";
    std::ostringstream sox;
    sox << "sox -n -r " << rate << " -c " << channels << " '" << wav << "' synth " << seconds
        << " sine " << frequency;
    if (channels == 2)
        sox << " sine " << frequency * 3 / 2;
    sox << " vol 0.5 2>/dev/null";
    std::ostringstream lame;
    lame << "lame --quiet -m " << (channels == 2 ? "j" : "m") << " -b " << kbps << " --resample "
         << rate / 1000.0 << " '" << wav << "' '" << mp3 << "' 2>/dev/null";
    if (std::system(sox.str().c_str()) != 0 || std::system(lame.str().c_str()) != 0)
        return {};
    return mp3;
}

Pcm referenceDecode(const std::string &path)
{
    Pcm pcm;
    mpg123_init();
    int error = 0;
    mpg123_handle *handle = mpg123_new(nullptr, &error);
    if (handle == nullptr)
        return pcm;
    mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    mpg123_format_none(handle);
    const long *rates = nullptr;
    size_t count = 0;
    mpg123_rates(&rates, &count);
    for (size_t i = 0; i < count; ++i)
        mpg123_format(handle, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    if (mpg123_open(handle, path.c_str()) == MPG123_OK
        && mpg123_getformat(handle, &rate, &channels, &encoding) == MPG123_OK) {
        pcm.rate = static_cast<int>(rate);
        pcm.channels = channels;
        std::vector<int16_t> chunk(4096);
        for (;;) {
            size_t done = 0;
            const int result = mpg123_read(handle, chunk.data(), chunk.size() * 2, &done);
            pcm.samples.insert(pcm.samples.end(), chunk.begin(),
                               chunk.begin() + static_cast<long>(done / 2));
            if (result != MPG123_OK && result != MPG123_NEW_FORMAT)
                break;
        }
        mpg123_close(handle);
    }
    mpg123_delete(handle);
    return pcm;
}

std::vector<int16_t> readPcmFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<int16_t> samples;
    unsigned char pair[2];
    while (in.read(reinterpret_cast<char *>(pair), 2))
        samples.push_back(static_cast<int16_t>(pair[0] | (pair[1] << 8)));
    return samples;
}

bool flagSet(const bool &flag)
{
    return std::atomic_ref<bool>(const_cast<bool &>(flag)).load();
}

void clearFlag(bool &flag)
{
    std::atomic_ref<bool>(flag).store(false);
}

bool waitForFlag(const bool &flag, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!flagSet(flag)) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

bool waitForMode(const MpegLibrary &library, int32_t mode, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (library.GetPlayerMode() != mode) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

namespace {

MemoryStream &streamOf(void *context)
{
    return *static_cast<MemoryStream *>(context);
}

void checkContext(MemoryStream &stream, void *context)
{
    if (context != &stream)
        stream.foreignContext = true;
}

void onOpen(void *context, bool *nonseekable, void **streamContext)
{
    MemoryStream &s = streamOf(context);
    ++s.opens;
    s.position = 0;
    *nonseekable = s.nonseekable;
    *streamContext = nullptr;
}

void onClose(void *context)
{
    ++streamOf(context).closes;
}

void onRestart(void *context, bool *result)
{
    MemoryStream &s = streamOf(context);
    ++s.restarts;
    s.position = 0;
    *result = true;
}

void onRead(void *context, void *buffer, int32_t bytesToRead, int32_t *bytesRead, bool *result)
{
    MemoryStream &s = streamOf(context);
    checkContext(s, context);
    ++s.reads;
    if (s.stopInsideRead && s.library != nullptr) {
        s.stopInsideRead = false;
        s.library->Stop();
        s.stopInsideReadError = s.library->LastError();
    }
    const std::chrono::microseconds delay = s.readDelay;
    if (delay.count() > 0)
        std::this_thread::sleep_for(delay);
    if (s.readFails || bytesToRead < 0) {
        *bytesRead = 0;
        *result = false;
        return;
    }
    size_t n = std::min(static_cast<size_t>(bytesToRead), s.data.size() - s.position);
    if (s.maxChunk > 0)
        n = std::min(n, s.maxChunk);
    std::memcpy(buffer, s.data.data() + s.position, n);
    s.position += n;
    *bytesRead = static_cast<int32_t>(n);
    *result = true;
}

void onSeek(void *context, int32_t distance, int32_t moveMethod, int32_t *newPosition)
{
    MemoryStream &s = streamOf(context);
    ++s.seeks;
    int64_t base = 0;
    if (moveMethod == 1)
        base = static_cast<int64_t>(s.position);
    else if (moveMethod == 2)
        base = static_cast<int64_t>(s.data.size());
    const int64_t target = base + distance;
    if (s.nonseekable || moveMethod < 0 || moveMethod > 2 || target < 0
        || target > static_cast<int64_t>(s.data.size())) {
        *newPosition = -1;
        return;
    }
    s.position = static_cast<size_t>(target);
    *newPosition = static_cast<int32_t>(target);
}

void onSize(void *context, int32_t *size)
{
    MemoryStream &s = streamOf(context);
    ++s.sizes;
    *size = s.reportSize ? static_cast<int32_t>(s.data.size()) : -1;
}

} // namespace

void MemoryStream::open(MpegLibrary &lib)
{
    library = &lib;
    lib.Open(nullptr, 1, &onOpen, &onClose, hasRestart ? &onRestart : nullptr, &onRead, &onSeek,
             &onSize, this);
}

bool soundServerAnswers()
{
    return std::system("pactl info >/dev/null 2>&1") == 0;
}

} // namespace zarel::test
