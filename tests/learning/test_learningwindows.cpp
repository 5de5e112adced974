// The learning history through the real windows: answers of Methods 3, 4 and 5 and of the
// hangman recorded, due words drawn first, the progress window, the Anki export and the menu
// entries.
#include "methodtestsupport.h"

#include "app/ttabcontrol.h"
#include "hangman/thangform1.h"
#include "learning/ankiexport.h"
#include "learning/learningmenu.h"
#include "learning/tlearningprogress.h"
#include "methods/methodsupport.h"
#include "methods/tform2.h"
#include "methods/tform3.h"
#include "methods/tform4.h"
#include "methods/tform6.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

using namespace Qt::Literals::StringLiterals;
using namespace zarel::learning;

namespace {

constexpr std::int64_t kNow = 1'800'000'000;

class LearningTest : public MethodTest
{
protected:
    void SetUp() override
    {
        MethodTest::SetUp();
        setClock([this] { return m_now; });
    }
    void TearDown() override
    {
        setClock({});
        MethodTest::TearDown();
    }
    LearningHistory &history() { return zarel::methods::learningHistory(*m_form); }
    std::optional<WordState> state(const std::string &word, bool english = true)
    {
        return history().wordState({ word, english });
    }
    std::vector<AnswerRow> answers() { return history().answersSince(0); }

    std::int64_t m_now = kNow;
};

std::vector<std::string> split(const std::string &text, char separator)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator))
        parts.push_back(part);
    if (!text.empty() && text.back() == separator)
        parts.emplace_back();
    return parts;
}

} // namespace

TEST_F(LearningTest, MethodThreeRecordsRightAndWrongAnswers)
{
    startDictionary();
    setList({ u"car*"_s, u"book*"_s, u"kitap"_s });
    TForm4 w(m_form.get());
    w.Button9->click(); // start: car
    w.Timer1Timer();
    QTest::keyClicks(w.Edit1, u"car"_s);
    QTest::keyClick(w.Edit1, Qt::Key_Return); // right: book follows
    w.Timer1Timer();
    QTest::keyClicks(w.Edit1, u"bok"_s);
    QTest::keyClick(w.Edit1, Qt::Key_Return);

    ASSERT_EQ(answers().size(), 2u);
    EXPECT_EQ(answers()[0].method, "method3");
    EXPECT_EQ(state("car"), (WordState { 2, 1, 0, kNow, kNow + 2 * kSecondsPerDay }));
    EXPECT_EQ(state("book")->wrong, 1);
    EXPECT_EQ(state("book")->box, 1);
}

TEST_F(LearningTest, MethodFourAnswerShowsInTheProgressWindow)
{
    startDictionary();
    setList({ u"car*"_s, u"book*"_s, u"kitap"_s });
    {
        TForm6 w(m_form.get());
        w.Button5->click(); // start: car
        w.Edit1->setText(u"car"_s);
        w.Button3->click(); // right, book follows
        w.Edit1->setText(u"boo"_s);
        w.Button3->click(); // wrong
    }
    ASSERT_EQ(answers().size(), 2u);
    EXPECT_EQ(answers()[1].method, "method4");

    for (bool english : { true, false }) {
        SCOPED_TRACE(english);
        TLearningProgress p(*m_form, english);
        EXPECT_EQ(p.windowTitle(), english ? u"Learning progress"_s : u"Öğrenme durumu"_s);
        EXPECT_EQ(p.Grid1->horizontalHeaderItem(TLearningProgress::ColBox)->text(),
                  english ? u"Box"_s : u"Kutu"_s);
        ASSERT_EQ(p.Grid1->rowCount(), 3);
        p.Grid1->sortItems(TLearningProgress::ColBox, Qt::DescendingOrder);
        EXPECT_EQ(p.Grid1->item(0, TLearningProgress::ColWord)->text(), u"car"_s);
        EXPECT_EQ(p.Grid1->item(0, TLearningProgress::ColBox)->text(), u"2"_s);
        EXPECT_EQ(p.Grid1->item(0, TLearningProgress::ColRight)->text(), u"1"_s);
        EXPECT_EQ(p.Grid1->item(1, TLearningProgress::ColWord)->text(), u"book"_s);
        EXPECT_EQ(p.Grid1->item(1, TLearningProgress::ColWrong)->text(), u"1"_s);
        EXPECT_EQ(p.Grid1->item(2, TLearningProgress::ColBox)->text(), u"-"_s); // never answered
        ASSERT_EQ(p.Chart1->days().size(), 30u);
        EXPECT_EQ(p.Chart1->days().back().right, 1);
        EXPECT_EQ(p.Chart1->days().back().wrong, 1);
        p.show();
        EXPECT_FALSE(p.Chart1->grab().isNull());
    }
}

TEST_F(LearningTest, MethodFiveRecordsTheDictatedEntry)
{
    startDictionary();
    setList({ u"Book*"_s, u"car*"_s, u"kitap"_s });
    TForm2 w(m_form.get());
    w.Button9->click(); // start on entry 0
    w.Edit1->setText(u"bok"_s);
    w.Button2->click();
    w.Edit1->setText(u"BOOK"_s);
    w.Button2->click(); // right: car follows
    ASSERT_EQ(answers().size(), 2u);
    // The key is the list's entry as shown, not the dictionary's headword.
    EXPECT_EQ(state("Book"), (WordState { 2, 1, 1, kNow, kNow + 2 * kSecondsPerDay }));
    EXPECT_EQ(answers()[0].method, "method5");
}

TEST_F(LearningTest, HangmanWinsAndLossesAreRecorded)
{
    startDictionary();
    setList({ u"car*"_s, u"kitap"_s });
    THangForm1 h(m_form.get());
    zarel::methods::selectListEntry(*m_form, 0);
    h.startFirstGame(u"car"_s);
    for (char c : std::string("car"))
        h.Edit1KeyPress(static_cast<unsigned char>(c));
    h.RadioButton3->setChecked(true); // next word from the list: kitap
    h.Button1->click();
    h.Button2->click(); // give up
    ASSERT_EQ(answers().size(), 2u);
    EXPECT_EQ(answers()[0].method, "hangman");
    EXPECT_EQ(state("car")->right, 1);
    EXPECT_EQ(state("kitap", false)->wrong, 1);
}

TEST_F(LearningTest, DueWordsComeFirstOnlyWithTheOption)
{
    struct Case
    {
        bool option;
        std::vector<int> order; // WordIndex after each next-word press on a fresh window
    };
    const Case cases[] = {
        { false, { 1, 2, 3, 0 } }, // the designed list order
        // rung (box 1) and kitap (box 2) first, then list order on from the word shown
        { true, { 3, 2, 3, 0 } },
    };
    startDictionary();
    setList({ u"car*"_s, u"book*"_s, u"kitap"_s, u"rung*"_s });
    m_now = kNow - 10 * kSecondsPerDay;
    ASSERT_TRUE(history().recordAnswer({ "kitap", false }, "method4", true, m_now));
    ASSERT_TRUE(history().recordAnswer({ "rung", true }, "method4", false, m_now));
    ASSERT_TRUE(history().recordAnswer({ "car", true }, "method4", true, kNow)); // not due
    m_now = kNow;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.option);
        ASSERT_TRUE(history().setReviewDueFirst(c.option));
        TForm6 w(m_form.get());
        std::vector<int> order;
        for (size_t n = 0; n < c.order.size(); ++n) {
            w.Button4->click();
            order.push_back(w.WordIndex);
        }
        EXPECT_EQ(order, c.order);
    }
}

TEST_F(LearningTest, MethodFourStartsWithADueWordAndStepsBackInListOrder)
{
    startDictionary();
    setList({ u"car*"_s, u"book*"_s, u"kitap"_s, u"rung*"_s });
    m_now = kNow - 10 * kSecondsPerDay;
    ASSERT_TRUE(history().recordAnswer({ "kitap", false }, "method4", false, m_now)); // box 1
    ASSERT_TRUE(history().recordAnswer({ "car", true }, "method4", true, m_now)); // box 2
    m_now = kNow;
    ASSERT_TRUE(history().setReviewDueFirst(true));
    TForm6 w(m_form.get());
    w.Button5->click(); // the first start: the due word of the lowest box
    EXPECT_EQ(w.WordIndex, 2);
    w.Button6->click(); // previous: the list's entry before it, not the other due word
    EXPECT_EQ(w.WordIndex, 1);
    w.Button4->click(); // next: the remaining due word
    EXPECT_EQ(w.WordIndex, 0);
    w.Button4->click();
    EXPECT_EQ(w.WordIndex, 1);
}

TEST_F(LearningTest, MethodOneShowsDueWordsFirstWithTheOption)
{
    startDictionary();
    setList({ u"car*"_s, u"book*"_s, u"kitap"_s, u"rung*"_s });
    m_now = kNow - 3 * kSecondsPerDay;
    ASSERT_TRUE(history().recordAnswer({ "kitap", false }, "method3", false, m_now));
    m_now = kNow;
    ASSERT_TRUE(history().setReviewDueFirst(true));
    TForm3 w(m_form.get());
    std::vector<int> order;
    for (int n = 0; n < 3; ++n) {
        w.Button5->click();
        order.push_back(w.WordIndex);
    }
    EXPECT_EQ(order, (std::vector<int> { 2, 3, 0 }));
}

// The hangman's random list word with a fixed seed: the same words with the option off whatever
// the history holds; the due words first with it on.
TEST_F(LearningTest, HangmanListDrawWithAFixedSeed)
{
    startDictionary();
    QStringList list;
    for (int i = 0; i < 20; ++i)
        list << (u"word"_s + QString::number(i) + u'*');
    setList(list);
    const auto drawSix = [this] {
        auto engine = std::make_shared<std::mt19937>(4242);
        THangForm1::setRandomSource([engine](size_t n) { return (*engine)() % n; });
        THangForm1 h(m_form.get());
        h.RadioButton1->setChecked(true);
        std::vector<int> order;
        for (int n = 0; n < 6; ++n) {
            h.Button1->click();
            order.push_back(m_form->ListBox1->currentRow());
        }
        THangForm1::setRandomSource({});
        return order;
    };
    const std::vector<int> designed = drawSix();
    m_now = kNow - 5 * kSecondsPerDay;
    for (const char *due : { "word17", "word4" })
        ASSERT_TRUE(history().recordAnswer({ due, true }, "hangman", false, m_now));
    m_now = kNow;
    EXPECT_EQ(drawSix(), designed);

    ASSERT_TRUE(history().setReviewDueFirst(true));
    const std::vector<int> dueFirst = drawSix();
    EXPECT_EQ(dueFirst[0], 4); // equal boxes and due times: list order
    EXPECT_EQ(dueFirst[1], 17);
    EXPECT_EQ(std::vector<int>(dueFirst.begin() + 2, dueFirst.end()),
              std::vector<int>(designed.begin(), designed.begin() + 4));
}

TEST(AnkiFileText, HeaderAndThreeFieldsPerLine)
{
    const std::vector<AnkiNote> notes {
        { u"book /bʊk/"_s, u"1. kitap<br>2. defter"_s, u"zarel-2-1.mp3"_s },
        { u"a\tb"_s, u"line\nbreak\r"_s, QString() },
        { QString(), QString(), QString() },
    };
    const std::vector<std::string> lines = split(ankiFileText(notes), '\n');
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[0], "#separator:tab");
    EXPECT_EQ(lines[1], "#html:true");
    EXPECT_EQ(lines[2], "#columns:Front\tBack\tSound");
    EXPECT_EQ(lines[3], "book /bʊk/\t1. kitap<br>2. defter\t[sound:zarel-2-1.mp3]");
    EXPECT_EQ(lines[4], "a b\tline break \t");
    EXPECT_EQ(lines[5], "\t\t");
    EXPECT_EQ(lines[6], "");
    EXPECT_EQ(plainToHtml(u"a<b> & \"c\"\nd"_s), u"a&lt;b&gt; &amp; &quot;c&quot;<br>d"_s);
}

TEST_F(LearningTest, ExportReadsBackWithEverySoundBesideIt)
{
    if (!startDictionary(true))
        GTEST_SKIP() << "sox or lame could not make the test tone";
    setList({ u"book*"_s, u"car*"_s, u"kitap"_s, u"rung*"_s, u"zzz*"_s, u"car*"_s });
    const QString folder = QString::fromStdString(file("export"));
    std::filesystem::create_directories(folder.toStdString());
    const QString path = folder + u"/words.txt"_s;
    const int comboItems = m_form->Combo->count();
    const int tab = m_form->TabControl1->tabIndex();
    // The user entry "rung" has the sound made when it was added.
    std::filesystem::create_directories(file("usersound/18"));
    std::filesystem::copy_file(file("wave/18/1.mp3"), file("usersound/18/rung.mp3"));

    const AnkiExportResult r = exportForAnki(*m_form, path, true);
    ASSERT_TRUE(r.ok) << r.message.toStdString();
    EXPECT_EQ(r.notes, 5);
    EXPECT_EQ(r.sounds, 3); // book, car and the user's rung; kitap is Turkish, zzz unknown
    EXPECT_TRUE(r.message.contains(u"collection.media"_s));
    EXPECT_EQ(m_form->Combo->count(), comboItems); // the lookup controls are untouched
    EXPECT_EQ(m_form->TabControl1->tabIndex(), tab);

    std::ifstream in(path.toStdString(), std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    std::vector<std::string> lines = split(text, '\n');
    ASSERT_EQ(lines.back(), "");
    lines.pop_back();
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[0], "#separator:tab");
    EXPECT_EQ(lines[1], "#html:true");
    EXPECT_EQ(lines[2], "#columns:Front\tBack\tSound");
    int sounds = 0;
    for (size_t i = 3; i < lines.size(); ++i) {
        SCOPED_TRACE(lines[i]);
        const std::vector<std::string> fields = split(lines[i], '\t');
        ASSERT_EQ(fields.size(), 3u);
        if (fields[2].empty())
            continue;
        ASSERT_TRUE(fields[2].starts_with("[sound:") && fields[2].ends_with("]"));
        const std::string name = fields[2].substr(7, fields[2].size() - 8);
        EXPECT_EQ(name.find('/'), std::string::npos);
        EXPECT_TRUE(std::filesystem::is_regular_file(folder.toStdString() + "/" + name));
        ++sounds;
    }
    EXPECT_EQ(sounds, 3);
    EXPECT_EQ(split(lines[6], '\t')[2], "[sound:zarel-18-user-rung.mp3]");
    EXPECT_EQ(split(lines[3], '\t')[0], "book");
    EXPECT_NE(split(lines[3], '\t')[1].find("kitap"), std::string::npos);
    EXPECT_EQ(split(lines[5], '\t')[0], "kitap"); // Turkish entries export too
    EXPECT_NE(split(lines[5], '\t')[1].find("book"), std::string::npos);
    EXPECT_EQ(split(lines[7], '\t')[0], "zzz");
    EXPECT_EQ(split(lines[7], '\t')[1], "");

    // Into a folder that does not exist: a message, no crash.
    const AnkiExportResult bad = exportForAnki(*m_form, folder + u"/missing/words.txt"_s, false);
    EXPECT_FALSE(bad.ok);
    EXPECT_FALSE(bad.message.isEmpty());
}

TEST_F(LearningTest, DamagedHistoryIsReportedOnceInTheProgressWindow)
{
    zarel::test::writeFile(file("Learning.sqlite"), std::string(4000, '\x13'));
    startDictionary();
    setList({ u"car*"_s });
    TLearningProgress p(*m_form, false);
    EXPECT_FALSE(p.Label1->isHidden());
    EXPECT_TRUE(p.Label1->text().contains(u"kenara alındı"_s)) << p.Label1->text().toStdString();
    EXPECT_EQ(p.Grid1->rowCount(), 1);
    p.refresh();
    EXPECT_TRUE(p.Label1->isHidden());
}

TEST(HistoryNotice, SaidInTheInterfaceLanguage)
{
    struct Case
    {
        bool damaged; // a damaged file, or a folder that cannot hold one
        bool english;
        QString expected;
    };
    const Case cases[] = {
        { true, true, u"set aside as"_s },
        { true, false, u"kenara alındı"_s },
        { false, true, u"cannot be kept"_s },
        { false, false, u"tutulamıyor"_s },
    };
    for (const Case &c : cases) {
        zarel::test::TempDir dir;
        std::string path = dir.file("missing/Learning.sqlite");
        if (c.damaged) {
            path = dir.file("Learning.sqlite");
            zarel::test::writeFile(path, std::string(4000, 'x'));
        }
        LearningHistory h;
        h.open(path, kNow);
        const QString text = takeHistoryNotice(h, c.english);
        EXPECT_TRUE(text.contains(c.expected)) << text.toStdString();
        EXPECT_TRUE(text.contains(QString::fromStdString(path))) << text.toStdString();
        EXPECT_TRUE(takeHistoryNotice(h, c.english).isEmpty());
    }
}

TEST_F(LearningTest, MenuEntriesFollowTheLanguageAndWork)
{
    startDictionary();
    setList({ u"car*"_s });
    QMenu file, options, tools;
    QAction *exit = file.addAction(u"Exit"_s);
    const LearningActions a = addLearningActions(*m_form, &file, &options, &tools);
    EXPECT_EQ(file.actions().indexOf(a.exportForAnki), 0); // before the exit entry
    EXPECT_EQ(file.actions().last(), exit);

    m_form->N14->trigger();
    EXPECT_EQ(a.reviewDueFirst->text(), u"Önce tekrarı gelen kelimeler"_s);
    EXPECT_EQ(a.progress->text(), u"Öğrenme durumu"_s);
    EXPECT_EQ(a.exportForAnki->text(), u"Anki için dışa aktar…"_s);
    m_form->N15->trigger();
    EXPECT_EQ(a.reviewDueFirst->text(), u"Review due words first"_s);
    EXPECT_EQ(a.progress->text(), u"Learning progress"_s);
    EXPECT_EQ(a.exportForAnki->text(), u"Export for Anki…"_s);

    EXPECT_FALSE(history().reviewDueFirst());
    a.reviewDueFirst->trigger();
    EXPECT_TRUE(history().reviewDueFirst());
    a.reviewDueFirst->setChecked(false);
    QMetaObject::invokeMethod(&options, &QMenu::aboutToShow);
    EXPECT_TRUE(a.reviewDueFirst->isChecked()); // the stored option shows when the menu opens

    bool seen = false;
    whenShown<TLearningProgress>([](TLearningProgress *p) { p->Button1->click(); }, &seen);
    a.progress->trigger();
    EXPECT_TRUE(seen);
}
