// Method 3 through its real widgets: the memorising time, the answer check with its sounds, the
// reveal rule, repeat, stopping and starting again, random order, the sound folder of both step
// commands, the texts and the help page.
#include "methodtestsupport.h"

#include "help/tform8.h"
#include "methods/tform4.h"
#include "platform/wave/virtualwave.h"
#include "sound/tmpegplayer.h"
#include "sound/wavplayer.h"

#include <filesystem>
#include <set>

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace Qt::Literals::StringLiterals;

namespace {

// A wave file of `count` 8-bit mono samples of value `sample` at 8000 Hz.
std::string waveFile(size_t count, char sample)
{
    const auto le32 = [](uint32_t v) {
        return std::string { char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF),
                             char(v >> 24) };
    };
    const std::string samples(count, sample);
    return "RIFF" + le32(uint32_t(36 + count)) + "WAVEfmt " + le32(16)
        + std::string("\x01\x00\x01\x00", 4) + le32(8000) + le32(8000)
        + std::string("\x01\x00\x08\x00", 4) + "data" + le32(uint32_t(count)) + samples;
}

constexpr size_t kRightSamples = 400;
constexpr size_t kWrongSamples = 240;

class Method3Test : public MethodTest
{
protected:
    // The main window with `list` as its word list and a Method 3 window over it whose answer
    // sounds play on a virtual device.
    TForm4 &open(const QStringList &list, bool sounds = false, const std::string &config = "11111")
    {
        if (!startDictionary(sounds, 0.3, config))
            m_noSound = true;
        zarel::test::writeFile(file("da.wav"), waveFile(kRightSamples, '\x90'));
        zarel::test::writeFile(file("ne.wav"), waveFile(kWrongSamples, '\x70'));
        setList(list);
        m_window = std::make_unique<TForm4>(m_form.get());
        m_window->MediaPlayer1 = std::make_unique<TWavPlayer>(m_device);
        return *m_window;
    }
    // Types `answer` and presses Enter; true when the right-answer sound played.
    bool answer(TForm4 &w, const QString &typed)
    {
        m_device->clearSink();
        w.Edit1->setText(typed);
        QTest::keyClick(w.Edit1, Qt::Key_Return);
        return m_device->sink().size() == kRightSamples;
    }
    void TearDown() override
    {
        m_window.reset();
        MethodTest::TearDown();
    }
    std::shared_ptr<zarel::wave::VirtualWave> m_device
        = std::make_shared<zarel::wave::VirtualWave>(1.0);
    std::unique_ptr<TForm4> m_window;
    bool m_noSound = false;
};

} // namespace

TEST_F(Method3Test, StartsStoppedWithItsTexts)
{
    TForm4 &w = open({ u"car*"_s }, false, "11101"); // English interface
    EXPECT_EQ(w.WordIndex, -1);
    EXPECT_FALSE(w.Running);
    EXPECT_FALSE(w.Revealed);
    EXPECT_TRUE(w.Edit1->text().isEmpty());
    EXPECT_FALSE(w.CheckBox1->isChecked());
    EXPECT_TRUE(w.Timer1->isSingleShot());
    EXPECT_FALSE(w.Timer1->isActive());
    EXPECT_TRUE(w.Timer3->isActive());
    EXPECT_EQ(w.Button4->text(), u"Verification"_s);
    EXPECT_EQ(w.Label1->text(), u"Time for remember"_s);
    EXPECT_EQ(w.CheckBox1->text(), u"Random word"_s);
    EXPECT_EQ(w.Button9->toolTip(), u"Start/Stop"_s);
}

TEST_F(Method3Test, MemorisingTimeFollowsTheBar)
{
    TForm4 &w = open({ u"car*"_s, u"book*"_s });
    // 2000 ms until the bar is moved, although it shows position 4.
    EXPECT_EQ(w.Timer1->interval(), 2000);
    w.Button9->click();
    EXPECT_EQ(w.Edit1->text(), u"car"_s);
    EXPECT_TRUE(w.Timer1->isActive());

    for (const auto &[position, interval] : { std::pair { 10, 2000 }, { 4, 800 }, { 1, 200 } }) {
        w.TrackBar1->setValue(position);
        EXPECT_EQ(w.Timer1->interval(), interval);
    }
    w.Button8->click(); // a new memorising time of 200 ms
    EXPECT_EQ(w.Edit1->text(), u"book"_s);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.Edit1->text().isEmpty(); }, 30000));
    EXPECT_FALSE(w.Timer1->isActive());
}

TEST_F(Method3Test, AnswerCheckFoldsOnlyAsciiLettersAndTrimsNothing)
{
    struct Case
    {
        QString listWord;
        QString typed;
        bool right;
    };
    const Case cases[] = {
        { u"apple*"_s, u"Apple"_s, true },
        { u"apple*"_s, u"apple "_s, false },
        { u"İstanbul"_s, u"istanbul"_s, false },
        { u"İstanbul"_s, u"İSTANBUL"_s, true },
        { u"car*"_s, u""_s, false },
    };
    TForm4 &w = open({ u"book*"_s });
    for (const Case &c : cases) {
        setList({ c.listWord, u"book*"_s });
        w.Button9->click(); // stop (from the second case on) ...
        if (!w.Running)
            w.Button9->click(); // ... and start again at entry 0
        ASSERT_EQ(w.WordIndex, 0);
        w.Timer1Timer();
        EXPECT_TRUE(w.Edit1->text().isEmpty());
        EXPECT_EQ(answer(w, c.typed), c.right) << c.typed.toStdString();
        EXPECT_TRUE(w.Image1->pixmap().isNull()); // cleared once the sound has ended
        // Right: the next word; wrong: the same word with an empty field.
        EXPECT_EQ(w.WordIndex, c.right ? 1 : 0);
        EXPECT_EQ(w.Edit1->text(), c.right ? u"book"_s : QString());
    }
}

TEST_F(Method3Test, CheckDuringTheMemorisingTimeOnlyUntilTheFirstReveal)
{
    TForm4 &w = open({ u"car*"_s, u"book*"_s, u"kitap"_s });
    // Stopped: show, check and repeat do nothing.
    w.Button8->click();
    w.Timer1Timer();
    w.Edit1->setText(u"car"_s);
    w.Button4->click();
    w.Button3->click();
    w.Button5->click();
    EXPECT_EQ(w.WordIndex, 0);
    EXPECT_EQ(w.Edit1->text(), u"car"_s);
    EXPECT_FALSE(w.Revealed);
    w.Button9->click(); // start goes on after the word stepped to
    EXPECT_EQ(w.WordIndex, 1);

    // The word still on show is accepted as right before the first reveal.
    ASSERT_TRUE(w.Timer1->isActive());
    EXPECT_TRUE(answer(w, w.Edit1->text()));
    EXPECT_TRUE(w.Revealed);
    EXPECT_EQ(w.WordIndex, 2);

    // From now on check, repeat and show wait for the end of the memorising time.
    ASSERT_TRUE(w.Timer1->isActive());
    m_device->clearSink();
    w.Button4->click();
    w.Button3->click();
    w.Button5->click();
    EXPECT_TRUE(m_device->sink().empty());
    EXPECT_EQ(w.WordIndex, 2);
    EXPECT_TRUE(w.Timer1->isActive());

    w.Timer1Timer();
    w.Button5->click();
    EXPECT_EQ(w.Edit1->text(), u"kitap"_s);
    w.Button3->click(); // the same word for a new memorising time
    EXPECT_EQ(w.WordIndex, 2);
    EXPECT_TRUE(w.Timer1->isActive());
}

TEST_F(Method3Test, StopAndStartBeginsAtTheFirstEntry)
{
    TForm4 &w = open({ u"car*"_s, u"book*"_s, u"kitap"_s });
    w.Button9->click();
    w.Button8->click();
    w.Button6->click();
    EXPECT_EQ(w.WordIndex, 2);
    EXPECT_EQ(w.PrgBar1->value(), 2);
    w.Button9->click();
    EXPECT_FALSE(w.Running);
    EXPECT_EQ(w.WordIndex, -1);
    w.Button9->click();
    EXPECT_EQ(w.WordIndex, 0);
    EXPECT_EQ(w.Edit1->text(), u"car"_s);
    EXPECT_EQ(w.PrgBar1->value(), 0);
    // Previous steps back from entry 0 to the last entry.
    w.Button7->click();
    EXPECT_EQ(w.WordIndex, 2);
}

TEST_F(Method3Test, RandomWordDrawsTheNextButRepeatAndPreviousKeepListOrder)
{
    TForm4 &w = open({ u"car*"_s, u"book*"_s, u"kitap"_s, u"run*"_s });
    w.CheckBox1->click();
    w.Button9->click();
    std::set<int> drawn;
    bool inOrder = true;
    for (int draw = 0; draw < 60; ++draw) {
        const int before = w.WordIndex;
        w.Button8->click();
        ASSERT_GE(w.WordIndex, 0);
        ASSERT_LT(w.WordIndex, 4);
        EXPECT_EQ(w.Edit1->text(), QString(m_form->markedEntries().at(w.WordIndex)).remove(u'*'));
        drawn.insert(w.WordIndex);
        inOrder = inOrder && w.WordIndex == (before + 1) % 4;
    }
    EXPECT_FALSE(inOrder);
    EXPECT_GE(drawn.size(), 3u);

    w.Timer1Timer();
    const int current = w.WordIndex;
    w.Button3->click();
    EXPECT_EQ(w.WordIndex, current);
    w.Button7->click();
    EXPECT_EQ(w.WordIndex, current > 0 ? current - 1 : 3);
}

TEST_F(Method3Test, NextAndPreviousPronounceFromTheInstalledSoundFolder)
{
    TForm4 &w = open({ u"book*"_s, u"rung*"_s, u"kitap"_s }, true);
    if (m_noSound)
        GTEST_SKIP() << "sox or lame could not make the test tone";
    // The sound made when the user added "rung".
    std::filesystem::create_directories(file("usersound/18"));
    std::filesystem::copy_file(m_tone, file("usersound/18/rung.mp3"));
    w.show();

    QTest::mouseClick(w.Button8, Qt::LeftButton); // book
    EXPECT_FALSE(w.Button6->isEnabled());
    EXPECT_FALSE(w.Button8->isEnabled());
    EXPECT_TRUE(w.Button7->isEnabled());
    ASSERT_TRUE(waitForSoundEnd());
    EXPECT_TRUE(w.Button6->isEnabled());
    EXPECT_TRUE(w.Button8->isEnabled());

    QTest::mouseClick(w.Button8, Qt::LeftButton); // rung, a user entry
    EXPECT_FALSE(w.Button8->isEnabled());
    ASSERT_TRUE(waitForSoundEnd());
    QTest::mouseClick(w.Button8, Qt::LeftButton); // kitap: Turkish, no sound
    EXPECT_TRUE(w.Button8->isEnabled());
    EXPECT_FALSE(m_form->MPEG1->LibraryLoaded());

    // Previous speaks from the same installed folder, with no disc in any drive.
    ASSERT_TRUE(m_form->CdWavePath.empty());
    QTest::mouseClick(w.Button7, Qt::LeftButton);
    EXPECT_EQ(w.Edit1->text(), u"rung"_s);
    EXPECT_EQ(m_form->MPEG1->StreamName(), file("usersound/18/rung.mp3"));
    EXPECT_FALSE(w.Button6->isEnabled());
    EXPECT_FALSE(w.Button7->isEnabled());
    EXPECT_FALSE(w.Button8->isEnabled());
    ASSERT_TRUE(waitForSoundEnd());
    EXPECT_TRUE(w.Button7->isEnabled());
    QTest::mouseClick(w.Button7, Qt::LeftButton);
    EXPECT_EQ(w.Edit1->text(), u"book"_s);
    EXPECT_EQ(m_form->MPEG1->StreamName(), file("wave/2/1.mp3"));
    ASSERT_TRUE(waitForSoundEnd());

    // A disc's folder stands in only for a sound the installation lacks.
    std::filesystem::remove(file("wave/2/1.mp3"));
    std::filesystem::create_directories(file("disc/2"));
    std::filesystem::copy_file(m_tone, file("disc/2/1.mp3"));
    m_form->CdWavePath = file("disc/");
    QTest::mouseClick(w.Button8, Qt::LeftButton); // rung
    ASSERT_TRUE(waitForSoundEnd());
    QTest::mouseClick(w.Button7, Qt::LeftButton); // book, from the disc
    EXPECT_EQ(w.Edit1->text(), u"book"_s);
    EXPECT_EQ(m_form->MPEG1->StreamName(), file("disc/2/1.mp3"));
    EXPECT_FALSE(w.Button7->isEnabled());
    ASSERT_TRUE(waitForSoundEnd());
    EXPECT_TRUE(w.Button7->isEnabled());
}

TEST_F(Method3Test, HelpOpensMethod3sPageAndExitResetsTheTag)
{
    TForm4 &w = open({ u"car*"_s });
    bool seen = false;
    whenShown<TForm8>([](TForm8 *help) { help->reject(); }, &seen);
    w.Action1->trigger();
    EXPECT_TRUE(seen);
    EXPECT_TRUE(m_form->HelpPath.endsWith(u"/hlp/metod3.htm"_s));

    m_form->Tag = 1;
    w.Button9->click();
    w.Button1->click();
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_EQ(m_form->Tag, 0);
    EXPECT_FALSE(w.Timer1->isActive());
    EXPECT_FALSE(w.Timer3->isActive());
}
