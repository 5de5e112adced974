// Method 1's window: its controls in panel coordinates, the slide show's timers and the word
// commands.
#include "methods/tform3.h"

#include "methods/core/methodrules.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
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

TForm3::TForm3(zarel::methods::MethodHost *host, QWidget *parent)
    : TMethodForm(host, 1, QSize(kPanelWidth, kPanelHeight), parent)
{
    buildControls();
    connect(Button3, &QPushButton::clicked, this, &TForm3::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TForm3::Button4Click);
    connect(Button5, &QPushButton::clicked, this, &TForm3::Button5Click);
    connect(Button7, &QPushButton::clicked, this, &TForm3::Button7Click);
    connect(Button1, &QPushButton::clicked, this, &TForm3::Button1Click);
    connect(SpeedButton1, &QToolButton::clicked, this, &TForm3::SpeedButton1Click);
    connect(CheckBox1, &QCheckBox::clicked, this, &TForm3::CheckBox1Click);
    connect(TrackBar1, &QSlider::valueChanged, this, &TForm3::TrackBar1Change);
    connect(Timer1, &QTimer::timeout, this, &TForm3::Timer1Timer);
    connect(Timer2, &QTimer::timeout, this, &TForm3::Timer2Timer);
    FormCreate();
}

void TForm3::buildControls()
{
    Edit1 = new QLineEdit(Panel1);
    Edit1->setReadOnly(true);
    Edit1->setGeometry(9, 9, 267, 30);
    QFont wordFont(u"Times New Roman"_s);
    wordFont.setPixelSize(19);
    wordFont.setBold(true);
    Edit1->setFont(wordFont);
    QPalette palette = Edit1->palette();
    palette.setColor(QPalette::Text, Qt::blue);
    Edit1->setPalette(palette);
    Label4 = makeLabel(Panel1, QPoint(284, 17), {});
    SpeedButton1 = makeSpeedButton(Panel1, QRect(366, 7, 28, 28), QStyle::SP_DialogHelpButton);

    RichEdit1 = new QTextEdit(Panel1);
    RichEdit1->setReadOnly(true);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->setGeometry(8, 47, 302, 179);

    Label5 = makeLabel(Panel1, QPoint(317, 49), {});
    Label1 = makeLabel(Panel1, QPoint(333, 68), {});
    TrackBar1 = makeSpeedBar(Qt::Vertical, QRect(327, 100, 38, 121), QPoint(342, 85),
                             QPoint(343, 221), &Label3, &Label2);
    CheckBox1 = new QCheckBox(Panel1);
    CheckBox1->setChecked(true);
    CheckBox1->setGeometry(322, 234, 76, 18);

    PrgBar1 = new QProgressBar(Panel1);
    PrgBar1->setTextVisible(false);
    PrgBar1->setGeometry(9, 235, 301, 15);

    Strip = makePictureStrip(QRect(2, 258, 397, 44));
    Button3 = makeButton(Strip, QRect(6, 4, 40, 36));
    Button3->setIconSize(QSize(28, 28));
    Button4 = makeButton(Strip, QRect(52, 6, 114, 32));
    Button5 = makeButton(Strip, QRect(170, 6, 124, 32), {}, QStyle::SP_ArrowRight);
    Button5->setLayoutDirection(Qt::RightToLeft); // the glyph at the right
    Button7 = makeButton(Strip, QRect(304, 4, 40, 36), {}, QStyle::SP_MediaVolume);
    Button1 = makeButton(Strip, QRect(350, 4, 40, 36), {}, QStyle::SP_DialogCloseButton);

    Timer1 = new QTimer(this);
    Timer2 = new QTimer(this);
    initStartStop(Button3, Timer2);
    nameControls({ { Edit1, u"Edit1" },
                   { Label4, u"Label4" },
                   { RichEdit1, u"RichEdit1" },
                   { Label5, u"Label5" },
                   { TrackBar1, u"TrackBar1" },
                   { Label1, u"Label1" },
                   { Label3, u"Label3" },
                   { Label2, u"Label2" },
                   { CheckBox1, u"CheckBox1" },
                   { PrgBar1, u"PrgBar1" },
                   { Strip, u"Strip" },
                   { Button3, u"Button3" },
                   { Button4, u"Button4" },
                   { Button5, u"Button5" },
                   { Button7, u"Button7" },
                   { Button1, u"Button1" },
                   { SpeedButton1, u"SpeedButton1" } });
}

void TForm3::setTexts()
{
    Label4->setText(text(u"Kelime"_s, u"Word"_s));
    Label5->setText(text(u"Çeviri bölümü"_s, u"Translation"_s));
    Label1->setText(text(u"Hız"_s, u"Speed"_s));
    for (QLabel *label : { Label4, Label5, Label1 })
        label->adjustSize();
    // A caption of the right-hand column wider than the room up to the panel's bevel moves
    // left, at most up to the article pane.
    const int right = Panel1->contentsRect().right() - 1;
    if (Label5->geometry().right() > right) {
        const int left = RichEdit1->geometry().right() + 3;
        Label5->move(std::max(left, right - Label5->width() + 1), Label5->y());
    }
    CheckBox1->setText(text(u"Ses"_s, u"Speech"_s));
    Button4->setText(text(u"Önceki kelime"_s, u"Previous word"_s));
    Button5->setText(text(u"Sonraki kelime"_s, u"Next word"_s));
    Button7->setToolTip(text(u"Kelimenin telaffuzu"_s, u"Play the word/phrase"_s));
    Button1->setToolTip(text(u"Çıkış"_s, u"Exit"_s));
    SpeedButton1->setToolTip(text(u"Yardım"_s, u"Help"_s));
}

void TForm3::FormCreate()
{
    WordIndex = -1;
    PrgBar1->setRange(0, listCount());
    PrgBar1->setValue(0);
    Timer1->setInterval(TrackBar1->value() * 500);
    Timer2->start();
    stopPronunciation(false);
    onPronunciationEnd([this] {
        Button4->setEnabled(true);
        Button5->setEnabled(true);
        Button7->setEnabled(true);
    });
    Button7->setEnabled(false);
    setTexts();
}

void TForm3::Button3Click()
{
    Button7->setEnabled(true);
    if (!Running) {
        // The first word comes with the first tick, one interval from now.
        showStopGlyph();
        Timer1->start();
        Timer2->stop();
        Running = true;
    } else {
        showStartGlyph();
        Running = false;
        Timer1->stop();
        Timer2->start();
    }
}

void TForm3::Timer1Timer()
{
    // While a word is pronounced the step buttons are disabled: the tick is skipped and the word
    // stays on show for one more interval.
    if (Button5->isEnabled())
        Button5Click();
}

void TForm3::Timer2Timer()
{
    blink();
}

void TForm3::TrackBar1Change()
{
    Timer1->setInterval(TrackBar1->value() * 500);
}

void TForm3::Button5Click()
{
    const int count = listCount();
    if (count == 0)
        return;
    WordIndex = drawWord([&] { return zarel::nextWordIndex(WordIndex, count); });
    showWord(WordIndex, CheckBox1->isChecked());
}

void TForm3::Button4Click()
{
    const int count = listCount();
    if (count == 0)
        return;
    WordIndex = zarel::previousWordIndex(WordIndex, count);
    showWord(WordIndex, CheckBox1->isChecked());
}

void TForm3::Button7Click()
{
    if (WordIndex < 0 || WordIndex >= listCount())
        return;
    showWord(WordIndex, true);
}

void TForm3::CheckBox1Click()
{
    Button7->setEnabled(true);
}

void TForm3::SpeedButton1Click()
{
    help();
}

void TForm3::Button1Click()
{
    exitMethod(true, true);
}

void TForm3::showWord(int i, bool speak)
{
    const Located at = locate(i, shownEntry(i));
    selectListEntry(i);
    if (at.found()) {
        // Turkish headwords have no sound; a user's word has one once it has been made.
        if (speak && isEnglishHeadword(at)) {
            PronounceRequest request;
            request.buttons = { Button4, Button5, Button7 };
            request.stopPlaying = true;
            pronounce(at, request);
        }
        loadArticle(at, RichEdit1);
    }
    Edit1->setText(host()->wordBoxText());
    Edit1->repaint();
    PrgBar1->setValue(WordIndex);
    RichEdit1->repaint();
}
