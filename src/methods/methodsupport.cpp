// The shared steps of the learning-method windows and the TMethodForm base.
#include "methods/methodsupport.h"

#include "controls/rtfqt.h"
#include "dictionary/dictionaryindex.h"
#include "dictionary/lettertabs.h"
#include "dictionary/tcryptstream.h"
#include "methods/core/methodrules.h"
#include "platform/fileutil.h"
#include "sound/tmpegplayer.h"
#include "sound/wavplayer.h"

#include <QAction>
#include <QFile>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScreen>
#include <QSlider>
#include <QStyleOptionToolButton>
#include <QStylePainter>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

using namespace Qt::Literals::StringLiterals;

namespace {

// The player's mode while a sound plays (the playing library's "playing" mode).
constexpr int kModePlaying = 3;

} // namespace

namespace zarel::methods {

namespace {

QString programFile(const MethodHost &host, const char *name)
{
    return QFile::decodeName(QByteArray::fromStdString(host.dataFolder() + name));
}

} // namespace

int listCount(const MethodHost &host)
{
    return host.wordListCount();
}

QString shownEntry(const MethodHost &host, int i)
{
    return host.wordListEntry(i);
}

bool isEnglishEntry(const MethodHost &host, int i)
{
    return host.wordListEntryIsEnglish(i);
}

void selectListEntry(MethodHost &host, int i)
{
    host.selectWordListEntry(i);
}

int entryTab(const MethodHost &host, int i)
{
    return host.wordListEntryTab(i);
}

Located locateInTab(MethodHost &host, int tab, const QString &searchText, bool keepComboText)
{
    return host.locateInTab(tab, searchText, keepComboText);
}

Located locateEntry(MethodHost &host, int i, const QString &searchText, bool keepComboText)
{
    return host.locateInTab(host.wordListEntryTab(i), searchText, keepComboText);
}

const zarel::TWordRecord *locatedRecord(const MethodHost &host, Located at)
{
    if (!at.found() || !zarel::isValidTab(at.tab))
        return nullptr;
    const auto &entries = host.dictionary().tab(at.tab).entries;
    if (static_cast<size_t>(at.item) >= entries.size())
        return nullptr;
    return entries[static_cast<size_t>(at.item)];
}

bool isEnglishBase(const MethodHost &host, Located at)
{
    const zarel::TWordRecord *r = locatedRecord(host, at);
    return r != nullptr && zarel::isEnglishTab(at.tab) && r->isBase();
}

bool isEnglishHeadword(const MethodHost &host, Located at)
{
    return zarel::isEnglishTab(at.tab) && locatedRecord(host, at) != nullptr;
}

bool loadArticle(const MethodHost &host, Located at, QTextEdit *target)
{
    const zarel::TWordRecord *r = locatedRecord(host, at);
    if (r == nullptr || target == nullptr)
        return false;
    const std::string bytes = zarel::readArticle(host.dataFolder(), at.tab, *r);
    zarel::loadArticle(target->document(), QByteArray::fromStdString(bytes), target->font());
    return true;
}

std::string discSoundPath(const MethodHost &host, Located at)
{
    // Only the dictionary's own headwords have a sound on the disc; a user's word would name
    // the disc's sound "0".
    const std::string folder = host.discSoundFolder();
    if (folder.empty() || !isEnglishBase(host, at))
        return {};
    const auto &numbers = host.dictionary().tab(at.tab).soundNumbers;
    if (static_cast<size_t>(at.item) >= numbers.size())
        return {};
    return folder + std::to_string(at.tab + 1) + "/" + numbers[static_cast<size_t>(at.item)]
        + ".mp3";
}

void stopPronunciation(MethodHost &host, bool onlyWhilePlaying)
{
    TMPEGPlayer &player = host.mp3Player();
    if (!player.LibraryLoaded())
        return; // nothing plays
    try {
        if (onlyWhilePlaying && player.PlayerMode() != kModePlaying)
            return;
        player.Stop();
    } catch (const TMPEGError &) {
        // The player may have ended just now; its end is still reported.
    }
    if (player.LibraryLoaded() && !player.isPlaying())
        host.pronunciationEnded();
}

void loadGlyph(QAbstractButton *button, const QString &fileName, QStyle::StandardPixmap fallback)
{
    const QPixmap glyph(fileName);
    button->setIcon(glyph.isNull() ? button->style()->standardIcon(fallback) : QIcon(glyph));
    button->update();
}

int randomBelow(int count)
{
    return static_cast<int>(QRandomGenerator::global()->bounded(count));
}

bool answerIsRight(const QString &typed, const QString &answer)
{
    const QByteArray a = typed.toUtf8();
    const QByteArray b = answer.toUtf8();
    return zarel::answerMatches(std::string_view(a.constData(), static_cast<size_t>(a.size())),
                                std::string_view(b.constData(), static_cast<size_t>(b.size())));
}

void playFeedback(const MethodHost &host, TWavPlayer &player, bool right, QLabel *picture)
{
    if (picture != nullptr) {
        const QPixmap shown(programFile(host, right ? "/a.bmp" : "/b.bmp"));
        if (!shown.isNull())
            picture->setPixmap(shown);
        // The sound below blocks the event loop: paint the picture now.
        picture->repaint();
    }
    player.FileName = host.dataFolder() + (right ? "/da.wav" : "/ne.wav");
    if (player.Open()) {
        player.Wait = true;
        player.Play();
        player.Close();
    }
    if (picture != nullptr) {
        picture->clear();
        picture->repaint();
    }
    player.Wait = false;
}

void showMethodHelp(MethodHost &host, int method)
{
    host.showHelpPage(u"metod%1.htm"_s.arg(method), u"metod%1e.htm"_s.arg(method));
}

void restoreMainWindow(MethodHost &host, bool lookup)
{
    host.showAfterMethod(lookup);
}

zarel::learning::WordKey listKey(const MethodHost &host, int i)
{
    return { shownEntry(host, i).toStdString(), isEnglishEntry(host, i) };
}

std::vector<zarel::learning::WordKey> listKeys(const MethodHost &host)
{
    std::vector<zarel::learning::WordKey> keys;
    const int count = listCount(host);
    keys.reserve(static_cast<size_t>(std::max(count, 0)));
    for (int i = 0; i < count; ++i)
        keys.push_back(listKey(host, i));
    return keys;
}

zarel::learning::LearningHistory &learningHistory(const MethodHost &host)
{
    return zarel::learning::historyFor(host.dataFolder());
}

void recordAnswer(const MethodHost &host, const zarel::learning::WordKey &key,
                  const std::string &method, bool right)
{
    if (key.word.empty())
        return;
    learningHistory(host).recordAnswer(key, method, right, zarel::learning::nowSeconds());
}

} // namespace zarel::methods

using zarel::methods::Located;

TMethodForm::TMethodForm(zarel::methods::MethodHost *host, int method, QSize panelSize,
                         QWidget *parent)
    : QDialog(parent != nullptr ? parent : host->hostWindow())
    , m_main(host)
    , m_method(method)
{
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setModal(true);
    setWindowTitle(text(u"Yöntem %1"_s, u"Method %1"_s).arg(method));
    QWidget *hostWindow = host->hostWindow();
    QScreen *screen = hostWindow != nullptr && hostWindow->screen() != nullptr
        ? hostWindow->screen()
        : QGuiApplication::primaryScreen();
    const QRect desktop = screen != nullptr ? screen->geometry() : QRect(0, 0, 800, 600);
    setGeometry(desktop);
    // The panel is laid out for its design size and stays centred on any desktop; the division
    // truncates toward zero, also on a desktop smaller than the panel.
    Panel1 = new QFrame(this);
    Panel1->setObjectName(u"Panel1"_s);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setGeometry((desktop.width() - panelSize.width()) / 2,
                        (desktop.height() - panelSize.height()) / 2, panelSize.width(),
                        panelSize.height());

    Action1 = new QAction(this);
    Action1->setShortcut(QKeySequence(Qt::Key_F1));
    Action1->setShortcutContext(Qt::WindowShortcut);
    addAction(Action1);
    connect(Action1, &QAction::triggered, this, &TMethodForm::help);

    MediaPlayer1 = std::make_unique<TWavPlayer>();
}

// The group is removed when the window closes (done); a window destroyed without closing leaves
// a group that finds it gone and does nothing, so the destructor need not reach the main window,
// which may itself be in destruction.
TMethodForm::~TMethodForm() = default;

void TMethodForm::done(int result)
{
    const auto timers = findChildren<QTimer *>();
    for (QTimer *timer : timers)
        timer->stop();
    m_main->setPronunciationEndGroup(m_method, {});
    QDialog::done(result);
}

bool TMethodForm::englishTexts() const
{
    return m_main->englishInterface();
}

QString TMethodForm::text(const QString &turkish, const QString &english) const
{
    return englishTexts() ? english : turkish;
}

int TMethodForm::listCount() const
{
    return zarel::methods::listCount(*m_main);
}

QString TMethodForm::shownEntry(int i) const
{
    return zarel::methods::shownEntry(*m_main, i);
}

bool TMethodForm::isEnglishEntry(int i) const
{
    return zarel::methods::isEnglishEntry(*m_main, i);
}

void TMethodForm::selectListEntry(int i)
{
    zarel::methods::selectListEntry(*m_main, i);
}

Located TMethodForm::locate(int i, const QString &searchText, bool keepComboText)
{
    return zarel::methods::locateEntry(*m_main, i, searchText, keepComboText);
}

Located TMethodForm::locateInTab(int tab, const QString &searchText, bool keepComboText)
{
    return zarel::methods::locateInTab(*m_main, tab, searchText, keepComboText);
}

bool TMethodForm::isEnglishHeadword(Located at) const
{
    return zarel::methods::isEnglishHeadword(*m_main, at);
}

bool TMethodForm::loadArticle(Located at, QTextEdit *target)
{
    return zarel::methods::loadArticle(*m_main, at, target);
}

bool TMethodForm::pronounce(Located at, const PronounceRequest &request)
{
    TMPEGPlayer *player = &m_main->mp3Player();
    const auto enableButtons = [&request](bool on) {
        for (QWidget *w : request.buttons) {
            if (w != nullptr)
                w->setEnabled(on);
        }
    };
    // A sound cut short (stopped, or closed by naming the next stream) never reports its end.
    bool cut = false;
    // Nothing new plays: a loaded library would read as a sound still playing, so it is
    // released; a cut sound's end is handled as if it had come.
    const auto releaseSilentPlayer = [&] {
        if (!player->LibraryLoaded() || player->isPlaying())
            return;
        if (cut)
            m_main->pronunciationEnded();
        else
            player->UnloadPlayerLibrary();
    };
    try {
        if (!player->LibraryLoaded())
            player->LoadPlayerLibrary();
        if (request.stopPlaying && player->PlayerMode() == kModePlaying) {
            player->Stop();
            cut = true;
        }
        cut = cut || player->isPlaying();
        std::string path;
        if (zarel::methods::locatedRecord(*m_main, at) != nullptr)
            path = m_main->headwordSound(at.tab, at.item);
        if (request.discFallback && (path.empty() || !zarel::fileExists(path))) {
            const std::string disc = zarel::methods::discSoundPath(*m_main, at);
            if (!disc.empty())
                path = disc;
        }
        player->setStreamName(path);
        if (path.empty() || !zarel::fileExists(path)) {
            releaseSilentPlayer();
            return false;
        }
        if (request.library == Library::Reload) {
            if (player->LibraryLoaded())
                player->UnloadPlayerLibrary();
            player->LoadPlayerLibrary();
        } else if (request.library == Library::LoadAgain && !player->LibraryLoaded()) {
            player->LoadPlayerLibrary();
        }
        enableButtons(false);
        player->Open();
        player->Play();
        return true;
    } catch (const TMPEGError &) {
        enableButtons(true);
        try {
            releaseSilentPlayer();
        } catch (const TMPEGError &) { }
        return false;
    }
}

void TMethodForm::onPronunciationEnd(std::function<void()> handler)
{
    m_main->setPronunciationEndGroup(m_method, [window = QPointer<TMethodForm>(this), handler] {
        if (window)
            handler();
    });
}

void TMethodForm::stopPronunciation(bool onlyWhilePlaying)
{
    zarel::methods::stopPronunciation(*m_main, onlyWhilePlaying);
}

void TMethodForm::initStartStop(QAbstractButton *button, QTimer *blinkTimer)
{
    m_startStop = button;
    BlinkPhase = 1;
    button->setToolTip(text(u"Başlat/Durdur"_s, u"Start/Stop"_s));
    showStartGlyph();
    blinkTimer->setInterval(500);
}

void TMethodForm::blink()
{
    if (Running || m_startStop == nullptr)
        return;
    BlinkPhase = BlinkPhase == 1 ? 2 : 1;
    zarel::methods::loadGlyph(m_startStop, u"Start%1.bmp"_s.arg(BlinkPhase), QStyle::SP_MediaPlay);
}

void TMethodForm::showStopGlyph()
{
    if (m_startStop != nullptr)
        zarel::methods::loadGlyph(m_startStop, u"Stop2.bmp"_s, QStyle::SP_MediaStop);
}

void TMethodForm::showStartGlyph()
{
    if (m_startStop != nullptr)
        zarel::methods::loadGlyph(m_startStop, u"Start1.bmp"_s, QStyle::SP_MediaPlay);
}

QSlider *TMethodForm::makeSpeedBar(Qt::Orientation orientation, QRect geometry, QPoint plusAt,
                                   QPoint minusAt, QLabel **plus, QLabel **minus)
{
    auto *bar = new QSlider(orientation, Panel1);
    bar->setRange(1, 10);
    bar->setValue(4);
    bar->setPageStep(2);
    bar->setTickInterval(1);
    bar->setTickPosition(QSlider::TicksBothSides);
    if (orientation == Qt::Vertical) {
        // Position 1 (the shortest time) at the top; the arrow keys move the handle the way
        // they point.
        bar->setInvertedAppearance(true);
        bar->setInvertedControls(true);
    }
    bar->setGeometry(geometry);
    QLabel *p = makeLabel(Panel1, plusAt, u"+"_s);
    QLabel *m = makeLabel(Panel1, minusAt, u"-"_s);
    if (plus != nullptr)
        *plus = p;
    if (minus != nullptr)
        *minus = m;
    return bar;
}

int TMethodForm::drawWord(const std::function<int()> &designed,
                          const std::function<bool(int)> &eligible)
{
    const zarel::methods::MethodHost &host = *m_main;
    return m_dueDraw.next(zarel::methods::learningHistory(host), zarel::methods::listKeys(host),
                          eligible, designed, zarel::learning::nowSeconds());
}

void TMethodForm::recordAnswer(int i, bool right)
{
    if (i < 0 || i >= listCount())
        return;
    zarel::methods::recordAnswer(*m_main, zarel::methods::listKey(*m_main, i),
                                 "method" + std::to_string(m_method), right);
}

bool TMethodForm::answerIsRight(const QString &typed, const QString &answer) const
{
    return zarel::methods::answerIsRight(typed, answer);
}

void TMethodForm::feedback(bool right, QLabel *picture)
{
    zarel::methods::playFeedback(*m_main, *MediaPlayer1, right, picture);
}

void TMethodForm::help()
{
    zarel::methods::showMethodHelp(*m_main, m_method);
}

void TMethodForm::exitMethod(bool stopOnlyWhilePlaying, bool resetTag)
{
    stopPronunciation(stopOnlyWhilePlaying);
    if (resetTag)
        m_main->setBusyTag(0);
    done(QDialog::Accepted);
}

QPushButton *TMethodForm::makeButton(QWidget *parent, QRect geometry, const QString &caption,
                                     QStyle::StandardPixmap icon)
{
    auto *button = new QPushButton(caption, parent);
    button->setAutoDefault(false);
    button->setDefault(false);
    if (icon != QStyle::SP_CustomBase)
        button->setIcon(style()->standardIcon(icon));
    button->setGeometry(geometry);
    return button;
}

QToolButton *TMethodForm::makeSpeedButton(QWidget *parent, QRect geometry,
                                          QStyle::StandardPixmap icon)
{
    auto *button = new QToolButton(parent);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setIcon(style()->standardIcon(icon));
    button->setGeometry(geometry);
    return button;
}

QLabel *TMethodForm::makeLabel(QWidget *parent, QPoint at, const QString &caption)
{
    auto *label = new QLabel(caption, parent);
    label->move(at);
    label->adjustSize();
    return label;
}

QFrame *TMethodForm::makePictureStrip(QRect geometry)
{
    auto *strip = new QFrame(Panel1);
    strip->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    strip->setAutoFillBackground(true);
    QPalette palette = strip->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Mid));
    strip->setPalette(palette);
    strip->setGeometry(geometry);
    return strip;
}

void TMethodForm::nameControls(
    std::initializer_list<std::pair<QObject *, const char16_t *>> controls)
{
    for (const auto &[control, name] : controls)
        control->setObjectName(QString::fromUtf16(name));
}

TGlyphButton::TGlyphButton(QWidget *parent, QRect geometry, QStyle::StandardPixmap icon)
    : QToolButton(parent)
{
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    setIcon(parent->style()->standardIcon(icon));
    setGeometry(geometry);
}

QRect TGlyphButton::captionRect() const
{
    QStyleOptionToolButton option;
    initStyleOption(&option);
    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, this);
    const QRect inside
        = style()
              ->subControlRect(QStyle::CC_ToolButton, &option, QStyle::SC_ToolButton, this)
              .adjusted(frame, frame, -frame, -frame);
    // The style puts the glyph in a strip 4 pixels taller than the glyph at the top.
    const QSize glyph = option.icon.actualSize(inside.size().boundedTo(option.iconSize));
    return inside.adjusted(0, glyph.height() + 3, 0, -1);
}

void TGlyphButton::paintEvent(QPaintEvent *)
{
    // The style draws the frame and the glyph; the caption is drawn here, wrapped.
    QStylePainter painter(this);
    QStyleOptionToolButton option;
    initStyleOption(&option);
    option.text.clear();
    painter.drawComplexControl(QStyle::CC_ToolButton, option);
    painter.drawItemText(captionRect(), kCaptionFlags, palette(), isEnabled(), text(),
                         QPalette::ButtonText);
}

void TMethodForm::keyPressEvent(QKeyEvent *event)
{
    // The borderless window is left through its exit button only, not with Escape.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TMethodForm::showEvent(QShowEvent *event)
{
    if (!m_shownOnce) {
        m_shownOnce = true;
        // Enter belongs to the answer fields: no button of a method window is a default button.
        const auto buttons = findChildren<QPushButton *>();
        for (QPushButton *b : buttons) {
            b->setAutoDefault(false);
            b->setDefault(false);
        }
    }
    QDialog::showEvent(event);
}
