// Tab pictures drawn with QPainter at start-up instead of being shipped as image files.
#include "app/tabpictures.h"

#include "dictionary/codepage1254.h"
#include "dictionary/lettertabs.h"

#include <QFont>
#include <QPainter>

using namespace Qt::Literals::StringLiterals;

namespace zarel::app {

QImage drawTabPicture(int tab)
{
    if (!isValidTab(tab))
        return {};
    QImage image(kTabPictureSize, kTabPictureSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    const auto letter = static_cast<char16_t>(cp1254::toUnicode(tabCapital(tab)));
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing);
    QFont font(u"Arial"_s);
    font.setPixelSize(13);
    font.setBold(true);
    p.setFont(font);
    // English tabs dark blue, Turkish tabs dark red, so the two directions read apart.
    p.setPen(isEnglishTab(tab) ? QColor(0x10, 0x2a, 0x80) : QColor(0x90, 0x10, 0x10));
    // The dotted İ needs the room above the cap height, so the letters sit on the bottom edge.
    p.drawText(QRect(0, 1, kTabPictureSize, kTabPictureSize - 1),
               Qt::AlignHCenter | Qt::AlignBottom, QString(QChar(letter)));
    return image;
}

QList<QPixmap> makeTabPictures()
{
    QList<QPixmap> pictures;
    pictures.reserve(kTabCount);
    for (int t = 0; t < kTabCount; ++t)
        pictures.append(QPixmap::fromImage(drawTabPicture(t)));
    return pictures;
}

} // namespace zarel::app
