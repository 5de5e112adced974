// TAudio: the wave recorder and player component. It records from the wave input device into a
// ring of four buffers, plays memory streams through a spool file and four output buffers, and
// reads the mixer (taudiomixer.h).
//
// Threads. The component lives on the user-interface thread and every member function is called
// there. The wave devices call back on a device thread of their own; from there the component
// raises OnRecord and OnBufferPlayed (so those handlers run on the device thread and must only
// copy data and return) and posts the rest of the work (re-queueing, refilling, closing) to
// hidden objects on the user-interface thread. OnPlayed and OnMixerChange are Qt signals emitted
// on the user-interface thread.
//
// Failures never raise: the text of the last one is kept in ErrorText().
#pragma once

#include "platform/wave/wavedevice.h"

#include <QByteArray>
#include <QFile>
#include <QObject>
#include <QString>

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

class TAudio;
class TAudioHiddenWindow;
class TMixerSettings;

enum class TBPS { _8, _16 };
enum class TChannels { Mono, Stereo };

// OnRecord: one call per recorded buffer, on the device thread. `lp` holds `bufferSize` bytes of
// samples (the left channel when the recorder splits channels); `rp` the right channel's
// `bufferSize` bytes when it splits, else null. Both point into the component's buffers and are
// valid only during the call.
using TNotifyAudioRecordEvent
    = std::function<void(QObject *sender, const void *lp, const void *rp, quint16 bufferSize)>;
// OnBufferPlayed: one call per output buffer handed back, except the last; on the device thread.
using TNotifyBufferPlayedEvent = std::function<void(QObject *sender)>;

// The format and the four buffers of one side (recording or playing).
class TAudioSettings : public QObject
{
    Q_OBJECT
    Q_PROPERTY(TBPS BitsPerSample READ BitsPerSample WRITE setBitsPerSample)
    Q_PROPERTY(TChannels Channels READ Channels WRITE setChannels)
    Q_PROPERTY(quint16 SampleRate READ SampleRate WRITE setSampleRate)

public:
    static constexpr int BufferCount = 4;

    TBPS BitsPerSample() const { return m_bitsPerSample; }
    TChannels Channels() const { return m_channels; }
    quint16 SampleRate() const { return m_sampleRate; }

    // A format change goes to both sides unless the owner's SeparateCtrls is set. A side that
    // changes closes its device first (ending a recording or a playing) and reallocates its
    // buffers.
    void setBitsPerSample(TBPS value);
    void setChannels(TChannels value);
    void setSampleRate(quint16 value);

    // The device is open (between a successful start and the close).
    bool DeviceOpen() const { return m_deviceOpen; }
    // The device's open notice has come and its close notice has not.
    bool Active() const { return m_active.load(); }
    // The wave format in force (rebuilt with the buffers).
    const zarel::wave::WaveFormat &FormatBlock() const;
    // Bytes of one data buffer: NoSamples × block align.
    quint32 BufferBytes() const;
    bool BuffersAllocated() const;

    TAudio *Owner() const { return m_owner; }

protected:
    explicit TAudioSettings(TAudio *owner);
    ~TAudioSettings() override;

    // Closes this side's device, if open, before its format or buffers change.
    virtual void closeDevice() = 0;
    // Length of a data buffer as lent to the device.
    virtual quint32 headerLength() const { return m_bufferBytes; }

    // Builds FormatBlock and (re)allocates the buffers; false with ErrorText set on failure.
    bool allocateBuffers();
    void releaseBuffers();
    // Points every header at its buffer with the full length and clears the other fields.
    void resetHeaders();
    // Makes the buffers a new component starts with, if nothing has allocated or released
    // them since: the device counts that decide it are asked for only now.
    void settleInitialBuffers() const;
    void setError(const QString &text);
    static QString withPlatformText(const QString &fixed, int result);

    TAudio *const m_owner;
    TBPS m_bitsPerSample = TBPS::_8;
    TChannels m_channels = TChannels::Mono;
    quint16 m_sampleRate = 11025;
    quint16 m_noSamples = 8192;
    zarel::wave::WaveFormat m_format;
    quint32 m_bufferBytes = 0;
    bool m_buffersAllocated = false;
    // The buffers of a new component are still to be made (see settleInitialBuffers).
    bool m_initialBuffersPending = true;
    std::array<zarel::wave::WaveHeader, BufferCount> m_headers {};
    std::array<std::unique_ptr<char[]>, BufferCount> m_data;
    std::array<std::unique_ptr<char[]>, BufferCount> m_split;
    bool m_deviceOpen = false;
    std::atomic<bool> m_active { false };
    int m_fillIndex = 0;
    // Counts the opens (and, for the player, the closes) of the device, so that deferred work
    // posted for an earlier open is dropped. Changed only while no device thread runs.
    quint64 m_openCount = 0;

    friend class TAudio;
};

// The recording side.
class TRecorder : public TAudioSettings
{
    Q_OBJECT
    Q_PROPERTY(quint16 NoSamples READ NoSamples WRITE setNoSamples)
    Q_PROPERTY(bool SplitChannels READ SplitChannels WRITE setSplitChannels)
    Q_PROPERTY(qint16 TrigLevel READ TrigLevel WRITE setTrigLevel)
    Q_PROPERTY(bool Triggered READ Triggered WRITE setTriggered)

public:
    // The form-storage defaults of TrigLevel and Triggered; a new component starts at 0/false.
    static constexpr qint16 StoredDefaultTrigLevel = 128;
    static constexpr bool StoredDefaultTriggered = true;

    // Buffer length in sample frames (at least 1), for both sides.
    quint16 NoSamples() const { return m_noSamples; }
    void setNoSamples(quint16 value);

    // De-interleave stereo recordings into LP (left) and RP (right); always false while the
    // recorder is mono.
    bool SplitChannels() const { return m_splitChannels.load(); }
    void setSplitChannels(bool value);

    // Delivery starts with the first buffer holding a sample at or above TrigLevel (16-bit
    // samples signed, 8-bit samples as unsigned bytes) and then stays on (Triggered).
    qint16 TrigLevel() const { return m_trigLevel.load(); }
    void setTrigLevel(qint16 value) { m_trigLevel.store(value); }
    bool Triggered() const { return m_triggered.load(); }
    void setTriggered(bool value) { m_triggered.store(value); }

    // Opens the input device and starts recording into the four buffers. True when recording
    // (or already recording); false with ErrorText set otherwise.
    bool StartRecording();

    // Stops recording; the samples still in the buffers are discarded. When it returns, no
    // OnRecord call is running or will come. True when closed (or already closed, with
    // ErrorText "Recorder already closed"); false with ErrorText set when the device reported a
    // failure (the device is released all the same).
    bool StopRecording();

protected:
    void closeDevice() override;
    quint32 headerLength() const override;

private:
    explicit TRecorder(TAudio *owner);
    ~TRecorder() override;
    static void waveCallback(zarel::wave::Message message, void *instance,
                             zarel::wave::WaveHeader *header);
    void bufferRecorded(zarel::wave::WaveHeader *header);
    void requeue(quint64 openCount);
    int addNextBuffer();
    void releaseDevice();

    std::unique_ptr<zarel::wave::WaveIn> m_device;
    std::atomic<bool> m_splitChannels { false };
    std::atomic<qint16> m_trigLevel { 0 };
    std::atomic<bool> m_triggered { false };
    int m_doneIndex = 0; // device thread only
    std::unique_ptr<TAudioHiddenWindow> m_requeueWindow;

    friend class TAudio;
};

// The playing side.
class TPlayer : public TAudioSettings
{
    Q_OBJECT

public:
    // The spool file in the current directory.
    static QString SpoolFileName();

    quint16 NoSamples() const { return m_noSamples; }

    // Plays `left` (and, for a stereo player, `right` when it has the size of `left`,
    // interleaved with it) `repeats` more times after the first. The bytes are spooled to
    // "PLAY.TMP"; while playing, new streams are appended and play on without a gap. An absent
    // or empty `left` does nothing. OnPlayed is emitted when everything has been played and the
    // device is closed. Failures are stored in ErrorText.
    void PlayStream(const QByteArray *left, const QByteArray *right, int repeats);

    // Stops playing: the spool is closed, the device dropped and closed, and OnPlayed has been
    // emitted when this returns (the event queue is pumped meanwhile). Not open: ErrorText
    // "Player already closed".
    void StopPlaying();

    // Progress through the spool, for observers.
    qint64 ReadPosition() const { return m_readPosition; }
    int RepeatsLeft() const { return m_repeatsLeft; }
    bool SpoolOpen() const { return m_tempFile.isOpen(); }

protected:
    void closeDevice() override;

private:
    explicit TPlayer(TAudio *owner);
    ~TPlayer() override;
    static void waveCallback(zarel::wave::Message message, void *instance,
                             zarel::wave::WaveHeader *header);
    void bufferPlayed();
    void refill();
    void closeRequested(quint64 openCount);
    void spoolEnded();
    void closePlayer();
    void postClose();
    void stop(bool pump);
    bool writeSpool(const QByteArray &left, const QByteArray *right);

    std::unique_ptr<zarel::wave::WaveOut> m_device;
    QFile m_tempFile;
    qint64 m_readPosition = 0;
    int m_repeatsLeft = 0;
    // Shared with the device thread.
    std::mutex m_mutex;
    int m_queuedCount = 0; // buffers lent to the device
    bool m_closing = false; // a close has been posted
    bool m_moreData = false; // the spool is open: refills may still bring data
    bool m_stopping = false; // StopPlaying dropped the rest: hand-backs only lead to the close
    std::unique_ptr<TAudioHiddenWindow> m_refillWindow;
    std::unique_ptr<TAudioHiddenWindow> m_closeWindow;

    friend class TAudio;
};

class TAudio : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int AudioDeviceID READ AudioDeviceID WRITE setAudioDeviceID)
    Q_PROPERTY(int MixerDeviceID READ MixerDeviceID WRITE setMixerDeviceID)
    Q_PROPERTY(bool SeparateCtrls READ SeparateCtrls WRITE setSeparateCtrls)
    Q_PROPERTY(QString Version READ Version WRITE setVersion)

public:
    // Uses the sound card through ALSA. Creating the component does not open the sound system:
    // the device counts and the mixer are read on first use (a recording, a playing, a look at
    // the buffers or the mixer, or a connection to OnMixerChange), so that a program which owns
    // a component starts without them. What a caller sees is the same as if they had been read
    // here.
    explicit TAudio(QObject *parent = nullptr);
    // Uses the given wave system (the virtual device in tests).
    explicit TAudio(std::shared_ptr<zarel::wave::WaveSystem> system, QObject *parent = nullptr);
    // Full teardown: stops playing and recording without pumping events or emitting signals,
    // closes the mixer, releases the buffers.
    ~TAudio() override;

    // Wave device for both sides: -1 the default device; 10 or more stores -1. Setting it
    // closes both sides and reallocates their buffers.
    int AudioDeviceID() const { return m_audioDeviceId; }
    void setAudioDeviceID(int value);

    // Mixer to read; setting it re-reads the mixer.
    int MixerDeviceID() const { return m_mixerDeviceId; }
    void setMixerDeviceID(int value);

    // False: a format change made on Player or Recorder is applied to both.
    bool SeparateCtrls() const { return m_separateCtrls; }
    void setSeparateCtrls(bool value) { m_separateCtrls = value; }

    TPlayer *Player() const { return m_player; }
    TRecorder *Recorder() const { return m_recorder; }
    // Reads mixer MixerDeviceID on the first call, unless it has been read or closed since.
    TMixerSettings *Mixer() const;

    QString Version() const;
    void setVersion(const QString &) { }

    // The text of the last failure; empty at creation.
    QString ErrorText() const { return m_errorText; }

    // Size of the wave format record.
    static constexpr int FormatBlockSize = zarel::wave::kFormatBlockSize;

    // Handlers run on the device thread. Setting one waits for a call in progress to end.
    void setOnRecord(TNotifyAudioRecordEvent handler);
    void setOnBufferPlayed(TNotifyBufferPlayedEvent handler);

    // Stops both sides and closes the mixer, as the destructor does; also run when the session
    // manager asks to end the session. Signals are not emitted.
    void teardown();

Q_SIGNALS:
    // Playing has finished and the output device is closed. `sender` is the player.
    void OnPlayed(QObject *sender);
    // A mixer control changed: raised with the mixer's handle number and the control's
    // identifier, then with the destination and source of the first line owning the control.
    void OnMixerChange(QObject *sender, quint16 destination, quint16 source);

protected:
    // A connection to OnMixerChange reads the mixer, so that its notices come.
    void connectNotify(const QMetaMethod &signal) override;

private:
    // The mixer a new component reads, read on first use; ErrorText stays as it was.
    void readInitialMixer();
    void applyFormat(TAudioSettings *side, const TBPS *bits, const TChannels *channels,
                     const quint16 *rate);
    void applyNoSamples(quint16 value);
    void raiseRecord(TRecorder *sender, const void *lp, const void *rp, quint16 size);
    void raiseBufferPlayed(TPlayer *sender);
    void raisePlayed(TPlayer *sender);

    std::shared_ptr<zarel::wave::WaveSystem> m_system;
    int m_audioDeviceId = -1;
    int m_mixerDeviceId = 0;
    bool m_separateCtrls = false;
    TPlayer *m_player = nullptr;
    TRecorder *m_recorder = nullptr;
    TMixerSettings *m_mixer = nullptr;
    // The mixer of a new component is still to be read (see readInitialMixer).
    bool m_initialMixerPending = true;
    QString m_errorText;
    bool m_tornDown = false;
    std::mutex m_handlerMutex;
    TNotifyAudioRecordEvent m_onRecord;
    TNotifyBufferPlayedEvent m_onBufferPlayed;

    friend class TAudioSettings;
    friend class TRecorder;
    friend class TPlayer;
    friend class TMixerSettings;
};
