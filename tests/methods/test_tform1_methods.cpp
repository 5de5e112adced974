// The main window's launchers: a method window replaces the main window while it is open, and the
// article pane follows the headword the method left; the hangman gets the first list word.
#include "methodtestsupport.h"

#include "methods/tform3.h"

#if __has_include("hangman/thangform1.h")
#include "hangman/thangform1.h"
#endif

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

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
#endif
