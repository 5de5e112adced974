// The hangman window driven offscreen over a real main window: texts and layout, wins and
// losses through the keyboard, the word sources, the translation pane, the scores of the run,
// help, and the main window's tag with its clipboard pop-up while the game is open.
#include "apptestenvironment.h"

#include "app/ttabcontrol.h"
#include "app/userdialogs.h"
#include "dictionary/codepage1254.h"
#include "hangman/thangform1.h"
#include "help/tform8.h"
#include "methods/methodsupport.h"

#include <algorithm>
#include <cstring>
#include <functional>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;
using zarel::hangman::Canvas;
using zarel::test::baseEntry;

namespace {

std::string cp(const std::string &utf8)
{
    return zarel::cp1254::fromUtf8(utf8);
}

std::string article(const std::string &text)
{
    return "{\\rtf1\\ansi\\ansicpg1254 " + cp(text) + "\\par}";
}

// Runs `act` on the first visible window of type W once one shows (modal windows block the
// caller). Gives up after thirty seconds.
template<class W> void whenShown(std::function<void(W *)> act)
{
    auto *poll
        = new QTimer(QCoreApplication::instance()); // freed with the application at the latest
    auto tries = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, act, tries] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *window = qobject_cast<W *>(w); window && window->isVisible()) {
                poll->deleteLater();
                poll->stop();
                act(window);
                return;
            }
        }
        if (++*tries > 1500)
            poll->deleteLater();
    });
    poll->start(20);
}

class HangmanTest : public FormTest
{
protected:
    void SetUp() override
    {
        FormTest::SetUp();
        m_oldConfirm = zarel::app::setConfirmHook([](const QString &) { return true; });
        m_oldFiles = zarel::app::setFileDialogHook(
            [this](const zarel::app::FileDialogRequest &) { return m_listFile; });
    }
    void TearDown() override
    {
        m_hang.reset();
        THangForm1::setRandomSource({});
        zarel::app::setConfirmHook(m_oldConfirm);
        zarel::app::setFileDialogHook(m_oldFiles);
        FormTest::TearDown();
    }

    // The dictionary: c car, card, cat; h house; o ox; s see; Turkish M masa, Ş şeker.
    TForm1 &start(const std::string &config = "11111")
    {
        writeDictionary({
            { 2,
              { baseEntry("car", article("car: araba")), baseEntry("card", article("card: kart")),
                baseEntry("cat", article("cat: kedi")) } },
            { 7, { baseEntry("house", article("house: ev")) } },
            { 14, { baseEntry("ox", article("ox: öküz")) } },
            { 18, { baseEntry("see", article("see: görmek")) } },
            { 40, { baseEntry("masa", article("masa: table")) } },
            { 47, { baseEntry(cp("şeker"), article("şeker: sugar")) } },
        });
        zarel::test::writeFile(file("Dictionary.cfg"), config);
        return startForm();
    }

    // Replaces the word list through the main window's open-list command.
    void setList(const std::string &lines)
    {
        zarel::test::writeFile(file("list.DIC"), lines);
        m_listFile = QString::fromStdString(file("list.DIC"));
        m_form->Button3->click();
    }

    // Opens the hangman as the launcher does, without its modal wait.
    THangForm1 &open()
    {
        m_form->Tag = 1;
        m_form->hide();
        m_hang = std::make_unique<THangForm1>(m_form.get());
        if (zarel::methods::listCount(*m_form) > 0) {
            zarel::methods::selectListEntry(*m_form, 0);
            m_hang->startFirstGame(zarel::methods::shownEntry(*m_form, 0),
                                   !zarel::methods::isEnglishEntry(*m_form, 0));
        }
        m_hang->show();
        return *m_hang;
    }

    // Types each character as a key carrying that text (any letter of any alphabet).
    void type(const QString &keys)
    {
        for (QChar ch : keys) {
            const auto code
                = ch.unicode() < 0x80 ? Qt::Key(ch.toUpper().unicode()) : Qt::Key_unknown;
            QTest::sendKeyEvent(QTest::Click, m_hang->Edit1, code, QString(ch), Qt::NoModifier);
        }
    }
    std::string word() const { return THangForm1::game().word(); }
    // The pattern as the player reads it (the blanks between letters may be no-break blanks).
    static QString patternOf(const THangForm1 &h)
    {
        return h.Label1->text().replace(QChar(0x00A0), u' ');
    }
    zarel::hangman::Scores scores() const { return THangForm1::game().scores(); }
    QString scoreText() const
    {
        return QString::number(scores().player) + u" - "_s + QString::number(scores().computer);
    }
    QColor scoreColour() const { return m_hang->Label3->palette().color(QPalette::WindowText); }
    QColor pixel(int x, int y) const { return m_hang->drawing().canvas().pixel(x, y); }

    std::unique_ptr<THangForm1> m_hang;
    QString m_listFile;

private:
    zarel::app::ConfirmHook m_oldConfirm;
    zarel::app::FileDialogHook m_oldFiles;
};

const QColor kGreen(0, 128, 0);
const QColor kRed(255, 0, 0);

} // namespace

TEST_F(HangmanTest, TextsFollowTheInterfaceLanguage)
{
    const struct
    {
        std::string config;
        QStringList texts; // Button3, Button1, Button2, hints of Button5 and Button4, Label4,
                           // the two sections, the four radio buttons
    } cases[] = {
        { "11111",
          { u"Çeviri"_s, u"Sonraki kelime"_s, u"Pes"_s, u"Yardım"_s, u"Çıkış"_s, u"Sonuç"_s,
            u"Siz"_s, u"Ben"_s, u"Listeden rasgele kelime"_s, u"İngilizce rasgele kelime"_s,
            u"Sıra ile listeden kelime"_s, u"Türkçe rasgele kelime"_s } },
        { "11101",
          { u"Translation"_s, u"Next word"_s, u"Loss"_s, u"Help"_s, u"Exit"_s, u"Results"_s,
            u"You"_s, u"Me"_s, u"Random word from list"_s, u"Random English word"_s,
            u"Next word from list"_s, u"Random Turkish word"_s } },
    };
    for (const auto &c : cases) {
        start(c.config);
        THangForm1 h(m_form.get());
        const QStringList shown {
            h.Button3->text(),
            h.Button1->text(),
            h.Button2->text(),
            h.Button5->toolTip(),
            h.Button4->toolTip(),
            h.Label4->text(),
            h.HeaderControl1->model()->headerData(0, Qt::Horizontal).toString(),
            h.HeaderControl1->model()->headerData(1, Qt::Horizontal).toString(),
            h.RadioButton1->text(),
            h.RadioButton2->text(),
            h.RadioButton3->text(),
            h.RadioButton4->text(),
        };
        EXPECT_EQ(shown, c.texts) << c.config;
        closeForm();
    }
}

TEST_F(HangmanTest, TheWindowFillsTheDesktopWithTheGameCentred)
{
    start();
    setList("house*\r\n");
    THangForm1 &h = open();
    const QSize desktop = QGuiApplication::primaryScreen()->geometry().size();
    const int dx = (desktop.width() - THangForm1::kDesignWidth) / 2;
    const int dy = (desktop.height() - THangForm1::kDesignHeight) / 2;
    EXPECT_EQ(h.size(), desktop);
    EXPECT_TRUE(h.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(h.Panel1->geometry(), QRect(75 + dx, dy, 335, 306));
    EXPECT_EQ(h.Panel4->geometry(), QRect(76 + dx, 312 + dy, 333, 185));
    EXPECT_FALSE(h.Panel4->isVisible());
    EXPECT_EQ(h.Image1->size(), QSize(80, 130));
    EXPECT_EQ(h.Label3->text(), u"0 - 0"_s);
    EXPECT_EQ(h.Label1->font().pixelSize(), 16);
    EXPECT_TRUE(h.Label1->font().bold());
    EXPECT_EQ(h.Edit1->maxLength(), 1);
    EXPECT_TRUE(h.RadioButton1->isChecked());
    EXPECT_TRUE(h.RadioButton1->isEnabled() && h.RadioButton3->isEnabled());
    EXPECT_FALSE(h.Button3->isEnabled());
    EXPECT_TRUE(h.Timer1->isActive());
    EXPECT_EQ(h.Timer1->interval(), 300);
    EXPECT_TRUE(h.wordFromList());
}

TEST_F(HangmanTest, AWinThroughTheKeyboard)
{
    start();
    setList("house*\r\n");
    THangForm1 &h = open();
    const int before = scores().player;
    EXPECT_EQ(word(), "house");
    EXPECT_EQ(patternOf(h), u"h _ _ _ e"_s);
    type(u"o"_s);
    EXPECT_EQ(patternOf(h), u"h O _ _ e"_s);
    EXPECT_EQ(h.Edit1->text(), u"o"_s); // the character just typed stays in the box
    type(u"Uz"_s);
    EXPECT_EQ(patternOf(h), u"h O U _ e"_s);
    EXPECT_EQ(pixel(10, 60), QColor(Qt::black)); // the first miss: the post
    EXPECT_FALSE(h.Button3->isEnabled());
    type(u"s"_s);
    EXPECT_EQ(patternOf(h), u"h O U S e"_s);
    EXPECT_EQ(h.Label2->text(), u"OUZS"_s);
    EXPECT_EQ(scores().player, before + 1);
    EXPECT_EQ(h.Label3->text(), scoreText());
    EXPECT_EQ(scoreColour(), kGreen);
    EXPECT_TRUE(h.Button3->isEnabled());
    type(u"q"_s); // the game is over
    EXPECT_EQ(h.Label2->text(), u"OUZS"_s);
}

TEST_F(HangmanTest, UpperCaseRevealsLikeLowerCaseAndADigitIsAMiss)
{
    start();
    setList(cp("şeker\r\n"));
    THangForm1 &h = open();
    EXPECT_EQ(patternOf(h), u"ş _ _ _ r"_s);
    type(u"E"_s);
    EXPECT_EQ(patternOf(h), u"ş E _ E r"_s);
    type(u"e"_s); // blocked in both cases
    type(u"7"_s);
    type(u"Ş"_s); // the Turkish capital of the open first letter: used already
    EXPECT_EQ(h.Label2->text(), u"E7"_s);
    type(u"ç"_s);
    EXPECT_EQ(h.Label2->text(), u"E7Ç"_s); // a Turkish guess shows in Turkish upper case
    EXPECT_EQ(THangForm1::game().misses(), 2);
    EXPECT_EQ(pixel(40, 10), QColor(Qt::black)); // the second miss: the beam
    type(u"ж"_s); // outside the code page: no guess
    EXPECT_EQ(h.Label2->text(), u"E7Ç"_s);
    type(u"k"_s);
    EXPECT_EQ(patternOf(h), u"ş E K E r"_s);
}

TEST_F(HangmanTest, TurkishWordsChangeCaseByTurkishRules)
{
    const struct
    {
        const char *list; // the word list, UTF-8
        QString keys;
        QString pattern;
        QString guessed;
    } cases[] = {
        // A Turkish word: i rises to İ, ı to I, and I is the capital of ı.
        { "kitap\r\n", u"iı"_s, u"k İ _ _ p"_s, u"İI"_s },
        { "kılıç\r\n", u"Ii"_s, u"k I _ I ç"_s, u"Iİ"_s },
        { "kaşık\r\n", u"ŞI"_s, u"k _ Ş I k"_s, u"ŞI"_s },
        // An English word keeps the ASCII rule: i rises to I, İ is another character.
        { "pig*\r\nkitap\r\n", u"İi"_s, u"p I g"_s, u"İI"_s },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.list);
        start();
        setList(cp(c.list));
        THangForm1 &h = open();
        type(c.keys);
        EXPECT_EQ(patternOf(h), c.pattern);
        EXPECT_EQ(h.Label2->text(), c.guessed);
        m_hang.reset();
        closeForm();
    }
}

TEST_F(HangmanTest, BlanksAndHyphensOfAPhraseShowFromTheStart)
{
    start();
    setList("run away*\r\nwell-to-do*\r\n");
    THangForm1 &h = open();
    EXPECT_EQ(patternOf(h), u"r _ _   _ _ _ y"_s);
    const int before = scores().player;
    type(u"unaw"_s); // no blank typed: the phrase is complete
    EXPECT_EQ(patternOf(h), u"r U N   A W A y"_s);
    EXPECT_EQ(scores().player, before + 1);
    EXPECT_TRUE(h.Button3->isEnabled());

    h.RadioButton3->click();
    h.Button1->click(); // the next list word
    EXPECT_EQ(patternOf(h), u"w _ _ _ - _ o - _ o"_s);
    type(u"-et"_s); // the hyphen is no guess of its own
    EXPECT_EQ(h.Label2->text(), u"ET"_s);
    EXPECT_EQ(patternOf(h), u"w E _ _ - T o - _ o"_s);
}

TEST_F(HangmanTest, LongWordsFitThePanel)
{
    const struct
    {
        const char *entry;
        bool breaksBetweenWordsOnly;
    } words[] = {
        { "house*", true },
        { "electroencephalographically*", true }, // one long word: one line, smaller
        { "to take into consideration*", true }, // a phrase wraps between its words
        // Words too long for a line even at the smallest size break between letters.
        { "supercalifragilisticexpialidocious and antidisestablishmentarianism*", false },
    };
    for (const auto &[entry, breaksBetweenWordsOnly] : words) {
        SCOPED_TRACE(entry);
        start();
        setList(std::string(entry) + "\r\n");
        THangForm1 &h = open();
        const QString shown = h.Label1->text();
        ASSERT_EQ(patternOf(h), QString::fromStdString(THangForm1::game().pattern()));
        // The whole pattern, laid out as the label lays it out, lies inside the label, and the
        // label inside the game's panel.
        const QRect needed
            = QFontMetrics(h.Label1->font())
                  .boundingRect(QRect(0, 0, h.Label1->width(), 100000), Qt::TextWordWrap, shown);
        EXPECT_LE(needed.width(), h.Label1->width());
        EXPECT_LE(needed.height(), h.Label1->height());
        EXPECT_TRUE(QRect(QPoint(0, 0), h.Panel1->size()).contains(h.Label1->geometry()));
        EXPECT_GE(h.Label1->font().pixelSize(), 6);
        // Only the blanks at the phrase's own blanks may break a line; the others are no-break.
        if (breaksBetweenWordsOnly) {
            EXPECT_EQ(shown.count(u' '), std::count(entry, entry + std::strlen(entry), ' ') * 3);
        }
        m_hang.reset();
        closeForm();
    }
    // A short word keeps the design size.
    start();
    setList("house*\r\n");
    EXPECT_EQ(open().Label1->font().pixelSize(), 16);
}

TEST_F(HangmanTest, TheWindowHasATitleInTheInterfaceLanguage)
{
    for (const auto &[config, title] :
         { std::pair { "11111", u"Adam Asmaca"_s }, std::pair { "11101", u"Hangman"_s } }) {
        start(config);
        THangForm1 h(m_form.get());
        EXPECT_EQ(h.windowTitle(), title);
        closeForm();
    }
}

TEST_F(HangmanTest, KeysThatTypeNoCharacterAreNoGuesses)
{
    start();
    setList("house*\r\ncat*\r\n");
    THangForm1 &h = open();
    for (Qt::Key key : { Qt::Key_Return, Qt::Key_Enter, Qt::Key_Backspace, Qt::Key_Escape,
                         Qt::Key_Left, Qt::Key_Delete })
        QTest::keyClick(h.Edit1, key);
    QTest::keyClick(h.Edit1, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(h.Label2->text(), QString());
    EXPECT_EQ(THangForm1::game().misses(), 0);
    EXPECT_EQ(word(), "house"); // Enter pressed no button
    EXPECT_TRUE(h.isVisible()); // Escape did not close the window
}

TEST_F(HangmanTest, AWordOfFirstAndLastLettersIsWonWhenDrawn)
{
    start();
    setList("see*\r\n");
    const int before = scores().player;
    THangForm1 &h = open();
    EXPECT_EQ(patternOf(h), u"s e e"_s);
    EXPECT_EQ(scores().player, before + 1);
    EXPECT_EQ(h.Label3->text(), scoreText());
    EXPECT_EQ(scoreColour(), kGreen);
    type(u"x"_s);
    EXPECT_EQ(h.Label2->text(), QString());
}

TEST_F(HangmanTest, TenMissesColourTheFigureAndSwingTheLegsTenTimes)
{
    start();
    setList("house*\r\n");
    THangForm1 &h = open();
    h.Timer1->stop(); // the swing is stepped by hand first
    const int before = scores().computer;
    type(u"abcdfgijk"_s);
    EXPECT_EQ(THangForm1::game().misses(), 9);
    EXPECT_EQ(pixel(37, 37), Canvas::background());
    type(u"l"_s);
    EXPECT_EQ(patternOf(h), u"H O U S E"_s);
    EXPECT_EQ(scores().computer, before + 1);
    EXPECT_EQ(h.Label3->text(), scoreText());
    EXPECT_EQ(scoreColour(), kRed);
    EXPECT_TRUE(h.Button3->isEnabled());
    EXPECT_EQ(pixel(37, 37), Canvas::lossRed());
    EXPECT_EQ(pixel(43, 37), Canvas::lossRed());
    EXPECT_EQ(pixel(40, 40), Canvas::lossOrange());
    EXPECT_EQ(pixel(38, 70), Canvas::lossOrange());
    EXPECT_EQ(h.drawing().swingCounter(), 10);
    type(u"o"_s);
    EXPECT_EQ(patternOf(h), u"H O U S E"_s);
    h.Button2->click(); // nothing to give up
    EXPECT_EQ(scores().computer, before + 1);

    const QImage afterLoss = h.drawing().canvas().image();
    h.Timer1Timer();
    EXPECT_EQ(h.drawing().swingCounter(), 9);
    EXPECT_NE(h.drawing().canvas().image(), afterLoss);

    // The rest runs on the window's own timer, one swing every 300 ms.
    QElapsedTimer clock;
    clock.start();
    h.Timer1->start();
    EXPECT_TRUE(QTest::qWaitFor([&] { return h.drawing().swingCounter() == 0; }, 30000));
    EXPECT_GE(clock.elapsed(), 8 * 300);
    EXPECT_EQ(h.drawing().canvas().image(), afterLoss); // ten swings end where they began
}

TEST_F(HangmanTest, GivingUpShowsTheWordInLowerCase)
{
    start();
    setList("house*\r\n");
    THangForm1 &h = open();
    type(u"O"_s);
    const int before = scores().computer;
    h.Button2->click();
    EXPECT_EQ(patternOf(h), u"h o u s e"_s);
    EXPECT_EQ(scores().computer, before + 1);
    EXPECT_EQ(h.Label3->text(), scoreText());
    EXPECT_EQ(scoreColour(), kRed);
    EXPECT_TRUE(h.Button3->isEnabled());
    h.Button2->click();
    EXPECT_EQ(scores().computer, before + 1);
    type(u"u"_s);
    EXPECT_EQ(h.Label2->text(), u"O"_s);
    EXPECT_EQ(pixel(10, 60), Canvas::background()); // nothing was drawn
}

TEST_F(HangmanTest, NextWordFromTheListSkipsShortWordsAndWraps)
{
    start();
    setList("house*\r\nox*\r\ncat*\r\n");
    THangForm1 &h = open();
    h.RadioButton3->click();
    type(u"z"_s);
    h.Button1->click();
    EXPECT_EQ(word(), "cat");
    EXPECT_EQ(m_form->ListBox1->currentRow(), 2);
    EXPECT_EQ(patternOf(h), u"c _ t"_s);
    EXPECT_EQ(h.Label2->text(), QString());
    EXPECT_EQ(pixel(10, 60), Canvas::background()); // a fresh drawing
    EXPECT_FALSE(h.Button3->isEnabled());
    h.Button1->click();
    EXPECT_EQ(word(), "house");
    EXPECT_EQ(m_form->ListBox1->currentRow(), 0);
    h.Button1->click();
    EXPECT_EQ(word(), "cat");
    EXPECT_TRUE(h.wordFromList());
}

TEST_F(HangmanTest, RandomWordFromTheListAndItsTranslation)
{
    start();
    setList("house*\r\nox*\r\ncat*\r\nmasa\r\n");
    THangForm1 &h = open();
    THangForm1::setRandomSource([](size_t n) { return n - 1; });
    h.Button1->click(); // RadioButton1 is checked
    EXPECT_EQ(word(), "masa");
    EXPECT_EQ(m_form->ListBox1->currentRow(), 3);
    EXPECT_TRUE(h.wordFromList());
    h.Button2->click();
    h.Button3->click();
    EXPECT_TRUE(h.Panel4->isVisible());
    EXPECT_EQ(m_form->TabControl1->tabIndex(), 40);
    EXPECT_EQ(m_form->Combo->currentText(), u"masa"_s);
    EXPECT_EQ(h.RichEdit1->toPlainText(), u"masa: table"_s);
    h.Button1->click();
    EXPECT_FALSE(h.Panel4->isVisible());
}

TEST_F(HangmanTest, RandomDictionaryWordsAndTheirTranslation)
{
    start();
    setList("ox*\r\n");
    THangForm1 &h = open();
    size_t counter = 0;
    THangForm1::setRandomSource([&counter](size_t n) { return counter++ % n; });

    const struct
    {
        QRadioButton *source;
        std::vector<std::string> words;
        std::vector<int> tabs;
    } cases[] = {
        { h.RadioButton2, { "car", "card", "cat", "house", "see" }, { 2, 2, 2, 7, 18 } },
        { h.RadioButton4, { "masa", cp("şeker") }, { 40, 47 } },
    };
    for (const auto &c : cases) {
        c.source->click();
        for (int i = 0; i < 6; ++i) {
            h.Button1->click();
            const auto it = std::find(c.words.begin(), c.words.end(), word());
            ASSERT_NE(it, c.words.end()) << word();
            const int tab = c.tabs[static_cast<size_t>(it - c.words.begin())];
            EXPECT_EQ(m_form->TabControl1->tabIndex(), tab);
            EXPECT_FALSE(h.wordFromList());
            EXPECT_FALSE(h.Button3->isEnabled());
        }
    }
    // The translation of a dictionary word: its tab is still the current one.
    THangForm1::setRandomSource([](size_t n) { return std::min<size_t>(2, n - 1); });
    h.RadioButton2->click();
    h.Button1->click();
    EXPECT_EQ(word(), "cat"); // tab 2, headword 2
    h.Button2->click();
    h.Button3->click();
    EXPECT_TRUE(h.Panel4->isVisible());
    EXPECT_EQ(m_form->TabControl1->tabIndex(), 2);
    EXPECT_EQ(h.RichEdit1->toPlainText(), u"cat: kedi"_s);
}

TEST_F(HangmanTest, AnEmptyListStartsWithARandomEnglishWord)
{
    start();
    THangForm1 &h = open();
    EXPECT_FALSE(h.RadioButton1->isEnabled());
    EXPECT_FALSE(h.RadioButton3->isEnabled());
    EXPECT_TRUE(h.RadioButton2->isChecked());
    EXPECT_FALSE(h.wordFromList());
    const std::string w = word();
    EXPECT_TRUE(w == "car" || w == "card" || w == "cat" || w == "house" || w == "see") << w;
    EXPECT_FALSE(patternOf(h).isEmpty());
}

TEST_F(HangmanTest, TheListSourcesFallBackWhenNoListWordIsLongEnough)
{
    start();
    setList("ox*\r\n");
    THangForm1 &h = open();
    for (QRadioButton *source : { h.RadioButton1, h.RadioButton3 }) {
        source->click();
        h.Button1->click();
        EXPECT_GE(word().size(), 3u);
        EXPECT_FALSE(h.wordFromList());
    }
}

TEST_F(HangmanTest, ATranslationThatFindsNothingShowsNothing)
{
    start();
    setList("house*\r\n");
    m_form->Tag = 1;
    m_hang = std::make_unique<THangForm1>(m_form.get());
    zarel::methods::selectListEntry(*m_form, 0);
    m_hang->startFirstGame(u"xyzzy"_s);
    m_hang->show();
    m_hang->Button2->click();
    m_hang->Button3->click();
    EXPECT_FALSE(m_hang->Panel4->isVisible());
    EXPECT_EQ(m_hang->RichEdit1->toPlainText(), QString());
    EXPECT_EQ(m_form->TabControl1->tabIndex(), 7); // the tab of the selected entry
}

TEST_F(HangmanTest, TheScoreCarriesOverToTheNextOpening)
{
    start();
    setList("house*\r\n");
    THangForm1 &first = open();
    type(u"ous"_s);
    const zarel::hangman::Scores afterFirst = scores();
    first.Button4->click();
    EXPECT_EQ(first.result(), QDialog::Accepted);
    EXPECT_EQ(m_form->Tag, 0);

    THangForm1 &second = open();
    EXPECT_EQ(second.Label3->text(), u"0 - 0"_s); // until the first result of this opening
    second.Button2->click();
    EXPECT_EQ(second.Label3->text(),
              QString::number(afterFirst.player) + u" - "_s
                  + QString::number(afterFirst.computer + 1));
}

TEST_F(HangmanTest, TheMainWindowStaysHiddenFromTheClipboardWhileTheGameIsOpen)
{
    start("11111"); // clipboard translation and pop-up on
    setList("house*\r\n");
    THangForm1 &h = open();
    EXPECT_EQ(m_form->Tag, 1);
    // The main window hears of the change before this test does (it listened first).
    bool heard = false;
    const auto listening = QObject::connect(QApplication::clipboard(), &QClipboard::dataChanged,
                                            m_form.get(), [&heard] { heard = true; });
    QApplication::clipboard()->setText(u"house"_s);
    EXPECT_TRUE(QTest::qWaitFor([&heard] { return heard; }, 30000));
    QObject::disconnect(listening);
    QCoreApplication::processEvents();
    EXPECT_FALSE(m_form->isVisible());
    EXPECT_EQ(m_form->Tag, 1);
    h.Button4->click();
    EXPECT_FALSE(h.isVisible());
    EXPECT_EQ(m_form->Tag, 0);

    // Closed any other way, the window lets go of the main window all the same.
    THangForm1 &again = open();
    again.close();
    EXPECT_EQ(m_form->Tag, 0);
}

TEST_F(HangmanTest, HelpOpensTheGamesPageInTheInterfaceLanguage)
{
    const struct
    {
        std::string config;
        QString page;
    } cases[] = { { "11111", u"/hlp/metod6.htm"_s }, { "11101", u"/hlp/metod6e.htm"_s } };
    for (const auto &c : cases) {
        start(c.config);
        setList("house*\r\n");
        THangForm1 &h = open();
        for (QAction *trigger : { static_cast<QAction *>(nullptr), h.Action1 }) {
            m_form->HelpPath.clear();
            bool seen = false;
            whenShown<TForm8>([&seen](TForm8 *help) {
                seen = true;
                help->close();
            });
            if (trigger)
                trigger->trigger();
            else
                h.Button5->click();
            EXPECT_TRUE(seen);
            EXPECT_TRUE(m_form->HelpPath.endsWith(c.page)) << m_form->HelpPath.toStdString();
        }
        EXPECT_EQ(h.Action1->shortcut(), QKeySequence(Qt::Key_F1));
        m_hang.reset();
        closeForm();
    }
}

TEST_F(HangmanTest, ARadioButtonGivesTheFocusToTheGuessBox)
{
    start();
    setList("house*\r\n");
    THangForm1 &h = open();
    h.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&h, 30000));
    h.Button1->setFocus();
    QTest::mouseClick(h.RadioButton4, Qt::LeftButton);
    EXPECT_TRUE(h.RadioButton4->isChecked());
    EXPECT_TRUE(h.Edit1->hasFocus());
}

TEST_F(HangmanTest, TheLauncherOpensTheGameOnTheFirstListWord)
{
    start();
    setList("masa\r\nhouse*\r\n");
    m_form->ListBox1->setCurrentRow(1);
    bool seen = false;
    int tagWhileOpen = -1;
    whenShown<THangForm1>([&](THangForm1 *h) {
        seen = true;
        tagWhileOpen = m_form->Tag;
        EXPECT_EQ(word(), "masa");
        EXPECT_TRUE(h->wordFromList());
        EXPECT_EQ(m_form->ListBox1->currentRow(), 0);
        EXPECT_FALSE(m_form->isVisible());
        h->Button4->click();
    });
    m_form->Button10Click();
    if (!seen)
        GTEST_SKIP() << "the main window's hangman launcher is not built in";
    EXPECT_EQ(tagWhileOpen, 1);
    EXPECT_EQ(m_form->Tag, 0);
    EXPECT_TRUE(m_form->isVisible());
}

TEST_F(HangmanTest, WithNoWordAnywhereTheEarlierGameDoesNotGoOn)
{
    writeDictionary({ { 14, { baseEntry("ox", article("ox: öküz")) } } });
    zarel::test::writeFile(file("Dictionary.cfg"), "11111");
    startForm();
    setList("house*\r\n");
    THangForm1 &first = open();
    type(u"o"_s);
    EXPECT_TRUE(THangForm1::game().inProgress());
    first.Button4->click();
    m_form->Button4->click(); // the main window's clear-list command
    ASSERT_EQ(zarel::methods::listCount(*m_form), 0);

    THangForm1 &second = open();
    EXPECT_FALSE(THangForm1::game().inProgress());
    EXPECT_EQ(patternOf(second), QString());
    type(u"u"_s);
    EXPECT_EQ(second.Label2->text(), QString());
    EXPECT_EQ(second.Label3->text(), u"0 - 0"_s);
}
