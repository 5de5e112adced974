// The shared steps of the method windows on the main window: the tab rule and the prefix search
// of Locate, loading an article, the answer feedback and the help page.
#include "methodtestsupport.h"

#include "app/ttabcontrol.h"
#include "help/tform8.h"
#include "methods/methodsupport.h"
#include "platform/wave/virtualwave.h"
#include "sound/wavplayer.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QTextEdit>

using namespace Qt::Literals::StringLiterals;
using zarel::methods::Located;

namespace {

class MethodSupportTest : public MethodTest
{
};

} // namespace

TEST_F(MethodSupportTest, EntryTabFollowsTheLanguageMarkAndTheFirstLetter)
{
    startDictionary();
    struct Case
    {
        QString marked;
        int tab; // -1: the tab selected before stays
    };
    const Case cases[] = {
        { u"Book*"_s, 1 }, { u"çay"_s, 29 },   { u"ılık"_s, 35 }, { u"Irmak"_s, 35 },
        { u"iyi"_s, 36 },  { u"İzmir"_s, 36 }, { u"Quiz"_s, -1 }, { u"ğ"_s, -1 },
        { u"7up"_s, -1 },  { u"book"_s, 27 },
    };
    QStringList list;
    for (const Case &c : cases)
        list.append(c.marked);
    setList(list);
    for (int i = 0; i < list.size(); ++i) {
        m_form->selectTab(5);
        const Located at
            = zarel::methods::locateEntry(*m_form, i, zarel::methods::shownEntry(*m_form, i));
        const int expected = cases[i].tab == -1 ? 5 : cases[i].tab;
        EXPECT_EQ(at.tab, expected) << list[i].toStdString();
        EXPECT_EQ(m_form->TabControl1->tabIndex(), expected) << list[i].toStdString();
    }
}

TEST_F(MethodSupportTest, LocateSelectsTheFirstHeadwordBeginningWithTheText)
{
    startDictionary();
    setList({ u"CAR*"_s, u"car"_s, u"cars*"_s, u"Bookc*"_s });
    struct Case
    {
        int entry;
        int tab;
        QString headword; // empty: not found
    };
    const Case cases[] = {
        { 0, 2, u"car"_s }, // the tab holds "car" itself, letter case aside
        { 1, 28, u"carpmak"_s }, // no "car" in the Turkish tab: the first longer headword
        { 2, 2, {} },
        { 3, 1, u"bookcase"_s },
    };
    for (const Case &c : cases) {
        m_form->Combo->setEditText(u"previous"_s);
        const Located at = zarel::methods::locateEntry(
            *m_form, c.entry, zarel::methods::shownEntry(*m_form, c.entry));
        EXPECT_EQ(at.tab, c.tab);
        EXPECT_EQ(at.found(), !c.headword.isEmpty());
        EXPECT_EQ(m_form->Combo->currentIndex(), at.item);
        EXPECT_EQ(m_form->Combo->currentText(), c.headword);
    }
    // A method that keeps the word box's text still locates the headword.
    m_form->Combo->setEditText(u"kept"_s);
    const Located at = zarel::methods::locateEntry(*m_form, 0, u"car"_s, true);
    EXPECT_EQ(at.item, 0);
    EXPECT_EQ(m_form->Combo->currentText(), u"kept"_s);
}

TEST_F(MethodSupportTest, ArticleAndSoundOnlyForLocatedHeadwords)
{
    startDictionary();
    setList({ u"run*"_s, u"rung*"_s, u"kitap"_s, u"xyz*"_s });
    QTextEdit pane;
    const Located run = zarel::methods::locateEntry(*m_form, 0, u"run"_s);
    EXPECT_TRUE(zarel::methods::loadArticle(*m_form, run, &pane));
    EXPECT_EQ(pane.toPlainText(), u"run: koşmak"_s);
    EXPECT_TRUE(zarel::methods::isEnglishBase(*m_form, run));
    EXPECT_TRUE(zarel::methods::isEnglishHeadword(*m_form, run));

    // A user entry is spoken (once its sound is made) but has no sound on the disc.
    const Located rung = zarel::methods::locateEntry(*m_form, 1, u"rung"_s);
    EXPECT_FALSE(zarel::methods::isEnglishBase(*m_form, rung));
    EXPECT_TRUE(zarel::methods::isEnglishHeadword(*m_form, rung));
    const Located kitap = zarel::methods::locateEntry(*m_form, 2, u"kitap"_s);
    EXPECT_FALSE(zarel::methods::isEnglishBase(*m_form, kitap)); // a Turkish headword
    EXPECT_FALSE(zarel::methods::isEnglishHeadword(*m_form, kitap));
    EXPECT_TRUE(zarel::methods::loadArticle(*m_form, kitap, &pane));
    EXPECT_EQ(pane.toPlainText(), u"kitap: book"_s);

    const Located none = zarel::methods::locateEntry(*m_form, 3, u"xyz"_s);
    EXPECT_FALSE(none.found());
    EXPECT_FALSE(zarel::methods::loadArticle(*m_form, none, &pane));
    EXPECT_EQ(pane.toPlainText(), u"kitap: book"_s); // the previous article stays

    // The disc's sound folder, when there is a disc.
    EXPECT_EQ(zarel::methods::discSoundPath(*m_form, run), "");
    m_form->CdWavePath = "/media/cdrom/Wave/";
    EXPECT_EQ(zarel::methods::discSoundPath(*m_form, run), "/media/cdrom/Wave/18/1.mp3");
    EXPECT_EQ(zarel::methods::discSoundPath(*m_form, kitap), "");
    EXPECT_EQ(zarel::methods::discSoundPath(*m_form, rung), "");
}

TEST_F(MethodSupportTest, FeedbackShowsThePictureWhileItsSoundPlays)
{
    startDictionary();
    writeBmp(file("a.bmp"), Qt::green);
    // One tenth of a second of 8-bit mono silence at 8000 Hz.
    std::string wav = "RIFF";
    const std::string samples(800, '\x80');
    const auto le32 = [](uint32_t v) {
        return std::string { char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF),
                             char(v >> 24) };
    };
    wav += le32(uint32_t(36 + samples.size())) + "WAVEfmt " + le32(16)
        + std::string("\x01\x00\x01\x00", 4) + le32(8000) + le32(8000)
        + std::string("\x01\x00\x08\x00", 4) + "data" + le32(uint32_t(samples.size())) + samples;
    zarel::test::writeFile(file("da.wav"), wav);

    auto device = std::make_shared<zarel::wave::VirtualWave>(1.0);
    TWavPlayer player(device);
    QLabel picture;
    zarel::methods::playFeedback(*m_form, player, true, &picture);
    EXPECT_EQ(device->sink(), std::vector<char>(samples.begin(), samples.end()));
    EXPECT_TRUE(picture.pixmap().isNull()); // cleared once the sound has ended
    EXPECT_FALSE(player.Wait);

    // The wrong answer's files are missing: nothing is shown or played, and nothing fails.
    device->clearSink();
    zarel::methods::playFeedback(*m_form, player, false, &picture);
    EXPECT_TRUE(device->sink().empty());
    EXPECT_TRUE(picture.pixmap().isNull());
}

TEST_F(MethodSupportTest, HelpPageOfEachMethodByInterfaceLanguage)
{
    startDictionary();
    for (const bool turkish : { true, false }) {
        (turkish ? m_form->N14 : m_form->N15)->trigger();
        for (int method = 1; method <= 5; ++method) {
            bool seen = false;
            whenShown<TForm8>([](TForm8 *help) { help->reject(); }, &seen);
            zarel::methods::showMethodHelp(*m_form, method);
            EXPECT_TRUE(seen);
            const QString page = u"/hlp/metod%1%2.htm"_s.arg(method).arg(turkish ? u""_s : u"e"_s);
            EXPECT_TRUE(m_form->HelpPath.endsWith(page)) << m_form->HelpPath.toStdString();
        }
    }
}

TEST_F(MethodSupportTest, AnswerCheckOnTypedText)
{
    using zarel::methods::answerIsRight;
    EXPECT_TRUE(answerIsRight(u"BOOK"_s, u"book"_s));
    EXPECT_FALSE(answerIsRight(u"book "_s, u"book"_s));
    EXPECT_FALSE(answerIsRight(u"ÇAY"_s, u"çay"_s));
    EXPECT_TRUE(answerIsRight(u"Işık"_s, u"işık"_s)); // I and i are ASCII letters
    EXPECT_FALSE(answerIsRight(u"İşık"_s, u"işık"_s));
}
