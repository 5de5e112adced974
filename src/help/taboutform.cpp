// The "About us" window: the background picture, the scrolling about text and its buttons.
#include "help/taboutform.h"

#include "help/backgroundpicture.h"

#include <algorithm>

#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QRegularExpression>
#include <QShowEvent>
#include <QTimer>
#include <QToolButton>

using namespace Qt::Literals::StringLiterals;

namespace {

QFrame *blackFrame(QWidget *parent, const QString &name, const QRect &geometry)
{
    auto *frame = new QFrame(parent);
    frame->setObjectName(name);
    frame->setGeometry(geometry);
    QPalette palette = frame->palette();
    palette.setColor(QPalette::Window, Qt::black);
    frame->setPalette(palette);
    frame->setAutoFillBackground(true);
    return frame;
}

QToolButton *smallButton(QWidget *parent, const QString &name, int top)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setGeometry(192, top, 24, 22);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    QPalette palette = button->palette();
    palette.setColor(QPalette::ButtonText, Qt::white);
    palette.setColor(QPalette::WindowText, Qt::white);
    button->setPalette(palette);
    return button;
}

// The width of the widest word of `text` in `metrics`.
int longestWordWidth(const QFontMetrics &metrics, const QString &text)
{
    int widest = 0;
    static const QRegularExpression blanks(u"\\s+"_s);
    for (const QString &word : text.split(blanks, Qt::SkipEmptyParts))
        widest = std::max(widest, metrics.horizontalAdvance(word));
    return widest;
}

} // namespace

const QString &TAboutForm::aboutText()
{
    static const QString text = [] {
        const QStringList paragraphs {
            u"Zarel English Dictionary, İngilizce-Türkçe ve Türkçe-İngilizce konuşan bir sözlük "
            u"ve kelime öğretmenidir."_s,
            u"Kelimeleri arar, anlamlarını gösterir, İngilizce kelimeleri seslendirir; kendi "
            u"sesinizi kaydedip dinleyerek telaffuzunuzu karşılaştırabilirsiniz."_s,
            u"Kelime listenizdeki kelimeleri beş öğrenme yöntemiyle ve adam asmaca oyunuyla "
            u"çalışabilirsiniz."_s,
            u"Başka bir programda panoya kopyaladığınız kelime de hemen çevrilir."_s,
            u"Sözlüğe kendi kelimelerinizi ekleyebilirsiniz; eklediğiniz kelimeler yalnızca "
            u"sizin bilgisayarınızda saklanır."_s,
            u"Sözlük verileri: FreeDict projesinin İngilizce-Türkçe ve Türkçe-İngilizce "
            u"sözlükleri."_s,
            u"Sözlük verilerinin lisansı: GNU Genel Kamu Lisansı, sürüm 2 veya sonrası."_s,
            u"Telaffuzlar: espeak-ng konuşma sentezleyicisi ve İngilizce sesi (GNU GPL, sürüm 3 "
            u"veya sonrası)."_s,
            u"MP3 kodlama: LAME (GNU LGPL). MP3 çözme: mpg123 (GNU LGPL 2.1)."_s,
            u"Resimler: libjpeg-turbo (IJG ve BSD lisansları). Pencereler: Qt 6 (GNU LGPL 3)."_s,
            u"FreeDict: https://freedict.org"_s,
            u"espeak-ng: https://github.com/espeak-ng/espeak-ng"_s,
            u"Zarel English Dictionary is free software. The dictionary data comes from FreeDict "
            u"under the GNU GPL, version 2 or later."_s,
            u"Dictionary data: https://freedict.org - speech: "
            u"https://github.com/espeak-ng/espeak-ng"_s,
        };
        QString joined;
        for (const QString &p : paragraphs)
            joined += p + u"\n\r"_s;
        return joined;
    }();
    return text;
}

TAboutForm::TAboutForm(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(u"AboutForm"_s);
    setFixedSize(kWidth, kHeight);

    Image1 = new QLabel(this);
    Image1->setObjectName(u"Image1"_s);
    Image1->setGeometry(0, 0, kWidth, kHeight);
    Image1->setScaledContents(true);
    Image1->setPixmap(zarel::help::loadJpegPicture(u"about.jpg"_s));

    Panel1 = blackFrame(this, u"Panel1"_s, QRect(175, 83, 220, 100));
    Panel2 = blackFrame(Panel1, u"Panel2"_s, QRect(5, 5, 180, 91));

    Label1 = new QLabel(Panel2);
    Label1->setObjectName(u"Label1"_s);
    QFont font(u"Arial"_s);
    font.setPixelSize(11);
    Label1->setFont(font);
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette palette = Label1->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    Label1->setPalette(palette);
    Label1->setGeometry(10, 0, kWrapWidth, 13);

    // The edge strips lie over the label so the text slides in and out under them.
    Panel3 = blackFrame(Panel2, u"Panel3"_s, QRect(0, 0, 180, 4));
    Panel4 = blackFrame(Panel2, u"Panel4"_s, QRect(0, 86, 180, 5));

    SpeedButton4 = smallButton(Panel1, u"SpeedButton4"_s, 4);
    SpeedButton4->setArrowType(Qt::DownArrow);
    SpeedButton3 = smallButton(Panel1, u"SpeedButton3"_s, 28);
    SpeedButton3->setText(u"||"_s);
    SpeedButton2 = smallButton(Panel1, u"SpeedButton2"_s, 52);
    SpeedButton2->setArrowType(Qt::UpArrow);
    SpeedButton1 = smallButton(Panel1, u"SpeedButton1"_s, 76);
    SpeedButton1->setText(u"X"_s);
    connect(SpeedButton1, &QToolButton::clicked, this, &TAboutForm::SpeedButton1Click);
    connect(SpeedButton2, &QToolButton::clicked, this, &TAboutForm::SpeedButton2Click);
    connect(SpeedButton3, &QToolButton::clicked, this, &TAboutForm::SpeedButton3Click);
    connect(SpeedButton4, &QToolButton::clicked, this, &TAboutForm::SpeedButton4Click);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(u"Timer1"_s);
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, &TAboutForm::Timer1Timer);
    Timer1->start();
}

void TAboutForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TAboutForm::FormShow()
{
    zarel::help::centreOnOwner(this, parentWidget());
    // The label is measured word-wrapped at its narrow design width (or at its longest word),
    // then widened for scrolling while it keeps that height.
    QString text = aboutText();
    text.remove(u'\r');
    Label1->setText(text);
    const QFontMetrics metrics(Label1->font());
    const int wrapWidth = std::max(kWrapWidth, longestWordWidth(metrics, text));
    auto wrappedHeight = [&](int width) {
        return metrics.boundingRect(QRect(0, 0, width, 1 << 20), Qt::TextWordWrap, text).height();
    };
    // A word wider than the shown width (a long web address) is broken over more lines there
    // than at the measuring width. The label is then made tall enough for those lines and for
    // the strip that covers its lowest pixels at the end top, so the end of the text still
    // scrolls into view.
    const int covered = kScrollLimit - Panel4->y();
    const int height = std::max(wrappedHeight(wrapWidth), wrappedHeight(kLabelWidth) + covered);
    m_startTop = Panel4->y() + 10;
    m_endTop = kScrollLimit - height;
    m_direction = -1;
    Label1->setGeometry(Label1->x(), m_startTop, kLabelWidth, height);
}

void TAboutForm::Timer1Timer()
{
    int top = Label1->y() + m_direction;
    if (m_direction < 0 && top <= m_endTop)
        top = m_startTop;
    else if (m_direction > 0 && top >= m_startTop)
        top = m_endTop;
    Label1->move(Label1->x(), top);
}

void TAboutForm::SpeedButton1Click()
{
    accept();
}

void TAboutForm::SpeedButton2Click()
{
    m_direction = -1;
    if (!Timer1->isActive())
        Timer1->start();
}

void TAboutForm::SpeedButton3Click()
{
    Timer1->stop();
}

void TAboutForm::SpeedButton4Click()
{
    m_direction = 1;
    if (!Timer1->isActive())
        Timer1->start();
}
