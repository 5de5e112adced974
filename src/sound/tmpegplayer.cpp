// TMPEGPlayer: library loading with dlopen, the open/play/restart/stop/close rules, and the poll
// timer that turns the library's end flag into OnPlayEnd.
#include "sound/tmpegplayer.h"

#include "mpegdll/mpegdll.h"

#include <array>
#include <atomic>
#include <cstring>
#include <vector>

#include <dlfcn.h>

#include <QMetaMethod>

namespace {

const char *const kErrorTexts[] = {
    "MPEG library not loaded", "Internal decoder error",       "Incorrect mode",
    "Input stream error",      "Input stream is non-seekable", "Output device failure",
};

std::string errorText(int code)
{
    if (code >= 0 && code < 6)
        return kErrorTexts[code];
    return "MPEG library error " + std::to_string(code);
}

constexpr std::array<int, 7> kPriorityValues = { -15, -2, -1, 0, 1, 2, 15 };

} // namespace

struct TMPEGPlayer::Entries
{
    MpegInitFn init;
    MpegDeinitFn deinit;
    MpegOpenFn Open;
    MpegPlayFn Play;
    MpegPauseFn Pause;
    MpegStopFn Stop;
    MpegRestartFn Restart;
    MpegCloseFn Close;
    MpegSetPriorityFn SetPriority;
    MpegSetOutputDeviceFn SetOutputDevice;
    MpegGetPlayerModeFn GetPlayerMode;
    MpegGetCurrentPosFn GetCurrentPos;
    MpegGetLengthFn GetLength;
    MpegLastErrorFn LastError;
    MpegGetFrequencyFn GetFrequency;
    MpegGetBitrateFn GetBitrate;
    MpegGetLayerFn GetLayer;
    MpegResetPlayerModeFn ResetPlayerMode;
    MpegSeekFn Seek;
};

// The six stream callbacks: the context is the component; each forwards to its event or gives
// the default answer.
struct MpegStreamCallbacks
{
    static void open(void *c, bool *nonseekable, void **context)
    {
        auto *p = static_cast<TMPEGPlayer *>(c);
        void *ctx = nullptr;
        bool ns = false;
        if (p->OnOpenStream)
            p->OnOpenStream(ns, ctx);
        *nonseekable = ns;
        *context = ctx;
    }
    static void close(void *c)
    {
        auto *p = static_cast<TMPEGPlayer *>(c);
        if (p->OnCloseStream)
            p->OnCloseStream(p);
    }
    static void restart(void *c, bool *result)
    {
        auto *p = static_cast<TMPEGPlayer *>(c);
        bool r = false;
        if (p->OnRestartStream)
            p->OnRestartStream(p, r);
        *result = r;
    }
    static void read(void *c, void *buffer, int32_t toRead, int32_t *bytesRead, bool *result)
    {
        auto *p = static_cast<TMPEGPlayer *>(c);
        int32_t n = 0;
        bool r = false;
        if (p->OnReadStream)
            p->OnReadStream(p, buffer, toRead, n, r);
        *bytesRead = n;
        *result = r;
    }
    static void seek(void *c, int32_t distance, int32_t method, int32_t *newPosition)
    {
        auto *p = static_cast<TMPEGPlayer *>(c);
        int32_t r = -1;
        if (p->OnSeekStream)
            p->OnSeekStream(p, distance, method, r);
        *newPosition = r;
    }
    static void size(void *c, int32_t *size)
    {
        auto *p = static_cast<TMPEGPlayer *>(c);
        int32_t r = -1;
        if (p->OnGetStreamSize)
            p->OnGetStreamSize(p, r);
        *size = r;
    }
};

TMPEGPlayer::TMPEGPlayer(QObject *owner)
    : QObject(owner)
{ }

TMPEGPlayer::~TMPEGPlayer()
{
    delete m_pollTimer;
    delete m_entries;
}

TPlayPriority TMPEGPlayer::PlayerPriority() const
{
    for (size_t i = 0; i < kPriorityValues.size(); ++i) {
        if (kPriorityValues[i] == m_priorityValue)
            return static_cast<TPlayPriority>(i);
    }
    return TPlayPriority::Normal;
}

void TMPEGPlayer::setPlayerPriority(TPlayPriority priority)
{
    m_priorityValue = kPriorityValues.at(static_cast<size_t>(priority));
    if (LibraryLoaded()) {
        m_entries->SetPriority(m_priorityValue);
        check();
    }
}

void TMPEGPlayer::setTimerFreq(int milliseconds)
{
    m_timerFreq = milliseconds;
    if (milliseconds == 0)
        UseTimer = false;
}

void TMPEGPlayer::setStreamName(const std::string &name)
{
    m_streamName = name;
    if (m_opened)
        Close();
}

TOutputDevice TMPEGPlayer::OutputDevice() const
{
    return m_deviceCode != 0 ? TOutputDevice::pcmfile : TOutputDevice::wavemapper;
}

void TMPEGPlayer::setOutputDevice(TOutputDevice device)
{
    m_deviceCode
        = (device == TOutputDevice::pcmfile && !OutFilename.empty()) ? MPEGDLL_DEVICE_PCMFILE : 0;
}

std::string TMPEGPlayer::libraryPath() const
{
    if (PathToDLL.empty())
        return "libmpegdll.so";
    return PathToDLL + (PathToDLL.back() == '/' ? "" : "/") + "libmpegdll.so";
}

void TMPEGPlayer::requireLoaded() const
{
    if (!LibraryLoaded())
        throw TMPEGError(kErrorTexts[0], 0);
}

void TMPEGPlayer::check()
{
    m_lastErrorCode = m_entries->LastError();
    if (m_lastErrorCode > 0)
        throw TMPEGError(errorText(m_lastErrorCode), static_cast<unsigned char>(m_lastErrorCode));
}

void TMPEGPlayer::releaseLibrary()
{
    if (m_library)
        dlclose(m_library);
    m_library = nullptr;
    delete m_entries;
    m_entries = nullptr;
}

void TMPEGPlayer::LoadPlayerLibrary()
{
    if (LibraryLoaded())
        return;
    // The library's entry names are short and generic: keep them out of the global namespace.
    m_library = dlopen(libraryPath().c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!m_library)
        throw TMPEGError("Can't load MPEG library", 0);

    auto *e = new Entries {};
    bool complete = true;
    const auto find = [&](auto &slot, const char *name) {
        void *symbol = dlsym(m_library, name);
        complete = complete && symbol != nullptr;
        slot = reinterpret_cast<std::remove_reference_t<decltype(slot)>>(symbol);
    };
    find(e->init, "init");
    find(e->deinit, "deinit");
    find(e->Open, "Open");
    find(e->Play, "Play");
    find(e->Pause, "Pause");
    find(e->Stop, "Stop");
    find(e->Restart, "Restart");
    find(e->Close, "Close");
    find(e->SetPriority, "SetPriority");
    find(e->SetOutputDevice, "SetOutputDevice");
    find(e->GetPlayerMode, "GetPlayerMode");
    find(e->GetCurrentPos, "GetCurrentPos");
    find(e->GetLength, "GetLength");
    find(e->LastError, "LastError");
    find(e->GetFrequency, "GetFrequency");
    find(e->GetBitrate, "GetBitrate");
    find(e->GetLayer, "GetLayer");
    find(e->ResetPlayerMode, "ResetPlayerMode");
    find(e->Seek, "Seek");
    m_entries = e;
    if (!complete) {
        releaseLibrary();
        throw TMPEGError(kErrorTexts[0], 0);
    }
    if (!m_entries->init()) {
        m_lastErrorCode = m_entries->LastError();
        releaseLibrary();
        throw TMPEGError(errorText(m_lastErrorCode), static_cast<unsigned char>(m_lastErrorCode));
    }
    delete m_pollTimer;
    m_pollTimer = new QTimer;
    m_pollTimer->setInterval(UseTimer ? m_timerFreq : 0);
    connect(m_pollTimer, &QTimer::timeout, this, &TMPEGPlayer::tick);
    m_streamLength = 0;
}

void TMPEGPlayer::UnloadPlayerLibrary()
{
    requireLoaded();
    if (m_opened)
        Close();
    m_entries->deinit(); // stops and joins the player thread
    m_playing = false;
    m_paused = false;
    releaseLibrary();
    if (m_pollTimer)
        m_pollTimer->stop();
}

void TMPEGPlayer::Open()
{
    requireLoaded();
    if (m_opened)
        Close();
    m_opened = false;
    if (FromStream) {
        m_entries->Open(nullptr, 1, &MpegStreamCallbacks::open, &MpegStreamCallbacks::close,
                        &MpegStreamCallbacks::restart, &MpegStreamCallbacks::read,
                        &MpegStreamCallbacks::seek, &MpegStreamCallbacks::size, this);
    } else {
        if (m_streamName.empty())
            throw TMPEGError("Can't play non-specified stream", 254);
        std::vector<char> buffer(MPEGDLL_STREAM_NAME_SIZE, '\0');
        std::memcpy(buffer.data(), m_streamName.data(),
                    std::min(m_streamName.size(), buffer.size() - 1));
        m_entries->Open(buffer.data(), 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                        nullptr);
    }
    check();
    m_opened = true;
    m_playedXTimes = 1;
    m_streamLength = Length();
    if (AutoPlay)
        Play();
}

void TMPEGPlayer::Play()
{
    requireLoaded();
    if (m_paused) {
        SetPaused(false);
        return;
    }
    if (m_playing)
        return;
    if (!m_opened)
        Open();
    if (!m_opened)
        return;
    if (m_playedXTimes > 1) {
        Restart();
        return;
    }
    m_entries->SetPriority(m_priorityValue);
    check();
    std::vector<char> out(MPEGDLL_OUTPUT_NAME_SIZE, '\0');
    std::memcpy(out.data(), OutFilename.data(), std::min(OutFilename.size(), out.size() - 1));
    m_entries->SetOutputDevice(m_deviceCode, out.data());
    check();
    std::atomic_ref<bool>(m_ended).store(false);
    const int32_t started = m_entries->Play(StartPos, EndPos, &m_ended);
    m_lastErrorCode = m_entries->LastError();
    if (started != 0 || m_lastErrorCode > 0) {
        const int code = m_lastErrorCode > 0 ? m_lastErrorCode : started;
        throw TMPEGError(errorText(code), static_cast<unsigned char>(code));
    }
    m_playing = true;
    ++m_playedXTimes;
    enableTimerAndTick();
}

void TMPEGPlayer::enableTimerAndTick()
{
    if (UseTimer && m_pollTimer && m_pollTimer->interval() != 0) {
        m_pollTimer->start();
        poll(false);
    }
}

void TMPEGPlayer::Restart()
{
    requireLoaded();
    std::atomic_ref<bool>(m_ended).store(false);
    m_entries->Restart();
    check();
    m_playing = true;
    ++m_playedXTimes;
    enableTimerAndTick();
}

void TMPEGPlayer::Stop()
{
    requireLoaded();
    m_entries->Stop();
    check();
    m_playing = false;
    m_paused = false;
}

void TMPEGPlayer::Close()
{
    requireLoaded();
    m_opened = false;
    m_paused = false;
    m_playing = false;
    m_playedXTimes = 0;
    m_entries->Close();
    check();
}

void TMPEGPlayer::SetPaused(bool paused)
{
    requireLoaded();
    if (!m_playing || std::atomic_ref<bool>(m_ended).load()) {
        m_paused = false;
        if (paused)
            throw TMPEGError(kErrorTexts[2], 2);
        return;
    }
    m_entries->Pause(!paused);
    check();
    m_paused = paused;
}

int TMPEGPlayer::PlayerMode()
{
    requireLoaded();
    const int mode = m_entries->GetPlayerMode();
    check();
    return mode;
}

int TMPEGPlayer::CurrentPos()
{
    requireLoaded();
    const int pos = m_entries->GetCurrentPos();
    check();
    return pos;
}

int TMPEGPlayer::Length()
{
    requireLoaded();
    const int length = m_entries->GetLength();
    check();
    return length;
}

void TMPEGPlayer::tick()
{
    poll(true);
}

void TMPEGPlayer::poll(bool reportEnd)
{
    if (!m_opened || !m_playing || !LibraryLoaded()) {
        m_pollTimer->stop();
        return;
    }
    // A failing position query reads as 0: an exception must not cross the event loop.
    int pos = 0;
    try {
        pos = CurrentPos();
    } catch (const TMPEGError &) {
        pos = 0;
    }
    if (pos > m_streamLength)
        pos = 0;
    Q_EMIT OnPosUpdate(pos, m_streamLength);
    if (!reportEnd || !std::atomic_ref<bool>(m_ended).load())
        return;
    m_pollTimer->stop();
    m_playing = false;
    if (isSignalConnected(QMetaMethod::fromSignal(&TMPEGPlayer::OnPlayEnd))) {
        std::atomic_ref<bool>(m_ended).store(false);
        Q_EMIT OnPlayEnd(this);
    }
}
