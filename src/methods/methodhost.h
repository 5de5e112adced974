// What the learning-method windows, the hangman and the learning menus use of the main window:
// its word list, its lookup controls, its dictionary, its MP3 player, its folders, its interface
// language and help. The windows hold a MethodHost and never the main window's class, so they
// build and test without it; the main window implements the interface.
#pragma once

#include <functional>
#include <string>

#include <QString>

class QObject;
class QWidget;
class TMPEGPlayer;
namespace zarel {
class DictionaryIndex;
}

namespace zarel::methods {

// A headword found by a lookup: item `item` of tab `tab`; item -1 when nothing was found.
struct Located
{
    int tab = -1;
    int item = -1;
    bool found() const { return item >= 0; }
};

class MethodHost
{
public:
    virtual ~MethodHost() = default;

    // --- the word list ---
    // The number of entries.
    virtual int wordListCount() const = 0;
    // The text of entry i as the list shows it; empty outside the list.
    virtual QString wordListEntry(int i) const = 0;
    // True when entry i is an English word (false outside the list).
    virtual bool wordListEntryIsEnglish(int i) const = 0;
    // The tab entry i is looked up under: an English entry by its first letter, a Turkish one
    // by the Turkish letter table; -1 when the tab is to stay as it is (Q, ğ, a digit, an empty
    // entry, outside the list).
    virtual int wordListEntryTab(int i) const = 0;
    // The selected entry; -1 with none.
    virtual int selectedWordListEntry() const = 0;
    // Selects entry i (-1 clears the selection) without running the list's click handler.
    virtual void selectWordListEntry(int i) = 0;

    // --- the dictionary and the lookup controls ---
    virtual const zarel::DictionaryIndex &dictionary() const = 0;
    // Puts the headwords of `tab` into the word box (a tab outside 0..55 keeps the current tab)
    // and selects the first that begins with `searchText`, letter case folded as the word box
    // folds it. The selected headword becomes the box's text; with none, the box has no
    // selection and an empty text. `keepBoxText` leaves the box's text as it was. The tab's
    // change handler does not run.
    virtual Located locateInTab(int tab, const QString &searchText, bool keepBoxText) = 0;
    // The word box's text.
    virtual QString wordBoxText() const = 0;
    // Shows tab `tab` with its headwords in the word box (no change handler runs).
    virtual void showTab(int tab) = 0;

    // --- folders ---
    // The data folder: the dictionary, the pictures and sounds of the answers, the history.
    virtual std::string dataFolder() const = 0;
    // The "Wave/" folder of the installation disc, or "" without a disc.
    virtual std::string discSoundFolder() const = 0;

    // --- pronunciation ---
    // The player that pronounces the headwords.
    virtual TMPEGPlayer &mp3Player() = 0;
    // The installed sound file of item `item` of `tab`; "" for a Turkish tab or a bad item.
    virtual std::string headwordSound(int tab, int item) const = 0;
    // A pronunciation has ended (or was cut short and will not report its end): the open
    // windows' end-of-sound groups run, then the main window takes its buttons back.
    virtual void pronunciationEnded() = 0;
    // Registers (or, with an empty function, removes) the end-of-sound group `group` (1-6).
    virtual void setPronunciationEndGroup(int group, std::function<void()> handler) = 0;

    // --- the interface ---
    // True while the interface is in English (otherwise it is in Turkish).
    virtual bool englishInterface() const = 0;
    // Runs `handler` whenever the interface language may have changed, while `context` lives.
    virtual void onInterfaceLanguageChange(QObject *context, std::function<void()> handler) = 0;
    // Shows help page `turkishPage` or `englishPage` (by the interface language) modally.
    virtual void showHelpPage(const QString &turkishPage, const QString &englishPage) = 0;
    // The main window: parent of dialogs, the screen the method windows cover.
    virtual QWidget *hostWindow() = 0;
    // The busy mark: 1 while a method or the hangman is open, 0 otherwise.
    virtual void setBusyTag(int tag) = 0;
    // A method window or the hangman has closed: shows the main window again with the word box
    // focused and its text wholly selected. With `lookup` the box takes the text of its
    // selected headword (empty with none) and the lookup runs, so that the box, the tab, the
    // article and the pronounce button show one entry.
    virtual void showAfterMethod(bool lookup) = 0;
};

} // namespace zarel::methods
