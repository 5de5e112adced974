// Voice recording in the main window over the in-process wave device: record, stop, replay, the
// buttons on the way, a second recording, and a missing device.
#include "apptestenvironment.h"

#include "app/ttabcontrol.h"
#include "platform/wave/virtualwave.h"
#include "sound/taudio.h"
#include "sound/tmpegplayer.h"

#include <filesystem>
#include <functional>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextCursor>
#include <QTextEdit>
#include <QToolButton>

using namespace Qt::Literals::StringLiterals;
using zarel::wave::VirtualWave;

namespace {

std::vector<char> tone(int frames, int16_t value)
{
    std::vector<char> pcm(static_cast<size_t>(frames) * 2);
    for (int i = 0; i < frames; ++i) {
        pcm[static_cast<size_t>(2 * i)] = static_cast<char>(value & 0xFF);
        pcm[static_cast<size_t>(2 * i + 1)] = static_cast<char>((value >> 8) & 0xFF);
    }
    return pcm;
}

class VoiceTest : public FormTest
{
protected:
    void SetUp() override
    {
        FormTest::SetUp();
        wave = std::make_shared<VirtualWave>(4.0);
        TForm1::setAudioFactory([this](QObject *owner) { return new TAudio(wave, owner); });
        writeDictionary({ { 17, { zarel::test::baseEntry("run", "{\\rtf1 run}") } },
                          { 45, { zarel::test::baseEntry("renk", "x") } } });
        // "run" has a sound file, so pronounce is offered for it.
        std::filesystem::create_directories(file("wave/18"));
        zarel::test::writeFile(file("wave/18/1.mp3"), "not played here");
        startForm();
    }
    void TearDown() override
    {
        closeForm();
        TForm1::setAudioFactory({});
        FormTest::TearDown();
    }
    // Records `pcm`: the record button is pressed again once the device has taken it all in
    // (at once when the device is unplugged).
    void record(const std::vector<char> &pcm)
    {
        wave->setInputSource(pcm);
        m_form->SpeedButton1->click();
        waitForInput(pcm.size());
        m_form->SpeedButton1->click();
    }
    void waitForInput(size_t bytes)
    {
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return wave->inputUsed() >= bytes || wave->inputDeviceCount() == 0; },
            kLongWaitMs));
    }
    static constexpr int kLongWaitMs = 20000;
    std::shared_ptr<VirtualWave> wave;
};

} // namespace

TEST_F(VoiceTest, RecordThenReplayTheSameSamples)
{
    TForm1 &form = *m_form;
    EXPECT_FALSE(form.SpeedButton2->isEnabled()); // nothing recorded yet
    form.SpeedButton2->click(); // does nothing
    EXPECT_TRUE(wave->sink().empty());

    wave->setInputSource(tone(22050, 1000));
    form.SpeedButton1->click();
    EXPECT_EQ(form.SpeedButton1->property("Tag").toInt(), 1);
    EXPECT_FALSE(form.Combo->isEnabled());
    EXPECT_FALSE(form.Button7->isEnabled());
    EXPECT_FALSE(form.N18->isEnabled());
    EXPECT_EQ(form.SpeedButton1->toolTip(), QStringLiteral("Dur"));
    // The device hands over each buffer as it fills the next one, so once it has taken in the
    // whole second every buffer but the last has reached the recording.
    waitForInput(22050 * 2);
    form.SpeedButton1->click();
    EXPECT_EQ(form.SpeedButton1->property("Tag").toInt(), 0);
    EXPECT_TRUE(form.Combo->isEnabled());
    EXPECT_TRUE(form.SpeedButton2->isEnabled());
    ASSERT_TRUE(form.VoiceRecording);
    ASSERT_FALSE(form.VoiceRecording->isEmpty());
    const QByteArray recorded = *form.VoiceRecording;

    form.TabControl1->tabBar()->setCurrentIndex(45); // a Turkish tab
    form.SpeedButton2->click();
    EXPECT_FALSE(form.Button7->isEnabled());
    EXPECT_FALSE(form.SpeedButton1->isEnabled());
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.SpeedButton1->isEnabled(); }, kLongWaitMs));
    EXPECT_FALSE(form.Button7->isEnabled()); // a Turkish word has nothing to pronounce
    form.TabControl1->tabBar()->setCurrentIndex(17);
    form.SpeedButton2->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.SpeedButton1->isEnabled(); }, kLongWaitMs));
    EXPECT_TRUE(form.Button7->isEnabled()); // the end of a replay gives "run" its pronounce back
    const std::vector<char> played = wave->sink();
    EXPECT_EQ(
        QByteArray(played.data(), static_cast<qsizetype>(played.size())).left(recorded.size()),
        recorded);
}

TEST_F(VoiceTest, SecondRecordingReplacesTheFirst)
{
    record(tone(22050, 500));
    const qsizetype first = m_form->VoiceRecording->size();
    ASSERT_GT(first, 0);
    record({}); // the input gives nothing this time
    EXPECT_TRUE(m_form->VoiceRecording->isEmpty());
    m_form->SpeedButton2->click(); // an empty recording replays nothing
    EXPECT_TRUE(m_form->SpeedButton1->isEnabled());
}

TEST_F(VoiceTest, MissingDeviceIsNotReportedAndNothingHangs)
{
    m_form->selectTab(17);
    m_form->selectItem(0);
    m_form->ComboBox1Change();
    wave->setPresent(false);
    record(tone(4000, 500));
    EXPECT_TRUE(m_errors.isEmpty());
    EXPECT_TRUE(m_form->VoiceRecording->isEmpty());
    EXPECT_FALSE(m_form->SpeedButton2->isEnabled()); // nothing was recorded to replay
    m_form->SpeedButton2Click();
    EXPECT_TRUE(m_form->SpeedButton1->isEnabled());
    EXPECT_TRUE(m_form->Button7->isEnabled());
}

// While the microphone records, nothing may speak or replay: no lookup path enables pronounce
// or replay, and a replay never reads the recording the device thread is appending to.
TEST_F(VoiceTest, LookupsDuringARecordingLeavePronounceAndReplayOff)
{
    TForm1 &form = *m_form;
    record(tone(22050, 700)); // an earlier recording exists, so replay was on
    ASSERT_TRUE(form.SpeedButton2->isEnabled());
    form.selectTab(17);
    form.selectItem(0);
    form.ComboBox1Change();
    ASSERT_TRUE(form.Button7->isEnabled());

    wave->setInputSource(tone(22050, 900));
    form.SpeedButton1->click(); // recording
    const struct
    {
        const char *name;
        std::function<void()> lookUp;
    } paths[] = {
        { "a double click in the article",
          [&] {
              form.RichEdit1->setPlainText(u"run"_s);
              QTextCursor c(form.RichEdit1->document());
              c.setPosition(1);
              QTest::mouseDClick(form.RichEdit1->viewport(), Qt::LeftButton, Qt::NoModifier,
                                 form.RichEdit1->cursorRect(c).center());
          } },
        { "the clipboard",
          [&] {
              QSignalSpy changed(QApplication::clipboard(), &QClipboard::dataChanged);
              QApplication::clipboard()->setText(u"run"_s);
              ASSERT_TRUE(QTest::qWaitFor([&] { return changed.count() > 0; }, kLongWaitMs));
          } },
        { "a lookup from code", [&] { form.ComboBox1Change(); } },
    };
    for (const auto &path : paths) {
        SCOPED_TRACE(path.name);
        path.lookUp();
        EXPECT_FALSE(form.Button7->isEnabled());
        EXPECT_FALSE(form.SpeedButton2->isEnabled());
        const size_t played = wave->sink().size();
        form.SpeedButton2Click(); // even if reached: no replay of a growing buffer
        form.Button7Click();
        EXPECT_EQ(wave->sink().size(), played);
        EXPECT_FALSE(form.MPEG1->LibraryLoaded());
    }
    waitForInput(22050 * 2);
    form.SpeedButton1->click(); // stop
    EXPECT_TRUE(form.SpeedButton2->isEnabled());
}
