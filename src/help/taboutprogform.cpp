// The "About the program" window.
#include "help/taboutprogform.h"

#include "help/backgroundpicture.h"

#include <QFrame>
#include <QLabel>
#include <QShowEvent>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

TAboutProgForm::TAboutProgForm(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(u"AboutProgForm"_s);
    setFixedSize(kWidth, kHeight);

    Image1 = new QLabel(this);
    Image1->setObjectName(u"Image1"_s);
    Image1->setGeometry(0, 0, kWidth, kHeight);
    Image1->setScaledContents(true);
    Image1->setPixmap(zarel::help::loadJpegPicture(u"aboutprog.jpg"_s));

    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(u"Bevel1"_s);
    Bevel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Bevel1->setLineWidth(2);
    Bevel1->setGeometry(120, 70, 270, 76);
    // A light ground of its own keeps the text readable on any picture.
    QPalette palette = Bevel1->palette();
    palette.setColor(QPalette::Window, QColor(0xf4, 0xf1, 0xe8));
    palette.setColor(QPalette::WindowText, QColor(0x16, 0x33, 0x66));
    Bevel1->setPalette(palette);
    Bevel1->setAutoFillBackground(true);

    Label1 = new QLabel(Bevel1);
    Label1->setObjectName(u"Label1"_s);
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setText(programText());
    auto *layout = new QVBoxLayout(Bevel1);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->addWidget(Label1);

    SpeedButton1 = new QToolButton(this);
    SpeedButton1->setObjectName(u"SpeedButton1"_s);
    SpeedButton1->setText(u"OK"_s);
    SpeedButton1->setGeometry(330, 156, 60, 26);
    connect(SpeedButton1, &QToolButton::clicked, this, &TAboutProgForm::SpeedButton1Click);
}

QString TAboutProgForm::programText()
{
    return u"Zarel English Dictionary " ZAREL_VERSION u"\n"_s
           u"The Zarel project, 2024-2025\n"_s
           u"Dictionary data: https://freedict.org"_s;
}

void TAboutProgForm::SpeedButton1Click()
{
    accept();
}

void TAboutProgForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        zarel::help::centreOnOwner(this, parentWidget());
}
