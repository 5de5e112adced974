// Method 4 through its real widgets: the article without headword and transcription, the word
// order (list, random, previous), the answer check with the exam score, help and exit.
#include "methodtestsupport.h"

#include "help/tform8.h"
#include "methods/tform6.h"
#include "sound/wavplayer.h"

#include <algorithm>
#include <set>

#include <QAbstractItemModel>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

using namespace Qt::Literals::StringLiterals;
using zarel::test::baseEntry;

namespace {

class Method4Test : public MethodTest
{
protected:
    // apple's article is written as the dictionary builder writes it (bold headword, then the
    // transcription between slashes, then the senses); book's and kitap's are plain text.
    TForm6 &open(const std::string &config = "11111")
    {
        writeDictionary({
            { 0, { baseEntry("apple", "{\\rtf1\\ansi{\\b apple} /\\'e6pl/\\par 1. elma\\par}") } },
            { 1, { baseEntry("book", "book /bUk/ 1. kitap") } },
            { 38, { baseEntry("kitap", "kitap 1. book/volume") } },
        });
        zarel::test::writeFile(file("Dictionary.cfg"), config);
        startForm();
        setList({ u"apple*"_s, u"Book*"_s, u"kitap"_s, u"xyz*"_s });
        m_window = std::make_unique<TForm6>(m_form.get());
        return *m_window;
    }
    void TearDown() override
    {
        m_window.reset();
        MethodTest::TearDown();
    }
    std::unique_ptr<TForm6> m_window;
};

} // namespace

TEST_F(Method4Test, StartsStoppedWithEmptyPaneScoreAndTexts)
{
    TForm6 &w = open("11101"); // English interface
    EXPECT_EQ(w.WordIndex, 0);
    EXPECT_FALSE(w.Running);
    EXPECT_TRUE(w.RichEdit1->toPlainText().isEmpty());
    EXPECT_EQ(w.Label1->text(), u"0 - 0"_s);
    EXPECT_EQ(w.PrgBar1->maximum(), 4);
    EXPECT_TRUE(w.Timer3->isActive());
    EXPECT_EQ(w.HeaderControl1->model()->headerData(0, Qt::Horizontal).toString(), u"You"_s);
    EXPECT_EQ(w.HeaderControl1->model()->headerData(1, Qt::Horizontal).toString(), u"Me"_s);
    EXPECT_EQ(w.Button3->text(), u"Verification"_s);
    EXPECT_EQ(w.CheckBox2->text(), u"Exam"_s);
    EXPECT_EQ(w.Button5->toolTip(), u"Start/Stop"_s);

    m_form->N14->trigger();
    TForm6 again(m_form.get());
    EXPECT_EQ(again.HeaderControl1->model()->headerData(0, Qt::Horizontal).toString(), u"Siz"_s);
    EXPECT_EQ(again.HeaderControl1->model()->headerData(1, Qt::Horizontal).toString(), u"Ben"_s);
    EXPECT_EQ(again.Label4->text(), u"Sonuç"_s);
}

TEST_F(Method4Test, NextCutsHeadwordAndTranscriptionInListOrder)
{
    TForm6 &w = open();
    m_form->Combo->setEditText(u"typed"_s);
    m_form->ListBox1->setCurrentRow(2);

    // A fresh window's next word is entry 1: "book /bUk/" is cut up to the second slash.
    w.Button4->click();
    EXPECT_EQ(w.WordIndex, 1);
    EXPECT_EQ(w.AnswerWord, u"Book"_s);
    EXPECT_EQ(w.RichEdit1->toPlainText(), u" 1. kitap"_s);
    EXPECT_EQ(w.RichEdit1->textCursor().position(), 0);
    // The word box's text and the list selection stay.
    EXPECT_EQ(m_form->Combo->currentText(), u"typed"_s);
    EXPECT_EQ(m_form->ListBox1->currentRow(), 2);

    // A Turkish word loses its headword only; its slashes stay.
    w.Button7->click();
    EXPECT_EQ(w.RichEdit1->toPlainText(), u" 1. book/volume"_s);

    // No headword: the article and the typed text stay, but the answer is the new word.
    w.Edit1->setText(u"kit"_s);
    w.Button4->click();
    EXPECT_EQ(w.WordIndex, 3);
    EXPECT_EQ(w.AnswerWord, u"xyz"_s);
    EXPECT_EQ(w.PrgBar1->value(), 3);
    EXPECT_EQ(w.RichEdit1->toPlainText(), u" 1. book/volume"_s);
    EXPECT_EQ(w.Edit1->text(), u"kit"_s);

    // After the last entry comes entry 0: apple's rich article starts after the second slash.
    w.Button4->click();
    EXPECT_EQ(w.WordIndex, 0);
    EXPECT_TRUE(w.Edit1->text().isEmpty());
    EXPECT_TRUE(w.RichEdit1->toPlainText().startsWith(u"\n1. elma"_s))
        << w.RichEdit1->toPlainText().toStdString();
}

TEST_F(Method4Test, StartPresentsTheCurrentWordAndPreviousStepsInListOrder)
{
    TForm6 &w = open();
    w.Button5->click(); // the first start presents entry 0
    EXPECT_TRUE(w.Running);
    EXPECT_FALSE(w.Timer3->isActive());
    EXPECT_EQ(w.WordIndex, 0);
    EXPECT_EQ(w.AnswerWord, u"apple"_s);
    w.Button6->click(); // before entry 0 comes the last
    EXPECT_EQ(w.WordIndex, 3);
    w.Button5->click();
    EXPECT_FALSE(w.Running);
    EXPECT_TRUE(w.Timer3->isActive());
    w.Button5->click(); // started again on the same word
    EXPECT_EQ(w.WordIndex, 3);

    // Random order reaches every entry; previous still goes back in list order.
    w.CheckBox1->setChecked(true);
    std::set<int> seen;
    for (int press = 0; press < 200 && seen.size() < 4; ++press) {
        w.Button4->click();
        seen.insert(w.WordIndex);
        const int drawn = w.WordIndex;
        w.Button6->click();
        EXPECT_EQ(w.WordIndex, drawn == 0 ? 3 : drawn - 1);
        EXPECT_TRUE(w.CheckBox1->isChecked());
        w.Button4->click();
    }
    EXPECT_EQ(seen.size(), 4u);
}

TEST_F(Method4Test, AnswersAndRevealsKeepTheExamScore)
{
    TForm6 &w = open();
    // Stopped: check and show do nothing.
    w.Edit1->setText(u"apple"_s);
    w.Button3->click();
    w.Button8->click();
    EXPECT_EQ(w.Edit1->text(), u"apple"_s);
    EXPECT_TRUE(w.MediaPlayer1->FileName.empty());

    w.Button5->click();
    w.CheckBox2->setChecked(true);
    QTest::keyClicks(w.Edit1, u"APPLE"_s);
    QTest::keyClick(w.Edit1, Qt::Key_Return); // right: the next word follows
    EXPECT_TRUE(w.MediaPlayer1->FileName.ends_with("/da.wav"));
    EXPECT_EQ(w.WordIndex, 1);
    EXPECT_TRUE(w.Edit1->text().isEmpty());
    EXPECT_EQ(w.Label1->text(), u"1 - 0"_s);

    w.Edit1->setText(u"book "_s); // a trailing blank is wrong
    w.Button3->click();
    EXPECT_TRUE(w.MediaPlayer1->FileName.ends_with("/ne.wav"));
    EXPECT_EQ(w.Edit1->text(), u"book "_s);
    EXPECT_EQ(w.WordIndex, 1);
    w.Button8->click(); // a reveal counts against the user
    EXPECT_EQ(w.Edit1->text(), u"Book"_s);
    EXPECT_EQ(w.Label1->text(), u"1 - 2"_s);

    // Outside exam mode the score keeps its values.
    w.CheckBox2->setChecked(false);
    w.Button3->click();
    w.Edit1->setText(u"x"_s);
    w.Button3->click();
    w.Button8->click();
    EXPECT_EQ(w.Label1->text(), u"1 - 2"_s);
    EXPECT_EQ(w.RightCount(), 1);
    EXPECT_EQ(w.WrongCount(), 2);
}

TEST_F(Method4Test, HelpPageAndExit)
{
    TForm6 &w = open();
    bool seen = false;
    whenShown<TForm8>([](TForm8 *help) { help->reject(); }, &seen);
    w.SpeedButton1->click();
    EXPECT_TRUE(seen);
    EXPECT_TRUE(m_form->HelpPath.endsWith(u"/hlp/metod4.htm"_s));

    m_form->Tag = 1;
    w.Button2->click();
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_EQ(m_form->Tag, 0);
    EXPECT_FALSE(w.Timer3->isActive());
}

TEST_F(Method4Test, TheShownArticleNeverHoldsTheAnswer)
{
    writeDictionary({
        { 0,
          { baseEntry("apple", "apple /'\xe6pl/ 1. elma; apple juice: elma suyu; Apples grow"),
            baseEntry("apple blossom",
                      "apple blossom: elma \xe7i\xe7"
                      "e\xf0i; apple blossoms") } },
        { 38, { baseEntry("kitap", "kitap 1. book; kitapl\xfdk: bookcase; K\xddTAP") } },
    });
    zarel::test::writeFile(file("Dictionary.cfg"), "11111");
    startForm();
    setList({ u"apple*"_s, u"apple blossom*"_s, u"kitap"_s });
    m_window = std::make_unique<TForm6>(m_form.get());
    TForm6 &w = *m_window;
    w.show();

    const QString shown[] = {
        u" 1. elma; ~ juice: elma suyu; ~s grow"_s,
        u": elma çiçeği; ~s"_s,
        u" 1. book; ~lık: bookcase; ~"_s,
    };
    QTest::mouseClick(w.Button5, Qt::LeftButton); // start: entry 0
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(w.WordIndex, i);
        EXPECT_EQ(w.RichEdit1->toPlainText(), shown[i]);
        // The user types the answer and Enter; the right answer moves on to the next word.
        QTest::keyClicks(w.Edit1, w.AnswerWord);
        QTest::keyClick(w.Edit1, Qt::Key_Return);
    }
    EXPECT_EQ(w.WordIndex, 0);
}
