// TForm1 construction: every control at its designed place and size, the menus with their
// designed captions and check marks, and the wiring of the settings commands.
#include "app/tform1.h"

#include "controls/tricheditdblclick.h"
#include "sound/tmpegplayer.h"

#include "app/alignlayout.h"
#include "app/splash.h"
#include "app/tabpictures.h"
#include "app/ttabcontrol.h"
#include "app/wordlistmodel.h"
#include "controls/tricheditdblclick.h"
#include "learning/learningmenu.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QGuiApplication>
#include <QIconEngine>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTextEdit>
#include <QToolButton>

using namespace Qt::Literals::StringLiterals;
using Align = AlignLayout::Align;

namespace {

// Gives every row of a list the designed item height.
class FixedHeightDelegate : public QStyledItemDelegate
{
public:
    FixedHeightDelegate(int height, QObject *parent)
        : QStyledItemDelegate(parent)
        , m_height(height)
    { }
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return QSize(QStyledItemDelegate::sizeHint(option, index).width(), m_height);
    }

private:
    int m_height;
};

// An icon that is made when it is first drawn or asked about. Until then it counts as not null,
// so that buttons lay out as they do with the icon itself.
class IconOnFirstUse final : public QIconEngine
{
public:
    explicit IconOnFirstUse(std::function<QIcon()> make)
        : m_make(std::move(make))
    { }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().actualSize(size, mode, state);
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override
    {
        return icon().pixmap(size, scale, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return icon().availableSizes(mode, state);
    }
    QString iconName() override { return icon().name(); }
    bool isNull() override { return false; }
    QString key() const override { return u"IconOnFirstUse"_s; }
    QIconEngine *clone() const override { return new IconOnFirstUse(*this); }

private:
    const QIcon &icon()
    {
        if (m_make) {
            m_icon = m_make();
            m_make = nullptr;
        }
        return m_icon;
    }

    std::function<QIcon()> m_make;
    QIcon m_icon;
};

// A standard icon of the application's style, looked up when first drawn. Looking up the first
// one reads the icon theme's index, several milliseconds that would otherwise come before the
// window shows; a button that stays hidden never pays it.
QIcon standardIcon(QStyle::StandardPixmap which)
{
    return QIcon(
        new IconOnFirstUse([which] { return QApplication::style()->standardIcon(which); }));
}

// A panel with a raised bevel of `bevel` pixels (0: none) whose docked children sit inside it.
QFrame *makePanel(QWidget *parent, const QString &name, int width, int height, int bevel)
{
    auto *panel = new QFrame(parent);
    panel->setObjectName(name);
    panel->resize(width, height);
    if (bevel > 0) {
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Raised);
        panel->setLineWidth(bevel);
    }
    new AlignLayout(panel);
    return panel;
}

AlignLayout *alignLayout(QWidget *panel)
{
    return static_cast<AlignLayout *>(panel->layout());
}

// A picture control (filled by later commands and data files).
QLabel *makeImage(QWidget *parent, const QString &name)
{
    auto *image = new QLabel(parent);
    image->setObjectName(name);
    image->setScaledContents(true);
    return image;
}

template<typename Button>
Button *makeButton(QWidget *parent, const QString &name, const QRect &geometry)
{
    auto *button = new Button(parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    return button;
}

QAction *addItem(QMenu *menu, const QString &name, const QString &caption, bool checkable = false,
                 bool checked = false)
{
    QAction *item = menu->addAction(caption);
    item->setObjectName(name);
    item->setCheckable(checkable);
    item->setChecked(checked);
    return item;
}

QMenu *addSubMenu(QWidget *owner, const QString &name, const QString &caption)
{
    QMenu *menu = nullptr;
    if (auto *bar = qobject_cast<QMenuBar *>(owner))
        menu = bar->addMenu(caption);
    else
        menu = static_cast<QMenu *>(owner)->addMenu(caption);
    menu->setObjectName(name);
    menu->menuAction()->setObjectName(name + u"Item"_s);
    return menu;
}

} // namespace

TForm1::TForm1(QWidget *parent)
    : QMainWindow(parent,
                  Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                      | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                      | Qt::WindowContextHelpButtonHint | Qt::WindowCloseButtonHint)
{
    // The index files load while the controls are built; FormCreate waits for them.
    startIndexLoad();
    setObjectName(u"Form1"_s);
    setWindowTitle(u"Zarel English Dictionary"_s);
    QFont font(u"Times New Roman"_s);
    font.setPixelSize(13);
    setFont(font);

    auto *client = new QWidget(this);
    client->setObjectName(u"ClientArea"_s);
    client->resize(kClientWidth, kClientHeight);
    auto *clientLayout = new AlignLayout(client);
    setCentralWidget(client);

    buildTopPanel(client, clientLayout);
    mainPanel = makePanel(client, u"mainPanel"_s, kClientWidth, kClientHeight - 60, 1);
    clientLayout->addAligned(mainPanel, Align::Client);
    buildRightPanels(alignLayout(mainPanel));
    buildArticlePanel(alignLayout(mainPanel));
    buildMenus();
    MPEG1 = new TMPEGPlayer(this);
    MPEG1->setObjectName(u"MPEG1"_s);
    MPEG1->setTimerFreq(500);
    connect(MPEG1, &TMPEGPlayer::OnPlayEnd, this, &TForm1::MPEG1PlayEnd);
    buildVoiceRecording();
    wireLookup();
    wireWordList();
    wireLanguage();
    wireHelp();
    wireMethods();
    buildKeyPanel();

    m_emptyWordList = new WordListModel(this);
    m_wordLists.fill(m_emptyWordList);
    setClientSize(kClientWidth, kClientHeight);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    FormCreate();
}

QIcon TForm1::iconOnFirstUse(std::function<QIcon()> make)
{
    return QIcon(new IconOnFirstUse(std::move(make)));
}

QIcon TForm1::tabPicture(int tab)
{
    // Drawing the letters loads a bold font; the first paint of the tab strip, after the
    // window shows, draws all 56 pictures in one go.
    return iconOnFirstUse([this, tab] {
        if (ImageList1.isEmpty())
            ImageList1 = zarel::app::makeTabPictures();
        return QIcon(ImageList1.at(tab));
    });
}

TForm1::~TForm1()
{
    FormDestroy();
}

void TForm1::setClientSize(int width, int height)
{
    centralWidget()->setFixedSize(width, height);
    const int bar = MainMenu1->heightForWidth(width);
    setFixedSize(width, height + (bar > 0 ? bar : MainMenu1->sizeHint().height()));
}

void TForm1::buildTopPanel(QWidget *client, AlignLayout *clientLayout)
{
    topPanel = makePanel(client, u"topPanel"_s, kClientWidth, 60, 1);
    clientLayout->addAligned(topPanel, Align::Top);

    Image1 = makeImage(topPanel, u"Image1"_s);
    Image1->resize(90, 58);
    Image1->setCursor(Qt::PointingHandCursor);
    alignLayout(topPanel)->addAligned(Image1, Align::Left);

    TabControl1 = new TTabControl(topPanel);
    TabControl1->setObjectName(u"TabControl1"_s);
    TabControl1->resize(521, 58);
    TabControl1->tabBar()->setTabWidth(18);
    alignLayout(topPanel)->addAligned(TabControl1, Align::Right);
    for (int t = 0; t < zarel::kEnglishTabCount; ++t)
        TabControl1->addTab(tabPicture(t), QString(QChar(u'A' + t)));

    // The seven Turkish letter buttons lie under the word box until it is made narrower.
    struct LetterButton
    {
        QToolButton **member;
        const char16_t *name;
        const char16_t *letter;
        int left;
        int width;
    };
    const LetterButton letters[] = {
        { &SpeedButton16, u"SpeedButton16", u"ö", 323, 23 },
        { &SpeedButton17, u"SpeedButton17", u"ç", 346, 23 },
        { &SpeedButton18, u"SpeedButton18", u"ş", 369, 23 },
        { &SpeedButton19, u"SpeedButton19", u"ğ", 392, 25 },
        { &SpeedButton20, u"SpeedButton20", u"ü", 417, 23 },
        { &SpeedButton21, u"SpeedButton21", u"ı", 440, 23 },
        { &SpeedButton22, u"SpeedButton22", u"İ", 463, 23 },
    };
    int tag = 1;
    for (const LetterButton &b : letters) {
        auto *button = makeButton<QToolButton>(TabControl1, QString::fromUtf16(b.name),
                                               QRect(b.left, 28, b.width, 22));
        button->setText(QString::fromUtf16(b.letter));
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setProperty("Tag", tag++);
        *b.member = button;
    }

    Combo = new TComboBox(TabControl1);
    Combo->setObjectName(u"Combo"_s);
    Combo->setGeometry(8, 24, 475, 29);
    Combo->setEditable(true);
    Combo->setInsertPolicy(QComboBox::NoInsert);
    Combo->setCompleter(nullptr); // the lookup runs its own searches over the list
    Combo->setMaxVisibleItems(10);
    Combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    QFont comboFont = font();
    comboFont.setPixelSize(15);
    Combo->setFont(comboFont);
    Combo->setItemDelegate(new FixedHeightDelegate(21, Combo));
    if (auto *view = qobject_cast<QListView *>(Combo->view()))
        view->setUniformItemSizes(true);
    Combo->setToolTip(u"Çeviri için kelimeyi yazin"_s);

    SpeedButton4 = makeButton<QToolButton>(TabControl1, u"SpeedButton4"_s, QRect(486, 24, 30, 30));
    SpeedButton4->setText(u"çş"_s);
    SpeedButton4->setFocusPolicy(Qt::NoFocus);
}

void TForm1::buildRightPanels(AlignLayout *mainLayout)
{
    rightPanel1 = makePanel(mainPanel, u"rightPanel1"_s, 210, 258, 0);
    mainLayout->addAligned(rightPanel1, Align::Right);
    rightPanel2 = makePanel(rightPanel1, u"rightPanel2"_s, 76, 258, 0);
    alignLayout(rightPanel1)->addAligned(rightPanel2, Align::Right);
    Image3 = makeImage(rightPanel2, u"Image3"_s);
    alignLayout(rightPanel2)->addAligned(Image3, Align::Client);

    struct MethodButton
    {
        QPushButton **member;
        const char16_t *name;
        const char16_t *caption;
        int top;
        int height;
    };
    const MethodButton buttons[] = {
        { &Button5, u"Button5", u"Yöntem 1", 5, 22 },
        { &Button9, u"Button9", u"Yöntem 2", 30, 22 },
        { &Button11, u"Button11", u"Yöntem 3", 55, 22 },
        { &Button16, u"Button16", u"Yöntem 4", 80, 22 },
        { &Button12, u"Button12", u"Yöntem 5", 104, 22 },
        { &Button10, u"Button10", nullptr, 131, 40 },
        { &Button2, u"Button2", nullptr, 173, 40 },
        { &Button13, u"Button13", nullptr, 215, 40 },
    };
    for (const MethodButton &b : buttons) {
        auto *button = makeButton<QPushButton>(rightPanel2, QString::fromUtf16(b.name),
                                               QRect(5, b.top, 66, b.height));
        if (b.caption) {
            button->setText(QString::fromUtf16(b.caption));
            button->setToolTip(button->text());
        }
        *b.member = button;
    }
    Button10->setText(u"☺"_s);
    Button10->setToolTip(u"ADAM ASMACA"_s);
    Button2->setIcon(standardIcon(QStyle::SP_DialogSaveButton));
    Button2->setToolTip(u"Kelimeler listesini kaydet"_s);
    Button2->setEnabled(false);
    Button13->setIcon(standardIcon(QStyle::SP_FileDialogNewFolder));
    Button13->setToolTip(u"Kelimeler dosyasını listeye ekle"_s);

    Panel1 = makePanel(rightPanel1, u"Panel1"_s, 134, 258, 1);
    alignLayout(rightPanel1)->addAligned(Panel1, Align::Client);
    ListBox1 = new QListWidget(Panel1);
    ListBox1->setObjectName(u"ListBox1"_s);
    ListBox1->resize(132, 225);
    ListBox1->setItemDelegate(new FixedHeightDelegate(14, ListBox1));
    alignLayout(Panel1)->addAligned(ListBox1, Align::Top);
    Image4 = makeImage(Panel1, u"Image4"_s);
    alignLayout(Panel1)->addAligned(Image4, Align::Client);
    Image5 = makeImage(Panel1, u"Image5"_s);
    Image5->setGeometry(72, 229, 24, 24);
    Label1 = new QLabel(Panel1);
    Label1->setObjectName(u"Label1"_s);
    QFont labelFont(u"Arial"_s);
    labelFont.setPixelSize(13);
    Label1->setFont(labelFont);
    Label1->move(10, 235);
    Label1->setText(u"0 Kelime"_s);
    Label1->adjustSize();
    Button4 = makeButton<QPushButton>(Panel1, u"Button4"_s, QRect(98, 228, 30, 30));
    Button4->setIcon(standardIcon(QStyle::SP_TrashIcon));
    Button4->setToolTip(u"Kelimeler listesini sil"_s);
    Button4->hide();
}

void TForm1::buildArticlePanel(AlignLayout *mainLayout)
{
    Panel2 = makePanel(mainPanel, u"Panel2"_s, 400, 258, 1);
    mainLayout->addAligned(Panel2, Align::Client);
    AlignLayout *layout = alignLayout(Panel2);

    Panel3 = makePanel(Panel2, u"Panel3"_s, 398, 43, 0);
    layout->addAligned(Panel3, Align::Bottom);
    Image2 = makeImage(Panel3, u"Image2"_s);
    alignLayout(Panel3)->addAligned(Image2, Align::Client);
    Button7 = makeButton<QPushButton>(Panel3, u"Button7"_s, QRect(4, 3, 76, 36));
    Button7->setIcon(standardIcon(QStyle::SP_MediaVolume));
    Button7->setToolTip(u"Kelimenin telaffuzu"_s);
    SpeedButton1 = makeButton<QToolButton>(Panel3, u"SpeedButton1"_s, QRect(83, 3, 76, 36));
    SpeedButton1->setText(u"●"_s);
    SpeedButton1->setToolTip(u"Ses kaydı"_s);
    SpeedButton2 = makeButton<QToolButton>(Panel3, u"SpeedButton2"_s, QRect(162, 3, 76, 36));
    SpeedButton2->setIcon(standardIcon(QStyle::SP_MediaPlay));
    SpeedButton2->setToolTip(u"Tekrarlama"_s);
    SpeedButton2->setEnabled(false);
    Button1 = makeButton<QPushButton>(Panel3, u"Button1"_s, QRect(241, 3, 76, 36));
    Button1->setIcon(standardIcon(QStyle::SP_ArrowRight));
    Button1->setToolTip(u"Listeye ekle"_s);
    Button3 = makeButton<QPushButton>(Panel3, u"Button3"_s, QRect(320, 3, 76, 36));
    Button3->setIcon(standardIcon(QStyle::SP_DialogOpenButton));
    Button3->setToolTip(u"Kelimeler dosyasını listeye aç"_s);
    SpeedButton3 = makeButton<QToolButton>(Panel3, u"SpeedButton3"_s, QRect(320, 3, 76, 36));
    SpeedButton3->setText(u"OK"_s);
    SpeedButton3->setToolTip(u"Tamam"_s);
    SpeedButton3->hide();

    Image6 = makeImage(Panel2, u"Image6"_s);
    layout->addAligned(Image6, Align::Client);

    RichEdit1 = new TRichEditDblClick(Panel2);
    RichEdit1->setObjectName(u"RichEdit1"_s);
    RichEdit1->setReadOnly(true);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont paneFont(u"Times New Roman"_s);
    paneFont.setPixelSize(16);
    RichEdit1->setFont(paneFont);
    layout->addAligned(RichEdit1, Align::Client);

    Panel4 = makePanel(Panel2, u"Panel4"_s, 398, 213, 0);
    Panel4->hide();
    layout->addAligned(Panel4, Align::Client);
}

void TForm1::buildMenus()
{
    MainMenu1 = menuBar();
    MainMenu1->setObjectName(u"MainMenu1"_s);

    N18 = addSubMenu(MainMenu1, u"N18"_s, u"&Dosya"_s);
    N19 = addItem(N18, u"N19"_s, u"&Yeni"_s);
    N20 = addItem(N18, u"N20"_s, u"&Aç"_s);
    N21 = addItem(N18, u"N21"_s, u"&Kaydet"_s);
    N22 = addItem(N18, u"N22"_s, u"&Çıkış"_s);

    N1 = addSubMenu(MainMenu1, u"N1"_s, u"Seçenekler"_s);
    ControlC1 = addItem(N1, u"ControlC1"_s, u"Control-C"_s, true, true);
    PopUp1 = addItem(N1, u"PopUp1"_s, u"PopUp"_s, true, true);
    N10 = addSubMenu(N1, u"N10"_s, u"&Görünüm"_s);
    N11 = addItem(N10, u"N11"_s, u"&Standart"_s, true, true);
    N12 = addItem(N10, u"N12"_s, u"&Kısa"_s, true, false);
    N13 = addSubMenu(N1, u"N13"_s, u"&Menü Dili"_s);
    N14 = addItem(N13, u"N14"_s, u"&Türkçe"_s, true, true);
    N15 = addItem(N13, u"N15"_s, u"&İngilizce"_s, true, false);

    N9 = addSubMenu(MainMenu1, u"N9"_s, u"Araçlar"_s);
    N16 = addItem(N9, u"N16"_s, u"&Transkripsiyon"_s);
    N17 = addItem(N9, u"N17"_s, u"&Kısaltmalar"_s);

    Langugae1 = addSubMenu(MainMenu1, u"Langugae1"_s, u"Çeviri"_s);
    KbEg1 = addItem(Langugae1, u"KbEg1"_s, u"English - Turkish"_s, true, true);
    KbTr1 = addItem(Langugae1, u"KbTr1"_s, u"Turkish - English"_s, true, false);

    N2 = addSubMenu(MainMenu1, u"N2"_s, u"Yardım"_s);
    F11 = addItem(N2, u"F11"_s, u"&Yardım"_s + QString(24, u' ') + u"F1"_s);
    N3 = addItem(N2, u"N3"_s, u"&Bizim hakkımızda ..."_s);
    N4 = addItem(N2, u"N4"_s, u"&Program hakkında"_s);
    MultilingualOnlineDictionary1
        = addItem(N2, u"MultilingualOnlineDictionary1"_s, u"Multilingual Online Dictionary"_s);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(u"PopupMenu1"_s);
    Delete1 = addItem(PopupMenu1, u"Delete1"_s, u"Sil"_s);

    Action1 = new QAction(this);
    Action1->setObjectName(u"Action1"_s);
    Action1->setShortcut(Qt::Key_F1);
    addAction(Action1);

    wireSettings();
    // Review due words first (Options), Learning progress (Tools), Export for Anki… (File).
    zarel::learning::addLearningActions(*this, N18, N1, N9);
}

void TForm1::fillComboItems(int tab)
{
    WordListModel *model = wordList(tab);
    m_comboTab = tab;
    const QSignalBlocker blocker(Combo);
    if (Combo->model() != model) {
        // An open list of the old letter would offer rows that no longer exist.
        Combo->hidePopup();
        Combo->setModel(model);
    }
    Combo->setCurrentIndex(-1);
    Combo->clearEditText();
}

WordListModel *TForm1::wordList(int tab) const
{
    return zarel::isValidTab(tab) ? m_wordLists[static_cast<size_t>(tab)] : m_emptyWordList;
}

void TForm1::setPlayEndGroup(int group, std::function<void()> handler)
{
    if (group >= 1 && group <= static_cast<int>(m_playEndGroups.size()))
        m_playEndGroups[static_cast<size_t>(group - 1)] = std::move(handler);
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ListBox1
        && (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease))
        return wordListKeyEvent(static_cast<QKeyEvent *>(event));
    if (languageEvent(watched, event))
        return true;
    return QMainWindow::eventFilter(watched, event);
}
