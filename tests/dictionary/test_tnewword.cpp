// The add-word dialog on a real widget: presets, style toggles, refusals, Cancel, Save.
#include "dictionary/tnewword.h"

#include "controls/rtfqt.h"
#include "dictionary/dictionaryindex.h"
#include "dictionary/tcryptstream.h"
#include "support/testdictionary.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

using namespace zarel;
using namespace zarel::test;

namespace {

std::string snapshot(const std::string &folder)
{
    std::string all;
    for (int t = 0; t < kTabCount; ++t)
        all += readFile(indexPath(folder, t)) + "|" + readFile(articlePath(folder, t, true)) + "|"
            + readFile(articlePath(folder, t, false)) + "|";
    return all;
}

} // namespace

TEST(TNewWordTest, PresetsAndCaptionsByLanguage)
{
    TempDir dir;
    TNewWord turkish(dir.path(), QStringLiteral("zebu"), 25, false);
    EXPECT_EQ(turkish.windowTitle(), QStringLiteral(" "));
    EXPECT_EQ(turkish.Edit1->text(), QStringLiteral("zebu"));
    EXPECT_EQ(turkish.RichEdit1->toPlainText(), QStringLiteral("zebu"));
    EXPECT_EQ(turkish.Button1->text(), QStringLiteral("Kaydet"));
    EXPECT_EQ(turkish.Button2->text(), QStringLiteral("İptal"));
    TNewWord english(dir.path(), QStringLiteral("zebu"), 25, true);
    EXPECT_EQ(english.Button1->text(), QStringLiteral("Save"));
    EXPECT_EQ(english.Button2->text(), QStringLiteral("Cancel"));
}

TEST(TNewWordTest, StyleBoxesAddAndRemoveOnlyTheirOwnStyle)
{
    TempDir dir;
    TNewWord dialog(dir.path(), QStringLiteral("word"), 22, false);
    dialog.RichEdit1->selectAll();
    QTest::mouseClick(dialog.CheckBox2, Qt::LeftButton); // italic on
    QTest::mouseClick(dialog.CheckBox3, Qt::LeftButton); // underline on
    QTextCharFormat f = dialog.RichEdit1->textCursor().charFormat();
    EXPECT_TRUE(f.fontItalic());
    EXPECT_TRUE(f.fontUnderline());
    EXPECT_EQ(f.fontWeight(), QFont::Bold); // the article font is bold
    QTest::mouseClick(dialog.CheckBox3, Qt::LeftButton); // underline off
    f = dialog.RichEdit1->textCursor().charFormat();
    EXPECT_FALSE(f.fontUnderline());
    EXPECT_TRUE(f.fontItalic());
    EXPECT_EQ(f.fontWeight(), QFont::Bold);
    QTest::mouseClick(dialog.CheckBox1, Qt::LeftButton); // bold on (already) then off
    QTest::mouseClick(dialog.CheckBox1, Qt::LeftButton);
    EXPECT_EQ(dialog.RichEdit1->textCursor().charFormat().fontWeight(), QFont::Normal);
    EXPECT_TRUE(dialog.RichEdit1->textCursor().charFormat().fontItalic());
}

TEST(TNewWordTest, CancelAndRefusalsChangeNoFile)
{
    TempDir dir;
    writeTestDictionary(dir.path(), { { 0, { baseEntry("a", "x") } } });
    const std::string before = snapshot(dir.path());
    {
        TNewWord dialog(dir.path(), QStringLiteral("abc"), 0, true);
        QTest::mouseClick(dialog.Button2, Qt::LeftButton);
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
        EXPECT_FALSE(dialog.stored());
    }
    const QString refused[] = { QString(), QString(102, QLatin1Char('a')), QStringLiteral("ə") };
    for (const QString &word : refused) {
        TNewWord dialog(dir.path(), word, 0, true);
        dialog.show();
        QTest::mouseClick(dialog.Button1, Qt::LeftButton);
        EXPECT_TRUE(dialog.isVisible()) << word.toStdString(); // stays open
        EXPECT_FALSE(dialog.MessageLabel->text().isEmpty());
        EXPECT_FALSE(dialog.stored());
    }
    EXPECT_EQ(snapshot(dir.path()), before);
}

TEST(TNewWordTest, SaveOnATurkishTabStoresInTheTurkishFiles)
{
    TempDir dir;
    writeTestDictionary(dir.path(),
                        { { 47,
                            { baseEntry("\xFE"
                                        "eker",
                                        "sugar") } },
                          { 18, { baseEntry("sugar", "x") } } });
    const std::string englishFiles
        = readFile(indexPath(dir.path(), 18)) + readFile(articlePath(dir.path(), 18, false));
    TNewWord dialog(dir.path(), QStringLiteral("şarap"), 47, false);
    dialog.RichEdit1->append(QStringLiteral("wine"));
    QTest::mouseClick(dialog.Button1, Qt::LeftButton);
    ASSERT_TRUE(dialog.stored()) << dialog.MessageLabel->text().toStdString();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(readFile(indexPath(dir.path(), 18)) + readFile(articlePath(dir.path(), 18, false)),
              englishFiles);

    // After a restart the word is in the index, before şeker, and its article reads back.
    DictionaryIndex index;
    ASSERT_TRUE(index.loadAll(dir.path()).ok());
    ASSERT_EQ(index.tab(47).count(), 2u);
    EXPECT_EQ(index.tab(47).headword(0),
              "\xFE"
              "arap");
    EXPECT_FALSE(index.tab(47).entries[0]->isBase());
    const std::string article = readArticle(dir.path(), 47, *index.tab(47).entries[0]);
    QTextDocument doc;
    loadArticle(&doc, QByteArray::fromStdString(article), QFont());
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("şarap\nwine"));
}
