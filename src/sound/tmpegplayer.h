// TMPEGPlayer: the MP3 player component over the playing library libmpegdll.so, which it loads
// on demand with dlopen. It opens one stream at a time, plays, restarts and stops it, and
// reports the end of a sound through OnPlayEnd, found by polling the library's end flag.
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

#include <QObject>
#include <QTimer>

// The component's failure: a message and the library's error code (254 for an unnamed stream).
class TMPEGError : public std::runtime_error
{
public:
    TMPEGError(const std::string &message, unsigned char errorCode)
        : std::runtime_error(message)
        , ErrorCode(errorCode)
    { }
    unsigned char ErrorCode;
};

enum class TPlayPriority { Idle, Lowest, BelowNormal, Normal, AboveNormal, Highest, TimeCritical };
enum class TOutputDevice { wavemapper, pcmfile };

class TMPEGPlayer : public QObject
{
    Q_OBJECT

public:
    explicit TMPEGPlayer(QObject *owner = nullptr);
    // Releases the poll timer; unloading the library is the owner's task.
    ~TMPEGPlayer() override;

    // --- published properties ---
    bool Seekable = false; // stored only
    bool FromStream = false; // open through the stream events instead of a file name
    TPlayPriority PlayerPriority() const;
    void setPlayerPriority(TPlayPriority priority);
    bool UseTimer = true;
    int TimerFreq() const { return m_timerFreq; }
    void setTimerFreq(int milliseconds); // 0 also clears UseTimer
    bool AutoPlay = false;
    const std::string &StreamName() const { return m_streamName; }
    void setStreamName(const std::string &name); // closes an open stream
    TOutputDevice OutputDevice() const;
    void setOutputDevice(TOutputDevice device); // pcmfile needs OutFilename set first
    std::string OutFilename;
    std::string PathToDLL; // folder of libmpegdll.so; empty: the loader's search order
    int StartPos = 0;
    int EndPos = 0;
    int PlayedXTimes() const { return m_playedXTimes; }

    // Stream events, used when FromStream is set (each may stay empty).
    std::function<void(bool &nonseekable, void *&context)> OnOpenStream;
    std::function<void(void *context)> OnCloseStream;
    std::function<void(void *context, bool &result)> OnRestartStream;
    std::function<void(void *context, int32_t &size)> OnGetStreamSize;
    std::function<void(void *context, int32_t distance, int32_t moveMethod, int32_t &result)>
        OnSeekStream;
    std::function<void(void *context, void *buffer, int32_t toRead, int32_t &read, bool &result)>
        OnReadStream;

    // --- operations; all but LibraryLoaded raise TMPEGError (code 0 when not loaded) ---
    bool LibraryLoaded() const { return m_library != nullptr; }
    void LoadPlayerLibrary();
    void UnloadPlayerLibrary();
    void Open();
    void Play();
    void Stop();
    void Restart();
    void Close();
    void SetPaused(bool paused);
    int PlayerMode();
    int CurrentPos();
    int Length();

    int LastErrorCode() const { return m_lastErrorCode; }
    bool isPlaying() const { return m_playing; }
    QTimer *PollTimer() const { return m_pollTimer; }

    // The file the library is loaded from: PathToDLL and "libmpegdll.so", joined with "/".
    std::string libraryPath() const;

Q_SIGNALS:
    void OnPosUpdate(int pos, int len);
    void OnPlayEnd(QObject *sender);

private:
    struct Entries;

    void requireLoaded() const;
    void check();
    void tick();
    // `reportEnd` false only reports the position: Play and Restart tick once at once, and an
    // end found then is left to the timer, so it never reaches the handlers before Play returns.
    void poll(bool reportEnd);
    void enableTimerAndTick();
    void releaseLibrary();

    void *m_library = nullptr;
    Entries *m_entries = nullptr;
    bool m_opened = false;
    bool m_playing = false;
    bool m_paused = false;
    alignas(8) bool m_ended = false; // written by the library's player thread
    int m_priorityValue = 0;
    int m_deviceCode = 0;
    int m_streamLength = 0;
    int m_lastErrorCode = 0;
    int m_playedXTimes = 0;
    int m_timerFreq = 500;
    std::string m_streamName;
    QTimer *m_pollTimer = nullptr;

    friend struct MpegStreamCallbacks;
};
