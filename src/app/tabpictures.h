// The 56 pictures of the letter tabs (ImageList1): the capital of each tab drawn at 16 x 16.
#pragma once

#include <QImage>
#include <QList>
#include <QPixmap>

namespace zarel::app {

inline constexpr int kTabPictureSize = 16;

// The picture of `tab` (0..55): its capital, "A".."Z" or the Turkish capital, in bold dark
// blue on a transparent ground. A tab outside 0..55 gives a null image.
QImage drawTabPicture(int tab);

// All 56 pictures in tab order.
QList<QPixmap> makeTabPictures();

} // namespace zarel::app
