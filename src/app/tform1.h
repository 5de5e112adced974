// TForm1: the main window with every control and menu item under the name the program gives
// it. The construction and layout live in tform1.cpp, start-up and shut-down in
// tform1_startup.cpp, the settings commands in tform1_config.cpp.
#pragma once

#include "controls/tcombobox.h"
#include "controls/tricheditdblclick.h"
#include "dictionary/dictionaryindex.h"
#include "dictionary/settings.h"
#include "dictionary/wordlist.h"
#include "methods/methodhost.h"
#include "platform/result.h"

#include <array>
#include <atomic>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include <QList>
#include <QMainWindow>
#include <QPixmap>
#include <QStringList>

class QAction;
class QFrame;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QListWidget;
class QMenu;
class QMenuBar;
class QPushButton;
class QTextEdit;
class QToolButton;
class AlignLayout;
class ComboKeys;
struct ShiftState;
namespace zarel {
struct TWordRecord;
}
class TSplash;
class TTabControl;
class WordListModel;
class TMPEGPlayer;
class TAudio;

class TForm1 : public QMainWindow, public zarel::methods::MethodHost
{
    Q_OBJECT
public:
    static constexpr int kClientWidth = 612;
    static constexpr int kClientHeight = 320;

    // Builds the controls as designed and runs FormCreate (the splash, the settings, the
    // index, the start text).
    explicit TForm1(QWidget *parent = nullptr);
    // Runs FormDestroy.
    ~TForm1() override;

    // --- start-up and shut-down (tform1_startup.cpp) ---
    // Runs once, from the constructor: splash, optical-disc wave folder, settings, index,
    // word box of the first tab, start text. A settings or index file that cannot be read
    // closes the splash, reports "File not found" (or the read error) with the path and ends
    // the start-up there; tabs not loaded show empty lists.
    void FormCreate();
    // Runs from the destructor: removes the wave player's temporary file from the current
    // directory and frees the marked word list.
    void FormDestroy();

    // Fills Combo with the headwords of `tab` (the tab's model; nothing is copied): no item
    // selected, the edit text emptied, no change handler run. A tab that was not loaded, or a
    // number outside 0..55, gives an empty list.
    void fillComboItems(int tab);
    // The headword model of `tab`; an empty model for a tab outside 0..55.
    WordListModel *wordList(int tab) const;
    // Clears RichEdit1 and writes the start text of the interface language (N14 checked:
    // Turkish), aligned left.
    void writeStartText();
    // The lines of the start text.
    static QStringList startText(bool turkish);
    // The outcome of the start-up: the first failure (settings file or index file), if any.
    const zarel::Status &startupStatus() const { return m_startupStatus; }

    // Sets the size of the area below the menu bar and keeps the window at that fixed size.
    void setClientSize(int width, int height);

    // --- the settings commands of the Options and Translation menus (tform1_config.cpp) ---
    // Each command changes its field of Config (a radio command only when the other choice is
    // in force), shows the settings in the menus, applies the effect and stores the file.
    void ControlC1Click();
    void PopUp1Click();
    void N11Click();
    void N12Click();
    void N14Click();
    void N15Click();
    void KbEg1Click();
    void KbTr1Click();
    // Sets the check marks of the eight settings items from Config.
    void showSettings();

    // --- the lookup (tform1_lookup.cpp) ---
    // The lookup change: remembers the tab and item, sets the pronounce button, and shows the
    // selected entry's article when the text is its headword exactly.
    void ComboBox1Change();
    void ComboKeyDown(int key, ShiftState shift);
    void ComboKeyPress(unsigned char key);
    void ComboKeyUp(int key, ShiftState shift);
    void TabControl1Change();
    void SpeedButton16Click(QToolButton *sender);
    void SpeedButton4Click();
    void RichEdit1DblClick();
    // --- pronunciation (src/sound/tform1_pronunciation.cpp) ---
    // Pronounces the selected English headword.
    void Button7Click();
    // The end of any MP3 played through MPEG1: the open windows' groups, then the main window.
    void MPEG1PlayEnd();
    // The sound file of item `item` of `tab`, under the current directory: "/wave/" + (tab + 1)
    // + "/" + its sound number + ".mp3" for a dictionary entry, zarel::userSoundPath for a word
    // the user added; empty for a Turkish tab or a bad item.
    std::string headwordSoundPath(int tab, int item) const;
    // True when item `item` of `tab` has a sound file to pronounce.
    bool headwordSoundExists(int tab, int item) const;
    // The sound of a word the user added to `tab` has been made (or its making failed): the
    // command buttons follow. Called by the add-word dialog's sound maker.
    Q_INVOKABLE void userSoundFinished(int tab, const QByteArray &headword);
    // Registers (or, with an empty function, removes) the end-of-sound group `group` (1-6) of
    // an open method window.
    void setPlayEndGroup(int group, std::function<void()> handler);
    // Selects a tab from code and puts its headwords into Combo (no change handler runs).
    void selectTab(int tab);
    // Selects a Combo item from code: its text goes into the edit field wholly selected, so the
    // next typed character starts a new word (-1 empties it).
    void selectItem(int index);
    // Opens the add-word dialog for `word` on `tab`; a stored word joins the lists at once.
    void openAddWordDialog(const QString &word, int tab);
    // True while the MP3 library is loaded, that is while a sound plays.
    bool mpegLibraryLoaded() const;

    // --- the word list (tform1_wordlist.cpp) ---
    // Shows the selected entry's article under the tab of its language.
    void ListBox1Click();
    void Button1Click(); // add the word box's headword
    void Button2Click(); // save the list
    void Button3Click(); // open a list file in place of the list
    void Button4Click(); // clear the list, after a confirmation when it has entries
    // The kept word list: the marked list stored in the data folder whenever it changes and
    // read back at start-up.
    static constexpr const char *kKeptListFile = "WordList.DIC";
    std::string keptListPath() const;
    void Button13Click(); // append a list file
    // Shows MarkedList in ListBox1 (every item rebuilt), the count label and the command
    // buttons; run after a change made to MarkedList from outside the list commands.
    void showWordList();
    // The marked entries of MarkedList as text, and MarkedList replaced by marked entries (and
    // shown); the kept list file is not touched.
    QStringList markedEntries() const;
    void setMarkedEntries(const QStringList &marked);
    // --- voice recording (src/sound/tform1_voice.cpp) ---
    // Stops the voice replay and enables the replay button when a recording exists.
    void StopVoiceReplay();
    void stopWavePlayer();
    // Brings the replay button (with the other command buttons) in line with the state.
    void updateReplayButton();
    // True from the start of a voice recording to its stop; pronounce and replay stay off.
    bool voiceRecordingRunning() const;
    void SpeedButton1Click(); // start or stop recording
    void SpeedButton2Click(); // replay the recording
    void Audio1Record(const void *lp, const void *rp, quint16 size); // device thread
    void Audio1Played();
    // Tests give the window a wave recorder and player over a virtual device.
    static void setAudioFactory(std::function<TAudio *(QObject *)> factory);
    TAudio *Audio1;
    std::unique_ptr<QByteArray> VoiceRecording; // raw samples of the last recording
    std::unique_ptr<QByteArray> VoiceRecordingRight;

    // --- transcription and abbreviation keys (src/sound/tform1_keys.cpp) ---
    void N16Click();
    void N17Click();
    void transButtonClick(QToolButton *sender);
    void SpeedButton3Click();

    // --- clipboard translation (tform1_clipboard.cpp) ---
    // A clipboard change: look the copied text up in the current direction, then the pop-up.
    // While a method window is open the copied text waits and is looked up when it closes.
    void clipboardChanged();

    // --- learning methods and the hangman (src/methods/tform1_methods.cpp) ---
    void Button5Click(); // Method 1
    void Button9Click(); // Method 2
    void Button11Click(); // Method 3
    void Button16Click(); // Method 4
    void Button12Click(); // Method 5
    void Button10Click(); // the hangman
    // The entries of the tab whose headwords Combo holds (item i of Combo is entry i).
    const std::vector<const zarel::TWordRecord *> &comboEntries() const;
    // True while a method window (Methods 1-5) is open.
    bool methodWindowOpen() const { return m_methodWindowOpen; }

    // --- what the method windows, the hangman and the learning menus use (tform1_host.cpp) ---
    int wordListCount() const override;
    QString wordListEntry(int i) const override;
    bool wordListEntryIsEnglish(int i) const override;
    int wordListEntryTab(int i) const override;
    int selectedWordListEntry() const override;
    void selectWordListEntry(int i) override;
    const zarel::DictionaryIndex &dictionary() const override;
    zarel::methods::Located locateInTab(int tab, const QString &searchText,
                                        bool keepBoxText) override;
    QString wordBoxText() const override;
    void showTab(int tab) override;
    std::string dataFolder() const override;
    std::string discSoundFolder() const override;
    TMPEGPlayer &mp3Player() override;
    std::string headwordSound(int tab, int item) const override;
    void pronunciationEnded() override;
    void setPronunciationEndGroup(int group, std::function<void()> handler) override;
    bool englishInterface() const override;
    void onInterfaceLanguageChange(QObject *context, std::function<void()> handler) override;
    void showHelpPage(const QString &turkishPage, const QString &englishPage) override;
    QWidget *hostWindow() override;
    void setBusyTag(int tag) override;
    void showAfterMethod(bool lookup) override;

    // --- the command buttons (tform1_wordlist.cpp) ---
    // Decides save-list, clear, add, open and append, the five method buttons, the hangman,
    // pronounce, record and replay from the state: the list's words, a recording running, a
    // replay or a sound playing, a key page shown, and whether the current entry has a sound.
    // Sets PronounceAfterPlay to what pronounce offers once a playing sound has ended. Run it
    // after every change of that state.
    void updateCommandButtons();

    // --- help and about windows (src/help/tform1_help.cpp) ---
    void F11Click(); // Help > Help and F1: the main help page of the interface language
    void N3Click(); // About us
    void N4Click(); // About the program
    void MultilingualOnlineDictionary1Click();
    // Shows the help page `turkishPage` or `englishPage` (by the interface language) of the
    // "/hlp" folder of the current directory in the modal help window.
    void showHelp(const QString &turkishPage, const QString &englishPage);
    QString HelpPath; // the full path of the page the help window shows next

    // --- language, view, direction (tform1_language.cpp) ---
    // The logo toggles the translation direction.
    void Image1Click();

    // --- controls ---
    QFrame *topPanel;
    QLabel *Image1;
    TTabControl *TabControl1;
    TComboBox *Combo;
    QToolButton *SpeedButton16;
    QToolButton *SpeedButton17;
    QToolButton *SpeedButton18;
    QToolButton *SpeedButton19;
    QToolButton *SpeedButton20;
    QToolButton *SpeedButton21;
    QToolButton *SpeedButton22;
    QToolButton *SpeedButton4;

    QFrame *mainPanel;
    QFrame *rightPanel1;
    QFrame *rightPanel2;
    QLabel *Image3;
    QPushButton *Button5;
    QPushButton *Button9;
    QPushButton *Button11;
    QPushButton *Button16;
    QPushButton *Button12;
    QPushButton *Button10;
    QPushButton *Button2;
    QPushButton *Button13;

    QFrame *Panel1;
    QListWidget *ListBox1;
    QLabel *Label1;
    QLabel *Image4;
    QLabel *Image5;
    QPushButton *Button4;

    QFrame *Panel2;
    TRichEditDblClick *RichEdit1;
    QFrame *Panel4;
    QLabel *Image6;
    QFrame *Panel3;
    QLabel *Image2;
    QPushButton *Button7;
    QToolButton *SpeedButton1;
    QToolButton *SpeedButton2;
    QPushButton *Button1;
    QPushButton *Button3;
    QToolButton *SpeedButton3;

    QMenuBar *MainMenu1;
    QMenu *N18;
    QAction *N19;
    QAction *N20;
    QAction *N21;
    QAction *N22;
    QMenu *N1;
    QAction *ControlC1;
    QAction *PopUp1;
    QMenu *N10;
    QAction *N11;
    QAction *N12;
    QMenu *N13;
    QAction *N14;
    QAction *N15;
    QMenu *N9;
    QAction *N16;
    QAction *N17;
    QMenu *Langugae1;
    QAction *KbEg1;
    QAction *KbTr1;
    QMenu *N2;
    QAction *F11;
    QAction *N3;
    QAction *N4;
    QAction *MultilingualOnlineDictionary1;
    QMenu *PopupMenu1;
    QAction *Delete1;
    QAction *Action1;
    QList<QPixmap> ImageList1; // empty until a tab picture is first drawn
    TMPEGPlayer *MPEG1;
    QGroupBox *RzGroupBox1;
    QGroupBox *RzGroupBox2;
    QGroupBox *RzGroupBox3;
    QGroupBox *RzGroupBox4;
    QGroupBox *RzGroupBox5;
    std::array<QToolButton *, 48> trans {}; // trans1 ... trans48
    QTextEdit *RzRichEdit1;

    // --- state ---
    std::string ProgramFolder; // the current directory at start-up; root of dictionary paths
    // The "Wave/" folder of the first optical disc, or ""; looked for on first use.
    mutable std::string CdWavePath;
    zarel::Settings Config; // the settings of Dictionary.cfg; the menus show them
    zarel::DictionaryIndex Dictionary; // IndexBuffers, EntryLists, WordLists, SoundNumbers
    zarel::WordList MarkedList; // the word list; ListBox1 shows its headwords
    int LastTab = 0;
    int LastItemIndex = 0;
    QString TypedText;
    bool PronounceAfterPlay = true;
    int Tag = 0; // 1 while the hangman window is open

Q_SIGNALS:
    // The captions have been set in the interface language (at start and after a change).
    void interfaceLanguageApplied();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Shown again after a method or the hangman: the headword they left is wholly selected.
    void showEvent(QShowEvent *event) override;

private:
    void buildTopPanel(QWidget *client, AlignLayout *clientLayout);
    void buildRightPanels(AlignLayout *mainLayout);
    void buildArticlePanel(AlignLayout *mainLayout);
    void buildMenus();
    void wireSettings();
    void appendTurkishTabs();
    void buildWordLists();
    // The index files load on a worker thread while the window is built; finishIndexLoad waits
    // for them, counting each file on the splash, and gives the load's outcome.
    void startIndexLoad();
    zarel::Status finishIndexLoad();
    // Waits for a load that the start-up does not use (the settings could not be read) and
    // leaves every tab unloaded, as a start that stops before the index.
    void discardIndexLoad();
    void failStartup(const zarel::Status &status);
    void wireLookup();
    void wireWordList();
    void wireLanguage();
    void loadBackgrounds();
    void wireHelp();
    void wireMethods();
    void buildVoiceRecording();
    void teardownVoiceRecording();
    void setVoiceControlsEnabled(bool enabled);
    void launchMethod(int method);
    void joinClipboardViewers();
    void leaveClipboardViewers();
    void handleClipboardText(const QString &copied, bool popUp);
    void clipboardLookup(const std::string &key, int tab);
    // Selects the first headword of Combo's tab that begins with the longest leading part of
    // `text` and shows it; none found empties the word box. An empty text changes nothing.
    void selectLongestLeadingPart(const std::string &text);
    void clipboardPopUp();
    void buildKeyPanel();
    // An icon made by `make` when it is first drawn or asked about, for buttons built at start
    // whose pictures cost time to make; until then it counts as not null.
    static QIcon iconOnFirstUse(std::function<QIcon()> make);
    // The picture of letter tab `tab`, drawn with all the others (ImageList1) on first use.
    QIcon tabPicture(int tab);
    void enterKeyPage();
    // The main window's part of the end of a sound: buttons and panels back, library unloaded.
    void mainWindowSoundEnded();
    bool loadRichTextFile(QTextEdit *target, const QString &relative);
    bool languageEvent(QObject *watched, QEvent *event);
    void beepWhileKeyPageShown();
    bool wordListKeyEvent(QKeyEvent *event);
    void deleteListEntry(bool fromMenu);
    void updateCountLabel();
    void listBecameEmpty();
    void listGotEntries();
    // Adds the items of MarkedList's entries from `from` on to ListBox1, then the count label
    // and the command buttons.
    void showNewListEntries(size_t from);
    void openListFile(bool replace);
    void switchToStandardView();
    void comboTextEdited(const QString &text);
    void selectItemKeepingText(int index);
    void selectWholeComboText();
    // Reads the kept word list at start-up; a file that cannot be read leaves the list empty,
    // says so, and stays on disk until the list changes.
    void restoreKeptList();
    // Writes the kept word list after a change; a failure is reported once until a write
    // succeeds again.
    void storeKeptList();
    void showArticle(int tab, const zarel::TWordRecord &record);
    void bringToFront();

    // Switches the setting at `position` to `on` unless it is in force: shows it in the
    // menus, runs `apply` and stores it.
    void switchSetting(int position, bool on, void (TForm1::*apply)());
    // Stores the settings after the one at `position` changed; skipped while the settings are
    // being applied at start-up (ProgramFolder is still empty then).
    void storeSetting(int position);
    // The visible effect of the view, language and direction commands.
    void applyView();
    void applyInterfaceLanguage();
    void applyDirection();

    std::unique_ptr<TSplash> Splash;
    ComboKeys *m_comboKeys = nullptr;
    QMetaObject::Connection m_clipboardConnection;
    int m_comboTab = 0; // the tab whose headwords Combo holds
    bool m_listPopupAuto = false; // the list's pop-up menu opens on a right click
    bool m_listKeyMove = false; // the list's selection is being moved by a key
    bool m_blankOverHeadword = false; // the blank being typed replaces the whole word box text
    bool m_keptListWriteFailed = false; // the last write of the kept word list failed
    bool m_methodWindowOpen = false;
    mutable bool m_discLookedFor = false; // CdWavePath has been looked for
    bool m_clipboardWaiting = false; // text was copied while a method window was open
    QString m_waitingClipboardText; // the last text copied then
    std::array<std::function<void()>, 6> m_playEndGroups;
    std::array<WordListModel *, zarel::kTabCount> m_wordLists {};
    WordListModel *m_emptyWordList = nullptr;
    zarel::Status m_startupStatus;
    // Declared after Dictionary, which the load fills: a load still running is waited for
    // before the index goes.
    std::atomic<int> m_indexFilesLoaded { 0 };
    std::future<zarel::Status> m_indexLoad;
    bool m_turkishTabsAppended = false;
    int m_designedFormWidth = kClientWidth;
    int m_designedTabWidth = 0;
    int m_designedComboWidth = 0;
};
