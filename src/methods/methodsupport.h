// The steps every learning-method window shares, in one place: reading the word list, locating a
// list word in the main window's lookup controls, loading its article, pronouncing it through
// the main window's MP3 player, the start/stop glyphs, the speed bar, the answer check with its
// picture and sound, help and exit. TMethodForm is the base of the five method windows; the free
// functions serve windows that are not method windows (the hangman) as well.
#pragma once

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <QDialog>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStyle>
#include <QToolButton>

#include "learning/core/duedraw.h"
#include "methods/methodhost.h"

class QAbstractButton;
class QFrame;
class QLabel;
class QPushButton;
class QSlider;
class QTextEdit;
class QTimer;
class QWidget;
class TWavPlayer;
namespace zarel {
struct TWordRecord;
}

namespace zarel::methods {

// --- the word list of the host ---

// The number of entries of the word list.
int listCount(const MethodHost &host);
// Shown entry i (its text as the list shows it); empty outside the list.
QString shownEntry(const MethodHost &host, int i);
// True when marked entry i carries the English marker "*".
bool isEnglishEntry(const MethodHost &host, int i);
// Selects entry i without running the list's click handler; -1 clears it.
void selectListEntry(MethodHost &host, int i);
// The tab of entry i by the word list's rule (MethodHost::wordListEntryTab).
int entryTab(const MethodHost &host, int i);

// --- the learning history ---

// The history's key of list entry i: its shown text (UTF-8) and its language by the marker.
zarel::learning::WordKey listKey(const MethodHost &host, int i);
// The keys of every list entry, in list order.
std::vector<zarel::learning::WordKey> listKeys(const MethodHost &host);
// The process-wide learning history of the host's data folder.
zarel::learning::LearningHistory &learningHistory(const MethodHost &host);
// Records a judged answer to `key` by `method` ("method3", "hangman", ...) at the learning
// clock's time. A history that cannot be written drops the answer; the drill goes on.
void recordAnswer(const MethodHost &host, const zarel::learning::WordKey &key,
                  const std::string &method, bool right);

// --- Locate and Load article ---

// The host's lookup in `tab` (MethodHost::locateInTab).
Located locateInTab(MethodHost &host, int tab, const QString &searchText,
                    bool keepComboText = false);
// Locate for list entry i: the tab by entryTab(), then locateInTab().
Located locateEntry(MethodHost &host, int i, const QString &searchText, bool keepComboText = false);
// The record of a located headword; null when nothing was located.
const zarel::TWordRecord *locatedRecord(const MethodHost &host, Located at);
// True for a located English base headword (tab below 26, BaseFlag set): the ones with sounds.
bool isEnglishBase(const MethodHost &host, Located at);
// True for a located English headword, base or added by the user: the ones that are spoken
// (a user's word once its sound has been made).
bool isEnglishHeadword(const MethodHost &host, Located at);
// Loads the article of a located headword into `target` as rich text. False (and `target`
// untouched) when nothing was located.
bool loadArticle(const MethodHost &host, Located at, QTextEdit *target);
// The sound file of a located headword on the installation disc: the disc's sound folder +
// (tab + 1) + "/" +
// sound number + ".mp3"; empty without a disc, for a Turkish tab or a word the user added.
std::string discSoundPath(const MethodHost &host, Located at);

// --- the host's MP3 player ---

// Stops the pronunciation that plays, errors ignored. With `onlyWhilePlaying` the player is
// stopped only while its mode is "playing" (a sound that has just ended reports its end as
// usual). A stopped sound never reports its end, so its end is handled here (the open windows'
// groups run, the main window's buttons come back and the library is released).
void stopPronunciation(MethodHost &host, bool onlyWhilePlaying);

// --- glyphs, answer check, feedback, help ---

// Loads the glyph file `fileName` (taken from the current directory) into `button`. A missing or
// unreadable file gives the button the style's icon `fallback` instead.
void loadGlyph(QAbstractButton *button, const QString &fileName, QStyle::StandardPixmap fallback);
// A random list index in 0..count - 1 (count > 0), from the process's random generator: the
// draw of the methods' random word order.
int randomBelow(int count);
// The answer check: the letters A-Z folded, everything else compared exactly, nothing trimmed.
bool answerIsRight(const QString &typed, const QString &answer);
// The answer's picture and sound: the data folder's "a.bmp" (right) or "b.bmp" (wrong) into
// `picture` (may be null), then its "da.wav" or "ne.wav" played by `player` in wait
// mode, so the call returns when the sound has ended; then the picture is cleared. Missing
// files are skipped.
void playFeedback(const MethodHost &host, TWavPlayer &player, bool right, QLabel *picture);
// The modal help window on "metod" + method + ".htm" (Turkish interface) or "metod" + method +
// "e.htm" (English interface) of the help folder.
void showMethodHelp(MethodHost &host, int method);

// Ends the launcher's wait: a window of a method (or of the hangman) has closed
// (MethodHost::showAfterMethod).
void restoreMainWindow(MethodHost &host, bool lookup);

} // namespace zarel::methods

// A button with its glyph above its caption. A caption wider than the button is broken at its
// blanks over as many lines as the room under the glyph holds, centred.
class TGlyphButton : public QToolButton
{
    Q_OBJECT
public:
    static constexpr int kCaptionFlags = Qt::AlignCenter | Qt::TextWordWrap | Qt::TextShowMnemonic;

    TGlyphButton(QWidget *parent, QRect geometry, QStyle::StandardPixmap icon);

    // The room of the caption: under the glyph, inside the button's frame.
    QRect captionRect() const;

protected:
    void paintEvent(QPaintEvent *event) override;
};

// The base of the five method windows: a borderless window the size of the desktop with the
// method's panel Panel1 centred on it, shown modally by the launcher and destroyed afterwards.
// It keeps the window's part of the shared state (Running, BlinkPhase) and offers the shared
// steps as members.
class TMethodForm : public QDialog
{
    Q_OBJECT
public:
    ~TMethodForm() override;

    zarel::methods::MethodHost *host() const { return m_main; }
    // The method's number, 1 to 5 (the number of its help page and of its end-of-sound group).
    int methodNumber() const { return m_method; }

    // FormClose: stops every timer of the window and removes its end-of-sound group, then
    // closes with result `result` (1 for OK).
    void done(int result) override;

    QFrame *Panel1; // the method's controls, laid out in panel coordinates
    QAction *Action1; // F1: the help page
    std::unique_ptr<TWavPlayer> MediaPlayer1; // the answer sounds (replaceable in tests)

    bool Running = false; // the drill is started
    int BlinkPhase = 1; // the start glyph the blinking shows next

protected:
    // Window creation: borderless, the size of the desktop, Panel1 of `panelSize` moved right
    // by (desktop width - panel width) / 2 and down by (desktop height - panel height) / 2
    // (truncating toward zero), F1 bound to the help page. Progress bars, the initial state and
    // the texts are the method's part.
    TMethodForm(zarel::methods::MethodHost *host, int method, QSize panelSize,
                QWidget *parent = nullptr);

    // English texts while the host's interface is in English.
    bool englishTexts() const;
    QString text(const QString &turkish, const QString &english) const;

    // --- the word list and the lookup (see the free functions) ---
    int listCount() const;
    QString shownEntry(int i) const;
    bool isEnglishEntry(int i) const;
    void selectListEntry(int i);
    zarel::methods::Located locate(int i, const QString &searchText, bool keepComboText = false);
    zarel::methods::Located locateInTab(int tab, const QString &searchText,
                                        bool keepComboText = false);
    bool isEnglishHeadword(zarel::methods::Located at) const;
    bool loadArticle(zarel::methods::Located at, QTextEdit *target);

    // --- the learning history ---
    // The next list entry to show: `designed` is the method's own draw (list order or random);
    // with "review due words first" on, due entries come first (zarel::learning::DueFirstDraw).
    int drawWord(const std::function<int()> &designed,
                 const std::function<bool(int)> &eligible = {});
    // Records the answer to list entry i under this method ("method" + its number).
    void recordAnswer(int i, bool right);

    // --- Pronounce ---
    enum class Library {
        AsLoaded, // Methods 1 and 5: no handling beyond loading it when it is not loaded
        Reload, // Method 2's next and pronounce commands: unloaded and loaded again
        LoadAgain, // Method 3: loaded again, after the file check, when it is not loaded
    };
    struct PronounceRequest
    {
        QList<QWidget *> buttons; // disabled while the sound plays
        bool stopPlaying = false; // Methods 1 and 2: stop a sound that plays first
        Library library = Library::AsLoaded;
        // Method 3's previous word: the installation disc's sound folder when the installed
        // sound file is missing.
        bool discFallback = false;
    };
    // Pronounces the located headword (whatever its tab and BaseFlag: the method tests those)
    // when its sound file exists: the request's buttons are disabled until the end of the sound
    // (onPronunciationEnd). A missing file plays nothing and leaves the buttons as they are; a
    // failure enables them again and is not reported. True when a sound was started.
    bool pronounce(zarel::methods::Located at, const PronounceRequest &request);
    // Registers the window's end-of-sound group: `handler` runs at the end of every MP3 played
    // through the main window's player while the window is open.
    void onPronunciationEnd(std::function<void()> handler);
    // Stops the main window's player (zarel::methods::stopPronunciation).
    void stopPronunciation(bool onlyWhilePlaying);

    // --- start/stop button and blinking ---
    // `button` shows "Start1.bmp" with the hint "Başlat/Durdur" / "Start/Stop"; `blinkTimer`
    // ticks every 500 ms.
    void initStartStop(QAbstractButton *button, QTimer *blinkTimer);
    // One blink tick: while the drill is not running BlinkPhase flips between 1 and 2 and the
    // button shows "Start" + BlinkPhase + ".bmp".
    void blink();
    void showStopGlyph(); // "Stop2.bmp"
    void showStartGlyph(); // "Start1.bmp"

    // --- speed bar ---
    // A track bar with positions 1 to 10 (initial 4), a tick at every position, position 1 at
    // the top (vertical) or at the left (horizontal), at `geometry`; "+" at `plusAt` and "-" at
    // `minusAt`. The labels are returned through `plus` and `minus` when given.
    QSlider *makeSpeedBar(Qt::Orientation orientation, QRect geometry, QPoint plusAt,
                          QPoint minusAt, QLabel **plus = nullptr, QLabel **minus = nullptr);

    // --- answer, help, exit ---
    bool answerIsRight(const QString &typed, const QString &answer) const;
    // Feedback with the window's MediaPlayer1 and `picture` (null for Method 4).
    void feedback(bool right, QLabel *picture);
    // The method's help page (also F1).
    void help();
    // Exit: stops the pronunciation (only while it plays, or always), sets the host's busy Tag
    // to 0 when asked, and closes the window with OK.
    void exitMethod(bool stopOnlyWhilePlaying, bool resetTag);

    // --- controls in panel coordinates ---
    // A button that never becomes the window's default button (Enter belongs to the answer
    // field); `icon` SP_CustomBase for none.
    QPushButton *makeButton(QWidget *parent, QRect geometry, const QString &caption = {},
                            QStyle::StandardPixmap icon = QStyle::SP_CustomBase);
    // A flat glyph button that takes no focus (the help buttons).
    QToolButton *makeSpeedButton(QWidget *parent, QRect geometry, QStyle::StandardPixmap icon);
    QLabel *makeLabel(QWidget *parent, QPoint at, const QString &caption);
    // The decorative strip along the bottom of the panel that carries the step buttons.
    QFrame *makePictureStrip(QRect geometry);
    // Names the controls after the members that hold them, so that tests and accessibility
    // tools can tell them apart.
    static void
    nameControls(std::initializer_list<std::pair<QObject *, const char16_t *>> controls);

    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    zarel::methods::MethodHost *const m_main;
    const int m_method;
    QAbstractButton *m_startStop = nullptr;
    bool m_shownOnce = false;
    zarel::learning::DueFirstDraw m_dueDraw;
};
