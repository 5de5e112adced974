// The command buttons of the main window through a user's session: after every change of state
// (the list, a recording, a replay, a pronunciation, a key page, a method, a loaded list) save,
// the methods, the hangman, pronounce, record and replay follow one rule.
#include "apptestenvironment.h"

#include "app/ttabcontrol.h"
#include "app/userdialogs.h"
#include "dictionary/wordlistfile.h"
#include "methods/tform3.h"
#include "mpegtestsupport.h"
#include "platform/wave/virtualwave.h"
#include "sound/taudio.h"
#include "sound/tmpegplayer.h"

#include <filesystem>
#include <functional>
#include <string>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace Qt::Literals::StringLiterals;
using zarel::test::baseEntry;
using zarel::wave::VirtualWave;

namespace {

struct Buttons
{
    bool save, methods, hangman, pronounce, record, replay;

    bool operator==(const Buttons &) const = default;
};

std::ostream &operator<<(std::ostream &out, const Buttons &b)
{
    return out << "save " << b.save << ", methods " << b.methods << ", hangman " << b.hangman
               << ", pronounce " << b.pronounce << ", record " << b.record << ", replay "
               << b.replay;
}

constexpr int kLongWaitMs = 30000;

class CommandButtonsTest : public FormTest
{
protected:
    void SetUp() override
    {
        FormTest::SetUp();
        m_wave = std::make_shared<VirtualWave>(4.0);
        TForm1::setAudioFactory([this](QObject *owner) { return new TAudio(m_wave, owner); });
        m_oldConfirm = zarel::app::setConfirmHook([](const QString &) { return true; });
        m_oldFiles = zarel::app::setFileDialogHook(
            [this](const zarel::app::FileDialogRequest &) { return m_fileAnswer; });
    }
    void TearDown() override
    {
        closeForm();
        TForm1::setAudioFactory({});
        zarel::app::setConfirmHook(m_oldConfirm);
        zarel::app::setFileDialogHook(m_oldFiles);
        FormTest::TearDown();
    }
    // "ran" and "run" on the r tab, only "run" with a sound; "renk" on the Turkish R tab.
    TForm1 &start()
    {
        writeDictionary(
            { { 17, { baseEntry("ran", "{\\rtf1 ran}"), baseEntry("run", "{\\rtf1 run}") } },
              { 45, { baseEntry("renk", "{\\rtf1 colour}") } } });
        std::filesystem::create_directories(file("rtf"));
        zarel::test::writeFile(file("rtf/eng.rtf"), "{\\rtf1 abbreviations}");
        // Two seconds at real pace on the sound server, so that the state while a sound plays is
        // still there when the test looks at it.
        const std::string tone = zarel::test::makeToneMp3(m_dir.path(), "tone", 2.0, 22050, 1, 32);
        if (!tone.empty()) {
            std::filesystem::create_directories(file("wave/18"));
            std::filesystem::copy_file(tone, file("wave/18/2.mp3"));
        }
        TForm1 &form = startForm();
        form.MPEG1->PathToDLL = MPEGDLL_DIR;
        form.MPEG1->setTimerFreq(50);
        form.MPEG1->setOutputDevice(TOutputDevice::wavemapper);
        form.show();
        return form;
    }
    Buttons buttons() const
    {
        const TForm1 &f = *m_form;
        const bool methods = f.Button5->isEnabled();
        for (const QPushButton *b : { f.Button9, f.Button11, f.Button16, f.Button12 })
            EXPECT_EQ(b->isEnabled(), methods) << b->objectName().toStdString();
        return { f.Button2->isEnabled(),      methods,
                 f.Button10->isEnabled(),     f.Button7->isEnabled(),
                 f.SpeedButton1->isEnabled(), f.SpeedButton2->isEnabled() };
    }
    // Types `word` into the word box and presses Enter, as a user looks a word up.
    void lookUp(const QString &word)
    {
        QTest::keyClicks(m_form->Combo, word);
        // A word the dictionary lacks would open the add-word dialog and wait for an answer.
        ASSERT_EQ(m_form->Combo->currentText(), word);
        QTest::keyClick(m_form->Combo, Qt::Key_Return);
    }

    std::shared_ptr<VirtualWave> m_wave;
    QString m_fileAnswer;
    zarel::app::ConfirmHook m_oldConfirm;
    zarel::app::FileDialogHook m_oldFiles;
};

std::vector<char> tone(int frames)
{
    std::vector<char> pcm(static_cast<size_t>(frames) * 2);
    for (size_t i = 0; i < pcm.size(); i += 2) {
        pcm[i] = static_cast<char>(0xE8); // 1000, little-endian
        pcm[i + 1] = 0x03;
    }
    return pcm;
}

} // namespace

TEST_F(CommandButtonsTest, EveryChangeOfStateLeavesTheButtonsByOneRule)
{
    if (!zarel::test::soundServerAnswers())
        GTEST_SKIP() << "no sound server to play at real pace (scripts/soundserver.sh)";
    TForm1 &form = start();
    ASSERT_TRUE(std::filesystem::exists(file("wave/18/2.mp3"))) << "no MP3 encoder for the tone";
    const std::string listFile = file("two.DIC");
    ASSERT_TRUE(zarel::writeWordListFile(listFile, { "run*", "renk" }).ok());
    m_fileAnswer = QString::fromStdString(listFile);
    const std::vector<char> voice = tone(22050);

    const struct
    {
        const char *change;
        std::function<void()> act;
        Buttons expected;
    } steps[] = {
        { "start: empty list, nothing chosen", [] {}, { false, false, true, false, true, false } },
        { "a word with a sound",
          [&] { lookUp(u"run"_s); },
          { false, false, true, true, true, false } },
        { "added to the list",
          [&] { form.Button1->click(); },
          { true, true, true, true, true, false } },
        { "a word without a sound",
          [&] { lookUp(u"ran"_s); },
          { true, true, true, false, true, false } },
        { "a Turkish tab",
          [&] { form.TabControl1->tabBar()->setCurrentIndex(45); },
          { true, true, true, false, true, false } },
        { "back to the word with a sound",
          [&] { lookUp(u"run"_s); },
          { true, true, true, true, true, false } },
        { "recording",
          [&] {
              m_wave->setInputSource(voice);
              form.SpeedButton1->click();
          },
          { false, false, false, false, true, false } },
        { "recording stopped",
          [&] {
              ASSERT_TRUE(QTest::qWaitFor([&] { return m_wave->inputUsed() >= voice.size(); },
                                          kLongWaitMs));
              form.SpeedButton1->click();
              ASSERT_TRUE(form.VoiceRecording && !form.VoiceRecording->isEmpty());
          },
          { true, true, true, true, true, true } },
        { "replaying",
          [&] { form.SpeedButton2->click(); },
          { true, true, true, false, false, false } },
        { "replay ended",
          [&] {
              ASSERT_TRUE(QTest::qWaitFor([&] { return !form.Audio1->Player()->DeviceOpen(); },
                                          kLongWaitMs));
          },
          { true, true, true, true, true, true } },
        { "pronouncing",
          [&] { form.Button7->click(); },
          { true, true, true, false, false, false } },
        { "pronunciation ended",
          [&] {
              ASSERT_TRUE(
                  QTest::qWaitFor([&] { return !form.MPEG1->LibraryLoaded(); }, kLongWaitMs));
          },
          { true, true, true, true, true, true } },
        { "abbreviation key shown",
          [&] { form.N17->trigger(); },
          { false, false, false, false, false, false } },
        { "abbreviation key closed",
          [&] { form.SpeedButton3->click(); },
          { true, true, true, true, true, true } },
        { "a list word deleted, the list empty",
          [&] {
              form.ListBox1->setCurrentRow(0);
              form.Delete1->trigger();
          },
          { false, false, true, true, true, true } },
        { "transcription key shown with an empty list",
          [&] { form.N16->trigger(); },
          { false, false, false, false, false, false } },
        { "transcription key closed with an empty list",
          [&] { form.SpeedButton3->click(); },
          { false, false, true, true, true, true } },
        { "a list file opened",
          [&] { form.Button3->click(); },
          { true, true, true, true, true, true } },
        { "Method 1 opened and closed over a word without a sound",
          [&] {
              lookUp(u"ran"_s);
              bool hidden = false;
              QTimer::singleShot(0, &form, [&] {
                  ASSERT_TRUE(QTest::qWaitFor(
                      [] { return qobject_cast<TForm3 *>(QApplication::activeModalWidget()); },
                      kLongWaitMs));
                  auto *method = qobject_cast<TForm3 *>(QApplication::activeModalWidget());
                  hidden = form.isHidden();
                  method->Button5->click(); // the first list word: run
                  method->Button1->click(); // exit
              });
              form.Button5->click();
              EXPECT_TRUE(hidden);
              // The sound may have ended before the exit could stop it; its end, noticed on
              // the player's next tick, gives the buttons back.
              ASSERT_TRUE(
                  QTest::qWaitFor([&] { return !form.MPEG1->LibraryLoaded(); }, kLongWaitMs));
          },
          { true, true, true, true, true, true } },
        { "the list cleared",
          [&] { form.Button4->click(); },
          { false, false, true, true, true, true } },
    };
    for (const auto &step : steps) {
        SCOPED_TRACE(step.change);
        step.act();
        EXPECT_EQ(buttons(), step.expected);
        EXPECT_EQ(form.Button4->isHidden(), form.MarkedList.empty());
    }
}
