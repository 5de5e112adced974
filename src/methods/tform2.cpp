// Method 5's window: the dictation of the current list word, the answer check with its picture
// and sound, and the word commands that pass over entries no English headword begins with.
#include "methods/tform2.h"

#include "dictionary/codepage1254.h"
#include "dictionary/combosearch.h"
#include "dictionary/dictionaryindex.h"
#include "dictionary/lettertabs.h"
#include "methods/core/methodrules.h"
#include "sound/tmpegplayer.h"

#include <algorithm>
#include <string>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

using namespace Qt::Literals::StringLiterals;
using zarel::methods::Located;

namespace {

std::string toBytes(const QString &text)
{
    // A character the code page lacks becomes NUL, which no headword contains.
    return zarel::cp1254::fromUtf8(text.toStdString(), '\0');
}

// The English tab a dictated word is looked up in: (first character AND 31) - 1, whatever the
// word's language mark; -1 when that is no English tab (an empty word, "@", "{", ...).
int dictationTab(const QString &word)
{
    if (word.isEmpty())
        return -1;
    const std::string first = toBytes(word.left(1));
    if (first.empty() || first[0] == '\0')
        return -1;
    const int tab = zarel::englishTabForChar(static_cast<unsigned char>(first[0]));
    return zarel::isEnglishTab(tab) ? tab : -1;
}

} // namespace

TForm2::TForm2(zarel::methods::MethodHost *host, QWidget *parent)
    : TMethodForm(host, 5, QSize(kPanelWidth, kPanelHeight), parent)
{
    buildControls();
    connect(Button9, &QPushButton::clicked, this, &TForm2::Button9Click);
    connect(Button3, &QToolButton::clicked, this, &TForm2::Button3Click);
    connect(Button8, &QPushButton::clicked, this, &TForm2::Button8Click);
    connect(Button4, &QToolButton::clicked, this, &TForm2::Button8Click);
    connect(Button7, &QPushButton::clicked, this, &TForm2::Button7Click);
    connect(Button1, &QToolButton::clicked, this, &TForm2::Button1Click);
    connect(Button2, &QToolButton::clicked, this, &TForm2::Button2Click);
    connect(Edit1, &QLineEdit::returnPressed, this, &TForm2::Button2Click);
    connect(CheckBox1, &QCheckBox::clicked, this, &TForm2::CheckBox1Click);
    connect(Timer1, &QTimer::timeout, this, &TForm2::Timer1Timer);
    connect(Button6, &QToolButton::clicked, this, &TForm2::Button6Click);
    connect(Button5, &QPushButton::clicked, this, &TForm2::Button5Click);
    FormCreate();
}

void TForm2::buildControls()
{
    CheckBox1 = new QCheckBox(Panel1);
    CheckBox1->setGeometry(31, 31, 130, 18);
    Image1 = new QLabel(Panel1);
    Image1->setScaledContents(true);
    Image1->setGeometry(170, 22, 43, 34);
    Edit1 = new QLineEdit(Panel1);
    Edit1->setGeometry(29, 63, 202, 21);

    // The row spans the progress bar below it; the pronounce button is the widest, for the
    // longest caption ("Pronunciation" on one line, its Turkish caption on two).
    Button3 = new TGlyphButton(Panel1, QRect(21, 90, 88, 55), QStyle::SP_MediaVolume);
    Button2 = new TGlyphButton(Panel1, QRect(109, 90, 70, 55), QStyle::SP_DialogApplyButton);
    Button1 = new TGlyphButton(Panel1, QRect(179, 90, 60, 55), QStyle::SP_FileDialogContentsView);
    PrgBar1 = new QProgressBar(Panel1);
    PrgBar1->setTextVisible(false);
    PrgBar1->setGeometry(21, 157, 218, 15);

    Button4 = new TGlyphButton(Panel1, QRect(255, 19, 103, 58), QStyle::SP_ArrowRight);
    Button6 = makeSpeedButton(Panel1, QRect(292, 84, 28, 28), QStyle::SP_DialogHelpButton);
    Label1 = new QLabel(Panel1);
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignCenter);
    QPalette palette = Label1->palette();
    palette.setColor(QPalette::WindowText, Qt::red);
    Label1->setPalette(palette);
    Label1->setGeometry(243, 116, 124, 54);
    Label1->hide();

    Strip = makePictureStrip(QRect(2, 179, 367, 44));
    Button9 = makeButton(Strip, QRect(6, 4, 40, 36));
    Button9->setIconSize(QSize(28, 28));
    Button7 = makeButton(Strip, QRect(50, 6, 120, 32));
    Button8 = makeButton(Strip, QRect(174, 6, 130, 32), {}, QStyle::SP_ArrowRight);
    Button8->setLayoutDirection(Qt::RightToLeft); // the glyph at the right
    Button5 = makeButton(Strip, QRect(320, 4, 40, 36), {}, QStyle::SP_DialogCloseButton);

    Timer1 = new QTimer(this);
    initStartStop(Button9, Timer1);
    nameControls({ { CheckBox1, u"CheckBox1" },
                   { Image1, u"Image1" },
                   { Edit1, u"Edit1" },
                   { Button3, u"Button3" },
                   { Button2, u"Button2" },
                   { Button1, u"Button1" },
                   { PrgBar1, u"PrgBar1" },
                   { Button4, u"Button4" },
                   { Button6, u"Button6" },
                   { Label1, u"Label1" },
                   { Strip, u"Strip" },
                   { Button9, u"Button9" },
                   { Button7, u"Button7" },
                   { Button8, u"Button8" },
                   { Button5, u"Button5" } });
}

void TForm2::setTexts()
{
    CheckBox1->setText(text(u"Rasgele kelime"_s, u"Random word"_s));
    Button3->setText(text(u"Kelimenin telaffuzu"_s, u"Pronunciation"_s));
    Button2->setText(text(u"Kontrol et"_s, u"Verification"_s));
    Button1->setText(text(u"Göster"_s, u"Show"_s));
    Button4->setText(text(u"Sonraki kelime"_s, u"Next word"_s));
    Button7->setText(text(u"Önceki kelime"_s, u"Previous word"_s));
    Button8->setText(text(u"Sonraki kelime"_s, u"Next word"_s));
    Button5->setToolTip(text(u"Çıkış"_s, u"Exit"_s));
    Button6->setToolTip(text(u"Yardım"_s, u"Help"_s));
    Label1->setText(text(u"Listede İngilizce kelime yok"_s, u"The list has no English word"_s));
}

void TForm2::FormCreate()
{
    selectListEntry(0);
    // A one-entry list keeps a range, so the bar does not turn into a busy indicator.
    PrgBar1->setRange(0, std::max(listCount() - 1, 1));
    PrgBar1->setValue(0);
    Running = false;
    AnswerWord.clear();
    Timer1->start();
    stopPronunciation(false);
    onPronunciationEnd([this] {
        Button3->setEnabled(true);
        Button7->setEnabled(true);
        Button8->setEnabled(true);
        Button4->setEnabled(true);
        Image1->clear();
    });
    // Usable once the first pronunciation has ended.
    Button4->setEnabled(false);
    setTexts();
}

void TForm2::Button9Click()
{
    if (Running) {
        Running = false;
        showStartGlyph();
        Timer1->start();
        return;
    }
    Running = true;
    showStopGlyph();
    Timer1->stop();
    // While a pronunciation plays the word is not pronounced again.
    if (!host()->mp3Player().LibraryLoaded()) {
        const int current = std::max(host()->selectedWordListEntry(), 0);
        if (canDictate(current))
            Button3Click();
        else
            goTo(dictationEntry(current, 1));
    }
    Edit1->setFocus();
}

void TForm2::Button3Click()
{
    const QString word = shownEntry(host()->selectedWordListEntry());
    AnswerWord.clear();
    const int tab = dictationTab(word);
    if (tab < 0)
        return;
    const Located at = locateInTab(tab, word);
    if (!at.found())
        return;
    AnswerWord = host()->wordBoxText();
    if (isEnglishHeadword(at)) {
        PronounceRequest request;
        request.buttons = { Button3, Button7, Button8, Button4 };
        pronounce(at, request);
    }
}

void TForm2::Button8Click()
{
    const int count = listCount();
    if (count == 0)
        return;
    const int from = drawWord(
        [&] {
            return zarel::nextDrawnWord(CheckBox1->isChecked(), host()->selectedWordListEntry(),
                                        count, zarel::methods::randomBelow);
        },
        [this](int i) { return canDictate(i); });
    goTo(dictationEntry(from, 1));
}

void TForm2::Button7Click()
{
    const int count = listCount();
    if (count == 0)
        return;
    const int from
        = zarel::previousDrawnWord(CheckBox1->isChecked(), host()->selectedWordListEntry(), count,
                                   zarel::methods::randomBelow);
    goTo(dictationEntry(from, -1));
}

void TForm2::Button1Click()
{
    if (Running)
        Edit1->setText(AnswerWord);
}

void TForm2::Button2Click()
{
    if (!Running)
        return;
    if (AnswerWord.isEmpty()) {
        // Nothing was dictated: an empty answer would otherwise pass as right.
        Label1->show();
        Edit1->setFocus();
        return;
    }
    const int current = host()->selectedWordListEntry();
    if (answerIsRight(Edit1->text(), AnswerWord)) {
        recordAnswer(current, true);
        feedback(true, Image1);
        Button8Click();
        Edit1->setFocus();
    } else {
        recordAnswer(current, false);
        feedback(false, Image1);
    }
}

void TForm2::CheckBox1Click()
{
    Edit1->setFocus();
}

void TForm2::Timer1Timer()
{
    blink();
}

void TForm2::Button6Click()
{
    help();
}

void TForm2::Button5Click()
{
    exitMethod(false, false);
}

bool TForm2::canDictate(int i) const
{
    const QString word = shownEntry(i);
    const int tab = dictationTab(word);
    if (tab < 0)
        return false;
    return zarel::findStringPrefix(host()->dictionary().tab(tab).entries, toBytes(word)) >= 0;
}

int TForm2::dictationEntry(int from, int step) const
{
    const int count = listCount();
    if (count == 0)
        return -1;
    int i = std::clamp(from, 0, count - 1);
    // Each entry is tried at most once, so a list without English words ends the search.
    for (int tried = 0; tried < count; ++tried) {
        if (canDictate(i))
            return i;
        i = step > 0 ? zarel::nextWordIndex(i, count) : zarel::previousWordIndex(i, count);
    }
    return -1;
}

void TForm2::goTo(int i)
{
    Edit1->clear();
    if (i < 0) {
        AnswerWord.clear();
        Label1->show();
        Edit1->setFocus();
        return;
    }
    Label1->hide();
    selectListEntry(i);
    AnswerWord = shownEntry(i);
    PrgBar1->setValue(i);
    Button3Click();
    Edit1->setFocus();
}
