// The word list through real widgets: entries in both languages, the count label, deleting,
// clearing, adding the current word, and list files opened, appended and saved.
#include "apptestenvironment.h"

#include "app/ttabcontrol.h"
#include "app/userdialogs.h"
#include "dictionary/codepage1254.h"

#include <filesystem>
#include <functional>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>

#include <QListWidget>
#include <QPushButton>
#include <QTest>

using namespace Qt::Literals::StringLiterals;
using zarel::test::baseEntry;

namespace {

std::string cp(const std::string &utf8)
{
    return zarel::cp1254::fromUtf8(utf8);
}

std::string article(const std::string &text)
{
    return "{\\rtf1\\ansi\\ansicpg1254 " + zarel::cp1254::fromUtf8(text) + "\\par}";
}

class WordListTest : public FormTest
{
protected:
    void SetUp() override
    {
        FormTest::SetUp();
        m_oldConfirm = zarel::app::setConfirmHook([this](const QString &text) {
            m_questions.append(text);
            return m_answer;
        });
        m_oldFiles = zarel::app::setFileDialogHook([this](const zarel::app::FileDialogRequest &r) {
            m_requests.append(r.title);
            return m_fileAnswer;
        });
    }
    void TearDown() override
    {
        zarel::app::setConfirmHook(m_oldConfirm);
        zarel::app::setFileDialogHook(m_oldFiles);
        FormTest::TearDown();
    }
    TForm1 &start(const std::string &config = "11111")
    {
        writeDictionary({
            { 1, { baseEntry(cp("Book"), article("Book kitap")) } },
            { 17, { baseEntry(cp("run"), article("run koşmak")) } },
            { 29, { baseEntry(cp("çay"), article("çay tea")) } },
            { 35, { baseEntry(cp("ılık"), article("ılık lukewarm")) } },
            { 36, { baseEntry(cp("inek"), article("inek cow")) } },
        });
        zarel::test::writeFile(file("Dictionary.cfg"), config);
        return startForm();
    }
    // Opens a list file with the given bytes through Button3.
    void openList(const std::string &bytes)
    {
        zarel::test::writeFile(file("list.DIC"), bytes);
        m_fileAnswer = QString::fromStdString(file("list.DIC"));
        m_form->Button3->click();
    }
    void click(int row)
    {
        QListWidget *list = m_form->ListBox1;
        list->setCurrentRow(row);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                          list->visualItemRect(list->item(row)).center());
    }
    QString pane() const { return m_form->RichEdit1->toPlainText(); }

    bool m_answer = true;
    QString m_fileAnswer;
    QStringList m_questions;
    QStringList m_requests;

private:
    zarel::app::ConfirmHook m_oldConfirm;
    zarel::app::FileDialogHook m_oldFiles;
};

} // namespace

TEST_F(WordListTest, EntriesShowTheirArticleUnderTheTabOfTheirLanguage)
{
    TForm1 &form = start();
    openList("Book*\r\n\xE7"
             "ay\r\n\xFD"
             "l\xFD"
             "k\r\ninek\r\nQuiz\r\n");
    ASSERT_EQ(form.ListBox1->count(), 5);
    EXPECT_EQ(form.ListBox1->item(0)->text(), u"Book"_s);
    EXPECT_EQ(form.Label1->text(), u"5 Kelime"_s);
    EXPECT_TRUE(form.Button2->isEnabled());
    EXPECT_FALSE(form.Button4->isHidden());

    const struct
    {
        int row;
        int tab;
        QString article;
    } cases[] = { { 0, 1, u"Book kitap"_s },
                  { 1, 29, u"çay tea"_s },
                  { 2, 35, u"ılık lukewarm"_s },
                  { 3, 36, u"inek cow"_s } };
    for (const auto &c : cases) {
        click(c.row);
        EXPECT_EQ(form.TabControl1->tabIndex(), c.tab) << c.row;
        EXPECT_EQ(pane(), c.article) << c.row;
    }
    EXPECT_FALSE(form.Button7->isEnabled()); // a Turkish entry
    click(4); // Q is in no Turkish row: the tab stays
    EXPECT_EQ(form.TabControl1->tabIndex(), 36);
}

TEST_F(WordListTest, CountLabelAndDeletingKeepBothListsInStep)
{
    TForm1 &form = start("11101"); // English interface
    openList("Book*\r\nrun*\r\n\xE7"
             "ay\r\n");
    EXPECT_EQ(form.Label1->text(), u"3 Words"_s);
    form.ListBox1->setCurrentRow(0);
    QTest::keyClick(form.ListBox1, Qt::Key_Delete);
    EXPECT_EQ(m_questions, QStringList { u"Are you sure ?"_s });
    EXPECT_EQ(form.Label1->text(), u"2 Words"_s);
    click(0); // the entry that moved up shows its own article
    EXPECT_EQ(form.TabControl1->tabIndex(), 17);
    EXPECT_EQ(pane(), u"run koşmak"_s);

    m_answer = false; // No keeps the entry
    form.Delete1->trigger();
    EXPECT_EQ(form.ListBox1->count(), 2);
    m_answer = true;
    form.Delete1->trigger();
    EXPECT_EQ(form.Label1->text(), u"1 Word"_s);
    form.ListBox1->setCurrentRow(0);
    form.Delete1->trigger();
    EXPECT_EQ(form.Label1->text(), u"0 Words"_s);
    EXPECT_FALSE(form.Button2->isEnabled());
    EXPECT_TRUE(form.Button4->isHidden());
    EXPECT_TRUE(form.MarkedList.empty());
}

TEST_F(WordListTest, ClearAsksFirstAndEmptiesTheLabel)
{
    TForm1 &form = start();
    openList("run*\r\n");
    m_answer = false; // No keeps the list
    form.Button4->click();
    EXPECT_EQ(m_questions, QStringList { u"Emin misiniz ?"_s });
    EXPECT_EQ(form.ListBox1->count(), 1);
    EXPECT_EQ(form.Label1->text(), u"1 Kelime"_s);

    m_answer = true;
    form.Button4->click();
    EXPECT_EQ(m_questions.size(), 2);
    EXPECT_EQ(form.ListBox1->count(), 0);
    EXPECT_TRUE(form.Label1->text().isEmpty());
    EXPECT_TRUE(form.Button4->isHidden());
}

TEST_F(WordListTest, AddCurrentWordOnceWithItsLanguage)
{
    TForm1 &form = start();
    form.selectTab(17);
    form.selectItem(0);
    form.Button1->click();
    form.Button1->click(); // the same entry again: no duplicate
    form.selectTab(29);
    form.selectItem(0);
    form.N19->trigger(); // File > New adds too
    EXPECT_EQ(form.markedEntries(), (QStringList { u"run*"_s, u"çay"_s }));
    EXPECT_EQ(form.Label1->text(), u"2 Kelime"_s);
}

TEST_F(WordListTest, WordsAreCollectedByTypingAndAddingOneAfterAnother)
{
    TForm1 &form = start();
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    // The keys go wherever the focus is, as a user's keyboard does; the add button is clicked
    // with the mouse, which gives it the focus for the moment.
    for (const QString &word : { u"run"_s, u"book"_s, u"run"_s }) {
        QWidget *focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        QTest::keyClicks(focus, word);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTest::mouseClick(form.Button1, Qt::LeftButton);
    }
    EXPECT_EQ(form.markedEntries(), (QStringList { u"run*"_s, u"Book*"_s }));
    EXPECT_EQ(form.Combo->currentText(), u"run"_s);
    EXPECT_TRUE(form.Combo->hasFocus());
}

TEST_F(WordListTest, SavedListOpensAgainWithItsLanguagesAndAppendAddsToIt)
{
    TForm1 &form = start();
    openList("run*\r\n\xE7"
             "ay\r\n");
    m_fileAnswer = QString::fromStdString(file("saved.DIC"));
    form.N21->trigger(); // File > Save saves the list
    EXPECT_EQ(zarel::test::readFile(file("saved.DIC")),
              "run*\r\n\xE7"
              "ay\r\n");
    EXPECT_EQ(m_requests.last(), u"Kaydet"_s); // the save dialog's title, nothing after it
    form.N15->trigger(); // English interface
    form.N21->trigger();
    EXPECT_EQ(m_requests.last(), u"Save"_s);
    form.N14->trigger();

    form.Button4->click();
    form.Button3->click(); // open the saved file
    EXPECT_EQ(form.markedEntries(), (QStringList { u"run*"_s, u"çay"_s }));
    form.Button13->click(); // append it once more
    EXPECT_EQ(form.ListBox1->count(), 4);
    EXPECT_EQ(m_requests.first(), u"Kelimeler dosyasından listeye ekle"_s);

    m_fileAnswer.clear(); // a cancelled dialog changes nothing
    form.Button3->click();
    EXPECT_EQ(form.ListBox1->count(), 4);
}

TEST_F(WordListTest, GarbageFileLeavesTheListUnchanged)
{
    TForm1 &form = start();
    openList("run*\r\n");
    openList(std::string("\x00\x01\x02garbage", 10));
    EXPECT_EQ(form.markedEntries(), QStringList { u"run*"_s });
    ASSERT_EQ(m_errors.size(), 1);
    EXPECT_TRUE(m_errors.first().startsWith(u"Not a word list"_s));
}

TEST_F(WordListTest, ListComesBackAfterARestartWithItsLanguages)
{
    TForm1 &form = start();
    EXPECT_FALSE(form.Button5->isEnabled());
    form.selectTab(17);
    form.selectItem(0);
    form.Button1->click();
    form.selectTab(35);
    form.selectItem(0);
    form.Button1->click();
    form.selectTab(1);
    form.selectItem(0);
    form.Button1->click();
    const QStringList kept { u"run*"_s, u"ılık"_s, u"Book*"_s };
    ASSERT_EQ(form.markedEntries(), kept);
    EXPECT_EQ(zarel::test::readFile(file("WordList.DIC")),
              "run*\r\n\xFD"
              "l\xFD"
              "k\r\nBook*\r\n");

    closeForm();
    TForm1 &again = startForm();
    EXPECT_EQ(again.markedEntries(), kept);
    ASSERT_EQ(again.ListBox1->count(), 3);
    EXPECT_EQ(again.ListBox1->item(1)->text(), u"ılık"_s);
    EXPECT_EQ(again.Label1->text(), u"3 Kelime"_s);
    EXPECT_TRUE(again.Button2->isEnabled());
    EXPECT_FALSE(again.Button4->isHidden());
    for (QPushButton *method :
         { again.Button5, again.Button9, again.Button11, again.Button16, again.Button12 })
        EXPECT_TRUE(method->isEnabled()) << method->objectName().toStdString();
    click(1); // the entry shows its article under its own language
    EXPECT_EQ(again.TabControl1->tabIndex(), 35);
    EXPECT_EQ(pane(), u"ılık lukewarm"_s);
    EXPECT_TRUE(m_errors.isEmpty()) << m_errors.join(u'\n').toStdString();
}

TEST_F(WordListTest, EveryChangeOfTheListIsStoredAtOnce)
{
    TForm1 &form = start();
    const struct
    {
        const char *change;
        std::function<void()> act;
        std::string stored;
    } cases[] = {
        { "open", [&] { openList("Book*\r\nrun*\r\n"); }, "Book*\r\nrun*\r\n" },
        { "append",
          [&] {
              m_fileAnswer = QString::fromStdString(file("list.DIC"));
              form.Button13->click();
          },
          "Book*\r\nrun*\r\nBook*\r\nrun*\r\n" },
        { "delete by key",
          [&] {
              form.ListBox1->setCurrentRow(0);
              QTest::keyClick(form.ListBox1, Qt::Key_Delete);
          },
          "run*\r\nBook*\r\nrun*\r\n" },
        { "delete by menu",
          [&] {
              form.ListBox1->setCurrentRow(2);
              form.Delete1->trigger();
          },
          "run*\r\nBook*\r\n" },
        { "add",
          [&] {
              form.selectTab(29);
              form.selectItem(0);
              form.Button1->click();
          },
          "run*\r\nBook*\r\n\xE7"
          "ay\r\n" },
        { "a cancelled open",
          [&] {
              m_fileAnswer.clear();
              form.Button3->click();
          },
          "run*\r\nBook*\r\n\xE7"
          "ay\r\n" },
        { "clear", [&] { form.Button4->click(); }, "" },
    };
    for (const auto &c : cases) {
        c.act();
        EXPECT_EQ(zarel::test::readFile(file("WordList.DIC")), c.stored) << c.change;
    }
    closeForm();
    EXPECT_TRUE(startForm().MarkedList.empty());
}

TEST_F(WordListTest, UnreadableKeptListStartsEmptyAndIsKeptUntilTheListChanges)
{
    writeDictionary({ { 17, { baseEntry(cp("run"), article("run koşmak")) } } });
    const std::string garbage("run*\r\n\x00\x01\x02\xFF garbage", 18);
    zarel::test::writeFile(file("WordList.DIC"), garbage);
    TForm1 &form = startForm();
    EXPECT_TRUE(form.MarkedList.empty());
    EXPECT_FALSE(form.Button5->isEnabled());
    ASSERT_EQ(m_errors.size(), 1);
    EXPECT_TRUE(m_errors.first().startsWith(u"Kelime listesi okunamadı"_s))
        << m_errors.first().toStdString();
    EXPECT_TRUE(m_errors.first().contains(u"WordList.DIC"_s));

    closeForm(); // neither the start nor the end writes it
    EXPECT_EQ(zarel::test::readFile(file("WordList.DIC")), garbage);
    TForm1 &again = startForm();
    EXPECT_EQ(m_errors.size(), 2);
    again.selectTab(17);
    again.selectItem(0);
    again.Button1->click(); // the user's change replaces it
    EXPECT_EQ(zarel::test::readFile(file("WordList.DIC")), "run*\r\n");
}

TEST_F(WordListTest, FailedStoreIsReportedOnceUntilAStoreSucceeds)
{
    TForm1 &form = start();
    // A folder in the file's place: it can be neither read nor replaced.
    std::filesystem::create_directory(file("WordList.DIC"));
    form.selectTab(17);
    form.selectItem(0);
    form.Button1->click();
    ASSERT_EQ(m_errors.size(), 1);
    EXPECT_TRUE(m_errors.first().startsWith(u"Kelime listesi kaydedilemedi."_s));
    form.selectTab(29);
    form.selectItem(0);
    form.Button1->click();
    EXPECT_EQ(m_errors.size(), 1);
    EXPECT_EQ(form.MarkedList.size(), 2u); // the list in the window is whole

    std::filesystem::remove(file("WordList.DIC"));
    form.ListBox1->setCurrentRow(1);
    form.Delete1->trigger();
    EXPECT_EQ(zarel::test::readFile(file("WordList.DIC")), "run*\r\n");
    EXPECT_EQ(m_errors.size(), 1);
}
