// Tests of the tolerant screenshot comparison: what it forgives (hinting, a one-pixel shift, a
// blinking cursor) and what it must catch (another text, an empty pane, another size).
#include "imagecompare.h"

#include <gtest/gtest.h>

#include <QPainter>

namespace {

using zarel::e2e::compareImages;

// A white pane with dark vertical strokes of width 2 every 8 pixels from `offset`, like a line
// of glyphs.
QImage strokes(int offset, QRgb ink = qRgb(0, 0, 0), QSize size = { 80, 20 })
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int x = offset; x + 1 < size.width(); x += 8)
        for (int y = 4; y < 16; ++y) {
            image.setPixel(x, y, ink);
            image.setPixel(x + 1, y, ink);
        }
    return image;
}

QImage blank(QSize size = { 80, 20 })
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

TEST(ImageCompareTest, ForgivesSmallRenderingDifferences)
{
    struct Case
    {
        const char *name;
        QImage other;
    };
    const Case cases[] = {
        { "identical", strokes(2) },
        { "shifted by one pixel", strokes(3) },
        { "lighter ink within the fuzz", strokes(2, qRgb(40, 40, 40)) },
        { "another pixel format", strokes(2).convertToFormat(QImage::Format_RGB888) },
    };
    for (const Case &c : cases)
        EXPECT_EQ(compareImages(strokes(2), c.other).fraction, 0.0) << c.name;
}

TEST(ImageCompareTest, CatchesAnotherOrMissingText)
{
    struct Case
    {
        const char *name;
        QImage a;
        QImage b;
        double atLeast;
    };
    const Case cases[] = {
        { "empty pane against text", blank(), strokes(2), 0.1 },
        { "text against empty pane", strokes(2), blank(), 0.1 },
        { "strokes in other places", strokes(2), strokes(6), 0.1 },
        { "other colour", strokes(2), strokes(2, qRgb(200, 0, 0)), 0.1 },
        { "other size", strokes(2), strokes(2, qRgb(0, 0, 0), { 80, 21 }), 1.0 },
        { "null picture", QImage(), strokes(2), 1.0 },
    };
    for (const Case &c : cases)
        EXPECT_GE(compareImages(c.a, c.b).fraction, c.atLeast) << c.name;
}

TEST(ImageCompareTest, CountsABlinkingCursorAsAFewPixels)
{
    QImage withCursor = strokes(2);
    QPainter painter(&withCursor);
    painter.setPen(Qt::black);
    painter.drawLine(78, 2, 78, 17);
    painter.end();
    const auto difference = compareImages(strokes(2), withCursor);
    EXPECT_EQ(difference.total, 80 * 20);
    EXPECT_EQ(difference.differing, 16);
}

} // namespace
