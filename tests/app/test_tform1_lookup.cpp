// The lookup driven through real widgets: typing, Enter, Ctrl, the tabs, the letter buttons, the
// double click in the article pane and the add-word dialog.
#include "apptestenvironment.h"

#include "app/combokeys.h"
#include "app/tnewword.h"
#include "app/ttabcontrol.h"
#include "app/wordlistmodel.h"
#include "dictionary/codepage1254.h"
#include "dictionary/lettertabs.h"

#include <filesystem>
#include <functional>

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSignalSpy>
#include <QTest>
#include <QTextCursor>
#include <QTimer>
#include <QToolButton>

using namespace Qt::Literals::StringLiterals;
using zarel::test::baseEntry;
using zarel::test::userEntry;

namespace {

std::string cp(const std::string &utf8)
{
    return zarel::cp1254::fromUtf8(utf8);
}

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

// A double click with the left button, which ends with the button up again: Qt's double click
// alone leaves it held, and Ctrl with a held button is no Ctrl step.
void doubleClick(QWidget *widget, QPoint at)
{
    QTest::mouseDClick(widget, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, at);
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
            { 0,
              { baseEntry("add", article("add", "eklemek")),
                baseEntry("adding", article("adding", "ekleme")),
                baseEntry("adding machine", article("adding machine", "hesap makinesi")) } },
            { 8, { baseEntry("ink", article("ink", "mürekkep")) } },
            { 35,
              { baseEntry(cp("ılık"), article("\\'fdl\\'fdk", "lukewarm")),
                baseEntry(cp("ışık"), article("\\'fd\\'fe\\'fdk", "light")) } },
            { 36, { baseEntry(cp("ilaç"), article("ila\\'e7", "medicine")) } },
            // "kişi" comes first: ASCII casing would take "KIŞ" for its beginning.
            { 38,
              { baseEntry(cp("kişi"), article("ki\\'fei", "person")),
                baseEntry(cp("kış"), article("k\\'fd\\'fe", "winter")) } },
        });
        zarel::test::writeFile(file("Dictionary.cfg"), config);
        // The r words and the a words have their sound files (the user's "rung" has none), so
        // pronounce is offered for them.
        for (const char *folder : { "wave/18", "wave/1" }) {
            std::filesystem::create_directories(file(folder));
            for (const char *number : { "1", "2", "3" })
                zarel::test::writeFile(file(std::string(folder) + "/" + number + ".mp3"), "mp3");
        }
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

    // Enter leaves the text wholly selected: the next word replaces it, and typing a headword
    // exactly shows its article without Enter.
    EXPECT_EQ(edit()->selectedText(), u"Run"_s);
    QTest::keyClicks(box(), u"runner"_s);
    EXPECT_EQ(form.Combo->currentText(), u"runner"_s);
    EXPECT_TRUE(pane().startsWith(u"runner koşucu"_s)) << pane().toStdString();
}

TEST_F(LookupTest, FirstCharacterChoosesTheTab)
{
    TForm1 &form = start();
    QTest::keyClicks(box(), u"1"_s); // (code AND 31) - 1 = 16
    EXPECT_EQ(form.TabControl1->tabIndex(), 16);
    EXPECT_EQ(form.Combo->count(), 1);

    form.KbTr1Click(); // Turkish to English
    // Each character starts a new word in the emptied box.
    QTest::keyClick(box(), Qt::Key_Backspace);
    typeText(box(), u"ş"_s);
    EXPECT_EQ(form.TabControl1->tabIndex(), 47);
    QTest::keyClick(box(), Qt::Key_Backspace);
    typeText(box(), u"ğ"_s); // not in the table: the tab stays
    EXPECT_EQ(form.TabControl1->tabIndex(), 47);
    QTest::keyClick(box(), Qt::Key_Backspace);
    QTest::keyClicks(box(), u"a"_s);
    EXPECT_EQ(form.TabControl1->tabIndex(), 26);
    EXPECT_FALSE(form.Button7->isEnabled()); // Turkish tabs cannot be pronounced
}

TEST_F(LookupTest, EditingKeysNeverSwitchTheTab)
{
    TForm1 &form = start();
    QTest::keyClicks(box(), u"ru"_s);
    QTest::keyClick(box(), Qt::Key_Control); // steps on; the headword is wholly selected
    ASSERT_EQ(edit()->selectedText(), form.Combo->currentText());
    QTest::keyClick(box(), Qt::Key_Backspace);
    EXPECT_TRUE(form.Combo->currentText().isEmpty());
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
    auto *keys = form.findChild<ComboKeys *>();
    ASSERT_NE(keys, nullptr);
    QTest::keyPress(box(), Qt::Key_Control);
    EXPECT_EQ(form.Combo->currentIndex(), 0);
    // Past the repeat delay the steps go on by themselves up to the last headword.
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.Combo->currentIndex() == 3; }, 10000));
    EXPECT_TRUE(keys->repeating());
    QTest::keyRelease(box(), Qt::Key_Control);
    EXPECT_FALSE(keys->repeating()); // released: no more steps
    EXPECT_EQ(form.Combo->currentIndex(), 3);
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

TEST_F(LookupTest, SpaceOverTheFoundHeadwordBringsItBack)
{
    TForm1 &form = start();
    QTest::keyClicks(box(), u"Runner"_s);
    QTest::keyClick(box(), Qt::Key_Return);
    QTest::keyClick(box(), Qt::Key_Space);
    EXPECT_EQ(form.Combo->currentText(), u"runner"_s);
    EXPECT_EQ(edit()->selectedText(), u"runner"_s); // and a second blank does it again
    EXPECT_EQ(form.TabControl1->tabIndex(), 17);
    QTest::keyClick(box(), Qt::Key_Space);
    EXPECT_EQ(form.Combo->currentText(), u"runner"_s);
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
        doubleClick(form.RichEdit1->viewport(), form.RichEdit1->cursorRect(c).center());
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

// Every way the program puts a headword into the box leaves it wholly selected, so the next
// word typed replaces it and starts on its own letter's tab instead of being appended.
TEST_F(LookupTest, NextWordReplacesTheHeadwordEveryLookupLeaves)
{
    const struct
    {
        const char *how;
        std::function<void(TForm1 &)> lookUp;
    } cases[] = {
        { "Enter",
          [this](TForm1 &) {
              QTest::keyClicks(box(), u"run"_s);
              QTest::keyClick(box(), Qt::Key_Return);
          } },
        { "Ctrl",
          [this](TForm1 &) {
              QTest::keyClicks(box(), u"ru"_s);
              QTest::keyClick(box(), Qt::Key_Control);
          } },
        { "Down arrow",
          [this](TForm1 &) {
              QTest::keyClicks(box(), u"ru"_s);
              QTest::keyClick(box(), Qt::Key_Down);
          } },
        { "a click in the drop-down list",
          [this](TForm1 &f) {
              QTest::keyClicks(box(), u"ru"_s);
              QListView *list = f.Combo->popupList();
              ASSERT_TRUE(f.Combo->isPopupVisible());
              QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                                list->visualRect(list->model()->index(2, 0)).center());
          } },
        { "a tab click", [](TForm1 &f) { f.TabControl1->tabBar()->setCurrentIndex(17); } },
        { "the clipboard",
          [](TForm1 &) {
              QSignalSpy changed(QApplication::clipboard(), &QClipboard::dataChanged);
              QApplication::clipboard()->setText(u"runner"_s);
              ASSERT_TRUE(QTest::qWaitFor([&] { return changed.count() > 0; }, 10000));
          } },
        { "a double click in the article",
          [](TForm1 &f) {
              f.RichEdit1->setPlainText(u"runner"_s);
              QTextCursor c(f.RichEdit1->document());
              c.setPosition(2);
              doubleClick(f.RichEdit1->viewport(), f.RichEdit1->cursorRect(c).center());
          } },
        { "a drill that closes",
          [](TForm1 &f) {
              // A drill hides the window, leaves its headword in the box and shows it again.
              f.hide();
              f.selectTab(17);
              f.selectItem(1);
              {
                  const QSignalBlocker blocker(f.Combo);
                  f.Combo->setEditText(u"run"_s);
              }
              f.show();
              ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
              f.Combo->setFocus();
          } },
    };
    TForm1 &form = start();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.how);
        c.lookUp(form);
        ASSERT_EQ(form.TabControl1->tabIndex(), 17);
        ASSERT_FALSE(form.Combo->currentText().isEmpty());
        EXPECT_EQ(edit()->selectedText(), form.Combo->currentText());

        QTest::keyClicks(box(), u"quick"_s);
        ASSERT_EQ(form.Combo->currentText(), u"quick"_s); // Enter on anything else: a dialog
        EXPECT_EQ(form.TabControl1->tabIndex(), 16);
        QTest::keyClick(box(), Qt::Key_Return);
        EXPECT_TRUE(pane().startsWith(u"quick hızlı"_s)) << pane().toStdString();
        // Back to an empty box on another tab for the next case.
        QTest::keyClick(box(), Qt::Key_Backspace);
        form.selectTab(3);
    }
}

TEST_F(LookupTest, BlanksTypedInAWordAreBlanks)
{
    TForm1 &form = start();
    // "adding" is a headword of its own; the blank after it is still part of the word.
    QTest::keyClicks(box(), u"adding machine"_s);
    EXPECT_EQ(form.Combo->currentText(), u"adding machine"_s);
    EXPECT_TRUE(pane().startsWith(u"adding machine hesap makinesi"_s)) << pane().toStdString();
    QTest::keyClick(box(), Qt::Key_Return);
    EXPECT_EQ(form.Combo->currentIndex(), 2);
    EXPECT_EQ(form.LastItemIndex, 2);

    // A blank at the end of a typed word stays, and Enter looks the text up as it is.
    QTest::keyClicks(box(), u"add "_s);
    EXPECT_EQ(form.Combo->currentText(), u"add "_s);
    EXPECT_EQ(form.TabControl1->tabIndex(), 0);
}

TEST_F(LookupTest, DottedAndDotlessIFoldByTheLanguageOfTheTab)
{
    TForm1 &form = start();
    const auto lookUp = [&](const QString &typed) {
        typeText(box(), typed);
        QTest::keyClick(box(), Qt::Key_Return);
    };
    bool dialogOpened = false;
    const struct
    {
        QString typed;
        int tab;
        QString article;
    } cases[] = {
        { u"INK"_s, 8, u"ink mürekkep"_s }, // English tab: the ASCII pair I/i
        { u"IŞIK"_s, 35, u"ışık light"_s },  { u"ILIK"_s, 35, u"ılık lukewarm"_s },
        { u"KIŞ"_s, 38, u"kış winter"_s },   { u"İLAÇ"_s, 36, u"ilaç medicine"_s },
        { u"KİŞİ"_s, 38, u"kişi person"_s },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        if (c.tab >= 26 && !form.KbTr1->isChecked())
            form.KbTr1Click();
        whenDialogOpens([](TNewWord *d) { d->Button2->click(); }, &dialogOpened);
        lookUp(c.typed);
        EXPECT_EQ(form.TabControl1->tabIndex(), c.tab);
        EXPECT_TRUE(pane().startsWith(c.article)) << pane().toStdString();
        EXPECT_EQ(form.Combo->currentText(), c.typed); // as typed
    }
    EXPECT_FALSE(dialogOpened) << "a headword was taken for a new word";

    // While typing, the open list follows by the same casing.
    QTest::keyClick(box(), Qt::Key_Backspace);
    typeText(box(), u"KIŞ"_s);
    EXPECT_EQ(form.Combo->currentIndex(), 1);
    EXPECT_EQ(form.Combo->popupList()->currentIndex().row(), 1);
}

TEST_F(LookupTest, TabChangeClosesTheListOfTheOldLetter)
{
    TForm1 &form = start();
    QTest::keyClicks(box(), u"r"_s);
    ASSERT_TRUE(form.Combo->isPopupVisible());
    form.TabControl1->tabBar()->setCurrentIndex(16); // as a click does
    EXPECT_FALSE(form.Combo->isPopupVisible());
    EXPECT_EQ(form.Combo->currentText(), u"quick"_s);
    EXPECT_TRUE(pane().startsWith(u"quick hızlı"_s));
    // Typing opens the list of the new letter.
    QTest::keyClicks(box(), u"r"_s);
    EXPECT_TRUE(form.Combo->isPopupVisible());
    EXPECT_EQ(form.Combo->popupList()->model(), form.Combo->model());
}
