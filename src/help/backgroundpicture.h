// Background pictures of the help and about windows: a JPEG from the current directory,
// decoded through the platform JPEG decoder, and centring a window on its owner.
#pragma once

#include <QPixmap>
#include <QString>

class QWidget;

namespace zarel::help {

// The picture of `fileName` (relative names are taken from the current directory). A missing
// or damaged file gives a null pixmap, so the window keeps its plain background.
QPixmap loadJpegPicture(const QString &fileName);

// Moves `window` so that its centre lies on the centre of `owner`'s window; nothing when
// `owner` is null.
void centreOnOwner(QWidget *window, QWidget *owner);

} // namespace zarel::help
