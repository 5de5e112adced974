// The main window's launchers: a method window replaces the main window while it is open, and the
// article pane follows the headword the method left; the hangman gets the first list word.
#include "methodtestsupport.h"

#include "app/tnewword.h"
#include "app/ttabcontrol.h"
#include "methods/tform3.h"
#include "methods/tform6.h"

#if __has_include("hangman/thangform1.h")
#include "hangman/thangform1.h"
#endif

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <tuple>

using namespace Qt::Literals::StringLiterals;

namespace {

class LauncherTest : public MethodTest
{
protected:
    // Adds headword `item` of `tab` to the word list the way the user does.
    void addHeadword(int tab, int item)
    {
        m_form->selectTab(tab);
        m_form->selectItem(item);
        m_form->Button1Click();
    }
    bool methodWindowsLeft() const
    {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (qobject_cast<TMethodForm *>(w) != nullptr)
                return true;
        }
        return false;
    }
};

} // namespace

TEST_F(LauncherTest, MethodWindowHidesTheMainWindowAndTheLookupFollowsItsWord)
{
    startDictionary();
    m_form->show();
    EXPECT_FALSE(m_form->Button5->isEnabled()); // an empty list has no method
    addHeadword(38, 0); // kitap
    addHeadword(1, 0); // book*
    ASSERT_TRUE(m_form->Button5->isEnabled());
    m_form->selectTab(2);
    m_form->selectItem(-1);
    m_form->RichEdit1->setPlainText(u"old"_s);

    bool seen = false;
    bool mainHidden = false;
    whenShown<TForm3>(
        [&](TForm3 *w) {
            mainHidden = m_form->isHidden();
            w->Button5->click();
            w->Button5->click(); // entry 1: book
            w->Button1->click();
        },
        &seen);
    m_form->Button5->click();
    EXPECT_TRUE(seen);
    EXPECT_TRUE(mainHidden);
    EXPECT_TRUE(m_form->isVisible());
    EXPECT_FALSE(methodWindowsLeft());
    EXPECT_EQ(m_form->Combo->currentText(), u"book"_s);
    EXPECT_EQ(m_form->RichEdit1->toPlainText(), u"book: kitap"_s);
    EXPECT_EQ(m_form->ListBox1->currentRow(), 1);
    EXPECT_EQ(m_form->Tag, 0);
}

TEST_F(LauncherTest, ArticlePaneIsClearedWhenTheMethodLeftNoHeadword)
{
    startDictionary();
    m_form->show();
    addHeadword(1, 0);
    setList({ u"xyz*"_s });
    m_form->RichEdit1->setPlainText(u"old"_s);
    whenShown<TForm3>([](TForm3 *w) {
        w->Button5->click();
        w->Button1->click();
    });
    m_form->Button5Click();
    EXPECT_TRUE(m_form->Combo->currentText().isEmpty());
    EXPECT_TRUE(m_form->RichEdit1->toPlainText().isEmpty());
}

TEST_F(LauncherTest, AfterMethod4TheMainWindowShowsTheLastDrilledWordThroughout)
{
    startDictionary(true); // "card" has a sound to pronounce
    m_form->show();
    addHeadword(38, 0); // kitap
    addHeadword(2, 1); // card*
    // The user looks up "book" before opening the method.
    m_form->selectTab(1);
    m_form->selectItem(0);
    m_form->ComboBox1Change();
    ASSERT_EQ(m_form->RichEdit1->toPlainText(), u"book: kitap"_s);

    for (const auto &[drilled, tab, text] :
         { std::tuple { 1, 2, u"card"_s }, std::tuple { 0, 38, u"kitap"_s } }) {
        SCOPED_TRACE(text.toStdString());
        whenShown<TForm6>([drilled](TForm6 *w) {
            QTest::mouseClick(w->Button5, Qt::LeftButton); // start: entry 0
            if (drilled == 1)
                QTest::mouseClick(w->Button7, Qt::LeftButton); // next: entry 1
            QTest::mouseClick(w->Button2, Qt::LeftButton); // exit
        });
        QTest::mouseClick(m_form->Button16, Qt::LeftButton);
        ASSERT_TRUE(m_form->isVisible());
        // The box, the tab, the selection and the article all name the last drilled word.
        EXPECT_EQ(m_form->TabControl1->tabIndex(), tab);
        EXPECT_EQ(m_form->Combo->currentText(), text);
        EXPECT_EQ(m_form->Combo->itemText(m_form->Combo->currentIndex()), text);
        EXPECT_TRUE(m_form->RichEdit1->toPlainText().startsWith(text + u": "_s));
        EXPECT_EQ(m_form->Button7->isEnabled(), tab < 26); // pronounce: "card", not "kitap"
        // The text is wholly selected, so the next word typed replaces it.
        EXPECT_EQ(m_form->Combo->lineEdit()->selectedText(), text);
        // Enter finds the word itself: no add-word dialog comes up.
        bool added = false;
        whenShown<TNewWord>([](TNewWord *dialog) { dialog->reject(); }, &added);
        QTest::keyClick(m_form->Combo, Qt::Key_Return);
        QCoreApplication::processEvents();
        EXPECT_FALSE(added);
        EXPECT_TRUE(m_form->RichEdit1->toPlainText().startsWith(text + u": "_s));
    }
}

TEST_F(LauncherTest, MethodWithoutListOpensNothing)
{
    startDictionary();
    m_form->show();
    m_form->Button5Click();
    EXPECT_TRUE(m_form->isVisible());
    EXPECT_FALSE(methodWindowsLeft());
}

#if __has_include("hangman/thangform1.h")
TEST_F(LauncherTest, HangmanStartsOnTheFirstListWordWithTheSelectionOnIt)
{
    startDictionary();
    m_form->show();
    setList({ u"book*"_s, u"kitap"_s });
    m_form->ListBox1->setCurrentRow(1);
    bool seen = false;
    int tagWhileOpen = 0;
    int rowWhileOpen = -1;
    whenShown<THangForm1>(
        [&](THangForm1 *w) {
            tagWhileOpen = m_form->Tag;
            rowWhileOpen = m_form->ListBox1->currentRow();
            w->Button4Click();
        },
        &seen);
    m_form->Button10->click();
    EXPECT_TRUE(seen);
    EXPECT_EQ(tagWhileOpen, 1);
    EXPECT_EQ(rowWhileOpen, 0);
    EXPECT_EQ(m_form->Tag, 0);
    EXPECT_TRUE(m_form->isVisible());
}

TEST_F(LauncherTest, AfterTheHangmanTheMainWindowShowsOneEntry)
{
    startDictionary();
    m_form->show();
    addHeadword(38, 0); // kitap
    // Every random draw lands on the first tab with a long enough headword: b, "book".
    THangForm1::setRandomSource([](size_t) { return size_t { 0 }; });
    for (const bool translated : { false, true }) {
        SCOPED_TRACE(translated);
        m_form->selectTab(17);
        m_form->selectItem(0);
        m_form->ComboBox1Change(); // "run" on show before the game
        whenShown<THangForm1>([translated](THangForm1 *h) {
            QTest::mouseClick(h->RadioButton2, Qt::LeftButton); // random English word
            QTest::mouseClick(h->Button1, Qt::LeftButton);
            if (translated) {
                QTest::mouseClick(h->Button2, Qt::LeftButton);
                QTest::mouseClick(h->Button3, Qt::LeftButton);
            }
            QTest::mouseClick(h->Button4, Qt::LeftButton);
        });
        QTest::mouseClick(m_form->Button10, Qt::LeftButton);
        ASSERT_TRUE(m_form->isVisible());
        EXPECT_EQ(m_form->TabControl1->tabIndex(), 1);
        // The translated word is on show; without one the box and the pane are empty, not
        // "run"'s article under the b tab.
        EXPECT_EQ(m_form->Combo->currentText(), translated ? u"book"_s : QString());
        EXPECT_EQ(m_form->RichEdit1->toPlainText(), translated ? u"book: kitap"_s : QString());
    }
    THangForm1::setRandomSource({});
}
#endif
