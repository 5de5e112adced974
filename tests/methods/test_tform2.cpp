// Method 5 through its real widgets: the dictation with its answer check, the word commands
// passing over entries without an English headword, random order, the message on a list without
// English words, help and exit.
#include "methodtestsupport.h"

#include "app/ttabcontrol.h"
#include "dictionary/usersound.h"
#include "help/tform8.h"
#include "methods/tform2.h"
#include "sound/tmpegplayer.h"
#include "sound/wavplayer.h"

#include <filesystem>
#include <set>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace Qt::Literals::StringLiterals;

namespace {

class Method5Test : public MethodTest
{
protected:
    TForm2 &open(const QStringList &list, bool sounds = false, const std::string &config = "11111")
    {
        if (!startDictionary(sounds, 0.3, config))
            m_noSound = true;
        setList(list);
        m_window = std::make_unique<TForm2>(m_form.get());
        return *m_window;
    }
    void TearDown() override
    {
        m_window.reset();
        MethodTest::TearDown();
    }
    int current() const { return m_form->ListBox1->currentRow(); }

    std::unique_ptr<TForm2> m_window;
    bool m_noSound = false;
};

} // namespace

TEST_F(Method5Test, StartsOnEntryZeroWithItsTexts)
{
    TForm2 &w = open({ u"Book*"_s, u"car*"_s, u"kitap"_s, u"rung*"_s }, false, "11101");
    EXPECT_EQ(current(), 0);
    EXPECT_FALSE(w.Running);
    EXPECT_TRUE(w.AnswerWord.isEmpty());
    EXPECT_EQ(w.PrgBar1->maximum(), 3);
    EXPECT_FALSE(w.Button4->isEnabled());
    EXPECT_TRUE(w.Timer1->isActive());
    EXPECT_TRUE(w.Label1->isHidden());
    EXPECT_EQ(w.Button3->text(), u"Pronunciation"_s);
    EXPECT_EQ(w.Button9->toolTip(), u"Start/Stop"_s);
    EXPECT_EQ(w.Label1->text(), u"The list has no English word"_s);
    m_form->N14->trigger();
    TForm2 turkish(m_form.get());
    EXPECT_EQ(turkish.Button3->text(), u"Kelimenin telaffuzu"_s);
    EXPECT_EQ(turkish.Label1->text(), u"Listede İngilizce kelime yok"_s);
}

TEST_F(Method5Test, DictationRightAndWrongWithFeedback)
{
    TForm2 &w = open({ u"Book*"_s, u"car*"_s, u"kitap"_s, u"rung*"_s }, true);
    if (m_noSound)
        GTEST_SKIP() << "sox or lame could not make the test tone";
    writeBmp(file("a.bmp"), Qt::green);
    writeBmp(file("b.bmp"), Qt::red);

    w.Button9->click(); // the first start pronounces entry 0
    EXPECT_TRUE(w.Running);
    EXPECT_EQ(w.AnswerWord, u"book"_s); // Book is located as the headword book
    EXPECT_EQ(m_form->TabControl1->tabIndex(), 1);
    EXPECT_TRUE(m_form->MPEG1->LibraryLoaded());
    for (QWidget *button : std::initializer_list<QWidget *> { w.Button3, w.Button7, w.Button8 })
        EXPECT_FALSE(button->isEnabled());
    ASSERT_TRUE(waitForSoundEnd());
    EXPECT_TRUE(w.Button4->isEnabled()); // usable after the first pronunciation
    EXPECT_TRUE(w.Button3->isEnabled());

    QTest::keyClicks(w.Edit1, u"book "_s);
    QTest::keyClick(w.Edit1, Qt::Key_Return); // a trailing blank is wrong
    EXPECT_TRUE(w.MediaPlayer1->FileName.ends_with("/ne.wav"));
    EXPECT_EQ(w.Edit1->text(), u"book "_s);
    EXPECT_EQ(current(), 0);

    w.Edit1->setText(u"BOOK"_s);
    w.Button2->click(); // right: the next word is pronounced at once
    EXPECT_TRUE(w.MediaPlayer1->FileName.ends_with("/da.wav"));
    EXPECT_TRUE(w.Image1->pixmap().isNull()); // the picture goes with the sound
    EXPECT_EQ(current(), 1);
    EXPECT_EQ(w.PrgBar1->value(), 1);
    EXPECT_TRUE(w.Edit1->text().isEmpty());
    EXPECT_EQ(w.AnswerWord, u"car"_s);
    EXPECT_FALSE(w.Button8->isEnabled());
    ASSERT_TRUE(waitForSoundEnd());

    w.Button1->click();
    EXPECT_EQ(w.Edit1->text(), u"car"_s);
    w.Button9->click(); // stopped: show does nothing
    w.Edit1->clear();
    w.Button1->click();
    EXPECT_TRUE(w.Edit1->text().isEmpty());
}

TEST_F(Method5Test, StepsPassOverEntriesWithoutEnglishHeadword)
{
    TForm2 &w = open({ u"Book*"_s, u"kitap"_s, u"zzz*"_s, u"car*"_s, u"rung*"_s });
    const struct
    {
        QPushButton *button;
        int expected;
        const char16_t *answer;
    } steps[] = {
        { w.Button8, 3, u"car" }, // kitap and zzz are passed over
        { w.Button8, 4, u"rung" }, // a user entry has no sound but is dictated
        { w.Button8, 0, u"book" }, { w.Button7, 4, u"rung" },
        { w.Button7, 3, u"car" },  { w.Button7, 0, u"book" },
    };
    for (const auto &step : steps) {
        step.button->click();
        EXPECT_EQ(current(), step.expected);
        EXPECT_EQ(w.PrgBar1->value(), step.expected);
        EXPECT_EQ(w.AnswerWord, QString::fromUtf16(step.answer));
        EXPECT_TRUE(w.Label1->isHidden());
    }
    // The last entry fills the progress bar.
    w.Button7->click();
    EXPECT_EQ(w.PrgBar1->value(), w.PrgBar1->maximum());

    // Started on an entry without English headword, the drill moves on to the next word.
    m_form->ListBox1->setCurrentRow(1);
    w.Button9->click();
    EXPECT_EQ(current(), 3);
    EXPECT_EQ(w.AnswerWord, u"car"_s);
}

TEST_F(Method5Test, AUserWordIsDictatedOnceItsSoundIsMade)
{
    TForm2 &w = open({ u"rung*"_s }, true);
    if (m_noSound)
        GTEST_SKIP() << "sox or lame could not make the test tone";
    // Before its sound is made the word is silent and the commands stay usable.
    w.Button9->click();
    EXPECT_EQ(w.AnswerWord, u"rung"_s);
    EXPECT_FALSE(m_form->MPEG1->LibraryLoaded());
    EXPECT_TRUE(w.Button3->isEnabled());

    const std::filesystem::path sound = file(zarel::userSoundPath(17, "rung"));
    std::filesystem::create_directories(sound.parent_path());
    std::filesystem::copy_file(m_tone, sound);
    w.Button3->click();
    EXPECT_TRUE(m_form->MPEG1->LibraryLoaded());
    EXPECT_FALSE(w.Button3->isEnabled());
    ASSERT_TRUE(waitForSoundEnd());
    EXPECT_TRUE(w.Button3->isEnabled());
}

TEST_F(Method5Test, ListWithoutEnglishWordsSaysSo)
{
    TForm2 &w = open({ u"kitap"_s, u"cadde"_s, u"çay"_s });
    w.Button9->click();
    EXPECT_TRUE(w.Running);
    EXPECT_FALSE(w.Label1->isHidden());
    EXPECT_TRUE(w.AnswerWord.isEmpty());

    // An empty answer is not taken as right; the steps end without a word.
    w.Label1->hide();
    w.Button2->click();
    EXPECT_FALSE(w.Label1->isHidden());
    EXPECT_TRUE(w.MediaPlayer1->FileName.empty());
    for (QPushButton *button : { w.Button8, w.Button7 }) {
        w.Label1->hide();
        button->click();
        EXPECT_FALSE(w.Label1->isHidden());
        EXPECT_EQ(current(), 0);
    }
}

TEST_F(Method5Test, RandomOrderDrawsForNextAndPrevious)
{
    TForm2 &w = open({ u"Book*"_s, u"car*"_s, u"card*"_s, u"run*"_s });
    w.CheckBox1->click();
    for (QPushButton *button : { w.Button8, w.Button7 }) {
        const int direction = button == w.Button8 ? 1 : -1;
        std::set<int> seen;
        bool leftListOrder = false;
        for (int press = 0; press < 200 && (seen.size() < 4 || !leftListOrder); ++press) {
            const int before = current();
            button->click();
            seen.insert(current());
            leftListOrder = leftListOrder || current() != (before + direction + 4) % 4;
        }
        EXPECT_EQ(seen.size(), 4u);
        EXPECT_TRUE(leftListOrder);
    }
}

TEST_F(Method5Test, HelpPageAndExitLeavingTheTag)
{
    TForm2 &w = open({ u"Book*"_s });
    EXPECT_EQ(w.PrgBar1->maximum(), 1); // one entry: still a range, not a busy bar
    bool seen = false;
    whenShown<TForm8>([](TForm8 *help) { help->reject(); }, &seen);
    w.Action1->trigger();
    EXPECT_TRUE(seen);
    EXPECT_TRUE(m_form->HelpPath.endsWith(u"/hlp/metod5.htm"_s));

    m_form->Tag = 1;
    w.Button5->click();
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_EQ(m_form->Tag, 1);
    EXPECT_FALSE(w.Timer1->isActive());
}
