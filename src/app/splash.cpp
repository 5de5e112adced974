// TSplash: a painted picture with the program's name and the dot progress label over it.
#include "app/splash.h"

#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QLinearGradient>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>
#include <QScreen>

#include <utility>

using namespace Qt::Literals::StringLiterals;

TSplash::TSplash(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , Label1(new QLabel(this))
{
    setObjectName(u"Splash"_s);
    setFixedSize(400, 220);
    Label1->setObjectName(u"Label1"_s);
    QFont font(u"Times New Roman"_s);
    font.setPixelSize(48);
    font.setBold(true);
    Label1->setFont(font);
    Label1->setAlignment(Qt::AlignCenter);
    // White on the picture; a label fills no background of its own. (A palette, not a style
    // sheet: a style sheet brings the style sheet engine into the start.)
    QPalette palette = Label1->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    Label1->setPalette(palette);
    Label1->setGeometry(0, 130, width(), 70);
}

void TSplash::showAndPaint()
{
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
    // The window must be mapped before a repaint reaches the screen; this is the only event
    // processing during the load.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    repaint();
    m_sinceLabelPaint.start();
}

namespace {

// Held without an owner until the main window takes it: a widget must never outlive the
// application object, which a static owner's destruction at exit would risk.
TSplash *g_shownAtStart = nullptr;

} // namespace

void TSplash::showAtStart()
{
    if (g_shownAtStart != nullptr)
        return;
    g_shownAtStart = new TSplash;
    g_shownAtStart->showAndPaint();
}

std::unique_ptr<TSplash> TSplash::takeShown()
{
    return std::unique_ptr<TSplash>(std::exchange(g_shownAtStart, nullptr));
}

void TSplash::advance()
{
    Label1->setText(QString::fromStdString(m_progress.advance()));
    // No events are processed during the load, so the label is repainted here. Every repaint
    // waits until the display has taken the previous one (a round trip to the X server), so
    // it is repainted at most once a screen frame: files that load faster than that still
    // advance the count, and the next repaint shows it.
    if (!m_sinceLabelPaint.isValid() || m_sinceLabelPaint.elapsed() >= kLabelPaintInterval) {
        Label1->repaint();
        m_sinceLabelPaint.start();
    }
}

void TSplash::paintEvent(QPaintEvent *event)
{
    // The picture is drawn once; the label's repaint after every index file only copies the
    // part under the label back.
    const qreal ratio = devicePixelRatioF();
    if (m_picture.isNull() || m_picture.devicePixelRatio() != ratio) {
        m_picture = QPixmap(size() * ratio);
        m_picture.setDevicePixelRatio(ratio);
        QPainter p(&m_picture);
        paintPicture(p);
    }
    QPainter p(this);
    const QRect area = event->rect();
    p.drawPixmap(area, m_picture, QRectF(area.topLeft() * ratio, area.size() * ratio));
}

void TSplash::paintPicture(QPainter &p)
{
    QLinearGradient ground(0, 0, 0, height());
    ground.setColorAt(0, QColor(0x12, 0x2f, 0x6b));
    ground.setColorAt(1, QColor(0x5a, 0x0e, 0x18));
    p.fillRect(rect(), ground);
    p.setPen(QColor(0xf2, 0xd4, 0x6a));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    QFont title(u"Times New Roman"_s);
    title.setPixelSize(30);
    title.setBold(true);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 40, width(), 44), Qt::AlignCenter, u"Zarel English Dictionary"_s);
    QFont subtitle(u"Times New Roman"_s);
    subtitle.setPixelSize(17);
    subtitle.setItalic(true);
    p.setFont(subtitle);
    p.drawText(QRect(0, 86, width(), 26), Qt::AlignCenter,
               u"İngilizce - Türkçe  ·  Türkçe - İngilizce"_s);
}
