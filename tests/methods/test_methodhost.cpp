// The method windows' shared steps over a fake host: what a method window asks of the main
// window, and what it leaves there, with no main window built.
#include "dictionary/dictionaryindex.h"
#include "methods/methodhost.h"
#include "methods/methodsupport.h"
#include "sound/tmpegplayer.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QWidget>

using namespace Qt::Literals::StringLiterals;
using zarel::methods::Located;
using zarel::methods::MethodHost;

namespace {

struct FakeEntry
{
    QString text;
    bool english;
    int tab;
};

// A host with a word list, no dictionary and a player that never loads its library; it
// remembers what the windows asked of it.
class FakeHost : public MethodHost
{
public:
    std::vector<FakeEntry> list;
    int selected = -1;
    bool english = false;
    int busyTag = 1;
    std::string folder = "/data";
    std::string disc;
    std::map<int, std::function<void()>> endGroups;
    std::vector<std::pair<int, QString>> located; // tab, search text
    std::vector<std::pair<QString, QString>> helpPages;
    std::vector<bool> shownAfter; // the lookup flag of each showAfterMethod
    int endsReported = 0;
    QWidget window;
    TMPEGPlayer player;
    zarel::DictionaryIndex index;
    QAction languageItem;

    int wordListCount() const override { return static_cast<int>(list.size()); }
    QString wordListEntry(int i) const override { return inList(i) ? at(i).text : QString(); }
    bool wordListEntryIsEnglish(int i) const override { return inList(i) && at(i).english; }
    int wordListEntryTab(int i) const override { return inList(i) ? at(i).tab : -1; }
    int selectedWordListEntry() const override { return selected; }
    void selectWordListEntry(int i) override { selected = inList(i) ? i : -1; }
    const zarel::DictionaryIndex &dictionary() const override { return index; }
    Located locateInTab(int tab, const QString &searchText, bool) override
    {
        located.emplace_back(tab, searchText);
        return { tab, -1 };
    }
    QString wordBoxText() const override { return {}; }
    void showTab(int) override { }
    std::string dataFolder() const override { return folder; }
    std::string discSoundFolder() const override { return disc; }
    TMPEGPlayer &mp3Player() override { return player; }
    std::string headwordSound(int, int) const override { return {}; }
    void pronunciationEnded() override { ++endsReported; }
    void setPronunciationEndGroup(int group, std::function<void()> handler) override
    {
        if (handler)
            endGroups[group] = std::move(handler);
        else
            endGroups.erase(group);
    }
    bool englishInterface() const override { return english; }
    void onInterfaceLanguageChange(QObject *context, std::function<void()> handler) override
    {
        QObject::connect(&languageItem, &QAction::changed, context, std::move(handler));
    }
    void showHelpPage(const QString &turkishPage, const QString &englishPage) override
    {
        helpPages.emplace_back(turkishPage, englishPage);
    }
    QWidget *hostWindow() override { return &window; }
    void setBusyTag(int tag) override { busyTag = tag; }
    void showAfterMethod(bool lookup) override { shownAfter.push_back(lookup); }

private:
    bool inList(int i) const { return i >= 0 && i < wordListCount(); }
    const FakeEntry &at(int i) const { return list[static_cast<size_t>(i)]; }
};

// The smallest method window: the base with its shared steps made reachable.
class FakeMethod : public TMethodForm
{
public:
    FakeMethod(MethodHost *host, int method)
        : TMethodForm(host, method, QSize(100, 80))
    { }
    using TMethodForm::exitMethod;
    using TMethodForm::help;
    using TMethodForm::isEnglishEntry;
    using TMethodForm::listCount;
    using TMethodForm::locate;
    using TMethodForm::onPronunciationEnd;
    using TMethodForm::shownEntry;
    using TMethodForm::text;
};

class MethodHostTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_host.list = {
            { u"apple"_s, true, 0 },
            { u"kitap"_s, false, 38 },
            { u"Quiz"_s, true, -1 }, // a tab that is to stay as it is
        };
    }
    FakeHost m_host;
};

TEST_F(MethodHostTest, TheWindowReadsTheHostsListAndLooksEntriesUpUnderTheirTab)
{
    FakeMethod w(&m_host, 3);
    ASSERT_EQ(w.listCount(), 3);
    struct Case
    {
        int entry;
        QString shown;
        bool english;
        int tab; // the tab the lookup is asked for
    };
    const Case cases[] = {
        { 0, u"apple"_s, true, 0 },   { 1, u"kitap"_s, false, 38 },
        { 2, u"Quiz"_s, true, -1 },   { 3, QString(), false, -1 }, // past the end
        { -1, QString(), false, -1 },
    };
    for (const Case &c : cases) {
        EXPECT_EQ(w.shownEntry(c.entry), c.shown) << c.entry;
        EXPECT_EQ(w.isEnglishEntry(c.entry), c.english) << c.entry;
        m_host.located.clear();
        w.locate(c.entry, c.shown);
        ASSERT_EQ(m_host.located.size(), 1u) << c.entry;
        EXPECT_EQ(m_host.located[0].first, c.tab) << c.entry;
        EXPECT_EQ(m_host.located[0].second, c.shown) << c.entry;
    }
    const auto keys = zarel::methods::listKeys(m_host);
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ(keys[1].word, "kitap");
    EXPECT_FALSE(keys[1].english);
    EXPECT_TRUE(keys[2].english);
}

TEST_F(MethodHostTest, TextsHelpAndExitFollowTheHost)
{
    struct Case
    {
        bool english;
        int method;
        QString text;
        QString title;
        bool resetTag;
        int tagAfter;
    };
    const Case cases[] = {
        { false, 1, u"Başlat"_s, u"Yöntem 1"_s, false, 1 },
        { true, 4, u"Start"_s, u"Method 4"_s, true, 0 },
    };
    for (const Case &c : cases) {
        m_host.english = c.english;
        m_host.busyTag = 1;
        m_host.helpPages.clear();
        FakeMethod w(&m_host, c.method);
        EXPECT_EQ(w.text(u"Başlat"_s, u"Start"_s), c.text);
        EXPECT_EQ(w.windowTitle(), c.title);
        // The window sits over the host's window.
        EXPECT_EQ(w.parentWidget(), &m_host.window);

        w.help();
        ASSERT_EQ(m_host.helpPages.size(), 1u);
        EXPECT_EQ(m_host.helpPages[0].first, u"metod%1.htm"_s.arg(c.method));
        EXPECT_EQ(m_host.helpPages[0].second, u"metod%1e.htm"_s.arg(c.method));

        int ends = 0;
        w.onPronunciationEnd([&ends] { ++ends; });
        ASSERT_EQ(m_host.endGroups.count(c.method), 1u);
        m_host.endGroups[c.method]();
        EXPECT_EQ(ends, 1);

        // Nothing plays: exit reports no end of sound, and takes its end-of-sound group away.
        w.exitMethod(false, c.resetTag);
        EXPECT_EQ(m_host.busyTag, c.tagAfter);
        EXPECT_EQ(m_host.endGroups.count(c.method), 0u);
        EXPECT_EQ(m_host.endsReported, 0);
        EXPECT_EQ(w.result(), QDialog::Accepted);
    }
}

TEST_F(MethodHostTest, AGroupOfAWindowThatIsGoneDoesNothing)
{
    int ends = 0;
    {
        FakeMethod w(&m_host, 2);
        w.onPronunciationEnd([&ends] { ++ends; });
    } // destroyed without closing: the group stays with the host
    ASSERT_EQ(m_host.endGroups.count(2), 1u);
    m_host.endGroups[2]();
    EXPECT_EQ(ends, 0);
}

TEST_F(MethodHostTest, TheSharedStepsReachTheHostAlone)
{
    // A lookup that found nothing has no record, article or disc sound.
    m_host.disc = "/media/cdrom/Wave/";
    const Located none { 0, -1 };
    EXPECT_EQ(zarel::methods::locatedRecord(m_host, none), nullptr);
    EXPECT_FALSE(zarel::methods::isEnglishHeadword(m_host, none));
    EXPECT_EQ(zarel::methods::discSoundPath(m_host, none), "");
    // An item past a tab that holds nothing is no record either.
    EXPECT_EQ(zarel::methods::locatedRecord(m_host, Located { 0, 5 }), nullptr);

    zarel::methods::selectListEntry(m_host, 1);
    EXPECT_EQ(m_host.selected, 1);
    zarel::methods::selectListEntry(m_host, 7);
    EXPECT_EQ(m_host.selected, -1);

    // Stopping a player whose library is not loaded reports no end.
    zarel::methods::stopPronunciation(m_host, false);
    EXPECT_EQ(m_host.endsReported, 0);

    zarel::methods::restoreMainWindow(m_host, true);
    zarel::methods::restoreMainWindow(m_host, false);
    EXPECT_EQ(m_host.shownAfter, (std::vector<bool> { true, false }));
}

} // namespace
