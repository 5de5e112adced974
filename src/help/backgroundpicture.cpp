// Background pictures through the JPEG decoder, and centring on the owner window.
#include "help/backgroundpicture.h"

#include "platform/jpegdecoder.h"

#include <QImage>
#include <QWidget>

namespace zarel::help {

QPixmap loadJpegPicture(const QString &fileName)
{
    RgbImage picture;
    if (!decodeJpegFile(fileName.toStdString(), picture).ok() || picture.empty())
        return {};
    const QImage image(picture.pixels.data(), picture.width, picture.height, picture.width * 3,
                       QImage::Format_RGB888);
    return QPixmap::fromImage(image.copy());
}

void centreOnOwner(QWidget *window, QWidget *owner)
{
    if (!owner)
        return;
    const QRect area = owner->window()->frameGeometry();
    QRect frame = window->frameGeometry();
    frame.moveCenter(area.center());
    window->move(frame.topLeft());
}

} // namespace zarel::help
