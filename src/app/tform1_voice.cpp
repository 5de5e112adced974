// TForm1's voice recording: the record and replay buttons over Audio1, the recorded samples kept
// in memory, and the steps that stop a replay for the pronunciation, the list and the methods.
#include "app/tform1.h"

#include "app/ttabcontrol.h"
#include "sound/taudio.h"

#include <QAction>
#include <QComboBox>
#include <QIcon>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>

using namespace Qt::Literals::StringLiterals;

namespace {

std::function<TAudio *(QObject *)> &audioFactory()
{
    static std::function<TAudio *(QObject *)> factory;
    return factory;
}

} // namespace

void TForm1::setAudioFactory(std::function<TAudio *(QObject *)> factory)
{
    audioFactory() = std::move(factory);
}

void TForm1::buildVoiceRecording()
{
    Audio1 = audioFactory() ? audioFactory()(this) : new TAudio(this);
    Audio1->setObjectName(u"Audio1"_s);
    // Both sides take the recorder's format: 16-bit mono at 22050 samples per second.
    TRecorder *recorder = Audio1->Recorder();
    recorder->setBitsPerSample(TBPS::_16);
    recorder->setChannels(TChannels::Mono);
    recorder->setSampleRate(22050);
    recorder->setTrigLevel(0);
    recorder->setTriggered(false);
    // Recorded buffers arrive on the device thread; the user-interface thread does not touch the
    // streams while the recorder runs (they are replaced only while it is stopped).
    Audio1->setOnRecord([this](QObject *, const void *lp, const void *rp, quint16 size) {
        Audio1Record(lp, rp, size);
    });
    connect(Audio1, &TAudio::OnPlayed, this, [this](QObject *) { Audio1Played(); });
    connect(SpeedButton1, &QToolButton::clicked, this, &TForm1::SpeedButton1Click);
    connect(SpeedButton2, &QToolButton::clicked, this, &TForm1::SpeedButton2Click);
    SpeedButton1->setProperty("Tag", 0);
    SpeedButton1->setIcon(QIcon(u"Record1.bmp"_s));
}

void TForm1::setVoiceControlsEnabled(bool enabled)
{
    for (QWidget *w : std::initializer_list<QWidget *> { Combo, TabControl1, ListBox1 })
        w->setEnabled(enabled);
    for (QMenu *m : { N18, N1, N9, N2 })
        m->setEnabled(enabled);
    updateCommandButtons();
}

void TForm1::SpeedButton1Click()
{
    const bool turkish = Config.turkishInterface;
    if (SpeedButton1->property("Tag").toInt() == 0) {
        VoiceRecording = std::make_unique<QByteArray>();
        VoiceRecordingRight = std::make_unique<QByteArray>();
        Audio1->Recorder()->StartRecording();
        SpeedButton1->setProperty("Tag", 1);
        SpeedButton1->setIcon(QIcon(u"Stop2.bmp"_s));
        SpeedButton1->setToolTip(turkish ? u"Dur"_s : u"Stop"_s);
        setVoiceControlsEnabled(false);
        return;
    }
    // Once this returns no recorded buffer is delivered any more, so the recording may be
    // replayed from here on.
    Audio1->Recorder()->StopRecording();
    SpeedButton1->setProperty("Tag", 0);
    SpeedButton1->setIcon(QIcon(u"Record1.bmp"_s));
    SpeedButton1->setToolTip(turkish ? u"Ses kaydı"_s : u"Record"_s);
    setVoiceControlsEnabled(true);
}

void TForm1::Audio1Record(const void *lp, const void *rp, quint16 size)
{
    if (VoiceRecording && lp)
        VoiceRecording->append(static_cast<const char *>(lp), size);
    if (VoiceRecordingRight && rp)
        VoiceRecordingRight->append(static_cast<const char *>(rp), size);
}

void TForm1::SpeedButton2Click()
{
    // The recorder's thread appends to the recording until the recording is stopped.
    if (voiceRecordingRunning() || !VoiceRecording || VoiceRecording->isEmpty())
        return;
    if (VoiceRecordingRight && VoiceRecordingRight->isEmpty())
        VoiceRecordingRight.reset();
    Audio1->Player()->PlayStream(VoiceRecording.get(), VoiceRecordingRight.get(), 0);
    // While the output is open, replay, record and pronounce are off. A replay that could not
    // open the output never ends with OnPlayed, so the buttons stay as they are.
    updateCommandButtons();
}

void TForm1::Audio1Played()
{
    updateCommandButtons();
}

void TForm1::stopWavePlayer()
{
    if (Audio1->Player()->Active())
        Audio1->Player()->StopPlaying();
}

void TForm1::updateReplayButton()
{
    updateCommandButtons();
}

bool TForm1::voiceRecordingRunning() const
{
    return SpeedButton1->property("Tag").toInt() == 1;
}

void TForm1::StopVoiceReplay()
{
    stopWavePlayer();
    updateReplayButton();
}

void TForm1::teardownVoiceRecording()
{
    if (Audio1->Player()->Active())
        Audio1->Player()->StopPlaying();
    if (Audio1->Recorder()->Active())
        Audio1->Recorder()->StopRecording();
    Audio1->teardown();
    VoiceRecording.reset();
    VoiceRecordingRight.reset();
}
