// The hangman's drawing: an 80 x 130 image with a pen, a brush and a pen position, drawn with
// the line, ellipse and arc strokes of the gallows and the man, border flood fills, the loss
// colours, and the leg swing that follows a loss.
#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QWidget>

namespace zarel::hangman {

// An image drawn the way the window's canvas is: the rectangle of a shape gives its left and
// top and, exclusive, its right and bottom edges; a line leaves its end point out; an arc runs
// counter-clockwise from where the ray from the centre to the start point meets the ellipse to
// where the ray to the end point meets it.
class Canvas
{
public:
    static constexpr int kWidth = 80;
    static constexpr int kHeight = 130;

    static QColor background(); // the drawing's background colour
    static QColor lossRed();
    static QColor lossOrange();

    Canvas();

    const QImage &image() const { return m_image; }
    QColor pixel(int x, int y) const; // invalid colour outside the image

    QColor penColor() const { return m_pen; }
    QColor brushColor() const { return m_brush; }
    void setPenColor(const QColor &c) { m_pen = c; }
    void setBrushColor(const QColor &c) { m_brush = c; }

    // Fills left..right-1 x top..bottom-1 with the brush (clipped to the image).
    void fillRect(int left, int top, int right, int bottom);
    void moveTo(int x, int y) { m_position = QPoint(x, y); }
    // A line from the pen position to (x, y), without its end point; the pen moves there.
    void lineTo(int x, int y);
    // An ellipse in the box, outlined with the pen and filled with the brush. The outline is
    // closed for floodFill however small the ellipse, and leaves the corners of the box free.
    void ellipse(int left, int top, int right, int bottom);
    // An arc of the ellipse in the box, counter-clockwise from (xStart, yStart) to (xEnd, yEnd)
    // (both only give directions from the centre); equal directions draw the whole ellipse.
    void arc(int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd);
    // Fills with the brush every pixel reachable from (x, y) through edge-adjacent pixels that
    // are not of `border`. Nothing happens when (x, y) lies outside or is itself of `border`.
    void floodFill(int x, int y, const QColor &border);

private:
    QImage m_image;
    QColor m_pen;
    QColor m_brush;
    QPoint m_position;
};

// The pictures of a game: the empty gallows area, the strokes of each miss, the loss, and the
// leg swing after it.
class HangmanDrawing
{
public:
    static constexpr int kSwingTicks = 10;

    Canvas &canvas() { return m_canvas; }
    const Canvas &canvas() const { return m_canvas; }

    // Empties the drawing to the background colour, which stays the brush; the swing stops.
    void clear();
    // Draws the strokes that belong to `misses` (1..9); 10 draws the loss and starts the swing.
    // 0 and other numbers draw nothing.
    void drawStage(int misses);

    int swingCounter() const { return m_swingCounter; }
    int swingPhase() const { return m_swingPhase; }
    // One step of the swing: while swing ticks are left, erases the legs, flips the phase and
    // draws them again. Returns true when something was drawn.
    bool swingTick();

private:
    void drawLoss();
    void drawLegs(int phase);
    void mouthArc();

    Canvas m_canvas;
    int m_swingCounter = 0;
    int m_swingPhase = 0; // kept from one game to the next
};

// Image1: shows a drawing's image at its natural size.
class HangmanImage : public QWidget
{
    Q_OBJECT
public:
    explicit HangmanImage(const HangmanDrawing *drawing, QWidget *parent = nullptr);
    QSize sizeHint() const override { return QSize(Canvas::kWidth, Canvas::kHeight); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    const HangmanDrawing *m_drawing;
};

} // namespace zarel::hangman
