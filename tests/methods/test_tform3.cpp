// Method 1 through its real widgets: stepping through the list, the show's pace and its skipped
// ticks while a word is pronounced, start/stop with the blinking glyphs, the speech check box,
// help and exit.
#include "methodtestsupport.h"

#include "help/tform8.h"
#include "methods/tform3.h"
#include "sound/tmpegplayer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

using namespace Qt::Literals::StringLiterals;

namespace {

class Method1Test : public MethodTest
{
protected:
    // The main window with four list words and a Method 1 window over it.
    TForm3 &open(bool sounds = false, const std::string &config = "11111")
    {
        if (!startDictionary(sounds, 0.3, config))
            m_noSound = true;
        setList({ u"Book*"_s, u"car*"_s, u"kitap"_s, u"rung*"_s });
        m_window = std::make_unique<TForm3>(m_form.get());
        return *m_window;
    }
    void TearDown() override
    {
        m_window.reset();
        MethodTest::TearDown();
    }
    std::unique_ptr<TForm3> m_window;
    bool m_noSound = false;
};

} // namespace

TEST_F(Method1Test, StartsStoppedWithNoWordAndItsTexts)
{
    TForm3 &w = open(false, "11101"); // English interface
    EXPECT_EQ(w.WordIndex, -1);
    EXPECT_FALSE(w.Running);
    EXPECT_TRUE(w.Edit1->text().isEmpty());
    EXPECT_TRUE(w.RichEdit1->toPlainText().isEmpty());
    EXPECT_FALSE(w.Button7->isEnabled());
    EXPECT_TRUE(w.CheckBox1->isChecked());
    EXPECT_EQ(w.PrgBar1->maximum(), 4);
    EXPECT_EQ(w.TrackBar1->value(), 4);
    EXPECT_EQ(w.Timer1->interval(), 2000);
    EXPECT_FALSE(w.Timer1->isActive());
    EXPECT_TRUE(w.Timer2->isActive());
    EXPECT_EQ(w.Button5->text(), u"Next word"_s);
    EXPECT_EQ(w.CheckBox1->text(), u"Speech"_s);
    EXPECT_EQ(w.Button3->toolTip(), u"Start/Stop"_s);
    EXPECT_EQ(w.Button7->toolTip(), u"Play the word/phrase"_s);
    // The panel is centred on the desktop-sized window.
    EXPECT_EQ(w.Panel1->geometry().center().x() - w.rect().center().x(), 0);
}

TEST_F(Method1Test, NextAndPreviousWrapAroundTheList)
{
    TForm3 &w = open();
    // A previous-word press on a fresh window shows the last entry.
    w.Button4->click();
    EXPECT_EQ(w.WordIndex, 3);
    EXPECT_EQ(w.Edit1->text(), u"rung"_s);

    TForm3 fresh(m_form.get());
    const QString headwords[] = { u"book"_s, u"car"_s, u"kitap"_s, u"rung"_s, u"book"_s };
    const int indexes[] = { 0, 1, 2, 3, 0 };
    for (int step = 0; step < 5; ++step) {
        fresh.Button5->click();
        EXPECT_EQ(fresh.WordIndex, indexes[step]);
        // The headword as the dictionary spells it ("Book" shows "book"), its article, the
        // list selection and the progress bar follow.
        EXPECT_EQ(fresh.Edit1->text(), headwords[step]);
        EXPECT_TRUE(fresh.RichEdit1->toPlainText().startsWith(headwords[step] + u':'));
        EXPECT_EQ(m_form->ListBox1->currentRow(), indexes[step]);
        EXPECT_EQ(fresh.PrgBar1->value(), indexes[step]);
    }
    fresh.Button4->click();
    EXPECT_EQ(fresh.WordIndex, 3);
}

TEST_F(Method1Test, WordWithoutHeadwordLeavesThePreviousArticle)
{
    TForm3 &w = open();
    setList({ u"Book*"_s, u"xyz*"_s });
    w.Button5->click();
    w.Button5->click();
    EXPECT_EQ(w.WordIndex, 1);
    EXPECT_TRUE(w.Edit1->text().isEmpty());
    EXPECT_TRUE(w.RichEdit1->toPlainText().startsWith(u"book:"_s));
    EXPECT_EQ(w.PrgBar1->value(), 1);
}

TEST_F(Method1Test, StartStopBlinksAndSwitchesTheTimers)
{
    writeBmp(file("Start1.bmp"), Qt::red);
    writeBmp(file("Start2.bmp"), Qt::green);
    writeBmp(file("Stop2.bmp"), Qt::blue);
    TForm3 &w = open();
    EXPECT_EQ(iconColour(w.Button3->icon()), QColor(Qt::red));
    w.Timer2Timer();
    EXPECT_EQ(w.BlinkPhase, 2);
    EXPECT_EQ(iconColour(w.Button3->icon()), QColor(Qt::green));
    w.Timer2Timer();
    EXPECT_EQ(iconColour(w.Button3->icon()), QColor(Qt::red));

    w.Button3->click();
    EXPECT_TRUE(w.Running);
    EXPECT_TRUE(w.Timer1->isActive());
    EXPECT_FALSE(w.Timer2->isActive());
    EXPECT_TRUE(w.Button7->isEnabled());
    EXPECT_EQ(iconColour(w.Button3->icon()), QColor(Qt::blue));
    EXPECT_EQ(w.WordIndex, -1); // the first word comes with the first tick
    w.Timer2Timer(); // a tick while running does nothing
    EXPECT_EQ(iconColour(w.Button3->icon()), QColor(Qt::blue));

    w.Button3->click();
    EXPECT_FALSE(w.Running);
    EXPECT_FALSE(w.Timer1->isActive());
    EXPECT_TRUE(w.Timer2->isActive());
    EXPECT_EQ(iconColour(w.Button3->icon()), QColor(Qt::red));
}

TEST_F(Method1Test, TrackBarSetsTheIntervalAndTheShowKeepsItsPace)
{
    TForm3 &w = open();
    w.TrackBar1->setValue(10);
    EXPECT_EQ(w.Timer1->interval(), 5000);
    w.TrackBar1->setValue(1);
    EXPECT_EQ(w.Timer1->interval(), 500);

    QElapsedTimer clock;
    clock.start();
    w.Button3->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.WordIndex == 0; }, 30000));
    const qint64 first = clock.elapsed();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.WordIndex == 1; }, 30000));
    const qint64 second = clock.elapsed();
    EXPECT_GE(first, 450);
    EXPECT_GE(second - first, 400);
    w.Button3->click();
}

TEST_F(Method1Test, TickDuringAPronunciationIsSkipped)
{
    TForm3 &w = open(true);
    if (m_noSound)
        GTEST_SKIP() << "sox or lame could not make the test tone";
    // The end of the sound is noticed only after 1.2 s, so the word stays on show over the
    // ticks at 1.0 s and 1.5 s.
    m_form->MPEG1->setTimerFreq(1200);
    w.TrackBar1->setValue(1);
    QSignalSpy ticks(w.Timer1, &QTimer::timeout);
    w.Button3->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.WordIndex == 0; }, 30000));
    EXPECT_FALSE(w.Button5->isEnabled()); // "book" is pronounced
    EXPECT_FALSE(w.Button4->isEnabled());
    EXPECT_FALSE(w.Button7->isEnabled());
    const qsizetype ticksAtFirstWord = ticks.count();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.Button5->isEnabled(); }, 30000));
    EXPECT_GE(ticks.count() - ticksAtFirstWord, 1);
    EXPECT_EQ(w.WordIndex, 0);
    EXPECT_TRUE(w.Button4->isEnabled());
    EXPECT_TRUE(w.Button7->isEnabled());
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.WordIndex == 1; }, 30000));
    w.Button3->click();
    waitForSoundEnd();
}

TEST_F(Method1Test, SpeechBoxGovernsTheStepsButNotThePronounceButton)
{
    TForm3 &w = open(true);
    if (m_noSound)
        GTEST_SKIP() << "sox or lame could not make the test tone";
    w.Button5->click(); // "book", pronounced
    EXPECT_FALSE(w.Button5->isEnabled());
    EXPECT_TRUE(m_form->MPEG1->LibraryLoaded());
    ASSERT_TRUE(waitForSoundEnd());
    EXPECT_TRUE(w.Button5->isEnabled());
    EXPECT_TRUE(w.Button7->isEnabled());

    w.CheckBox1->click();
    EXPECT_FALSE(w.CheckBox1->isChecked());
    w.Button5->click(); // "car" has a sound, but speech is off
    EXPECT_EQ(w.Edit1->text(), u"car"_s);
    EXPECT_TRUE(w.Button5->isEnabled());
    EXPECT_FALSE(m_form->MPEG1->LibraryLoaded());
    w.Button7->click(); // the pronounce button speaks all the same
    EXPECT_FALSE(w.Button5->isEnabled());
    EXPECT_TRUE(m_form->MPEG1->LibraryLoaded());
    ASSERT_TRUE(waitForSoundEnd());

    // Turkish headwords and user entries are shown without a sound.
    w.CheckBox1->click();
    for (const QString &word : { u"kitap"_s, u"rung"_s }) {
        w.Button5->click();
        EXPECT_EQ(w.Edit1->text(), word);
        EXPECT_TRUE(w.Button5->isEnabled());
        EXPECT_FALSE(m_form->MPEG1->LibraryLoaded());
    }
}

TEST_F(Method1Test, HelpButtonAndF1OpenMethod1sPage)
{
    TForm3 &w = open();
    bool seen = false;
    whenShown<TForm8>([](TForm8 *help) { help->reject(); }, &seen);
    w.SpeedButton1->click();
    EXPECT_TRUE(seen);
    EXPECT_TRUE(m_form->HelpPath.endsWith(u"/hlp/metod1.htm"_s));
    seen = false;
    m_form->HelpPath.clear();
    whenShown<TForm8>([](TForm8 *help) { help->reject(); }, &seen);
    w.Action1->trigger();
    EXPECT_TRUE(seen);
    EXPECT_TRUE(m_form->HelpPath.endsWith(u"/hlp/metod1.htm"_s));
}

TEST_F(Method1Test, ExitDuringAPronunciationStopsIt)
{
    TForm3 &w = open(true);
    if (m_noSound)
        GTEST_SKIP() << "sox or lame could not make the test tone";
    playSlowly(3.0);
    QSignalSpy ends(m_form->MPEG1, &TMPEGPlayer::OnPlayEnd);
    m_form->Tag = 1;
    w.Button3->click();
    w.Button5->click();
    ASSERT_TRUE(m_form->MPEG1->isPlaying());
    ASSERT_EQ(m_form->MPEG1->PlayerMode(), 3);
    w.Button1->click();
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_EQ(m_form->Tag, 0);
    EXPECT_FALSE(w.Timer1->isActive());
    EXPECT_FALSE(w.Timer2->isActive());
    // Stopped: the library is released at once, since a stopped sound reports no end.
    EXPECT_FALSE(m_form->MPEG1->LibraryLoaded());
    // Nothing is left to report an end: the poll timer is off; what is queued is delivered.
    EXPECT_TRUE(m_form->MPEG1->PollTimer() == nullptr || !m_form->MPEG1->PollTimer()->isActive());
    QCoreApplication::processEvents();
    EXPECT_EQ(ends.count(), 0);
}
