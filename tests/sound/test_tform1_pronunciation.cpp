// Pronouncing headwords in the main window over the real playing library: the buttons while a
// word plays, the end of the sound, missing sound files, tab changes and a second word while the
// first still plays. Most cases decode to a PCM file, which takes no real time; the cases that
// act while a word still sounds play to the sound server, which keeps real time.
#include "apptestenvironment.h"

#include "app/ttabcontrol.h"
#include "mpegtestsupport.h"
#include "sound/tmpegplayer.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <QComboBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

using zarel::test::baseEntry;
using zarel::test::userEntry;

namespace {

class PronunciationTest : public FormTest
{
protected:
    // `device` pcmfile decodes as fast as it can; wavemapper plays at real pace on the sound
    // server (see soundServerAnswers()).
    TForm1 &start(double seconds, TOutputDevice device = TOutputDevice::pcmfile)
    {
        writeDictionary(
            { { 17, { baseEntry("ran", "a"), userEntry("rum", "b"), baseEntry("run", "c") } },
              { 45, { baseEntry("renk", "d") } } });
        const std::string tone
            = zarel::test::makeToneMp3(m_dir.path(), "tone", seconds, 22050, 1, 32);
        if (tone.empty())
            return startForm();
        std::filesystem::create_directories(file("wave/18"));
        std::filesystem::copy_file(tone, file("wave/18/2.mp3")); // "run", the second base entry
        TForm1 &form = startForm();
        form.MPEG1->PathToDLL = MPEGDLL_DIR;
        form.MPEG1->setTimerFreq(50);
        form.MPEG1->OutFilename = file("out.pcm");
        form.MPEG1->setOutputDevice(device);
        return form;
    }
    static bool soundServerAnswers() { return std::system("pactl info >/dev/null 2>&1") == 0; }
    void choose(int tab, int item)
    {
        m_form->selectTab(tab);
        m_form->selectItem(item);
        m_form->ComboBox1Change();
    }
    bool waitForEnd()
    {
        return QTest::qWaitFor([this] { return !m_form->MPEG1->LibraryLoaded(); }, 20000);
    }
};

} // namespace

TEST_F(PronunciationTest, WordPlaysWithTheButtonsDisabledUntilItsEnd)
{
    TForm1 &form = start(0.3);
    EXPECT_EQ(form.headwordSoundPath(17, 2), file("wave/18/2.mp3"));
    EXPECT_EQ(form.headwordSoundPath(17, 1), file("wave/18/0.mp3")); // a user entry
    EXPECT_EQ(form.headwordSoundPath(45, 0), "");
    choose(17, 2);
    form.Button7->click();
    EXPECT_FALSE(form.Button7->isEnabled());
    EXPECT_FALSE(form.SpeedButton1->isEnabled());
    EXPECT_TRUE(form.MPEG1->LibraryLoaded());
    ASSERT_TRUE(waitForEnd());
    EXPECT_TRUE(form.Button7->isEnabled());
    EXPECT_TRUE(form.SpeedButton1->isEnabled());
    EXPECT_FALSE(zarel::test::readFile(file("out.pcm")).empty());
}

TEST_F(PronunciationTest, MissingSoundFileDoesNothing)
{
    TForm1 &form = start(0.3);
    choose(17, 1); // "rum", a user entry: wave/18/0.mp3 does not exist
    form.Button7->click();
    EXPECT_TRUE(form.Button7->isEnabled());
    EXPECT_FALSE(form.MPEG1->LibraryLoaded()); // nothing plays, so nothing stays loaded
    form.selectItem(-1);
    form.Button7->click(); // no headword selected: nothing
    EXPECT_FALSE(form.MPEG1->LibraryLoaded());
}

TEST_F(PronunciationTest, TurkishTabDuringASoundKeepsTheButtonDisabled)
{
    if (!soundServerAnswers())
        GTEST_SKIP() << "no sound server to play at real pace (scripts/soundserver.sh)";
    TForm1 &form = start(2.0, TOutputDevice::wavemapper);
    choose(17, 2);
    form.Button7->click();
    form.TabControl1->tabBar()->setCurrentIndex(45);
    EXPECT_FALSE(form.Button7->isEnabled());
    EXPECT_FALSE(form.PronounceAfterPlay);
    ASSERT_TRUE(waitForEnd());
    EXPECT_FALSE(form.Button7->isEnabled());

    form.TabControl1->tabBar()->setCurrentIndex(17);
    choose(17, 2);
    form.Button7->click();
    form.TabControl1->tabBar()->setCurrentIndex(45);
    form.TabControl1->tabBar()->setCurrentIndex(17); // back to English before the end
    EXPECT_TRUE(form.Button7->isEnabled());
    ASSERT_TRUE(waitForEnd());
    EXPECT_TRUE(form.Button7->isEnabled());
}

TEST_F(PronunciationTest, PronounceWhileAnotherSoundPlaysStartsTheNewWord)
{
    if (!soundServerAnswers())
        GTEST_SKIP() << "no sound server to play at real pace (scripts/soundserver.sh)";
    TForm1 &form = start(2.0, TOutputDevice::wavemapper);
    choose(17, 2);
    form.Button7->click();
    QSignalSpy ends(form.MPEG1, &TMPEGPlayer::OnPlayEnd);
    form.Button7->setEnabled(true); // a lookup change can enable it while a sound plays
    form.Button7->click();
    EXPECT_TRUE(form.MPEG1->isPlaying());
    ASSERT_TRUE(waitForEnd());
    EXPECT_EQ(ends.count(), 1); // only the second play ended; the first was closed
}

// Every way a pronunciation ends or fails gives back what its start disabled.
TEST_F(PronunciationTest, PronounceOnASilentWordWhileASoundPlaysLetsThatSoundEnd)
{
    if (!soundServerAnswers())
        GTEST_SKIP() << "no sound server to play at real pace (scripts/soundserver.sh)";
    TForm1 &form = start(2.0, TOutputDevice::wavemapper);
    choose(17, 2); // "run" sounds
    form.Button7->click();
    ASSERT_TRUE(form.MPEG1->isPlaying());
    choose(17, 1); // "rum", a user entry without a sound file
    form.Button7->setEnabled(true); // a lookup change can enable it while a sound plays
    form.Button7->click();
    EXPECT_TRUE(form.MPEG1->isPlaying()) << "the playing sound was closed without an end";
    ASSERT_TRUE(waitForEnd());
    EXPECT_TRUE(form.Button7->isEnabled());
    EXPECT_TRUE(form.SpeedButton1->isEnabled());
}

TEST_F(PronunciationTest, ASoundThatCannotStartGivesTheButtonsBack)
{
    TForm1 &form = start(0.3);
    // A sound file that is no MP3 at all: opening it fails.
    {
        std::ofstream broken(file("wave/18/2.mp3"), std::ios::binary | std::ios::trunc);
        broken << std::string(4096, '\x5a');
    }
    choose(17, 2);
    form.Button7->click();
    EXPECT_TRUE(form.Button7->isEnabled());
    EXPECT_TRUE(form.SpeedButton1->isEnabled());
    EXPECT_FALSE(form.MPEG1->LibraryLoaded()) << "a library loaded for nothing blocks tab changes";
}
