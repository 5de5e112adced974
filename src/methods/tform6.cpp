// Method 4's window: the article without its headword, the answer check with the exam score, and
// the word commands in list or random order.
#include "methods/tform6.h"

#include "methods/core/methodrules.h"

#include <QCheckBox>
#include <QFont>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

using namespace Qt::Literals::StringLiterals;
using zarel::methods::Located;

TForm6::TForm6(zarel::methods::MethodHost *host, QWidget *parent)
    : TMethodForm(host, 4, QSize(kPanelWidth, kPanelHeight), parent)
{
    buildControls();
    connect(Button5, &QPushButton::clicked, this, &TForm6::Button5Click);
    connect(Button4, &QToolButton::clicked, this, &TForm6::Button4Click);
    connect(Button7, &QPushButton::clicked, this, &TForm6::Button4Click);
    connect(Button6, &QPushButton::clicked, this, &TForm6::Button6Click);
    connect(Button8, &QToolButton::clicked, this, &TForm6::Button8Click);
    connect(Button3, &QToolButton::clicked, this, &TForm6::Button3Click);
    connect(Edit1, &QLineEdit::returnPressed, this, &TForm6::Button3Click);
    connect(Timer3, &QTimer::timeout, this, &TForm6::Timer3Timer);
    connect(SpeedButton1, &QToolButton::clicked, this, &TForm6::SpeedButton1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm6::Button2Click);
    FormCreate();
}

void TForm6::buildControls()
{
    RichEdit1 = new QTextEdit(Panel1);
    RichEdit1->setReadOnly(true);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->setGeometry(9, 9, 312, 177);

    Edit1 = new QLineEdit(Panel1);
    Edit1->setGeometry(9, 190, 312, 29);
    QFont answerFont(u"Times New Roman"_s);
    answerFont.setPixelSize(19);
    Edit1->setFont(answerFont);
    QPalette palette = Edit1->palette();
    palette.setColor(QPalette::Text, Qt::black);
    Edit1->setPalette(palette);

    PrgBar1 = new QProgressBar(Panel1);
    PrgBar1->setTextVisible(false);
    PrgBar1->setGeometry(9, 226, 312, 16);
    CheckBox1 = new QCheckBox(Panel1);
    CheckBox1->setGeometry(9, 250, 150, 18);
    CheckBox2 = new QCheckBox(Panel1);
    CheckBox2->setGeometry(170, 250, 150, 18);

    // The column of command buttons is as wide as the score panel under it, the room that
    // "Verification" needs.
    Button3 = new TGlyphButton(Panel1, QRect(328, 9, 70, 56), QStyle::SP_DialogApplyButton);
    Button8 = new TGlyphButton(Panel1, QRect(328, 68, 70, 56), QStyle::SP_FileDialogContentsView);
    Button4 = new TGlyphButton(Panel1, QRect(328, 127, 70, 56), QStyle::SP_ArrowRight);
    SpeedButton1 = makeSpeedButton(Panel1, QRect(349, 186, 28, 28), QStyle::SP_DialogHelpButton);
    Label4 = makeLabel(Panel1, QPoint(330, 216), {});

    ScorePanel = new QFrame(Panel1);
    ScorePanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    ScorePanel->setGeometry(328, 234, 70, 46);
    HeaderControl1 = new QHeaderView(Qt::Horizontal, ScorePanel);
    HeaderControl1->setModel(new QStandardItemModel(0, 2, HeaderControl1));
    HeaderControl1->setSectionsClickable(false);
    HeaderControl1->setMinimumSectionSize(10);
    // Two equal halves over the score "right - wrong": a wider second section would run past
    // the panel and cut its caption.
    HeaderControl1->resizeSection(0, 33);
    HeaderControl1->resizeSection(1, 33);
    HeaderControl1->setGeometry(2, 2, 66, 20);
    Label1 = new QLabel(ScorePanel);
    QFont scoreFont = Label1->font();
    scoreFont.setBold(true);
    Label1->setFont(scoreFont);
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setGeometry(2, 22, 66, 22);

    Strip = makePictureStrip(QRect(2, 290, 398, 44));
    Button5 = makeButton(Strip, QRect(6, 4, 40, 36));
    Button5->setIconSize(QSize(28, 28));
    Button6 = makeButton(Strip, QRect(52, 6, 124, 32));
    Button7 = makeButton(Strip, QRect(180, 6, 134, 32), {}, QStyle::SP_ArrowRight);
    Button7->setLayoutDirection(Qt::RightToLeft); // the glyph at the right
    Button2 = makeButton(Strip, QRect(352, 4, 40, 36), {}, QStyle::SP_DialogCloseButton);

    Timer3 = new QTimer(this);
    initStartStop(Button5, Timer3);
    nameControls({ { RichEdit1, u"RichEdit1" },
                   { Edit1, u"Edit1" },
                   { Button3, u"Button3" },
                   { Button8, u"Button8" },
                   { Button4, u"Button4" },
                   { SpeedButton1, u"SpeedButton1" },
                   { Label4, u"Label4" },
                   { ScorePanel, u"ScorePanel" },
                   { HeaderControl1, u"HeaderControl1" },
                   { Label1, u"Label1" },
                   { CheckBox1, u"CheckBox1" },
                   { CheckBox2, u"CheckBox2" },
                   { PrgBar1, u"PrgBar1" },
                   { Strip, u"Strip" },
                   { Button5, u"Button5" },
                   { Button6, u"Button6" },
                   { Button7, u"Button7" },
                   { Button2, u"Button2" } });
}

void TForm6::setTexts()
{
    Button3->setText(text(u"Kontrol et"_s, u"Verification"_s));
    Button8->setText(text(u"Göster"_s, u"Show"_s));
    Button4->setText(text(u"Sonraki"_s, u"Next"_s));
    Label4->setText(text(u"Sonuç"_s, u"Results"_s));
    Label4->adjustSize();
    auto *model = static_cast<QStandardItemModel *>(HeaderControl1->model());
    model->setHorizontalHeaderLabels({ text(u"Siz"_s, u"You"_s), text(u"Ben"_s, u"Me"_s) });
    CheckBox1->setText(text(u"Rasgele kelime"_s, u"Random word"_s));
    CheckBox2->setText(text(u"Sınav"_s, u"Exam"_s));
    Button6->setText(text(u"Önceki kelime"_s, u"Previous word"_s));
    Button7->setText(text(u"Sonraki kelime"_s, u"Next word"_s));
    Button2->setToolTip(text(u"Çıkış"_s, u"Exit"_s));
    SpeedButton1->setToolTip(text(u"Yardım"_s, u"Help"_s));
}

void TForm6::FormCreate()
{
    WordIndex = 0;
    AnswerWord.clear();
    Running = false;
    Answered = false;
    Score = {};
    PrgBar1->setRange(0, listCount());
    PrgBar1->setValue(0);
    // Nothing is pronounced here, but the end-of-sound group keeps the step buttons usable.
    onPronunciationEnd([this] {
        Button6->setEnabled(true);
        Button7->setEnabled(true);
    });
    Timer3->start();
    setTexts();
    showScore();
}

void TForm6::Button5Click()
{
    if (Running) {
        Running = false;
        showStartGlyph();
        Timer3->start();
        return;
    }
    Running = true;
    showStopGlyph();
    Timer3->stop();
    // The current word again: one step back, then the next word in list order.
    const int count = listCount();
    if (count == 0)
        return;
    // The first start of the window has no current word yet: it may begin with a due one.
    const bool first = AnswerWord.isEmpty();
    WordIndex = zarel::previousWordIndex(WordIndex, count);
    nextWord(false, first);
}

void TForm6::Button4Click()
{
    nextWord(CheckBox1->isChecked(), true);
}

void TForm6::Button6Click()
{
    const int count = listCount();
    if (count == 0)
        return;
    // Two steps back, then the next word in list order: the word before the current one.
    for (int step = 0; step < 2; ++step)
        WordIndex = zarel::previousWordIndex(WordIndex, count);
    nextWord(false);
}

void TForm6::Button8Click()
{
    if (!Running)
        return;
    Answered = false;
    if (Score.count(zarel::ExamScore::Event::Shown, CheckBox2->isChecked()))
        showScore();
    Edit1->setFocus();
    Edit1->setText(AnswerWord);
}

void TForm6::Button3Click()
{
    if (!Running || Answered)
        return;
    const bool exam = CheckBox2->isChecked();
    if (answerIsRight(Edit1->text(), AnswerWord)) {
        recordAnswer(WordIndex, true);
        Answered = true;
        if (Score.count(zarel::ExamScore::Event::Right, exam))
            showScore();
        feedback(true, nullptr);
        Button4Click();
    } else {
        recordAnswer(WordIndex, false);
        if (Score.count(zarel::ExamScore::Event::Wrong, exam))
            showScore();
        feedback(false, nullptr);
    }
    Edit1->setFocus();
}

void TForm6::Timer3Timer()
{
    blink();
}

void TForm6::SpeedButton1Click()
{
    help();
}

void TForm6::Button2Click()
{
    exitMethod(false, true);
}

void TForm6::nextWord(bool random, bool dueFirst)
{
    const int count = listCount();
    if (count == 0)
        return;
    Answered = false;
    const auto designed = [&] {
        return zarel::nextDrawnWord(random, WordIndex, count, zarel::methods::randomBelow);
    };
    WordIndex = dueFirst ? drawWord(designed) : designed();
    AnswerWord = shownEntry(WordIndex);
    PrgBar1->setValue(WordIndex);

    const Located at = locate(WordIndex, AnswerWord, true);
    if (!loadArticle(at, RichEdit1))
        return; // no headword: the previous article and the typed text stay

    const QString plain = RichEdit1->document()->toPlainText();
    const std::u16string_view view(reinterpret_cast<const char16_t *>(plain.utf16()),
                                   static_cast<std::size_t>(plain.size()));
    const std::size_t hidden = zarel::hiddenArticleLength(
        view, static_cast<std::size_t>(AnswerWord.size()), isEnglishEntry(WordIndex));
    QTextCursor cursor(RichEdit1->document());
    cursor.setPosition(0);
    cursor.setPosition(static_cast<int>(hidden), QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    maskAnswer();
    cursor.setPosition(0);
    RichEdit1->setTextCursor(cursor);
    Edit1->clear();
    Edit1->setFocus();
}

void TForm6::showScore()
{
    Label1->setText(QString::fromStdString(Score.text()));
    Label1->repaint();
}

void TForm6::maskAnswer()
{
    // The headword cut away above may come again in the senses and examples ("apple juice");
    // each time it shows, the mask takes its place, the text around it keeping its format.
    const QString plain = RichEdit1->document()->toPlainText();
    const QString answer = AnswerWord;
    const auto spans = zarel::answerOccurrences(
        std::u16string_view(reinterpret_cast<const char16_t *>(plain.utf16()),
                            static_cast<std::size_t>(plain.size())),
        std::u16string_view(reinterpret_cast<const char16_t *>(answer.utf16()),
                            static_cast<std::size_t>(answer.size())));
    QTextCursor cursor(RichEdit1->document());
    cursor.beginEditBlock();
    // From the end, so that the earlier positions stay where they were.
    for (auto it = spans.rbegin(); it != spans.rend(); ++it) {
        cursor.setPosition(static_cast<int>(it->start));
        cursor.setPosition(static_cast<int>(it->start + it->length), QTextCursor::KeepAnchor);
        cursor.insertText(QString::fromUtf16(zarel::kAnswerMask));
    }
    cursor.endEditBlock();
}
