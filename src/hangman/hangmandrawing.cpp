// The hangman's drawing: canvas primitives over a QImage, the stage strokes, the loss colours
// and the leg swing.
#include "hangman/hangmandrawing.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>
#include <vector>

#include <QPainter>
#include <QPen>

namespace zarel::hangman {

namespace {

QRgb rgbOf(const QColor &c)
{
    return c.rgb() & RGB_MASK;
}

// The angle, in degrees counter-clockwise from three o'clock, of the point where the ray from
// the centre towards (x, y) meets the ellipse, given as the ellipse's parameter (the form the
// painter's arc takes).
double ellipseParameter(double cx, double cy, double rx, double ry, int x, int y)
{
    const double dx = x - cx;
    const double dy = cy - y; // up is positive
    if (dx == 0 && dy == 0)
        return 0;
    return std::atan2(dy / ry, dx / rx) * 180.0 / std::numbers::pi;
}

} // namespace

QColor Canvas::background()
{
    return QColor(0xD4, 0xD0, 0xC8);
}

QColor Canvas::lossRed()
{
    return QColor(255, 0, 0);
}

QColor Canvas::lossOrange()
{
    return QColor(250, 160, 20);
}

Canvas::Canvas()
    : m_image(kWidth, kHeight, QImage::Format_RGB32)
    , m_pen(Qt::black)
    , m_brush(Qt::white)
{
    m_image.fill(Qt::white);
}

QColor Canvas::pixel(int x, int y) const
{
    if (!m_image.valid(x, y))
        return {};
    return QColor(m_image.pixel(x, y));
}

void Canvas::fillRect(int left, int top, int right, int bottom)
{
    if (right <= left || bottom <= top)
        return;
    QPainter p(&m_image);
    p.fillRect(QRect(left, top, right - left, bottom - top), m_brush);
}

void Canvas::lineTo(int x, int y)
{
    const QPoint from = std::exchange(m_position, QPoint(x, y));
    if (from == m_position)
        return;
    QPainter p(&m_image);
    // A flat cap leaves the end point out, so joined lines do not draw their corners twice.
    p.setPen(QPen(m_pen, 1, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(from, m_position);
}

void Canvas::ellipse(int left, int top, int right, int bottom)
{
    if (right - left < 1 || bottom - top < 1)
        return;
    // The pixels whose centres lie in the ellipse inscribed in the box; those with an
    // edge-adjacent pixel outside it form the outline. An outline built this way is closed for
    // the edge-adjacent flood fill, however small the ellipse.
    const double cx = (left + right - 1) / 2.0;
    const double cy = (top + bottom - 1) / 2.0;
    const double ax = (right - left) / 2.0;
    const double ay = (bottom - top) / 2.0;
    auto inside = [&](int x, int y) {
        const double dx = (x - cx) / ax;
        const double dy = (y - cy) / ay;
        return dx * dx + dy * dy <= 1.0 + 1e-9;
    };
    const QRgb pen = m_pen.rgb();
    const QRgb brush = m_brush.rgb();
    for (int y = std::max(top, 0); y < std::min(bottom, kHeight); ++y) {
        for (int x = std::max(left, 0); x < std::min(right, kWidth); ++x) {
            if (!inside(x, y))
                continue;
            const bool edge
                = !inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1);
            m_image.setPixel(x, y, edge ? pen : brush);
        }
    }
}

void Canvas::arc(int left, int top, int right, int bottom, int xStart, int yStart, int xEnd,
                 int yEnd)
{
    if (right - left < 2 || bottom - top < 2)
        return;
    const double cx = (left + right) / 2.0;
    const double cy = (top + bottom) / 2.0;
    const double rx = (right - left) / 2.0;
    const double ry = (bottom - top) / 2.0;
    const double from = ellipseParameter(cx, cy, rx, ry, xStart, yStart);
    double span = ellipseParameter(cx, cy, rx, ry, xEnd, yEnd) - from;
    while (span <= 0)
        span += 360;
    QPainter p(&m_image);
    p.setPen(QPen(m_pen, 1));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRect(left, top, right - left - 1, bottom - top - 1),
              static_cast<int>(std::lround(from * 16)), static_cast<int>(std::lround(span * 16)));
}

void Canvas::floodFill(int x, int y, const QColor &border)
{
    if (!m_image.valid(x, y))
        return;
    const QRgb stop = rgbOf(border);
    auto isBorder = [&](int px, int py) { return (m_image.pixel(px, py) & RGB_MASK) == stop; };
    if (isBorder(x, y))
        return;

    // Span filling: every popped seed fills its whole row segment, then seeds the rows above
    // and below. A visited map keeps pixels that already have the brush colour from being
    // taken again.
    const QRgb fill = m_brush.rgb();
    std::vector<bool> visited(static_cast<size_t>(kWidth) * kHeight, false);
    auto seen = [&](int px, int py) {
        return visited[static_cast<size_t>(py) * kWidth + static_cast<size_t>(px)];
    };
    std::vector<QPoint> seeds { QPoint(x, y) };
    while (!seeds.empty()) {
        const QPoint s = seeds.back();
        seeds.pop_back();
        if (seen(s.x(), s.y()) || isBorder(s.x(), s.y()))
            continue;
        int l = s.x();
        while (l > 0 && !isBorder(l - 1, s.y()) && !seen(l - 1, s.y()))
            --l;
        int r = s.x();
        while (r < kWidth - 1 && !isBorder(r + 1, s.y()) && !seen(r + 1, s.y()))
            ++r;
        for (int px = l; px <= r; ++px) {
            visited[static_cast<size_t>(s.y()) * kWidth + static_cast<size_t>(px)] = true;
            m_image.setPixel(px, s.y(), fill);
        }
        for (int ny : { s.y() - 1, s.y() + 1 }) {
            if (ny < 0 || ny >= kHeight)
                continue;
            for (int px = l; px <= r; ++px) {
                if (!seen(px, ny) && !isBorder(px, ny))
                    seeds.emplace_back(px, ny);
            }
        }
    }
}

void HangmanDrawing::clear()
{
    m_canvas.setBrushColor(Canvas::background());
    m_canvas.fillRect(0, 0, 100, 150);
    m_swingCounter = 0;
}

void HangmanDrawing::mouthArc()
{
    m_canvas.arc(32, 35, 48, 45, 0, 40, 80, 40);
}

void HangmanDrawing::drawStage(int misses)
{
    Canvas &c = m_canvas;
    switch (misses) {
    case 1:
        c.moveTo(10, 120);
        c.lineTo(10, 10);
        break;
    case 2:
        c.moveTo(10, 10);
        c.lineTo(70, 10);
        break;
    case 3:
        c.moveTo(70, 10);
        c.lineTo(70, 120);
        break;
    case 4:
        c.moveTo(40, 10);
        c.lineTo(40, 30);
        break;
    case 5:
        c.ellipse(30, 30, 50, 50);
        c.ellipse(34, 35, 39, 40);
        c.ellipse(41, 35, 46, 40);
        mouthArc();
        break;
    case 6:
        c.moveTo(40, 50);
        c.ellipse(35, 50, 45, 80);
        c.ellipse(38, 70, 42, 73);
        break;
    case 7:
        c.moveTo(35, 55);
        c.lineTo(25, 70);
        c.lineTo(34, 54);
        break;
    case 8:
        c.moveTo(44, 55);
        c.lineTo(55, 70);
        c.lineTo(45, 54);
        break;
    case 9:
        c.moveTo(37, 80);
        c.lineTo(42, 80);
        c.moveTo(37, 80);
        c.lineTo(25, 100);
        c.lineTo(35, 75);
        break;
    case 10:
        drawLoss();
        break;
    default:
        break;
    }
}

void HangmanDrawing::drawLoss()
{
    Canvas &c = m_canvas;
    const QColor pen = c.penColor();
    const QColor black(Qt::black);

    c.moveTo(42, 80);
    c.lineTo(55, 100);
    c.lineTo(44, 75);
    c.floodFill(0, 0, black);

    c.setBrushColor(Canvas::lossRed());
    c.floodFill(37, 37, black);
    c.floodFill(43, 37, black);

    c.setPenColor(Canvas::background());
    mouthArc();
    c.setPenColor(pen);

    c.setBrushColor(Canvas::lossOrange());
    c.floodFill(40, 40, black);
    c.floodFill(38, 70, black);
    c.arc(35, 43, 45, 53, 80, 20, 0, 40);
    c.setBrushColor(Canvas::background());
    m_swingCounter = kSwingTicks;
}

void HangmanDrawing::drawLegs(int phase)
{
    Canvas &c = m_canvas;
    c.moveTo(37, 80);
    c.lineTo(25 + 2 * phase, 100);
    c.lineTo(35, 75);
    c.moveTo(42, 80);
    c.lineTo(55 - 2 * phase, 100);
    c.lineTo(44, 75);
}

bool HangmanDrawing::swingTick()
{
    if (m_swingCounter <= 0)
        return false;
    --m_swingCounter;
    const QColor pen = m_canvas.penColor();
    m_canvas.setPenColor(Canvas::background());
    drawLegs(m_swingPhase);
    m_canvas.setPenColor(pen);
    m_swingPhase = 1 - m_swingPhase;
    drawLegs(m_swingPhase);
    return true;
}

HangmanImage::HangmanImage(const HangmanDrawing *drawing, QWidget *parent)
    : QWidget(parent)
    , m_drawing(drawing)
{
    setFixedSize(Canvas::kWidth, Canvas::kHeight);
}

void HangmanImage::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.drawImage(0, 0, m_drawing->canvas().image());
}

} // namespace zarel::hangman

#include "moc_hangmandrawing.cpp"
