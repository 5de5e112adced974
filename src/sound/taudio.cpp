// TAudio: the two sides' formats and buffers, recording with the trigger and channel splitting,
// playing through the "PLAY.TMP" spool, and the hand-over from the device thread to the
// user-interface thread through hidden objects.
#include "sound/taudio.h"

#include "platform/wave/alsawave.h"
#include "sound/taudiomixer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMetaMethod>
#include <QSignalBlocker>
#include <QThread>

#include <algorithm>
#include <cstring>
#include <functional>
#include <new>
#include <vector>

using namespace Qt::Literals::StringLiterals;
using namespace zarel::wave;

namespace {

// How long StopPlaying pumps events for the device's close before closing it itself.
constexpr int kStopPumpMilliseconds = 3000;
// Interleaved frames are gathered and written to the spool in blocks of this many bytes.
constexpr int kSpoolBlock = 1000;
// OnRecord carries a 16-bit byte count, so a recording buffer holds at most this many bytes.
constexpr quint32 kLargestRecordBuffer = 65535;

bool reachesTrigger(const char *data, quint32 bytes, bool sixteenBit, qint16 level)
{
    if (sixteenBit) {
        for (quint32 i = 0; i + 1 < bytes; i += 2) {
            qint16 sample;
            std::memcpy(&sample, data + i, sizeof sample);
            if (sample >= level)
                return true;
        }
        return false;
    }
    for (quint32 i = 0; i < bytes; ++i) {
        if (qint16(static_cast<unsigned char>(data[i])) >= level)
            return true;
    }
    return false;
}

// Moves the first sample of each interleaved frame to the front of `data` and the second to
// `split`, in place; `bytes` is the interleaved length.
void splitChannels(char *data, char *split, quint32 bytes, int sampleBytes)
{
    const quint32 frames = bytes / quint32(2 * sampleBytes);
    for (quint32 i = 0; i < frames; ++i) {
        const char *frame = data + size_t(i) * 2 * sampleBytes;
        std::memcpy(split + size_t(i) * sampleBytes, frame + sampleBytes, size_t(sampleBytes));
        std::memmove(data + size_t(i) * sampleBytes, frame, size_t(sampleBytes));
    }
}

} // namespace

// A hidden window: messages posted to it from a device thread are handled on the thread it lives
// on (the user-interface thread) once the current event has been handled. Each message carries
// the open count it was posted for. The messages travel through a mailbox under a mutex, and the
// event that wakes the window carries no data, so everything the handler reads was handed over
// under that mutex.
class TAudioHiddenWindow final : public QObject
{
public:
    explicit TAudioHiddenWindow(std::function<void(quint64)> handler)
        : m_handler(std::move(handler))
    {
        m_mail.reserve(2 * TAudioSettings::BufferCount);
    }

    // Any thread.
    void post(quint64 openCount)
    {
        auto *wake = new QEvent(QEvent::User);
        {
            std::lock_guard lock(m_mutex);
            m_mail.push_back(openCount);
        }
        QCoreApplication::postEvent(this, wake);
    }

protected:
    void customEvent(QEvent *) override
    {
        // Taken out first: a handler may run a nested event loop that comes back here.
        std::vector<quint64> mail;
        mail.reserve(2 * TAudioSettings::BufferCount);
        {
            std::lock_guard lock(m_mutex);
            mail.swap(m_mail);
        }
        for (quint64 openCount : mail)
            m_handler(openCount);
    }

private:
    const std::function<void(quint64)> m_handler;
    std::mutex m_mutex;
    std::vector<quint64> m_mail;
};

// ---------------------------------------------------------------------------------------------
// TAudioSettings

TAudioSettings::TAudioSettings(TAudio *owner)
    : QObject(owner)
    , m_owner(owner)
{ }

TAudioSettings::~TAudioSettings() = default;

void TAudioSettings::setBitsPerSample(TBPS value)
{
    m_owner->applyFormat(this, &value, nullptr, nullptr);
}

void TAudioSettings::setChannels(TChannels value)
{
    m_owner->applyFormat(this, nullptr, &value, nullptr);
}

void TAudioSettings::setSampleRate(quint16 value)
{
    m_owner->applyFormat(this, nullptr, nullptr, &value);
}

const WaveFormat &TAudioSettings::FormatBlock() const
{
    settleInitialBuffers();
    return m_format;
}

quint32 TAudioSettings::BufferBytes() const
{
    settleInitialBuffers();
    return m_bufferBytes;
}

bool TAudioSettings::BuffersAllocated() const
{
    settleInitialBuffers();
    return m_buffersAllocated;
}

// A new component has the recorder's buffers when an input device exists, and the player's
// when output devices exist as well. Counting the devices scans the sound system's device
// names, so it waits until the buffers are looked at; any allocation or release before then
// (a format change, a recording, a teardown) decides instead.
void TAudioSettings::settleInitialBuffers() const
{
    if (!m_initialBuffersPending)
        return;
    auto *self = const_cast<TAudioSettings *>(this);
    self->m_initialBuffersPending = false;
    WaveSystem &system = *m_owner->m_system;
    const bool recorder = this == m_owner->m_recorder;
    if (system.inputDeviceCount() > 0 && (recorder || system.outputDeviceCount() > 0))
        self->allocateBuffers();
}

bool TAudioSettings::allocateBuffers()
{
    releaseBuffers();
    const uint16_t channels = m_channels == TChannels::Stereo ? 2 : 1;
    const uint16_t sampleBytes = m_bitsPerSample == TBPS::_16 ? 2 : 1;
    m_format = WaveFormat {};
    m_format.formatTag = 1;
    m_format.channels = channels;
    m_format.samplesPerSec = m_sampleRate;
    m_format.blockAlign = uint16_t(channels * sampleBytes);
    m_format.avgBytesPerSec = uint32_t(m_sampleRate) * m_format.blockAlign;
    m_format.bitsPerSample = uint16_t(sampleBytes * 8);
    m_format.extraSize = 0;
    m_bufferBytes = quint32(m_noSamples) * m_format.blockAlign;
    for (int i = 0; i < BufferCount; ++i) {
        m_data[i].reset(new (std::nothrow) char[m_bufferBytes]());
        m_split[i].reset(new (std::nothrow) char[m_bufferBytes / 2 + 1]());
        if (!m_data[i] || !m_split[i]) {
            releaseBuffers();
            setError(u"Not enough memory to allocate Wave Buffer"_s);
            return false;
        }
    }
    m_buffersAllocated = true;
    resetHeaders();
    return true;
}

void TAudioSettings::releaseBuffers()
{
    m_initialBuffersPending = false;
    for (int i = 0; i < BufferCount; ++i) {
        m_headers[i] = WaveHeader {};
        m_data[i].reset();
        m_split[i].reset();
    }
    m_buffersAllocated = false;
}

void TAudioSettings::resetHeaders()
{
    for (int i = 0; i < BufferCount; ++i) {
        m_headers[i] = WaveHeader {};
        m_headers[i].data = m_data[i].get();
        m_headers[i].bufferLength = m_data[i] ? headerLength() : 0;
    }
}

void TAudioSettings::setError(const QString &text)
{
    m_owner->m_errorText = text;
}

QString TAudioSettings::withPlatformText(const QString &fixed, int result)
{
    QString text = fixed;
    while (text.endsWith(u' '))
        text.chop(1);
    const char *platform = errorText(result);
    if (*platform != '\0')
        text += u' ' + QString::fromUtf8(platform);
    return text;
}

// ---------------------------------------------------------------------------------------------
// TRecorder

TRecorder::TRecorder(TAudio *owner)
    : TAudioSettings(owner)
    , m_requeueWindow(
          std::make_unique<TAudioHiddenWindow>([this](quint64 openCount) { requeue(openCount); }))
{ }

TRecorder::~TRecorder()
{
    m_requeueWindow.reset();
    releaseDevice();
}

void TRecorder::setNoSamples(quint16 value)
{
    m_owner->applyNoSamples(value);
}

void TRecorder::setSplitChannels(bool value)
{
    m_splitChannels.store(value && m_channels == TChannels::Stereo);
}

quint32 TRecorder::headerLength() const
{
    const quint32 largest = kLargestRecordBuffer - kLargestRecordBuffer % m_format.blockAlign;
    return std::min(m_bufferBytes, largest);
}

void TRecorder::closeDevice()
{
    if (m_deviceOpen)
        StopRecording();
}

void TRecorder::releaseDevice()
{
    m_active.store(false);
    m_device.reset();
    m_deviceOpen = false;
}

void TRecorder::waveCallback(Message message, void *instance, WaveHeader *header)
{
    auto *self = static_cast<TRecorder *>(instance);
    switch (message) {
    case Message::Open:
        self->m_active.store(true);
        break;
    case Message::Close:
        self->m_active.store(false);
        break;
    case Message::Data:
        if (self->m_active.load())
            self->bufferRecorded(header);
        break;
    case Message::Done:
        break;
    }
}

// Device thread. The buffer is the component's until it is re-queued on the user-interface
// thread, which happens only after this returns.
void TRecorder::bufferRecorded(WaveHeader *header)
{
    const std::ptrdiff_t slot = header - m_headers.data();
    if (slot < 0 || slot >= BufferCount)
        return;
    char *data = m_data[size_t(slot)].get();
    char *split = m_split[size_t(slot)].get();
    const quint32 bytes = header->bytesRecorded;
    const bool sixteenBit = m_format.bitsPerSample == 16;

    if (!m_triggered.load() && bytes > 0
        && reachesTrigger(data, bytes, sixteenBit, m_trigLevel.load()))
        m_triggered.store(true);
    if (m_triggered.load()) {
        if (m_splitChannels.load() && m_format.channels == 2) {
            splitChannels(data, split, bytes, sixteenBit ? 2 : 1);
            m_owner->raiseRecord(this, data, split, quint16(bytes / 2));
        } else {
            m_owner->raiseRecord(this, data, nullptr, quint16(bytes));
        }
    }
    if (bytes > 0) {
        m_requeueWindow->post(m_openCount);
        m_doneIndex = int(slot + 1) % BufferCount;
    }
}

int TRecorder::addNextBuffer()
{
    const int result = m_device->addBuffer(&m_headers[size_t(m_fillIndex)]);
    if (result == Ok)
        m_fillIndex = (m_fillIndex + 1) % BufferCount;
    return result;
}

void TRecorder::requeue(quint64 openCount)
{
    if (!m_deviceOpen || openCount != m_openCount)
        return;
    const int result = addNextBuffer();
    if (result != Ok) {
        StopRecording();
        setError(withPlatformText(u"Error adding input buffer"_s, result));
    }
}

bool TRecorder::StartRecording()
{
    if (m_deviceOpen)
        return true;
    if (!m_buffersAllocated && !allocateBuffers())
        return false;
    m_fillIndex = 0;
    m_doneIndex = 0;
    ++m_openCount;
    resetHeaders();
    const int opened = m_owner->m_system->openInput(m_owner->m_audioDeviceId, m_format,
                                                    &TRecorder::waveCallback, this, m_device);
    if (opened != Ok) {
        m_device.reset();
        setError(withPlatformText(u"Could not open the input device for recording: "_s, opened));
        return false;
    }
    m_deviceOpen = true;
    for (WaveHeader &header : m_headers) {
        const int result = m_device->prepareHeader(&header);
        if (result != Ok) {
            releaseDevice();
            setError(withPlatformText(u"Error preparing header for recording: "_s, result));
            return false;
        }
    }
    int result = addNextBuffer();
    if (result != Ok) {
        releaseDevice();
        setError(withPlatformText(u"Error adding input buffer"_s, result));
        return false;
    }
    result = m_device->start();
    if (result != Ok) {
        releaseDevice();
        setError(withPlatformText(u"Error starting wave record: "_s, result));
        return false;
    }
    for (int i = 1; i < BufferCount; ++i) {
        if (addNextBuffer() != Ok) {
            releaseDevice();
            setError(u"Error adding next input buffer"_s);
            return false;
        }
    }
    return true;
}

bool TRecorder::StopRecording()
{
    // Cleared first, so the buffers the reset hands back are not delivered.
    m_active.store(false);
    if (!m_deviceOpen) {
        setError(u"Recorder already closed"_s);
        return true;
    }
    if (m_device->reset() != Ok) {
        releaseDevice();
        setError(u"Error in waveInReset"_s);
        return false;
    }
    for (WaveHeader &header : m_headers) {
        const int result = m_device->unprepareHeader(&header);
        if (result != Ok) {
            releaseDevice();
            setError(withPlatformText(u"Error in waveInUnprepareHeader"_s, result));
            return false;
        }
    }
    if (m_device->close() != Ok) {
        releaseDevice();
        setError(u"Error closing input device"_s);
        return false;
    }
    releaseDevice();
    return true;
}

// ---------------------------------------------------------------------------------------------
// TPlayer

TPlayer::TPlayer(TAudio *owner)
    : TAudioSettings(owner)
    , m_refillWindow(std::make_unique<TAudioHiddenWindow>([this](quint64 openCount) {
        if (openCount == m_openCount && m_deviceOpen)
            refill();
    }))
    , m_closeWindow(std::make_unique<TAudioHiddenWindow>(
          [this](quint64 openCount) { closeRequested(openCount); }))
{ }

TPlayer::~TPlayer()
{
    m_refillWindow.reset();
    m_closeWindow.reset();
    m_active.store(false);
    m_device.reset();
}

QString TPlayer::SpoolFileName()
{
    return u"PLAY.TMP"_s;
}

void TPlayer::closeDevice()
{
    if (m_deviceOpen)
        stop(false);
}

void TPlayer::waveCallback(Message message, void *instance, WaveHeader *)
{
    auto *self = static_cast<TPlayer *>(instance);
    switch (message) {
    case Message::Open:
        self->m_active.store(true);
        break;
    case Message::Close:
        self->m_active.store(false);
        break;
    case Message::Done:
        if (self->m_active.load())
            self->bufferPlayed();
        break;
    case Message::Data:
        break;
    }
}

// Device thread. The player closes when the last buffer lent has come back and the spool has
// nothing more; counting the lent buffers keeps that right however far the refills lag behind.
void TPlayer::bufferPlayed()
{
    bool last;
    bool closeNow = false;
    {
        std::lock_guard lock(m_mutex);
        --m_queuedCount;
        last = m_stopping || (m_queuedCount == 0 && !m_moreData);
        if (last && !m_closing) {
            m_closing = true;
            closeNow = true;
        }
    }
    if (!last) {
        m_owner->raiseBufferPlayed(this);
        m_refillWindow->post(m_openCount);
    }
    if (closeNow)
        postClose();
}

void TPlayer::postClose()
{
    m_closeWindow->post(m_openCount);
}

void TPlayer::closeRequested(quint64 openCount)
{
    if (openCount != m_openCount)
        return;
    {
        std::lock_guard lock(m_mutex);
        // A refill after the close was posted has brought more to play.
        if (!m_closing || m_queuedCount > 0)
            return;
    }
    closePlayer();
}

void TPlayer::PlayStream(const QByteArray *left, const QByteArray *right, int repeats)
{
    if (left == nullptr || left->isEmpty())
        return;
    if (!m_deviceOpen) {
        if (!m_buffersAllocated && !allocateBuffers())
            return;
        m_fillIndex = 0;
        ++m_openCount;
        {
            std::lock_guard lock(m_mutex);
            m_queuedCount = 0;
            m_closing = false;
            m_moreData = false;
            m_stopping = false;
        }
        resetHeaders();
        const int opened = m_owner->m_system->openOutput(m_owner->m_audioDeviceId, m_format,
                                                         &TPlayer::waveCallback, this, m_device);
        if (opened != Ok) {
            m_device.reset();
            setError(withPlatformText(u"Could not open the output device for playing: "_s, opened));
            return;
        }
        m_deviceOpen = true;
    }

    if (!m_tempFile.isOpen()) {
        m_tempFile.setFileName(SpoolFileName());
        if (!m_tempFile.open(QIODevice::ReadWrite | QIODevice::Truncate | QIODevice::Unbuffered)) {
            setError(u"Could not create the spool file "_s + SpoolFileName() + u": "_s
                     + m_tempFile.errorString());
            spoolEnded();
            return;
        }
        m_repeatsLeft = std::max(repeats, 0);
        m_readPosition = 0;
        std::lock_guard lock(m_mutex);
        m_moreData = true;
    }
    if (!writeSpool(*left, right))
        setError(u"Could not write the spool file "_s + SpoolFileName() + u": "_s
                 + m_tempFile.errorString());

    if (m_readPosition != 0)
        return;
    for (int i = 0; i < BufferCount; ++i)
        refill();
}

bool TPlayer::writeSpool(const QByteArray &left, const QByteArray *right)
{
    if (!m_tempFile.seek(m_tempFile.size()))
        return false;
    if (m_channels != TChannels::Stereo || right == nullptr || right->size() != left.size())
        return m_tempFile.write(left) == left.size();

    const qsizetype sampleBytes = m_bitsPerSample == TBPS::_16 ? 2 : 1;
    char block[kSpoolBlock];
    int used = 0;
    for (qsizetype i = 0; i + sampleBytes <= left.size(); i += sampleBytes) {
        std::memcpy(block + used, left.constData() + i, size_t(sampleBytes));
        std::memcpy(block + used + sampleBytes, right->constData() + i, size_t(sampleBytes));
        used += int(2 * sampleBytes);
        if (used == kSpoolBlock) {
            if (m_tempFile.write(block, used) != used)
                return false;
            used = 0;
        }
    }
    return used == 0 || m_tempFile.write(block, used) == used;
}

void TPlayer::refill()
{
    if (!m_tempFile.isOpen() || !m_deviceOpen)
        return;
    {
        std::lock_guard lock(m_mutex);
        if (m_queuedCount >= BufferCount)
            return;
        m_closing = false;
    }
    char *buffer = m_data[size_t(m_fillIndex)].get();
    qint64 got = m_tempFile.seek(m_readPosition) ? m_tempFile.read(buffer, m_bufferBytes) : -1;
    if (got <= 0 && m_repeatsLeft > 0) {
        --m_repeatsLeft;
        got = m_tempFile.seek(0) ? m_tempFile.read(buffer, m_bufferBytes) : -1;
    }
    m_readPosition = m_tempFile.pos();
    if (got <= 0) {
        spoolEnded();
        return;
    }

    WaveHeader &header = m_headers[size_t(m_fillIndex)];
    header.data = buffer;
    header.bufferLength = quint32(got);
    header.flags = 0;
    header.loops = 0;
    int result = m_device->prepareHeader(&header);
    if (result == Ok) {
        {
            std::lock_guard lock(m_mutex);
            ++m_queuedCount;
        }
        result = m_device->write(&header);
        if (result != Ok) {
            std::lock_guard lock(m_mutex);
            --m_queuedCount;
        }
    }
    if (result != Ok) {
        setError(u" "_s + QString::fromUtf8(errorText(result)));
        spoolEnded();
        return;
    }
    m_fillIndex = (m_fillIndex + 1) % BufferCount;
}

// The spool has nothing more to give (or cannot be used): close it, and close the player now
// when nothing is left on the device; otherwise the last buffer to come back does.
void TPlayer::spoolEnded()
{
    if (m_tempFile.isOpen())
        m_tempFile.close();
    bool idle;
    {
        std::lock_guard lock(m_mutex);
        m_moreData = false;
        idle = m_queuedCount == 0 && !m_closing;
        if (idle)
            m_closing = true;
    }
    if (idle)
        postClose();
}

void TPlayer::closePlayer()
{
    if (!m_deviceOpen) {
        setError(u"Player already closed"_s);
        return;
    }
    if (m_tempFile.isOpen())
        m_tempFile.close();
    for (WaveHeader &header : m_headers) {
        const int result = m_device->unprepareHeader(&header);
        if (result != Ok)
            setError(withPlatformText(u"Error unpreparing header for playing: "_s, result));
    }
    const int result = m_device->close();
    if (result != Ok)
        setError(withPlatformText(u"Error closing output device: "_s, result));
    // A device that refused to close is dropped and closed by its destructor.
    m_active.store(false);
    m_device.reset();
    m_deviceOpen = false;
    ++m_openCount;
    m_owner->raisePlayed(this);
}

void TPlayer::StopPlaying()
{
    stop(true);
}

void TPlayer::stop(bool pump)
{
    if (!m_deviceOpen) {
        setError(u"Player already closed"_s);
        return;
    }
    if (m_tempFile.isOpen()) {
        m_tempFile.close();
        {
            std::lock_guard lock(m_mutex);
            m_moreData = false;
            m_stopping = true;
        }
        m_owner->m_errorText.clear();
    }
    bool closing;
    int queued;
    {
        std::lock_guard lock(m_mutex);
        closing = m_closing;
        queued = m_queuedCount;
        if (!closing && queued == 0)
            m_closing = true;
    }
    if (!closing) {
        if (queued > 0) {
            // Hands every buffer back; the last one posts the close.
            if (m_device->reset() != Ok) {
                setError(u"Error in waveOutReset"_s);
                closePlayer();
                return;
            }
        } else {
            postClose();
        }
    }

    // Waits for this open's close only: an OnPlayed handler may start the next playing.
    const quint64 openCount = m_openCount;
    const bool canPump
        = pump && QCoreApplication::instance() != nullptr && QThread::currentThread() == thread();
    if (canPump) {
        QDeadlineTimer deadline(kStopPumpMilliseconds);
        while (m_openCount == openCount && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            if (m_openCount == openCount)
                QThread::msleep(1);
        }
    }
    if (m_openCount == openCount)
        closePlayer();
}

// ---------------------------------------------------------------------------------------------
// TAudio

TAudio::TAudio(QObject *parent)
    : TAudio(nullptr, parent)
{ }

TAudio::TAudio(std::shared_ptr<WaveSystem> system, QObject *parent)
    : QObject(parent)
    , m_system(system ? std::move(system) : makeAlsaWaveSystem())
{
    // The mixer and the device counts are read on first use (readInitialMixer,
    // settleInitialBuffers).
    m_player = new TPlayer(this);
    m_recorder = new TRecorder(this);
    m_mixer = new TMixerSettings(this);
    if (auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        connect(app, &QGuiApplication::commitDataRequest, this, &TAudio::teardown);
}

TAudio::~TAudio()
{
    teardown();
    delete m_mixer;
    delete m_recorder;
    delete m_player;
}

void TAudio::teardown()
{
    const QSignalBlocker blocker(this);
    // A component torn down before its first use stays without a mixer.
    m_initialMixerPending = false;
    if (m_player->DeviceOpen())
        m_player->stop(false);
    if (m_recorder->DeviceOpen())
        m_recorder->StopRecording();
    m_mixer->closeMixer();
    m_player->releaseBuffers();
    m_recorder->releaseBuffers();
}

void TAudio::setAudioDeviceID(int value)
{
    m_audioDeviceId = value >= 10 ? -1 : value;
    for (TAudioSettings *side :
         { static_cast<TAudioSettings *>(m_player), static_cast<TAudioSettings *>(m_recorder) }) {
        side->closeDevice();
        side->allocateBuffers();
    }
}

TMixerSettings *TAudio::Mixer() const
{
    if (m_initialMixerPending)
        const_cast<TAudio *>(this)->readInitialMixer();
    return m_mixer;
}

void TAudio::readInitialMixer()
{
    m_initialMixerPending = false;
    // A new component's ErrorText is empty: a mixer that cannot be read leaves it so.
    const QString errorText = m_errorText;
    m_mixer->readMixer(m_mixerDeviceId);
    m_errorText = errorText;
}

void TAudio::connectNotify(const QMetaMethod &signal)
{
    if (m_initialMixerPending && signal == QMetaMethod::fromSignal(&TAudio::OnMixerChange))
        readInitialMixer();
}

void TAudio::setMixerDeviceID(int value)
{
    m_initialMixerPending = false;
    m_mixerDeviceId = value;
    m_mixer->readMixer(value);
}

QString TAudio::Version() const
{
    return u"4.1 (32bit)"_s;
}

void TAudio::setOnRecord(TNotifyAudioRecordEvent handler)
{
    std::lock_guard lock(m_handlerMutex);
    m_onRecord = std::move(handler);
}

void TAudio::setOnBufferPlayed(TNotifyBufferPlayedEvent handler)
{
    std::lock_guard lock(m_handlerMutex);
    m_onBufferPlayed = std::move(handler);
}

void TAudio::applyFormat(TAudioSettings *side, const TBPS *bits, const TChannels *channels,
                         const quint16 *rate)
{
    for (TAudioSettings *target :
         { static_cast<TAudioSettings *>(m_player), static_cast<TAudioSettings *>(m_recorder) }) {
        if (m_separateCtrls && target != side)
            continue;
        const TBPS newBits = bits != nullptr ? *bits : target->m_bitsPerSample;
        const TChannels newChannels = channels != nullptr ? *channels : target->m_channels;
        const quint16 newRate = rate != nullptr ? *rate : target->m_sampleRate;
        if (newBits == target->m_bitsPerSample && newChannels == target->m_channels
            && newRate == target->m_sampleRate)
            continue;
        // The buffers are about to be freed: the device must not hold them any more.
        target->closeDevice();
        target->m_bitsPerSample = newBits;
        target->m_channels = newChannels;
        target->m_sampleRate = newRate;
        target->allocateBuffers();
    }
    if (channels != nullptr)
        m_recorder->setSplitChannels(m_recorder->SplitChannels());
}

void TAudio::applyNoSamples(quint16 value)
{
    value = std::max<quint16>(value, 1);
    for (TAudioSettings *side :
         { static_cast<TAudioSettings *>(m_player), static_cast<TAudioSettings *>(m_recorder) }) {
        if (side->m_noSamples == value)
            continue;
        side->closeDevice();
        side->m_noSamples = value;
        side->allocateBuffers();
    }
}

void TAudio::raiseRecord(TRecorder *sender, const void *lp, const void *rp, quint16 size)
{
    std::lock_guard lock(m_handlerMutex);
    if (m_onRecord)
        m_onRecord(sender, lp, rp, size);
}

void TAudio::raiseBufferPlayed(TPlayer *sender)
{
    std::lock_guard lock(m_handlerMutex);
    if (m_onBufferPlayed)
        m_onBufferPlayed(sender);
}

void TAudio::raisePlayed(TPlayer *sender)
{
    Q_EMIT OnPlayed(sender);
}
