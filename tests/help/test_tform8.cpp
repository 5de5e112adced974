// The help window: its frame, the page it shows, links between help pages, outside links handed
// to the desktop, and a missing page.
#include "help/tform8.h"
#include "support/testdictionary.h"
#include "urlcatcher.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QTest>
#include <QTextBrowser>

using namespace Qt::Literals::StringLiterals;
using zarel::test::TempDir;
using zarel::test::writeFile;

namespace {

class HelpWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        writeFile(m_dir.file("a.htm"),
                  "<html><body><h1>Page A</h1><a href=\"b.htm#end\">to B</a></body></html>");
        writeFile(m_dir.file("b.htm"),
                  "<html><body><h1>Page B</h1><p><a name=\"end\"></a>Türkçe son</p>"
                  "</body></html>");
    }

    QString page(const char *name) const { return QString::fromStdString(m_dir.file(name)); }

    TempDir m_dir;
};

} // namespace

TEST_F(HelpWindowTest, FrameIsTheDesignedSizeableWindow)
{
    TForm8 form;
    EXPECT_EQ(form.windowTitle(), u"Pelu Zarel English Dictionary Help"_s);
    EXPECT_EQ(form.size(), QSize(620, 365));
    EXPECT_LT(form.minimumWidth(), 620);
    EXPECT_GT(form.maximumWidth(), 620);
    form.show();
    EXPECT_EQ(form.WebBrowser1->geometry(), form.rect());
    form.resize(800, 500);
    QApplication::processEvents();
    EXPECT_EQ(form.WebBrowser1->geometry(), form.rect());
}

TEST_F(HelpWindowTest, ShowsTheHelpPathCentredOnItsOwner)
{
    QWidget owner;
    owner.setGeometry(100, 80, 900, 700);
    owner.show();
    TForm8 form(&owner);
    form.HelpPath = page("b.htm");
    form.show();
    EXPECT_EQ(form.WebBrowser1->source(), QUrl::fromLocalFile(page("b.htm")));
    EXPECT_TRUE(form.WebBrowser1->toPlainText().contains(u"Türkçe son"_s));
    EXPECT_LE((form.frameGeometry().center() - owner.frameGeometry().center()).manhattanLength(),
              2);
}

TEST_F(HelpWindowTest, LocalLinksStayInTheWindow)
{
    TForm8 form;
    form.HelpPath = page("a.htm");
    form.show();
    ASSERT_TRUE(form.WebBrowser1->toPlainText().contains(u"Page A"_s));
    emit form.WebBrowser1->anchorClicked(QUrl(u"b.htm#end"_s));
    EXPECT_EQ(form.WebBrowser1->source().adjusted(QUrl::RemoveFragment),
              QUrl::fromLocalFile(page("b.htm")));
    EXPECT_TRUE(form.WebBrowser1->toPlainText().contains(u"Page B"_s));
    form.WebBrowser1->backward();
    EXPECT_TRUE(form.WebBrowser1->toPlainText().contains(u"Page A"_s));
}

TEST_F(HelpWindowTest, OutsideLinksGoToTheDesktop)
{
    const QList<QUrl> links { QUrl(u"https://freedict.org/"_s), QUrl(u"http://example.org/x"_s),
                              QUrl(u"mailto:someone@example.org"_s) };
    for (const QUrl &link : links) {
        SCOPED_TRACE(link.toString().toStdString());
        UrlCatcher catcher;
        TForm8 form;
        form.HelpPath = page("a.htm");
        form.show();
        emit form.WebBrowser1->anchorClicked(link);
        EXPECT_EQ(catcher.opened, QList<QUrl> { link });
        EXPECT_TRUE(form.WebBrowser1->toPlainText().contains(u"Page A"_s)); // the page stays
    }
}

TEST_F(HelpWindowTest, MissingPageIsNamedInTheWindow)
{
    const QStringList paths { page("none.htm"), QString() };
    for (const QString &path : paths) {
        TForm8 form;
        form.HelpPath = path;
        form.show();
        const QString text = form.WebBrowser1->toPlainText();
        EXPECT_TRUE(text.contains(u"not found"_s)) << text.toStdString();
        EXPECT_TRUE(text.contains(path));
    }
}

TEST(HelpWindow, OnlyWebAndMailAddressesAreOutsideLinks)
{
    const std::pair<const char *, bool> cases[] = {
        { "https://x.org", true },  { "HTTP://x.org", true }, { "mailto:a@b.c", true },
        { "metod1.htm", false },    { "#top", false },        { "file:///tmp/a.htm", false },
        { "ftp://x.org/a", false },
    };
    for (const auto &[url, outside] : cases)
        EXPECT_EQ(TForm8::isOutsideLink(QUrl(QString::fromLatin1(url))), outside) << url;
}
