// The add-word dialog on a real widget: presets, style toggles, refusals, Cancel, Save, and the
// spoken sound an English word gets.
#include "app/tnewword.h"

#include "controls/rtfqt.h"
#include "dictionary/dictionaryindex.h"
#include "dictionary/tcryptstream.h"
#include "sound/usersoundmaker.h"
#include "support/testdictionary.h"

#include <gtest/gtest.h>

#include <array>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
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
    // The word in bold on the first line; the caret on the plain line below it.
    EXPECT_EQ(turkish.RichEdit1->toPlainText(), QStringLiteral("zebu\n"));
    QTextCursor headword(turkish.RichEdit1->document());
    headword.setPosition(1);
    EXPECT_EQ(headword.charFormat().fontWeight(), QFont::Bold);
    EXPECT_EQ(turkish.RichEdit1->textCursor().blockNumber(), 1);
    EXPECT_EQ(turkish.RichEdit1->textCursor().charFormat().fontWeight(), QFont::Normal);
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
    // The headword line selected by the keyboard.
    QTest::keyClick(dialog.RichEdit1, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(dialog.RichEdit1, Qt::Key_End, Qt::ShiftModifier);
    QTest::mouseClick(dialog.CheckBox2, Qt::LeftButton); // italic on
    QTest::mouseClick(dialog.CheckBox3, Qt::LeftButton); // underline on
    QTextCharFormat f = dialog.RichEdit1->textCursor().charFormat();
    EXPECT_TRUE(f.fontItalic());
    EXPECT_TRUE(f.fontUnderline());
    EXPECT_EQ(f.fontWeight(), QFont::Bold); // the headword is bold
    QTest::mouseClick(dialog.CheckBox3, Qt::LeftButton); // underline off
    f = dialog.RichEdit1->textCursor().charFormat();
    EXPECT_FALSE(f.fontUnderline());
    EXPECT_TRUE(f.fontItalic());
    EXPECT_EQ(f.fontWeight(), QFont::Bold);
    // The box shows the selection's bold already: one click takes it off, the next puts it on.
    EXPECT_TRUE(dialog.CheckBox1->isChecked());
    QTest::mouseClick(dialog.CheckBox1, Qt::LeftButton);
    EXPECT_EQ(dialog.RichEdit1->textCursor().charFormat().fontWeight(), QFont::Normal);
    EXPECT_TRUE(dialog.RichEdit1->textCursor().charFormat().fontItalic());
    EXPECT_FALSE(dialog.CheckBox1->isChecked());
    QTest::mouseClick(dialog.CheckBox1, Qt::LeftButton);
    EXPECT_EQ(dialog.RichEdit1->textCursor().charFormat().fontWeight(), QFont::Bold);
}

TEST(TNewWordTest, StyleBoxesShowAndSetTheFormatAtTheCaret)
{
    TempDir dir;
    TNewWord dialog(dir.path(), QStringLiteral("word"), 22, false);
    dialog.show();
    QTextEdit *edit = dialog.RichEdit1;
    const auto boxes = [&dialog] {
        return std::array<bool, 3> { dialog.CheckBox1->isChecked(), dialog.CheckBox2->isChecked(),
                                     dialog.CheckBox3->isChecked() };
    };
    // The headword is bold, but what is typed below it is plain, and the boxes say so.
    EXPECT_EQ(boxes(), (std::array<bool, 3> { false, false, false }));
    QTest::keyClicks(edit, QStringLiteral("plain "));
    QTest::mouseClick(dialog.CheckBox2, Qt::LeftButton);
    QTest::keyClicks(edit, QStringLiteral("slanted "));
    QTest::mouseClick(dialog.CheckBox2, Qt::LeftButton);
    QTest::mouseClick(dialog.CheckBox1, Qt::LeftButton);
    QTest::mouseClick(dialog.CheckBox3, Qt::LeftButton);
    QTest::keyClicks(edit, QStringLiteral("strong"));
    EXPECT_EQ(edit->toPlainText(), QStringLiteral("word\nplain slanted strong"));

    // The caret walked back over the text by the keyboard: the boxes follow the character
    // before it.
    const struct
    {
        int position; // in the document; the character before it decides
        std::array<bool, 3> shown; // bold, italic, underline
    } walk[] = {
        { 3, { true, false, false } }, // wor|d
        { 8, { false, false, false } }, // pla|in
        { 16, { false, true, false } }, // slant|ed
        { 22, { true, false, true } }, // str|ong
    };
    for (const auto &step : walk) {
        QTest::keyClick(edit, Qt::Key_Home, Qt::ControlModifier);
        for (int i = 0; i < step.position; ++i)
            QTest::keyClick(edit, Qt::Key_Right);
        EXPECT_EQ(edit->textCursor().position(), step.position);
        EXPECT_EQ(boxes(), step.shown) << step.position;
    }

    // A box set there types in its style from there on, and only there.
    QTest::keyClick(edit, Qt::Key_End, Qt::ControlModifier);
    QTest::mouseClick(dialog.CheckBox1, Qt::LeftButton); // bold off
    QTest::keyClicks(edit, QStringLiteral("X"));
    const QTextCharFormat typed = edit->textCursor().charFormat();
    EXPECT_EQ(typed.fontWeight(), QFont::Normal);
    EXPECT_TRUE(typed.fontUnderline());
    EXPECT_EQ(boxes(), (std::array<bool, 3> { false, false, true }));
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
    QTest::keyClicks(dialog.RichEdit1, QStringLiteral("wine"));
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

TEST(TNewWordTest, SavingAnEnglishWordMakesItsSoundInTheBackground)
{
    // The data builder is found as the program finds it (here: in the build tree).
    ASSERT_FALSE(UserSoundMaker::builderProgram().isEmpty());
    const struct
    {
        int tab;
        QString word;
        std::string sound; // relative to the folder; empty: none is made
    } cases[] = {
        { 2, QStringLiteral("cat food"), "usersound/3/cat_20food.mp3" },
        { 28, QStringLiteral("cami"), "" },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.word.toStdString());
        TempDir dir;
        writeTestDictionary(dir.path(), {});
        TNewWord dialog(dir.path(), c.word, c.tab, true);
        QTest::mouseClick(dialog.Button1, Qt::LeftButton);
        ASSERT_TRUE(dialog.stored()) << dialog.MessageLabel->text().toStdString();
        QPointer<UserSoundMaker> maker = dialog.soundMaker();
        if (c.sound.empty()) {
            EXPECT_TRUE(maker.isNull());
            EXPECT_FALSE(exists(dir.file("usersound")));
            continue;
        }
        ASSERT_FALSE(maker.isNull());
        QTRY_VERIFY_WITH_TIMEOUT(maker.isNull(), 60000);
        EXPECT_TRUE(exists(dir.file(c.sound)));
    }
}
