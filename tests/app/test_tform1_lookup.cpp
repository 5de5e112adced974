// The lookup driven through real widgets: typing, Enter, Ctrl, the tabs, the letter buttons, the
// double click in the article pane and the add-word dialog.
#include "apptestenvironment.h"

#include "app/ttabcontrol.h"
#include "app/wordlistmodel.h"
#include "dictionary/codepage1254.h"
#include "dictionary/lettertabs.h"
#include "dictionary/tnewword.h"

#include <functional>

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextCursor>
#include <QTimer>
#include <QToolButton>

using namespace Qt::Literals::StringLiterals;
using zarel::test::baseEntry;
using zarel::test::userEntry;

namespace {

std::string article(const std::string &headword, const std::string &meaning)
{
    return "{\\rtf1\\ansi\\ansicpg1254{\\fonttbl{\\f0\\fcharset162 Times New Roman;}}\\f0{\\b "
        + headword + "} " + zarel::cp1254::fromUtf8(meaning) + "\\par}";
}

// Runs `act` on the add-word dialog once it is open (modal), then returns.
void whenDialogOpens(std::function<void(TNewWord *)> act, bool *opened)
{
    QTimer::singleShot(50, [act, opened] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *dialog = qobject_cast<TNewWord *>(w); dialog && dialog->isVisible()) {
                *opened = true;
                act(dialog);
                return;
            }
        }
    });
}

// Types text that QTest's ASCII key table cannot express (Turkish letters), one key a character.
void typeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}

class LookupTest : public FormTest
{
protected:
    TForm1 &start(const std::string &config = "11111")
    {
        writeDictionary({
            { 17,
              { baseEntry("ran", article("ran", "koştu")),
                baseEntry("run", article("run", "koşmak")),
                baseEntry("runner", article("runner", "koşucu")),
                userEntry("rung", article("rung", "basamak")) } },
            { 16, { baseEntry("quick", article("quick", "hızlı")) } },
            { 47,
              { baseEntry("\xFE"
                          "eker",
                          article("\\'fe eker", "sugar")) } },
            { 26, { baseEntry("ağaç", article("a\\'f0a\\'e7", "tree")) } },
        });
        zarel::test::writeFile(file("Dictionary.cfg"), config);
        TForm1 &form = startForm();
        form.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&form));
        return form;
    }
    QLineEdit *edit() { return m_form->Combo->lineEdit(); }
    // Keys go to the word box, which has the focus and hands them on to its edit field.
    QComboBox *box() { return m_form->Combo; }
    QString pane() { return m_form->RichEdit1->toPlainText(); }
};

} // namespace

TEST_F(LookupTest, ArticleAppearsOnlyForTheExactHeadwordAndEnterKeepsTheTypedCase)
{
    TForm1 &form = start();
    QTest::keyClicks(box(), u"Run"_s);
    EXPECT_EQ(form.TabControl1->tabIndex(), 17);
    EXPECT_TRUE(form.Combo->isPopupVisible()); // the list is offered
    EXPECT_EQ(form.Combo->currentIndex(), 1); // on "run"
    EXPECT_FALSE(pane().contains(u"koşmak"_s)); // but "Run" is not "run"

    QTest::keyClick(box(), Qt::Key_Return);
    EXPECT_TRUE(pane().startsWith(u"run koşmak"_s)) << pane().toStdString();
    EXPECT_EQ(form.Combo->currentText(), u"Run"_s);
    EXPECT_EQ(edit()->cursorPosition(), 3);
    EXPECT_EQ(form.LastTab, 17);
    EXPECT_EQ(form.LastItemIndex, 1);
    EXPECT_TRUE(form.Button7->isEnabled());

    // Typing the headword exactly shows its article without Enter.
    QTest::keyClick(box(), Qt::Key_A, Qt::ControlModifier); // select all
    QTest::keyClicks(box(), u"runner"_s);
    EXPECT_TRUE(pane().startsWith(u"runner koşucu"_s)) << pane().toStdString();
}

TEST_F(LookupTest, FirstCharacterChoosesTheTab)
{
    TForm1 &form = start();
    QTest::keyClicks(box(), u"1"_s); // (code AND 31) - 1 = 16
    EXPECT_EQ(form.TabControl1->tabIndex(), 16);
    EXPECT_EQ(form.Combo->count(), 1);

    form.KbTr1Click(); // Turkish to English
    edit()->selectAll();
    typeText(box(), u"ş"_s);
    EXPECT_EQ(form.TabControl1->tabIndex(), 47);
    edit()->selectAll();
    typeText(box(), u"ğ"_s); // not in the table: the tab stays
    EXPECT_EQ(form.TabControl1->tabIndex(), 47);
    edit()->selectAll();
    QTest::keyClicks(box(), u"a"_s);
    EXPECT_EQ(form.TabControl1->tabIndex(), 26);
    EXPECT_FALSE(form.Button7->isEnabled()); // Turkish tabs cannot be pronounced
}

TEST_F(LookupTest, EditingKeysNeverSwitchTheTab)
{
    TForm1 &form = start();
    QTest::keyClicks(box(), u"ru"_s);
    edit()->selectAll();
    QTest::keyClick(box(), Qt::Key_Backspace);
    EXPECT_EQ(form.TabControl1->tabIndex(), 17);
    QTest::keyClick(box(), Qt::Key_Home);
    QTest::keyClick(box(), Qt::Key_Escape);
    EXPECT_EQ(form.TabControl1->tabIndex(), 17);
}

TEST_F(LookupTest, EnterOnAnUnknownWordOpensTheAddWordDialog)
{
    TForm1 &form = start();
    QTest::keyClicks(box(), u"rx"_s);
    bool opened = false;
    QString presetWord;
    whenDialogOpens(
        [&](TNewWord *d) {
            presetWord = d->Edit1->text();
            d->Button2->click();
        },
        &opened);
    QTest::keyClick(box(), Qt::Key_Return);
    EXPECT_TRUE(opened);
    EXPECT_EQ(presetWord, u"rx"_s);
    EXPECT_EQ(form.wordList(17)->rowCount(), 4); // Cancel adds nothing
}

TEST_F(LookupTest, SavedWordJoinsTheListAtOnceAndAfterARestart)
{
    TForm1 &form = start();
    QTest::keyClicks(box(), u"rum"_s);
    bool opened = false;
    whenDialogOpens(
        [](TNewWord *d) {
            d->RichEdit1->append(u"içki"_s);
            d->Button1->click();
        },
        &opened);
    QTest::keyClick(box(), Qt::Key_Return);
    ASSERT_TRUE(opened);
    ASSERT_EQ(form.wordList(17)->rowCount(), 5);
    EXPECT_EQ(form.wordList(17)->headword(1), u"rum"_s); // after "ran", before "run"
    EXPECT_EQ(form.Dictionary.tab(17).soundNumbers,
              (std::vector<std::string> { "1", "0", "2", "3", "0" }));
    EXPECT_EQ(form.Combo->currentIndex(), 1);
    EXPECT_TRUE(pane().contains(u"içki"_s)) << pane().toStdString();

    closeForm();
    TForm1 &again = startForm();
    ASSERT_EQ(again.wordList(17)->rowCount(), 5);
    again.selectTab(17);
    again.selectItem(1);
    again.ComboBox1Change();
    EXPECT_TRUE(again.RichEdit1->toPlainText().contains(u"içki"_s));
}

TEST_F(LookupTest, CtrlStepsThroughTheHeadwords)
{
    TForm1 &form = start();
    form.selectTab(17);
    ASSERT_EQ(form.Combo->currentIndex(), -1);
    QTest::keyClick(box(), Qt::Key_Control);
    EXPECT_EQ(form.Combo->currentIndex(), 0);
    EXPECT_TRUE(pane().startsWith(u"ran koştu"_s));
    QTest::keyClick(box(), Qt::Key_Control);
    QTest::keyClick(box(), Qt::Key_Control);
    QTest::keyClick(box(), Qt::Key_Control);
    EXPECT_EQ(form.Combo->currentText(), u"rung"_s);
    QTest::keyClick(box(), Qt::Key_Control); // past the last: stays on the last
    EXPECT_EQ(form.Combo->currentText(), u"rung"_s);
    EXPECT_TRUE(pane().startsWith(u"rung basamak"_s));
}

TEST_F(LookupTest, HoldingCtrlRepeatsWhereThePlatformDoesNot)
{
    TForm1 &form = start();
    form.selectTab(17);
    QTest::keyPress(box(), Qt::Key_Control);
    EXPECT_EQ(form.Combo->currentIndex(), 0);
    QTest::qWait(700); // past the repeat delay
    QTest::keyRelease(box(), Qt::Key_Control);
    EXPECT_EQ(form.Combo->currentIndex(), 3); // stepped on to the last headword
    const int after = form.Combo->currentIndex();
    QTest::qWait(200);
    EXPECT_EQ(form.Combo->currentIndex(), after); // released: no more steps
}

TEST_F(LookupTest, TabClickShowsTheFirstHeadwordAndSetsThePronounceButton)
{
    TForm1 &form = start();
    form.TabControl1->tabBar()->setCurrentIndex(47); // as a click does
    EXPECT_EQ(form.Combo->currentText(), u"şeker"_s);
    EXPECT_TRUE(pane().contains(u"sugar"_s));
    EXPECT_FALSE(form.Button7->isEnabled());
    form.TabControl1->tabBar()->setCurrentIndex(17);
    EXPECT_EQ(form.Combo->currentText(), u"ran"_s);
    EXPECT_TRUE(form.Button7->isEnabled());
    // A tab whose index file held nothing gives an empty list and no crash.
    form.TabControl1->tabBar()->setCurrentIndex(3);
    EXPECT_EQ(form.Combo->count(), 0);
}

TEST_F(LookupTest, TurkishLetterButtons)
{
    TForm1 &form = start();
    form.selectTab(0);
    form.SpeedButton4->click();
    EXPECT_EQ(form.Combo->width(), 307);
    form.SpeedButton18->click(); // ş with an empty box: the ş tab
    EXPECT_EQ(form.TabControl1->tabIndex(), 47);
    EXPECT_EQ(form.Combo->currentText(), u"ş"_s);
    form.SpeedButton16->click(); // ö appended to the typed text
    EXPECT_EQ(form.Combo->currentText(), u"şö"_s);
    EXPECT_EQ(form.TypedText, u"şö"_s);
    EXPECT_EQ(edit()->cursorPosition(), 2);
    form.SpeedButton4->click();
    EXPECT_EQ(form.Combo->width(), 475);
}

TEST_F(LookupTest, SpaceReleaseBringsBackTheLastHeadword)
{
    TForm1 &form = start();
    QTest::keyClicks(box(), u"runner"_s);
    edit()->selectAll();
    QTest::keyClick(box(), Qt::Key_Space);
    EXPECT_EQ(form.Combo->currentText(), u"runner"_s);
    EXPECT_EQ(form.TabControl1->tabIndex(), 17);
}

TEST_F(LookupTest, DoubleClickLooksUpTheLongestLeadingPart)
{
    TForm1 &form = start();
    form.selectTab(16);
    form.selectItem(0);
    form.ComboBox1Change();
    form.RichEdit1->setPlainText(u"she was running fast xyzzy"_s);
    const auto doubleClickWord = [&](int position) {
        QTextCursor c(form.RichEdit1->document());
        c.setPosition(position);
        QTest::mouseDClick(form.RichEdit1->viewport(), Qt::LeftButton, Qt::NoModifier,
                           form.RichEdit1->cursorRect(c).center());
    };
    doubleClickWord(10); // "running": running, runnin, runni, runn -> runner
    EXPECT_EQ(form.TabControl1->tabIndex(), 17);
    EXPECT_EQ(form.Combo->currentText(), u"runner"_s);
    EXPECT_TRUE(pane().startsWith(u"runner koşucu"_s));

    form.RichEdit1->setPlainText(u"she was running fast xyzzy"_s);
    doubleClickWord(pane().size() - 2); // "xyzzy" matches nothing on the x tab
    EXPECT_EQ(form.TabControl1->tabIndex(), 23);
    EXPECT_EQ(form.Combo->currentIndex(), -1);
    EXPECT_TRUE(pane().startsWith(u"she was"_s)); // the pane keeps what it showed

    form.ControlC1Click(); // clipboard translation off: no lookup
    doubleClickWord(1);
    EXPECT_EQ(form.TabControl1->tabIndex(), 23);
}
