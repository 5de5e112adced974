// End-to-end runs of the real program on a private X display with the real FreeDict data: a
// typed lookup, a clipboard lookup, the method and hangman windows and the interface language,
// checked on screenshots against the pictures in reference/ and on Dictionary.cfg.
#include "desktopsession.h"
#include "imagecompare.h"

#include <cstdio>
#include <memory>

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace Qt::Literals::StringLiterals;
using namespace zarel::e2e;

namespace {

// The exit code CTest reads as "skipped".
constexpr int kSkipped = 77;

// Places in the main window's client area (below the menu bar), from the fixed layout of
// src/app: the word box, the article pane, the add-to-list button, the Method 1 and hangman
// buttons and the word count under the list.
constexpr QPoint kComboCentre { 300, 39 };
constexpr QRect kArticlePane { 2, 62, 398, 213 };
constexpr QPoint kAddButton { 281, 296 };
constexpr QPoint kMethod1Button { 573, 77 };
constexpr QPoint kHangmanButton { 573, 212 };
constexpr QRect kWordCount { 406, 292, 70, 22 };
// The logo that switches the translation direction, and the top of the word list (three rows).
constexpr QPoint kLogo { 45, 29 };
constexpr QRect kWordListTop { 404, 62, 128, 48 };
// The menu titles in the menu bar (x in the window, from screenshots): Options, and the width
// that holds all titles in either language.
constexpr int kOptionsTitleX = 87;
constexpr int kMenuTitlesWidth = 300;
// A screen corner outside the main window, where the pointer rests so that it hovers over no
// menu or list.
constexpr QPoint kPointerRest { 1015, 760 };

// The exit buttons of the full-screen Method 1 and hangman windows, whose panels are centred on
// the screen: the panel size, the button's offset in it and half its size.
QPoint method1ExitButton()
{
    const QSize s = XDisplay::kScreenSize;
    return { (s.width() - 401) / 2 + 2 + 350 + 20, (s.height() - 306) / 2 + 258 + 4 + 18 };
}

QPoint hangmanExitButton()
{
    const QSize s = XDisplay::kScreenSize;
    return { (s.width() - 525) / 2 + 75 + 302 + 13, (s.height() - 504) / 2 + 264 + 15 };
}

// A crop matches its reference when fewer pixels than this share have no close match nearby.
// Measured: unhinted fonts against the references 0.4 %, another article 4 %, the start text in
// place of an article 5.5 %, the English menu titles against the Turkish ones 6.7 %.
constexpr double kMaxDifference = 0.01;
constexpr int kWaitMs = 15000;

struct World
{
    XDisplay display;
    QString dataFolder;
    QString artifacts;
    QString references;
    bool updateReferences = false;
};
World *g_world = nullptr;

QString configText()
{
    QFile file(g_world->dataFolder + u"/Dictionary.cfg"_s);
    if (!file.open(QIODevice::ReadOnly))
        return u"(missing)"_s;
    return QString::fromLatin1(file.readAll());
}

class DesktopTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Every run starts with the default settings and an empty word list.
        QFile::remove(g_world->dataFolder + u"/Dictionary.cfg"_s);
        QFile::remove(g_world->dataFolder + u"/WordList.DIC"_s);
        ASSERT_NO_FATAL_FAILURE(startProgram());
    }

    void TearDown() override
    {
        m_program.reset();
        if (m_clipboardOwner)
            endProcess(*m_clipboardOwner);
    }

    const XDisplay &display() const { return g_world->display; }

    QString artifact(const QString &name) const
    {
        const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
        return g_world->artifacts + u"/"_s + QString::fromLatin1(info->name()) + u"-"_s + name;
    }

    void startProgram()
    {
        m_program.reset();
        m_program = std::make_unique<ProgramRun>(display(), QString::fromUtf8(ZAREL_PROGRAM),
                                                 g_world->dataFolder,
                                                 artifact(u"program-%1.log"_s.arg(++m_starts)));
        QString error;
        ASSERT_TRUE(m_program->start(&error)) << error.toStdString();
    }

    // Gives the word box the keyboard focus, as a user clicking into it does.
    void focusWordBox()
    {
        ASSERT_TRUE(display().focus(m_program->window()));
        ASSERT_TRUE(display().click(m_program->clientPoint(kComboCentre.x(), kComboCentre.y())));
    }

    void lookUp(const QString &typed)
    {
        ASSERT_NO_FATAL_FAILURE(focusWordBox());
        ASSERT_NO_FATAL_FAILURE(typeAndEnter(typed));
    }

    // Types into the word box as it is, without clicking into it first, and presses Enter.
    void typeAndEnter(const QString &typed)
    {
        ASSERT_TRUE(display().type(typed));
        ASSERT_TRUE(display().keys({ u"Return"_s }));
        ASSERT_TRUE(display().moveMouse(kPointerRest));
    }

    // Clicks into the word box, selects what it holds with the keyboard and types a new word.
    void replaceWord(const QString &typed)
    {
        ASSERT_NO_FATAL_FAILURE(focusWordBox());
        ASSERT_TRUE(display().keys({ u"End"_s, u"shift+Home"_s }));
        ASSERT_NO_FATAL_FAILURE(typeAndEnter(typed));
    }

    // A screenshot kept as `step`.png and its crop of `screenArea` as `step`-crop.png.
    QImage shoot(const QString &step, const QRect &screenArea) const
    {
        const QImage shot = display().screenshot(artifact(step + u".png"_s));
        if (shot.isNull())
            return {};
        const QImage crop = shot.copy(screenArea);
        crop.save(artifact(step + u"-crop.png"_s));
        return crop;
    }

    // Takes screenshots until the crop of `screenArea` matches the picture `reference`; with
    // ZAREL_E2E_UPDATE_REFERENCES=1 it keeps the crop as the reference once it stops changing.
    ::testing::AssertionResult waitForPicture(const QString &step, const QRect &screenArea,
                                              const QString &reference)
    {
        const QString referencePath = g_world->references + u"/"_s + reference;
        if (g_world->updateReferences) {
            // The screen may still show the state before the last command for a moment: the
            // crop is kept once four shots in a row are alike but for a blinking text cursor.
            QImage last;
            int alike = 0;
            pollUntil(
                [&] {
                    const QImage crop = shoot(step, screenArea);
                    const bool same = !crop.isNull() && !last.isNull()
                        && compareImages(crop, last, 0, 0).fraction < 0.002;
                    alike = same ? alike + 1 : 0;
                    last = crop;
                    return alike >= 3;
                },
                kWaitMs, 700);
            if (last.isNull() || !last.save(referencePath))
                return ::testing::AssertionFailure()
                    << "cannot write " << referencePath.toStdString();
            return ::testing::AssertionSuccess();
        }
        const QImage expected(referencePath);
        if (expected.isNull())
            return ::testing::AssertionFailure()
                << "no reference picture " << referencePath.toStdString()
                << " (write it with ZAREL_E2E_UPDATE_REFERENCES=1)";
        ImageDifference difference;
        const bool matched = pollUntil(
            [&] {
                difference = compareImages(shoot(step, screenArea), expected);
                return difference.fraction <= kMaxDifference;
            },
            kWaitMs, 200);
        if (matched)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
            << step.toStdString() << ": the screen differs from " << reference.toStdString()
            << " in " << difference.differing << " of " << difference.total << " pixels; see "
            << artifact(step + u"-crop.png"_s).toStdString();
    }

    // The share of differing pixels between the last crop of `step` and another reference.
    double differenceFrom(const QString &step, const QString &reference) const
    {
        return compareImages(QImage(artifact(step + u"-crop.png"_s)),
                             QImage(g_world->references + u"/"_s + reference))
            .fraction;
    }

    QRect menuBar() const
    {
        return m_program->clientRect(
            QRect(0, -m_program->menuBarHeight(), kMenuTitlesWidth, m_program->menuBarHeight()));
    }

    std::unique_ptr<ProgramRun> m_program;
    std::unique_ptr<QProcess> m_clipboardOwner;
    int m_starts = 0;
};

TEST_F(DesktopTest, TypedWordAndEnterShowTheArticle)
{
    // Typed with a capital, the text is no headword until Enter finds "house" whatever its case.
    ASSERT_NO_FATAL_FAILURE(lookUp(u"House"_s));
    EXPECT_TRUE(
        waitForPicture(u"article"_s, m_program->clientRect(kArticlePane), u"article_house.png"_s));
    EXPECT_TRUE(m_program->mainWindowVisible()) << "the window title changed";
    if (!g_world->updateReferences) {
        EXPECT_GT(differenceFrom(u"article"_s, u"article_water.png"_s), 2 * kMaxDifference);
    }
}

TEST_F(DesktopTest, NextWordTypedAfterALookupIsANewWordAndMayHoldBlanks)
{
    ASSERT_NO_FATAL_FAILURE(lookUp(u"house"_s));
    ASSERT_TRUE(
        waitForPicture(u"article1"_s, m_program->clientRect(kArticlePane), u"article_house.png"_s));
    // The found headword stays selected: the next word replaces it.
    ASSERT_NO_FATAL_FAILURE(typeAndEnter(u"water"_s));
    EXPECT_TRUE(
        waitForPicture(u"article2"_s, m_program->clientRect(kArticlePane), u"article_water.png"_s));
    // A headword of two words, its first word a headword of its own.
    ASSERT_NO_FATAL_FAILURE(typeAndEnter(u"adding machine"_s));
    EXPECT_TRUE(waitForPicture(u"article3"_s, m_program->clientRect(kArticlePane),
                               u"article_adding_machine.png"_s));
    EXPECT_EQ(display()
                  .visibleWindowsOfClass(u"^%1$"_s.arg(QLatin1StringView(ProgramRun::kClassName)))
                  .size(),
              1)
        << "a dialog opened";
}

TEST_F(DesktopTest, CapitalDotlessIFindsTheTurkishHeadword)
{
    // The logo switches to Turkish-English; "IŞIK" is the Turkish capital form of "ışık".
    ASSERT_TRUE(display().focus(m_program->window()));
    ASSERT_TRUE(display().click(m_program->clientPoint(kLogo.x(), kLogo.y())));
    EXPECT_TRUE(pollUntil([] { return configText() == u"11110\r\n"_s; }, kWaitMs))
        << "Dictionary.cfg holds " << configText().toStdString();
    ASSERT_NO_FATAL_FAILURE(lookUp(u"IŞIK"_s));
    EXPECT_TRUE(
        waitForPicture(u"article"_s, m_program->clientRect(kArticlePane), u"article_isik.png"_s));
    EXPECT_EQ(display()
                  .visibleWindowsOfClass(u"^%1$"_s.arg(QLatin1StringView(ProgramRun::kClassName)))
                  .size(),
              1)
        << "the add-word dialog opened";
}

TEST_F(DesktopTest, WordListIsBackAfterARestart)
{
    const QString pictures[]
        = { u"article_house.png"_s, u"article_water.png"_s, u"article_adding_machine.png"_s };
    const QString words[] = { u"house"_s, u"water"_s, u"adding machine"_s };
    for (int i = 0; i < 3; ++i) {
        if (i == 0)
            ASSERT_NO_FATAL_FAILURE(lookUp(words[i]));
        else
            ASSERT_NO_FATAL_FAILURE(replaceWord(words[i]));
        ASSERT_TRUE(waitForPicture(u"article%1"_s.arg(i), m_program->clientRect(kArticlePane),
                                   pictures[i]));
        ASSERT_TRUE(display().click(m_program->clientPoint(kAddButton.x(), kAddButton.y())));
    }
    const QRect count = m_program->clientRect(kWordCount);
    const QRect list = m_program->clientRect(kWordListTop);
    ASSERT_TRUE(waitForPicture(u"count"_s, count, u"wordcount_3_tr.png"_s));
    ASSERT_TRUE(waitForPicture(u"list"_s, list, u"wordlist_3.png"_s));

    // The list is in the data folder already; quitting adds nothing and asks nothing.
    QFile kept(g_world->dataFolder + u"/WordList.DIC"_s);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("house*\r\nwater*\r\nadding machine*\r\n"));
    ASSERT_NO_FATAL_FAILURE(focusWordBox());
    ASSERT_TRUE(display().keys({ u"alt+F4"_s }));
    EXPECT_EQ(m_program->waitForExit(kWaitMs), std::optional<int>(0));

    ASSERT_NO_FATAL_FAILURE(startProgram());
    EXPECT_TRUE(waitForPicture(u"count-restarted"_s, count, u"wordcount_3_tr.png"_s));
    EXPECT_TRUE(waitForPicture(u"list-restarted"_s, list, u"wordlist_3.png"_s));
}

TEST_F(DesktopTest, CopiedWordIsLookedUp)
{
    // Another program owns the clipboard and stays its owner: the dictionary only listens.
    m_clipboardOwner = std::make_unique<QProcess>();
    m_clipboardOwner->setProcessEnvironment(display().environment());
    dieWithParent(*m_clipboardOwner);
    m_clipboardOwner->start(u"xclip"_s, { u"-selection"_s, u"clipboard"_s, u"-quiet"_s, u"-i"_s });
    ASSERT_TRUE(m_clipboardOwner->waitForStarted(10000));
    // Without an event loop the text reaches xclip only while waiting for it to be written.
    m_clipboardOwner->write("water");
    ASSERT_TRUE(m_clipboardOwner->waitForBytesWritten(10000));
    m_clipboardOwner->closeWriteChannel();

    EXPECT_TRUE(
        waitForPicture(u"article"_s, m_program->clientRect(kArticlePane), u"article_water.png"_s));
    if (!g_world->updateReferences) {
        EXPECT_GT(differenceFrom(u"article"_s, u"article_house.png"_s), 2 * kMaxDifference);
    }
    EXPECT_FALSE(m_clipboardOwner->waitForFinished(0)) << "the copying program lost the clipboard";
    const ToolResult pasted
        = display().run(u"xclip"_s, { u"-selection"_s, u"clipboard"_s, u"-o"_s });
    EXPECT_EQ(pasted.output, QByteArray("water"));
}

TEST_F(DesktopTest, MethodAndHangmanWindowsOpenAndClose)
{
    ASSERT_NO_FATAL_FAILURE(lookUp(u"house"_s));
    ASSERT_TRUE(
        waitForPicture(u"article"_s, m_program->clientRect(kArticlePane), u"article_house.png"_s));
    // The method buttons work once the word list has a word.
    ASSERT_TRUE(display().click(m_program->clientPoint(kAddButton.x(), kAddButton.y())));
    ASSERT_TRUE(display().click(m_program->clientPoint(kMethod1Button.x(), kMethod1Button.y())));

    const QStringList method = display().waitForWindows(u"^Yöntem 1$"_s, kWaitMs);
    ASSERT_EQ(method.size(), 1) << "no Method 1 window";
    EXPECT_EQ(display().windowGeometry(method.first()), QRect(QPoint(0, 0), XDisplay::kScreenSize));
    EXPECT_TRUE(pollUntil([&] { return !m_program->mainWindowVisible(); }, kWaitMs))
        << "the main window stays shown beside the method";
    shoot(u"method1"_s, QRect(QPoint(0, 0), XDisplay::kScreenSize));
    ASSERT_TRUE(display().click(method1ExitButton()));
    EXPECT_TRUE(pollUntil(
        [&] {
            return display().visibleWindows(u"^Yöntem 1$"_s).isEmpty()
                && m_program->mainWindowVisible();
        },
        kWaitMs))
        << "the Method 1 window did not close";
    ASSERT_EQ(display().windowGeometry(m_program->window()), m_program->geometry());

    // The hangman window is the program's other window, and it covers the screen.
    const QString programClass = u"^%1$"_s.arg(QLatin1StringView(ProgramRun::kClassName));
    ASSERT_TRUE(display().click(m_program->clientPoint(kHangmanButton.x(), kHangmanButton.y())));
    QString hangman;
    EXPECT_TRUE(pollUntil(
        [&] {
            for (const QString &w : display().visibleWindowsOfClass(programClass))
                if (w != m_program->window()
                    && display().windowGeometry(w) == QRect(QPoint(0, 0), XDisplay::kScreenSize))
                    hangman = w;
            return !hangman.isEmpty() && !m_program->mainWindowVisible();
        },
        kWaitMs))
        << "no hangman window";
    shoot(u"hangman"_s, QRect(QPoint(0, 0), XDisplay::kScreenSize));
    ASSERT_FALSE(hangman.isEmpty());
    ASSERT_TRUE(display().click(hangmanExitButton()));
    EXPECT_TRUE(pollUntil(
        [&] {
            return !display().visibleWindowsOfClass(programClass).contains(hangman)
                && m_program->mainWindowVisible();
        },
        kWaitMs))
        << "the hangman window did not close";
    EXPECT_TRUE(m_program->running());
}

TEST_F(DesktopTest, InterfaceLanguageChangesCaptionsAndIsKept)
{
    const QRect count = m_program->clientRect(kWordCount);
    ASSERT_TRUE(waitForPicture(u"menu-turkish"_s, menuBar(), u"menubar_tr.png"_s));
    ASSERT_TRUE(waitForPicture(u"count-turkish"_s, count, u"wordcount_tr.png"_s));

    // Options > Menu Language > English: the title opens the menu, "m" the submenu with its
    // first item (Turkish) current, Down moves to English. Each open menu is one more window
    // of the program.
    const auto openWindows = [this] {
        return display()
            .visibleWindowsOfClass(u"^%1$"_s.arg(QLatin1StringView(ProgramRun::kClassName)))
            .size();
    };
    ASSERT_TRUE(display().focus(m_program->window()));
    ASSERT_TRUE(display().click(m_program->geometry().topLeft()
                                + QPoint(kOptionsTitleX, m_program->menuBarHeight() / 2)));
    ASSERT_TRUE(pollUntil([&] { return openWindows() == 2; }, kWaitMs)) << "no Options menu";
    ASSERT_TRUE(display().moveMouse(kPointerRest));
    ASSERT_TRUE(display().keys({ u"m"_s }));
    ASSERT_TRUE(pollUntil([&] { return openWindows() == 3; }, kWaitMs))
        << "no Menu Language submenu";
    shoot(u"menu-open"_s, QRect(QPoint(0, 0), XDisplay::kScreenSize));
    ASSERT_TRUE(display().keys({ u"Down"_s, u"Return"_s }));

    // The setting is stored at once: the fourth character is the Turkish interface.
    EXPECT_TRUE(pollUntil([] { return configText() == u"11101\r\n"_s; }, kWaitMs))
        << "Dictionary.cfg holds " << configText().toStdString();
    EXPECT_TRUE(waitForPicture(u"menu-english"_s, menuBar(), u"menubar_en.png"_s));
    EXPECT_TRUE(waitForPicture(u"count-english"_s, count, u"wordcount_en.png"_s));
    if (!g_world->updateReferences) {
        EXPECT_GT(differenceFrom(u"menu-english"_s, u"menubar_tr.png"_s), 2 * kMaxDifference);
        EXPECT_GT(differenceFrom(u"count-english"_s, u"wordcount_tr.png"_s), 2 * kMaxDifference);
    }

    // Alt+F4 in the word box ends the program normally; the next start is in English.
    ASSERT_NO_FATAL_FAILURE(focusWordBox());
    ASSERT_TRUE(display().keys({ u"alt+F4"_s }));
    EXPECT_EQ(m_program->waitForExit(kWaitMs), std::optional<int>(0));
    EXPECT_EQ(configText(), u"11101\r\n"_s);
    ASSERT_NO_FATAL_FAILURE(startProgram());
    EXPECT_TRUE(waitForPicture(u"menu-restarted"_s, menuBar(), u"menubar_en.png"_s));
    EXPECT_EQ(configText(), u"11101\r\n"_s);
}

// Builds the dictionary without sounds into `folder`; the builder's output goes to `log`.
bool buildData(const QString &folder, const QString &log)
{
    QProcess builder;
    dieWithParent(builder);
    builder.setProcessChannelMode(QProcess::MergedChannels);
    builder.setStandardOutputFile(log);
    builder.start(QString::fromUtf8(ZAREL_DICT_TOOL), { u"build"_s, u"--no-sound"_s, folder });
    if (!builder.waitForFinished(180000)) {
        endProcess(builder);
        return false;
    }
    return builder.exitStatus() == QProcess::NormalExit && builder.exitCode() == 0;
}

int skip(const QString &why)
{
    std::printf("SKIPPED: end-to-end desktop tests: %s\n", qPrintable(why));
    return kSkipped;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();

    const QString missing = XDisplay::missingTool();
    if (!missing.isEmpty())
        return skip(
            u"they need Xvfb, xdotool, xclip and ImageMagick's import; %1 is not installed"_s.arg(
                missing));
    if (!QFile::exists(u"/usr/share/dictd/freedict-eng-tur.index"_s))
        return skip(
            u"the FreeDict data (dict-freedict-eng-tur, dict-freedict-tur-eng) is not installed"_s);

    World world;
    world.references = QString::fromUtf8(ZAREL_E2E_REFERENCES);
    world.artifacts = QString::fromUtf8(ZAREL_E2E_ARTIFACTS);
    world.updateReferences = qEnvironmentVariable("ZAREL_E2E_UPDATE_REFERENCES") == u"1"_s;
    QDir(world.artifacts).removeRecursively();
    QDir().mkpath(world.artifacts);

    QTemporaryDir data;
    if (!data.isValid()) {
        std::printf("cannot make a temporary data folder\n");
        return 1;
    }
    world.dataFolder = data.path();
    if (!buildData(world.dataFolder, world.artifacts + u"/zarel-dict-build.log"_s)) {
        std::printf("zarel-dict build failed, see %s/zarel-dict-build.log\n",
                    qPrintable(world.artifacts));
        return 1;
    }
    QString error;
    if (!world.display.start(&error))
        return skip(error);

    g_world = &world;
    const int result = RUN_ALL_TESTS();
    g_world = nullptr;
    return result;
}
