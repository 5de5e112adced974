// Method 2's window: its controls in panel coordinates, the drill's timers, the word commands
// and the translation shown on demand.
#include "methods/tform5.h"

#include "methods/core/methodrules.h"

#include <QAction>
#include <QCheckBox>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

using namespace Qt::Literals::StringLiterals;
using zarel::methods::Located;

namespace {

// Drops bold, italic and underline from a button's font.
void regularFont(QWidget *widget)
{
    QFont font = widget->font();
    font.setBold(false);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    widget->setFont(font);
}

} // namespace

TForm5::TForm5(zarel::methods::MethodHost *host, QWidget *parent)
    : TMethodForm(host, 2, QSize(kPanelWidth, kPanelHeight), parent)
{
    buildControls();
    connect(Button3, &QPushButton::clicked, this, &TForm5::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TForm5::Button4Click);
    connect(Button6, &QPushButton::clicked, this, &TForm5::Button6Click);
    connect(Button7, &QPushButton::clicked, this, &TForm5::Button7Click);
    connect(Button1, &QPushButton::clicked, this, &TForm5::Button1Click);
    connect(SpeedButton1, &QToolButton::clicked, this, &TForm5::SpeedButton1Click);
    connect(SpeedButton2, &QToolButton::clicked, this, &TForm5::SpeedButton2Click);
    connect(TrackBar1, &QSlider::valueChanged, this, &TForm5::TrackBar1Change);
    connect(Timer1, &QTimer::timeout, this, &TForm5::Timer1Timer);
    connect(Timer2, &QTimer::timeout, this, &TForm5::Timer2Timer);
    FormCreate();
}

void TForm5::buildControls()
{
    Edit1 = new QLineEdit(Panel1);
    Edit1->setReadOnly(true);
    Edit1->setGeometry(6, 8, 272, 30);
    QFont wordFont(u"Times New Roman"_s);
    wordFont.setPixelSize(19);
    wordFont.setBold(true);
    Edit1->setFont(wordFont);
    QPalette palette = Edit1->palette();
    palette.setColor(QPalette::Text, Qt::red);
    Edit1->setPalette(palette);
    Label4 = makeLabel(Panel1, QPoint(284, 16), {});
    SpeedButton2 = makeSpeedButton(Panel1, QRect(365, 7, 28, 28), QStyle::SP_DialogHelpButton);

    RichEdit1 = new QTextEdit(Panel1);
    RichEdit1->setReadOnly(true);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->setGeometry(5, 53, 305, 210);
    RichEdit1->hide();

    SpeedButton1 = makeSpeedButton(Panel1, QRect(317, 53, 76, 55), QStyle::SP_FileDialogInfoView);
    SpeedButton1->setAutoRaise(false);
    SpeedButton1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    SpeedButton1->setEnabled(false);

    Label1 = makeLabel(Panel1, QPoint(333, 113), {});
    TrackBar1 = makeSpeedBar(Qt::Vertical, QRect(327, 138, 38, 124), QPoint(342, 126),
                             QPoint(343, 260), &Label3, &Label2);
    CheckBox1 = new QCheckBox(Panel1);
    CheckBox1->setChecked(true);
    CheckBox1->setGeometry(320, 272, 76, 18);

    PrgBar1 = new QProgressBar(Panel1);
    PrgBar1->setTextVisible(false);
    PrgBar1->setGeometry(5, 270, 310, 19);

    Strip = makePictureStrip(QRect(2, 293, 395, 42));
    Button3 = makeButton(Strip, QRect(6, 3, 40, 36));
    Button3->setIconSize(QSize(28, 28));
    Button4 = makeButton(Strip, QRect(52, 5, 114, 32));
    Button6 = makeButton(Strip, QRect(170, 5, 124, 32), {}, QStyle::SP_ArrowRight);
    Button6->setLayoutDirection(Qt::RightToLeft); // the glyph at the right
    Button7 = makeButton(Strip, QRect(302, 3, 40, 36), {}, QStyle::SP_MediaVolume);
    Button1 = makeButton(Strip, QRect(348, 3, 40, 36), {}, QStyle::SP_DialogCloseButton);

    Timer1 = new QTimer(this);
    Timer2 = new QTimer(this);
    initStartStop(Button3, Timer2);
    nameControls({ { Edit1, u"Edit1" },
                   { Label4, u"Label4" },
                   { RichEdit1, u"RichEdit1" },
                   { SpeedButton1, u"SpeedButton1" },
                   { TrackBar1, u"TrackBar1" },
                   { Label1, u"Label1" },
                   { Label3, u"Label3" },
                   { Label2, u"Label2" },
                   { CheckBox1, u"CheckBox1" },
                   { PrgBar1, u"PrgBar1" },
                   { Strip, u"Strip" },
                   { Button3, u"Button3" },
                   { Button4, u"Button4" },
                   { Button6, u"Button6" },
                   { Button7, u"Button7" },
                   { Button1, u"Button1" },
                   { SpeedButton2, u"SpeedButton2" } });
}

void TForm5::setTexts()
{
    Label4->setText(text(u"Kelime"_s, u"Word"_s));
    Label1->setText(text(u"Hız"_s, u"Speed"_s));
    for (QLabel *label : { Label4, Label1 })
        label->adjustSize();
    SpeedButton1->setText(text(u"Çeviri"_s, u"Translation"_s));
    CheckBox1->setText(text(u"Ses"_s, u"Speach"_s));
    Button4->setText(text(u"Önceki kelime"_s, u"Previous word"_s));
    Button6->setText(text(u"Sonraki kelime"_s, u"Next word"_s));
    Button7->setToolTip(text(u"Kelimenin telaffuzu"_s, u"Play the word/phrase"_s));
    Button1->setToolTip(text(u"Çıkış"_s, u"Exit"_s));
    SpeedButton2->setToolTip(text(u"Yardım"_s, u"Help"_s));
}

void TForm5::setTranslationCaption(bool shown)
{
    const bool turkish = !englishTexts();
    if (shown)
        SpeedButton1->setText(turkish ? u"Devam et"_s : u"Continue"_s);
    else
        SpeedButton1->setText(turkish ? u"Çeviri"_s : u"Translation"_s);
}

void TForm5::FormCreate()
{
    WordIndex = -1;
    TranslationShown = false;
    PrgBar1->setRange(0, listCount());
    PrgBar1->setValue(0);
    // 2000 ms until the speed bar is first moved, whatever its position.
    Timer1->setInterval(2000);
    Timer2->start();
    stopPronunciation(false);
    // While the article is on show the step buttons stay disabled; continuing enables them.
    onPronunciationEnd([this] {
        if (!TranslationShown) {
            Button4->setEnabled(true);
            Button6->setEnabled(true);
            Button7->setEnabled(true);
        }
        Button7->setEnabled(true);
    });
    Button7->setEnabled(false);
    setTexts();
}

void TForm5::Button3Click()
{
    if (TranslationShown)
        return;
    // Starting shows the first word at once; stopping steps one word before it stops.
    Timer1Timer();
    Button7->setEnabled(true);
    if (!Timer1->isActive()) {
        Timer1->start();
        showStopGlyph();
        Timer2->stop();
        Running = true;
    } else {
        Timer1->stop();
        regularFont(Button3);
        showStartGlyph();
        Timer2->start();
        Running = false;
    }
}

void TForm5::Timer1Timer()
{
    // While a word is pronounced the step buttons are disabled: the tick is skipped and the word
    // stays on show for one more interval.
    if (Button6->isEnabled())
        Button6Click();
}

void TForm5::Timer2Timer()
{
    if (!TranslationShown)
        blink();
}

void TForm5::TrackBar1Change()
{
    Timer1->setInterval(TrackBar1->value() * 500);
}

void TForm5::Button6Click()
{
    const int count = listCount();
    if (TranslationShown || count == 0)
        return;
    WordIndex = drawWord([&] { return zarel::nextWordIndex(WordIndex, count); });
    showWord(WordIndex, Command::Next, CheckBox1->isChecked());
}

void TForm5::Button4Click()
{
    const int count = listCount();
    if (TranslationShown || count == 0)
        return;
    WordIndex = zarel::previousWordIndex(WordIndex, count);
    showWord(WordIndex, Command::Previous, CheckBox1->isChecked());
}

void TForm5::Button7Click()
{
    if (WordIndex < 0 || WordIndex >= listCount())
        return;
    showWord(WordIndex, Command::Pronounce, true);
}

void TForm5::SpeedButton1Click()
{
    if (!TranslationShown) {
        setTranslationCaption(true);
        TranslationShown = true;
        Timer1->stop();
        const Located at = locate(WordIndex, shownEntry(WordIndex));
        // Without a headword the pane stays hidden and the buttons enabled, but the drill stays
        // paused until the user continues.
        if (at.found()) {
            RichEdit1->show();
            loadArticle(at, RichEdit1);
            Button3->setEnabled(false);
            Button4->setEnabled(false);
            Button6->setEnabled(false);
        }
        return;
    }
    Timer2->stop();
    setTranslationCaption(false);
    TranslationShown = false;
    // After a shown article the next-word button is still disabled, so this tick does not step:
    // the drill resumes on the same word.
    Timer1Timer();
    if (Running)
        Timer1->start();
    else
        Timer2->start();
    regularFont(SpeedButton1);
    RichEdit1->hide();
    Button3->setEnabled(true);
    Button4->setEnabled(true);
    Button6->setEnabled(true);
    Button7->setEnabled(false);
}

void TForm5::SpeedButton2Click()
{
    help();
}

void TForm5::Button1Click()
{
    exitMethod(true, true);
}

void TForm5::showWord(int i, Command command, bool speak)
{
    SpeedButton1->setEnabled(true);
    if (command != Command::Pronounce)
        Button7->setEnabled(true);
    PrgBar1->setValue(i);
    selectListEntry(i);
    // The word as it stands in the list, not as the dictionary spells it.
    Edit1->setText(shownEntry(i));
    Edit1->repaint();
    const Located at = locate(i, shownEntry(i));
    // Turkish headwords have no sound; a user's word has one once it has been made.
    if (speak && at.found() && isEnglishHeadword(at)) {
        PronounceRequest request;
        request.buttons = { Button4, Button6, Button7 };
        request.stopPlaying = true;
        request.library = command == Command::Previous ? Library::AsLoaded : Library::Reload;
        pronounce(at, request);
    }
}
