// Clipboard translation in the main window: copied text is looked up by its longest leading
// part in the current direction; the pop-up rule and its exception while the hangman is open;
// text copied while a method window is open waits until the method has closed.
#include "apptestenvironment.h"

#include "app/ttabcontrol.h"
#include "dictionary/codepage1254.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;
using zarel::test::baseEntry;

namespace {

std::string cp(const std::string &utf8)
{
    return zarel::cp1254::fromUtf8(utf8);
}

class ClipboardTest : public FormTest
{
protected:
    TForm1 &start(const std::string &config)
    {
        writeDictionary({
            { 17,
              { baseEntry("run", "{\\rtf1 run}"), baseEntry("run away", "{\\rtf1 run away}") } },
            { 16, { baseEntry("quick", "{\\rtf1 quick}") } },
            { 47,
              { baseEntry(cp("şeker"), "{\\rtf1 sugar}"),
                baseEntry(cp("şekerpancarı"), "{\\rtf1 sugar beet}") } },
        });
        zarel::test::writeFile(file("Dictionary.cfg"), config);
        return startForm();
    }
    // Copies `text` and waits until the clipboard has told its listeners, the window first.
    void copy(const QString &text)
    {
        QSignalSpy changed(QApplication::clipboard(), &QClipboard::dataChanged);
        QApplication::clipboard()->setText(text);
        ASSERT_TRUE(QTest::qWaitFor([&] { return changed.count() > 0; }, 10000));
    }
    QString pane() { return m_form->RichEdit1->toPlainText(); }
};

} // namespace

TEST_F(ClipboardTest, EnglishPhraseFindsItsLongestLeadingPart)
{
    TForm1 &form = start("10111");
    copy(u"  run away quickly"_s);
    EXPECT_EQ(form.TabControl1->tabIndex(), 17);
    EXPECT_EQ(form.Combo->currentText(), u"run away"_s);
    EXPECT_EQ(pane(), u"run away"_s);
    copy(u"runs"_s);
    EXPECT_EQ(form.Combo->currentText(), u"run"_s);
    copy(u"1st"_s); // the digit one gives the q tab; nothing there begins with "1"
    EXPECT_EQ(form.TabControl1->tabIndex(), 16);
    EXPECT_EQ(form.Combo->currentIndex(), -1);
    EXPECT_EQ(pane(), u"run"_s); // the pane keeps its article
    copy(u"     "_s); // blanks only: nothing
    EXPECT_EQ(form.TabControl1->tabIndex(), 16);
}

TEST_F(ClipboardTest, TurkishPhraseIsSearchedWithoutBlanks)
{
    TForm1 &form = start("10110");
    copy(u"şeker pancarı"_s);
    EXPECT_EQ(form.TabControl1->tabIndex(), 47);
    EXPECT_EQ(pane(), u"sugar beet"_s);
    copy(u"şekerler"_s);
    EXPECT_EQ(pane(), u"sugar"_s);
    form.selectTab(47);
    copy(u"123"_s); // no letter: the tab stays
    EXPECT_EQ(form.TabControl1->tabIndex(), 47);
}

TEST_F(ClipboardTest, OffLooksNothingUpAndAHugeTextReturns)
{
    TForm1 &form = start("00111");
    copy(u"run"_s);
    EXPECT_EQ(form.Combo->currentIndex(), -1);
    form.ControlC1Click();
    copy(QString(5'000'000, u'r')); // bounded search: returns at once
    EXPECT_EQ(form.TabControl1->tabIndex(), 17);
}

TEST_F(ClipboardTest, HangmanOpenStopsThePopUpButNotTheLookup)
{
    TForm1 &form = start("11111");
    form.show();
    form.Tag = 1;
    QWidget other;
    other.show();
    other.activateWindow();
    copy(u"run"_s);
    EXPECT_EQ(pane(), u"run"_s);
    EXPECT_FALSE(form.isMinimized());
}

TEST_F(ClipboardTest, TextCopiedDuringAMethodWaitsAndTheMainWindowStaysHidden)
{
    TForm1 &form = start("11111");
    form.selectTab(17);
    form.selectItem(0);
    form.Button1->click(); // "run" joins the word list
    form.show();
    const struct
    {
        const char *method;
        QPushButton *button;
    } methods[] = {
        { "Method 1", form.Button5 },  { "Method 2", form.Button9 },  { "Method 3", form.Button11 },
        { "Method 4", form.Button16 }, { "Method 5", form.Button12 },
    };
    for (const auto &m : methods) {
        SCOPED_TRACE(m.method);
        form.selectTab(16); // q: the copied word is elsewhere
        bool opened = false;
        bool hiddenAfterCopy = false;
        bool lookedUpMeanwhile = true;
        QTimer::singleShot(0, &form, [&] {
            ASSERT_TRUE(QTest::qWaitFor(
                [] { return qobject_cast<QDialog *>(QApplication::activeModalWidget()); }, 30000));
            opened = true;
            copy(u"run away quickly"_s);
            hiddenAfterCopy = form.isHidden();
            lookedUpMeanwhile = form.Combo->currentText() == u"run away"_s;
            qobject_cast<QDialog *>(QApplication::activeModalWidget())->close();
        });
        ASSERT_TRUE(m.button->isEnabled());
        m.button->click();
        ASSERT_TRUE(opened);
        EXPECT_TRUE(hiddenAfterCopy);
        EXPECT_FALSE(lookedUpMeanwhile);
        // Back from the method, the main window shows the copied text's entry as one.
        EXPECT_TRUE(form.isVisible());
        EXPECT_FALSE(form.isMinimized());
        EXPECT_EQ(form.Tag, 0);
        EXPECT_EQ(form.TabControl1->tabIndex(), 17);
        EXPECT_EQ(form.Combo->currentText(), u"run away"_s);
        EXPECT_EQ(form.Combo->currentIndex(), 1);
        EXPECT_EQ(pane(), u"run away"_s);
    }
    // With no method open a copy is looked up at once again.
    copy(u"run"_s);
    EXPECT_EQ(pane(), u"run"_s);
}
