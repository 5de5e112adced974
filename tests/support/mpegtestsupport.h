// Helpers for the playing library's tests: the library loaded through dlopen with its nineteen
// entries, test MP3s made by sox and LAME, libmpg123's own decoding for comparison, and an
// in-memory stream served through the library's callbacks.
#pragma once

#include "mpegdll/mpegdll.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace zarel::test {

// The library as the program loads it: dlopen plus one dlsym per entry.
class MpegLibrary
{
public:
    MpegLibrary() = default;
    ~MpegLibrary(); // deinit, then dlclose
    MpegLibrary(const MpegLibrary &) = delete;
    MpegLibrary &operator=(const MpegLibrary &) = delete;

    // Loads the library at `path`; false with a message when it or an entry is missing.
    bool load(const std::string &path, std::string &error);
    // dlclose without deinit.
    void unloadWithoutDeinit();

    void *handle = nullptr;
    MpegInitFn init = nullptr;
    MpegDeinitFn deinit = nullptr;
    MpegOpenFn Open = nullptr;
    MpegPlayFn Play = nullptr;
    MpegPauseFn Pause = nullptr;
    MpegStopFn Stop = nullptr;
    MpegRestartFn Restart = nullptr;
    MpegCloseFn Close = nullptr;
    MpegSetPriorityFn SetPriority = nullptr;
    MpegSetOutputDeviceFn SetOutputDevice = nullptr;
    MpegGetPlayerModeFn GetPlayerMode = nullptr;
    MpegGetCurrentPosFn GetCurrentPos = nullptr;
    MpegGetLengthFn GetLength = nullptr;
    MpegLastErrorFn LastError = nullptr;
    MpegGetFrequencyFn GetFrequency = nullptr;
    MpegGetBitrateFn GetBitrate = nullptr;
    MpegGetLayerFn GetLayer = nullptr;
    MpegResetPlayerModeFn ResetPlayerMode = nullptr;
    MpegSeekFn Seek = nullptr;

    // Opens a file by name the way the program does (a 512-byte zero-terminated buffer).
    void openFile(const std::string &name);
};

// True when a sound server answers, so the wavemapper device plays at real pace on its sink
// (scripts/soundserver.sh starts one for the suite). The pcmfile device decodes as fast as it
// can, so a test that looks at the state during a sound needs the server.
bool soundServerAnswers();

// The names the library must export, in the contract's order.
const std::vector<std::string> &mpegEntryNames();

// Makes `seconds` of a half-scale sine tone (a fifth higher on the right channel for stereo) as an
// MP3 with sox and LAME. Empty when the tools fail.
std::string makeToneMp3(const std::string &folder, const std::string &name, double seconds,
                        int rate, int channels, int kbps, int frequency = 440);

struct Pcm
{
    std::vector<int16_t> samples; // interleaved
    int rate = 0;
    int channels = 0;
    size_t frames() const { return channels == 0 ? 0 : samples.size() / channels; }
};

// Decodes `path` with libmpg123 directly (16-bit output at the stream's rate).
Pcm referenceDecode(const std::string &path);
// Reads a raw little-endian 16-bit PCM file.
std::vector<int16_t> readPcmFile(const std::string &path);

// Polls the end flag the library writes from its thread.
bool flagSet(const bool &flag);
void clearFlag(bool &flag);
bool waitForFlag(const bool &flag, std::chrono::milliseconds timeout);
bool waitForMode(const MpegLibrary &library, int32_t mode, std::chrono::milliseconds timeout);

// An MP3 held in memory and served through the six stream callbacks, counting the calls.
struct MemoryStream
{
    std::string data;
    size_t position = 0;
    bool nonseekable = false;
    bool hasRestart = true;
    bool readFails = false;
    bool reportSize = true;
    size_t maxChunk = 0; // largest read served, 0 = no limit
    // Slows playing down to a steady pace; may change while the player thread reads.
    std::atomic<std::chrono::microseconds> readDelay { std::chrono::microseconds(0) };
    MpegLibrary *library = nullptr; // for callbacks that call back into the library
    bool stopInsideRead = false;
    int32_t stopInsideReadError = -1;

    int opens = 0;
    int closes = 0;
    int restarts = 0;
    std::atomic<int> reads { 0 }; // counted on the player thread, read by the test
    int seeks = 0;
    int sizes = 0;
    bool foreignContext = false; // a callback got another context pointer

    // Calls the library's Open with flag 1, all six callbacks (restart only when hasRestart)
    // and this object as context.
    void open(MpegLibrary &library);
};

} // namespace zarel::test
