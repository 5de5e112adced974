// Method 2 through its real widgets: start and stop each stepping at once, the translation that
// pauses the drill and ignores the step commands, continuing on the same word, the pace while a
// word is pronounced, the list spelling in the word field, the texts and the help page.
#include "methodtestsupport.h"

#include "help/tform8.h"
#include "methods/tform5.h"
#include "sound/tmpegplayer.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

using namespace Qt::Literals::StringLiterals;

namespace {

class Method2Test : public MethodTest
{
protected:
    // The main window with four list words and a Method 2 window over it.
    TForm5 &open(bool sounds = false, const std::string &config = "11111")
    {
        if (!startDictionary(sounds, 0.3, config))
            m_noSound = true;
        setList({ u"Book*"_s, u"car*"_s, u"kitap"_s, u"rung*"_s });
        m_window = std::make_unique<TForm5>(m_form.get());
        return *m_window;
    }
    void TearDown() override
    {
        m_window.reset();
        MethodTest::TearDown();
    }
    std::unique_ptr<TForm5> m_window;
    bool m_noSound = false;
};

} // namespace

TEST_F(Method2Test, StartsStoppedWithItsTextsAndSpeed)
{
    TForm5 &w = open(false, "11101"); // English interface
    EXPECT_EQ(w.WordIndex, -1);
    EXPECT_FALSE(w.TranslationShown);
    EXPECT_FALSE(w.Running);
    EXPECT_FALSE(w.RichEdit1->isVisibleTo(&w));
    EXPECT_FALSE(w.SpeedButton1->isEnabled());
    EXPECT_FALSE(w.Button7->isEnabled());
    EXPECT_TRUE(w.CheckBox1->isChecked());
    EXPECT_EQ(w.PrgBar1->maximum(), 4);
    // 2000 ms until the bar is moved, although it shows position 4.
    EXPECT_EQ(w.TrackBar1->value(), 4);
    EXPECT_EQ(w.Timer1->interval(), 2000);
    EXPECT_TRUE(w.Timer2->isActive());
    EXPECT_EQ(w.CheckBox1->text(), u"Speach"_s);
    EXPECT_EQ(w.SpeedButton1->text(), u"Translation"_s);
    EXPECT_EQ(w.Button6->text(), u"Next word"_s);
    EXPECT_EQ(w.Button3->toolTip(), u"Start/Stop"_s);
    for (const auto &[position, interval] : { std::pair { 1, 500 }, { 10, 5000 }, { 4, 2000 } }) {
        w.TrackBar1->setValue(position);
        EXPECT_EQ(w.Timer1->interval(), interval);
    }

    m_form->N14->trigger();
    TForm5 turkish(m_form.get());
    EXPECT_EQ(turkish.CheckBox1->text(), u"Ses"_s);
    EXPECT_EQ(turkish.SpeedButton1->text(), u"Çeviri"_s);
    EXPECT_EQ(turkish.Button4->text(), u"Önceki kelime"_s);
}

TEST_F(Method2Test, StartShowsTheFirstWordAtOnceAndStopStepsOnce)
{
    TForm5 &w = open();
    w.Button3->click();
    EXPECT_TRUE(w.Running);
    EXPECT_TRUE(w.Timer1->isActive());
    EXPECT_FALSE(w.Timer2->isActive());
    EXPECT_EQ(w.WordIndex, 0);
    // The list's spelling, not the headword "book"; the list selection follows.
    EXPECT_EQ(w.Edit1->text(), u"Book"_s);
    EXPECT_EQ(m_form->ListBox1->currentRow(), 0);
    EXPECT_TRUE(w.SpeedButton1->isEnabled());
    EXPECT_TRUE(w.Button7->isEnabled());
    EXPECT_FALSE(w.RichEdit1->isVisibleTo(&w)); // no article on the automatic steps

    w.TrackBar1->setValue(1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.WordIndex == 1; }, 30000));
    EXPECT_EQ(w.Edit1->text(), u"car"_s);
    EXPECT_EQ(w.PrgBar1->value(), 1);

    w.Button3->click();
    EXPECT_EQ(w.WordIndex, 2);
    EXPECT_FALSE(w.Running);
    EXPECT_FALSE(w.Timer1->isActive());
    EXPECT_TRUE(w.Timer2->isActive());
}

TEST_F(Method2Test, TranslationPausesTheDrillAndContinueResumesOnTheSameWord)
{
    TForm5 &w = open(); // Turkish interface
    w.Button3->click();
    ASSERT_EQ(w.WordIndex, 0);
    w.SpeedButton1->click();
    EXPECT_TRUE(w.TranslationShown);
    EXPECT_EQ(w.SpeedButton1->text(), u"Devam et"_s);
    EXPECT_TRUE(w.RichEdit1->isVisibleTo(&w));
    EXPECT_EQ(w.RichEdit1->toPlainText(), u"book: kitap"_s);
    EXPECT_FALSE(w.Timer1->isActive());
    EXPECT_FALSE(w.Timer2->isActive());
    EXPECT_FALSE(w.Button3->isEnabled());
    EXPECT_FALSE(w.Button4->isEnabled());
    EXPECT_FALSE(w.Button6->isEnabled());

    // Start/stop, next, previous and the step timer do nothing while the article is shown.
    w.Button3Click();
    w.Button4Click();
    w.Button6Click();
    w.Timer1Timer();
    EXPECT_EQ(w.WordIndex, 0);
    EXPECT_TRUE(w.Running);
    // The end of a pronunciation brings back the pronounce button only.
    m_form->MPEG1PlayEnd();
    EXPECT_TRUE(w.Button7->isEnabled());
    EXPECT_FALSE(w.Button6->isEnabled());
    EXPECT_FALSE(w.Button4->isEnabled());

    w.SpeedButton1->click();
    EXPECT_FALSE(w.TranslationShown);
    EXPECT_EQ(w.SpeedButton1->text(), u"Çeviri"_s);
    EXPECT_FALSE(w.RichEdit1->isVisibleTo(&w));
    EXPECT_EQ(w.WordIndex, 0);
    EXPECT_TRUE(w.Timer1->isActive());
    EXPECT_FALSE(w.Timer2->isActive());
    EXPECT_TRUE(w.Button3->isEnabled());
    EXPECT_TRUE(w.Button6->isEnabled());
    EXPECT_FALSE(w.Button7->isEnabled());

    // Stopped, continuing brings the blinking back instead of the step timer.
    w.Button3->click();
    w.SpeedButton1->click();
    w.SpeedButton1->click();
    EXPECT_FALSE(w.Timer1->isActive());
    EXPECT_TRUE(w.Timer2->isActive());
}

TEST_F(Method2Test, TranslationOfAWordWithoutHeadwordStillPauses)
{
    TForm5 &w = open();
    setList({ u"xyz*"_s, u"car*"_s });
    w.Button6->click();
    EXPECT_EQ(w.Edit1->text(), u"xyz"_s); // shown from the list
    w.SpeedButton1->click();
    EXPECT_TRUE(w.TranslationShown);
    EXPECT_FALSE(w.RichEdit1->isVisibleTo(&w));
    EXPECT_TRUE(w.Button6->isEnabled());
    w.Button6->click();
    w.Button3->click();
    EXPECT_EQ(w.WordIndex, 0);
    EXPECT_FALSE(w.Running);
}

TEST_F(Method2Test, PronouncedWordStaysUntilItsSoundHasEnded)
{
    TForm5 &w = open(true);
    if (m_noSound)
        GTEST_SKIP() << "sox or lame could not make the test tone";
    w.Button6->click(); // "Book" is pronounced
    EXPECT_FALSE(w.Button6->isEnabled());
    EXPECT_FALSE(w.Button4->isEnabled());
    EXPECT_FALSE(w.Button7->isEnabled());
    w.Timer1Timer(); // a tick during the sound is skipped
    EXPECT_EQ(w.WordIndex, 0);
    ASSERT_TRUE(waitForSoundEnd());
    EXPECT_TRUE(w.Button6->isEnabled());
    EXPECT_TRUE(w.Button7->isEnabled());

    // Speech off: the steps are silent, the pronounce button speaks all the same.
    w.CheckBox1->click();
    w.Button6->click();
    EXPECT_TRUE(w.Button6->isEnabled());
    EXPECT_FALSE(m_form->MPEG1->LibraryLoaded());
    w.Button7->click();
    EXPECT_EQ(w.WordIndex, 1);
    EXPECT_FALSE(w.Button6->isEnabled());
    ASSERT_TRUE(waitForSoundEnd());

    // Turkish headwords and user entries have no sound.
    w.CheckBox1->click();
    for (const QString &word : { u"kitap"_s, u"rung"_s }) {
        w.Button6->click();
        EXPECT_EQ(w.Edit1->text(), word);
        EXPECT_FALSE(m_form->MPEG1->LibraryLoaded());
    }
}

TEST_F(Method2Test, HelpOpensMethod2sPageAndExitResetsTheTag)
{
    TForm5 &w = open();
    bool seen = false;
    whenShown<TForm8>([](TForm8 *help) { help->reject(); }, &seen);
    w.SpeedButton2->click();
    EXPECT_TRUE(seen);
    EXPECT_TRUE(m_form->HelpPath.endsWith(u"/hlp/metod2.htm"_s));

    m_form->Tag = 1;
    w.Button3->click();
    w.Button1->click();
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_EQ(m_form->Tag, 0);
    EXPECT_FALSE(w.Timer1->isActive());
    EXPECT_FALSE(w.Timer2->isActive());
}
