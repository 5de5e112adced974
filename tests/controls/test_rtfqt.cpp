// Articles in the rich-text panes: RTF and plain text into QTextDocument, styled text back to
// RTF, and the double click that selects a word before notifying.
#include "controls/rtfqt.h"

#include "controls/tricheditdblclick.h"
#include "rtf/rtfreader.h"
#include "rtf/rtfwriter.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

using namespace zarel;

namespace {

QTextCharFormat formatAt(const QTextDocument &doc, int position)
{
    QTextCursor c(const_cast<QTextDocument *>(&doc));
    c.setPosition(position + 1);
    return c.charFormat();
}

} // namespace

TEST(RtfToDocument, FormatsAndParagraphs)
{
    const QByteArray rtf
        = "{\\rtf1\\ansi\\ansicpg1254{\\fonttbl{\\f0\\fcharset162 Times New Roman;}{\\f1 Arial;}}"
          "{\\colortbl;\\red255\\green0\\blue0;}"
          "\\f0\\fs32\\b run\\b0  /r\\'fdn/\\par\\pard\\qc\\f1\\fs20\\i\\cf1 (m\\'fcz.)\\i0\\ul  "
          "ko\\'femak\\par}";
    QTextDocument doc;
    loadArticle(&doc, rtf, QFont(QStringLiteral("Times New Roman")));
    ASSERT_EQ(doc.blockCount(), 2);
    EXPECT_EQ(doc.begin().text(), QStringLiteral("run /rın/"));
    EXPECT_EQ(doc.begin().next().text(), QStringLiteral("(müz.) koşmak"));
    const QTextCharFormat head = formatAt(doc, 0);
    EXPECT_EQ(head.fontWeight(), QFont::Bold);
    EXPECT_DOUBLE_EQ(head.fontPointSize(), 16.0);
    EXPECT_EQ(formatAt(doc, 5).fontWeight(), QFont::Normal);
    const int second = doc.begin().next().position();
    const QTextCharFormat label = formatAt(doc, second);
    EXPECT_TRUE(label.fontItalic());
    EXPECT_EQ(label.foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(label.fontFamilies().toStringList().value(0), QStringLiteral("Arial"));
    EXPECT_TRUE(formatAt(doc, second + 8).fontUnderline());
    EXPECT_EQ(doc.begin().next().blockFormat().alignment() & Qt::AlignHorizontal_Mask,
              Qt::AlignHCenter);
}

TEST(RtfToDocument, PlainTextIsCodePage1254)
{
    QTextDocument doc;
    loadArticle(&doc,
                QByteArray("\xFE"
                           "eker\r\nsugar"),
                QFont());
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("şeker\nsugar"));
    loadArticle(&doc, QByteArray(), QFont());
    EXPECT_TRUE(doc.toPlainText().isEmpty());
}

TEST(RtfToDocument, StyledTextRoundTripsThroughTheWriter)
{
    QTextDocument doc;
    QTextCursor c(&doc);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    bold.setFontPointSize(12);
    c.insertText(QStringLiteral("ağaç"), bold);
    QTextCharFormat italicUnderline;
    italicUnderline.setFontItalic(true);
    italicUnderline.setFontUnderline(true);
    italicUnderline.setFontPointSize(12);
    c.insertText(QStringLiteral(" tree"), italicUnderline);
    c.insertBlock();
    c.insertText(QStringLiteral("İkinci satır"), bold);

    const std::string rtf = rtf::write(toRtfDocument(&doc));
    ASSERT_TRUE(rtf::isRtf(rtf));
    QTextDocument back;
    loadArticle(&back, QByteArray::fromStdString(rtf), QFont());
    EXPECT_EQ(back.toPlainText(), QStringLiteral("ağaç tree\nİkinci satır"));
    EXPECT_EQ(formatAt(back, 0).fontWeight(), QFont::Bold);
    EXPECT_FALSE(formatAt(back, 0).fontItalic());
    EXPECT_TRUE(formatAt(back, 6).fontItalic());
    EXPECT_TRUE(formatAt(back, 6).fontUnderline());
    EXPECT_EQ(formatAt(back, 6).fontWeight(), QFont::Normal);
}

TEST(TRichEditDblClickTest, DoubleClickSelectsTheWordThenNotifies)
{
    TRichEditDblClick edit;
    edit.setReadOnly(true);
    edit.resize(300, 100);
    edit.setPlainText(QStringLiteral("koşmak running fast"));
    edit.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&edit));
    QString selectedAtSignal;
    QObject *sender = nullptr;
    QObject::connect(&edit, &TRichEditDblClick::OnDblClick, &edit, [&](QObject *s) {
        sender = s;
        selectedAtSignal = edit.textCursor().selectedText();
    });
    QTextCursor c(edit.document());
    c.setPosition(9);
    const QPoint p = edit.cursorRect(c).center();
    QTest::mouseDClick(edit.viewport(), Qt::LeftButton, Qt::NoModifier, p);
    EXPECT_EQ(sender, &edit);
    EXPECT_EQ(selectedAtSignal, QStringLiteral("running"));
}
