// Method 3's window: its controls in panel coordinates, the memorising timer, the word commands
// and the answer check.
#include "methods/tform4.h"

#include "methods/core/methodrules.h"

#include <QCheckBox>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QToolButton>

using namespace Qt::Literals::StringLiterals;
using zarel::methods::Located;

TForm4::TForm4(zarel::methods::MethodHost *host, QWidget *parent)
    : TMethodForm(host, 3, QSize(kPanelWidth, kPanelHeight), parent)
{
    buildControls();
    connect(Button9, &QPushButton::clicked, this, &TForm4::Button9Click);
    connect(Button8, &QPushButton::clicked, this, &TForm4::Button8Click);
    connect(Button6, &QPushButton::clicked, this, &TForm4::Button6Click);
    connect(Button7, &QPushButton::clicked, this, &TForm4::Button7Click);
    connect(Button5, &QPushButton::clicked, this, &TForm4::Button5Click);
    connect(Button4, &QPushButton::clicked, this, &TForm4::Button4Click);
    connect(Button3, &QPushButton::clicked, this, &TForm4::Button3Click);
    connect(Button1, &QPushButton::clicked, this, &TForm4::Button1Click);
    connect(SpeedButton1, &QToolButton::clicked, this, &TForm4::SpeedButton1Click);
    connect(Edit1, &QLineEdit::returnPressed, this, &TForm4::Button4Click);
    connect(TrackBar1, &QSlider::valueChanged, this, &TForm4::TrackBar1Change);
    connect(Timer1, &QTimer::timeout, this, &TForm4::Timer1Timer);
    connect(Timer3, &QTimer::timeout, this, &TForm4::Timer3Timer);
    FormCreate();
}

void TForm4::buildControls()
{
    Edit1 = new QLineEdit(Panel1);
    Edit1->setGeometry(15, 15, 187, 30);
    QFont wordFont(u"Times New Roman"_s);
    wordFont.setPixelSize(19);
    wordFont.setBold(true);
    Edit1->setFont(wordFont);
    QPalette palette = Edit1->palette();
    palette.setColor(QPalette::Text, Qt::red);
    Edit1->setPalette(palette);
    SpeedButton1 = makeSpeedButton(Panel1, QRect(210, 15, 28, 28), QStyle::SP_DialogHelpButton);
    Image1 = new QLabel(Panel1);
    Image1->setGeometry(208, 50, 43, 34);
    Image1->setScaledContents(true);
    // Wide enough for "Sonraki kelime" beside its glyph; it grows to the left, toward the
    // answer picture, and keeps its right edge.
    Button6 = makeButton(Panel1, QRect(264, 15, 114, 54), {}, QStyle::SP_ArrowRight);

    Button3 = makeButton(Panel1, QRect(15, 55, 102, 34));
    Button4 = makeButton(Panel1, QRect(15, 92, 102, 34));
    Button5 = makeButton(Panel1, QRect(15, 129, 102, 34));

    CheckBox1 = new QCheckBox(Panel1);
    CheckBox1->setGeometry(179, 85, 200, 18);
    Label1 = makeLabel(Panel1, QPoint(183, 107), {});
    TrackBar1 = makeSpeedBar(Qt::Horizontal, QRect(179, 125, 201, 37), QPoint(170, 133),
                             QPoint(382, 133), &Label3, &Label2);

    PrgBar1 = new QProgressBar(Panel1);
    PrgBar1->setTextVisible(false);
    PrgBar1->setGeometry(9, 172, 377, 16);

    Strip = makePictureStrip(QRect(2, 194, 392, 44));
    Button9 = makeButton(Strip, QRect(6, 4, 40, 36));
    Button9->setIconSize(QSize(28, 28));
    Button7 = makeButton(Strip, QRect(52, 6, 114, 32));
    Button8 = makeButton(Strip, QRect(170, 6, 124, 32), {}, QStyle::SP_ArrowRight);
    Button8->setLayoutDirection(Qt::RightToLeft); // the glyph at the right
    Button1 = makeButton(Strip, QRect(346, 4, 40, 36), {}, QStyle::SP_DialogCloseButton);

    Timer1 = new QTimer(this);
    Timer1->setSingleShot(true);
    Timer3 = new QTimer(this);
    initStartStop(Button9, Timer3);
    nameControls({ { Edit1, u"Edit1" },
                   { Button3, u"Button3" },
                   { Button4, u"Button4" },
                   { Button5, u"Button5" },
                   { Button6, u"Button6" },
                   { Image1, u"Image1" },
                   { Label1, u"Label1" },
                   { TrackBar1, u"TrackBar1" },
                   { Label3, u"Label3" },
                   { Label2, u"Label2" },
                   { CheckBox1, u"CheckBox1" },
                   { PrgBar1, u"PrgBar1" },
                   { Strip, u"Strip" },
                   { Button9, u"Button9" },
                   { Button7, u"Button7" },
                   { Button8, u"Button8" },
                   { Button1, u"Button1" },
                   { SpeedButton1, u"SpeedButton1" } });
}

void TForm4::setTexts()
{
    Button3->setText(text(u"Tekrarla"_s, u"Repeat"_s));
    Button4->setText(text(u"Kontrol et"_s, u"Verification"_s));
    Button5->setText(text(u"Göster"_s, u"Show"_s));
    Button6->setText(text(u"Sonraki kelime"_s, u"Next word"_s));
    Label1->setText(text(u"Belleme süresi"_s, u"Time for remember"_s));
    Label1->adjustSize();
    CheckBox1->setText(text(u"Rasgele kelime"_s, u"Random word"_s));
    Button7->setText(text(u"Önceki kelime"_s, u"Previous word"_s));
    Button8->setText(text(u"Sonraki kelime"_s, u"Next word"_s));
    Button1->setToolTip(text(u"Çıkış"_s, u"Exit"_s));
    SpeedButton1->setToolTip(text(u"Yardım"_s, u"Help"_s));
}

void TForm4::FormCreate()
{
    PrgBar1->setRange(0, listCount());
    PrgBar1->setValue(0);
    Running = false;
    WordIndex = -1;
    // 2000 ms until the memorising-time bar is first moved, whatever its position.
    Timer1->setInterval(2000);
    Timer3->start();
    stopPronunciation(false);
    onPronunciationEnd([this] {
        Button6->setEnabled(true);
        Button7->setEnabled(true);
        Button8->setEnabled(true);
        Image1->clear();
    });
    setTexts();
}

void TForm4::Button9Click()
{
    if (Running) {
        // The next start begins again at entry 0; the blink timer has stayed on.
        WordIndex = -1;
        showStartGlyph();
        Running = false;
        return;
    }
    Running = true;
    showStopGlyph();
    Button8Click();
    Timer1->start();
    PrgBar1->setValue(std::max(WordIndex, 0));
}

void TForm4::Button8Click()
{
    const int count = listCount();
    if (count == 0)
        return;
    WordIndex = drawWord([&] {
        return zarel::nextDrawnWord(CheckBox1->isChecked(), WordIndex, count,
                                    zarel::methods::randomBelow);
    });
    presentWord(WordIndex, false);
}

void TForm4::Button6Click()
{
    Button8Click();
}

void TForm4::Button7Click()
{
    const int count = listCount();
    if (count == 0)
        return;
    WordIndex = zarel::previousWordIndex(WordIndex, count);
    presentWord(WordIndex, true);
}

void TForm4::Timer1Timer()
{
    Timer1->stop();
    Edit1->clear();
    Edit1->setFocus();
}

bool TForm4::answering() const
{
    return Running && (!Timer1->isActive() || !Revealed);
}

void TForm4::Button5Click()
{
    if (!Running || Timer1->isActive())
        return;
    Edit1->setText(AnswerWord);
    Revealed = true;
}

void TForm4::Button4Click()
{
    if (!answering())
        return;
    if (!answerIsRight(Edit1->text(), AnswerWord)) {
        recordAnswer(WordIndex, false);
        feedback(false, Image1);
        Edit1->clear();
        return;
    }
    Revealed = true;
    recordAnswer(WordIndex, true);
    feedback(true, Image1);
    Button6Click();
}

void TForm4::Button3Click()
{
    if (!answering() || WordIndex < 0 || WordIndex >= listCount())
        return;
    // The same word again, also with random order on.
    presentWord(WordIndex, false);
}

void TForm4::TrackBar1Change()
{
    Timer1->setInterval(TrackBar1->value() * 200);
}

void TForm4::Timer3Timer()
{
    blink();
}

void TForm4::SpeedButton1Click()
{
    help();
}

void TForm4::Button1Click()
{
    exitMethod(false, true);
}

void TForm4::presentWord(int i, bool previous)
{
    AnswerWord = shownEntry(i);
    Edit1->setText(AnswerWord);
    PrgBar1->setValue(i);
    Timer1->start();
    // The list selection stays where it is.
    const Located at = locate(i, AnswerWord);
    if (!at.found())
        return;
    // Every located headword is tried: Turkish ones have no sound file, a user's word has one
    // once it has been made.
    PronounceRequest request;
    if (previous)
        request.buttons = { Button6, Button7, Button8 };
    else
        request.buttons = { Button6, Button8 };
    request.library = Library::LoadAgain;
    // The installed sound folder, as everywhere else; a disc's folder only stands in for a
    // sound the installation lacks.
    request.discFallback = previous;
    pronounce(at, request);
}
