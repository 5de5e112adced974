// The library's nineteen C entries: each forwards to the one global player and keeps C++
// exceptions from crossing into the caller (they become "internal decoder error").
#include "mpegdll/mpegdll.h"
#include "player.h"

namespace {

mpegdll::Player g_player;

template<typename Result, typename Call> Result guarded(Result failure, Call call) noexcept
{
    try {
        return call();
    } catch (...) {
        g_player.setError(MPEGDLL_ERR_DECODER);
        return failure;
    }
}

template<typename Call> void guarded(Call call) noexcept
{
    try {
        call();
    } catch (...) {
        g_player.setError(MPEGDLL_ERR_DECODER);
    }
}

} // namespace

extern "C" {

MPEGDLL_EXPORT bool init(void)
{
    return guarded(false, [] { return g_player.init(); });
}

MPEGDLL_EXPORT void deinit(void)
{
    guarded([] { g_player.deinit(); });
}

MPEGDLL_EXPORT void Open(const char *name, int32_t streamFlag, MpegOpenStreamCallback open,
                         MpegCloseStreamCallback close, MpegRestartStreamCallback restart,
                         MpegReadStreamCallback read, MpegSeekStreamCallback seek,
                         MpegStreamSizeCallback size, void *context)
{
    guarded([&] {
        const mpegdll::StreamCallbacks callbacks {
            open, close, restart, read, seek, size, context
        };
        g_player.open(name, streamFlag, callbacks);
    });
}

MPEGDLL_EXPORT int32_t Play(int32_t startPos, int32_t endPos, bool *ended)
{
    return guarded(int32_t { MPEGDLL_ERR_DECODER },
                   [&] { return g_player.play(startPos, endPos, ended); });
}

MPEGDLL_EXPORT void Pause(bool resume)
{
    guarded([&] { g_player.pause(resume); });
}

MPEGDLL_EXPORT void Stop(void)
{
    guarded([] { g_player.stop(); });
}

MPEGDLL_EXPORT void Restart(void)
{
    guarded([] { g_player.restart(); });
}

MPEGDLL_EXPORT void Close(void)
{
    guarded([] { g_player.close(); });
}

MPEGDLL_EXPORT void SetPriority(int32_t priority)
{
    guarded([&] { g_player.setPriority(priority); });
}

MPEGDLL_EXPORT void SetOutputDevice(int32_t device, const char *fileName)
{
    guarded([&] { g_player.setOutputDevice(device, fileName); });
}

MPEGDLL_EXPORT int32_t GetPlayerMode(void)
{
    return g_player.playerMode();
}

MPEGDLL_EXPORT int32_t GetCurrentPos(void)
{
    return g_player.currentPos();
}

MPEGDLL_EXPORT int32_t GetLength(void)
{
    return g_player.length();
}

MPEGDLL_EXPORT int32_t LastError(void)
{
    return g_player.lastError();
}

MPEGDLL_EXPORT int32_t GetFrequency(void)
{
    return g_player.frequency();
}

MPEGDLL_EXPORT int32_t GetBitrate(void)
{
    return g_player.bitrate();
}

MPEGDLL_EXPORT int32_t GetLayer(void)
{
    return g_player.layer();
}

MPEGDLL_EXPORT void ResetPlayerMode(void)
{
    guarded([] { g_player.resetPlayerMode(); });
}

MPEGDLL_EXPORT void Seek(int32_t pos)
{
    guarded([&] { g_player.seek(pos); });
}

} // extern "C"
