// Pronouncing headwords in the main window over the real playing library: the buttons while a
// word plays, the end of the sound, missing sound files, tab changes, a second word while the
// first still plays, and the words the user adds, which speak once their sound is made. Most
// cases decode to a PCM file, which takes no real time; the cases that act while a word still
// sounds play to the sound server, which keeps real time.
#include "apptestenvironment.h"

#include "app/tnewword.h"
#include "app/ttabcontrol.h"
#include "mpegtestsupport.h"
#include "sound/tmpegplayer.h"
#include "sound/usersoundmaker.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using zarel::test::baseEntry;
using zarel::test::soundServerAnswers;
using zarel::test::userEntry;
using namespace Qt::StringLiterals;

namespace {

class PronunciationTest : public FormTest
{
protected:
    // `device` pcmfile decodes as fast as it can; wavemapper plays at real pace on the sound
    // server (see zarel::test::soundServerAnswers()).
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
        std::filesystem::copy_file(tone, file("wave/18/1.mp3")); // "ran", the first base entry
        std::filesystem::copy_file(tone, file("wave/18/2.mp3")); // "run", the second one
        TForm1 &form = startForm();
        configurePlayer(form, device);
        return form;
    }
    void configurePlayer(TForm1 &form, TOutputDevice device = TOutputDevice::pcmfile)
    {
        form.MPEG1->PathToDLL = MPEGDLL_DIR;
        form.MPEG1->setTimerFreq(50);
        form.MPEG1->OutFilename = file("out.pcm");
        form.MPEG1->setOutputDevice(device);
    }
    void TearDown() override
    {
        FormTest::TearDown();
        UserSoundMaker::setBuilderProgram({});
    }
    // A script that runs `command` once the file `gate` exists, so the test sees the added word
    // before its sound is made.
    std::string gatedBuilder(const std::string &gate, const std::string &command)
    {
        const std::string path = file("builder.sh");
        {
            std::ofstream script(path, std::ios::trunc);
            script << "#!/bin/sh\nwhile [ ! -e '" << gate << "' ]; do sleep 0.02; done\n"
                   << command << "\n";
        }
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
        return path;
    }
    // Adds `word` to `tab` through the add-word dialog, as Enter on an unknown word does.
    void addWord(const QString &word, int tab)
    {
        auto *poll = new QTimer(qApp);
        QObject::connect(poll, &QTimer::timeout, poll, [poll] {
            for (QWidget *w : QApplication::topLevelWidgets()) {
                if (auto *dialog = qobject_cast<TNewWord *>(w); dialog && dialog->isVisible()) {
                    poll->deleteLater();
                    dialog->Button1->click();
                    return;
                }
            }
        });
        poll->start(10);
        m_form->openAddWordDialog(word, tab);
    }
    bool makersRunning() const { return !m_form->findChildren<UserSoundMaker *>().isEmpty(); }
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
    EXPECT_EQ(form.headwordSoundPath(17, 1), file("usersound/18/rum.mp3")); // a user entry
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
    choose(17, 1); // "rum", a user entry whose sound was never made
    EXPECT_FALSE(form.Button7->isEnabled());
    form.Button7->setEnabled(true); // as if a key release ran the command all the same
    form.Button7->click();
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
    EXPECT_FALSE(form.Button7->isEnabled()) << "the word on show has no sound";
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

TEST_F(PronunciationTest, AnAddedWordSpeaksOnceItsSoundIsMadeAndAfterARestart)
{
    TForm1 &form = start(0.3);
    const std::string gate = file("go");
    UserSoundMaker::setBuilderProgram(QString::fromStdString(
        gatedBuilder(gate, std::string("exec '") + ZAREL_DICT_PROGRAM + "' \"$@\"")));
    addWord(u"rye"_s, 17);
    ASSERT_EQ(form.Combo->currentText(), u"rye"_s);
    const int item = form.Combo->currentIndex();
    EXPECT_EQ(form.headwordSoundPath(17, item), file("usersound/18/rye.mp3"));
    EXPECT_FALSE(form.headwordSoundExists(17, item));
    EXPECT_FALSE(form.Button7->isEnabled()) << "pronounce offered before the word has a sound";

    std::ofstream { gate };
    QTRY_VERIFY_WITH_TIMEOUT(form.Button7->isEnabled(), 60000);
    EXPECT_TRUE(form.headwordSoundExists(17, item));
    form.Button7->click();
    EXPECT_TRUE(form.MPEG1->LibraryLoaded());
    ASSERT_TRUE(waitForEnd());
    EXPECT_GT(zarel::test::readFile(file("out.pcm")).size(), 22050u / 5 * 2)
        << "the word did not play through the playing library";

    // The next start finds the sound by the word's name.
    closeForm();
    std::filesystem::remove(file("out.pcm"));
    configurePlayer(startForm());
    choose(17, item);
    ASSERT_EQ(m_form->Combo->currentText(), u"rye"_s);
    EXPECT_TRUE(m_form->Button7->isEnabled());
    m_form->Button7->click();
    ASSERT_TRUE(waitForEnd());
    EXPECT_FALSE(zarel::test::readFile(file("out.pcm")).empty());
}

TEST_F(PronunciationTest, AWordWhoseSoundCannotBeMadeStaysSilent)
{
    const std::pair<const char *, std::string> builders[] = {
        { "the builder fails", "exit 1" },
        { "the builder writes nothing", "exit 0" },
        { "the builder is killed", "kill -9 $$" },
        { "the builder cannot start", "" },
    };
    TForm1 &form = start(0.3);
    int added = 0;
    for (const auto &[name, command] : builders) {
        SCOPED_TRACE(name);
        const std::string gate = file("go");
        std::filesystem::remove(gate);
        UserSoundMaker::setBuilderProgram(QString::fromStdString(
            command.empty() ? file("no-such-builder") : gatedBuilder(gate, command)));
        const QString word = u"ry"_s + QChar(u'a' + added++);
        addWord(word, 17);
        ASSERT_EQ(form.Combo->currentText(), word);
        std::ofstream { gate };
        QTRY_VERIFY_WITH_TIMEOUT(!makersRunning(), 60000);
        EXPECT_FALSE(form.Button7->isEnabled());
        EXPECT_FALSE(std::filesystem::exists(file("usersound")));
        form.Button7->click();
        EXPECT_FALSE(form.MPEG1->LibraryLoaded());
    }
}
