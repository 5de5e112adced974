// TForm1 start-up and shut-down: splash, settings, index loading, the word box of the first
// letter and the start text; at the end the temporary sound file is removed.
#include "app/tform1.h"

#include "sound/tmpegplayer.h"

#include "controls/tricheditdblclick.h"

#include "app/errorbox.h"
#include "app/splash.h"
#include "app/ttabcontrol.h"
#include "app/userdialogs.h"
#include "app/wordlistmodel.h"
#include "controls/cp1254text.h"
#include "dictionary/configfile.h"
#include "dictionary/lettertabs.h"

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <system_error>

#include <QAction>
#include <QComboBox>
#include <QSignalBlocker>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextEdit>

using namespace Qt::Literals::StringLiterals;

namespace {

std::string currentDirectory()
{
    std::error_code ec;
    const std::filesystem::path cwd = std::filesystem::current_path(ec);
    return ec ? std::string() : cwd.string();
}

} // namespace

void TForm1::FormCreate()
{
    // The program entry may have shown the splash already, before the window was built.
    Splash = TSplash::takeShown();
    const bool splashShown = Splash != nullptr;
    if (!splashShown)
        Splash = std::make_unique<TSplash>();
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    if (!splashShown)
        Splash->showAndPaint();

    m_designedFormWidth = width();
    m_designedTabWidth = TabControl1->width();
    m_designedComboWidth = Combo->width();
    MarkedList.clear();

    // The designed menus show the default settings; stored ones that differ are shown and
    // applied before ProgramFolder is known, so applying them stores nothing.
    // The designed logo is the English-Turkish one; a stored direction switches it below.
    applyDirection();
    loadBackgrounds();
    const zarel::Settings designed;
    Config = designed;
    const zarel::SettingsLoad loaded = zarel::loadSettings(currentDirectory());
    if (!loaded.status.ok()) {
        discardIndexLoad();
        failStartup(loaded.status);
        return;
    }
    Config = loaded.settings;
    showSettings();
    if (Config.standardView != designed.standardView)
        applyView();
    if (Config.turkishInterface != designed.turkishInterface)
        applyInterfaceLanguage();
    if (Config.englishToTurkish != designed.englishToTurkish)
        applyDirection();
    // Qt's own dialogs and the Yes/No buttons speak the interface language from the start.
    zarel::app::setDialogLanguage(Config.turkishInterface);

    ProgramFolder = currentDirectory();
    // Every tab exists from the start, so a tab number computed anywhere is always a tab;
    // the tabs of files that fail to load show empty lists.
    appendTurkishTabs();
    const zarel::Status indexLoaded = finishIndexLoad();
    buildWordLists();
    if (!indexLoaded.ok()) {
        failStartup(indexLoaded);
        return;
    }

    fillComboItems(TabControl1->tabIndex());
    Combo->repaint();
    writeStartText();

    Splash.reset();
    show();
    repaint();
    // After the window is shown, so a report about an unreadable list appears over it.
    restoreKeptList();

    joinClipboardViewers();
    if (Combo->isEnabled())
        Combo->setFocus();
}

void TForm1::startIndexLoad()
{
    // The files lie under the current directory, which is the program folder. Without a
    // thread to spare, FormCreate loads them itself.
    try {
        m_indexLoad = std::async(std::launch::async, [this, folder = currentDirectory()] {
            return Dictionary.loadAll(
                folder, [this] { m_indexFilesLoaded.fetch_add(1, std::memory_order_release); });
        });
    } catch (const std::system_error &) {
        m_indexLoad = {};
    }
}

void TForm1::discardIndexLoad()
{
    if (m_indexLoad.valid())
        (void)m_indexLoad.get();
    for (int t = 0; t < zarel::kTabCount; ++t)
        Dictionary.tab(t) = zarel::TabLists {};
    buildWordLists();
}

zarel::Status TForm1::finishIndexLoad()
{
    if (!m_indexLoad.valid()) // no worker, or a second start-up of the same window
        return Dictionary.loadAll(ProgramFolder, [this] { Splash->advance(); });
    // Each loaded file advances the splash: the files done by now at once, the rest as they come.
    int counted = 0;
    const auto countLoaded = [&] {
        for (const int loaded = m_indexFilesLoaded.load(std::memory_order_acquire);
             counted < loaded; ++counted)
            Splash->advance();
    };
    while (m_indexLoad.wait_for(std::chrono::milliseconds(TSplash::kLabelPaintInterval))
           != std::future_status::ready)
        countLoaded();
    countLoaded();
    return m_indexLoad.get();
}

void TForm1::failStartup(const zarel::Status &status)
{
    m_startupStatus = status;
    Splash.reset();
    zarel::app::reportError(this, zarel::app::errorText(status));
}

void TForm1::appendTurkishTabs()
{
    if (m_turkishTabsAppended)
        return;
    m_turkishTabsAppended = true;
    for (int n = 1; n <= zarel::kTurkishTabCount; ++n) {
        const auto caption = static_cast<char>(191 + n);
        TabControl1->addTab(tabPicture(zarel::kEnglishTabCount - 1 + n),
                            zarel::app::fromCp1254(std::string_view(&caption, 1)));
    }
}

void TForm1::buildWordLists()
{
    // Every tab gets a model over its own lists (empty until they are loaded), so a word added
    // to a tab whose file never loaded shows in that tab alone.
    for (int t = 0; t < zarel::kTabCount; ++t) {
        WordListModel *&model = m_wordLists[static_cast<size_t>(t)];
        if (model == m_emptyWordList)
            model = new WordListModel(Dictionary.tab(t), this);
        else
            model->reload();
    }
}

QStringList TForm1::startText(bool turkish)
{
    if (turkish) {
        return {
            QString(),
            QString(),
            u"Kelimeyi giriniz;"_s,
            u"Karşılığını bulmak için AŞAĞI OK veya ENTER tuşuna basınız."_s,
            u"Bir sonraki kelimeye geçmek için CTRL tuşunu kullanabilirsiniz."_s,
            u"Tek tuş çeviri için \"CTRL+C\". "_s,
            QString(),
            u"Not: Çalışma yöntemleri kelime eklendikten sonra çalışır."_s,
        };
    }
    return {
        QString(),
        QString(),
        u"Insert a word and press :"_s,
        u"downwards arrow or <Enter> to find the word"_s,
        u"<Ctrl> for the next word."_s,
        u"< Ctrl+C >  Clipboard translation"_s,
        QString(),
    };
}

void TForm1::writeStartText()
{
    RichEdit1->clear();
    RichEdit1->setPlainText(startText(Config.turkishInterface).join(u'\n'));
    QTextCursor cursor(RichEdit1->document());
    cursor.select(QTextCursor::Document);
    QTextBlockFormat left;
    left.setAlignment(Qt::AlignLeft);
    cursor.mergeBlockFormat(left);
}

void TForm1::FormDestroy()
{
    // The wave player spools to "PLAY.TMP"; the old lower-case spelling named the same file
    // on a case-insensitive file system, so both are removed. A missing file is no error.
    teardownVoiceRecording();
    std::error_code ec;
    std::filesystem::remove("play.tmp", ec);
    std::filesystem::remove("PLAY.TMP", ec);
    leaveClipboardViewers();
    MarkedList.clear();
    // The word-list models read the index, which goes with the window's members before the
    // child widgets are torn down: the word box lets go of them first.
    {
        const QSignalBlocker blocker(Combo);
        Combo->setModel(m_emptyWordList);
    }
    for (WordListModel *&model : m_wordLists) {
        if (model != m_emptyWordList)
            delete model;
        model = m_emptyWordList;
    }
    if (MPEG1->LibraryLoaded()) {
        try {
            MPEG1->UnloadPlayerLibrary();
        } catch (const TMPEGError &) {
            // Shutting down: nothing more to do with a library that refuses to close.
        }
    }
}
