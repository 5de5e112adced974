// THangForm1: building the hangman window, its texts, the guesses, the word sources, the
// translation pane and the leg swing.
#include "hangman/thangform1.h"

#include "controls/cp1254text.h"
#include "dictionary/codepage1254.h"
#include "dictionary/dictionaryindex.h"
#include "methods/methodsupport.h"

#include <utility>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStandardItemModel>
#include <QStyle>
#include <QTextEdit>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;
using zarel::hangman::Casing;
using zarel::hangman::Game;
using zarel::hangman::GuessOutcome;

namespace {

// The game and its scores belong to the run, not to one opening of the window.
Game &sharedGame()
{
    static Game game;
    return game;
}

zarel::hangman::RandomIndex &randomSource()
{
    static zarel::hangman::RandomIndex random;
    if (!random)
        random = zarel::hangman::systemRandom();
    return random;
}

const QColor kWinColour(0, 128, 0);
const QColor kLossColour(255, 0, 0);

// A quiet grain of warm greys behind the panels.
QPixmap backgroundTexture()
{
    QImage tile(64, 64, QImage::Format_RGB32);
    quint32 seed = 0x2545F491u;
    for (int y = 0; y < tile.height(); ++y) {
        for (int x = 0; x < tile.width(); ++x) {
            seed = seed * 1664525u + 1013904223u;
            const int grain = static_cast<int>(seed >> 28) - 8;
            tile.setPixel(x, y, qRgb(196 + grain, 188 + grain, 170 + grain));
        }
    }
    return QPixmap::fromImage(tile);
}

QFrame *panel(QWidget *parent, const QRect &geometry, QFrame::Shadow shadow)
{
    auto *frame = new QFrame(parent);
    frame->setFrameStyle(QFrame::Panel | shadow);
    frame->setGeometry(geometry);
    frame->setAutoFillBackground(true);
    // The panels keep the plain face colour; the texture is the window's own.
    frame->setPalette(QGuiApplication::palette());
    return frame;
}

QPushButton *button(QWidget *parent, const QRect &geometry)
{
    auto *b = new QPushButton(parent);
    b->setGeometry(geometry);
    // Enter typed into the guess box must not press a button.
    b->setAutoDefault(false);
    b->setDefault(false);
    b->setFocusPolicy(Qt::TabFocus);
    return b;
}

QString text(const std::string &cp1254)
{
    return zarel::app::fromCp1254(cp1254);
}

// The pattern's design size and the smallest size it shrinks to.
constexpr int kPatternPixels = 16;
constexpr int kSmallestPatternPixels = 6;

// Shows `pattern` (a character per letter, a blank between letters) in `label` at the largest
// size up to kPatternPixels at which it fits the label. The blanks between the letters of one
// word do not break, so a phrase wraps between its words; a single word too long for one line
// even at the smallest size may break between any two letters.
void fitPattern(QLabel *label, const QString &pattern)
{
    QString unbroken = pattern;
    for (qsizetype i = 1; i < unbroken.size(); i += 2)
        unbroken[i] = QChar(0x00A0);
    // The blanks around a blank of the word itself may break, and so may the word's blank.
    for (qsizetype i = 0; i < pattern.size(); i += 2) {
        if (pattern.at(i) == u' ') {
            if (i > 0)
                unbroken[i - 1] = u' ';
            if (i + 1 < unbroken.size())
                unbroken[i + 1] = u' ';
        }
    }
    const QRect room(0, 0, label->width(), label->height());
    const auto fits = [&room](const QFont &font, const QString &shown) {
        const QRect needed = QFontMetrics(font).boundingRect(QRect(0, 0, room.width(), 100000),
                                                             Qt::TextWordWrap, shown);
        return needed.width() <= room.width() && needed.height() <= room.height();
    };
    QFont font = label->font();
    for (const QString &shown : { unbroken, pattern }) {
        for (int pixels = kPatternPixels; pixels >= kSmallestPatternPixels; --pixels) {
            font.setPixelSize(pixels);
            if (fits(font, shown)) {
                label->setFont(font);
                label->setText(shown);
                return;
            }
        }
    }
    font.setPixelSize(kSmallestPatternPixels);
    label->setFont(font);
    label->setText(pattern);
}

} // namespace

THangForm1::THangForm1(zarel::methods::MethodHost *host, QWidget *parent)
    : QDialog(parent)
    , m_main(host)
{
    buildControls();
    FormCreate();
}

THangForm1::~THangForm1() = default;

const Game &THangForm1::game()
{
    return sharedGame();
}

void THangForm1::setRandomSource(zarel::hangman::RandomIndex random)
{
    randomSource() = std::move(random);
}

void THangForm1::buildControls()
{
    Panel1 = panel(this, QRect(75, 0, 335, 306), QFrame::Raised);

    Panel2 = panel(Panel1, QRect(10, 10, 88, 138), QFrame::Sunken);
    Image1 = new zarel::hangman::HangmanImage(&m_drawing, Panel2);
    Image1->move(4, 4);

    Label1 = new QLabel(Panel1);
    Label1->setGeometry(110, 6, 215, 36);
    QFont patternFont = Label1->font();
    patternFont.setPixelSize(kPatternPixels);
    patternFont.setBold(true);
    Label1->setFont(patternFont);
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    Label2 = new QLabel(Panel1);
    Label2->setGeometry(110, 44, 215, 20);

    Edit1 = new QLineEdit(Panel1);
    Edit1->setGeometry(110, 72, 32, 24);
    Edit1->setMaxLength(1);
    Edit1->installEventFilter(this);

    Panel3 = panel(Panel1, QRect(180, 72, 145, 76), QFrame::Sunken);
    Label4 = new QLabel(Panel3);
    Label4->setGeometry(2, 2, 141, 16);
    Label4->setAlignment(Qt::AlignCenter);
    HeaderControl1 = new QHeaderView(Qt::Horizontal, Panel3);
    HeaderControl1->setModel(new QStandardItemModel(0, 2, HeaderControl1));
    HeaderControl1->setGeometry(2, 20, 141, 20);
    HeaderControl1->setSectionResizeMode(QHeaderView::Stretch);
    HeaderControl1->setDefaultAlignment(Qt::AlignCenter);
    Label3 = new QLabel(u"0 - 0"_s, Panel3);
    Label3->setGeometry(2, 42, 141, 30);
    Label3->setAlignment(Qt::AlignCenter);
    QFont scoreFont = Label3->font();
    scoreFont.setPixelSize(16);
    scoreFont.setBold(true);
    Label3->setFont(scoreFont);

    QRadioButton **radios[] = { &RadioButton1, &RadioButton2, &RadioButton3, &RadioButton4 };
    for (int i = 0; i < 4; ++i) {
        *radios[i] = new QRadioButton(Panel1);
        (*radios[i])->setGeometry(10, 158 + 24 * i, 240, 22);
        (*radios[i])->setFocusPolicy(Qt::TabFocus);
    }
    RadioButton1->setChecked(true);

    Button1 = button(Panel1, QRect(10, 264, 112, 30));
    Button2 = button(Panel1, QRect(126, 264, 60, 30));
    Button3 = button(Panel1, QRect(190, 264, 80, 30));
    Button3->setEnabled(false);
    Button5 = button(Panel1, QRect(274, 264, 26, 30));
    Button5->setIcon(style()->standardIcon(QStyle::SP_DialogHelpButton));
    Button4 = button(Panel1, QRect(302, 264, 26, 30));
    Button4->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));

    Panel4 = panel(this, QRect(76, 312, 333, 185), QFrame::Sunken);
    RichEdit1 = new QTextEdit(Panel4);
    RichEdit1->setGeometry(2, 2, 329, 181);
    RichEdit1->setReadOnly(true);
    Panel4->hide();

    Timer1 = new QTimer(this);
    Timer1->setInterval(kTimerInterval);
    Action1 = new QAction(this);
    Action1->setShortcut(QKeySequence(Qt::Key_F1));
    Action1->setShortcutContext(Qt::WindowShortcut);
    addAction(Action1);

    connect(Button1, &QPushButton::clicked, this, &THangForm1::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &THangForm1::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &THangForm1::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &THangForm1::Button4Click);
    connect(Button5, &QPushButton::clicked, this, &THangForm1::Button5Click);
    connect(Action1, &QAction::triggered, this, &THangForm1::Button5Click);
    for (QRadioButton *r : { RadioButton1, RadioButton2, RadioButton3, RadioButton4 })
        connect(r, &QRadioButton::clicked, this, &THangForm1::RadioButtonClick);
    connect(Timer1, &QTimer::timeout, this, &THangForm1::Timer1Timer);
    Timer1->start();

    m_drawing.clear();
}

void THangForm1::FormCreate()
{
    setWindowFlag(Qt::FramelessWindowHint);
    setWindowState(windowState() | Qt::WindowMaximized);
    QPalette p = palette();
    p.setBrush(QPalette::Window, QBrush(backgroundTexture()));
    setPalette(p);
    setAutoFillBackground(true);

    QSize desktop(kDesignWidth, kDesignHeight);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        desktop = screen->geometry().size();
    resize(desktop);
    // The panels are laid out for the design size; the window is as large as the desktop.
    const QPoint shift((desktop.width() - kDesignWidth) / 2,
                       (desktop.height() - kDesignHeight) / 2);
    Panel1->move(Panel1->pos() + shift);
    Panel4->move(Panel4->pos() + shift);

    setTexts();
    setWindowTitle(m_main->englishInterface() ? u"Hangman"_s : u"Adam Asmaca"_s);
    if (zarel::methods::listCount(*m_main) == 0) {
        RadioButton1->setEnabled(false);
        RadioButton3->setEnabled(false);
    }
    m_wordFromList = false;
}

void THangForm1::setTexts()
{
    const bool english = m_main->englishInterface();
    auto pick = [english](QString turkish, QString englishText) {
        return english ? std::move(englishText) : std::move(turkish);
    };
    Button3->setText(pick(u"Çeviri"_s, u"Translation"_s));
    Button1->setText(pick(u"Sonraki kelime"_s, u"Next word"_s));
    Button2->setText(pick(u"Pes"_s, u"Loss"_s));
    Button5->setToolTip(pick(u"Yardım"_s, u"Help"_s));
    Button4->setToolTip(pick(u"Çıkış"_s, u"Exit"_s));
    Label4->setText(pick(u"Sonuç"_s, u"Results"_s));
    HeaderControl1->model()->setHeaderData(0, Qt::Horizontal, pick(u"Siz"_s, u"You"_s));
    HeaderControl1->model()->setHeaderData(1, Qt::Horizontal, pick(u"Ben"_s, u"Me"_s));
    RadioButton1->setText(pick(u"Listeden rasgele kelime"_s, u"Random word from list"_s));
    RadioButton2->setText(pick(u"İngilizce rasgele kelime"_s, u"Random English word"_s));
    RadioButton3->setText(pick(u"Sıra ile listeden kelime"_s, u"Next word from list"_s));
    RadioButton4->setText(pick(u"Türkçe rasgele kelime"_s, u"Random Turkish word"_s));
}

void THangForm1::startFirstGame(const QString &word, bool turkish)
{
    startGame(zarel::app::toCp1254(word), turkish ? Casing::Turkish : Casing::English);
}

void THangForm1::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!std::exchange(m_shown, true))
        FormShow();
}

void THangForm1::FormShow()
{
    if (zarel::methods::listCount(*m_main) > 0) {
        m_wordFromList = true;
    } else {
        RadioButton2->setChecked(true);
        Button1Click();
    }
    Edit1->setFocus();
}

void THangForm1::startGame(const std::string &word, Casing casing)
{
    m_drawing.clear();
    Image1->update();
    Label2->clear();
    if (sharedGame().start(word, casing))
        showScore(true);
    showPattern();
}

void THangForm1::showPattern()
{
    fitPattern(Label1, text(sharedGame().pattern()));
}

void THangForm1::showScore(bool playerWon)
{
    const zarel::hangman::Scores &s = sharedGame().scores();
    Label3->setText(QString::number(s.player) + u" - "_s + QString::number(s.computer));
    QPalette p = Label3->palette();
    p.setColor(QPalette::WindowText, playerWon ? kWinColour : kLossColour);
    Label3->setPalette(p);
}

bool THangForm1::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != Edit1 || event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    const QString typed = key->text();
    // Keys that type no character (arrows, Backspace, Enter, Ctrl combinations) are no guesses.
    if (typed.size() != 1 || typed.at(0).unicode() < 0x20 || typed.at(0).unicode() == 0x7F
        || (key->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)))
        return false;
    const int byte = zarel::cp1254::fromUnicode(typed.at(0).unicode());
    if (byte < 0)
        return true; // no character of the game's code page: neither guessed nor shown
    Edit1KeyPress(static_cast<unsigned char>(byte));
    // The box's own handling then shows the character just typed.
    return false;
}

void THangForm1::Edit1KeyPress(unsigned char key)
{
    Game &g = sharedGame();
    const GuessOutcome outcome = g.guess(key);
    if (outcome == GuessOutcome::Ignored)
        return;
    Label2->setText(text(g.guessed()));
    switch (outcome) {
    case GuessOutcome::Found:
        showPattern();
        break;
    case GuessOutcome::Won:
        recordGame(true);
        showScore(true);
        Button3->setEnabled(true);
        showPattern();
        break;
    case GuessOutcome::Lost:
        recordGame(false);
        QApplication::beep();
        break;
    case GuessOutcome::Missed:
    case GuessOutcome::Ignored:
        break;
    }
    m_drawing.drawStage(g.misses());
    Image1->update();
    if (outcome == GuessOutcome::Lost) {
        Button3->setEnabled(true);
        showPattern();
        showScore(false);
    }
    Edit1->clear();
}

void THangForm1::Button2Click()
{
    if (!sharedGame().giveUp())
        return;
    recordGame(false);
    showPattern();
    Button3->setEnabled(true);
    showScore(false);
}

void THangForm1::Button1Click()
{
    if (Panel4->isVisible())
        Panel4->hide();
    std::string word;
    Casing casing = Casing::English;
    // With no word anywhere the game of an earlier opening must not go on unseen.
    if (!drawNextWord(word, casing))
        word.clear();
    startGame(word, casing);
    Button3->setEnabled(false);
}

bool THangForm1::drawNextWord(std::string &word, Casing &casing)
{
    using namespace zarel::hangman;
    if (RadioButton4->isChecked()) {
        casing = Casing::Turkish;
        return drawDictionaryWord(kFirstTurkishTab, kLastTurkishTab, word);
    }
    if (RadioButton1->isChecked() && drawListWord(true, word, casing))
        return true;
    if (RadioButton3->isChecked() && drawListWord(false, word, casing))
        return true;
    // The English source, and the list sources when the list has no word long enough.
    casing = Casing::English;
    return drawDictionaryWord(kFirstEnglishTab, kLastEnglishTab, word);
}

bool THangForm1::drawListWord(bool random, std::string &word, Casing &casing)
{
    const int count = zarel::methods::listCount(*m_main);
    std::vector<std::string> entries;
    entries.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        entries.push_back(zarel::app::toCp1254(zarel::methods::shownEntry(*m_main, i)));
    const int i = m_dueDraw.next(
        zarel::methods::learningHistory(*m_main), zarel::methods::listKeys(*m_main),
        [&](int k) {
            return entries[static_cast<size_t>(k)].size() >= zarel::hangman::kMinWordLength;
        },
        [&] {
            return random ? zarel::hangman::randomListWord(entries, randomSource())
                          : zarel::hangman::nextListWord(entries, m_main->selectedWordListEntry());
        },
        zarel::learning::nowSeconds());
    if (i < 0)
        return false;
    zarel::methods::selectListEntry(*m_main, i);
    word = entries[static_cast<size_t>(i)];
    casing = zarel::methods::isEnglishEntry(*m_main, i) ? Casing::English : Casing::Turkish;
    m_wordFromList = true;
    return true;
}

bool THangForm1::drawDictionaryWord(int firstTab, int lastTab, std::string &word)
{
    const zarel::hangman::DictionaryWord w
        = zarel::hangman::randomHeadword(m_main->dictionary(), firstTab, lastTab, randomSource());
    if (!w.found())
        return false;
    m_main->showTab(w.tab);
    word = std::string(m_main->dictionary().tab(w.tab).headword(static_cast<size_t>(w.index)));
    m_wordFromList = false;
    return true;
}

void THangForm1::recordGame(bool won)
{
    const Game &g = sharedGame();
    // A list word keeps the key the list gives it; a dictionary word is kept as it was drawn.
    const zarel::learning::WordKey key = m_wordFromList
        ? zarel::methods::listKey(*m_main, m_main->selectedWordListEntry())
        : zarel::learning::WordKey { text(g.word()).toStdString(), g.casing() == Casing::English };
    zarel::methods::recordAnswer(*m_main, key, "hangman", won);
}

void THangForm1::Button3Click()
{
    // A list word is looked up under the tab of the list's selected entry; a dictionary word
    // under the tab it was drawn from, which is still the current one.
    const int tab
        = m_wordFromList ? zarel::methods::entryTab(*m_main, m_main->selectedWordListEntry()) : -1;
    const zarel::methods::Located at
        = zarel::methods::locateInTab(*m_main, tab, text(sharedGame().word()));
    if (!at.found())
        return;
    Panel4->show();
    zarel::methods::loadArticle(*m_main, at, RichEdit1);
}

void THangForm1::Button4Click()
{
    m_main->setBusyTag(0);
    done(QDialog::Accepted);
}

void THangForm1::done(int result)
{
    m_main->setBusyTag(0);
    Timer1->stop();
    QDialog::done(result);
}

void THangForm1::keyPressEvent(QKeyEvent *event)
{
    // The window closes through its exit button only, as it has no border to close it by.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void THangForm1::Button5Click()
{
    zarel::methods::showMethodHelp(*m_main, kHelpPage);
}

void THangForm1::RadioButtonClick()
{
    Edit1->setFocus();
}

void THangForm1::Timer1Timer()
{
    if (m_drawing.swingTick())
        Image1->update();
}

#include "moc_thangform1.cpp"
