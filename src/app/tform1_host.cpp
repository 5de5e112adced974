// TForm1 as the host of the method windows, the hangman and the learning menus: the word list,
// the lookup controls, the player, the folders and the interface language they use.
#include "app/tform1.h"

#include "app/ttabcontrol.h"
#include "controls/cp1254text.h"
#include "dictionary/codepage1254.h"
#include "dictionary/combosearch.h"
#include "platform/drivequery.h"

#include <algorithm>
#include <utility>

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>

namespace {

std::string toBytes(const QString &text)
{
    // A character the code page lacks becomes NUL, which no headword contains.
    return zarel::cp1254::fromUtf8(text.toStdString(), '\0');
}

} // namespace

int TForm1::wordListCount() const
{
    return static_cast<int>(MarkedList.size());
}

QString TForm1::wordListEntry(int i) const
{
    if (i < 0 || i >= wordListCount())
        return {};
    return zarel::app::fromCp1254(MarkedList.headword(static_cast<size_t>(i)));
}

bool TForm1::wordListEntryIsEnglish(int i) const
{
    return i >= 0 && MarkedList.isEnglish(static_cast<size_t>(i));
}

int TForm1::wordListEntryTab(int i) const
{
    return i >= 0 ? MarkedList.tab(static_cast<size_t>(i)) : -1;
}

int TForm1::selectedWordListEntry() const
{
    return ListBox1->currentRow();
}

void TForm1::selectWordListEntry(int i)
{
    // The list's own handlers react to clicks and keys only, so setting the row runs none.
    ListBox1->setCurrentRow(i >= 0 && i < ListBox1->count() ? i : -1);
}

const zarel::DictionaryIndex &TForm1::dictionary() const
{
    return Dictionary;
}

zarel::methods::Located TForm1::locateInTab(int tab, const QString &searchText, bool keepBoxText)
{
    const QString kept = Combo->currentText();
    TabControl1->setTabIndex(tab); // a tab outside the strip keeps the current one
    const int t = TabControl1->tabIndex();
    fillComboItems(t);
    const int k = zarel::findStringPrefix(comboEntries(), toBytes(searchText));
    selectItem(k);
    if (keepBoxText) {
        const QSignalBlocker blocker(Combo);
        Combo->setEditText(kept);
    }
    Combo->update();
    return { t, Combo->currentIndex() };
}

QString TForm1::wordBoxText() const
{
    return Combo->currentText();
}

void TForm1::showTab(int tab)
{
    selectTab(tab);
}

std::string TForm1::dataFolder() const
{
    return ProgramFolder;
}

std::string TForm1::discSoundFolder() const
{
    // The mount table is read when a sound is first missing from the data folder, not at
    // start-up; a folder set beforehand (tests) stands.
    if (!std::exchange(m_discLookedFor, true) && CdWavePath.empty())
        CdWavePath = zarel::findCdWavePath();
    return CdWavePath;
}

TMPEGPlayer &TForm1::mp3Player()
{
    return *MPEG1;
}

std::string TForm1::headwordSound(int tab, int item) const
{
    return headwordSoundPath(tab, item);
}

void TForm1::pronunciationEnded()
{
    MPEG1PlayEnd();
}

void TForm1::setPronunciationEndGroup(int group, std::function<void()> handler)
{
    setPlayEndGroup(group, std::move(handler));
}

bool TForm1::englishInterface() const
{
    return !Config.turkishInterface;
}

void TForm1::onInterfaceLanguageChange(QObject *context, std::function<void()> handler)
{
    connect(this, &TForm1::interfaceLanguageApplied, context, std::move(handler));
}

void TForm1::showHelpPage(const QString &turkishPage, const QString &englishPage)
{
    showHelp(turkishPage, englishPage);
}

QWidget *TForm1::hostWindow()
{
    return this;
}

void TForm1::setBusyTag(int tag)
{
    Tag = tag;
}

void TForm1::showAfterMethod(bool lookup)
{
    show();
    if (lookup) {
        // The box takes the text of the headword the method left selected (Method 4 locates
        // without touching the text), so that the box, the tab, the article and the pronounce
        // button all name one entry; with no headword selected the box and the pane are empty.
        const int k = Combo->currentIndex();
        {
            const QSignalBlocker blocker(Combo);
            Combo->setEditText(k >= 0 ? Combo->itemText(k) : QString());
        }
        ComboBox1Change();
        if (Combo->currentText().isEmpty())
            RichEdit1->clear();
    }
    Combo->setFocus();
    // As after every selection from code, the next typed character starts a new word.
    Combo->lineEdit()->selectAll();
}
