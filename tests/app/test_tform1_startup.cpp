// Start-up of the main window: index lists, word box, start texts by setting, failed loads,
// splash removal and the shut-down's removal of the temporary sound file.
#include "apptestenvironment.h"

#include "app/splash.h"
#include "app/ttabcontrol.h"
#include "app/wordlistmodel.h"
#include "dictionary/lettertabs.h"

#include <cctype>
#include <ostream>
#include <string>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QPointer>
#include <QTextEdit>

using namespace Qt::Literals::StringLiterals;
using zarel::test::baseEntry;
using zarel::test::userEntry;

namespace {

const QString kTurkishStartText
    = u"\n\nKelimeyi giriniz;\n"
      u"Karşılığını bulmak için AŞAĞI OK veya ENTER tuşuna basınız.\n"
      u"Bir sonraki kelimeye geçmek için CTRL tuşunu kullanabilirsiniz.\n"
      u"Tek tuş çeviri için \"CTRL+C\". \n"
      u"\n"
      u"Not: Çalışma yöntemleri kelime eklendikten sonra çalışır."_s;

const QString kEnglishStartText = u"\n\nInsert a word and press :\n"
                                  u"downwards arrow or <Enter> to find the word\n"
                                  u"<Ctrl> for the next word.\n"
                                  u"< Ctrl+C >  Clipboard translation\n"_s;

QStringList comboItems(const QComboBox *combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items.append(combo->itemText(i));
    return items;
}

bool splashLeftOpen()
{
    const auto windows = QApplication::topLevelWidgets();
    return std::any_of(windows.begin(), windows.end(),
                       [](QWidget *w) { return qobject_cast<TSplash *>(w) != nullptr; });
}

} // namespace

TEST_F(FormTest, WordBoxShowsTheHeadwordsOfTheFirstLetterWithNothingSelected)
{
    writeDictionary(
        { { 0, { baseEntry("abandon", "a1"), baseEntry("able", "a2"), userEntry("Abo", "a3") } },
          { 1, { baseEntry("bad", "b1") } } });
    TForm1 &form = startForm();

    EXPECT_TRUE(form.startupStatus().ok());
    EXPECT_TRUE(m_errors.isEmpty());
    EXPECT_EQ(form.TabControl1->tabIndex(), 0);
    EXPECT_EQ(comboItems(form.Combo), (QStringList { u"abandon"_s, u"able"_s, u"Abo"_s }));
    EXPECT_EQ(form.Combo->model(), form.wordList(0));
    EXPECT_EQ(form.Combo->currentIndex(), -1);
    EXPECT_TRUE(form.Combo->currentText().isEmpty());
    EXPECT_EQ(form.ProgramFolder, std::filesystem::current_path().string());
    EXPECT_FALSE(splashLeftOpen());
    EXPECT_TRUE(form.isVisible());
}

TEST_F(FormTest, ASplashShownBeforeTheWindowIsBuiltIsTakenOverAndClosed)
{
    writeDictionary({ { 0, { baseEntry("apple", "1") } } });
    TSplash::showAtStart();
    TSplash::showAtStart(); // a second call shows no second splash
    QPointer<QWidget> early;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (qobject_cast<TSplash *>(w) != nullptr && w->isVisible()) {
            EXPECT_TRUE(early.isNull()) << "two splash windows";
            early = w;
        }
    }
    ASSERT_FALSE(early.isNull());

    TForm1 &form = startForm();
    EXPECT_TRUE(form.startupStatus().ok());
    EXPECT_TRUE(early.isNull());
    EXPECT_FALSE(splashLeftOpen());
    EXPECT_EQ(TSplash::takeShown(), nullptr);
    EXPECT_EQ(comboItems(form.Combo), (QStringList { u"apple"_s }));
}

TEST_F(FormTest, SoundNumbersCountBaseRecordsPerLetterAndUserRecordsAreZero)
{
    writeDictionary({ { 1,
                        { baseEntry("back", "1"), userEntry("bakery", "2"), baseEntry("ball", "3"),
                          baseEntry("band", "4") } },
                      { 2, { userEntry("cab", "1"), baseEntry("cat", "2") } },
                      { 26, { baseEntry("araba", "car") } } });
    TForm1 &form = startForm();

    EXPECT_EQ(form.Dictionary.tab(1).soundNumbers,
              (std::vector<std::string> { "1", "0", "2", "3" }));
    EXPECT_EQ(form.Dictionary.tab(2).soundNumbers, (std::vector<std::string> { "0", "1" }));
    EXPECT_TRUE(form.Dictionary.tab(26).soundNumbers.empty());
    EXPECT_EQ(form.Dictionary.tab(26).count(), 1u);
}

TEST_F(FormTest, TurkishHeadwordsAreShownFromCodePage1254)
{
    writeDictionary({ { 47,
                        { baseEntry("\xFEi\xFE", "skewer"),
                          baseEntry("\xFE"
                                    "arap",
                                    "wine") } },
                      { 36, { baseEntry("\xDDyi", "good") } },
                      { 29,
                        { baseEntry("\xE7"
                                    "ay",
                                    "tea") } } });
    TForm1 &form = startForm();

    const struct
    {
        int tab;
        QStringList words;
    } cases[] = {
        { 47, { u"şiş"_s, u"şarap"_s } },
        { 36, { u"İyi"_s } },
        { 29, { u"çay"_s } },
        { 5, {} },
    };
    for (const auto &c : cases) {
        form.fillComboItems(c.tab);
        EXPECT_EQ(comboItems(form.Combo), c.words) << "tab " << c.tab;
        EXPECT_EQ(form.Combo->model(), form.wordList(c.tab));
        EXPECT_EQ(form.Combo->currentIndex(), -1);
    }
}

TEST_F(FormTest, FillingTheWordBoxClearsTheTextAndRaisesNoChange)
{
    writeDictionary({ { 0, { baseEntry("apple", "1") } }, { 1, { baseEntry("bee", "2") } } });
    TForm1 &form = startForm();
    int changes = 0;
    QObject::connect(form.Combo, &QComboBox::currentIndexChanged, form.Combo, [&] { ++changes; });
    QObject::connect(form.Combo, &QComboBox::editTextChanged, form.Combo, [&] { ++changes; });

    form.Combo->setEditText(u"typed"_s);
    changes = 0;
    form.fillComboItems(1);

    EXPECT_EQ(changes, 0);
    EXPECT_TRUE(form.Combo->currentText().isEmpty());
    EXPECT_EQ(comboItems(form.Combo), QStringList { u"bee"_s });
}

TEST_F(FormTest, AllFiftySixTabsCarryTheirPicturesAndDesignedCaptions)
{
    writeDictionary({});
    TForm1 &form = startForm();
    QTabBar *bar = form.TabControl1->tabBar();

    ASSERT_EQ(form.TabControl1->count(), zarel::kTabCount);
    EXPECT_EQ(bar->tabText(0), u"A"_s);
    EXPECT_EQ(bar->tabText(25), u"Z"_s);
    // The Turkish tabs are captioned with the bytes 0xC0.. of code page 1254.
    EXPECT_EQ(bar->tabText(26), u"À"_s);
    EXPECT_EQ(bar->tabText(55), u"İ"_s);
    for (int t = 0; t < zarel::kTabCount; ++t) {
        EXPECT_FALSE(bar->tabIcon(t).isNull()) << t;
        EXPECT_EQ(bar->tabRect(t).width(), 18) << t;
    }
}

struct StartSettingsCase
{
    const char *file;
    bool controlC, popUp, standardView, turkish, englishToTurkish;
};

// CTest lists each case by its file's text instead of the struct's bytes.
void PrintTo(const StartSettingsCase &c, std::ostream *out)
{
    *out << '"';
    for (const char ch : std::string(c.file))
        *out << (ch == '\r' ? "\\r" : ch == '\n' ? "\\n" : std::string(1, ch));
    *out << '"';
}

class StartSettingsTest : public FormTest, public ::testing::WithParamInterface<StartSettingsCase>
{
};

TEST_P(StartSettingsTest, StoredSettingsSetTheMenusAndTheStartTextWithoutRewritingTheFile)
{
    const StartSettingsCase &c = GetParam();
    writeDictionary({ { 0, { baseEntry("a", "x") } } });
    zarel::test::writeFile(file("Dictionary.cfg"), c.file);
    TForm1 &form = startForm();

    EXPECT_EQ(form.ControlC1->isChecked(), c.controlC);
    EXPECT_EQ(form.PopUp1->isChecked(), c.popUp);
    EXPECT_EQ(form.N11->isChecked(), c.standardView);
    EXPECT_EQ(form.N12->isChecked(), !c.standardView);
    EXPECT_EQ(form.N14->isChecked(), c.turkish);
    EXPECT_EQ(form.N15->isChecked(), !c.turkish);
    EXPECT_EQ(form.KbEg1->isChecked(), c.englishToTurkish);
    EXPECT_EQ(form.KbTr1->isChecked(), !c.englishToTurkish);
    EXPECT_EQ(form.RichEdit1->toPlainText(), c.turkish ? kTurkishStartText : kEnglishStartText);
    EXPECT_EQ(zarel::test::readFile(file("Dictionary.cfg")), c.file);
    EXPECT_EQ(form.Config.flags().size(), 5u);
}

INSTANTIATE_TEST_SUITE_P(
    ConfigFiles, StartSettingsTest,
    ::testing::Values(StartSettingsCase { "11111", true, true, true, true, true },
                      StartSettingsCase { "10101", true, false, true, false, true },
                      StartSettingsCase { "10101\r\n", true, false, true, false, true },
                      StartSettingsCase { "1", true, false, false, false, false },
                      StartSettingsCase { "00000", false, false, false, false, false },
                      StartSettingsCase { "01010\nignored", false, true, false, true, false },
                      StartSettingsCase { "x1y1z", false, true, false, true, false },
                      StartSettingsCase { "", false, false, false, false, false }),
    [](const ::testing::TestParamInfo<StartSettingsCase> &info) {
        std::string name = "file" + std::to_string(info.index) + "_";
        for (const char c : std::string(info.param.file))
            name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

TEST_F(FormTest, MissingSettingsFileIsCreatedAndTheDesignedStateKept)
{
    writeDictionary({});
    TForm1 &form = startForm();

    EXPECT_EQ(zarel::test::readFile(file("Dictionary.cfg")), "11111");
    EXPECT_EQ(form.Config.flags(), "11111");
    EXPECT_TRUE(form.ControlC1->isChecked() && form.PopUp1->isChecked() && form.N11->isChecked()
                && form.N14->isChecked() && form.KbEg1->isChecked());
    EXPECT_FALSE(form.N12->isChecked() || form.N15->isChecked() || form.KbTr1->isChecked());
    EXPECT_EQ(form.RichEdit1->toPlainText(), kTurkishStartText);
    EXPECT_EQ(form.RichEdit1->alignment(), Qt::AlignLeft);
}

TEST_F(FormTest, MissingIndexFileStopsTheStartAndLaterTabsStayEmpty)
{
    writeDictionary({ { 0, { baseEntry("apple", "1") } },
                      { 29,
                        { baseEntry("\xE7"
                                    "ay",
                                    "tea") } },
                      { 30, { baseEntry("dere", "brook") } },
                      { 40, { baseEntry("masa", "table") } } });
    std::filesystem::remove(file("tr/base_5.dak")); // tab 30, the 31st file
    TForm1 &form = startForm();

    ASSERT_EQ(m_errors.size(), 1);
    EXPECT_TRUE(m_errors.at(0).startsWith(u"File not found"_s)) << m_errors.at(0).toStdString();
    EXPECT_TRUE(
        m_errors.at(0).endsWith(QString::fromStdString(form.ProgramFolder + "/tr/base_5.dak")))
        << m_errors.at(0).toStdString();
    EXPECT_FALSE(form.startupStatus().ok());
    EXPECT_FALSE(splashLeftOpen());

    for (int t = 0; t < 30; ++t)
        EXPECT_TRUE(form.Dictionary.tab(t).created) << t;
    for (int t = 31; t < zarel::kTabCount; ++t)
        EXPECT_FALSE(form.Dictionary.tab(t).created) << t;
    // The word box is not filled and the start text not written.
    EXPECT_EQ(form.Combo->count(), 0);
    EXPECT_TRUE(form.RichEdit1->toPlainText().isEmpty());

    // The loaded tabs work; the others are empty lists wherever they are chosen.
    form.fillComboItems(29);
    EXPECT_EQ(form.Combo->count(), 1);
    for (const int t : { 30, 40, 55, 56, -1 }) {
        form.TabControl1->setTabIndex(t);
        form.fillComboItems(t);
        EXPECT_EQ(form.Combo->count(), 0) << t;
        EXPECT_EQ(form.wordList(t)->rowCount(), 0) << t;
    }
    EXPECT_EQ(form.TabControl1->tabIndex(), 55);
    EXPECT_EQ(form.TabControl1->count(), zarel::kTabCount);
}

TEST_F(FormTest, MissingFirstIndexFileLeavesEveryTabEmpty)
{
    writeDictionary({ { 0, { baseEntry("apple", "1") } } });
    std::filesystem::remove(file("eg/base_a.dak"));
    TForm1 &form = startForm();

    ASSERT_EQ(m_errors.size(), 1);
    EXPECT_TRUE(m_errors.at(0).contains(u"/eg/base_a.dak"_s));
    for (int t = 0; t < zarel::kTabCount; ++t)
        EXPECT_EQ(form.wordList(t)->rowCount(), 0) << t;
}

TEST_F(FormTest, AWordAddedToATabThatNeverLoadedShowsInThatTabAlone)
{
    writeDictionary({ { 0, { baseEntry("apple", "1") } } });
    std::filesystem::remove(file("eg/base_c.dak"));
    TForm1 &form = startForm();
    ASSERT_EQ(m_errors.size(), 1);

    // How the add-word dialog hands a stored word to the running lists.
    form.Dictionary.insertUserEntry(40, 0, zarel::TWordRecord::make("masa", 0, 1, 0));
    form.wordList(40)->insertHeadword(0, u"masa"_s);
    EXPECT_EQ(form.wordList(40)->headwords(), (QList<QString> { u"masa"_s }));
    for (const int t : { 3, 39, 41, 55 })
        EXPECT_EQ(form.wordList(t)->rowCount(), 0) << t;
}

TEST_F(FormTest, UnreadableSettingsFileStopsTheStartBeforeTheIndex)
{
    writeDictionary({ { 0, { baseEntry("apple", "1") } } });
    std::filesystem::create_directory(file("Dictionary.cfg")); // exists but cannot be read
    TForm1 &form = startForm();

    ASSERT_EQ(m_errors.size(), 1);
    EXPECT_TRUE(m_errors.at(0).contains(u"Dictionary.cfg"_s)) << m_errors.at(0).toStdString();
    EXPECT_TRUE(form.ProgramFolder.empty());
    EXPECT_FALSE(form.Dictionary.tab(0).created);
    EXPECT_FALSE(splashLeftOpen());
    // Settings commands store nothing without a program folder.
    form.PopUp1->trigger();
    EXPECT_FALSE(form.PopUp1->isChecked());
    EXPECT_EQ(m_errors.size(), 1);
}

TEST_F(FormTest, ShutDownRemovesTheTemporarySoundFile)
{
    writeDictionary({});
    startForm();
    zarel::test::writeFile(file("play.tmp"), "pcm");
    zarel::test::writeFile(file("PLAY.TMP"), "pcm");
    zarel::test::writeFile(file("keep.tmp"), "x");
    closeForm();

    EXPECT_FALSE(zarel::test::exists(file("play.tmp")));
    EXPECT_FALSE(zarel::test::exists(file("PLAY.TMP")));
    EXPECT_TRUE(zarel::test::exists(file("keep.tmp")));

    startForm(); // no temporary file this time: no error
    closeForm();
    EXPECT_TRUE(m_errors.isEmpty());
}

TEST_F(FormTest, WaveFolderOfTheDiscIsEmptyOrEndsInWave)
{
    writeDictionary({});
    TForm1 &form = startForm();
    EXPECT_TRUE(form.CdWavePath.empty()) << "the mount table is read only when needed";
    const std::string path = form.discSoundFolder();
    EXPECT_TRUE(path.empty() || (path.size() > 6 && path.ends_with("/Wave/"))) << path;
}
