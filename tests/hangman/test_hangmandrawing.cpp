// The hangman drawing checked on the image's pixels: line ends, ellipse outlines, the direction
// of arcs, bounded flood fills, the strokes of each miss, the coloured loss and the leg swing.
#include "hangman/hangmandrawing.h"

#include <gtest/gtest.h>

#include <QImage>

using zarel::hangman::Canvas;
using zarel::hangman::HangmanDrawing;

namespace {

const QColor kBlack(Qt::black);
const QColor kFill(0, 0, 255);

bool isBlack(const Canvas &c, int x, int y)
{
    return c.pixel(x, y) == kBlack;
}

// True when a black pixel lies within one pixel of (x, y): the strokes are checked where a
// line or curve runs, not on the exact pixel the rasteriser picked.
bool blackNear(const Canvas &c, int x, int y)
{
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            if (isBlack(c, x + dx, y + dy))
                return true;
        }
    }
    return false;
}

Canvas blankCanvas()
{
    Canvas c;
    c.setBrushColor(Canvas::background());
    c.fillRect(0, 0, Canvas::kWidth, Canvas::kHeight);
    return c;
}

QRect blackBounds(const Canvas &c)
{
    QRect r;
    for (int y = 0; y < Canvas::kHeight; ++y) {
        for (int x = 0; x < Canvas::kWidth; ++x) {
            if (isBlack(c, x, y))
                r = r.united(QRect(x, y, 1, 1));
        }
    }
    return r;
}

HangmanDrawing drawnTo(int misses)
{
    HangmanDrawing d;
    d.clear();
    for (int m = 1; m <= misses; ++m)
        d.drawStage(m);
    return d;
}

} // namespace

TEST(HangmanCanvas, LinesLeaveTheirEndPointOutAndMoveThePen)
{
    Canvas c = blankCanvas();
    c.moveTo(5, 5);
    c.lineTo(5, 15);
    c.lineTo(15, 15);
    for (int y = 5; y < 15; ++y)
        EXPECT_TRUE(isBlack(c, 5, y)) << y;
    EXPECT_TRUE(isBlack(c, 5, 15)); // the corner, drawn by the second line
    EXPECT_TRUE(isBlack(c, 14, 15));
    EXPECT_FALSE(isBlack(c, 15, 15)); // the last end point
    EXPECT_EQ(blackBounds(c), QRect(5, 5, 10, 11));
}

TEST(HangmanCanvas, EllipsesFitTheirBoxAndCloseTheirInside)
{
    struct Box
    {
        int left, top, right, bottom;
    };
    // The figure's head, eyes, body and navel, and two degenerate boxes.
    for (const Box b : { Box { 30, 30, 50, 50 }, Box { 34, 35, 39, 40 }, Box { 41, 35, 46, 40 },
                         Box { 35, 50, 45, 80 }, Box { 38, 70, 42, 73 } }) {
        Canvas c = blankCanvas();
        c.setBrushColor(Canvas::lossRed());
        c.ellipse(b.left, b.top, b.right, b.bottom);
        const QRect box(QPoint(b.left, b.top), QPoint(b.right - 1, b.bottom - 1));
        EXPECT_EQ(blackBounds(c), box) << b.left << "," << b.top;
        EXPECT_FALSE(isBlack(c, b.left, b.top)); // corners stay free
        EXPECT_FALSE(isBlack(c, b.right - 1, b.bottom - 1));
        // A fill from outside stays outside: the inside keeps the brush colour.
        c.setBrushColor(kFill);
        c.floodFill(0, 0, kBlack);
        const int cx = (b.left + b.right - 1) / 2;
        const int cy = (b.top + b.bottom - 1) / 2;
        EXPECT_EQ(c.pixel(cx, cy), Canvas::lossRed()) << b.left << "," << b.top;
        EXPECT_EQ(c.pixel(b.left, b.top), kFill);
    }
    Canvas c = blankCanvas();
    c.ellipse(10, 10, 10, 20);
    c.ellipse(10, 10, 5, 5);
    c.ellipse(-50, -50, -10, -10);
    EXPECT_TRUE(blackBounds(c).isNull());
    c.ellipse(70, 120, 100, 150); // clipped by the image
    EXPECT_FALSE(blackBounds(c).isNull());
    EXPECT_TRUE(QRect(70, 120, 10, 10).contains(blackBounds(c)));
}

TEST(HangmanCanvas, ArcsRunCounterClockwiseFromStartToEnd)
{
    // Box (10, 10)-(51, 51): centre (30.5, 30.5), radius 20.5. Points at 45 degrees.
    const QPoint ne(45, 16), nw(16, 16), sw(16, 45), se(45, 45), top(30, 10), bottom(30, 50);
    struct Case
    {
        QPoint start, end;
        std::vector<QPoint> drawn, free;
    };
    const Case cases[] = {
        { QPoint(80, 30), QPoint(30, 0), { ne }, { nw, sw, se, bottom } }, // right to top
        { QPoint(30, 0), QPoint(80, 30), { nw, sw, se, bottom }, { ne } }, // top to right
        { QPoint(0, 30), QPoint(80, 30), { sw, se, bottom }, { ne, nw, top } }, // the smile
        { QPoint(80, 30), QPoint(0, 30), { ne, nw, top }, { sw, se, bottom } }, // the frown
        { QPoint(80, 30), QPoint(80, 30), { ne, nw, sw, se, top, bottom }, {} }, // whole
    };
    for (const Case &k : cases) {
        Canvas c = blankCanvas();
        c.arc(10, 10, 51, 51, k.start.x(), k.start.y(), k.end.x(), k.end.y());
        for (const QPoint &p : k.drawn)
            EXPECT_TRUE(blackNear(c, p.x(), p.y())) << k.start.x() << " " << p.x() << "," << p.y();
        for (const QPoint &p : k.free)
            EXPECT_FALSE(blackNear(c, p.x(), p.y())) << k.start.x() << " " << p.x() << "," << p.y();
        EXPECT_TRUE(QRect(10, 10, 41, 41).contains(blackBounds(c)));
    }
}

TEST(HangmanCanvas, FloodFillStopsAtTheBorderColourOnly)
{
    Canvas c = blankCanvas();
    // A closed square, a diagonal wall across the image (closed for edge-adjacent steps) and a
    // grey pixel inside the square.
    c.moveTo(10, 10);
    c.lineTo(30, 10);
    c.lineTo(30, 30);
    c.lineTo(10, 30);
    c.lineTo(10, 10);
    c.moveTo(0, 50);
    c.lineTo(80, 130);
    c.setBrushColor(QColor(128, 128, 128));
    c.fillRect(20, 20, 21, 21);

    c.setBrushColor(kFill);
    c.floodFill(10, 10, kBlack); // on the border: nothing
    EXPECT_EQ(c.pixel(15, 15), Canvas::background());
    c.floodFill(-1, 5, kBlack); // outside: nothing
    c.floodFill(80, 5, kBlack);

    c.floodFill(15, 15, kBlack);
    EXPECT_EQ(c.pixel(15, 15), kFill);
    EXPECT_EQ(c.pixel(20, 20), kFill); // other colours are filled over
    EXPECT_EQ(c.pixel(29, 29), kFill);
    EXPECT_EQ(c.pixel(5, 5), Canvas::background());
    EXPECT_EQ(c.pixel(31, 20), Canvas::background());

    c.setBrushColor(Canvas::lossRed());
    c.floodFill(79, 41, kBlack); // above the diagonal, around the square
    EXPECT_EQ(c.pixel(0, 0), Canvas::lossRed());
    EXPECT_EQ(c.pixel(79, 128), Canvas::lossRed());
    EXPECT_EQ(c.pixel(15, 15), kFill);
    EXPECT_EQ(c.pixel(0, 51), Canvas::background()); // below it
    EXPECT_EQ(c.pixel(0, 129), Canvas::background());

    // Filling an area that already has the brush colour ends and leaves the rest alone.
    c.setBrushColor(Canvas::lossOrange());
    c.floodFill(0, 129, kBlack);
    c.floodFill(0, 129, kBlack);
    EXPECT_EQ(c.pixel(0, 51), Canvas::lossOrange());
    EXPECT_EQ(c.pixel(78, 129), Canvas::lossOrange());
    EXPECT_EQ(c.pixel(79, 128), Canvas::lossRed());
    EXPECT_EQ(c.pixel(15, 15), kFill);
}

TEST(HangmanDrawingStages, EachMissAddsItsStrokes)
{
    // A point that only the strokes of the given miss reach.
    const struct
    {
        int misses;
        QPoint at;
    } strokes[] = {
        { 1, QPoint(10, 60) }, { 2, QPoint(40, 10) },  { 3, QPoint(70, 60) }, { 4, QPoint(40, 20) },
        { 5, QPoint(30, 40) }, { 6, QPoint(35, 65) },  { 7, QPoint(30, 62) }, { 8, QPoint(50, 62) },
        { 9, QPoint(31, 90) }, { 10, QPoint(48, 90) },
    };
    for (const auto &s : strokes) {
        HangmanDrawing d = drawnTo(s.misses - 1);
        EXPECT_FALSE(blackNear(d.canvas(), s.at.x(), s.at.y())) << s.misses;
        d.drawStage(s.misses);
        EXPECT_TRUE(blackNear(d.canvas(), s.at.x(), s.at.y())) << s.misses;
    }
    HangmanDrawing none = drawnTo(0);
    none.drawStage(0);
    none.drawStage(11);
    none.drawStage(-1);
    EXPECT_TRUE(blackBounds(none.canvas()).isNull());
}

TEST(HangmanDrawingStages, RedrawingTheShownStageChangesNothing)
{
    for (int misses = 1; misses <= 9; ++misses) {
        HangmanDrawing d = drawnTo(misses);
        const QImage before = d.canvas().image();
        d.drawStage(misses);
        EXPECT_EQ(d.canvas().image(), before) << misses;
    }
}

TEST(HangmanDrawingStages, TheLossColoursTheWholeFigure)
{
    HangmanDrawing d = drawnTo(9);
    EXPECT_TRUE(isBlack(d.canvas(), 36, 43)); // the smile before the loss
    d.drawStage(10);
    const Canvas &c = d.canvas();
    const struct
    {
        QPoint at;
        QColor colour;
    } expected[] = {
        { QPoint(37, 37), Canvas::lossRed() }, // left eye
        { QPoint(43, 37), Canvas::lossRed() }, // right eye
        { QPoint(40, 40), Canvas::lossOrange() }, // face
        { QPoint(36, 43), Canvas::lossOrange() }, // where the smile was
        { QPoint(33, 33), Canvas::lossOrange() },
        { QPoint(38, 70), Canvas::lossOrange() }, // body
        { QPoint(40, 60), Canvas::lossOrange() },
        { QPoint(40, 76), Canvas::lossOrange() },
        { QPoint(40, 43), kBlack }, // the sad mouth's top
        { QPoint(40, 30), kBlack }, // the head's outline stays black
        { QPoint(40, 71), Canvas::background() }, // inside the navel
        { QPoint(0, 0), Canvas::background() },
        { QPoint(79, 129), Canvas::background() },
        { QPoint(20, 20), Canvas::background() },
        { QPoint(40, 95), Canvas::background() }, // between the legs
    };
    for (const auto &e : expected)
        EXPECT_EQ(c.pixel(e.at.x(), e.at.y()), e.colour) << e.at.x() << "," << e.at.y();
    EXPECT_EQ(c.brushColor(), Canvas::background());
    EXPECT_EQ(c.penColor(), kBlack);
    EXPECT_EQ(d.swingCounter(), HangmanDrawing::kSwingTicks);
}

TEST(HangmanDrawingStages, LegsSwingTenTimesAndEndWhereTheyBegan)
{
    HangmanDrawing d = drawnTo(10);
    const QImage afterLoss = d.canvas().image();
    const int phase = d.swingPhase();
    ASSERT_EQ(phase, 0);

    ASSERT_TRUE(d.swingTick());
    EXPECT_EQ(d.swingCounter(), 9);
    EXPECT_EQ(d.swingPhase(), 1);
    // The left foot moved from (25, 100) to (27, 100), the right one from (55, 100) to (53, 100).
    EXPECT_TRUE(blackNear(d.canvas(), 27, 99));
    EXPECT_TRUE(blackNear(d.canvas(), 53, 99));
    for (int y = 95; y <= 100; ++y) {
        for (int x = 0; x < Canvas::kWidth; ++x) {
            if ((x > 10 && x <= 25) || (x >= 55 && x < 70)) {
                EXPECT_FALSE(isBlack(d.canvas(), x, y)) << x << "," << y;
            }
        }
    }
    // Body, head and gallows are untouched by the swing.
    for (int y = 0; y < 75; ++y) {
        for (int x = 0; x < Canvas::kWidth; ++x)
            ASSERT_EQ(d.canvas().image().pixel(x, y), afterLoss.pixel(x, y)) << x << "," << y;
    }

    int ticks = 1;
    while (d.swingTick())
        ++ticks;
    EXPECT_EQ(ticks, 10);
    EXPECT_EQ(d.swingCounter(), 0);
    EXPECT_EQ(d.swingPhase(), phase);
    EXPECT_EQ(d.canvas().image(), afterLoss);
    EXPECT_FALSE(d.swingTick());
}

TEST(HangmanDrawingStages, ClearingEmptiesTheImageStopsTheSwingAndKeepsThePhase)
{
    HangmanDrawing d = drawnTo(10);
    d.swingTick();
    d.clear();
    EXPECT_EQ(d.swingCounter(), 0);
    EXPECT_EQ(d.swingPhase(), 1);
    EXPECT_FALSE(d.swingTick());
    EXPECT_TRUE(blackBounds(d.canvas()).isNull());
    EXPECT_EQ(d.canvas().pixel(40, 60), Canvas::background());
    EXPECT_EQ(d.canvas().brushColor(), Canvas::background());
}
