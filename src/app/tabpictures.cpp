// Tab pictures drawn with QPainter at start-up instead of being shipped as image files.
#include "app/tabpictures.h"

#include "dictionary/codepage1254.h"
#include "dictionary/lettertabs.h"

#include <QFont>
#include <QPainter>

using namespace Qt::Literals::StringLiterals;

namespace zarel::app {

namespace {

QFont tabFont()
{
    QFont font(u"Arial"_s);
    font.setPixelSize(13);
    font.setBold(true);
    return font;
}

// Draws the capital of `tab` into the 16 x 16 square at `origin` of the painter's device.
void drawLetter(QPainter &p, int tab, const QPoint &origin)
{
    const auto letter = static_cast<char16_t>(cp1254::toUnicode(tabCapital(tab)));
    // English tabs dark blue, Turkish tabs dark red, so the two directions read apart.
    p.setPen(isEnglishTab(tab) ? QColor(0x10, 0x2a, 0x80) : QColor(0x90, 0x10, 0x10));
    // The dotted İ needs the room above the cap height, so the letters sit on the bottom edge.
    p.drawText(QRect(origin + QPoint(0, 1), QSize(kTabPictureSize, kTabPictureSize - 1)),
               Qt::AlignHCenter | Qt::AlignBottom, QString(QChar(letter)));
}

} // namespace

QImage drawTabPicture(int tab)
{
    if (!isValidTab(tab))
        return {};
    QImage image(kTabPictureSize, kTabPictureSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(tabFont());
    drawLetter(p, tab, QPoint(0, 0));
    return image;
}

QList<QPixmap> makeTabPictures()
{
    // All letters on one strip with one painter, then cut apart: the font is set up once
    // instead of once per picture.
    QImage strip(kTabPictureSize * kTabCount, kTabPictureSize, QImage::Format_ARGB32_Premultiplied);
    strip.fill(Qt::transparent);
    {
        QPainter p(&strip);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.setFont(tabFont());
        for (int t = 0; t < kTabCount; ++t)
            drawLetter(p, t, QPoint(t * kTabPictureSize, 0));
    }
    QList<QPixmap> pictures;
    pictures.reserve(kTabCount);
    for (int t = 0; t < kTabCount; ++t)
        pictures.append(QPixmap::fromImage(
            strip.copy(t * kTabPictureSize, 0, kTabPictureSize, kTabPictureSize)));
    return pictures;
}

} // namespace zarel::app
